// The slide board's rules without the application loop: layouts, the work grid, matches, the
// move search, gravity and refill, crushing and board generation.
#include <gtest/gtest.h>

#include <chrono>

#include "board/SlideLine.h"
#include "BoardTestSupport.h"

TEST(SlideBoardLayout, ShapesAndBounds) {
    struct Case {
        const char* layout;
        int size, columns, rows, cell, pieces, rowLines, columnLines;
    };
    const Case cases[] = {
        {kSquare5, 60, 5, 5, 12, 25, 5, 5},
        // A gap in a row splits it into two lines.
        {"[## ##][#####]", 100, 5, 2, 20, 9, 3, 5},
        // The column bound follows the longest row.
        {"[###][#####]", 100, 5, 2, 20, 8, 2, 5},
        // A large piece covers four cells; "Z" is an ordinary cell.
        {"[G##][###][Z##]", 90, 3, 3, 30, 6, 3, 3},
        {"[]", 50, 0, 1, 50, 0, 0, 0},
        {"[   ]", 30, 3, 1, 10, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        RecordingBoard board;
        Make(board, c.layout, c.size);
        EXPECT_EQ(board.mLastError, "");
        EXPECT_EQ(board.Columns(), c.columns);
        EXPECT_EQ(board.Rows(), c.rows);
        EXPECT_EQ(board.CellSize(), float(c.cell));
        EXPECT_EQ(board.mPieces.Count(), c.pieces);
        EXPECT_EQ(board.mRowLines.Count(), c.rowLines);
        EXPECT_EQ(board.mColumnLines.Count(), c.columnLines);
        EXPECT_EQ(board.mRect.w, float(c.columns * c.cell));
        EXPECT_EQ(board.mRect.h, float(c.rows * c.cell));
    }

    // Colour letters fix the piece (this position has no match and has a move, so generation
    // keeps it); an upper-case one is large.
    RecordingBoard large;
    Make(large, "[Gyrb][ybry][rbyr]", 120);
    EXPECT_EQ(Letters(large), (std::vector<std::string>{"GGrb", "GGry", "rbyr"}));
    EXPECT_EQ(PieceAt(large, 2, 2), PieceAt(large, 1, 1));
}

TEST(SlideBoardLayout, RefusesWhatTheGridCannotHold) {
    struct Case {
        std::string layout;
        int size;
        bool ok;
    };
    std::string wide = "[" + std::string(99, '#') + "]";
    std::string tall;
    for (int i = 0; i < 99; ++i) tall += "[#]";
    std::string widest = "[" + std::string(98, '#') + "]";
    const Case cases[] = {
        {"", 60, false},         {"#####", 60, false},   {"[###", 60, false},  {wide, 1000, false},
        {tall, 1000, false},     {kSquare5, 0, false},   {kSquare5, -5, false}, {kSquare5, 4, false},
        {kSquare5, 5, true},     {widest, 98, true},     {"x[##]y", 20, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout.substr(0, 20) + " size " + std::to_string(c.size));
        RecordingBoard board;
        Make(board, c.layout, c.size);
        EXPECT_EQ(board.mLastError.empty(), c.ok) << board.mLastError;
        if (!c.ok) {
            EXPECT_EQ(board.mPieces.Count(), 0);
            // A refused board is inert, not broken.
            board.Update();
            EXPECT_FALSE(board.FindMatch());
            EXPECT_FALSE(board.AreThereHoles());
        }
    }
}

TEST(SlideBoardGeneration, FixedSeedRepeatsAndEveryBoardIsPlayable) {
    const char* layouts[] = {kSquare5, "[##########][##########][##########][##########][##########][##########]"
                                       "[##########][##########][##########][##########]",
                             "[## ##][#####][##R##][#####]"};
    for (const char* layout : layouts)
        for (int seed = 1; seed <= 12; ++seed) {
            SCOPED_TRACE(std::string(layout) + " seed " + std::to_string(seed));
            RecordingBoard a, b;
            Make(a, layout, 300, seed);
            Make(b, layout, 300, seed);
            EXPECT_EQ(Letters(a), Letters(b));
            EXPECT_FALSE(a.GetMatches(nullptr, false));
            EXPECT_TRUE(a.FindMatch());
            EXPECT_FALSE(a.AreThereHoles());
        }
    RecordingBoard a, b;
    Make(a, kSquare5, 60, 1);
    Make(b, kSquare5, 60, 2);
    EXPECT_NE(Letters(a), Letters(b));
}

TEST(SlideBoardGeneration, FewColoursStillEndInBoundedTime) {
    for (int colors : {1, 2, 3}) {
        SCOPED_TRACE(colors);
        RecordingBoard board;
        board.mNumColors = colors;
        auto start = std::chrono::steady_clock::now();
        Make(board, "[##########][##########][##########][##########][##########][##########]"
                    "[##########][##########][##########][##########]", 500);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 20.0);
        EXPECT_EQ(board.mPieces.Count(), 100);
        EXPECT_FALSE(board.AreThereHoles());
    }
}

