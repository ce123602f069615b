// The crash text the handler writes, and real faults in child processes: each leaves one
// complete report, starts the reporter (headless here, so it notes the file and ends) and lets the
// signal end the process.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "TestSupport.h"
#include "platform/FaultHandler.h"
#include "platform/FileSystem.h"
#include "support/CrashReporter.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

__attribute__((noinline)) void FunctionInThisProgram() { asm volatile(""); }

const std::string kBefore = "<PRODUCT>Quorl Slide</PRODUCT><VERSION>1.0</VERSION>";
const std::string kAfter =
    "<FULLSCREEN>false</FULLSCREEN><SAFEMODE>true</SAFEMODE><RESOLUTION>800 x 600 : 32</RESOLUTION>"
    "<OS>Linux</OS><DDRAW>SDL 2</DDRAW>";

// Waits for a child with a generous deadline (then kills it); returns its wait status, -1 on a hang.
int WaitForChild(pid_t child, int seconds = 60) {
    auto start = std::chrono::steady_clock::now();
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(seconds)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status;
}

// The one report a child left in `folder`, empty when there is not exactly one.
std::string OnlyReport(const std::string& folder) {
    std::vector<std::string> reports = Files::ListDirectory(folder + "/CrashReports");
    if (reports.size() != 1) return std::string();
    return TestSupport::ReadText(folder + "/CrashReports/" + reports[0]);
}

}  // namespace

TEST(CrashReporter, CrashTextWithAndWithoutTheApplication) {
    CrashReporter::ClearApp();
    EXPECT_EQ(CrashReporter::CrashTextFor(reinterpret_cast<uintptr_t>(&FunctionInThisProgram)), "(null)");

    // Started 1 h 2 min 3.9 s ago: whole seconds only.
    CrashReporter::SetApp(kBefore, kAfter, CrashReporter::NowMs() - 3723900);
    std::string text = CrashReporter::CrashTextFor(reinterpret_cast<uintptr_t>(&FunctionInThisProgram));
    std::string program = Fault::ProgramPath();
    std::string module = "<MODULE>" + program + "</MODULE><STACKWALK>000";
    EXPECT_EQ(text.rfind(module, 0), 0u) << text;
    size_t walk = text.find(" " + program + "</STACKWALK>");
    EXPECT_NE(walk, std::string::npos) << text;
    EXPECT_EQ(text.substr(walk + program.size() + 13), kBefore + "<RUNTIME>01:02:03</RUNTIME>" + kAfter);

    // The extra text comes last, in its own tag; an address in no loaded object gives zeros.
    CrashReporter::SetExtraInfo("Maze::MouseDown");
    text = CrashReporter::CrashTextFor(1);
    EXPECT_EQ(text.rfind("<MODULE></MODULE><STACKWALK>0000:00000000</STACKWALK>" + kBefore, 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 46), "<EXTENDED_INFO>Maze::MouseDown</EXTENDED_INFO>");
    CrashReporter::SetExtraInfo("");
    EXPECT_EQ(CrashReporter::CrashTextFor(1).find("EXTENDED_INFO"), std::string::npos);
    CrashReporter::ClearApp();
}

