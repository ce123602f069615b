// The slide board's saved record: settings, autopilot, random source, layout and pieces, written
// at rest and read back with every value checked, so a damaged record never builds a board.
// The byte order of the items below is the file format; never reorder them.
#include "board/SlideBoard.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "board/BoardLayout.h"
#include "board/SlideBoardGrid.h"
#include "board/SlideObject.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"

using namespace slide_board_grid;

namespace {

// The longest layout a record may hold: the layout table's rows with their brackets, with room
// for text between rows.
constexpr int32_t kMaxLayoutLength = 4 * (BoardLayout::kMaxColumns + 2) * BoardLayout::kMaxRows;
constexpr int32_t kMaxCount = 1000000;
constexpr int32_t kHeldCountdown = 9999999;
constexpr uint32_t kWordMask = (1u << 30) - 1;

}  // namespace

// ---- [saved form] ---------------------------------------------------------------------------------

void SlideBoard::ReleaseDragForSave() {
    if (mDragged || mPlayerDragActive || mAutoDragActive) {
        // A line the player (or the hint) never let go of goes back: that move was not made.
        PutEveryPieceHome();
        mDragged = nullptr;
        mPlayerDragActive = mAutoDragActive = false;
    }
    // A keyboard slide is a drag like the mouse's: it goes back with it.
    mKeySliding = false;
    if (mAutoMoveInProgress) {
        // The autopilot finds its move again when the board is resumed.
        mAutoMoveInProgress = false;
        mAutoTargetReached = false;
        mAutoNeedNewMove = true;
    }
    mEdgeBlocked.Clear();
    mLockedBlocked.Clear();
    Gadget::CancelDrag();
}

bool SlideBoard::IsAtRest() {
    return CanSave() && !IsAnythingFalling() && !mSnapbackActive && !mDragged && !mPlayerDragActive && !mAutoDragActive;
}

void SlideBoard::BringToRest() {
    ReleaseDragForSave();
    bool paused = mAutoPaused;
    mAutoPaused = true;
    for (int i = 0; i < kMaxSettleUpdates && !IsAtRest(); ++i) Update();
    mAutoPaused = paused;
}

void SlideBoard::Save(DataBuffer& out) {
    BringToRest();
    out.WriteInt(mNumColors);
    out.WriteFloat(mCellSize);
    out.WriteInt(mColumnBound);
    out.WriteInt(mRowBound);
    out.WriteFloat(mDragStartX);
    out.WriteFloat(mDragStartY);
    out.WriteFloat(mDragX);
    out.WriteFloat(mDragY);
    out.WriteBool(mAxisLocked);
    out.WriteBool(mDragHorizontal);
    out.WriteBool(mDragVertical);
    out.WriteInt(mPushStamp);
    out.WriteBool(mSnapbackActive);
    out.WriteFloat(mFallAcceleration);
    out.WriteBool(mLargeAllowed);
    out.WriteBool(mLargeRemovedThisTurn);
    out.WriteInt(mMostLargePieces);
    out.WriteBool(mGuaranteeMove);
    out.WriteBool(mGuaranteeCountsSpecial);
    out.WriteInt(mRefillDelay);
    out.WriteInt(mRefillCountdown);
    out.WriteBool(mAutopilot);
    out.WriteFloat(mAutoMove.mFromX);
    out.WriteFloat(mAutoMove.mFromY);
    out.WriteFloat(mAutoMove.mToX);
    out.WriteFloat(mAutoMove.mToY);
    out.WriteBool(mAutoMoveInProgress);
    out.WriteBool(mAutoNeedNewMove);
    out.WriteBool(mAutoTargetReached);
    out.WriteFloat(mAutoDragX);
    out.WriteFloat(mAutoDragY);
    out.WriteFloat(mAutoStepX);
    out.WriteFloat(mAutoStepY);
    out.WriteBool(mAutoStuck);
    out.WriteInt(mAutoFailedSearches);
    out.WriteBool(mAutoOtherWay);
    out.WriteInt(mAutoMovesMade);
    out.WriteInt(mAutoMoveLimit);
    out.WriteBool(mAutoPaused);
    out.WriteFloat(mAutoStepsPerUpdate);
    out.WriteInt(mAutoStartDelay);
    out.WriteInt(mAutoStartCountdown);
    out.WriteBool(mAutoMoveShown);
    out.WriteInt(mAutoReleaseDelay);
    out.WriteInt(mAutoReleaseCountdown);
    out.WriteInt(mRandom.mJ);
    out.WriteInt(mRandom.mK);
    for (int32_t word : mRandom.mWords) out.WriteInt(word);
    out.WriteInt(mRemovalPasses);
    out.WriteInt(mVanishingPieces);
    out.WriteBool(mMinimizeCascades);
    out.WriteInt(mChanceToMinimizeCascades);
    out.WriteBool(mCrushingAllowed);
    out.WriteBool(mPrevCanMakeMove);
    out.WriteInt(mFixedSeed);
    out.WriteBool(mUseFixedSeed);
    out.WriteFloat(mAxisLockDistance);
    out.WriteString(mLayout);
    out.WriteInt(mBoardSize);
    std::vector<SlideObject*> live;
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (!p->mKilled) live.push_back(p);
    }
    out.WriteInt(static_cast<int32_t>(live.size()));
    for (SlideObject* p : live) p->Save(out);
}

