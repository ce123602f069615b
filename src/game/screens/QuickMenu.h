// The menu of a game in progress: back to the game (0), the options (the menu stays open), or
// leave the game (1).
#pragma once

#include "game/screens/ModalDialog.h"

class GameSession;

class QuickMenu : public ModalDialog {
public:
    enum Result { kBackToGame = 0, kLeaveGame = 1 };

    explicit QuickMenu(GameApp* app);

    // Runs a quick menu and returns its Result.
    static int Ask(GameApp* app);
    // The menu button of a game screen (level or map): the quick menu runs over `screen`, which
    // stands still meanwhile; the game gets the keyboard back, and leaving goes to the main menu.
    // Nothing while the screen is about to change anyway.
    static void RunOver(GameApp* app, Gadget* screen, GameSession* session);

    void Notify(intptr_t message) override;

    PictureButton* mBack = nullptr;
    PictureButton* mOptions = nullptr;
    PictureButton* mLeave = nullptr;
};
