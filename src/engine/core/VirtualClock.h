// A clock for running the loop as fast as the machine can: sleeping only moves its time on, at
// once. Headless replays use it; the update steps see the same times they would at full speed.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Clock.h"

class VirtualClock : public Clock {
public:
    uint32_t Milliseconds() override { return mNow.load(std::memory_order_relaxed); }
    // The loader thread reads the time too, hence atomic.
    void Sleep(uint32_t milliseconds) override { mNow.fetch_add(milliseconds, std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> mNow{0};
};
