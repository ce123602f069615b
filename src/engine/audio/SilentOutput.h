// The null audio backend: with no sound device, a small thread still moves every playing voice on
// at the real output rate (without mixing), so sounds end on time and IsPlaying stays truthful.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

class Mixer;

class SilentOutput {
public:
    SilentOutput() = default;
    ~SilentOutput();
    SilentOutput(const SilentOutput&) = delete;
    SilentOutput& operator=(const SilentOutput&) = delete;

    void Start(Mixer& mixer);
    void Stop();
    bool IsRunning() const { return mThread.joinable(); }

private:
    void Run(Mixer& mixer);

    std::thread mThread;
    std::mutex mLock;
    std::condition_variable mWake;
    bool mStopping = false;
};
