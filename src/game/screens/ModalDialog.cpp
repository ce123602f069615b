// Modal dialogs: placement, the translucent layer, keys and the run.
#include "game/screens/ModalDialog.h"

#include <mutex>

#include "engine/core/GadgetManager.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "game/screens/PictureButton.h"
#include "platform/KeyCodes.h"

namespace {

// Whether `gadget` is still somewhere in the tree below `level` (pointers are only compared, so
// a gadget destroyed meanwhile is never touched).
bool InTree(const GadgetManager* level, const Gadget* gadget) {
    if (!level) return false;
    for (void* item : level->mList.Items()) {
        auto* member = static_cast<Gadget*>(static_cast<Object*>(item));
        if (member == gadget || InTree(member->Children(), gadget)) return true;
    }
    return false;
}

}  // namespace

ModalDialog::ModalDialog(GameApp* app, float top, float layerAlpha, const Sprite* picture)
    : mApp(app), mLayerAlpha(layerAlpha), mPicture(picture) {
    mName = "ModalDialog";
    SetRect(0.0f, top, 800.0f, 600.0f);
    // The layer reaches above the dialog's origin.
    mClip = false;
}

ModalDialog::~ModalDialog() = default;

int ModalDialog::Show() {
    App* app = mApp ? static_cast<App*>(mApp) : App::Instance();
    if (!app) return mEscapeResult;
    Gadget* previousFocus = app->mKeyboardFocus;
    {
        std::lock_guard<std::recursive_mutex> lock(app->mDrawLock);
        app->mGadgets.Add(this);
    }
    TakeKeyboardFocus();
    int result = RunModal();
    Kill();
    ReleaseKeyboardFocus();
    if (previousFocus && InTree(&app->mGadgets, previousFocus) && App::IsLive(previousFocus))
        previousFocus->TakeKeyboardFocus();
    return result;
}

void ModalDialog::Answer(int result) { EndModal(result); }

void ModalDialog::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    device->SetColor(0.0f, 0.0f, 0.15f, mLayerAlpha);
    device->FillRect(0.0f, -mRect.y, 800.0f, 600.0f);
    device->ResetColor();
    if (mPicture && !mPicture->Empty()) mPicture->DrawCentered(400.0f, 300.0f);
}

void ModalDialog::KeyDown(int key) {
    // Tab and the arrows move between the buttons, Enter presses the one that has the focus.
    if (HandleFocusKey(key)) return;
    if (key == kKeyEscape)
        Answer(mEscapeResult);
    else if (key == kKeyEnter && mEnterResult != kNoAnswer)
        Answer(mEnterResult);
}

bool ModalDialog::HitTest(float x, float y) { return x >= 0.0f && y >= 0.0f && x < 800.0f && y < 600.0f; }

PictureButton* ModalDialog::AddPictureButton(float x, float y, float w, float h, const char* hover,
                                             const char* pressed) {
    const Sprite* hoverPicture = mApp ? &mApp->Picture(hover) : nullptr;
    const Sprite* pressedPicture = mApp ? &mApp->Picture(pressed) : nullptr;
    // The dialog's pictures are centred at (400, 300): their corner is where the picture's half
    // size puts it.
    float px = 0.0f, py = 0.0f;
    if (mPicture && !mPicture->Empty()) {
        px = 400.0f - float(mPicture->Width()) * 0.5f;
        py = 300.0f - float(mPicture->Height()) * 0.5f;
    }
    auto* button = new PictureButton(hoverPicture, pressedPicture, px, py);
    button->SetRect(x, y, w, h);
    GivePopSound(button);
    button->SetListener(this, true);
    return button;
}

void ModalDialog::GivePopSound(Button* button) const {
    if (mApp) button->SetPressSound(&mApp->mPop2);
}
