// The endless game: one free-form board until no move is left. The end of a run feeds the
// profile's statistics; the high-score entry and the scores screen follow it.
#include "game/GauntletSession.h"

#include "engine/core/StateHash.h"
#include "game/GameApp.h"
#include "game/ScreenFader.h"
#include "game/screens/NameEntryDialog.h"

GauntletSession::GauntletSession(GameApp* app) : GameSession(app) {
    mName = "GauntletSession";
    if (mApp) mApp->mMode = GameApp::kGauntlet;
}

void GauntletSession::Initialize() {
    GameSession::Initialize();
    if (!mBoard) StartLevelNow(kLevelId, true);
}

void GauntletSession::GameOver() {
    // The board tells once; the name entry below runs the loop, so a second call is refused.
    if (IsSwitchPending() || mGameOver) return;
    mLevelWon = false;
    mGameOver = true;
    if (mApp) {
        mApp->mStatistics.GauntletOver(mGold);
        mApp->SaveProgressNow();
        bool entered = NameEntryDialog::EnterHighScore(mApp, mApp->mGauntletScores, mScore);
        // The scores screen follows; the dark piece fades to it when no new row was made.
        if (!mApp->mQuit) mApp->GoTo(kDestinationScores, !entered);
        return;
    }
    // Played without the application (headless autoplay): a new Gauntlet starts, so the game
    // never ends in a dead board.
    ScheduleLevel(kLevelId, true, true);
}

void GauntletSession::ResetForNewGame() {
    GameSession::ResetForNewGame();
    mGold = 0;
}

void GauntletSession::HashState(StateHash& hash) const {
    GameSession::HashState(hash);
    hash.AddInt(mGold);
}
