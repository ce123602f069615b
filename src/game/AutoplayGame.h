// A whole level played headless by the board's own autopilot, as fast as it goes: the tool's
// autoplay command, the benchmark and the rules tests run games this way. Same arguments, same
// game: every random draw comes from the seeded program-wide source.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class Board;
class BoardContainer;
class GameSession;

class AutoplayGame {
public:
    struct Result {
        int mMoves = 0;
        int mScore = 0;
        int mDullbonesBroken = 0;
        bool mCleared = false;
        bool mGameOver = false;
        int64_t mUpdates = 0;
    };
    // A game runs out after this many update steps whatever happens (a stuck board must end).
    static constexpr int64_t kMaxUpdates = 5000000;

    // `levelId` is ignored for the Gauntlet, which always plays its own board.
    AutoplayGame(bool gauntlet, int levelId, uint32_t seed);
    ~AutoplayGame();
    AutoplayGame(const AutoplayGame&) = delete;
    AutoplayGame& operator=(const AutoplayGame&) = delete;

    // One update step of the whole level screen; the autopilot is kept running.
    void Step();
    // The fast autopilot on a board: no pauses, long strides, restarted after a snapback.
    static void KeepAutopilotGoing(Board* board);
    // Steps until `moves` moves are made, the game is over or the level is cleared.
    Result Play(int moves);
    Result Current() const;
    // One line of JSON: {"moves":…,"score":…,"dullbones_broken":…,"cleared":…,"game_over":…,"updates":…}
    static std::string ToJson(const Result& result);

    Board* GetBoard() const;
    GameSession* GetSession() const;

private:
    class RunSession;
    std::unique_ptr<RunSession> mSession;
    BoardContainer* mContainer = nullptr;
    int64_t mUpdates = 0;
    bool mGauntlet = false;
};
