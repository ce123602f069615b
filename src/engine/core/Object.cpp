// Object ids come from the application's counter so they are unique for its lifetime.
#include "engine/core/Object.h"

#include "engine/core/App.h"

Object::Object() {
    if (App* app = App::Instance()) mId = app->mNextObjectId++;
}

Object::~Object() = default;

int Object::Resume() {
    if (mPauseCount > 0) --mPauseCount;
    return mPauseCount;
}
