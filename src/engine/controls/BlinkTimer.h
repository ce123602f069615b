// The engine's blink timer: a flag that flips every `period` update steps. Boards embed one and
// step it themselves; text fields register one with the application's object manager. Owners
// that only need "a period has passed" read and clear the fired flag.
#pragma once

#include "engine/core/Object.h"

class BlinkTimer : public Object {
public:
    explicit BlinkTimer(int period = 25);

    // One step: when the period completes, the state flips and the fired flag goes up.
    void Update() override;
    // Counts again from 0 (optionally with a new period), state back to on, fired flag down.
    void Restart();
    void Restart(int period);
    // True once per completed period since the last call.
    bool TakeFired();

    // Update steps per period (at least 1 is used, so a broken saved value cannot stall it).
    int mPeriod = 25;
    int mCounter = 0;
    bool mState = true;
    bool mFired = false;
};
