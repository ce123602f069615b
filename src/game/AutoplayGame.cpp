// Headless autoplay: a session that only records the end of the game, its level screen, and the
// board's autopilot tuned to move at once and fast.
#include "game/AutoplayGame.h"

#include <cstdio>

#include "board/BoardRandom.h"
#include "game/GauntletSession.h"
#include "game/rules/Board.h"
#include "game/rules/Board_FreeForm.h"
#include "game/rules/BoardContainer.h"

namespace {
constexpr float kAutopilotSteps = 20.0f;
}  // namespace

// The real sessions move on to the next level or the score table; here the run just stops.
class AutoplayGame::RunSession : public GauntletSession {
public:
    RunSession() : GauntletSession(nullptr) {}
    void Initialize() override {}
    void GameOver() override { mGameOver = true; }
    void LevelWon() override {}
};

AutoplayGame::AutoplayGame(bool gauntlet, int levelId, uint32_t seed)
    : mSession(std::make_unique<RunSession>()), mGauntlet(gauntlet) {
    ProgramRandom().Seed(seed);
    mContainer = mSession->StartLevelNow(gauntlet ? Board_FreeForm::kLevelId : levelId, gauntlet);
}

AutoplayGame::~AutoplayGame() = default;

GameSession* AutoplayGame::GetSession() const { return mSession.get(); }

Board* AutoplayGame::GetBoard() const { return mContainer ? mContainer->GetBoard() : nullptr; }

void AutoplayGame::Step() {
    mSession->DoUpdate();
    ++mUpdates;
    KeepAutopilotGoing(GetBoard());
}

void AutoplayGame::KeepAutopilotGoing(Board* board) {
    if (!board) return;
    // Fast autopilot: no pauses before a move or before letting go, long strides (but not so
    // long that the drag overshoots its target within one update).
    board->mAutoStartDelay = 0;
    board->mAutoReleaseDelay = 0;
    board->mAutoStepsPerUpdate = kAutopilotSteps;
    // A move that snapped back leaves the autopilot stuck; start it afresh.
    if (board->mAutopilot && board->mAutoStuck && !board->mSnapbackActive) board->SetAutopilot(false);
    if (!board->mAutopilot && !board->mNoMoves && !board->IsHintShowing()) board->SetAutopilot(true);
}

AutoplayGame::Result AutoplayGame::Current() const {
    Result result;
    result.mMoves = mSession->mMoves;
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

std::string AutoplayGame::ToJson(const Result& r) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\"moves\":%d,\"score\":%d,\"dullbones_broken\":%d,\"cleared\":%s,\"game_over\":%s,\"updates\":%lld}",
                  r.mMoves, r.mScore, r.mDullbonesBroken, r.mCleared ? "true" : "false", r.mGameOver ? "true" : "false",
                  static_cast<long long>(r.mUpdates));
    return text;
}
