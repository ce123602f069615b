// The slide board's mechanics. Sections: [life cycle] [board queries] [mouse] [dragging]
// [matches] [falling] [generation] [autopilot] [drawing].
#include "board/SlideBoard.h"

#include <algorithm>
#include <cmath>

#include "board/BoardLayout.h"
#include "board/SlideLine.h"
#include "board/SlideObject.h"
#include "engine/core/App.h"
#include "engine/core/Graphics.h"

namespace {

// The program-wide match stamp counter: each GetMatches call raises it.
int gMatchStamp = 0;

inline int GridIndex(int column, int row) { return column * SlideBoard::kGridSize + row; }
inline bool InGrid(int column, int row) {
    return column >= 0 && row >= 0 && column < SlideBoard::kGridSize && row < SlideBoard::kGridSize;
}

// Float to int the way the board's integer arithmetic expects (truncation), kept in a range that
// cannot overflow however far a piece was dragged.
inline int Whole(float v) {
    if (!(v == v)) return 0;
    if (v > 1e8f) return 100000000;
    if (v < -1e8f) return -100000000;
    return static_cast<int>(v);
}

}  // namespace

// ---- [life cycle] ---------------------------------------------------------------------------------

void SlideBoard::Groups::Clear() {
    for (void* item : mList.Items()) delete static_cast<List*>(item);
    mList.Clear();
}

SlideBoard::SlideBoard() {
    SetRect(50.0f, 25.0f, 800.0f, 600.0f);
    mRandom.Seed(App::Milliseconds());
}

SlideBoard::~SlideBoard() { ClearBoard(); }

void SlideBoard::ClearBoard() {
    // Collect first: destroying a piece takes it out of every list.
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

// ---- [mouse] --------------------------------------------------------------------------------------

void SlideBoard::MouseDown(float x, float y, int button) {
    (void)button;
    if (mAutopilotBlocksPlayer && mDemonstration) return;
    if (mAutopilot && mAutopilotBlocksPlayer) {
        // A click stops the autopilot.
        FinishDragRobo(0.0f, 0.0f);
        SetAutopilot(false);
    }
    if (!CanMakeMove() || IsAnythingFalling() || mDragged || mVanishingPieces != 0 || AreThereHoles()) {
        CancelDrag();
        mDragged = nullptr;
        return;
    }
    if (mSnapbackActive) {
        mDragged = nullptr;
        return;
    }
    mDragged = PickObject(x, y);
    if (!mDragged) return;
    mDragStartX = mDragX = x;
    mDragStartY = mDragY = y;
    mAxisLocked = mDragHorizontal = mDragVertical = false;
    for (void* item : mPieces.Items()) static_cast<SlideObject*>(item)->MakeHome();
}

void SlideBoard::StartDrag(float x, float y) {
    if (mAutopilot) {
        if (!mAutopilotBlocksPlayer) StartDragRobo(x, y);
        return;
    }
    if (mDemonstration)
        StartDragRobo(x, y);
    else
        StartDragPlayer(x, y);
}

void SlideBoard::StartDragPlayer(float x, float y) {
    (void)x, (void)y;
    if (mDemonstration) return;
    if (!CanPlayerDrag()) {
        CancelDrag();
        mDragged = nullptr;
        return;
    }
    mPlayerDragActive = true;
    mRemovalPasses = 0;
    ShuffleMatches();
}

void SlideBoard::StartDragRobo(float x, float y) {
    (void)x, (void)y;
    if (mAutoDragActive) return;
    if (!CanMakeMove()) {
        CancelDrag();
        mDragged = nullptr;
        return;
    }
    mPlayerDragActive = false;
    mAutoDragActive = true;
    mRemovalPasses = 0;
    ShuffleMatches();
}

void SlideBoard::PutEveryPieceHome() {
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        p->mX = p->mWrappedX = p->mHomeX;
        p->mY = p->mWrappedY = p->mHomeY;
    }
}

void SlideBoard::Drag(float x, float y) {
    if (mAutopilot && mAutopilotBlocksPlayer) return;
    if (!mDragged || !(mPlayerDragActive || mAutoDragActive)) {
        CancelDrag();
        return;
    }
    if (!mAxisLocked) {
        float dx = x - mDragStartX, dy = y - mDragStartY;
        bool vertical = std::fabs(dx) <= std::fabs(dy);
        if (std::sqrt(dx * dx + dy * dy) > mAxisLockDistance) mAxisLocked = true;
        if (vertical != mDragVertical || vertical == mDragHorizontal) PutEveryPieceHome();
        mDragVertical = vertical;
        mDragHorizontal = !vertical;
    }
    float stepX = x - mDragX, stepY = y - mDragY;
    mDragX = x;
    mDragY = y;
    if (mDragVertical)
        stepX = 0.0f;
    else
        stepY = 0.0f;

    std::vector<SlideObject*> pieces = Snapshot(mPieces);
    for (SlideObject* p : pieces) {
        p->mPrevX = p->mStepStartX = p->mX;
        p->mPrevY = p->mStepStartY = p->mY;
    }
    mEdgeBlocked.Clear();
    mLockedBlocked.Clear();
    ++mPushStamp;

    auto restore = [&] {
        for (SlideObject* p : pieces) {
            p->mX = p->mPrevX;
            p->mY = p->mPrevY;
            p->Rewrap();
        }
    };
    if (!Push(mDragged, stepX, stepY)) {
        restore();
        // Go again a whole pixel at a time, keeping every stage that was allowed.
        float length = std::sqrt(stepX * stepX + stepY * stepY);
        float ux = stepX / length, uy = stepY / length;
        for (int i = 0; float(i) < length && mDragged; ++i) {
            ++mPushStamp;
            for (SlideObject* p : pieces) {
                p->mPrevX = p->mX;
                p->mPrevY = p->mY;
            }
            if (!Push(mDragged, ux, uy)) {
                restore();
                break;
            }
        }
    }
    for (SlideObject* p : pieces) {
        p->mStepMoveX = p->mX - p->mStepStartX;
        p->mStepMoveY = p->mY - p->mStepStartY;
    }
    for (SlideObject* p : Snapshot(mEdgeBlocked)) EdgeBlockedCallback(p);
    for (SlideObject* p : Snapshot(mLockedBlocked)) LockedBlockedCallback(p);
}

void SlideBoard::FinishDrag(float x, float y) {
    if (mAutoDragActive && mAutopilotBlocksPlayer) return;
    if (mAutopilotBlocksPlayer && mAutopilot) return;
    if (mDemonstration) return;
    if (mAutopilot)
        FinishDragRobo(x, y);
    else
        FinishDragPlayer(x, y);
}

void SlideBoard::FinishDragPlayer(float x, float y) {
    if (mAutopilot || !mPlayerDragActive) return;
    mPlayerDragActive = false;
    FinishDragCommon(x, y);
}

