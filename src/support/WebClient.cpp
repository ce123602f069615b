// WebClient: lookup on a worker thread, the rest stepped by Pump on the owner's thread.
// Unlike a single receive, the reply is read until the server closes, `maxBytes` have arrived or
// the time-out ends, so a reply split over several packets arrives whole.
#include "support/WebClient.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/Clock.h"

namespace {

const char kInvalidUrl[] = "Invalid URL (no http://)";
const char kLookupNotStarted[] = "Could not start the host lookup";
const char kHostNotFound[] = "Host was not found";
const char kCannotConnect[] = "Could not connect to server";
const char kCannotSend[] = "Could not send URL request";
const char kCannotReceive[] = "Could not receive server response";
const char kTimeOut[] = "Time-out";

// Host names longer than this are cut, as the lookup buffer would cut them.
constexpr size_t kMaxHostLength = 9999;

}  // namespace

// The lookup's result, shared with the worker thread so that a request dropped while the
// resolver still works leaves the thread nothing dangling to write to.
struct WebClient::Lookup {
    std::mutex mutex;
    std::condition_variable ready;
    bool done = false;
    bool found = false;
    uint32_t address = 0;
};

WebClient::WebClient(Clock* clock) : mClock(clock ? clock : &Clock::System()) {}

WebClient::~WebClient() { Reset(); }

bool WebClient::MakeRequest(std::string_view url, std::string_view agent, Request* request) {
    size_t scheme = url.find("http://");
    if (scheme == std::string_view::npos) return false;
    std::string_view host = url.substr(scheme + 7, kMaxHostLength);
    host = host.substr(0, host.find('/'));
    request->port = 80;
    // "host:port" names another port; anything else after a colon leaves the name as it is
    // (and the lookup then fails).
    size_t colon = host.rfind(':');
    if (colon != std::string_view::npos && colon + 1 < host.size() && host.size() - colon <= 6) {
        uint32_t port = 0;
        bool digits = true;
        for (char c : host.substr(colon + 1)) {
            if (c < '0' || c > '9') digits = false;
            else port = port * 10 + static_cast<uint32_t>(c - '0');
        }
        if (digits && port >= 1 && port <= 65535) {
            request->port = static_cast<uint16_t>(port);
            host = host.substr(0, colon);
        }
    }
    request->host.assign(host);
    std::string target;
    target.reserve(url.size());
    for (char c : url) {
        if (c == ' ') target += "%20";
        else target += c;
    }
    request->text = "GET " + target + " HTTP/1.0\r\nUser-Agent:" + std::string(agent) + "\r\n\r\n";
    return true;
}

bool WebClient::AppendReply(std::string& received, std::string_view piece, int maxBytes) {
    size_t limit = static_cast<size_t>(std::max(maxBytes, 0));
    if (received.size() < limit) received.append(piece.substr(0, limit - received.size()));
    return received.size() >= limit;
}

std::string WebClient::ReplyText(std::string_view received, int maxBytes) {
    std::string_view text = received.substr(0, static_cast<size_t>(std::max(maxBytes, 0)));
    return std::string(text.substr(0, text.find('\0')));
}

void WebClient::Get(const std::string& url, uint32_t timeoutMs, int maxBytes) {
    Reset();
    Request request;
    if (!MakeRequest(url, mAgent, &request)) {
        Finish(kFailed, kInvalidUrl);
        return;
    }
    mHost = request.host;
    mPort = request.port;
    mRequest = request.text;
    mResult.clear();
    mState = kBusy;
    StatusChanged();
    if (mState != kBusy) return;  // the owner started something else from StatusChanged

    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, host = request.host] {
            uint32_t address = 0;
            bool found = Net::ResolveIPv4(host, &address);
            std::lock_guard<std::mutex> lock(lookup->mutex);
            lookup->found = found;
            lookup->address = address;
            lookup->done = true;
            lookup->ready.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        Finish(kFailed, kLookupNotStarted);
        return;
    }
    mLookup = std::move(lookup);
    mStage = Stage::kLookup;
    mStartTime = mClock->Milliseconds();
    mTimeoutMs = timeoutMs;
    mMaxBytes = std::max(maxBytes, 0);
}

