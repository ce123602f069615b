// A button that is a part of a larger picture: its normal face belongs to the picture its screen
// draws, and while the mouse is over it (or presses it) the same part of the hover (or pressed)
// version of that picture is drawn over it. The menus' big pictures carry all their buttons so.
#pragma once

#include "engine/controls/Button.h"

class PictureButton : public Button {
public:
    // The hover and pressed pictures are drawn with their top-left corner at (pictureX, pictureY)
    // of the button's parent; either may be null (nothing is drawn in that state).
    PictureButton(const Sprite* hover, const Sprite* pressed, float pictureX = 0.0f, float pictureY = 0.0f);

    void Draw() override;

    const Sprite* mHoverPicture = nullptr;
    const Sprite* mPressedPicture = nullptr;
    float mPictureX = 0.0f;
    float mPictureY = 0.0f;
};
