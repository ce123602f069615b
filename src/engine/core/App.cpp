// The application frame. Sections: [life] [loop] [drawing] [events] [mouse] [keys]
// [folders and reports]. Start-up (window, drawing and sound devices) and cursors are in
// AppStartup.cpp.
#include "engine/core/App.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "engine/core/Gadget.h"
#include "engine/core/Graphics.h"
#include "engine/core/InputJournal.h"
#include "persistence/Registry.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Desktop.h"
#include "platform/FaultHandler.h"
#include "platform/FileSystem.h"
#include "platform/KeyCodes.h"
#include "platform/SingleInstance.h"
#include "platform/Window.h"
#include "support/CrashReporter.h"
#include "support/DebugLog.h"
#include "support/TagText.h"

namespace {

App* gApp = nullptr;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

const Point kNowhere{-9999.0f, -9999.0f};

}  // namespace

// ---- [life] ---------------------------------------------------------------------------------------

App* App::Instance() { return gApp; }

uint32_t App::Milliseconds() { return gApp ? gApp->GetClock().Milliseconds() : Clock::System().Milliseconds(); }

App::App() {
    gApp = this;
    mClock = &Clock::System();
    mStartTime = mClock->Milliseconds();
    mModeSwitchTime = mStartTime - 5000;
    mLastTick = mStartTime;
    mLastDrawTime = mStartTime;
    mNextFpsSample = mStartTime + 1000;
    mTitle = mName;
    // Crash reports know the application from here on (in a process that reports its crashes).
    if (CrashReporter::Install()) NoteCrashFields();
}

App::~App() {
    CrashReporter::ClearApp();
    WaitForLoader();
    if (mSingleInstance) mSingleInstance->Release();
    mGadgets.DeleteAll();
    mObjects.DeleteAll();
    ShutdownSound();
    if (mGraphics) {
        mGraphics->Shutdown();
        delete mGraphics;
        mGraphics = nullptr;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(mDrawLock);
        mEvents.clear();
    }
    mWindow.reset();
    for (Cursor** cursor : {&mArrowCursor, &mWaitCursor, &mHandCursor, &mBeamCursor, &mGrabCursor, &mBlankCursor}) {
        delete *cursor;
        *cursor = nullptr;
    }
    mCurrentCursor = nullptr;
    if (gApp == this) gApp = nullptr;
}

void App::SetClock(Clock* clock) {
    mClock = clock ? clock : &Clock::System();
    mStartTime = mClock->Milliseconds();
    ResetTiming();
    mNextFpsSample = mClock->Milliseconds() + 1000;
    mModeSwitchTime = mClock->Milliseconds() - 5000;
}

void App::SetCommandLine(int argc, char** argv) {
    // Arguments only: switches are found by searching this text, and a program folder named
    // like "my-crash-tests" must not count as "-crash".
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i] ? argv[i] : "";
    }
    mCommandLine = Lower(line);
}

void App::SetName(const std::string& name) {
    mName = name;
    SetTitle(name);
}

void App::SetTitle(const std::string& title) {
    mTitle = title;
    if (mWindow && mWindow->IsOpen()) mWindow->SetTitle(mVersion.empty() ? mTitle : mTitle + " " + mVersion);
}

void App::SetVersion(const std::string& version) { mVersion = version; }

void App::Quit() {
    if (mQuit) return;
    // The device lives on the window: it goes first.
    if (mGraphics) mGraphics->Shutdown();
    if (mWindow) mWindow->Destroy();
    mQuit = true;
}

void App::Restart() {
    mRestart = true;
    Quit();
}

void App::TriggerCrashTest() {
    DebugLog::Log("Crash test: a fault on purpose");
    Fault::Raise(Fault::Kind::kSegmentation);
}

bool App::SwitchFullscreen(bool fullscreen) {
    if (mSwitchingMode || !mWindow) return false;
    mSwitchingMode = true;
    // The window messages of the switch itself (focus, close) are ignored for a second.
    mModeSwitchTime = mClock->Milliseconds();
    bool switched = mWindow->SetFullscreen(fullscreen);
    if (switched && mGraphics) {
        mGraphics->mFullscreen = fullscreen;
        int w = 0, h = 0;
        mWindow->GetSize(w, h);
        mGraphics->Resize(w, h);
    }
    NoteCrashFields();
    mSwitchingMode = false;
    return switched;
}