void WebClient::Reset() {
    mLookup.reset();
    mStream.Close();
    mStage = Stage::kNone;
    mSent = 0;
    mReceived.clear();
}

void WebClient::Finish(int state, const std::string& result) {
    Reset();
    mState = state;
    mResult = result;
    StatusChanged();
}

bool WebClient::TimeUp() const { return mClock->Milliseconds() - mStartTime >= mTimeoutMs; }

int WebClient::RemainingMs() const {
    uint32_t elapsed = mClock->Milliseconds() - mStartTime;
    return elapsed >= mTimeoutMs ? 0 : static_cast<int>(std::min<uint32_t>(mTimeoutMs - elapsed, 1u << 30));
}

void WebClient::Pump(int waitMs) {
    if (mStage == Stage::kNone) return;
    Step();
    if (mStage == Stage::kNone || waitMs <= 0) return;
    // Nothing was ready: wait for whatever the request waits on, never past its time-out.
    int wait = std::min(waitMs, std::max(RemainingMs(), 1));
    switch (mStage) {
        case Stage::kLookup: {
            std::shared_ptr<Lookup> lookup = mLookup;
            std::unique_lock<std::mutex> lock(lookup->mutex);
            lookup->ready.wait_for(lock, std::chrono::milliseconds(wait), [&] { return lookup->done; });
            break;
        }
        case Stage::kConnect:
        case Stage::kSend: mStream.Wait(true, wait); break;
        case Stage::kReceive: mStream.Wait(false, wait); break;
        case Stage::kNone: break;
    }
    Step();
}

void WebClient::Step() {
    if (mStage == Stage::kLookup) {
        bool done = false, found = false;
        uint32_t address = 0;
        {
            std::lock_guard<std::mutex> lock(mLookup->mutex);
            done = mLookup->done;
            found = mLookup->found;
            address = mLookup->address;
        }
        if (done) LookupDone(found, address);
    }
    if (mStage == Stage::kConnect) {
        Net::Io io = mStream.FinishConnect();
        if (io == Net::Io::kFailed) return Finish(kFailed, kCannotConnect);
        if (io == Net::Io::kDone) mStage = Stage::kSend;
    }
    if (mStage == Stage::kSend) {
        while (mSent < mRequest.size()) {
            size_t sent = 0;
            Net::Io io = mStream.Send(mRequest.data() + mSent, mRequest.size() - mSent, &sent);
            if (io == Net::Io::kFailed) return Finish(kFailed, kCannotSend);
            if (io == Net::Io::kWouldBlock) break;
            mSent += sent;
        }
        if (mSent == mRequest.size()) mStage = Stage::kReceive;
    }
    if (mStage == Stage::kReceive) {
        char buffer[16384];
        bool full = mMaxBytes == 0;
        while (!full) {
            size_t received = 0;
            Net::Io io = mStream.Receive(buffer, sizeof buffer, &received);
            if (io == Net::Io::kClosed) return Finish(kDone, ReplyText(mReceived, mMaxBytes));
            if (io == Net::Io::kFailed) return Finish(kFailed, kCannotReceive);
            if (io == Net::Io::kWouldBlock) break;
            full = AppendReply(mReceived, std::string_view(buffer, received), mMaxBytes);
        }
        if (full) return Finish(kDone, ReplyText(mReceived, mMaxBytes));
    }
    if (mStage != Stage::kNone && TimeUp()) Finish(kTimedOut, kTimeOut);
}

void WebClient::LookupDone(bool found, uint32_t address) {
    mLookup.reset();
    if (!found) return Finish(kFailed, kHostNotFound);
    if (!mStream.StartConnect(address, mPort)) return Finish(kFailed, kCannotConnect);
    mStage = Stage::kConnect;
}