TEST(SlideBoardGrid, OffGridPiecesDieAndLaterPiecesOwnTheirCells) {
    RecordingBoard board;
    Make(board, kSquare5, 60);
    SlideObject* first = PieceAt(board, 1, 1);
    SlideObject* second = PieceAt(board, 2, 1);
    second->mX = first->mX;  // two pieces on one cell
    SlideObject* third = PieceAt(board, 3, 1);
    third->mX = -20.0f;  // column 0: off the grid
    board.MakeWorkGrid();
    EXPECT_EQ(board.GridAt(1, 1), second);
    EXPECT_TRUE(third->mKilled);
    EXPECT_TRUE(board.mDying.Contains(third));
    board.MakeWorkGrid();
    EXPECT_EQ(board.mDying.Count(), 1);
    board.Update();  // destroys it
    EXPECT_EQ(board.mPieces.Count(), 24);
    EXPECT_FALSE(board.mDying.Contains(third));
}

TEST(SlideBoardMatches, GroupsAreFourConnectedOfThreeOrMore) {
    struct Case {
        std::vector<std::string> rows;
        int groups;
    };
    const Case cases[] = {
        {{"rrgby", "ryipr", "bpygo", "ygobi", "pobiy"}, 1},  // L shape
        {{"rgrby", "gyipr", "bpygo", "ygobi", "pobiy"}, 0},  // diagonal does not link
        {{"rrrby", "gyipr", "bpygo", "ygobi", "pobiy"}, 1},  // straight
        {{"rrgbb", "ryipb", "bpygb", "ygobi", "pobiy"}, 2},  // two groups
    };
    for (const Case& c : cases) {
        RecordingBoard board;
        Make(board, kSquare5, 60);
        Paint(board, c.rows);
        SlideBoard::Groups groups;
        EXPECT_EQ(board.GetMatches(&groups, false), c.groups > 0);
        EXPECT_EQ(groups.mList.Count(), c.groups) << c.rows[0];
    }

    // Two normal pieces beside a large piece of their colour are a group of three.
    RecordingBoard large;
    Make(large, "[G##][###][###]", 90);
    Paint(large, {"g.r", "..i", "ryb"});  // the large green covers (1,1)-(2,2)
    PieceAt(large, 3, 1)->mColor = 2;
    PieceAt(large, 3, 2)->mColor = 2;
    SlideBoard::Groups groups;
    ASSERT_TRUE(large.GetMatches(&groups, false));
    EXPECT_EQ(static_cast<List*>(groups.mList.At(0))->Count(), 3);
}

TEST(SlideBoardMatches, MarkedPiecesNeverLink) {
    // The middle red of three in a row carries the mark; the outer two must not meet through it.
    const char* marks[] = {"special", "pushed out", "taken off"};
    for (const char* mark : marks) {
        SCOPED_TRACE(mark);
        RecordingBoard board;
        Make(board, kSquare5, 60);
        Paint(board, {"rrrby", "gyipg", "bpygo", "ygobi", "pobiy"});
        SlideObject* middle = PieceAt(board, 2, 1);
        if (std::string(mark) == "special") middle->mSpecial = true;
        if (std::string(mark) == "pushed out") middle->mPushedOut = true;
        if (std::string(mark) == "taken off") middle->mKilled = true;
        EXPECT_EQ(middle->MatchColor(), -1);
        EXPECT_FALSE(board.GetMatches(nullptr, false));
        List group;
        board.GetMatchesStub(PieceAt(board, 1, 1), group);
        EXPECT_EQ(group.Count(), 1);
    }
}

