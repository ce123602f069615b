// The screen of one level: owns the board, links it to the game session and the application,
// and draws the danger meter, the score and the no-moves overlay around it, with the hint and
// menu buttons.
#pragma once

#include "engine/controls/BlinkTimer.h"
#include "engine/core/Gadget.h"

class Board;
class Button;
class DataBuffer;
class RecordReader;
class GameApp;
class GameSession;

class BoardContainer : public Gadget {
public:
    // `session` may be null (thumbnails, the tutorial's demonstration board); `app` may be null
    // when nothing is drawn or heard (tools, tests).
    BoardContainer(GameSession* session, GameApp* app);
    ~BoardContainer() override;

    void Update() override;
    void Draw() override;
    void DrawOverlay() override;
    void Notify(intptr_t message) override;
    // Escape (or the controller's Start) opens the quick menu, H (or Y) asks for a hint; the
    // other keys go to the board.
    void KeyDown(int key) override;
    // Makes the board (free-form or not) for the level id.
    void Initialize() override;

    // The menu button: the quick menu runs over the paused level; leaving goes to the main menu.
    void RunQuickMenu();
    // The board's continue button was pressed on a cleared level.
    void LevelContinue();
    // The board ran out of moves and second chances.
    void GameOver();
    // Whether the move being played was made by a hint (such moves score nothing).
    bool IsHintMove() const;
    Board* GetBoard() const { return mBoard; }

    // The level id, the free-form flag, then the board's own record.
    void Serialize(DataBuffer& buffer);
    // Reads what Serialize wrote into a screen not yet shown: makes the right board for the
    // level, lets it load itself and keeps it as a child. False, with the reader's problem set,
    // when the record cannot be a level of the kind asked for (`freeForm`: the Gauntlet's board).
    bool Load(RecordReader& in, bool freeForm);

    GameSession* mSession = nullptr;
    GameApp* mApp = nullptr;
    Board* mBoard = nullptr;  // owned as a child gadget
    int mLevelId = 0;
    bool mFreeForm = false;
    Button* mHintButton = nullptr;
    Button* mMenuButton = nullptr;
    BlinkTimer mMeterBlink{25};
};
