// A tiny HTTP-ish server on 127.0.0.1 (ephemeral port) for the web client and crash report
// tests. Each connection reads the request up to its blank line, then runs the test's handler.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
public:
    struct Connection {
        int fd = -1;
        std::string request;
        const std::atomic<bool>* stopping = nullptr;
        // Sends all of `bytes` (false when the client went away).
        bool Send(const std::string& bytes) const;
        // Holds the connection open, saying nothing, until the server stops.
        void StaySilent() const;
    };
    using Handler = std::function<void(Connection&)>;

    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return mPort; }
    std::string Url(const std::string& path = "/") const;
    // The requests received so far, in order.
    std::vector<std::string> Requests();

    // A port on which nothing listens (connections are refused).
    static int ClosedPort();

private:
    void Serve();

    Handler mHandler;
    int mListenFd = -1;
    int mPort = 0;
    std::atomic<bool> mStopping{false};
    std::mutex mMutex;
    std::vector<std::string> mRequests;
    std::vector<std::thread> mWorkers;
    std::thread mAcceptor;
};
