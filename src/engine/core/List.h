// The engine's pointer list. Loops walk it through cursors that the list itself keeps up to date,
// so a loop whose body (or anything it calls) inserts or removes items neither skips nor repeats
// an item. Items are untyped pointers; ListCursor/At<T> give them back their type.
#pragma once

#include <concepts>
#include <functional>
#include <vector>

class List {
public:
    // A loop's position in a list. It registers itself with the list while it lives, so every
    // insertion or removal before its position moves it along. Nested and re-entered loops each
    // have their own cursor and never disturb one another.
    class Cursor {
    public:
        explicit Cursor(const List& list);
        ~Cursor();
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;

        // The item at the cursor, then steps past it; null after the last item.
        void* Next();
        template <class T>
        T* Next() { return static_cast<T*>(Next()); }
        int Index() const { return mIndex; }

    private:
        friend class List;
        const List* mList;
        int mIndex = 0;
        Cursor* mNextCursor = nullptr;
    };

    // `unique` rejects a pointer already present.
    explicit List(bool unique = false);
    ~List();
    List(const List&) = delete;
    List& operator=(const List&) = delete;

    // A fixed list never grows past `capacity`: adding to a full one is dropped.
    void SetFixedCapacity(int capacity);
    bool IsFixed() const { return mFixed; }
    bool IsUnique() const { return mUnique; }

    int Count() const { return static_cast<int>(mItems.size()); }
    bool Empty() const { return mItems.empty(); }
    // Null when the index is out of range.
    void* At(int index) const;
    template <class T>
    T* At(int index) const { return static_cast<T*>(At(index)); }
    // -1 when absent.
    int IndexOf(const void* item) const;
    bool Contains(const void* item) const { return IndexOf(item) >= 0; }

    // Null items are ignored; false when the item was refused (null, duplicate, full fixed list).
    bool Add(void* item);
    // Position is clamped to 0..Count().
    bool Insert(int position, void* item);
    // Removes the first occurrence; false when absent.
    bool Remove(const void* item);
    // Removes every occurrence; returns how many were removed.
    int RemoveAll(const void* item);
    void RemoveAt(int position);
    // Empties the list and sends every running loop back to the start.
    void Clear();
    // Exchanges the positions of two items (both must be present).
    bool Swap(const void* a, const void* b);
    void SwapAt(int i, int j);
    // Swaps each position i with position range(Count()), in order from the first; `range(n)`
    // must give a value in [0, n). The game passes its program-wide random source.
    void Shuffle(const std::function<int(int)>& range);
    template <class Random>
        requires requires(Random& r) { { r.Range(1) } -> std::convertible_to<int>; }
    void Shuffle(Random& random) {
        Shuffle([&random](int n) { return static_cast<int>(random.Range(n)); });
    }

    // Plain snapshot of the items (for code that does not change the list while reading).
    const std::vector<void*>& Items() const { return mItems; }

private:
    friend class Cursor;
    void Attach(Cursor* cursor) const;
    void Detach(Cursor* cursor) const;

    bool mUnique = false;
    bool mFixed = false;
    int mCapacity = 0;
    std::vector<void*> mItems;
    mutable Cursor* mCursors = nullptr;
};

// A typed loop over a List: `for (ListCursor<Object> c(list); Object* o = c.Next();)`.
template <class T>
class ListCursor : public List::Cursor {
public:
    explicit ListCursor(const List& list) : List::Cursor(list) {}
    T* Next() { return static_cast<T*>(List::Cursor::Next()); }
};
