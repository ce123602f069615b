// Record and replay of a whole session: a first start that makes a profile (typed into the modal
// profile screen), a new journey's map, a level chosen on it and played through the window (a
// slide with the keys, then drags) until it is won, back on the map, the next level chosen and
// begun, then the window closed. The game binary replays the recording twice, headless and each with a fresh data folder;
// both must print the live run's state line. A recording with its last drag left out must not.
// Also the switches of recording, replaying and the folders, refused with their reasons before
// anything starts.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "board/BoardRandom.h"
#include "engine/controls/Button.h"
#include "engine/core/AppTestDriver.h"
#include "engine/core/InputJournal.h"
#include "engine/core/Version.h"
#include "game/GameApp.h"
#include "game/GameMain.h"
#include "game/GameSession.h"
#include "game/journey/Maze.h"
#include "game/journey/MazeButton.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "GeneratedArt.h"
#include "platform/FileSystem.h"
#include "platform/KeyCodes.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kSeed = 7;

// Runs the game binary; its standard output, and its exit status in `status`.
std::string RunGame(const std::string& arguments, int* status) {
    std::string command = std::string(QS_GAME_BINARY) + " " + arguments + " 2>/dev/null";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    *status = pclose(pipe);
    return out;
}

class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no resources";
        mSavedResources = Files::ResourceRoot();
        mSavedData = Files::DataRoot();
        mWork = fs::path(mSavedData).parent_path() / "replay-test";
        fs::remove_all(mWork);
        fs::create_directories(mWork / "live");
        Files::SetResourceRoot(GeneratedArt::Root().string());
        Files::SetDataRoot((mWork / "live").string());
    }
    void TearDown() override {
        Files::SetResourceRoot(mSavedResources);
        Files::SetDataRoot(mSavedData);
    }

    // The board is at rest and takes a drag, and no screen change covers it.
    static bool Ready(const GameApp& app, Board* board) {
        return board && !app.mTransitionRunning && board->CanPlayerDrag() && board->CanMakeMove() &&
               !board->mLevelCleared && !board->mNoMoves;
    }

    // A click through the window: move there, press, let go.
    static void Click(AppTestDriver<GameApp>& drive, Point at) {
        drive.MoveTo(int(at.x), int(at.y));
        drive.Step();
        drive.Press(int(at.x), int(at.y));
        drive.Step();
        drive.Release(int(at.x), int(at.y));
        drive.Step();
    }

    // Clicks the open level of the map (not a treasure) nearest the middle of the screen.
    static bool ClickOpenLevel(AppTestDriver<GameApp>& drive, Maze* map) {
        const MazeButton* best = nullptr;
        Point bestCentre{};
        for (const MazeButton* button : map->Buttons()) {
            int32_t flags = map->Cell(button->mLane, button->mStep);
            bool open = (flags & Maze::kNode) && (flags & Maze::kRevealed) && !(flags & Maze::kDone) &&
                        !(flags & Maze::kTreasure);
            Point centre = button->ToScreen(Point{button->mRect.w / 2, button->mRect.h / 2});
            if (!open || !button->IsLive() || button->mHidden) continue;
            if (!best || std::abs(centre.y - 300.0f) < std::abs(bestCentre.y - 300.0f)) {
                best = button;
                bestCentre = centre;
            }
        }
        if (!best) return false;
        Click(drive, bestCentre);
        return true;
    }

    // One move found on the board, dragged through the window as a player would.
    static bool PlayOneMove(AppTestDriver<GameApp>& drive, Board* board) {
        SlideMove move;
        board->MakeWorkGrid();
        if (!board->FindMatchH(&move) && !board->FindMatchV(&move)) return false;
        Point from = board->ToScreen(Point{move.mFromX, move.mFromY});
        Point to = board->ToScreen(Point{move.mToX, move.mToY});
        drive.MoveTo(int(from.x), int(from.y));
        drive.Step();
        drive.DragFromTo(int(from.x), int(from.y), int(to.x), int(to.y), 6);
        return true;
    }

    std::string mSavedResources, mSavedData;
    fs::path mWork;
};

