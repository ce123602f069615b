// The slide board's autopilot: it finds a move, drags it like a player and reports each move and
// being stuck.
#include "board/SlideBoard.h"

#include <cmath>

#include "board/SlideBoardGrid.h"
#include "board/SlideLine.h"
#include "board/SlideObject.h"
#include "engine/core/App.h"

using namespace slide_board_grid;

// ---- [autopilot] ----------------------------------------------------------------------------------

void SlideBoard::SetAutopilot(bool on) {
    if (mAutopilot == on) return;
    // The autopilot takes the board as the keys leave it: a keyboard slide ends first.
    if (on) FinishKeySlide();
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
