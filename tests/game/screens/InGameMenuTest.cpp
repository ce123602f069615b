// The dialogs over a game and over the menu: the themed message box and its answers, the quick
// menu with the options on top of it, the options' volume, display and renderer, and the pause
// card with the P key.
#include <gtest/gtest.h>

#include <thread>

#include "engine/audio/Audio.h"
#include "engine/draw/DisplaySettings.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/ScreenFader.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/screens/MainMenu.h"
#include "game/screens/MessageBox.h"
#include "game/screens/OptionsDialog.h"
#include "game/screens/PauseOverlay.h"
#include "game/screens/QuickMenu.h"
#include "persistence/Registry.h"
#include "platform/KeyCodes.h"
#include "game/ShellTestKit.h"

namespace {

using ShellKit::Click;
using ShellKit::Top;

constexpr int kOk[] = {400, 501}, kYes[] = {315, 501}, kNo[] = {485, 501};
constexpr int kMenuButton[] = {650, 30};
constexpr int kQuickBack[] = {399, 271}, kQuickOptions[] = {399, 336}, kQuickLeave[] = {399, 401};
constexpr int kOptions[] = {401, 492};
constexpr int kFullscreenOn[] = {304, 328}, kFullscreenOff[] = {304, 356};
constexpr int kSoftware[] = {343, 431}, kAccelerated[] = {343, 403}, kDone[] = {399, 505};

class InGameMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::EmptyDataFolder();
        ShellApp::sSoftwareDevice = false;
    }

    // A Gauntlet game through its fader, the fade finished.
    static void StartGauntlet(AppTestDriver<ShellApp>& drive) {
        ShellKit::FinishLoading(drive);
        drive.app->GoToNewGauntlet();
        drive.StepUntil([&] { return drive.app->mSession && !drive.app->mTransitionRunning; }, 200);
        drive.Step(2);
    }
};

TEST_F(InGameMenuTest, MessageBoxAnswersOneForOkAndYesAndZeroForNo) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::FinishLoading(drive);
    const struct {
        const char* buttons;
        const int* click;
        int key;
        bool expected;
    } cases[] = {
        {"OK", kOk, 0, true},         {"YESNO", kYes, 0, true},        {"yesno", kNo, 0, false},
        {"YesNo", nullptr, kKeyEscape, false}, {"YESNO", nullptr, kKeyEnter, true}, {"OK", nullptr, kKeyEscape, true},
    };
    for (const auto& c : cases) {
        std::string text;
        Script script(app);
        script.When([&] { return Top<MessageBox>(app); },
                    [&] {
                        text = Top<MessageBox>(app)->mText;
                        if (c.click)
                            Click(drive, c.click[0], c.click[1]);
                        else
                            drive.KeyPress(c.key);
                    });
        EXPECT_EQ(app.MessageBox("Title", "Some text", c.buttons), c.expected) << c.buttons;
        EXPECT_EQ(text, "Some text") << "the title is not shown";
        drive.Step(2);
        EXPECT_EQ(ShellKit::Find<MessageBox>(app), nullptr);
    }
    // Off the main thread (a sound failing to load, say) the desktop's box answers, and the
    // game's screens are not touched from there.
    bool answer = false;
    std::thread other([&] { answer = app.MessageBox("Sound Error", "Could not load sound (3)", "YESNO"); });
    other.join();
    EXPECT_TRUE(answer);
    EXPECT_EQ(ShellKit::Find<MessageBox>(app), nullptr);
    EXPECT_NE(ShellKit::LogText().find("Could not load sound (3)"), std::string::npos);
}

TEST_F(InGameMenuTest, OptionsOpenedFromTheQuickMenuReturnToItAndLeavingGoesToTheMainMenu) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    StartGauntlet(drive);
    GameSession* session = app.mSession;
    ASSERT_NE(session, nullptr);
    BoardContainer* level = session->mBoard;
    ASSERT_NE(level, nullptr);

    bool quickMenuPaused = false, backInQuickMenu = false;
    Script script(app);
    script.When([&] { return Top<QuickMenu>(app); },
                [&] {
                    quickMenuPaused = level->mPauseCount > 0;
                    Click(drive, kQuickOptions[0], kQuickOptions[1]);
                })
        .When([&] { return Top<OptionsDialog>(app); }, [&] { Click(drive, kDone[0], kDone[1]); })
        .When([&] { return !ShellKit::Find<OptionsDialog>(app) && Top<QuickMenu>(app); },
              [&] {
                  backInQuickMenu = Top<QuickMenu>(app) != nullptr;
                  Click(drive, kQuickBack[0], kQuickBack[1]);
              });
    Click(drive, kMenuButton[0], kMenuButton[1]);
    drive.Step(3);
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(quickMenuPaused);
    EXPECT_TRUE(backInQuickMenu);
    EXPECT_EQ(level->mPauseCount, 0);
    EXPECT_EQ(app.mSession, session);
    EXPECT_EQ(app.mKeyboardFocus, session) << "the pause key works again";
    EXPECT_FALSE(app.mRestart) << "the renderer was not changed";

    // Leaving the game fades to the main menu.
    Script leave(app);
    leave.When([&] { return Top<QuickMenu>(app); }, [&] { Click(drive, kQuickLeave[0], kQuickLeave[1]); });
    Click(drive, kMenuButton[0], kMenuButton[1]);
    drive.StepUntil([&] { return app.mMainMenu != nullptr; }, 100);
    EXPECT_EQ(app.mSession, nullptr);
}