// ---- [loop] -----------------------------------------------------------------------------------------

void App::StartLoader() {
    if (mLoader.joinable()) return;
    // Set before the thread starts, so the main loop never sees a gap.
    mKeepRunning = true;
    mThrottle = true;
    mLoaded = false;
    mLoader = std::thread([this] { LoaderMain(); });
}

void App::WaitForLoader() {
    if (mLoader.joinable()) mLoader.join();
}

void App::LoaderMain() {
    // A stack overflow while loading is reported like one on the main thread.
    if (CrashReporter::Installed()) Fault::PrepareThread();
    LoadResources();
    mThrottle = false;
    {
        std::lock_guard<std::recursive_mutex> lock(mDrawLock);
        if (mLoadSeconds != 0) mLoadFrameSum /= mLoadSeconds;
    }
    mKeepRunning = false;
    mJustLoaded = true;
    mLoaded = true;
}

void App::Run() {
    StartLoader();
    mLastDrawTime = mClock->Milliseconds();
    Desktop::SetThreadAboveNormal(true);
    ResetTiming();
    while (!mQuit || mKeepRunning) {
        RunFrame();
        // Quitting while the loader still works: wait for it without spinning.
        if (mQuit && mKeepRunning) mClock->Sleep(1);
    }
    WaitForLoader();
    Desktop::SetThreadAboveNormal(false);
}

void App::ResetTiming() {
    uint32_t now = mClock->Milliseconds();
    mLastTick = now;
    mAccumulated = 0.0;
    mFraction = 0.0;
    mStepsInRow = 0;
    mLastDrawTime = now;
    mFrameWait = 0.0;
}

double App::FrameInterval() const {
    int hz = mGraphics ? mGraphics->mRefreshRate : 0;
    return 1000.0 / double(hz > 0 ? hz : 60);
}

void App::SetTimingLocked(bool locked) {
    mTimingLocked = locked;
    ResetTiming();
    if (locked && mGraphics) mGraphics->SetLocked(true);
    if (!locked && mGraphics) mGraphics->SetLocked(false);
}

void App::RunStep() {
    int64_t outerStep = 0;
    if (!BeginJournalStep(&outerStep)) return;
    bool wasInUpdate = mInUpdate;
    mInUpdate = true;
    Update();
    PostUpdate();
    mInUpdate = wasInUpdate;
    ++mUpdateCount;
    EndJournalStep(outerStep);
}

void App::LockCheck() {
    if (mSpeed != 1.0f) return;
    int perSecond = (mUpdateInterval + 999) / mUpdateInterval;
    if (++mLockCheckSteps < perSecond) return;
    mLockCheckSteps = 0;
    uint32_t now = mClock->Milliseconds();
    uint32_t elapsed = now - mLastLockCheck;
    mLastLockCheck = now;
    if (elapsed < 751) {
        if (++mTooFastStrikes >= 3) {
            mGaveUpLocking = true;
            SetTimingLocked(false);
        }
    } else {
        mTooFastStrikes = 0;
    }
}

