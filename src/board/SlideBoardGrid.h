// Grid arithmetic shared by the slide board's source files: cell indices of the work grid and the
// board's float-to-int truncation.
#pragma once

#include "board/SlideBoard.h"

namespace slide_board_grid {

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

}  // namespace slide_board_grid
