// The slide board: a grid of pieces laid out from a layout string, whose rows and columns the
// player drags; lines wrap, matches of three or more are removed, pieces fall and refill, and an
// autopilot can play by itself. Game rules derive from it and take control through the callbacks.
//
// Index: [callbacks] [mouse] [keyboard] [board queries] [dragging] [matches] [falling]
//        [generation] [autopilot] [saved form] [fields]
#pragma once

#include <string>
#include <vector>

#include "board/BoardRandom.h"
#include "engine/core/Gadget.h"
#include "engine/core/List.h"

class DataBuffer;
class RecordReader;
class SlideLine;
class SlideObject;

// A move found by the search: a point on the piece to drag and the point to drag it to.
struct SlideMove {
    float mFromX = 0.0f, mFromY = 0.0f;
    float mToX = 0.0f, mToY = 0.0f;
};

class SlideBoard : public Gadget {
public:
    // The grid arrays hold 150 by 150 entries, indexed column first.
    static constexpr int kGridSize = 150;

    // A list of match groups, each a List of pieces; frees the groups (not the pieces).
    class Groups {
    public:
        Groups() = default;
        ~Groups() { Clear(); }
        Groups(const Groups&) = delete;
        Groups& operator=(const Groups&) = delete;
        void Clear();
        List mList;
    };

    SlideBoard();
    // Destroys every piece (live and dying) and every line.
    ~SlideBoard() override;

    // One update step: autopilot, snapback, dying pieces, falling pieces, ready-for-next-move.
    void Update() override;
    // The pieces in list order, then the paused notice.
    void Draw() override;
    // Every piece in list order, the pieces still vanishing, and whether a line snaps back.
    void HashState(StateHash& hash) const override;
    // The default board: a five by five square, 60 pixels on its longer side.
    void Initialize() override;

    // ---- [mouse] -----------------------------------------------------------------------------------
    void MouseDown(float x, float y, int button) override;
    void MouseUp(float x, float y, int button) override;
    void FinishDrag(float x, float y) override;
    void StartDrag(float x, float y) override;
    void Drag(float x, float y) override;
    bool CancelDrag() override;

    virtual void FinishDragPlayer(float x, float y);
    virtual void FinishDragRobo(float x, float y);
    virtual void StartDragPlayer(float x, float y);
    virtual void StartDragRobo(float x, float y);

    // ---- [keyboard] --------------------------------------------------------------------------------
    // A cursor over the cells: the arrows move it; Shift with an arrow, or an arrow after Space
    // (or Enter, or the controller's A) picked the piece up, slides the line under it one cell.
    // The slide is a drag like the mouse's: the same press, drag start (and its refusals), drag
    // steps over a few updates, and release with its snap, matches and snapback.
    // The controller's B puts a picked-up piece down. The first key only shows the cursor.
    void KeyDown(int key) override;
    // Shows the cursor (on a cell of the board) without moving it.
    void ShowKeyCursor();
    // Moves the cursor by whole cells, wrapping round like the lines and skipping cells the
    // board's shape leaves out.
    void MoveKeyCursor(int columns, int rows);
    // Starts the one-cell slide of the line under the cursor (`columns` or `rows` is -1 or 1);
    // false when the board refused it as it would refuse a drag.
    bool StartKeySlide(int columns, int rows);
    // Plays the rest of a keyboard slide at once (the mouse, a menu or the autopilot want the
    // board); nothing when none is under way.
    void FinishKeySlide();
    bool IsKeySliding() const { return mKeySliding; }
    // The cursor's frame (and, for a picked-up piece, its arrows) in board coordinates.
    void DrawKeyCursor();

