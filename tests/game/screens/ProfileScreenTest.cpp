// The profile screen through the real loop: the first start, the name rules, refusals with their
// messages, deleting down to no profile, selecting, and the list written at every change.
#include <gtest/gtest.h>

#include "engine/controls/Button.h"
#include "engine/controls/EditBox.h"
#include "game/screens/ProfileScreen.h"
#include "persistence/Registry.h"
#include "ScreenTestApp.h"

namespace {

// Centres of the screen's buttons.
constexpr float kListCreate[2] = {250.0f, 449.0f};
constexpr float kListDelete[2] = {400.0f, 449.0f};
constexpr float kListSelect[2] = {550.0f, 449.0f};
constexpr float kListCancel[2] = {400.0f, 514.0f};
constexpr float kPanelCreateAlone[2] = {400.0f, 449.0f};
constexpr float kPanelCreate[2] = {325.0f, 449.0f};
constexpr float kPanelCancel[2] = {475.0f, 449.0f};

class ProfileScreenTest : public ::testing::Test, public ScreenTestBase {
protected:
    void SetUp() override {
        if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no fonts";
    }
    void TearDown() override {
        if (screen) screen->Kill();
        drive->Step(2);
    }

    // A profile list in game.cfg, read as at start-up.
    void Profiles(const std::string& list, const std::string& current) {
        TestSupport::WriteBytes(DataPath("game.cfg"), "Profiles=" + list + "\r\nCurrentProfile=" + current + "\r\n");
        app->mProfiles.Load(ConfigPath());
    }
    // Opens the screen without its modal loop, so the test steps it.
    void Open(bool firstRun) {
        screen = new ProfileScreen(app, firstRun);
        ASSERT_TRUE(screen->Open());
        drive->Step();
    }
    void ClickAt(const float* at) {
        Click(at[0], at[1]);
        drive->Step();
    }
    void ClickRow(int row) {
        float y = 130.0f + ProfileList::RowTop(row) + ProfileList::kRowHeight / 2.0f - screen->List()->mScrollY;
        Click(300.0f, y);
        drive->Step();
    }
    std::string ConfigValue(const char* key) {
        Registry config;
        config.Load(ConfigPath());
        return config.GetString(key);
    }
    std::string ListOf() {
        std::string out;
        for (int i = 0; i < app->mProfiles.Count(); ++i) out += (i ? "," : "") + app->mProfiles.GetName(i);
        return out;
    }

    ProfileScreen* screen = nullptr;
};

TEST_F(ProfileScreenTest, FirstStartCreatesTheProfileAndWritesTheListAtOnce) {
    app->mProfiles.Load(ConfigPath());
    ASSERT_EQ(app->mProfiles.Count(), 0);
    // Only the create panel, without CANCEL.
    Open(true);
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kCreatePanel);
    EXPECT_FALSE(screen->PanelCancelShown());
    EXPECT_EQ(app->mKeyboardFocus, screen->NameBox());
    screen->Kill();
    screen = nullptr;
    drive->Step(2);

    // The real modal run: "kim" and Enter make Kim, current, with a folder, before any shutdown.
    TypeAndEnter("kim");
    EXPECT_EQ(app->ShowProfiles(true), 1);
    EXPECT_EQ(app->mProfiles.GetCurrentName(), "Kim");
    EXPECT_TRUE(Files::IsDirectory(DataPath("USERS/Kim")));
    EXPECT_EQ(ConfigValue("Profiles"), "Kim");
    EXPECT_EQ(ConfigValue("CurrentProfile"), "Kim");

    // The next start finds Kim and shows nothing.
    int frames = app->mFramesDrawn;
    EXPECT_EQ(app->ShowProfiles(true), 0);
    EXPECT_EQ(app->mFramesDrawn, frames);
    EXPECT_EQ(app->mProfiles.GetCurrentName(), "Kim");
}

