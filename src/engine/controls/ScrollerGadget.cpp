// The scroller. Held arrows scroll once at once and then every step after kRepeatDelay steps;
// held bar clicks page at once and then every kPageRepeat steps after the delay.
#include "engine/controls/ScrollerGadget.h"

#include <algorithm>

#include "engine/controls/Button.h"
#include "engine/core/App.h"
#include "engine/core/GadgetManager.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"

ScrollerGadget::ScrollerGadget() {
    mName = "scroller";
    for (Button*& arrow : mArrows) {
        arrow = new Button;
        arrow->SetNotifyOnPress(true);
        // Scrolling from the keys belongs to the screen that holds the scroller.
        arrow->mFocusable = false;
        arrow->SetListener(this, true);
    }
}

ScrollerGadget::~ScrollerGadget() = default;

void ScrollerGadget::SetContentSize(float width, float height) {
    mContentWidth = std::max(0.0f, width);
    mContentHeight = std::max(0.0f, height);
    SetScroll(mScrollX, mScrollY);
    PlaceArrows();
}

void ScrollerGadget::SetScroll(float x, float y) {
    mScrollX = std::clamp(x, 0.0f, MaxScrollX());
    mScrollY = std::clamp(y, 0.0f, MaxScrollY());
}

void ScrollerGadget::SetBackgroundColor(float r, float g, float b, float a) {
    mBackgroundColor[0] = r, mBackgroundColor[1] = g, mBackgroundColor[2] = b, mBackgroundColor[3] = a;
}

int ScrollerGadget::AddRegion(const Rect& rect) {
    mRegions.push_back(Region{rect, false});
    return static_cast<int>(mRegions.size()) - 1;
}

int ScrollerGadget::SelectedRegion() const {
    for (size_t i = 0; i < mRegions.size(); ++i)
        if (mRegions[i].mSelected) return static_cast<int>(i);
    return -1;
}

float ScrollerGadget::MaxScrollX() const { return std::max(0.0f, mContentWidth - mRect.w); }
float ScrollerGadget::MaxScrollY() const { return std::max(0.0f, mContentHeight - mRect.h); }

float ScrollerGadget::VerticalTrack() const { return mRect.h - (HasHorizontalBar() ? mBarWidth : 0.0f); }
float ScrollerGadget::HorizontalTrack() const { return mRect.w - (HasVerticalBar() ? mBarWidth : 0.0f); }

// The thumb travels between the arrows: the track less an arrow at each end and itself.
Rect ScrollerGadget::VerticalThumb() const {
    if (!HasVerticalBar()) return Rect{};
    float travel = std::max(0.0f, VerticalTrack() - 3.0f * mBarWidth);
    float range = MaxScrollY() + (HasHorizontalBar() ? mBarWidth : 0.0f);
    float position = range > 0.0f ? std::min(travel, mScrollY / range * travel) : 0.0f;
    return Rect{mRect.w - mBarWidth, mBarWidth + position, mBarWidth, mBarWidth};
}

Rect ScrollerGadget::HorizontalThumb() const {
    if (!HasHorizontalBar()) return Rect{};
    float travel = std::max(0.0f, HorizontalTrack() - 3.0f * mBarWidth);
    float range = MaxScrollX() + (HasVerticalBar() ? mBarWidth : 0.0f);
    float position = range > 0.0f ? std::min(travel, mScrollX / range * travel) : 0.0f;
    return Rect{mBarWidth + position, mRect.h - mBarWidth, mBarWidth, mBarWidth};
}

void ScrollerGadget::PlaceArrows() {
    float w = mRect.w, h = mRect.h, b = mBarWidth;
    bool vertical = HasVerticalBar(), horizontal = HasHorizontalBar();
    mArrows[kArrowUp]->SetRect(w - b, 0.0f, b, b);
    mArrows[kArrowDown]->SetRect(w - b, VerticalTrack() - b, b, b);
    mArrows[kArrowLeft]->SetRect(0.0f, h - b, b, b);
    mArrows[kArrowRight]->SetRect(HorizontalTrack() - b, h - b, b, b);
    mArrows[kArrowUp]->mHidden = mArrows[kArrowDown]->mHidden = !vertical;
    mArrows[kArrowLeft]->mHidden = mArrows[kArrowRight]->mHidden = !horizontal;
    mArrows[kArrowUp]->mNoHitTest = mArrows[kArrowDown]->mNoHitTest = !vertical;
    mArrows[kArrowLeft]->mNoHitTest = mArrows[kArrowRight]->mNoHitTest = !horizontal;
}

void ScrollerGadget::Initialize() { PlaceArrows(); }

void ScrollerGadget::Notify(intptr_t message) {
    for (Button* arrow : mArrows)
        if (message == reinterpret_cast<intptr_t>(arrow)) mRepeat = kRepeatDelay;
}

