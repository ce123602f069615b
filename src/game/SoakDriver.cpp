// The soak run: a small state machine stepped after every update of the real loop, doing what a
// player's clicks would do and letting the game's own screens, faders and saved games do the rest.
#include "game/SoakDriver.h"

#include <cinttypes>
#include <cstdio>
#include <string>

#include "engine/core/App.h"
#include "engine/core/GadgetManager.h"
#include "game/AutoplayGame.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/SavedGame.h"
#include "game/journey/Maze.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "persistence/GameFiles.h"
#include "platform/KeyCodes.h"
#include "platform/Window.h"
#include "support/DebugLog.h"

#if defined(__SANITIZE_ADDRESS__)
#define QS_SOAK_HEAP_COUNT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QS_SOAK_HEAP_COUNT 1
#endif
#endif
#ifdef QS_SOAK_HEAP_COUNT
// The sanitizer's allocator counts the bytes handed out and not freed.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Update steps the scores screen stays before the main menu comes back.
constexpr int64_t kScoresUpdates = 150;
// Update steps a level stays paused when the pause card is tried.
constexpr int kPauseUpdates = 40;
// Moves into a level before the first journey leg leaves it (the level's saved form is written).
constexpr int kMidLevelMoves = 5;

bool After(uint32_t now, uint32_t when) { return int32_t(now - when) >= 0; }

}  // namespace

SoakDriver::SoakDriver(GameApp* app, int seconds) : mApp(app) {
    mStart = App::Milliseconds();
    mEnd = mStart + uint32_t(seconds > 0 ? seconds : 1) * 1000u;
    mNextReport = mStart + 60000u;
}

void SoakDriver::Go(Step step) {
    mStep = step;
    mStepStart = mCounts.mUpdates;
}

void SoakDriver::Fail(const std::string& problem) {
    if (mFailed) return;
    mFailed = true;
    mProblem = problem;
    DebugLog::Log("soak: failed: %s", problem.c_str());
    std::fprintf(stderr, "soak: FAILED: %s\n", problem.c_str());
    std::printf("soak: stopped: %s\n", CountsLine().c_str());
    std::fflush(stdout);
    Go(Step::kDone);
    mApp->Quit();
}

bool SoakDriver::Quiet() const {
    return !mApp->mTransitionRunning && !(mApp->mSession && mApp->mSession->IsSwitchPending());
}

std::string SoakDriver::CountsLine() const {
    const Counts& c = mCounts;
    char text[512];
    std::snprintf(text, sizeof text,
                  "cycles %d, journeys %d (won %d), levels %d (won %d, lost %d), treasures %d, gauntlets %d "
                  "(over %d), names %d, saves %d, resumes %d, menus %d, scores %d, pauses %d, moves %" PRId64
                  ", updates %" PRId64,
                  c.mCycles, c.mJourneys, c.mJourneysWon, c.mLevels, c.mLevelsWon, c.mLevelsLost, c.mTreasures,
                  c.mGauntlets, c.mGauntletsOver, c.mNames, c.mSaves, c.mResumes, c.mMenus, c.mScores, c.mPauses,
                  c.mMoves, c.mUpdates);
    return text;
}

void SoakDriver::Report() {
    ++mMinute;
    mNextReport += 60000u;
    // In a sanitizer build the resident set also holds the allocator's quarantine of freed blocks
    // and its record of allocation stacks; the heap the game holds is told apart.
    std::string heap;
#ifdef QS_SOAK_HEAP_COUNT
    heap = "heap " + std::to_string(__sanitizer_get_current_allocated_bytes() / 1024) + " KB, ";
#endif
    std::printf("soak: minute %d: %s%s\n", mMinute, heap.c_str(), CountsLine().c_str());
    std::fflush(stdout);
}

