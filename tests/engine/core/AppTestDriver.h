// Drives the real application loop in tests: the app runs on the dummy video driver with a clock
// the test owns, input is pushed through the window exactly as the window system delivers it,
// and the test runs whole update steps or drawn frames, then inspects the gadgets.
//
//   AppTestDriver<> drive;                 // or AppTestDriver<MyApp> for an App subclass
//   drive.app->mGadgets.Add(board);
//   drive.Press(100, 100); drive.MoveTo(140, 100); drive.Release(140, 100);
//   drive.Step();                          // handles everything pushed so far
//
// Positions are window pixels; the window is 800x600, so they equal logical pixels.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "engine/core/App.h"
#include "platform/Clock.h"
#include "platform/Window.h"

// A clock that only moves when told to, or when the loop sleeps.
class FakeClock : public Clock {
public:
    uint32_t Milliseconds() override { return mNow; }
    void Sleep(uint32_t milliseconds) override {
        mNow += milliseconds;
        mSlept += milliseconds;
    }
    void Advance(int64_t milliseconds) { mNow = uint32_t(int64_t(mNow) + milliseconds); }

    uint32_t mNow = 100000;
    uint64_t mSlept = 0;
};

template <class AppType = App>
class AppTestDriver {
public:
    // Builds the app, gives it the fake clock and a keyboard the test controls, and runs Go.
    explicit AppTestDriver(bool go = true) : app(std::make_unique<AppType>()) {
        app->SetClock(&clock);
        if (go) Start();
    }

    ~AppTestDriver() {
        app.reset();
    }

    void Start() {
        app->Go();
        UseTestKeyboard();
        // Events left over from an earlier app in this process belong to no window of ours.
        if (app->mWindow) app->mWindow->Pump([](const PlatformEvent&) {});
        app->ResetTiming();
    }

    // The keyboard snapshot reads `keys` (scan codes, 0x80 = down) from now on.
    void UseTestKeyboard() {
        app->mInput.Init([this](uint8_t* state) {
            std::memcpy(state, keys, sizeof(keys));
            return keyboardPresent;
        });
    }

    // The window the input goes through. Only one app may exist at a time: a second one finds
    // the first holding the single-instance lock and gets no window (this aborts loudly).
    Window& W() {
        if (!app->mWindow) {
            std::fprintf(stderr, "AppTestDriver: the app has no window (another App still alive?)\n");
            std::abort();
        }
        return *app->mWindow;
    }

    // ---- input, through the window ----
    void MoveTo(int x, int y) { W().PushMouseMove(x, y); }
    void Press(int x, int y, int button = -1) { W().PushMouseButton(button, true, x, y, 1); }
    void Release(int x, int y, int button = -1) { W().PushMouseButton(button, false, x, y, 1); }
    void DoubleClick(int x, int y) {
        W().PushMouseButton(-1, true, x, y, 1);
        W().PushMouseButton(-1, false, x, y, 1);
        W().PushMouseButton(-1, true, x, y, 2);
        W().PushMouseButton(-1, false, x, y, 2);
    }
    // Press, move in `moves` even steps, release; one update step after each event.
    void DragFromTo(int x0, int y0, int x1, int y1, int moves = 4) {
        Press(x0, y0);
        Step();
        for (int i = 1; i <= moves; ++i) {
            MoveTo(x0 + (x1 - x0) * i / moves, y0 + (y1 - y0) * i / moves);
            Step();
        }
        Release(x1, y1);
        Step();
    }
    void KeyPress(int keyCode) { W().PushKey(keyCode, true); }
    void KeyRelease(int keyCode) { W().PushKey(keyCode, false); }
    void Type(const std::string& utf8) { W().PushText(utf8); }
    void Focus(bool focused) { W().PushFocus(focused); }
    void Close() { W().PushClose(); }
    // Holds or lets go of a key in the keyboard snapshot (scan code).
    void Hold(int scanCode, bool down = true) { keys[scanCode & 0xFF] = down ? 0x80 : 0; }

    // ---- running the real loop ----
    // Runs frames until `count` more update steps have run. Input pushed before is handled in
    // the first of them.
    void Step(int count = 1) {
        for (int i = 0; i < count; ++i) {
            int target = app->mUpdateCount + 1;
            for (int guard = 0; guard < 1000 && app->mUpdateCount < target && !app->mQuit; ++guard) {
                uint32_t before = clock.mNow;
                int frames = app->mFramesDrawn;
                app->RunFrame();
                // A pass that neither slept nor drew waits for real time to pass.
                if (clock.mNow == before && frames == app->mFramesDrawn && app->mUpdateCount < target) clock.Advance(1);
            }
        }
    }
    // Steps until `done()` holds or `maxSteps` steps have run; returns whether it held.
    template <class Predicate>
    bool StepUntil(Predicate done, int maxSteps = 1000) {
        for (int i = 0; i < maxSteps && !done(); ++i) Step();
        return done();
    }
    // Runs frames until one more frame has been drawn: at once after the next update step (or
    // now, when one ran since the last frame), whatever the frame pacing says.
    void Frame() {
        app->DrawSoon();
        int target = app->mFramesDrawn + 1;
        for (int guard = 0; guard < 1000 && app->mFramesDrawn < target && !app->mQuit; ++guard) app->RunFrame();
    }
    // One pass of the loop, nothing more.
    void RunFrame() { app->RunFrame(); }

    FakeClock clock;
    uint8_t keys[256] = {};
    bool keyboardPresent = true;
    std::unique_ptr<AppType> app;
};