bool SlideBoard::AcceptLayout(const std::string& layout, int size, std::string* problem) {
    (void)layout, (void)size, (void)problem;
    return true;
}

void SlideBoard::DeletePieces() {
    std::vector<SlideObject*> all = Snapshot(mPieces);
    for (void* item : mDying.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (std::find(all.begin(), all.end(), p) == all.end()) all.push_back(p);
    }
    for (SlideObject* p : all) delete p;
    mPieces.Clear();
    mDying.Clear();
    mFalling.Clear();
    mPushed.Clear();
    mEdgeBlocked.Clear();
    mLockedBlocked.Clear();
    mDragged = nullptr;
}

bool SlideBoard::Load(RecordReader& in) {
    const float far = kFarCoordinate;
    mNumColors = in.Int("number of colours", 1, kMaxColors);
    float cellSize = in.Float("cell size", 1.0f, float(kMaxBoardSize));
    int columnBound = in.Int("column bound", 2, BoardLayout::kMaxColumns + 1);
    int rowBound = in.Int("row bound", 2, BoardLayout::kMaxRows + 1);
    mDragStartX = in.Float("drag start x", -far, far);
    mDragStartY = in.Float("drag start y", -far, far);
    mDragX = in.Float("drag x", -far, far);
    mDragY = in.Float("drag y", -far, far);
    mAxisLocked = in.Bool("axis locked");
    mDragHorizontal = in.Bool("drag horizontal");
    mDragVertical = in.Bool("drag vertical");
    mPushStamp = in.Int("push stamp");
    bool snapback = in.Bool("snapback");
    // Without some acceleration a falling piece would never land.
    mFallAcceleration = in.Float("fall acceleration", 0.001f, 1000.0f);
    mLargeAllowed = in.Bool("large pieces allowed");
    mLargeRemovedThisTurn = in.Bool("large piece removed");
    mMostLargePieces = in.Int("most large pieces", 0, kMaxCount);
    mGuaranteeMove = in.Bool("guarantee a move");
    mGuaranteeCountsSpecial = in.Bool("guarantee counts special pieces");
    mRefillDelay = in.Int("refill delay", 0, kHeldCountdown);
    int refillCountdown = in.Int("refill countdown", 0, kHeldCountdown);
    mAutopilot = in.Bool("autopilot");
    mAutoMove.mFromX = in.Float("autopilot move from x", -far, far);
    mAutoMove.mFromY = in.Float("autopilot move from y", -far, far);
    mAutoMove.mToX = in.Float("autopilot move to x", -far, far);
    mAutoMove.mToY = in.Float("autopilot move to y", -far, far);
    mAutoMoveInProgress = in.Bool("autopilot move in progress");
    mAutoNeedNewMove = in.Bool("autopilot needs a move");
    mAutoTargetReached = in.Bool("autopilot target reached");
    mAutoDragX = in.Float("autopilot drag x", -far, far);
    mAutoDragY = in.Float("autopilot drag y", -far, far);
    mAutoStepX = in.Float("autopilot step x", -far, far);
    mAutoStepY = in.Float("autopilot step y", -far, far);
    mAutoStuck = in.Bool("autopilot stuck");
    mAutoFailedSearches = in.Int("autopilot failed searches", 0, kMaxCount);
    mAutoOtherWay = in.Bool("autopilot other way");
    mAutoMovesMade = in.Int("autopilot moves made", 0);
    mAutoMoveLimit = in.Int("autopilot move limit", -1);
    mAutoPaused = in.Bool("autopilot paused");
    // Drag steps per update are run in a loop; a huge count would stall the game.
    mAutoStepsPerUpdate = in.Float("autopilot steps per update", 0.0f, 1000.0f);
    mAutoStartDelay = in.Int("autopilot start delay", 0, kMaxCount);
    mAutoStartCountdown = in.Int("autopilot start countdown", 0, kMaxCount);
    mAutoMoveShown = in.Bool("autopilot move shown");
    mAutoReleaseDelay = in.Int("autopilot release delay", 0, kMaxCount);
    mAutoReleaseCountdown = in.Int("autopilot release countdown", 0, kMaxCount);
    BoardRandom random;
    random.mJ = in.Int("random index j", 0, BoardRandom::kWords - 1);
    random.mK = in.Int("random index k", 0, BoardRandom::kWords - 1);
    for (int32_t& word : random.mWords) word = in.Int("random word", 0, int32_t(kWordMask));
    mRemovalPasses = in.Int("removal passes", 0, kMaxCount);
    int vanishing = in.Int("vanishing pieces", 0, kMaxCount);
    mMinimizeCascades = in.Bool("minimize cascades");
    mChanceToMinimizeCascades = in.Int("chance to minimize cascades", 0, 10000);
    mCrushingAllowed = in.Bool("crushing allowed");
    mPrevCanMakeMove = in.Bool("previous can-make-move");
    mFixedSeed = in.Int("fixed seed");
    mUseFixedSeed = in.Bool("use fixed seed");
    mAxisLockDistance = in.Float("axis lock distance", 0.0f, far);
    std::string layout = in.String("layout", kMaxLayoutLength);
    int size = in.Int("board size", 1, kMaxBoardSize);
    if (!in.Ok()) return false;

    std::string problem;
    if (!AcceptLayout(layout, size, &problem)) {
        in.Fail(problem);
        return false;
    }
    if (!MakeBoard(layout, size)) {
        in.Fail("layout: " + mLastError);
        return false;
    }
    if (mCellSize != cellSize || mColumnBound != columnBound || mRowBound != rowBound) {
        in.Fail("the cell size and bounds do not belong to the layout");
        return false;
    }
    // The generated pieces make way for the loaded ones.
    DeletePieces();
    BoardLayout parsed;
    parsed.Parse(layout);
    int count = in.Int("piece count", 0, parsed.CellCount());
    for (int i = 0; i < count && in.Ok(); ++i) {
        SlideObject* p = NewSlideObject();
        mPieces.Add(p);
        p->Load(in);
    }
    if (!in.Ok() || !CheckPiecePlaces(in)) return false;
    if (vanishing > count) {
        in.Fail("more vanishing pieces than pieces");
        return false;
    }

    // What making the board reset is put back as it was saved.
    mSnapbackActive = snapback;
    mRefillCountdown = refillCountdown;
    mVanishingPieces = vanishing;
    mRandom = random;
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (p->mFalling) mFalling.Add(p);
    }
    mSettleCounter = 0;
    mInitialized = true;
    return true;
}

