// A game in progress: the score and its multipliers, the counts of the run, the journey's map and
// the level being played. The board pays points in through AddScore and reports the end of each
// level; a journey then goes back to its map. Screen changes happen kSwitchDelay updates after
// they are asked for, where a fade covers the screen.
#include "game/GameSession.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include <mutex>

#include "engine/core/GadgetManager.h"
#include "engine/core/StateHash.h"
#include "game/GameApp.h"
#include "game/journey/Maze.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/rules/FloatingText.h"
#include "game/screens/NameEntryDialog.h"
#include "game/screens/PauseOverlay.h"

namespace {

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

GameSession::GameSession(GameApp* app) : mApp(app) {
    mName = "GameSession";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    mTakesPadKeys = true;
    if (mApp) mApp->mMode = GameApp::kJourney;
}

GameSession::~GameSession() {
    // A pause card left over (the game was left while paused) goes with the game it paused.
    if (mPauseOverlay) {
        mPauseOverlay->mSession = nullptr;
        mPauseOverlay->Kill();
        mPauseOverlay = nullptr;
    }
    // The level screen and its board go while the session they report to is still whole. The map
    // is not a child while a level is played.
    bool mapShown = mMap && Children() && Children()->Contains(mMap);
    if (Children()) Children()->DeleteAll();
    if (mMap && !mapShown) delete mMap;
    mMap = nullptr;
    mBoard = nullptr;
    if (mApp && mApp->mSession == this) mApp->mSession = nullptr;
}

void GameSession::Initialize() {
    TakeKeyboardFocus();
    // A new journey starts on its map; a resumed one or a single level brings its own screen.
    if (HasMap() && !mBoard && !mMap) {
        mMap = new Maze(this, mApp);
        AddChild(mMap);
    }
}

void GameSession::Update() {
    mTexts.Update();
    if (mSwitchCountdown > 0 && --mSwitchCountdown == 0) RunPendingSwitch();
}

void GameSession::RunPendingSwitch() {
    mSwitchCountdown = 0;
    if (mPendingDestination != 0) {
        int destination = mPendingDestination;
        mPendingDestination = 0;
        PerformSwitch(destination);
        return;
    }
    if (mPendingNewGame) ResetForNewGame();
    StartLevelNow(mPendingLevel, mPendingFreeForm);
}

void GameSession::DrawOverlay() { mTexts.Draw(); }

// ---- Pause -------------------------------------------------------------------------------------

void GameSession::Char(int c) {
    if (c == 'P' || c == 'p') SetPaused(-1);
}

void GameSession::KeyDown(int key) {
    if (!Children()) return;
    if (mBoard && Children()->Contains(mBoard))
        mBoard->RouteKeyDown(key);
    else if (mMap && Children()->Contains(mMap))
        mMap->RouteKeyDown(key);
}

void GameSession::SetPaused(int wanted) {
    // Resuming is always allowed: a pause card dismissed during a fade must not leave the game
    // frozen behind it.
    if (wanted != 0 && mApp && mApp->mTransitionRunning) return;
    bool pause = wanted < 0 ? !mPaused : wanted != 0;
    if (pause == mPaused) return;
    mPaused = pause;
    if (!pause) {
        Resume();
        return;
    }
    Pause();
    if (!mApp) return;
    mPauseOverlay = new PauseOverlay(mApp, this);
    {
        std::lock_guard<std::recursive_mutex> lock(mApp->mDrawLock);
        mApp->mGadgets.Add(mPauseOverlay);
    }
    mPauseOverlay->TakeKeyboardFocus();
}

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
    // The map waits, alive, while the level is played.
    if (mMap && Children() && Children()->Contains(mMap)) RemoveChild(mMap);
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

void GameSession::ScheduleSwitch(int destination) {
    // On the screen, a fader covers the change and the application performs it at the middle of
    // the fade (a lost level fades with the dark piece). A session driven on its own (tools,
    // tests) counts the same updates down itself.
    if (mApp && mApp->mGadgets.Contains(this)) {
        mFadePending = true;
        mApp->GoTo(destination, destination == kToMapAfterLoss);
        return;
    }
    mPendingDestination = destination;
    mSwitchCountdown = kSwitchDelay;
}

void GameSession::StartLevel(int levelId) {
    if (IsSwitchPending()) return;
    mChosenLevel = levelId;
    ScheduleSwitch(kToLevel);
}

void GameSession::PerformSwitch(int destination) {
    mFadePending = false;
    switch (destination) {
    case kToLevel:
        StartLevelNow(mChosenLevel);
        break;
    case kToMapAfterWin:
    case kToMapAfterLoss:
        ReturnToMap();
        break;
    case kToScores:
        // Without the application's screens (tools, tests) a new journey starts.
        ResetForNewGame();
        if (mMap) mMap->Kill();
        mMap = new Maze(this, mApp);
        AddChild(mMap);
        break;
    default:
        break;
    }
}

void GameSession::ReturnToMap() {
    if (!mMap) return;
    if (mBoard && !mBoard->mKilled) mBoard->Kill();
    mBoard = nullptr;
    if (!(Children() && Children()->Contains(mMap))) AddChild(mMap);
    mMap->ReturnedFromLevel(mLevelWon);
    if (mApp) mApp->ResetTiming();
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
    // The level's statistics are kept at once, not only when the game shuts down.
    if (mApp) mApp->SaveProgressNow();
    if (mMap) {
        ScheduleSwitch(kToMapAfterWin);
        return;
    }
    // A single level played without a map: the next level id follows.
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
    if (mApp) mApp->SaveProgressNow();
    if (mMap) {
        ScheduleSwitch(kToMapAfterLoss);
        return;
    }
    // A single level played without a map: it is played again.
    int levelId = mBoard ? mBoard->mLevelId : mChosenLevel;
    ScheduleLevel(levelId, mBoard && mBoard->mFreeForm, false);
}

// ---- The end of a journey ----------------------------------------------------------------------

void GameSession::RecordJourneyWon(int idol) {
    if (mJourneyRecorded || !mApp) return;
    mJourneyRecorded = true;
    mApp->mStatistics.JourneyWon(mMoves, mJourneyTime, mLevelsLost, idol);
    mApp->SaveProgressNow();
}

void GameSession::JourneyFinished(int idol) {
    RecordJourneyWon(idol);
    if (mApp) NameEntryDialog::EnterHighScore(mApp, mApp->mJourneyScores, mScore);
    // The scores screen follows (through the application's fader when on the screen).
    ScheduleSwitch(kToScores);
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

void GameSession::HashState(StateHash& hash) const {
    for (int32_t value : {mScore, mLevelStartScore, mChosenLevel, mSecondChances, mMoves, mBestRatioSmall,
                          mBestRatioLarge, mJourneyTime, mLevelsLost, mLevelsWonBeforeLoss, mSwitchCountdown,
                          mPendingLevel})
        hash.AddInt(value);
    for (int32_t bonus : mBonus) hash.AddInt(bonus);
    hash.AddBool(mLevelWon);
    hash.AddBool(mHasLost);
    hash.AddBool(mGameOver);
}
