// The slide board under the real application loop: presses, drags and releases go through the
// window and the gadget tree exactly as a player's do; and the autopilot's timing and moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "board/SlideLine.h"
#include "BoardTestSupport.h"
#include "engine/core/AppTestDriver.h"
#include "engine/core/Graphics.h"
#include "TestSupport.h"

namespace {

// The board sits at (50, 25) in the window; cells are 60 pixels.
constexpr int kLeft = 50, kTop = 25, kCell = 60;

struct BoardOnScreen {
    explicit BoardOnScreen(const std::string& layout = kSquare5, const std::vector<std::string>& colors = kWrapMove) {
        board = new RecordingBoard();
        Make(*board, layout, 5 * kCell);
        Paint(*board, colors);
        drive.app->mGadgets.Add(board);
        drive.Step();
    }
    // Centre of a cell in window pixels.
    int X(int column) const { return kLeft + (column - 1) * kCell + kCell / 2; }
    int Y(int row) const { return kTop + (row - 1) * kCell + kCell / 2; }

    AppTestDriver<> drive;
    RecordingBoard* board = nullptr;  // owned by the app's gadget tree
};

}  // namespace

TEST(SlideBoardDrag, AMatchingSlideRemovesTheGroupWithCallbacksInOrder) {
    BoardOnScreen s;
    // Row 2 one cell right, in steps, through the wrap of its last piece.
    s.drive.DragFromTo(s.X(1), s.Y(2), s.X(2), s.Y(2), 6);
    std::vector<std::string> expected = {"group 3", "remove taken-off", "remove taken-off", "remove taken-off",
                                         "match 1", "endturn 1"};
    EXPECT_EQ(s.board->mLog, expected);
    EXPECT_EQ(s.board->mTurns, 1);
    // The pieces rest in their new cells: homes follow, so nothing is wrapped any more.
    for (void* item : s.board->mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        EXPECT_EQ(p->mX, p->mHomeX);
        EXPECT_EQ(p->mWrappedX, p->mX);
    }
    // The wrapped piece came round into column 1, between the reds.
    s.drive.Step(400);
    EXPECT_FALSE(s.board->AreThereHoles());
    EXPECT_EQ(s.board->mPieces.Count(), 25);
}

TEST(SlideBoardDrag, AxisChoiceAndLocking) {
    BoardOnScreen s;
    SlideObject* pressed = PieceAt(*s.board, 3, 3);
    SlideObject* rowMate = PieceAt(*s.board, 4, 3);
    SlideObject* columnMate = PieceAt(*s.board, 3, 4);
    s.drive.Press(s.X(3), s.Y(3));
    s.drive.Step();
    // Exactly diagonal goes vertical.
    s.drive.MoveTo(s.X(3) + 20, s.Y(3) + 20);
    s.drive.Step();
    EXPECT_EQ(pressed->mY - pressed->mHomeY, 20.0f);
    EXPECT_EQ(columnMate->mY - columnMate->mHomeY, 20.0f);
    EXPECT_EQ(pressed->mX, pressed->mHomeX);
    // Turning horizontal before the lock distance puts the column back and moves the row.
    s.drive.MoveTo(s.X(3) + 30, s.Y(3) + 5);
    s.drive.Step();
    EXPECT_EQ(columnMate->mY, columnMate->mHomeY);
    EXPECT_EQ(pressed->mY, pressed->mHomeY);
    EXPECT_GT(rowMate->mX, rowMate->mHomeX);
    EXPECT_FALSE(s.board->mAxisLocked);
    // Past the lock distance the axis stays, whatever the pointer does.
    s.drive.MoveTo(s.X(3) + 70, s.Y(3) + 5);
    s.drive.Step();
    EXPECT_TRUE(s.board->mAxisLocked);
    s.drive.MoveTo(s.X(3) + 70, s.Y(3) + 90);
    s.drive.Step();
    EXPECT_EQ(columnMate->mY, columnMate->mHomeY);
    EXPECT_TRUE(s.board->mDragHorizontal);
}

TEST(SlideBoardDrag, ALockedPieceStallsItsLineAtAQuarterCell) {
    BoardOnScreen s;
    PieceAt(*s.board, 5, 4)->mLocked = true;
    SlideObject* pressed = PieceAt(*s.board, 1, 4);
    s.drive.Press(s.X(1), s.Y(4));
    s.drive.Step();
    for (int dx = 10; dx <= 50; dx += 10) {
        s.drive.MoveTo(s.X(1) + dx, s.Y(4));
        s.drive.Step();
    }
    EXPECT_EQ(pressed->mX - pressed->mHomeX, 15.0f);
    EXPECT_NE(std::find(s.board->mLog.begin(), s.board->mLog.end(), "locked"), s.board->mLog.end());
}

