// The profile screen through the real loop: the first start, the name rules, refusals with their
// messages, deleting down to no profile, selecting, and the list written at every change.
#include <gtest/gtest.h>

#include "engine/controls/EditBox.h"
#include "game/screens/ProfileScreen.h"
#include "persistence/Registry.h"
#include "ScreenTestApp.h"

namespace {

// Centres of the buttons: the list view's, then the create panel's (CREATE beside CANCEL).
constexpr float kCreate[2] = {250, 449}, kDelete[2] = {400, 449}, kSelect[2] = {550, 449}, kCancel[2] = {400, 514};
constexpr float kPanelCreate[2] = {325, 449}, kPanelCancel[2] = {475, 449};

class ProfileScreenTest : public ::testing::Test, public ScreenTestBase {
protected:
    void SetUp() override {
        if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no fonts";
    }
    void TearDown() override {
        if (screen) screen->Kill();
        drive->Step(2);
    }
    // A profile list in game.cfg, read as at start-up, and the screen opened over it; the test
    // steps the loop itself.
    void Open(const std::string& list, const std::string& current, bool firstRun = false) {
        if (!list.empty())
            TestSupport::WriteBytes(DataPath("game.cfg"), "Profiles=" + list + "\r\nCurrentProfile=" + current + "\r\n");
        app->mProfiles.Load(ConfigPath());
        if (screen) screen->Kill();
        screen = new ProfileScreen(app, firstRun);
        ASSERT_TRUE(screen->Open());
        drive->Step();
    }
    void ClickAt(const float* at) {
        Click(at[0], at[1]);
        drive->Step();
    }
    void ClickRow(int row) {
        Click(300.0f, 130.0f + ProfileList::RowTop(row) + 13.0f - screen->List()->mScrollY);
        drive->Step();
    }
    std::string Config(const char* key) {
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

TEST_F(ProfileScreenTest, FirstStartShowsOnlyTheCreatePanelAndKimIsWrittenAtOnce) {
    Open("", "", true);
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
    EXPECT_EQ(Config("Profiles") + "/" + Config("CurrentProfile"), "Kim/Kim");
    // The next start finds Kim and shows nothing.
    int frames = app->mFramesDrawn;
    EXPECT_EQ(app->ShowProfiles(true), 0);
    EXPECT_EQ(app->mFramesDrawn, frames);
}

TEST_F(ProfileScreenTest, TheNameFieldBeepsAtForbiddenCharactersAndAtItsEnd) {
    Open("", "", true);
    const struct {
        const char* typed;
        const char* text;
        int beeps;
    } cases[] = {{".", "", 1}, {"?", "", 1}, {" ", "", 1}, {"a.b?c", "Abc", 2}, {"x~/\\:*\"<>|,y", "Xy", 10},
                 {"Jo Ann", "Jo Ann", 0}};
    for (const auto& c : cases) {
        screen->NameBox()->SetText("");
        int before = app->mBeeps;
        drive->Type(c.typed);
        drive->Step();
        EXPECT_EQ(screen->NameBox()->GetText(), c.text) << c.typed;
        EXPECT_EQ(app->mBeeps - before, c.beeps) << c.typed;
    }
    screen->NameBox()->SetText("");
    int before = app->mBeeps;
    TypeLong(std::string(60, 'W'));
    drive->Step();
    size_t kept = screen->NameBox()->GetText().size();
    EXPECT_GT(kept, 5u);
    EXPECT_EQ(app->mBeeps - before, int(60 - kept)) << "the field ends where its well ends";
}

TEST_F(ProfileScreenTest, CreateTrimsTheNameAndSaysWhyItRefusesOne) {
    // A folder left behind in another spelling: the file layer would find it as "Bob" too.
    TestSupport::WriteBytes(DataPath("USERS/bob/GameData.dat"), std::string(96, '\0'));
    Open("Kim,Ann", "Kim");
    ClickAt(kCreate);
    ASSERT_EQ(screen->CurrentView(), ProfileScreen::kCreatePanel);
    EXPECT_TRUE(screen->PanelCancelShown());
    const struct {
        const char* name;
        std::string message;  // empty: a beep only
    } refusals[] = {{"", ""},
                    {"KIM", ProfileScreen::kNameExists},
                    {"ann   ", ProfileScreen::kNameExists},
                    {"Bob", "A profile folder named bob already exists. Please choose another"},
                    {"a,b", ProfileScreen::kNameUnusable}};
    for (const auto& c : refusals) {
        app->mMessages.clear();
        int beeps = app->mBeeps;
        screen->NameBox()->SetText(c.name);
        ClickAt(kPanelCreate);
        EXPECT_EQ(screen->CurrentView(), ProfileScreen::kCreatePanel) << c.name;
        EXPECT_EQ(app->mKeyboardFocus, screen->NameBox()) << "the field takes the keyboard again";
        EXPECT_EQ(app->mMessages, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
        EXPECT_EQ(app->mBeeps, beeps + (c.message.empty() ? 1 : 0)) << c.name;
    }
    EXPECT_EQ(ListOf(), "Kim,Ann");
    EXPECT_EQ(TestSupport::ReadBytes(DataPath("USERS/bob/GameData.dat")).size(), 96u);

    // Spaces go; outside the first run the list comes back with the new name current.
    screen->NameBox()->SetText("");
    TypeAndEnter("  zed  ");
    drive->Step();
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kListView);
    EXPECT_EQ(ListOf(), "Kim,Ann,Zed");
    EXPECT_EQ(screen->List()->SelectedRegion(), 2);
    EXPECT_EQ(Config("Profiles") + "/" + Config("CurrentProfile"), "Kim,Ann,Zed/Zed");
    ClickAt(kCreate);
    ClickAt(kPanelCancel);
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kListView);
    ClickAt(kCancel);
    EXPECT_TRUE(screen->IsFinished() && screen->Result() == 0);
}

TEST_F(ProfileScreenTest, DeletingAsksFirstAndTheLastOneLeadsToTheCreatePanel) {
    Open("Ann,Bob", "Bob");
    EXPECT_EQ(screen->List()->SelectedRegion(), 1) << "the current profile starts selected";
    ClickRow(0);
    app->mAnswers = {false, true};
    ClickAt(kDelete);
    EXPECT_EQ(app->mMessages, std::vector<std::string>{"Really delete the user Ann?"});
    EXPECT_EQ(app->mMessageButtons, std::vector<std::string>{"YESNO"});
    EXPECT_EQ(ListOf(), "Ann,Bob");
    ClickAt(kDelete);
    EXPECT_EQ(ListOf(), "Bob");
    EXPECT_FALSE(Files::Exists("USERS/Ann"));
    EXPECT_EQ(Config("Profiles"), "Bob");

    ClickAt(kDelete);  // Bob, selected as the current one after the refill
    EXPECT_EQ(app->mProfiles.Count(), 0);
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kCreatePanel);
    EXPECT_FALSE(screen->PanelCancelShown());
    EXPECT_EQ(Config("Profiles"), "");
    // Outside the first-run form a new profile leads back to the list, not out of the screen.
    TypeAndEnter("cid");
    drive->Step();
    EXPECT_EQ(screen->CurrentView(), ProfileScreen::kListView);
    EXPECT_FALSE(screen->IsFinished());
}

TEST_F(ProfileScreenTest, SwitchingProfilesKeepsEachOnesStatistics) {
    Open("Ann,Bob", "Ann");
    app->LoadStatistics();
    app->mStatistics.mGauntletsCompleted = 4;
    ClickRow(1);
    ClickAt(kSelect);
    EXPECT_TRUE(screen->IsFinished() && screen->Result() == 1);
    EXPECT_EQ(Config("CurrentProfile"), "Bob");
    EXPECT_EQ(app->mStatistics.mGauntletsCompleted, 0) << "Bob starts from his own, empty record";
    app->mStatistics.mGauntletsCompleted = 1;

    // A double click on a name chooses it.
    Open("", "");
    drive->DoubleClick(300, int(130.0f + ProfileList::RowTop(0) + 10.0f));
    drive->Step();
    EXPECT_TRUE(screen->IsFinished());
    EXPECT_EQ(app->mProfiles.GetCurrentName(), "Ann");
    EXPECT_EQ(app->mStatistics.mGauntletsCompleted, 4);
    GameStatistics bob;
    ASSERT_TRUE(bob.LoadFile("USERS\\Bob\\GameData.dat"));
    EXPECT_EQ(bob.mGauntletsCompleted, 1);

    // Keys: Up and Down move the selection within the list; Escape leaves without a change.
    Open("", "");
    for (int key : {kKeyDown, kKeyDown, kKeyUp, kKeyDown}) {
        drive->KeyPress(key);
        drive->KeyRelease(key);
    }
    drive->Step();
    EXPECT_EQ(screen->List()->SelectedRegion(), 1);
    drive->KeyPress(kKeyEscape);
    drive->Step();
    EXPECT_TRUE(screen->IsFinished() && screen->Result() == 0);
    EXPECT_EQ(app->mProfiles.GetCurrentName(), "Ann");
}

}  // namespace
