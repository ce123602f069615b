// The push button: a click is a left press and release both on the button; dragging off before
// the release cancels it. Faces are drawn at the gadget's origin.
#include "engine/controls/Button.h"

#include "engine/audio/Sound.h"
#include "engine/core/App.h"
#include "engine/draw/Image.h"
#include "engine/draw/Sprite.h"

Button::Button() {
    mName = "button";
    if (App* app = App::Instance(); app && app->mHandCursor) mCursor = app->mHandCursor;
    mFocusable = true;
}

Button::~Button() = default;

void Button::SetListener(Gadget* listener, bool addAsChild) {
    mListener = listener;
    if (listener && addAsChild) listener->AddChild(this);
}

void Button::SetImages(const Sprite* normal, const Sprite* hover, const Sprite* pressed, const Sprite* disabled) {
    mOwnedImages.clear();
    mSharedImages = true;
    const Sprite* faces[4] = {normal, hover, pressed, disabled};
    mImageCount = 0;
    for (int i = 0; i < 4; ++i) {
        mImages[i] = faces[i];
        if (faces[i]) mImageCount = i + 1;
    }
}

bool Button::LoadImages(const std::string& name) {
    static const char* const kSuffixes[4] = {"", "_over", "_down", "_disabled"};
    mOwnedImages.clear();
    mSharedImages = false;
    mImageCount = 0;
    for (int i = 0; i < 4; ++i) {
        mImages[i] = nullptr;
        std::string faceName = name + kSuffixes[i];
        // Only the normal face is required; its absence is reported by the image rules.
        if (i > 0 && !Image::Exists(faceName)) continue;
        auto sprite = std::make_unique<Sprite>();
        if (!sprite->Load(faceName)) continue;
        mImages[i] = sprite.get();
        mImageCount = i + 1;
        mOwnedImages.push_back(std::move(sprite));
    }
    if (mImages[0]) {
        mRect.w = float(mImages[0]->Width());
        mRect.h = float(mImages[0]->Height());
    }
    return mImages[0] != nullptr;
}

Button::Face Button::ShownFace() const {
    if (mDisabled && mImageCount == 4) return kDisabled;
    // The keyboard's focus shows as the mouse's hover does.
    if (mHover || HasFocus() || (mDown && mToggle)) return mDown ? kPressed : kHover;
    return kNormal;
}

void Button::Draw() {
    Face face = ShownFace();
    const Sprite* sprite = mImages[face];
    // A set without the face asked for falls back to the normal one.
    if (!sprite) sprite = mImages[kNormal];
    if (sprite) sprite->Draw(0.0f, 0.0f);
}

void Button::Tell() {
    if (mListener) mListener->SendNotify(reinterpret_cast<intptr_t>(this));
}

void Button::MouseDown(float x, float y, int button) {
    (void)x, (void)y;
    if (button != -1) return;
    mPressed = false;
    if (mDown) return;
    if (mPressSound) mPressSound->Play(1.0f);
    mDown = true;
    mPressed = true;
    if (mToggle) {
        if (App* app = App::Instance()) app->SetCursor(app->mArrowCursor);
        Tell();
    }
    if (mNotifyOnPress) Tell();
}

void Button::MouseDoubleClick(float x, float y, int button) {
    // A double click is one more press for buttons that act on the press.
    if (mNotifyOnPress) MouseDown(x, y, button);
}

void Button::MouseUp(float x, float y, int button) {
    if (button != -1) return;
    if (!mPressed || mToggle) return;
    mPressed = false;
    bool wasDown = mDown;
    mDown = false;
    bool over = x >= 0.0f && y >= 0.0f && x < mRect.w && y < mRect.h;
    if (over && mListener && !mNotifyOnPress && wasDown && App::Instance()) Tell();
}

void Button::MouseEnter() {
    if (mHoverSound) mHoverSound->Play(1.0f);
    // The mouse points somewhere else than the keys did: one highlight at a time.
    if (App* app = App::Instance(); app && app->mFocus && app->mFocus != this && app->mFocus->mFocusable)
        app->mFocus = nullptr;
}

void Button::PressByKey() {
    if (mDisabled) return;
    if (mToggle) {
        if (mDown) return;
        if (mPressSound) mPressSound->Play(1.0f);
        mDown = true;
        Tell();
        return;
    }
    if (mPressSound) mPressSound->Play(1.0f);
    Tell();
}
