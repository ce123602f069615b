// The journey map with the real art through the software device: the thumbnail cache in the data
// folder (made once, read afterwards, made again when damaged), and screenshots of a fresh map,
// its bottom with the idol, a map after a few wins, a treasure being taken and the won screen.
// Each shot is written as a PNG ($QS_SHOT_DIR, else /tmp) to be looked at.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <string>

#include "game/GeneratedArt.h"
#include "TestSupport.h"
#include "engine/core/AppTestDriver.h"
#include "engine/draw/SoftwareGraphics.h"
#include "board/BoardRandom.h"
#include "engine/draw/HeadlessShot.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/rules/LevelGenerator.h"
#include "game/journey/Maze.h"
#include "game/journey/MazeButton.h"
#include "platform/FileSystem.h"
#include "game/ShotKit.h"

namespace {

using ShotKit::ShotGameApp;
using ShotKit::ShotPath;
using ShotKit::PixelAt;

// The first-visit marker's orange, against the violet border and the night sky.
bool Orange(uint32_t rgb) {
    int r = int(rgb >> 16 & 0xFF), g = int(rgb >> 8 & 0xFF), b = int(rgb & 0xFF);
    return r > b + 80 && g > b + 40;
}

class MazeScreen : public ::testing::Test {
protected:
    void SetUp() override {
        if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no resources";
        TestSupport::EmptyDataFolder();
        Files::SetResourceRoot(GeneratedArt::Root().string());
        ProgramRandom().Seed(17);
        drive = std::make_unique<AppTestDriver<ShotGameApp>>();
        drive->app->LoadResourcesNow();
        drive->app->SetMapSeed(4);
    }
    // A new journey on screen; returns its map after the first updates.
    Maze* StartJourney() {
        session = new GameSession(drive->app.get());
        drive->app->mGadgets.Add(session);
        drive->app->mSession = session;
        // The map is made by the first update (a frame is drawn with it): wall time and the
        // thread's own processor time, which the machine's other work does not inflate.
        auto started = std::chrono::steady_clock::now();
        double cpu = ThreadMilliseconds();
        drive->Step(1);
        mStartMilliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
        mStartCpuMilliseconds = ThreadMilliseconds() - cpu;
        return session->GetMap();
    }
    std::unique_ptr<AppTestDriver<ShotGameApp>> drive;
    GameSession* session = nullptr;
    // Update steps of the screens without drawing a frame for each.
    void Updates(int count) {
        for (int i = 0; i < count; ++i) drive->app->mGadgets.Update();
    }
    static double ThreadMilliseconds() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    double mStartMilliseconds = 0.0;
    double mStartCpuMilliseconds = 0.0;
};

TEST_F(MazeScreen, ThumbnailsAreMadeOnceInTheDataFolderAndReadAfterwards) {
    Maze* first = StartJourney();
    ASSERT_NE(first, nullptr);
    int made = first->mThumbnailsMade;
    EXPECT_GT(made, 3);
    EXPECT_EQ(first->mThumbnailsLoaded, 0);
    std::printf("[ timing ] first journey start (thumbnails made: %d): %.1f ms, %.1f ms processor\n", made, mStartMilliseconds,
                mStartCpuMilliseconds);
    // Every level node shows its framed board.
    for (const MazeButton* b : first->Buttons()) {
        if (first->Cell(b->mLane, b->mStep) & Maze::kTreasure) continue;
        std::string code = GenerateLevel(first->LevelId(b->mLane, b->mStep)).mCode;
        std::string written = Files::DataRoot() + "/Graphics/thumbs/" + code + ".png";
        EXPECT_TRUE(Files::IsRegularFile(written)) << written;
    }
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("journey-map-top.png")));
    // The sky shows between the nodes and the borders frame the map.
    EXPECT_NE(PixelAt(*drive->app, 20, 300), 0u);
    EXPECT_TRUE(Orange(PixelAt(*drive->app, 400, 68))) << "the first-visit marker is missing: " << std::hex << PixelAt(*drive->app, 400, 68);

    // The same map again: every picture read back, none made.
    drive->app->SetMapSeed(4);
    session->Kill();
    drive->Step(2);
    Maze* second = StartJourney();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->mThumbnailsMade, 0);
    EXPECT_EQ(second->mThumbnailsLoaded, made);
    std::printf("[ timing ] second journey start (thumbnails read: %d): %.1f ms, %.1f ms processor\n", made, mStartMilliseconds,
                mStartCpuMilliseconds);

    // A damaged picture is made again and written over.
    std::string code = GenerateLevel(second->LevelId(4, 2)).mCode;
    std::string path = Files::DataRoot() + "/Graphics/thumbs/" + code + ".png";
    TestSupport::WriteBytes(path, "\x89PNG\r\n\x1a\n not really");
    second->GenerateThumbnails();
    EXPECT_EQ(second->mThumbnailsMade, 1);
    EXPECT_GT(TestSupport::ReadBytes(path).size(), 1000u);
}

TEST_F(MazeScreen, TheMapInPlayAndTheWonScreen) {
    Maze* map = StartJourney();
    ASSERT_NE(map, nullptr);
    Updates(20);

    // The bottom of the map with the idol.
    for (int i = 0; i < 600; ++i) map->Scroll(2.0f);
    drive->Step(1);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("journey-map-bottom.png")));
    // The first-visit marker points at the start node and scrolled away with it.
    EXPECT_FALSE(Orange(PixelAt(*drive->app, 400, 68))) << "the first-visit marker stayed on screen";

    // A few won levels: the nodes they revealed glow and the map scrolls to them.
    for (int i = 0; i < 600; ++i) map->Scroll(-2.0f);
    for (int win = 0; win < 4; ++win) {
        int next = -1;
        for (int step = 0; step < Maze::kSteps && next < 0; ++step)
            for (int lane = 0; lane < Maze::kLanes && next < 0; ++lane) {
                int32_t f = map->Cell(lane, step);
                if ((f & Maze::kNode) && (f & Maze::kRevealed) && !(f & Maze::kDone) && !(f & Maze::kTreasure))
                    next = Maze::Index(lane, step);
            }
        ASSERT_GE(next, 0);
        map->mCurrentCell = next;
        map->ReturnedFromLevel(true);
    }
    Updates(300);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("journey-map-progress.png")));

    // A treasure being taken: its medal turns grey and its words float up.
    int treasure = -1;
    for (int cell = 0; cell < Maze::kCells; ++cell)
        if (map->mGrid[cell] & Maze::kTreasure) treasure = cell;
    ASSERT_GE(treasure, 0);
    map->mGrid[treasure] |= Maze::kRevealed;
    map->UnlockButtons();
    MazeButton* medal = map->ButtonAt(treasure / Maze::kSteps, treasure % Maze::kSteps);
    while (medal->mRect.y > 300.0f) map->Scroll(2.0f);
    while (medal->mRect.y < 150.0f) map->Scroll(-2.0f);
    drive->Step(1);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("journey-map-treasure-before.png")));
    ASSERT_TRUE(map->Play(treasure / Maze::kSteps, treasure % Maze::kSteps));
    drive->Step(10);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("journey-map-treasure.png")));

    // The won screen: the idol risen, its name, the final score.
    session->mScore = 1234567;
    map->mIdolAvailable = true;
    ASSERT_TRUE(map->TakeIdol());
    Updates(100);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("journey-won-rising.png")));
    drive->app->mPoemSong.Stop();
    Updates(120);
    EXPECT_TRUE(map->IsWonScreenDone());
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("journey-won.png")));
}

}  // namespace
