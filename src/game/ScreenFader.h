// The one way screens change: a piece grows from the middle until it covers the screen, the next
// screen is built behind it, and it shrinks away again. Relies on GameApp for the switch itself.
#pragma once

#include "engine/core/Gadget.h"

class GameApp;
class Sprite;

// Where a fader leads; the switch happens when the piece covers the screen.
enum ScreenDestination : int {
    kDestinationMainMenu = 0,
    kDestinationNewJourney = 1,
    kDestinationNewGauntlet = 2,
    kDestinationStartLevel = 3,
    kDestinationLevelWon = 4,
    kDestinationLevelLost = 5,
    kDestinationResume = 6,
    kDestinationScores = 7,
};

class ScreenFader : public Gadget {
public:
    static constexpr float kGrowStep = 0.25f;
    static constexpr float kShrinkStep = 0.2f;
    static constexpr float kFullScale = 9.0f;
    // The piece shown when the destination is a lost level or the caller asks for it.
    static constexpr int kDarkColor = 8;

    // `darkPiece` picks the colour-8 piece; otherwise a random colour 0 to 7 (destination 5
    // always uses the dark piece). Sets the application's transition-running flag.
    ScreenFader(GameApp* app, int destination, bool darkPiece = false);
    // Clears the transition-running flag.
    ~ScreenFader() override;

    // Grows by 0.25 a step; past 9 the screen is switched and it shrinks by 0.2 a step, then
    // kills itself.
    void Update() override;
    void Draw() override;

    GameApp* mApp = nullptr;
    int mDestination = 0;
    int mPhase = 0;  // 0 growing, 1 shrinking
    float mScale = 0.0f;
    int mColor = 0;
    const Sprite* mPicture = nullptr;

private:
    int mSwitchUpdate = -1;  // the application's update count when the switch happened
};