TEST_F(ReplayTest, TwoHeadlessReplaysOfTheBinaryPrintTheLiveRunsState) {
    InputJournal journal;
    journal.StartRecording();
    journal.SetValue("seed", kSeed);
    journal.SetValue("start-play", 3);
    journal.SetValue("start-level", 0);
    ProgramRandom().Seed(kSeed);

    std::string liveState;
    int movesPlayed = 0;
    {
        AppTestDriver<GameApp> drive(false);
        GameApp& app = *drive.app;
        app.SetJournal(&journal);
        app.mStartPlay = 3;
        app.SetMapSeed(kSeed);
        app.mNoSound = true;
        app.SetupDataFolder();
        drive.Start();
        app.StartLoader();
        // No step runs before loading ends: its end opens the profile screen's modal loop, which
        // only the typed name below ends.
        for (int i = 0; i < 6000 && !app.mJustLoaded; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(app.mJustLoaded) << "loading did not finish";
        drive.Type("Rita");
        drive.KeyPress(kKeyEnter);
        drive.KeyRelease(kKeyEnter);
        drive.Step();
        ASSERT_EQ(app.mProfiles.GetCurrentName(), "Rita");
        ASSERT_NE(app.mSession, nullptr);
        GameSession* session = app.mSession;
        auto board = [&]() -> Board* { return session->mBoard ? session->mBoard->GetBoard() : nullptr; };

        // The new journey's map; a level on it.
        ASSERT_TRUE(drive.StepUntil([&] { return session->GetMap() != nullptr; }, 500));
        Maze* map = session->GetMap();
        drive.Step(50);
        ASSERT_TRUE(ClickOpenLevel(drive, map)) << "no open level to click on the map";
        ASSERT_TRUE(drive.StepUntil([&] { return Ready(app, board()); }, 3000)) << "the level did not start";
        int firstLevel = session->mBoard->mLevelId;

        // A slide with the keys first (it may match or snap back): the cursor shown and moved,
        // then Shift and an arrow, whose drag steps the board plays over the next updates.
        auto tap = [&](int key) {
            drive.KeyPress(key);
            drive.KeyRelease(key);
            drive.Step();
        };
        tap(kKeyDown);
        tap(kKeyRight);
        tap(kKeyDown);
        ASSERT_TRUE(board()->mKeyCursorShown) << "the level does not have the keys";
        drive.KeyPress(kKeyShift);
        tap(kKeyRight);
        drive.KeyRelease(kKeyShift);
        ASSERT_TRUE(board()->IsKeySliding());
        drive.Step(SlideBoard::kKeySlideSteps + 1);

        // The level, move by move, until it is cleared.
        for (int guard = 0; guard < 200; ++guard) {
            ASSERT_TRUE(drive.StepUntil([&] { return Ready(app, board()) || (board() && board()->mLevelCleared); }, 3000));
            if (board()->mLevelCleared) break;
            ASSERT_TRUE(PlayOneMove(drive, board())) << "no move found after " << movesPlayed;
            ++movesPlayed;
        }
        ASSERT_TRUE(board()->mLevelCleared);
        // The cleared panel's continue button takes the journey back to its map.
        ASSERT_TRUE(drive.StepUntil([&] { return board()->mContinueButton != nullptr; }, 1000));
        Button* next = board()->mContinueButton;
        Click(drive, next->ToScreen(Point{next->mRect.w / 2, next->mRect.h / 2}));
        ASSERT_TRUE(drive.StepUntil([&] { return board() == nullptr && session->GetMap() && !session->GetMap()->mHidden; }, 3000))
            << "not back on the map";
        map = session->GetMap();
        EXPECT_TRUE(map->Cell(map->mCurrentCell / Maze::kSteps, map->mCurrentCell % Maze::kSteps) & Maze::kDone);
        drive.Step(100);

        // Another level from the map, and one move on it.
        ASSERT_TRUE(ClickOpenLevel(drive, map)) << "no open level after the first was won";
        ASSERT_TRUE(drive.StepUntil([&] { return Ready(app, board()) && session->mBoard->mLevelId != firstLevel; }, 3000));
        // One that counts (a drag that matches nothing snaps back), so that leaving out its
        // release below changes what the player sees.
        int moves = session->mMoves;
        for (int attempt = 0; attempt < 5 && session->mMoves == moves; ++attempt) {
            ASSERT_TRUE(drive.StepUntil([&] { return Ready(app, board()); }, 3000));
            ASSERT_TRUE(PlayOneMove(drive, board()));
            drive.StepUntil([&] { return session->mMoves > moves; }, 3000);
        }
        ASSERT_GT(session->mMoves, moves) << "no drag made a move on the second level";
        drive.Step(100);
        drive.Close();
        drive.Step();
        ASSERT_TRUE(app.mQuit);
        liveState = app.StateHashText();
        app.WaitForLoader();
    }
    journal.FinishRecording();
    EXPECT_GE(movesPlayed, 3);
    fs::path recording = mWork / "session.replay";
    std::string error;
    ASSERT_TRUE(journal.Save(recording.string(), kGameVersion, &error)) << error;

    // Both replays start from an empty data folder, as the live run did.
    for (const char* folder : {"first", "second"}) {
        int status = -1;
        std::string out = RunGame("--replay " + recording.string() + " --headless --userdir " + (mWork / folder).string(),
                                  &status);
        EXPECT_EQ(status, 0) << folder;
        EXPECT_EQ(out, "state " + liveState + "\n") << folder << " replay";
        EXPECT_TRUE(fs::is_directory(mWork / folder / "USERS" / "Rita")) << folder;
    }

    // The same recording without the last drag's release ends in another state.
    std::string text = TestSupport::ReadText(recording.string());
    size_t lastUp = text.rfind(" lup ");
    ASSERT_NE(lastUp, std::string::npos);
    size_t lineStart = text.rfind('\n', lastUp);
    text.erase(lineStart, text.find('\n', lastUp) - lineStart);
    TestSupport::WriteBytes((mWork / "changed.replay").string(), text);
    int status = -1;
    std::string out = RunGame("--replay " + (mWork / "changed.replay").string() + " --headless --userdir " +
                                  (mWork / "third").string(), &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out, "state " + liveState + "\n");
    EXPECT_EQ(out.rfind("state ", 0), 0u) << out;
}

TEST_F(ReplayTest, SwitchesAreRefusedWithTheirReasonBeforeTheGameStarts) {
    fs::create_directories(mWork / "folder");
    TestSupport::WriteBytes((mWork / "noseed.replay").string(), "quorlslide replay 1\nend 5\n");
    TestSupport::WriteBytes((mWork / "far.replay").string(), "quorlslide replay 1\nvalue seed 1\nvalue start-play 1000\nend 5\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;
    } cases[] = {
        {{"--headless"}, 2, "--headless plays a replay"},
        {{"--record", "a", "--replay", "b"}, 2, "cannot be used together"},
        {{"--userdir"}, 2, "--userdir needs a folder"},
        {{"--datadir", ""}, 2, "--datadir needs a folder"},
        {{"--replay"}, 2, "--replay needs a file name"},
        {{"--datadir", (mWork / "folder").string()}, 2, "the game's resources are not there"},
        {{"--record", (mWork / "folder").string()}, 2, "that is a folder, not a file"},
        {{"--replay", (mWork / "missing.replay").string()}, 1, "the replay is refused: cannot read"},
        {{"--replay", (mWork / "noseed.replay").string()}, 1, "it has no seed"},
        {{"--replay", (mWork / "far.replay").string()}, 1, "start of play is out of range"},
    };
    for (const Case& c : cases) {
        std::vector<char*> argv{const_cast<char*>("quorlslide")};
        for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        int status = GameMain(int(argv.size()), argv.data());
        std::string out = testing::internal::GetCapturedStdout();
        std::string error = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, c.status) << c.args.front() << ": " << error;
        EXPECT_NE(error.find(c.says), std::string::npos) << "expected \"" << c.says << "\", got \"" << error << "\"";
        EXPECT_EQ(out, "") << "nothing ran, so no state line";
    }
    EXPECT_EQ(Files::DataRoot(), (mWork / "live").string()) << "no refused run moved the data folder";
}

}  // namespace
