// Drives the whole game shell headless: the real GameApp with its title screen, loader thread,
// faders and modal dialogs, input through the window, and scripts that act from inside the
// update steps (where modal dialogs run their own loops).
//
//   AppTestDriver<ShellApp> drive;
//   ShellKit::FinishLoading(drive);            // title ready, LoadingDone run
//   Script script(*drive.app);
//   script.When([&] { return ShellKit::Top<ModePicker>(*drive.app); }, [&] { ShellKit::Click(drive, 399, 386); });
//   ShellKit::Click(drive, 401, 297);          // New game: the picker runs inside this step
//   drive.Step();
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/AppTestDriver.h"
#include "engine/core/Graphics.h"
#include "engine/draw/SoftwareGraphics.h"
#include "game/GameApp.h"
#include "support/DebugLog.h"
#include "TestSupport.h"

// The game as the tests run it.
class ShellApp : public GameApp {
public:
    // The software device (for screenshots) instead of the headless one; set before the driver.
    inline static bool sSoftwareDevice = false;

    Graphics* CreateGraphics() override {
        return sSoftwareDevice ? new SoftwareGraphics(800, 600) : GameApp::CreateGraphics();
    }
    void Update() override {
        if (mOnStep) mOnStep();
        GameApp::Update();
        // A script that never closes a dialog would otherwise run its modal loop for ever.
        if (mUpdateCount > mStepBudget && !mQuit) {
            mRanOutOfSteps = true;
            Quit();
        }
    }
    // The loading thread: the real steps when asked, otherwise it stops at step 60 until the
    // test lets it finish.
    void LoadResources() override {
        if (mRealLoading) {
            GameApp::LoadResources();
            return;
        }
        mLoadingTotal = kLoadingSteps;
        mLoadingStep = 60;
        while (!mMayFinishLoading && !mQuit) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        mLoadingStep = kLoadingSteps;
    }
    // The profile screen has tests of its own; here it only counts.
    int ShowProfiles(bool firstRun) override {
        ++mProfileScreens;
        mProfileFirstRun = firstRun;
        return 1;
    }

    std::function<void()> mOnStep;
    int mStepBudget = 200000;
    bool mRanOutOfSteps = false;
    bool mRealLoading = false;
    std::atomic<bool> mMayFinishLoading{true};
    int mProfileScreens = 0;
    bool mProfileFirstRun = false;
};

// Acts from inside the update steps: each entry waits for its condition, then acts once, in
// order. Installed as the app's step hook while it lives.
class Script {
public:
    explicit Script(ShellApp& app) : mApp(app) {
        mApp.mOnStep = [this] { Run(); };
    }
    ~Script() { mApp.mOnStep = nullptr; }
    Script& When(std::function<bool()> condition, std::function<void()> action) {
        mEntries.push_back({std::move(condition), std::move(action)});
        return *this;
    }
    // `updates` update steps after the entry before it acted (its input has been handled by then).
    Script& Then(std::function<void()> action, int updates = 3) {
        return When([this, updates] { return mApp.mUpdateCount >= mLastActed + updates; }, std::move(action));
    }
    bool Done() const { return mNext == mEntries.size(); }
    size_t Reached() const { return mNext; }

private:
    void Run() {
        // An action that runs frames itself (a screenshot) must not start the next one.
        if (mRunning) return;
        if (mNext < mEntries.size() && mEntries[mNext].condition()) {
            mRunning = true;
            mEntries[mNext++].action();
            mLastActed = mApp.mUpdateCount;
            mRunning = false;
        }
    }
    struct Entry {
        std::function<bool()> condition;
        std::function<void()> action;
    };
    ShellApp& mApp;
    std::vector<Entry> mEntries;
    size_t mNext = 0;
    int mLastActed = 0;
    bool mRunning = false;
};

namespace ShellKit {

// The topmost live gadget of type T on the top level, or null.
template <class T>
T* Top(App& app) {
    const auto& items = app.mGadgets.mList.Items();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        auto* gadget = dynamic_cast<Gadget*>(static_cast<Object*>(*it));
        if (gadget && !gadget->mKilled) return dynamic_cast<T*>(gadget);
    }
    return nullptr;
}

// Some live gadget of type T on the top level, or null.
template <class T>
T* Find(App& app) {
    for (void* item : app.mGadgets.mList.Items()) {
        auto* gadget = dynamic_cast<T*>(static_cast<Object*>(item));
        if (gadget && !gadget->mKilled) return gadget;
    }
    return nullptr;
}

// A left click at a point of the logical screen (handled in the next update step); the point is
// carried through the window's scale and bars, so it also lands in full screen.
template <class AppType>
void Click(AppTestDriver<AppType>& drive, int x, int y) {
    if (const Graphics* g = drive.app->mGraphics) {
        x = int(float(x) * g->mScaleX + g->mOffsetX + 0.5f);
        y = int(float(y) * g->mScaleY + g->mOffsetY + 0.5f);
    }
    drive.MoveTo(x, y);
    drive.Press(x, y);
    drive.Release(x, y);
}

// Steps until the loader thread has ended and LoadingDone has run. The thread runs in real
// time, and on a busy machine it may not run for a while: the wait is real time too.
inline void WaitUntilLoaded(AppTestDriver<ShellApp>& drive) {
    ShellApp& app = *drive.app;
    for (int i = 0; i < 20000 && !(app.mLoaded && !app.mJustLoaded); ++i) {
        drive.Step();
        if (!app.mLoaded) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    drive.Step();
}

// Lets the loader end and steps until LoadingDone has run: the title shows its play button.
inline void FinishLoading(AppTestDriver<ShellApp>& drive) {
    drive.app->mMayFinishLoading = true;
    drive.app->StartLoader();
    WaitUntilLoaded(drive);
}

// From the title to the main menu through the play button, fade finished.
inline void ToMainMenu(AppTestDriver<ShellApp>& drive) {
    FinishLoading(drive);
    Click(drive, 400, 450);
    drive.StepUntil([&] { return drive.app->mMainMenu != nullptr && !drive.app->mTransitionRunning; }, 200);
}

// The debug log so far.
inline std::string LogText() {
    std::string path = DebugLog::FilePath();
    return path.empty() ? std::string() : TestSupport::ReadText(path);
}

}  // namespace ShellKit
