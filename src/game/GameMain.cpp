// Command line of the game binary, then the application's life: start, run, and run again from
// scratch while the application asks for a restart (a display change). Recording and replaying
// a run are set up here too: the journal outlives the restarts, and the state line is printed
// when the last run is over.
#include "game/GameMain.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "board/BoardRandom.h"
#include "engine/core/InputJournal.h"
#include "engine/core/Version.h"
#include "engine/core/VirtualClock.h"
#include "game/CrashReportApp.h"
#include "game/GameApp.h"
#include "game/SoakDriver.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "support/CrashReporter.h"

namespace {

// One line per switch; the manual page lists the same switches (a test compares them).
void PrintHelp() {
    std::printf(
        "Usage: quorlslide [options]\n"
        "\n"
        "  --help            show this help and exit\n"
        "  --version         show the version and exit\n"
        "  --fullscreen      start full screen\n"
        "  --windowed        start in a window\n"
        "  --seed N          seed the game's random source with N (replays a game)\n"
        "  --datadir DIR     read the game's pictures, fonts and sounds from DIR\n"
        "  --userdir DIR     keep settings, profiles, scores and saved games in DIR\n"
        "  --nosound         play without sound (no sound device is opened)\n"
        "  --record FILE     record every input of this run into FILE; print the state line at exit\n"
        "  --replay FILE     play the inputs recorded in FILE again; print the state line at exit\n"
        "  --headless        with --replay: no window, no sound, as fast as the machine can\n"
        "\n"
        "Developer switches (they skip the title screen and the menus):\n"
        "  --gauntlet        start a Gauntlet game as soon as loading is done\n"
        "  --journey         start a new journey as soon as loading is done\n"
        "  --level ID        play the journey level ID (world x 1000 + number) after loading\n"
        "  --soak SECONDS    play by itself for SECONDS seconds through games, saves and menus\n"
        "\n"
        "  -software         draw with the software renderer\n"
        "  -hardware         draw with the accelerated renderer\n"
        "  -hwtest           run the hardware test again and write its pictures\n"
        "  -crash            crash on purpose (tests the crash reporter)\n"
        "  --log-targets     note in the debug log where a player could click next (scripted tests)\n");
}

struct Options {
    bool fullscreen = false;
    bool haveSeed = false;
    uint32_t seed = 0;
    int startPlay = 0;   // GameApp::mStartPlay
    int startLevel = 0;
    std::string dataDir;
    std::string userDir;
    bool noSound = false;
    std::string recordPath;
    std::string replayPath;
    bool headless = false;
    bool logTargets = false;
    int soakSeconds = 0;  // 0: no soak run
};

// The word after a switch that needs one, or null (with the message printed).
const char* SwitchValue(int argc, char** argv, int& i, const char* what) {
    if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        std::fprintf(stderr, "quorlslide: %s needs %s\n", argv[i], what);
        return nullptr;
    }
    return argv[++i];
}

// Returns -1 to go on, otherwise the exit status.
int ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(arg, "--version") == 0) {
            std::printf("%s %s\n", kGameTitle, kGameVersion);
            return 0;
        }
        if (std::strcmp(arg, "--fullscreen") == 0) {
            options.fullscreen = true;
        } else if (std::strcmp(arg, "--windowed") == 0) {
            options.fullscreen = false;
        } else if (std::strcmp(arg, "--seed") == 0) {
            char* end = nullptr;
            errno = 0;
            unsigned long long value = i + 1 < argc ? std::strtoull(argv[i + 1], &end, 10) : 0;
            if (i + 1 >= argc || end == argv[i + 1] || *end != '\0' || errno != 0 || value > 0xFFFFFFFFull ||
                argv[i + 1][0] == '-') {
                std::fprintf(stderr, "quorlslide: --seed needs a whole number from 0 to 4294967295\n");
                return 2;
            }
            options.haveSeed = true;
            options.seed = static_cast<uint32_t>(value);
            ++i;
        } else if (std::strcmp(arg, "--gauntlet") == 0) {
            options.startPlay = 1;
        } else if (std::strcmp(arg, "--journey") == 0) {
            options.startPlay = 3;
        } else if (std::strcmp(arg, "--log-targets") == 0) {
            options.logTargets = true;
        } else if (std::strcmp(arg, "--level") == 0) {
            char* end = nullptr;
            errno = 0;
            long long value = i + 1 < argc ? std::strtoll(argv[i + 1], &end, 10) : 0;
            if (i + 1 >= argc || end == argv[i + 1] || *end != '\0' || errno != 0 ||
                value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
                std::fprintf(stderr, "quorlslide: --level needs a whole number from -2147483648 to 2147483647\n");
                return 2;
            }
            options.startPlay = 2;
            options.startLevel = static_cast<int>(value);
            ++i;
        } else if (std::strcmp(arg, "--datadir") == 0) {
            const char* dir = SwitchValue(argc, argv, i, "a folder");
            if (!dir) return 2;
            options.dataDir = dir;
        } else if (std::strcmp(arg, "--userdir") == 0) {
            const char* dir = SwitchValue(argc, argv, i, "a folder");
            if (!dir) return 2;
            options.userDir = dir;
        } else if (std::strcmp(arg, "--nosound") == 0) {
            options.noSound = true;
        } else if (std::strcmp(arg, "--record") == 0) {
            const char* file = SwitchValue(argc, argv, i, "a file name");
            if (!file) return 2;
            options.recordPath = file;
        } else if (std::strcmp(arg, "--replay") == 0) {
            const char* file = SwitchValue(argc, argv, i, "a file name");
            if (!file) return 2;
            options.replayPath = file;
        } else if (std::strcmp(arg, "--headless") == 0) {
            options.headless = true;
        } else if (std::strcmp(arg, "--soak") == 0) {
            char* end = nullptr;
            errno = 0;
            long value = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : 0;
            if (i + 1 >= argc || end == argv[i + 1] || *end != '\0' || errno != 0 || value < 1 || value > 86400 * 7) {
                std::fprintf(stderr, "quorlslide: --soak needs a number of seconds from 1 to 604800\n");
                return 2;
            }
            options.soakSeconds = static_cast<int>(value);
            ++i;
        }
        // The other switches ("-software", "-crash", ...) are read from the command line by the
        // parts they concern.
    }
    if (options.headless && options.replayPath.empty()) {
        std::fprintf(stderr, "quorlslide: --headless plays a replay: give --replay FILE too\n");
        return 2;
    }
    if (!options.recordPath.empty() && !options.replayPath.empty()) {
        std::fprintf(stderr, "quorlslide: --record and --replay cannot be used together\n");
        return 2;
    }
    if (options.soakSeconds > 0 && (!options.recordPath.empty() || !options.replayPath.empty())) {
        std::fprintf(stderr, "quorlslide: --soak plays by itself: it cannot be recorded or replayed\n");
        return 2;
    }
    return -1;
}