void SlideBoard::FinishDragRobo(float x, float y) {
    if (!mAutoDragActive) return;
    mAutoDragActive = false;
    FinishDragCommon(x, y);
}

void SlideBoard::FinishDragCommon(float x, float y) {
    (void)x, (void)y;
    mLargeRemovedThisTurn = false;
    std::vector<SlideObject*> pieces = Snapshot(mPieces);
    for (SlideObject* p : pieces) {
        p->PushState();
        Snap(p);
    }
    mDragged = nullptr;
    Groups groups;
    GetMatches(&groups, true);
    bool matched = !groups.mList.Empty();
    if (matched) {
        // The pieces now rest in their new cells. Their homes (and the lines found from them)
        // must follow: a piece left with an old home keeps being wrapped along the other axis
        // too, which sends the next move search's target into the wrong row or column.
        for (SlideObject* p : pieces) {
            p->DropState();
            p->MakeHome();
        }
        RemoveMatches(groups);
    } else {
        // Back to where the drag left them; the snapback glides them home from there.
        for (SlideObject* p : pieces) p->PopState();
        mSnapbackActive = true;
        if (mAutopilot) mAutoStuck = true;
    }
    EndTurnCallback(groups.mList);
    groups.Clear();
    if (matched) mRefillCountdown = mRefillDelay;
}

void SlideBoard::MouseUp(float x, float y, int button) {
    (void)button;
    if (mAutopilot && mAutopilotBlocksPlayer) return;
    mDragged = nullptr;
    if (mPlayerDragActive) {
        FinishDragPlayer(x, y);
        mPlayerDragActive = false;
    }
}

bool SlideBoard::CancelDrag() {
    if (mAutopilot && !mDemonstration) FinishDragRobo(400.0f, 300.0f);
    mPlayerDragActive = false;
    if (!mDemonstration) mAutoDragActive = false;
    return Gadget::CancelDrag();
}

void SlideBoard::ShuffleMatches() {
    for (List* lines : {&mRowLines, &mColumnLines}) {
        int count = lines->Count();
        for (int i = 0; i < count; ++i) lines->SwapAt(i, mRandom.Range(count));
    }
}

// ---- [dragging] -----------------------------------------------------------------------------------

bool SlideBoard::Push(SlideObject* piece, float dx, float dy) {
    piece->mPushStamp = mPushStamp;
    float a = dx != 0.0f ? 1.0f : 0.0f;
    float b = dy != 0.0f ? 1.0f : 0.0f;
    Rect probe = piece->WrappedBounds();
    probe = Rect{probe.x - a, probe.y - b, probe.w + 2.0f * a, probe.h + 2.0f * b};
    std::vector<SlideObject*> touching;
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (p != piece && p->mPushStamp != mPushStamp && RectsOverlap(probe, p->WrappedBounds())) touching.push_back(p);
    }
    for (SlideObject* p : touching)
        if (p->mPushStamp != mPushStamp && !Push(p, dx, dy)) return false;
    return MoveBy(piece, dx, dy);
}

bool SlideBoard::MoveBy(SlideObject* piece, float dx, float dy) {
    piece->mRequestedX = dx;
    piece->mRequestedY = dy;
    float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0f) return MoveStep(piece, 0.0f, 0.0f);
    float cell = std::max(1.0f, mCellSize);
    float ux = dx / length, uy = dy / length;
    float done = 0.0f;
    while (done < length) {
        float step = std::min(cell, length - done);
        // The last step lands exactly on the requested move.
        float sx = done + step >= length ? dx - ux * done : ux * step;
        float sy = done + step >= length ? dy - uy * done : uy * step;
        if (!MoveStep(piece, sx, sy)) return false;
        done += step;
    }
    return true;
}

bool SlideBoard::MoveStep(SlideObject* piece, float dx, float dy) {
    piece->mX += dx;
    piece->mY += dy;
    piece->Rewrap();
    auto undo = [&] {
        piece->mX -= dx;
        piece->mY -= dy;
        piece->Rewrap();
    };
    if (piece->mLocked) {
        float hx = piece->mX - piece->mHomeX, hy = piece->mY - piece->mHomeY;
        if (std::sqrt(hx * hx + hy * hy) > mCellSize * 0.25f) {
            undo();
            mLockedBlocked.Add(piece);
            return false;
        }
    }
    if (piece->mLarge) {
        Rect wrapped = piece->WrappedBounds();
        for (void* item : mLines.Items()) {
            SlideLine* line = static_cast<SlideLine*>(item);
            if (RectsOverlap(wrapped, line->mStartCap) || RectsOverlap(wrapped, line->mEndCap)) {
                undo();
                mEdgeBlocked.Add(piece);
                return false;
            }
        }
    }
    return true;
}

void SlideBoard::Snap(SlideObject* piece) {
    int cell = std::max(1, Whole(mCellSize));
    int half = Whole(mCellSize * 0.5f);
    // Offset by 100 cells so that negative positions round down as well.
    int offset = 100 * cell;
    auto down = [&](float v) {
        int i = Whole(v + float(half));
        i = std::max(i, -offset);
        return float((i + offset) / cell * cell - offset);
    };
    float x = down(piece->mWrappedX);
    float y = down(piece->mWrappedY);
    piece->mX = x;
    piece->mY = y;
    piece->Rewrap();
    // A piece wrapped into its line's start cap belongs in the line's last cell. The test is
    // made along the line only: a piece away from home on both axes (as new pieces are while
    // their cascades are weighed) is wrapped across as well, and its rectangle then misses
    // the cap although it sits in it, which would leave it outside the board.
    auto inCap = [](float at, float size, float capAt, float capSize) { return at < capAt + capSize && capAt < at + size; };
    const SlideLine* row = piece->mRowLine;
    const SlideLine* column = piece->mColumnLine;
    if (row && inCap(piece->mWrappedX, piece->mW, row->mStartCap.x, row->mStartCap.w)) x += row->WrapLength();
    if (column && inCap(piece->mWrappedY, piece->mH, column->mStartCap.y, column->mStartCap.h)) y += column->WrapLength();
    piece->mX = x;
    piece->mY = y;
    piece->Rewrap();
}

void SlideBoard::UpdateSnapback() {
    bool allHome = true;
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        p->mX += (p->mHomeX - p->mX) * 0.25f;
        p->mY += (p->mHomeY - p->mY) * 0.25f;
        p->Rewrap();
        float dx = p->mHomeX - p->mX, dy = p->mHomeY - p->mY;
        if (std::sqrt(dx * dx + dy * dy) < 1.0f) {
            p->mX = p->mHomeX;
            p->mY = p->mHomeY;
            p->Rewrap();
        }
        if (p->mX != p->mHomeX || p->mY != p->mHomeY) allHome = false;
    }
    if (allHome) mSnapbackActive = false;
}

