// A game in progress: score, the five bonus multiplier slots, second chances, moves, journey
// time, best ratios and the level being played. The board hands it points and reports wins and
// losses; it owns the floating score texts.
#pragma once

#include <cstdint>

#include "engine/core/Gadget.h"
#include "engine/core/ObjectManager.h"

class BoardContainer;
class DataBuffer;
class GameApp;
class Maze;
class PauseOverlay;
class RecordReader;

class GameSession : public Gadget {
public:
    static constexpr int kBonusSlots = 5;
    // Updates between the end of a level and the next level's start: where the screen fader
    // reaches the middle of its fade.
    static constexpr int kSwitchDelay = 37;

    // Screen changes of a game in progress (the application's destination codes).
    enum Destination { kToLevel = 3, kToMapAfterWin = 4, kToMapAfterLoss = 5, kToScores = 7 };

    explicit GameSession(GameApp* app);
    ~GameSession() override;

    // Takes the keyboard focus (the pause key); a new journey makes its map unless a level or a
    // map is already there.
    void Initialize() override;
    // Updates the floating texts; performs the screen change asked for by StartLevel, LevelWon
    // or GameOver once the screen is covered.
    void Update() override;
    // The floating texts, above everything of the session.
    void DrawOverlay() override;
    // "P" or "p" pauses or resumes the game.
    void Char(int c) override;
    // Other keys (and the controller's buttons, as they are) go to the level or map shown.
    void KeyDown(int key) override;
    // 1 pauses (showing the pause overlay), 0 resumes, -1 toggles. Pausing is ignored while the
    // screen is changing.
    void SetPaused(int wanted);
    bool IsPaused() const { return mPaused; }
    // Score, bonus slots, second chances, moves and the journey's counts.
    void HashState(StateHash& hash) const override;

    // Multiplies by the non-zero bonus slots and adds to the score, showing the points (and the
    // multiplier, "500x2") at the board point; nothing while the board plays a hint.
    virtual void AddScore(int points, float x, float y);
    // Product of the non-zero multiplier slots (1 when none).
    int Multiplier() const;
    // Journey: the level is lost. Gauntlet: the game is over.
    virtual void GameOver();
    // The player continues after a cleared level.
    virtual void LevelWon();
    // Journey: the map asks for a level; it starts at the middle of the screen change.
    void StartLevel(int levelId);
    // Journey: the level screen goes and the map comes back (unlocked around a won level).
    virtual void ReturnToMap();
    // Performs a screen change at once (the middle of the fade).
    virtual void PerformSwitch(int destination);
    // Whether a new game of this kind starts on a map (a journey does; the Gauntlet does not).
    virtual bool HasMap() const { return true; }
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
    // True between a level's start, win or loss and the screen change that follows.
    bool IsSwitchPending() const { return mSwitchCountdown > 0 || mFadePending; }
    // The map: a child while it is shown, held here (and owned) while a level is played.
    Maze* GetMap() const { return mMap; }

    // ---- Saved form (GameSessionSave.cpp) -----------------------------------------------------------
    // The saved game's file name in the profile folder.
    virtual const char* SaveFileName() const;
    // Whether the game has ended for good: leaving it then removes its saved game.
    virtual bool IsFinished() const;
    // Brings the game to a point it can be left at: a level change under way is made now, and
    // the board comes to rest (so the points of a cascade are in the score before it is written).
    void PrepareToSave();
    // The saved game: the mode tag, the session's fields, the map and the level being played.
    virtual void Serialize(DataBuffer& buffer);
    // Reads a saved game into a session made for it and not yet shown, checking every value;
    // false, with the reader's problem set, at the first one no game can hold.
    virtual bool Load(RecordReader& in);
    // The loaded game is now the one on screen: keyboard focus, a level if it has none, music.
    virtual void Resumed();
    // Leaving the game writes its saved game, or removes it once the game is finished.
    void Kill() override;

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
    Maze* mMap = nullptr;
    bool mPaused = false;
    PauseOverlay* mPauseOverlay = nullptr;  // owned by the top gadget manager

protected:
    // Asks for a screen change: it happens kSwitchDelay updates later, when a fade would cover
    // the screen.
    void ScheduleSwitch(int destination);
    // The level being played: present flag, then the level screen's record.
    void SerializeLevel(DataBuffer& buffer);
    bool LoadLevel(RecordReader& in, bool freeForm);
    // The journey map: present flag, then the map's record.
    void SerializeMap(DataBuffer& buffer);
    bool LoadMap(RecordReader& in);
    // Makes a scheduled level change at once.
    void RunPendingSwitch();
    // The bonus multiplier slots as the saved game holds them.
    void SerializeBonus(DataBuffer& buffer) const;
    void LoadBonus(RecordReader& in);

    // The level that follows a won or lost one, started kSwitchDelay updates later (a new game
    // first when `newGame` is set).
    void ScheduleLevel(int levelId, bool freeForm, bool newGame);

    int mSwitchCountdown = 0;
    int mPendingLevel = 0;
    bool mPendingFreeForm = false;
    bool mPendingNewGame = false;
    int mPendingDestination = 0;
    // A screen fader of this session is on its way to PerformSwitch.
    bool mFadePending = false;
};
