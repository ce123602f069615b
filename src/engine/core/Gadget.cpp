// Gadget routing, drags, focus and modal loops. Points passed to routing operations are in the
// receiving gadget's own coordinates; children are found in the same space.
#include "engine/core/Gadget.h"

#include <algorithm>
#include <cmath>

#include "engine/core/AlphaSource.h"
#include "engine/core/App.h"
#include "engine/core/GadgetManager.h"
#include "engine/core/Graphics.h"
#include "platform/KeyCodes.h"
#include "support/DebugLog.h"

Gadget::Gadget() {
    if (App* app = App::Instance()) mCursor = app->mArrowCursor;
}

Gadget::~Gadget() {
    // Children go first: their destructors still find this gadget as their parent.
    delete mChildren;
    mChildren = nullptr;
    if (App* app = App::Instance()) app->ForgetGadget(this);
}

void Gadget::EnsureInitialized() {
    if (!mInitialized) {
        mInitialized = true;
        Initialize();
    }
}

void Gadget::DoUpdate() {
    EnsureInitialized();
    if (mUpdateDelay > 0) {
        --mUpdateDelay;
        return;
    }
    if (mChildren) mChildren->Update();
    Update();
}

void Gadget::DoFrameUpdate(float steps) {
    EnsureInitialized();
    if (mChildren) mChildren->FrameUpdate(steps);
    FrameUpdate(steps);
}

void Gadget::DoDraw() {
    EnsureInitialized();
    if (!mHidden) {
        App* app = App::Instance();
        if (app && app->mGraphics) app->mGraphics->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
        Draw();
        if (mChildren) mChildren->Draw();
        DrawOverlay();
    }
    if (mShowNow) EndModal(0);
}

// --- Mouse routing ----------------------------------------------------------------------------

void Gadget::RouteMouseMove(float x, float y) {
    if (mDisabled) return;
    App* app = App::Instance();
    if (mChildren && mChildren->Count() > 0) {
        if (Gadget* child = mChildren->UpdateHover(x, y)) {
            child->RouteMouseMove(x - child->mRect.x, y - child->mRect.y);
            return;
        }
    }
    if (!mHover) {
        mHover = true;
        if (app) app->mHover = this;
        MouseEnter();
    }
    if (app) app->SetCursor(mCursor);
    MouseMove(x, y);
}

void Gadget::RouteMouseDown(float x, float y, int button) { RoutePress(x, y, button, false); }

void Gadget::RouteMouseDoubleClick(float x, float y, int button) { RoutePress(x, y, button, true); }

void Gadget::RoutePress(float x, float y, int button, bool doubleClick) {
    if (mDisabled) return;
    App* app = App::Instance();
    if (app && app->mDragging && button == -1) return;
    if (app) ++app->mModalPresses;
    if (mChildren) {
        if (Gadget* child = mChildren->GadgetAt(x, y)) {
            const float cx = x - child->mRect.x, cy = y - child->mRect.y;
            if (doubleClick)
                child->RouteMouseDoubleClick(cx, cy, button);
            else
                child->RouteMouseDown(cx, cy, button);
            return;
        }
    }
    if (button == -1 && app && !app->mCapture) {
        app->mCapture = this;
        mDragging = false;
        mPressX = static_cast<int>(std::floor(x));
        mPressY = static_cast<int>(std::floor(y));
    }
    if (doubleClick)
        MouseDoubleClick(x, y, button);
    else
        MouseDown(x, y, button);
}

void Gadget::RouteMouseUp(float x, float y, int button) {
    if (mDisabled) return;
    App* app = App::Instance();
    if (button == -1 && mDragging) {
        mDragging = false;
        FinishDrag(x, y);
    }
    if (app && app->mModalPresses > 0) --app->mModalPresses;
    if (mChildren) {
        if (Gadget* child = mChildren->GadgetAt(x, y)) {
            child->RouteMouseUp(x - child->mRect.x, y - child->mRect.y, button);
            return;
        }
    }
    MouseUp(x, y, button);
}

void Gadget::RouteDrag(float x, float y) {
    if (mDisabled) return;
    App* app = App::Instance();
    if (app && app->mCapture != this) return;
    float dx = x - float(mPressX), dy = y - float(mPressY);
    if (std::sqrt(dx * dx + dy * dy) <= float(mDragThreshold) && !mDragging) return;
    mCancelDrag = false;
    if (!mDragging) StartDrag(x, y);
    if (!mCancelDrag) {
        mDragging = true;
        if (app) app->SetCursor(mCursor);
        Drag(x, y);
    } else if (app) {
        // The press must still end: a button-up far away releases capture and press state.
        app->QueueEvent(kMsgLeftUp, 0, PackMousePosition(-9999, -9999));
    }
}

