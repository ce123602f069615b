// The crash window's behaviour without its looks: report body and encoding, the description
// rules, each outcome text, "retry", and sends against loopback servers.
#include <gtest/gtest.h>

#include <chrono>

#include "LoopbackServer.h"
#include "support/CrashReport.h"

namespace {

void RunToEnd(CrashReport& report) {
    auto start = std::chrono::steady_clock::now();
    while (report.Sending() && report.Client() && report.Client()->IsBusy() &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(15))
        report.Pump(50);
    report.Pump(0);
}

std::string Reply(const std::string& body) { return "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n" + body; }

const char kSent[] =
    "Error report sent successfully!\r\nThank you for your feedback!\r\n\r\nYou can click the close button to safely "
    "shut down this\r\nprogram now.";

}  // namespace

TEST(CrashReport, BodyAndItsEncoding) {
    EXPECT_EQ(CrashReport::Body("Quorl Slide", "(null)", ""), "quorl_slide <ERRORREPORT>(null)</ERRORREPORT>");
    EXPECT_EQ(CrashReport::Body("My  BIG Game", "<A>x</A>", "it broke"),
              "my__big_game <ERRORREPORT><A>x</A><USER>it broke</USER></ERRORREPORT>");
    // Each of the 25 characters, then neighbours that stay as they are (bytes above 127 too).
    EXPECT_EQ(CrashReport::Encode(" $&+,/:;=?@\"<>#%{}|\\^~[]`"),
              "%20%24%26%2b%2c%2f%3a%3b%3d%3f%40%22%3c%3e%23%25%7b%7d%7c%5c%5e%7e%5b%5d%60");
    EXPECT_EQ(CrashReport::Encode("aZ09-_.!*'()\x7f\xc3\xa9"), "aZ09-_.!*'()\x7f\xc3\xa9");
}

TEST(CrashReport, DescriptionRules) {
    EXPECT_EQ(CrashReport::CleanDescription("\r\n\r\n"), "    ");
    EXPECT_EQ(CrashReport::CleanDescription("caf\xc3\xa9\tok"), "caf   ok");
    EXPECT_EQ(CrashReport::CleanDescription(std::string(300, 'a')).size(), 255u);

    // A description of line breaks still goes inside <USER>; an empty one leaves the tags out.
    LoopbackServer server([](LoopbackServer::Connection& c) { c.Send(Reply("<RESULT>OK</RESULT>")); });
    for (const char* description : {"\r\n", ""}) {
        CrashReport report("Quorl Slide", "(null)", "/tmp/r.txt", server.Url("/cgi-bin/quorlslide/errorreport.cgi"));
        report.PressSend("");
        report.PressSend(description);
        RunToEnd(report);
        EXPECT_EQ(report.StatusText(), kSent);
    }
    std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    std::string prefix = "GET " + server.Url("/cgi-bin/quorlslide/errorreport.cgi") + "?quorl_slide%20%3cERRORREPORT%3e(null)";
    EXPECT_EQ(requests[0], prefix + "%3cUSER%3e%20%20%3c%2fUSER%3e%3c%2fERRORREPORT%3e HTTP/1.0\r\n"
                                    "User-Agent:HollinBugTracker\r\n\r\n");
    EXPECT_EQ(requests[1], prefix + "%3c%2fERRORREPORT%3e HTTP/1.0\r\nUser-Agent:HollinBugTracker\r\n\r\n");
}

TEST(CrashReport, WindowStatesFromReportToDescribing) {
    CrashReport report("Quorl Slide", "(null)", "/tmp/r.txt", "http://127.0.0.1:1/");
    EXPECT_EQ(CrashReport::Title("Quorl Slide"), "Quorl Slide - Unexpected Error");
    EXPECT_EQ(CrashReport::CloseLabel("Quorl Slide"), "Close Quorl Slide");
    EXPECT_EQ(report.LabelText(), "Report:");
    EXPECT_EQ(report.SendLabel(), "Send Report");
    EXPECT_TRUE(report.InformationShown());
    EXPECT_FALSE(report.DescriptionShown());
    EXPECT_FALSE(report.StatusShown());
    report.PressSend("ignored on the first press");
    EXPECT_EQ(report.LabelText(), "Enter a description of your problem:");
    EXPECT_EQ(report.SendLabel(), "Send Now");
    EXPECT_FALSE(report.InformationShown());
    EXPECT_TRUE(report.DescriptionShown());
    EXPECT_EQ(report.StatusText(),
              "Preparing to send report...\r\n\r\nPlease help us out by providing as much information as you can "
              "about this crash, then clicking 'Send Now.'");
    EXPECT_EQ(report.SendCount(), 0);
    EXPECT_FALSE(report.Closed());
    report.Close();
    EXPECT_TRUE(report.Closed());
}

