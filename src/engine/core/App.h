// The application frame: window, fixed-rate update loop, the top gadget tree and plain objects,
// routing of queued mouse and key events, cursors, single instance, data folder, start-up and
// shutdown. One App exists at a time; everything reaches it through App::Instance().
//
// Index: [fields] [virtual operations] [loop] [events] [hooks for devices]
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/core/GadgetManager.h"
#include "engine/core/InputManager.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Rect.h"
#include "platform/PlatformEvent.h"

class Clock;
class Cursor;
class Gadget;
class Graphics;
class InputJournal;
class SingleInstance;
class StateHash;
class Window;

class App {
public:
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The one application, or null.
    static App* Instance();

    // ---- [virtual operations] -----------------------------------------------------------------
    // One update step: events, keyboard poll, debug keys, gadgets, objects.
    virtual void Update();
    virtual void PostUpdate() {}
    virtual void BeginDraw();
    // Background, the gadget tree, foreground, then the debug overlay.
    virtual void Draw();
    virtual void EndDraw();
    virtual void DrawBackground() {}
    virtual void DrawForeground() {}
    // Start-up: cursors, cache folder, single instance, window, devices. On return either the
    // window is up, or mQuit is set (mSecondInstance tells whether another game took over).
    virtual void Go();
    virtual void SetName(const std::string& name);
    virtual void SetTitle(const std::string& title);
    virtual void SetVersion(const std::string& version);
    virtual void CreateCursors();
    virtual void Quit();
    // False when no window could be made (the game then runs without one).
    virtual bool CreateAppWindow();
    virtual void SetCursor(Cursor* cursor);
    virtual void UpdateCursor();
    virtual void Activate(bool active);
    // Runs on the loader thread.
    virtual void LoadResources() {}
    // Runs once, in the first update after LoadResources returned.
    virtual void LoadingDone() {}
    // Mouse operations take logical screen coordinates.
    virtual void MouseMove(float x, float y);
    virtual void MouseDrag(float x, float y);
    virtual void MouseDown(float x, float y, int button);
    virtual void MouseDoubleClick(float x, float y, int button);
    virtual void MouseUp(float x, float y, int button);
    // Ends every press and drag as if the button went up nowhere.
    virtual void CancelMouse();
    // Keys go to the gadget with the keyboard focus or, when none has it, to the topmost screen.
    virtual void KeyDown(int key);
    virtual void KeyUp(int key);
    virtual void Char(int c);
    // Where keys go now: the keyboard focus when it is live, else the topmost live screen.
    Gadget* KeyTarget();
    // True when the desktop accepted the address.
    virtual bool OpenURL(const std::string& url);
    // Sees every window message first; true stops the frame's own handling of it.
    virtual bool HandleMessage(const PlatformEvent& event) { (void)event; return false; }
    // Extra text for crash reports.
    virtual std::string GetExtraInfo() { return std::string(); }
    // Quits and asks the program entry for a fresh application.
    virtual void Restart();
    // Switches the window between full screen and windowed and rescales the picture; false when
    // the window refused or a switch is already under way.
    virtual bool SwitchFullscreen(bool fullscreen);
    virtual void ProcessEvents();
    virtual void HandleEvent(const PlatformEvent& event);
    virtual void DebugKeys();
    virtual void CheatKeys() {}
    virtual void PreWindow() { mBeforeWindow = true; }
    virtual bool ReportProblem(const std::string& title, const std::string& text) { (void)title, (void)text; return false; }
    // Locked timing only.
    virtual void FrameUpdate(float steps) { (void)steps; }
    // Buttons "OK"/"OKAY" or "YESNO"/"YES|NO"; false only when the answer is No.
    virtual bool MessageBox(const std::string& title, const std::string& text, const std::string& buttons);
    // Adds what the player can see that matters to a replay check: by default every live gadget
    // of the tree (its name, rectangle and HashState) and every plain object's HashState.
    virtual void HashState(StateHash& hash);

