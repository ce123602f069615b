// The hyperlink: drawn in its colour (another while hovered), with the hand cursor.
#include "engine/controls/Hyperlink.h"

#include "engine/core/App.h"
#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"

Hyperlink::Hyperlink() {
    mName = "hyperlink";
    if (App* app = App::Instance(); app && app->mHandCursor) mCursor = app->mHandCursor;
}

void Hyperlink::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!mFont || !device) return;
    const float* c = mHover ? mHoverColor : mColor;
    device->SetColor(c[0], c[1], c[2], c[3]);
    mFont->DrawText(mCaption, 0.0f, 0.0f);
    device->ResetColor();
}

void Hyperlink::MouseDown(float x, float y, int button) {
    (void)x, (void)y;
    if (button != -1) return;
    if (mTarget) {
        mTarget->SendNotify(reinterpret_cast<intptr_t>(this));
        return;
    }
    if (App* app = App::Instance(); app && !mAddress.empty()) app->OpenURL(mAddress);
}