TEST(CrashReport, OutcomesOfASend) {
    const std::string notProcessed =
        "Error: Could not contact Tarvik Games reporting server!\r\n\r\nWe're sorry, we could not process your error "
        "report.  This\r\nmay be due to a temporary server outage, or could be because\r\nyou are not connected to "
        "the internet.  You may press\r\nSend Report if you wish to try to report this error again,\r\nor click the "
        "close button to close the program.";
    struct Case {
        const char* what;
        std::vector<std::string> answers;  // one per request; the last repeats
        std::string status;
        int sends;
        bool sendEnabled;
    };
    const Case cases[] = {
        {"OK", {"<RESULT>OK</RESULT>"}, kSent, 1, false},
        {"retry, then OK", {"<RESULT>retry</RESULT>", "<RESULT>OK</RESULT>"}, kSent, 2, false},
        {"garbage", {"<html>nope</html>"}, notProcessed, 1, true},
        {"retry for ever", {"<RESULT>retry</RESULT>"}, notProcessed, 1 + CrashReport::kMaxRetries, true},
    };
    for (const Case& c : cases) {
        int served = 0;
        LoopbackServer server([&](LoopbackServer::Connection& connection) {
            size_t i = std::min<size_t>(static_cast<size_t>(served++), c.answers.size() - 1);
            connection.Send(Reply(c.answers[i]));
        });
        CrashReport report("Quorl Slide", "<MODULE>m</MODULE>", "/tmp/r.txt", server.Url("/r.cgi"));
        report.PressSend("");
        report.PressSend("it froze");
        EXPECT_FALSE(report.SendEnabled()) << c.what;
        EXPECT_EQ(report.LabelText(), "Sending report...") << c.what;
        EXPECT_EQ(report.StatusText(), "Contacting Tarvik games ...") << c.what;
        RunToEnd(report);
        EXPECT_EQ(report.StatusText(), c.status) << c.what;
        EXPECT_EQ(report.SendCount(), c.sends) << c.what;
        EXPECT_EQ(report.SendEnabled(), c.sendEnabled) << c.what;
        std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), static_cast<size_t>(c.sends)) << c.what;
        // A resend carries the same description.
        for (const std::string& request : requests)
            EXPECT_NE(request.find("%3cUSER%3eit%20froze%3c%2fUSER%3e"), std::string::npos) << c.what;
    }
}

TEST(CrashReport, FailedConnectionsAndNoAddress) {
    CrashReport refused("Quorl Slide", "(null)", "/tmp/r.txt",
                        "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/r.cgi");
    refused.PressSend("");
    refused.PressSend("x");
    RunToEnd(refused);
    EXPECT_EQ(refused.StatusText(),
              "Could not send error report:\r\nCould not connect to server\r\n\r\nWe're sorry we couldn't connect to "
              "deliver this error\r\nreport, but we appreciate the effort!  You can click\r\nSend Report to try "
              "again, or simply click the close\r\nbutton to shut down the program.");
    EXPECT_TRUE(refused.SendEnabled());

    // Without a report address nothing leaves the machine; the player learns where the file is.
    CrashReport kept("Quorl Slide", "(null)", "/data/CrashReports/2024-01-02_03-04-05.txt", "");
    kept.PressSend("");
    kept.PressSend("x");
    EXPECT_EQ(kept.Client(), nullptr);
    EXPECT_NE(kept.StatusText().find("/data/CrashReports/2024-01-02_03-04-05.txt"), std::string::npos);
    EXPECT_NE(kept.StatusText().find("ReportURL"), std::string::npos);
    EXPECT_TRUE(kept.SendEnabled());
}

TEST(CrashReport, ReadsTheServersAnswer) {
    struct Case {
        std::string reply;
        int answer;
    };
    const Case cases[] = {
        {Reply("<RESULT>OK</RESULT>"), 0},
        {Reply("<OTHER>OK</OTHER><RESULT>retry</RESULT>"), 1},
        {Reply("<RESULT>ok</RESULT>"), 2},
        {Reply("<RESULT>O\r\nK</RESULT>"), 0},  // control characters vanish from content
        {"", 2},
        {"<RESULT>OK", 0},  // cut short inside the content still counts
        {"<RESULT", 2},
    };
    for (const Case& c : cases) EXPECT_EQ(CrashReport::ReadAnswer(c.reply), c.answer) << c.reply;
}
