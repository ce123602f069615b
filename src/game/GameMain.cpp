// Command line of the game binary. The application frame takes over from here once it exists.
#include "game/GameMain.h"

#include <cstdio>
#include <cstring>

#include "app/Version.h"

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
        "  -software         draw with the software renderer\n"
        "  -hardware         draw with the accelerated renderer\n"
        "  -hwtest           run the hardware test again\n"
        "  -crash            crash on purpose (tests the crash reporter)\n");
}

}  // namespace

int GameMain(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", kGameTitle, kGameVersion);
            return 0;
        }
    }
    std::printf("%s %s\n", kGameTitle, kGameVersion);
    return 0;
}
