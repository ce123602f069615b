// The gadget tree driven through the real loop: deferred destruction, loops that survive removal,
// mouse routing in each gadget's own coordinates, drags, capture, modal loops and clipping.
#include <gtest/gtest.h>

#include "AppTestDriver.h"
#include "engine/core/AlphaSource.h"
#include "engine/core/GadgetManager.h"
#include "engine/core/Graphics.h"
#include "platform/KeyCodes.h"
#include "Recorder.h"

namespace {

struct Tree {
    std::vector<std::string> log;  // outlives the gadgets, which write to it when destroyed
    AppTestDriver<> drive;

    Recorder* Add(const char* name, float x, float y, float w, float h) {
        Recorder* r = new Recorder(name, &log, x, y, w, h);
        drive.app->mGadgets.Add(r);
        return r;
    }
};

}  // namespace

TEST(GadgetTreeTest, GadgetKilledInUpdateIsNotDrawnAndDiesAtTheNextStep) {
    Tree t;
    Recorder* a = t.Add("a", 0, 0, 10, 10);
    t.Add("b", 20, 0, 10, 10);
    t.drive.Frame();
    a->onUpdate = [](Recorder& self) { self.Kill(); };
    t.log.clear();
    t.drive.Frame();  // runs the killing step, then draws
    EXPECT_EQ(Only(t.log, "a draw").size(), 0u);
    EXPECT_EQ(Only(t.log, "b draw").size(), 1u);
    EXPECT_EQ(Only(t.log, "a destroyed").size(), 0u) << "must stay in memory for the rest of the step";
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "a destroyed").size(), 1u);
    EXPECT_EQ(t.drive.app->mGadgets.Count(), 1);
}

TEST(GadgetTreeTest, MemberRemovingALaterMemberStillVisitsEveryRemainingOneOnce) {
    Tree t;
    Recorder* a = t.Add("a", 0, 0, 1, 1);
    t.Add("b", 0, 0, 1, 1);
    Recorder* c = t.Add("c", 0, 0, 1, 1);
    t.Add("d", 0, 0, 1, 1);
    a->onUpdate = [c](Recorder&) { c->Kill(); };
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "a update").size(), 1u);
    EXPECT_EQ(Only(t.log, "b update").size(), 1u);
    EXPECT_EQ(Only(t.log, "c update").size(), 0u);
    EXPECT_EQ(Only(t.log, "d update").size(), 1u);

    // Removing (not killing) a later member from inside the loop: same rule, and it is handed back.
    Recorder* b = static_cast<Recorder*>(t.drive.app->mGadgets.At(1));
    Recorder* d = static_cast<Recorder*>(t.drive.app->mGadgets.At(2));
    a->onUpdate = [&t, d](Recorder&) { t.drive.app->mGadgets.Remove(d); };
    t.log.clear();
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "b update").size(), 1u);
    EXPECT_EQ(Only(t.log, "d update").size(), 0u);
    EXPECT_TRUE(d->mDisabled);
    (void)b;
    delete d;
}

TEST(GadgetTreeTest, GadgetPutBackAfterRemoveAnswersTheMouseAgainWithItsChildren) {
    Tree t;
    Recorder* screen = t.Add("screen", 0, 0, 400, 400);
    Recorder* button = new Recorder("button", &t.log, 10, 10, 50, 50);
    screen->AddChild(button);
    t.drive.app->mGadgets.Remove(screen);
    EXPECT_TRUE(button->mDisabled);
    t.drive.app->mGadgets.Add(screen);
    t.drive.Press(20, 20);
    t.drive.Release(20, 20);
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "button down").size(), 1u);
    EXPECT_EQ(Only(t.log, "button up ").size(), 1u);
}

