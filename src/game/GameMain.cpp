// Command line of the game binary, then the application's life: start, run, and run again from
// scratch while the application asks for a restart (a display change).
#include "game/GameMain.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "board/BoardRandom.h"
#include "engine/core/Version.h"
#include "game/CrashReportApp.h"
#include "game/GameApp.h"
#include "support/CrashReporter.h"

namespace {

void PrintHelp() {
    std::printf(
        "Usage: quorlslide [options]\n"
        "\n"
        "  --help            show this help and exit\n"
        "  --version         show the version and exit\n"
        "  --fullscreen      start full screen\n"
        "  --windowed        start in a window\n"
        "  --seed N          seed the game's random source with N (replays a game)\n"
        "\n"
        "Developer switches (they skip the title screen and the menus):\n"
        "  --gauntlet        start a Gauntlet game as soon as loading is done\n"
        "  --journey         start a new journey as soon as loading is done\n"
        "  --level ID        play the journey level ID (world x 1000 + number) after loading\n"
        "\n"
        "  -software         draw with the software renderer\n"
        "  -hardware         draw with the accelerated renderer\n"
        "  -hwtest           run the hardware test again and write its pictures\n"
        "  -crash            crash on purpose (tests the crash reporter)\n");
}

struct Options {
    bool fullscreen = false;
    bool haveSeed = false;
    uint32_t seed = 0;
    int startPlay = 0;   // GameApp::mStartPlay
    int startLevel = 0;
};

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
        }
        // The other switches ("-software", "-crash", ...) are read from the command line by the
        // parts they concern.
    }
    return -1;
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

    // From here on a fault leaves a report in the data folder and shows the crash window.
    CrashReporter::Enable();
    // The debug log starts once this copy knows it is the running game (App::Go).
    ProgramRandom().Seed(options.haveSeed ? options.seed : App::Milliseconds());

    bool restart = false;
    do {
        std::unique_ptr<GameApp> app = CreateApplication();
        app->SetCommandLine(argc, argv);
        app->SetName(kGameTitle);
        app->SetVersion(kGameVersion);
        app->mFullscreen = options.fullscreen;
        // After a restart (a renderer chosen in the options) the player goes on at the main
        // menu; the developer switches only count for the first start.
        app->mAfterRestart = restart;
        app->mStartPlay = restart ? 0 : options.startPlay;
        app->mStartLevel = options.startLevel;
        // A seeded run makes the same first journey map as the tool's "journey SEED".
        if (options.haveSeed) app->SetMapSeed(options.seed);
        app->SetupDataFolder();
        app->Go();
        // Another copy of the game was running and has been brought forward.
        if (app->mSecondInstance) return 0;
        if (app->mQuit && !app->mRestart) {
            bool started = app->mWindow != nullptr;
            if (!started) return 1;
        }
        app->Run();
        app->Quit();
        restart = app->mRestart;
    } while (restart);
    return 0;
}
