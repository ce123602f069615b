// The level screen drawn with the real art through the software device: the board, its floor,
// the meter, the score and the buttons in play; the cleared panel; the no-moves wheel. Each shot
// is written as a PNG ($QS_SHOT_DIR, else /tmp) to be looked at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "board/BoardRandom.h"
#include "engine/controls/Button.h"
#include "engine/core/AppTestDriver.h"
#include "engine/draw/HeadlessShot.h"
#include "engine/draw/SoftwareGraphics.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GeneratedArt.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "platform/FileSystem.h"
#include "platform/KeyCodes.h"
#include "TestSupport.h"
#include "game/ShotKit.h"

namespace {

using ShotKit::ShotGameApp;
using ShotKit::ShotPath;
using ShotKit::PixelAt;

class GameScreenShot : public ::testing::Test {
protected:
    void SetUp() override {
        if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no resources";
        Files::SetResourceRoot(GeneratedArt::Root().string());
        ProgramRandom().Seed(11);
        drive = std::make_unique<AppTestDriver<ShotGameApp>>();
        drive->app->LoadResourcesNow();
        session = new GameSession(drive->app.get());
        drive->app->mGadgets.Add(session);
        container = session->StartLevelNow(2033);
        drive->Step(2);
        board = container->GetBoard();
        ASSERT_NE(board, nullptr);
    }
    std::unique_ptr<AppTestDriver<ShotGameApp>> drive;
    GameSession* session = nullptr;
    BoardContainer* container = nullptr;
    Board* board = nullptr;
};

TEST_F(GameScreenShot, PlayCleared_AndNoMoves) {
    // Play a few moves by the autopilot so there are lit tiles, points and sparks.
    board->mAutoStartDelay = 0;
    board->SetAutopilot(true);
    for (int i = 0; i < 600 && session->mMoves < 6; ++i) drive->Step();
    board->SetAutopilot(false);
    board->mDangerLevel = 0.6f;
    drive->Step(3);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("level-play.png")));
    EXPECT_GT(session->mScore, 0);
    // The floor shows through where the board's first cell lies: never the plain background.
    const Rect& r = board->mRect;
    EXPECT_NE(PixelAt(*drive->app, int(r.x) + 2, int(r.y) + 2), PixelAt(*drive->app, 5, 595));

    // A dullbone breaking: its quarters fly apart inside a ring of sparks.
    board->MakeWorkGrid();
    SlideObject* target = board->GridAt(5, 5);
    ASSERT_NE(target, nullptr);
    int before = board->mParticles.Count();
    board->ShatterEffect(target);
    EXPECT_EQ(board->mParticles.Count(), before + 4 + 72);
    drive->Step(12);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("level-shatter.png")));

    board->Cleared();
    drive->Step(200);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("level-cleared.png")));
    EXPECT_NE(board->mContinueButton, nullptr);

    board->mLevelCleared = false;
    board->mContinueButton->Kill();
    board->mContinueButton = nullptr;
    board->FakeNoMoves();
    board->mSecondChances = 0;
    drive->Step(150);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("level-nomoves.png")));
}

TEST_F(GameScreenShot, KeyboardCursor) {
    // The cursor shows at the first key and moves with the arrows; Space picks the piece up.
    for (int key : {kKeyDown, kKeyRight, kKeyUp}) {
        drive->KeyPress(key);
        drive->KeyRelease(key);
        drive->Step();
    }
    ASSERT_TRUE(board->mKeyCursorShown);
    drive->Step(10);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("level-keycursor.png")));
    // The frame is drawn over the piece: its top edge is bright where the cell's edge is.
    Point corner = board->ToScreen(Point{float(board->mKeyColumn - 1) * board->mCellSize + board->mCellSize * 0.5f,
                                         float(board->mKeyRow - 1) * board->mCellSize + 2.0f});
    uint32_t rim = PixelAt(*drive->app, int(corner.x), int(corner.y));
    EXPECT_GT((rim >> 16) & 0xFF, 0xA0u);
    EXPECT_GT(rim & 0xFF, 0xA0u);
    // Left alone, the frame stops beating and holds full white, so a resting board does not
    // present a new frame on every refresh for the cursor's sake.
    drive->Step(400);
    for (int i = 0; i < 3; ++i) {
        drive->Step(20);
        drive->Frame();
        EXPECT_EQ(PixelAt(*drive->app, int(corner.x), int(corner.y)) & 0xFFFFFFu, 0xFFFFFFu) << i;
    }
    drive->KeyPress(kKeySpace);
    drive->KeyRelease(kKeySpace);
    drive->Step(3);
    ASSERT_TRUE(board->mKeyPickedUp);
    ASSERT_TRUE(HeadlessShot::Write(*drive, ShotPath("level-keycursor-held.png")));
}

}  // namespace
