// The journey map's grid: generation (main path, branch, dead ends, long arrows, level ids and the
// idol) and the saved record. The order of the random draws below is part of the game: a seed
// names a map, so a draw must never be added, dropped or moved.
//
// Index: [life] [generation] [saved form]
#include "game/journey/Maze.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/controls/Button.h"
#include "engine/core/StateHash.h"
#include "board/BoardRandom.h"
#include "game/GameApp.h"
#include "game/journey/MazeButton.h"
#include "persistence/DataBuffer.h"

namespace {

BoardRandom& Random() { return ProgramRandom(); }

// A pick of random cells gives up after this many draws. With one eligible cell among the 130
// the picks can reach, the chance of missing it this often is below 1e-300, so no map whose
// pick can succeed is ever changed by the bound.
constexpr int kMaxPicks = 100000;

// The fixed part of the record after the four blocks: first visit, scroll, the zero int, idol
// available, phase, cycler position, idol, has-current.
constexpr int kScalarBytes = 1 + 4 + 4 + 1 + 4 + 4 + 4 + 1;

int32_t ReadLittleInt(const uint8_t* bytes) {
    return static_cast<int32_t>(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                uint32_t(bytes[3]) << 24);
}

}  // namespace

// ---- [life] ---------------------------------------------------------------------------------------

Maze::Maze(GameSession* session, GameApp* app) : mSession(session), mApp(app) {
    mName = "Maze";
    SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    const float pastels[6][3] = {{1, .75f, .75f}, {1, 1, .75f}, {.75f, 1, .75f},
                                 {.75f, 1, 1},    {.75f, .75f, 1}, {1, .75f, 1}};
    for (const auto& c : pastels) mCycler.Add(c[0], c[1], c[2], 1.0f);
    int32_t noCounts[kIdols] = {};
    mIdol = ChooseIdol(mApp ? mApp->mStatistics.mIdolCounts : noCounts);
    mThumbs.resize(kCells);
    CreateControls();
}

// The buttons and the view are children and go with the gadget tree.
Maze::~Maze() = default;

int Maze::ChooseIdol(const int32_t counts[kIdols]) {
    bool firstTenFound = true;
    for (int i = 0; i < kIdols - 1; ++i)
        if (counts[i] <= 0) firstTenFound = false;
    if (firstTenFound && counts[kIdols - 1] > 0) return Random().Range(kIdols);
    if (!firstTenFound) {
        // One of the first ten is missing, so each draw finds one with a chance of at least 1/10.
        for (;;) {
            int idol = Random().Range(kIdols - 1);
            if (counts[idol] <= 0) return idol;
        }
    }
    return kIdols - 1;
}

void Maze::ClearGrid() {
    std::fill(std::begin(mGrid), std::end(mGrid), 0);
    std::fill(std::begin(mLevelIds), std::end(mLevelIds), 0);
    std::fill(std::begin(mTreasureKinds), std::end(mTreasureKinds), 0);
    std::fill(std::begin(mNewlyRevealed), std::end(mNewlyRevealed), 0);
    mPath.clear();
}

// ---- [generation] -----------------------------------------------------------------------------------

void Maze::Generate() {
    // Without an application (tools, tests) the seeded program-wide source names the map.
    Generate(mApp ? mApp->NextMapSeed() : static_cast<uint32_t>(Random().Next()));
}

