// Shared test entry: every suite runs headless, with its data folder in a fresh temporary folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "TestSupport.h"

int main(int argc, char** argv) {
    // A test program started as a crash reporter (a crash test gone wrong) must not run every
    // test again, and so on.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--crash-report") == 0) return 3;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TestSupport::UseFreshDataFolder();
    return RUN_ALL_TESTS();
}