void App::RunFrame() {
    uint32_t frameStart = mClock->Milliseconds();
    // A zero or negative speed would make a step last forever.
    mSpeed = std::clamp(mSpeedTarget, 0.01f, 100.0f);
    bool locked = mTimingLocked && mGraphics && mGraphics->mFullscreen && !mGaveUpLocking;

    if ((mShowFps || !mLoaded) && int32_t(frameStart - mNextFpsSample) >= 0) {
        if (!mLoaded) {
            std::lock_guard<std::recursive_mutex> lock(mDrawLock);
            if (!mLoaded) {
                mLoadFrameSum += mFramesThisSecond;
                ++mLoadSeconds;
            }
        }
        if (mShowFps) mFpsText = std::to_string(mFramesThisSecond).substr(0, 35);
        mFramesThisSecond = 0;
        mNextFpsSample = frameStart + 1000;
    }

    if (mWindow) mWindow->Pump([this](const PlatformEvent& event) { WindowMessage(event); }, [this] { return bool(mQuit); });
    PollSingleInstance();

    double stepMs = double(mUpdateInterval) / mSpeed;
    double stepsPerFrame = 1.0;
    if (locked) {
        double refresh = std::max(1, mGraphics->mRefreshRate);
        stepMs = (1000.0 / refresh) / mSpeed;
        stepsPerFrame = 1000.0 / (double(mUpdateInterval) * refresh);
    }

    if (mQuit) return;
    // A replay pauses only where the recorded run did (its steps say so).
    if (!mActive && mPauseWhenInactive && !Replaying()) {
        // Nothing runs; keep handling messages without spinning.
        mClock->Sleep(static_cast<uint32_t>(stepMs));
        return;
    }

    if (!locked) {
        uint32_t now = mClock->Milliseconds();
        // A clock that went backwards adds nothing; one that leapt ahead adds at most a second.
        int64_t delta = int32_t(now - mLastTick);
        if (delta > 0) {
            mAccumulated = std::min(1000.0, mAccumulated + double(delta));
            mFrameWait -= double(std::min<int64_t>(delta, 1000));
        }
        mLastTick = now;
    }

    ++mStepsInRow;
    // At least one step between frames, even below a tenth of normal speed (the game would
    // otherwise stand still there).
    int stepsBeforeFrame = std::max(2, int(std::ceil(mSpeed * 10.0f)));
    bool stepDue = mStepsInRow < stepsBeforeFrame || mKeepRunning;
    if (stepDue) {
        if (locked)
            stepDue = !mUpdatedSinceDraw || std::floor(0.75 * stepMs) <= mAccumulated;
        else
            stepDue = mAccumulated >= stepMs;
    }

    uint32_t slept = 0;
    if (stepDue) {
        if (locked) LockCheck();
        RunStep();
        mFraction += stepsPerFrame - 1.0;
        while (mFraction >= 1.0 && !mQuit) {
            RunStep();
            mFraction -= 1.0;
        }
        if (mTimingLocked) {
            FrameUpdate(float(stepsPerFrame));
            mGadgets.FrameUpdate(float(stepsPerFrame));
        }
        mAccumulated -= stepMs;
        if (locked) mAccumulated = std::max(0.0, mAccumulated - 0.2);
        mUpdatedSinceDraw = true;
    } else {
        // Steps held back by the limit above mean the machine is behind: the frame is drawn at
        // once. Otherwise frames come at most at the display's refresh rate; update steps in
        // between keep their fixed rate and the loop sleeps until the next one.
        bool behind = !locked && mAccumulated >= stepMs;
        mStepsInRow = 0;
        if (mUpdatedSinceDraw && (locked || behind || mFrameWait <= 0.0)) {
            DrawFrame();
        } else {
            // Rounded up: a wait below one millisecond would otherwise spin until the clock ticks.
            int wait = int(std::ceil(stepMs - mAccumulated));
            if (wait > 0) {
                mClock->Sleep(uint32_t(wait));
                slept = uint32_t(wait);
            }
        }
    }
    mLastSleep = slept;

    if (mThrottle) {
        int64_t busy = 2 * int64_t(int32_t(mClock->Milliseconds() - frameStart)) - 3 * int64_t(slept);
        if (busy > 250)
            mClock->Sleep(250);
        else if (busy >= 0)
            mClock->Sleep(uint32_t(busy));
    }
}

void App::Update() {
    if (LoadingFinishedNow()) {
        Desktop::SetThreadAboveNormal(false);
        mJustLoaded = false;
        LoadingDone();
        Desktop::ReturnFreeMemory();
    }
    if (--mCheckMouseCountdown <= 0) {
        mCheckMouseCountdown = 10;
        if (PointerLeftWindow()) MouseMove(kNowhere.x, kNowhere.y);
    }
    ProcessEvents();
    PollKeyboard();
    if (CrashReporter::Installed()) CrashReporter::SetExtraInfo(GetExtraInfo());
    if (mDebugKeys) DebugKeys();
    mGadgets.Update();
    mObjects.Update();
}