// ---- [matches] ------------------------------------------------------------------------------------

void SlideBoard::GetMatchesStub(SlideObject* piece, List& group) {
    if (!piece || group.Contains(piece) || piece->MatchColor() < 0) return;
    MakeWorkGrid();
    ++mVisitMark;
    for (void* item : group.Items()) static_cast<SlideObject*>(item)->mVisitMark = mVisitMark;
    CollectGroup(piece, group);
}

void SlideBoard::CollectGroup(SlideObject* start, List& group) {
    // Depth first, in the order a recursive walk would visit: for each covered cell, the left,
    // right, upper and lower neighbour. Kept iterative so a huge one-colour board cannot exhaust
    // the stack.
    struct Frame {
        SlideObject* piece;
        int next;  // cell index * 4 + neighbour
    };
    static const int kDx[4] = {-1, 1, 0, 0};
    static const int kDy[4] = {0, 0, -1, 1};
    if (start->mVisitMark == mVisitMark || start->MatchColor() < 0) return;
    start->mVisitMark = mVisitMark;
    group.Add(start);
    std::vector<Frame> stack{{start, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        SlideObject* p = f.piece;
        int cells = std::max(0, p->mGridWidth) * std::max(0, p->mGridHeight);
        if (f.next >= cells * 4) {
            stack.pop_back();
            continue;
        }
        int cellIndex = f.next / 4, side = f.next % 4;
        ++f.next;
        int col = p->mGridColumn + cellIndex / std::max(1, p->mGridHeight) + kDx[side];
        int row = p->mGridRow + cellIndex % std::max(1, p->mGridHeight) + kDy[side];
        SlideObject* n = GridAt(col, row);
        if (!n || n == p || n->mVisitMark == mVisitMark || n->MatchColor() != p->MatchColor()) continue;
        n->mVisitMark = mVisitMark;
        group.Add(n);
        stack.push_back({n, 0});
    }
}

bool SlideBoard::GetMatches(Groups* groups, bool onlyMoved) {
    for (void* item : mPieces.Items()) static_cast<SlideObject*>(item)->mMatchStamp = 0;
    MakeWorkGrid();
    int stamp = ++gMatchStamp;
    bool found = false;
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (p->mKilled || p->mMatchStamp == stamp) continue;
        if (onlyMoved && p->mX == p->mHomeX && p->mY == p->mHomeY) continue;
        List* group = new List();
        ++mVisitMark;
        CollectGroup(p, *group);
        if (group->Count() >= 3) {
            found = true;
            if (!groups) {
                delete group;
                return true;
            }
            for (void* member : group->Items()) static_cast<SlideObject*>(member)->mMatchStamp = stamp;
            groups->mList.Add(group);
        } else {
            delete group;
        }
    }
    return found;
}

void SlideBoard::RemoveMatches(Groups& groups) {
    std::vector<List*> all;
    for (void* item : groups.mList.Items()) all.push_back(static_cast<List*>(item));
    for (List* group : all)
        for (void* item : group->Items()) {
            SlideObject* p = static_cast<SlideObject*>(item);
            if (p->mW > mCellSize || p->mH > mCellSize) mLargeRemovedThisTurn = true;
            p->Kill();
        }
    for (List* group : all) {
        GroupMatchCallback(*group);
        for (SlideObject* p : Snapshot(*group)) RemoveObjectCallback(p);
    }
    for (List* group : all)
        for (void* item : group->Items()) {
            SlideObject* p = static_cast<SlideObject*>(item);
            mPieces.RemoveAll(p);
            AddToDying(p);
        }
    MatchCallback(groups.mList);
    ++mRemovalPasses;
    mSettleCounter = 4;
}


void SlideBoard::CollectLineSet(SlideLine* line, bool horizontal, std::vector<SlideObject*>& pieces, int* lineCount) {
    // Lines joined by a large piece slide together: keep adding the lines of that orientation
    // that a large member overlaps until nothing new joins.
    ++mSearchMark;
    std::vector<SlideLine*> lines{line};
    pieces.clear();
    auto addPiecesOf = [&](SlideLine* l) {
        for (void* item : mPieces.Items()) {
            SlideObject* p = static_cast<SlideObject*>(item);
            if (p->mKilled || p->mSearchMark == mSearchMark) continue;
            if (!RectsOverlap(p->Bounds(), l->mCellArea)) continue;
            p->mSearchMark = mSearchMark;
            pieces.push_back(p);
        }
    };
    addPiecesOf(line);
    const List& candidates = horizontal ? mRowLines : mColumnLines;
    for (size_t i = 0; i < pieces.size(); ++i) {
        SlideObject* p = pieces[i];
        if (!(p->mW > mCellSize || p->mH > mCellSize)) continue;
        for (void* item : candidates.Items()) {
            SlideLine* other = static_cast<SlideLine*>(item);
            if (std::find(lines.begin(), lines.end(), other) != lines.end()) continue;
            if (!RectsOverlap(p->Bounds(), other->mCellArea)) continue;
            lines.push_back(other);
            addPiecesOf(other);
        }
    }
    if (lineCount) *lineCount = static_cast<int>(lines.size());
}

void SlideBoard::GridRemove(const std::vector<SlideObject*>& pieces) {
    for (SlideObject* p : pieces)
        for (int c = 0; c < p->mGridWidth; ++c)
            for (int r = 0; r < p->mGridHeight; ++r) {
                int col = p->mGridColumn + c, row = p->mGridRow + r;
                if (InGrid(col, row) && mWorkGrid[GridIndex(col, row)] == p) mWorkGrid[GridIndex(col, row)] = nullptr;
            }
}

bool SlideBoard::GridWrite(const std::vector<SlideObject*>& pieces) {
    // Writes the pieces where they now stand. False when one landed on a piece outside the set,
    // which only a full rebuild can sort out (the later piece in list order owns a cell).
    bool clean = true;
    for (SlideObject* p : pieces)
        for (int c = 0; c < p->mGridWidth; ++c)
            for (int r = 0; r < p->mGridHeight; ++r) {
                int col = p->mGridColumn + c, row = p->mGridRow + r;
                if (!InGrid(col, row) || !mMask[GridIndex(col, row)]) continue;
                SlideObject*& entry = mWorkGrid[GridIndex(col, row)];
                if (entry && entry != p && entry->mSearchMark != mSearchMark) clean = false;
                entry = p;
            }
    return clean;
}

