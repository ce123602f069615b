// A game in progress: the score and its multipliers, the counts of the run, and the level being
// played. The board pays points in through AddScore and reports the end of each level; until the
// journey map and the screen fader exist, the next level simply follows after a short pause.
#include "game/GameSession.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "engine/core/GadgetManager.h"
#include "game/GameApp.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/rules/FloatingText.h"
#include "game/screens/NameEntryDialog.h"

namespace {

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

GameSession::GameSession(GameApp* app) : mApp(app) {
    mName = "GameSession";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    if (mApp) mApp->mMode = GameApp::kJourney;
}

GameSession::~GameSession() {
    // The level screen and its board go while the session they report to is still whole.
    if (Children()) Children()->DeleteAll();
    mBoard = nullptr;
    if (mApp && mApp->mSession == this) mApp->mSession = nullptr;
}

void GameSession::Initialize() { TakeKeyboardFocus(); }

void GameSession::Update() {
    mTexts.Update();
    if (mSwitchCountdown > 0 && --mSwitchCountdown == 0) {
        if (mPendingNewGame) ResetForNewGame();
        StartLevelNow(mPendingLevel, mPendingFreeForm);
    }
}

void GameSession::DrawOverlay() { mTexts.Draw(); }

// ---- Score -------------------------------------------------------------------------------------

int GameSession::Multiplier() const {
    // Slots come from saved games too: the product saturates rather than wrapping around.
    int64_t product = 1;
    for (int32_t slot : mBonus)
        if (slot != 0) product = std::clamp<int64_t>(product * slot, std::numeric_limits<int32_t>::min(),
                                                     std::numeric_limits<int32_t>::max());
    return static_cast<int>(product);
}

void GameSession::AddScore(int points, float x, float y) {
    // A hint plays its move on the real board; that move must not pay.
    if (mBoard && mBoard->IsHintMove()) return;
    int multiplier = Multiplier();
    mScore = ClampToInt32(int64_t(mScore) + int64_t(points) * multiplier);
    if (!mBoard) return;

    char text[32];
    if (multiplier > 1)
        std::snprintf(text, sizeof text, "%dx%d", points, multiplier);
    else
        std::snprintf(text, sizeof text, "%d", points);
    // Board points are relative to the board, which sits inside the level screen.
    float left = mBoard->mRect.x, top = mBoard->mRect.y;
    if (Board* board = mBoard->GetBoard()) {
        left += board->mRect.x;
        top += board->mRect.y;
    }
    mTexts.Add(new FloatingText(text, mApp ? &mApp->mFont4 : nullptr, x + left, y + top));
}

// ---- Levels ------------------------------------------------------------------------------------

BoardContainer* GameSession::StartLevelNow(int levelId, bool freeForm) {
    if (mBoard && !mBoard->mKilled) mBoard->Kill();
    mSwitchCountdown = 0;
    mChosenLevel = levelId;
    auto* container = new BoardContainer(this, mApp);
    container->mLevelId = levelId;
    container->mFreeForm = freeForm;
    AddChild(container);
    mBoard = container;
    mLevelStartScore = mScore;
    mGameOver = false;
    if (mApp) mApp->ResetTiming();
    return container;
}

void GameSession::ScheduleLevel(int levelId, bool freeForm, bool newGame) {
    mPendingLevel = levelId;
    mPendingFreeForm = freeForm;
    mPendingNewGame = newGame;
    mSwitchCountdown = kSwitchDelay;
}

void GameSession::LevelWon() {
    // One call per level: the board's continue button may be pressed again while the next level
    // is on its way.
    if (IsSwitchPending()) return;
    if (!mHasLost) {
        ++mLevelsWonBeforeLoss;
        if (mApp) {
            int32_t& best = mApp->mStatistics.mMostLevelsWonBeforeLosing;
            best = best == -1 ? mLevelsWonBeforeLoss : std::max(best, mLevelsWonBeforeLoss);
        }
    }
    mLevelWon = true;
    // The journey map takes over here once it exists; until then the next level id follows.
    int levelId = mBoard ? mBoard->mLevelId : mChosenLevel;
    ScheduleLevel(levelId == std::numeric_limits<int>::max() ? levelId : levelId + 1, false, false);
}

void GameSession::GameOver() {
    if (IsSwitchPending()) return;
    // Points earned on a lost level are gone.
    mScore = mLevelStartScore;
    ++mLevelsLost;
    mHasLost = true;
    mLevelWon = false;
    mGameOver = true;
    // Back to the map once it exists; until then the same level is played again.
    int levelId = mBoard ? mBoard->mLevelId : mChosenLevel;
    ScheduleLevel(levelId, mBoard && mBoard->mFreeForm, false);
}

// ---- The end of a journey ----------------------------------------------------------------------

void GameSession::RecordJourneyWon(int idol) {
    if (mJourneyRecorded || !mApp) return;
    mJourneyRecorded = true;
    mApp->mStatistics.JourneyWon(mMoves, mJourneyTime, mLevelsLost, idol);
    mApp->SaveStatistics();
}

void GameSession::JourneyFinished(int idol) {
    RecordJourneyWon(idol);
    if (!mApp) return;
    NameEntryDialog::EnterHighScore(mApp, mApp->mJourneyScores, mScore);
    // The scores screen follows here once the screen fader exists.
}

void GameSession::ResetForNewGame() {
    mScore = 0;
    mLevelStartScore = 0;
    mLevelWon = false;
    std::fill(std::begin(mBonus), std::end(mBonus), 0);
    mSecondChances = 0;
    mMoves = 0;
    mBestRatioSmall = 0;
    mBestRatioLarge = 0;
    mJourneyTime = 0;
    mLevelsLost = 0;
    mLevelsWonBeforeLoss = 0;
    mHasLost = false;
    mGameOver = false;
    mJourneyRecorded = false;
}
