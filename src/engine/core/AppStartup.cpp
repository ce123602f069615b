// The application frame's start-up: the window, the drawing and sound devices, and the cursors.
// This is where the frame meets the drawing and sound subsystems it starts; the rest of the
// frame (App.cpp) knows them only through the abstract drawing surface.
#include "engine/core/App.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/audio/Audio.h"
#include "engine/core/Graphics.h"
#include "engine/draw/DisplaySettings.h"
#include "engine/draw/GraphicsFactory.h"
#include "persistence/Registry.h"
#include "platform/Cursor.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "platform/Window.h"
#include "support/DebugLog.h"

namespace {

// Bit-mask cursors: '#' black, '.' white, anything else transparent. 32 rows of 32 columns.
const char* const kGrabShape[] = {
    "", "", "", "", "",
    "          ## ## ##",
    "         #..#..#..###",
    "         #..#..#..#..#",
    "      ## #........#..#",
    "     #..##...........#",
    "     #...#...........#",
    "      #..............#",
    "       #.............#",
    "       #............#",
    "        #...........#",
    "        #..........#",
    "         #.........#",
    "         #########",
};

const char* const kHandShape[] = {
    "", "", "", "",
    "          ##",
    "         #..#",
    "         #..#",
    "         #..#",
    "         #..###",
    "         #..#..###",
    "         #..#..#..##",
    "      ## #..#..#..#.#",
    "     #..##........#..#",
    "     #...#...........#",
    "      #..............#",
    "       #.............#",
    "       #............#",
    "        #...........#",
    "        #..........#",
    "         #.........#",
    "         #########",
};

void BuildMasks(const char* const* rows, int rowCount, uint8_t* data, uint8_t* mask) {
    for (int i = 0; i < 128; ++i) data[i] = mask[i] = 0;
    for (int y = 0; y < rowCount && y < 32; ++y) {
        const char* row = rows[y];
        for (int x = 0; x < 32 && row[x]; ++x) {
            uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
            int index = y * 4 + x / 8;
            if (row[x] == '#') {
                data[index] |= bit;
                mask[index] |= bit;
            } else if (row[x] == '.') {
                mask[index] |= bit;
            }
        }
    }
}

// The game's display wishes with the hardware test's verdicts.
DisplaySettings::Preferences HardwarePreferences(const std::string& commandLine) {
    DisplaySettings::Preferences preferences;
    GraphicsFactory::HardwareVerdicts(commandLine, &preferences.softwareRequired, &preferences.softwareRecommended);
    return preferences;
}

}  // namespace

// ---- [start-up] ---------------------------------------------------------------------------------

void App::Go() {
    NoteCrashFields();
    if (mCommandLine.find("-crash") != std::string::npos) TriggerCrashTest();
    if (!Window::InitVideo()) {
        std::string reason = "The display cannot be opened: " + Window::LastError();
        DebugLog::Log("%s", reason.c_str());
        MessageBox("Display Error", reason, "OK");
        Quit();
        return;
    }
    CreateCursors();

    // Before anything touches the data folder: a second launch must leave the running game's
    // cache and log alone.
    if (Files::EnsureDataRoot()) {
        mSingleInstance = std::make_unique<SingleInstance>();
        SingleInstance::Result result = mSingleInstance->Acquire(Files::DataRoot(), mName);
        if (result == SingleInstance::Result::kHandedOver) {
            DebugLog::Log("Another copy of the game is running; it was asked to come forward");
            mSecondInstance = true;
            mSingleInstance.reset();
            mQuit = true;
            return;
        }
        if (result == SingleInstance::Result::kUnavailable)
            DebugLog::Log("The single-instance lock could not be made in %s", Files::DataRoot().c_str());
    }
    if (!DebugLog::Enabled()) DebugLog::Start();
    if (!Files::IsDirectory(Files::DataRoot()))
        DebugLog::Log("The data folder %s cannot be used; running without it", Files::DataRoot().c_str());
    PrepareCache();

    PreWindow();
    if (!CreateAppWindow()) {
        std::string reason = "The game window cannot be created: " + Window::LastError();
        DebugLog::Log("%s", reason.c_str());
        MessageBox("Display Error", reason, "OK");
        Quit();
        return;
    }
    mGraphics = CreateGraphics();
    if (!mGraphics || !mGraphics->Init(mWindow.get())) {
        DebugLog::Log("The drawing device could not be started");
        Quit();
        return;
    }
    // A screen at rest costs almost nothing when its unchanged frames are not drawn again.
    mGraphics->mSkipUnchanged = true;
    // Without a display the problem went to standard error already (SetupDataFolder).
    if (!mDataFolderProblem.empty() && Window::HasDisplay()) {
        MessageBox("Data Folder Error",
                   "The data folder " + mDataFolder + " " + mDataFolderProblem +
                       ".\n\nYou can play, but settings, profiles, scores and saved games will not be kept.",
                   "OK");
    }
    mInput.Init();
    if (!InitSound()) DebugLog::Log("Sound is off: the sound system could not be started");
    NoteCrashFields();
    ResetTiming();
}