bool SlideBoard::FindMatchLines(bool horizontal, SlideMove* move) {
    // The search keeps the work grid current by moving only the set's own entries; a full
    // rebuild after every trial shift would cost the whole grid each time.
    List savedEdge, savedLocked;
    for (void* item : mEdgeBlocked.Items()) savedEdge.Add(item);
    for (void* item : mLockedBlocked.Items()) savedLocked.Add(item);
    auto restoreBlocked = [&] {
        mEdgeBlocked.Clear();
        mLockedBlocked.Clear();
        for (void* item : savedEdge.Items()) mEdgeBlocked.Add(item);
        for (void* item : savedLocked.Items()) mLockedBlocked.Add(item);
    };

    std::vector<SlideLine*> lines;
    for (void* item : (horizontal ? mRowLines : mColumnLines).Items()) lines.push_back(static_cast<SlideLine*>(item));
    std::vector<SlideObject*> set;
    int cell = std::max(1, Whole(mCellSize));
    for (SlideLine* line : lines) {
        CollectLineSet(line, horizontal, set, nullptr);
        for (SlideObject* p : set) p->PushState();
        float step = mCellSize;
        int n = Whole((horizontal ? line->mCellArea.w : line->mCellArea.h)) / cell;
        bool triedOther = false, hit = false, dirty = false;
        for (int k = 0; k <= n; ++k) {
            bool moved = true;
            for (SlideObject* p : set)
                if (!MoveBy(p, horizontal ? step : 0.0f, horizontal ? 0.0f : step)) {
                    moved = false;
                    break;
                }
            if (!moved) {
                GridRemove(set);
                for (SlideObject* p : set) p->PeekState();
                if (!GridWrite(set)) dirty = true;
                if (triedOther) break;
                triedOther = true;
                step = -mCellSize;
                k = -1;
                continue;
            }
            GridRemove(set);
            for (SlideObject* p : set) {
                Snap(p);
                ComputeGridCell(p);
            }
            if (!GridWrite(set)) dirty = true;
            if (dirty) MakeWorkGrid();
            for (SlideObject* p : set) {
                List group;
                ++mVisitMark;
                CollectGroup(p, group);
                if (group.Count() >= 3) {
                    hit = true;
                    break;
                }
            }
            if (hit) break;
        }
        float wrappedX = 0.0f, wrappedY = 0.0f;
        if (hit && !set.empty()) {
            wrappedX = set.front()->mWrappedX;
            wrappedY = set.front()->mWrappedY;
        }
        GridRemove(set);
        for (SlideObject* p : set) p->PopState();
        if (!GridWrite(set) || dirty) MakeWorkGrid();
        if (hit && !set.empty()) {
            SlideObject* first = set.front();
            if (move) {
                move->mFromX = first->mX + first->mW * 0.5f;
                move->mFromY = first->mY + first->mH * 0.5f;
                // A drag runs along one axis: the snap may leave the piece's other coordinate a
                // fraction off (a line beside a hole), and a target off the line is never reached.
                move->mToX = horizontal ? wrappedX + first->mW * 0.5f : move->mFromX;
                move->mToY = horizontal ? move->mFromY : wrappedY + first->mH * 0.5f;
            }
            restoreBlocked();
            return true;
        }
    }
    if (move) *move = SlideMove{};
    restoreBlocked();
    return false;
}

bool SlideBoard::FindMatchH(SlideMove* move) { return FindMatchLines(true, move); }

bool SlideBoard::FindMatchV(SlideMove* move) { return FindMatchLines(false, move); }

bool SlideBoard::FindMatch(SlideMove* move) {
    MakeWorkGrid();
    if (mRandom.Range(2) != 1) return FindMatchV(move) || FindMatchH(move);
    return FindMatchH(move) || FindMatchV(move);
}

// ---- [falling] ------------------------------------------------------------------------------------

void SlideBoard::StartFalling(SlideObject* piece, float dx, float dy) {
    piece->MakeHome();
    piece->mFalling = true;
    piece->mFallDirX = dx;
    piece->mFallDirY = dy;
    piece->mFallSpeed = 0.0f;
}

void SlideBoard::UpdateFallingObjects() {
    bool wasFalling = !mFalling.Empty();
    if (mRefillCountdown > 0) {
        if (--mRefillCountdown == 0) FillHoles();
    } else if (mRefillCountdown < 0) {
        mRefillCountdown = 0;
    }

    std::vector<SlideObject*> falling = Snapshot(mFalling);
    std::vector<SlideObject*> landed;
    for (SlideObject* p : falling) {
        p->mFallOffsetX += p->mFallSpeed * p->mFallDirX;
        p->mFallOffsetY += p->mFallSpeed * p->mFallDirY;
        bool down = p->mFallOffsetY >= 0.0f && p->mFallDirY > 0.0f;
        bool up = p->mFallOffsetY <= 0.0f && p->mFallDirY < 0.0f;
        bool left = p->mFallOffsetX <= 0.0f && p->mFallDirX < 0.0f;
        bool right = p->mFallOffsetX >= 0.0f && p->mFallDirX > 0.0f;
        if (down || up || left || right) {
            // Both offsets go: a sideways landing must not leave its overshoot for the next fall.
            p->mFallOffsetX = 0.0f;
            p->mFallOffsetY = 0.0f;
            mFalling.RemoveAll(p);
            p->mFalling = false;
            landed.push_back(p);
        }
    }
    for (SlideObject* p : falling) p->mFallSpeed += mFallAcceleration;

    for (SlideObject* p : landed) {
        if (!mPieces.Contains(p) && !mDying.Contains(p)) continue;
        if (p->mW > mCellSize && p->mFallDirY > 0.0f) {
            CrushPieces(p);
            FillHolesFromBottom();
            int cell = std::max(1, Whole(mCellSize));
            int half = Whole(mCellSize * 0.5f);
            Rect bounds = p->Bounds();
            for (void* item : mFalling.Items()) {
                SlideObject* q = static_cast<SlideObject*>(item);
                if (q->mFallDirY > 0.0f && RectsOverlap(q->Bounds(), bounds))
                    q->mFallOffsetY = float((Whole(q->mFallOffsetY) - half) / cell * cell);
            }
        }
        if (p->mPushedOut && !mFalling.Contains(p) && mPieces.Contains(p)) {
            p->Kill();
            mPieces.RemoveAll(p);
            AddToDying(p);
        }
    }

    if (wasFalling) {
        if (!IsAnythingFalling() && AreThereHoles()) {
            if (++mFruitlessFills > kMaxFruitlessFills) {
                FillHolesInPlace();
            } else {
                int d = mRandom.Sign(1);
                FillHoles();
                FillHolesFromBottom();
                FillHolesFromSides(d);
                FillHolesFromSides(-d);
            }
        } else if (!IsAnythingFalling()) {
            mFruitlessFills = 0;
        }
        if (!IsAnythingFalling()) {
            // The cascade: the last landing looks at the whole board again.
            mLargeRemovedThisTurn = false;
            Groups groups;
            if (GetMatches(&groups, false)) {
                RemoveMatches(groups);
                mRefillCountdown = mRefillDelay;
            }
        }
    }
}