void Maze::Generate(uint32_t seed) {
    BoardRandom& random = Random();
    random.Seed(seed);
    ClearGrid();

    // 1. The start.
    mGrid[Index(4, 0)] = kNode | kRevealed;
    mPath.push_back(Index(4, 0));

    // 2. The main path: five walks across the lanes at steps 2 to 10, each a step below the last,
    // then a walk back to lane 4 at step 12 and the final node at step 14.
    auto linkDown = [this](const Place& p) { mGrid[Index(p.mLane, p.mStep + 1)] = kLinkDown; };
    mGrid[Index(4, 1)] = kLinkDown;
    int sign = random.Sign(1);
    Place at = GenerateX(4, 2, random.Range(4) * sign, false, nullptr);
    linkDown(at);
    at = GenerateX(at.mLane, at.mStep + 2, random.Range(4) * -sign, false, nullptr);
    while (at.mStep < 10) {
        linkDown(at);
        int count = random.Range(4);
        count *= random.Sign(1);
        at = GenerateX(at.mLane, at.mStep + 2, count, false, nullptr);
    }
    linkDown(at);
    at = GenerateX(at.mLane, at.mStep + 2, (4 - at.mLane) * 10, true, nullptr);
    linkDown(at);
    int final = Index(at.mLane, at.mStep + 2);
    mGrid[final] |= kNode;
    mPath.push_back(final);

    // 3. Level ids of the main path: the first level is level 0, then the worlds rise evenly.
    {
        int n = static_cast<int>(mPath.size());
        float t = 9.0f / static_cast<float>(n);
        for (int i = 0; i < n; ++i) {
            int id = static_cast<int>(static_cast<float>(i) * t * 1000.0f);
            if (i > 0) id += random.Range(1000);
            mLevelIds[mPath[i]] = id;
        }
    }

    // 4. The branch, from the outermost node of a column at step 2, 4 or 6 toward the side with
    // more room, down the map until it meets a node or reaches step 12.
    random.Range(2);
    int column = 2, top = 4, bottom = 4;
    bool found = false;
    for (int pick = 0; pick < kMaxPicks && !found; ++pick) {
        column = 2 + 2 * random.Range(3);
        top = bottom = -1;
        for (int lane = 0; lane < kLanes; ++lane)
            if (mGrid[Index(lane, column)] & kNode) {
                if (top < 0) top = lane;
                bottom = lane;
            }
        found = top >= 0 && !(top < 1 && 8 - bottom < 1);
    }
    if (found) {
        int startLane = top >= 8 - bottom ? bottom : top;
        int direction = top >= 8 - bottom ? 1 : -1;
        mPath.clear();
        bool hit = false;
        at = GenerateX(startLane, column, (random.Range(6) + 2) * direction, false, &hit);
        while (at.mStep < 12 && !hit) {
            linkDown(at);
            int step = at.mStep + 2;
            int count = random.Range(4);
            count *= random.Sign(1);
            bool stopAtLane4 = false;
            if (step > 9) {
                count = std::abs(count) * 10;
                if (at.mLane > 3) count = -count;
                stopAtLane4 = true;
            }
            at = GenerateX(at.mLane, step, count, stopAtLane4, &hit);
        }

        // 5. Branch level ids: evenly from the world of its first node to that of its last.
        int n = static_cast<int>(mPath.size());
        int w0 = mLevelIds[mPath.front()] / 1000, w1 = mLevelIds[mPath.back()] / 1000;
        float t = static_cast<float>(w1 - w0) / static_cast<float>(n);
        for (int i = 0; i < n; ++i) {
            int32_t& id = mLevelIds[mPath[i]];
            if (id == 0) id = static_cast<int>((static_cast<float>(w0) + static_cast<float>(i) * t) * 1000.0f);
        }
    }

    // 6. Two or three dead ends.
    int deadEnds = 2 + random.Range(2);
    for (int i = 0; i < deadEnds; ++i)
        for (int attempt = 0; attempt < 101; ++attempt)
            if (GenerateDeadEnd()) break;

    // 7.
    MakeLongArrows();
    GenerateThumbnails();
}

Maze::Place Maze::GenerateX(int lane, int step, int count, bool stopAtLane4, bool* hit) {
    if (lane >= 8)
        count = -std::abs(count);
    else if (lane <= 0)
        count = std::abs(count);
    int d = count < 0 ? -1 : 1;
    int n = std::abs(count);
    // Walks only ever start inside the grid; a hostile caller gets the start back.
    if (!InGrid(lane, step)) return Place{lane, step};
    for (bool first = true;; first = false) {
        int cell = Index(lane, step);
        if (hit && !first && (mGrid[cell] & kNode)) {
            *hit = true;
            break;
        }
        mGrid[cell] |= kNode;
        --n;
        mPath.push_back(cell);
        if ((stopAtLane4 && lane == 4) || lane + 2 * d < 0 || lane + 2 * d >= kLanes || n <= 0) break;
        mGrid[Index(lane + d, step)] = d > 0 ? kLinkAcross : kLinkAcrossBack;
        lane += 2 * d;
    }
    return Place{lane, step};
}