TEST(GadgetTreeTest, ChildGetsMovesInItsOwnCoordinatesAndTheParentNone) {
    Tree t;
    Recorder* parent = t.Add("parent", 100, 100, 300, 300);
    Recorder* child = new Recorder("child", &t.log, 50, 20, 40, 40);
    parent->AddChild(child);
    t.drive.MoveTo(160, 130);
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "child move"), std::vector<std::string>{"child move 10,10"});
    EXPECT_TRUE(Only(t.log, "parent move").empty());
    EXPECT_TRUE(child->mHover);
    EXPECT_EQ(t.drive.app->mHover, child);

    // Off the child but still over the parent: the child leaves, the parent enters.
    t.log.clear();
    t.drive.MoveTo(110, 110);
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "child leave").size(), 1u);
    EXPECT_EQ(Only(t.log, "parent move"), std::vector<std::string>{"parent move 10,10"});

    // Nowhere: nobody hovers.
    t.log.clear();
    t.drive.app->MouseMove(-9999, -9999);
    EXPECT_EQ(Only(t.log, "parent leave").size(), 1u);
    EXPECT_EQ(t.drive.app->mHover, nullptr);
}

TEST(GadgetTreeTest, GadgetAddedUnderTheStillMouseTakesTheHover) {
    Tree t;
    Recorder* screen = t.Add("screen", 0, 0, 400, 400);
    t.drive.MoveTo(50, 50);
    t.drive.Step();
    ASSERT_EQ(t.drive.app->mHover, screen);
    Recorder* popup = new Recorder("popup", &t.log, 40, 40, 20, 20);
    screen->AddChild(popup);
    EXPECT_EQ(t.drive.app->mHover, popup);
    EXPECT_EQ(Only(t.log, "popup move"), std::vector<std::string>{"popup move 10,10"});
    // Building a screen that is not in the tree yet disturbs nobody.
    Recorder offstage("offstage", &t.log, 0, 0, 400, 400);
    t.log.clear();
    offstage.AddChild(new Recorder("part", &t.log, 40, 40, 20, 20));
    EXPECT_TRUE(t.log.empty());
}

TEST(GadgetTreeTest, DragStartsPastTheThresholdAndFinishesOnRelease) {
    Tree t;
    Recorder* g = t.Add("g", 100, 100, 200, 200);
    t.drive.Press(110, 110);
    t.drive.Step();
    t.drive.MoveTo(112, 110);  // 2 pixels: not yet
    t.drive.Step();
    EXPECT_TRUE(Only(t.log, "g startdrag").empty());
    t.drive.MoveTo(113, 110);
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "g startdrag"), std::vector<std::string>{"g startdrag 13,10"});
    EXPECT_EQ(Only(t.log, "g drag"), std::vector<std::string>{"g drag 13,10"});
    // Moves far outside still reach the captured gadget, in its coordinates.
    t.drive.MoveTo(700, 500);
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "g drag").back(), "g drag 600,400");
    t.drive.Release(700, 500);
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "g finishdrag"), std::vector<std::string>{"g finishdrag 600,400"});
    EXPECT_EQ(Only(t.log, "g up "), std::vector<std::string>{"g up 600,400 b-1"});
    EXPECT_EQ(t.drive.app->mCapture, nullptr);
    EXPECT_EQ(t.drive.app->mMouseButtonsDown, 0);
    EXPECT_FALSE(g->mDragging);
}

TEST(GadgetTreeTest, CancelledDragEndsThePressWithASyntheticButtonUp) {
    Tree t;
    Recorder* g = t.Add("g", 0, 0, 400, 400);
    g->refuseDrag = true;
    t.drive.Press(10, 10);
    t.drive.Step();
    t.drive.MoveTo(30, 10);
    t.drive.Step();  // StartDrag refuses; a button-up far away is queued
    t.drive.Step();  // ...and handled here
    EXPECT_EQ(Only(t.log, "g startdrag").size(), 1u);
    EXPECT_TRUE(Only(t.log, "g drag").empty());
    EXPECT_TRUE(Only(t.log, "g finishdrag").empty());
    EXPECT_EQ(Only(t.log, "g up "), std::vector<std::string>{"g up -9999,-9999 b-1"});
    EXPECT_EQ(t.drive.app->mCapture, nullptr);
    // Further moves are plain moves now.
    t.log.clear();
    t.drive.MoveTo(40, 10);
    t.drive.Step();
    EXPECT_TRUE(Only(t.log, "g startdrag").empty());
    EXPECT_EQ(Only(t.log, "g move").size(), 1u);
}