void SlideBoard::FillHoles() {
    if (mCellSize < 1.0f) return;
    float cell = mCellSize;
    // Gravity, pass after pass until nothing moves.
    for (int pass = 0; pass < 4 * kGridSize; ++pass) {
        bool moved = false;
        MakeWorkGrid();
        ++mPushStamp;
        for (int row = std::min(mRowBound, kGridSize - 1); row >= 0; --row)
            for (int col = 0; col <= mColumnBound && col < kGridSize; ++col) {
                SlideObject* p = GridAt(col, row);
                if (!p || p->mPushStamp == mPushStamp) continue;
                p->mPushStamp = mPushStamp;
                int below = p->mGridRow + p->mGridHeight;
                bool all = p->mGridWidth > 0, any = false;
                for (int c = 0; c < p->mGridWidth; ++c) {
                    bool hole = IsCell(p->mGridColumn + c, below) && !GridAt(p->mGridColumn + c, below);
                    all = all && hole;
                    any = any || hole;
                }
                if (all) {
                    p->mY += cell;
                    p->MakeHome();
                    p->mFallOffsetY -= cell;
                    mFalling.Add(p);
                    moved = true;
                } else if (any) {
                    mFalling.Add(p);
                }
            }
        if (!moved) break;
    }

    // New pieces from above the layout, lowest hole first.
    List newPieces;
    bool largeAllowed = CanAddLargePlaypiece();
    float pending[kGridSize] = {};
    for (int row = std::min(mRowBound, kGridSize - 1); row >= 0; --row)
        for (int col = 0; col <= mColumnBound && col < kGridSize; ++col) {
            if (!IsCell(col, row) || GridAt(col, row)) continue;
            if (largeAllowed && col + 1 < kGridSize && row >= 2) {
                bool blockEmpty = true;
                for (int c = col; c <= col + 1; ++c)
                    for (int r = row - 1; r <= row; ++r) blockEmpty = blockEmpty && IsCell(c, r) && !GridAt(c, r);
                bool supported = (GridAt(col, row + 1) && GridAt(col + 1, row + 1)) || !IsCell(col, row + 1) || !IsCell(col + 1, row + 1);
                bool clearAbove = !GridAt(col, row - 2);
                if (blockEmpty && supported && clearAbove) {
                    int spawn = row - 2;
                    while (spawn > 0 && (IsCell(col, spawn) || IsCell(col + 1, spawn))) --spawn;
                    float pend = std::max(pending[col], pending[col + 1]);
                    SlideObject* p = AddFallingPiece(float(col - 1) * cell, float(row - 2) * cell, 2.0f * cell, 0.0f,
                                                     -(float(row - 1 - spawn) * cell + pend), newPieces);
                    pending[col] = pending[col + 1] = pend + 2.0f * cell;
                    for (int c = col; c <= col + 1; ++c)
                        for (int r = row - 1; r <= row; ++r) mWorkGrid[GridIndex(c, r)] = p;
                    ComputeGridCell(p);
                    largeAllowed = false;
                    continue;
                }
            }
            int spawn = row - 1;
            while (spawn >= 0 && IsCell(col, spawn) && !GridAt(col, spawn)) --spawn;
            if (spawn >= 0 && IsCell(col, spawn)) continue;  // a piece above will fall into it
            AddFallingPiece(float(col - 1) * cell, float(row - 1) * cell, cell, 0.0f, -(float(row - spawn) * cell + pending[col]),
                            newPieces);
            pending[col] += cell;
        }
    MinimizeCascades(newPieces);
    GuaranteeMatches(newPieces);
    for (SlideObject* p : Snapshot(mFalling)) StartFalling(p, 0.0f, 1.0f);
}

SlideObject* SlideBoard::AddFallingPiece(float x, float y, float size, float fallX, float fallY, List& newPieces) {
    SlideObject* p = NewSlideObject();
    p->mW = p->mH = size;
    p->mLarge = size > mCellSize;
    p->SetPosition(x, y);
    p->mFallOffsetX = fallX;
    p->mFallOffsetY = fallY;
    mPieces.Add(p);
    mFalling.Add(p);
    newPieces.Add(p);
    return p;
}

void SlideBoard::FillHolesInPlace() {
    // Holes that the fills only pass around (a large piece stuck over them, another one below)
    // would keep the board falling for ever and the player locked out; new pieces appear in
    // them where they are.
    MakeWorkGrid();
    List newPieces;
    for (int col = 0; col <= mColumnBound && col < kGridSize; ++col)
        for (int row = 0; row <= mRowBound && row < kGridSize; ++row) {
            if (!IsCell(col, row) || GridAt(col, row)) continue;
            AddFallingPiece(float(col - 1) * mCellSize, float(row - 1) * mCellSize, mCellSize, 0.0f, 0.0f, newPieces);
        }
    MinimizeCascades(newPieces);
    GuaranteeMatches(newPieces);
    for (SlideObject* p : Snapshot(newPieces)) StartFalling(p, 0.0f, 1.0f);
    mFruitlessFills = 0;
}

void SlideBoard::FillHolesFromBottom() {
    if (mCellSize < 1.0f) return;
    float cell = mCellSize;
    MakeWorkGrid();
    ++mPushStamp;
    std::vector<SlideObject*> risen;
    for (int row = 0; row <= mRowBound && row < kGridSize; ++row)
        for (int col = 0; col <= mColumnBound && col < kGridSize; ++col) {
            SlideObject* p = GridAt(col, row);
            if (!p || p->mFalling || p->mPushStamp == mPushStamp) continue;
            p->mPushStamp = mPushStamp;
            int above = p->mGridRow - 1;
            bool ok = p->mGridWidth > 0;
            for (int c = 0; c < p->mGridWidth && ok; ++c) ok = IsCell(p->mGridColumn + c, above) && !GridAt(p->mGridColumn + c, above);
            // A large piece in the column below would have to rise too, and large pieces never do.
            for (int c = 0; c < p->mGridWidth && ok; ++c)
                for (int r = p->mGridRow; ok && IsCell(p->mGridColumn + c, r); ++r) {
                    SlideObject* q = GridAt(p->mGridColumn + c, r);
                    if (q && q->mGridWidth > 1) ok = false;
                }
            if (!ok) continue;
            p->mY -= cell;
            p->mFallOffsetY += cell;
            mFalling.Add(p);
            risen.push_back(p);
        }

    List newPieces;
    float pending[kGridSize] = {};
    for (int row = 0; row <= mRowBound && row < kGridSize; ++row)
        for (int col = 0; col <= mColumnBound && col < kGridSize; ++col) {
            if (!IsCell(col, row) || GridAt(col, row)) continue;
            int spawn = row + 1;
            while (spawn < kGridSize && IsCell(col, spawn) && !GridAt(col, spawn)) ++spawn;
            if (spawn >= kGridSize || IsCell(col, spawn)) continue;
            AddFallingPiece(float(col - 1) * cell, float(row - 1) * cell, cell, 0.0f, float(spawn - row) * cell + pending[col],
                            newPieces);
            pending[col] += cell;
        }
    MinimizeCascades(newPieces);
    GuaranteeMatches(newPieces);
    for (SlideObject* p : risen) StartFalling(p, 0.0f, -1.0f);
    for (SlideObject* p : Snapshot(newPieces)) StartFalling(p, 0.0f, -1.0f);
}

