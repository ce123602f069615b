// The main loop's timing on a clock the test drives: fixed steps, frames between them, the
// one-second backlog cap, speed, idle sleep, inactivity, loading and quitting.
#include <gtest/gtest.h>

#include <atomic>

#include "AppTestDriver.h"
#include "engine/core/Graphics.h"
#include "platform/KeyCodes.h"
#include "Recorder.h"

namespace {

struct Counts {
    int steps;
    int frames;
};

// Runs `passes` loop passes without moving the clock (sleeps still move it).
template <class Driver>
Counts Passes(Driver& drive, int passes) {
    int steps = drive.app->mUpdateCount, frames = drive.app->mFramesDrawn;
    for (int i = 0; i < passes; ++i) drive.RunFrame();
    return Counts{drive.app->mUpdateCount - steps, drive.app->mFramesDrawn - frames};
}

}  // namespace

TEST(AppLoopTest, SlowMachineRunsNineStepsThenOneFrame) {
    AppTestDriver<> drive;
    drive.clock.Advance(200);  // far behind
    Counts c = Passes(drive, 10);
    EXPECT_EQ(c.steps, 9);
    EXPECT_EQ(c.frames, 1);
    c = Passes(drive, 10);
    EXPECT_EQ(c.steps, 9) << "steps resume after the frame";
    EXPECT_EQ(c.frames, 1);
}

TEST(AppLoopTest, StepsBetweenFramesFollowTheSpeed) {
    const struct {
        float speed;
        int stepsBeforeFrame;
    } cases[] = {{1.0f, 9}, {2.0f, 19}, {0.5f, 4}, {0.05f, 1}};
    for (const auto& c : cases) {
        AppTestDriver<> drive;
        drive.app->SetSpeed(c.speed);
        drive.clock.Advance(1000);
        int steps = 0;
        for (int guard = 0; guard < 100 && drive.app->mFramesDrawn == 0; ++guard) {
            int before = drive.app->mUpdateCount;
            drive.RunFrame();
            steps += drive.app->mUpdateCount - before;
        }
        // Below a tenth of normal speed at least one step still runs between frames.
        EXPECT_EQ(steps, c.stepsBeforeFrame) << "speed " << c.speed;
    }
}

TEST(AppLoopTest, IdlePassSleepsUntilTheNextStepIsDue) {
    AppTestDriver<> drive;
    drive.Step();
    drive.Frame();
    drive.clock.Advance(3);
    uint64_t slept = drive.clock.mSlept;
    Counts c = Passes(drive, 1);
    EXPECT_EQ(c.steps, 0);
    EXPECT_EQ(drive.clock.mSlept - slept, 7u);
    c = Passes(drive, 1);
    EXPECT_EQ(c.steps, 1);
}

TEST(AppLoopTest, ClockJumpsNeitherStormNorStall) {
    for (int64_t jump : {int64_t(3600 * 1000), int64_t(-3600 * 1000)}) {
        AppTestDriver<> drive;
        drive.Step(3);
        drive.clock.Advance(jump);
        // Catching up replays at most one second of steps, then the loop idles again.
        int steps = 0;
        uint64_t sleptBefore = drive.clock.mSlept;
        for (int guard = 0; guard < 1000 && drive.clock.mSlept == sleptBefore; ++guard) {
            int before = drive.app->mUpdateCount;
            drive.RunFrame();
            steps += drive.app->mUpdateCount - before;
        }
        EXPECT_LE(steps, 101) << "jump " << jump;
        // And then runs at its normal rate: 100 steps for one more second of time.
        int before = drive.app->mUpdateCount;
        uint32_t start = drive.clock.mNow;
        while (drive.clock.mNow - start < 1000) drive.RunFrame();
        EXPECT_NEAR(drive.app->mUpdateCount - before, 100, 2) << "jump " << jump;
    }
}

TEST(AppLoopTest, InactiveWindowWithPauseNeitherUpdatesNorDrawsButHandlesMessages) {
    {
        AppTestDriver<> drive;
        drive.app->mPauseWhenInactive = true;
        drive.Focus(false);
        Passes(drive, 1);
        ASSERT_FALSE(drive.app->mActive);
        drive.clock.Advance(500);
        Counts c = Passes(drive, 50);
        EXPECT_EQ(c.steps, 0);
        EXPECT_EQ(c.frames, 0);
        drive.Close();
        Passes(drive, 1);
        EXPECT_TRUE(drive.app->mQuit) << "messages are still handled while paused";
    }
    // Without the pause an inactive window keeps running.
    AppTestDriver<> other;
    other.Focus(false);
    other.clock.Advance(100);
    Counts c = Passes(other, 20);
    EXPECT_GT(c.steps, 0);
}