bool Maze::PickNode(int firstStep, int stepSpan, int* lane, int* step) {
    auto eligible = [this](int l, int s) {
        int32_t cell = Cell(l, s);
        return (cell & kNode) && !(cell & kDeadEndNode);
    };
    // A pick that cannot succeed draws nothing and ends the caller's step.
    bool any = false;
    for (int l = 0; l < kLanes && !any; ++l)
        for (int s = firstStep; s < firstStep + stepSpan && !any; ++s) any = eligible(l, s);
    if (!any) return false;
    for (int pick = 0; pick < kMaxPicks; ++pick) {
        *lane = Random().Range(kLanes);
        *step = firstStep + Random().Range(stepSpan);
        if (eligible(*lane, *step)) return true;
    }
    return false;
}

bool Maze::GenerateDeadEnd() {
    BoardRandom& random = Random();
    int lane = 0, step = 0;
    if (!PickNode(3, 10, &lane, &step)) return false;
    int base = mLevelIds[Index(lane, step)];
    int length = 2 + random.Range(2);

    struct Direction {
        int mLane, mStep;
        int32_t mLink;
    };
    // Never toward lower steps: a dead end only grows down or sideways.
    Direction directions[3] = {{-1, 0, kDeadEndLink | kLinkAcross},
                               {1, 0, kDeadEndLink | kLinkAcrossBack},
                               {0, 1, kDeadEndLink | kLinkDown}};
    constexpr int32_t kTaken = kNode | kLinkBits;
    std::vector<int> made;
    int nodes = 0;
    for (;;) {
        for (int i = 0; i < 3; ++i) std::swap(directions[i], directions[random.Range(3)]);
        const Direction* chosen = nullptr;
        for (const Direction& d : directions) {
            int linkLane = lane + d.mLane, linkStep = step + d.mStep;
            int nodeLane = lane + 2 * d.mLane, nodeStep = step + 2 * d.mStep;
            if (!InGrid(linkLane, linkStep) || !InGrid(nodeLane, nodeStep)) continue;
            if ((Cell(linkLane, linkStep) & kTaken) || (Cell(nodeLane, nodeStep) & kTaken)) continue;
            chosen = &d;
            break;
        }
        if (!chosen) break;
        int link = Index(lane + chosen->mLane, step + chosen->mStep);
        lane += 2 * chosen->mLane;
        step += 2 * chosen->mStep;
        int node = Index(lane, step);
        mGrid[node] = kDeadEndNode | kNode;
        mGrid[link] = chosen->mLink;
        mLevelIds[node] = base + random.Range(1000);
        base = std::min(base + 1000, 8000);
        made.push_back(link);
        made.push_back(node);
        ++nodes;
        if (nodes > length) break;
    }
    if (nodes < 2) {
        for (int cell : made) mGrid[cell] = mLevelIds[cell] = 0;
        return false;
    }
    int last = made.back();
    mGrid[last] |= kTreasure;
    mTreasureKinds[last] = random.Range(kTreasureKinds);
    return true;
}

void Maze::MakeLongArrows() {
    int arrows = 1 + Random().Range(3);
    for (int i = 0; i < arrows; ++i) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            int lane = 0, step = 0;
            if (!PickNode(1, 13, &lane, &step)) break;
            if (lane < 1 || lane > 7) continue;
            auto linked = [this](int l, int s) { return (Cell(l, s) & kLinkBits) != 0; };
            bool acrossBoth = linked(lane - 1, step) && linked(lane + 1, step);
            bool acrossNone = !linked(lane - 1, step) && !linked(lane + 1, step);
            bool alongBoth = linked(lane, step - 1) && linked(lane, step + 1);
            bool alongNone = !linked(lane, step - 1) && !linked(lane, step + 1);
            int32_t& cell = mGrid[Index(lane, step)];
            if (acrossBoth && alongNone) {
                cell = (cell & ~kNode) | kLongArrow | kLinkAcross | kLinkAcrossBack;
                break;
            }
            if (alongBoth && acrossNone) {
                cell = (cell & ~kNode) | kLongArrow | kLinkDown | kLinkUp;
                break;
            }
        }
    }
}

