// The game's own message box: a text on the info panel with an OK button, or YES and NO.
#pragma once

#include <string>

#include "game/screens/ModalDialog.h"

class Button;

class MessageBox : public ModalDialog {
public:
    static constexpr float kTextX = 231.0f;
    static constexpr float kTextY = 238.0f;
    static constexpr float kTextWidth = 338.0f;

    MessageBox(GameApp* app, const std::string& text, bool yesNo);

    // Runs a message box; 1 for OK and YES, 0 for NO (and for Escape).
    static int Ask(GameApp* app, const std::string& text, bool yesNo);

    void Draw() override;
    void Notify(intptr_t message) override;

    std::string mText;      // as given
    std::string mLaidOut;   // wrapped to the panel's text well
    bool mYesNo = false;
    Button* mOk = nullptr;
    Button* mYes = nullptr;
    Button* mNo = nullptr;
};
