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
#include "game/SavedGame.h"
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

AutoplayJourney::AutoplayJourney(std::unique_ptr<RunSession> session) : mSession(std::move(session)) {
    mMovesAtStart = mSession->mMoves;
    mLostAtStart = mSession->mLevelsLost;
}

std::unique_ptr<AutoplayJourney> AutoplayJourney::Resume(const std::vector<uint8_t>& bytes, uint32_t seed,
                                                         std::string* problem) {
    ProgramRandom().Seed(seed);
    auto make = [](bool gauntlet, GameApp*) -> std::unique_ptr<GameSession> {
        if (gauntlet) return nullptr;
        return std::make_unique<RunSession>();
    };
    if (!bytes.empty() && bytes[0] == 1) {
        if (problem) *problem = "a Gauntlet game is not a journey";
        return nullptr;
    }
    std::unique_ptr<GameSession> session = SavedGame::Read(bytes, nullptr, problem, make);
    if (!session) return nullptr;
    std::unique_ptr<RunSession> run(static_cast<RunSession*>(session.release()));
    return std::unique_ptr<AutoplayJourney>(new AutoplayJourney(std::move(run)));
}

bool AutoplayJourney::Save(std::vector<uint8_t>* bytes) {
    bytes->clear();
    if (mSession->IsFinished()) return false;
    *bytes = SavedGame::Write(*mSession);
    return true;
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
    if (board->mLevelCleared) {
        mSession->LevelWon();
        return;
    }
    if (mSession->mMoves != mMovesSeen || board != mBoardSeen) {
        mMovesSeen = mSession->mMoves;
        mBoardSeen = board;
        mUpdatesWithoutMove = 0;
    } else if (++mUpdatesWithoutMove >= kMaxUpdatesWithoutMove) {
        mUpdatesWithoutMove = 0;
        mSession->GameOver();
    }
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
    while (map && mResult.mUpdates < kMaxUpdates && mSession->mMoves - mMovesAtStart < moves && !mResult.mJourneyWon) {
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
    mResult.mMoves = mSession->mMoves - mMovesAtStart;
    mResult.mScore = mSession->mScore;
    mResult.mLevelsWon = mSession->mWon;
    mResult.mLevelsLost = mSession->mLevelsLost - mLostAtStart;
    return mResult;
}

std::string AutoplayJourney::ToJson(const Result& r) {
    char text[320];
    std::snprintf(text, sizeof text,
                  "{\"moves\":%d,\"score\":%d,\"levels_won\":%d,\"levels_lost\":%d,\"treasures\":%d,\"journey_won\":%s,"
                  "\"updates\":%lld%s}",
                  r.mMoves, r.mScore, r.mLevelsWon, r.mLevelsLost, r.mTreasures, r.mJourneyWon ? "true" : "false",
                  static_cast<long long>(r.mUpdates),
                  !r.mSaved ? "" : *r.mSaved ? ",\"saved\":true" : ",\"saved\":false");
    return text;
}
