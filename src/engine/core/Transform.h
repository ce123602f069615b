// A 2D affine transform built from steps (translate, scale, rotate), each applied after the ones
// before it. Sprites, particles and fonts hand one to the drawing device.
#pragma once

#include "engine/core/Rect.h"

class Transform {
public:
    void Translate(float x, float y);
    // The z factor is accepted for callers that think in 3D and has no effect on a flat picture.
    void Scale(float x, float y, float z = 1.0f);
    // Positive degrees turn clockwise on screen (y grows downwards).
    void Rotate(float degrees);
    // Steps of `after` applied after this transform's own.
    void Append(const Transform& after);
    Point Apply(float x, float y) const { return Point{mA * x + mC * y + mE, mB * x + mD * y + mF}; }
    bool HasRotationOrScale() const { return mA != 1.0f || mB != 0.0f || mC != 0.0f || mD != 1.0f; }
    void Reset() { *this = Transform(); }

    // x' = a x + c y + e, y' = b x + d y + f
    float mA = 1.0f, mB = 0.0f, mC = 0.0f, mD = 1.0f, mE = 0.0f, mF = 0.0f;
};
