// The keyboard's way round a screen's buttons, through the real loop: Tab and the arrows move the
// focus in reading order, Enter and Space press, the controller's A and B arrive as Enter and
// Escape, and a screen that never asked for the keys still gets them.
#include <gtest/gtest.h>

#include <vector>

#include "engine/controls/Button.h"
#include "engine/core/AppTestDriver.h"
#include "platform/KeyCodes.h"

namespace {

class Screen : public Gadget {
public:
    Screen() { SetRect(0, 0, 800, 600); }
    void Notify(intptr_t message) override { mHeard.push_back(reinterpret_cast<Button*>(message)); }
    void KeyDown(int key) override {
        if (key == kKeyEscape) ++mEscapes;
        Gadget::KeyDown(key);
    }
    Button* Add(float x, float y) {
        auto* button = new Button;
        button->SetRect(x, y, 100, 40);
        button->SetListener(this, true);
        return button;
    }
    std::vector<Button*> mHeard;
    int mEscapes = 0;
};

struct Ring {
    Ring() {
        // Added out of order: the ring follows the screen, not the list.
        no = screen->Add(400, 300);
        top = screen->Add(300, 100);
        yes = screen->Add(200, 302);
        hidden = screen->Add(300, 500);
        hidden->mHidden = true;
        drive.app->mGadgets.Add(screen);
        drive.Step();
    }
    void Key(int key) {
        drive.KeyPress(key);
        drive.KeyRelease(key);
        drive.Step();
    }
    void Pad(GameControllers::Button button) {
        drive.W().PushPadButton(button, true);
        drive.W().PushPadButton(button, false);
        drive.Step();
    }
    Gadget* Focus() const { return drive.app->mFocus; }

    AppTestDriver<> drive;
    Screen* screen = new Screen;
    Button *no = nullptr, *top = nullptr, *yes = nullptr, *hidden = nullptr;
};

}  // namespace

TEST(FocusRing, TabAndArrowsGoRoundInReadingOrderAndEnterPresses) {
    Ring r;
    EXPECT_EQ(r.drive.app->mKeyboardFocus, nullptr) << "nobody asked for the keys";
    r.Key(kKeyEnter);
    EXPECT_TRUE(r.screen->mHeard.empty()) << "nothing has the focus yet";
    const struct {
        int key;
        bool shift;
        Button* Ring::*expected;
    } steps[] = {
        {kKeyTab, false, &Ring::top}, {kKeyTab, false, &Ring::yes}, {kKeyTab, false, &Ring::no},
        {kKeyTab, false, &Ring::top},  // round again; the hidden one is never reached
        {kKeyTab, true, &Ring::no},   {kKeyUp, false, &Ring::yes},  {kKeyLeft, false, &Ring::top},
        {kKeyDown, false, &Ring::yes}, {kKeyRight, false, &Ring::no},
    };
    for (const auto& step : steps) {
        if (step.shift) r.drive.KeyPress(kKeyShift);
        r.Key(step.key);
        if (step.shift) r.drive.KeyRelease(kKeyShift);
        EXPECT_EQ(r.Focus(), r.*step.expected);
    }
    EXPECT_EQ(r.no->ShownFace(), Button::kHover) << "the focus shows as hover does";
    r.Key(kKeyEnter);
    r.Key(kKeySpace);
    r.Pad(GameControllers::Button::kA);
    EXPECT_EQ(r.screen->mHeard, (std::vector<Button*>{r.no, r.no, r.no}));
    r.Pad(GameControllers::Button::kB);
    r.Pad(GameControllers::Button::kStart);
    EXPECT_EQ(r.screen->mEscapes, 2) << "B and Start come as Escape to a screen that does not ask for them";
}

TEST(FocusRing, TheMouseTakesTheHighlightAndAGoneButtonLeavesNoFocus) {
    Ring r;
    r.Key(kKeyTab);
    ASSERT_EQ(r.Focus(), r.top);
    r.drive.MoveTo(450, 320);
    r.drive.Step();
    EXPECT_EQ(r.Focus(), nullptr) << "one highlight at a time";
    EXPECT_EQ(r.top->ShownFace(), Button::kNormal);
    r.Key(kKeyTab);
    r.Key(kKeyTab);
    ASSERT_EQ(r.Focus(), r.yes);
    r.yes->Kill();
    r.drive.Step(2);
    EXPECT_EQ(r.Focus(), nullptr);
    r.Key(kKeyTab);
    EXPECT_EQ(r.Focus(), r.top);
}

TEST(FocusRing, ControllerButtonsAndSticksArriveAsKeys) {
    // A gadget that takes the keys and records them as they come.
    class Listener : public Gadget {
    public:
        void KeyDown(int key) override { mDown.push_back(key); }
        void KeyUp(int key) override { mUp.push_back(key); }
        std::vector<int> mDown, mUp;
    };
    AppTestDriver<> drive;
    auto* listener = new Listener;
    listener->mTakesPadKeys = true;
    drive.app->mGadgets.Add(listener);
    listener->TakeKeyboardFocus();
    Window& window = drive.W();
    using B = GameControllers::Button;
    using A = GameControllers::Axis;
    window.PushPadButton(B::kA, true);
    window.PushPadButton(B::kA, false);
    window.PushPadButton(B::kStart, true);
    window.PushPadButton(B::kRight, true);
    window.PushPadButton(B::kRight, false);
    // The stick goes down past its press point, wobbles short of letting go, then is let go;
    // held to the left on the d-pad and the stick at once, left goes up only when both let go.
    window.PushPadAxis(A::kLeftY, 20000);
    window.PushPadAxis(A::kLeftY, 12000);
    window.PushPadAxis(A::kLeftY, 25000);
    window.PushPadAxis(A::kLeftY, 3000);
    window.PushPadButton(B::kLeft, true);
    window.PushPadAxis(A::kLeftX, -30000);
    window.PushPadButton(B::kLeft, false);
    window.PushPadAxis(A::kLeftX, 0);
    drive.Step();
    EXPECT_EQ(listener->mDown, (std::vector<int>{kKeyPadA, kKeyPadStart, kKeyRight, kKeyDown, kKeyLeft}));
    EXPECT_EQ(listener->mUp, (std::vector<int>{kKeyPadA, kKeyRight, kKeyDown, kKeyLeft}));
}
