// Advances the mixer every 10 milliseconds by the frames that real time says were due.
#include "engine/audio/SilentOutput.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "engine/audio/Mixer.h"

SilentOutput::~SilentOutput() { Stop(); }

void SilentOutput::Start(Mixer& mixer) {
    Stop();
    mStopping = false;
    mThread = std::thread([this, &mixer] { Run(mixer); });
}

void SilentOutput::Stop() {
    if (!mThread.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(mLock);
        mStopping = true;
    }
    mWake.notify_all();
    mThread.join();
}

void SilentOutput::Run(Mixer& mixer) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    int64_t framesDone = 0;
    std::unique_lock<std::mutex> hold(mLock);
    while (!mStopping) {
        mWake.wait_for(hold, std::chrono::milliseconds(10), [this] { return mStopping; });
        if (mStopping) break;
        auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        int64_t due = elapsed.count() * Mixer::kOutputRate / 1000000;
        if (due <= framesDone) continue;
        // After a long suspension every voice has ended anyway; a few seconds' advance says so.
        int frames = static_cast<int>(std::min<int64_t>(due - framesDone, 10 * Mixer::kOutputRate));
        framesDone = due;
        hold.unlock();
        mixer.Mix(nullptr, frames);
        hold.lock();
    }
}
