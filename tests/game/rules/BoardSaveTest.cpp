// The level screen's saved record: the same bytes after loading, the states a level can be left
// in (a punch, a full meter rescued mid-move, no moves, the cleared screen, the Gauntlet going
// dark) resuming as they stood, and records that are not the level's own being refused.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/controls/Button.h"
#include "game/BoardTestKit.h"
#include "game/rules/Board_FreeForm.h"
#include "game/rules/LevelGenerator.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"

using namespace BoardTestKit;

namespace {

std::vector<uint8_t> Save(BoardContainer& container) {
    DataBuffer buffer;
    container.Serialize(buffer);
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

// A level screen loaded from a record inside its own session.
struct Loaded {
    Loaded(const std::vector<uint8_t>& bytes, bool freeForm) {
        mSession = std::make_unique<RecordingSession>(nullptr);
        mContainer = new BoardContainer(mSession.get(), nullptr);
        mSession->AddChild(mContainer);
        mSession->mBoard = mContainer;
        DataBuffer buffer;
        buffer.SetData(bytes.data(), bytes.size());
        RecordReader in(buffer);
        mContainer->Load(in, freeForm);
        in.ExpectEnd("level record");
        mProblem = in.Problem();
        mBoard = mContainer->GetBoard();
    }
    std::unique_ptr<RecordingSession> mSession;
    BoardContainer* mContainer = nullptr;
    Board* mBoard = nullptr;
    std::string mProblem;
};

// Where the game fields start in a level record: after the level id, the free-form flag and the
// slide board's record.
size_t GameFields(Board& board) {
    DataBuffer slide;
    board.SlideBoard::Save(slide);
    return 5 + size_t(slide.Size());
}

// Offsets of some game fields from the start of the game fields.
constexpr size_t kMeterFull = 10032, kRescued = 10033, kPunchActive = 10035, kPunchTimer = 10036;
constexpr size_t kLevelId = 10056, kBoardCells = 10065, kLevelCode = 10114;

void PutInt(std::vector<uint8_t>& bytes, size_t at, int32_t value) { std::memcpy(&bytes[at], &value, 4); }

}  // namespace

TEST(BoardSave, SavingWhatWasLoadedGivesTheSameBytes) {
    struct Case {
        const char* name;
        int levelId;
        bool freeForm;
        std::function<void(Level&)> play;
    };
    const Case cases[] = {
        {"a journey level as dealt", 2033, false, [](Level&) {}},
        {"the Gauntlet as dealt", 1006, true, [](Level&) {}},
        {"after a pass and its refill", 0, false,
         [](Level& l) {
             l.Known({"rrr"});
             l.RemovePass();
             l.FinishPunch();
             l.Settle();
         }},
        {"no moves left, pieces turning", 1001, false,
         [](Level& l) {
             l.mBoard->FakeNoMoves();
             for (int i = 0; i < 150; ++i) l.mBoard->Update();
         }},
        {"the cleared screen", 3004, false,
         [](Level& l) {
             l.LightAll();
             l.mBoard->ReadyForNextMoveCallback();
             for (int i = 0; i < 300; ++i) l.mBoard->Update();
         }},
        {"the Gauntlet going dark", 1006, true,
         [](Level& l) {
             l.LightAll();
             l.mBoard->Cleared();
             for (int i = 0; i < 120; ++i) l.mBoard->Update();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Level level(c.levelId, c.freeForm, 1);
        level.Settle();
        c.play(level);
        std::vector<uint8_t> first = Save(*level.mContainer);
        EXPECT_GT(level.mBoard->mPauseCount, 0) << "a saved board plays no further";
        Loaded loaded(first, c.freeForm);
        ASSERT_EQ(loaded.mProblem, "");
        EXPECT_EQ(dynamic_cast<Board_FreeForm*>(loaded.mBoard) != nullptr, c.freeForm);
        EXPECT_EQ(Save(*loaded.mContainer), first);
    }
}

TEST(BoardSave, APunchResumesWithoutTakingItsPiecesAgain) {
    // Level 0 is the plain five by five square the known positions are painted on.
    Level level(0, false, 0, false);
    level.Known({"rr", "..r"});
    level.Settle();
    std::vector<uint8_t> bytes = Save(*level.mContainer);
    size_t game = GameFields(*level.mBoard);
    // Left in the middle of a punch: the held pieces are not part of the record.
    bytes[game + kPunchActive] = 1;
    PutInt(bytes, game + kPunchTimer, 50);
    Loaded loaded(bytes, false);
    ASSERT_EQ(loaded.mProblem, "");
    Board& board = *loaded.mBoard;
    EXPECT_TRUE(board.mPunchActive);
    EXPECT_TRUE(board.mPunchList.Empty());
    int pieces = board.mPieces.Count();
    int score = loaded.mSession->mScore;
    for (int i = 0; i < 60; ++i) board.Update();
    EXPECT_FALSE(board.mPunchActive);
    EXPECT_EQ(board.mPieces.Count(), pieces) << "nothing vanished a second time";
    EXPECT_EQ(loaded.mSession->mScore, score);
    for (int i = 0; i < 200 && !board.CanMakeMove(); ++i) board.Update();
    EXPECT_TRUE(board.CanMakeMove()) << "the board takes moves again";
}

TEST(BoardSave, AFullMeterRescuedMidMoveDropsNothingWhenThatMoveEnds) {
    for (bool rescued : {true, false}) {
        SCOPED_TRACE(rescued ? "rescued" : "not rescued");
        Level level(0, false, 0, false);
        level.Known({});
        level.Settle();
        Board& board = *level.mBoard;
        board.mDangerLevel = 1.0f;
        board.mMeterFull = true;
        board.mDangerRescued = rescued;
        board.mDullbonesPerFill = 2;
        board.mPrevCanMakeMove = false;  // left before the move's end was seen
        Loaded loaded(Save(*level.mContainer), false);
        ASSERT_EQ(loaded.mProblem, "");
        int before = loaded.mBoard->CountDullbones();
        loaded.mBoard->Update();
        EXPECT_EQ(loaded.mSession->mMoves, 1) << "the move ended on the first update";
        int turning = 0;
        for (void* item : loaded.mBoard->mPieces.Items()) turning += static_cast<QuorlObject*>(item)->mVanishing ? 1 : 0;
        EXPECT_EQ(turning, rescued ? 0 : 2);
        EXPECT_EQ(loaded.mBoard->CountDullbones() - before, rescued ? 0 : 2);
    }
}

TEST(BoardSave, StatesThatAreNotStoredAreBuiltAgain) {
    {
        SCOPED_TRACE("a journey level keeps its code");
        Level level(2033, false, 0, false);
        Loaded loaded(Save(*level.mContainer), false);
        ASSERT_EQ(loaded.mProblem, "");
        EXPECT_EQ(loaded.mBoard->mLevelCode, GenerateLevel(2033).mCode);
        EXPECT_EQ(loaded.mBoard->mRect.x, level.mBoard->mRect.x) << "placed as a new level is";
    }
    {
        SCOPED_TRACE("no moves: the pieces still to turn");
        Level level(1001, false, 0, false);
        level.Settle();
        level.mBoard->FakeNoMoves();
        for (int i = 0; i < 130; ++i) level.mBoard->Update();
        int left = level.mBoard->mEndList.Count();
        ASSERT_GT(left, 0);
        Loaded loaded(Save(*level.mContainer), false);
        ASSERT_EQ(loaded.mProblem, "");
        EXPECT_EQ(loaded.mBoard->mEndList.Count(), left);
        for (int i = 0; i < 3000 && loaded.mSession->mGameOvers == 0; ++i) loaded.mBoard->Update();
        EXPECT_EQ(loaded.mSession->mGameOvers, 1) << "the level still ends";
    }
    {
        SCOPED_TRACE("the cleared screen's continue button");
        Level level(1001, false, 0, false);
        level.Settle();
        level.LightAll();
        level.mBoard->ReadyForNextMoveCallback();
        for (int i = 0; i < 200 && !level.mBoard->mContinueButton; ++i) level.mBoard->Update();
        ASSERT_NE(level.mBoard->mContinueButton, nullptr);
        Loaded loaded(Save(*level.mContainer), false);
        ASSERT_EQ(loaded.mProblem, "");
        ASSERT_NE(loaded.mBoard->mContinueButton, nullptr);
        loaded.mBoard->Notify(reinterpret_cast<intptr_t>(loaded.mBoard->mContinueButton));
        EXPECT_EQ(loaded.mSession->mWins, 1);
    }
    {
        SCOPED_TRACE("the Gauntlet's tiles still to go dark");
        Level level(1006, true, 0, false);
        level.Settle();
        level.LightAll();
        level.mBoard->Cleared();
        for (int i = 0; i < 200; ++i) level.mBoard->Update();
        auto* freeForm = static_cast<Board_FreeForm*>(level.mBoard);
        size_t left = freeForm->mCells.size();
        ASSERT_GT(left, 0u);
        Loaded loaded(Save(*level.mContainer), true);
        ASSERT_EQ(loaded.mProblem, "");
        EXPECT_EQ(static_cast<Board_FreeForm*>(loaded.mBoard)->mCells.size(), left);
        for (int i = 0; i < 5000 && loaded.mBoard->mLevelCleared; ++i) loaded.mBoard->Update();
        EXPECT_FALSE(loaded.mBoard->mLevelCleared) << "the round ends and play goes on";
    }
}

TEST(BoardSave, RefusesRecordsThatAreNotTheLevelsOwn) {
    Level level(2033, false, 0, false);
    level.Settle();
    const std::vector<uint8_t> good = Save(*level.mContainer);
    const size_t game = GameFields(*level.mBoard);
    struct Case {
        const char* name;
        bool freeForm;
        std::function<void(std::vector<uint8_t>&)> damage;
        const char* problem;
    };
    const Case cases[] = {
        {"read as the Gauntlet's", true, [](auto&) {}, "free-form"},
        {"another level's id", false, [](auto& b) { PutInt(b, 0, 2034); }, "not the one of level 2034"},
        {"the board's own id differs", false, [=](auto& b) { PutInt(b, game + kLevelId, 2034); }, "level id"},
        {"cell count", false, [=](auto& b) { PutInt(b, game + kBoardCells, 1); }, "cell count"},
        {"a lit tile byte 2", false, [=](auto& b) { b[game + 77] = 2; }, "lit tile"},
        {"meter full byte 7", false, [=](auto& b) { b[game + kMeterFull] = 7; }, "meter full"},
        {"rescued byte 255", false, [=](auto& b) { b[game + kRescued] = 255; }, "danger rescued"},
        {"a level code naming another file", false, [=](auto& b) { std::memcpy(&b[game + kLevelCode + 4], "../", 3); },
         "level code"},
        {"a level code too long to be one", false, [=](auto& b) { PutInt(b, game + kLevelCode, 5000); }, "level code"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        Loaded loaded(bytes, c.freeForm);
        EXPECT_NE(loaded.mProblem.find(c.problem), std::string::npos) << "problem: " << loaded.mProblem;
    }
}
