// A gadget is a positioned, interactive object: screens, boards and controls. Gadgets form a tree
// (each may own a GadgetManager of children); the application routes mouse and key events down
// that tree in each gadget's own coordinates (its rectangle's origin is its (0,0)).
#pragma once

#include <vector>

#include "engine/core/Object.h"
#include "engine/core/Rect.h"

class AlphaSource;
class Cursor;
class GadgetManager;

class Gadget : public Object {
public:
    enum HitMode { kHitRect = 0, kHitCircle = 1, kHitImageAlpha = 2, kHitSpriteAlpha = 3 };

    Gadget();
    ~Gadget() override;

    // Once, before the first update, frame update or draw.
    virtual void Initialize() {}
    // Initialize once; skips while mUpdateDelay counts down; children first, then Update.
    virtual void DoUpdate();
    virtual void DoFrameUpdate(float steps);
    // Initialize once; unless hidden: Draw, the children, DrawOverlay. Ends a ShowNow.
    virtual void DoDraw();
    // Drawn above the children.
    virtual void DrawOverlay() {}

    // Routing, points in this gadget's own coordinates. Disabled gadgets ignore all of them.
    virtual void RouteMouseMove(float x, float y);
    virtual void RouteMouseDown(float x, float y, int button);
    virtual void RouteMouseDoubleClick(float x, float y, int button);
    virtual void RouteMouseUp(float x, float y, int button);
    // Only while this gadget holds the capture: starts the drag past the threshold, then Drag.
    virtual void RouteDrag(float x, float y);
    virtual void RouteMouseEnter(float x, float y);
    virtual void RouteMouseLeave();
    virtual void TakeFocus();
    virtual void ReleaseFocus();
    virtual void IgnoreHoverWhileDragging() { mIgnoreHoverWhileDragging = true; }

    virtual void MouseMove(float x, float y) { (void)x, (void)y; }
    virtual void MouseDown(float x, float y, int button) { (void)x, (void)y, (void)button; }
    virtual void MouseDoubleClick(float x, float y, int button) { (void)x, (void)y, (void)button; }
    virtual void MouseUp(float x, float y, int button) { (void)x, (void)y, (void)button; }
    virtual void FinishDrag(float x, float y) { (void)x, (void)y; }
    // May set mCancelDrag to refuse the drag; the press then ends with a synthetic button-up.
    virtual void StartDrag(float x, float y) { (void)x, (void)y; }
    virtual void Drag(float x, float y) { (void)x, (void)y; }
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}

    // Starts a drag at once (no threshold) when nothing holds the capture.
    virtual void BeginDrag();
    // Takes the application's capture and marks a drag as running; returns true.
    virtual bool CaptureMouse();
    // Ends this gadget's drag and refuses further Drag calls; returns false.
    virtual bool CancelDrag();

    virtual void RouteKeyDown(int key);
    virtual void RouteKeyUp(int key);
    virtual void RouteChar(int c);
    virtual void TakeKeyboardFocus();
    virtual void ReleaseKeyboardFocus();
    // By default the keys work the focus ring below this gadget (HandleFocusKey).
    virtual void KeyDown(int key);
    virtual void KeyUp(int key) { (void)key; }
    virtual void Char(int c) { (void)c; }

    // ---- Focus ring ----
    // A focusable control (buttons are) is pressed from the keyboard: Enter or Space while it
    // has the application's focus.
    virtual void PressByKey() {}
    // Tab and Shift+Tab, and the arrows, move the application's focus round the focusable
    // controls below this gadget in reading order (top to bottom, then left to right); Enter and
    // Space press the focused one. True when the key was used.
    bool HandleFocusKey(int key);
    // The live, shown focusable controls below this gadget, in reading order.
    std::vector<Gadget*> FocusRing() const;
    // The control below this gadget that has the focus, or null.
    Gadget* FocusedControl() const;
    // This control has the application's focus (it shows highlighted).
    bool HasFocus() const;

    // Point in the parent's coordinates.
    virtual bool HitTest(float x, float y);
    // Notify, except while the application is cancelling the mouse.
    virtual void SendNotify(intptr_t message);

    // The children manager is made on the first AddChild; the parent then owns the child.
    void AddChild(Gadget* child);
    // Hands the child back to the caller (not destroyed).
    void RemoveChild(Gadget* child);
    GadgetManager* Children() const { return mChildren; }
    void SetHitSprite(float x, float y, const AlphaSource* sprite);
    // A point in this gadget's coordinates, in screen coordinates.
    Point ToScreen(Point p) const;
    // Runs application frames until EndModal, Kill or quitting; returns the EndModal result.
    int RunModal();
    void EndModal(int result);
    // Returns right after this gadget has been drawn once.
    void ShowNow();

    void SetRect(float x, float y, float w, float h) { mRect = Rect{x, y, w, h}; }
    bool IsLive() const { return !mKilled && !mDisabled; }

    bool mInitialized = false;
    bool mClip = true;
    bool mHover = false;
    bool mDragging = false;
    bool mCancelDrag = false;
    int mDragThreshold = 2;
    int mPressX = 0;
    int mPressY = 0;
    bool mIgnoreHoverWhileDragging = false;
    bool mNoHitTest = false;
    Cursor* mCursor = nullptr;
    Gadget* mParent = nullptr;
    GadgetManager* mChildren = nullptr;
    int mHitMode = kHitRect;
    const AlphaSource* mHitImage = nullptr;
    const AlphaSource* mHitSprite = nullptr;
    float mAlphaThreshold = 0.25f;
    float mHitRadius = 0.0f;
    bool mDisabled = false;
    bool mModalRunning = false;
    int mModalResult = 0;
    bool mShowNow = false;
    int mUpdateDelay = 0;
    bool mHidden = false;
    Rect mRect;
    // Modal loops running on this gadget: the graveyard keeps it alive until they return.
    int mModalDepth = 0;
    // Tab and the arrows can reach it.
    bool mFocusable = false;
    // With the keyboard focus, it gets the controller's buttons as they are; others get A as
    // Enter and B and Start as Escape.
    bool mTakesPadKeys = false;

private:
    // A press or double click: to the child under the point, else captured and handled here.
    void RoutePress(float x, float y, int button, bool doubleClick);
    void EnsureInitialized();
    bool AlphaHit(const AlphaSource* source, float x, float y) const;
};
