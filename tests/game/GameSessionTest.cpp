// The game in progress: points times the bonus slots with their floating texts, nothing for a
// hint's move, the floating text's life and look, and the end of a level in a journey and of a
// Gauntlet.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>

#include "engine/core/AppTestDriver.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/SoftwareGraphics.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/ScreenFader.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "game/rules/FloatingText.h"
#include "GeneratedArt.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"
#include "game/ShotKit.h"

namespace {

using ShotKit::ShotGameApp;

void Steps(GameSession& session, int count) {
    for (int i = 0; i < count; ++i) session.DoUpdate();
}

// Starts a level and lets the level screen make its board.
Board* PlayLevel(GameSession& session, int levelId) {
    session.StartLevelNow(levelId);
    session.mBoard->DoUpdate();
    return session.mBoard->GetBoard();
}

TEST(GameSessionTest, AddScoreAppliesEveryBonusSlotAndShowsThePoints) {
    struct Case {
        int32_t slots[GameSession::kBonusSlots];
        int points;
        int32_t added;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0}, 500, 500, "500"},  {{2, 0, 0, 0, 0}, 500, 1000, "500x2"},
        {{0, 2, 0, 3, 0}, 500, 3000, "500x6"}, {{3, 3, 2, 2, 2}, 10, 720, "10x72"},
        {{1, 0, 0, 0, 0}, 250, 250, "250"},
    };
    for (const Case& c : cases) {
        GameSession session(nullptr);
        std::copy(std::begin(c.slots), std::end(c.slots), session.mBonus);
        session.AddScore(c.points, 0.0f, 0.0f);  // no level screen: nothing is shown
        EXPECT_EQ(session.mTexts.Count(), 0);
        Board* board = PlayLevel(session, 1001);
        session.mBoard->mRect.x = 7.0f;
        session.AddScore(c.points, 10.0f, 20.0f);
        EXPECT_EQ(session.mScore, 2 * c.added) << c.text;
        ASSERT_EQ(session.mTexts.Count(), 1) << c.text;
        auto* text = static_cast<const FloatingText*>(session.mTexts.At(0));
        EXPECT_EQ(text->mText, c.text);
        // The point is on the board, which sits inside the level screen.
        EXPECT_FLOAT_EQ(text->mX, 10.0f + 7.0f + board->mRect.x);
        EXPECT_FLOAT_EQ(text->mY, 20.0f + board->mRect.y);
    }
}

TEST(GameSessionTest, ScoreAndMultiplierSaturateInsteadOfWrapping) {
    GameSession session(nullptr);
    session.mScore = INT32_MAX - 10;
    session.AddScore(1000, 0.0f, 0.0f);
    EXPECT_EQ(session.mScore, INT32_MAX);
    for (int32_t& slot : session.mBonus) slot = 100000;  // from a damaged saved game
    EXPECT_EQ(session.Multiplier(), INT32_MAX);
}

TEST(GameSessionTest, AHintsMoveScoresNothing) {
    GameSession session(nullptr);
    Board* board = PlayLevel(session, 1001);
    board->mHintMove = true;
    session.AddScore(500, 0.0f, 0.0f);
    EXPECT_EQ(session.mScore, 0);
    EXPECT_EQ(session.mTexts.Count(), 0);
    board->mHintMove = false;
    session.AddScore(500, 0.0f, 0.0f);
    EXPECT_EQ(session.mScore, 500);
}

TEST(GameSessionTest, FloatingTextWaitsThenShowsThenRemovesItself) {
    // Updates run, whether the text is still there, whether it shows.
    const int cases[][3] = {{0, 1, 0}, {24, 1, 0}, {25, 1, 1}, {124, 1, 1}, {125, 0, 0}};
    for (const auto& c : cases) {
        ObjectManager texts;
        auto* text = new FloatingText("500", nullptr, 100.0f, 100.0f);
        texts.Add(text);
        for (int i = 0; i < c[0]; ++i) texts.Update();
        ASSERT_EQ(texts.Count(), c[1]) << c[0] << " updates";
        EXPECT_TRUE(c[1] == 0 || text->IsShowing() == (c[2] == 1)) << c[0] << " updates";
    }
}

// A grey screen under everything, so a black shadow shows.
// A session with nothing of its own on screen (a journey would show its map).
class BareSession : public GameSession {
public:
    using GameSession::GameSession;
    bool HasMap() const override { return false; }
};

class Backdrop : public Gadget {
public:
    Backdrop() { SetRect(0.0f, 0.0f, 800.0f, 600.0f); }
    void Draw() override {
        GraphicsDevice::Current()->SetColor(0.5f, 0.5f, 0.5f, 1.0f);
        GraphicsDevice::Current()->FillRect(0.0f, 0.0f, 800.0f, 600.0f);
    }
};