TEST_F(ProfileScreenTest, NameFieldRefusesForbiddenCharactersWithABeep) {
    app->mProfiles.Load(ConfigPath());
    Open(true);
    struct Case {
        const char* typed;
        const char* text;
        int beeps;
    } cases[] = {
        {".", "", 1},
        {"?", "", 1},
        {" ", "", 1},  // no leading space
        {"a.b?c", "Abc", 2},
        {"x~/\\:*\"<>|,y", "Xy", 10},
        {"Jo Ann", "Jo Ann", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        screen->NameBox()->SetText("");
        int before = app->mBeeps;
        drive->Type(c.typed);
        drive->Step();
        EXPECT_EQ(screen->NameBox()->GetText(), c.text);
        EXPECT_EQ(app->mBeeps - before, c.beeps);
    }
    // The field ends where the well ends: typing on beeps instead of running out of it.
    screen->NameBox()->SetText("");
    int before = app->mBeeps;
    TypeLong(std::string(60, 'W'));
    drive->Step();
    size_t kept = screen->NameBox()->GetText().size();
    EXPECT_GT(kept, 5u);
    EXPECT_EQ(app->mBeeps - before, int(60 - kept));
}

TEST_F(ProfileScreenTest, CreateTrimsAndRefusesEmptyExistingAndTakenNames) {
    Profiles("Kim,Ann", "Kim");
    // An orphan folder in another spelling: the file layer would find it under "Bob".
    TestSupport::WriteBytes(DataPath("USERS/bob/GameData.dat"), std::string(96, '\0'));
    Open(false);
    ClickAt(kListCreate);
    ASSERT_EQ(screen->CurrentView(), ProfileScreen::kCreatePanel);
    EXPECT_TRUE(screen->PanelCancelShown());

    struct Case {
        const char* typed;
        const char* message;  // null: refused with a beep only
    } refusals[] = {
        {"", nullptr},
        {"KIM", ProfileScreen::kNameExists},
        {"ann   ", ProfileScreen::kNameExists},
        {"Bob", "A profile folder named bob already exists. Please choose another"},
    };
    for (const Case& c : refusals) {
        SCOPED_TRACE(c.typed);
        app->mMessages.clear();
        int beeps = app->mBeeps;
        screen->NameBox()->SetText("");
        TypeAndEnter(c.typed);
        drive->Step();
        EXPECT_EQ(screen->CurrentView(), ProfileScreen::kCreatePanel);
        EXPECT_EQ(ListOf(), "Kim,Ann");
        EXPECT_EQ(app->mKeyboardFocus, screen->NameBox()) << "the field takes the keyboard again";
        if (c.message) {
            ASSERT_EQ(app->mMessages.size(), 1u);
            EXPECT_EQ(app->mMessages[0], c.message);
            EXPECT_EQ(app->mMessageButtons[0], "OK");
        } else {
            EXPECT_TRUE(app->mMessages.empty());
            EXPECT_EQ(app->mBeeps, beeps + 1);
        }
    }
    EXPECT_EQ(TestSupport::ReadBytes(DataPath("USERS/bob/GameData.dat")).size(), 96u);

    // A name no folder can have never gets as far as the disk, typed or not.
    screen->NameBox()->SetText("a,b");
    app->mMessages.clear();
    ClickAt(kPanelCreate);
    ASSERT_EQ(app->mMessages.size(), 1u);
    EXPECT_EQ(app->mMessages[0], ProfileScreen::kNameUnusable);

    // Trailing spaces go; the list view comes back with the new, current name selected.
    screen->NameBox()->SetText("");
    drive->Type("zed  ");
    drive->Step();
    ClickAt(kPanelCreate);
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kListView);
    EXPECT_FALSE(screen->IsFinished());
    EXPECT_EQ(ListOf(), "Kim,Ann,Zed");
    EXPECT_EQ(screen->List()->SelectedRegion(), 2);
    EXPECT_EQ(ConfigValue("Profiles"), "Kim,Ann,Zed");
    EXPECT_EQ(ConfigValue("CurrentProfile"), "Zed");

    // CANCEL on the panel returns to the list; CANCEL there ends the screen with 0.
    ClickAt(kListCreate);
    ClickAt(kPanelCancel);
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kListView);
    ClickAt(kListCancel);
    EXPECT_TRUE(screen->IsFinished());
    EXPECT_EQ(screen->Result(), 0);
}

