// A scrolling view: content larger than the gadget, scroll bars with arrow buttons, paging by
// clicks on the bar, thumb drags, and selectable regions of the content. Subclasses draw the
// content in DrawContent, with the origin already moved by the scroll offset.
#pragma once

#include <vector>

#include "engine/core/Gadget.h"

class Button;
class Sprite;

class ScrollerGadget : public Gadget {
public:
    enum PageMode { kPageNone = 0, kPageUp = 1, kPageDown = 2, kPageLeft = 3, kPageRight = 4 };
    enum ThumbDrag { kThumbNone = 0, kThumbVertical = 1, kThumbHorizontal = 2 };
    enum Arrow { kArrowUp = 0, kArrowDown = 1, kArrowLeft = 2, kArrowRight = 3 };
    struct Region {
        Rect mRect;  // content coordinates
        bool mSelected = false;
    };
    // Steps a press on an arrow or bar waits before it repeats.
    static constexpr int kRepeatDelay = 50;
    static constexpr int kPageRepeat = 8;

    ScrollerGadget();
    ~ScrollerGadget() override;

    void SetContentSize(float width, float height);
    // Clamped to the scroll limits.
    void SetScroll(float x, float y);
    void SetBackground(const Sprite* sprite) { mBackgroundSprite = sprite; }
    void SetBackgroundColor(float r, float g, float b, float a = 1.0f);
    int AddRegion(const Rect& rect);
    void ClearRegions() { mRegions.clear(); }
    // Index of the selected region, -1 when none.
    int SelectedRegion() const;

    // Largest scroll offsets: content size minus view size, never below 0.
    float MaxScrollX() const;
    float MaxScrollY() const;
    bool HasVerticalBar() const { return mContentHeight > mRect.h; }
    bool HasHorizontalBar() const { return mContentWidth > mRect.w; }
    // Thumb rectangles in the gadget's own coordinates (width or height 0 without that bar).
    Rect VerticalThumb() const;
    Rect HorizontalThumb() const;

    void Initialize() override;
    void Update() override;
    void Draw() override;
    void Notify(intptr_t message) override;
    void MouseDown(float x, float y, int button) override;
    void MouseUp(float x, float y, int button) override;
    void Drag(float x, float y) override;
    void FinishDrag(float x, float y) override;
    // Called with a region index when a press selects it.
    virtual void RegionSelected(int index) { (void)index; }
    // Draws the content; the origin is the content's top-left corner.
    virtual void DrawContent() {}

    float mScrollX = 0.0f;
    float mScrollY = 0.0f;
    float mContentWidth = 0.0f;
    float mContentHeight = 0.0f;
    float mBackgroundColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const Sprite* mBackgroundSprite = nullptr;
    float mBarWidth = 26.0f;
    Button* mArrows[4] = {};
    float mArrowStepX = 5.0f;
    float mArrowStepY = 5.0f;
    int mRepeat = 0;
    int mPageMode = kPageNone;
    uint8_t mOverlapLinesV = 0;
    uint8_t mOverlapLinesH = 0;
    int mThumbDrag = kThumbNone;
    float mGrabOffset = 0.0f;
    std::vector<Region> mRegions;

private:
    void PlaceArrows();
    float VerticalTrack() const;
    float HorizontalTrack() const;
};
