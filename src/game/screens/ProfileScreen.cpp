// The profile screen. Two views share one background: the list of profiles with CREATE, DELETE,
// SELECT and CANCEL, and the create panel with its name field. Every change to the list is
// written to the configuration file at once.
//
// Index: [list] [life] [views] [buttons] [drawing]
#include "game/screens/ProfileScreen.h"

#include <algorithm>
#include <cstdio>

#include "engine/controls/Button.h"
#include "engine/controls/EditBox.h"
#include "engine/core/App.h"
#include "engine/core/GadgetManager.h"
#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "persistence/ProfileManager.h"
#include "platform/KeyCodes.h"

namespace {

std::string Formatted(const char* pattern, const std::string& name) {
    // Names are short; the buffer leaves room for the longest a folder may have.
    char text[512];
    std::snprintf(text, sizeof text, pattern, name.c_str());
    return text;
}

// The create panel: "Graphics\\newuser" centred on the screen, its name well 40, 120 inside.
constexpr float kPanelX = 180.0f, kPanelY = 180.0f;
constexpr float kWellX = kPanelX + 40.0f, kWellY = kPanelY + 120.0f, kWellWidth = 360.0f, kWellHeight = 44.0f;
// The list well of "Graphics\\userscreen", with the arrows' column at its right.
constexpr float kListX = 220.0f, kListY = 130.0f, kListWidth = 396.0f, kListHeight = 270.0f;
constexpr float kArrowColumn = 32.0f;

}  // namespace

// ---- [list] -----------------------------------------------------------------------------------------

ProfileList::ProfileList(Gadget* owner, const Font* font) : mOwner(owner), mFont(font) {
    mName = "ProfileList";
    SetRect(kListX, kListY, kListWidth, kListHeight);
    mBarWidth = kArrowColumn;
    mArrowStepY = kRowHeight / 2.0f;
}

void ProfileList::Fill(const ProfileManager& profiles, int selected) {
    mNames.clear();
    ClearRegions();
    float width = mRect.w - mBarWidth;
    for (int i = 0; i < profiles.Count(); ++i) {
        mNames.push_back(profiles.GetName(i));
        AddRegion(Rect{0.0f, RowTop(i), width, kRowHeight});
    }
    SetContentSize(width, RowTop(profiles.Count()) + kTopMargin);
    if (selected >= 0) SelectRow(selected);
}

void ProfileList::SelectRow(int row) {
    if (mRegions.empty()) return;
    row = std::clamp(row, 0, int(mRegions.size()) - 1);
    for (size_t i = 0; i < mRegions.size(); ++i) mRegions[i].mSelected = int(i) == row;
    // The chosen name in view: scrolled just far enough.
    float top = RowTop(row), bottom = top + kRowHeight + kTopMargin;
    if (top - kTopMargin < mScrollY) SetScroll(0.0f, top - kTopMargin);
    if (bottom > mScrollY + mRect.h) SetScroll(0.0f, bottom - mRect.h);
}

void ProfileList::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    device->PushClip();
    device->PushOrigin();
    // Names stay inside the well, clear of the arrows' column.
    device->SetClip(Rect{device->mOrigin.x, device->mOrigin.y, mRect.w - mBarWidth, mRect.h}.Intersect(device->mClip));
    device->mOrigin.y -= mScrollY;
    DrawContent();
    device->PopOrigin();
    device->PopClip();
    if (HasVerticalBar()) {
        // The track between the arrows and the thumb that shows where the list stands.
        float left = mRect.w - mBarWidth;
        device->SetColor(0.05f, 0.03f, 0.15f, 0.8f);
        device->FillRect(left + 8.0f, mBarWidth, mBarWidth - 16.0f, mRect.h - 2.0f * mBarWidth);
        Rect thumb = VerticalThumb();
        device->SetColor(0.48f, 0.36f, 0.94f, 1.0f);
        device->FillRect(thumb.x + 6.0f, thumb.y + 2.0f, thumb.w - 12.0f, thumb.h - 4.0f);
        device->ResetColor();
    }
}

