// Points or words floating over the board: they wait a moment, so the pieces that earned them
// can burst first, then show as white text on a black shadow and remove themselves.
#include "game/rules/FloatingText.h"

#include "engine/core/App.h"
#include "engine/core/Graphics.h"
#include "engine/draw/Font.h"

FloatingText::FloatingText(const std::string& text, const Font* font, float x, float y)
    : mText(text), mFont(font), mX(x), mY(y) {
    mName = "FloatingText";
}

void FloatingText::Update() {
    if (mWait > 0) {
        --mWait;
        return;
    }
    if (--mLife <= 0) {
        mLife = 0;
        Kill();
    }
}

void FloatingText::Draw() {
    if (!IsShowing() || !mFont) return;
    App* app = App::Instance();
    Graphics* graphics = app ? app->mGraphics : nullptr;
    int width = 0, height = 0;
    mFont->TextSize(mText, &width, &height);
    // Centred by the advance width, so the same number lands at the same place whatever the
    // overhang of its last digit.
    float left = mX - float(mFont->TextWidth(mText)) * 0.5f;
    float top = mY - float(height) * 0.5f;
    if (graphics) graphics->SetColor(0.0f, 0.0f, 0.0f, 1.0f);
    mFont->DrawText(mText, left + 2.0f, top + 2.0f);
    if (graphics) graphics->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    mFont->DrawText(mText, left, top);
}
