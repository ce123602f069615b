// Shown before every new game: how to play, above a small board that plays itself with the
// autopilot. It belongs to no game, so it scores nothing and changes no statistic.
#pragma once

#include "engine/draw/Sprite.h"
#include "game/rules/BoardContainer.h"

class TutorialScreen : public BoardContainer {
public:
    // The demonstration board's level: small, and its floor tiles never light.
    static constexpr int kLevelId = -1000;

    explicit TutorialScreen(GameApp* app);

    // Runs the tutorial over the current screen until OK (or Escape, Enter) is pressed.
    static void Run(GameApp* app);

    // The board, playing by itself; the hint and menu buttons go.
    void Initialize() override;
    void Update() override;
    void Draw() override;
    void Notify(intptr_t message) override;
    void KeyDown(int key) override;

    Button* mOk = nullptr;
    Sprite mPicture;  // "Graphics\\tutorial"

private:
    // Centre x 400, top y 110.
    void PlaceBoard();
};
