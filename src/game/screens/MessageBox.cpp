// The message box: the panel, the wrapped text in font 2 and its three-state buttons.
#include "game/screens/MessageBox.h"

#include "engine/controls/Button.h"
#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"

namespace {

const Sprite* PictureOf(GameApp* app, const char* name) { return app ? &app->Picture(name) : nullptr; }

}  // namespace

MessageBox::MessageBox(GameApp* app, const std::string& text, bool yesNo)
    : ModalDialog(app, 50.0f, 0.5f, PictureOf(app, "Graphics\\INFOBOX")), mText(text), mYesNo(yesNo) {
    mName = "MessageBox";
    mLaidOut = app ? app->mFont2.WrapText(text, kTextWidth) : text;
    auto make = [this](float x, float y, const char* normal, const char* hover, const char* pressed) {
        auto* button = new Button();
        button->SetImages(PictureOf(mApp, normal), PictureOf(mApp, hover), PictureOf(mApp, pressed));
        button->SetRect(x, y, 84.0f, 44.0f);
        button->SetListener(this, true);
        return button;
    };
    if (yesNo) {
        mYes = make(273.0f, 429.0f, "Graphics\\YES1", "Graphics\\YES2", "Graphics\\YES3");
        mNo = make(443.0f, 429.0f, "Graphics\\NO1", "Graphics\\NO2", "Graphics\\NO3");
        mEscapeResult = 0;
    } else {
        mOk = make(358.0f, 429.0f, "Graphics\\OK1", "Graphics\\OK2", "Graphics\\OK3");
        mEscapeResult = 1;
    }
    mEnterResult = 1;
}

int MessageBox::Ask(GameApp* app, const std::string& text, bool yesNo) {
    auto* box = new MessageBox(app, text, yesNo);
    return box->Show();
}

void MessageBox::Draw() {
    ModalDialog::Draw();
    if (mApp) mApp->mFont2.DrawText(mLaidOut, kTextX, kTextY);
}

void MessageBox::Notify(intptr_t message) {
    if (message == reinterpret_cast<intptr_t>(mOk) || message == reinterpret_cast<intptr_t>(mYes))
        Answer(1);
    else if (message == reinterpret_cast<intptr_t>(mNo))
        Answer(0);
}