TEST_F(InGameMenuTest, TheQuickMenuStaysShutWhileTheLevelIsEnding) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    StartGauntlet(drive);
    app.mStepBudget = app.mUpdateCount + 200;
    app.GoToMainMenu();
    Click(drive, kMenuButton[0], kMenuButton[1]);
    drive.Step(2);
    EXPECT_EQ(ShellKit::Find<QuickMenu>(app), nullptr);
    EXPECT_FALSE(app.mRanOutOfSteps);
}

TEST_F(InGameMenuTest, OptionsSetTheVolumeAndTheDisplayAndAChangedRendererSurvivesTheRestart) {
    {
        AppTestDriver<ShellApp> drive;
        ShellApp& app = *drive.app;
        ShellKit::ToMainMenu(drive);
        Audio::Get().SetVolume(1.0f);
        bool windowedAfterwards = true;
        Script script(app);
        script.When([&] { return Top<OptionsDialog>(app); },
                    // A press on the groove half way along.
                    [&] { Click(drive, 320 + 15 + 262 / 2, 272); })
            .Then([&] { Click(drive, kFullscreenOn[0], kFullscreenOn[1]); })
            .Then([&] {
                windowedAfterwards = !app.IsFullscreen();
                Click(drive, kFullscreenOff[0], kFullscreenOff[1]);
            })
            .Then([&] { Click(drive, kSoftware[0], kSoftware[1]); })
            .Then([&] { Click(drive, kAccelerated[0], kAccelerated[1]); })
            .Then([&] { Click(drive, kDone[0], kDone[1]); });
        Click(drive, kOptions[0], kOptions[1]);
        drive.Step(3);
        EXPECT_TRUE(script.Done());
        EXPECT_NEAR(Audio::Get().Volume(), 0.5f, 0.01f);
        EXPECT_FALSE(windowedAfterwards) << "full screen at once";
        EXPECT_FALSE(app.IsFullscreen());
        EXPECT_FALSE(app.mRestart) << "the same renderer as before";
        {
            // (A settings store writes itself back when it goes: it must go before the game
            // writes the file again.)
            Registry config;
            config.Load("game.cfg");
            EXPECT_TRUE(config.Exists("Fullscreen") && !config.GetBool("Fullscreen"));
            EXPECT_EQ(config.GetInt("Volume"), 50);
        }

        Script again(app);
        again.When([&] { return Top<OptionsDialog>(app); }, [&] { Click(drive, kSoftware[0], kSoftware[1]); })
            .Then([&] { Click(drive, kDone[0], kDone[1]); });
        Click(drive, kOptions[0], kOptions[1]);
        drive.Step(3);
        EXPECT_TRUE(app.mRestart && app.mQuit);
    }
    // The next application starts with what was chosen.
    Registry config;
    config.Load("game.cfg");
    DisplaySettings settings;
    settings.Read(config, "", DisplaySettings::Preferences());
    EXPECT_TRUE(settings.mSoftware);
    EXPECT_EQ(settings.mWidth, 800);
    EXPECT_EQ(settings.mHeight, 600);

    // The restarted game goes on at the main menu once loaded. A switch on the command line
    // decides the renderer: then the options leave it alone.
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    app.mAfterRestart = true;
    app.mCommandLine = "-software";
    ShellKit::FinishLoading(drive);
    drive.StepUntil([&] { return app.mMainMenu && !app.mTransitionRunning; }, 200);
    ASSERT_NE(app.mMainMenu, nullptr);
    Script script(app);
    script.When([&] { return Top<OptionsDialog>(app); }, [&] { Click(drive, kAccelerated[0], kAccelerated[1]); })
        .Then([&] { Click(drive, kDone[0], kDone[1]); });
    Click(drive, kOptions[0], kOptions[1]);
    drive.Step(3);
    EXPECT_FALSE(app.mRestart);
}

TEST_F(InGameMenuTest, PTwicePausesAndResumesButNotDuringAFade) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::FinishLoading(drive);
    app.GoToNewGauntlet();
    drive.StepUntil([&] { return app.mSession != nullptr; }, 100);
    GameSession* session = app.mSession;
    ASSERT_TRUE(session && app.mTransitionRunning);
    drive.Type("p");
    drive.Step();
    EXPECT_FALSE(session->IsPaused()) << "during the fade";
    EXPECT_EQ(ShellKit::Find<PauseOverlay>(app), nullptr);

    drive.StepUntil([&] { return !app.mTransitionRunning; }, 100);
    drive.Step(2);
    Board* board = session->mBoard ? session->mBoard->GetBoard() : nullptr;
    ASSERT_NE(board, nullptr);
    drive.Type("P");
    drive.Step();
    EXPECT_TRUE(session->IsPaused());
    EXPECT_EQ(session->mPauseCount, 1);
    EXPECT_NE(Top<PauseOverlay>(app), nullptr);
    int frame = board->mFrameCounter;
    drive.Step(20);
    EXPECT_EQ(board->mFrameCounter, frame) << "the board stands still";

    drive.Type("p");
    drive.Step(2);
    EXPECT_FALSE(session->IsPaused());
    EXPECT_EQ(session->mPauseCount, 0);
    EXPECT_EQ(ShellKit::Find<PauseOverlay>(app), nullptr);
    EXPECT_EQ(app.mKeyboardFocus, session);
    drive.Step(5);
    EXPECT_GT(board->mFrameCounter, frame);
    // A crash report would name where the game was.
    EXPECT_EQ(app.GetExtraInfo(), "Board::Update");

    // A click dismisses the card too, and the click goes nowhere else.
    drive.Type("p");
    drive.Step();
    ASSERT_TRUE(session->IsPaused());
    Click(drive, kMenuButton[0], kMenuButton[1]);
    drive.Step(2);
    EXPECT_FALSE(session->IsPaused());
    EXPECT_EQ(ShellKit::Find<QuickMenu>(app), nullptr);
}

}  // namespace
