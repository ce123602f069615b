// The slide board: life cycle, board queries and drawing. The mechanics live beside this file:
// SlideBoardDrag.cpp (mouse and dragging), SlideBoardMatches.cpp, SlideBoardFalling.cpp,
// SlideBoardGeneration.cpp and SlideBoardAutopilot.cpp.
#include "board/SlideBoard.h"

#include <algorithm>

#include "board/SlideBoardGrid.h"
#include "board/SlideLine.h"
#include "board/SlideObject.h"
#include "engine/core/App.h"
#include "engine/core/Graphics.h"
#include "engine/core/StateHash.h"

using namespace slide_board_grid;

// ---- [life cycle] ---------------------------------------------------------------------------------

void SlideBoard::Groups::Clear() {
    for (void* item : mList.Items()) delete static_cast<List*>(item);
    mList.Clear();
}

SlideBoard::SlideBoard() {
    SetRect(50.0f, 25.0f, 800.0f, 600.0f);
    mRandom.Seed(App::Milliseconds());
    // The controller's B (putting a piece down) means nothing to a screen, so it comes as it is.
    mTakesPadKeys = true;
}

SlideBoard::~SlideBoard() { ClearBoard(); }

void SlideBoard::ClearBoard() {
    DeletePieces();
    for (void* item : mLines.Items()) delete static_cast<SlideLine*>(item);
    mLines.Clear();
    mRowLines.Clear();
    mColumnLines.Clear();
}

std::vector<SlideObject*> SlideBoard::Snapshot(const List& list) const {
    std::vector<SlideObject*> out;
    out.reserve(list.Count());
    for (void* item : list.Items()) out.push_back(static_cast<SlideObject*>(item));
    return out;
}

void SlideBoard::ForgetObject(SlideObject* piece) {
    mDying.RemoveAll(piece);
    mPieces.RemoveAll(piece);
    mFalling.RemoveAll(piece);
    mPushed.RemoveAll(piece);
    mEdgeBlocked.RemoveAll(piece);
    mLockedBlocked.RemoveAll(piece);
    if (mDragged == piece) mDragged = nullptr;
    for (int c = 0; c < piece->mGridWidth; ++c)
        for (int r = 0; r < piece->mGridHeight; ++r) {
            int col = piece->mGridColumn + c, row = piece->mGridRow + r;
            if (InGrid(col, row) && mWorkGrid[GridIndex(col, row)] == piece) mWorkGrid[GridIndex(col, row)] = nullptr;
        }
}

void SlideBoard::Update() {
    if (mKeySliding) StepKeySlide();
    if (mAutopilot) UpdateAutopilot();
    if (mSnapbackActive) UpdateSnapback();
    std::vector<SlideObject*> dying = Snapshot(mDying);
    mDying.Clear();
    for (SlideObject* p : dying) delete p;
    // A destroyed piece's grid fields may be older than the grid (a restored snapshot), so its
    // own cells are not enough: no entry may be left pointing at it.
    if (!dying.empty()) ClearGridArea();
    UpdateFallingObjects();
    bool can = CanMakeMove();
    if (can && can != mPrevCanMakeMove) ReadyForNextMoveCallback();
    mPrevCanMakeMove = can;
}

void SlideBoard::Initialize() { MakeBoard("[#####][#####][#####][#####][#####]", 60); }

SlideObject* SlideBoard::NewSlideObject() { return new SlideObject(this); }

bool SlideBoard::CanMakeMove() { return mSettleCounter < 1; }

bool SlideBoard::CanPlayerDrag() { return !(mSettleCounter > 0 || mDemonstration || mAutopilot); }

// ---- [board queries] ------------------------------------------------------------------------------

void SlideBoard::ClearGridArea() {
    int columns = std::min(kGridSize, mGridExtentColumns);
    int rows = std::min(kGridSize, mGridExtentRows);
    for (int c = 0; c < columns; ++c) std::fill(mWorkGrid + GridIndex(c, 0), mWorkGrid + GridIndex(c, 0) + rows, nullptr);
}

void SlideBoard::ComputeGridCell(SlideObject* p) const {
    int cell = std::max(1, Whole(mCellSize));
    p->mGridColumn = Whole(p->mX) / cell + 1;
    p->mGridRow = Whole(p->mY) / cell + 1;
    p->mGridWidth = Whole(p->mW) / cell;
    p->mGridHeight = Whole(p->mH) / cell;
}

