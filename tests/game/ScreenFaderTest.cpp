// The screen fader through the real loop: the switch on the 37th update with the screen covered,
// the fader gone 46 updates later, the transition flag, the piece it shows, and the log line of
// each switch.
#include <gtest/gtest.h>

#include <set>

#include "board/BoardRandom.h"
#include "game/GameApp.h"
#include "game/ScreenFader.h"
#include "game/screens/MainMenu.h"
#include "game/screens/TitleScreen.h"
#include "game/ShellTestKit.h"

namespace {

class ScreenFaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::EmptyDataFolder();
        ShellApp::sSoftwareDevice = false;
    }
};

TEST_F(ScreenFaderTest, SwitchesOnThe37thUpdateAndIsGone46UpdatesLater) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ASSERT_NE(app.mTitleScreen, nullptr);
    app.GoToMainMenu();
    auto* fader = ShellKit::Top<ScreenFader>(app);
    ASSERT_NE(fader, nullptr);
    EXPECT_TRUE(app.mTransitionRunning);

    // One update per step from the test's side (steps run inside the covered frame do not move
    // the fader).
    int steps = 0;
    while (!app.mMainMenu && steps < 100) {
        drive.Step();
        ++steps;
    }
    EXPECT_EQ(steps, 37);
    EXPECT_EQ(fader->mScale, ScreenFader::kFullScale);
    EXPECT_EQ(app.mTitleScreen, nullptr) << "the old screens are cleared";
    EXPECT_EQ(ShellKit::Top<ScreenFader>(app), fader) << "the fader is drawn over the new screen";

    steps = 0;
    while (!fader->mKilled && steps < 100) {
        drive.Step();
        ++steps;
    }
    EXPECT_EQ(steps, 46);
    EXPECT_GE(fader->mScale, 0.0f);
    EXPECT_TRUE(app.mTransitionRunning) << "until the fader is destroyed";
    drive.Step();
    EXPECT_FALSE(app.mTransitionRunning);
    EXPECT_NE(ShellKit::LogText().find("screen 0 MainMenu"), std::string::npos) << ShellKit::LogText();
}

TEST_F(ScreenFaderTest, ShowsTheDarkPieceForALostLevelAndARandomOneOtherwise) {
    GameApp app;
    for (int destination = 0; destination <= 7; ++destination) {
        std::set<int> colours;
        for (uint32_t seed = 1; seed <= 40; ++seed) {
            ProgramRandom().Seed(seed);
            ScreenFader fader(&app, destination);
            colours.insert(fader.mColor);
            EXPECT_EQ(fader.mPicture, &app.mQuorls[fader.mColor][0]);
            ScreenFader dark(&app, destination, true);
            EXPECT_EQ(dark.mColor, ScreenFader::kDarkColor) << "asked for, destination " << destination;
        }
        if (destination == kDestinationLevelLost) {
            EXPECT_EQ(colours, std::set<int>{ScreenFader::kDarkColor});
        } else {
            EXPECT_GT(colours.size(), 3u) << "destination " << destination;
            EXPECT_LE(*colours.rbegin(), 7) << "destination " << destination;
        }
    }
    EXPECT_FALSE(app.mTransitionRunning) << "every fader has gone";
}

TEST_F(ScreenFaderTest, TwoFadersKeepTheFlagUntilTheLastIsGone) {
    GameApp app;
    auto* first = new ScreenFader(&app, kDestinationMainMenu);
    auto* second = new ScreenFader(&app, kDestinationScores);
    delete first;
    EXPECT_TRUE(app.mTransitionRunning);
    delete second;
    EXPECT_FALSE(app.mTransitionRunning);
}

}  // namespace
