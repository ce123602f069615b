// The slide board's matches: groups of three or more, their removal with the callbacks in order,
// and the search for a remaining move.
#include "board/SlideBoard.h"

#include <algorithm>

#include "board/SlideBoardGrid.h"
#include "board/SlideLine.h"
#include "board/SlideObject.h"

namespace {

// The program-wide match stamp counter: each GetMatches call raises it.
int gMatchStamp = 0;

}  // namespace

using namespace slide_board_grid;

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
