// The danger meter over whole moves (rise, combo and cascade rescue, the drop of dullbones at
// the end of a move, draining), the hint's price, and the end of the game when no move is left:
// with and without a second chance.
#include <gtest/gtest.h>

#include "game/BoardTestKit.h"

using namespace BoardTestKit;

namespace {

// Rows 4 and 5 of every position hold a move (column 3 up by one makes a row of three greens),
// so the board never runs out of moves in these tests.
std::vector<std::string> WithMove(std::vector<std::string> rows) {
    rows.resize(5);
    rows[3] = "gg...";
    rows[4] = "..g..";
    return rows;
}

int Vanishing(Board& board) {
    int n = 0;
    for (void* item : board.mPieces.Items()) {
        auto* q = static_cast<QuorlObject*>(item);
        if (!q->mKilled && q->mSpecial && q->mVanishing) ++n;
    }
    return n;
}

// One move through the board's own event chain: the drag starts (a new turn), the first pass
// removes the groups of `first` (none: the line snaps back), a cascade pass removes the groups of
// `cascade`, and the board settles, which ends the move.
void Move(Level& level, const std::vector<std::string>& first, const std::vector<std::string>& cascade = {}) {
    Board& board = *level.mBoard;
    level.Settle();
    ASSERT_TRUE(board.CanMakeMove());
    level.Paint(WithMove(first));
    board.StartDragRobo(50.0f, 50.0f);
    board.CancelDrag();
    SlideBoard::Groups groups;
    board.GetMatches(&groups, false);
    board.mRemovalPasses = 0;
    ASSERT_EQ(groups.mList.Count() > 0, !first.empty());
    if (groups.mList.Count()) board.RemoveMatches(groups);
    board.EndTurnCallback(groups.mList);
    level.FinishPunch();
    if (!cascade.empty()) {
        level.Paint(WithMove(cascade));
        ASSERT_GT(level.RemovePass(1), 0);
        level.FinishPunch();
    }
    // A move that removed something ends when the board has refilled and settled; a line that
    // snapped back never stopped the board, so there is nothing to wait for.
    if (first.empty()) return;
    int moves = level.mSession->mMoves;
    for (int i = 0; i < 500 && level.mSession->mMoves == moves; ++i) board.Update();
    ASSERT_EQ(level.mSession->mMoves, moves + 1) << "the move did not end";
}

}  // namespace

