// Helpers for the game-board suites: a level screen with its board inside a session that records
// how the level ended, a known 5 by 5 position painted onto the board, and removal passes run
// through the slide board's own match removal.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "board/BoardRandom.h"
#include "board/QuorlObject.h"
#include "engine/draw/Image.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"

namespace BoardTestKit {

inline const char* const kSquare5 = "[#####][#####][#####][#####][#####]";

// Records the end of the level instead of scheduling the next one.
class RecordingSession : public GameSession {
public:
    using GameSession::GameSession;
    void GameOver() override { ++mGameOvers; }
    void LevelWon() override { ++mWins; }
    int mGameOvers = 0;
    int mWins = 0;
};

// A session (with an application that has loaded nothing, so sounds are silent and the fonts
// empty), its level screen and the board in it. The board is built by the level screen's first
// update, as in the game.
struct Level {
    explicit Level(int levelId = 1001, bool freeForm = false, int secondChances = 0, bool withApp = true) {
        ProgramRandom().Seed(11);
        if (withApp) mApp = std::make_unique<GameApp>();
        mSession = std::make_unique<RecordingSession>(mApp.get());
        mSession->mSecondChances = secondChances;
        mContainer = mSession->StartLevelNow(levelId, freeForm);
        mContainer->DoUpdate();
        mBoard = mContainer->GetBoard();
    }
    ~Level() { mSession.reset(); }

    // Replaces the board's pieces with a known position (see Paint) on a 5 by 5 board of
    // 100-pixel cells, every tile dark and nothing moving. Refills bring no large pieces, so a
    // later Paint still sets every cell on its own.
    void Known(const std::vector<std::string>& rows, const char* layout = kSquare5) {
        mBoard->mLargeAllowed = false;
        mBoard->mUseFixedSeed = true;
        mBoard->mFixedSeed = 3;
        mBoard->MakeBoard(layout, 500);
        std::fill(std::begin(mBoard->mLitTiles), std::end(mBoard->mLitTiles), 0);
        mBoard->mSettleCounter = 0;
        mBoard->mRefillCountdown = 0;
        Paint(rows);
    }

    // One string per row, one letter per column: r y g i are colours 0 to 3; X is a dullbone,
    // x a cracked one; '.' (or a missing letter) is a background colour. The background uses
    // colours 4 to 7 in a diagonal pattern, so no two neighbouring background pieces match and
    // the only groups are the ones painted.
    void Paint(const std::vector<std::string>& rows) {
        mBoard->MakeWorkGrid();
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c) {
                auto* q = Piece(c, r);
                if (!q) continue;
                char letter = size_t(r - 1) < rows.size() && size_t(c - 1) < rows[r - 1].size() ? rows[r - 1][c - 1] : '.';
                q->mSpecial = false;
                q->mCrackLevel = 0;
                q->mColor = 4 + (c + r) % 4;
                const std::string colours = "rygi";
                if (size_t k = colours.find(letter); k != std::string::npos) q->mColor = int(k);
                if (letter == 'X' || letter == 'x') q->mSpecial = true;
                if (letter == 'x') q->mCrackLevel = 1;
            }
    }

    QuorlObject* Piece(int column, int row) {
        mBoard->MakeWorkGrid();
        return static_cast<QuorlObject*>(mBoard->GridAt(column, row));
    }

    bool Lit(int column, int row) const { return mBoard->mLitTiles[column * Board::kTileGrid + row] != 0; }
    void LightAll() { std::fill(std::begin(mBoard->mLitTiles), std::end(mBoard->mLitTiles), 1); }

    // Removes every group standing on the board as one removal pass numbered `pass` (0: the
    // first pass of a move). Returns the number of groups.
    int RemovePass(int pass = 0) {
        SlideBoard::Groups groups;
        mBoard->GetMatches(&groups, false);
        mBoard->mRemovalPasses = pass;
        int count = groups.mList.Count();
        if (count) mBoard->RemoveMatches(groups);
        return count;
    }

    // Updates the board until its punch is over (the pass's pieces have vanished and been paid
    // for); returns the number of updates.
    int FinishPunch(int limit = 500) {
        int n = 0;
        while (mBoard->mPunchActive && n < limit) {
            mBoard->Update();
            ++n;
        }
        return n;
    }

    // Updates the board until it settles and may take a move (bounded).
    int Settle(int limit = 3000) {
        int n = 0;
        while (n < limit && !(mBoard->CanMakeMove() && !mBoard->IsAnythingFalling() && mBoard->mSettleCounter == 0 &&
                              mBoard->mVanishingPieces == 0)) {
            mBoard->Update();
            ++n;
        }
        return n;
    }

    int Dullbones() const { return mBoard->CountDullbones(); }

    std::unique_ptr<GameApp> mApp;
    std::unique_ptr<RecordingSession> mSession;
    BoardContainer* mContainer = nullptr;  // owned by the session
    Board* mBoard = nullptr;               // owned by the container
};

// A small solid picture, for effects that are only made when their sprite has pixels.
inline void GiveDot(Sprite& sprite) {
    Image dot;
    dot.Create(4, 4, 0xFFFFFFFFu);
    sprite.SetImage(dot);
}

}  // namespace BoardTestKit