// ---- [drawing] ------------------------------------------------------------------------------------

void App::DrawFrame() {
    mUpdatedSinceDraw = false;
    // The next frame's turn: one refresh interval on, or a whole one from now when this frame
    // came more than an interval late.
    double interval = FrameInterval();
    mFrameWait += interval;
    if (mFrameWait <= 0.0) mFrameWait = interval;
    ++mFramesDrawn;
    if (mQuit) return;
    bool fullscreen = mGraphics && mGraphics->mFullscreen;
    bool minimized = (mWindow && mWindow->IsMinimized()) || (mGraphics && mGraphics->mMinimized);
    if (!mActive && (fullscreen || minimized)) return;
    ++mFramesThisSecond;
    if (!mGraphics || !mGraphics->mDeviceLost) {
        std::lock_guard<std::recursive_mutex> lock(mDrawLock);
        bool wasInDraw = mInDraw;
        mInDraw = true;
        BeginDraw();
        Draw();
        EndDraw();
        mInDraw = wasInDraw;
    }
    if (mGraphics) {
        // A picture that matches the one on the screen is not sent again.
        if (mGraphics->mFrameUnchanged)
            ++mFramesSkipped;
        else if (!mGraphics->Present())
            mGraphics->InvalidateFrame();
    }
    mLastDrawTime = mClock->Milliseconds();
    if (!mFirstFrameLogged) {
        mFirstFrameLogged = true;
        DebugLog::Log("first frame presented after %u ms", unsigned(mLastDrawTime - mStartTime));
    }
}

void App::BeginDraw() {
    if (!mGraphics) return;
    mGraphics->BeginFrame();
    if (mGraphics->CanDraw()) mGraphics->mOrigin = Point{};
}

void App::Draw() {
    if (mGraphics && (!mGraphics->CanDraw() || (mGraphics->mFullscreen && !mActive))) return;
    DrawBackground();
    mGadgets.Draw();
    DrawForeground();
    DrawOverlay();
}

void App::EndDraw() {
    if (mGraphics) mGraphics->EndFrame();
}

void App::DrawOverlay() {
    if (!mGraphics) return;
    float y = 5.0f;
    char line[64];
    if (mCheatsEnabled) {
        mGraphics->DrawSystemText(5.0f, 5.0f, "Cheats Enabled");
        std::snprintf(line, sizeof(line), "Update: %d%%", int(mSpeed * 100.0f));
        mGraphics->DrawSystemText(5.0f, 21.0f, line);
        y = 37.0f;
    }
    if (mShowFps) {
        mGraphics->DrawSystemText(5.0f, y, "FPS: " + mFpsText);
        y += 16.0f;
    }
    if (mShowSwaps) {
        std::snprintf(line, sizeof(line), "SWAPS: %d", mGraphics->mTextureSwaps);
        mGraphics->DrawSystemText(5.0f, y, line);
    }
}

// ---- [events] ---------------------------------------------------------------------------------------

void App::WindowMessage(const PlatformEvent& event) {
    if (HandleMessage(event)) return;
    uint32_t now = mClock->Milliseconds();
    bool guarded = int32_t(now - mModeSwitchTime) < 1000;
    switch (event.message) {
    case kMsgActivate:
        if (!guarded) WindowActivated(event.w != 0);
        return;
    case kMsgClose:
        if (!guarded) Quit();
        return;
    case kMsgQuitRequest:
        Quit();
        return;
    case kMsgResize:
        if (mGraphics) mGraphics->Resize(int(event.w), int(event.l));
        return;
    case kMsgMinimized:
        if (mGraphics) mGraphics->mMinimized = event.w != 0;
        return;
    case kMsgMouseLeftWindow:
        return;
    case kMsgExposed:
        if (mGraphics) mGraphics->InvalidateFrame();
        DrawSoon();
        return;
    case kMsgMouseMove:
        if (guarded) return;
        break;
    case kMsgKeyDown:
        // Alt on its own would only open menus the game does not have.
        if (event.w == kKeyAlt) return;
        if (event.w == kKeyEnter && (mInput.IsDown(kScanLeftAlt) || mInput.IsDown(kScanRightAlt))) {
            if (mLoaded && !mSwitchingMode && mWindow) {
                SwitchFullscreen(!mWindow->IsFullscreen());
            } else {
                Beep();
            }
            return;
        }
        break;
    default:
        break;
    }
    QueueEvent(event);
}

