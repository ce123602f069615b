// The slide board's saved record: its exact layout, saving and loading again giving the same
// bytes, a loaded board playing on as the saved one would, the autopilot and a drag at the time of
// saving, and records no board can have being refused before anything is built from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BoardTestSupport.h"
#include "board/BoardRandom.h"
#include "board/QuorlObject.h"
#include "board/SlideLine.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"

namespace {

// A board that settles the way the game rules let it (so the autopilot can move again), with the
// game's pieces when asked. Its autopilot searches the lines in layout order: the order the last
// drag shuffled them into is not part of the record.
class SettlingBoard : public SlideBoard {
public:
    explicit SettlingBoard(bool quorls = false) : mQuorls(quorls) {}
    void Update() override {
        if (!mPlayerDragActive && !mAutoDragActive) {
            for (List* lines : {&mRowLines, &mColumnLines}) {
                std::vector<SlideLine*> order;
                for (void* item : lines->Items()) order.push_back(static_cast<SlideLine*>(item));
                std::stable_sort(order.begin(), order.end(), [](const SlideLine* a, const SlideLine* b) {
                    return a->mCellArea.y != b->mCellArea.y ? a->mCellArea.y < b->mCellArea.y
                                                            : a->mCellArea.x < b->mCellArea.x;
                });
                lines->Clear();
                for (SlideLine* line : order) lines->Add(line);
            }
        }
        if (IsAnythingFalling()) mSettleCounter = 4;
        if (mSettleCounter > 0) --mSettleCounter;
        SlideBoard::Update();
    }
    SlideObject* NewSlideObject() override {
        if (mQuorls) return new QuorlObject(this, &mContext);
        return SlideBoard::NewSlideObject();
    }
    void AutoPilotFinishedMoveCallback() override { ++mMoves; }
    // Plays `moves` autopilot moves and then lets the board come to rest.
    void PlayMoves(int moves) {
        SetAutopilot(true);
        mAutoStartDelay = 0;
        int target = mMoves + moves;
        for (int i = 0; i < 200000 && mMoves < target && !mAutoStuck; ++i) Update();
        SetAutopilot(false);
        BringToRest();
    }

