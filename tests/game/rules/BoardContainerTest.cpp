// The level screen around the board: which board it makes, the hint button and its price, the
// blinking meter frame, and whole levels played headless by the autopilot.
#include <gtest/gtest.h>

#include "engine/core/AppTestDriver.h"
#include "engine/draw/SoftwareGraphics.h"
#include "game/AutoplayGame.h"
#include "game/BoardTestKit.h"
#include "game/rules/Board_FreeForm.h"
#include "game/ShotKit.h"

using namespace BoardTestKit;

TEST(BoardContainer, MakesTheBoardItsFlagAsksFor) {
    struct Case {
        int levelId;
        bool freeForm;
        int boardLevel;
    };
    const Case cases[] = {{1003, false, 1003}, {2005, false, 2005}, {1003, true, Board_FreeForm::kLevelId}};
    for (const Case& c : cases) {
        Level level(c.levelId, c.freeForm, 0, false);
        ASSERT_NE(level.mBoard, nullptr);
        EXPECT_EQ(dynamic_cast<Board_FreeForm*>(level.mBoard) != nullptr, c.freeForm);
        EXPECT_EQ(level.mBoard->mLevelId, c.boardLevel);
        EXPECT_EQ(level.mBoard->mParent, level.mContainer);
        EXPECT_EQ(level.mBoard->mSession, level.mSession.get());
    }
}

TEST(BoardContainer, TheHintButtonDoesNothingUntilTheBoardTakesAMove) {
    struct Case {
        const char* name;
        void (*setup)(Board&);
        bool hint;
    };
    const Case cases[] = {
        {"settled", [](Board&) {}, true},
        {"still settling", [](Board& b) { b.mSettleCounter = 2; }, false},
        {"punch showing", [](Board& b) { b.mPunchActive = true; }, false},
        {"no moves", [](Board& b) { b.mNoMoves = true; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Level level;
        level.Settle();
        Board& board = *level.mBoard;
        board.mDangerLevel = 0.25f;
        c.setup(board);
        level.mContainer->Notify(reinterpret_cast<intptr_t>(level.mContainer->mHintButton));
        EXPECT_EQ(board.IsHintShowing(), c.hint);
        EXPECT_EQ(board.mAutopilot, c.hint);
        EXPECT_FLOAT_EQ(board.mDangerLevel, c.hint ? 0.75f : 0.25f);
    }
}

TEST(BoardContainer, AHintPlaysOneMoveThatPaysNothingAndTheHandLeaves) {
    Level level;
    level.Settle();
    Board& board = *level.mBoard;
    board.mDangerPerMove = 0.0f;
    level.mContainer->Notify(reinterpret_cast<intptr_t>(level.mContainer->mHintButton));
    ASSERT_TRUE(board.IsHintShowing());
    // The player cannot drag while the hint shows.
    board.MouseDown(50.0f, 50.0f, 0);
    board.StartDrag(50.0f, 50.0f);
    EXPECT_FALSE(board.mPlayerDragActive);
    int updates = 0;
    while (board.IsHintShowing() && updates < 3000) {
        level.mSession->DoUpdate();
        ++updates;
    }
    EXPECT_FALSE(board.IsHintShowing());
    EXPECT_FALSE(board.mAutopilot);
    EXPECT_EQ(level.mSession->mScore, 0);
    EXPECT_GT(board.mQuorlsUsed, 0) << "the hint made its move";
    // The player's next drag is a move of their own again.
    level.Settle();
    board.MouseDown(50.0f, 50.0f, 0);
    board.StartDrag(50.0f, 50.0f);
    EXPECT_FALSE(board.mHintMove);
}

namespace {

using ShotKit::ShotGameApp;

void Solid(Sprite& sprite, uint32_t argb) {
    Image image;
    image.Create(20, 20, argb);
    sprite.SetImage(image);
}

}  // namespace

TEST(BoardContainer, TheMeterFrameBlinksOnlyWhenFull) {
    AppTestDriver<ShotGameApp> drive;
    GameApp& app = *drive.app;
    Solid(app.mDangerMeter, 0xFF0000FFu);
    Solid(app.mDangerMeter2, 0xFFFF0000u);
    auto* container = new BoardContainer(nullptr, &app);
    container->mLevelId = 1001;
    app.mGadgets.Add(container);
    drive.Step();
    Board* board = container->GetBoard();
    ASSERT_NE(board, nullptr);
    auto frameColor = [&]() {
        drive.Frame();
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        if (!static_cast<SoftwareGraphics*>(app.mGraphics)->ReadPixels(pixels, width, height)) return 0u;
        return pixels[size_t(95) * size_t(width) + 620] & 0xFFFFFFu;
    };
    struct Case {
        float level;
        bool full;
        bool blinks;
    };
    const Case cases[] = {{0.99f, true, false}, {1.0f, false, false}, {1.0f, true, true}, {0.5f, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.level) + (c.full ? " full" : ""));
        board->mDangerLevel = c.level;
        board->mMeterFull = c.full;
        // Half a blink period apart: the two images alternate only when the frame blinks.
        container->mMeterBlink.Restart(25);
        uint32_t first = frameColor();
        for (int i = 0; i < 25; ++i) container->Update();
        uint32_t second = frameColor();
        EXPECT_EQ(first == second, !c.blinks);
        EXPECT_TRUE(first == 0x0000FFu || first == 0xFF0000u) << std::hex << first;
        if (!c.blinks) {
            EXPECT_EQ(first, 0x0000FFu);
        }
    }
}

TEST(AutoplayGame, SameArgumentsSameGame) {
    struct Case {
        bool gauntlet;
        int level;
        uint32_t seed;
        int moves;
    };
    const Case cases[] = {{false, 1000, 3, 50}, {false, 2004, 9, 30}, {true, 0, 5, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.level) + " seed " + std::to_string(c.seed));
        std::string first, second;
        {
            AutoplayGame game(c.gauntlet, c.level, c.seed);
            first = AutoplayGame::ToJson(game.Play(c.moves));
        }
        {
            AutoplayGame game(c.gauntlet, c.level, c.seed);
            second = AutoplayGame::ToJson(game.Play(c.moves));
        }
        EXPECT_EQ(first, second);
        EXPECT_NE(first.find("\"moves\":"), std::string::npos);
    }
}

TEST(AutoplayGame, AJourneyLevelEndsClearedOrLost) {
    for (int levelId : {1000, 1003, 3002}) {
        SCOPED_TRACE(levelId);
        AutoplayGame game(false, levelId, 7);
        AutoplayGame::Result result = game.Play(1 << 30);
        EXPECT_TRUE(result.mCleared != result.mGameOver) << AutoplayGame::ToJson(result);
        EXPECT_LT(result.mUpdates, AutoplayGame::kMaxUpdates);
        EXPECT_GT(result.mMoves, 0);
        if (result.mCleared) {
            EXPECT_GT(result.mScore, 0);
            EXPECT_TRUE(game.GetBoard()->IsBoardCleared());
        }
    }
}