void App::QueueEvent(int message, int64_t w, int64_t l) {
    std::lock_guard<std::recursive_mutex> lock(mDrawLock);
    if (mQuit) return;
    if (mEvents.size() >= kMaxQueuedEvents) return;
    mEvents.push_back(PlatformEvent{message, w, l});
}

size_t App::QueuedEventCount() {
    std::lock_guard<std::recursive_mutex> lock(mDrawLock);
    return mEvents.size();
}

void App::ProcessEvents() {
    if (Replaying()) {
        ReplayEvents();
        return;
    }
    while (!mQuit) {
        PlatformEvent event;
        {
            std::lock_guard<std::recursive_mutex> lock(mDrawLock);
            if (mEvents.empty()) return;
            event = mEvents.front();
            mEvents.pop_front();
        }
        HandleEvent(event);
    }
}

void App::HandleEvent(const PlatformEvent& event) {
    float x = float(MousePositionX(event.l)), y = float(MousePositionY(event.l));
    // The far-away point stays far away; real positions become logical pixels.
    if (!(x == kNowhere.x && y == kNowhere.y) && mGraphics) {
        Point logical = mGraphics->WindowToLogical(x, y);
        x = logical.x;
        y = logical.y;
    }
    // Recorded in logical pixels, so a replay does not depend on the window's size.
    if (mJournal && mJournal->Recording()) mJournal->RecordEvent(event.message, int32_t(event.w), x, y);
    DispatchInput(event.message, event.w, x, y);
}

void App::DispatchInput(int message, int64_t w, float x, float y) {
    PlatformEvent event{message, w, 0};
    mLastEvent = event.message;
    switch (event.message) {
    case kMsgMouseMove:
        if (mCapture && (mMouseButtonsDown > 0 || mDragging))
            MouseDrag(x, y);
        else
            MouseMove(x, y);
        break;
    case kMsgLeftDown: MouseDown(x, y, -1); break;
    case kMsgLeftUp: MouseUp(x, y, -1); break;
    case kMsgLeftDoubleClick: MouseDoubleClick(x, y, -1); break;
    case kMsgRightDown: MouseDown(x, y, 1); break;
    case kMsgRightUp: MouseUp(x, y, 1); break;
    case kMsgRightDoubleClick: MouseDoubleClick(x, y, 1); break;
    case kMsgMiddleDown: MouseDown(x, y, 0); break;
    case kMsgMiddleUp: MouseUp(x, y, 0); break;
    case kMsgMiddleDoubleClick: MouseDoubleClick(x, y, 0); break;
    case kMsgKeyDown: KeyDown(int(event.w)); break;
    case kMsgKeyUp:
        if (event.w == kKeyPrintScreen) {
            if (mInput.IsDown(kScanLeftCtrl) || mInput.IsDown(kScanRightCtrl)) {
                TakeScreenshot();
            } else if (mGraphics) {
                mGraphics->CopyScreenToClipboard();
            }
        }
        KeyUp(int(event.w));
        break;
    case kMsgChar: Char(int(event.w)); break;
    default: break;
    }
    mLastEvent = 0;
}

void App::PollSingleInstance() {
    if (!mSingleInstance) return;
    int requests = mSingleInstance->PollRaiseRequests();
    if (requests <= 0) return;
    mRaiseRequests += requests;
    if (mWindow) mWindow->Raise();
}

void App::Activate(bool active) {
    if (active && !mActive) ResetTiming();
    if (active == mActive) return;
    if (!active) {
        MouseMove(kNowhere.x, kNowhere.y);
        MouseUp(kNowhere.x, kNowhere.y, -1);
    }
    ActivateSound(active);
    if (mGraphics) mGraphics->SetActive(active);
    mActive = active;
    // Key-ups that happen elsewhere never arrive.
    if (!active) mShiftHeld = false;
    // Keys held while the focus was elsewhere must not count as held, nor as pressed twice.
    if (active)
        mInput.Reacquire();
    else
        mInput.Clear();
}

