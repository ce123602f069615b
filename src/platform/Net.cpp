// POSIX sockets behind Net.h. Sockets are non-blocking from creation and never raise SIGPIPE.
#include "platform/Net.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Net {

bool ResolveIPv4(const std::string& host, uint32_t* address) {
    if (host.empty() || host.find('\0') != std::string::npos) return false;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    bool ok = false;
    for (addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            *address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
            ok = true;
            break;
        }
    }
    freeaddrinfo(found);
    return ok;
}

TcpStream::~TcpStream() { Close(); }

bool TcpStream::StartConnect(uint32_t address, uint16_t port) {
    Close();
    mFd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (mFd < 0) return false;
    sockaddr_in target;
    std::memset(&target, 0, sizeof target);
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = address;
    if (connect(mFd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0 || errno == EINPROGRESS)
        return true;
    Close();
    return false;
}

Io TcpStream::FinishConnect() {
    if (mFd < 0) return Io::kFailed;
    pollfd p{mFd, POLLOUT, 0};
    int ready = poll(&p, 1, 0);
    if (ready < 0) return errno == EINTR ? Io::kWouldBlock : Io::kFailed;
    if (ready == 0) return Io::kWouldBlock;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(mFd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) return Io::kFailed;
    return Io::kDone;
}

Io TcpStream::Send(const void* data, size_t size, size_t* sent) {
    *sent = 0;
    if (mFd < 0) return Io::kFailed;
    ssize_t n = send(mFd, data, size, MSG_NOSIGNAL);
    if (n >= 0) {
        *sent = static_cast<size_t>(n);
        return Io::kDone;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return Io::kWouldBlock;
    return Io::kFailed;
}

Io TcpStream::Receive(void* data, size_t size, size_t* received) {
    *received = 0;
    if (mFd < 0) return Io::kFailed;
    ssize_t n = recv(mFd, data, size, 0);
    if (n > 0) {
        *received = static_cast<size_t>(n);
        return Io::kDone;
    }
    if (n == 0) return size == 0 ? Io::kDone : Io::kClosed;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return Io::kWouldBlock;
    return Io::kFailed;
}

void TcpStream::Wait(bool forWrite, int milliseconds) {
    if (mFd < 0 || milliseconds <= 0) return;
    pollfd p{mFd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    poll(&p, 1, milliseconds);
}

void TcpStream::Close() {
    if (mFd >= 0) close(mFd);
    mFd = -1;
}

}  // namespace Net
