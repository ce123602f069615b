// Everything the engine updates or draws is an Object. A manager owns its objects; Kill only
// marks one, and the manager destroys it after its pass, so code holding a pointer during the
// current step still sees a live object.
#pragma once

#include <cstdint>

class StateHash;

class Object {
public:
    Object();
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Once per update step (100 per second at speed 1.0) unless killed or paused.
    virtual void Update() {}
    // Once per drawn frame, only while the application's timing is locked to the display.
    virtual void FrameUpdate(float steps) { (void)steps; }
    // Once per frame unless killed.
    virtual void Draw() {}
    // Sent by Broadcast and by controls (which pass themselves, hence pointer-sized).
    virtual void Notify(intptr_t message) { (void)message; }
    virtual void Kill() { mKilled = true; }
    // Pauses nest: each Pause needs one Resume.
    virtual void Pause() { ++mPauseCount; }
    // Returns the new pause count (never below 0).
    virtual int Resume();
    // Ordering key for ObjectManager::Sort and DrawSorted; 0 unless a subclass keeps one.
    virtual float Depth() const { return 0.0f; }
    // Adds what the player can see of this object that matters (score, pieces and where they
    // are, counters, flags) to the state digest a replay is checked with. Only values that update
    // steps decide belong here: nothing drawn-frame or clock dependent, no addresses. Gadgets'
    // names and rectangles and their children are added by the application already.
    virtual void HashState(StateHash& hash) const { (void)hash; }

    bool mKilled = false;
    int mPauseCount = 0;
    int mId = 0;
    int mTag = 0;
    const char* mName = "null object";
};
