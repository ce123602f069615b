// A level played with the keys through the real loop, against the same level played with the
// mouse: the keyboard slide is the player's move to the game rules (score, moves, meter, refill),
// it is refused where a drag is (the Gauntlet's last quarter second before a dullbone), and the
// level screen's own keys open the quick menu's way and ask for hints.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board/BoardRandom.h"
#include "board/QuorlObject.h"
#include "engine/controls/Button.h"
#include "engine/core/AppTestDriver.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/rules/Board_FreeForm.h"
#include "platform/KeyCodes.h"

namespace {

// A level of the game in the loop, with a known position painted on its 5 by 5 board: r y g i
// are colours 0 to 3, everything else a background that makes no group.
struct KeyLevel {
    explicit KeyLevel(bool gauntlet = false) {
        ProgramRandom().Seed(11);
        session = gauntlet ? new GauntletSession(drive.app.get()) : new GameSession(drive.app.get());
        drive.app->mGadgets.Add(session);
        container = session->StartLevelNow(gauntlet ? Board_FreeForm::kLevelId : 1001, gauntlet);
        drive.Step(2);
        board = container->GetBoard();
    }
    void Known(const std::vector<std::string>& rows) {
        board->mLargeAllowed = false;
        board->mUseFixedSeed = true;
        board->mFixedSeed = 3;
        board->MakeBoard("[#####][#####][#####][#####][#####]", 500);
        std::fill(std::begin(board->mLitTiles), std::end(board->mLitTiles), 0);
        board->mSettleCounter = board->mRefillCountdown = 0;
        board->MakeWorkGrid();
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c) {
                auto* q = static_cast<QuorlObject*>(board->GridAt(c, r));
                char letter = size_t(r - 1) < rows.size() && size_t(c - 1) < rows[r - 1].size() ? rows[r - 1][c - 1] : '.';
                q->mSpecial = false;
                q->mColor = 4 + (c + r) % 4;
                if (size_t k = std::string("rygi").find(letter); k != std::string::npos) q->mColor = int(k);
            }
    }
    // A cell's centre in window pixels.
    Point Cell(int column, int row) const {
        return board->ToScreen(Point{(float(column) - 0.5f) * board->mCellSize, (float(row) - 0.5f) * board->mCellSize});
    }
    void Key(int key) {
        drive.KeyPress(key);
        drive.KeyRelease(key);
    }
    void CursorTo(int column, int row) {
        Key(kKeyDown);
        drive.Step();
        while (board->mKeyColumn != column || board->mKeyRow != row) {
            Key(board->mKeyColumn < column ? kKeyRight : board->mKeyColumn > column ? kKeyLeft
                : board->mKeyRow < row ? kKeyDown : kKeyUp);
            drive.Step();
        }
    }
    std::vector<int> Colours() {
        board->MakeWorkGrid();
        std::vector<int> out;
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c) out.push_back(board->GridAt(c, r) ? board->GridAt(c, r)->mColor : -1);
        return out;
    }

    AppTestDriver<GameApp> drive;
    GameSession* session = nullptr;
    BoardContainer* container = nullptr;
    Board* board = nullptr;
};

// Row 2 one cell right brings its red between the reds above and below it.
const std::vector<std::string> kOneMove = {".r", "r", ".r"};

}  // namespace