TEST_F(ProfileScreenTest, DeletingAsksFirstAndTheLastOneLeadsToTheCreatePanel) {
    Profiles("Ann,Bob", "Bob");
    TestSupport::WriteBytes(DataPath("USERS/Ann/GameData.dat"), std::string(96, '\0'));
    Open(false);
    EXPECT_EQ(screen->List()->SelectedRegion(), 1) << "the current profile starts selected";

    ClickRow(0);
    app->mAnswers = {false};
    ClickAt(kListDelete);
    ASSERT_EQ(app->mMessages.size(), 1u);
    EXPECT_EQ(app->mMessages[0], "Really delete the user Ann?");
    EXPECT_EQ(app->mMessageButtons[0], "YESNO");
    EXPECT_EQ(ListOf(), "Ann,Bob");
    EXPECT_TRUE(Files::Exists("USERS/Ann/GameData.dat"));

    app->mAnswers = {true};
    ClickAt(kListDelete);
    EXPECT_EQ(ListOf(), "Bob");
    EXPECT_FALSE(Files::Exists("USERS/Ann"));
    EXPECT_EQ(ConfigValue("Profiles"), "Bob");

    // Nothing selected after the refill but Bob (current): deleting him empties the list.
    app->mAnswers = {true};
    ClickAt(kListDelete);
    EXPECT_EQ(app->mProfiles.Count(), 0);
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kCreatePanel);
    EXPECT_FALSE(screen->PanelCancelShown());
    EXPECT_EQ(ConfigValue("Profiles"), "");

    // Outside the first-run form a new profile leads back to the list, not out of the screen.
    TypeAndEnter("cid");
    drive->Step();
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kListView);
    EXPECT_FALSE(screen->IsFinished());
    EXPECT_EQ(ListOf(), "Cid");
}

TEST_F(ProfileScreenTest, SelectingSwitchesProfilesAndKeepsEachOnesStatistics) {
    Profiles("Ann,Bob", "Ann");
    app->LoadStatistics();
    app->mStatistics.mGauntletsCompleted = 4;

    Open(false);
    ClickAt(kListSelect);  // Ann again: nothing changes
    EXPECT_TRUE(screen->IsFinished());
    EXPECT_EQ(screen->Result(), 1);
    EXPECT_EQ(app->mStatistics.mGauntletsCompleted, 4);
    screen->Kill();

    Open(false);
    ClickRow(1);
    ClickAt(kListSelect);
    EXPECT_EQ(screen->Result(), 1);
    EXPECT_EQ(app->mProfiles.GetCurrentName(), "Bob");
    EXPECT_EQ(ConfigValue("CurrentProfile"), "Bob");
    EXPECT_EQ(app->mStatistics.mGauntletsCompleted, 0) << "Bob starts from his own, empty record";
    app->mStatistics.mGauntletsCompleted = 1;
    screen->Kill();

    // A double click on a name chooses it.
    Open(false);
    float y = 130.0f + ProfileList::RowTop(0) + 10.0f;
    drive->DoubleClick(300, int(y));
    drive->Step();
    EXPECT_TRUE(screen->IsFinished());
    EXPECT_EQ(app->mProfiles.GetCurrentName(), "Ann");
    EXPECT_EQ(app->mStatistics.mGauntletsCompleted, 4);
    GameStatistics bob;
    ASSERT_TRUE(bob.LoadFile("USERS\\Bob\\GameData.dat"));
    EXPECT_EQ(bob.mGauntletsCompleted, 1);
}

TEST_F(ProfileScreenTest, ALongListScrollsToTheCurrentProfile) {
    std::string list;
    for (int i = 0; i < 14; ++i) list += (i ? ",P" : "P") + std::to_string(i);
    Profiles(list, "P13");
    Open(false);
    ProfileList* view = screen->List();
    ASSERT_TRUE(view->HasVerticalBar());
    EXPECT_FALSE(view->mArrows[ScrollerGadget::kArrowDown]->mHidden);
    EXPECT_EQ(view->mScrollY, view->MaxScrollY()) << "the last name is in view";
    ClickRow(13);
    EXPECT_EQ(view->SelectedRegion(), 13);
    // The up arrow scrolls back towards the top.
    float before = view->mScrollY;
    drive->MoveTo(600, 146);
    drive->Press(600, 146);
    drive->Step(3);
    drive->Release(600, 146);
    drive->Step();
    EXPECT_LT(view->mScrollY, before);
}

}  // namespace
