// The crash reporter's process-wide side: it catches fatal signals (through the platform's
// fault handler), writes the crash text to "CrashReports/<date-time>.txt" in the data folder and
// starts a fresh copy of the game with the reporter switch to show and send it. The text of the
// application's report fields is prepared ahead, since nothing may be built inside the handler.
#pragma once

#include <cstdint>
#include <string>

class CrashReporter {
public:
    // The switch that starts the reporter process: `program --crash-report <file>`.
    static constexpr const char* kReporterSwitch = "--crash-report";

    // Makes this process one that reports its crashes (the game's entry calls it; tests and
    // tools do not, and the reporter process never does) and installs the handlers at once, so
    // a fault before the application exists still leaves a report. With `startReporter` false
    // only the report file is written; `program` replaces the running program as the reporter.
    static bool Enable(bool startReporter = true, const std::string& program = std::string());
    // Called when the application object is made: installs the handlers again if something
    // removed them; does nothing in a process that did not Enable.
    static bool Install();
    static void Uninstall();
    static bool Installed();

    // The application's report fields: the tags before the run time ("PRODUCT", "VERSION") and
    // after it ("FULLSCREEN" ... "DDRAW"), and the start of the run on the monotonic clock.
    // Until this is set (and after ClearApp) a crash writes "(null)".
    static void SetApp(const std::string& tagsBeforeRuntime, const std::string& tagsAfterRuntime,
                       uint64_t startMonotonicMs);
    // The text of GetExtraInfo; written in an "EXTENDED_INFO" tag when not empty. Cheap when
    // unchanged, so it can be called every update step.
    static void SetExtraInfo(const std::string& text);
    static void ClearApp();
    // The real folder the reports go to.
    static std::string ReportFolder();
    // Milliseconds on the clock the run time is measured with.
    static uint64_t NowMs();
    // The crash text as the handler would write it now for a fault at `pc` (for tests).
    static std::string CrashTextFor(uintptr_t pc);
};
