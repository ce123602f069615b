// The slide board's gravity: pieces fall and accelerate, holes refill from every side, large pieces
// crush what they land on, and landings look for new matches.
#include "board/SlideBoard.h"

#include <algorithm>

#include "board/SlideBoardGrid.h"
#include "board/SlideLine.h"
#include "board/SlideObject.h"

using namespace slide_board_grid;

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
