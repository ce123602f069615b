// The slide board under the mouse: presses, drags of a line with its wrap, pushing and snapping.
#include "board/SlideBoard.h"

#include <algorithm>
#include <cmath>

#include "board/SlideBoardGrid.h"
#include "board/SlideLine.h"
#include "board/SlideObject.h"

using namespace slide_board_grid;

// ---- [mouse] --------------------------------------------------------------------------------------

void SlideBoard::MouseDown(float x, float y, int button) {
    (void)button;
    if (!mKeyDriving) {
        // The mouse takes over from the keys: a keyboard slide ends first, and the cursor hides
        // on the pressed cell, where it shows again at the next key.
        FinishKeySlide();
        mKeyCursorShown = mKeyPickedUp = false;
        if (mCellSize >= 1.0f && x >= 0.0f && y >= 0.0f) {
            int column = int(x / mCellSize) + 1, row = int(y / mCellSize) + 1;
            if (IsCell(column, row)) {
                mKeyColumn = column;
                mKeyRow = row;
            }
        }
    }
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