// ---- [saved form] -----------------------------------------------------------------------------------

void Maze::Serialize(DataBuffer& buffer) const {
    for (int32_t value : mGrid) buffer.WriteInt(value);
    for (int32_t value : mLevelIds) buffer.WriteInt(value);
    for (int32_t value : mTreasureKinds) buffer.WriteInt(value);
    buffer.WriteBytes(mNewlyRevealed, kCells);
    buffer.WriteBool(mFirstVisit);
    buffer.WriteFloat(mScroll);
    buffer.WriteInt(mAlwaysZero);
    buffer.WriteBool(mIdolAvailable);
    buffer.WriteFloat(mPhase);
    buffer.WriteFloat(mCyclerPosition);
    buffer.WriteInt(mIdol);
    Place current = Current();
    buffer.WriteBool(mCurrentCell >= 0);
    if (mCurrentCell >= 0) {
        buffer.WriteInt(current.mLane);
        buffer.WriteInt(current.mStep);
    }
}

namespace {

// One map record as read, before it is checked and taken over.
struct MazeRecord {
    int32_t mGrid[Maze::kCellBlock];
    int32_t mLevelIds[Maze::kCells];
    int32_t mTreasureKinds[Maze::kCells];
    uint8_t mNewlyRevealed[Maze::kCells];
    uint8_t mFirstVisit = 0, mIdolAvailable = 0, mHasCurrent = 0;
    float mScroll = 0.0f, mPhase = 0.0f, mCyclerPosition = 0.0f;
    int32_t mAlwaysZero = 0, mIdol = 0, mCurrentLane = -1, mCurrentStep = -1;
};

bool Refuse(std::string* problem, const char* text) {
    if (problem) *problem = text;
    return false;
}

void ReadInts(DataBuffer& buffer, int32_t* out, int count) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * 4);
    buffer.ReadBytes(bytes.data(), count * 4);
    for (int i = 0; i < count; ++i) out[i] = ReadLittleInt(&bytes[static_cast<size_t>(i) * 4]);
}

// Reads and checks one record; false (with the reason) for anything no map can hold.
bool ReadRecord(DataBuffer& buffer, MazeRecord& r, std::string* problem) {
    ReadInts(buffer, r.mGrid, Maze::kCellBlock);
    ReadInts(buffer, r.mLevelIds, Maze::kCells);
    ReadInts(buffer, r.mTreasureKinds, Maze::kCells);
    buffer.ReadBytes(r.mNewlyRevealed, Maze::kCells);
    if (buffer.Error() || buffer.Remaining() < kScalarBytes) return Refuse(problem, "the map record is cut short");
    r.mFirstVisit = buffer.ReadByte();
    r.mScroll = buffer.ReadFloat();
    r.mAlwaysZero = buffer.ReadInt();
    r.mIdolAvailable = buffer.ReadByte();
    r.mPhase = buffer.ReadFloat();
    r.mCyclerPosition = buffer.ReadFloat();
    r.mIdol = buffer.ReadInt();
    r.mHasCurrent = buffer.ReadByte();
    if (r.mHasCurrent == 1) {
        if (buffer.Remaining() < 8) return Refuse(problem, "the map record is cut short");
        r.mCurrentLane = buffer.ReadInt();
        r.mCurrentStep = buffer.ReadInt();
    }
    if (buffer.Error()) return Refuse(problem, "the map record is cut short");

    for (int i = 0; i < Maze::kCells; ++i) {
        if (r.mGrid[i] < 0 || r.mGrid[i] > Maze::kAllFlags) return Refuse(problem, "a map cell holds unknown flags");
        if (r.mLevelIds[i] < 0 || r.mLevelIds[i] > Maze::kMaxLevelId) return Refuse(problem, "a map level id is out of range");
        if (r.mTreasureKinds[i] < 0 || r.mTreasureKinds[i] >= Maze::kTreasureKinds)
            return Refuse(problem, "a map treasure kind is out of range");
        if (r.mNewlyRevealed[i] > 1) return Refuse(problem, "a map highlight mark is not 0 or 1");
    }
    if (r.mFirstVisit > 1 || r.mIdolAvailable > 1 || r.mHasCurrent > 1) return Refuse(problem, "a map flag is not 0 or 1");
    if (!std::isfinite(r.mScroll) || !std::isfinite(r.mPhase) || !std::isfinite(r.mCyclerPosition))
        return Refuse(problem, "a map position is not a number");
    if (r.mIdol < 0 || r.mIdol >= Maze::kIdols) return Refuse(problem, "the map's idol is out of range");
    if (r.mHasCurrent) {
        if (!Maze::InGrid(r.mCurrentLane, r.mCurrentStep)) return Refuse(problem, "the map's current node is outside the map");
        if (!(r.mGrid[Maze::Index(r.mCurrentLane, r.mCurrentStep)] & Maze::kNode))
            return Refuse(problem, "the map's current node is not a node");
    }
    return true;
}

}  // namespace