void Gadget::RouteMouseEnter(float x, float y) {
    if (mDisabled) return;
    if (mChildren && mChildren->Count() > 0 && mChildren->UpdateHover(x, y)) return;
    mHover = true;
    if (App* app = App::Instance()) app->mHover = this;
    MouseEnter();
}

void Gadget::RouteMouseLeave() {
    if (mChildren) mChildren->UpdateHover(-1000.0f, -1000.0f);
    if (mHover) {
        App* app = App::Instance();
        if (app && app->mHover == this) app->mHover = nullptr;
        mHover = false;
        MouseLeave();
    }
}

void Gadget::TakeFocus() {
    if (mDisabled) return;
    if (App* app = App::Instance()) app->mFocus = this;
}

void Gadget::ReleaseFocus() {
    App* app = App::Instance();
    if (app && app->mFocus == this) app->mFocus = nullptr;
}

// --- Drags ----------------------------------------------------------------------------------------

void Gadget::BeginDrag() {
    App* app = App::Instance();
    if (!app || app->mCapture) return;
    app->mCapture = this;
    app->mDragging = true;
    mDragging = true;
    Point local = ToScreen(Point{});
    mPressX = static_cast<int>(std::floor(app->mMousePos.x - local.x));
    mPressY = static_cast<int>(std::floor(app->mMousePos.y - local.y));
    StartDrag(app->mMousePos.x - local.x, app->mMousePos.y - local.y);
}

bool Gadget::CaptureMouse() {
    mDragging = true;
    if (App* app = App::Instance()) {
        app->mCapture = this;
        app->mDragging = true;
    }
    return true;
}

bool Gadget::CancelDrag() {
    if (mDragging) {
        mDragging = false;
        if (App* app = App::Instance()) app->mDragging = false;
    }
    mCancelDrag = true;
    return false;
}

// --- Keys ------------------------------------------------------------------------------------------

void Gadget::RouteKeyDown(int key) {
    if (!mDisabled) KeyDown(key);
}

void Gadget::RouteKeyUp(int key) {
    if (!mDisabled) KeyUp(key);
}

void Gadget::RouteChar(int c) {
    if (!mDisabled) Char(c);
}

void Gadget::TakeKeyboardFocus() {
    if (mDisabled) return;
    if (App* app = App::Instance()) app->mKeyboardFocus = this;
}

void Gadget::ReleaseKeyboardFocus() {
    App* app = App::Instance();
    if (app && app->mKeyboardFocus == this) app->mKeyboardFocus = nullptr;
}

void Gadget::KeyDown(int key) { HandleFocusKey(key); }

// --- Focus ring ------------------------------------------------------------------------------------

namespace {

void CollectFocusable(const GadgetManager* level, std::vector<Gadget*>& out) {
    if (!level) return;
    for (int i = 0; i < level->Count(); ++i) {
        Gadget* gadget = level->mList.At<Gadget>(i);
        if (!gadget->IsLive() || gadget->mHidden) continue;
        if (gadget->mFocusable) out.push_back(gadget);
        CollectFocusable(gadget->Children(), out);
    }
}

}  // namespace

std::vector<Gadget*> Gadget::FocusRing() const {
    std::vector<Gadget*> ring;
    CollectFocusable(mChildren, ring);
    auto centre = [](const Gadget* g) {
        Point corner = g->ToScreen(Point{});
        return Point{corner.x + g->mRect.w * 0.5f, corner.y + g->mRect.h * 0.5f};
    };
    std::stable_sort(ring.begin(), ring.end(), [&](const Gadget* a, const Gadget* b) {
        Point pa = centre(a), pb = centre(b);
        // Controls whose middles are within a few pixels of each other share a row.
        if (std::fabs(pa.y - pb.y) > 4.0f) return pa.y < pb.y;
        return pa.x < pb.x;
    });
    return ring;
}

bool Gadget::HasFocus() const {
    App* app = App::Instance();
    return app && app->mFocus == this;
}

Gadget* Gadget::FocusedControl() const {
    App* app = App::Instance();
    if (!app || !app->mFocus) return nullptr;
    for (Gadget* control : FocusRing())
        if (control == app->mFocus) return control;
    return nullptr;
}

