// Points or words that float over the board for a moment: after a short wait a black copy under
// a white one is drawn, then the text removes itself.
#pragma once

#include <string>

#include "engine/core/Object.h"

class Font;

class FloatingText : public Object {
public:
    static constexpr int kWait = 25;
    static constexpr int kShown = 100;

    // The text is centred on (x, y); `font` may be null (nothing is drawn).
    FloatingText(const std::string& text, const Font* font, float x, float y);

    void Update() override;
    void Draw() override;
    bool IsShowing() const { return mWait <= 0 && mLife > 0; }

    std::string mText;
    const Font* mFont = nullptr;
    float mX = 0.0f, mY = 0.0f;
    int mWait = kWait;
    int mLife = kShown;
};
