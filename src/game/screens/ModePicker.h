// Asks which game: Journey (1), Gauntlet (2) or cancel (0).
#pragma once

#include "game/screens/ModalDialog.h"

class ModePicker : public ModalDialog {
public:
    enum Result { kCancel = 0, kJourney = 1, kGauntlet = 2 };

    explicit ModePicker(GameApp* app);

    // Runs a mode picker and returns its Result.
    static int Ask(GameApp* app);

    void Notify(intptr_t message) override;

    PictureButton* mJourney = nullptr;
    PictureButton* mGauntlet = nullptr;
    PictureButton* mCancel = nullptr;
};
