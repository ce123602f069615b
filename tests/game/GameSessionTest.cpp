// The game in progress: points times the bonus slots with their floating texts, nothing for a
// hint's move, the floating text's life, and the end of a level in a journey and in a Gauntlet.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <memory>
#include <string>

#include "GeneratedArt.h"
#include "app/AppTestDriver.h"
#include "app/GraphicsDevice.h"
#include "app/ObjectManager.h"
#include "app/SoftwareGraphics.h"
#include "game/Board.h"
#include "game/BoardContainer.h"
#include "game/FloatingText.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "platform/FileSystem.h"

namespace {

void Steps(GameSession& session, int count) {
    for (int i = 0; i < count; ++i) session.DoUpdate();
}

// Starts a level and lets the level screen make its board.
Board* PlayLevel(GameSession& session, int levelId, bool freeForm = false) {
    session.StartLevelNow(levelId, freeForm);
    session.mBoard->DoUpdate();
    return session.mBoard->GetBoard();
}

const FloatingText* LastText(const GameSession& session) {
    int count = session.mTexts.Count();
    return count > 0 ? static_cast<const FloatingText*>(session.mTexts.At(count - 1)) : nullptr;
}

TEST(GameSessionTest, AddScoreAppliesEveryBonusSlotAndShowsThePoints) {
    struct Case {
        int32_t slots[GameSession::kBonusSlots];
        int points;
        int32_t added;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0}, 500, 500, "500"},
        {{2, 0, 0, 0, 0}, 500, 1000, "500x2"},
        {{0, 2, 0, 3, 0}, 500, 3000, "500x6"},
        {{3, 3, 2, 2, 2}, 10, 720, "10x72"},
        {{1, 0, 0, 0, 0}, 250, 250, "250"},
        {{0, 0, 0, 0, 2}, 0, 0, "0x2"},
    };
    for (const Case& c : cases) {
        // Without a level screen the score grows but nothing is shown.
        GameSession bare(nullptr);
        std::copy(std::begin(c.slots), std::end(c.slots), bare.mBonus);
        bare.mScore = 40;
        bare.AddScore(c.points, 0.0f, 0.0f);
        EXPECT_EQ(bare.mScore, 40 + c.added) << c.text;
        EXPECT_EQ(bare.mTexts.Count(), 0) << c.text;

        GameSession session(nullptr);
        std::copy(std::begin(c.slots), std::end(c.slots), session.mBonus);
        Board* board = PlayLevel(session, 1001);
        ASSERT_NE(board, nullptr);
        session.mBoard->mRect.x = 7.0f;
        session.mBoard->mRect.y = 3.0f;
        session.AddScore(c.points, 10.0f, 20.0f);
        EXPECT_EQ(session.mScore, c.added) << c.text;
        const FloatingText* text = LastText(session);
        ASSERT_NE(text, nullptr) << c.text;
        EXPECT_EQ(text->mText, c.text);
        // The point is on the board, which sits inside the level screen.
        EXPECT_FLOAT_EQ(text->mX, 10.0f + 7.0f + board->mRect.x);
        EXPECT_FLOAT_EQ(text->mY, 20.0f + 3.0f + board->mRect.y);
    }
}

TEST(GameSessionTest, ScoreAndMultiplierSaturateInsteadOfWrapping) {
    GameSession session(nullptr);
    session.mScore = INT32_MAX - 10;
    session.AddScore(1000, 0.0f, 0.0f);
    EXPECT_EQ(session.mScore, INT32_MAX);

    // Slots read from a damaged saved game.
    for (int32_t& slot : session.mBonus) slot = 100000;
    EXPECT_EQ(session.Multiplier(), INT32_MAX);
    session.mScore = 0;
    session.AddScore(5, 0.0f, 0.0f);
    EXPECT_EQ(session.mScore, INT32_MAX);
}

TEST(GameSessionTest, AHintsMoveScoresNothing) {
    GameSession session(nullptr);
    session.mBonus[0] = 2;
    Board* board = PlayLevel(session, 1001);
    ASSERT_NE(board, nullptr);
    board->mHintMove = true;
    session.AddScore(500, 0.0f, 0.0f);
    EXPECT_EQ(session.mScore, 0);
    EXPECT_EQ(session.mTexts.Count(), 0);
    board->mHintMove = false;
    session.AddScore(500, 0.0f, 0.0f);
    EXPECT_EQ(session.mScore, 1000);
}

