// Fatal signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) for the crash reporter. The handler
// runs on an alternate stack and does only async-signal-safe work: it restores the previous
// handlers, lets go of the display, writes a report file through the caller's writer, starts a
// fresh copy of the program to show it, waits for that copy, and lets the signal end the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Fault {

// What the writer learns about the fault. `stack` starts with the faulting instruction.
struct Info {
    int signal = 0;
    uintptr_t faultAddress = 0;
    uintptr_t pc = 0;
    const uintptr_t* stack = nullptr;
    int stackCount = 0;
};

// Composes the report file's contents. Runs inside the signal handler: it may only use the
// signal-safe helpers below and memory prepared beforehand.
using Writer = void (*)(int fd, const Info& info);

struct Settings {
    std::string reportFolder;  // real path; made when the first report is written
    Writer writer = nullptr;
    // When `reporterSwitch` is not empty, the handler runs `program reporterSwitch reportPath`
    // (`program` empty: the running program itself) and waits for it to end.
    std::string program;
    std::string reporterSwitch;
};

// Installs the handlers (again when already installed, with the new settings).
bool Install(const Settings& settings);
// Gives the calling thread an alternate stack of its own (Install gives one to the thread that
// installs), so that a stack overflow on it is reported too. Kept until the thread ends.
void PrepareThread();
// Puts the previous handlers back.
void Uninstall();
bool Installed();
// True from the moment a fault is being reported.
bool InProgress();
// Reads the table of loaded objects again (installing reads it once); not for the handler.
void RefreshModules();
// The running program's real path (from /proc/self/exe).
std::string ProgramPath();

// ---- Signal-safe helpers for the writer -----------------------------------------------------------

void WriteText(int fd, const char* text);
void WriteBytes(int fd, const char* bytes, size_t count);
// Upper-case hexadecimal, at least `digits` digits.
void WriteHex(int fd, uint64_t value, int digits);
// Decimal, at least `digits` digits (zero-padded).
void WriteDecimal(int fd, uint64_t value, int digits);

// Where an address lies: the loaded object's path, its loadable segment (counted from 1) and the
// offset within that segment. False when no loaded object holds it.
struct Location {
    const char* module = "";
    unsigned segment = 0;
    uint64_t offset = 0;
};
bool FindModule(uintptr_t address, Location* location);
// Runs `writer` outside any handler and returns what it wrote (for tests).
std::string RunWriter(Writer writer, const Info& info);
// A monotonic millisecond clock.
uint64_t MonotonicMilliseconds();

// ---- Faults on purpose, for testing the reporter ----------------------------------------------------

enum class Kind { kSegmentation, kAbort, kStackOverflow, kDivideByZero };
[[noreturn]] void Raise(Kind kind);

}  // namespace Fault
