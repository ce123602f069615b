// The timed colour ramp: a linear blend between neighbouring colours, position in duration units.
#include "engine/controls/ColorCycler.h"

#include <cmath>

void ColorCycler::Add(const Color& color, float duration) {
    // A zero or negative hold would make the ramp stand still or run backwards.
    if (!(duration > 0.0f)) duration = 1.0f;
    mEntries.push_back(Entry{color, duration});
}

float ColorCycler::End() const {
    float end = 0.0f;
    for (size_t i = 0; i + 1 < mEntries.size(); ++i) end += mEntries[i].mDuration;
    return end;
}

ColorCycler::Color ColorCycler::Sample(float position) const {
    if (mEntries.empty()) return Color{};
    if (!(position > 0.0f)) return mEntries.front().mColor;
    float start = 0.0f;
    for (size_t i = 0; i + 1 < mEntries.size(); ++i) {
        const Entry& entry = mEntries[i];
        if (position < start + entry.mDuration) {
            float t = (position - start) / entry.mDuration;
            const Color& a = entry.mColor;
            const Color& b = mEntries[i + 1].mColor;
            return Color{a.mRed + (b.mRed - a.mRed) * t, a.mGreen + (b.mGreen - a.mGreen) * t,
                         a.mBlue + (b.mBlue - a.mBlue) * t, a.mAlpha + (b.mAlpha - a.mAlpha) * t};
        }
        start += entry.mDuration;
    }
    return mEntries.back().mColor;
}

float ColorCycler::Advance(float position, float amount) const {
    float next = position + amount;
    if (!std::isfinite(next) || next >= End()) return 0.0f;
    return next;
}
