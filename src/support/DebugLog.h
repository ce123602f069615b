// The process-wide debug log: "DEBUG.TXT" in the data folder, emptied when the log starts, every
// line ended by CR LF. There is no viewer window on this platform; the file is the only branch.
#pragma once

#include <string>

class DebugLog {
public:
    // Starts the log: empties (or creates) DEBUG.TXT in the data folder. Safe to call again,
    // which starts a fresh file. Without a writable data folder lines go to standard error.
    static void Start();
    // printf-style; the message is cut to 2047 characters. Does nothing before Start.
    // Starts logging to the existing DEBUG.TXT without emptying it (the crash reporter process
    // adds to the log of the game that crashed).
    static void Continue();
    static void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static bool Enabled();
    // The real path of the log file, empty when not started.
    static std::string FilePath();
    // Stops logging (tests); Log does nothing until the next Start.
    static void Stop();
};
