// The application's millisecond clock and sleep. The frame loop reads time only through a Clock,
// so tests can hand it a clock they drive themselves.
#pragma once

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps after about 49 days.
    virtual uint32_t Milliseconds();
    virtual void Sleep(uint32_t milliseconds);

    // The process's real clock.
    static Clock& System();
};
