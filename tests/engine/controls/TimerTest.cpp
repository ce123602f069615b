// The blink timer and the colour cycler, as boards, text fields and the journey map use them.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/controls/BlinkTimer.h"
#include "engine/controls/ColorCycler.h"

TEST(BlinkTimer, FlipsEveryPeriodAndFiresOncePerPeriod) {
    BlinkTimer timer(25);
    int flips = 0, fired = 0;
    bool state = timer.mState;
    for (int step = 1; step <= 100; ++step) {
        timer.Update();
        if (timer.mState != state) {
            ++flips;
            EXPECT_EQ(step % 25, 0) << "flip at step " << step;
            state = timer.mState;
        }
        if (timer.TakeFired()) ++fired;
    }
    EXPECT_EQ(flips, 4);
    EXPECT_EQ(fired, 4);
    // A restart with a new period: first after 50 steps, then the owner shortens it to 10.
    timer.Restart(50);
    int firstFire = 0;
    for (int step = 1; step <= 50 && !firstFire; ++step) {
        timer.Update();
        if (timer.TakeFired()) firstFire = step;
    }
    EXPECT_EQ(firstFire, 50);
    timer.mPeriod = 10;
    for (int step = 1; step <= 10; ++step) {
        timer.Update();
        EXPECT_EQ(timer.TakeFired(), step == 10);
    }
}

TEST(ColorCycler, BlendsNeighboursAndWrapsAtTheLastColour) {
    ColorCycler cycler;
    EXPECT_EQ(cycler.Sample(3.0f), ColorCycler::Color{});
    cycler.Add(1, 0, 0);
    cycler.Add(0, 1, 0);
    cycler.Add(0, 0, 1);
    cycler.Add(1, 0, 0);  // closes the loop
    EXPECT_FLOAT_EQ(cycler.End(), 3.0f);
    struct Case {
        float position, r, g, b;
    } cases[] = {{0, 1, 0, 0}, {0.5f, 0.5f, 0.5f, 0}, {1, 0, 1, 0}, {1.25f, 0, 0.75f, 0.25f},
                 {2.5f, 0.5f, 0, 0.5f}, {3, 1, 0, 0}, {10, 1, 0, 0}, {-1, 1, 0, 0}, {NAN, 1, 0, 0}};
    for (const Case& c : cases) {
        ColorCycler::Color k = cycler.Sample(c.position);
        EXPECT_FLOAT_EQ(k.mRed, c.r) << c.position;
        EXPECT_FLOAT_EQ(k.mGreen, c.g) << c.position;
        EXPECT_FLOAT_EQ(k.mBlue, c.b) << c.position;
    }
    float position = 0.0f;
    int steps = 0;
    do {
        position = cycler.Advance(position, 0.01f);
        ++steps;
    } while (position != 0.0f && steps < 1000);
    EXPECT_NEAR(steps, 300, 1);
}