TEST(BoardDanger, RiseRescueAndDropOverMoves) {
    const std::vector<std::string> three = {"rrr"}, two = {"rrr", "", "yyy"}, none = {};
    // A cascade pass on pieces the first pass left standing.
    const std::vector<std::string> later = {"", "", "yyy"};
    struct Step {
        std::vector<std::string> first, cascade;
        float level;
        bool full;
        int dropped;  // pieces that started turning into dullbones at the end of this move
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"plain move fills and drops", {{three, none, 1.0f, false, 1}}},
        {"snapback raises nothing", {{none, none, 0.9f, false, 0}}},
        // The combo comes before the move's rise, which is then ignored.
        {"combo in the first pass keeps the meter", {{two, none, 0.9f, false, 0}, {three, none, 1.0f, false, 1}}},
        // A cascade after the rise rescues the full meter; the next plain move drops.
        {"cascade rescues once", {{three, later, 1.0f, true, 0}, {three, none, 1.0f, false, 1}}},
        {"rescued again by a combo", {{three, later, 1.0f, true, 0}, {two, none, 1.0f, true, 0}, {three, none, 1.0f, false, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Level level;
        level.Known(WithMove({}));
        Board& board = *level.mBoard;
        board.mDangerLevel = 0.9f;
        board.mDangerPerMove = 0.17f;
        board.mDangerPerGroup = 0.5f;
        board.mDangerPerCascade = 0.001f;
        board.mDullbonesPerFill = 1;
        int step = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE("move " + std::to_string(++step));
            int vanishingBefore = Vanishing(board);
            Move(level, s.first, s.cascade);
            // A dropping meter starts draining at once; read the level only when nothing dropped.
            if (!s.dropped) {
                EXPECT_FLOAT_EQ(board.mDangerLevel, s.level);
            }
            EXPECT_EQ(board.mMeterFull, s.full);
            EXPECT_EQ(board.mDraining, s.dropped > 0);
            EXPECT_EQ(Vanishing(board) - vanishingBefore, s.dropped);
        }
    }
}

TEST(BoardDanger, AfterADropTheMeterDrainsToEmpty) {
    Level level;
    level.Known(WithMove({}));
    Board& board = *level.mBoard;
    board.mDangerLevel = 0.95f;
    board.mDangerPerMove = 0.1f;
    board.mDullbonesPerFill = 2;
    Move(level, {"rrr"});
    EXPECT_EQ(level.Dullbones(), 2);
    int n = 0;
    while (board.mDraining && n < 500) {
        board.Update();
        ++n;
    }
    EXPECT_EQ(board.mDangerLevel, 0.0f);
    EXPECT_NEAR(n, 100, 10);
    EXPECT_FALSE(board.mMeterFull);
}

TEST(BoardDanger, ADropNeverTakesMorePiecesThanThereAre) {
    Level level;
    level.Known({"X", "", "", "", "....X"});
    level.mBoard->DropDullbones(100);
    EXPECT_EQ(level.Dullbones(), 25);
    EXPECT_EQ(level.mBoard->PickDropPiece(), nullptr);
}

TEST(BoardDanger, TheHintCostsHalfAMeterEvenAfterACombo) {
    struct Case {
        float before;
        bool loweredThisTurn;
        float after;
        bool full;
    };
    const Case cases[] = {{0.0f, false, 0.5f, false}, {0.7f, false, 1.0f, true}, {0.7f, true, 1.0f, true}};
    for (const Case& c : cases) {
        Level level;
        level.Settle();
        Board& board = *level.mBoard;
        board.mDangerLevel = c.before;
        board.mDangerLoweredThisTurn = c.loweredThisTurn;
        level.mContainer->Notify(reinterpret_cast<intptr_t>(level.mContainer->mHintButton));
        EXPECT_TRUE(board.IsHintShowing());
        EXPECT_TRUE(board.mHintMove);
        EXPECT_FLOAT_EQ(board.mDangerLevel, c.after);
        EXPECT_EQ(board.mMeterFull, c.full);
    }
}

TEST(BoardNoMoves, WithoutSecondChancesTheGameEndsAfterEveryQuorlTurned) {
    Level level;
    level.Settle();
    Board& board = *level.mBoard;
    int n = 0;
    for (void* item : board.mPieces.Items())
        if (!static_cast<SlideObject*>(item)->mKilled && !static_cast<SlideObject*>(item)->mSpecial) ++n;
    ASSERT_GT(n, 20);
    board.FakeNoMoves();
    EXPECT_FALSE(board.CanMakeMove());
    int updates = 0;
    while (level.mSession->mGameOvers == 0 && updates < 5000) {
        level.mSession->DoUpdate();
        ++updates;
    }
    ASSERT_EQ(level.mSession->mGameOvers, 1);
    EXPECT_NEAR(updates, 100 + 10 * n + 150, 10);
    EXPECT_EQ(level.Dullbones(), n);
    for (int i = 0; i < 300; ++i) level.mSession->DoUpdate();
    EXPECT_EQ(level.mSession->mGameOvers, 1) << "the game ends once";
}

TEST(BoardNoMoves, ASecondChanceSpinsClearsTheDullbonesAndPlayResumes) {
    Level level(1001, false, 1);
    Board& board = *level.mBoard;
    ASSERT_EQ(board.mSecondChances, 1);
    level.Settle();
    int marked = 0;
    for (void* item : board.mPieces.Items()) {
        if (marked == 3) break;
        static_cast<QuorlObject*>(item)->mSpecial = true;
        ++marked;
    }
    board.FakeNoMoves();
    int start = -1, spin = -1, face = -1, resumed = -1;
    std::vector<int> cleared;
    int dullbones = level.Dullbones();
    ASSERT_EQ(dullbones, 3);
    for (int i = 1; i <= 3000 && resumed < 0; ++i) {
        board.Update();
        if (start < 0 && board.mSecondChanceActive) start = i;
        if (spin < 0 && board.mWheelSpeed > 0.0f) spin = i;
        if (face < 0 && board.mWheelFace) face = i;
        if (level.Dullbones() < dullbones) cleared.push_back(i);
        dullbones = level.Dullbones();
        if (start > 0 && !board.mNoMoves) resumed = i;
    }
    EXPECT_NEAR(start, 100, 2);
    EXPECT_EQ(board.mSecondChances, 0);
    EXPECT_EQ(level.mSession->mSecondChances, 0);
    EXPECT_EQ(spin - start, 225);
    EXPECT_GT(face, spin);
    ASSERT_EQ(cleared.size(), 3u);
    EXPECT_EQ(cleared[1] - cleared[0], 20);
    EXPECT_EQ(cleared[2] - cleared[1], 20);
    ASSERT_GT(resumed, cleared[2]);
    EXPECT_EQ(board.mFade, 0.0f);
    EXPECT_FALSE(board.mSecondChanceActive);
    EXPECT_EQ(level.Dullbones(), 0);
    // The cleared dullbones make no match standing on the board.
    EXPECT_FALSE(board.GetMatches(nullptr, false));
    level.Settle();
    EXPECT_TRUE(board.CanMakeMove());
    EXPECT_EQ(level.mSession->mGameOvers, 0);
}

TEST(BoardNoMoves, ResumingAfterASecondChanceIsNoMove) {
    // The move that filled the meter was rescued, and left no move: the meter stays full while
    // the second chance clears the dullbones. Play resumes without a move being made, so nothing
    // is counted and nothing drops.
    Level level(1001, false, 1);
    Board& board = *level.mBoard;
    level.Settle();
    board.mDangerLevel = 1.0f;
    board.mMeterFull = true;
    board.mDangerRescued = false;
    board.FakeNoMoves();
    int moves = level.mSession->mMoves;
    for (int i = 0; i < 3000 && board.mNoMoves; ++i) board.Update();
    ASSERT_FALSE(board.mNoMoves);
    for (int i = 0; i < 10; ++i) board.Update();
    EXPECT_EQ(level.mSession->mMoves, moves);
    EXPECT_EQ(level.Dullbones(), 0);
    EXPECT_TRUE(board.mMeterFull);
}