// ---- [mouse] ---------------------------------------------------------------------------------------

bool App::IsLive(const Gadget* gadget) { return gadget && !gadget->mKilled && !gadget->mDisabled; }

void App::SetMousePosition(float x, float y) {
    mPrevMousePos = mMousePos;
    mMousePos = Point{x, y};
}

Point App::ToGadget(const Gadget* gadget, float x, float y) const {
    Point origin = gadget->ToScreen(Point{});
    return Point{x - origin.x, y - origin.y};
}

void App::ReleaseMouseCapture() {
    if (mWindow) mWindow->CaptureMouse(false);
}

void App::MouseMove(float x, float y) {
    SetMousePosition(x, y);
    Gadget* gadget = mGadgets.UpdateHover(x, y);
    if (IsLive(gadget))
        gadget->RouteMouseMove(x - gadget->mRect.x, y - gadget->mRect.y);
    else
        SetCursor(mArrowCursor);
}

void App::MouseDrag(float x, float y) {
    Gadget* capture = mCapture;
    if (!capture || capture->mKilled) {
        // The gadget that held the press is gone; the pointer still moves for everyone else.
        MouseMove(x, y);
        return;
    }
    SetMousePosition(x, y);
    Point local = ToGadget(capture, x, y);
    capture->RouteDrag(local.x, local.y);
    if (mCapture == capture && !capture->mIgnoreHoverWhileDragging) mGadgets.UpdateHover(x, y);
}

void App::MouseDown(float x, float y, int button) {
    ++mMouseButtonsDown;
    if (mWindow) mWindow->CaptureMouse(true);
    SetMousePosition(x, y);
    Gadget* gadget = mGadgets.GadgetAt(x, y);
    if (IsLive(gadget)) gadget->RouteMouseDown(x - gadget->mRect.x, y - gadget->mRect.y, button);
}

void App::MouseDoubleClick(float x, float y, int button) {
    ++mMouseButtonsDown;
    if (mWindow) mWindow->CaptureMouse(true);
    SetMousePosition(x, y);
    Gadget* gadget = mGadgets.GadgetAt(x, y);
    if (IsLive(gadget)) gadget->RouteMouseDoubleClick(x - gadget->mRect.x, y - gadget->mRect.y, button);
}

void App::MouseUp(float x, float y, int button) {
    --mMouseButtonsDown;
    if (mMouseButtonsDown < 0 && !mDragging) {
        mMouseButtonsDown = 0;
        ReleaseMouseCapture();
        return;
    }
    if (mMouseButtonsDown < 0) mMouseButtonsDown = 0;
    if (button == -1) mDragging = false;
    if (mMouseButtonsDown == 0) ReleaseMouseCapture();
    if (Gadget* capture = mCapture) {
        if (button == -1) mCapture = nullptr;
        SetMousePosition(x, y);
        Point local = ToGadget(capture, x, y);
        if (!capture->mKilled) capture->RouteMouseUp(local.x, local.y, button);
    } else {
        SetMousePosition(x, y);
        Gadget* gadget = mGadgets.GadgetAt(x, y);
        if (IsLive(gadget)) gadget->RouteMouseUp(x - gadget->mRect.x, y - gadget->mRect.y, button);
    }
}

void App::CancelMouse() {
    bool wasCancelling = mInCancelMouse;
    mInCancelMouse = true;
    mCancelledEvent = true;
    MouseUp(kNowhere.x, kNowhere.y, -1);
    mCancelledEvent = false;
    mInCancelMouse = wasCancelling;
    mCapture = nullptr;
    mDragging = false;
    mMouseButtonsDown = 0;
    ReleaseMouseCapture();
}

void App::ForgetGadget(Gadget* gadget) {
    if (mCapture == gadget) mCapture = nullptr;
    if (mHover == gadget) mHover = nullptr;
    if (mFocus == gadget) mFocus = nullptr;
    if (mKeyboardFocus == gadget) mKeyboardFocus = nullptr;
    mGadgets.Forget(gadget);
}

