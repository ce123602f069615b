// The crash window driven as a player would: Send opens the description field, typing fills it,
// Send Now reaches a loopback report server and shows its answer, Close ends the reporter.
// With QS_SCREENSHOT_DIR set, the window is also written there as PNG pictures to look at.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "../engine/core/AppTestDriver.h"
#include "../support/LoopbackServer.h"
#include "GeneratedArt.h"
#include "engine/draw/GraphicsDevice.h"
#include "game/CrashReportApp.h"
#include "platform/FileSystem.h"
#include "support/CrashReport.h"

namespace {

std::string gUrl;

// The window's fonts come from the art this build generated.
class CrashReportAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        mResourceRoot = Files::ResourceRoot();
        Files::SetResourceRoot(GeneratedArt::Root().string());
    }
    void TearDown() override { Files::SetResourceRoot(mResourceRoot); }
    std::string mResourceRoot;
};

class TestReporterApp : public CrashReportApp {
public:
    TestReporterApp()
        : CrashReportApp("/data/CrashReports/2026-01-02_03-04-05.txt",
                         "<MODULE>/usr/games/quorlslide</MODULE><PRODUCT>Quorl Slide</PRODUCT>", gUrl) {}
};

void Shot(AppTestDriver<TestReporterApp>& drive, const char* name) {
    const char* dir = std::getenv("QS_SCREENSHOT_DIR");
    if (!dir) return;
    drive.Frame();
    if (auto* device = dynamic_cast<GraphicsDevice*>(drive.app->mGraphics))
        device->WritePng(std::string(dir) + "/" + name + ".png");
}

// Steps the window until `done` holds; the report server answers in real time.
template <class Predicate>
bool StepUntilReal(AppTestDriver<TestReporterApp>& drive, Predicate done) {
    auto start = std::chrono::steady_clock::now();
    while (!done() && std::chrono::steady_clock::now() - start < std::chrono::seconds(15)) {
        drive.Step();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

}  // namespace

TEST_F(CrashReportAppTest, SendDescribeSendNowThenClose) {
    LoopbackServer server([](LoopbackServer::Connection& c) { c.Send("HTTP/1.0 200 OK\r\n\r\n<RESULT>OK</RESULT>"); });
    gUrl = server.Url("/cgi-bin/quorlslide/errorreport.cgi");
    AppTestDriver<TestReporterApp> drive;
    ASSERT_TRUE(drive.app->mWindow && drive.app->Screen()) << "the reporter has no window";
    CrashReport& report = drive.app->Report();
    Shot(drive, "crash-window-report");

    // Send Report: the description field appears with the keyboard focus.
    drive.Press(190, 552);
    drive.Release(190, 552);
    drive.Step(2);
    ASSERT_TRUE(report.DescriptionShown());
    EXPECT_EQ(report.SendLabel(), "Send Now");
    drive.Type("it froze");
    drive.Step(2);
    EXPECT_EQ(drive.app->DescriptionText(), "it froze");
    Shot(drive, "crash-window-describing");

    // Send Now: the server's OK is shown; Send stays disabled.
    drive.Press(190, 552);
    drive.Release(190, 552);
    drive.Step(2);
    ASSERT_TRUE(StepUntilReal(drive, [&] { return !report.Sending() || report.Client()->mState != WebClient::kBusy; }));
    drive.Step(2);
    EXPECT_EQ(report.StatusText().rfind("Error report sent successfully!", 0), 0u) << report.StatusText();
    EXPECT_FALSE(report.SendEnabled());
    std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].find("%3cUSER%3eit%20froze%3c%2fUSER%3e"), std::string::npos) << requests[0];
    Shot(drive, "crash-window-sent");

    // Close ends the reporter.
    drive.Press(610, 552);
    drive.Release(610, 552);
    drive.Step(2);
    EXPECT_TRUE(report.Closed());
    EXPECT_TRUE(drive.app->mQuit);
}

TEST_F(CrashReportAppTest, WithoutAnAddressSendSaysWhereTheReportIs) {
    gUrl.clear();
    AppTestDriver<TestReporterApp> drive;
    ASSERT_TRUE(drive.app->Screen());
    for (int press = 0; press < 2; ++press) {
        drive.Press(190, 552);
        drive.Release(190, 552);
        drive.Step(2);
    }
    CrashReport& report = drive.app->Report();
    EXPECT_NE(report.StatusText().find("/data/CrashReports/2026-01-02_03-04-05.txt"), std::string::npos);
    Shot(drive, "crash-window-kept");
    drive.Close();
    drive.Step(2);
    EXPECT_TRUE(drive.app->mQuit);
}