void SlideBoard::MakeWorkGrid() {
    // Entries outside the layout (plus its border) never hold a piece: the mask is 0 there.
    ClearGridArea();
    if (mCellSize < 1.0f) return;
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (p->mKilled) continue;
        ComputeGridCell(p);
        if (p->mGridColumn < 1 || p->mGridColumn >= mColumnBound || p->mGridRow < 1 || p->mGridRow >= mRowBound) {
            p->Kill();
            AddToDying(p);
        }
        for (int c = 0; c < p->mGridWidth; ++c)
            for (int r = 0; r < p->mGridHeight; ++r) {
                int col = p->mGridColumn + c, row = p->mGridRow + r;
                if (InGrid(col, row) && mMask[GridIndex(col, row)]) mWorkGrid[GridIndex(col, row)] = p;
            }
    }
}

bool SlideBoard::IsCell(int column, int row) const { return InGrid(column, row) && mMask[GridIndex(column, row)]; }

SlideObject* SlideBoard::GridAt(int column, int row) const {
    return InGrid(column, row) ? mWorkGrid[GridIndex(column, row)] : nullptr;
}

SlideObject* SlideBoard::PickObject(float x, float y) {
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (!p->mKilled && p->Bounds().Contains(x, y)) return p;
    }
    return nullptr;
}

void SlideBoard::AddToDying(SlideObject* piece) { mDying.Add(piece); }

void SlideBoard::RemoveObject(SlideObject* piece) {
    if (!piece) return;
    piece->Kill();
    mPieces.RemoveAll(piece);
    mFalling.RemoveAll(piece);
    AddToDying(piece);
}

bool SlideBoard::IsAnythingFalling() const { return !mFalling.Empty() || mRefillCountdown > 0; }

bool SlideBoard::AreThereHoles() {
    MakeWorkGrid();
    for (int c = 0; c <= mColumnBound && c < kGridSize; ++c)
        for (int r = 0; r <= mRowBound && r < kGridSize; ++r)
            if (mMask[GridIndex(c, r)] && !mWorkGrid[GridIndex(c, r)]) return true;
    return false;
}

bool SlideBoard::CanAddLargePlaypiece() {
    if (!mLargeAllowed || mMostLargePieces == 0 || mLargeRemovedThisTurn) return false;
    int large = 0;
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (p->mW > mCellSize || p->mH > mCellSize) ++large;
    }
    return large < mMostLargePieces;
}

bool SlideBoard::IsObjectFullySupported(SlideObject* piece) {
    MakeWorkGrid();
    for (int c = 0; c < piece->mGridWidth; ++c) {
        int col = piece->mGridColumn + c;
        for (int row = piece->mGridRow + piece->mGridHeight; row < mRowBound; ++row)
            if (IsCell(col, row) && !GridAt(col, row)) return false;
    }
    return true;
}

// ---- [drawing] ------------------------------------------------------------------------------------

void SlideBoard::Draw() {
    for (SlideObject* p : Snapshot(mPieces)) p->DrawWrapped();
    if (mAutoPaused) {
        App* app = App::Instance();
        if (app && app->mGraphics) {
            Graphics* g = app->mGraphics;
            g->DrawSystemText(g->mOrigin.x + 100.0f, g->mOrigin.y + 100.0f, "AUTOPILOT PAUSED");
        }
    }
}

// ---- [state digest] -------------------------------------------------------------------------------

void SlideBoard::HashState(StateHash& hash) const {
    hash.AddInt(mPieces.Count());
    for (int i = 0; i < mPieces.Count(); ++i)
        if (const SlideObject* piece = mPieces.At<SlideObject>(i)) piece->HashState(hash);
    hash.AddInt(mDying.Count());
    hash.AddBool(mSnapbackActive);
    hash.AddBool(mAutopilot);
    // The keyboard cursor shows where the next key slide goes.
    hash.AddBool(mKeyCursorShown);
    hash.AddBool(mKeyPickedUp);
    hash.AddInt(mKeyColumn);
    hash.AddInt(mKeyRow);
}