bool Maze::CheckRecord(DataBuffer& buffer, std::string* problem) {
    auto record = std::make_unique<MazeRecord>();
    return ReadRecord(buffer, *record, problem);
}

bool Maze::Load(DataBuffer& buffer) {
    auto record = std::make_unique<MazeRecord>();
    std::string problem;
    if (!ReadRecord(buffer, *record, &problem)) return false;
    const MazeRecord& r = *record;

    // 1. The record becomes the map.
    mAutoScroll = true;
    std::copy(std::begin(r.mGrid), std::end(r.mGrid), mGrid);
    std::copy(std::begin(r.mLevelIds), std::end(r.mLevelIds), mLevelIds);
    std::copy(std::begin(r.mTreasureKinds), std::end(r.mTreasureKinds), mTreasureKinds);
    std::copy(std::begin(r.mNewlyRevealed), std::end(r.mNewlyRevealed), mNewlyRevealed);
    mFirstVisit = r.mFirstVisit != 0;
    // The map never scrolls further than a step past its limits.
    mScroll = std::clamp(r.mScroll, kScrollBottom - 2.0f, kScrollTop + 2.0f);
    mAlwaysZero = r.mAlwaysZero;
    mIdolAvailable = r.mIdolAvailable != 0;
    mPhase = r.mPhase;
    mCyclerPosition = r.mCyclerPosition;
    mIdol = r.mIdol;
    mIdolTaken = false;
    mWonCounter = mWonSpin = mWonGrow = 0.0f;
    mWonText.clear();
    mPath.clear();

    // 2. Thumbnails and buttons, placed without the scroll.
    GenerateThumbnails();
    GenerateButtons(false);
    // 3. The node being played.
    mCurrentCell = r.mHasCurrent ? Index(r.mCurrentLane, r.mCurrentStep) : -1;
    // 4.
    UnlockButtons();
    // 5. The map shows the scroll position it was saved with.
    for (MazeButton* button : mButtons) button->mRect.y += mScroll;
    if (mIdolButton) mIdolButton->mRect.y += mScroll;
    return true;
}

// ---- [state digest] -------------------------------------------------------------------------------

void Maze::HashState(StateHash& hash) const {
    for (int32_t cell : mGrid) hash.AddInt(cell);
    for (int cell = 0; cell < kCells; ++cell) {
        hash.AddInt(mLevelIds[cell]);
        hash.AddInt(mTreasureKinds[cell]);
        hash.AddBool(mNewlyRevealed[cell] != 0);
    }
    hash.AddInt(mIdol);
    hash.AddInt(mCurrentCell);
    hash.AddFloat(mScroll);
    hash.AddBool(mIdolAvailable);
    hash.AddBool(mIdolTaken);
}
