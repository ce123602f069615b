// Builds a slide board from arbitrary layout text (first byte: colours, second: cell size), then
// lets the autopilot play a few hundred updates on it: no layout may crash or hang the board.
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/SlideBoard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 2048) return 0;
    SlideBoard board;
    board.mNumColors = 1 + data[0] % 8;
    board.mUseFixedSeed = true;
    board.mFixedSeed = data[0];
    board.mInitialized = true;
    board.mLargeAllowed = (data[1] & 1) != 0;
    board.SetChanceToMinimizeCascades((data[1] & 2) ? 100.0f : 0.0f);
    int cellHint = 1 + (data[1] >> 2);
    std::string layout(reinterpret_cast<const char*>(data + 2), size - 2);
    if (!board.MakeBoard(layout, cellHint * 10)) return 0;
    board.mAutoStartDelay = board.mAutoReleaseDelay = 1;
    board.mAutoStepsPerUpdate = 8.0f;
    board.SetAutopilot(true);
    for (int i = 0; i < 300; ++i) {
        board.Update();
        // Counted back as the game rules do, so moves follow one another.
        if (board.IsAnythingFalling()) board.mSettleCounter = 4;
        if (board.mSettleCounter > 0) --board.mSettleCounter;
    }
    return 0;
}
