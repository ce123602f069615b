// The screen fader: grows a piece over the old screen, switches to the next one at full size and
// shrinks away over it. Its steps are counted exactly (the switch on the 37th update, gone 46
// updates later), so tests and replays see screens change on the same update every time.
#include "game/ScreenFader.h"

#include "board/BoardRandom.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "support/DebugLog.h"

namespace {
// Faders alive now: the transition flag stays set until the last one has gone.
int gLiveFaders = 0;
}  // namespace

ScreenFader::ScreenFader(GameApp* app, int destination, bool darkPiece) : mApp(app), mDestination(destination) {
    mName = "ScreenFader";
    // The whole screen: clicks during a fade reach no screen below, so no second fade can start.
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    bool dark = darkPiece || destination == kDestinationLevelLost;
    mColor = dark ? kDarkColor : ProgramRandom().Range(8);
    if (mApp) {
        mPicture = &mApp->mQuorls[mColor][0];
        mApp->mTransitionRunning = true;
    }
    ++gLiveFaders;
}

ScreenFader::~ScreenFader() {
    if (--gLiveFaders == 0 && mApp) mApp->mTransitionRunning = false;
}

void ScreenFader::Update() {
    // ShowNow below runs the loop until one frame is drawn; update steps run inside it must not
    // move this fader on.
    if (mShowNow || !mApp) return;
    if (mPhase == 0) {
        mScale += kGrowStep;
        if (mScale > kFullScale) {
            mScale = kFullScale;
            mPhase = 1;
            // The screen is covered while the next one is built.
            ShowNow();
            if (mApp->mQuit) return;
            mApp->SwitchScreen(mDestination);
            mApp->mGadgets.BringToFront(this);
            // Moved to the end of the list, the running update pass reaches this fader once more.
            mSwitchUpdate = mApp->mUpdateCount;
            // Building may take a while; that time must not turn into catch-up steps.
            mApp->ResetTiming();
        }
        return;
    }
    if (mApp->mUpdateCount == mSwitchUpdate) return;
    mScale -= kShrinkStep;
    if (mScale <= 0.0f) {
        mScale = 0.0f;
        Kill();
        // From here the new screen takes clicks (scripted tests wait for this line).
        DebugLog::Log("fade done");
    }
}

void ScreenFader::Draw() {
    if (mPicture && !mPicture->Empty() && mScale > 0.0f) mPicture->DrawRotatedScaled(400.0f, 300.0f, 0.0f, mScale);
}
