// The way in: the title screen while loading and after, the main menu's new-game and continue
// flows with their questions and messages, and the tutorial that plays by itself.
#include <gtest/gtest.h>

#include <cstring>

#include "game/AutoplayGame.h"
#include "game/GameFileDump.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/SavedGame.h"
#include "game/ScreenFader.h"
#include "game/journey/Maze.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/screens/MainMenu.h"
#include "game/screens/MessageBox.h"
#include "game/screens/ModePicker.h"
#include "game/screens/QuickMenu.h"
#include "game/screens/TitleScreen.h"
#include "game/screens/TutorialScreen.h"
#include "persistence/GameFiles.h"
#include "platform/FileSystem.h"
#include "game/ShellTestKit.h"

namespace {

using ShellKit::Click;
using ShellKit::Top;

// Screen points of the buttons (the picker and the message box sit 50 pixels lower).
constexpr int kNewGame[] = {401, 297}, kContinue[] = {401, 362};
constexpr int kPickJourney[] = {399, 321}, kPickGauntlet[] = {399, 386};
constexpr int kOk[] = {400, 501}, kYes[] = {315, 501}, kNo[] = {485, 501};
constexpr int kTutorialOk[] = {642, 547};

class TitleAndMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::EmptyDataFolder();
        ShellApp::sSoftwareDevice = false;
    }
};

TEST_F(TitleAndMenuTest, PlayButtonWaitsForLoadingThenLeadsToTheMainMenu) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    app.mMayFinishLoading = false;
    app.StartLoader();
    // The loader thread reaches its step in its own time.
    for (int wait = 0; wait < 5000 && app.mLoadingStep.load() != 60; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    drive.Step(20);
    TitleScreen* title = app.mTitleScreen;
    ASSERT_NE(title, nullptr);
    ASSERT_TRUE(title->IsLoading());
    EXPECT_EQ(app.mLoadingStep.load(), 60);

    // Where the play button will be: nothing happens while the bar fills.
    for (int y : {420, 450, 480}) Click(drive, 400, y);
    drive.Step(60);
    EXPECT_FALSE(app.mTransitionRunning);
    EXPECT_EQ(app.mMainMenu, nullptr);
    EXPECT_EQ(app.mTitleScreen, title);

    app.mMayFinishLoading = true;
    ShellKit::WaitUntilLoaded(drive);
    EXPECT_TRUE(title->IsReady());
    EXPECT_EQ(app.mProfileScreens, 1) << "the profile screen runs once loading is done";
    EXPECT_TRUE(app.mProfileFirstRun);
    EXPECT_NE(ShellKit::LogText().find("loading done in "), std::string::npos);

    Click(drive, 400, 450);
    drive.StepUntil([&] { return app.mMainMenu != nullptr; }, 100);
    ASSERT_NE(app.mMainMenu, nullptr);
    EXPECT_EQ(app.mTitleScreen, nullptr);
    EXPECT_NE(ShellKit::LogText().find("screen 0 MainMenu"), std::string::npos);
}

TEST_F(TitleAndMenuTest, ContinueWithoutASavedGameSaysSoAndStaysOnTheMenu) {
    const struct {
        const int* pick;
        const char* message;
    } cases[] = {{kPickJourney, "A saved Journey game does not exist!"},
                 {kPickGauntlet, "A saved Gauntlet game does not exist!"}};
    for (const auto& c : cases) {
        AppTestDriver<ShellApp> drive;
        ShellApp& app = *drive.app;
        ShellKit::ToMainMenu(drive);
        MainMenu* menu = app.mMainMenu;
        ASSERT_NE(menu, nullptr);
        std::string shown;
        Script script(app);
        script.When([&] { return Top<ModePicker>(app); }, [&] { Click(drive, c.pick[0], c.pick[1]); })
            .When([&] { return Top<MessageBox>(app); },
                  [&] {
                      shown = Top<MessageBox>(app)->mText;
                      Click(drive, kOk[0], kOk[1]);
                  });
        Click(drive, kContinue[0], kContinue[1]);
        drive.Step(3);
        EXPECT_TRUE(script.Done());
        EXPECT_EQ(shown, c.message);
        EXPECT_EQ(Top<MainMenu>(app), menu);
        EXPECT_FALSE(app.mTransitionRunning);
        EXPECT_FALSE(app.mRanOutOfSteps);
    }
}