    // ---- [callbacks] -------------------------------------------------------------------------------
    // A large piece refused a drag step at a line end.
    virtual void EdgeBlockedCallback(SlideObject* piece) { (void)piece; }
    // A locked piece refused a drag step.
    virtual void LockedBlockedCallback(SlideObject* piece) { (void)piece; }
    // After every finished drag, with the groups found (empty when the line snapped back).
    virtual void EndTurnCallback(List& groups) { (void)groups; }
    // Once per removal pass, after its pieces are off the board.
    virtual void MatchCallback(List& groups) { (void)groups; }
    // Once per group, before its pieces are removed.
    virtual void GroupMatchCallback(List& group) { (void)group; }
    // Once per piece of each group (the piece is already marked taken off).
    virtual void RemoveObjectCallback(SlideObject* piece) { (void)piece; }
    // A large piece landed and crushed the pieces under it.
    virtual void CrushCallback(SlideObject* piece) { (void)piece; }
    virtual void AutoPilotStuckCallback() {}
    virtual void AutoPilotFinishedMoveCallback() {}
    // On the update where CanMakeMove turns true.
    virtual void ReadyForNextMoveCallback() {}

    // Builds lines, cell mask and pieces from a layout; `size` is the longer side in pixels.
    // False (and an empty board) when the layout or size cannot be held; `mLastError` says why.
    virtual bool MakeBoard(const std::string& layout, int size);
    // Makes a plain piece; the game piece class makes its own.
    virtual SlideObject* NewSlideObject();
    // The base: the settle counter has run out.
    virtual bool CanMakeMove();
    virtual bool CanPlayerDrag();
    virtual bool CanSave() { return CanMakeMove(); }

    // ---- [board queries] ---------------------------------------------------------------------------
    // Rebuilds the work grid; pieces off the grid are killed and sent to the dying list.
    void MakeWorkGrid();
    // First piece in list order whose rectangle holds the point.
    SlideObject* PickObject(float x, float y);
    // Kills the piece and hands it to the dying list.
    void RemoveObject(SlideObject* piece);
    bool IsAnythingFalling() const;
    bool AreThereHoles();
    bool CanAddLargePlaypiece();
    // False when some layout cell below the piece, down to the last row, is empty.
    bool IsObjectFullySupported(SlideObject* piece);
    bool IsCell(int column, int row) const;
    // The piece covering a grid entry after the last MakeWorkGrid (null when none).
    SlideObject* GridAt(int column, int row) const;
    float CellSize() const { return mCellSize; }
    int Columns() const { return mColumnBound - 1; }
    int Rows() const { return mRowBound - 1; }

    // ---- [dragging] --------------------------------------------------------------------------------
    // Pushes the piece and everything touching it along the move; false when some piece refused.
    bool Push(SlideObject* piece, float dx, float dy);
    void UpdateSnapback();
    void ShuffleMatches();
    // Moves a piece in steps of at most one cell; false at the first refused step.
    bool MoveBy(SlideObject* piece, float dx, float dy);
    bool MoveStep(SlideObject* piece, float dx, float dy);
    // Puts a piece into the nearest cell of its lines (home is not changed).
    void Snap(SlideObject* piece);

    // ---- [matches] ---------------------------------------------------------------------------------
    // Adds the 4-connected component of equal match colour that holds the piece.
    void GetMatchesStub(SlideObject* piece, List& group);
    // True when a group of three or more exists; appends every such group when asked.
    bool GetMatches(Groups* groups, bool onlyMoved);
    void RemoveMatches(Groups& groups);
    bool FindMatchH(SlideMove* move = nullptr);
    bool FindMatchV(SlideMove* move = nullptr);
    bool FindMatch(SlideMove* move = nullptr);

    // ---- [falling] ---------------------------------------------------------------------------------
    void UpdateFallingObjects();
    void FillHoles();
    void FillHolesFromBottom();
    void FillHolesFromSides(int direction);
    // Last resort after many landings that left holes: new pieces appear in the holes.
    void FillHolesInPlace();
    void CrushPieces(SlideObject* piece);
    bool CrushPush(SlideObject* piece, bool checkSupport);

    // ---- [generation] ------------------------------------------------------------------------------
    void SetChanceToMinimizeCascades(float percent);
    void MinimizeCascades(List& newPieces);
    void GuaranteeMatches(List& newPieces);

    // ---- [autopilot] -------------------------------------------------------------------------------
    void SetAutopilot(bool on);
    void UpdateAutopilot();
    // True when the move's line set cannot travel the direct way (a large piece meets a line
    // end), so the autopilot goes round the wrap instead.
    bool IsMatchLineWrapped(const SlideMove& move);