bool Gadget::HandleFocusKey(int key) {
    App* app = App::Instance();
    if (!app) return false;
    int direction = 0;
    switch (key) {
    case kKeyTab: direction = app->mShiftHeld ? -1 : 1; break;
    case kKeyDown:
    case kKeyRight: direction = 1; break;
    case kKeyUp:
    case kKeyLeft: direction = -1; break;
    case kKeyEnter:
    case kKeySpace:
        if (Gadget* focused = FocusedControl()) {
            focused->PressByKey();
            return true;
        }
        return false;
    default:
        return false;
    }
    std::vector<Gadget*> ring = FocusRing();
    if (ring.empty()) return false;
    int count = int(ring.size());
    auto at = std::find(ring.begin(), ring.end(), app->mFocus);
    int next = 0;
    if (at == ring.end())
        next = direction > 0 ? 0 : count - 1;
    else
        next = (int(at - ring.begin()) + direction + count) % count;
    ring[size_t(next)]->TakeFocus();
    return true;
}

// --- Hit tests ---------------------------------------------------------------------------------

bool Gadget::AlphaHit(const AlphaSource* source, float x, float y) const {
    if (!source) return false;
    int px = static_cast<int>(std::floor(x - mRect.x)), py = static_cast<int>(std::floor(y - mRect.y));
    if (px < 0 || py < 0 || px >= source->AlphaWidth() || py >= source->AlphaHeight()) return false;
    return float(source->AlphaAt(px, py)) / 255.0f > mAlphaThreshold;
}

bool Gadget::HitTest(float x, float y) {
    if (!mRect.Contains(x, y)) return false;
    switch (mHitMode) {
    case kHitRect:
        return true;
    case kHitCircle: {
        float dx = x - (mRect.x + mRect.w * 0.5f), dy = y - (mRect.y + mRect.h * 0.5f);
        return dx * dx + dy * dy <= mHitRadius * mHitRadius;
    }
    case kHitImageAlpha:
        return AlphaHit(mHitImage, x, y);
    case kHitSpriteAlpha:
        return AlphaHit(mHitSprite, x, y);
    default:
        return false;
    }
}

void Gadget::SendNotify(intptr_t message) {
    App* app = App::Instance();
    if (app && app->mInCancelMouse) return;
    Notify(message);
}

// --- Tree ---------------------------------------------------------------------------------------

void Gadget::AddChild(Gadget* child) {
    if (!child || child == this) return;
    if (!mChildren) mChildren = new GadgetManager(this);
    child->mParent = this;
    mChildren->Add(child);
}

void Gadget::RemoveChild(Gadget* child) {
    if (!child || !mChildren) return;
    mChildren->Remove(child);
    if (child->mParent == this) child->mParent = nullptr;
}

void Gadget::SetHitSprite(float x, float y, const AlphaSource* sprite) {
    mHitMode = kHitSpriteAlpha;
    mHitSprite = sprite;
    mRect = Rect{x, y, sprite ? float(sprite->AlphaWidth()) : 0.0f, sprite ? float(sprite->AlphaHeight()) : 0.0f};
}

Point Gadget::ToScreen(Point p) const {
    for (const Gadget* g = this; g; g = g->mParent) {
        p.x += g->mRect.x;
        p.y += g->mRect.y;
    }
    return p;
}

// --- Modal loops --------------------------------------------------------------------------------

int Gadget::RunModal() {
    App* app = App::Instance();
    if (!app) return mModalResult;
    if (app->mModalPresses > 0) app->MouseUp(-9999.0f, -9999.0f, -1);
    app->mModalPresses = 0;
    app->CancelMouse();
    mModalRunning = true;
    // Dialogs open and close without a screen switch: the debug log notes them for bug reports
    // and scripted tests ("modal NAME", "modal NAME ended"). A frame shown at once is no dialog.
    if (!mShowNow) DebugLog::Log("modal %s", mName);
    // The graveyard keeps this gadget while the loop still reads it, even if it is killed.
    ++mModalDepth;
    while (!mKilled && !app->mQuit && mModalRunning) app->RunFrame();
    --mModalDepth;
    if (!mShowNow) DebugLog::Log("modal %s ended", mName);
    return mModalResult;
}

void Gadget::EndModal(int result) {
    mModalRunning = false;
    mModalResult = result;
}

void Gadget::ShowNow() {
    // A gadget outside the tree is never drawn, and the loop would never end.
    App* app = App::Instance();
    if (!app || (!mParent && !app->mGadgets.Contains(this))) return;
    mShowNow = true;
    RunModal();
    mShowNow = false;
}
