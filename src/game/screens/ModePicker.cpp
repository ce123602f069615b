// The mode picker: three parts of its picture answer Journey, Gauntlet or cancel.
#include "game/screens/ModePicker.h"

#include "game/GameApp.h"
#include "game/screens/PictureButton.h"

ModePicker::ModePicker(GameApp* app)
    : ModalDialog(app, 50.0f, 0.5f, app ? &app->Picture("Graphics\\gamemenu") : nullptr) {
    mName = "ModePicker";
    const char* hover = "Graphics\\gamemenuhilite";
    const char* pressed = "Graphics\\gamemenudown";
    mJourney = AddPictureButton(240.0f, 242.0f, 318.0f, 58.0f, hover, pressed);
    mGauntlet = AddPictureButton(240.0f, 307.0f, 318.0f, 58.0f, hover, pressed);
    mCancel = AddPictureButton(240.0f, 372.0f, 318.0f, 58.0f, hover, pressed);
    mEscapeResult = kCancel;
}

int ModePicker::Ask(GameApp* app) { return (new ModePicker(app))->Show(); }

void ModePicker::Notify(intptr_t message) {
    if (message == reinterpret_cast<intptr_t>(mJourney))
        Answer(kJourney);
    else if (message == reinterpret_cast<intptr_t>(mGauntlet))
        Answer(kGauntlet);
    else if (message == reinterpret_cast<intptr_t>(mCancel))
        Answer(kCancel);
}