    // Called by a piece being destroyed; game rules that keep pieces in lists of their own drop
    // them here too.
    virtual void ForgetObject(SlideObject* piece);

    // ---- [saved form] ------------------------------------------------------------------------------
    // Lets go of a drag under way (the line goes back to where the drag began, and an autopilot
    // move in hand starts over) and runs updates until the board rests, at most kMaxSettleUpdates:
    // what is saved is a board at rest. No new autopilot move starts meanwhile.
    void BringToRest();
    bool IsAtRest();
    // Brings the board to rest and appends its record: settings, autopilot, random source, layout
    // and every live piece in list order (each piece writes its own record).
    virtual void Save(DataBuffer& buffer);
    // Reads a record into a board that has not been played, checking every value against what a
    // board can hold; false, with the reader's problem set, at the first one it cannot. The board
    // is then half-built and must be thrown away. A loaded board keeps the random state it was
    // saved with, so it plays on exactly as it would have.
    virtual bool Load(RecordReader& in);
    // Whether a layout and size read from a record may be built; the game's boards take only
    // their level's own. The base takes any layout MakeBoard can build.
    virtual bool AcceptLayout(const std::string& layout, int size, std::string* problem);

    // ---- [fields] ----------------------------------------------------------------------------------
    bool mDemonstration = false;
    // Pieces are only ever added once (when made, or when the game rules hold a matched one a
    // little longer after taking it out), so the list does not search for duplicates.
    List mPieces;
    List mDying{true};
    int mNumColors = 8;
    float mCellSize = 0.0f;
    int mColumnBound = 0;
    int mRowBound = 0;
    SlideObject* mDragged = nullptr;
    float mDragStartX = 0.0f, mDragStartY = 0.0f;
    float mDragX = 0.0f, mDragY = 0.0f;
    bool mAxisLocked = false;
    bool mDragHorizontal = false;
    bool mDragVertical = false;
    bool mAutopilotBlocksPlayer = true;
    int mPushStamp = 0;
    bool mSnapbackActive = false;
    List mLines{true};
    List mRowLines{true};
    List mColumnLines{true};
    List mEdgeBlocked{true};
    List mLockedBlocked{true};
    unsigned char mMask[kGridSize * kGridSize] = {};
    SlideObject* mWorkGrid[kGridSize * kGridSize] = {};
    List mFalling{true};
    float mFallAcceleration = 0.05f;
    List mPushed{true};
    bool mLargeAllowed = true;
    bool mLargeRemovedThisTurn = false;
    int mMostLargePieces = 3;
    bool mGuaranteeMove = true;
    bool mGuaranteeCountsSpecial = true;
    int mRefillDelay = 1;
    int mRefillCountdown = 0;

    // Autopilot.
    bool mAutopilot = false;
    SlideMove mAutoMove;
    bool mAutoMoveInProgress = false;
    bool mAutoNeedNewMove = false;
    bool mAutoTargetReached = false;
    float mAutoDragX = 0.0f, mAutoDragY = 0.0f;
    float mAutoStepX = 0.0f, mAutoStepY = 0.0f;
    bool mAutoStuck = false;
    int mAutoFailedSearches = 0;
    bool mAutoOtherWay = false;
    int mAutoMovesMade = 0;
    int mAutoMoveLimit = -1;
    bool mAutoPaused = false;
    float mAutoStepsPerUpdate = 1.0f;
    int mAutoStartDelay = 25;
    int mAutoStartCountdown = 0;
    bool mAutoMoveShown = false;
    int mAutoReleaseDelay = 25;
    int mAutoReleaseCountdown = 0;
    // Landings in a row after which holes were still left.
    int mFruitlessFills = 0;
    // Pixels the current autopilot drag has travelled.
    float mAutoTravelled = 0.0f;

