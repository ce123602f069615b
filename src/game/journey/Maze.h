// The journey map: a grid of 9 lanes by 15 steps holding levels, links, dead ends with treasures
// and long arrows, generated anew for each journey, played node by node from the top down to an
// idol at the bottom, and saved between levels. Relies on the program-wide random source, the
// game session (score, bonus slots, levels) and, when drawn, the application's pictures.
//
// Index: [grid] [generation] [buttons] [play] [won screen] [saved form] [fields]
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/controls/ColorCycler.h"
#include "engine/core/Gadget.h"
#include "engine/core/ObjectManager.h"

class Button;
class DataBuffer;
class GameApp;
class GameSession;
class Image;
class MazeButton;
class MazeView;
class Sprite;

class Maze : public Gadget {
public:
    // ---- [grid] ---------------------------------------------------------------------------------
    static constexpr int kLanes = 9;
    static constexpr int kSteps = 15;
    static constexpr int kCells = kLanes * kSteps;
    // The saved cell block keeps room for 885 ints; only the first kCells are the grid.
    static constexpr int kCellBlock = 885;
    static constexpr int kIdols = 11;
    static constexpr int kTreasureKinds = 5;
    // Level ids a map can hold: the main path reaches world 9 by its random part, and a dead end's
    // first node adds up to 999 more.
    static constexpr int kMaxLevelId = 10999;
    // The idol button's lane and step.
    static constexpr int kIdolPlace = 999;
    // Scroll offsets the map stays between (Scroll refuses to go further).
    static constexpr float kScrollTop = 100.0f;
    static constexpr float kScrollBottom = -848.0f;
    // Won screen length in updates.
    static constexpr float kWonLength = 200.0f;

    enum CellFlag : int32_t {
        kNode = 0x001,            // a level or a treasure
        kLinkDown = 0x002,        // link along the steps, made walking toward higher steps
        kLinkUp = 0x004,          // link along the steps, made walking toward lower steps
        kLinkAcross = 0x008,      // across the lanes: toward higher lanes on a path, lower in a dead end
        kLinkAcrossBack = 0x010,  // across the lanes, the other way
        kRevealed = 0x020,        // reachable: can be played, links drawn lit
        kDone = 0x040,            // level won or treasure taken
        kLongArrow = 0x080,       // a former node turned into a straight pass-through
        kDeadEndNode = 0x100,
        kDeadEndLink = 0x200,
        kTreasure = 0x400,        // the last node of a dead end
    };
    static constexpr int32_t kLinkBits = kLinkDown | kLinkUp | kLinkAcross | kLinkAcrossBack;
    static constexpr int32_t kAllFlags = 0x7FF;

    enum TreasureKind { kDouble = 0, kTriple = 1, kPoints50k = 2, kPoints100k = 3, kSecondChance = 4 };

    struct Place {
        int mLane = 0;
        int mStep = 0;
        bool operator==(const Place&) const = default;
    };

    // `session` and `app` may be null (tools, tests): then nothing is drawn, heard or paid. The
    // idol is chosen here from the profile's idol counts.
    Maze(GameSession* session, GameApp* app);
    ~Maze() override;

    static int Index(int lane, int step) { return lane * kSteps + step; }
    static bool InGrid(int lane, int step) { return lane >= 0 && lane < kLanes && step >= 0 && step < kSteps; }
    // Cell flags, level id, treasure kind and newly-revealed mark; 0 outside the grid.
    int32_t Cell(int lane, int step) const { return InGrid(lane, step) ? mGrid[Index(lane, step)] : 0; }
    int32_t LevelId(int lane, int step) const { return InGrid(lane, step) ? mLevelIds[Index(lane, step)] : 0; }
    int32_t TreasureKind(int lane, int step) const { return InGrid(lane, step) ? mTreasureKinds[Index(lane, step)] : 0; }
    bool NewlyRevealed(int lane, int step) const { return InGrid(lane, step) && mNewlyRevealed[Index(lane, step)] != 0; }

    // The idol index chosen from the eleven counts: a random one when every idol has been found,
    // otherwise a missing one (the first ten before the last).
    static int ChooseIdol(const int32_t counts[kIdols]);

    // ---- [generation] ---------------------------------------------------------------------------
    // A new map from a fresh seed (the application's map seed, else the clock), then the long
    // arrows and the thumbnails.
    void Generate();
    // The same from a given seed: the program-wide random source is seeded with it first.
    void Generate(uint32_t seed);
    // A walk across the lanes from a node: `count` nodes (its sign the direction, turned back into
    // the grid from lanes 0 and 8), stopping at lane 4 when asked, or at a node already there when
    // `hit` is given (which is then set). Returns where the walk ended.
    Place GenerateX(int lane, int step, int count, bool stopAtLane4, bool* hit);
    // A dead end of 2 to 4 nodes hung from a random node, ending in a treasure; false (and nothing
    // left behind) when it could not grow two nodes.
    bool GenerateDeadEnd();
    // Turns 1 to 3 straight nodes away from the edges into pass-through arrows.
    void MakeLongArrows();
    // The framed thumbnail of every node's level, from the cache or made and cached.
    void GenerateThumbnails();

    // ---- [buttons] ------------------------------------------------------------------------------
    // Rebuilds every node button and the idol button; placed with the scroll when asked.
    void GenerateButtons(bool withScroll = true);
    // Enables what can be played, makes the idol available once a node at step 14 is done, and
    // rebuilds the highlight list.
    void UnlockButtons();
    // The node button at a place; null when there is none.
    MazeButton* ButtonAt(int lane, int step) const;
    const std::vector<MazeButton*>& Buttons() const { return mButtons; }
    MazeButton* IdolButton() const { return mIdolButton; }
    const std::vector<Button*>& Highlights() const { return mHighlights; }

