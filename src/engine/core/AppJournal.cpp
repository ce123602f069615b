// The application frame's record and replay: where the loop takes an input from the world (a
// queued message, the keyboard snapshot, a focus change, the pointer leaving the window, the end
// of loading), a recording run writes it into the journal with its step, and a replaying run
// takes it from the journal instead of from the world. Also the state digest printed at exit.
#include "engine/core/App.h"
#include "engine/core/Gadget.h"
#include "engine/core/InputJournal.h"
#include "engine/core/StateHash.h"
#include "platform/Window.h"

namespace {

void HashObjects(const ObjectManager& objects, StateHash& hash);

void HashObject(const Object* object, StateHash& hash) {
    hash.AddText(object->mName);
    if (const Gadget* gadget = dynamic_cast<const Gadget*>(object)) {
        hash.AddFloat(gadget->mRect.x);
        hash.AddFloat(gadget->mRect.y);
        hash.AddFloat(gadget->mRect.w);
        hash.AddFloat(gadget->mRect.h);
        hash.AddBool(gadget->mHidden);
        hash.AddBool(gadget->mDisabled);
        object->HashState(hash);
        if (const GadgetManager* children = gadget->Children()) HashObjects(*children, hash);
        return;
    }
    object->HashState(hash);
}

void HashObjects(const ObjectManager& objects, StateHash& hash) {
    int live = 0;
    for (int i = 0; i < objects.Count(); ++i) {
        const Object* object = objects.At(i);
        if (!object || object->mKilled) continue;
        HashObject(object, hash);
        ++live;
    }
    hash.AddInt(live);
}

}  // namespace

bool App::Replaying() const { return mJournal && mJournal->Replaying(); }

bool App::BeginJournalStep(int64_t* outerStep) {
    if (!mJournal || mJournal->GetMode() == InputJournal::Mode::kOff) return true;
    if (mJournal->ReplayOver()) {
        // The recorded run quit here.
        Quit();
        return false;
    }
    bool active = false;
    while (mJournal->TakeActivate(&active)) Activate(active);
    *outerStep = mJournal->BeginStep();
    return true;
}

void App::EndJournalStep(int64_t outerStep) {
    if (mJournal && mJournal->GetMode() != InputJournal::Mode::kOff) mJournal->EndStep(outerStep);
}

bool App::LoadingFinishedNow() {
    if (!Replaying()) {
        if (mJustLoaded && mJournal && mJournal->Recording()) mJournal->RecordLoaded();
        return mJustLoaded;
    }
    // Loading ends on the recorded step, however fast this machine's loader is: sooner, and the
    // game waits; later, and the loader is waited for here.
    if (!mJournal->TakeLoaded()) return false;
    WaitForLoader();
    return mJustLoaded;
}

bool App::PointerLeftWindow() {
    bool left = false;
    if (Replaying()) {
        left = mJournal->TakePointerLeft();
    } else {
        left = mWindow && mWindow->IsOpen() && !mWindow->MouseInside() && mHover;
        if (left && mJournal && mJournal->Recording()) mJournal->RecordPointerLeft();
    }
    return left && mHover;
}

void App::PollKeyboard() {
    if (Replaying()) {
        uint8_t state[256];
        mJournal->TakeKeys(state);
        mInput.UpdateFrom(state);
        return;
    }
    mInput.Update();
    if (mJournal && mJournal->Recording()) mJournal->RecordKeys(mInput.mState[mInput.mCurrent]);
}

void App::ReplayEvents() {
    // What the window delivers during a replay is not the game's input; closing the window
    // still quits (handled before the queue).
    {
        std::lock_guard<std::recursive_mutex> lock(mDrawLock);
        mEvents.clear();
    }
    InputJournal::Entry entry;
    while (!mQuit && mJournal->TakeEvent(&entry)) DispatchInput(entry.mMessage, entry.mValue, entry.mX, entry.mY);
}

void App::WindowActivated(bool active) {
    // A replay has the recorded focus changes instead.
    if (Replaying()) return;
    if (mJournal && mJournal->Recording()) mJournal->RecordActivate(active);
    Activate(active);
}

void App::HashState(StateHash& hash) {
    hash.AddBool(mGadgets.mModal);
    HashObjects(mGadgets, hash);
    HashObjects(mObjects, hash);
}

std::string App::StateHashText() {
    StateHash hash;
    HashState(hash);
    return hash.Hex();
}