// Real faults. QS_FAULT_RUNS sets how many (default: one of each kind).
TEST(CrashReporter, FaultsLeaveOneCompleteReportAndEndTheProcess) {
    struct Kind {
        Fault::Kind kind;
        int signal;
        const char* name;
    };
    const Kind kinds[] = {
        {Fault::Kind::kSegmentation, SIGSEGV, "segmentation fault"},
        {Fault::Kind::kAbort, SIGABRT, "abort"},
        {Fault::Kind::kStackOverflow, SIGSEGV, "stack overflow"},
        {Fault::Kind::kDivideByZero, SIGFPE, "division by zero"},
    };
    int runs = 4;
    if (const char* text = std::getenv("QS_FAULT_RUNS")) runs = std::max(1, std::atoi(text));
    const std::string root = Files::DataRoot();
    double slowest = 0;
    for (int run = 0; run < runs; ++run) {
        const Kind& kind = kinds[run % 4];
        std::string folder = root + "/fault" + std::to_string(run);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setenv("QS_DATA_DIR", folder.c_str(), 1);
            Files::SetDataRoot(folder);
            Files::EnsureDataRoot();
            CrashReporter::Enable(true, QS_GAME_BINARY);
            CrashReporter::SetApp(kBefore, kAfter, CrashReporter::NowMs());
            Fault::Raise(kind.kind);
        }
        auto start = std::chrono::steady_clock::now();
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(child, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(60))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (done == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            FAIL() << kind.name << ": the crashed process did not end";
        }
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        slowest = std::max(slowest, seconds);
        ASSERT_TRUE(WIFSIGNALED(status)) << kind.name << ": status " << status;
        // The previous handler ends the process: the system's for the fault's own signal, or the
        // sanitizer's, which aborts after its report.
        if (kSanitized) EXPECT_TRUE(WTERMSIG(status) == kind.signal || WTERMSIG(status) == SIGABRT) << kind.name;
        else EXPECT_EQ(WTERMSIG(status), kind.signal) << kind.name;
        std::vector<std::string> reports = Files::ListDirectory(folder + "/CrashReports");
        ASSERT_EQ(reports.size(), 1u) << kind.name;
        std::string text = TestSupport::ReadText(folder + "/CrashReports/" + reports[0]);
        EXPECT_EQ(text.rfind("<MODULE>", 0), 0u) << kind.name << ": " << text;
        EXPECT_NE(text.find("<STACKWALK>"), std::string::npos) << kind.name;
        EXPECT_NE(text.find(kBefore + "<RUNTIME>00:00:0"), std::string::npos) << kind.name << ": " << text;
        EXPECT_EQ(text.substr(text.size() - kAfter.size()), kAfter) << kind.name;
        // The reporter ran (headless, so it only noted where the report is) and ended.
        std::string log = TestSupport::ReadText(folder + "/DEBUG.TXT");
        EXPECT_NE(log.find("Crash report kept in " + folder + "/CrashReports/" + reports[0]), std::string::npos)
            << kind.name << ": " << log;
    }
    std::printf("%d faults; slowest ended after %.2f s\n", runs, slowest);
}

TEST(CrashReporter, AFaultBeforeTheApplicationWritesNull) {
    std::string folder = Files::DataRoot() + "/early";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Files::SetDataRoot(folder);
        Files::EnsureDataRoot();
        CrashReporter::ClearApp();
        CrashReporter::Enable(false);
        Fault::Raise(Fault::Kind::kSegmentation);
    }
    int status = WaitForChild(child);
    ASSERT_NE(status, -1) << "did not end";
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(OnlyReport(folder), "(null)");
}

TEST(CrashReporter, StackOverflowOnAnotherThread) {
    std::string folder = Files::DataRoot() + "/thread";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Files::SetDataRoot(folder);
        Files::EnsureDataRoot();
        CrashReporter::Enable(false);
        CrashReporter::SetApp(kBefore, kAfter, CrashReporter::NowMs());
        std::thread loader([] {
            Fault::PrepareThread();
            Fault::Raise(Fault::Kind::kStackOverflow);
        });
        loader.join();
        _exit(0);
    }
    int status = WaitForChild(child);
    ASSERT_NE(status, -1) << "did not end";
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    std::string text = OnlyReport(folder);
    EXPECT_EQ(text.rfind("<MODULE>", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), kAfter.size())), kAfter);
}

TEST(CrashReporter, TheGamesCrashSwitch) {
    // "quorlslide -crash": a real fault at start-up, reported with the application's fields.
    std::string folder = Files::DataRoot() + "/game";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("QS_DATA_DIR", folder.c_str(), 1);
        execl(QS_GAME_BINARY, QS_GAME_BINARY, "-crash", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = WaitForChild(child);
    ASSERT_NE(status, -1) << "did not end";
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    std::string text = OnlyReport(folder);
    EXPECT_NE(text.find("<PRODUCT>Quorl Slide</PRODUCT><VERSION>"), std::string::npos) << text;
    EXPECT_NE(text.find("<DDRAW>SDL "), std::string::npos) << text;
    EXPECT_NE(TestSupport::ReadText(folder + "/DEBUG.TXT").find("Crash report kept in " + folder + "/CrashReports/"),
              std::string::npos);
}
