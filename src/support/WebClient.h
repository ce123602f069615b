// WebClient: fetches one URL with an HTTP/1.0 GET without holding up the game loop. The host
// lookup runs on a worker thread; everything else (connect, send, receive, time-out) moves
// forward in Pump, called by the owner from its own loop, so every change of state is reported
// on the owner's thread, in order, through StatusChanged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Net.h"

class Clock;

class WebClient {
public:
    enum State { kIdle = 0, kDone = 1, kBusy = 2, kFailed = 3, kTimedOut = 4 };

    // `clock` (not owned) measures the time-out; the system clock when null.
    explicit WebClient(Clock* clock = nullptr);
    virtual ~WebClient();
    WebClient(const WebClient&) = delete;
    WebClient& operator=(const WebClient&) = delete;

    // Starts a request and returns at once. `timeoutMs` bounds the lookup, the connection and the
    // reply together, counted from now; the reply is cut to `maxBytes` bytes.
    void Get(const std::string& url, uint32_t timeoutMs, int maxBytes);
    // Drops the request under way (lookup, socket, time-out) without changing the state.
    void Reset();
    // Called after every change of state; does nothing here.
    virtual void StatusChanged() {}
    // Moves a request forward. Waits at most `waitMs` for the lookup or the socket when nothing
    // is ready yet (0: never waits).
    void Pump(int waitMs = 0);
    bool IsBusy() const { return mState == kBusy; }

    // The parts of a URL the request uses: the host (after "http://", up to the first "/"), the
    // port (80 unless the host ends in ":number"), and the request text. False without "http://".
    struct Request {
        std::string host;
        uint16_t port = 80;
        std::string text;
    };
    static bool MakeRequest(std::string_view url, std::string_view agent, Request* request);
    // Adds a piece of the reply as it arrived, never past `maxBytes` in all; true once full.
    static bool AppendReply(std::string& received, std::string_view piece, int maxBytes);
    // What the owner sees of a reply: the bytes up to the first zero byte, at most `maxBytes`.
    static std::string ReplyText(std::string_view received, int maxBytes);

    int mState = kIdle;
    std::string mResult;  // the reply, or the failure message
    std::string mRequest;
    std::string mAgent = "Agent";
    int mMaxBytes = 0;
    std::string mHost;     // of the last request
    uint16_t mPort = 80;

private:
    struct Lookup;
    enum class Stage { kNone, kLookup, kConnect, kSend, kReceive };

    void Finish(int state, const std::string& result);
    void LookupDone(bool found, uint32_t address);
    void Step();
    bool TimeUp() const;
    int RemainingMs() const;

    Clock* mClock;
    Stage mStage = Stage::kNone;
    std::shared_ptr<Lookup> mLookup;
    Net::TcpStream mStream;
    size_t mSent = 0;
    std::string mReceived;
    uint32_t mStartTime = 0;
    uint32_t mTimeoutMs = 0;
};
