// The display settings of "game.cfg" ("Width", "Height", "Fullscreen", "Software"), the
// command-line switches "-software" and "-hardware", and the desktop checks that can make windowed
// play impossible. Kept apart from the device so it can be decided before any window exists.
#pragma once

#include <string>

class Registry;

class DisplaySettings {
public:
    // What the game would like and what the hardware test said.
    struct Preferences {
        int width = 800;
        int height = 600;
        bool fullscreen = false;
        bool softwareRequired = false;
        bool softwareRecommended = false;
    };

    // Applies the switches to the hardware verdicts, reads the four keys (writing the preferred
    // values of missing ones), falls back to 800 by 600 full screen hardware when a size is 0,
    // and writes the file back at once. `commandLine` is lower-cased.
    void Read(Registry& config, const std::string& commandLine, const Preferences& preferences);
    // Windowed play needs a desktop at least 800 wide in 16 or 32 bit colour; otherwise the game
    // runs full screen and the reason is kept.
    void CheckDesktop(int desktopWidth, int desktopHeight, int desktopDepth);
    // Writes the current values and flushes the file.
    void Write(Registry& config) const;
    // True when the command line skips the hardware test.
    static bool SwitchGiven(const std::string& commandLine);

    int mWidth = 800;
    int mHeight = 600;
    bool mFullscreen = false;
    bool mSoftware = false;
    bool mSoftwareRequired = false;
    bool mSoftwareRecommended = false;
    bool mWindowedImpossible = false;
    std::string mWindowedImpossibleReason;
    int mDesktopWidth = 0;
    int mDesktopHeight = 0;
    int mDesktopDepth = 0;
};
