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
        (void)title;
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
};

// A player who types when a dialog shows: a gadget in the top tree that, once `ready` holds,
// pushes its text (and Enter) through the window. Being in the tree, it is updated inside the
// modal loops of dialogs that a test cannot step itself.
template <class Ready>
class ScriptedTyping : public Gadget {
public:
    ScriptedTyping(Window& window, std::string text, Ready ready) : mWindow(window), mText(std::move(text)), mReady(ready) {
        mNoHitTest = true;
        mClip = false;
    }
    void Update() override {
        if (mDone || !mReady()) return;
        mDone = true;
        if (!mText.empty()) mWindow.PushText(mText);
        mWindow.PushKey(kKeyEnter, true);
        mWindow.PushKey(kKeyEnter, false);
    }
    bool mDone = false;

private:
    Window& mWindow;
    std::string mText;
    Ready mReady;
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
    // Types `text` and Enter as soon as `ready` holds, from inside whatever loop is running.
    template <class Ready>
    ScriptedTyping<Ready>* TypeWhen(Ready ready, const std::string& text) {
        auto* typist = new ScriptedTyping<Ready>(drive->W(), text, ready);
        app->mGadgets.Add(typist);
        return typist;
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