    // ---- [play] ---------------------------------------------------------------------------------
    void Initialize() override;
    void Update() override;
    // The map's cells with their flags, levels and treasures, where the player is, the scroll
    // and the idol.
    void HashState(StateHash& hash) const override;
    void Notify(intptr_t message) override;
    void MouseDown(float x, float y, int button) override;
    void MouseMove(float x, float y) override;
    // The arrows and Tab move between the nodes (the map scrolls to the chosen one), Enter or
    // Space (the controller's A) plays it; Escape (Start) opens the game menu.
    void KeyDown(int key) override;
    void DrawOverlay() override;
    // The level of the current node was won: it is done and every node linked to it revealed.
    void Unlock();
    // Moves the map: positive amounts move it up. Refused past the scroll limits.
    void Scroll(float amount);
    // What the session does on the way back from a level.
    void ReturnedFromLevel(bool won);
    // A revealed, not-done node (level or treasure) is played as a click on its button would.
    bool Play(int lane, int step);
    // The idol is taken as a click on it would (when it is available and not yet taken).
    bool TakeIdol();
    // The node whose level is being played, or {-1, -1}.
    Place Current() const;

    // ---- [won screen] ---------------------------------------------------------------------------
    void UpdateWon();
    // The idol's name and colour, hidden nodes, and the statistics of a completed journey.
    void MakeWonText();
    bool IsWonScreenDone() const { return mIdolTaken && mWonCounter >= kWonLength; }
    static const char* IdolName(int idol);
    static ColorCycler::Color IdolColor(int idol);

    // ---- [saved form] ---------------------------------------------------------------------------
    // Appends the map record.
    void Serialize(DataBuffer& buffer) const;
    // Reads a map record and rebuilds the map from it. A record cut short or holding values no
    // map can have (flags, level ids, treasure kinds, idol, current node) is refused: false, and
    // the map is left as it was (the buffer's cursor is then somewhere inside the record).
    bool Load(DataBuffer& buffer);
    // Checks a record at the buffer's cursor without changing anything (the cursor moves past it).
    static bool CheckRecord(DataBuffer& buffer, std::string* problem = nullptr);

    // ---- [fields] -------------------------------------------------------------------------------
    GameSession* mSession = nullptr;
    GameApp* mApp = nullptr;

    int32_t mGrid[kCellBlock] = {};
    int32_t mLevelIds[kCells] = {};
    int32_t mTreasureKinds[kCells] = {};
    uint8_t mNewlyRevealed[kCells] = {};
    // The level slots (cell indices) of the path being generated.
    std::vector<int> mPath;

    int32_t mIdol = 0;
    int mCurrentCell = -1;
    float mScroll = 0.0f;
    int32_t mAlwaysZero = 0;
    bool mFirstVisit = true;
    bool mAutoScroll = false;
    bool mIdolAvailable = false;
    bool mIdolTaken = false;
    bool mMouseMoved = false;
    float mPhase = 0.0f;           // +0.5 per update: the highlights' pulse
    float mCyclerPosition = 0.0f;  // +0.01 per update
    ColorCycler mCycler;

    float mWonCounter = 0.0f;
    float mWonSpin = 0.0f;   // +0.007 per update on the won screen
    float mWonGrow = 0.0f;   // +0.0027 per update on the won screen
    std::string mWonText;
    ColorCycler::Color mWonColor;

    // Words floating over the map where a treasure was taken.
    ObjectManager mTexts;

    // Thumbnails made by GenerateThumbnails (cache reads and files written), for the timings.
    int mThumbnailsLoaded = 0;
    int mThumbnailsMade = 0;

private:
    friend class MazeView;
    friend class MazeButton;

    void ClearGrid();
    // The view, the menu button and the two scroll buttons.
    void CreateControls();
    // Draws a node pick: lane random(9), step `first` + random(`span`), until it is a node and
    // not a dead-end node. Gives up (false) when no such cell exists in that range.
    bool PickNode(int firstStep, int stepSpan, int* lane, int* step);
    // The picture a node's button shows, and the thumbnail sprites by level code.
    const Sprite* NodePicture(int cell) const;
    void DeleteButtons();
    void PlaceButton(Gadget* button, float x, float y);
    // A treasure is paid at once.
    void TakeTreasure(int cell);
    // Pictures of the application by name (an empty sprite without one).
    const Sprite& Picture(const char* name) const;
    void DrawLinks(float offsetY) const;
    void DrawWon() const;
    // Where the upper sky picture starts for the scroll offset (the sky moves slower than the map).
    float SkyTop() const;

    MazeView* mView = nullptr;
    Button* mMenuButton = nullptr;
    Button* mScrollUp = nullptr;
    Button* mScrollDown = nullptr;
    std::vector<MazeButton*> mButtons;
    MazeButton* mIdolButton = nullptr;
    std::vector<Button*> mHighlights;
    // Framed thumbnails by cell (shared between nodes of the same level code).
    std::vector<std::shared_ptr<Sprite>> mThumbs;
    // The click that ends the won screen has been taken.
    bool mFinished = false;
    int mMusicCheck = 0;
    // With the application's target log on: the playable nodes in view, as last logged.
    void LogTargets();
    std::string mLoggedTargets;
};
