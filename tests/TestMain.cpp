// Shared test entry: every suite runs headless, with its data folder in a fresh temporary folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TestSupport::UseFreshDataFolder();
    return RUN_ALL_TESTS();
}