TEST(AppLoopTest, BecomingActiveDoesNotReplayTheTimeAway) {
    AppTestDriver<> drive;
    drive.app->mPauseWhenInactive = true;
    drive.Focus(false);
    Passes(drive, 1);
    drive.clock.Advance(800);
    drive.Focus(true);
    Passes(drive, 1);
    EXPECT_TRUE(drive.app->mActive);
    EXPECT_LT(drive.app->mAccumulated, 10.0);
}

namespace {

class LoadingApp : public App {
public:
    void LoadResources() override {
        sawKeepRunning = mKeepRunning && mThrottle && !mLoaded;
        while (!release) std::this_thread::yield();
    }
    void LoadingDone() override { ++loadingDone; }
    std::atomic<bool> release{false};
    bool sawKeepRunning = false;
    int loadingDone = 0;
};

}  // namespace

TEST(AppLoopTest, LoaderRunsLoadResourcesThenLoadingDoneOnceInTheNextUpdate) {
    AppTestDriver<LoadingApp> drive;
    drive.app->StartLoader();
    drive.Step(3);
    EXPECT_TRUE(drive.app->mKeepRunning);
    EXPECT_EQ(drive.app->loadingDone, 0);
    drive.app->release = true;
    drive.app->WaitForLoader();
    EXPECT_TRUE(drive.app->sawKeepRunning);
    EXPECT_TRUE(drive.app->mLoaded);
    EXPECT_FALSE(drive.app->mKeepRunning);
    EXPECT_FALSE(drive.app->mThrottle);
    drive.Step(3);
    EXPECT_EQ(drive.app->loadingDone, 1);
}

TEST(AppLoopTest, WindowCloseQuitsAndRunReturns) {
    {
        AppTestDriver<> drive;
        drive.app->StartLoader();  // empty loading
        drive.app->WaitForLoader();
        drive.Close();
        drive.app->Run();
        EXPECT_TRUE(drive.app->mQuit);
        EXPECT_FALSE(drive.app->mRestart);
        EXPECT_FALSE(drive.app->mWindow->IsOpen());
        // Nothing is queued once quitting.
        drive.app->QueueEvent(kMsgMouseMove, 0, 0);
        EXPECT_EQ(drive.app->QueuedEventCount(), 0u);
    }

    AppTestDriver<> again;
    again.app->Restart();
    EXPECT_TRUE(again.app->mRestart);
    EXPECT_TRUE(again.app->mQuit);
}

TEST(AppLoopTest, DebugKeysToggleOverlayLinesAndCheatSpeeds) {
    AppTestDriver<> drive;
    Graphics* g = drive.app->mGraphics;
    drive.Hold(kScanF12);
    drive.Step(5);  // held: one toggle only
    drive.Hold(kScanF12, false);
    EXPECT_TRUE(drive.app->mShowFps);
    drive.Hold(kScanLeftCtrl);
    drive.Hold(kScanRightAlt);
    drive.Hold(kScanQ);
    drive.Step();
    drive.Hold(kScanQ, false);
    drive.Hold(kScanLeftCtrl, false);
    drive.Hold(kScanRightAlt, false);
    EXPECT_TRUE(drive.app->mCheatsEnabled);
    const struct {
        int key;
        float speed;
    } keys[] = {{kScanPadPlus, 1.1002f}, {kScanPadDivide, 2.0f}, {kScanPadMinus, 2.0002f}, {kScanPadMultiply, 1.0f}};
    for (const auto& k : keys) {
        drive.Hold(k.key);
        drive.Step();
        drive.Hold(k.key, false);
        drive.Step();
        EXPECT_NEAR(drive.app->mSpeedTarget, k.speed, 1e-4) << "key " << k.key;
    }
    drive.Frame();
    EXPECT_NE(g->mSystemText.find("Cheats Enabled\nUpdate: 100%\nFPS: "), std::string::npos) << g->mSystemText;
}

namespace {

class LockedApp : public App {
public:
    void FrameUpdate(float steps) override { lastFrameSteps = steps; }
    float lastFrameSteps = 0.0f;
};

}  // namespace

TEST(AppLoopTest, LockedTimingStepsPerRefreshAndGivesUpOnADisplayThatRunsTooFast) {
    AppTestDriver<LockedApp> drive;
    drive.app->mGraphics->mFullscreen = true;
    drive.app->mGraphics->mRefreshRate = 50;  // two steps per refresh
    drive.app->SetTimingLocked(true);
    Counts c = Passes(drive, 2);
    EXPECT_EQ(c.steps, 2);
    EXPECT_EQ(c.frames, 1);  // one step pass, then the frame it waits for
    EXPECT_FLOAT_EQ(drive.app->lastFrameSteps, 2.0f);
    // Frames here take no time at all: after three seconds' worth of checks, each much too
    // fast, the loop goes back to the clock.
    for (int i = 0; i < 1000 && !drive.app->mGaveUpLocking; ++i) drive.RunFrame();
    EXPECT_TRUE(drive.app->mGaveUpLocking);
    EXPECT_FALSE(drive.app->mTimingLocked);
}

