// TCP over IPv4 at the platform seam: a blocking host lookup (for a worker thread) and a
// non-blocking stream whose connect, send and receive never hold up the caller longer than the
// wait it asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Net {

// Looks up the first IPv4 address of `host` (a name or dotted numbers). Blocks while the
// system resolver works; false when the host is not known.
bool ResolveIPv4(const std::string& host, uint32_t* address);

// Result of one step on a stream.
enum class Io {
    kDone,        // the step finished (for Receive: `count` bytes arrived, 0 only when closed)
    kWouldBlock,  // nothing yet; try again later
    kClosed,      // the peer closed the connection (Receive only)
    kFailed,
};

class TcpStream {
public:
    TcpStream() = default;
    ~TcpStream();
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;

    // Starts a non-blocking connect to `address` (as ResolveIPv4 gives it) and `port`.
    bool StartConnect(uint32_t address, uint16_t port);
    // kDone once connected, kWouldBlock while the connect is under way, kFailed when refused.
    Io FinishConnect();
    // Sends what the socket takes now; `sent` tells how much.
    Io Send(const void* data, size_t size, size_t* sent);
    // Receives what has arrived, at most `size` bytes.
    Io Receive(void* data, size_t size, size_t* received);
    // Waits at most `milliseconds` until the stream can be written (`forWrite`) or read.
    void Wait(bool forWrite, int milliseconds);
    void Close();
    bool IsOpen() const { return mFd >= 0; }

private:
    int mFd = -1;
};

}  // namespace Net
