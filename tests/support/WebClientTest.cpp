// Web client against loopback servers started here: whole, split, oversized and empty replies,
// silence (time-out), refusal, unknown hosts, and the request text built from the URL.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "LoopbackServer.h"
#include "support/WebClient.h"

namespace {

// Records every state it is told about.
class RecordingClient : public WebClient {
public:
    void StatusChanged() override { mSeen.push_back(mState); }
    std::vector<int> mSeen;
};

// Pumps until the request ends; the deadline is generous and only guards against a hang.
void RunToEnd(WebClient& client, int deadlineMs = 15000) {
    auto start = std::chrono::steady_clock::now();
    while (client.IsBusy() &&
           std::chrono::steady_clock::now() - start < std::chrono::milliseconds(deadlineMs))
        client.Pump(50);
}

const std::string kReply = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n<RESULT>OK</RESULT>";

}  // namespace

TEST(WebClient, BuildsTheRequestFromTheUrl) {
    struct Case {
        std::string url;
        bool ok;
        std::string host;
        int port;
        std::string requestLine;
    };
    const Case cases[] = {
        {"www.example.test/x", false, "", 0, ""},
        {"http://reports.test", true, "reports.test", 80, "GET http://reports.test HTTP/1.0"},
        {"http://reports.test/cgi-bin/r.cgi?a=b", true, "reports.test", 80,
         "GET http://reports.test/cgi-bin/r.cgi?a=b HTTP/1.0"},
        {"http://127.0.0.1:8080/p", true, "127.0.0.1", 8080, "GET http://127.0.0.1:8080/p HTTP/1.0"},
        {"http://h.test:99999/p", true, "h.test:99999", 80, "GET http://h.test:99999/p HTTP/1.0"},
        // Spaces go in the request line as %20 (repeatedly), the host is taken before that.
        {"http://my host/a b  c", true, "my host", 80, "GET http://my%20host/a%20b%20%20c HTTP/1.0"},
        {"see http://h.test/", true, "h.test", 80, "GET see%20http://h.test/ HTTP/1.0"},
    };
    for (const Case& c : cases) {
        WebClient::Request request;
        ASSERT_EQ(WebClient::MakeRequest(c.url, "HollinBugTracker", &request), c.ok) << c.url;
        if (!c.ok) continue;
        EXPECT_EQ(request.host, c.host) << c.url;
        EXPECT_EQ(request.port, c.port) << c.url;
        EXPECT_EQ(request.text, c.requestLine + "\r\nUser-Agent:HollinBugTracker\r\n\r\n") << c.url;
    }
}

TEST(WebClient, UrlWithoutSchemeFailsAtOnceWithoutGoingBusy) {
    RecordingClient client;
    client.Get("127.0.0.1/report", 5000, 100);
    EXPECT_EQ(client.mState, WebClient::kFailed);
    EXPECT_EQ(client.mResult, "Invalid URL (no http://)");
    EXPECT_EQ(client.mSeen, (std::vector<int>{WebClient::kFailed}));
    client.Pump(10);  // nothing left running
    EXPECT_EQ(client.mSeen.size(), 1u);
}

TEST(WebClient, ReadsWholeRepliesFromALoopbackServer) {
    std::string big(70000, 'x');
    struct Case {
        const char* what;
        LoopbackServer::Handler handler;
        int maxBytes;
        std::string expected;
    };
    const Case cases[] = {
        {"one packet", [](LoopbackServer::Connection& c) { c.Send(kReply); }, 65535, kReply},
        {"many packets",
         [](LoopbackServer::Connection& c) {
             for (char ch : kReply) {
                 c.Send(std::string(1, ch));
                 std::this_thread::sleep_for(std::chrono::milliseconds(1));
             }
         },
         65535, kReply},
        {"larger than maxBytes", [big](LoopbackServer::Connection& c) { c.Send(big); }, 65535,
         std::string(65535, 'x')},
        {"closed without data", [](LoopbackServer::Connection&) {}, 65535, ""},
        {"zero byte ends the text", [](LoopbackServer::Connection& c) { c.Send(std::string("ab\0cd", 5)); }, 100,
         "ab"},
    };
    for (const Case& c : cases) {
        LoopbackServer server(c.handler);
        RecordingClient client;
        client.mAgent = "HollinBugTracker";
        client.Get(server.Url("/cgi-bin/r.cgi?q=a b"), 10000, c.maxBytes);
        RunToEnd(client);
        EXPECT_EQ(client.mState, WebClient::kDone) << c.what << ": " << client.mResult;
        EXPECT_EQ(client.mResult, c.expected) << c.what;
        EXPECT_EQ(client.mSeen, (std::vector<int>{WebClient::kBusy, WebClient::kDone})) << c.what;
        std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u) << c.what;
        EXPECT_EQ(requests[0], "GET " + server.Url("/cgi-bin/r.cgi?q=a%20b") +
                                   " HTTP/1.0\r\nUser-Agent:HollinBugTracker\r\n\r\n")
            << c.what;
    }
}

TEST(WebClient, SilentServerTimesOutCountedFromTheStart) {
    LoopbackServer server([](LoopbackServer::Connection& c) { c.StaySilent(); });
    RecordingClient client;
    auto start = std::chrono::steady_clock::now();
    client.Get(server.Url(), 300, 100);
    RunToEnd(client);
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(client.mState, WebClient::kTimedOut);
    EXPECT_EQ(client.mResult, "Time-out");
    EXPECT_GE(elapsed.count(), 290);  // the client counts whole milliseconds
    EXPECT_LT(elapsed.count(), 10000);
    EXPECT_EQ(client.mSeen, (std::vector<int>{WebClient::kBusy, WebClient::kTimedOut}));
}

TEST(WebClient, FailuresCarryTheirMessages) {
    struct Case {
        std::string url;
        std::string message;
    };
    const Case cases[] = {
        {"http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/", "Could not connect to server"},
        {"http://no-such-host.invalid/report", "Host was not found"},
        {"http://bad host name/", "Host was not found"},
    };
    for (const Case& c : cases) {
        RecordingClient client;
        client.Get(c.url, 10000, 100);
        RunToEnd(client);
        EXPECT_EQ(client.mState, WebClient::kFailed) << c.url;
        EXPECT_EQ(client.mResult, c.message) << c.url;
        EXPECT_EQ(client.mSeen, (std::vector<int>{WebClient::kBusy, WebClient::kFailed})) << c.url;
    }
}

TEST(WebClient, AClientCanBeReusedAndDroppedMidRequest) {
    LoopbackServer server([](LoopbackServer::Connection& c) { c.Send("one"); });
    RecordingClient client;
    client.Get(server.Url(), 10000, 100);
    RunToEnd(client);
    EXPECT_EQ(client.mResult, "one");
    client.Get(server.Url(), 10000, 100);
    EXPECT_EQ(client.mState, WebClient::kBusy);
    EXPECT_TRUE(client.mResult.empty());
    RunToEnd(client);
    EXPECT_EQ(client.mResult, "one");
    {
        // Dropped while its lookup may still run: nothing is left to call back.
        WebClient dropped;
        dropped.Get(server.Url(), 10000, 100);
    }
    LoopbackServer silent([](LoopbackServer::Connection& c) { c.StaySilent(); });
    client.Get(silent.Url(), 10000, 100);
    for (int i = 0; i < 5; ++i) client.Pump(5);
    client.Reset();
    EXPECT_EQ(client.mState, WebClient::kBusy);  // Reset leaves the state alone
    client.Pump(5);
    EXPECT_EQ(client.mState, WebClient::kBusy);
}
