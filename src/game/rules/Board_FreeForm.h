// The endless board of the Gauntlet: the danger meter rises with time and falls with combos and
// cascades, a full meter gives a short countdown before one dullbone appears, and a cleared board
// goes dark again tile by tile for gold, gains a colour and plays on.
#pragma once

#include <utility>
#include <vector>

#include "game/rules/Board.h"

class Board_FreeForm : public Board {
public:
    static constexpr int kLevelId = 1006;
    static constexpr float kRiseFloor = 0.0005f;

    explicit Board_FreeForm(BoardContainer* container);

    void Update() override;
    // Refused in the last quarter second before a dullbone drops.
    void StartDrag(float x, float y) override;
    void Initialize() override;
    void MatchCallback(List& groups) override;
    void ReadyForNextMoveCallback() override;
    bool CanMakeMove() override;
    void AddToDangerMeter(float amount) override;
    void Cleared() override;
    void UpdateCleared() override;
    void DrawCleared() override {}
    // The game board's record, then the rise, the drop countdown, the going-dark timer and the
    // number of tiles still to go dark (the tiles themselves are found again from the lit ones).
    void Serialize(DataBuffer& buffer) override;
    bool Load(RecordReader& in) override;

    float mRisePerUpdate = kRiseFloor;
    int mPassCounter = 0;
    bool mDrainMode = false;
    int mDropPending = 0;
    int mDropCountdown = 0;
    // Tiles still to go dark after a clear, in the order they go.
    std::vector<std::pair<int, int>> mCells;
    BlinkTimer mDarkTimer{25};
};