void SoakDriver::Update() {
    if (mStep == Step::kDone || mApp->mQuit) return;
    ++mCounts.mUpdates;
    // The loop runs the update steps as fast as it can; the autopilot would otherwise wait on
    // the clock most of the time.
    mApp->SetSpeed(kSpeed);
    mApp->mUpdateInterval = kUpdateInterval;
    uint32_t now = App::Milliseconds();
    if (After(now, mNextReport)) Report();
    AnswerNameEntry();
    if (mCounts.mUpdates - mStepStart > kStuckUpdates) {
        static const char* const kNames[] = {"loading", "fade to the main menu", "main menu", "journey",
                                             "Gauntlet", "end of a Gauntlet", "scores screen", "done"};
        Fail(std::string("no progress for ") + std::to_string(kStuckUpdates) + " update steps in the " +
             kNames[int(mStep)] + " step");
        return;
    }

    switch (mStep) {
    case Step::kLoading:
        // LoadingDone has run (it runs in the update that sees the loader finished).
        if (mApp->mLoaded && !mApp->mJustLoaded) {
            mApp->GoToMainMenu();
            Go(Step::kToMenu);
        }
        break;
    case Step::kToMenu:
        if (mApp->mMainMenu && !mApp->mSession && Quiet()) {
            ++mCounts.mMenus;
            if (mPendingSave) {
                if (!GameFiles::FileExists(mApp->mProfiles.GetProfilePath(mPendingSave))) {
                    Fail(std::string("leaving the game wrote no ") + mPendingSave);
                    break;
                }
                ++mCounts.mSaves;
                mPendingSave = nullptr;
            }
            Go(Step::kMenu);
        }
        break;
    case Step::kMenu:
        OnMenu();
        break;
    case Step::kJourney:
        PlayJourney();
        break;
    case Step::kGauntlet:
        PlayGauntlet();
        break;
    case Step::kGauntletOver:
        // The name entry (answered above) runs inside the Gauntlet's end; the scores screen follows.
        if (mApp->mScoresScreen && Quiet()) {
            Go(Step::kScores);
        }
        break;
    case Step::kScores:
        if (!mApp->mScoresScreen) {
            // Came here from the menu: wait for the fade to build the screen.
            if (Quiet() && mCounts.mUpdates - mStepStart > 1000) Fail("the scores screen did not come");
            break;
        }
        if (!mScoresCounted) {
            mScoresCounted = true;
            ++mCounts.mScores;
        }
        if (mCounts.mUpdates - mStepStart >= kScoresUpdates && Quiet()) {
            mScoresCounted = false;
            mApp->GoToMainMenu();
            Go(Step::kToMenu);
        }
        break;
    case Step::kDone:
        break;
    }
}

void SoakDriver::OnMenu() {
    if (!Quiet()) return;
    if (After(App::Milliseconds(), mEnd) && mNext == Next::kJourney && mCounts.mCycles > 0) {
        // Time is up at the start of a cycle (a whole cycle is always run): the games of this one
        // are saved and the game quits as from the menu's exit button.
        std::printf("soak: done after %u s: %s\n", unsigned((App::Milliseconds() - mStart) / 1000u),
                    CountsLine().c_str());
        std::fflush(stdout);
        Go(Step::kDone);
        mApp->Quit();
        return;
    }
    mLastSession = nullptr;
    switch (mNext) {
    case Next::kJourney:
    case Next::kJourneyAgain: {
        bool first = mNext == Next::kJourney;
        mNext = first ? Next::kJourneyAgain : Next::kGauntlet;
        mLegLevels = 0;
        // The first leg leaves in the middle of a level, the second on the map.
        mLeaveMidLevel = first;
        if (mJourneyLevels < kLevelsPerJourney && Continue(GameFiles::kJourneySaveFile)) {
            Go(Step::kJourney);
            return;
        }
        if (mFailed) return;
        ++mCounts.mJourneys;
        mJourneyLevels = 0;
        mWonClicked = false;
        mApp->GoToNewJourney();
        Go(Step::kJourney);
        return;
    }
    case Next::kGauntlet:
        mWalkAway = false;
        mNext = Next::kGauntletAgain;
        mLegMoves = 0;
        mLeaveAtMoves = kGauntletLeaveMoves;
        ++mCounts.mGauntlets;
        mApp->GoToNewGauntlet();
        Go(Step::kGauntlet);
        return;
    case Next::kGauntletAgain:
        mWalkAway = false;
        mNext = Next::kScores;
        mLegMoves = 0;
        mLeaveAtMoves = kGauntletMoves;
        if (!Continue(GameFiles::kGauntletSaveFile)) {
            if (mFailed) return;
            ++mCounts.mGauntlets;
            mApp->GoToNewGauntlet();
        }
        Go(Step::kGauntlet);
        return;
    case Next::kScores:
        mNext = Next::kJourney;
        ++mCounts.mCycles;
        mApp->GoToScores();
        Go(Step::kScores);
        return;
    }
}

