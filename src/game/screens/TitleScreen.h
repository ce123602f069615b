// The first screen: a loading bar while the loader thread works, then a glowing play button that
// leads to the main menu; a line of text quits the game at any time.
#pragma once

#include "engine/core/Gadget.h"
#include "engine/draw/Sprite.h"

class Button;
class GameApp;
class TextButton;

class TitleScreen : public Gadget {
public:
    static constexpr const char* kExitText = "CLICK HERE TO EXIT THE GAME";
    // Where the play button goes once loading is done (its picture's top-left corner).
    static constexpr float kPlayX = 290.0f;
    static constexpr float kPlayY = 407.0f;
    static constexpr float kBarY = 441.0f;

    explicit TitleScreen(GameApp* app);
    ~TitleScreen() override;

    // Fades in; puts the play button in place once loading is done.
    void Update() override;
    // The background and, while loading, the bar; afterwards the play button's glow.
    void Draw() override;
    // The fade-in from black, over everything.
    void DrawOverlay() override;
    void Notify(intptr_t message) override;

    // True while the loader has not finished.
    bool IsLoading() const;
    // Whether the play button is in place.
    bool IsReady() const { return mReady; }

    GameApp* mApp = nullptr;
    Sprite mBackground, mBarEmpty, mBarFilled, mPlayPicture, mPlayGlow, mPlayHilite;
    Button* mPlay = nullptr;
    TextButton* mExit = nullptr;
    float mFadeIn = 0.0f;
    bool mReady = false;
};
