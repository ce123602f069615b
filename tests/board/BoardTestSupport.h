// Helpers for the slide-board tests: a board that records its callbacks, and painting known
// colours onto a generated board so a test can set up exact positions.
#pragma once

#include <string>
#include <vector>

#include "board/BoardLayout.h"
#include "board/SlideBoard.h"
#include "board/SlideObject.h"

inline const char* const kSquare5 = "[#####][#####][#####][#####][#####]";

// A 5 by 5 position without a group where sliding row 2 right by one cell wraps its last piece
// round between two reds of the first column: a group of three.
inline const std::vector<std::string> kWrapMove = {
    "rgbyo",
    "gyipr",
    "rpygb",
    "ygobi",
    "pobiy",
};

class RecordingBoard : public SlideBoard {
public:
    void EdgeBlockedCallback(SlideObject*) override { mLog.push_back("edge"); }
    void LockedBlockedCallback(SlideObject*) override { mLog.push_back("locked"); }
    void EndTurnCallback(List& groups) override {
        mLog.push_back("endturn " + std::to_string(groups.Count()));
        ++mTurns;
    }
    void MatchCallback(List& groups) override { mLog.push_back("match " + std::to_string(groups.Count())); }
    void GroupMatchCallback(List& group) override { mLog.push_back("group " + std::to_string(group.Count())); }
    void RemoveObjectCallback(SlideObject* piece) override {
        mLog.push_back(std::string("remove ") + (piece->mKilled ? "taken-off" : "live"));
    }
    void CrushCallback(SlideObject*) override { ++mCrushes; }
    void AutoPilotStuckCallback() override { mLog.push_back("stuck"); }
    void AutoPilotFinishedMoveCallback() override { ++mFinishedMoves; }
    void ReadyForNextMoveCallback() override { ++mReady; }

    std::vector<std::string> mLog;
    int mTurns = 0;
    int mCrushes = 0;
    int mFinishedMoves = 0;
    int mReady = 0;
};

// Builds the board with a fixed seed; the Gadget machinery must not replace it with the default.
inline void Make(SlideBoard& board, const std::string& layout, int size, int seed = 1) {
    board.mUseFixedSeed = true;
    board.mFixedSeed = seed;
    board.mInitialized = true;
    board.MakeBoard(layout, size);
}

// Sets the colour of the piece on each cell: one string per row, one letter per column
// (r y g i p b o w, either case); any other character leaves that cell alone.
inline void Paint(SlideBoard& board, const std::vector<std::string>& rows) {
    board.MakeWorkGrid();
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) {
            int color = BoardLayout::ColorOf(rows[r][c]);
            SlideObject* p = board.GridAt(int(c) + 1, int(r) + 1);
            if (color >= 0 && p) p->mColor = color;
        }
}

// The board as letters, one string per row ('.' no cell, '-' hole, upper-case large).
inline std::vector<std::string> Letters(SlideBoard& board) {
    board.MakeWorkGrid();
    std::vector<std::string> rows;
    for (int r = 1; r < board.mRowBound; ++r) {
        std::string row;
        for (int c = 1; c < board.mColumnBound; ++c) {
            SlideObject* p = board.GridAt(c, r);
            if (!board.IsCell(c, r))
                row += '.';
            else if (!p)
                row += '-';
            else
                row += p->mLarge ? "RYGIPBOW"[p->mColor & 7] : "rygipbow"[p->mColor & 7];
        }
        rows.push_back(row);
    }
    return rows;
}

inline SlideObject* PieceAt(SlideBoard& board, int column, int row) {
    board.MakeWorkGrid();
    return board.GridAt(column, row);
}

// Updates until nothing falls, no removal is pending and no snapback runs (bounded).
inline int Settle(SlideBoard& board, int limit = 5000) {
    int n = 0;
    while (n < limit && (board.IsAnythingFalling() || board.mSnapbackActive || !board.mDying.Empty())) {
        board.Update();
        ++n;
    }
    return n;
}