TEST(GameSessionTest, FloatingTextWaitsThenShowsThenRemovesItself) {
    struct Case {
        int updates;
        bool alive, showing;
    };
    const Case cases[] = {
        {0, true, false},   {24, true, false}, {25, true, true},
        {124, true, true},  {125, false, false}, {300, false, false},
    };
    for (const Case& c : cases) {
        ObjectManager texts;
        auto* text = new FloatingText("500", nullptr, 100.0f, 100.0f);
        texts.Add(text);
        for (int i = 0; i < c.updates; ++i) texts.Update();
        ASSERT_EQ(texts.Count() == 1, c.alive) << c.updates << " updates";
        if (c.alive) {
            EXPECT_EQ(text->IsShowing(), c.showing) << c.updates << " updates";
        }
    }
}

// The game drawing into an 800 by 600 software back buffer.
class ShotGameApp : public GameApp {
public:
    Graphics* CreateGraphics() override { return new SoftwareGraphics(800, 600); }
};

// A grey screen under everything, so a black shadow shows.
class Backdrop : public Gadget {
public:
    Backdrop() { SetRect(0.0f, 0.0f, 800.0f, 600.0f); }
    void Draw() override {
        GraphicsDevice* device = GraphicsDevice::Current();
        device->SetColor(0.5f, 0.5f, 0.5f, 1.0f);
        device->FillRect(0.0f, 0.0f, 800.0f, 600.0f);
    }
};

struct Box {
    int left = 9999, top = 9999, right = -1, bottom = -1;
    void Add(int x, int y) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
};

TEST(GameSessionTest, FloatingTextIsWhiteOverABlackShadowCentredOnItsPoint) {
    std::filesystem::path art = GeneratedArt::Root();
    if (art.empty()) GTEST_SKIP() << "this build generated no resources";
    std::string resources = Files::ResourceRoot();
    Files::SetResourceRoot(art.string());
    {
        AppTestDriver<ShotGameApp> drive;
        ShotGameApp& app = *drive.app;
        ASSERT_TRUE(app.mFont4.Load("fonts\\font4"));
        app.mGadgets.Add(new Backdrop());
        auto* session = new GameSession(&app);
        app.mGadgets.Add(session);
        auto* text = new FloatingText("500x2", &app.mFont4, 300.0f, 200.0f);
        text->mWait = 0;
        session->mTexts.Add(text);
        drive.Frame();

        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        auto* device = dynamic_cast<SoftwareGraphics*>(app.mGraphics);
        ASSERT_NE(device, nullptr);
        ASSERT_TRUE(device->ReadPixels(pixels, width, height));
        Box white, black;
        // Around the point only: the backdrop leaves the screen's edge dark.
        ASSERT_EQ(width, 800);
        for (int y = 100; y < 300; ++y)
            for (int x = 100; x < 500; ++x) {
                uint32_t p = pixels[size_t(y) * size_t(width) + size_t(x)];
                int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
                if (r > 240 && g > 240 && b > 240) white.Add(x, y);
                if (r < 16 && g < 16 && b < 16) black.Add(x, y);
            }
        ASSERT_GE(white.right, 0) << "no white text";
        ASSERT_GE(black.right, 0) << "no shadow";
        EXPECT_NEAR((white.left + white.right) / 2.0, 300.0, 4.0);
        EXPECT_NEAR((white.top + white.bottom) / 2.0, 200.0, 6.0);
        // The glyphs carry a dark rim of their own on every side; the shadow adds 2 pixels on
        // the right and at the bottom only.
        EXPECT_NEAR((black.right - white.right) - (white.left - black.left), 2, 1);
        EXPECT_NEAR((black.bottom - white.bottom) - (white.top - black.top), 2, 1);
    }
    Files::SetResourceRoot(resources);
}

