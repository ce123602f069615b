// Particles: the script parser (statements hold direct pointers into the particle, so a step only
// walks the list), the per-step movement and kill rules, and drawing under a transform.
#include "engine/draw/Particle.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/core/App.h"
#include "engine/core/Graphics.h"
#include "engine/core/Transform.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"

namespace {

// Control characters, blanks and bytes above 127 around a name or a value mean nothing.
std::string_view Trim(std::string_view text) {
    auto junk = [](char c) {
        unsigned char u = static_cast<unsigned char>(c);
        return u < 33 || u > 127;
    };
    while (!text.empty() && junk(text.front())) text.remove_prefix(1);
    while (!text.empty() && junk(text.back())) text.remove_suffix(1);
    return text;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

}  // namespace

Particle::Particle() {
    float width = 800.0f, height = 600.0f;
    if (App* app = App::Instance(); app && app->mGraphics) {
        width = float(app->mGraphics->mLogicalWidth);
        height = float(app->mGraphics->mLogicalHeight);
    }
    mBounds = Rect{-256.0f, -256.0f, width + 512.0f, height + 512.0f};
}

float* Particle::FindVariable(std::string_view name) {
    struct Named {
        const char* mName;
        float* mVariable;
    } named[] = {
        {"mPos.mX", &mPos.mX},           {"mPos.mY", &mPos.mY},           {"mDirection.mX", &mDirection.mX},
        {"mDirection.mY", &mDirection.mY}, {"mRotation", &mRotation},     {"mScale", &mScale},
        {"mColor.mRed", &mColor.mRed},   {"mColor.mGreen", &mColor.mGreen}, {"mColor.mBlue", &mColor.mBlue},
        {"mColor.mAlpha", &mColor.mAlpha},
    };
    for (const Named& n : named)
        if (SameIgnoringCase(name, n.mName)) return n.mVariable;
    if (SameIgnoringCase(name, "mMovementAngle")) {
        mUseMovementAngle = true;
        return &mMovementAngle;
    }
    for (int i = 0; i < kRegisterCount; ++i) {
        char registerName[16];
        std::snprintf(registerName, sizeof registerName, "mRegister[%d]", i);
        if (SameIgnoringCase(name, registerName)) return &mRegister[i];
    }
    return nullptr;
}

void Particle::AddScript(std::string_view text) {
    // The search order matters: "+=" before "=", and "mRotation--" is a decrement.
    static const char* const kOperators[] = {"+=", "-=", "*=", "/=", "=", "++", "--"};
    for (;;) {
        size_t end = text.find(';');
        std::string_view statement = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        size_t at = std::string_view::npos;
        int code = 0;
        for (int i = 0; i < 7; ++i) {
            at = statement.find(kOperators[i]);
            if (at != std::string_view::npos) {
                code = i + 1;
                break;
            }
        }
        if (code != 0) {
            size_t length = code == 5 ? 1 : 2;
            Statement s;
            s.mOperator = static_cast<uint8_t>(code);
            s.mTarget = FindVariable(Trim(statement.substr(0, at)));
            if (s.mTarget) {
                if (code <= 5) {
                    std::string_view right = Trim(statement.substr(at + length));
                    s.mSource = FindVariable(right);
                    if (!s.mSource) {
                        std::string number;
                        for (char c : right)
                            if (c != 'f' && c != 'F') number.push_back(c);
                        s.mConstant = static_cast<float>(std::strtod(number.c_str(), nullptr));
                    }
                }
                mScript.push_back(s);
            }
        }
        if (end == std::string_view::npos) break;
    }
}

void Particle::Update() {
    mPos.mX += mDirection.mX;
    mPos.mY += mDirection.mY;
    if (mUseMovementAngle)
        mMovementAngle = float(std::atan2(mDirection.mX, -mDirection.mY) * 180.0 / M_PI + 360.0);

    for (const Statement& s : mScript) {
        float v = s.mSource ? *s.mSource : s.mConstant;
        float& t = *s.mTarget;
        switch (s.mOperator) {
            case 1: t += v; break;
            case 2: t -= v; break;
            case 3: t *= v; break;
            case 4: t /= v; break;
            case 5: t = v; break;
            case 6: t += 1.0f; break;
            case 7: t -= 1.0f; break;
        }
    }

    if (!mKeepWhenTransparent && mColor.mAlpha <= 0.0f) Kill();
    if (!mKeepWhenShrunk && mScale <= 0.0f) Kill();
    if (!mKeepOffscreen) {
        float halfW = mSprite ? mSprite->Width() / 2.0f : 0.5f;
        float halfH = mSprite ? mSprite->Height() / 2.0f : 0.5f;
        float left = mPos.mX - halfW, right = mPos.mX + halfW;
        float top = mPos.mY - halfH, bottom = mPos.mY + halfH;
        if (right < mBounds.x || left > mBounds.x + mBounds.w || bottom < mBounds.y || top > mBounds.y + mBounds.h)
            Kill();
    }
}

void Particle::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!mSprite || !device) return;
    device->SetColor(mColor.mRed, mColor.mGreen, mColor.mBlue, mColor.mAlpha);
    Transform t;
    if (mFlipX) t.Scale(-1.0f, 1.0f);
    if (mFlipY) t.Scale(1.0f, -1.0f);
    t.Scale(mScale, mScale);
    t.Rotate(mRotation);
    t.Translate(mPos.mX, mPos.mY);
    mSprite->DrawTransformed(t);
    device->ResetColor();
}
