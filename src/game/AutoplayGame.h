// A whole level played headless by the board's own autopilot, as fast as it goes: the tool's
// autoplay command, the benchmark and the rules tests run games this way. Same arguments, same
// game: every random draw comes from the seeded program-wide source. A game can be saved as
// leaving it would save it, and a saved game can be played on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
        // Set when the run was asked to save: whether a saved game was written.
        std::optional<bool> mSaved;
    };
    // A game runs out after this many update steps whatever happens (a stuck board must end).
    static constexpr int64_t kMaxUpdates = 5000000;

    // `levelId` is ignored for the Gauntlet, which always plays its own board. A level is played
    // as the current level of a journey.
    AutoplayGame(bool gauntlet, int levelId, uint32_t seed);
    ~AutoplayGame();
    AutoplayGame(const AutoplayGame&) = delete;
    AutoplayGame& operator=(const AutoplayGame&) = delete;

    // Plays on from a saved game, read as the game reads it (the program-wide source seeded with
    // `seed`). Null, with `problem` set, when the saved game is refused.
    static std::unique_ptr<AutoplayGame> Resume(const std::vector<uint8_t>& bytes, uint32_t seed, std::string* problem);

    // One update step of the whole level screen; the autopilot is kept running.
    void Step();
    // The fast autopilot on a board: almost no pauses, long strides, restarted after a snapback,
    // and its lines searched in an order the saved game holds (see LinesInSavedOrder).
    static void KeepAutopilotGoing(Board* board);
    // Steps until `moves` more moves are made, the game is over or the level is cleared.
    Result Play(int moves);
    // Moves, score and the level's state; moves count from the start of this run.
    Result Current() const;
    // The saved game that leaving the game at this point would write; false (and nothing in
    // `bytes`) when the game is over for good and leaving would remove its saved game instead.
    bool Save(std::vector<uint8_t>* bytes);
    // One line of JSON: {"moves":…,"score":…,"dullbones_broken":…,"cleared":…,"game_over":…,
    // "updates":…} and, after a save, "saved":….
    static std::string ToJson(const Result& result);

    Board* GetBoard() const;
    GameSession* GetSession() const;
    bool IsGauntlet() const { return mGauntlet; }

private:
    AutoplayGame(std::unique_ptr<GameSession> session, bool gauntlet);
    // The autopilot searches the lines in an order made from the board's random state: the order
    // the last drag shuffled them into is not part of a saved game, and a resumed game must choose
    // the moves an uninterrupted one would.
    static void LinesInSavedOrder(Board& board);

    std::unique_ptr<GameSession> mSession;
    int64_t mUpdates = 0;
    int mMovesAtStart = 0;
    bool mGauntlet = false;
};
