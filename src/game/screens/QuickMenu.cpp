// The quick menu: three parts of its picture; the options run on top of it.
#include "game/screens/QuickMenu.h"

#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/screens/OptionsDialog.h"
#include "game/screens/PictureButton.h"

QuickMenu::QuickMenu(GameApp* app)
    : ModalDialog(app, 0.0f, 0.75f, app ? &app->Picture("Graphics\\quickmenu") : nullptr) {
    mName = "QuickMenu";
    const char* hover = "Graphics\\quickmenuhilite";
    const char* pressed = "Graphics\\quickmenudown";
    mBack = AddPictureButton(240.0f, 242.0f, 318.0f, 58.0f, hover, pressed);
    mOptions = AddPictureButton(240.0f, 307.0f, 318.0f, 58.0f, hover, pressed);
    mLeave = AddPictureButton(240.0f, 372.0f, 318.0f, 58.0f, hover, pressed);
    mEscapeResult = kBackToGame;
}

int QuickMenu::Ask(GameApp* app) { return (new QuickMenu(app))->Show(); }

void QuickMenu::RunOver(GameApp* app, Gadget* screen, GameSession* session) {
    if (!app || !screen) return;
    // A level or map that is already ending offers no menu: the change would take the screen
    // away under it.
    if (app->mTransitionRunning || (session && session->IsSwitchPending())) return;
    // The graveyard keeps the screen while the menu's loop runs, whatever happens meanwhile.
    screen->Pause();
    ++screen->mModalDepth;
    int answer = Ask(app);
    --screen->mModalDepth;
    screen->Resume();
    if (session && !session->mKilled) session->TakeKeyboardFocus();
    if (answer == kLeaveGame && !app->mQuit) app->GoToMainMenu();
}

void QuickMenu::Notify(intptr_t message) {
    if (message == reinterpret_cast<intptr_t>(mBack)) {
        Answer(kBackToGame);
    } else if (message == reinterpret_cast<intptr_t>(mOptions)) {
        OptionsDialog::Run(mApp);
    } else if (message == reinterpret_cast<intptr_t>(mLeave)) {
        Answer(kLeaveGame);
    }
}
