// The menu of a game in progress: back to the game (0), the options (the menu stays open), or
// leave the game (1).
#pragma once

#include "game/screens/ModalDialog.h"

class QuickMenu : public ModalDialog {
public:
    enum Result { kBackToGame = 0, kLeaveGame = 1 };

    explicit QuickMenu(GameApp* app);

    // Runs a quick menu and returns its Result.
    static int Ask(GameApp* app);

    void Notify(intptr_t message) override;

    PictureButton* mBack = nullptr;
    PictureButton* mOptions = nullptr;
    PictureButton* mLeave = nullptr;
};
