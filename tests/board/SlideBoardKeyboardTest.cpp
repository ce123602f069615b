// The slide board under the keys, through the real loop: the cursor, one-cell slides that are
// drags like the mouse's (same callbacks, snap, snapback and refusals), and the mouse and the keys
// taking turns on one board.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BoardTestSupport.h"
#include "engine/core/AppTestDriver.h"
#include "platform/KeyCodes.h"

namespace {

constexpr int kLeft = 50, kTop = 25, kCell = 60;

struct KeyBoard {
    explicit KeyBoard(const std::string& layout = kSquare5, const std::vector<std::string>& colors = kWrapMove) {
        board = new RecordingBoard();
        Make(*board, layout, 5 * kCell);
        Paint(*board, colors);
        drive.app->mGadgets.Add(board);
        board->TakeKeyboardFocus();
        drive.Step();
    }
    void Key(int key) {
        drive.KeyPress(key);
        drive.KeyRelease(key);
    }
    // The cursor to a cell, by arrows from where it is (shown first).
    void CursorTo(int column, int row) {
        if (!board->mKeyCursorShown) Key(kKeyRight);
        drive.Step();
        while (board->mKeyColumn != column) {
            Key(board->mKeyColumn < column ? kKeyRight : kKeyLeft);
            drive.Step();
        }
        while (board->mKeyRow != row) {
            Key(board->mKeyRow < row ? kKeyDown : kKeyUp);
            drive.Step();
        }
    }
    // A controller button, pressed and let go.
    void Pad(GameControllers::Button button) {
        drive.W().PushPadButton(button, true);
        drive.W().PushPadButton(button, false);
    }
    void ShiftSlide(int key) {
        drive.KeyPress(kKeyShift);
        Key(key);
        drive.KeyRelease(kKeyShift);
    }
    int X(int column) const { return kLeft + (column - 1) * kCell + kCell / 2; }
    int Y(int row) const { return kTop + (row - 1) * kCell + kCell / 2; }

    AppTestDriver<> drive;
    RecordingBoard* board = nullptr;  // owned by the app's gadget tree
};

const std::vector<std::string> kMatchLog = {"group 3", "remove taken-off", "remove taken-off", "remove taken-off",
                                            "match 1", "endturn 1"};

}  // namespace

TEST(SlideBoardKeyboard, TheCursorShowsFirstThenMovesRoundTheLinesSkippingGaps) {
    // Column 3 of the first row is left out of the shape.
    KeyBoard k("[## ##][#####][#####][#####][#####]", {"ry.gb", "bipog", "rpygb", "ygobi", "pobiy"});
    EXPECT_FALSE(k.board->mKeyCursorShown);
    k.Key(kKeyLeft);
    k.drive.Step();
    EXPECT_TRUE(k.board->mKeyCursorShown);
    EXPECT_EQ(k.board->mKeyColumn, 3) << "the first key only shows the cursor, in the middle";
    EXPECT_EQ(k.board->mKeyRow, 3);
    const struct {
        int key, column, row;
    } moves[] = {
        {kKeyLeft, 2, 3}, {kKeyLeft, 1, 3}, {kKeyLeft, 5, 3},  // round the row's wrap
        {kKeyRight, 1, 3}, {kKeyRight, 2, 3}, {kKeyRight, 3, 3}, {kKeyUp, 3, 2},
        {kKeyUp, 3, 5},  // the gap is skipped and the column wraps
        {kKeyDown, 3, 2},
    };
    for (const auto& m : moves) {
        k.Key(m.key);
        k.drive.Step();
        EXPECT_EQ(k.board->mKeyColumn, m.column);
        EXPECT_EQ(k.board->mKeyRow, m.row);
    }
    EXPECT_EQ(k.board->mTurns, 0) << "moving the cursor is no move";
}