TEST(SlideBoardMatches, OnlyMovedPiecesStartGroups) {
    RecordingBoard board;
    Make(board, kSquare5, 60);
    Paint(board, {"rrrby", "gyipg", "bpygo", "ygobi", "pobiy"});
    EXPECT_FALSE(board.GetMatches(nullptr, true));  // all at home
    EXPECT_TRUE(board.GetMatches(nullptr, false));
    // A moved piece elsewhere does not pull the unmoved group in.
    SlideObject* other = PieceAt(board, 5, 5);
    other->mHomeX = -1.0f;
    EXPECT_FALSE(board.GetMatches(nullptr, true));
    // A moved member does.
    PieceAt(board, 3, 1)->mHomeX = -1.0f;
    SlideBoard::Groups groups;
    EXPECT_TRUE(board.GetMatches(&groups, true));
    EXPECT_EQ(static_cast<List*>(groups.mList.At(0))->Count(), 3);
}

TEST(SlideBoardMatches, RemovalCallbacksInOrder) {
    RecordingBoard board;
    Make(board, kSquare5, 60);
    Paint(board, {"rrrby", "gyipg", "bpygo", "ygobi", "pobiy"});
    SlideBoard::Groups groups;
    ASSERT_TRUE(board.GetMatches(&groups, false));
    board.RemoveMatches(groups);
    std::vector<std::string> expected = {"group 3", "remove taken-off", "remove taken-off", "remove taken-off", "match 1"};
    EXPECT_EQ(board.mLog, expected);
    EXPECT_EQ(board.mPieces.Count(), 22);
    EXPECT_EQ(board.mDying.Count(), 3);
    EXPECT_EQ(board.mSettleCounter, 4);
    EXPECT_EQ(board.mRemovalPasses, 1);
    EXPECT_FALSE(board.CanMakeMove());
}

TEST(SlideBoardSearch, FindsTheWrappedMoveAndLeavesTheBoardAlone) {
    RecordingBoard board;
    Make(board, kSquare5, 300);
    Paint(board, kWrapMove);
    ASSERT_FALSE(board.GetMatches(nullptr, false));
    auto before = Letters(board);
    std::vector<float> positions;
    for (void* item : board.mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        positions.push_back(p->mX);
        positions.push_back(p->mY);
    }
    SlideMove move;
    // The only row move: row 2 one cell right (its first piece goes from column 1 to 2).
    ASSERT_TRUE(board.FindMatchH(&move));
    EXPECT_EQ(move.mFromX, 30.0f);
    EXPECT_EQ(move.mFromY, 90.0f);
    EXPECT_EQ(move.mToX, 90.0f);
    EXPECT_EQ(move.mToY, 90.0f);
    EXPECT_EQ(Letters(board), before);
    size_t i = 0;
    for (void* item : board.mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        EXPECT_EQ(p->mX, positions[i++]);
        EXPECT_EQ(p->mY, positions[i++]);
        EXPECT_EQ(p->SavedStateCount(), 0);
    }
}

TEST(SlideBoardSearch, SnapKeepsAPieceWrappedOnBothAxesOnTheBoard) {
    // New pieces are away from home on both axes while cascades are weighed; the bottom-right
    // one, slid a cell right, is wrapped into its column's start cap too.
    RecordingBoard board;
    Make(board, kSquare5, 60);
    SlideObject* corner = PieceAt(board, 5, 5);
    corner->mHomeX = corner->mHomeY = -1.0f;
    ASSERT_TRUE(board.MoveBy(corner, 12.0f, 0.0f));
    board.Snap(corner);
    EXPECT_EQ(corner->mX, 0.0f);
    EXPECT_EQ(corner->mY, 48.0f);
}