void ScrollerGadget::Update() {
    // The owner may have moved or resized the view since the arrows were placed.
    PlaceArrows();
    if (mRepeat == 0 || mRepeat == kRepeatDelay) {
        if (mArrows[kArrowUp]->mDown) mScrollY = std::max(0.0f, mScrollY - mArrowStepY);
        if (mArrows[kArrowDown]->mDown) mScrollY = std::min(MaxScrollY(), mScrollY + mArrowStepY);
        if (mArrows[kArrowLeft]->mDown) mScrollX = std::max(0.0f, mScrollX - mArrowStepX);
        if (mArrows[kArrowRight]->mDown) mScrollX = std::min(MaxScrollX(), mScrollX + mArrowStepX);
        float pageY = mRect.h - mOverlapLinesV * mBarWidth;
        float pageX = mRect.w - mOverlapLinesH * mBarWidth;
        switch (mPageMode) {
            case kPageUp: mScrollY = std::max(0.0f, mScrollY - pageY); break;
            case kPageDown: mScrollY = std::min(MaxScrollY(), mScrollY + pageY); break;
            case kPageLeft: mScrollX = std::max(0.0f, mScrollX - pageX); break;
            case kPageRight: mScrollX = std::min(MaxScrollX(), mScrollX + pageX); break;
        }
        if (mPageMode != kPageNone && mRepeat == 0) mRepeat = kPageRepeat;
    }
    if (mRepeat > 0) --mRepeat;
}

void ScrollerGadget::MouseDown(float x, float y, int button) {
    if (button != -1) return;
    Rect vThumb = VerticalThumb(), hThumb = HorizontalThumb();
    if (HasVerticalBar() && x >= mRect.w - mBarWidth && y < VerticalTrack()) {
        if (vThumb.Contains(x, y)) {
            mThumbDrag = kThumbVertical;
            mGrabOffset = vThumb.y - y;
        } else {
            mPageMode = y < vThumb.y ? kPageUp : kPageDown;
            mRepeat = kRepeatDelay;
        }
        return;
    }
    if (HasHorizontalBar() && y >= mRect.h - mBarWidth && x < HorizontalTrack()) {
        if (hThumb.Contains(x, y)) {
            mThumbDrag = kThumbHorizontal;
            mGrabOffset = hThumb.x - x;
        } else {
            mPageMode = x < hThumb.x ? kPageLeft : kPageRight;
            mRepeat = kRepeatDelay;
        }
        return;
    }
    float cx = x + mScrollX, cy = y + mScrollY;
    int hit = -1;
    for (size_t i = 0; i < mRegions.size(); ++i)
        if (hit < 0 && mRegions[i].mRect.Contains(cx, cy)) hit = static_cast<int>(i);
    if (hit < 0) return;
    for (size_t i = 0; i < mRegions.size(); ++i) mRegions[i].mSelected = static_cast<int>(i) == hit;
    RegionSelected(hit);
}

void ScrollerGadget::Drag(float x, float y) {
    if (mThumbDrag == kThumbVertical) {
        float travel = VerticalTrack() - 3.0f * mBarWidth;
        if (travel <= 0.0f) return;
        float position = std::clamp(y + mGrabOffset - mBarWidth, 0.0f, travel);
        float range = MaxScrollY() + (HasHorizontalBar() ? mBarWidth : 0.0f);
        mScrollY = position / travel * range;
    } else if (mThumbDrag == kThumbHorizontal) {
        float travel = HorizontalTrack() - 3.0f * mBarWidth;
        if (travel <= 0.0f) return;
        float position = std::clamp(x + mGrabOffset - mBarWidth, 0.0f, travel);
        float range = MaxScrollX() + (HasVerticalBar() ? mBarWidth : 0.0f);
        mScrollX = position / travel * range;
    }
}

void ScrollerGadget::MouseUp(float x, float y, int button) {
    (void)x, (void)y;
    if (button != -1) return;
    mThumbDrag = kThumbNone;
    mPageMode = kPageNone;
}

void ScrollerGadget::FinishDrag(float x, float y) {
    (void)x, (void)y;
    mThumbDrag = kThumbNone;
    mPageMode = kPageNone;
}

void ScrollerGadget::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    device->PushOrigin();
    device->mOrigin.x -= mScrollX;
    device->mOrigin.y -= mScrollY;
    float w = std::max(mRect.w, mContentWidth), h = std::max(mRect.h, mContentHeight);
    if (!mBackgroundSprite || mBackgroundSprite->Empty()) {
        device->SetColor(mBackgroundColor[0], mBackgroundColor[1], mBackgroundColor[2], mBackgroundColor[3]);
        device->FillRect(0.0f, 0.0f, w, h);
        device->ResetColor();
    } else {
        float tw = float(mBackgroundSprite->Width()), th = float(mBackgroundSprite->Height());
        for (float ty = 0.0f; ty < h; ty += th)
            for (float tx = 0.0f; tx < w; tx += tw) mBackgroundSprite->Draw(tx, ty);
    }
    DrawContent();
    device->PopOrigin();
    // Bars as plain fills under the arrow buttons: a dark track and a light thumb.
    if (HasVerticalBar()) {
        device->SetColor(0.2f, 0.2f, 0.2f, 1.0f);
        device->FillRect(mRect.w - mBarWidth, 0.0f, mBarWidth, VerticalTrack());
        Rect t = VerticalThumb();
        device->SetColor(0.8f, 0.8f, 0.8f, 1.0f);
        device->FillRect(t.x, t.y, t.w, t.h);
    }
    if (HasHorizontalBar()) {
        device->SetColor(0.2f, 0.2f, 0.2f, 1.0f);
        device->FillRect(0.0f, mRect.h - mBarWidth, HorizontalTrack(), mBarWidth);
        Rect t = HorizontalThumb();
        device->SetColor(0.8f, 0.8f, 0.8f, 1.0f);
        device->FillRect(t.x, t.y, t.w, t.h);
    }
    device->ResetColor();
}
