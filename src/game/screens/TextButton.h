// A button that is a line of text in a bitmap font, centred in its rectangle: dimmed normally,
// bright under the mouse, shifted down a pixel while pressed.
#pragma once

#include <string>

#include "engine/controls/Button.h"

class Font;

class TextButton : public Button {
public:
    // Sized to the text (with a little room), centred on (centreX, centreY).
    TextButton(const Font* font, const std::string& caption, float centreX, float centreY);

    void Draw() override;

    const Font* mFont = nullptr;
    std::string mCaption;
};
