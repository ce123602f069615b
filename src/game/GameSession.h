// A game in progress: score, the five bonus multiplier slots, second chances, moves, journey
// time, best ratios and the level being played. The board hands it points and reports wins and
// losses; it owns the floating score texts.
#pragma once

#include <cstdint>

#include "app/Gadget.h"
#include "app/ObjectManager.h"

class BoardContainer;
class GameApp;

class GameSession : public Gadget {
public:
    static constexpr int kBonusSlots = 5;

    explicit GameSession(GameApp* app);
    ~GameSession() override;

    // Updates the floating texts.
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
    // Makes the level screen for `levelId` and adds it as a child.
    virtual BoardContainer* StartLevelNow(int levelId, bool freeForm = false);

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
    // Set by GameOver until a later level starts; the level-screen switch reads it.
    bool mGameOver = false;
    ObjectManager mTexts;
};