TEST_F(TitleAndMenuTest, AnUnreadableSavedGameLeavesThePlayerOnTheMenu) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::ToMainMenu(drive);
    ASSERT_TRUE(app.mProfiles.Create("Ann"));
    std::string path = app.mProfiles.GetProfilePath(GameFiles::kGauntletSaveFile);
    TestSupport::WriteBytes(Files::PathForWrite(path), "not a saved game");
    MainMenu* menu = app.mMainMenu;
    std::string message;
    Script script(app);
    script.When([&] { return Top<ModePicker>(app); }, [&] { Click(drive, kPickGauntlet[0], kPickGauntlet[1]); })
        .When([&] { return Top<MessageBox>(app); },
              [&] {
                  message = Top<MessageBox>(app)->mText;
                  Click(drive, kOk[0], kOk[1]);
              });
    Click(drive, kContinue[0], kContinue[1]);
    drive.Step(2);
    // Refused over the menu: no fade begins.
    EXPECT_FALSE(app.mTransitionRunning);
    EXPECT_EQ(message, "This saved game is damaged and cannot be continued.");
    EXPECT_EQ(app.mMainMenu, menu) << "the menu was never cleared";
    EXPECT_EQ(app.mSession, nullptr);
    EXPECT_EQ(ShellKit::LogText().find("screen 6"), std::string::npos) << ShellKit::LogText();
    // Kept for a look, out of the way of a new game.
    EXPECT_FALSE(Files::IsRegularFile(Files::PathForWrite(path)));
    EXPECT_EQ(TestSupport::ReadText(Files::PathForWrite(path) + ".damaged"), "not a saved game");
}

TEST_F(TitleAndMenuTest, ContinueTakesUpASavedGameWhereItWasLeftAndLeavingSavesItAgain) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::ToMainMenu(drive);
    ASSERT_TRUE(app.mProfiles.Create("Ann"));
    std::string path = app.mProfiles.GetProfilePath(GameFiles::kGauntletSaveFile);
    AutoplayGame left(true, 0, 6);
    left.Play(15);
    // As a player leaves it: no autopilot running.
    left.GetBoard()->SetAutopilot(false);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(left.Save(&bytes));
    TestSupport::WriteBytes(Files::PathForWrite(path), std::string(bytes.begin(), bytes.end()));

    Script script(app);
    script.When([&] { return Top<ModePicker>(app); }, [&] { Click(drive, kPickGauntlet[0], kPickGauntlet[1]); });
    Click(drive, kContinue[0], kContinue[1]);
    drive.Step(2);
    drive.StepUntil([&] { return !app.mTransitionRunning; }, 200);
    auto* session = dynamic_cast<GauntletSession*>(app.mSession);
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(app.mMainMenu, nullptr);
    EXPECT_EQ(session->mScore, left.GetSession()->mScore);
    ASSERT_TRUE(session->mBoard && session->mBoard->GetBoard());
    EXPECT_EQ(session->mBoard->GetBoard()->mQuorlsUsed, left.GetBoard()->mQuorlsUsed);
    EXPECT_NE(ShellKit::LogText().find("screen 6 GauntletSession"), std::string::npos) << ShellKit::LogText();

    // Back to the main menu: the game is saved again as it stands.
    session->mScore += 5;
    app.GoToMainMenu();
    drive.StepUntil([&] { return !app.mTransitionRunning; }, 200);
    std::vector<uint8_t> saved = TestSupport::ReadBytes(Files::PathForWrite(path));
    ASSERT_GT(saved.size(), 5u);
    EXPECT_EQ(saved[0], 1);
    int32_t score;
    std::memcpy(&score, &saved[1], 4);
    EXPECT_EQ(score, left.GetSession()->mScore + 5);
}

