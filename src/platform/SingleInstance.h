// One running game per user: a locked file in the data folder marks the running game, and a
// local socket lets a second launch ask it to raise its window before the second one exits.
#pragma once

#include <string>

class SingleInstance {
public:
    enum class Result {
        kFirst,        // this process is the running game
        kHandedOver,   // another game runs; it was asked to raise its window
        kUnavailable,  // no lock could be made (unwritable folder): run without the rule
    };

    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // `folder` is a real folder; `name` names the lock ("<name>Mutex") and the socket.
    Result Acquire(const std::string& folder, const std::string& name);
    // The running game: how many raise requests arrived since the last call (never blocks).
    int PollRaiseRequests();
    void Release();

private:
    int mLockFd = -1;
    int mListenFd = -1;
};
