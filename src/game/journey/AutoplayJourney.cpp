// Headless journeys: the real session and map, with the level screens driven by the fast
// autopilot of the level autoplay.
#include "game/journey/AutoplayJourney.h"

#include <cstdio>

#include "engine/core/GadgetManager.h"
#include "board/BoardRandom.h"
#include "game/AutoplayGame.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/GameSession.h"
#include "game/journey/Maze.h"

// The real journey session without an application; it counts the levels won.
class AutoplayJourney::RunSession : public GameSession {
public:
    RunSession() : GameSession(nullptr) {}
    void LevelWon() override {
        if (IsSwitchPending()) return;
        ++mWon;
        GameSession::LevelWon();
    }
    int mWon = 0;
};

AutoplayJourney::AutoplayJourney(uint32_t seed) : mSession(std::make_unique<RunSession>()) {
    ProgramRandom().Seed(seed);
    // The map of this seed is the one "journey SEED" prints.
    auto* map = new Maze(mSession.get(), nullptr);
    map->Generate(seed);
    mSession->mMap = map;
    mSession->AddChild(map);
    mSession->DoUpdate();
}

AutoplayJourney::~AutoplayJourney() = default;

GameSession* AutoplayJourney::GetSession() const { return mSession.get(); }

Maze* AutoplayJourney::GetMap() const { return mSession->GetMap(); }

void AutoplayJourney::Step() {
    mSession->DoUpdate();
    ++mResult.mUpdates;
    BoardContainer* container = mSession->mBoard;
    Board* board = container ? container->GetBoard() : nullptr;
    if (!board || mSession->IsSwitchPending()) return;
    AutoplayGame::KeepAutopilotGoing(board);
    // The continue button's animation is skipped: a cleared level is won at once.
    if (board->mLevelCleared) mSession->LevelWon();
}

bool AutoplayJourney::NextNode(int* lane, int* step) const {
    const Maze* map = GetMap();
    if (!map) return false;
    for (int s = 0; s < Maze::kSteps; ++s)
        for (int l = 0; l < Maze::kLanes; ++l) {
            int32_t flags = map->Cell(l, s);
            if ((flags & Maze::kNode) && (flags & Maze::kRevealed) && !(flags & Maze::kDone)) {
                *lane = l;
                *step = s;
                return true;
            }
        }
    return false;
}

AutoplayJourney::Result AutoplayJourney::Play(int moves) {
    Maze* map = GetMap();
    while (map && mResult.mUpdates < kMaxUpdates && mSession->mMoves < moves && !mResult.mJourneyWon) {
        bool onMap = !mSession->mBoard && !mSession->IsSwitchPending();
        if (onMap) {
            if (map->TakeIdol()) {
                mResult.mJourneyWon = true;
                break;
            }
            int lane = 0, step = 0;
            if (!NextNode(&lane, &step)) break;
            bool treasure = (map->Cell(lane, step) & Maze::kTreasure) != 0;
            if (!map->Play(lane, step)) break;
            if (treasure) {
                ++mResult.mTreasures;
                continue;
            }
        }
        Step();
    }
    mResult.mMoves = mSession->mMoves;
    mResult.mScore = mSession->mScore;
    mResult.mLevelsWon = mSession->mWon;
    mResult.mLevelsLost = mSession->mLevelsLost;
    return mResult;
}

std::string AutoplayJourney::ToJson(const Result& r) {
    char text[320];
    std::snprintf(text, sizeof text,
                  "{\"moves\":%d,\"score\":%d,\"levels_won\":%d,\"levels_lost\":%d,\"treasures\":%d,\"journey_won\":%s,"
                  "\"updates\":%lld}",
                  r.mMoves, r.mScore, r.mLevelsWon, r.mLevelsLost, r.mTreasures, r.mJourneyWon ? "true" : "false",
                  static_cast<long long>(r.mUpdates));
    return text;
}
