// The developer's soak run ("--soak SECONDS"): one long-lived game plays itself through the real
// screens, again and again, until the time is up. A cycle is: a journey (new, or the saved one
// continued) whose nodes the board's autopilot plays, left for the main menu (the saved game is
// written) and continued (read back) twice; a new Gauntlet played a while, left and continued,
// then played a while until its board is made to run out of moves, the name entered and the
// scores screen shown; and the scores screen once more from the main menu. Every screen change
// goes through the game's own faders; only the player's clicks are replaced (the map's node, the
// level's continue button, the menus' choices), and the name is typed through the window like a
// player's keys.
//
// The run stops at the main menu once the time is up and the cycle under way is over (at least
// one cycle is run), and quits the game as the menu's exit button does. A step of the cycle that
// makes no progress for too long, a game left without its saved game, or a saved game of its own
// that the game refuses ends the run as a failure. A line with the counts is printed every minute
// and at the end.
#pragma once

#include <cstdint>
#include <string>

class GameApp;
class GameSession;
class Maze;

class SoakDriver {
public:
    struct Counts {
        int mCycles = 0;
        int mJourneys = 0;        // new journeys started
        int mJourneysWon = 0;     // idols taken
        int mLevels = 0;          // journey levels started
        int mLevelsWon = 0;
        int mLevelsLost = 0;
        int mTreasures = 0;
        int mGauntlets = 0;       // new Gauntlets started
        int mGauntletsOver = 0;   // played until no move was left
        int mNames = 0;           // high-score names entered
        int mSaves = 0;           // games left for the menu with their saved game written
        int mResumes = 0;         // saved games continued
        int mMenus = 0;           // main menu shown
        int mScores = 0;          // scores screen shown
        int mPauses = 0;
        int64_t mMoves = 0;
        int64_t mUpdates = 0;
    };

    // Journey levels played before a journey is left for the menu; a journey is given up for a
    // new one after kLevelsPerJourney levels.
    static constexpr int kLevelsPerLeg = 2;
    static constexpr int kLevelsPerJourney = 40;
    // Moves of a new Gauntlet before it is left; once continued it is played for kGauntletMoves
    // more moves, then its board runs out of moves (Board::FakeNoMoves) and the game ends.
    static constexpr int kGauntletLeaveMoves = 25;
    static constexpr int kGauntletMoves = 150;
    // Update steps one step of the cycle may take before the run is called stuck.
    static constexpr int64_t kStuckUpdates = 400000;
    // The loop's pace: a step every millisecond at 20 times the speed asks for more steps than
    // the machine can run, so it runs them back to back and draws a frame after every
    // 200 (the loop draws at once when it is behind).
    static constexpr float kSpeed = 20.0f;
    static constexpr int kUpdateInterval = 1;

    // `seconds` of real time (at least 1), then the end of the cycle under way.
    SoakDriver(GameApp* app, int seconds);

    // Once per update step of the application, modal loops included.
    void Update();

    bool Failed() const { return mFailed; }
    const std::string& Problem() const { return mProblem; }
    const Counts& GetCounts() const { return mCounts; }
    // "cycles 3 journeys 1 levels 12 (won 10, lost 2) ..." on one line.
    std::string CountsLine() const;

private:
    enum class Step {
        kLoading,         // until loading is done
        kToMenu,          // a fade to the main menu was asked for
        kMenu,            // on the main menu: choose what comes next
        kJourney,         // a journey on screen: map nodes and levels
        kGauntlet,        // a Gauntlet on screen
        kGauntletOver,    // the Gauntlet ended: name entry, then the scores screen
        kScores,          // the scores screen, shown a while
        kDone,
    };
    // What the menu starts next, in the order of a cycle.
    enum class Next { kJourney, kJourneyAgain, kGauntlet, kGauntletAgain, kScores };

    void Go(Step step);
    void Fail(const std::string& problem);
    bool Quiet() const;  // no fade running, no screen change pending
    void OnMenu();
    void PlayJourney();
    void PlayGauntlet();
    // Leaves the game for the main menu; counts the saved game written.
    void Leave(const char* saveFile);
    // Starts the saved game of `saveFile`; false when there is none.
    bool Continue(const char* saveFile);
    // The board's autopilot on the session's level; counts new boards and moves.
    void KeepPlaying(GameSession* session);
    // The next node of the map to play: revealed, not done, lowest step then lowest lane.
    static bool NextNode(const Maze& map, int* lane, int* step);
    // Types a name into a name-entry dialog on the screen, once.
    void AnswerNameEntry();
    void Report();

    GameApp* mApp;
    uint32_t mStart = 0;
    uint32_t mEnd = 0;
    uint32_t mNextReport = 0;
    int mMinute = 0;
    Step mStep = Step::kLoading;
    Next mNext = Next::kJourney;
    int64_t mStepStart = 0;       // update count when the current step began
    int mLegLevels = 0;           // journey levels started in this leg
    int mJourneyLevels = 0;       // journey levels started in this journey
    int mLegMoves = 0;            // moves in this leg
    int mLeaveAtMoves = 0;        // a Gauntlet leg is left after this many moves
    int mBoardMoves = 0;          // moves on the level shown
    bool mLeaveMidLevel = false;  // this journey leg is left in the middle of a level
    bool mPauseWanted = false;
    bool mWalkAway = false;       // the autopilot has stopped: the Gauntlet is brought to its end
    bool mScoresCounted = false;
    const char* mPendingSave = nullptr;  // the saved game leaving must have written
    int mLastMoves = 0;           // the session's move count last seen
    const void* mLastBoard = nullptr;
    const void* mLastSession = nullptr;
    int mLastLost = 0;
    const void* mAnswered = nullptr;   // the name-entry dialog already typed into
    int64_t mAnsweredAt = 0;
    bool mWonClicked = false;
    int mPauseCountdown = 0;
    bool mFailed = false;
    std::string mProblem;
    Counts mCounts;
};
