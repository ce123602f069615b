// Transform steps. Rotation uses exact values at quarter turns so that turned sprites stay on
// whole pixels.
#include "engine/core/Transform.h"

#include <cmath>

void Transform::Append(const Transform& t) {
    Transform r;
    r.mA = t.mA * mA + t.mC * mB;
    r.mB = t.mB * mA + t.mD * mB;
    r.mC = t.mA * mC + t.mC * mD;
    r.mD = t.mB * mC + t.mD * mD;
    r.mE = t.mA * mE + t.mC * mF + t.mE;
    r.mF = t.mB * mE + t.mD * mF + t.mF;
    *this = r;
}

void Transform::Translate(float x, float y) {
    mE += x;
    mF += y;
}

void Transform::Scale(float x, float y, float z) {
    (void)z;
    Transform s;
    s.mA = x;
    s.mD = y;
    Append(s);
}

void Transform::Rotate(float degrees) {
    double turns = std::fmod(double(degrees), 360.0);
    if (turns < 0) turns += 360.0;
    double c, s;
    if (turns == 0.0) c = 1, s = 0;
    else if (turns == 90.0) c = 0, s = 1;
    else if (turns == 180.0) c = -1, s = 0;
    else if (turns == 270.0) c = 0, s = -1;
    else {
        double radians = turns * 3.14159265358979323846 / 180.0;
        c = std::cos(radians);
        s = std::sin(radians);
    }
    Transform r;
    r.mA = float(c);
    r.mB = float(s);
    r.mC = float(-s);
    r.mD = float(c);
    Append(r);
}
