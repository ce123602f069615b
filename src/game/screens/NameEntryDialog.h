// The modal dialog that asks for a name when a finished game's score makes a high-score table,
// and the flow around it: the fanfare, the dialog, the new row and the table's file.
#pragma once

#include <cstdint>
#include <string>

#include "engine/core/Gadget.h"
#include "engine/draw/Sprite.h"

class EditBox;
class GameApp;
class HighScoreTable;

class NameEntryDialog : public Gadget {
public:
    // The name stored when nothing was typed.
    static constexpr const char* kAnonymous = "Anon.";
    static constexpr float kFieldWidth = 295.0f;

    explicit NameEntryDialog(GameApp* app);
    ~NameEntryDialog() override;

    // The name typed, or "Anon." when the field was left empty; valid once the dialog ended.
    const std::string& EnteredName() const { return mEnteredName; }
    bool IsFinished() const { return mFinished; }
    EditBox* NameBox() const { return mNameBox; }

    // Offers `score` to `table`: when it qualifies, plays the fanfare, runs the dialog modally,
    // adds the row and writes the table's file. Returns whether a row was added. Sessions call
    // this at the end of a Gauntlet and of a finished journey, then show the scores screen.
    static bool EnterHighScore(GameApp* app, HighScoreTable& table, int32_t score);

    void Initialize() override;
    void Draw() override;
    void Notify(intptr_t message) override;

private:
    GameApp* mApp;
    Sprite mPanelPicture;  // "Enter your name" with the field's well
    Sprite mBadgePicture;  // "You got a high score!"
    EditBox* mNameBox = nullptr;
    std::string mEnteredName;
    bool mFinished = false;
};
