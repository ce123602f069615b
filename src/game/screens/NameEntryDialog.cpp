// The name entry: a dimmed screen, the "Enter your name" panel with its field, the badge, and
// Enter to finish. The high-score flow around it lives here too, so both modes share it.
#include "game/screens/NameEntryDialog.h"

#include "engine/controls/EditBox.h"
#include "engine/core/App.h"
#include "engine/core/GadgetManager.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "persistence/HighScoreTable.h"

NameEntryDialog::NameEntryDialog(GameApp* app) : mApp(app) {
    mName = "NameEntryDialog";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    mPanelPicture.Load("Graphics\\enteryourname");
    mBadgePicture.Load("Graphics\\yougotahighscore");
    mNameBox = new EditBox;
    mNameBox->SetRect(250.0f, 400.0f, 300.0f, 45.0f);
    mNameBox->SetFont(&mApp->mFont2);
    mNameBox->SetTextColor(0.25f, 0.0f, 0.25f);
    mNameBox->SetLimitWidth(true, kFieldWidth);
    // Enter with nothing typed ends the dialog as well ("Anon.").
    mNameBox->mAllowEmpty = true;
    mNameBox->SetListener(this, true);
    mNameBox->TakeKeyboardFocus();
}

NameEntryDialog::~NameEntryDialog() = default;

void NameEntryDialog::Initialize() {
    // The field has the keyboard from the start, whatever took it while the dialog was made.
    mNameBox->TakeKeyboardFocus();
}

void NameEntryDialog::Notify(intptr_t message) {
    if (message != reinterpret_cast<intptr_t>(mNameBox) || mFinished) return;
    mFinished = true;
    mEnteredName = mNameBox->GetText().empty() ? std::string(kAnonymous) : mNameBox->GetText();
    EndModal(0);
}

void NameEntryDialog::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    device->SetColor(0.0f, 0.0f, 0.15f, 0.75f);
    device->FillRect(0.0f, 0.0f, 800.0f, 600.0f);
    device->ResetColor();
    mPanelPicture.DrawCentered(400.0f, 300.0f);
    mBadgePicture.DrawCentered(625.0f, 150.0f);
}

bool NameEntryDialog::EnterHighScore(GameApp* app, HighScoreTable& table, int32_t score) {
    if (!app || !table.Qualifies(score)) return false;
    std::string name;
    // Without a window nobody could type (tools, tests): the score still counts, unnamed.
    if (app->mWindow) {
        app->mFanfare2.PlayPitched(1.25f, 1.0f);
        auto* dialog = new NameEntryDialog(app);
        {
            std::lock_guard<std::recursive_mutex> lock(app->mDrawLock);
            app->mGadgets.Add(dialog);
        }
        dialog->RunModal();
        // Closing the game during the dialog still keeps the score, under what was typed so far.
        name = dialog->IsFinished() ? dialog->EnteredName() : dialog->mNameBox->GetText();
        dialog->Kill();
    }
    if (name.empty()) name = kAnonymous;
    bool added = table.Add(name, score);
    // Written at once; a folder that cannot be written is reported (once) by the application.
    if (added && !table.Save()) app->ReportWriteFailure(table.FileName());
    return added;
}
