// A game in progress: score, the five bonus multiplier slots, second chances, moves, journey
// time, best ratios and the level being played. The board hands it points and reports wins and
// losses; it owns the floating score texts.
#pragma once

#include <cstdint>

#include "engine/core/Gadget.h"
#include "engine/core/ObjectManager.h"

class BoardContainer;
class GameApp;

class GameSession : public Gadget {
public:
    static constexpr int kBonusSlots = 5;
    // Updates between the end of a level and the next level's start: where the screen fader
    // reaches the middle of its fade.
    static constexpr int kSwitchDelay = 37;

    explicit GameSession(GameApp* app);
    ~GameSession() override;

    // Takes the keyboard focus (the pause key).
    void Initialize() override;
    // Updates the floating texts; starts the level scheduled by LevelWon or GameOver.
    void Update() override;
    // The floating texts, above everything of the session.
    void DrawOverlay() override;

    // Multiplies by the non-zero bonus slots and adds to the score, showing the points (and the
    // multiplier, "500x2") at the board point; nothing while the board plays a hint.
    virtual void AddScore(int points, float x, float y);
    // Product of the non-zero multiplier slots (1 when none).
    int Multiplier() const;
    // Journey: the level is lost. Gauntlet: the game is over.
    virtual void GameOver();
    // The player continues after a cleared level.
    virtual void LevelWon();
    virtual void ReturnToMap() {}
    // Makes the level screen for `levelId` and adds it as a child (ending any level screen
    // still there).
    virtual BoardContainer* StartLevelNow(int levelId, bool freeForm = false);
    // The counts of a fresh game: score, bonuses, second chances, moves and the journey's counts.
    virtual void ResetForNewGame();
    // The map ends a won journey at idol `idol` (0 to 10; -1 for none): the profile's statistics
    // of the journey, counted once per session, and written at once.
    void RecordJourneyWon(int idol);
    // The won journey is over (the player clicked past the won screen): records it as above when
    // the map has not, offers the score to the Journey table (fanfare and name entry when it
    // qualifies), then the scores screen.
    void JourneyFinished(int idol);
    // True between LevelWon or GameOver and the start of the level that follows.
    bool IsSwitchPending() const { return mSwitchCountdown > 0; }

    GameApp* mApp = nullptr;
    BoardContainer* mBoard = nullptr;
    int32_t mScore = 0;
    int32_t mLevelStartScore = 0;
    int32_t mChosenLevel = 0;
    bool mLevelWon = false;
    int32_t mBonus[kBonusSlots] = {};
    int32_t mSecondChances = 0;
    int32_t mMoves = 0;
    int32_t mBestRatioSmall = 0;
    int32_t mBestRatioLarge = 0;
    int32_t mJourneyTime = 0;
    int32_t mLevelsLost = 0;
    int32_t mLevelsWonBeforeLoss = 0;
    bool mHasLost = false;
    // RecordJourneyWon has counted this journey.
    bool mJourneyRecorded = false;
    // Set by GameOver until a later level starts; the level-screen switch reads it.
    bool mGameOver = false;
    ObjectManager mTexts;

protected:
    // The level that follows a won or lost one, started kSwitchDelay updates later (a new game
    // first when `newGame` is set).
    void ScheduleLevel(int levelId, bool freeForm, bool newGame);

    int mSwitchCountdown = 0;
    int mPendingLevel = 0;
    bool mPendingFreeForm = false;
    bool mPendingNewGame = false;
};
