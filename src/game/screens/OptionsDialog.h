// The options: sound volume (heard at once), full screen or window (switched at once) and the
// renderer (applied on Done by restarting the game); all of them are kept in "game.cfg".
#pragma once

#include <memory>

#include "game/screens/ModalDialog.h"

class Slider;
class Sprite;

class OptionsDialog : public ModalDialog {
public:
    // Show's answers: Done with the accelerated or the software renderer chosen.
    enum Result { kDoneAccelerated = 1, kDoneSoftware = 2 };

    explicit OptionsDialog(GameApp* app);
    ~OptionsDialog() override;

    // Runs the options; on Done a changed renderer is written and the game restarts.
    static void Run(GameApp* app);

    // The option marks, over the rows.
    void DrawOverlay() override;
    void Notify(intptr_t message) override;

    Slider* mVolume = nullptr;
    PictureButton* mFullscreenOn = nullptr;
    PictureButton* mFullscreenOff = nullptr;
    PictureButton* mAccelerated = nullptr;
    PictureButton* mSoftware = nullptr;
    PictureButton* mDone = nullptr;
    bool mSoftwareChosen = false;

private:
    void Choose(bool software);
    std::unique_ptr<Sprite> mThumb, mThumbLit;
};