void SlideBoard::FillHolesFromSides(int d) {
    if (mCellSize < 1.0f || (d != 1 && d != -1)) return;
    float cell = mCellSize;
    MakeWorkGrid();
    ++mPushStamp;
    std::vector<SlideObject*> shifted;
    int lastColumn = std::min(mColumnBound, kGridSize - 1);
    int lastRow = std::min(mRowBound, kGridSize - 1);
    for (int i = 0; i <= lastColumn; ++i) {
        int col = d > 0 ? i : lastColumn - i;
        for (int row = 0; row <= lastRow; ++row) {
            SlideObject* p = GridAt(col, row);
            if (!p || p->mPushStamp == mPushStamp) continue;
            p->mPushStamp = mPushStamp;
            bool ok = p->mGridHeight > 0;
            for (int r = 0; r < p->mGridHeight && ok; ++r)
                ok = IsCell(p->mGridColumn + d, p->mGridRow + r) && !GridAt(p->mGridColumn + d, p->mGridRow + r);
            // Nothing wider than a cell may stand behind it in its row.
            for (int r = 0; r < p->mGridHeight && ok; ++r)
                for (int c = p->mGridColumn; ok && IsCell(c, p->mGridRow + r); c -= d) {
                    SlideObject* q = GridAt(c, p->mGridRow + r);
                    if (q && q->mGridWidth > 1) ok = false;
                }
            if (!ok) continue;
            p->mX += float(d) * cell;
            p->mFallOffsetX -= float(d) * cell;
            mFalling.Add(p);
            shifted.push_back(p);
        }
    }

    List newPieces;
    float pending[kGridSize] = {};
    for (int col = 0; col <= lastColumn; ++col)
        for (int row = 0; row <= lastRow; ++row) {
            if (!IsCell(col, row) || GridAt(col, row)) continue;
            int spawn = col - d;
            while (spawn >= 0 && spawn < kGridSize && IsCell(spawn, row) && !GridAt(spawn, row)) spawn -= d;
            if (spawn < 0 || spawn >= kGridSize || IsCell(spawn, row)) continue;
            AddFallingPiece(float(col - 1) * cell, float(row - 1) * cell, cell, float(spawn - col) * cell + pending[row], 0.0f,
                            newPieces);
            pending[row] += cell;
        }
    MinimizeCascades(newPieces);
    GuaranteeMatches(newPieces);
    for (SlideObject* p : shifted) StartFalling(p, float(d), 0.0f);
    for (SlideObject* p : Snapshot(newPieces)) StartFalling(p, float(d), 0.0f);
}

void SlideBoard::CrushPieces(SlideObject* piece) {
    if (!mCrushingAllowed || IsObjectFullySupported(piece)) return;
    ++mPushStamp;
    mPushed.Clear();
    int start = mPushStamp;
    std::vector<SlideObject*> pieces = Snapshot(mPieces);
    // Each round drives the large piece one cell further down; the layout's height bounds it.
    for (int round = 0; round < kGridSize; ++round) {
        for (SlideObject* p : pieces) p->PushState();
        if (!CrushPush(piece, true)) break;
        for (SlideObject* p : pieces) p->DropState();
        ++mPushStamp;
    }
    for (SlideObject* p : pieces) p->PopState();
    if (mPushStamp != start) {
        for (SlideObject* p : Snapshot(mPushed)) {
            p->MakeHome();
            mFalling.Add(p);
        }
        FillHoles();
        CrushCallback(piece);
    }
}

bool SlideBoard::CrushPush(SlideObject* piece, bool checkSupport) {
    if (checkSupport && IsObjectFullySupported(piece)) return false;
    piece->mPushStamp = mPushStamp;
    Rect probe = piece->Bounds();
    probe.h += mCellSize * 0.5f;
    std::vector<SlideObject*> under;
    for (void* item : mPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        if (p != piece && p->mPushStamp != mPushStamp && RectsOverlap(probe, p->Bounds())) under.push_back(p);
    }
    for (SlideObject* p : under)
        if (p->mPushStamp != mPushStamp && !CrushPush(p, false)) return false;
    if (!piece->mPushedOut) {
        piece->mY += mCellSize;
        Rect bounds = piece->Bounds();
        for (void* item : mColumnLines.Items()) {
            SlideLine* line = static_cast<SlideLine*>(item);
            if (!RectsOverlap(bounds, line->mStartCap) && !RectsOverlap(bounds, line->mEndCap)) continue;
            if (piece->mLarge || piece->mW > mCellSize) {
                piece->mY -= mCellSize;
                return false;
            }
            piece->mPushedOut = true;
            piece->mColumnLine = line;
            break;
        }
    }
    piece->mFallOffsetY -= mCellSize;
    piece->mFalling = true;
    piece->mFallDirX = 0.0f;
    piece->mFallDirY = 1.0f;
    mPushed.Add(piece);
    return true;
}

// ---- [generation] ---------------------------------------------------------------------------------

