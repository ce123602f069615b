// The real clock: a monotonic millisecond counter and a plain sleep.
#include "platform/Clock.h"

#include <chrono>
#include <thread>

uint32_t Clock::Milliseconds() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void Clock::Sleep(uint32_t milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Clock& Clock::System() {
    static Clock clock;
    return clock;
}
