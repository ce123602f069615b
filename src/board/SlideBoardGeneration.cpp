// The slide board's generation: boards built from layout strings with large pieces, without a
// match to start with and with at least one move.
#include "board/SlideBoard.h"

#include <algorithm>

#include "board/BoardLayout.h"
#include "board/SlideBoardGrid.h"
#include "board/SlideLine.h"
#include "board/SlideObject.h"

using namespace slide_board_grid;

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
