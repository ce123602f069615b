// The menus and dialogs without a mouse, through the real loop: Tab and the arrows move between
// the buttons, Enter presses, Escape cancels a dialog; in play Escape (or the controller's Start)
// opens the quick menu and Escape (or B) goes back to the game.
#include <gtest/gtest.h>

#include "engine/controls/Button.h"
#include "game/GameSession.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/screens/MainMenu.h"
#include "game/screens/MessageBox.h"
#include "game/screens/ModePicker.h"
#include "game/screens/PictureButton.h"
#include "game/screens/OptionsDialog.h"
#include "game/screens/QuickMenu.h"
#include "platform/KeyCodes.h"
#include "game/ShellTestKit.h"

namespace {

using ShellKit::Top;

void Key(AppTestDriver<ShellApp>& drive, int key) {
    drive.KeyPress(key);
    drive.KeyRelease(key);
}

class KeyboardMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::EmptyDataFolder();
        ShellApp::sSoftwareDevice = false;
    }
};

}  // namespace

TEST_F(KeyboardMenuTest, TheMainMenuAndItsDialogsAnswerTheKeys) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::ToMainMenu(drive);
    MainMenu* menu = app.mMainMenu;
    ASSERT_NE(menu, nullptr);
    // Reading order: the profile bar at the top, the four big buttons, the exit button.
    Key(drive, kKeyTab);
    drive.Step();
    EXPECT_EQ(app.mFocus, static_cast<Gadget*>(menu->mChangeProfile));
    for (Gadget* expected : {static_cast<Gadget*>(menu->mNewGame), static_cast<Gadget*>(menu->mContinue)}) {
        Key(drive, kKeyDown);
        drive.Step();
        EXPECT_EQ(app.mFocus, expected);
    }
    Key(drive, kKeyUp);
    drive.Step();
    ASSERT_EQ(app.mFocus, static_cast<Gadget*>(menu->mNewGame));

    // New game: the mode picker's buttons by the arrows, then Escape cancels it.
    bool pickerSeen = false;
    Gadget* pickerFocus = nullptr;
    Script script(app);
    script.When([&] { return Top<ModePicker>(app); },
                [&] {
                    pickerSeen = true;
                    Key(drive, kKeyDown);
                    Key(drive, kKeyDown);
                })
        .Then([&] {
            pickerFocus = app.mFocus;
            EXPECT_EQ(pickerFocus, static_cast<Gadget*>(Top<ModePicker>(app)->mGauntlet));
            Key(drive, kKeyEscape);
        });
    Key(drive, kKeyEnter);
    drive.StepUntil([&] { return script.Done() && !Top<ModePicker>(app); }, 300);
    EXPECT_TRUE(pickerSeen);
    drive.Step(3);
    EXPECT_EQ(app.mSession, nullptr) << "Escape cancelled the new game";
    EXPECT_EQ(Top<MainMenu>(app), menu);

    // A question answered NO by the arrows and Enter, another YES by the controller's A.
    for (bool yes : {false, true}) {
        Script answer(app);
        answer.When([&] { return Top<MessageBox>(app); },
                    [&] {
                        if (yes) {
                            drive.W().PushPadButton(GameControllers::Button::kRight, true);
                            drive.W().PushPadButton(GameControllers::Button::kA, true);
                        } else {
                            Key(drive, kKeyRight);
                            Key(drive, kKeyRight);
                            Key(drive, kKeyEnter);
                        }
                    });
        EXPECT_EQ(app.MessageBox("Title", "Sure?", "YESNO"), yes);
    }
}

TEST_F(KeyboardMenuTest, EscapeAndStartOpenTheQuickMenuInPlayAndLeaveNoSlideHalfMade) {
    AppTestDriver<ShellApp> drive;
    ShellApp& app = *drive.app;
    ShellKit::FinishLoading(drive);
    app.GoToNewGauntlet();
    drive.StepUntil([&] { return app.mSession && !app.mTransitionRunning; }, 200);
    drive.Step(2);
    GameSession* session = app.mSession;
    ASSERT_NE(session, nullptr);
    Board* board = session->mBoard ? session->mBoard->GetBoard() : nullptr;
    ASSERT_NE(board, nullptr);
    ASSERT_EQ(app.mKeyboardFocus, session);

    struct Way {
        const char* name;
        bool pad;
    } ways[] = {{"keyboard", false}, {"controller", true}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        drive.StepUntil([&] { return board->CanMakeMove() && !board->mSnapbackActive && !board->IsAnythingFalling(); }, 500);
        // A slide under way when the menu is asked for.
        Key(drive, kKeyRight);
        drive.KeyPress(kKeyShift);
        Key(drive, kKeyRight);
        drive.KeyRelease(kKeyShift);
        drive.Step(2);
        bool sliding = board->IsKeySliding();
        bool menuSeen = false, halfMade = true;
        Script script(app);
        script.When([&] { return Top<QuickMenu>(app); },
                    [&] {
                        menuSeen = true;
                        halfMade = board->IsKeySliding() || board->mPlayerDragActive;
                        if (way.pad)
                            drive.W().PushPadButton(GameControllers::Button::kB, true);
                        else
                            Key(drive, kKeyEscape);
                    });
        if (way.pad)
            drive.W().PushPadButton(GameControllers::Button::kStart, true);
        else
            Key(drive, kKeyEscape);
        drive.StepUntil([&] { return script.Done(); }, 100);
        drive.Step(3);
        EXPECT_TRUE(menuSeen);
        if (sliding) {
            EXPECT_FALSE(halfMade) << "the slide was finished before the menu";
        }
        EXPECT_EQ(Top<QuickMenu>(app), nullptr) << "back in the game";
        EXPECT_EQ(app.mSession, session);
        EXPECT_EQ(app.mKeyboardFocus, session);
        EXPECT_EQ(session->mBoard->mPauseCount, 0);
        if (way.pad) {
            drive.W().PushPadButton(GameControllers::Button::kB, false);
            drive.W().PushPadButton(GameControllers::Button::kStart, false);
        }
    }
}
