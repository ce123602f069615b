// The Gauntlet's board: the time rise and its growth with removal passes, the going-dark round
// after a clear, and the countdown of a full meter before its one dullbone.
#include <gtest/gtest.h>

#include "game/BoardTestKit.h"
#include "game/GauntletSession.h"
#include "game/rules/Board_FreeForm.h"

using namespace BoardTestKit;

namespace {

struct FreeLevel : Level {
    FreeLevel() : Level(Board_FreeForm::kLevelId, true) {
        board = dynamic_cast<Board_FreeForm*>(mBoard);
        // A move in rows 4 and 5 (column 3 up by one), so the board never runs out of moves.
        Known({"", "", "", "gg", "..g"});
        Settle();
    }
    // Updates until the pending drop has turned a piece; returns the updates taken.
    int UpdatesUntilDrop(int limit = 1000) {
        int n = 0;
        while (board->mDropPending && n < limit) {
            board->Update();
            ++n;
        }
        return n;
    }
    int Turning() {
        int n = 0;
        for (void* item : board->mPieces.Items()) {
            auto* q = static_cast<QuorlObject*>(item);
            if (q->mSpecial && q->mVanishing) ++n;
        }
        return n;
    }
    void FillMeter() {
        board->mDangerLevel = 0.999f;
        board->AddToDangerMeter(0.01f);
    }
    Board_FreeForm* board = nullptr;
};

}  // namespace

TEST(BoardFreeForm, RiseGrowsWithPassesAndFallsBackAfterTheClearedRound) {
    struct Case {
        int passes;
        float rise, riseAfterClear;
        int colors, colorsAfterClear;
    };
    const Case cases[] = {
        {9, 0.0005f, 0.0005f, 6, 7},
        {10, 0.0006f, 0.0005f, 8, 8},  // 0.00045 is below the floor
        {30, 0.0008f, 0.0006f, 7, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.passes);
        FreeLevel level;
        Board_FreeForm& board = *level.board;
        ASSERT_NE(&board, nullptr);
        EXPECT_EQ(board.mRisePerUpdate, Board_FreeForm::kRiseFloor);
        for (int i = 0; i < c.passes; ++i) {
            List none;
            board.MatchCallback(none);
        }
        EXPECT_NEAR(board.mRisePerUpdate, c.rise, 1e-7f);
        board.mPunchActive = false;
        board.mNumColors = c.colors;
        level.LightAll();
        int score = level.mSession->mScore;
        board.Cleared();
        EXPECT_TRUE(board.CanMakeMove()) << "a cleared free-form board plays on";
        int updates = 0;
        while (board.mLevelCleared && updates < 2000) {
            board.UpdateCleared();
            ++updates;
        }
        // The first tile after 50 updates, then one every 10, then the round ends.
        EXPECT_EQ(updates, 50 + 10 * 25);
        EXPECT_NEAR(board.mRisePerUpdate, c.riseAfterClear, 1e-7f);
        EXPECT_EQ(board.mNumColors, c.colorsAfterClear);
        EXPECT_EQ(level.mSession->mScore - score, 25 * 100);
        for (int col = 1; col <= 5; ++col)
            for (int row = 1; row <= 5; ++row) EXPECT_FALSE(level.Lit(col, row)) << col << "," << row;
    }
}

TEST(BoardFreeForm, AFullMeterDropsExactlyOneDullboneAfterTheCountdown) {
    FreeLevel level;
    Board_FreeForm& board = *level.board;
    level.FillMeter();
    EXPECT_TRUE(board.mMeterFull);
    EXPECT_EQ(board.mDropPending, 1);
    EXPECT_EQ(level.UpdatesUntilDrop(), 100);
    EXPECT_EQ(level.Turning(), 1);
    EXPECT_FALSE(board.mMeterFull);
    EXPECT_TRUE(board.mDraining);
    for (int i = 0; i < 400; ++i) board.Update();
    EXPECT_EQ(level.Dullbones(), 1);
    EXPECT_LT(board.mDangerLevel, 0.5f);
    EXPECT_FALSE(board.mDropPending);
}

