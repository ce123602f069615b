// Costs of the game rules: one board update in the middle of a cascade with 200 live particles,
// and how many moves a level plays per second headless under the autopilot.
#include <benchmark/benchmark.h>

#include <memory>

#include "board/BoardRandom.h"
#include "engine/draw/Image.h"
#include "engine/draw/Particle.h"
#include "engine/draw/Sprite.h"
#include "game/AutoplayGame.h"
#include "game/rules/Board.h"

namespace {

// A board whose bottom row has just been matched away: pieces fall and refill while 200 sparks
// fly. Rebuilt before every measured update so each one sees the same cascade.
void BM_BoardUpdateCascade(benchmark::State& state) {
    Image dot;
    dot.Create(16, 16, 0xC0FFE080u);
    Sprite spark;
    spark.SetImage(dot);
    for (auto _ : state) {
        state.PauseTiming();
        ProgramRandom().Seed(5);
        auto board = std::make_unique<Board>(nullptr);
        board->mLevelId = 5104;
        board->mInitialized = true;
        board->GenerateBoard(true);
        board->SetRect(50.0f, 70.0f, 500.0f, 500.0f);
        board->MakeWorkGrid();
        for (int c = 1; c < board->mColumnBound; ++c)
            if (SlideObject* p = board->GridAt(c, board->mRowBound - 1)) board->RemoveObject(p);
        board->Update();
        board->FillHoles();
        for (int i = 0; i < 200; ++i) {
            auto* p = new Particle();
            p->mSprite = &spark;
            p->mPos = Particle::Vector{float(i % 20) * 20.0f, float(i / 20) * 40.0f};
            p->mDirection = Particle::Vector{0.5f, -0.25f};
            p->AddScript("mDirection.mX*=.9f;mDirection.mY*=.9f;mColor.mAlpha-=.001f");
            board->mParticles.Add(p);
        }
        state.ResumeTiming();
        board->Update();
        state.PauseTiming();
        board.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BoardUpdateCascade)->Unit(benchmark::kMicrosecond)->Iterations(300);

// Whole games of one journey level (a board with a notch) until 40 moves, a clear or game over.
void BM_AutoplayMoves(benchmark::State& state) {
    int64_t moves = 0;
    uint32_t seed = 1;
    for (auto _ : state) {
        AutoplayGame game(false, 2033, seed++);
        AutoplayGame::Result result = game.Play(40);
        moves += result.mMoves;
        benchmark::DoNotOptimize(result.mScore);
    }
    state.counters["moves_per_second"] = benchmark::Counter(double(moves), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AutoplayMoves)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