void ProfileList::DrawContent() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || !mFont) return;
    float width = mRect.w - mBarWidth;
    for (size_t i = 0; i < mNames.size(); ++i) {
        float top = RowTop(int(i));
        // Rows out of view cost nothing.
        if (top + kRowHeight < mScrollY || top > mScrollY + mRect.h) continue;
        bool selected = i < mRegions.size() && mRegions[i].mSelected;
        if (selected) {
            device->SetColor(1.0f, 1.0f, 1.0f, 0.14f);
            device->FillRect(6.0f, top, width - 12.0f, kRowHeight);
            device->SetColor(1.0f, 1.0f, 0.5f, 1.0f);
        } else {
            device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
        }
        mFont->DrawText(mNames[i], 16.0f, top + (kRowHeight - mFont->mLineHeight) / 2.0f);
    }
    device->ResetColor();
}

void ProfileList::MouseDoubleClick(float x, float y, int button) {
    if (button != -1) return;
    int before = SelectedRegion();
    MouseDown(x, y, button);
    // The second click of a double click on the chosen name picks it.
    if (before >= 0 && SelectedRegion() == before && mOwner) mOwner->SendNotify(reinterpret_cast<intptr_t>(this));
}

// ---- [life] -----------------------------------------------------------------------------------------

ProfileScreen::ProfileScreen(GameApp* app, bool firstRun) : mApp(app), mProfiles(app->mProfiles), mFirstRun(firstRun) {
    mName = "ProfileScreen";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);

    mList = new ProfileList(this, &mApp->mFont3);
    Button* arrows[2] = {mList->mArrows[ScrollerGadget::kArrowUp], mList->mArrows[ScrollerGadget::kArrowDown]};
    arrows[0]->SetImages(&mApp->Picture("Graphics\\ScrollUp1"), &mApp->Picture("Graphics\\ScrollUp2"),
                         &mApp->Picture("Graphics\\ScrollUp3"));
    arrows[1]->SetImages(&mApp->Picture("Graphics\\ScrollDown1"), &mApp->Picture("Graphics\\ScrollDown2"),
                         &mApp->Picture("Graphics\\ScrollDown3"));
    AddChild(mList);

    mCreateButton = MakeButton("Graphics\\createuser", kCreateX, kButtonsY);
    mDeleteButton = MakeButton("Graphics\\Deleteuser", kDeleteX, kButtonsY);
    mSelectButton = MakeButton("Graphics\\Selectuser", kSelectX, kButtonsY);
    mCancelButton = MakeButton("Graphics\\Cancel", kCancelX, kCancelY);
    mPanelCreateButton = MakeButton("Graphics\\createuser", 0.0f, kButtonsY);
    mPanelCancelButton = MakeButton("Graphics\\Cancel", 0.0f, kButtonsY);

    mNameBox = new EditBox;
    mNameBox->SetRect(kWellX, kWellY, kWellWidth, kWellHeight);
    mNameBox->SetFont(&mApp->mFont2);
    mNameBox->SetTextColor(0.25f, 0.0f, 0.25f);
    mNameBox->SetForbidden(kForbidden);
    // A name as wide as the well; the folder name it becomes stays far below any system limit.
    mNameBox->SetLimitWidth(true, kWellWidth - 2.0f * mNameBox->mInsetX);
    // Enter on an empty field comes here too, so it can be refused with a beep.
    mNameBox->mAllowEmpty = true;
    mNameBox->SetListener(this, true);
}

ProfileScreen::~ProfileScreen() = default;

Button* ProfileScreen::MakeButton(const char* picture, float x, float y) {
    auto* button = new Button;
    std::string base(picture);
    button->SetImages(&mApp->Picture(base + "1"), &mApp->Picture(base + "2"), &mApp->Picture(base + "3"));
    button->SetRect(x, y, kButtonWidth, kButtonHeight);
    button->SetPressSound(&mApp->mPop2);
    button->SetListener(this, true);
    return button;
}