TEST_F(TitleAndMenuTest, AJourneyLeftOnItsMapOrInALevelComesBackAfterTheGameIsStartedAgain) {
    // Left through the game menu (on the map, then in the level played from it), the game quit
    // and started again each time, and continued from the main menu: the journey is where it was.
    constexpr int kMapMenu[] = {702, 36}, kLevelMenu[] = {650, 30}, kQuickLeave[] = {399, 401};
    std::string path;
    std::vector<uint8_t> leftOnMap;
    {
        AppTestDriver<ShellApp> drive;
        ShellApp& app = *drive.app;
        ShellKit::ToMainMenu(drive);
        ASSERT_TRUE(app.mProfiles.Create("Ann"));
        path = Files::PathForWrite(app.mProfiles.GetProfilePath(GameFiles::kJourneySaveFile));
        app.SetMapSeed(12);
        app.GoToNewJourney();
        drive.StepUntil([&] { return app.mSession && app.mSession->GetMap() && !app.mTransitionRunning; }, 300);
        ASSERT_NE(app.mSession, nullptr);
        drive.Step(5);
        Script leave(app);
        leave.When([&] { return Top<QuickMenu>(app); }, [&] { Click(drive, kQuickLeave[0], kQuickLeave[1]); });
        Click(drive, kMapMenu[0], kMapMenu[1]);
        drive.StepUntil([&] { return app.mMainMenu && !app.mTransitionRunning; }, 300);
        ASSERT_TRUE(leave.Done());
        EXPECT_EQ(app.mSession, nullptr);
        leftOnMap = TestSupport::ReadBytes(path);
        ASSERT_GT(leftOnMap.size(), 2u);
        EXPECT_EQ(leftOnMap[0], 0) << "a journey";
        EXPECT_EQ(leftOnMap[leftOnMap.size() - 1], 0) << "no level under way";
    }
    // What the dump shows: all the player would see (the map's glow and the board's frame count
    // run on under the fade in).
    auto described = [](const std::vector<uint8_t>& bytes) {
        std::string json, problem;
        EXPECT_TRUE(GameFileDump::Describe(GameFiles::kJourneySaveFile, bytes, &json, &problem)) << problem;
        return json;
    };
    auto continueJourney = [&](AppTestDriver<ShellApp>& drive) {
        ShellApp& app = *drive.app;
        ShellKit::ToMainMenu(drive);
        EXPECT_EQ(app.mProfiles.GetCurrentName(), "Ann");
        Script script(app);
        script.When([&] { return Top<ModePicker>(app); }, [&] { Click(drive, kPickJourney[0], kPickJourney[1]); });
        Click(drive, kContinue[0], kContinue[1]);
        drive.Step(2);
        drive.StepUntil([&] { return app.mSession && !app.mTransitionRunning; }, 300);
        EXPECT_TRUE(script.Done());
        EXPECT_NE(ShellKit::LogText().find("screen 6 GameSession"), std::string::npos);
        return app.mSession;
    };
    int levelId = 0;
    {
        AppTestDriver<ShellApp> drive;
        ShellApp& app = *drive.app;
        GameSession* session = continueJourney(drive);
        ASSERT_NE(session, nullptr);
        ASSERT_NE(session->GetMap(), nullptr);
        EXPECT_EQ(session->mBoard, nullptr);
        EXPECT_TRUE(session->Children()->Contains(session->GetMap())) << "the map is shown";
        EXPECT_EQ(described(SavedGame::Write(*session)), described(leftOnMap));

        // Into the first level from the map, a few moves, then left from the level.
        ASSERT_TRUE(session->GetMap()->Play(Maze::kLanes / 2, 0));
        drive.StepUntil([&] { return session->mBoard && session->mBoard->GetBoard() && !app.mTransitionRunning; }, 300);
        ASSERT_NE(session->mBoard, nullptr);
        levelId = session->mBoard->mLevelId;
        drive.Step(60);
        Script leave(app);
        leave.When([&] { return Top<QuickMenu>(app); }, [&] { Click(drive, kQuickLeave[0], kQuickLeave[1]); });
        Click(drive, kLevelMenu[0], kLevelMenu[1]);
        drive.StepUntil([&] { return app.mMainMenu && !app.mTransitionRunning; }, 300);
        ASSERT_TRUE(leave.Done());
    }
    std::vector<uint8_t> leftInLevel = TestSupport::ReadBytes(path);
    ASSERT_GT(leftInLevel.size(), leftOnMap.size()) << "the level is held too";
    {
        AppTestDriver<ShellApp> drive;
        GameSession* session = continueJourney(drive);
        ASSERT_NE(session, nullptr);
        ASSERT_NE(session->mBoard, nullptr);
        EXPECT_EQ(session->mBoard->mLevelId, levelId);
        ASSERT_NE(session->GetMap(), nullptr);
        EXPECT_FALSE(session->Children()->Contains(session->GetMap())) << "the map waits for the level";
        EXPECT_EQ(described(SavedGame::Write(*session)), described(leftInLevel));
    }
}