TEST(SlideBoardKeyboard, EveryWayToSlideIsTheMouseDragWithItsCallbacks) {
    const struct {
        const char* name;
        void (*slide)(KeyBoard&);
    } ways[] = {
        {"shift", [](KeyBoard& k) { k.ShiftSlide(kKeyRight); }},
        {"space", [](KeyBoard& k) { k.Key(kKeySpace); k.Key(kKeyRight); }},
        {"enter", [](KeyBoard& k) { k.Key(kKeyEnter); k.Key(kKeyRight); }},
        {"controller", [](KeyBoard& k) { k.Pad(GameControllers::Button::kA); k.Pad(GameControllers::Button::kRight); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        KeyBoard k;
        k.CursorTo(1, 2);
        SlideObject* piece = PieceAt(*k.board, 1, 2);
        way.slide(k);
        k.drive.Step();
        EXPECT_TRUE(k.board->IsKeySliding()) << "the line slides over several updates";
        EXPECT_GT(piece->mX, piece->mHomeX);
        EXPECT_LT(piece->mX, piece->mHomeX + kCell);
        k.drive.Step(SlideBoard::kKeySlideSteps);
        EXPECT_FALSE(k.board->IsKeySliding());
        EXPECT_EQ(k.board->mLog, kMatchLog);
        EXPECT_FALSE(k.board->mKeyPickedUp) << "the piece is put down with the move";
        EXPECT_EQ(k.board->mKeyColumn, 2) << "the cursor went with the piece";
        k.drive.Step(400);
        EXPECT_FALSE(k.board->AreThereHoles());
        EXPECT_EQ(k.board->mPieces.Count(), 25);
    }
}

TEST(SlideBoardKeyboard, NoMatchSnapsBackTheCursorStaysAndKeysWaitForTheGlide) {
    KeyBoard k;
    k.CursorTo(4, 4);
    std::vector<std::string> before = Letters(*k.board);
    k.ShiftSlide(kKeyUp);
    k.drive.Step(SlideBoard::kKeySlideSteps + 1);
    ASSERT_EQ(k.board->mLog, std::vector<std::string>{"endturn 0"});
    EXPECT_TRUE(k.board->mSnapbackActive);
    EXPECT_EQ(k.board->mKeyRow, 4) << "the piece came back, so does the cursor";
    // During the glide a slide is refused as a press would be.
    k.ShiftSlide(kKeyDown);
    k.drive.Step(SlideBoard::kKeySlideSteps + 1);
    EXPECT_EQ(k.board->mTurns, 1);
    k.drive.StepUntil([&] { return !k.board->mSnapbackActive; }, 100);
    EXPECT_EQ(Letters(*k.board), before);
    // Space picks up, Space again puts down: the next arrow only moves the cursor.
    k.Key(kKeySpace);
    k.drive.Step();
    EXPECT_TRUE(k.board->mKeyPickedUp);
    k.Key(kKeySpace);
    k.Key(kKeyRight);
    k.drive.Step(SlideBoard::kKeySlideSteps + 1);
    EXPECT_EQ(k.board->mTurns, 1);
    EXPECT_EQ(k.board->mKeyColumn, 5);
    // The controller's B puts a picked-up piece down too.
    k.Pad(GameControllers::Button::kA);
    k.Pad(GameControllers::Button::kB);
    k.Pad(GameControllers::Button::kLeft);
    k.drive.Step(SlideBoard::kKeySlideSteps + 1);
    EXPECT_EQ(k.board->mTurns, 1);
    EXPECT_EQ(k.board->mKeyColumn, 4);
}

TEST(SlideBoardKeyboard, TheMouseAndTheKeysTakeTurns) {
    {
        SCOPED_TRACE("a press held on the board keeps the keys out");
        KeyBoard k;
        k.CursorTo(1, 2);
        k.drive.Press(k.X(4), k.Y(4));
        k.drive.Step();
        k.ShiftSlide(kKeyRight);
        k.drive.Step(SlideBoard::kKeySlideSteps + 1);
        EXPECT_TRUE(k.board->mLog.empty());
        k.drive.Release(k.X(4), k.Y(4));
        k.drive.Step();
    }
    {
        SCOPED_TRACE("a press during a keyboard slide lets it finish first");
        KeyBoard k;
        k.CursorTo(1, 2);
        k.ShiftSlide(kKeyRight);
        k.drive.Step(2);
        ASSERT_TRUE(k.board->IsKeySliding());
        k.drive.Press(k.X(5), k.Y(5));
        k.drive.Step();
        EXPECT_EQ(k.board->mLog, kMatchLog);
        EXPECT_FALSE(k.board->IsKeySliding());
        EXPECT_FALSE(k.board->mKeyCursorShown) << "the mouse took over";
        EXPECT_EQ(k.board->mKeyColumn, 5) << "the cursor comes back where the mouse pressed";
        EXPECT_EQ(k.board->mKeyRow, 5);
        k.drive.Release(k.X(5), k.Y(5));
        k.drive.Step();
    }
    {
        SCOPED_TRACE("the autopilot takes the board after the slide");
        KeyBoard k;
        k.CursorTo(1, 2);
        k.ShiftSlide(kKeyRight);
        k.drive.Step(2);
        k.board->SetAutopilot(true);
        EXPECT_EQ(k.board->mLog, kMatchLog);
        EXPECT_FALSE(k.board->mPlayerDragActive);
    }
}
