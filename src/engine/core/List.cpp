// The pointer list and its self-adjusting loop cursors.
#include "engine/core/List.h"

#include <algorithm>
#include <utility>

List::Cursor::Cursor(const List& list) : mList(&list) { list.Attach(this); }

List::Cursor::~Cursor() {
    if (mList) mList->Detach(this);
}

void* List::Cursor::Next() {
    if (!mList || mIndex < 0 || mIndex >= mList->Count()) return nullptr;
    return mList->mItems[mIndex++];
}

List::List(bool unique) : mUnique(unique) {}

List::~List() {
    // A loop still holding a cursor on a destroyed list must not touch it again.
    for (Cursor* c = mCursors; c; c = c->mNextCursor) c->mList = nullptr;
}

void List::Attach(Cursor* cursor) const {
    cursor->mNextCursor = mCursors;
    mCursors = cursor;
}

void List::Detach(Cursor* cursor) const {
    for (Cursor** link = &mCursors; *link; link = &(*link)->mNextCursor) {
        if (*link == cursor) {
            *link = cursor->mNextCursor;
            return;
        }
    }
}

void List::SetFixedCapacity(int capacity) {
    mFixed = true;
    mCapacity = std::max(0, capacity);
    if (Count() > mCapacity) mItems.resize(mCapacity);
    mItems.reserve(mCapacity);
    for (Cursor* c = mCursors; c; c = c->mNextCursor) c->mIndex = std::min(c->mIndex, Count());
}

void* List::At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return mItems[index];
}

int List::IndexOf(const void* item) const {
    for (int i = 0; i < Count(); ++i)
        if (mItems[i] == item) return i;
    return -1;
}

bool List::Add(void* item) { return Insert(Count(), item); }

bool List::Insert(int position, void* item) {
    if (!item) return false;
    if (mUnique && Contains(item)) return false;
    if (mFixed && Count() >= mCapacity) return false;
    position = std::clamp(position, 0, Count());
    mItems.insert(mItems.begin() + position, item);
    for (Cursor* c = mCursors; c; c = c->mNextCursor)
        if (c->mIndex > position) ++c->mIndex;
    return true;
}

void List::RemoveAt(int position) {
    if (position < 0 || position >= Count()) return;
    mItems.erase(mItems.begin() + position);
    for (Cursor* c = mCursors; c; c = c->mNextCursor)
        if (c->mIndex > position) --c->mIndex;
    if (!mFixed && mItems.capacity() > 16 && mItems.size() < mItems.capacity() / 2) mItems.shrink_to_fit();
}

bool List::Remove(const void* item) {
    int index = IndexOf(item);
    if (index < 0) return false;
    RemoveAt(index);
    return true;
}

int List::RemoveAll(const void* item) {
    int removed = 0;
    for (int i = Count() - 1; i >= 0; --i) {
        if (mItems[i] == item) {
            RemoveAt(i);
            ++removed;
        }
    }
    return removed;
}

void List::Clear() {
    mItems.clear();
    if (!mFixed) mItems.shrink_to_fit();
    for (Cursor* c = mCursors; c; c = c->mNextCursor) c->mIndex = 0;
}

bool List::Swap(const void* a, const void* b) {
    int i = IndexOf(a), j = IndexOf(b);
    if (i < 0 || j < 0) return false;
    SwapAt(i, j);
    return true;
}

void List::SwapAt(int i, int j) {
    if (i < 0 || j < 0 || i >= Count() || j >= Count()) return;
    std::swap(mItems[i], mItems[j]);
}

void List::Shuffle(const std::function<int(int)>& range) {
    int count = Count();
    for (int i = 0; i < count; ++i) SwapAt(i, range(count));
}
