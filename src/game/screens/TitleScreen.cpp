// The title screen. It is made before the loader starts and reads only the loader's two step
// counters; its pictures are its own, loaded on the main thread.
#include "game/screens/TitleScreen.h"

#include <algorithm>
#include <cmath>

#include "engine/controls/Button.h"
#include "engine/draw/GraphicsDevice.h"
#include "game/GameApp.h"
#include "game/screens/TextButton.h"

namespace {

// The play button: its picture, lit under the mouse, pressed a little lower.
class PlayButton : public Button {
public:
    PlayButton() { mName = "PlayButton"; }
    void Draw() override {
        Face face = ShownFace();
        const Sprite* sprite = face == kNormal ? mImages[kNormal] : mImages[kHover];
        if (!sprite || sprite->Empty()) return;
        GraphicsDevice* device = GraphicsDevice::Current();
        if (face == kPressed && device) device->SetColor(0.85f, 0.85f, 0.85f, 1.0f);
        sprite->Draw(0.0f, face == kPressed ? 2.0f : 0.0f);
        if (device) device->ResetColor();
    }
};

// Off the screen: nothing can click it there.
constexpr float kAway = -10000.0f;

}  // namespace

TitleScreen::TitleScreen(GameApp* app) : mApp(app) {
    mName = "TitleScreen";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    mBackground.Load("Graphics\\title");
    mBarEmpty.Load("Graphics\\loadingbarempty");
    mBarFilled.Load("Graphics\\loadingbarfilled");
    mPlayPicture.Load("Graphics\\play-mask");
    mPlayGlow.Load("Graphics\\play-glow");
    mPlayHilite.Load("Graphics\\play-maskhilite");

    mPlay = new PlayButton();
    mPlay->SetImages(&mPlayPicture, &mPlayHilite, &mPlayHilite);
    mPlay->SetRect(kAway, kAway, float(std::max(1, mPlayPicture.Width())), float(std::max(1, mPlayPicture.Height())));
    mPlay->SetListener(this, true);

    mExit = new TextButton(mApp ? &mApp->mFont3 : nullptr, kExitText, 400.0f, 550.0f);
    mExit->SetListener(this, true);
}

TitleScreen::~TitleScreen() {
    if (mApp && mApp->mTitleScreen == this) mApp->mTitleScreen = nullptr;
}

bool TitleScreen::IsLoading() const { return !mApp || !mApp->mLoaded; }

void TitleScreen::Update() {
    mFadeIn = std::min(1.0f, mFadeIn + 0.01f);
    if (!mReady && !IsLoading()) {
        mReady = true;
        // The button takes the shape of its picture.
        if (!mPlayPicture.Empty())
            mPlay->SetHitSprite(kPlayX, kPlayY, &mPlayPicture);
        else
            mPlay->SetRect(kPlayX, kPlayY, 220.0f, 90.0f);
        if (mApp) mPlay->SetPressSound(&mApp->mPop2);
    }
}

void TitleScreen::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    mBackground.Draw(0.0f, 0.0f);
    if (!mReady) {
        if (!mApp || mBarEmpty.Empty()) return;
        int total = std::max(1, mApp->mLoadingTotal.load());
        float done = std::clamp(float(mApp->mLoadingStep.load()) / float(total), 0.0f, 1.0f);
        float width = float(mBarEmpty.Width());
        float x = std::floor(391.0f - width * 0.5f);
        float filled = std::floor(done * width);
        if (filled > 0.0f) mBarFilled.DrawPartialHorizontal(x, kBarY, filled);
        if (filled < width) mBarEmpty.DrawPartialHorizontal(x, kBarY, -(width - filled));
        return;
    }
    // The glow behind the play button pulses with the update count.
    if (mApp && !mPlayGlow.Empty()) {
        float glow = std::fabs(std::sin(float(mApp->mUpdateCount) * 3.14159265f / 180.0f));
        device->SetColor(1.0f, 1.0f, 1.0f, glow);
        mPlayGlow.DrawCentered(kPlayX + float(mPlayPicture.Width()) * 0.5f, kPlayY + float(mPlayPicture.Height()) * 0.5f);
        device->ResetColor();
    }
}

void TitleScreen::DrawOverlay() {
    if (mFadeIn >= 1.0f) return;
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    device->SetColor(0.0f, 0.0f, 0.0f, 1.0f - mFadeIn);
    device->FillRect(0.0f, 0.0f, 800.0f, 600.0f);
    device->ResetColor();
}

void TitleScreen::Notify(intptr_t message) {
    if (!mApp) return;
    if (message == reinterpret_cast<intptr_t>(mPlay)) {
        if (mReady) mApp->GoToMainMenu();
    } else if (message == reinterpret_cast<intptr_t>(mExit)) {
        mApp->Quit();
    }
}