int ProfileScreen::Show(GameApp* app, bool firstRun) {
    // Without a window nobody could answer; the modal loop would never end.
    if (!app->mWindow) return 0;
    auto* screen = new ProfileScreen(app, firstRun);
    if (!screen->Open()) {
        delete screen;
        return 0;
    }
    int result = screen->Run();
    screen->Kill();
    return result;
}

bool ProfileScreen::Open() {
    // A first run with profiles already listed keeps the current one and shows nothing.
    if (mFirstRun && mProfiles.Count() > 0) return false;
    mOpened = true;
    mFirstRunForm = mFirstRun;
    if (mProfiles.Count() == 0)
        ShowCreatePanel();
    else
        ShowList();
    if (App* app = App::Instance()) {
        std::lock_guard<std::recursive_mutex> lock(app->mDrawLock);
        app->mGadgets.Add(this);
    }
    return true;
}

int ProfileScreen::Run() {
    if (!mOpened && !Open()) return 0;
    if (!mFinished) RunModal();
    return mFinished ? mResult : 0;
}

void ProfileScreen::Finish(int result) {
    mFinished = true;
    mResult = result;
    EndModal(result);
}

// ---- [views] ----------------------------------------------------------------------------------------

void ProfileScreen::ShowList() {
    mView = kListView;
    mList->Fill(mProfiles, mProfiles.GetCurrentIndex());
    for (Gadget* gadget : {static_cast<Gadget*>(mList), static_cast<Gadget*>(mCreateButton),
                           static_cast<Gadget*>(mDeleteButton), static_cast<Gadget*>(mSelectButton),
                           static_cast<Gadget*>(mCancelButton)}) {
        gadget->mHidden = false;
        gadget->mNoHitTest = false;
    }
    for (Gadget* gadget : {static_cast<Gadget*>(mPanelCreateButton), static_cast<Gadget*>(mPanelCancelButton),
                           static_cast<Gadget*>(mNameBox)}) {
        gadget->mHidden = true;
        gadget->mNoHitTest = true;
    }
    TakeKeyboardFocus();
}

void ProfileScreen::ShowCreatePanel() {
    mView = kCreatePanel;
    for (Gadget* gadget : {static_cast<Gadget*>(mList), static_cast<Gadget*>(mCreateButton),
                           static_cast<Gadget*>(mDeleteButton), static_cast<Gadget*>(mSelectButton),
                           static_cast<Gadget*>(mCancelButton)}) {
        gadget->mHidden = true;
        gadget->mNoHitTest = true;
    }
    bool cancel = !mFirstRunForm && mProfiles.Count() > 0;
    // CREATE alone sits in the middle; with CANCEL the two share the row.
    mPanelCreateButton->mRect.x = cancel ? 400.0f - kButtonWidth - 5.0f : 400.0f - kButtonWidth / 2.0f;
    mPanelCancelButton->mRect.x = 405.0f;
    mPanelCreateButton->mHidden = mPanelCreateButton->mNoHitTest = false;
    mPanelCancelButton->mHidden = mPanelCancelButton->mNoHitTest = !cancel;
    mNameBox->mHidden = mNameBox->mNoHitTest = false;
    mNameBox->SetText("");
    mNameBox->TakeKeyboardFocus();
}

bool ProfileScreen::PanelCancelShown() const { return mView == kCreatePanel && !mPanelCancelButton->mHidden; }

// ---- [buttons] --------------------------------------------------------------------------------------

void ProfileScreen::Notify(intptr_t message) {
    auto is = [message](const Gadget* gadget) { return message == reinterpret_cast<intptr_t>(gadget); };
    if (mFinished) return;
    if (mView == kListView) {
        if (is(mSelectButton) || is(mList)) SelectPressed();
        else if (is(mDeleteButton)) DeletePressed();
        else if (is(mCreateButton)) ShowCreatePanel();
        else if (is(mCancelButton)) Finish(0);
    } else {
        if (is(mPanelCreateButton) || is(mNameBox)) CreatePressed();
        else if (is(mPanelCancelButton)) CancelPressed();
    }
}

