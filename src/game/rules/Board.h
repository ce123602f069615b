// The board as a game: scores each removal pass, announces combos, cracks and breaks dullbones
// beside matches, lights the floor tiles under vanished pieces, holds matched pieces for a short
// punch, raises the danger meter and drops dullbones, ends the game when no move is left (unless
// a second chance spins in), shows hints, and shows the level-cleared screen.
//
// Index: [slide-board callbacks] [scoring] [danger] [no moves] [hint] [cleared] [pictures]
//        [saved form] [fields]
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "board/QuorlObject.h"
#include "board/SlideBoard.h"
#include "engine/controls/BlinkTimer.h"
#include "engine/controls/ColorCycler.h"
#include "engine/core/List.h"
#include "engine/core/ObjectManager.h"

class BoardContainer;
class Button;
class DataBuffer;
class GameApp;
class GameSession;
class GameStatistics;
class Image;
class Particle;
class Sound;
class Sprite;

class Board : public SlideBoard {
public:
    // Lit-tile grid: 100 by 100 bytes, index column * 100 + row.
    static constexpr int kTileGrid = 100;
    // Second chance: at most this many re-colourings of a cleared dullbone's piece are tried
    // before it keeps its colour (a board with few colours may have no match-free colouring).
    static constexpr int kMaxRecolorTries = 100;
    // The cleared screen's counter at which the continue button appears.
    static constexpr int kContinueLine = 500;

    // One piece of the border drawn around the board shape.
    struct BorderTile {
        int mColumn = 0, mRow = 0;
        int mKind = 0;  // 1 to 16
    };

    // `container` may be null (thumbnails, tests): then the board has no session or application
    // unless they are set afterwards.
    explicit Board(BoardContainer* container);
    ~Board() override;

    void Update() override;
    void Draw() override;
    // The pieces, the lit floor tiles, the danger meter and how the level stands.
    void HashState(StateHash& hash) const override;
    void Notify(intptr_t message) override;
    void Initialize() override;
    void StartDrag(float x, float y) override;
    // The autopilot's drags (hints, demonstrations) start a new turn as the player's do.
    void StartDragRobo(float x, float y) override;
    // Ends a press that may not become a drag.
    void RefuseDrag();

    // ---- [slide-board callbacks] ----------------------------------------------------------------
    void EndTurnCallback(List& groups) override;
    void MatchCallback(List& groups) override;
    void GroupMatchCallback(List& group) override;
    void RemoveObjectCallback(SlideObject* piece) override;
    void AutoPilotStuckCallback() override;
    void AutoPilotFinishedMoveCallback() override;
    void ReadyForNextMoveCallback() override;
    bool MakeBoard(const std::string& layout, int size) override;
    SlideObject* NewSlideObject() override;
    bool CanMakeMove() override;
    bool CanSave() override;
    void ForgetObject(SlideObject* piece) override;

    // ---- [danger] -------------------------------------------------------------------------------
    virtual void AddToDangerMeter(float amount);
    // ---- [cleared] ------------------------------------------------------------------------------
    virtual void Cleared();
    virtual void UpdateCleared();
    virtual void DrawCleared();
    // A level time in update steps as the cleared panel shows it: minutes and two-digit seconds.
    static std::string FormatTime(int updates);

    // Layout byte of a cell (non-zero: the cell belongs to the board); 0 outside.
    int GetGrid(int column, int row) const;
    // Level code, parameters and colours from the level id; builds the board when `make` is set.
    void GenerateBoard(bool make);

    // ---- [scoring] ------------------------------------------------------------------------------
    void UpdatePunch();
    void VanishQuorls(List& pieces);
    // The flying quarters and the ring of sparks of a breaking dullbone.
    void ShatterEffect(SlideObject* piece);

    // ---- [no moves] -----------------------------------------------------------------------------
    bool IsBoardCleared();
    void FakeNoMoves();
    void GoSecondChance();
    void UpdateSecondChance();
    // Turns `count` random eligible pieces into dullbones (fewer when none is left).
    void DropDullbones(int count);
    // One eligible piece for a drop, tested against the remaining moves while the switch says so.
    QuorlObject* PickDropPiece();
    int CountDullbones() const;

    // ---- [hint] ---------------------------------------------------------------------------------
    void Hint();
    void UpdateHint();
    bool IsHintShowing() const { return mDemonstration; }

    // ---- [pictures] -----------------------------------------------------------------------------
    void ComputeEdges();
    // Draws the board into a picture at its own cell size (the journey map's thumbnails shrink
    // it): a backdrop per cell, each piece as its colour's small tile and the border. `tiles`
    // (eight sprites) default to the application's small tiles.
    void MakeThumb(Image& out, const Sprite* const* tiles = nullptr);