TEST(GadgetTreeTest, KilledCaptureGadgetGetsNoButtonUpAndDestroyedOneIsForgotten) {
    Tree t;
    Recorder* g = t.Add("g", 0, 0, 100, 100);
    Recorder* under = t.Add("under", 200, 0, 100, 100);
    (void)under;
    t.drive.Press(10, 10);
    t.drive.Step();
    ASSERT_EQ(t.drive.app->mCapture, g);
    g->Kill();
    t.drive.MoveTo(20, 10);
    t.drive.Release(20, 10);
    t.drive.Step();
    EXPECT_TRUE(Only(t.log, "g up ").empty());
    EXPECT_TRUE(Only(t.log, "g drag").empty());
    // Destroyed with the next step; nothing the application holds points at it.
    t.drive.Step(2);
    EXPECT_EQ(Only(t.log, "g destroyed").size(), 1u);
    EXPECT_EQ(t.drive.app->mCapture, nullptr);
    EXPECT_EQ(t.drive.app->mHover, nullptr);
}

TEST(GadgetTreeTest, CaptureGadgetDestroyedWhileHeldDoesNotCrashTheRelease) {
    Tree t;
    Recorder* g = t.Add("g", 0, 0, 100, 100);
    t.drive.Press(10, 10);
    t.drive.Step();
    g->Kill();
    t.drive.Step(2);  // gone
    ASSERT_EQ(Recorder::sAlive, 0);
    t.drive.MoveTo(50, 50);
    t.drive.Release(50, 50);
    t.drive.Step();
    EXPECT_EQ(t.drive.app->mMouseButtonsDown, 0);
}

TEST(GadgetTreeTest, EventsForKilledDisabledOrFarAwayGadgetsReachNobody) {
    Tree t;
    Recorder* killed = t.Add("killed", 0, 0, 100, 100);
    Recorder* removed = t.Add("removed", 200, 0, 100, 100);
    t.drive.app->mGadgets.Remove(removed);
    killed->Kill();
    removed->TakeKeyboardFocus();  // refused: it is disabled
    EXPECT_EQ(t.drive.app->mKeyboardFocus, nullptr);
    for (int i = 0; i < 3; ++i) {
        t.drive.MoveTo(50, 50);
        t.drive.Press(50, 50);
        t.drive.Release(250, 50);
        t.drive.DoubleClick(250, 50);
    }
    t.drive.app->MouseDown(-9999, -9999, -1);
    t.drive.app->MouseUp(-9999, -9999, -1);
    t.drive.Step();
    removed->RouteMouseDown(5, 5, -1);
    removed->RouteKeyDown(kKeyEnter);
    for (const std::string& line : t.log) {
        EXPECT_TRUE(line.find("init") != std::string::npos || line.find("destroyed") != std::string::npos ||
                    line.find("leave") != std::string::npos)
            << line;
    }
    delete removed;
}

TEST(GadgetTreeTest, ShowNowReturnsAfterExactlyOneDrawnFrame) {
    Tree t;
    Recorder* dialog = t.Add("dialog", 0, 0, 100, 100);
    int framesBefore = t.drive.app->mFramesDrawn;
    dialog->ShowNow();
    EXPECT_EQ(Only(t.log, "dialog draw").size(), 1u);
    EXPECT_EQ(t.drive.app->mFramesDrawn, framesBefore + 1);
    EXPECT_FALSE(dialog->mShowNow);

    // Outside the tree it is never drawn: it returns at once instead of waiting forever.
    Recorder loose("loose", &t.log);
    loose.ShowNow();
    EXPECT_TRUE(Only(t.log, "loose draw").empty());
}

TEST(GadgetTreeTest, RunModalRunsNestedFramesUntilEndModalOrKill) {
    Tree t;
    Recorder* background = t.Add("background", 0, 0, 800, 600);
    Recorder* dialog = t.Add("dialog", 100, 100, 100, 100);
    int updates = 0;
    dialog->onUpdate = [&updates](Recorder& self) {
        if (++updates == 5) self.EndModal(42);
    };
    t.drive.app->mGadgets.SetModal(dialog);
    EXPECT_EQ(dialog->RunModal(), 42);
    EXPECT_TRUE(Only(t.log, "background update").empty()) << "the modal gadget is the only member";
    t.drive.app->mGadgets.SetModal(nullptr);
    EXPECT_EQ(t.drive.app->mGadgets.At(0), background);
    EXPECT_EQ(t.drive.app->mGadgets.At(1), dialog);

    // Killed during its own modal loop, while several steps run per frame: it stays alive until
    // the loop has returned, then dies at the next step.
    dialog->onUpdate = [](Recorder& self) { self.Kill(); };
    t.drive.clock.Advance(500);
    dialog->RunModal();
    EXPECT_EQ(Only(t.log, "dialog destroyed").size(), 0u);
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "dialog destroyed").size(), 1u);
}

