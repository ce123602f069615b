// The push button: up to four faces (normal, hover, pressed, disabled), press and hover sounds,
// and a listener told through SendNotify (with the button itself as the message) on a click,
// or at once on the press for toggle and notify-on-press buttons.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/core/Gadget.h"

class Sound;
class Sprite;

class Button : public Gadget {
public:
    enum Face { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

    Button();
    ~Button() override;

    // Stores the listener and, when asked, becomes its child.
    void SetListener(Gadget* listener, bool addAsChild = true);
    // Faces not owned by the button (null entries are allowed; later faces may be left out).
    void SetImages(const Sprite* normal, const Sprite* hover = nullptr, const Sprite* pressed = nullptr,
                   const Sprite* disabled = nullptr);
    // Faces owned by the button: "%s", then "%s_over", "%s_down", "%s_disabled" when they exist.
    // The button takes the size of the first face.
    bool LoadImages(const std::string& name);
    void SetPressSound(Sound* sound) { mPressSound = sound; }
    void SetHoverSound(Sound* sound) { mHoverSound = sound; }
    void SetToggle(bool toggle) { mToggle = toggle; }
    void SetNotifyOnPress(bool notify) { mNotifyOnPress = notify; }

    // Which face Draw shows now.
    Face ShownFace() const;

    void Draw() override;
    void MouseDown(float x, float y, int button) override;
    void MouseDoubleClick(float x, float y, int button) override;
    void MouseUp(float x, float y, int button) override;
    void MouseEnter() override;
    // Enter or Space on the focused button: its sound and the click (or the press, for toggle
    // and notify-on-press buttons).
    void PressByKey() override;

    const Sprite* mImages[4] = {};
    int mImageCount = 0;
    bool mSharedImages = true;
    std::vector<std::unique_ptr<Sprite>> mOwnedImages;
    Sound* mPressSound = nullptr;
    Sound* mHoverSound = nullptr;
    bool mPressed = false;  // a left press began on the button
    bool mDown = false;     // shown pressed
    bool mToggle = false;
    bool mNotifyOnPress = false;
    Gadget* mListener = nullptr;

private:
    void Tell();
};
