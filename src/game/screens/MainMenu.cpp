// The main menu: its own pictures (loaded when it is made, behind the fader), the four big
// buttons as parts of one picture, the round exit button, the profile name at the top, and the
// new-game and continue flows.
#include "game/screens/MainMenu.h"

#include <cctype>
#include <cmath>

#include "engine/controls/Button.h"
#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"
#include "game/GameApp.h"
#include "game/screens/ModePicker.h"
#include "game/screens/OptionsDialog.h"
#include "game/screens/PictureButton.h"
#include "game/screens/TutorialScreen.h"
#include "persistence/GameFiles.h"

namespace {

// The change-profile pill: the picture is drawn by the menu; hovering lights it and underlines
// its text with a bar 170 wide from x 315, pressing thickens the bar. (The bar sits just under
// the pill's lettering, at y 58, where it reads as an underline rather than a strike-through.)
class ChangeProfileButton : public Button {
public:
    ChangeProfileButton() { mName = "ChangeProfileButton"; }
    void Draw() override {
        GraphicsDevice* device = GraphicsDevice::Current();
        Face face = ShownFace();
        if (!device || face == kNormal) return;
        device->SetColor(1.0f, 1.0f, 1.0f, 0.12f);
        device->FillRect(4.0f, 3.0f, mRect.w - 8.0f, mRect.h - 6.0f);
        device->SetColor(1.0f, 0.85f, 0.3f, 1.0f);
        device->FillRect(315.0f - mRect.x, 58.0f - mRect.y, 170.0f, face == kPressed ? 3.0f : 2.0f);
        device->ResetColor();
    }
};

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

MainMenu::MainMenu(GameApp* app) : mApp(app) {
    mName = "MainMenu";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    mBackground.Load("Graphics\\mainmenu");
    mButtons.Load("Graphics\\mainmenu_buttons");
    mButtonsHilite.Load("Graphics\\mainmenu_buttonshilite");
    mButtonsDown.Load("Graphics\\mainmenu_buttonsdown");
    mTitle.Load("Graphics\\menutitle");
    mExitPicture.Load("Graphics\\exitbutton");
    mExitHilite.Load("Graphics\\exitbuttonhilite");
    mExitDown.Load("Graphics\\exitbuttondown");

    Sound* pop = mApp ? &mApp->mPop2 : nullptr;
    auto big = [&](float y) {
        auto* button = new PictureButton(&mButtonsHilite, &mButtonsDown, 0.0f, 0.0f);
        button->SetRect(240.0f, y, 322.0f, 62.0f);
        button->SetPressSound(pop);
        button->SetListener(this, true);
        return button;
    };
    mNewGame = big(266.0f);
    mContinue = big(331.0f);
    mHighScores = big(396.0f);
    mOptions = big(461.0f);

    mExit = new Button();
    mExit->SetImages(&mExitPicture, &mExitHilite, &mExitDown);
    mExit->SetRect(660.0f, 460.0f, 120.0f, 120.0f);
    mExit->mHitMode = kHitCircle;
    mExit->mHitRadius = 60.0f;
    mExit->SetPressSound(pop);
    mExit->SetListener(this, true);

    // No click sound here: the profile screen follows at once.
    mChangeProfile = new ChangeProfileButton();
    mChangeProfile->SetRect(303.0f, 38.0f, 192.0f, 24.0f);
    mChangeProfile->SetListener(this, true);
}

MainMenu::~MainMenu() {
    if (mApp && mApp->mMainMenu == this) mApp->mMainMenu = nullptr;
}

void MainMenu::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    mBackground.Draw(0.0f, 0.0f);
    mTitle.DrawCentered(400.0f, 135.0f);
    mButtons.Draw(0.0f, 0.0f);
    if (!mApp) return;

    // The profile's name, pulsing between yellow and white over its shadow.
    std::string name = Upper(mApp->mProfiles.GetCurrentName());
    const Font& font = mApp->mFont2;
    float x = 400.0f - float(font.TextWidth(name)) * 0.5f;
    float pulse = 0.75f + 0.25f * std::sin(float(mApp->mUpdateCount) * 3.14159265f / 180.0f);
    device->SetColor(0.0f, 0.0f, 0.0f, 1.0f);
    font.DrawText(name, x + 2.0f, 12.0f);
    device->SetColor(pulse, pulse, 1.0f, 1.0f);
    font.DrawText(name, x, 10.0f);
    device->ResetColor();
    mApp->Picture("Graphics\\currentuser").DrawCentered(400.0f, 10.0f);
    mApp->Picture("Graphics\\changeuser").DrawCentered(400.0f, 50.0f);
}

void MainMenu::Notify(intptr_t message) {
    if (!mApp) return;
    if (message == reinterpret_cast<intptr_t>(mNewGame)) {
        NewGame();
    } else if (message == reinterpret_cast<intptr_t>(mContinue)) {
        Continue();
    } else if (message == reinterpret_cast<intptr_t>(mHighScores)) {
        mApp->GoToScores();
    } else if (message == reinterpret_cast<intptr_t>(mOptions)) {
        OptionsDialog::Run(mApp);
    } else if (message == reinterpret_cast<intptr_t>(mExit)) {
        mApp->Quit();
    } else if (message == reinterpret_cast<intptr_t>(mChangeProfile)) {
        mApp->ShowProfiles(false);
    }
}

std::string MainMenu::SavedGamePath(int mode) const {
    if (!mApp) return std::string();
    return mApp->mProfiles.GetProfilePath(mode == GameApp::kJourney ? GameFiles::kJourneySaveFile
                                                                    : GameFiles::kGauntletSaveFile);
}

bool MainMenu::HasSavedGame(int mode) const { return mApp && GameFiles::FileExists(SavedGamePath(mode)); }

void MainMenu::NewGame() {
    int picked = ModePicker::Ask(mApp);
    if (picked == ModePicker::kCancel || mApp->mQuit) return;
    int mode = picked == ModePicker::kJourney ? GameApp::kJourney : GameApp::kGauntlet;
    if (HasSavedGame(mode) && !mApp->MessageBox("Quorl Slide", kOverwriteQuestion, "YESNO")) return;
    if (mApp->mQuit) return;
    TutorialScreen::Run(mApp);
    if (mApp->mQuit) return;
    // The old saved game stays until the new game replaces it.
    if (mode == GameApp::kJourney)
        mApp->GoToNewJourney();
    else
        mApp->GoToNewGauntlet();
}

void MainMenu::Continue() {
    int picked = ModePicker::Ask(mApp);
    if (picked == ModePicker::kCancel || mApp->mQuit) return;
    int mode = picked == ModePicker::kJourney ? GameApp::kJourney : GameApp::kGauntlet;
    if (!HasSavedGame(mode)) {
        mApp->MessageBox("Quorl Slide", mode == GameApp::kJourney ? kNoSavedJourney : kNoSavedGauntlet, "OK");
        return;
    }
    mApp->GoToResume(SavedGamePath(mode));
}
