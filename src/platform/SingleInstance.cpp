// Lock file with flock (released by the kernel when the process ends, so a crash leaves no stale
// lock) and an abstract-namespace local socket (no file to clean up, no path length limit).
#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

// Abstract socket address derived from the lock file's real path, so two data folders (two
// users, or two test runs) never meet.
socklen_t SocketAddress(const std::string& lockPath, const std::string& name, sockaddr_un& address) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    char resolved[PATH_MAX];
    std::string key = realpath(lockPath.c_str(), resolved) ? std::string(resolved) : lockPath;
    size_t hash = std::hash<std::string>{}(key);
    std::string id = "quorlslide-" + name.substr(0, 40) + "-" + std::to_string(hash);
    size_t length = std::min(id.size(), sizeof(address.sun_path) - 2);
    std::memcpy(address.sun_path + 1, id.data(), length);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

std::string LockFileName(const std::string& name) {
    std::string file;
    for (char c : name) file += (c == '/' || c == '\\' || c == '\0') ? '_' : c;
    return file + "Mutex.lock";
}

}  // namespace

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::Result SingleInstance::Acquire(const std::string& folder, const std::string& name) {
    Release();
    std::string lockPath = folder + "/" + LockFileName(name);
    int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return Result::kUnavailable;
    sockaddr_un address;
    socklen_t length = SocketAddress(lockPath, name, address);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        if (errno != EWOULDBLOCK) return Result::kUnavailable;
        // The running game may still be starting; give its socket a moment to appear.
        for (int attempt = 0; attempt < 20; ++attempt) {
            int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (s < 0) break;
            if (connect(s, reinterpret_cast<sockaddr*>(&address), length) == 0) {
                const char message[] = "raise\n";
                ssize_t written = write(s, message, sizeof(message) - 1);
                (void)written;
                close(s);
                break;
            }
            close(s);
            usleep(50 * 1000);
        }
        return Result::kHandedOver;
    }
    mLockFd = fd;
    int s = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s >= 0) {
        if (bind(s, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(s, 4) == 0)
            mListenFd = s;
        else
            close(s);
    }
    return Result::kFirst;
}

int SingleInstance::PollRaiseRequests() {
    if (mListenFd < 0) return 0;
    int requests = 0;
    for (;;) {
        int client = accept4(mListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0) break;
        // Any connection counts: the only thing a second launch ever asks is to be seen.
        ++requests;
        close(client);
    }
    return requests;
}

void SingleInstance::Release() {
    if (mListenFd >= 0) close(mListenFd);
    mListenFd = -1;
    if (mLockFd >= 0) close(mLockFd);
    mLockFd = -1;
}