bool SlideBoard::MakeBoard(const std::string& layout, int size) {
    mLayout = layout;
    mBoardSize = size;
    mLastError.clear();

    int seed = ProgramRandom().Range(10000000);
    if (mUseFixedSeed) seed = mFixedSeed;
    mRandom.Seed(static_cast<uint32_t>(seed));

    ClearBoard();
    std::fill(std::begin(mMask), std::end(mMask), 0);
    std::fill(std::begin(mWorkGrid), std::end(mWorkGrid), nullptr);
    mFalling.Clear();
    mSnapbackActive = false;
    mRefillCountdown = 0;
    mFruitlessFills = 0;
    mPlayerDragActive = mAutoDragActive = false;
    mColumnBound = mRowBound = 0;
    mCellSize = 0.0f;

    BoardLayout parsed;
    if (!parsed.Parse(layout, &mLastError)) return false;
    int columns = parsed.Columns(), rows = parsed.Rows();
    int longer = std::max(columns, rows);
    if (size <= 0) {
        mLastError = "board size must be above 0";
        return false;
    }
    if (size > kMaxBoardSize) {
        mLastError = "board size must be at most " + std::to_string(kMaxBoardSize);
        return false;
    }
    if (size / longer < 1) {
        mLastError = "board size " + std::to_string(size) + " leaves less than one pixel per cell";
        return false;
    }
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c)
            if (parsed.IsCell(c, r)) mMask[GridIndex(c, r)] = 1;
    mColumnBound = columns + 1;
    mRowBound = rows + 1;
    mGridExtentColumns = std::min(kGridSize, mColumnBound + 2);
    mGridExtentRows = std::min(kGridSize, mRowBound + 2);
    float cell = float(size / longer);
    mCellSize = cell;

    // Lines: every row's runs first, then every column's.
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns;) {
            if (!IsCell(c, r)) {
                ++c;
                continue;
            }
            int first = c;
            while (IsCell(c + 1, r)) ++c;
            SlideLine* line = SlideLine::MakeRow(r, first, c, cell);
            mLines.Add(line);
            mRowLines.Add(line);
            ++c;
        }
    for (int c = 1; c <= columns; ++c)
        for (int r = 1; r <= rows;) {
            if (!IsCell(c, r)) {
                ++r;
                continue;
            }
            int first = r;
            while (IsCell(c, r + 1)) ++r;
            SlideLine* line = SlideLine::MakeColumn(c, first, r, cell);
            mLines.Add(line);
            mColumnLines.Add(line);
            ++r;
        }

    for (int c = 1; c < mColumnBound; ++c)
        for (int r = 1; r < mRowBound; ++r) {
            if (!IsCell(c, r)) continue;
            float x = float(c - 1) * cell, y = float(r - 1) * cell;
            if (PickObject(x, y)) continue;
            SlideObject* p = NewSlideObject();
            p->mW = p->mH = cell;
            p->SetPosition(x, y);
            mPieces.Add(p);
            char letter = parsed.At(c, r);
            int color = BoardLayout::ColorOf(letter);
            if (color >= 0) p->mColor = color;
            if (BoardLayout::IsLargeChar(letter)) {
                p->mW += cell;
                p->mH += cell;
                p->mLarge = true;
            }
        }

    // No match on the first position.
    auto breakMatches = [&](int bound) {
        for (int round = 0; round < bound; ++round) {
            Groups groups;
            if (!GetMatches(&groups, false)) return;
            for (void* g : groups.mList.Items())
                for (void* item : static_cast<List*>(g)->Items()) static_cast<SlideObject*>(item)->Recolor();
        }
    };
    breakMatches(kMaxMatchRerolls);

    SetRect(mRect.x, mRect.y, float(columns) * cell, float(rows) * cell);

    // At least one move. A re-roll of the whole board can make a ready match again, which the
    // first position must not have, so matches are broken again after each one (no draws are
    // added when the re-roll made none).
    for (int round = 0; round < kMaxMoveRerolls && !FindMatch(); ++round) {
        for (void* item : mPieces.Items()) static_cast<SlideObject*>(item)->Recolor();
        breakMatches(kMaxMoveRerolls);
    }
    return true;
}

void SlideBoard::SetChanceToMinimizeCascades(float percent) {
    mMinimizeCascades = percent != 0.0f;
    mChanceToMinimizeCascades = Whole(percent * 100.0f);
}

void SlideBoard::MinimizeCascades(List& newPieces) {
    if (!mMinimizeCascades || mRandom.Range(10000) > mChanceToMinimizeCascades) return;
    for (void* item : mPieces.Items()) static_cast<SlideObject*>(item)->MakeHome();
    for (void* item : newPieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        p->mHomeX = p->mHomeY = -1.0f;
    }
    for (int round = 0; round < kMaxCascadeRerolls && GetMatches(nullptr, true); ++round)
        for (void* item : newPieces.Items()) static_cast<SlideObject*>(item)->Recolor();
}

void SlideBoard::GuaranteeMatches(List& newPieces) {
    if (!mGuaranteeMove) return;
    std::vector<SlideObject*> wasLocked, wasSpecial;
    if (!mGuaranteeCountsSpecial) {
        for (void* item : mPieces.Items()) {
            SlideObject* p = static_cast<SlideObject*>(item);
            if (p->mLocked) wasLocked.push_back(p);
            if (p->mSpecial) wasSpecial.push_back(p);
            p->mLocked = p->mSpecial = false;
        }
    }
    if (!FindMatch()) {
        SlideObject* large = nullptr;
        for (void* item : newPieces.Items()) {
            SlideObject* p = static_cast<SlideObject*>(item);
            if (p->mW > mCellSize || p->mH > mCellSize) {
                large = p;
                break;
            }
        }
        for (int attempt = 1; attempt <= 100; ++attempt) {
            if (newPieces.Empty()) {
                // Nothing to re-colour: every search would give the same answer. Only its
                // draw (which order to search in) remains.
                mRandom.Range(2);
                continue;
            }
            for (void* item : newPieces.Items()) static_cast<SlideObject*>(item)->Recolor();
            if (attempt == 20 && large) {
                large->mW = large->mH = mCellSize;
                large->mLarge = false;
                mLargeRemovedThisTurn = true;
                FillHoles();
                large = nullptr;
            }
            if (FindMatch()) break;
        }
    }
    for (SlideObject* p : wasLocked) p->mLocked = true;
    for (SlideObject* p : wasSpecial) p->mSpecial = true;
}

// ---- [autopilot] ----------------------------------------------------------------------------------

void SlideBoard::SetAutopilot(bool on) {
    if (mAutopilot == on) return;
    mAutoStartCountdown = mAutoStartDelay;
    mAutopilot = on;
    mAutoMoveInProgress = mAutoStuck = mAutoTargetReached = false;
    mAutoFailedSearches = 0;
    mAutoNeedNewMove = true;
    RouteMouseLeave();
    mDisabled = on;
}