// Resources from --datadir, else found beside the program or in the installed share folder.
// Returns -1 to go on, otherwise the exit status.
int SetUpFolders(const Options& options) {
    if (!options.dataDir.empty()) {
        std::string dir = Files::AbsolutePath(options.dataDir);
        if (!Files::HoldsResources(dir)) {
            std::fprintf(stderr, "quorlslide: --datadir %s: the game's resources are not there (no Graphics folder)\n",
                         options.dataDir.c_str());
            return 2;
        }
        Files::SetResourceRoot(dir);
    } else if (!Files::HoldsResources(Files::ResourceRoot())) {
        std::string places;
        if (const char* env = std::getenv("QS_RESOURCE_DIR"); env && *env) {
            places = std::string(env) + " ($QS_RESOURCE_DIR)";
        } else {
            for (const std::string& dir : Files::ResourceCandidates()) places += (places.empty() ? "" : ", ") + dir;
        }
        std::fprintf(stderr, "quorlslide: the game's pictures, fonts and sounds were not found (looked in %s); "
                             "give their folder with --datadir DIR\n", places.c_str());
        return 1;
    }
    if (!options.userDir.empty()) Files::SetDataRoot(Files::AbsolutePath(options.userDir));
    return -1;
}

// Reads the replay and takes the start of play and the seed from it; or starts a recording.
// Returns -1 to go on, otherwise the exit status.
int SetUpJournal(Options& options, InputJournal& journal) {
    if (!options.replayPath.empty()) {
        std::string error;
        if (!journal.Load(Files::AbsolutePath(options.replayPath), &error)) {
            std::fprintf(stderr, "quorlslide: the replay is refused: %s\n", error.c_str());
            return 1;
        }
        int64_t seed = 0, startPlay = 0, startLevel = 0;
        if (!journal.GetValue("seed", &seed) || seed < 0 || seed > 0xFFFFFFFFll) {
            std::fprintf(stderr, "quorlslide: the replay is refused: it has no seed from 0 to 4294967295\n");
            return 1;
        }
        journal.GetValue("start-play", &startPlay);
        journal.GetValue("start-level", &startLevel);
        if (startPlay < 0 || startPlay > 255 || startLevel < std::numeric_limits<int32_t>::min() ||
            startLevel > std::numeric_limits<int32_t>::max()) {
            std::fprintf(stderr, "quorlslide: the replay is refused: its start of play is out of range\n");
            return 1;
        }
        options.haveSeed = true;
        options.seed = uint32_t(seed);
        options.startPlay = int(startPlay);
        options.startLevel = int(startLevel);
        if (!journal.RecordedVersion().empty() && journal.RecordedVersion() != kGameVersion)
            std::fprintf(stderr, "quorlslide: the replay was recorded by version %s, this is %s: it may go another way\n",
                         journal.RecordedVersion().c_str(), kGameVersion);
        return -1;
    }
    if (!options.recordPath.empty()) {
        // Found out now, not after the whole game was played.
        if (Files::IsDirectory(Files::AbsolutePath(options.recordPath))) {
            std::fprintf(stderr, "quorlslide: --record %s: that is a folder, not a file\n", options.recordPath.c_str());
            return 2;
        }
        journal.StartRecording();
        journal.SetValue("seed", options.seed);
        journal.SetValue("start-play", options.startPlay);
        journal.SetValue("start-level", options.startLevel);
    }
    return -1;
}

