// A whole journey played headless: the map is made from a seed, and an autopilot walks it node
// by node (the revealed, not-done node with the lowest step, then the lowest lane), takes
// treasures, plays each level with the board's own autopilot, plays a lost level again and takes
// the idol once it is there. The tool's "autoplay --journey" and the journey tests run it; the
// same seed and move budget always give the same journey.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
        // Set when the run was asked to save: whether a saved game was written.
        std::optional<bool> mSaved;
    };
    // A journey runs out after this many update steps whatever happens.
    static constexpr int64_t kMaxUpdates = 50000000;
    // A level on which the autopilot makes no move for this many updates is given up as lost
    // (and played again, dealt afresh), so a stuck board cannot hold the journey forever.
    static constexpr int64_t kMaxUpdatesWithoutMove = 100000;

    explicit AutoplayJourney(uint32_t seed);
    ~AutoplayJourney();
    AutoplayJourney(const AutoplayJourney&) = delete;
    AutoplayJourney& operator=(const AutoplayJourney&) = delete;

    // Plays on from a saved journey, read as the game reads it (the program-wide source seeded
    // with `seed`). Null, with `problem` set, when the saved game is refused.
    static std::unique_ptr<AutoplayJourney> Resume(const std::vector<uint8_t>& bytes, uint32_t seed,
                                                   std::string* problem);

    // Plays until `moves` more board moves are made or the idol is taken. Moves, levels and
    // treasures count from the start of this run; the score is the journey's.
    Result Play(int moves);
    // The saved game that leaving the journey at this point would write; false (and nothing in
    // `bytes`) once the journey is won and leaving would remove its saved game instead.
    bool Save(std::vector<uint8_t>* bytes);
    // One line of JSON: {"moves":…,"score":…,"levels_won":…,"levels_lost":…,"treasures":…,
    // "journey_won":…,"updates":…} and, after a save, "saved":….
    static std::string ToJson(const Result& result);

    GameSession* GetSession() const;
    Maze* GetMap() const;

private:
    class RunSession;
    explicit AutoplayJourney(std::unique_ptr<RunSession> session);
    // One update step of the session (the map or the level screen under it).
    void Step();
    // The node the autopilot plays next; false when none is open.
    bool NextNode(int* lane, int* step) const;

    std::unique_ptr<RunSession> mSession;
    Result mResult;
    int mMovesAtStart = 0;
    int mLostAtStart = 0;
    // The board and the move count last seen, and the updates since either changed.
    const void* mBoardSeen = nullptr;
    int mMovesSeen = 0;
    int64_t mUpdatesWithoutMove = 0;
};
