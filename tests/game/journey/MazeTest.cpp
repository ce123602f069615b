// The journey map's grid: the structural rules of generated maps over many seeds, the walks and
// picks of generation on hand-made grids, the idol choice, and the saved record (exact size,
// byte-identical round trips, and refusal of damaged records).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <queue>
#include <set>
#include <string>
#include <vector>

#include "board/BoardRandom.h"
#include "game/journey/Maze.h"
#include "game/journey/MazeButton.h"
#include "persistence/DataBuffer.h"

namespace {

constexpr int kSeeds = 3000;

bool IsNode(int32_t flags) { return (flags & Maze::kNode) != 0; }

// Nodes reached from the start through links (either way), optionally leaving out dead ends.
std::set<int> Reachable(const Maze& maze, bool throughDeadEnds) {
    std::set<int> seen{Maze::Index(4, 0)};
    std::queue<Maze::Place> open;
    open.push({4, 0});
    const int directions[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    while (!open.empty()) {
        Maze::Place at = open.front();
        open.pop();
        for (const auto& d : directions) {
            int l = at.mLane + d[0], s = at.mStep + d[1];
            int32_t link = maze.Cell(l, s);
            if (!(link & Maze::kLinkBits)) continue;
            if (!throughDeadEnds && (link & Maze::kDeadEndLink)) continue;
            // Through long arrows to the next node on the far side.
            while (maze.Cell(l, s) & Maze::kLinkBits) l += d[0], s += d[1];
            if (!Maze::InGrid(l, s) || !IsNode(maze.Cell(l, s))) continue;
            if (!throughDeadEnds && (maze.Cell(l, s) & Maze::kDeadEndNode)) continue;
            if (seen.insert(Maze::Index(l, s)).second) open.push({l, s});
        }
    }
    return seen;
}

// The structural rules every generated map keeps; returns the first one broken, or "".
std::string CheckMap(const Maze& m, int* treasures, int* arrows) {
    char where[96];
    auto at = [&](const char* rule, int lane, int step) {
        std::snprintf(where, sizeof where, "%s at lane %d step %d", rule, lane, step);
        return std::string(where);
    };
    if (m.Cell(4, 0) != (Maze::kNode | Maze::kRevealed) || m.LevelId(4, 0) != 0) return "the start is not (4, 0) with level 0";
    if (m.Cell(4, 1) != Maze::kLinkDown) return "the start has no link down";
    if (!IsNode(m.Cell(4, 14)) || (m.Cell(4, 14) & Maze::kDeadEndNode)) return "the main path does not end at (4, 14)";
    if (!Reachable(m, false).count(Maze::Index(4, 14))) return "(4, 14) cannot be reached from the start";

    *treasures = *arrows = 0;
    for (int lane = 0; lane < Maze::kLanes; ++lane)
        for (int step = 0; step < Maze::kSteps; ++step) {
            int32_t f = m.Cell(lane, step);
            bool even = lane % 2 == 0 && step % 2 == 0;
            if (f & ~Maze::kAllFlags) return at("unknown flags", lane, step);
            if (IsNode(f) && !even) return at("a node off the node places", lane, step);
            if ((f & Maze::kLongArrow) && (!even || IsNode(f))) return at("a long arrow off a node place", lane, step);
            if ((f & Maze::kLinkBits) && !(f & Maze::kLongArrow) && (lane % 2 == step % 2)) return at("a link off the link places", lane, step);
            if (!IsNode(f) && !(f & Maze::kLongArrow) && m.LevelId(lane, step) != 0) return at("a level id without a node", lane, step);
            if (m.LevelId(lane, step) < 0 || m.LevelId(lane, step) > Maze::kMaxLevelId) return at("a level id out of range", lane, step);
            if (m.TreasureKind(lane, step) != 0 && !(f & Maze::kTreasure)) return at("a treasure kind without a treasure", lane, step);
            if (m.TreasureKind(lane, step) < 0 || m.TreasureKind(lane, step) >= Maze::kTreasureKinds) return at("a treasure kind out of range", lane, step);
            if (f & Maze::kLongArrow) {
                ++*arrows;
                if (lane < 1 || lane > 7) return at("a long arrow on an edge lane", lane, step);
                if (f & Maze::kDeadEndNode) return at("a long arrow over a dead-end node", lane, step);
                auto linked = [&](int l, int s) { return (m.Cell(l, s) & Maze::kLinkBits) != 0; };
                bool across = (f & (Maze::kLinkAcross | Maze::kLinkAcrossBack)) != 0;
                bool straight = across ? linked(lane - 1, step) && linked(lane + 1, step) && !linked(lane, step - 1) && !linked(lane, step + 1)
                                       : linked(lane, step - 1) && linked(lane, step + 1) && !linked(lane - 1, step) && !linked(lane + 1, step);
                if (!straight) return at("a long arrow that is not a straight stretch", lane, step);
            }
            // Dead ends: only their own values, never a flag of the path mixed in.
            if (f & Maze::kDeadEndNode) {
                if (f != (Maze::kDeadEndNode | Maze::kNode) && f != (Maze::kDeadEndNode | Maze::kNode | Maze::kTreasure))
                    return at("a dead-end node mixed with the path", lane, step);
            }
            if (f & Maze::kDeadEndLink) {
                if (f != (Maze::kDeadEndLink | Maze::kLinkAcross) && f != (Maze::kDeadEndLink | Maze::kLinkAcrossBack) &&
                    f != (Maze::kDeadEndLink | Maze::kLinkDown))
                    return at("a dead-end link mixed with the path", lane, step);
            }
            if (!(f & Maze::kTreasure)) continue;
            ++*treasures;
            if (!(f & Maze::kDeadEndNode)) return at("a treasure outside a dead end", lane, step);
            // Walk back up the dead end to the node it hangs from: 2 to 4 nodes, never climbing
            // back to a lower step on the way down.
            int l = lane, s = step, nodes = 1;
            for (;;) {
                const int back[3][2] = {{0, -1}, {1, 0}, {-1, 0}};
                bool moved = false;
                for (const auto& d : back) {
                    int32_t link = m.Cell(l + d[0], s + d[1]);
                    if (!(link & Maze::kDeadEndLink)) continue;
                    // The link points toward this node: away from the parent.
                    bool towardHere = (d[1] == -1 && (link & Maze::kLinkDown)) || (d[0] == 1 && (link & Maze::kLinkAcross)) ||
                                      (d[0] == -1 && (link & Maze::kLinkAcrossBack));
                    if (!towardHere) continue;
                    l += 2 * d[0];
                    s += 2 * d[1];
                    moved = true;
                    break;
                }
                if (!moved) return at("a dead end that does not lead back to the map", lane, step);
                if (!(m.Cell(l, s) & Maze::kDeadEndNode)) break;
                ++nodes;
            }
            if (nodes < 2 || nodes > 4) return at("a dead end of the wrong length", lane, step);
            if (!IsNode(m.Cell(l, s)) && !(m.Cell(l, s) & Maze::kLongArrow)) return at("a dead end hanging from nothing", lane, step);
        }
    if (*arrows > 3) return "more than three long arrows";
    return "";
}

TEST(MazeGeneration, EveryMapKeepsTheStructuralRules) {
    std::map<int, int> treasureCounts, arrowCounts;
    int branchJoins = 0;
    for (uint32_t seed = 0; seed < kSeeds; ++seed) {
        Maze maze(nullptr, nullptr);
        maze.Generate(seed);
        int treasures = 0, arrows = 0;
        std::string broken = CheckMap(maze, &treasures, &arrows);
        ASSERT_EQ(broken, "") << "seed " << seed;
        ++treasureCounts[treasures];
        ++arrowCounts[arrows];
        // Every node that is not part of a dead end lies on a route from the start.
        std::set<int> reached = Reachable(maze, true);
        for (int cell = 0; cell < Maze::kCells; ++cell)
            if (IsNode(maze.mGrid[cell])) {
                ASSERT_TRUE(reached.count(cell)) << "seed " << seed << " cell " << cell;
            }
        // Where a node has three or more links, a branch joined the map.
        for (int lane = 0; lane < Maze::kLanes; lane += 2)
            for (int step = 2; step < Maze::kSteps; step += 2) {
                int links = 0;
                for (auto [dl, ds] : {std::pair{0, -1}, {0, 1}, {-1, 0}, {1, 0}})
                    links += (maze.Cell(lane + dl, step + ds) & Maze::kLinkBits) && !(maze.Cell(lane + dl, step + ds) & Maze::kDeadEndLink);
                if (links >= 3) ++branchJoins;
            }
    }
    // Two or three dead ends, one to three long arrows on most maps; none of the counts is
    // stuck at one value.
    EXPECT_GT(treasureCounts[2], kSeeds / 10);
    EXPECT_GT(treasureCounts[3], kSeeds / 10);
    EXPECT_GT(arrowCounts[1] + arrowCounts[2] + arrowCounts[3], kSeeds / 2);
    EXPECT_GT(branchJoins, kSeeds / 10);
}

// A seed names a map: saved games, the tool's output and players' shared seeds rely on it. The
// digest of the first maps was taken with picks that draw until they find a node, with no bound,
// so the bound on the picks is shown to leave every map whose picks succeed as it was.
TEST(MazeGeneration, SeedsKeepNamingTheSameMaps) {
    uint64_t digest = 1469598103934665603ull;
    auto mix = [&digest](int32_t value) {
        for (int i = 0; i < 4; ++i) {
            digest ^= uint8_t(uint32_t(value) >> (8 * i));
            digest *= 1099511628211ull;
        }
    };
    Maze maze(nullptr, nullptr);
    for (uint32_t seed = 0; seed < kSeeds; ++seed) {
        maze.Generate(seed);
        for (int cell = 0; cell < Maze::kCells; ++cell) {
            mix(maze.mGrid[cell]);
            mix(maze.mLevelIds[cell]);
            mix(maze.mTreasureKinds[cell]);
        }
    }
    EXPECT_EQ(digest, 0x83b65e11ba3caee0ull) << std::hex << digest;
}

TEST(MazeGeneration, TheWorldsRiseTowardTheEndOfTheMainPath) {
    Maze maze(nullptr, nullptr);
    for (uint32_t seed = 0; seed < 200; ++seed) {
        maze.Generate(seed);
        EXPECT_GE(maze.LevelId(4, 14) / 1000, 7) << "seed " << seed;
    }
}

// A map with only what a test puts there.
struct HandMaze : Maze {
    HandMaze() : Maze(nullptr, nullptr) {}
    void Node(int lane, int step, int32_t extra = 0, int level = 0) {
        mGrid[Index(lane, step)] = kNode | extra;
        mLevelIds[Index(lane, step)] = level;
    }
    void Link(int lane, int step, int32_t value) { mGrid[Index(lane, step)] = value; }
};

TEST(MazeGeneration, WalksAcrossTheLanes) {
    struct Case {
        int lane, count;
        bool stopAt4;
        std::vector<int> nodes;  // lanes marked, in order
        int endLane;
    };
    const Case cases[] = {
        {4, 0, false, {4}, 4},              // a count of 0 marks only the start
        {4, 1, false, {4}, 4},              // so does 1
        {4, 3, false, {4, 6, 8}, 8},        // toward higher lanes
        {4, -2, false, {4, 2}, 2},          // toward lower lanes
        {8, 3, false, {8, 6, 4}, 4},        // lane 8 turns a positive count back into the grid
        {0, -2, false, {0, 2}, 2},          // lane 0 turns a negative one
        {6, 5, false, {6, 8}, 8},           // the walk stops at the edge
        {8, -40, true, {8, 6, 4}, 4},       // and at lane 4 when asked
    };
    for (const Case& c : cases) {
        HandMaze m;
        Maze::Place end = m.GenerateX(c.lane, 6, c.count, c.stopAt4, nullptr);
        EXPECT_EQ(end.mLane, c.endLane) << "from " << c.lane << " count " << c.count;
        EXPECT_EQ(end.mStep, 6);
        std::vector<int> marked;
        for (int cell : m.mPath) marked.push_back(cell / Maze::kSteps);
        EXPECT_EQ(marked, c.nodes) << "from " << c.lane << " count " << c.count;
        // A link between every two nodes, in the direction of the walk.
        for (size_t i = 1; i < c.nodes.size(); ++i) {
            int link = (c.nodes[i] + c.nodes[i - 1]) / 2;
            EXPECT_EQ(m.Cell(link, 6), c.nodes[i] > c.nodes[i - 1] ? Maze::kLinkAcross : Maze::kLinkAcrossBack);
        }
    }

    // A walk with the hit flag stops at the first node already there (its start excepted),
    // linked to it but without marking it again or adding it to the path.
    HandMaze m;
    m.Node(2, 4, Maze::kRevealed, 3000);
    m.Node(6, 4, 0, 4000);
    bool hit = false;
    Maze::Place end = m.GenerateX(2, 4, 5, false, &hit);
    EXPECT_TRUE(hit);
    EXPECT_EQ(end, (Maze::Place{6, 4}));
    EXPECT_EQ(m.mPath, (std::vector<int>{Maze::Index(2, 4), Maze::Index(4, 4)}));
    EXPECT_EQ(m.Cell(5, 4), Maze::kLinkAcross);
    EXPECT_EQ(m.Cell(6, 4), Maze::kNode);
    EXPECT_EQ(m.Cell(2, 4), Maze::kNode | Maze::kRevealed);
}

TEST(MazeGeneration, DeadEndsGrowOnlyIntoFreeCellsAndGiveUpWithoutATrace) {
    // A node boxed in on every side it may grow to: no dead end, nothing left behind.
    HandMaze boxed;
    boxed.Node(4, 12, 0, 7000);
    boxed.Link(3, 12, Maze::kLinkAcross);
    boxed.Link(5, 12, Maze::kLinkAcross);
    boxed.Link(4, 13, Maze::kLinkDown);
    ProgramRandom().Seed(5);
    int32_t before[Maze::kCells];
    std::memcpy(before, boxed.mGrid, sizeof before);
    EXPECT_FALSE(boxed.GenerateDeadEnd());
    EXPECT_EQ(std::memcmp(before, boxed.mGrid, sizeof before), 0);

    // With room, the dead end grows 2 to 4 nodes down or sideways and ends in a treasure; its
    // levels follow the node it hangs from, a world further each node.
    for (uint32_t seed = 0; seed < 200; ++seed) {
        HandMaze m;
        m.Node(4, 4, 0, 2500);
        ProgramRandom().Seed(seed);
        ASSERT_TRUE(m.GenerateDeadEnd()) << seed;
        int nodes = 0, treasures = 0;
        for (int cell = 0; cell < Maze::kCells; ++cell) {
            if (m.mGrid[cell] & Maze::kDeadEndNode) {
                ++nodes;
                EXPECT_GE(cell % Maze::kSteps, 4) << "a dead end climbed above its node, seed " << seed;
                EXPECT_GE(m.mLevelIds[cell], 2500);
                EXPECT_LT(m.mLevelIds[cell], 2500 + 4 * 1000);
            }
            if (m.mGrid[cell] & Maze::kTreasure) ++treasures;
        }
        EXPECT_TRUE(nodes >= 2 && nodes <= 4) << nodes << " nodes, seed " << seed;
        EXPECT_EQ(treasures, 1);
    }
}

TEST(MazeGeneration, PicksThatCannotSucceedEndTheirStepInsteadOfLooping) {
    // No node at all: neither a dead end nor a long arrow can be placed, and the picks draw
    // nothing from the random source.
    HandMaze empty;
    ProgramRandom().Seed(9);
    BoardRandom before = ProgramRandom();
    EXPECT_FALSE(empty.GenerateDeadEnd());
    EXPECT_EQ(std::memcmp(&before, &ProgramRandom(), sizeof before), 0);
    empty.MakeLongArrows();  // only the count is drawn
    BoardRandom countOnly = before;
    countOnly.Range(3);
    EXPECT_EQ(std::memcmp(&countOnly, &ProgramRandom(), sizeof before), 0);
    for (int32_t cell : empty.mGrid) EXPECT_EQ(cell, 0);

    // Only dead-end nodes: none of them may become a long arrow or grow a dead end.
    HandMaze deadEnds;
    deadEnds.Node(4, 6, Maze::kDeadEndNode);
    deadEnds.Link(3, 6, Maze::kLinkAcross);
    deadEnds.Link(5, 6, Maze::kLinkAcross);
    deadEnds.MakeLongArrows();
    EXPECT_EQ(deadEnds.Cell(4, 6), Maze::kNode | Maze::kDeadEndNode);
    EXPECT_FALSE(deadEnds.GenerateDeadEnd());
}

TEST(MazeIdol, AMissingIdolIsChosenFirst) {
    int32_t counts[Maze::kIdols] = {};
    for (int seed = 0; seed < 50; ++seed) {
        ProgramRandom().Seed(uint32_t(seed));
        // All missing: one of the first ten.
        std::fill(std::begin(counts), std::end(counts), 0);
        EXPECT_LT(Maze::ChooseIdol(counts), 10);
        // Only idol 7 of the first ten is missing.
        std::fill(std::begin(counts), std::end(counts), 2);
        counts[7] = 0;
        EXPECT_EQ(Maze::ChooseIdol(counts), 7);
        // Only the last one is missing.
        counts[7] = 1;
        counts[10] = 0;
        EXPECT_EQ(Maze::ChooseIdol(counts), 10);
    }
    // All found: any of the eleven.
    std::fill(std::begin(counts), std::end(counts), 1);
    std::set<int> chosen;
    for (int seed = 0; seed < 400; ++seed) {
        ProgramRandom().Seed(uint32_t(seed));
        chosen.insert(Maze::ChooseIdol(counts));
    }
    EXPECT_EQ(chosen.size(), 11u);
}

// ---- saved form ---------------------------------------------------------------------------------------

std::vector<uint8_t> Saved(const Maze& maze) {
    DataBuffer buffer;
    maze.Serialize(buffer);
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

bool LoadBytes(Maze& maze, const std::vector<uint8_t>& bytes) {
    DataBuffer buffer;
    buffer.SetData(bytes.data(), bytes.size());
    return maze.Load(buffer);
}

// A map in the middle of a journey: a few levels won, a treasure taken, scrolled.
void PlaySome(Maze& maze, uint32_t seed) {
    maze.Generate(seed);
    maze.GenerateButtons();
    maze.UnlockButtons();
    maze.mCurrentCell = Maze::Index(4, 0);
    maze.Unlock();
    for (int round = 0; round < 3; ++round)
        for (int cell = 0; cell < Maze::kCells; ++cell)
            if (maze.mNewlyRevealed[cell]) {
                maze.mCurrentCell = cell;
                maze.Unlock();
                break;
            }
    maze.Scroll(-100.0f);
    maze.Scroll(250.0f);
    maze.mPhase = 123.5f;
    maze.mCyclerPosition = 2.25f;
    maze.mFirstVisit = false;
}

TEST(MazeSavedForm, TheRecordHasItsExactSizeAndLayout) {
    Maze maze(nullptr, nullptr);
    maze.Generate(4);
    maze.mIdol = 6;
    std::vector<uint8_t> bytes = Saved(maze);
    ASSERT_EQ(bytes.size(), 3540u + 540 + 540 + 135 + 1 + 4 + 4 + 1 + 4 + 4 + 4 + 1);
    // The start cell's flags are the grid's 4 × 15th int; the idol sits 5 bytes from the end.
    EXPECT_EQ(bytes[4 * 15 * 4], 0x21);
    EXPECT_EQ(bytes[bytes.size() - 5], 6);
    EXPECT_EQ(bytes[bytes.size() - 1], 0);  // no current node
    maze.mCurrentCell = Maze::Index(4, 2);
    bytes = Saved(maze);
    ASSERT_EQ(bytes.size(), 4778u + 8);
    EXPECT_EQ(bytes[4778 - 1], 1);
    EXPECT_EQ(bytes[4778], 4);
    EXPECT_EQ(bytes[4782], 2);
}

TEST(MazeSavedForm, SaveLoadSaveGivesTheSameBytesAndTheSameButtons) {
    for (uint32_t seed : {1u, 2u, 99u, 4000u}) {
        Maze original(nullptr, nullptr);
        PlaySome(original, seed);
        // The 750 spare ints of the cell block are carried through as they are.
        original.mGrid[Maze::kCells + 10] = 0x12345678;
        original.mAlwaysZero = 0;
        std::vector<uint8_t> first = Saved(original);

        Maze loaded(nullptr, nullptr);
        ASSERT_TRUE(LoadBytes(loaded, first)) << seed;
        EXPECT_EQ(Saved(loaded), first) << seed;
        EXPECT_EQ(loaded.mGrid[Maze::kCells + 10], 0x12345678);
        EXPECT_FLOAT_EQ(loaded.mScroll, original.mScroll);
        EXPECT_EQ(loaded.Current(), original.Current());

        // The same enabled buttons, at the same places, and the same highlight list.
        ASSERT_EQ(loaded.Buttons().size(), original.Buttons().size());
        for (size_t i = 0; i < loaded.Buttons().size(); ++i) {
            const MazeButton* a = original.Buttons()[i];
            const MazeButton* b = loaded.Buttons()[i];
            EXPECT_EQ(a->mDisabled, b->mDisabled) << "lane " << a->mLane << " step " << a->mStep;
            EXPECT_FLOAT_EQ(a->mRect.y, b->mRect.y);
        }
        auto places = [](const Maze& m) {
            std::vector<std::pair<int, int>> list;
            for (const Button* b : m.Highlights()) {
                auto* node = static_cast<const MazeButton*>(b);
                list.emplace_back(node->mLane, node->mStep);
            }
            return list;
        };
        EXPECT_EQ(places(loaded), places(original));
        EXPECT_FALSE(places(loaded).empty());
    }
}

TEST(MazeSavedForm, AMapSavedBeforeAnyLevelShowsOnlyTheStart) {
    Maze fresh(nullptr, nullptr);
    fresh.Generate(31);
    fresh.GenerateButtons();
    fresh.UnlockButtons();
    Maze loaded(nullptr, nullptr);
    ASSERT_TRUE(LoadBytes(loaded, Saved(fresh)));
    EXPECT_TRUE(loaded.mFirstVisit);
    EXPECT_EQ(loaded.Current(), (Maze::Place{-1, -1}));
    int enabled = 0;
    for (const MazeButton* b : loaded.Buttons())
        if (!b->mDisabled) {
            ++enabled;
            EXPECT_EQ(b->mLane * 100 + b->mStep, 400);
        }
    EXPECT_EQ(enabled, 1);
    EXPECT_TRUE(loaded.IdolButton()->mDisabled);
}

TEST(MazeSavedForm, DamagedRecordsAreRefusedAndLeaveTheMapAsItWas) {
    Maze source(nullptr, nullptr);
    PlaySome(source, 12);
    source.mCurrentCell = Maze::Index(4, 0);
    const std::vector<uint8_t> good = Saved(source);
    auto putInt = [](std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); };
    auto putFloat = [](std::vector<uint8_t>& b, size_t at, float v) { std::memcpy(&b[at], &v, 4); };
    const size_t kIds = 3540, kKinds = 4080, kMarks = 4620, kTail = 4755;
    const int firstNode = Maze::Index(4, 0) * 4;
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"empty", [](auto& b) { b.clear(); }},
        {"cut in the grid", [](auto& b) { b.resize(1000); }},
        {"cut after the blocks", [&](auto& b) { b.resize(kTail); }},
        {"cut in the scalars", [&](auto& b) { b.resize(kTail + 9); }},
        {"cut before the current node", [&](auto& b) { b.resize(4778); }},
        {"cut in the current node", [&](auto& b) { b.resize(4782); }},
        {"unknown flag", [&](auto& b) { putInt(b, firstNode, 0x821); }},
        {"negative flags", [&](auto& b) { putInt(b, 7 * 4, -1); }},
        {"negative level id", [&](auto& b) { putInt(b, kIds + 8, -5); }},
        {"level id beyond world 10", [&](auto& b) { putInt(b, kIds + 8, 11000); }},
        {"treasure kind 5", [&](auto& b) { putInt(b, kKinds + 12, 5); }},
        {"treasure kind -1", [&](auto& b) { putInt(b, kKinds + 12, -1); }},
        {"highlight mark 2", [&](auto& b) { b[kMarks + 3] = 2; }},
        {"first-visit byte 7", [&](auto& b) { b[kTail] = 7; }},
        {"scroll not a number", [&](auto& b) { putFloat(b, kTail + 1, std::nanf("")); }},
        {"infinite phase", [&](auto& b) { putFloat(b, kTail + 10, INFINITY); }},
        {"idol 11", [&](auto& b) { putInt(b, kTail + 18, 11); }},
        {"idol -1", [&](auto& b) { putInt(b, kTail + 18, -1); }},
        {"has-current byte 2", [&](auto& b) { b[kTail + 22] = 2; }},
        {"current lane outside", [&](auto& b) { putInt(b, kTail + 23, 9); }},
        {"current step outside", [&](auto& b) { putInt(b, kTail + 27, -1); }},
        {"current cell not a node", [&](auto& b) { putInt(b, kTail + 27, 3); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        Maze maze(nullptr, nullptr);
        PlaySome(maze, 500);
        std::vector<uint8_t> before = Saved(maze);
        EXPECT_FALSE(LoadBytes(maze, bytes)) << c.what;
        EXPECT_EQ(Saved(maze), before) << c.what << ": the map changed";
        DataBuffer buffer;
        buffer.SetData(bytes.data(), bytes.size());
        std::string problem;
        EXPECT_FALSE(Maze::CheckRecord(buffer, &problem)) << c.what;
        EXPECT_FALSE(problem.empty()) << c.what;
    }
    // The undamaged record loads, and a scroll beyond the limits is brought back to them.
    std::vector<uint8_t> far = good;
    putFloat(far, kTail + 1, -5000.0f);
    Maze maze(nullptr, nullptr);
    ASSERT_TRUE(LoadBytes(maze, good));
    ASSERT_TRUE(LoadBytes(maze, far));
    EXPECT_FLOAT_EQ(maze.mScroll, Maze::kScrollBottom - 2.0f);
}

}  // namespace