TEST(GameSessionTest, ALostJourneyLevelTakesBackItsPointsAndIsPlayedAgain) {
    GameSession session(nullptr);
    session.mScore = 1000;
    PlayLevel(session, 2003);
    BoardContainer* lost = session.mBoard;
    session.AddScore(500, 0.0f, 0.0f);
    ASSERT_EQ(session.mScore, 1500);

    session.GameOver();
    session.GameOver();  // a second report of the same loss counts once
    EXPECT_EQ(session.mScore, 1000);
    EXPECT_EQ(session.mLevelsLost, 1);
    EXPECT_TRUE(session.mHasLost);
    EXPECT_FALSE(session.mLevelWon);
    EXPECT_TRUE(session.mGameOver);

    Steps(session, GameSession::kSwitchDelay - 1);
    EXPECT_EQ(session.mBoard, lost) << "the lost board stays until the switch";
    Steps(session, 1);
    ASSERT_NE(session.mBoard, lost);
    EXPECT_TRUE(lost->mKilled);
    EXPECT_EQ(session.mBoard->mLevelId, 2003);
    EXPECT_FALSE(session.mGameOver);
    EXPECT_EQ(session.mLevelStartScore, 1000);
}

TEST(GameSessionTest, JourneyLevelsWonBeforeTheFirstLossAreCounted) {
    GameApp app;
    ASSERT_EQ(app.mStatistics.mMostLevelsWonBeforeLosing, -1);
    GameSession session(&app);
    PlayLevel(session, 2003);

    struct Step {
        bool won;
        int nextLevel, wonBeforeLoss, statistic;
    };
    const Step steps[] = {
        {true, 2004, 1, 1},
        {true, 2005, 2, 2},
        {false, 2005, 2, 2},
        {true, 2006, 2, 2},  // after a loss nothing more is counted
    };
    for (const Step& s : steps) {
        if (s.won)
            session.LevelWon();
        else
            session.GameOver();
        EXPECT_EQ(session.mLevelWon, s.won);
        EXPECT_EQ(session.mLevelsWonBeforeLoss, s.wonBeforeLoss);
        EXPECT_EQ(app.mStatistics.mMostLevelsWonBeforeLosing, s.statistic);
        Steps(session, GameSession::kSwitchDelay);
        ASSERT_NE(session.mBoard, nullptr);
        EXPECT_EQ(session.mBoard->mLevelId, s.nextLevel);
    }

    // A better record from an earlier journey stays.
    GameSession next(&app);
    app.mStatistics.mMostLevelsWonBeforeLosing = 5;
    PlayLevel(next, 1001);
    next.LevelWon();
    EXPECT_EQ(app.mStatistics.mMostLevelsWonBeforeLosing, 5);
}

TEST(GameSessionTest, AnEndedGauntletFeedsTheStatisticsAndANewOneStarts) {
    GameApp app;
    app.mStatistics.mMostGold = 3;
    GauntletSession session(&app);
    EXPECT_EQ(app.mMode, GameApp::kGauntlet);
    Steps(session, 1);
    ASSERT_NE(session.mBoard, nullptr);
    EXPECT_EQ(session.mBoard->mLevelId, GauntletSession::kLevelId);
    EXPECT_TRUE(session.mBoard->mFreeForm);

    struct Run {
        int gold, score, mostGold, completed;
    };
    for (const Run& run : {Run{9, 5000, 9, 1}, Run{2, 800, 9, 2}}) {
        BoardContainer* ended = session.mBoard;
        session.mGold = run.gold;
        session.mScore = run.score;
        session.mBonus[1] = 2;
        session.GameOver();
        session.GameOver();
        EXPECT_TRUE(session.mGameOver);
        EXPECT_EQ(app.mStatistics.mGauntletsCompleted, run.completed);
        EXPECT_EQ(app.mStatistics.mMostGold, run.mostGold);
        Steps(session, GameSession::kSwitchDelay);
        ASSERT_NE(session.mBoard, ended);
        EXPECT_TRUE(session.mBoard->mFreeForm);
        EXPECT_EQ(session.mScore, 0);
        EXPECT_EQ(session.mGold, 0);
        EXPECT_EQ(session.Multiplier(), 1);
        EXPECT_FALSE(session.mGameOver);
    }
}

}  // namespace
