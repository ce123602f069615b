// Costs of the journey map: making a map from a seed, saving and loading its record, and drawing
// one level's thumbnail board (the work a first journey does per level shape, files aside).
#include <benchmark/benchmark.h>

#include "board/BoardRandom.h"
#include "engine/draw/Image.h"
#include "engine/draw/Sprite.h"
#include "game/journey/Maze.h"
#include "game/rules/Board.h"
#include "persistence/DataBuffer.h"

namespace {

void BM_MazeGenerate(benchmark::State& state) {
    Maze maze(nullptr, nullptr);
    uint32_t seed = 0;
    for (auto _ : state) {
        maze.Generate(seed++);
        benchmark::DoNotOptimize(maze.mGrid[0]);
    }
}
BENCHMARK(BM_MazeGenerate);

// The record written, then read into a fresh map, which rebuilds its buttons.
void BM_MazeSaveLoad(benchmark::State& state) {
    Maze maze(nullptr, nullptr);
    maze.Generate(4);
    for (auto _ : state) {
        DataBuffer buffer;
        maze.Serialize(buffer);
        buffer.SetCursor(0);
        Maze loaded(nullptr, nullptr);
        benchmark::DoNotOptimize(loaded.Load(buffer));
    }
}
BENCHMARK(BM_MazeSaveLoad);

// A 7 by 7 level (world 6) dealt and drawn at its cell size with 64-pixel tiles.
void BM_LevelThumbnail(benchmark::State& state) {
    Sprite tiles[8];
    const Sprite* tileList[8];
    for (int i = 0; i < 8; ++i) {
        Image tile;
        tile.Create(64, 64, 0xFF000000u | uint32_t(0x204080 * (i + 1)));
        tiles[i].SetImage(tile);
        tileList[i] = &tiles[i];
    }
    for (auto _ : state) {
        Board board(nullptr);
        board.mLevelId = 6123;
        board.mUseFixedSeed = true;
        board.mFixedSeed = 6123;
        board.Initialize();
        Image picture;
        board.MakeThumb(picture, tileList);
        benchmark::DoNotOptimize(picture.Resized(89, 89).mPixels.data());
    }
}
BENCHMARK(BM_LevelThumbnail)->Unit(benchmark::kMillisecond);

}  // namespace
