// The fatal-signal handler. Everything the handler needs (report folder, program path, module
// table, a pipe for probing memory, the alternate stack) is prepared by Install; inside the
// handler only system calls from the async-signal-safe list are made.
//
// Index: [state] [module table] [writing] [handler] [install] [faults on purpose]
#include "platform/FaultHandler.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <fcntl.h>
#include <link.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

extern char** environ;

namespace Fault {
namespace {

// ---- [state] ------------------------------------------------------------------------------------

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];
constexpr int kMaxFrames = 64;
constexpr size_t kPathMax = 4096;

struct sigaction gPrevious[kSignalCount];
std::atomic<bool> gInstalled{false};
std::atomic<int> gEntered{0};
Writer gWriter = nullptr;
char gFolder[kPathMax];
char gProgram[kPathMax];  // the reporter's path, also its argv[0]
char gExec[kPathMax];
char gSelf[kPathMax];     // the running program, for the module table     // what is executed: the running program's /proc entry, or gProgram
char gSwitch[64];
int gProbe[2] = {-1, -1};
long gUtcOffset = 0;  // seconds east of UTC when installed, for the report's file name
alignas(16) char gAltStack[1 << 16];
uintptr_t gFrames[kMaxFrames];

// ---- [module table] -------------------------------------------------------------------------------

constexpr int kMaxModules = 512;
constexpr int kMaxSegments = 8;
constexpr size_t kPoolSize = 1 << 16;

struct Module {
    const char* path;
    int segmentCount;
    uintptr_t start[kMaxSegments];
    uintptr_t size[kMaxSegments];
};
struct ModuleTable {
    Module modules[kMaxModules];
    int count;
    char pool[kPoolSize];
    size_t used;
};
// Two tables: a refresh fills the one not in use, then switches.
ModuleTable gTables[2];
std::atomic<int> gCurrentTable{-1};

int AddModule(dl_phdr_info* info, size_t, void* data) {
    ModuleTable& table = *static_cast<ModuleTable*>(data);
    if (table.count >= kMaxModules) return 1;
    const char* name = info->dlpi_name && info->dlpi_name[0] ? info->dlpi_name : gSelf;
    size_t length = std::strlen(name);
    if (table.used + length + 1 > kPoolSize) return 1;
    Module& module = table.modules[table.count];
    module.path = table.pool + table.used;
    std::memcpy(table.pool + table.used, name, length + 1);
    table.used += length + 1;
    module.segmentCount = 0;
    for (int i = 0; i < info->dlpi_phnum && module.segmentCount < kMaxSegments; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD) continue;
        module.start[module.segmentCount] = info->dlpi_addr + header.p_vaddr;
        module.size[module.segmentCount] = header.p_memsz;
        ++module.segmentCount;
    }
    ++table.count;
    return 0;
}

// ---- [writing] ------------------------------------------------------------------------------------

bool Readable(uintptr_t address, size_t count) {
    // A write from unreadable memory fails with EFAULT instead of faulting.
    if (gProbe[1] < 0) return false;
    ssize_t written = write(gProbe[1], reinterpret_cast<const void*>(address), count);
    char sink[64];
    while (read(gProbe[0], sink, sizeof sink) > 0) {
    }
    return written == static_cast<ssize_t>(count);
}

int WalkStack(const ucontext_t* context, uintptr_t* frames, int max) {
    uintptr_t pc = 0, fp = 0;
#if defined(__x86_64__)
    pc = static_cast<uintptr_t>(context->uc_mcontext.gregs[REG_RIP]);
    fp = static_cast<uintptr_t>(context->uc_mcontext.gregs[REG_RBP]);
#elif defined(__aarch64__)
    pc = static_cast<uintptr_t>(context->uc_mcontext.pc);
    fp = static_cast<uintptr_t>(context->uc_mcontext.regs[29]);
#else
    (void)context;
#endif
    int count = 0;
    if (pc) frames[count++] = pc;
    // Frame records: the saved frame pointer, then the return address. Stop at a record that is
    // misaligned, not further up the stack than the last one, or not readable.
    uintptr_t previous = 0;
    while (count < max && fp != 0 && fp % sizeof(void*) == 0 && fp > previous && Readable(fp, 2 * sizeof(void*))) {
        const uintptr_t* record = reinterpret_cast<const uintptr_t*>(fp);
        if (record[1] == 0) break;
        frames[count++] = record[1];
        previous = fp;
        fp = record[0];
    }
    return count;
}