    // ---- [saved form] ---------------------------------------------------------------------------
    // Appends the slide board's record (the board comes to rest first) and every game field,
    // then pauses the board: a saved board plays no further.
    virtual void Serialize(DataBuffer& buffer);
    // Reads what Serialize wrote into a board made for its level id (mLevelId set), checking each
    // value, and rebuilds what is not stored (position, end list, continue button, colours).
    bool Load(RecordReader& in) override;
    // Only the layout and size the level id makes.
    bool AcceptLayout(const std::string& layout, int size, std::string* problem) override;
    // The level music, looping while the level is played.
    void StartMusic();

    // Particle and text effects: a sprite particle at a board point.
    Particle* AddEffect(const Sprite* sprite, float x, float y, const char* script, float scale = 1.0f);
    // Floating words ("DOUBLE!") at a board point.
    void AddText(const std::string& text, float x, float y);
    void PlaySound(Sound* sound, float pitch = 1.0f);
    QuorlObject* AsQuorl(SlideObject* piece) const { return static_cast<QuorlObject*>(piece); }
    bool IsDullbone(const SlideObject* piece) const { return piece->mSpecial; }

    // ---- [fields] -------------------------------------------------------------------------------
    BoardContainer* mContainer = nullptr;
    GameSession* mSession = nullptr;
    GameApp* mApp = nullptr;
    QuorlContext mPieceContext;
    ObjectManager mParticles;

    // Turn and scoring.
    int mMatchScore = 0;
    List mPunchList;
    bool mPunchActive = false;
    int mPunchTimer = 0;
    bool mHintMove = false;
    unsigned char mLitTiles[kTileGrid * kTileGrid] = {};
    int mLevelId = 0;
    std::string mLevelCode;
    int mFrameCounter = 0;

    // Level statistics.
    int mQuorlsUsed = 0;
    int mBoardCells = 0;
    int mDullbonesBroken = 0;
    int mLevelStartFrame = 0;
    int mLevelTime = 0;
    int mQuorlRatio = 0;

    // Danger meter.
    float mDangerLevel = 0.0f;
    float mPrevDangerLevel = 0.0f;
    float mDangerPerMove = 0.0f;
    float mDangerPerGroup = 0.0f;
    float mDangerPerCascade = 0.0f;
    int mDullbonesPerFill = 1;
    float mStoredX = 175.0f, mStoredY = 50.0f;
    bool mMeterFull = false;
    bool mDangerRescued = false;
    bool mDraining = false;
    bool mDangerLoweredThisTurn = false;

    // Level goal.
    bool mLevelCleared = false;

    // No moves and second chance.
    bool mNoMoves = false;
    List mEndList;
    BlinkTimer mEndTimer{10};
    int mEndCounter = 0;
    float mFade = 0.0f;
    int mSecondChances = 0;
    bool mSecondChanceActive = false;
    int mSecondChanceDelay = 0;
    float mWheelSpeed = 0.0f;
    float mWheelAngle = 0.0f;
    int mWheelState = 0;
    bool mWheelFace = false;
    int mClearOutCounter = 0;
    bool mGameOverSent = false;

    // Hint.
    bool mHintAutopilot = false;
    float mHintHandOffset = 0.0f;

    // Level cleared.
    float mBannerY = 0.0f;
    float mSpare = 0.0f;
    float mBannerScale = 0.0f;
    float mBannerSpin = 0.0f;
    float mPanelDrop = 0.0f;
    bool mClearedPhase = false;
    float mSpare2 = 0.0f;
    int mLineCounter = 0;
    ColorCycler mCycler;
    float mCyclerPosition = 0.0f;
    std::vector<BorderTile> mBorder;
    Button* mContinueButton = nullptr;

    // The application's pictures prepared at this board's cell size.
    QuorlImageSet mScaledImages;
    std::vector<std::unique_ptr<Sprite>> mScaledSprites;
    const Sprite* mSkullQuarters[2][4] = {};  // normal and large; top left, top right, bottom left, bottom right
    const Sprite* mLitTile = nullptr;
    const Sprite* mEdgeRim = nullptr;
    const Sprite* mOuterRim = nullptr;
    const Sprite* mInnerRim = nullptr;
    // This board started the level music (and stops it when it goes).
    bool mMusicOn = false;
    // The hint's hand is still sliding in from the right.
    bool mHandTravelling = false;

private:
    // The colours the cleared banner cycles through.
    void MakeClearedColors();
    // "Click Here To Continue!" under the cleared panel (once).
    void MakeContinueButton();
    // With the application's target log on: "move X1 Y1 X2 Y2" (screen points of a matching
    // drag) once each time the board becomes ready for a move.
    void LogMoveTarget();
    bool mMoveLogged = false;
    void PrepareImages();
    // A copy of `sprite` scaled to `size` pixels square, kept by the board.
    const Sprite* Scaled(const Sprite* sprite, int size);
    void DrawBorder();
    // Game sounds and statistics exist only with an application (and a session for statistics).
    Sound* GameSound(Sound GameApp::*which) const;
    GameStatistics* Statistics() const;
};
