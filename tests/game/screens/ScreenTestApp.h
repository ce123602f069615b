// The game application as the screen tests drive it: the generated art and fonts, the message
// box answered from a script and recorded, beeps counted. Drawing is headless unless `software`
// asks for the software device (pictures then land in its back buffer).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/core/AppTestDriver.h"
#include "engine/draw/SoftwareGraphics.h"
#include "game/GameApp.h"
#include "game/GeneratedArt.h"
#include "platform/FileSystem.h"
#include "platform/KeyCodes.h"
#include "TestSupport.h"

class ScreenTestApp : public GameApp {
public:
    static inline bool sSoftware = false;

    Graphics* CreateGraphics() override {
        return sSoftware ? static_cast<Graphics*>(new SoftwareGraphics(800, 600)) : new Graphics();
    }
    bool MessageBox(const std::string& title, const std::string& text, const std::string& buttons) override {
        if (mThemedMessages) return GameApp::MessageBox(title, text, buttons);
        mMessages.push_back(text);
        mMessageButtons.push_back(buttons);
        if (mAnswers.empty()) return true;
        bool answer = mAnswers.front();
        mAnswers.pop_front();
        return answer;
    }
    void Beep() override { ++mBeeps; }

    std::vector<std::string> mMessages;
    std::vector<std::string> mMessageButtons;
    std::deque<bool> mAnswers;
    int mBeeps = 0;
    bool mThemedMessages = false;  // the game's own message box, answered through the loop
};

// A player inside the loop: a gadget in the top tree that runs `act` once `ready` holds. Being
// in the tree, it is updated inside the modal loops of dialogs that a test cannot step itself.
template <class Ready, class Act>
class ScriptedPlayer : public Gadget {
public:
    ScriptedPlayer(Ready ready, Act act) : mReady(ready), mAct(act) { mNoHitTest = true; }
    void Update() override {
        if (mDone || !mReady()) return;
        mDone = true;
        mAct();
    }
    bool mDone = false;

private:
    Ready mReady;
    Act mAct;
};

// A fresh data folder, the generated art as resources, and a started application.
class ScreenTestBase {
public:
    explicit ScreenTestBase(bool software = false) {
        TestSupport::EmptyDataFolder();
        if (!GeneratedArt::Root().empty()) Files::SetResourceRoot(GeneratedArt::Root().string());
        ScreenTestApp::sSoftware = software;
        drive = std::make_unique<AppTestDriver<ScreenTestApp>>();
        app = drive->app.get();
    }
    ~ScreenTestBase() { ScreenTestApp::sSoftware = false; }

    // Types text and presses Enter, all queued for the next update.
    void TypeAndEnter(const std::string& text) {
        if (!text.empty()) drive->Type(text);
        drive->KeyPress(kKeyEnter);
        drive->KeyRelease(kKeyEnter);
    }
    void Click(float x, float y) {
        drive->MoveTo(int(x), int(y));
        drive->Press(int(x), int(y));
        drive->Release(int(x), int(y));
    }
    static std::string DataPath(const std::string& relative) { return Files::DataRoot() + "/" + relative; }
    // Runs `act` as soon as `ready` holds, from inside whatever loop is running.
    template <class Ready, class Act>
    Gadget* When(Ready ready, Act act) {
        auto* player = new ScriptedPlayer<Ready, Act>(ready, act);
        app->mGadgets.Add(player);
        return player;
    }
    // Types `text` and Enter as soon as `ready` holds.
    template <class Ready>
    Gadget* TypeWhen(Ready ready, const std::string& text) {
        return When(ready, [this, text] { TypeAndEnter(text); });
    }
    // The configuration file the application reads its profiles from.
    std::string ConfigPath() const { return app->mConfigPath.empty() ? std::string("game.cfg") : app->mConfigPath; }
    // Types a long text in pieces the window's text events can carry.
    void TypeLong(const std::string& text) {
        for (size_t i = 0; i < text.size(); i += 16) drive->Type(text.substr(i, 16));
    }

    std::unique_ptr<AppTestDriver<ScreenTestApp>> drive;
    ScreenTestApp* app = nullptr;
};
