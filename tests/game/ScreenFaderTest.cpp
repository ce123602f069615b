// The screen fader through the real loop: the switch on the 37th update with the screen covered,
// the fader gone 46 updates later, the transition flag, the piece it shows, the log line of each
// switch, and a journey's levels starting and ending through it.
#include <gtest/gtest.h>

#include <set>

#include "board/BoardRandom.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/ScreenFader.h"
#include "game/journey/Maze.h"
#include "game/rules/BoardContainer.h"
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

TEST_F(ScreenFaderTest, AJourneyLevelStartsAndEndsThroughTheFader) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::FinishLoading(drive);
    app.GoToNewJourney();
    drive.StepUntil([&] { return app.mSession && !app.mTransitionRunning; }, 200);
    GameSession* session = app.mSession;
    ASSERT_TRUE(session && session->GetMap());

    // Won: the map comes back at the middle of the fade.
    session->StartLevel(1001);
    session->StartLevel(1002);
    EXPECT_TRUE(session->IsSwitchPending());
    drive.StepUntil([&] { return session->mBoard != nullptr; }, 100);
    ASSERT_NE(session->mBoard, nullptr);
    EXPECT_EQ(session->mBoard->mLevelId, 1001) << "one level per fade";
    drive.StepUntil([&] { return !app.mTransitionRunning; }, 100);
    session->LevelWon();
    drive.StepUntil([&] { return session->mBoard == nullptr; }, 100);
    EXPECT_TRUE(session->mLevelWon);

    // Lost: the dark piece, and the points of the lost level are gone.
    drive.StepUntil([&] { return !app.mTransitionRunning; }, 100);
    session->StartLevel(1002);
    drive.StepUntil([&] { return session->mBoard != nullptr && !app.mTransitionRunning; }, 200);
    int atStart = session->mScore;
    session->mScore += 700;
    session->GameOver();
    auto* fader = ShellKit::Top<ScreenFader>(app);
    ASSERT_NE(fader, nullptr);
    EXPECT_EQ(fader->mColor, ScreenFader::kDarkColor);
    EXPECT_EQ(session->mScore, atStart);
    drive.StepUntil([&] { return session->mBoard == nullptr; }, 100);
    EXPECT_EQ(session->mLevelsLost, 1);

    std::string log = ShellKit::LogText();
    for (const char* line : {"screen 1 GameSession", "screen 3 BoardContainer", "screen 4 Maze", "screen 5 Maze"})
        EXPECT_NE(log.find(line), std::string::npos) << line << " in\n" << log;
}

}  // namespace
