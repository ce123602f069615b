// The crash reporter process: a small application of its own, started by the crashed game with
// the report file's path. It shows the crash window (engine window, fonts and controls), lets the
// player describe the problem and send the report to the address in game.cfg ("ReportURL"), and
// ends when the window is closed. It installs no crash handler: a fault here cannot loop.
#pragma once

#include <memory>
#include <string>

#include "engine/core/App.h"
#include "engine/draw/Font.h"

class CrashReport;
class CrashWindow;

class CrashReportApp : public App {
public:
    // `reportFile` is the real path of the crash text; `reportUrl` may be empty.
    CrashReportApp(std::string reportFile, std::string crashText, std::string reportUrl);
    ~CrashReportApp() override;

    // A window and the software device only: no single-instance rule (the crashed game still
    // holds it), no cache, no sound.
    void Go() override;
    Graphics* CreateGraphics() override;

    CrashReport& Report() { return *mReport; }
    CrashWindow* Screen() { return mCrashWindow; }  // null until BuildWindow
    // The description field's text.
    std::string DescriptionText() const;
    // Builds the window's gadgets (Go does it; tests without a display call it themselves).
    void BuildWindow();

    Font mFont;
    Font mSmallFont;

private:
    std::string mReportFile;
    std::unique_ptr<CrashReport> mReport;
    CrashWindow* mCrashWindow = nullptr;
};

// Runs the reporter for `reportFile` (the game's "--crash-report" switch); returns the exit status.
int RunCrashReporter(const std::string& reportFile);
