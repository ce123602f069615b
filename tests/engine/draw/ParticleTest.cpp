// Particles: the script language, stepping, and the kill rules seen through an ObjectManager.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/ObjectManager.h"
#include "engine/draw/Particle.h"

namespace {

// Steps a particle owned by a manager until it is gone; returns the number of steps it lived
// (the step that killed it included), or -1 after `limit` steps.
int StepsToLive(Particle* particle, int limit = 1000) {
    ObjectManager manager;
    manager.Add(particle);
    for (int step = 1; step <= limit; ++step) {
        manager.Update();
        if (manager.Count() == 0) return step;
    }
    return -1;
}

}  // namespace

TEST(ParticleScript, ParsesOperatorsNamesAndConstants) {
    struct Case {
        const char* script;
        size_t statements;
        uint8_t op;
        bool hasSource;
        float constant;
    } cases[] = {
        {"mScale/=4F", 1, 4, false, 4.0f},
        {"mScale=mRotation", 1, 5, true, 0.0f},
        {"mRotation--", 1, 7, false, 0.0f},
        {"  \tMSCALE += 1.5 \r\n", 1, 1, false, 1.5f},  // blanks trimmed, case ignored
        {"mScale=-3", 1, 5, false, -3.0f},               // "=" found, "-=" is not in the text
        {"mScale+=abc", 1, 1, false, 0.0f},              // not a number: 0
        {"\xC3mScale\xA9+=2", 1, 1, false, 2.0f},       // bytes above 127 trimmed too
        {"mRegister[9]=1", 1, 5, false, 1.0f},
        {"mRegister[10]=1", 0, 0, false, 0},
        {"mRegister[ 1]=1", 0, 0, false, 0},
    };
    for (const Case& c : cases) {
        Particle p;
        p.AddScript(c.script);
        ASSERT_EQ(p.mScript.size(), c.statements) << c.script;
        if (c.statements == 0) continue;
        EXPECT_EQ(p.mScript[0].mOperator, c.op) << c.script;
        EXPECT_EQ(p.mScript[0].mSource != nullptr, c.hasSource) << c.script;
        if (!c.hasSource) {
            EXPECT_FLOAT_EQ(p.mScript[0].mConstant, c.constant) << c.script;
        }
    }
    // Statements accumulate across calls; the second and third of this one are dropped.
    Particle p;
    p.AddScript("mScale+=1;mScale 2;mNothing=3");
    p.AddScript("mRotation++");
    ASSERT_EQ(p.mScript.size(), 2u);
    EXPECT_EQ(p.mScript[0].mTarget, &p.mScale);
    EXPECT_EQ(p.mScript[1].mTarget, &p.mRotation);
    // Naming the movement angle switches it on, even on the right-hand side.
    Particle q;
    EXPECT_FALSE(q.mUseMovementAngle);
    q.AddScript("mRegister[0]=mMovementAngle");
    EXPECT_TRUE(q.mUseMovementAngle);
}

TEST(ParticleUpdate, GameScriptsGrowFadeAndDie) {
    // Grows by 0.025 per step; alpha reaches 0 on about the 40th step, which kills it.
    auto* glow = new Particle;
    glow->AddScript("mScale+=.025f;mColor.mAlpha-=.025f");
    Particle probe;
    probe.AddScript("mScale+=.025f;mColor.mAlpha-=.025f");
    for (int i = 0; i < 10; ++i) probe.Update();
    EXPECT_NEAR(probe.mScale, 1.25f, 1e-4);
    int lived = StepsToLive(glow);
    EXPECT_GE(lived, 40);
    EXPECT_LE(lived, 41);

    // Falls faster each step and turns one degree per step.
    Particle fall;
    fall.AddScript("mDirection.mY+=.1f;mRotation--");
    for (int i = 1; i <= 5; ++i) {
        fall.Update();
        EXPECT_NEAR(fall.mDirection.mY, 0.1f * i, 1e-5) << "step " << i;
        EXPECT_FLOAT_EQ(fall.mRotation, float(-i)) << "step " << i;
    }
    EXPECT_NEAR(fall.mPos.mY, 0.1f * (0 + 1 + 2 + 3 + 4), 1e-4);  // position moves before the script

    // Register 0 keeps the previous step's scale while the scale doubles.
    Particle reg;
    reg.mKeepOffscreen = true;
    reg.AddScript("mRegister[0]=mScale;mScale*=2");
    for (int i = 1; i <= 4; ++i) {
        reg.Update();
        EXPECT_FLOAT_EQ(reg.mRegister[0], std::pow(2.0f, float(i - 1)));
        EXPECT_FLOAT_EQ(reg.mScale, std::pow(2.0f, float(i)));
    }

    // Capitalised names are accepted; the scale falls to 0 and the particle goes at once.
    auto* shrink = new Particle;
    shrink->AddScript("MSCALE-=1");
    EXPECT_EQ(StepsToLive(shrink), 1);
}

TEST(ParticleUpdate, KillRulesKeepFlagsAndNotANumber) {
    struct Case {
        const char* what;
        float x, y, alpha, scale;
        bool keepTransparent, keepShrunk, keepOffscreen;
        bool dies;
    } cases[] = {
        {"transparent", 400, 300, 0, 1, false, false, false, true},
        {"transparent kept", 400, 300, 0, 1, true, false, false, false},
        {"shrunk", 400, 300, 1, -0.5f, false, false, false, true},
        {"256 left is still in", -256, 300, 1, 1, false, false, false, false},
        {"past 256 left", -257, 300, 1, 1, false, false, false, true},
        {"past 256 right", 1057, 300, 1, 1, false, false, false, true},
        {"past 256 above", 400, -257, 1, 1, false, false, false, true},
        {"past 256 below", 400, 857, 1, 1, false, false, false, true},
        {"off screen kept", 5000, 5000, 1, 1, false, false, true, false},
        {"nan alpha", 400, 300, NAN, 1, false, false, false, false},
        {"nan scale", 400, 300, 1, NAN, false, false, false, false},
    };
    for (const Case& c : cases) {
        Particle p;
        p.mPos = {c.x, c.y};
        p.mColor.mAlpha = c.alpha;
        p.mScale = c.scale;
        p.mKeepWhenTransparent = c.keepTransparent;
        p.mKeepWhenShrunk = c.keepShrunk;
        p.mKeepOffscreen = c.keepOffscreen;
        p.Update();
        EXPECT_EQ(p.mKilled, c.dies) << c.what;
    }
    // Division by zero gives infinity, which is kept.
    Particle d;
    d.AddScript("mScale/=0");
    d.Update();
    EXPECT_TRUE(std::isinf(d.mScale));
    EXPECT_FALSE(d.mKilled);
}

TEST(ParticleUpdate, MovementAnglePointsAlongTheDirection) {
    struct Case {
        float dx, dy, angle;
    } cases[] = {{0, -1, 360}, {1, 0, 450}, {0, 1, 540}, {-1, 0, 270}, {0, 0, 540}};
    for (const Case& c : cases) {
        Particle p;
        p.FindVariable("mMovementAngle");
        p.mDirection = {c.dx, c.dy};
        p.Update();
        EXPECT_FLOAT_EQ(p.mMovementAngle, c.angle) << c.dx << "," << c.dy;
    }
}