TEST(GameSessionTest, FloatingTextIsWhiteOverABlackShadowCentredOnItsPoint) {
    if (GeneratedArt::Root().empty()) GTEST_SKIP() << "this build generated no resources";
    std::string resources = Files::ResourceRoot();
    Files::SetResourceRoot(GeneratedArt::Root().string());
    AppTestDriver<ShotGameApp> drive;
    ASSERT_TRUE(drive.app->mFont4.Load("fonts\\font4"));
    Files::SetResourceRoot(resources);
    drive.app->mGadgets.Add(new Backdrop());
    auto* session = new BareSession(drive.app.get());
    drive.app->mGadgets.Add(session);
    auto* text = new FloatingText("500x2", &drive.app->mFont4, 300.0f, 200.0f);
    text->mWait = 0;
    session->mTexts.Add(text);
    drive.Frame();

    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(static_cast<SoftwareGraphics*>(drive.app->mGraphics)->ReadPixels(pixels, width, height));
    ASSERT_EQ(width, 800);
    // Boxes (left, top, right, bottom) of white and of black pixels around the point.
    int white[4] = {9999, 9999, -1, -1}, black[4] = {9999, 9999, -1, -1};
    auto grow = [](int* box, int x, int y) {
        box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
    };
    for (int y = 100; y < 300; ++y)
        for (int x = 100; x < 500; ++x) {
            uint32_t p = pixels[size_t(y) * 800 + size_t(x)];
            uint32_t r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            if (std::min({r, g, b}) > 240) grow(white, x, y);
            if (std::max({r, g, b}) < 16) grow(black, x, y);
        }
    ASSERT_GE(white[2], 0) << "no white text";
    EXPECT_NEAR((white[0] + white[2]) / 2.0, 300.0, 4.0);
    EXPECT_NEAR((white[1] + white[3]) / 2.0, 200.0, 6.0);
    // The glyphs carry a dark rim on every side; the shadow adds 2 pixels right and down only.
    EXPECT_NEAR((black[2] - white[2]) - (white[0] - black[0]), 2, 1);
    EXPECT_NEAR((black[3] - white[3]) - (white[1] - black[1]), 2, 1);
}

TEST(GameSessionTest, ALostJourneyLevelTakesBackItsPointsAndIsPlayedAgain) {
    GameSession session(nullptr);
    session.mScore = 1000;
    PlayLevel(session, 2003);
    BoardContainer* lost = session.mBoard;
    session.AddScore(500, 0.0f, 0.0f);
    session.GameOver();
    session.GameOver();  // a second report of the same loss counts once
    EXPECT_EQ(session.mScore, 1000);
    EXPECT_EQ(session.mLevelsLost, 1);
    EXPECT_TRUE(session.mHasLost && session.mGameOver && !session.mLevelWon);

    Steps(session, GameSession::kSwitchDelay - 1);
    EXPECT_EQ(session.mBoard, lost) << "the lost board stays until the switch";
    Steps(session, 1);
    ASSERT_NE(session.mBoard, lost);
    EXPECT_TRUE(lost->mKilled);
    EXPECT_EQ(session.mBoard->mLevelId, 2003);
    EXPECT_FALSE(session.mGameOver);
}

TEST(GameSessionTest, JourneyLevelsWonBeforeTheFirstLossAreCounted) {
    GameApp app;
    GameSession session(&app);
    PlayLevel(session, 2003);
    // Won or lost, then the level that follows, the count, and the lifetime record (-1: none yet).
    const int steps[][4] = {{1, 2004, 1, 1}, {1, 2005, 2, 2}, {0, 2005, 2, 2}, {1, 2006, 2, 2}};
    for (const auto& s : steps) {
        s[0] ? session.LevelWon() : session.GameOver();
        EXPECT_EQ(session.mLevelWon, s[0] == 1);
        EXPECT_EQ(session.mLevelsWonBeforeLoss, s[2]);
        EXPECT_EQ(app.mStatistics.mMostLevelsWonBeforeLosing, s[3]);
        Steps(session, GameSession::kSwitchDelay);
        EXPECT_EQ(session.mBoard->mLevelId, s[1]);
    }
}

TEST(GameSessionTest, AnEndedGauntletFeedsTheStatisticsOnceAndFadesToTheScores) {
    TestSupport::EmptyDataFolder();
    GameApp app;
    app.LoadScoreTables();
    app.mStatistics.mMostGold = 3;
    // Gold of the run, the lifetime record of gold and of Gauntlets completed, the score; a score
    // that makes the table fades with a coloured piece, one that does not with the dark one.
    const struct {
        int gold, mostGold, completed, score;
        bool dark;
    } runs[] = {{9, 9, 1, 5000, false}, {2, 9, 2, 0, true}};
    int faders = 0;
    for (const auto& run : runs) {
        GauntletSession session(&app);
        Steps(session, 1);
        ASSERT_TRUE(session.mBoard && session.mBoard->mFreeForm);
        session.mGold = run.gold;
        session.mScore = run.score;
        session.GameOver();
        session.GameOver();
        EXPECT_TRUE(session.mGameOver);
        EXPECT_EQ(app.mStatistics.mMostGold, run.mostGold);
        EXPECT_EQ(app.mStatistics.mGauntletsCompleted, run.completed);
        std::vector<ScreenFader*> found;
        for (void* item : app.mGadgets.mList.Items())
            if (auto* fader = dynamic_cast<ScreenFader*>(static_cast<Object*>(item))) found.push_back(fader);
        ASSERT_EQ(int(found.size()), ++faders) << "one fade per ended game";
        EXPECT_EQ(found.back()->mDestination, kDestinationScores);
        EXPECT_EQ(found.back()->mColor == ScreenFader::kDarkColor, run.dark) << "score " << run.score;
    }
}

}  // namespace
