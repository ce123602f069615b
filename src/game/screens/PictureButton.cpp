// Picture-part buttons: the gadget's clip cuts the whole hover or pressed picture down to the
// button's own rectangle.
#include "game/screens/PictureButton.h"

#include "engine/draw/Sprite.h"

PictureButton::PictureButton(const Sprite* hover, const Sprite* pressed, float pictureX, float pictureY)
    : mHoverPicture(hover), mPressedPicture(pressed), mPictureX(pictureX), mPictureY(pictureY) {
    mName = "PictureButton";
}

void PictureButton::Draw() {
    Face face = ShownFace();
    const Sprite* picture = face == kPressed ? mPressedPicture : face == kHover ? mHoverPicture : nullptr;
    if (picture && !picture->Empty()) picture->Draw(mPictureX - mRect.x, mPictureY - mRect.y);
}
