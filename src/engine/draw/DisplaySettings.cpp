// Display settings: the order of decisions matters (switches, then the file, then the fallback
// for a zero size, then the forced software mode), so it lives in one place.
#include "engine/draw/DisplaySettings.h"

#include "persistence/Registry.h"

namespace {
bool HasWord(const std::string& commandLine, const std::string& word) {
    size_t at = 0;
    while ((at = commandLine.find(word, at)) != std::string::npos) {
        size_t end = at + word.size();
        bool startOk = at == 0 || commandLine[at - 1] == ' ';
        bool endOk = end == commandLine.size() || commandLine[end] == ' ';
        if (startOk && endOk) return true;
        at = end;
    }
    return false;
}
}  // namespace

bool DisplaySettings::SwitchGiven(const std::string& commandLine) {
    return HasWord(commandLine, "-software") || HasWord(commandLine, "-hardware");
}

void DisplaySettings::Read(Registry& config, const std::string& commandLine, const Preferences& preferences) {
    mSoftwareRequired = preferences.softwareRequired;
    mSoftwareRecommended = preferences.softwareRecommended;
    bool switched = SwitchGiven(commandLine);
    if (HasWord(commandLine, "-hardware")) mSoftwareRequired = mSoftwareRecommended = false;
    if (HasWord(commandLine, "-software")) mSoftwareRequired = mSoftwareRecommended = true;

    if (!config.Exists("Width")) config.SetInt("Width", preferences.width);
    if (!config.Exists("Height")) config.SetInt("Height", preferences.height);
    if (!config.Exists("Fullscreen")) config.SetBool("Fullscreen", preferences.fullscreen);
    bool verdict = mSoftwareRequired || mSoftwareRecommended;
    if (!config.Exists("Software") && !switched) config.SetBool("Software", verdict);

    mWidth = config.GetInt("Width");
    mHeight = config.GetInt("Height");
    mFullscreen = config.GetBool("Fullscreen");
    mSoftware = config.Exists("Software") ? config.GetBool("Software") : verdict;
    if (mWidth <= 0 || mHeight <= 0) {
        mWidth = 800;
        mHeight = 600;
        mFullscreen = true;
        mSoftware = false;
    }
    if (mSoftwareRequired) mSoftware = true;
    config.Flush();
}

void DisplaySettings::CheckDesktop(int desktopWidth, int desktopHeight, int desktopDepth) {
    mDesktopWidth = desktopWidth;
    mDesktopHeight = desktopHeight;
    mDesktopDepth = desktopDepth;
    mWindowedImpossible = false;
    mWindowedImpossibleReason.clear();
    if (desktopWidth < 800) {
        mWindowedImpossible = true;
        mWindowedImpossibleReason = "Your desktop resolution must be set higher than 640x480";
    } else if (desktopDepth != 16 && desktopDepth != 32 && desktopDepth != 24) {
        mWindowedImpossible = true;
        mWindowedImpossibleReason = "Your desktop color depth must be set to 16 bit or 32 bit color";
    }
    if (mWindowedImpossible) mFullscreen = true;
}

void DisplaySettings::Write(Registry& config) const {
    config.SetInt("Width", mWidth);
    config.SetInt("Height", mHeight);
    config.SetBool("Fullscreen", mFullscreen);
    config.SetBool("Software", mSoftware);
    config.Flush();
}
