// Loads arbitrary bytes as a journey map record. A record the map takes must save back to bytes
// that load again to the same map; then the map is played on (unlock around the current node,
// every open node picked, scrolled both ways) to find grids that break the play rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/journey/Maze.h"
#include "persistence/DataBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DataBuffer input;
    input.SetData(data, size);
    bool checked = Maze::CheckRecord(input);
    input.SetCursor(0);
    Maze maze(nullptr, nullptr);
    bool loaded = maze.Load(input);
    if (checked != loaded) std::abort();
    if (!loaded) return 0;

    DataBuffer saved;
    maze.Serialize(saved);
    Maze again(nullptr, nullptr);
    saved.SetCursor(0);
    if (!again.Load(saved)) std::abort();
    DataBuffer resaved;
    again.Serialize(resaved);
    if (resaved.Size() != saved.Size() || std::memcmp(resaved.Data(), saved.Data(), size_t(saved.Size())) != 0) std::abort();

    maze.Unlock();
    for (int lane = 0; lane < Maze::kLanes; ++lane)
        for (int step = 0; step < Maze::kSteps; ++step) maze.Play(lane, step);
    maze.TakeIdol();
    for (int i = 0; i < 600; ++i) maze.Scroll(2.0f);
    for (int i = 0; i < 600; ++i) maze.Scroll(-2.0f);
    for (int i = 0; i < 210; ++i) maze.Update();
    return 0;
}
