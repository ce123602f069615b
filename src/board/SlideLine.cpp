// Geometry of a sliding line: its caps, band and wrap window.
#include "board/SlideLine.h"

#include <cmath>

SlideLine* SlideLine::MakeRow(int row, int first, int last, float cell) {
    SlideLine* line = new SlideLine();
    line->mHorizontal = true;
    float y = float(row - 1) * cell;
    line->mStartCap = Rect{float(first - 2) * cell, y, cell, cell};
    line->mEndCap = Rect{float(last) * cell, y, cell, cell};
    float left = line->mStartCap.x + cell;
    float right = line->mEndCap.x;
    line->mBand = Rect{left, 0.0f, right - left, 600.0f};
    line->mCellArea = Rect{left, y, right - left, cell};
    return line;
}

SlideLine* SlideLine::MakeColumn(int column, int first, int last, float cell) {
    SlideLine* line = new SlideLine();
    line->mHorizontal = false;
    float x = float(column - 1) * cell;
    line->mStartCap = Rect{x, float(first - 2) * cell, cell, cell};
    line->mEndCap = Rect{x, float(last) * cell, cell, cell};
    float top = line->mStartCap.y + cell;
    float bottom = line->mEndCap.y;
    line->mBand = Rect{0.0f, top, 800.0f, bottom - top};
    line->mCellArea = Rect{x, top, cell, bottom - top};
    return line;
}

float SlideLine::WrapLength() const {
    return mHorizontal ? mEndCap.x - (mStartCap.x + mStartCap.w) : mEndCap.y - (mStartCap.y + mStartCap.h);
}

float SlideLine::Wrap(float along) const {
    float start = mHorizontal ? mStartCap.x : mStartCap.y;
    float length = WrapLength();
    if (!(length > 0.0f)) return along;
    float r = std::fmod(along - start, length);
    if (r < 0.0f) r += length;
    // fmod of a value just below a multiple can round up to the length itself.
    if (r >= length) r = 0.0f;
    return start + r;
}
