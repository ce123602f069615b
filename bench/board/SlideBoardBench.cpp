// Costs of the slide board's hot paths: the move search (typical, with large pieces, and the
// worst case of a board with no move left), one update of a falling column, building a board,
// and how many moves the autopilot plays per second headless.
#include <benchmark/benchmark.h>

#include <string>

#include "board/SlideBoard.h"
#include "board/SlideObject.h"

namespace {

std::string SquareLayout(int n, bool large) {
    std::string layout;
    for (int r = 1; r <= n; ++r) {
        layout += '[';
        for (int c = 1; c <= n; ++c) {
            // A few large pieces spread over the board, none overlapping.
            bool big = large && ((r == 2 && c == 2) || (r == n - 2 && c == n - 2) || (r == 2 && c == n - 2));
            layout += big ? 'X' : '#';
        }
        layout += ']';
    }
    return layout;
}

void Make(SlideBoard& board, const std::string& layout, int seed) {
    board.mUseFixedSeed = true;
    board.mFixedSeed = seed;
    board.mInitialized = true;
    board.MakeBoard(layout, 600);
}

// Rows alternate between two sets of four colours, each row cycling through its set: sliding a
// row or a column never puts two equal colours side by side, so no move exists and the search
// tries every shift of every line. Needs an even board.
void PaintWithoutMove(SlideBoard& board) {
    board.MakeWorkGrid();
    for (int c = 1; c < board.mColumnBound; ++c)
        for (int r = 1; r < board.mRowBound; ++r)
            if (SlideObject* p = board.GridAt(c, r)) p->mColor = (r % 2) * 4 + (c + r) % 4;
}

// A 5 by 5 painting without a move, found among seeded random colourings.
void PaintWithoutMove5(SlideBoard& board) {
    BoardRandom random(1);
    for (int tries = 0; tries < 100000; ++tries) {
        for (void* item : board.mPieces.Items()) static_cast<SlideObject*>(item)->mColor = random.Range(8);
        if (!board.GetMatches(nullptr, false) && !board.FindMatch()) return;
    }
}

void BM_FindMatch(benchmark::State& state) {
    int n = int(state.range(0));
    int kind = int(state.range(1));  // 0 typical, 1 with large pieces, 2 no move left
    SlideBoard board;
    Make(board, SquareLayout(n, kind == 1), 7);
    if (kind == 2) {
        if (n % 2 == 0)
            PaintWithoutMove(board);
        else
            PaintWithoutMove5(board);
        if (board.FindMatch()) state.SkipWithError("the board still has a move");
    }
    bool found = false;
    for (auto _ : state) {
        found = board.FindMatch();
        benchmark::DoNotOptimize(found);
    }
    state.SetLabel(found ? "move found" : "no move");
}
BENCHMARK(BM_FindMatch)
    ->ArgsProduct({{5, 8, 10}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

void BM_UpdateWithFallingColumn(benchmark::State& state) {
    const std::string layout = SquareLayout(10, false);
    int seed = 1;
    for (auto _ : state) {
        state.PauseTiming();
        SlideBoard board;
        board.mMostLargePieces = 0;
        Make(board, layout, seed++);
        board.MakeWorkGrid();
        for (int r = 1; r <= 10; ++r) board.RemoveObject(board.GridAt(5, r));
        board.FillHoles();
        board.Update();
        state.ResumeTiming();
        board.Update();
    }
}
BENCHMARK(BM_UpdateWithFallingColumn)->Unit(benchmark::kMicrosecond);

void BM_MakeBoard10(benchmark::State& state) {
    const std::string layout = SquareLayout(10, false);
    int seed = 1;
    SlideBoard board;
    for (auto _ : state) Make(board, layout, seed++);
}
BENCHMARK(BM_MakeBoard10)->Unit(benchmark::kMicrosecond);

// Counts the settle counter down as the game rules do, so the autopilot can keep moving.
class SettlingBoard : public SlideBoard {
public:
    void Update() override {
        if (IsAnythingFalling()) mSettleCounter = 4;
        if (mSettleCounter > 0) --mSettleCounter;
        SlideBoard::Update();
    }
    void AutoPilotFinishedMoveCallback() override { ++mMoves; }
    int mMoves = 0;
};

void BM_AutopilotMoves(benchmark::State& state) {
    // One iteration is one finished move. A board that runs out of moves is replaced outside
    // the timing, so the figure is the pace of play, not of searching a dead board.
    SettlingBoard board;
    int seed = 3;
    Make(board, SquareLayout(8, false), seed);
    board.SetAutopilot(true);
    int64_t updates = 0;
    for (auto _ : state) {
        int before = board.mMoves;
        for (int i = 0; i < 100000 && board.mMoves == before; ++i) {
            board.Update();
            ++updates;
            if (board.mAutoFailedSearches > 0 || board.mAutoStuck || !board.mAutopilot) {
                state.PauseTiming();
                Make(board, SquareLayout(8, false), ++seed);
                board.SetAutopilot(false);
                board.SetAutopilot(true);
                state.ResumeTiming();
            }
        }
    }
    state.counters["moves/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["updates/move"] = double(updates) / double(state.iterations());
}
BENCHMARK(BM_AutopilotMoves)->Unit(benchmark::kMillisecond);

}  // namespace