TEST(AppLoopTest, ThrottleSleepsInProportionToTheFramesWork) {
    std::vector<std::string> log;
    AppTestDriver<> drive;
    Recorder* busy = new Recorder("busy", &log);
    drive.app->mGadgets.Add(busy);
    drive.Step();
    drive.Frame();
    drive.app->mThrottle = true;
    const struct {
        int work;
        uint64_t sleep;
    } cases[] = {{20, 40}, {0, 0}, {200, 250}};
    for (const auto& c : cases) {
        busy->onUpdate = [&drive, c](Recorder&) { drive.clock.Advance(c.work); };
        drive.clock.Advance(10);  // one step due, no idle sleep in this pass
        uint64_t before = drive.clock.mSlept;
        int steps = drive.app->mUpdateCount;
        drive.RunFrame();
        ASSERT_EQ(drive.app->mUpdateCount, steps + 1);
        EXPECT_EQ(drive.clock.mSlept - before, c.sleep) << "work " << c.work;
        drive.Frame();
    }
}

namespace {

// Notes the clock at every update step.
class StepTimesApp : public App {
public:
    void Update() override {
        App::Update();
        times.push_back(GetClock().Milliseconds());
    }
    std::vector<uint32_t> times;
};

struct PacedSecond {
    std::vector<uint32_t> stepTimes;
    int frames;
    int passes;
};

// Runs one second of the loop on the fake clock (time moves only by the loop's own sleeps) with
// the display refreshing `hz` times a second, after a first step and frame.
PacedSecond RunOneSecond(int hz) {
    AppTestDriver<StepTimesApp> drive;
    drive.app->mGraphics->mRefreshRate = hz;
    drive.Step();
    drive.Frame();
    drive.app->times.clear();
    PacedSecond result{{}, drive.app->mFramesDrawn, 0};
    uint32_t start = drive.clock.mNow;
    while (drive.clock.mNow - start < 1000 && result.passes < 10000) {
        drive.RunFrame();
        ++result.passes;
    }
    result.stepTimes = drive.app->times;
    result.frames = drive.app->mFramesDrawn - result.frames;
    return result;
}

}  // namespace

TEST(AppLoopTest, FramesFollowTheRefreshRateWhileUpdateStepsKeepTheirFixedTimes) {
    PacedSecond every = RunOneSecond(1000);  // a display faster than the steps: a frame per step
    EXPECT_NEAR(every.frames, 100, 1);
    EXPECT_NEAR(int(every.stepTimes.size()), 100, 1);
    const struct {
        int hz;
        int minFrames, maxFrames;
    } cases[] = {{60, 55, 60}, {30, 28, 30}, {144, 99, 101}, {0, 55, 60}};  // 0: unknown, taken as 60
    for (const auto& c : cases) {
        PacedSecond paced = RunOneSecond(c.hz);
        EXPECT_GE(paced.frames, c.minFrames) << c.hz << " Hz";
        EXPECT_LE(paced.frames, c.maxFrames) << c.hz << " Hz";
        // Drawing fewer frames moves no update step.
        EXPECT_EQ(paced.stepTimes, every.stepTimes) << c.hz << " Hz";
        // The loop sleeps between steps rather than spinning: a few passes per step.
        EXPECT_LE(paced.passes, 3 * 101) << c.hz << " Hz";
    }
}

TEST(AppLoopTest, ABehindMachineDrawsAfterTheStepLimitWhateverTheRefreshRate) {
    AppTestDriver<> drive;
    drive.app->mGraphics->mRefreshRate = 1;  // a frame a second at most, were the machine not behind
    drive.clock.Advance(500);
    for (int round = 0; round < 3; ++round) {
        Counts c = Passes(drive, 10);
        EXPECT_EQ(c.steps, 9) << "round " << round;
        EXPECT_EQ(c.frames, 1) << "round " << round;
    }
}

TEST(AppLoopTest, DrawSoonDrawsAfterTheNextStepWithoutWaitingForItsTurn) {
    AppTestDriver<> drive;
    drive.app->mGraphics->mRefreshRate = 1;
    drive.Step();
    drive.Frame();
    int frames = drive.app->mFramesDrawn;
    drive.Step(5);
    EXPECT_EQ(drive.app->mFramesDrawn, frames) << "a 1 Hz display waits a second for the next frame";
    drive.app->DrawSoon();
    Counts c = Passes(drive, 1);
    EXPECT_EQ(c.frames, 1);
    EXPECT_EQ(c.steps, 0) << "the frame came without further steps";
}
