// Crash reporter, process side: prepared report fields and the signal-safe writer of the crash
// text. The fields live in two fixed slots; a change fills the slot not in use and then switches,
// so the handler always reads a complete one.
#include "support/CrashReporter.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/FaultHandler.h"
#include "platform/FileSystem.h"

namespace {

struct AppSlot {
    char before[1024];
    char after[4096];
    char extra[2048];
    uint64_t start;
};
AppSlot gSlots[2];
std::atomic<int> gCurrent{-1};  // -1: no application
bool gEnabled = false;
bool gStartReporter = true;
std::string gProgram;

void Copy(char* target, size_t size, const std::string& text) {
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

void Tag(int fd, const char* name, const char* value) {
    Fault::WriteText(fd, "<");
    Fault::WriteText(fd, name);
    Fault::WriteText(fd, ">");
    Fault::WriteText(fd, value);
    Fault::WriteText(fd, "</");
    Fault::WriteText(fd, name);
    Fault::WriteText(fd, ">");
}

// The crash text: the faulting module, the stack, then the application's fields, or "(null)"
// when no application exists.
void WriteCrashText(int fd, const Fault::Info& info) {
    int current = gCurrent.load();
    if (current < 0) {
        Fault::WriteText(fd, "(null)");
        return;
    }
    const AppSlot& app = gSlots[current];
    Fault::Location location;
    Fault::WriteText(fd, "<MODULE>");
    if (Fault::FindModule(info.pc, &location)) Fault::WriteText(fd, location.module);
    Fault::WriteText(fd, "</MODULE>");
    for (int i = 0; i < info.stackCount; ++i) {
        // Return addresses point after their call: look up the call itself.
        uintptr_t address = i == 0 ? info.stack[i] : info.stack[i] - 1;
        Fault::Location at;
        bool found = Fault::FindModule(address, &at);
        Fault::WriteText(fd, "<STACKWALK>");
        Fault::WriteHex(fd, found ? at.segment : 0, 4);
        Fault::WriteText(fd, ":");
        Fault::WriteHex(fd, found ? at.offset : 0, 8);
        if (found) {
            Fault::WriteText(fd, " ");
            Fault::WriteText(fd, at.module);
        }
        Fault::WriteText(fd, "</STACKWALK>");
    }
    Fault::WriteText(fd, app.before);
    uint64_t seconds = (Fault::MonotonicMilliseconds() - app.start) / 1000;
    Fault::WriteText(fd, "<RUNTIME>");
    Fault::WriteDecimal(fd, seconds / 3600, 2);
    Fault::WriteText(fd, ":");
    Fault::WriteDecimal(fd, (seconds / 60) % 60, 2);
    Fault::WriteText(fd, ":");
    Fault::WriteDecimal(fd, seconds % 60, 2);
    Fault::WriteText(fd, "</RUNTIME>");
    Fault::WriteText(fd, app.after);
    if (app.extra[0]) Tag(fd, "EXTENDED_INFO", app.extra);
}

bool InstallNow() {
    Fault::Settings settings;
    settings.reportFolder = CrashReporter::ReportFolder();
    settings.writer = WriteCrashText;
    if (gStartReporter) {
        settings.program = gProgram;
        settings.reporterSwitch = CrashReporter::kReporterSwitch;
    }
    return Fault::Install(settings);
}

// Fills the slot not in use from the one in use (or empty), lets `change` edit it, switches.
template <typename Change>
void ChangeApp(Change change) {
    if (Fault::InProgress()) return;
    int current = gCurrent.load();
    int next = current == 0 ? 1 : 0;
    AppSlot& slot = gSlots[next];
    if (current >= 0) slot = gSlots[current];
    else slot = AppSlot{};
    change(slot);
    gCurrent.store(next);
}

}  // namespace

std::string CrashReporter::ReportFolder() { return Files::PathForWrite("CrashReports"); }

uint64_t CrashReporter::NowMs() { return Fault::MonotonicMilliseconds(); }

bool CrashReporter::Enable(bool startReporter, const std::string& program) {
    gEnabled = true;
    gProgram = program;
    gStartReporter = startReporter;
    return InstallNow();
}

bool CrashReporter::Install() {
    if (!gEnabled) return false;
    if (Fault::Installed()) return true;
    return InstallNow();
}

void CrashReporter::Uninstall() { Fault::Uninstall(); }

bool CrashReporter::Installed() { return Fault::Installed(); }

void CrashReporter::SetApp(const std::string& tagsBeforeRuntime, const std::string& tagsAfterRuntime,
                           uint64_t startMonotonicMs) {
    ChangeApp([&](AppSlot& slot) {
        Copy(slot.before, sizeof slot.before, tagsBeforeRuntime);
        Copy(slot.after, sizeof slot.after, tagsAfterRuntime);
        slot.start = startMonotonicMs;
    });
    // Libraries loaded since (drawing drivers and the like) join the module table.
    if (Fault::Installed()) Fault::RefreshModules();
}

void CrashReporter::SetExtraInfo(const std::string& text) {
    int current = gCurrent.load();
    if (current < 0) return;
    size_t length = std::min(text.size(), sizeof gSlots[0].extra - 1);
    if (std::strlen(gSlots[current].extra) == length && std::memcmp(gSlots[current].extra, text.data(), length) == 0)
        return;
    ChangeApp([&](AppSlot& slot) { Copy(slot.extra, sizeof slot.extra, text); });
}

void CrashReporter::ClearApp() {
    if (!Fault::InProgress()) gCurrent.store(-1);
}

std::string CrashReporter::CrashTextFor(uintptr_t pc) {
    Fault::RefreshModules();
    uintptr_t stack[1] = {pc};
    Fault::Info info;
    info.pc = pc;
    info.stack = stack;
    info.stackCount = 1;
    return Fault::RunWriter(WriteCrashText, info);
}
