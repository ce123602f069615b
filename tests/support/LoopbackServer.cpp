// The loopback server: one acceptor thread and one thread per connection, all joined on stop.
#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

bool LoopbackServer::Connection::Send(const std::string& bytes) const {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void LoopbackServer::Connection::StaySilent() const {
    while (!stopping->load()) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 20);
        char c;
        if ((p.revents & POLLIN) && recv(fd, &c, 1, MSG_DONTWAIT) == 0) return;  // client left
    }
}

LoopbackServer::LoopbackServer(Handler handler) : mHandler(std::move(handler)) {
    mListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(mListenFd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(mListenFd, 16);
    socklen_t length = sizeof address;
    getsockname(mListenFd, reinterpret_cast<sockaddr*>(&address), &length);
    mPort = ntohs(address.sin_port);
    mAcceptor = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    mStopping = true;
    mAcceptor.join();
    for (std::thread& worker : mWorkers) worker.join();
    close(mListenFd);
}

std::string LoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(mPort) + path;
}

std::vector<std::string> LoopbackServer::Requests() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests;
}

int LoopbackServer::ClosedPort() {
    // Bind a port, then let it go without listening: connecting to it is refused.
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

void LoopbackServer::Serve() {
    while (!mStopping) {
        pollfd p{mListenFd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        int fd = accept4(mListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        mWorkers.emplace_back([this, fd] {
            Connection connection;
            connection.fd = fd;
            connection.stopping = &mStopping;
            char buffer[4096];
            while (connection.request.find("\r\n\r\n") == std::string::npos && !mStopping) {
                pollfd q{fd, POLLIN, 0};
                if (poll(&q, 1, 20) <= 0) continue;
                ssize_t n = recv(fd, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                connection.request.append(buffer, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(mMutex);
                mRequests.push_back(connection.request);
            }
            mHandler(connection);
            close(fd);
        });
    }
}