void CopyText(char* target, size_t size, const std::string& text) {
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

// "YYYY-MM-DD_HH-MM-SS" of a time given in seconds since 1970, by plain arithmetic.
void FormatTime(int64_t seconds, char* out) {
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) rest += 86400, --days;
    // Civil date from days since 1970-01-01.
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t day = doy - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yoe + era * 400 + (month <= 2);
    int64_t values[6] = {year, month, day, rest / 3600, (rest / 60) % 60, rest % 60};
    const char separators[6] = {'-', '-', '_', '-', '-', '\0'};
    int at = 0;
    for (int i = 0; i < 6; ++i) {
        int digits = i == 0 ? 4 : 2;
        int64_t v = values[i];
        for (int d = digits - 1; d >= 0; --d) {
            out[at + d] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
        at += digits;
        out[at++] = separators[i];
    }
}

// Appends `text` to `buffer` (of `size` bytes, always ended by a zero byte).
void Append(char* buffer, size_t size, const char* text) {
    size_t at = std::strlen(buffer);
    while (*text && at + 1 < size) buffer[at++] = *text++;
    buffer[at] = '\0';
}

// Opens a new report file in the report folder; its full path goes to `path`.
int OpenReport(char* path, size_t size) {
    mkdir(gFolder, 0755);
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    char stamp[32];
    FormatTime(static_cast<int64_t>(now.tv_sec) + gUtcOffset, stamp);
    for (int attempt = 0; attempt < 100; ++attempt) {
        path[0] = '\0';
        Append(path, size, gFolder);
        Append(path, size, "/");
        Append(path, size, stamp);
        if (attempt > 0) {
            char suffix[8] = {'-', static_cast<char>('0' + attempt / 10), static_cast<char>('0' + attempt % 10), 0};
            Append(path, size, suffix);
        }
        Append(path, size, ".txt");
        int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The window system's connection: shutting it down makes the display server take the game's
// window (and its full-screen state) away at once, which is all that can be done safely here.
void ReleaseDisplay() {
    for (int fd = 3; fd < 1024; ++fd) {
        struct stat info;
        if (fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode)) continue;
        sockaddr_un peer;
        socklen_t length = sizeof peer;
        std::memset(&peer, 0, sizeof peer);
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 || peer.sun_family != AF_UNIX) continue;
        // Abstract addresses start with a zero byte; look at the whole name.
        size_t nameLength = length > offsetof(sockaddr_un, sun_path) ? length - offsetof(sockaddr_un, sun_path) : 0;
        const char* name = peer.sun_path;
        bool display = false;
        for (size_t i = 0; i < nameLength && !display; ++i) {
            if (nameLength - i >= 9 && std::memcmp(name + i, ".X11-unix", 9) == 0) display = true;
            if (nameLength - i >= 8 && std::memcmp(name + i, "wayland-", 8) == 0) display = true;
        }
        if (display) shutdown(fd, SHUT_RDWR);
    }
}

pid_t StartReporter(const char* reportPath) {
    pid_t child;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    child = _Fork();
#else
    child = fork();
#endif
    if (child != 0) return child;
    // The reporter starts with no signal blocked and the default handlers.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    char* const argv[] = {gProgram, gSwitch, const_cast<char*>(reportPath), nullptr};
    execve(gExec, argv, environ);
    if (std::strcmp(gExec, gProgram) != 0) execve(gProgram, argv, environ);
    _exit(127);
}

// ---- [handler] ------------------------------------------------------------------------------------

void Handler(int signal, siginfo_t* info, void* rawContext) {
    // Restore the previous handlers first: a fault from here on goes where it would have gone.
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
    if (gEntered.exchange(1) != 0) {
        // Another thread is reporting already: this one waits for the process to end.
        for (;;) pause();
    }
    gInstalled = false;
    ReleaseDisplay();

    Info fault;
    fault.signal = signal;
    fault.faultAddress = reinterpret_cast<uintptr_t>(info ? info->si_addr : nullptr);
    fault.stackCount = WalkStack(static_cast<const ucontext_t*>(rawContext), gFrames, kMaxFrames);
    fault.stack = gFrames;
    fault.pc = fault.stackCount > 0 ? gFrames[0] : 0;

    char path[kPathMax + 64];
    int fd = OpenReport(path, sizeof path);
    if (fd >= 0) {
        if (gWriter) gWriter(fd, fault);
        fsync(fd);
        close(fd);
        if (gSwitch[0]) {
            pid_t child = StartReporter(path);
            if (child > 0) {
                int status = 0;
                while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
                }
            }
        }
    }
    // A fault of the processor comes back when the handler returns; a signal that was sent (by
    // abort, raise or kill) is sent again and arrives, with the previous handler, on return.
    if (!info || info->si_code <= 0) raise(signal);
}

}  // namespace

// ---- [install] -------------------------------------------------------------------------------------

std::string ProgramPath() {
    char buffer[kPathMax];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return std::string();
    return std::string(buffer, static_cast<size_t>(length));
}

void RefreshModules() {
    CopyText(gSelf, sizeof gSelf, ProgramPath());
    int current = gCurrentTable.load();
    int next = current == 0 ? 1 : 0;
    ModuleTable& table = gTables[next];
    table.count = 0;
    table.used = 0;
    dl_iterate_phdr(AddModule, &table);
    gCurrentTable.store(next);
}

