// One maximal run of consecutive layout cells in a row or a column: the stretch of the board that
// slides and wraps as a whole. A piece pushed past one end comes back in at the other.
#pragma once

#include "engine/core/Rect.h"

// True when two rectangles share some area (touching edges do not count).
inline bool RectsOverlap(const Rect& a, const Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

class SlideLine {
public:
    // A row run (horizontal) from column `first` to `last` in `row`, or a column run from row
    // `first` to `last` in `column`; indices start at 1.
    static SlideLine* MakeRow(int row, int first, int last, float cell);
    static SlideLine* MakeColumn(int column, int first, int last, float cell);

    // Length of the run in pixels: how far a piece travels before it comes round again.
    float WrapLength() const;
    // Reduces a coordinate along the line into its wrap window [start cap, start cap + length).
    float Wrap(float along) const;

    // The off-board cell just before the run's first cell, and just after its last cell.
    Rect mStartCap;
    Rect mEndCap;
    // The stripe across the screen that the run's pieces are clipped to while wrapping.
    Rect mBand;
    // The cells of the run.
    Rect mCellArea;
    bool mHorizontal = false;
};