    // ---- [hooks for devices] --------------------------------------------------------------------
    // The drawing device to use; the base gives the headless one.
    virtual Graphics* CreateGraphics();
    // Sound: the engine's audio device, started after drawing and input, muted while the window
    // is in the back, shut down with the application. ~App calls the base ShutdownSound, so an
    // override that adds to it must also run in the derived destructor.
    virtual bool InitSound();
    virtual void ShutdownSound();
    virtual void ActivateSound(bool active);
    // Crash reporter test path ("-crash", Ctrl+Alt+C): a real fault.
    virtual void TriggerCrashTest();
    virtual void Beep();

    // ---- [loop] -----------------------------------------------------------------------------------
    // Starts the loader and runs frames until quitting (and loading) is over.
    void Run();
    // One pass: pump, due update steps (or a frame, or an idle sleep).
    void RunFrame();
    void SetSpeed(float speed) { mSpeedTarget = speed; }
    void SetTimingLocked(bool locked);
    void ResetTiming();
    // The next frame is drawn as soon as an update step has run, without waiting for its turn
    // at the display's refresh rate.
    void DrawSoon() { mFrameWait = std::min(mFrameWait, 0.0); }
    // Milliseconds between frames at the display's refresh rate (60 hertz when unknown).
    double FrameInterval() const;
    // Ctrl+Print Screen: "Screenshots\\screenshot%d.bmp", first free number from 1.
    bool TakeScreenshot();
    // Makes the per-user folder and sets mConfigPath; false (logged) when it cannot be made.
    bool SetupDataFolder();
    void PrepareCache();
    // The application's crash-report tags.
    std::string GetExtendedInfo();
    // The report tags before the run time ("PRODUCT", "VERSION") and after it ("FULLSCREEN" to
    // "DDRAW"); GetExtendedInfo puts them together.
    void CrashFields(std::string* before, std::string* after) const;
    // Hands the current report fields to the crash reporter (the handler cannot ask for them).
    void NoteCrashFields();
    // Queues a window message for the next update step (dropped while quitting).
    void QueueEvent(int message, int64_t w, int64_t l);
    void QueueEvent(const PlatformEvent& event) { QueueEvent(event.message, event.w, event.l); }
    // Starts the loader thread (Run does this); WaitForLoader joins it.
    void StartLoader();
    void WaitForLoader();
    // Keeps the program's arguments (not its path), lower-cased, in mCommandLine.
    void SetCommandLine(int argc, char** argv);
    // Replaces the clock (not owned); call before Go/Run.
    void SetClock(Clock* clock);
    Clock& GetClock() const { return *mClock; }
    // Milliseconds from the running application's clock, or from the system clock when there is
    // no application (tools, and the program entry before the application exists).
    static uint32_t Milliseconds();
    // The gadget tree forgets a gadget being destroyed.
    void ForgetGadget(Gadget* gadget);
    // A gadget pointer the application holds that is not killed or disabled.
    static bool IsLive(const Gadget* gadget);
    // The pumped window messages are translated and handled by this; tests feed it directly.
    void WindowMessage(const PlatformEvent& event);
    size_t QueuedEventCount();
    // Routes one input message with its position already in logical pixels.
    void DispatchInput(int message, int64_t w, float x, float y);

    // ---- [record and replay] -------------------------------------------------------------------
    // Records every input into `journal`, or replays it, as its mode says (not owned; null for
    // neither). Set before Go.
    void SetJournal(InputJournal* journal) { mJournal = journal; }
    InputJournal* Journal() const { return mJournal; }
    bool Replaying() const;
    // The state digest as sixteen hexadecimal digits.
    std::string StateHashText();