TEST(SlideBoardSearch, BlockedLinesGiveNoMoveAndZeroValues) {
    // Every row and column holds a large piece that fills it: nothing can slide.
    RecordingBoard board;
    Make(board, "[R#][##]", 120);
    SlideMove move{1, 2, 3, 4};
    EXPECT_FALSE(board.FindMatch(&move));
    EXPECT_EQ(move.mFromX, 0.0f);
    EXPECT_EQ(move.mFromY, 0.0f);
    EXPECT_EQ(move.mToX, 0.0f);
    EXPECT_EQ(move.mToY, 0.0f);
    // Locked pieces block the search as well.
    RecordingBoard locked;
    Make(locked, kSquare5, 300);
    Paint(locked, kWrapMove);
    for (void* item : locked.mPieces.Items()) static_cast<SlideObject*>(item)->mLocked = true;
    EXPECT_FALSE(locked.FindMatch());
}

TEST(SlideBoardFalling, NewPiecesStackAboveTheLayoutAndAccelerate) {
    RecordingBoard board;
    board.mGuaranteeMove = false;
    Make(board, "[#][#][#][#]", 240);
    for (SlideObject* p : std::vector<SlideObject*>{PieceAt(board, 1, 2), PieceAt(board, 1, 3), PieceAt(board, 1, 4)})
        board.RemoveObject(p);
    board.FillHoles();
    // The old top piece dropped to the bottom; three new ones stack from row 0 upwards, the
    // lowest hole's piece first, all falling together.
    std::vector<float> drawnTops;
    for (int row = 1; row <= 4; ++row) {
        SlideObject* p = PieceAt(board, 1, row);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->mFalling);
        EXPECT_EQ(p->mFallSpeed, 0.0f);
        drawnTops.push_back(p->mY + p->mFallOffsetY);
    }
    EXPECT_EQ(drawnTops, (std::vector<float>{-180.0f, -120.0f, -60.0f, 0.0f}));
    SlideObject* bottom = PieceAt(board, 1, 4);
    board.Update();
    EXPECT_FLOAT_EQ(bottom->mFallSpeed, 0.05f);
    board.Update();
    EXPECT_FLOAT_EQ(bottom->mFallSpeed, 0.10f);
    EXPECT_FLOAT_EQ(bottom->mFallOffsetY, -180.0f + 0.05f);
    Settle(board);
    EXPECT_FALSE(board.AreThereHoles());
    EXPECT_EQ(board.mFalling.Count(), 0);
}

TEST(SlideBoardFalling, HoleUnderAStuckLargePieceFillsFromBelowOrTheSide) {
    RecordingBoard board;
    board.mGuaranteeMove = false;
    board.mCrushingAllowed = false;
    board.mLargeAllowed = false;
    Make(board, "[O##][###][###][###]", 240);
    SlideObject* large = PieceAt(board, 1, 1);
    board.RemoveObject(PieceAt(board, 2, 3));  // under the large piece's right column
    board.FillHoles();
    EXPECT_EQ(PieceAt(board, 2, 3), nullptr) << "nothing may come from above";
    Settle(board);
    EXPECT_FALSE(board.AreThereHoles());
    EXPECT_TRUE(board.mPieces.Contains(large));
    EXPECT_EQ(board.mPieces.Count(), 9);
}

