// The profile screen: the modal dialog where players choose, create and delete their profiles.
// Its first-run form only creates; its full form (from the main menu) lists the profiles.
// Works on the application's ProfileManager; questions go through the application's message box.
#pragma once

#include <string>
#include <string_view>

#include "engine/controls/ScrollerGadget.h"
#include "engine/core/Gadget.h"

class Button;
class EditBox;
class Font;
class GameApp;
class ProfileManager;

// The scrolling list of profile names inside the screen's well; a press selects a name, a double
// click on the selected name chooses it.
class ProfileList : public ScrollerGadget {
public:
    static constexpr float kRowHeight = 26.0f;
    static constexpr float kTopMargin = 8.0f;

    ProfileList(Gadget* owner, const Font* font);

    // Replaces the rows by the manager's names and selects `selected` (-1 for none), scrolled
    // into view.
    void Fill(const ProfileManager& profiles, int selected);
    // Selects a row (clamped to the list) and scrolls just far enough to show it.
    void SelectRow(int row);
    // The row whose top is at content y, for tests and the screen's layout.
    static float RowTop(int row) { return kTopMargin + kRowHeight * float(row); }

    void Draw() override;
    void DrawContent() override;
    void MouseDoubleClick(float x, float y, int button) override;

private:
    Gadget* mOwner;
    const Font* mFont;
    std::vector<std::string> mNames;
};

class ProfileScreen : public Gadget {
public:
    enum View { kListView = 0, kCreatePanel = 1 };
    // Update steps of the dimming layer's fade-in.
    static constexpr int kFadeSteps = 15;
    // Characters a profile name may not hold (refused with a beep as typed): those no folder
    // name may hold on some system, the full stop (no "." or ".." folder), and the comma that
    // separates names in the configuration file.
    static constexpr const char* kForbidden = "~/\\:*?\"<>|.,";

    static constexpr const char* kDeleteQuestion = "Really delete the user %s?";
    static constexpr const char* kNameExists = "This user name already exists. Please choose another";
    static constexpr const char* kNameUnusable = "This user name cannot be used. Please choose another";
    static constexpr const char* kFolderTaken = "A profile folder named %s already exists. Please choose another";

    ProfileScreen(GameApp* app, bool firstRun);
    ~ProfileScreen() override;

    // Creates the screen, runs it modally and disposes of it: 1 when a profile was selected or
    // created, 0 when cancelled or when, on a first run, a profile already exists (nothing shown).
    static int Show(GameApp* app, bool firstRun);

    // Prepares the views and joins the top gadget tree; false (nothing joined) on a first run
    // with a profile already there.
    bool Open();
    // Open, then the modal loop; the caller kills the screen afterwards.
    int Run();
    bool IsFinished() const { return mFinished; }
    int Result() const { return mResult; }

    View CurrentView() const { return mView; }
    bool IsFirstRunForm() const { return mFirstRunForm; }
    // Whether the create panel offers CANCEL.
    bool PanelCancelShown() const;
    ProfileList* List() const { return mList; }
    EditBox* NameBox() const { return mNameBox; }

    // Spaces, control characters and bytes 128 to 255 go from both ends.
    static std::string TrimName(std::string_view name);

    void Update() override;
    void Draw() override;
    void Notify(intptr_t message) override;
    // The list view's keys: Up and Down move the selection, Enter selects, Escape cancels.
    void KeyDown(int key) override;

    // ---- The buttons' places (the background picture leaves room for them) -------------------
    static constexpr float kButtonWidth = 140.0f, kButtonHeight = 48.0f;
    static constexpr float kCreateX = 180.0f, kDeleteX = 330.0f, kSelectX = 480.0f, kButtonsY = 425.0f;
    static constexpr float kCancelX = 330.0f, kCancelY = 490.0f;

private:
    void ShowList();
    void ShowCreatePanel();
    void Finish(int result);
    void CreatePressed();
    void DeletePressed();
    void SelectPressed();
    void CancelPressed();
    // The message box with OK, or YES and NO; true for OK and YES.
    bool Ask(const std::string& text, bool yesNo);
    // Writes the list at once, so a profile made or removed survives a crash.
    void SaveList();
    Button* MakeButton(const char* picture, float x, float y);

    GameApp* mApp;
    ProfileManager& mProfiles;
    bool mFirstRun;
    bool mFirstRunForm = false;
    bool mOpened = false;
    View mView = kListView;
    int mFade = 0;
    bool mFinished = false;
    int mResult = 0;

    ProfileList* mList = nullptr;
    Button* mCreateButton = nullptr;
    Button* mDeleteButton = nullptr;
    Button* mSelectButton = nullptr;
    Button* mCancelButton = nullptr;
    Button* mPanelCreateButton = nullptr;
    Button* mPanelCancelButton = nullptr;
    EditBox* mNameBox = nullptr;
};
