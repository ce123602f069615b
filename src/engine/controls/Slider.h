// A horizontal slider: a thumb dragged along a track sets a value from 0 to 1, and the listener
// hears of every move. Drawn with sprites when given, otherwise with filled rectangles.
#pragma once

#include "engine/core/Gadget.h"

class Sprite;

class Slider : public Gadget {
public:
    enum ThumbState { kThumbNormal = 0, kThumbHover = 1, kThumbDragging = 2 };

    Slider();

    void SetListener(Gadget* listener, bool addAsChild = true);
    // Clamped to 0..1.
    void SetValue(float value);
    float GetValue() const { return mValue; }
    void SetTrackSprite(const Sprite* sprite) { mTrackSprite = sprite; }
    void SetThumbSprites(const Sprite* normal, const Sprite* hover, const Sprite* dragging);
    // Centre of the thumb in the slider's own coordinates.
    float ThumbCenterX() const;
    float ThumbCenterY() const { return mRect.h / 2.0f; }

    void Draw() override;
    void MouseMove(float x, float y) override;
    void StartDrag(float x, float y) override;
    void Drag(float x, float y) override;
    void FinishDrag(float x, float y) override;
    void MouseLeave() override;

    float mValue = 0.0f;
    float mThumbWidth = 10.0f;
    float mThumbHeight = 10.0f;
    float mMargin = 0.0f;
    Gadget* mListener = nullptr;
    float mTrackColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float mThumbColor[3][4] = {{1, 1, 1, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}};
    const Sprite* mTrackSprite = nullptr;
    const Sprite* mThumbSprites[3] = {};
    // The thumb is being dragged (the gadget's own mDragging covers any drag).
    bool mDraggingThumb = false;
    float mGrabOffset = 0.0f;
    bool mHoverThumb = false;

private:
    bool InThumbColumn(float x) const;
};