bool App::InitSound() {
    Audio& audio = Audio::Get();
    // Decoded sounds are cached only when the cache folder's version is checked at start-up.
    audio.SetWriteCache(mCheckCacheVersion);
    if (!mConfigPath.empty()) audio.SetConfigPath(mConfigPath);
    // Load failures are reported from the loader thread; the message box blocks only that thread.
    audio.SetMessageHandler([this](const std::string& text) { MessageBox("Sound Error", text, "OK"); });
    audio.Init(mNoSound ? AudioOutput::Silent : AudioOutput::Device);
    // A player without a sound device hears nothing; the terminal at least says why.
    if (!mNoSound && audio.IsEnabled() && !audio.HasDevice())
        std::fprintf(stderr, "No sound device (%s); playing silently\n", audio.DeviceError().c_str());
    return audio.IsEnabled();
}

void App::ShutdownSound() {
    Audio& audio = Audio::Get();
    if (!audio.IsEnabled()) return;
    audio.SaveVolume();
    audio.Shutdown();
    audio.SetMessageHandler(nullptr);
}

void App::ActivateSound(bool active) { Audio::Get().Activate(active); }

bool App::CreateAppWindow() {
    if (!mWindow) mWindow = std::make_unique<Window>();
    Window::Options options;
    options.title = mVersion.empty() ? mTitle : mTitle + " " + mVersion;
    options.width = 800;
    options.height = 600;
    options.fullscreen = mFullscreen;
    options.resizable = true;
    if (Window::InitVideo() && Window::HasDisplay()) {
        // The window takes the size and mode of "game.cfg"; a desktop too small for windowed
        // play starts full screen.
        Registry config;
        config.Load(mConfigPath.empty() ? std::string("game.cfg") : mConfigPath);
        DisplaySettings settings;
        settings.Read(config, mCommandLine, HardwarePreferences(mCommandLine));
        int width = 0, height = 0, depth = 0;
        if (Desktop::DesktopMode(&width, &height, &depth)) settings.CheckDesktop(width, height, depth);
        options.width = std::clamp(settings.mWidth, 320, 16384);
        options.height = std::clamp(settings.mHeight, 240, 16384);
        options.fullscreen = mFullscreen || settings.mFullscreen || settings.mWindowedImpossible;
        if (settings.mWindowedImpossible) DebugLog::Log("%s", settings.mWindowedImpossibleReason.c_str());
    }
    if (!mWindow->Create(options)) return false;
    // Pending messages of a new window (size, focus) are handled before the first frame.
    mWindow->Pump([this](const PlatformEvent& event) { WindowMessage(event); });
    return true;
}

Graphics* App::CreateGraphics() {
    // Without a display (tests, tools) the headless device keeps drawing cheap and exact.
    if (!Window::HasDisplay()) return new Graphics();
    Registry config;
    config.Load(mConfigPath.empty() ? std::string("game.cfg") : mConfigPath);
    DisplaySettings settings;
    settings.Read(config, mCommandLine, HardwarePreferences(mCommandLine));
    bool software = settings.mSoftware;
    GraphicsDevice* device = GraphicsFactory::Create(mWindow.get(), software);
    if (software != settings.mSoftware) {
        // The accelerated renderer could not be made: remember, so the next start goes straight
        // to software drawing.
        DebugLog::Log("Accelerated drawing is not available; drawing in software");
        settings.mSoftware = software;
        settings.Write(config);
    }
    return device;
}

void App::Beep() { Desktop::Beep(); }

// ---- [cursors] ------------------------------------------------------------------------------------

void App::CreateCursors() {
    uint8_t data[128], mask[128];
    if (!mArrowCursor) mArrowCursor = Cursor::CreateSystem(Cursor::kArrow);
    if (!mWaitCursor) mWaitCursor = Cursor::CreateSystem(Cursor::kWait);
    if (!mBeamCursor) mBeamCursor = Cursor::CreateSystem(Cursor::kBeam);
    if (!mBlankCursor) {
        BuildMasks(nullptr, 0, data, mask);
        mBlankCursor = Cursor::CreateFromMasks(Cursor::kBlank, data, mask, 16, 16);
    }
    if (!mGrabCursor) {
        BuildMasks(kGrabShape, int(sizeof(kGrabShape) / sizeof(kGrabShape[0])), data, mask);
        mGrabCursor = Cursor::CreateFromMasks(Cursor::kGrab, data, mask, 15, 10);
    }
    if (!mHandCursor) {
        mHandCursor = Cursor::CreateSystem(Cursor::kHand);
        if (!mHandCursor->mHasSystemPointer) {
            delete mHandCursor;
            BuildMasks(kHandShape, int(sizeof(kHandShape) / sizeof(kHandShape[0])), data, mask);
            mHandCursor = Cursor::CreateFromMasks(Cursor::kHand, data, mask, 11, 4);
        }
    }
    mCurrentCursor = mArrowCursor;
}

void App::SetCursor(Cursor* cursor) {
    if (mBusyCount > 0) cursor = mWaitCursor;
    if (!cursor) cursor = mArrowCursor;
    mCurrentCursor = cursor;
    if (mGraphics && cursor) mGraphics->SetCursorKind(cursor->mKind == Cursor::kBlank ? 0 : int(cursor->mKind));
    UpdateCursor();
}

void App::UpdateCursor() {
    bool inside = mWindow && mWindow->IsOpen() && mWindow->MouseInside();
    if (inside && mGraphics && mGraphics->SoftwareCursorActive()) {
        if (mBlankCursor) mBlankCursor->Show();
    } else if (mCurrentCursor) {
        mCurrentCursor->Show();
    }
}