void SlideBoard::UpdateAutopilot() {
    RouteMouseLeave();
    mDisabled = false;
    if (mAutoPaused || !CanMakeMove() || mSnapbackActive || mAutoStuck) return;

    // The robo entry points refuse while the autopilot blocks the player; lift that for this
    // step only, whichever way the step ends.
    struct BlockGuard {
        bool& flag;
        bool saved;
        explicit BlockGuard(bool& f) : flag(f), saved(f) { flag = false; }
        ~BlockGuard() { flag = saved; }
    } guard(mAutopilotBlocksPlayer);

    auto unit = [](float dx, float dy, float& ux, float& uy) {
        float length = std::sqrt(dx * dx + dy * dy);
        ux = length > 0.0f ? dx / length : 0.0f;
        uy = length > 0.0f ? dy / length : 0.0f;
    };

    if (!mAutoMoveInProgress) {
        if (mAutoNeedNewMove) {
            bool found = FindMatch(&mAutoMove);
            mAutoOtherWay = IsMatchLineWrapped(mAutoMove);
            if (!found) {
                if (++mAutoFailedSearches < 101) return;
                AutoPilotStuckCallback();
                mAutoStuck = true;
            } else {
                mAutoNeedNewMove = false;
                mAutoMoveShown = true;
                unit(mAutoMove.mToX - mAutoMove.mFromX, mAutoMove.mToY - mAutoMove.mFromY, mAutoStepX, mAutoStepY);
            }
        }
        if (mAutoStartCountdown > 0) {
            --mAutoStartCountdown;
            return;
        }
        mAutoMoveShown = false;
        mAutoFailedSearches = 0;
        mAutoMoveInProgress = true;
        mAutoNeedNewMove = true;
        mAutoDragX = mAutoMove.mFromX;
        mAutoDragY = mAutoMove.mFromY;
        mAutoTravelled = 0.0f;
        unit(mAutoMove.mToX - mAutoMove.mFromX, mAutoMove.mToY - mAutoMove.mFromY, mAutoStepX, mAutoStepY);
        if (mAutoOtherWay) {
            mAutoStepX = -mAutoStepX;
            mAutoStepY = -mAutoStepY;
        }
        if (!mAutoStuck) {
            float fx = float(Whole(mAutoMove.mFromX)), fy = float(Whole(mAutoMove.mFromY));
            MouseDown(fx, fy, -1);
            StartDragRobo(fx, fy);
            if (!mDragged) {
                // The press was refused (holes still to fill, a piece turning): no drag is
                // running, and the move is tried again once the board is ready.
                mAutoDragActive = false;
                mAutoMoveInProgress = false;
                return;
            }
            if (mDragged) {
                mAutoReleaseCountdown = mAutoReleaseDelay;
                mAutoStartCountdown = mAutoStartDelay;
                if (++mAutoMovesMade == mAutoMoveLimit) {
                    if (App* app = App::Instance()) {
                        app->SetSpeed(1.0f);
                        app->mUpdateInterval = 10;
                        app->Beep();
                    }
                    mAutoPaused = true;
                }
            }
        }
    }

    if (!mAutoMoveInProgress || mAutoStuck) return;
    if (mAutoTargetReached) {
        if (mAutoReleaseCountdown > 0) {
            --mAutoReleaseCountdown;
            return;
        }
        mAutoTargetReached = false;
        mAutoMoveInProgress = false;
        float x = float(Whole(mAutoDragX)), y = float(Whole(mAutoDragY));
        FinishDragRobo(x, y);
        MouseUp(x, y, -1);
        AutoPilotFinishedMoveCallback();
        return;
    }
    for (int i = 0; float(i) < mAutoStepsPerUpdate; ++i) {
        if (!mDragged) {
            SetAutopilot(false);
            return;
        }
        Drag(float(Whole(mAutoDragX)), float(Whole(mAutoDragY)));
        // The drag points the line was actually moved to, before this step's advance.
        float draggedX = float(Whole(mAutoDragX)), draggedY = float(Whole(mAutoDragY));
        mAutoDragX += mAutoStepX;
        mAutoDragY += mAutoStepY;
        if (!mDragged) continue;
        // Either way round a target lies within one board side of the move's length; a piece
        // that never gets there (its line blocked) is let go rather than dragged for ever, and
        // the release judges the move as it stands.
        mAutoTravelled += 1.0f;
        float reach = std::hypot(mAutoMove.mToX - mAutoMove.mFromX, mAutoMove.mToY - mAutoMove.mFromY) + mRect.w + mRect.h;
        if (mAutoTravelled > reach) {
            mAutoTargetReached = true;
            return;
        }
        SlideObject* p = mDragged;
        float cx = p->mWrappedX + p->mW * 0.5f, cy = p->mWrappedY + p->mH * 0.5f;
        float copyX = 0.0f, copyY = 0.0f;
        bool atWrapped = std::hypot(cx - mAutoMove.mToX, cy - mAutoMove.mToY) < 1.0f;
        bool atCopy = !atWrapped && p->DrawnCopyCentre(copyX, copyY) && (copyX != cx || copyY != cy) &&
                      std::hypot(copyX - mAutoMove.mToX, copyY - mAutoMove.mToY) < 1.0f;
        if (atWrapped || atCopy) {
            // Settle the last fraction of a pixel onto the target. The target is where the
            // piece is drawn; when the line has gone round the wrap (or the piece shows as its
            // drawn copy) the drag point is a whole wrap away from it, and dragging to the
            // target itself would unwind the line. So the correction is applied to the drag
            // point, and the move ends here in both cases: the release snaps the piece into
            // the target's cell.
            float shownX = atWrapped ? cx : copyX, shownY = atWrapped ? cy : copyY;
            Drag(float(Whole(draggedX + (mAutoMove.mToX - shownX))), float(Whole(draggedY + (mAutoMove.mToY - shownY))));
            mAutoTargetReached = true;
            return;
        }
    }
}

bool SlideBoard::IsMatchLineWrapped(const SlideMove& move) {
    SlideObject* piece = PickObject(move.mFromX, move.mFromY);
    if (!piece) return false;
    bool horizontal = move.mFromY == move.mToY;
    SlideLine* line = horizontal ? piece->mRowLine : piece->mColumnLine;
    if (!line) return false;
    std::vector<SlideObject*> set;
    int lineCount = 0;
    CollectLineSet(line, horizontal, set, &lineCount);
    if (lineCount <= 1) return false;

    List savedEdge, savedLocked;
    for (void* item : mEdgeBlocked.Items()) savedEdge.Add(item);
    for (void* item : mLockedBlocked.Items()) savedLocked.Add(item);
    for (SlideObject* p : set) p->PushState();
    float dx = move.mToX - move.mFromX, dy = move.mToY - move.mFromY;
    float length = std::sqrt(dx * dx + dy * dy);
    int steps = mCellSize >= 1.0f ? Whole(length / mCellSize) : 0;
    float sx = length > 0.0f ? dx / length * mCellSize : 0.0f;
    float sy = length > 0.0f ? dy / length * mCellSize : 0.0f;
    bool blocked = false;
    for (int i = 0; i < steps && !blocked; ++i)
        for (SlideObject* p : set)
            if (!MoveBy(p, sx, sy)) {
                blocked = true;
                break;
            }
    for (SlideObject* p : set) p->PopState();
    mEdgeBlocked.Clear();
    mLockedBlocked.Clear();
    for (void* item : savedEdge.Items()) mEdgeBlocked.Add(item);
    for (void* item : savedLocked.Items()) mLockedBlocked.Add(item);
    return blocked;
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
