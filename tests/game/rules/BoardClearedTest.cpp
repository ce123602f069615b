// The cleared level: the goal test over the layout's cells, the level's statistics folded into
// the session and the lifetime record, and the panel's continue button.
#include <gtest/gtest.h>

#include "engine/controls/Button.h"
#include "game/BoardTestKit.h"
#include "persistence/GameStatistics.h"

using namespace BoardTestKit;

TEST(BoardCleared, QuorlRatioRoundsHalvesDownAndLevelTimeIsKept) {
    struct Case {
        int used, cells, ratio;
    };
    const Case cases[] = {{60, 25, 2}, {63, 25, 3}, {50, 20, 2}, {70, 20, 3}, {25, 25, 1}, {10, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.used) + "/" + std::to_string(c.cells));
        Level level(1001, false, 0, false);
        Board& board = *level.mBoard;
        board.mQuorlsUsed = c.used;
        board.mBoardCells = c.cells;
        board.mLevelStartFrame = 100;
        board.mFrameCounter = 100 + 12345;
        level.mSession->mJourneyTime = 5;
        board.Cleared();
        EXPECT_TRUE(board.mLevelCleared);
        EXPECT_EQ(board.mQuorlRatio, c.ratio);
        // 12,345 updates of 1/100 s: two minutes and three seconds.
        EXPECT_EQ(board.mLevelTime, 12345);
        EXPECT_EQ(Board::FormatTime(board.mLevelTime), "2:03");
        EXPECT_EQ(level.mSession->mJourneyTime, 5 + 12345);
        EXPECT_FALSE(board.CanMakeMove()) << "a cleared journey level takes no more moves";
    }
}

TEST(BoardCleared, PanelTimeReadsMinutesAndTwoDigitSeconds) {
    const std::pair<int, const char*> cases[] = {{0, "0:00"}, {99, "0:00"}, {6000, "1:00"}, {12345, "2:03"},
                                                 {599999, "99:59"}, {-50, "0:00"}};
    for (const auto& [updates, text] : cases) EXPECT_EQ(Board::FormatTime(updates), text) << updates;
}

TEST(BoardCleared, BestRatiosOfTheSessionAndTheLifetimeRecord) {
    // Ratios of levels cleared one after another in one session: small boards (5 columns) and
    // large ones keep separate bests, and only a smaller ratio replaces a best.
    struct Clear {
        int columns, used, cells;
        int sessionSmall, sessionLarge, statSmall, statLarge;
    };
    const Clear clears[] = {
        {5, 75, 25, 3, 0, 3, 0},
        {5, 100, 25, 3, 0, 3, 0},
        {6, 72, 36, 3, 2, 3, 2},
        {5, 50, 25, 2, 2, 2, 2},
        {6, 144, 36, 2, 2, 2, 2},
    };
    GameApp app;
    ASSERT_EQ(app.mStatistics.mBestRatioSmall, 0);
    ASSERT_EQ(app.mStatistics.mBestRatioLarge, 0);
    RecordingSession session(&app);
    int step = 0;
    for (const Clear& c : clears) {
        SCOPED_TRACE("clear " + std::to_string(++step));
        BoardContainer* container = session.StartLevelNow(1001);
        container->DoUpdate();
        Board& board = *container->GetBoard();
        std::string layout;
        for (int r = 0; r < c.columns; ++r) layout += "[" + std::string(size_t(c.columns), '#') + "]";
        board.MakeBoard(layout, 500);
        ASSERT_EQ(board.Columns(), c.columns);
        ASSERT_EQ(board.mBoardCells, c.cells);
        board.mQuorlsUsed = c.used;
        board.Cleared();
        EXPECT_EQ(session.mBestRatioSmall, c.sessionSmall);
        EXPECT_EQ(session.mBestRatioLarge, c.sessionLarge);
        EXPECT_EQ(app.mStatistics.mBestRatioSmall, c.statSmall);
        EXPECT_EQ(app.mStatistics.mBestRatioLarge, c.statLarge);
    }
    // A lifetime best from earlier games stands against a worse first clear of this session.
    app.mStatistics.mBestRatioSmall = 1;
    RecordingSession next(&app);
    BoardContainer* container = next.StartLevelNow(1001);
    container->DoUpdate();
    Board& board = *container->GetBoard();
    board.MakeBoard(kSquare5, 500);
    board.mQuorlsUsed = 100;
    board.Cleared();
    EXPECT_EQ(next.mBestRatioSmall, 4);
    EXPECT_EQ(app.mStatistics.mBestRatioSmall, 1);
}

TEST(BoardCleared, TheGoalIsEveryCellOfTheLayoutLit) {
    Level level(1001, false, 0, false);
    Board& board = *level.mBoard;
    // A 5 by 5 board with its corners cut: the missing cells need no light.
    board.MakeBoard("[ ### ][#####][#####][#####][ ### ]", 500);
    std::fill(std::begin(board.mLitTiles), std::end(board.mLitTiles), 0);
    for (int c = 1; c < board.mColumnBound; ++c)
        for (int r = 1; r < board.mRowBound; ++r)
            if (board.IsCell(c, r) && !(c == 3 && r == 3)) board.mLitTiles[c * Board::kTileGrid + r] = 1;
    EXPECT_FALSE(board.IsBoardCleared());
    EXPECT_FALSE(board.mLevelCleared);
    board.mLitTiles[3 * Board::kTileGrid + 3] = 1;
    EXPECT_TRUE(board.IsBoardCleared());
    EXPECT_TRUE(board.mLevelCleared);
}

TEST(BoardCleared, ContinueButtonComesOnceAHundredUpdatesAfterThePanelAndEndsTheLevel) {
    Level level(1001, false, 0, false);
    Board& board = *level.mBoard;
    board.Cleared();
    int spins = 0;
    while (!board.mClearedPhase && spins < 1000) {
        board.UpdateCleared();
        ++spins;
    }
    // The banner grows by 0.02 a step to 1.25.
    EXPECT_NEAR(spins, 63, 1);
    // The update that shows the panel counts as its first.
    int panelUpdates = 1, madeAt = board.mContinueButton ? 1 : -1;
    for (; panelUpdates < 400; ++panelUpdates) {
        if (madeAt < 0 && board.mContinueButton) madeAt = panelUpdates;
        board.UpdateCleared();
    }
    EXPECT_EQ(madeAt, 100);
    ASSERT_NE(board.mContinueButton, nullptr);
    EXPECT_EQ(board.mContinueButton->mParent, &board);
    int buttons = 0;
    for (int i = 0; i < board.Children()->Count(); ++i)
        if (dynamic_cast<Button*>(board.Children()->At(i))) ++buttons;
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(board.mPanelDrop, 0.0f);

    board.Notify(reinterpret_cast<intptr_t>(board.mContinueButton));
    EXPECT_EQ(level.mSession->mWins, 1);
}
