// The frame shared by the game's modal dialogs (mode picker, message box, options, quick menu):
// a dark blue translucent layer over the whole screen, the dialog's picture centred at (400, 300)
// of the dialog, Enter and Escape, and the run itself: shown above every screen, answered,
// killed. Relies on GameApp for the pictures and the pop sound.
#pragma once

#include "engine/core/Gadget.h"

class Button;
class GameApp;
class PictureButton;
class Sprite;

class ModalDialog : public Gadget {
public:
    // The dialog's origin is (0, top) of the screen; the layer still covers the whole screen.
    ModalDialog(GameApp* app, float top, float layerAlpha, const Sprite* picture);
    ~ModalDialog() override;

    // Adds the dialog above every screen with the keyboard, runs it until it is answered (or the
    // game quits), kills it and gives the keyboard back. Returns the answer; the dialog must
    // not be touched afterwards.
    int Show();
    // Ends the run with `result`.
    void Answer(int result);

    // The layer and the picture.
    void Draw() override;
    // Tab and the arrows move between the buttons and Enter presses the focused one; otherwise
    // Escape gives mEscapeResult and Enter gives mEnterResult unless that is kNoAnswer.
    void KeyDown(int key) override;
    // The whole screen belongs to the dialog: nothing below it can be clicked.
    bool HitTest(float x, float y) override;

    // A part of the picture at (x, y, w, h) of the dialog that acts as a button, drawn from the
    // hover and pressed pictures (by game name), with the pop sound. The dialog hears of clicks.
    PictureButton* AddPictureButton(float x, float y, float w, float h, const char* hover, const char* pressed);
    // The pop sound every menu button plays when clicked.
    void GivePopSound(Button* button) const;

    static constexpr int kNoAnswer = -1000;

    GameApp* mApp = nullptr;
    float mLayerAlpha = 0.5f;
    const Sprite* mPicture = nullptr;
    int mEscapeResult = 0;
    int mEnterResult = kNoAnswer;
};