TEST(SlideBoardDrag, ALargePieceStopsAtTheLastAllowedPixel) {
    BoardOnScreen s("[##O##][#####][#####][#####][#####]", {"ry..g", "bi..p", "rpygb", "ygobi", "pobiy"});
    SlideObject* large = PieceAt(*s.board, 3, 1);
    ASSERT_TRUE(large->mLarge);
    SlideObject* secondRow = PieceAt(*s.board, 1, 2);
    s.drive.Press(s.X(1), s.Y(1));
    s.drive.Step();
    s.drive.MoveTo(s.X(1) + 100, s.Y(1));  // one long step; only 60 pixels fit
    s.drive.Step();
    EXPECT_EQ(large->mX, 180.0f);
    EXPECT_EQ(secondRow->mX, 60.0f) << "the second row is joined by the large piece";
    EXPECT_NE(std::find(s.board->mLog.begin(), s.board->mLog.end(), "edge"), s.board->mLog.end());
}

TEST(SlideBoardDrag, NoMatchGlidesHomeAndRefusesPressesMeanwhile) {
    BoardOnScreen s;
    SlideObject* pressed = PieceAt(*s.board, 2, 5);
    s.drive.DragFromTo(s.X(2), s.Y(5), s.X(2) + 24, s.Y(5), 3);
    EXPECT_EQ(s.board->mLog.back(), "endturn 0");
    EXPECT_TRUE(s.board->mSnapbackActive);
    float offset = pressed->mX - pressed->mHomeX;
    EXPECT_GT(offset, 0.0f);
    EXPECT_LT(offset, 24.0f);
    s.drive.Press(s.X(3), s.Y(3));
    s.drive.Step();
    EXPECT_EQ(s.board->mDragged, nullptr);
    s.drive.Release(s.X(3), s.Y(3));
    int updates = 1;
    for (; updates < 100 && s.board->mSnapbackActive; ++updates) {
        float before = pressed->mX - pressed->mHomeX;
        s.drive.Step();
        EXPECT_LT(pressed->mX - pressed->mHomeX, before);
    }
    EXPECT_GT(updates, 3);
    EXPECT_FALSE(s.board->mSnapbackActive);
    EXPECT_EQ(pressed->mX, pressed->mHomeX);
}

TEST(SlideBoardDrag, AFullWrapPlusOneCellSnapsIntoCells) {
    BoardOnScreen s;
    s.drive.Press(s.X(1), s.Y(2));
    s.drive.Step();
    for (int dx = 20; dx <= 6 * kCell; dx += 20) {
        s.drive.MoveTo(s.X(1) + dx, s.Y(2));
        s.drive.Step();
    }
    s.drive.Release(s.X(1) + 6 * kCell, s.Y(2));
    s.drive.Step();
    EXPECT_EQ(s.board->mTurns, 1);
    EXPECT_EQ(s.board->mLog.back(), "endturn 1");
    for (void* item : s.board->mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        EXPECT_EQ(int(p->mX) % kCell, 0);
        EXPECT_GE(p->mX, 0.0f);
        EXPECT_LT(p->mX, 5.0f * kCell);
    }
}

TEST(SlideBoardDrag, EachRunOfAGappedRowWrapsOnItsOwn) {
    BoardOnScreen s("[## ##][#####][#####][#####][#####]", {"ry.gb", "bipog", "rpygb", "ygobi", "pobiy"});
    SlideObject* first = PieceAt(*s.board, 1, 1);
    SlideObject* second = PieceAt(*s.board, 2, 1);
    SlideObject* beyondGap = PieceAt(*s.board, 4, 1);
    s.drive.Press(s.X(1), s.Y(1));
    s.drive.Step();
    for (int dx = 20; dx <= kCell; dx += 20) {
        s.drive.MoveTo(s.X(1) + dx, s.Y(1));
        s.drive.Step();
    }
    // The run is two cells: its wrap window starts one cell before it, so the first piece shows
    // as its copy in the second cell.
    float copyX = 0.0f, copyY = 0.0f;
    EXPECT_EQ(first->mWrappedX, -60.0f);
    ASSERT_TRUE(first->DrawnCopyCentre(copyX, copyY));
    EXPECT_EQ(copyX, 90.0f);
    EXPECT_EQ(second->mWrappedX, 0.0f) << "came round to the run's own start";
    EXPECT_EQ(beyondGap->mX, beyondGap->mHomeX);
}

TEST(SlideBoardAutopilot, TimingIsWaitThenAPixelPerUpdateThenWait) {
    struct Case {
        float stepsPerUpdate;
        int pixelsPerUpdate;
    };
    for (Case c : {Case{1.0f, 1}, Case{0.5f, 1}, Case{2.0f, 2}}) {
        SCOPED_TRACE(c.stepsPerUpdate);
        RecordingBoard board;
        Make(board, kSquare5, 5 * kCell);
        Paint(board, kWrapMove);
        board.mAutoStepsPerUpdate = c.stepsPerUpdate;
        board.SetAutopilot(true);
        int pressedAt = -1, finishedAt = -1;
        for (int i = 0; i < 2000 && finishedAt < 0; ++i) {
            board.Update();
            if (pressedAt < 0 && board.mDragged) pressedAt = i;
            if (board.mFinishedMoves == 1) finishedAt = i;
        }
        float length = std::hypot(board.mAutoMove.mToX - board.mAutoMove.mFromX, board.mAutoMove.mToY - board.mAutoMove.mFromY);
        EXPECT_EQ(pressedAt, 25);
        EXPECT_EQ(finishedAt, 25 + int(length) / c.pixelsPerUpdate + 26);
        EXPECT_EQ(board.mTurns, 1);
        EXPECT_EQ(board.mLog.back(), "endturn 1");
    }
}