TEST(BoardFreeForm, AComboWhileFullLowersTheMeterButTheDropStillComes) {
    FreeLevel level;
    Board_FreeForm& board = *level.board;
    level.FillMeter();
    for (int i = 0; i < 30; ++i) board.Update();
    // A double in a first pass: a quarter off.
    level.Paint({"rrr", "", "yyy", "gg", "..g"});
    ASSERT_EQ(level.RemovePass(0), 2);
    EXPECT_LT(board.mDangerLevel, 0.8f);
    EXPECT_EQ(board.mDropPending, 1);
    EXPECT_TRUE(board.mMeterFull);
    // The punch and refill hold the countdown while the board is not settled.
    int n = level.UpdatesUntilDrop();
    EXPECT_GE(n, 70);
    EXPECT_LT(n, 400);
    EXPECT_EQ(level.Turning(), 1);
}

TEST(BoardFreeForm, TheEndOfAMoveNeverDropsAndCountsTheMove) {
    FreeLevel level;
    Board_FreeForm& board = *level.board;
    level.FillMeter();
    int moves = level.mSession->mMoves;
    board.ReadyForNextMoveCallback();
    EXPECT_EQ(level.mSession->mMoves, moves + 1);
    EXPECT_EQ(level.Turning(), 0);
    EXPECT_EQ(board.mDropPending, 1);
    EXPECT_FALSE(board.mDraining);
}

TEST(BoardFreeForm, DragsAreRefusedInTheLastQuarterSecond) {
    struct Case {
        int countdownAtPress;
        bool refused;
    };
    const Case cases[] = {{60, false}, {20, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.countdownAtPress);
        FreeLevel level;
        Board_FreeForm& board = *level.board;
        level.FillMeter();
        while (board.mDropCountdown > c.countdownAtPress) board.Update();
        // The player presses on row 1 and drags it to the right.
        board.MouseDown(50.0f, 50.0f, 0);
        board.StartDrag(50.0f, 50.0f);
        board.Drag(80.0f, 50.0f);
        board.Update();
        bool dragging = board.mPlayerDragActive && board.mDragged;
        EXPECT_EQ(dragging, !c.refused);
        if (!c.refused) {
            // The countdown waits while a piece is dragged.
            int countdown = board.mDropCountdown;
            for (int i = 0; i < 10; ++i) board.Update();
            EXPECT_EQ(board.mDropCountdown, countdown);
        } else {
            // Holding the mouse does not hold off the dullbone.
            EXPECT_LE(level.UpdatesUntilDrop(30), 25);
            EXPECT_EQ(level.Turning(), 1);
        }
    }
}

TEST(BoardFreeForm, EveryTileGoingDarkIsGoldInTheGauntlet) {
    class Gauntlet : public GauntletSession {
    public:
        Gauntlet() : GauntletSession(nullptr) {}
        void Initialize() override {}
    };
    ProgramRandom().Seed(4);
    Gauntlet session;
    BoardContainer* container = session.StartLevelNow(Board_FreeForm::kLevelId, true);
    container->DoUpdate();
    auto* board = dynamic_cast<Board_FreeForm*>(container->GetBoard());
    ASSERT_NE(board, nullptr);
    int cells = board->mBoardCells;
    ASSERT_EQ(cells, board->Columns() * board->Rows());
    board->Cleared();
    for (int i = 0; i < 2000 && board->mLevelCleared; ++i) board->UpdateCleared();
    EXPECT_FALSE(board->mLevelCleared);
    EXPECT_EQ(session.mGold, cells);
    EXPECT_EQ(session.mScore, cells * 100);
}

TEST(BoardFreeForm, HoldingThePressDoesNotHoldOffTheDullbone) {
    // A press that never moves is no drag: the countdown runs on under it.
    FreeLevel level;
    Board_FreeForm& board = *level.board;
    level.FillMeter();
    while (board.mDropCountdown > 20) board.Update();
    board.MouseDown(50.0f, 50.0f, 0);
    ASSERT_NE(board.mDragged, nullptr);
    EXPECT_LE(level.UpdatesUntilDrop(100), 25);
    EXPECT_EQ(level.Turning(), 1);
}
