// The quick menu: three parts of its picture; the options run on top of it.
#include "game/screens/QuickMenu.h"

#include "game/GameApp.h"
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

void QuickMenu::Notify(intptr_t message) {
    if (message == reinterpret_cast<intptr_t>(mBack)) {
        Answer(kBackToGame);
    } else if (message == reinterpret_cast<intptr_t>(mOptions)) {
        OptionsDialog::Run(mApp);
    } else if (message == reinterpret_cast<intptr_t>(mLeave)) {
        Answer(kLeaveGame);
    }
}
