// The shell's screens drawn with the generated art through the software device, in the order a
// player meets them: the title while loading and when ready, a fade half way, the main menu, the
// mode picker, the overwrite question, the options, the tutorial, the quick menu over a game and the
// pause card. Each shot is written as a PNG ($QS_SHOT_DIR, else /tmp) to be looked at; the checks
// catch a dialog that draws nothing or a hover state that does not show.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "board/BoardRandom.h"
#include "engine/audio/Audio.h"
#include "engine/draw/HeadlessShot.h"
#include "game/GameSession.h"
#include "game/GeneratedArt.h"
#include "game/ScreenFader.h"
#include "game/rules/Board.h"
#include "game/screens/MainMenu.h"
#include "game/screens/MessageBox.h"
#include "game/screens/ModePicker.h"
#include "game/screens/OptionsDialog.h"
#include "game/screens/PauseOverlay.h"
#include "game/screens/QuickMenu.h"
#include "game/screens/TitleScreen.h"
#include "game/screens/TutorialScreen.h"
#include "persistence/GameFiles.h"
#include "platform/FileSystem.h"
#include "game/ShellTestKit.h"
#include "game/ShotKit.h"

namespace {

using ShotKit::ShotPath;
using ShotKit::PixelAt;

using ShellKit::Click;
using ShellKit::Top;

int Brightness(uint32_t rgb) { return int((rgb >> 16) & 255) + int((rgb >> 8) & 255) + int(rgb & 255); }

class ShellScreenShot : public ::testing::Test {
protected:
    void SetUp() override {
        if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no resources";
        TestSupport::EmptyDataFolder();
        mResourceRoot = Files::ResourceRoot();
        Files::SetResourceRoot(GeneratedArt::Root().string());
        ShellApp::sSoftwareDevice = true;
        ProgramRandom().Seed(5);
    }
    void TearDown() override {
        ShellApp::sSoftwareDevice = false;
        Files::SetResourceRoot(mResourceRoot);
    }
    std::string mResourceRoot;
};

TEST_F(ShellScreenShot, FromTheTitleIntoAGame) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    auto shot = [&](const char* name) { EXPECT_TRUE(HeadlessShot::Write(drive, ShotPath(name))) << name; };

    // The title while the bar fills (the loader waits at step 60 of 138), faded in.
    app.mMayFinishLoading = false;
    app.StartLoader();
    for (int wait = 0; wait < 5000 && app.mLoadingStep.load() != 60; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    drive.Step(110);
    shot("shell-title-loading.png");
    // The bar: filled on the left, empty on the right.
    EXPECT_NE(PixelAt(app, 200, 452), PixelAt(app, 580, 452));

    // Loaded (the real steps, for the pictures every other screen needs), the play button lit.
    app.mMayFinishLoading = true;
    ShellKit::WaitUntilLoaded(drive);
    app.mRealLoading = true;
    // (Writing the decoded-sound cache only costs time here.)
    Audio::Get().SetWriteCache(false);
    app.LoadResourcesNow();
    drive.StepUntil([&] { return app.mTitleScreen->IsReady(); }, 100);
    drive.MoveTo(400, 450);
    drive.Step(60);
    shot("shell-title-ready.png");

    // A fade half way, then the main menu with the mouse on NEW GAME.
    Click(drive, 400, 450);
    drive.Step(22);
    ASSERT_NE(Top<ScreenFader>(app), nullptr);
    shot("shell-fader-midway.png");
    drive.StepUntil([&] { return app.mMainMenu && !app.mTransitionRunning; }, 200);
    drive.MoveTo(401, 297);
    drive.Step(3);
    shot("shell-main-menu.png");
    uint32_t menuCorner = PixelAt(app, 20, 300);
    // The change-profile pill underlined under the mouse.
    uint32_t underPill = PixelAt(app, 400, 55);
    drive.MoveTo(400, 50);
    drive.Step(3);
    shot("shell-main-menu-change-profile.png");
    EXPECT_NE(PixelAt(app, 400, 55), underPill);

    // Options, the mouse on the chosen drawing row (this device draws in software): its mark
    // shows over the row's lit face.
    {
        Script script(app);
        script.When([&] { return Top<OptionsDialog>(app); }, [&] { drive.MoveTo(343, 431); })
            .Then([&] {
                shot("shell-options.png");
                uint32_t mark = PixelAt(app, 212, 430);
                EXPECT_TRUE((mark >> 16 & 255) > 200 && (mark & 255) < 120) << std::hex << mark;
                Click(drive, 399, 505);
            });
        Click(drive, 401, 492);
        drive.Step(3);
        EXPECT_TRUE(script.Done());
    }

    // The mode picker (the mouse on GAUNTLET), the overwrite question for a saved journey, then
    // the tutorial before a Gauntlet.
    ASSERT_TRUE(app.mProfiles.Create("Tamsin"));
    TestSupport::WriteBytes(Files::PathForWrite(app.mProfiles.GetProfilePath(GameFiles::kJourneySaveFile)), "saved");
    {
        Script script(app);
        script.When([&] { return Top<ModePicker>(app); }, [&] { drive.MoveTo(399, 386); })
            .Then([&] {
                shot("shell-mode-picker.png");
                // The layer darkens the menu; the hovered button shows its lit picture.
                EXPECT_LT(Brightness(PixelAt(app, 20, 300)), Brightness(menuCorner));
                Click(drive, 399, 321);
            })
            .When([&] { return Top<MessageBox>(app); }, [&] { drive.MoveTo(315, 501); })
            .Then([&] {
                shot("shell-overwrite-question.png");
                Click(drive, 485, 501);
            });
        Click(drive, 401, 297);
        drive.Step(3);
        EXPECT_TRUE(script.Done());
    }
    {
        Script script(app);
        script.When([&] { return Top<ModePicker>(app); }, [&] { Click(drive, 399, 386); })
            .When([&] {
                auto* tutorial = Top<TutorialScreen>(app);
                return tutorial && tutorial->GetBoard() && tutorial->GetBoard()->mAutoMovesMade >= 1 &&
                       tutorial->GetBoard()->mAutoMoveInProgress;
            },
                  [&] {
                      drive.MoveTo(642, 547);
                      drive.Step(60);
                      shot("shell-tutorial.png");
                      Click(drive, 642, 547);
                  });
        app.mStepBudget = app.mUpdateCount + 20000;
        Click(drive, 401, 297);
        drive.Step(3);
        EXPECT_TRUE(script.Done());
    }
    drive.StepUntil([&] { return app.mSession && !app.mTransitionRunning; }, 200);
    drive.Step(100);

    // The quick menu over the game (the mouse on OPTIONS), then the pause card.
    {
        Script script(app);
        script.When([&] { return Top<QuickMenu>(app); }, [&] { drive.MoveTo(399, 336); })
            .Then([&] {
                shot("shell-quick-menu.png");
                Click(drive, 399, 271);
            });
        Click(drive, 650, 30);
        drive.Step(3);
        EXPECT_TRUE(script.Done());
    }
    drive.Type("p");
    drive.Step(2);
    ASSERT_NE(Top<PauseOverlay>(app), nullptr);
    shot("shell-pause.png");
    drive.Type("p");
    drive.Step(2);

    EXPECT_FALSE(app.mRanOutOfSteps);
}

}  // namespace
