// A line of text that acts as a link: a left press tells the target gadget when there is one,
// otherwise asks the application to open the address in the user's browser.
#pragma once

#include <string>

#include "engine/core/Gadget.h"

class Font;

class Hyperlink : public Gadget {
public:
    Hyperlink();

    void SetCaption(const std::string& caption) { mCaption = caption; }
    void SetAddress(const std::string& address) { mAddress = address; }
    void SetTarget(Gadget* target) { mTarget = target; }
    void SetFont(const Font* font) { mFont = font; }

    void Draw() override;
    void MouseDown(float x, float y, int button) override;

    std::string mCaption;
    std::string mAddress;
    const Font* mFont = nullptr;
    float mColor[4] = {0.5f, 0.75f, 1.0f, 1.0f};
    float mHoverColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    Gadget* mTarget = nullptr;
};
