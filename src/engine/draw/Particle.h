// A small sprite that moves by itself and changes under a script of statements such as
// "mScale+=.025f;mColor.mAlpha-=.025f", run once per update step. It kills itself when it turns
// invisible, shrinks to nothing or leaves the screen. Lives in an ObjectManager the game draws.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/core/Object.h"
#include "engine/core/Rect.h"

class Sprite;

class Particle : public Object {
public:
    struct Vector {
        float mX = 0.0f;
        float mY = 0.0f;
    };
    struct Color {
        float mRed = 1.0f;
        float mGreen = 1.0f;
        float mBlue = 1.0f;
        float mAlpha = 1.0f;
    };
    // One parsed statement: target op (source or constant).
    struct Statement {
        float* mTarget = nullptr;
        const float* mSource = nullptr;
        float mConstant = 0.0f;
        uint8_t mOperator = 0;  // 1 "+=", 2 "-=", 3 "*=", 4 "/=", 5 "=", 6 "++", 7 "--"
    };
    static constexpr int kRegisterCount = 10;

    Particle();

    // Parses ";"-separated statements and appends them; statements that do not parse are dropped.
    void AddScript(std::string_view text);
    // The float a script name refers to (case ignored), or null. Naming "mMovementAngle" switches
    // the movement angle on.
    float* FindVariable(std::string_view name);

    void Update() override;
    void Draw() override;

    const Sprite* mSprite = nullptr;
    Vector mPos;
    Vector mDirection;  // pixels per update step
    float mRotation = 0.0f;
    float mScale = 1.0f;
    Color mColor;
    float mRegister[kRegisterCount] = {};
    bool mFlipX = false;
    bool mFlipY = false;
    bool mUseMovementAngle = false;
    float mMovementAngle = 0.0f;  // degrees, 360 pointing up
    bool mKeepWhenTransparent = false;
    bool mKeepWhenShrunk = false;
    bool mKeepOffscreen = false;
    // Leaving this rectangle removes the particle: the logical screen grown by 256 on every side.
    Rect mBounds;
    std::vector<Statement> mScript;
};