    BoardRandom mRandom;
    int mRemovalPasses = 0;
    int mVanishingPieces = 0;
    bool mMinimizeCascades = false;
    int mChanceToMinimizeCascades = 0;
    bool mCrushingAllowed = true;
    bool mPrevCanMakeMove = true;
    int mFixedSeed = 0;
    bool mUseFixedSeed = false;
    float mAxisLockDistance = 50.0f;
    std::string mLayout;
    int mBoardSize = 0;
    int mSettleCounter = 0;
    bool mPlayerDragActive = false;
    bool mAutoDragActive = false;

    // Keyboard cursor: its cell (1-based like the layout), whether it shows, a picked-up piece,
    // and the slide under way (drag steps still to make, the press point and the whole move).
    int mKeyColumn = 0, mKeyRow = 0;
    bool mKeyCursorShown = false;
    int mKeyCursorTick = 0;  // update of the last key the board took (the glow beats after it)
    bool mKeyPickedUp = false;
    bool mKeySliding = false;
    int mKeySlideStep = 0;
    float mKeySlideX = 0.0f, mKeySlideY = 0.0f;
    float mKeySlideDX = 0.0f, mKeySlideDY = 0.0f;
    // Drag steps (one per update) of a keyboard slide.
    static constexpr int kKeySlideSteps = 8;

    // Why the last MakeBoard refused its layout (empty after a success).
    std::string mLastError;

    // Re-roll bounds of board generation: colourings are re-drawn at most this often before the
    // board is kept as it is (with very few colours a colouring without a match, or with a move,
    // may not exist at all).
    static constexpr int kMaxMatchRerolls = 1000;
    static constexpr int kMaxMoveRerolls = 100;
    static constexpr int kMaxCascadeRerolls = 100;
    // Fills in a row that may leave holes before the holes are filled where they are.
    static constexpr int kMaxFruitlessFills = 20;
    // Larger boards would leave the float positions imprecise.
    static constexpr int kMaxBoardSize = 1000000;
    // Colours a piece can have (layout letters name colours 0 to 7).
    static constexpr int kMaxColors = 8;
    // Update steps a save waits at most for the board to come to rest (a minute of play).
    static constexpr int kMaxSettleUpdates = 6000;
    // Coordinates a saved record may hold, in pixels either way (drag points travel off the board).
    static constexpr float kFarCoordinate = 1.0e7f;

private:
    void FinishDragCommon(float x, float y);
    // One drag step of the keyboard slide; the release after the last.
    void StepKeySlide();
    // The cursor on a cell of the board (the centre-most one when its cell is gone).
    void EnsureKeyCell();
    // The keyboard slide is calling the mouse operations itself.
    bool mKeyDriving = false;
    void ClearBoard();
    void AddToDying(SlideObject* piece);
    void ClearGridArea();
    // The 4-connected component walk, on the current work grid.
    void CollectGroup(SlideObject* piece, List& group);
    bool FindMatchLines(bool horizontal, SlideMove* move);
    // Pieces of a line and of every further line of its orientation joined by a large piece.
    void CollectLineSet(SlideLine* line, bool horizontal, std::vector<SlideObject*>& pieces, int* lineCount);
    void GridRemove(const std::vector<SlideObject*>& pieces);
    bool GridWrite(const std::vector<SlideObject*>& pieces);
    void ComputeGridCell(SlideObject* piece) const;
    void StartFalling(SlideObject* piece, float dx, float dy);
    // A new piece of `size` pixels at (x, y), drawn `fallX`, `fallY` away from there until it
    // falls in; it joins the live, falling and new pieces.
    SlideObject* AddFallingPiece(float x, float y, float size, float fallX, float fallY, List& newPieces);
    void PutEveryPieceHome();
    std::vector<SlideObject*> Snapshot(const List& list) const;
    // Ends a drag for a save: pieces home, drag flags down, the autopilot's move to be found again.
    void ReleaseDragForSave();
    // Destroys every piece, keeping lines and mask (a loaded board replaces the generated ones).
    void DeletePieces();
    // Every loaded piece lies on whole layout cells inside the board and no two share a cell.
    bool CheckPiecePlaces(RecordReader& in);

    int mGridExtentColumns = 0;
    int mGridExtentRows = 0;
    int mVisitMark = 0;
    int mSearchMark = 0;
};
