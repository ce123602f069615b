// A timed colour ramp: colours each held for a duration, blended in turn from one to the next.
// The level-cleared banner and the journey map sample it with a position that advances every
// step; the owner keeps the position (it is saved with the owner's record).
#pragma once

#include <vector>

class ColorCycler {
public:
    struct Color {
        float mRed = 1.0f;
        float mGreen = 1.0f;
        float mBlue = 1.0f;
        float mAlpha = 1.0f;
        bool operator==(const Color&) const = default;
    };

    // Appends a colour; the ramp moves on to the next colour over `duration` position units.
    void Add(const Color& color, float duration = 1.0f);
    void Add(float red, float green, float blue, float alpha = 1.0f) { Add(Color{red, green, blue, alpha}); }
    void Clear() { mEntries.clear(); }
    int Count() const { return static_cast<int>(mEntries.size()); }
    // Colour i, editable in place (the owner may lighten a loaded ramp). i must be valid.
    Color& At(int index) { return mEntries[index].mColor; }
    const Color& At(int index) const { return mEntries[index].mColor; }
    // The position at which the last colour starts: owners wrap their position back to 0 here.
    float End() const;
    // The blended colour at a position: before the start the first colour, from End() on the
    // last; opaque white when the ramp is empty. Not-a-number positions give the first colour.
    Color Sample(float position) const;
    // Advances a position by `amount`, wrapping to 0 once it reaches End().
    float Advance(float position, float amount) const;

private:
    struct Entry {
        Color mColor;
        float mDuration = 1.0f;
    };
    std::vector<Entry> mEntries;
};
