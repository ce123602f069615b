// Owns a level of the gadget tree: hit tests, hover, deferred destruction and a modal mode.
// A killed gadget leaves the list in the pass that finds it and is destroyed one pass later, so
// anything still pointing at it during the current step sees a live object.
#pragma once

#include "engine/core/ObjectManager.h"

class Gadget;

class GadgetManager : public ObjectManager {
public:
    // `owner` is the gadget whose children these are (null for the application's top level).
    explicit GadgetManager(Gadget* owner = nullptr);
    ~GadgetManager() override;

    void DeleteAll() override;
    void Update() override;
    void FrameUpdate(float steps) override;
    // Draws each live member with its clip, origin and colour pushed.
    void Draw() override;
    void Add(Object* object) override;
    void Remove(Object* object) override;
    // Destroys the killed members and the graveyard now.
    virtual void Clear();
    // A member leaves: it loses hover and is disabled, and so are its children.
    virtual void OnRemoved(Gadget* gadget);

    // Topmost live, hit-testable member under a point of this level's coordinates.
    Gadget* GadgetAt(float x, float y);
    // Moves hover to the member under the point; returns that member (or null).
    Gadget* UpdateHover(float x, float y);
    void BringToFront(Gadget* gadget);
    // With a member: it becomes the only member until SetModal(nullptr) restores the others.
    void SetModal(Gadget* gadget);

    Gadget* Owner() const { return mOwner; }
    Gadget* HoverGadget() const { return mHoverGadget; }
    // Called when a gadget is destroyed so no pointer here outlives it.
    void Forget(Gadget* gadget);

    bool mModal = false;
    List mSaved;
    List mGraveyard;
    Gadget* mHoverGadget = nullptr;

protected:
    void Destroy(Object* object) override;

private:
    void EmptyGraveyard();
    static void Enable(Gadget* gadget);
    // Members were added or removed: hover follows the application's mouse.
    void RecheckHover();
    Gadget* mOwner = nullptr;
};