bool SlideBoard::CheckPiecePlaces(RecordReader& in) {
    const int columns = Columns(), rows = Rows();
    std::vector<uint8_t> covered(static_cast<size_t>(columns + 1) * (rows + 1), 0);
    int index = 0;
    for (void* item : mPieces.Items()) {
        const SlideObject* p = static_cast<const SlideObject*>(item);
        std::string which = "piece " + std::to_string(index++);
        int cells = p->mLarge ? 2 : 1;
        if (p->mW != mCellSize * float(cells) || p->mH != p->mW) {
            in.Fail(which + ": its size is not one cell, or two for a large piece");
            return false;
        }
        // Pieces rest on whole cells: a position is a whole number of cells from the corner.
        float fc = p->mX / mCellSize, fr = p->mY / mCellSize;
        if (fc != std::floor(fc) || fr != std::floor(fr) || fc < 0.0f || fr < 0.0f ||
            fc + float(cells) > float(columns) || fr + float(cells) > float(rows)) {
            in.Fail(which + ": it does not lie on the board's cells");
            return false;
        }
        int column = int(fc) + 1, row = int(fr) + 1;
        for (int c = column; c < column + cells; ++c)
            for (int r = row; r < row + cells; ++r) {
                uint8_t& cell = covered[static_cast<size_t>(r) * (columns + 1) + c];
                if (!IsCell(c, r) || cell) {
                    in.Fail(which + (cell ? ": it shares a cell with another piece" : ": it lies outside the layout"));
                    return false;
                }
                cell = 1;
            }
    }
    return true;
}
