// Gadget manager: updates with a one-pass graveyard, drawing with clip and origin pushed per
// gadget, hit tests from the top down, hover tracking and the modal mode.
#include "engine/core/GadgetManager.h"

#include <vector>

#include "engine/core/App.h"
#include "engine/core/Gadget.h"
#include "engine/core/Graphics.h"

namespace {

const Rect kUnclipped{-10000.0f, -10000.0f, 20000.0f, 20000.0f};

}  // namespace

GadgetManager::GadgetManager(Gadget* owner) : mSaved(false), mGraveyard(false), mOwner(owner) {}

GadgetManager::~GadgetManager() { DeleteAll(); }

void GadgetManager::Destroy(Object* object) {
    Gadget* gadget = static_cast<Gadget*>(object);
    Forget(gadget);
    if (gadget->mParent == mOwner) gadget->mParent = nullptr;
    delete gadget;
}

void GadgetManager::Forget(Gadget* gadget) {
    if (mHoverGadget == gadget) mHoverGadget = nullptr;
    mSaved.RemoveAll(gadget);
}

void GadgetManager::DeleteAll() {
    // Members hidden by a modal gadget and those waiting in the graveyard are ours too.
    for (void* item : std::vector<void*>(mSaved.Items()))
        if (!mList.Contains(item)) mList.Add(item);
    mSaved.Clear();
    mModal = false;
    for (void* item : std::vector<void*>(mGraveyard.Items()))
        if (!mList.Contains(item)) mList.Add(item);
    mGraveyard.Clear();
    ObjectManager::DeleteAll();
    mHoverGadget = nullptr;
}

void GadgetManager::EmptyGraveyard() {
    // A gadget whose modal loop is still running stays until that loop has returned.
    ListCursor<Gadget> cursor(mGraveyard);
    while (Gadget* gadget = cursor.Next()) {
        if (gadget->mModalDepth > 0) continue;
        mGraveyard.RemoveAll(gadget);
        Destroy(gadget);
    }
}

void GadgetManager::Clear() {
    ListCursor<Gadget> cursor(mList);
    while (Gadget* gadget = cursor.Next()) {
        if (gadget->mKilled) {
            OnRemoved(gadget);
            mList.RemoveAll(gadget);
            mGraveyard.Add(gadget);
        }
    }
    EmptyGraveyard();
}

void GadgetManager::Update() {
    EmptyGraveyard();
    ListCursor<Gadget> cursor(mList);
    while (Gadget* gadget = cursor.Next()) {
        if (gadget->mPauseCount == 0 && !gadget->mKilled) gadget->DoUpdate();
        if (gadget->mKilled && mList.Contains(gadget)) {
            OnRemoved(gadget);
            mList.RemoveAll(gadget);
            mSaved.RemoveAll(gadget);
            if (!mGraveyard.Contains(gadget)) mGraveyard.Add(gadget);
        }
    }
}

void GadgetManager::FrameUpdate(float steps) {
    ListCursor<Gadget> cursor(mList);
    while (Gadget* gadget = cursor.Next())
        if (gadget->mPauseCount == 0 && !gadget->mKilled) gadget->DoFrameUpdate(steps);
}

void GadgetManager::Draw() {
    App* app = App::Instance();
    Graphics* graphics = app ? app->mGraphics : nullptr;
    ListCursor<Gadget> cursor(mList);
    while (Gadget* gadget = cursor.Next()) {
        if (gadget->mKilled) continue;
        if (!graphics) {
            gadget->DoDraw();
            continue;
        }
        Rect savedClip = graphics->mClip;
        Point savedOrigin = graphics->mOrigin;
        Rect clip = kUnclipped;
        if (gadget->mClip)
            clip = Rect{savedOrigin.x + gadget->mRect.x, savedOrigin.y + gadget->mRect.y, gadget->mRect.w, gadget->mRect.h};
        // The clip in force is the parent's when it clips, and unbounded otherwise.
        graphics->SetClip(clip.Intersect(savedClip));
        graphics->mOrigin = Point{savedOrigin.x + gadget->mRect.x, savedOrigin.y + gadget->mRect.y};
        float savedColor[4] = {graphics->mColor[0], graphics->mColor[1], graphics->mColor[2], graphics->mColor[3]};
        gadget->DoDraw();
        graphics->SetColor(savedColor[0], savedColor[1], savedColor[2], savedColor[3]);
        graphics->mOrigin = savedOrigin;
        // Back to the clip that was in force, so later siblings stay inside a clipping parent.
        graphics->SetClip(savedClip);
    }
}