    bool mQuorls;
    QuorlContext mContext;
    int mMoves = 0;
};

std::vector<uint8_t> Record(SlideBoard& board) {
    DataBuffer buffer;
    board.Save(buffer);
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

// Loads a record into a fresh board; returns the reader's problem (empty when it loaded).
std::string LoadInto(SlideBoard& board, const std::vector<uint8_t>& bytes) {
    DataBuffer buffer;
    buffer.SetData(bytes.data(), bytes.size());
    RecordReader in(buffer);
    board.Load(in);
    in.ExpectEnd("board record");
    return in.Problem();
}

void PutInt(std::vector<uint8_t>& bytes, size_t at, int32_t value) { std::memcpy(&bytes[at], &value, 4); }
void PutFloat(std::vector<uint8_t>& bytes, size_t at, float value) { std::memcpy(&bytes[at], &value, 4); }
int32_t GetInt(const std::vector<uint8_t>& bytes, size_t at) {
    int32_t v;
    std::memcpy(&v, &bytes[at], 4);
    return v;
}

const char* const kShaped = "[ #### ][######][##  ##][######][ #### ]";

}  // namespace

TEST(SlideBoardSave, TheRecordHasItsFixedLayout) {
    for (bool quorls : {false, true}) {
        SCOPED_TRACE(quorls ? "game pieces" : "plain pieces");
        SettlingBoard board(quorls);
        Make(board, kSquare5, 500, 7);
        board.mNumColors = 6;
        std::vector<uint8_t> bytes = Record(board);
        size_t layoutLength = std::strlen(kSquare5) + 1;
        size_t pieceSize = quorls ? 147 : 109;
        ASSERT_EQ(bytes.size(), 384 + 4 + layoutLength + 4 + 4 + 25 * pieceSize);
        EXPECT_EQ(GetInt(bytes, 0), 6);
        float cell;
        std::memcpy(&cell, &bytes[4], 4);
        EXPECT_EQ(cell, 100.0f);
        EXPECT_EQ(GetInt(bytes, 8), 6) << "column bound";
        EXPECT_EQ(GetInt(bytes, 132), board.mRandom.mJ);
        EXPECT_EQ(GetInt(bytes, 136), board.mRandom.mK);
        EXPECT_EQ(GetInt(bytes, 384), int32_t(layoutLength));
        EXPECT_EQ(0, std::memcmp(&bytes[388], kSquare5, layoutLength));
        EXPECT_EQ(GetInt(bytes, 388 + layoutLength), 500) << "board size";
        EXPECT_EQ(GetInt(bytes, 392 + layoutLength), 25) << "piece count";
        // The first piece begins with its position; a game piece ends with its mirrored flag.
        size_t first = 396 + layoutLength;
        auto* piece = board.mPieces.At<SlideObject>(0);
        float x;
        std::memcpy(&x, &bytes[first], 4);
        EXPECT_EQ(x, piece->mX);
        EXPECT_EQ(GetInt(bytes, first + 8), piece->mColor);
        if (quorls) {
            EXPECT_EQ(bytes[first + 146], static_cast<QuorlObject*>(piece)->mMirrored ? 1 : 0);
        }
    }
}

TEST(SlideBoardSave, SavingWhatWasLoadedGivesTheSameBytes) {
    struct Case {
        const char* layout;
        int seed, moves;
        bool quorls;
    };
    const Case cases[] = {{kSquare5, 1, 0, false}, {kSquare5, 2, 6, true}, {kShaped, 3, 4, true},
                          {"[AAaaa][AAaaa][#####][#####]", 4, 3, false}, {kShaped, 5, 10, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " seed " + std::to_string(c.seed));
        SettlingBoard board(c.quorls);
        Make(board, c.layout, 480, c.seed);
        board.PlayMoves(c.moves);
        std::vector<uint8_t> first = Record(board);
        SettlingBoard loaded(c.quorls);
        ASSERT_EQ(LoadInto(loaded, first), "");
        EXPECT_TRUE(loaded.mInitialized) << "a loaded board is not built again";
        EXPECT_EQ(Letters(loaded), Letters(board));
        EXPECT_EQ(Record(loaded), first);
    }
}

TEST(SlideBoardSave, ALoadedBoardPlaysOnAsTheSavedOneWould) {
    // The saved random state is kept after the layout is built again, so the refills, the
    // autopilot's choices and every later position follow the same course.
    SettlingBoard board;
    Make(board, kShaped, 480, 11);
    board.PlayMoves(3);
    SettlingBoard loaded;
    ASSERT_EQ(LoadInto(loaded, Record(board)), "");
    board.PlayMoves(8);
    loaded.PlayMoves(8);
    EXPECT_EQ(Letters(loaded), Letters(board));
    EXPECT_EQ(loaded.mRandom.Next(), board.mRandom.Next());
}

TEST(SlideBoardSave, TheAutopilotResumesWithItsMoveAndCountdowns) {
    SettlingBoard board;
    Make(board, kSquare5, 500, 3);
    board.SetAutopilot(true);
    board.mAutoStartDelay = 40;
    board.SetAutopilot(false);
    board.SetAutopilot(true);
    for (int i = 0; i < 10; ++i) board.Update();  // the move is found; the countdown runs
    ASSERT_FALSE(board.mAutoNeedNewMove);
    ASSERT_GT(board.mAutoStartCountdown, 0);
    SlideMove move = board.mAutoMove;
    int countdown = board.mAutoStartCountdown;
    SettlingBoard loaded;
    ASSERT_EQ(LoadInto(loaded, Record(board)), "");
    EXPECT_TRUE(loaded.mAutopilot);
    EXPECT_EQ(loaded.mAutoMove.mFromX, move.mFromX);
    EXPECT_EQ(loaded.mAutoMove.mToY, move.mToY);
    EXPECT_EQ(loaded.mAutoStartCountdown, countdown);
    EXPECT_EQ(loaded.mAutoStartDelay, 40);
    // It goes on to make that move.
    for (int i = 0; i < 3000 && loaded.mMoves == 0; ++i) loaded.Update();
    EXPECT_EQ(loaded.mMoves, 1);
}

TEST(SlideBoardSave, ADragUnderWayIsLetGoBeforeSaving) {
    struct Case {
        const char* name;
        std::function<void(SettlingBoard&)> drag;
    };
    const Case cases[] = {
        {"the player's drag",
         [](SettlingBoard& b) {
             b.MouseDown(250.0f, 150.0f, -1);
             b.StartDrag(250.0f, 150.0f);
             b.Drag(287.0f, 150.0f);
         }},
        {"the autopilot's drag",
         [](SettlingBoard& b) {
             b.SetAutopilot(true);
             b.mAutoStartDelay = 0;
             b.mAutoStepsPerUpdate = 0.5f;
             b.SetAutopilot(false);
             b.SetAutopilot(true);
             for (int i = 0; i < 20 && !b.mAutoDragActive; ++i) b.Update();
             b.Update();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettlingBoard board;
        Make(board, kSquare5, 500, 5);
        std::vector<std::string> before = Letters(board);
        c.drag(board);
        ASSERT_TRUE(board.mPlayerDragActive || board.mAutoDragActive);
        std::vector<uint8_t> bytes = Record(board);
        EXPECT_FALSE(board.mPlayerDragActive || board.mAutoDragActive || board.mDragged);
        EXPECT_FALSE(board.mAutoMoveInProgress) << "the autopilot finds its move again";
        EXPECT_EQ(Letters(board), before) << "the line went back: the move was not made";
        SettlingBoard loaded;
        ASSERT_EQ(LoadInto(loaded, bytes), "");
        EXPECT_EQ(Letters(loaded), before);
        for (void* item : loaded.mPieces.Items()) {
            auto* p = static_cast<SlideObject*>(item);
            EXPECT_EQ(p->mX, p->mHomeX);
            EXPECT_EQ(p->mWrappedX, p->mX);
        }
    }
}

TEST(SlideBoardSave, RefusesRecordsNoBoardCanHave) {
    SettlingBoard board;
    Make(board, kSquare5, 500, 9);
    const std::vector<uint8_t> good = Record(board);
    const size_t layoutEnd = 388 + std::strlen(kSquare5) + 1;
    const size_t count = layoutEnd + 4, first = count + 4, second = first + 109;
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        const char* problem;
    };
    const Case cases[] = {
        {"no colours", [](auto& b) { PutInt(b, 0, 0); }, "number of colours"},
        {"nine colours", [](auto& b) { PutInt(b, 0, 9); }, "number of colours"},
        {"cell size zero", [](auto& b) { PutFloat(b, 4, 0.0f); }, "cell size"},
        {"cell size not the layout's", [](auto& b) { PutFloat(b, 4, 99.0f); }, "cell size and bounds"},
        {"column bound not the layout's", [](auto& b) { PutInt(b, 8, 7); }, "cell size and bounds"},
        {"bool byte 2", [](auto& b) { b[32] = 2; }, "axis locked"},
        {"drag point not a number", [](auto& b) { PutInt(b, 16, 0x7FC00000); }, "drag start x"},
        {"no fall acceleration", [](auto& b) { PutFloat(b, 40, 0.0f); }, "fall acceleration"},
        {"random index outside", [](auto& b) { PutInt(b, 132, 55); }, "random index j"},
        {"random word too wide", [](auto& b) { PutInt(b, 140, 1 << 30); }, "random word"},
        {"huge layout length", [](auto& b) { PutInt(b, 384, 0x7FFFFFFF); }, "layout"},
        {"layout not a board", [](auto& b) { b[388] = 'x'; }, "layout"},
        {"board size zero", [=](auto& b) { PutInt(b, layoutEnd, 0); }, "board size"},
        {"millions of pieces", [=](auto& b) { PutInt(b, count, 3000000); }, "piece count"},
        {"one piece too many", [=](auto& b) { PutInt(b, count, 26); }, "piece count"},
        {"colour 9", [=](auto& b) { PutInt(b, first + 8, 9); }, "piece colour"},
        {"piece far outside", [=](auto& b) { PutFloat(b, first, 5000.0f); }, "does not lie on the board"},
        {"piece between cells", [=](auto& b) { PutFloat(b, first, 50.0f); }, "does not lie on the board"},
        {"two pieces in one cell", [=](auto& b) { std::memcpy(&b[second], &b[first], 8); }, "shares a cell"},
        {"piece of the wrong size", [=](auto& b) { PutFloat(b, first + 12, 150.0f); }, "its size"},
        {"grid width huge", [=](auto& b) { PutInt(b, first + 79, 1 << 30); }, "grid width"},
        {"trailing bytes", [](auto& b) { b.push_back(0); }, "follow the end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = good;
        c.damage(bytes);
        SettlingBoard loaded;
        std::string problem = LoadInto(loaded, bytes);
        EXPECT_NE(problem.find(c.problem), std::string::npos) << "problem: " << problem;
    }
    // Cut short anywhere.
    for (size_t length = 0; length < good.size(); length += (length < first ? 1 : 7)) {
        SettlingBoard loaded;
        std::vector<uint8_t> bytes(good.begin(), good.begin() + long(length));
        EXPECT_NE(LoadInto(loaded, bytes), "") << "cut at " << length;
    }
}