bool Install(const Settings& settings) {
    if (gEntered.load()) return false;
    CopyText(gFolder, sizeof gFolder, settings.reportFolder);
    CopyText(gProgram, sizeof gProgram, settings.program.empty() ? ProgramPath() : settings.program);
    // The running program is started again through /proc, which finds it even if it was replaced
    // on disk since (an update while the game ran).
    CopyText(gExec, sizeof gExec, settings.program.empty() ? std::string("/proc/self/exe") : settings.program);
    CopyText(gSwitch, sizeof gSwitch, settings.reporterSwitch);
    gWriter = settings.writer;
    time_t now = time(nullptr);
    tm local;
    gUtcOffset = localtime_r(&now, &local) ? local.tm_gmtoff : 0;
    if (gProbe[0] < 0 && pipe2(gProbe, O_CLOEXEC | O_NONBLOCK) != 0) gProbe[0] = gProbe[1] = -1;
    RefreshModules();

    stack_t stack;
    std::memset(&stack, 0, sizeof stack);
    stack.ss_sp = gAltStack;
    stack.ss_size = sizeof gAltStack;
    if (sigaltstack(&stack, nullptr) != 0) return false;

    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = Handler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    bool wasInstalled = gInstalled.load();
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction previous;
        if (sigaction(kSignals[i], &action, &previous) != 0) return false;
        if (!wasInstalled) gPrevious[i] = previous;
    }
    gInstalled = true;
    return true;
}

namespace {

// A thread's alternate stack, switched off before its memory goes at the thread's end.
struct ThreadStack {
    std::unique_ptr<char[]> memory;
    ~ThreadStack() {
        if (!memory) return;
        stack_t off;
        std::memset(&off, 0, sizeof off);
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
    }
};

}  // namespace

void PrepareThread() {
    thread_local ThreadStack stack;
    if (stack.memory) return;
    stack.memory = std::make_unique<char[]>(sizeof gAltStack);
    stack_t alternate;
    std::memset(&alternate, 0, sizeof alternate);
    alternate.ss_sp = stack.memory.get();
    alternate.ss_size = sizeof gAltStack;
    if (sigaltstack(&alternate, nullptr) != 0) stack.memory.reset();
}

void Uninstall() {
    if (!gInstalled.exchange(false)) return;
    for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
}

bool Installed() { return gInstalled.load(); }

bool InProgress() { return gEntered.load() != 0; }

// ---- Signal-safe helpers ----------------------------------------------------------------------------

void WriteBytes(int fd, const char* bytes, size_t count) {
    while (count > 0) {
        ssize_t n = write(fd, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes += n;
        count -= static_cast<size_t>(n);
    }
}

void WriteText(int fd, const char* text) { WriteBytes(fd, text, std::strlen(text)); }

void WriteHex(int fd, uint64_t value, int digits) {
    char buffer[17];
    int at = 16;
    buffer[16] = '\0';
    do {
        buffer[--at] = "0123456789ABCDEF"[value & 15];
        value >>= 4;
    } while ((value != 0 || 16 - at < digits) && at > 0);
    WriteText(fd, buffer + at);
}

void WriteDecimal(int fd, uint64_t value, int digits) {
    char buffer[21];
    int at = 20;
    buffer[20] = '\0';
    do {
        buffer[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while ((value != 0 || 20 - at < digits) && at > 0);
    WriteText(fd, buffer + at);
}

bool FindModule(uintptr_t address, Location* location) {
    int current = gCurrentTable.load();
    if (current < 0) return false;
    const ModuleTable& table = gTables[current];
    for (int m = 0; m < table.count; ++m) {
        const Module& module = table.modules[m];
        for (int s = 0; s < module.segmentCount; ++s) {
            if (address >= module.start[s] && address - module.start[s] < module.size[s]) {
                location->module = module.path;
                location->segment = static_cast<unsigned>(s + 1);
                location->offset = address - module.start[s];
                return true;
            }
        }
    }
    return false;
}

std::string RunWriter(Writer writer, const Info& info) {
    std::string text;
    FILE* file = tmpfile();
    if (!file) return text;
    writer(fileno(file), info);
    std::rewind(file);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
    return text;
}

uint64_t MonotonicMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// ---- [faults on purpose] -------------------------------------------------------------------------

namespace {

// Kept out of line and fed through volatile data so the compiler cannot see the fault coming.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline, no_sanitize("address", "undefined"))) int Recurse(int depth) {
    volatile char block[4096];
    block[0] = static_cast<char>(depth);
    return Recurse(depth + 1) + block[0];
}
#pragma GCC diagnostic pop

}  // namespace

// The sanitizers would stop these faults with reports of their own; the point is a real signal.
__attribute__((no_sanitize("address", "undefined"))) void Raise(Kind kind) {
    switch (kind) {
        case Kind::kSegmentation: {
            volatile int* volatile nowhere = nullptr;
            *nowhere = 1;
            break;
        }
        case Kind::kAbort: std::abort();
        case Kind::kStackOverflow: Recurse(0); break;
        case Kind::kDivideByZero: {
#if defined(__x86_64__) || defined(__i386__)
            volatile int zero = 0;
            volatile int one = 1;
            volatile int result = one / zero;
            (void)result;
#endif
            // Processors whose division does not trap get the signal sent.
            raise(SIGFPE);
            break;
        }
    }
    std::abort();
}

}  // namespace Fault
