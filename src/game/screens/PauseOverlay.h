// The pause card over a paused game: translucent stripes and the "Paused" picture. Any mouse
// press or typed character dismisses it and the game goes on.
#pragma once

#include "engine/core/Gadget.h"

class GameApp;
class GameSession;

class PauseOverlay : public Gadget {
public:
    PauseOverlay(GameApp* app, GameSession* session);
    ~PauseOverlay() override;

    void Draw() override;
    void MouseDown(float x, float y, int button) override;
    // Enter, Escape, Space (and so the controller's A, B and Start) dismiss it too.
    void KeyDown(int key) override;
    void Char(int c) override;
    // Kills the overlay and resumes the session, which gets the keyboard back.
    void Dismiss();

    GameApp* mApp = nullptr;
    // Cleared by the session when it goes first.
    GameSession* mSession = nullptr;
};
