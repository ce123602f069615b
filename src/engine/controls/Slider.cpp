// The slider. The value maps to the thumb centre inside the margins; drags map back, clamped.
#include "engine/controls/Slider.h"

#include <algorithm>

#include "engine/core/App.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"

Slider::Slider() { mName = "Slider"; }

void Slider::SetListener(Gadget* listener, bool addAsChild) {
    mListener = listener;
    if (listener && addAsChild) listener->AddChild(this);
}

void Slider::SetValue(float value) { mValue = std::clamp(value, 0.0f, 1.0f); }

void Slider::SetThumbSprites(const Sprite* normal, const Sprite* hover, const Sprite* dragging) {
    mThumbSprites[kThumbNormal] = normal;
    mThumbSprites[kThumbHover] = hover;
    mThumbSprites[kThumbDragging] = dragging;
}

float Slider::ThumbCenterX() const {
    return mThumbWidth / 2.0f + mMargin + (mRect.w - mThumbWidth - 2.0f * mMargin) * mValue;
}

bool Slider::InThumbColumn(float x) const {
    float centre = ThumbCenterX();
    return x >= centre - mThumbWidth / 2.0f && x < centre + mThumbWidth / 2.0f;
}

void Slider::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    device->ResetClip();
    if (mTrackColor[3] != 0.0f) {
        device->SetColor(mTrackColor[0], mTrackColor[1], mTrackColor[2], mTrackColor[3]);
        device->FillRect(0.0f, 0.0f, mRect.w, mRect.h);
        device->ResetColor();
    }
    if (mTrackSprite) mTrackSprite->Draw(0.0f, 0.0f);
    int state = mDraggingThumb ? kThumbDragging : mHoverThumb ? kThumbHover : kThumbNormal;
    float cx = ThumbCenterX(), cy = ThumbCenterY();
    if (const Sprite* thumb = mThumbSprites[state] ? mThumbSprites[state] : mThumbSprites[kThumbNormal]) {
        thumb->DrawCentered(cx, cy);
    } else {
        const float* c = mThumbColor[state];
        device->SetColor(c[0], c[1], c[2], c[3]);
        device->FillRect(cx - mThumbWidth / 2.0f, cy - mThumbHeight / 2.0f, mThumbWidth, mThumbHeight);
        device->ResetColor();
    }
}

void Slider::MouseMove(float x, float y) {
    (void)y;
    mHoverThumb = InThumbColumn(x);
    if (App* app = App::Instance()) app->SetCursor(mHoverThumb ? app->mGrabCursor : app->mArrowCursor);
}

void Slider::StartDrag(float x, float y) {
    (void)y;
    (void)x;
    // The drag begins where the button went down: by the time the threshold is passed the
    // pointer has moved, and the thumb must not lose that movement.
    float pressX = float(mPressX);
    if (!InThumbColumn(pressX)) return;
    mDraggingThumb = true;
    mGrabOffset = ThumbCenterX() - pressX;
}

void Slider::Drag(float x, float y) {
    (void)y;
    if (!mDraggingThumb) return;
    float travel = mRect.w - mThumbWidth - 2.0f * mMargin;
    float value = travel > 0.0f ? (x + mGrabOffset - (mThumbWidth / 2.0f + mMargin)) / travel : 0.0f;
    mValue = std::clamp(value, 0.0f, 1.0f);
    if (mListener) mListener->SendNotify(reinterpret_cast<intptr_t>(this));
}

void Slider::FinishDrag(float x, float y) {
    (void)x, (void)y;
    mDraggingThumb = false;
}

void Slider::MouseLeave() {
    mHoverThumb = false;
}
