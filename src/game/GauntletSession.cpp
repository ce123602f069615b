// The endless game: one free-form board until no move is left. The end of a run feeds the
// profile's statistics; the high-score entry and the scores screen follow it once they exist.
#include "game/GauntletSession.h"

#include <algorithm>

#include "game/GameApp.h"

GauntletSession::GauntletSession(GameApp* app) : GameSession(app) {
    mName = "GauntletSession";
    if (mApp) mApp->mMode = GameApp::kGauntlet;
}

void GauntletSession::Initialize() {
    GameSession::Initialize();
    if (!mBoard) StartLevelNow(kLevelId, true);
}

void GauntletSession::GameOver() {
    if (IsSwitchPending()) return;
    if (mApp) {
        GameStatistics& statistics = mApp->mStatistics;
        ++statistics.mGauntletsCompleted;
        statistics.mMostGold = std::max(statistics.mMostGold, mGold);
    }
    mLevelWon = false;
    mGameOver = true;
    // Here the score is offered to the Gauntlet table (name entry) and the scores screen follows.
    // Until those screens exist a new Gauntlet starts, so the game never ends in a dead board.
    ScheduleLevel(kLevelId, true, true);
}

void GauntletSession::ResetForNewGame() {
    GameSession::ResetForNewGame();
    mGold = 0;
}
