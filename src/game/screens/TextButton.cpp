// Text buttons: the caption in the state's colour.
#include "game/screens/TextButton.h"

#include <algorithm>

#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"

TextButton::TextButton(const Font* font, const std::string& caption, float centreX, float centreY)
    : mFont(font), mCaption(caption) {
    mName = "TextButton";
    int width = 0, height = 0;
    if (font) font->TextSize(caption, &width, &height);
    float w = float(std::max(width, 40)) + 16.0f, h = float(std::max(height, 12)) + 8.0f;
    SetRect(centreX - w * 0.5f, centreY - h * 0.5f, w, h);
}

void TextButton::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device || !mFont) return;
    Face face = ShownFace();
    int width = 0, height = 0;
    mFont->TextSize(mCaption, &width, &height);
    float x = (mRect.w - float(width)) * 0.5f, y = (mRect.h - float(height)) * 0.5f;
    if (face == kPressed) y += 1.0f;
    float level = face == kNormal ? 0.75f : 1.0f;
    device->SetColor(0.0f, 0.0f, 0.0f, 0.6f);
    mFont->DrawText(mCaption, x + 1.0f, y + 1.0f);
    device->SetColor(level, level, face == kNormal ? 0.75f : 0.6f, 1.0f);
    mFont->DrawText(mCaption, x, y);
    device->ResetColor();
}