TEST(GadgetTreeTest, PauseNestsAndUpdateDelaySkipsSteps) {
    Tree t;
    Recorder* g = t.Add("g", 0, 0, 1, 1);
    g->Pause();
    g->Pause();
    t.drive.Step();
    EXPECT_EQ(g->Resume(), 1);
    t.drive.Step();
    EXPECT_TRUE(Only(t.log, "g update").empty());
    EXPECT_EQ(g->Resume(), 0);
    EXPECT_EQ(g->Resume(), 0);
    g->mUpdateDelay = 2;
    t.drive.Step(3);
    EXPECT_EQ(Only(t.log, "g update").size(), 1u);
    EXPECT_EQ(Only(t.log, "g init").size(), 1u);
}

TEST(GadgetTreeTest, ClipAndOriginArePushedPerGadgetAndRestoredForSiblings) {
    struct Probe : Recorder {
        using Recorder::Recorder;
        void Draw() override {
            Graphics* g = App::Instance()->mGraphics;
            seenClip = g->mClip;
            seenOrigin = g->mOrigin;
        }
        Rect seenClip;
        Point seenOrigin;
    };
    Tree t;
    Recorder* parent = t.Add("parent", 100, 100, 200, 200);
    Probe* first = new Probe("first", &t.log, 150, 150, 100, 100);  // sticks out of the parent
    Probe* second = new Probe("second", &t.log, -50, 10, 30, 30);
    second->mClip = false;
    parent->AddChild(first);
    parent->AddChild(second);
    t.drive.Frame();
    EXPECT_EQ(first->seenClip, (Rect{250, 250, 50, 50}));
    EXPECT_EQ(first->seenOrigin.x, 250);
    // The unclipped sibling drawn after a clipped one is still held inside the parent.
    EXPECT_EQ(second->seenClip, (Rect{100, 100, 200, 200}));
    EXPECT_EQ(second->seenOrigin.x, 50);
    EXPECT_EQ(t.drive.app->mGraphics->mOrigin.x, 0);
}

TEST(GadgetTreeTest, KeysGoToTheKeyboardFocusOnly) {
    Tree t;
    Recorder* a = t.Add("a", 0, 0, 10, 10);
    t.Add("b", 0, 0, 10, 10);
    a->TakeKeyboardFocus();
    t.drive.KeyPress(kKeyA);
    t.drive.KeyRelease(kKeyA);
    t.drive.Type("zé");
    t.drive.Step();
    EXPECT_EQ(Only(t.log, "a key"), (std::vector<std::string>{"a key 65", "a keyup 65"}));
    EXPECT_EQ(Only(t.log, "a char"), (std::vector<std::string>{"a char 122", "a char 233"}));
    EXPECT_TRUE(Only(t.log, "b k").empty());
    a->ReleaseKeyboardFocus();
    EXPECT_EQ(t.drive.app->mKeyboardFocus, nullptr);
}

TEST(GadgetTreeTest, HitModesCircleAndAlpha) {
    struct Mask : AlphaSource {
        int AlphaWidth() const override { return 4; }
        int AlphaHeight() const override { return 4; }
        int AlphaAt(int x, int y) const override { return x == y ? 255 : 10; }
    } mask;
    Gadget g;
    g.SetRect(10, 10, 20, 20);
    g.mHitMode = Gadget::kHitCircle;
    g.mHitRadius = 10;
    EXPECT_TRUE(g.HitTest(20, 20));
    EXPECT_FALSE(g.HitTest(10.5f, 10.5f));  // corner: inside the square, outside the circle
    g.SetHitSprite(0, 0, &mask);
    EXPECT_TRUE(g.HitTest(2, 2));
    EXPECT_FALSE(g.HitTest(1, 2));
    EXPECT_FALSE(g.HitTest(3.5f, 9));  // outside the mask
    g.mHitMode = 7;
    EXPECT_FALSE(g.HitTest(2, 2));
}