TEST(SlideBoardFalling, CrushingPushesOutOfTheBottomButNeverTheLargePiece) {
    RecordingBoard board;
    board.mGuaranteeMove = false;
    board.mLargeAllowed = false;
    Make(board, "[O#][##][##][##]", 240);
    Paint(board, {"..", "..", "ry", "gb"});
    SlideObject* large = PieceAt(board, 1, 1);
    SlideObject* pushedOut = PieceAt(board, 1, 4);
    board.RemoveObject(PieceAt(board, 2, 3));
    board.FillHoles();
    for (int i = 0; i < 5000 && board.mCrushes == 0; ++i) board.Update();
    ASSERT_EQ(board.mCrushes, 1);
    EXPECT_EQ(large->mY, 60.0f) << "one cell down, onto the pieces it pushed";
    EXPECT_TRUE(pushedOut->mPushedOut);
    Settle(board);
    EXPECT_FALSE(board.mPieces.Contains(pushedOut));
    EXPECT_TRUE(board.mPieces.Contains(large));
    EXPECT_FALSE(board.AreThereHoles());
    // Crushed again down to the bottom row, the large piece stays on the board.
    board.RemoveObject(PieceAt(board, 2, 4));
    board.CrushPieces(large);
    EXPECT_EQ(board.mCrushes, 2);
    EXPECT_EQ(large->mY, 120.0f);
    board.CrushPieces(large);
    EXPECT_EQ(board.mCrushes, 2);
    EXPECT_EQ(large->mY + large->mH, 240.0f);
}

TEST(SlideBoardFalling, AtMostOneLargePiecePerFill) {
    RecordingBoard board;
    board.mGuaranteeMove = false;
    Make(board, "[####][####][####][####]", 240);
    std::vector<SlideObject*> all;
    for (void* item : board.mPieces.Items()) all.push_back(static_cast<SlideObject*>(item));
    for (SlideObject* p : all) board.RemoveObject(p);
    board.FillHoles();
    int large = 0;
    for (void* item : board.mPieces.Items()) large += static_cast<SlideObject*>(item)->mLarge ? 1 : 0;
    EXPECT_EQ(large, 1);
    EXPECT_EQ(board.mPieces.Count(), 13);
    // None while a large piece was removed this turn.
    RecordingBoard none;
    none.mGuaranteeMove = false;
    Make(none, "[####][####][####][####]", 240);
    none.mLargeRemovedThisTurn = true;
    EXPECT_FALSE(none.CanAddLargePlaypiece());
}

TEST(SlideBoardGeneration, GuaranteeGivesUpAfterAHundredTries) {
    // One cell can never make a match: a hundred re-colourings, each followed by a search.
    RecordingBoard board;
    Make(board, "[#]", 60);
    List newPieces;
    newPieces.Add(board.mPieces.At(0));
    BoardRandom expected = board.mRandom;
    for (int i = 0; i < 1 + 100 * 2; ++i) expected.Next();
    board.GuaranteeMatches(newPieces);
    EXPECT_EQ(board.mRandom.mJ, expected.mJ);
    EXPECT_EQ(board.mRandom.mK, expected.mK);
    for (int i = 0; i < BoardRandom::kWords; ++i) EXPECT_EQ(board.mRandom.mWords[i], expected.mWords[i]);
}

TEST(SlideBoardUpdate, ReadyForNextMoveOnEachRisingEdge) {
    RecordingBoard board;
    Make(board, kSquare5, 60);
    board.Update();
    EXPECT_EQ(board.mReady, 0) << "it was already able to move";
    board.mSettleCounter = 2;
    board.Update();
    board.mSettleCounter = 0;
    board.Update();
    board.Update();
    EXPECT_EQ(board.mReady, 1);
}

TEST(SlideBoardFalling, HolesTheFillsOnlyPassAroundAreFilledInPlace) {
    // On this board the autopilot's 38th move leaves a hole under a large piece that sits above
    // another large piece: the fills only move the hole about. Play must go on.
    class Settling : public RecordingBoard {
    public:
        void Update() override {
            if (IsAnythingFalling()) mSettleCounter = 4;
            if (mSettleCounter > 0) --mSettleCounter;
            RecordingBoard::Update();
        }
    };
    Settling board;
    Make(board, "[########][########][########][########][########][########][########][########]", 600, 5);
    board.SetAutopilot(true);
    for (int i = 0; i < 100000 && board.mFinishedMoves < 60 && board.mAutopilot && !board.mAutoStuck; ++i) board.Update();
    EXPECT_TRUE(board.mFinishedMoves >= 60 || board.mAutoStuck) << board.mFinishedMoves << " moves, then the board never settled";
}
