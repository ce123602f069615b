// The main menu screen: new game, continue a saved game, high scores, options, exit, and the
// current profile's pulsing name with the change-profile button.
#pragma once

#include <string>

#include "engine/core/Gadget.h"
#include "engine/draw/Sprite.h"

class Button;
class GameApp;
class PictureButton;

class MainMenu : public Gadget {
public:
    static constexpr const char* kOverwriteQuestion =
        "Starting a new game will remove your saved game.  Are you sure?";
    static constexpr const char* kNoSavedJourney = "A saved Journey game does not exist!";
    static constexpr const char* kNoSavedGauntlet = "A saved Gauntlet game does not exist!";

    explicit MainMenu(GameApp* app);
    ~MainMenu() override;

    void Draw() override;
    void Notify(intptr_t message) override;

    // The mode picker, the overwrite question when a saved game of that mode exists, the
    // tutorial, then the new game.
    void NewGame();
    // The mode picker, then the saved game of that mode, or a message that there is none.
    void Continue();
    // Whether the current profile has a saved game of that mode (0 Journey, 1 Gauntlet).
    bool HasSavedGame(int mode) const;
    // The game path of the current profile's saved game of that mode.
    std::string SavedGamePath(int mode) const;

    GameApp* mApp = nullptr;
    Sprite mBackground, mButtons, mButtonsHilite, mButtonsDown, mTitle;
    Sprite mExitPicture, mExitHilite, mExitDown;
    PictureButton* mNewGame = nullptr;
    PictureButton* mContinue = nullptr;
    PictureButton* mHighScores = nullptr;
    PictureButton* mOptions = nullptr;
    Button* mExit = nullptr;
    Button* mChangeProfile = nullptr;
};