TEST_F(TitleAndMenuTest, NoToTheOverwriteQuestionChangesNothingAndYesLeadsThroughTheTutorial) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::ToMainMenu(drive);
    ASSERT_TRUE(app.mProfiles.Create("Ann"));
    std::string save = Files::PathForWrite(app.mProfiles.GetProfilePath(GameFiles::kGauntletSaveFile));
    TestSupport::WriteBytes(save, "the saved game");
    MainMenu* menu = app.mMainMenu;

    std::string question;
    {
        Script script(app);
        script.When([&] { return Top<ModePicker>(app); }, [&] { Click(drive, kPickGauntlet[0], kPickGauntlet[1]); })
            .When([&] { return Top<MessageBox>(app); },
                  [&] {
                      question = Top<MessageBox>(app)->mText;
                      EXPECT_TRUE(Top<MessageBox>(app)->mYesNo);
                      Click(drive, kNo[0], kNo[1]);
                  });
        Click(drive, kNewGame[0], kNewGame[1]);
        drive.Step(3);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_EQ(question, "Starting a new game will remove your saved game.  Are you sure?");
    EXPECT_EQ(Top<MainMenu>(app), menu);
    EXPECT_FALSE(app.mTransitionRunning);
    EXPECT_EQ(ShellKit::Find<TutorialScreen>(app), nullptr);
    EXPECT_EQ(TestSupport::ReadText(save), "the saved game");

    bool tutorialShown = false;
    {
        Script script(app);
        script.When([&] { return Top<ModePicker>(app); }, [&] { Click(drive, kPickGauntlet[0], kPickGauntlet[1]); })
            .When([&] { return Top<MessageBox>(app); }, [&] { Click(drive, kYes[0], kYes[1]); })
            .When([&] { return Top<TutorialScreen>(app); },
                  [&] {
                      tutorialShown = true;
                      Click(drive, kTutorialOk[0], kTutorialOk[1]);
                  });
        Click(drive, kNewGame[0], kNewGame[1]);
        drive.Step(3);
        EXPECT_TRUE(script.Done());
    }
    EXPECT_TRUE(tutorialShown);
    EXPECT_TRUE(app.mTransitionRunning);
    drive.StepUntil([&] { return app.mSession != nullptr; }, 100);
    EXPECT_NE(dynamic_cast<GauntletSession*>(app.mSession), nullptr);
    EXPECT_EQ(app.mMainMenu, nullptr);
    EXPECT_EQ(TestSupport::ReadText(save), "the saved game") << "replaced only when the new game ends";
    EXPECT_NE(ShellKit::LogText().find("screen 2 GauntletSession"), std::string::npos);
}

TEST_F(TitleAndMenuTest, TheTutorialBoardPlaysByItselfAndChangesNoStatistic) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::FinishLoading(drive);
    GameStatistics before = app.mStatistics;
    Board* board = nullptr;
    int movesSeen = 0;
    Script script(app);
    script.When([&] { return Top<TutorialScreen>(app) && Top<TutorialScreen>(app)->GetBoard(); },
                [&] { board = Top<TutorialScreen>(app)->GetBoard(); })
        .When([&] { return board->mAutoMovesMade >= 3; },
              [&] {
                  movesSeen = board->mAutoMovesMade;
                  EXPECT_EQ(board->mLevelId, TutorialScreen::kLevelId);
                  EXPECT_FLOAT_EQ(board->mRect.x + board->mRect.w * 0.5f, 400.0f);
                  EXPECT_FLOAT_EQ(board->mRect.y, 110.0f);
                  Click(drive, kTutorialOk[0], kTutorialOk[1]);
              });
    app.mStepBudget = app.mUpdateCount + 5000;
    TutorialScreen::Run(&app);
    EXPECT_FALSE(app.mRanOutOfSteps) << "the board made " << (board ? board->mAutoMovesMade : -1) << " moves";
    EXPECT_GE(movesSeen, 3);
    for (int i = 0; i < GameStatistics::kFieldCount; ++i)
        EXPECT_EQ(app.mStatistics.Field(i), before.Field(i)) << "statistic " << i;
    drive.Step(2);
    EXPECT_EQ(ShellKit::Find<TutorialScreen>(app), nullptr);
}

}  // namespace