void ProfileScreen::KeyDown(int key) {
    if (mFinished || mView != kListView) return;
    int selected = mList->SelectedRegion();
    switch (key) {
        case kKeyUp: mList->SelectRow(selected < 0 ? 0 : selected - 1); break;
        case kKeyDown: mList->SelectRow(selected + 1); break;
        case kKeyEnter: SelectPressed(); break;
        case kKeyEscape: Finish(0); break;
        default: break;
    }
}

void ProfileScreen::SelectPressed() {
    int index = mList->SelectedRegion();
    if (index < 0) return;
    mProfiles.Select(index);
    SaveList();
    Finish(1);
}

void ProfileScreen::DeletePressed() {
    int index = mList->SelectedRegion();
    if (index < 0) return;
    if (!Ask(Formatted(kDeleteQuestion, mProfiles.GetName(index)), true)) return;
    mProfiles.Delete(index);
    SaveList();
    if (mProfiles.Count() == 0)
        ShowCreatePanel();
    else
        ShowList();
}

void ProfileScreen::CancelPressed() {
    if (mFirstRunForm) {
        Finish(0);
        return;
    }
    ShowList();
}

std::string ProfileScreen::TrimName(std::string_view name) {
    // As a signed byte, at most 32: spaces, control characters and the upper half.
    auto blank = [](char c) { return static_cast<signed char>(c) <= 32; };
    size_t start = 0, end = name.size();
    while (start < end && blank(name[start])) ++start;
    while (end > start && blank(name[end - 1])) --end;
    return std::string(name.substr(start, end - start));
}

void ProfileScreen::CreatePressed() {
    std::string name = TrimName(mNameBox->GetText());
    if (name.empty()) {
        if (App* app = App::Instance()) app->Beep();
        mNameBox->TakeKeyboardFocus();
        return;
    }
    // Each refusal says why, so the player never wonders where the profile went.
    std::string refusal;
    if (mProfiles.Exists(name)) {
        refusal = kNameExists;
    } else if (!ProfileManager::IsUsableName(name)) {
        refusal = kNameUnusable;
    } else if (std::string taken = mProfiles.FolderInOtherCase(name); !taken.empty()) {
        // The folder would be found under this name as well: two players would share it.
        refusal = Formatted(kFolderTaken, taken);
    }
    if (refusal.empty() && !mProfiles.Create(name)) refusal = kNameUnusable;
    if (!refusal.empty()) {
        Ask(refusal, false);
        mNameBox->TakeKeyboardFocus();
        return;
    }
    SaveList();
    if (mFirstRunForm)
        Finish(1);
    else
        ShowList();
}

bool ProfileScreen::Ask(const std::string& text, bool yesNo) {
    App* app = App::Instance();
    return app ? app->MessageBox("Profiles", text, yesNo ? "YESNO" : "OK") : !yesNo;
}

void ProfileScreen::SaveList() { mProfiles.Save(); }

// ---- [drawing] --------------------------------------------------------------------------------------

void ProfileScreen::Update() {
    if (mFade < kFadeSteps) ++mFade;
}

void ProfileScreen::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    float fade = float(mFade) / float(kFadeSteps);
    // The screen behind dims first while the profile screen comes up over it.
    device->SetColor(0.0f, 0.0f, 0.15f, 0.75f * fade);
    device->FillRect(0.0f, 0.0f, 800.0f, 600.0f);
    device->SetColor(1.0f, 1.0f, 1.0f, fade);
    mApp->Picture("Graphics\\userscreen").Draw(0.0f, 0.0f);
    // The list view's title, "Select a Profile", is part of the background picture.
    if (mView == kCreatePanel) mApp->Picture("Graphics\\newuser").Draw(kPanelX, kPanelY);
    device->ResetColor();
}