// ---- [keys] ---------------------------------------------------------------------------------------

Gadget* App::KeyTarget() {
    if (IsLive(mKeyboardFocus)) return mKeyboardFocus;
    // A screen that never asked for the keys still gets them, so its buttons can be reached.
    for (int i = mGadgets.Count() - 1; i >= 0; --i) {
        Gadget* gadget = mGadgets.mList.At<Gadget>(i);
        if (IsLive(gadget) && !gadget->mHidden && !gadget->mNoHitTest) return gadget;
    }
    return nullptr;
}

namespace {

// The controller's buttons as keys, for a gadget that does not look for them.
int PlainKey(const Gadget* target, int key) {
    if (target->mTakesPadKeys) return key;
    switch (key) {
    case kKeyPadA: return kKeyEnter;
    case kKeyPadB:
    case kKeyPadStart: return kKeyEscape;
    default: return key;
    }
}

}  // namespace

void App::KeyDown(int key) {
    if (key == kKeyShift) mShiftHeld = true;
    if (Gadget* target = KeyTarget()) target->RouteKeyDown(PlainKey(target, key));
}

void App::KeyUp(int key) {
    if (key == kKeyShift) mShiftHeld = false;
    if (Gadget* target = KeyTarget()) target->RouteKeyUp(PlainKey(target, key));
}

void App::Char(int c) {
    if (Gadget* target = KeyTarget()) target->RouteChar(c);
}

void App::DebugKeys() {
    bool ctrl = mInput.IsDown(kScanLeftCtrl) || mInput.IsDown(kScanRightCtrl);
    bool alt = mInput.IsDown(kScanLeftAlt) || mInput.IsDown(kScanRightAlt);
    if (ctrl && alt && mInput.WasPressed(kScanQ)) {
        mCheatsEnabled = !mCheatsEnabled;
        Beep();
    }
    if (mInput.WasPressed(kScanF12)) {
        mShowFps = !mShowFps;
        mNextFpsSample = mClock->Milliseconds();
        Beep();
    }
    if (mInput.WasPressed(kScanF11)) {
        mShowSwaps = !mShowSwaps;
        Beep();
    }
    if (!mCheatsEnabled) return;
    if (mInput.WasPressed(kScanPadMultiply)) {
        mSpeedPercent = 100;
        SetSpeed(1.0f);
    }
    if (mInput.WasPressed(kScanPadDivide)) {
        mSpeedPercent += 100;
        SetSpeed(float(mSpeedPercent / 100));
    }
    if (mInput.WasPressed(kScanPadPlus)) {
        mSpeedPercent += 10;
        SetSpeed(float(mSpeedPercent) * 0.01f + 0.0002f);
    }
    if (mInput.WasPressed(kScanPadMinus)) {
        mSpeedPercent = std::max(10, mSpeedPercent - 10);
        SetSpeed(float(mSpeedPercent) * 0.01f + 0.0002f);
    }
    if (ctrl && alt && mInput.WasPressed(kScanC)) TriggerCrashTest();
    CheatKeys();
}

// ---- [folders and reports] ----------------------------------------------------------------------

bool App::MessageBox(const std::string& title, const std::string& text, const std::string& buttons) {
    std::string kind = Upper(buttons);
    bool yesNo = kind == "YESNO" || kind == "YES|NO";
    Desktop::Answer answer = Desktop::ShowMessageBox(title, text, yesNo ? Desktop::Buttons::kYesNo : Desktop::Buttons::kOk);
    if (answer == Desktop::Answer::kNotShown) DebugLog::Log("%s: %s", title.c_str(), text.c_str());
    return answer != Desktop::Answer::kNo;
}

bool App::OpenURL(const std::string& url) {
    MouseUp(kNowhere.x, kNowhere.y, -1);
    MouseMove(kNowhere.x, kNowhere.y);
    return Desktop::OpenURL(url);
}

