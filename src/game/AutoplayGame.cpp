// Headless autoplay: sessions that only record the end of the game, their level screen, and the
// board's autopilot tuned to move at once and fast.
#include "game/AutoplayGame.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "board/BoardRandom.h"
#include "board/SlideLine.h"
#include "game/GauntletSession.h"
#include "game/SavedGame.h"
#include "game/journey/Maze.h"
#include "game/rules/Board.h"
#include "game/rules/Board_FreeForm.h"
#include "game/rules/BoardContainer.h"

namespace {

constexpr float kAutopilotSteps = 20.0f;
// The autopilot finds its next move on the update the board settles and drags it on the next:
// a game saved when a move has just been counted then holds no drag under way, and plays on
// with the move already found.
constexpr int kAutopilotStartDelay = 1;

// The real sessions move on to the next level or the score table; here the run just stops.
template <class Base>
class RunSession : public Base {
public:
    RunSession() : Base(nullptr) {}
    void Initialize() override {}
    void GameOver() override { this->mGameOver = true; }
    void LevelWon() override {}
    // What the game does with a lost journey level before it can be left: the level's points go,
    // the loss is counted and the level is dealt again.
    void TakeTheLoss() {
        this->mGameOver = false;
        Base::GameOver();
    }
};

using JourneyRun = RunSession<GameSession>;
using GauntletRun = RunSession<GauntletSession>;

}  // namespace

AutoplayGame::AutoplayGame(bool gauntlet, int levelId, uint32_t seed) : mGauntlet(gauntlet) {
    ProgramRandom().Seed(seed);
    if (gauntlet) {
        mSession = std::make_unique<GauntletRun>();
    } else {
        mSession = std::make_unique<JourneyRun>();
        // The level is the current level of the journey whose map this seed makes; the map's
        // draws leave the level's own dealing as it was without one.
        BoardRandom dealing = ProgramRandom();
        auto* map = new Maze(mSession.get(), nullptr);
        map->Generate(seed);
        mSession->mMap = map;
        ProgramRandom() = dealing;
    }
    mSession->StartLevelNow(gauntlet ? Board_FreeForm::kLevelId : levelId, gauntlet);
}

AutoplayGame::AutoplayGame(std::unique_ptr<GameSession> session, bool gauntlet)
    : mSession(std::move(session)), mGauntlet(gauntlet) {
    // A game left between levels plays on with its next level.
    if (!mSession->mBoard)
        mSession->StartLevelNow(gauntlet ? Board_FreeForm::kLevelId : mSession->mChosenLevel, gauntlet);
    mMovesAtStart = mSession->mMoves;
}

std::unique_ptr<AutoplayGame> AutoplayGame::Resume(const std::vector<uint8_t>& bytes, uint32_t seed,
                                                   std::string* problem) {
    ProgramRandom().Seed(seed);
    auto make = [](bool gauntlet, GameApp*) -> std::unique_ptr<GameSession> {
        if (gauntlet) return std::make_unique<GauntletRun>();
        return std::make_unique<JourneyRun>();
    };
    std::unique_ptr<GameSession> session = SavedGame::Read(bytes, nullptr, problem, make);
    if (!session) return nullptr;
    bool gauntlet = dynamic_cast<GauntletSession*>(session.get()) != nullptr;
    return std::unique_ptr<AutoplayGame>(new AutoplayGame(std::move(session), gauntlet));
}

AutoplayGame::~AutoplayGame() = default;

GameSession* AutoplayGame::GetSession() const { return mSession.get(); }

Board* AutoplayGame::GetBoard() const { return mSession->mBoard ? mSession->mBoard->GetBoard() : nullptr; }

void AutoplayGame::LinesInSavedOrder(Board& board) {
    // Layout order shuffled by a source seeded from the board's own random state, which the saved
    // game holds; the board's source itself is not drawn from.
    const BoardRandom& state = board.mRandom;
    int j = state.mJ >= 0 && state.mJ < BoardRandom::kWords ? state.mJ : 0;
    BoardRandom shuffle(static_cast<uint32_t>(state.mWords[j]) ^ static_cast<uint32_t>(state.mK) << 24);
    auto order = [&shuffle](List& lines, bool rows) {
        std::vector<SlideLine*> order;
        for (void* item : lines.Items()) order.push_back(static_cast<SlideLine*>(item));
        std::stable_sort(order.begin(), order.end(), [rows](const SlideLine* a, const SlideLine* b) {
            const Rect &p = a->mCellArea, &q = b->mCellArea;
            return rows ? (p.y != q.y ? p.y < q.y : p.x < q.x) : (p.x != q.x ? p.x < q.x : p.y < q.y);
        });
        for (size_t i = 0; i < order.size(); ++i)
            std::swap(order[i], order[size_t(shuffle.Range(int32_t(order.size())))]);
        lines.Clear();
        for (SlideLine* line : order) lines.Add(line);
    };
    order(board.mRowLines, true);
    order(board.mColumnLines, false);
}

void AutoplayGame::Step() {
    mSession->DoUpdate();
    ++mUpdates;
    KeepAutopilotGoing(GetBoard());
}

void AutoplayGame::KeepAutopilotGoing(Board* board) {
    if (!board) return;
    if (!board->mPlayerDragActive && !board->mAutoDragActive) LinesInSavedOrder(*board);
    // Fast autopilot: almost no pause before a move and none before letting go, long strides
    // (but not so long that the drag overshoots its target within one update).
    board->mAutoStartDelay = kAutopilotStartDelay;
    board->mAutoReleaseDelay = 0;
    board->mAutoStepsPerUpdate = kAutopilotSteps;
    // A move that snapped back leaves the autopilot stuck; start it afresh.
    if (board->mAutopilot && board->mAutoStuck && !board->mSnapbackActive) board->SetAutopilot(false);
    if (!board->mAutopilot && !board->mNoMoves && !board->IsHintShowing()) board->SetAutopilot(true);
}

AutoplayGame::Result AutoplayGame::Current() const {
    Result result;
    result.mMoves = mSession->mMoves - mMovesAtStart;
    result.mScore = mSession->mScore;
    result.mUpdates = mUpdates;
    result.mGameOver = mSession->mGameOver;
    if (Board* board = GetBoard()) {
        result.mDullbonesBroken = board->mDullbonesBroken;
        result.mCleared = board->mLevelCleared;
    }
    return result;
}

AutoplayGame::Result AutoplayGame::Play(int moves) {
    while (mUpdates < kMaxUpdates) {
        Result now = Current();
        // A cleared Gauntlet board goes dark again and play goes on; a journey level ends.
        if (now.mMoves >= moves || now.mGameOver || (now.mCleared && !mGauntlet)) return now;
        Step();
    }
    return Current();
}

bool AutoplayGame::Save(std::vector<uint8_t>* bytes) {
    bytes->clear();
    if (!mGauntlet && mSession->mGameOver && !mSession->IsSwitchPending())
        static_cast<JourneyRun*>(mSession.get())->TakeTheLoss();
    if (mSession->IsFinished()) return false;
    *bytes = SavedGame::Write(*mSession);
    return true;
}

std::string AutoplayGame::ToJson(const Result& r) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\"moves\":%d,\"score\":%d,\"dullbones_broken\":%d,\"cleared\":%s,\"game_over\":%s,\"updates\":%lld%s}",
                  r.mMoves, r.mScore, r.mDullbonesBroken, r.mCleared ? "true" : "false", r.mGameOver ? "true" : "false",
                  static_cast<long long>(r.mUpdates),
                  !r.mSaved ? "" : *r.mSaved ? ",\"saved\":true" : ",\"saved\":false");
    return text;
}