// The recording is written and the replay's leftovers reported; the state line goes out last.
int FinishJournal(const Options& options, InputJournal& journal, const std::string& state) {
    int status = 0;
    if (journal.Recording()) {
        journal.FinishRecording();
        if (journal.Truncated())
            std::fprintf(stderr, "quorlslide: the recording was cut at step %lld: longer runs do not fit a replay file\n",
                         static_cast<long long>(journal.EndStep()));
        std::string error;
        if (!journal.Save(Files::AbsolutePath(options.recordPath), kGameVersion, &error)) {
            std::fprintf(stderr, "quorlslide: the recording was not saved: %s\n", error.c_str());
            status = 1;
        }
    } else if (journal.Replaying() && journal.UnusedEntries() > 0) {
        std::fprintf(stderr, "quorlslide: the replay went another way than the recorded run: %zu inputs were not used\n",
                     journal.UnusedEntries());
    }
    std::printf("state %s\n", state.c_str());
    std::fflush(stdout);
    return status;
}

// The application object of one run.
std::unique_ptr<GameApp> CreateApplication() { return std::make_unique<GameApp>(); }

}  // namespace

int GameMain(int argc, char** argv) {
    // The crashed game starts a fresh copy of itself with this switch to show the crash window.
    if (argc >= 3 && std::strcmp(argv[1], CrashReporter::kReporterSwitch) == 0) return RunCrashReporter(argv[2]);

    Options options;
    int status = ParseArguments(argc, argv, options);
    if (status >= 0) return status;
    status = SetUpFolders(options);
    if (status >= 0) return status;

    if (!options.haveSeed) options.seed = App::Milliseconds();
    InputJournal journal;
    status = SetUpJournal(options, journal);
    if (status >= 0) return status;
    bool journalled = journal.GetMode() != InputJournal::Mode::kOff;

    VirtualClock fastClock;
    if (options.headless) Window::UseHeadlessDrivers();

    // From here on a fault leaves a report in the data folder and shows the crash window. A soak
    // run has none: it runs under the sanitizers, which report a fault themselves.
    bool soak = options.soakSeconds > 0;
    if (!soak) CrashReporter::Enable();
    // A soak run is the same run each time (unless a seed is given).
    if (soak && !options.haveSeed) {
        options.haveSeed = true;
        options.seed = 1;
    }
    // The debug log starts once this copy knows it is the running game (App::Go).
    ProgramRandom().Seed(options.seed);

    std::string state;
    bool restart = false;
    do {
        std::unique_ptr<GameApp> app = CreateApplication();
        if (options.headless) app->SetClock(&fastClock);
        app->SetJournal(journalled ? &journal : nullptr);
        app->SetCommandLine(argc, argv);
        app->SetName(kGameTitle);
        app->SetVersion(kGameVersion);
        app->mFullscreen = options.fullscreen;
        // After a restart (a renderer chosen in the options) the player goes on at the main
        // menu; the developer switches only count for the first start.
        app->mAfterRestart = restart;
        app->mStartPlay = restart || soak ? 0 : options.startPlay;
        app->mNoSound = options.noSound || options.headless;
        app->mStartLevel = options.startLevel;
        app->mLogTargets = options.logTargets;
        // A seeded run makes the same first journey map as the tool's "journey SEED"; a recorded
        // or replayed one must not take its maps' seeds from the clock either.
        if (options.haveSeed || journalled) app->SetMapSeed(options.seed);
        app->SetupDataFolder();
        app->Go();
        // Another copy of the game was running and has been brought forward.
        if (app->mSecondInstance) {
            if (!journalled) return 0;
            std::fprintf(stderr, "quorlslide: another copy of the game uses the data folder %s; a recorded or "
                                 "replayed run needs its own (--userdir DIR)\n", app->mDataFolder.c_str());
            return 1;
        }
        if (app->mQuit && !app->mRestart) {
            bool started = app->mWindow != nullptr;
            if (!started) return 1;
        }
        std::unique_ptr<SoakDriver> driver;
        if (soak) {
            driver = std::make_unique<SoakDriver>(app.get(), options.soakSeconds);
            app->mSoak = driver.get();
        }
        app->Run();
        app->Quit();
        app->mSoak = nullptr;
        if (driver && driver->Failed()) return 3;
        restart = app->mRestart && !soak;
        if (!restart && journalled) state = app->StateHashText();
    } while (restart);
    if (journalled) return FinishJournal(options, journal, state);
    return 0;
}
