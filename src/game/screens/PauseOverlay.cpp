// The pause overlay: stripes 25 pixels high, every other one darkened, under the pause card.
#include "game/screens/PauseOverlay.h"

#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "platform/KeyCodes.h"

PauseOverlay::PauseOverlay(GameApp* app, GameSession* session) : mApp(app), mSession(session) {
    mName = "PauseOverlay";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
}

PauseOverlay::~PauseOverlay() {
    if (mSession && mSession->mPauseOverlay == this) mSession->mPauseOverlay = nullptr;
}

void PauseOverlay::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    for (int stripe = 0; stripe < 24; ++stripe) {
        device->SetColor(0.0f, 0.0f, 0.1f, stripe % 2 == 0 ? 0.55f : 0.35f);
        device->FillRect(0.0f, float(stripe) * 25.0f, 800.0f, 25.0f);
    }
    device->ResetColor();
    if (mApp) {
        const Sprite& card = mApp->Picture("Graphics\\PAUSEGAME");
        if (!card.Empty()) card.DrawCentered(400.0f, 300.0f);
    }
}

void PauseOverlay::MouseDown(float x, float y, int button) {
    (void)x, (void)y, (void)button;
    Dismiss();
}

void PauseOverlay::KeyDown(int key) {
    // Typed keys dismiss it through Char; Enter, Escape and the controller's buttons type none.
    if (key == kKeyEnter || key == kKeyEscape || key == kKeySpace) Dismiss();
}

void PauseOverlay::Char(int c) {
    (void)c;
    Dismiss();
}

void PauseOverlay::Dismiss() {
    if (mKilled) return;
    Kill();
    ReleaseKeyboardFocus();
    GameSession* session = mSession;
    mSession = nullptr;
    if (session) {
        session->mPauseOverlay = nullptr;
        session->SetPaused(0);
        session->TakeKeyboardFocus();
    }
}
