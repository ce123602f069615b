// Playing the journey map: unlocking around a won level, the five treasures, the idol, scrolling
// and its limits, the journey's way through level screens and back, the won screen with its
// statistics, and real clicks and held scroll buttons through the application's event queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>

#include "engine/core/AppTestDriver.h"
#include "engine/core/GadgetManager.h"
#include "board/BoardRandom.h"
#include "game/rules/BoardContainer.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/journey/Maze.h"
#include "game/journey/MazeButton.h"

namespace {

// A map with only what a test puts there.
struct HandMaze : Maze {
    explicit HandMaze(GameSession* session = nullptr) : Maze(session, nullptr) {}
    void Node(int lane, int step, int32_t extra = 0) { mGrid[Index(lane, step)] = kNode | extra; }
    void Link(int lane, int step, int32_t value) { mGrid[Index(lane, step)] = value; }
    void Treasure(int lane, int step, int kind) {
        Node(lane, step, kDeadEndNode | kTreasure | kRevealed);
        mTreasureKinds[Index(lane, step)] = kind;
    }
};

std::set<int> Revealed(const Maze& maze) {
    std::set<int> cells;
    for (int cell = 0; cell < Maze::kCells; ++cell)
        if (maze.mGrid[cell] & Maze::kRevealed) cells.insert(cell);
    return cells;
}

std::set<int> Fresh(const Maze& maze) {
    std::set<int> cells;
    for (int cell = 0; cell < Maze::kCells; ++cell)
        if (maze.mNewlyRevealed[cell]) cells.insert(cell);
    return cells;
}

TEST(MazePlay, AWonNodeRevealsEveryNodeLinkedToItAndNoOther) {
    HandMaze m;
    m.Node(4, 0, Maze::kRevealed);
    m.Link(4, 1, Maze::kLinkDown);
    m.Node(4, 2, Maze::kRevealed);
    // Across to lane 0 through a long arrow on lane 2; across to lane 6; down to step 4.
    m.Link(3, 2, Maze::kLinkAcrossBack);
    m.Link(2, 2, Maze::kLongArrow | Maze::kLinkAcross | Maze::kLinkAcrossBack);
    m.Link(1, 2, Maze::kLinkAcrossBack);
    m.Node(0, 2);
    m.Link(5, 2, Maze::kLinkAcross);
    m.Node(6, 2);
    m.Link(4, 3, Maze::kLinkDown);
    m.Node(4, 4);
    // Nodes beside the won one but not linked to it stay hidden.
    m.Node(6, 4);
    m.Node(4, 6);
    m.GenerateButtons();
    m.UnlockButtons();

    m.mCurrentCell = Maze::Index(4, 2);
    m.Unlock();
    EXPECT_TRUE(m.Cell(4, 2) & Maze::kDone);
    EXPECT_EQ(Fresh(m), (std::set<int>{Maze::Index(0, 2), Maze::Index(6, 2), Maze::Index(4, 4)}));
    for (auto [lane, step] : {std::pair{3, 2}, {2, 2}, {1, 2}, {0, 2}, {5, 2}, {6, 2}, {4, 3}, {4, 4}, {4, 1}})
        EXPECT_TRUE(m.Cell(lane, step) & Maze::kRevealed) << lane << "," << step;
    for (auto [lane, step] : {std::pair{6, 4}, {4, 6}, {4, 5}}) EXPECT_FALSE(m.Cell(lane, step) & Maze::kRevealed) << lane << "," << step;
    // The revealed nodes are the playable ones and lead the highlight list.
    for (const MazeButton* b : m.Buttons()) {
        bool open = (m.Cell(b->mLane, b->mStep) & Maze::kRevealed) && !(m.Cell(b->mLane, b->mStep) & Maze::kDone);
        EXPECT_EQ(!b->mDisabled, open) << b->mLane << "," << b->mStep;
    }
    EXPECT_EQ(m.Highlights().size(), 3u);

    // The next win forgets the last one's marks.
    m.mCurrentCell = Maze::Index(4, 4);
    m.Unlock();
    EXPECT_TRUE(Fresh(m).empty());  // (4, 2) was revealed already; nothing new below (4, 4)
}

TEST(MazePlay, TreasuresPayAtOnceAndRevealNothing) {
    struct Case {
        int kind;
        std::array<int32_t, 5> slots;
        std::array<int32_t, 5> slotsAfter;
        int scoreAfter;
        int chancesAfter;
    };
    const Case cases[] = {
        {Maze::kDouble, {0, 0, 0, 0, 0}, {2, 0, 0, 0, 0}, 1000, 0},
        {Maze::kTriple, {2, 0, 0, 0, 0}, {2, 3, 0, 0, 0}, 1000, 0},
        {Maze::kDouble, {2, 0, 3, 0, 0}, {2, 2, 3, 0, 0}, 1000, 0},
        // All five slots taken: nothing, but the treasure is taken all the same.
        {Maze::kTriple, {2, 3, 2, 3, 2}, {2, 3, 2, 3, 2}, 1000, 0},
        // Points go through the bonus slots like every other score.
        {Maze::kPoints50k, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, 51000, 0},
        {Maze::kPoints100k, {2, 3, 0, 0, 0}, {2, 3, 0, 0, 0}, 601000, 0},
        {Maze::kSecondChance, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, 1000, 1},
        // A kind from a damaged record counts as the nearest one.
        {9, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, 1000, 1},
        {-3, {0, 0, 0, 0, 0}, {2, 0, 0, 0, 0}, 1000, 0},
    };
    for (const Case& c : cases) {
        GameSession session(nullptr);
        session.mScore = 1000;
        std::copy(c.slots.begin(), c.slots.end(), session.mBonus);
        HandMaze m(&session);
        m.Node(4, 10, Maze::kRevealed | Maze::kDone);
        m.Link(5, 10, Maze::kDeadEndLink | Maze::kLinkAcrossBack);
        m.Treasure(6, 10, c.kind);
        // A node linked to the treasure on its far side stays hidden.
        m.Link(6, 11, Maze::kLinkDown);
        m.Node(6, 12);
        m.GenerateButtons();
        m.UnlockButtons();
        std::set<int> before = Revealed(m);

        EXPECT_TRUE(m.Play(6, 10)) << c.kind;
        EXPECT_TRUE(m.Cell(6, 10) & Maze::kDone) << c.kind;
        EXPECT_TRUE(std::equal(c.slotsAfter.begin(), c.slotsAfter.end(), session.mBonus)) << c.kind;
        EXPECT_EQ(session.mScore, c.scoreAfter) << c.kind;
        EXPECT_EQ(session.mSecondChances, c.chancesAfter) << c.kind;
        EXPECT_EQ(Revealed(m), before) << c.kind;
        EXPECT_TRUE(Fresh(m).empty());
        EXPECT_TRUE(m.ButtonAt(6, 10)->mDisabled);
        EXPECT_FALSE(session.IsSwitchPending());
        // A taken treasure pays once.
        EXPECT_FALSE(m.Play(6, 10));
    }
}

TEST(MazePlay, NodesThatAreLockedOrDoneDoNothing) {
    GameSession session(nullptr);
    HandMaze m(&session);
    m.Node(4, 0, Maze::kRevealed | Maze::kDone);
    m.Node(4, 2);
    m.Treasure(6, 4, Maze::kDouble);
    m.mGrid[Maze::Index(6, 4)] &= ~Maze::kRevealed;
    EXPECT_FALSE(m.Play(4, 0));
    EXPECT_FALSE(m.Play(4, 2));
    EXPECT_FALSE(m.Play(6, 4));
    EXPECT_FALSE(m.Play(4, 1));
    EXPECT_FALSE(m.Play(40, 1));
    EXPECT_EQ(session.mBonus[0], 0);
    EXPECT_FALSE(session.IsSwitchPending());
}

TEST(MazePlay, TheIdolWaitsForANodeAtStep14) {
    Maze m(nullptr, nullptr);
    m.Generate(21);
    m.GenerateButtons();
    // Every node but those of the last step won: the idol stays locked.
    for (int cell = 0; cell < Maze::kCells; ++cell)
        if ((m.mGrid[cell] & Maze::kNode) && cell % Maze::kSteps != 14) m.mGrid[cell] |= Maze::kRevealed | Maze::kDone;
    m.UnlockButtons();
    EXPECT_FALSE(m.mIdolAvailable);
    EXPECT_TRUE(m.IdolButton()->mDisabled);
    EXPECT_FALSE(m.TakeIdol());
    // A dead end reaching step 14 leads nowhere: its treasure taken there opens nothing.
    int deadEnd = -1;
    for (int lane = 0; lane < Maze::kLanes; ++lane)
        if (!(m.Cell(lane, 14) & Maze::kNode)) {
            m.mGrid[Maze::Index(lane, 14)] = Maze::kNode | Maze::kDeadEndNode | Maze::kTreasure | Maze::kRevealed;
            deadEnd = lane;
            break;
        }
    ASSERT_GE(deadEnd, 0);
    m.GenerateButtons();
    ASSERT_TRUE(m.Play(deadEnd, 14));
    EXPECT_FALSE(m.mIdolAvailable);
    EXPECT_TRUE(m.IdolButton()->mDisabled);
    // Winning (4, 14) makes it available and highlighted, even with other nodes left.
    m.mGrid[Maze::Index(2, 2)] &= ~Maze::kDone;
    m.mCurrentCell = Maze::Index(4, 14);
    m.Unlock();
    EXPECT_TRUE(m.mIdolAvailable);
    EXPECT_FALSE(m.IdolButton()->mDisabled);
    EXPECT_NE(std::find(m.Highlights().begin(), m.Highlights().end(), m.IdolButton()), m.Highlights().end());
    EXPECT_TRUE(m.TakeIdol());
    EXPECT_FALSE(m.TakeIdol());
    EXPECT_TRUE(m.IdolButton()->mHidden);
    for (const MazeButton* b : m.Buttons()) EXPECT_TRUE(b->mHidden);
}

TEST(MazePlay, ScrollingStopsAtItsLimitsAndMovesEveryNode) {
    Maze m(nullptr, nullptr);
    m.Generate(8);
    m.GenerateButtons();
    float startY = m.ButtonAt(4, 0)->mRect.y, idolY = m.IdolButton()->mRect.y;
    EXPECT_FLOAT_EQ(startY, 100.0f);
    // The idol stands below the last node, centred under it, without covering it.
    const MazeButton* last = m.ButtonAt(4, 14);
    EXPECT_GT(idolY, last->mRect.y + last->mRect.h);
    EXPECT_FLOAT_EQ(m.IdolButton()->mRect.x + m.IdolButton()->mRect.w * 0.5f, 400.0f);
    for (int i = 0; i < 1000; ++i) m.Scroll(-2.0f);
    // The last step allowed starts from 100: the map goes no further than 102.
    EXPECT_FLOAT_EQ(m.mScroll, 102.0f);
    EXPECT_FLOAT_EQ(m.ButtonAt(4, 0)->mRect.y, startY + 102.0f);
    for (int i = 0; i < 1000; ++i) m.Scroll(2.0f);
    EXPECT_FLOAT_EQ(m.mScroll, -850.0f);
    EXPECT_FLOAT_EQ(m.IdolButton()->mRect.y, idolY - 850.0f);
    // Scrolled to the bottom the idol is in view above the bottom border.
    EXPECT_LE(m.IdolButton()->mRect.y + m.IdolButton()->mRect.h, 550.0f);
}

// A journey session with a generated map, as the tool and the game run it.
struct Journey {
    explicit Journey(uint32_t seed, GameApp* app = nullptr) : session(app) {
        ProgramRandom().Seed(seed);
        map = new Maze(&session, nullptr);
        map->Generate(seed);
        map->mApp = app;
        session.mMap = map;
        session.AddChild(map);
        session.DoUpdate();
    }
    void Steps(int count) {
        for (int i = 0; i < count; ++i) session.DoUpdate();
    }
    bool MapShown() const { return session.Children()->Contains(map); }
    GameSession session;
    Maze* map = nullptr;
};

TEST(MazePlay, AJourneyGoesFromTheMapToALevelAndBack) {
    Journey j(3);
    Maze& m = *j.map;
    ASSERT_TRUE(j.MapShown());
    EXPECT_TRUE(m.mFirstVisit);

    // The start node: the level starts once the screen is covered, the map waits aside.
    ASSERT_TRUE(m.Play(4, 0));
    EXPECT_TRUE(j.session.IsSwitchPending());
    EXPECT_FALSE(m.Play(4, 0)) << "a second click while the level is on its way";
    j.Steps(GameSession::kSwitchDelay);
    ASSERT_NE(j.session.mBoard, nullptr);
    EXPECT_EQ(j.session.mBoard->mLevelId, 0);
    EXPECT_FALSE(j.MapShown());
    EXPECT_EQ(m.Current(), (Maze::Place{4, 0}));

    // Won: back on the map, the node done, its neighbours revealed and scrolled to.
    j.session.mScore = 5000;
    j.session.LevelWon();
    j.Steps(GameSession::kSwitchDelay);
    EXPECT_EQ(j.session.mBoard, nullptr);
    ASSERT_TRUE(j.MapShown());
    EXPECT_TRUE(m.Cell(4, 0) & Maze::kDone);
    EXPECT_FALSE(m.mFirstVisit);
    EXPECT_TRUE(m.mAutoScroll);
    ASSERT_EQ(Fresh(m), (std::set<int>{Maze::Index(4, 2)}));

    // Lost: the score of the level's start comes back and nothing on the map changes; the
    // locked nodes stay locked although the map came back into the screen tree.
    std::set<int> revealed = Revealed(m);
    ASSERT_TRUE(m.Play(4, 2));
    j.Steps(GameSession::kSwitchDelay);
    ASSERT_NE(j.session.mBoard, nullptr);
    j.session.mScore += 777;
    j.session.GameOver();
    j.Steps(GameSession::kSwitchDelay);
    ASSERT_TRUE(j.MapShown());
    EXPECT_EQ(j.session.mScore, 5000);
    EXPECT_EQ(j.session.mLevelsLost, 1);
    EXPECT_EQ(Revealed(m), revealed);
    EXPECT_FALSE(m.Cell(4, 2) & Maze::kDone);
    for (const MazeButton* b : m.Buttons())
        EXPECT_EQ(b->mDisabled, !(b->mLane == 4 && b->mStep == 2)) << b->mLane << "," << b->mStep;
    EXPECT_TRUE(m.IdolButton()->mDisabled);
}

TEST(MazePlay, AutoScrollBringsTheHighlightedNodesIntoView) {
    Journey j(5);
    Maze& m = *j.map;
    // A node far down the map becomes the only highlight.
    MazeButton* target = m.ButtonAt(4, 14);
    ASSERT_NE(target, nullptr);
    m.mNewlyRevealed[Maze::Index(4, 14)] = 1;
    m.UnlockButtons();
    m.mAutoScroll = true;
    j.Steps(1000);
    EXPECT_TRUE(m.Highlights().empty());
    EXPECT_GE(target->mRect.y, 120.0f - 2.0f);
    EXPECT_LE(target->mRect.y + target->mRect.h, 550.0f);
}

TEST(MazePlay, TheWonScreenCountsTheJourneyAndEndsWithAClick) {
    struct Case {
        int32_t fewestMoves, fastest, fewestLost;
        int32_t moves, time, lost;
        int32_t fewestMovesAfter, fastestAfter, fewestLostAfter;
    };
    const Case cases[] = {
        {0, 0, -1, 900, 60000, 2, 900, 60000, 2},        // the first journey sets all three
        {800, 50000, 1, 900, 60000, 2, 800, 50000, 1},   // a worse one changes nothing
        {950, 70000, 3, 900, 60000, 0, 900, 60000, 0},   // a better one replaces them
    };
    for (const Case& c : cases) {
        GameApp app;
        app.mStatistics.mFewestMoves = c.fewestMoves;
        app.mStatistics.mFastestJourney = c.fastest;
        app.mStatistics.mFewestLostLevels = c.fewestLost;
        Journey j(6, &app);
        Maze& m = *j.map;
        j.session.mMoves = c.moves;
        j.session.mJourneyTime = c.time;
        j.session.mLevelsLost = c.lost;
        m.mIdolAvailable = true;
        int idol = m.mIdol;
        ASSERT_TRUE(m.TakeIdol());
        EXPECT_EQ(app.mStatistics.mIdolCounts[idol], 1);
        EXPECT_EQ(app.mStatistics.mJourneysCompleted, 1);
        EXPECT_EQ(app.mStatistics.mFewestMoves, c.fewestMovesAfter);
        EXPECT_EQ(app.mStatistics.mFastestJourney, c.fastestAfter);
        EXPECT_EQ(app.mStatistics.mFewestLostLevels, c.fewestLostAfter);
        EXPECT_EQ(m.mWonText, Maze::IdolName(idol));
        EXPECT_EQ(m.mWonColor, Maze::IdolColor(idol));

        // 200 updates of the idol rising; a click before then does nothing.
        j.Steps(199);
        m.MouseDown(400, 300, -1);
        EXPECT_FALSE(j.session.IsSwitchPending());
        j.Steps(5);
        EXPECT_TRUE(m.IsWonScreenDone());
        EXPECT_NEAR(m.mWonSpin, 1.4f, 1e-3f);
        EXPECT_NEAR(m.mWonGrow, 0.54f, 1e-3f);
        m.MouseDown(400, 300, -1);
        EXPECT_TRUE(j.session.IsSwitchPending());
    }
    EXPECT_STREQ(Maze::IdolName(0), "The Lost Idol of Pell");
    EXPECT_STREQ(Maze::IdolName(10), "The Pillar of Quorl");
    EXPECT_EQ(Maze::IdolColor(1), (ColorCycler::Color{1.0f, 0.6f, 0.0f, 1.0f}));
}

TEST(MazePlay, ClicksAndHeldScrollButtonsThroughTheEventQueue) {
    AppTestDriver<> drive;
    ProgramRandom().Seed(40);
    auto* session = new GameSession(nullptr);
    drive.app->mGadgets.Add(session);
    drive.Step(2);
    Maze* m = session->GetMap();
    ASSERT_NE(m, nullptr);
    // A new map starts scrolled down by 100: the start node at (335, 200).
    EXPECT_FLOAT_EQ(m->mScroll, 100.0f);
    MazeButton* start = m->ButtonAt(4, 0);
    ASSERT_FLOAT_EQ(start->mRect.y, 200.0f);

    // Held for 75 updates the scroll-down button moves the map 150 pixels and stops auto-scroll.
    m->mAutoScroll = true;
    drive.MoveTo(780, 495);
    drive.Press(780, 495);
    drive.Step(75);
    drive.Release(780, 495);
    drive.Step();
    EXPECT_NEAR(m->mScroll, -50.0f, 2.0f);
    EXPECT_FALSE(m->mAutoScroll);
    float y = start->mRect.y;
    ASSERT_LT(y, 90.0f);

    // Behind the top border the start node takes no click; in the open it starts the level.
    drive.MoveTo(400, 95);
    drive.Press(400, 95);
    drive.Release(400, 95);
    drive.Step();
    EXPECT_FALSE(session->IsSwitchPending());
    drive.MoveTo(400, int(y) + 110);
    drive.Press(400, int(y) + 110);
    drive.Release(400, int(y) + 110);
    drive.Step();
    EXPECT_TRUE(session->IsSwitchPending());
    drive.Step(GameSession::kSwitchDelay);
    EXPECT_NE(session->mBoard, nullptr);
}

}  // namespace