void GadgetManager::Add(Object* object) {
    if (!object || mList.Contains(object)) return;
    Gadget* gadget = static_cast<Gadget*>(object);
    // Leaving a manager disabled the gadget and its children; joining one brings them back, so a
    // screen taken out and put back again still answers the mouse.
    Enable(gadget);
    if (mOwner) gadget->mParent = mOwner;
    ObjectManager::Add(object);
    RecheckHover();
}

void GadgetManager::Remove(Object* object) {
    if (!object) return;
    Gadget* gadget = static_cast<Gadget*>(object);
    bool member = mList.Contains(gadget) || mSaved.Contains(gadget);
    mList.RemoveAll(gadget);
    mSaved.RemoveAll(gadget);
    if (member) OnRemoved(gadget);
    RecheckHover();
}

void GadgetManager::OnRemoved(Gadget* gadget) {
    gadget->RouteMouseLeave();
    gadget->mDisabled = true;
    if (mHoverGadget == gadget) {
        mHoverGadget = nullptr;
        UpdateHover(-1000.0f, -1000.0f);
    }
    if (App* app = App::Instance()) {
        // Nothing the application holds may keep pointing into a gadget that left the tree.
        if (app->mHover == gadget) app->mHover = nullptr;
    }
    if (gadget->mChildren) {
        ListCursor<Gadget> cursor(gadget->mChildren->mList);
        while (Gadget* child = cursor.Next()) gadget->mChildren->OnRemoved(child);
    }
}

void GadgetManager::Enable(Gadget* gadget) {
    gadget->mDisabled = false;
    if (!gadget->mChildren) return;
    ListCursor<Gadget> cursor(gadget->mChildren->mList);
    while (Gadget* child = cursor.Next()) Enable(child);
}

Gadget* GadgetManager::GadgetAt(float x, float y) {
    for (int i = mList.Count() - 1; i >= 0; --i) {
        Gadget* gadget = mList.At<Gadget>(i);
        if (gadget->mKilled || gadget->mNoHitTest) continue;
        if (gadget->HitTest(x, y)) return gadget;
    }
    return nullptr;
}

Gadget* GadgetManager::UpdateHover(float x, float y) {
    Gadget* under = GadgetAt(x, y);
    if (under != mHoverGadget) {
        Gadget* old = mHoverGadget;
        mHoverGadget = under;
        if (old) old->RouteMouseLeave();
        // The leave may have changed the tree; only enter what is still ours and alive.
        if (under && mHoverGadget == under && !under->mKilled)
            under->RouteMouseEnter(x - under->mRect.x, y - under->mRect.y);
    }
    return under;
}

void GadgetManager::RecheckHover() {
    App* app = App::Instance();
    if (!app) return;
    if (mOwner) {
        // A screen still being built is not under the mouse yet: nothing to recheck.
        const Gadget* root = mOwner;
        while (root->mParent) root = root->mParent;
        if (!app->mGadgets.Contains(root)) return;
    }
    Point mouse = app->mMousePos;
    if (mOwner) {
        // This level's coordinates are the owner's own.
        Point origin = mOwner->ToScreen(Point{});
        mouse.x -= origin.x;
        mouse.y -= origin.y;
    }
    Gadget* before = mHoverGadget;
    if (GadgetAt(mouse.x, mouse.y) != before) app->MouseMove(app->mMousePos.x, app->mMousePos.y);
}

void GadgetManager::BringToFront(Gadget* gadget) {
    if (!gadget || !mList.Contains(gadget)) return;
    mList.RemoveAll(gadget);
    mList.Add(gadget);
}

void GadgetManager::SetModal(Gadget* gadget) {
    // Only positional inserts and removals here, so a loop running over this level is not
    // sent back to its start.
    if (mModal) {
        std::vector<void*> restored = mSaved.Items();
        mSaved.Clear();
        for (int i = 0; i < static_cast<int>(restored.size()); ++i) {
            int at = mList.IndexOf(restored[i]);
            if (at == i) continue;
            if (at >= 0) mList.RemoveAt(at);
            mList.Insert(i, restored[i]);
        }
        mModal = false;
    }
    if (gadget && mList.Contains(gadget)) {
        for (void* item : mList.Items()) mSaved.Add(item);
        for (int i = mList.Count() - 1; i >= 0; --i)
            if (mList.At(i) != gadget) mList.RemoveAt(i);
        mModal = true;
    }
    RecheckHover();
}
