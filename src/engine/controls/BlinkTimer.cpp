// The blink timer: counted in update steps, never in wall-clock time.
#include "engine/controls/BlinkTimer.h"

BlinkTimer::BlinkTimer(int period) : mPeriod(period) { mName = "blink timer"; }

void BlinkTimer::Update() {
    if (++mCounter >= (mPeriod < 1 ? 1 : mPeriod)) {
        mCounter = 0;
        mState = !mState;
        mFired = true;
    }
}

void BlinkTimer::Restart() {
    mCounter = 0;
    mState = true;
    mFired = false;
}

void BlinkTimer::Restart(int period) {
    mPeriod = period;
    Restart();
}

bool BlinkTimer::TakeFired() {
    bool fired = mFired;
    mFired = false;
    return fired;
}
