// The options dialog: a volume slider over the picture's groove, two pairs of option rows with
// their marks, and Done.
#include "game/screens/OptionsDialog.h"

#include <algorithm>

#include "engine/audio/Audio.h"
#include "engine/controls/Slider.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Image.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "game/screens/PictureButton.h"

namespace {

// A press on the groove away from the thumb moves the thumb there (and the drag goes on from it).
class VolumeSlider : public Slider {
public:
    void MouseDown(float x, float y, int button) override {
        (void)y;
        if (button != -1) return;
        float centre = ThumbCenterX();
        if (x >= centre - mThumbWidth / 2.0f && x < centre + mThumbWidth / 2.0f) return;
        float travel = mRect.w - mThumbWidth - 2.0f * mMargin;
        if (travel <= 0.0f) return;
        SetValue((x - (mThumbWidth / 2.0f + mMargin)) / travel);
        if (mListener) mListener->SendNotify(reinterpret_cast<intptr_t>(this));
    }
};

std::unique_ptr<Sprite> ThumbFrom(const Sprite& piece, int size) {
    auto thumb = std::make_unique<Sprite>();
    Image image = piece.ToImage();
    if (!image.Empty()) thumb->SetImage(image.Resized(size, size));
    return thumb;
}

constexpr float kMarkInset = 7.0f;
constexpr float kMarkSize = 11.0f;

}  // namespace

OptionsDialog::OptionsDialog(GameApp* app)
    : ModalDialog(app, 0.0f, 0.5f, app ? &app->Picture("Graphics\\optionsmenu") : nullptr) {
    mName = "OptionsDialog";
    const char* hover = "Graphics\\donehilite";
    const char* pressed = "Graphics\\donedown";

    mVolume = new VolumeSlider();
    mVolume->SetRect(320.0f, 260.0f, 292.0f, 25.0f);
    mVolume->SetValue(Audio::Get().Volume());
    if (mApp) {
        mThumb = ThumbFrom(mApp->mQuorls[2][0], 30);
        mThumbLit = ThumbFrom(mApp->mQuorls[2][1], 30);
        if (!mThumb->Empty()) {
            mVolume->SetThumbSprites(mThumb.get(), mThumbLit.get(), mThumbLit.get());
            mVolume->mThumbWidth = mVolume->mThumbHeight = 30.0f;
        }
    }
    mVolume->SetListener(this, true);

    mFullscreenOn = AddPictureButton(200.0f, 315.0f, 209.0f, 26.0f, hover, pressed);
    mFullscreenOff = AddPictureButton(200.0f, 343.0f, 209.0f, 26.0f, hover, pressed);
    mAccelerated = AddPictureButton(200.0f, 390.0f, 287.0f, 26.0f, hover, pressed);
    mSoftware = AddPictureButton(200.0f, 418.0f, 287.0f, 26.0f, hover, pressed);
    mDone = AddPictureButton(231.0f, 468.0f, 336.0f, 75.0f, hover, pressed);
    Choose(mApp && mApp->IsSoftwareRenderer());
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::Run(GameApp* app) {
    bool wasSoftware = app && app->IsSoftwareRenderer();
    int result = (new OptionsDialog(app))->Show();
    Audio::Get().SaveVolume();
    if (!app || app->mQuit) return;
    bool software = result == kDoneSoftware;
    if (software != wasSoftware && app->CanChangeRenderer()) app->ChangeRenderer(software);
}

void OptionsDialog::Choose(bool software) {
    mSoftwareChosen = software;
    // Escape and Enter close the dialog as Done does.
    mEscapeResult = mEnterResult = software ? kDoneSoftware : kDoneAccelerated;
}

void OptionsDialog::DrawOverlay() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;
    // The marks of the chosen row of each pair, over the rows' hover and pressed faces.
    bool fullscreen = mApp && mApp->IsFullscreen();
    const PictureButton* display = fullscreen ? mFullscreenOn : mFullscreenOff;
    const PictureButton* renderer = mSoftwareChosen ? mSoftware : mAccelerated;
    device->SetColor(1.0f, 0.85f, 0.25f, 1.0f);
    for (const PictureButton* row : {display, renderer})
        device->FillRect(row->mRect.x + kMarkInset, row->mRect.y + kMarkInset, kMarkSize, kMarkSize);
    device->ResetColor();
}

void OptionsDialog::Notify(intptr_t message) {
    if (message == reinterpret_cast<intptr_t>(mVolume)) {
        Audio::Get().SetVolume(mVolume->GetValue());
    } else if (message == reinterpret_cast<intptr_t>(mFullscreenOn)) {
        if (mApp) mApp->SetFullscreen(true);
    } else if (message == reinterpret_cast<intptr_t>(mFullscreenOff)) {
        if (mApp) mApp->SetFullscreen(false);
    } else if (message == reinterpret_cast<intptr_t>(mAccelerated)) {
        Choose(false);
    } else if (message == reinterpret_cast<intptr_t>(mSoftware)) {
        Choose(true);
    } else if (message == reinterpret_cast<intptr_t>(mDone)) {
        Answer(mSoftwareChosen ? kDoneSoftware : kDoneAccelerated);
    }
}
