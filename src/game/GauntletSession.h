// The endless game: one free-form board, played until no move is left; counts the gold grabbed
// when a cleared board goes dark again.
#pragma once

#include "game/GameSession.h"

class GauntletSession : public GameSession {
public:
    // The free-form board always plays this level (world 1).
    static constexpr int kLevelId = 1006;

    explicit GauntletSession(GameApp* app);

    // Makes the free-form level screen.
    void Initialize() override;
    // The game is over: statistics of the run.
    void GameOver() override;
    void ResetForNewGame() override;
    bool HasMap() const override { return false; }
    // The Gauntlet's saved game: score, bonuses, second chances, gold and the board.
    const char* SaveFileName() const override;
    bool IsFinished() const override;
    void Serialize(DataBuffer& buffer) override;
    bool Load(RecordReader& in) override;
    void Resumed() override;
    // The session's counts and the gold grabbed.
    void HashState(StateHash& hash) const override;

    int32_t mGold = 0;
};
