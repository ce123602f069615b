// Plain object manager: same-pass destruction of killed members.
#include "engine/core/ObjectManager.h"

#include <algorithm>
#include <vector>

ObjectManager::ObjectManager() : mList(false) {}

ObjectManager::~ObjectManager() { DeleteAll(); }

void ObjectManager::DeleteAll() {
    // Take members out one at a time: a destructor may look at (or remove from) this manager.
    while (!mList.Empty()) {
        Object* object = mList.At<Object>(mList.Count() - 1);
        mList.RemoveAll(object);
        Destroy(object);
    }
}

void ObjectManager::Update() {
    ListCursor<Object> cursor(mList);
    while (Object* object = cursor.Next()) {
        if (object->mPauseCount == 0 && !object->mKilled) object->Update();
        if (object->mKilled) {
            mList.RemoveAll(object);
            Destroy(object);
        }
    }
}

void ObjectManager::FrameUpdate(float steps) {
    ListCursor<Object> cursor(mList);
    while (Object* object = cursor.Next()) {
        if (object->mPauseCount == 0 && !object->mKilled) object->FrameUpdate(steps);
        if (object->mKilled) {
            mList.RemoveAll(object);
            Destroy(object);
        }
    }
}

void ObjectManager::Draw() {
    ListCursor<Object> cursor(mList);
    while (Object* object = cursor.Next())
        if (!object->mKilled) object->Draw();
}

void ObjectManager::Sort(int direction) {
    std::vector<void*> items = mList.Items();
    std::stable_sort(items.begin(), items.end(), [direction](void* a, void* b) {
        float da = static_cast<Object*>(a)->Depth(), db = static_cast<Object*>(b)->Depth();
        return direction < 0 ? da > db : da < db;
    });
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        int from = mList.IndexOf(items[i]);
        if (from != i) mList.SwapAt(i, from);
    }
}

void ObjectManager::DrawSorted() {
    std::vector<void*> items = mList.Items();
    std::stable_sort(items.begin(), items.end(), [](void* a, void* b) {
        return static_cast<Object*>(a)->Depth() < static_cast<Object*>(b)->Depth();
    });
    for (void* item : items) {
        // A draw may kill or remove a later member; skip what is no longer ours.
        Object* object = static_cast<Object*>(item);
        if (mList.Contains(object) && !object->mKilled) object->Draw();
    }
}

void ObjectManager::Broadcast(intptr_t message) {
    ListCursor<Object> cursor(mList);
    while (Object* object = cursor.Next())
        if (!object->mKilled) object->Notify(message);
}

void ObjectManager::Add(Object* object) {
    if (object && !mList.Contains(object)) mList.Add(object);
}

void ObjectManager::KillById(int id) {
    ListCursor<Object> cursor(mList);
    while (Object* object = cursor.Next())
        if (object->mId == id) object->Kill();
}

void ObjectManager::Remove(Object* object) { mList.RemoveAll(object); }