bool App::SetupDataFolder() {
    mDataFolder = Files::DataRoot();
    mConfigPath = mDataFolder + "/game.cfg";
    mDataFolderProblem = Files::DataRootProblem();
    if (!mDataFolderProblem.empty()) {
        DebugLog::Log("The data folder %s %s; settings and saved games will not be kept", mDataFolder.c_str(),
                      mDataFolderProblem.c_str());
        std::fprintf(stderr, "The data folder %s %s; settings and saved games will not be kept\n",
                     mDataFolder.c_str(), mDataFolderProblem.c_str());
        return false;
    }
    return true;
}

void App::PrepareCache() {
    if (!mCheckCacheVersion) {
        if (!Files::CreateDirectories("cached")) DebugLog::Log("The folder \"cached\" cannot be created");
        return;
    }
    bool current = false;
    {
        Registry info;
        info.Load("cached\\cacheinfo.cfg");
        current = info.Exists("Version") && info.GetString("Version") == mVersion;
    }
    if (!current) {
        std::string folder = Files::PathForWrite("cached");
        if (Files::IsDirectory(folder)) Files::RemoveTree(folder, Files::DataRoot());
    }
    if (!Files::CreateDirectories("cached")) {
        DebugLog::Log("The folder \"cached\" cannot be created");
        return;
    }
    Registry info;
    info.Load("cached\\cacheinfo.cfg");
    info.SetString("Version", mVersion);
    if (!info.Flush()) DebugLog::Log("\"cached\\cacheinfo.cfg\" cannot be written");
}

bool App::TakeScreenshot() {
    if (!Files::CreateDirectories("Screenshots")) return false;
    for (int n = 1; n < 100000; ++n) {
        std::string path = Files::PathForWrite("Screenshots\\screenshot" + std::to_string(n) + ".bmp");
        if (Files::IsRegularFile(path) || Files::IsDirectory(path)) continue;
        bool written = mGraphics && mGraphics->WriteScreenshot(path);
        if (written) Beep();
        return written;
    }
    return false;
}

void App::CrashFields(std::string* before, std::string* after) const {
    before->clear();
    after->clear();
    char resolution[48];
    std::snprintf(resolution, sizeof(resolution), "%d x %d : %d", mGraphics ? mGraphics->mWidth : 0,
                  mGraphics ? mGraphics->mHeight : 0, mGraphics ? mGraphics->mDepth : 0);
    AppendTag(*before, "PRODUCT", mName);
    AppendTag(*before, "VERSION", mVersion);
    bool fullscreen = (mGraphics && mGraphics->mFullscreen) || (mWindow && mWindow->IsOpen() && mWindow->IsFullscreen());
    AppendTag(*after, "FULLSCREEN", fullscreen ? "true" : "false");
    AppendTag(*after, "SAFEMODE", mGraphics && mGraphics->mSoftware ? "true" : "false");
    AppendTag(*after, "RESOLUTION", resolution);
    AppendTag(*after, "OS", Desktop::SystemDescription());
    // The drawing library's version, then how this game draws with it.
    std::string drawing = Desktop::DrawingLibraryVersion();
    if (mGraphics) drawing += mGraphics->mSoftware ? ", software renderer" : ", accelerated renderer";
    std::string driver = Window::VideoDriver();
    if (!driver.empty()) drawing += ", " + driver;
    AppendTag(*after, "DDRAW", drawing);
}

void App::NoteCrashFields() {
    if (!CrashReporter::Installed()) return;
    std::string before, after;
    CrashFields(&before, &after);
    // The run time counts from this application's start, on the reporter's own clock.
    uint64_t ranMs = mClock->Milliseconds() - mStartTime;
    CrashReporter::SetApp(before, after, CrashReporter::NowMs() - ranMs);
    CrashReporter::SetExtraInfo(GetExtraInfo());
}

std::string App::GetExtendedInfo() {
    std::string before, after;
    CrashFields(&before, &after);
    uint32_t seconds = (mClock->Milliseconds() - mStartTime) / 1000;
    char runtime[32];
    std::snprintf(runtime, sizeof(runtime), "%.2u:%.2u:%.2u", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    std::string text = before;
    AppendTag(text, "RUNTIME", runtime);
    text += after;
    std::string extra = GetExtraInfo();
    if (!extra.empty()) AppendTag(text, "EXTENDED_INFO", extra);
    return text;
}
