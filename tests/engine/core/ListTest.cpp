// List: loops that survive insertions and removals made while they run, and the list rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/List.h"

namespace {

int gItems[10];

std::string Visit(List& list, const std::function<void(List&, int)>& body) {
    std::string order;
    ListCursor<int> cursor(list);
    while (int* item = cursor.Next()) {
        int index = int(item - gItems);
        order += char('0' + index);
        body(list, index);
    }
    return order;
}

void Fill(List& list, int count) {
    for (int i = 0; i < count; ++i) list.Add(&gItems[i]);
}

}  // namespace

TEST(ListTest, LoopsSurviveChangesMadeDuringTheLoop) {
    struct Case {
        const char* name;
        std::function<void(List&, int)> body;
        const char* visited;
        int countAfter;
    };
    const Case cases[] = {
        {"remove current", [](List& l, int i) { if (i == 2) l.Remove(&gItems[2]); }, "01234", 4},
        {"remove a later item", [](List& l, int i) { if (i == 1) l.Remove(&gItems[3]); }, "0124", 4},
        {"remove an earlier item", [](List& l, int i) { if (i == 3) l.Remove(&gItems[0]); }, "01234", 4},
        {"remove current and next", [](List& l, int i) { if (i == 1) { l.Remove(&gItems[1]); l.Remove(&gItems[2]); } }, "0134", 3},
        {"insert before current", [](List& l, int i) { if (i == 2) l.Insert(0, &gItems[9]); }, "01234", 6},
        {"append during loop", [](List& l, int i) { if (i == 4) l.Add(&gItems[9]); }, "012349", 6},
        {"clear during loop", [](List& l, int i) { if (i == 1) l.Clear(); }, "01", 0},
    };
    for (const Case& c : cases) {
        List list;
        Fill(list, 5);
        EXPECT_EQ(Visit(list, c.body), c.visited) << c.name;
        EXPECT_EQ(list.Count(), c.countAfter) << c.name;
    }
}

TEST(ListTest, NestedLoopsOverOneListKeepTheirOwnPlace) {
    List list;
    Fill(list, 3);
    std::string order;
    ListCursor<int> outer(list);
    while (int* a = outer.Next()) {
        ListCursor<int> inner(list);
        while (int* b = inner.Next()) {
            // The inner loop removes the outer loop's next item once.
            if (a == &gItems[0] && b == &gItems[1]) list.Remove(&gItems[1]);
        }
        order += char('0' + int(a - gItems));
    }
    EXPECT_EQ(order, "02");
}

TEST(ListTest, RulesForNullDuplicatesAndFixedCapacity) {
    List plain;
    EXPECT_FALSE(plain.Add(nullptr));
    EXPECT_TRUE(plain.Add(&gItems[0]));
    EXPECT_TRUE(plain.Add(&gItems[0]));
    EXPECT_EQ(plain.Count(), 2);
    EXPECT_EQ(plain.RemoveAll(&gItems[0]), 2);
    EXPECT_EQ(plain.IndexOf(&gItems[0]), -1);
    EXPECT_EQ(plain.At(5), nullptr);

    List unique(true);
    EXPECT_TRUE(unique.Add(&gItems[0]));
    EXPECT_FALSE(unique.Add(&gItems[0]));

    List fixed;
    fixed.SetFixedCapacity(2);
    Fill(fixed, 3);
    EXPECT_EQ(fixed.Count(), 2);
    EXPECT_FALSE(fixed.Contains(&gItems[2]));

    List clamped;
    clamped.Insert(-5, &gItems[1]);
    clamped.Insert(99, &gItems[2]);
    EXPECT_EQ(clamped.At<int>(0), &gItems[1]);
    EXPECT_EQ(clamped.At<int>(1), &gItems[2]);
    EXPECT_TRUE(clamped.Swap(&gItems[1], &gItems[2]));
    EXPECT_EQ(clamped.At<int>(0), &gItems[2]);
}

TEST(ListTest, ShuffleSwapsEachPositionWithADrawnOne) {
    List list;
    Fill(list, 5);
    // A fixed sequence of draws gives a known order: swap(i, draw) for i = 0..4.
    std::vector<int> draws = {4, 0, 0, 2, 1};
    size_t next = 0;
    list.Shuffle([&](int n) {
        EXPECT_EQ(n, 5);
        return draws[next++];
    });
    std::string order;
    for (int i = 0; i < list.Count(); ++i) order += char('0' + int(list.At<int>(i) - gItems));
    EXPECT_EQ(order, "20314");

    // Anything with Range(n), like the game's random source, can drive it.
    struct Source {
        int calls = 0;
        int Range(int n) { return (++calls * 3) % n; }
    } source;
    List a;
    Fill(a, 4);
    a.Shuffle(source);
    EXPECT_EQ(source.calls, 4);
    EXPECT_EQ(a.Count(), 4);
}