TEST(BoardKeyboard, AKeyboardSlideLeavesTheGameAsTheSameMouseDragDoes) {
    struct Outcome {
        int score, moves;
        float danger;
        std::vector<int> colours;
    };
    auto play = [](bool keys) {
        KeyLevel level;
        level.Known(kOneMove);
        level.drive.Step();
        EXPECT_EQ(level.drive.app->mKeyboardFocus, level.session);
        if (keys) {
            level.CursorTo(1, 2);
            level.drive.KeyPress(kKeyShift);
            level.Key(kKeyRight);
            level.drive.KeyRelease(kKeyShift);
            level.drive.Step(SlideBoard::kKeySlideSteps + 1);
        } else {
            Point from = level.Cell(1, 2), to = level.Cell(2, 2);
            level.drive.DragFromTo(int(from.x), int(from.y), int(to.x), int(to.y), SlideBoard::kKeySlideSteps);
        }
        level.drive.StepUntil([&] { return level.board->CanMakeMove() && !level.board->IsAnythingFalling(); }, 2000);
        return Outcome{level.session->mScore, level.session->mMoves, level.board->mDangerLevel, level.Colours()};
    };
    Outcome mouse = play(false), keys = play(true);
    EXPECT_GT(mouse.score, 0);
    EXPECT_EQ(mouse.moves, 1);
    EXPECT_EQ(keys.score, mouse.score);
    EXPECT_EQ(keys.moves, mouse.moves);
    EXPECT_FLOAT_EQ(keys.danger, mouse.danger);
    EXPECT_EQ(keys.colours, mouse.colours) << "the same refill";
}

TEST(BoardKeyboard, TheGauntletRefusesAKeyboardSlideInTheLastQuarterSecond) {
    for (int countdown : {60, 20}) {
        SCOPED_TRACE(countdown);
        KeyLevel level(true);
        auto* board = dynamic_cast<Board_FreeForm*>(level.board);
        ASSERT_NE(board, nullptr);
        level.Known({"", "", "", "gg", "..g"});
        level.CursorTo(1, 1);
        board->mDangerLevel = 0.999f;
        board->AddToDangerMeter(0.01f);
        ASSERT_EQ(board->mDropPending, 1);
        level.drive.StepUntil([&] { return board->mDropCountdown <= countdown; }, 200);
        level.drive.KeyPress(kKeyShift);
        level.Key(kKeyRight);
        level.drive.KeyRelease(kKeyShift);
        level.drive.Step();
        bool sliding = board->IsKeySliding() && board->mPlayerDragActive;
        EXPECT_EQ(sliding, countdown > 25);
        if (sliding) {
            int before = board->mDropCountdown;
            level.drive.Step(3);
            EXPECT_EQ(board->mDropCountdown, before) << "the countdown waits while a line is dragged";
        } else {
            level.drive.Step(30);
            EXPECT_FALSE(board->mDropPending) << "the dullbone came anyway";
        }
    }
}

TEST(BoardKeyboard, HAsksForAHintOnceTheKeyboardSlideHasEnded) {
    KeyLevel level;
    level.Known(kOneMove);
    level.drive.Step();
    level.CursorTo(1, 2);
    level.drive.KeyPress(kKeyShift);
    level.Key(kKeyRight);
    level.drive.KeyRelease(kKeyShift);
    level.drive.Step(2);
    ASSERT_TRUE(level.board->IsKeySliding());
    // The hint button is judged after the slide: the move is the player's, it pays, and the
    // board is then busy with it, so no hint is given or charged.
    level.Key('H');
    level.drive.Step();
    EXPECT_FALSE(level.board->IsKeySliding());
    EXPECT_FALSE(level.board->IsHintShowing());
    level.drive.StepUntil([&] { return level.board->CanMakeMove() && !level.board->IsAnythingFalling(); }, 2000);
    EXPECT_EQ(level.session->mMoves, 1);
    EXPECT_GT(level.session->mScore, 0);
    float danger = level.board->mDangerLevel;
    level.drive.W().PushPadButton(GameControllers::Button::kY, true);
    level.drive.Step();
    EXPECT_TRUE(level.board->IsHintShowing());
    EXPECT_FLOAT_EQ(level.board->mDangerLevel, danger + 0.5f) << "a hint costs what the button's does";
    // The hint's demonstration is not the player's: the keys cannot slide meanwhile.
    level.drive.KeyPress(kKeyShift);
    level.Key(kKeyLeft);
    level.drive.KeyRelease(kKeyShift);
    level.drive.Step();
    EXPECT_FALSE(level.board->mPlayerDragActive);
}