bool SoakDriver::Continue(const char* saveFile) {
    std::string path = mApp->mProfiles.GetProfilePath(saveFile);
    if (!GameFiles::FileExists(path)) return false;
    // A saved game this run wrote itself must read back whole; the game would set it aside.
    std::string problem;
    if (!SavedGame::ReadFile(path, nullptr, &problem)) {
        Fail("the saved game " + path + " was refused: " + problem);
        return false;
    }
    mApp->GoToResume(path);
    if (!mApp->mTransitionRunning) {
        Fail("the saved game " + path + " could not be continued");
        return false;
    }
    ++mCounts.mResumes;
    return true;
}

void SoakDriver::Leave(const char* saveFile) {
    mApp->GoToMainMenu();
    mPendingSave = saveFile;
    Go(Step::kToMenu);
}

void SoakDriver::KeepPlaying(GameSession* session) {
    if (session != mLastSession) {
        // A new or resumed game: its level under way, if any, is not a new one.
        mLastSession = session;
        mLastBoard = session->mBoard;
        mLastMoves = session->mMoves;
        mLastLost = session->mLevelsLost;
        mBoardMoves = 0;
        mPauseCountdown = 0;
    }
    if (session->mMoves > mLastMoves) {
        int made = session->mMoves - mLastMoves;
        mCounts.mMoves += made;
        mLegMoves += made;
        mBoardMoves += made;
    }
    mLastMoves = session->mMoves;
    if (session->mLevelsLost > mLastLost) mCounts.mLevelsLost += session->mLevelsLost - mLastLost;
    mLastLost = session->mLevelsLost;

    BoardContainer* container = session->mBoard;
    if (container != mLastBoard) {
        mLastBoard = container;
        mBoardMoves = 0;
        if (container && !container->mFreeForm) {
            ++mCounts.mLevels;
            ++mLegLevels;
            ++mJourneyLevels;
            // Every third level is paused for a moment.
            mPauseWanted = mCounts.mLevels % 3 == 1;
        }
    }
    Board* board = container ? container->GetBoard() : nullptr;
    if (!board || !Quiet()) return;
    if (session->IsPaused()) {
        // The pause card goes as a player sends it away: with Enter.
        if (mPauseCountdown > 0 && --mPauseCountdown == 0 && mApp->mWindow) {
            mApp->mWindow->PushKey(kKeyEnter, true);
            mApp->mWindow->PushKey(kKeyEnter, false);
        }
        return;
    }
    if (mPauseWanted) {
        mPauseWanted = false;
        session->SetPaused(1);  // the P key
        if (session->IsPaused()) {
            ++mCounts.mPauses;
            mPauseCountdown = kPauseUpdates;
            return;
        }
    }
    AutoplayGame::KeepAutopilotGoing(board);
}

bool SoakDriver::NextNode(const Maze& map, int* lane, int* step) {
    for (int s = 0; s < Maze::kSteps; ++s)
        for (int l = 0; l < Maze::kLanes; ++l) {
            int32_t flags = map.Cell(l, s);
            if ((flags & Maze::kNode) && (flags & Maze::kRevealed) && !(flags & Maze::kDone)) {
                *lane = l;
                *step = s;
                return true;
            }
        }
    return false;
}

