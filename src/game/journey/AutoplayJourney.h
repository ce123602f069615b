// A whole journey played headless: the map is made from a seed, and an autopilot walks it node
// by node (the revealed, not-done node with the lowest step, then the lowest lane), takes
// treasures, plays each level with the board's own autopilot, plays a lost level again and takes
// the idol once it is there. The tool's "autoplay --journey" and the journey tests run it; the
// same seed and move budget always give the same journey.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class GameSession;
class Maze;

class AutoplayJourney {
public:
    struct Result {
        int mMoves = 0;
        int mScore = 0;
        int mLevelsWon = 0;
        int mLevelsLost = 0;
        int mTreasures = 0;
        bool mJourneyWon = false;
        int64_t mUpdates = 0;
    };
    // A journey runs out after this many update steps whatever happens.
    static constexpr int64_t kMaxUpdates = 50000000;

    explicit AutoplayJourney(uint32_t seed);
    ~AutoplayJourney();
    AutoplayJourney(const AutoplayJourney&) = delete;
    AutoplayJourney& operator=(const AutoplayJourney&) = delete;

    // Plays until `moves` board moves are made or the idol is taken.
    Result Play(int moves);
    // One line of JSON: {"moves":…,"score":…,"levels_won":…,"levels_lost":…,"treasures":…,
    // "journey_won":…,"updates":…}
    static std::string ToJson(const Result& result);

    GameSession* GetSession() const;
    Maze* GetMap() const;

private:
    class RunSession;
    // One update step of the session (the map or the level screen under it).
    void Step();
    // The node the autopilot plays next; false when none is open.
    bool NextNode(int* lane, int* step) const;

    std::unique_ptr<RunSession> mSession;
    Result mResult;
};