    // ---- [fields] -----------------------------------------------------------------------------------
    std::atomic<bool> mKeepRunning{false};
    bool mQuit = false;
    bool mShowSwaps = false;
    int mFramesDrawn = 0;
    uint32_t mStartTime = 0;
    std::atomic<bool> mThrottle{false};
    bool mShowFps = false;
    int mFramesThisSecond = 0;
    std::string mFpsText;
    int mLoadFrameSum = 0;
    int mLoadSeconds = 0;
    std::string mName = "Unnamed App";
    std::string mVersion;
    std::string mTitle;
    bool mActive = true;
    std::unique_ptr<Window> mWindow;
    Cursor* mCurrentCursor = nullptr;
    Cursor* mArrowCursor = nullptr;
    Cursor* mWaitCursor = nullptr;
    Cursor* mHandCursor = nullptr;
    Cursor* mBeamCursor = nullptr;
    Cursor* mGrabCursor = nullptr;
    Cursor* mBlankCursor = nullptr;
    int mBusyCount = 0;
    int mNextObjectId = 0;
    std::atomic<bool> mLoaded{false};
    std::atomic<bool> mJustLoaded{false};
    int mSpeedPercent = 100;
    int mSpeedPercent2 = 100;
    GadgetManager mGadgets;
    ObjectManager mObjects;
    bool mInUpdate = false;
    bool mInDraw = false;
    Point mMousePos{-9999.0f, -9999.0f};
    Point mPrevMousePos{-9999.0f, -9999.0f};
    int mMouseButtonsDown = 0;
    Gadget* mCapture = nullptr;
    bool mDragging = false;
    Gadget* mHover = nullptr;
    Gadget* mFocus = nullptr;
    Gadget* mKeyboardFocus = nullptr;
    // A Shift key is held, as the queued key messages tell (so a replay of them tells the same).
    bool mShiftHeld = false;
    int mCheckMouseCountdown = 10;
    bool mRestart = false;
    bool mSwitchingMode = false;
    uint32_t mLastDrawTime = 0;
    std::recursive_mutex mDrawLock;
    bool mPauseWhenInactive = false;
    float mSpeed = 1.0f;
    float mSpeedTarget = 1.0f;
    bool mDebugKeys = true;
    bool mCheatsEnabled = false;
    bool mCheckCacheVersion = false;
    std::string mCommandLine;
    int mLastEvent = 0;
    bool mWindowedCaption = false;
    std::deque<PlatformEvent> mEvents;
    uint32_t mModeSwitchTime = 0;
    bool mTimingLocked = false;
    double mAccumulated = 0.0;
    uint32_t mLastTick = 0;
    int mUpdateInterval = 10;
    int mStepsInRow = 0;
    bool mUpdatedSinceDraw = false;
    double mFraction = 0.0;
    bool mGaveUpLocking = false;
    int mTooFastStrikes = 0;
    uint32_t mLastLockCheck = 0;
    int mLockCheckSteps = 0;
    std::string mDataFolder;
    std::string mConfigPath;
    // Why the data folder cannot be written ("is read-only", ...); empty when it can.
    std::string mDataFolderProblem;
    bool mNoSound = false;          // sounds load and play silently, no sound device is opened

    // Devices, input and the single-instance lock.
    Graphics* mGraphics = nullptr;
    InputManager mInput;
    std::unique_ptr<SingleInstance> mSingleInstance;
    bool mSecondInstance = false;   // Go found another game running and handed over to it
    bool mFullscreen = false;       // start full screen
    bool mInCancelMouse = false;
    bool mCancelledEvent = false;   // the message being handled is a cancelled one
    int mModalPresses = 0;          // presses routed since the last modal loop started
    uint32_t mNextFpsSample = 0;
    uint32_t mLastSleep = 0;        // milliseconds slept by the last idle frame
    double mFrameWait = 0.0;        // milliseconds until the next frame may be drawn
    int mFramesSkipped = 0;         // drawn frames that matched the last presented one
    bool mFirstFrameLogged = false;
    int mUpdateCount = 0;           // update steps run since start
    bool mBeforeWindow = false;
    int mRaiseRequests = 0;         // times a second launch asked this game to come forward
    // Dropped events beyond this many pending ones keep a flood from growing without bound.
    static constexpr size_t kMaxQueuedEvents = 100000;

private:
    void DrawFrame();
    void DrawOverlay();
    void RunStep();
    void LockCheck();
    void ReleaseMouseCapture();
    void SetMousePosition(float x, float y);
    Point ToGadget(const Gadget* gadget, float x, float y) const;
    void LoaderMain();
    void PollSingleInstance();
    // Record and replay hooks (AppJournal.cpp), each at the point of the loop whose input it
    // records or replays.
    bool BeginJournalStep(int64_t* outerStep);
    void EndJournalStep(int64_t outerStep);
    bool LoadingFinishedNow();
    bool PointerLeftWindow();
    void PollKeyboard();
    void ReplayEvents();
    void WindowActivated(bool active);

    InputJournal* mJournal = nullptr;

    Clock* mClock = nullptr;
    std::thread mLoader;
};
