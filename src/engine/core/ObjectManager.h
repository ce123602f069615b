// Owns plain objects and runs them: one Update per step, one Draw per frame. Killed members are
// destroyed in the same pass that finds them killed.
#pragma once

#include <cstdint>

#include "engine/core/List.h"
#include "engine/core/Object.h"

class ObjectManager {
public:
    ObjectManager();
    virtual ~ObjectManager();
    ObjectManager(const ObjectManager&) = delete;
    ObjectManager& operator=(const ObjectManager&) = delete;

    // Destroys every member and empties the list.
    virtual void DeleteAll();
    virtual void Update();
    virtual void FrameUpdate(float steps);
    virtual void Draw();
    // Reorders by Depth(): direction 1 ascending, -1 descending; equal depths keep their order.
    virtual void Sort(int direction);
    // Draws live members in ascending depth order without changing the list.
    virtual void DrawSorted();
    virtual void Broadcast(intptr_t message);
    // Appends unless already present; the manager then owns the object.
    virtual void Add(Object* object);
    virtual void KillById(int id);
    // Removes without destroying: ownership goes back to the caller.
    virtual void Remove(Object* object);

    int Count() const { return mList.Count(); }
    Object* At(int index) const { return mList.At<Object>(index); }
    bool Contains(const Object* object) const { return mList.Contains(object); }

    List mList;

protected:
    // Destroys an object this manager owns (gadget managers first cut it out of the tree).
    virtual void Destroy(Object* object) { delete object; }
};