TEST(SlideBoardAutopilot, GoesRoundTheWrapWhenALargePieceBlocksAndFinishesOnTheDrawnCopy) {
    // Rows 1 and 2 slide together (joined by the large orange); the match needs the first
    // column's reds to come round to column 5, which the large piece cannot reach directly.
    RecordingBoard board;
    Make(board, "[##O##][#####][#####]", 5 * kCell);
    Paint(board, {"ry..g", "rb..p", "ygbwr"});
    ASSERT_FALSE(board.GetMatches(nullptr, false));
    SlideMove move{30.0f, 30.0f, 270.0f, 30.0f};
    EXPECT_TRUE(board.IsMatchLineWrapped(move));
    SlideMove plain{30.0f, 150.0f, 90.0f, 150.0f};
    EXPECT_FALSE(board.IsMatchLineWrapped(plain)) << "a single line never needs to";

    board.SetAutopilot(true);
    board.mAutoNeedNewMove = false;
    board.mAutoMove = move;
    board.mAutoOtherWay = true;
    for (int i = 0; i < 500 && board.mFinishedMoves == 0; ++i) board.Update();
    EXPECT_EQ(board.mFinishedMoves, 1);
    EXPECT_FALSE(board.mAutoStuck);
    EXPECT_EQ(board.mLog.back(), "endturn 1");
}

TEST(SlideBoardAutopilot, MoveLimitPausesAfterThePress) {
    BoardOnScreen s;
    s.board->mAutoMoveLimit = 1;
    s.board->SetAutopilot(true);
    for (int i = 0; i < 200 && !s.board->mAutoPaused; ++i) s.drive.Step();
    EXPECT_TRUE(s.board->mAutoPaused);
    EXPECT_EQ(s.board->mAutoMovesMade, 1);
    s.drive.Frame();
    ASSERT_NE(s.drive.app->mGraphics, nullptr);
    EXPECT_NE(s.drive.app->mGraphics->mSystemText.find("AUTOPILOT PAUSED"), std::string::npos);
}

TEST(SlideBoardAutopilot, AClickStopsIt) {
    BoardOnScreen t;
    t.board->SetAutopilot(true);
    t.drive.Step(3);
    t.drive.Press(t.X(2), t.Y(2));
    t.drive.Step();
    EXPECT_FALSE(t.board->mAutopilot);
}

TEST(SlideBoardAutopilot, AMoveThatCannotBeReachedIsLetGo) {
    // A locked piece holds row 2 at a quarter cell: the autopilot drags, gets nowhere, and after
    // a board's length of travel releases; the move snaps back and the autopilot stops.
    RecordingBoard board;
    Make(board, kSquare5, 5 * kCell);
    Paint(board, kWrapMove);
    PieceAt(board, 4, 2)->mLocked = true;
    board.SetAutopilot(true);
    board.mAutoNeedNewMove = false;
    board.mAutoMove = SlideMove{30.0f, 90.0f, 90.0f, 90.0f};
    for (int i = 0; i < 3000 && board.mFinishedMoves == 0; ++i) board.Update();
    EXPECT_EQ(board.mFinishedMoves, 1);
    EXPECT_TRUE(board.mAutoStuck);
    EXPECT_EQ(board.mLog.back(), "endturn 0");
}

TEST(SlideBoardAutopilot, FuzzRegressionsPlayOn) {
    // Inputs the layout fuzzer found, replayed the way its harness runs them.
    const char* names[] = {"endless-autopilot-drag"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        std::string data = TestSupport::ReadText(TestSupport::SourceDir() + "/tests/data/fuzz-regressions/fuzz_boardlayout/" + name);
        ASSERT_GE(data.size(), 2u);
        RecordingBoard board;
        board.mNumColors = 1 + uint8_t(data[0]) % 8;
        board.mUseFixedSeed = true;
        board.mFixedSeed = uint8_t(data[0]);
        board.mInitialized = true;
        board.mLargeAllowed = (data[1] & 1) != 0;
        board.SetChanceToMinimizeCascades((data[1] & 2) ? 100.0f : 0.0f);
        ASSERT_TRUE(board.MakeBoard(data.substr(2), (1 + (uint8_t(data[1]) >> 2)) * 10));
        board.mAutoStartDelay = board.mAutoReleaseDelay = 1;
        board.mAutoStepsPerUpdate = 8.0f;
        board.SetAutopilot(true);
        for (int i = 0; i < 3000; ++i) {
            board.Update();
            if (board.IsAnythingFalling()) board.mSettleCounter = 4;
            if (board.mSettleCounter > 0) --board.mSettleCounter;
        }
        EXPECT_GE(board.mFinishedMoves, 3);
    }
}