void SoakDriver::PlayJourney() {
    GameSession* session = mApp->mSession;
    if (!session || dynamic_cast<GauntletSession*>(session)) return;  // the fade has not built it yet
    KeepPlaying(session);
    Maze* map = session->GetMap();
    if (!map) {
        Fail("a journey without a map");
        return;
    }
    if (session->mBoard) {
        Board* board = session->mBoard->GetBoard();
        if (!board || !Quiet()) return;
        // The level's continue button, as soon as the level is cleared.
        if (board->mLevelCleared) {
            ++mCounts.mLevelsWon;
            session->mBoard->LevelContinue();
            return;
        }
        if (mLeaveMidLevel && mLegLevels >= kLevelsPerLeg && mBoardMoves >= kMidLevelMoves && !board->mNoMoves)
            Leave(GameFiles::kJourneySaveFile);
        return;
    }
    if (!Quiet()) return;
    // On the map.
    if (map->mIdolTaken) {
        // The won screen ends with a click; the name entry and the scores screen follow.
        if (map->IsWonScreenDone() && !mWonClicked) {
            mWonClicked = true;
            map->MouseDown(400.0f, 300.0f, 0);
            mJourneyLevels = kLevelsPerJourney;  // a new journey next
            Go(Step::kGauntletOver);
        }
        return;
    }
    if (mLegLevels >= kLevelsPerLeg) {
        Leave(GameFiles::kJourneySaveFile);
        return;
    }
    if (map->TakeIdol()) {
        ++mCounts.mJourneysWon;
        return;
    }
    int lane = 0, step = 0;
    if (!NextNode(*map, &lane, &step)) {
        Fail("the journey's map has no node left to play");
        return;
    }
    bool treasure = (map->Cell(lane, step) & Maze::kTreasure) != 0;
    if (map->Play(lane, step) && treasure) ++mCounts.mTreasures;
}

void SoakDriver::PlayGauntlet() {
    GameSession* session = mApp->mSession;
    if (!session || !dynamic_cast<GauntletSession*>(session)) return;  // the fade has not built it yet
    if (session->IsFinished()) {
        ++mCounts.mGauntletsOver;
        Go(Step::kGauntletOver);
        return;
    }
    if (!mWalkAway) {
        KeepPlaying(session);
        if (Quiet() && mLegMoves >= mLeaveAtMoves) {
            // The autopilot never loses a Gauntlet (nor does it when left alone, not in minutes):
            // the continued one ends in the board's own no-moves sequence; the first is left.
            if (mNext == Next::kScores)
                mWalkAway = true;
            else
                Leave(GameFiles::kGauntletSaveFile);
        }
        return;
    }
    BoardContainer* container = session->mBoard;
    Board* board = container ? container->GetBoard() : nullptr;
    if (!board || board->mAutoDragActive || board->mPlayerDragActive) return;
    if (board->mAutopilot) {
        board->SetAutopilot(false);
        return;
    }
    // At rest, the board runs out of moves through its own sequence (a second chance first,
    // when there is one; then the pieces go, and the end of the game).
    if (!board->mNoMoves && board->mSettleCounter == 0 && !board->IsAnythingFalling()) board->FakeNoMoves();
}

void SoakDriver::AnswerNameEntry() {
    Gadget* dialog = nullptr;
    for (void* item : mApp->mGadgets.mList.Items()) {
        auto* gadget = static_cast<Gadget*>(static_cast<Object*>(item));
        if (!gadget->mKilled && gadget->mName && std::string(gadget->mName) == "NameEntryDialog") dialog = gadget;
    }
    if (!dialog || !mApp->mWindow) return;
    if (dialog == mAnswered && mCounts.mUpdates - mAnsweredAt < 2000) return;
    mAnswered = dialog;
    mAnsweredAt = mCounts.mUpdates;
    ++mCounts.mNames;
    // Typed as a player types: the characters, then Enter.
    mApp->mWindow->PushText("Soak " + std::to_string(mCounts.mNames));
    mApp->mWindow->PushKey(kKeyEnter, true);
    mApp->mWindow->PushKey(kKeyEnter, false);
}
