// The tutorial: the instructions picture, the self-playing board in its well and the OK button.
#include "game/screens/TutorialScreen.h"

#include <mutex>

#include "engine/controls/Button.h"
#include "engine/core/GadgetManager.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "game/rules/Board.h"
#include "platform/KeyCodes.h"

TutorialScreen::TutorialScreen(GameApp* app) : BoardContainer(nullptr, app) {
    mName = "TutorialScreen";
    mLevelId = kLevelId;
    mPicture.Load("Graphics\\tutorial");
    mOk = new Button();
    if (mApp)
        mOk->SetImages(&mApp->Picture("Graphics\\OK1"), &mApp->Picture("Graphics\\OK2"), &mApp->Picture("Graphics\\OK3"));
    mOk->SetRect(600.0f, 525.0f, 84.0f, 44.0f);
    mOk->SetListener(this, true);
}

void TutorialScreen::Run(GameApp* app) {
    if (!app) return;
    auto* tutorial = new TutorialScreen(app);
    Gadget* previousFocus = app->mKeyboardFocus;
    {
        std::lock_guard<std::recursive_mutex> lock(app->mDrawLock);
        app->mGadgets.Add(tutorial);
    }
    tutorial->TakeKeyboardFocus();
    tutorial->RunModal();
    tutorial->Kill();
    tutorial->ReleaseKeyboardFocus();
    if (previousFocus && app->mKeyboardFocus == nullptr && App::IsLive(previousFocus) &&
        app->mGadgets.Contains(previousFocus))
        previousFocus->TakeKeyboardFocus();
}

void TutorialScreen::Initialize() {
    mBoard = new Board(this);
    mBoard->mLevelId = kLevelId;
    // Each demonstrated move is shown for a while before it is made, and slowly.
    mBoard->mAutoStepsPerUpdate = 0.05f;
    mBoard->mAutoStartDelay = 150;
    mBoard->mAutoReleaseDelay = 100;
    mBoard->SetAutopilot(true);
    AddChild(mBoard);
    // Nothing to hint or pause here.
    for (Button** button : {&mHintButton, &mMenuButton}) {
        if (*button) (*button)->Kill();
        *button = nullptr;
    }
}

void TutorialScreen::PlaceBoard() {
    if (!mBoard) return;
    mBoard->mRect.x = 400.0f - mBoard->mRect.w * 0.5f;
    mBoard->mRect.y = 110.0f;
}

void TutorialScreen::Update() {
    BoardContainer::Update();
    PlaceBoard();
}

void TutorialScreen::Draw() {
    mPicture.Draw(0.0f, 0.0f);
    PlaceBoard();
}

void TutorialScreen::Notify(intptr_t message) {
    if (message == reinterpret_cast<intptr_t>(mOk)) EndModal(0);
}

void TutorialScreen::KeyDown(int key) {
    if (key == kKeyEscape || key == kKeyEnter) EndModal(0);
}
