// Scoring of removal passes on the game board: group points and bonuses, combos and cascades,
// tile lighting at the vanish, dullbones beside a match, and hint moves that pay nothing.
#include <gtest/gtest.h>

#include "game/BoardTestKit.h"
#include "game/rules/FloatingText.h"
#include "persistence/GameStatistics.h"

using namespace BoardTestKit;

namespace {

int CountTexts(Board& board, const std::string& text) {
    int n = 0;
    for (int i = 0; i < board.mParticles.Count(); ++i)
        if (auto* t = dynamic_cast<FloatingText*>(board.mParticles.At(i)); t && t->mText == text) ++n;
    return n;
}

int CountGlows(Board& board) {
    int n = 0;
    for (int i = 0; i < board.mParticles.Count(); ++i)
        if (!dynamic_cast<FloatingText*>(board.mParticles.At(i))) ++n;
    return n;
}

}  // namespace

TEST(BoardScoring, PassPointsBonusesCombosAndCascades) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        int pass;            // removal-pass counter when the pass is scored
        int groups;
        int score;           // the pass's points (every tile already lit)
        int punch;           // updates the matched pieces stay on screen
        const char* word;    // combo text, or null
    };
    const Case cases[] = {
        {"three", {"rrr"}, 0, 1, 70, 1, nullptr},
        {"four", {"rrrr"}, 0, 1, 150, 1, nullptr},
        {"five", {"rrrrr"}, 0, 1, 310, 1, nullptr},
        {"three, second pass", {"rrr"}, 1, 1, 140, 1, nullptr},
        {"three, third pass", {"rrr"}, 2, 1, 210, 1, nullptr},
        {"two threes", {"rrr", "", "yyy"}, 0, 2, 640, 50, "DOUBLE!"},
        {"three threes", {"rrr", "", "yyy", "", "ggg"}, 0, 3, 70 * 3 + 500 + 1000, 50, "TRIPLE!"},
        {"five threes", {"rrr.y", "....y", "ggg.y", "yyy", "iii"}, 0, 5, 70 * 5 + 500 + 1000 + 2000 + 4000, 50,
         "AMAZING!"},
        // The cascade multiplies the whole pass, bonuses included.
        {"two threes, second pass", {"rrr", "", "yyy"}, 1, 2, 1280, 50, "DOUBLE!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Level level;
        level.Known(c.rows);
        level.LightAll();
        ASSERT_EQ(level.RemovePass(c.pass), c.groups);
        EXPECT_EQ(level.mBoard->mMatchScore, c.score);
        EXPECT_EQ(level.mSession->mScore, 0) << "paid only when the pieces vanish";
        if (c.word) {
            EXPECT_EQ(CountTexts(*level.mBoard, c.word), 1);
        }
        EXPECT_EQ(level.FinishPunch(), c.punch);
        EXPECT_EQ(level.mSession->mScore, c.score);
        EXPECT_EQ(level.mBoard->mPunchList.Count(), 0);
    }
}

TEST(BoardScoring, TilesAreLitAtTheVanishAfterTheCascadeMultiplier) {
    struct Case {
        int pass;
        int litBefore;  // tiles of the group already lit (from the left)
        int paid;
        int glows;
    };
    const Case cases[] = {
        {0, 0, 70 + 300, 3},
        {1, 0, 140 + 300, 3},  // not (70 + 300) * 2
        {2, 0, 210 + 300, 3},
        {0, 2, 70 + 100, 1},   // lit tiles pay nothing and do not glow
        {1, 3, 140, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("pass " + std::to_string(c.pass) + " lit " + std::to_string(c.litBefore));
        Level level;
        GiveDot(level.mApp->mCircle);
        level.Known({"rrr"});
        for (int col = 1; col <= c.litBefore; ++col) level.mBoard->mLitTiles[col * Board::kTileGrid + 1] = 1;
        level.RemovePass(c.pass);
        int particlesBefore = CountGlows(*level.mBoard);
        level.FinishPunch();
        EXPECT_EQ(level.mSession->mScore, c.paid);
        EXPECT_EQ(CountGlows(*level.mBoard) - particlesBefore, c.glows);
        for (int col = 1; col <= 3; ++col) EXPECT_TRUE(level.Lit(col, 1));
        EXPECT_FALSE(level.Lit(4, 1));
        EXPECT_FALSE(level.Lit(1, 2));
    }
}

TEST(BoardScoring, ALargePieceLightsEveryTileItCovers) {
    Level level;
    GiveDot(level.mApp->mCircle);
    // A large red over columns 1-2 of rows 1-2 and two small reds beside it: one group of three.
    level.Known({"rrr", "rrr"}, "[R####][#####][#####][#####][#####]");
    ASSERT_TRUE(level.Piece(1, 1)->IsLarge());
    ASSERT_EQ(level.RemovePass(0), 1);
    EXPECT_EQ(level.mBoard->mMatchScore, 70);
    int particles = level.mBoard->mParticles.Count();
    level.FinishPunch();
    EXPECT_EQ(level.mSession->mScore, 70 + 6 * 100);
    EXPECT_EQ(level.mBoard->mParticles.Count() - particles, 3) << "one glow per piece";
    for (int col = 1; col <= 3; ++col)
        for (int row = 1; row <= 2; ++row) EXPECT_TRUE(level.Lit(col, row)) << col << "," << row;
    EXPECT_FALSE(level.Lit(4, 1));
}

TEST(BoardScoring, DullbonesBesideTheMatchCrackBreakAndPayOnce) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        int pass;
        bool broken;
        int crackLevel;  // of the dullbone at (2,2) when it is not broken
        int passScore;
        const char* layout = kSquare5;
    };
    const Case cases[] = {
        // One matched cell beside a fresh dullbone: a crack only.
        {"one touch, fresh", {"rrr", ".X"}, 0, false, 1, 70},
        // One touch on a cracked dullbone breaks it.
        {"one touch, cracked", {"rrr", ".x"}, 0, true, 0, 70},
        // An L of three touching the dullbone with two cells: broken in that one pass.
        {"two touches", {"rr", "rX"}, 0, true, 0, 70},
        // A U of five touching it with three cells: still removed and paid only once.
        {"three touches", {"rrr", "rXr"}, 0, true, 0, 310},
        {"four touches", {"rrr", "rXr", ".rr"}, 0, true, 0, 1270},
        // The dullbone's points are not multiplied by the cascade.
        {"two touches, second pass", {"rr", "rX"}, 1, true, 0, 140},
        // A large dullbone under a straight line of three: two of its cells are touched.
        {"large under a line", {"rrr", "XX", "XX"}, 0, true, 0, 70, "[#####][R####][#####][#####][#####]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Level level;
        level.Known(c.rows, c.layout);
        level.LightAll();
        QuorlObject* skull = level.Piece(2, 2);
        ASSERT_TRUE(skull && skull->mSpecial);
        ASSERT_EQ(level.RemovePass(c.pass), 1);
        EXPECT_EQ(level.mBoard->mDullbonesBroken, c.broken ? 1 : 0);
        EXPECT_EQ(level.mApp->mStatistics.mDullbonesBroken, c.broken ? 1 : 0);
        // The 250 are paid at once, on their own.
        EXPECT_EQ(level.mSession->mScore, c.broken ? 250 : 0);
        EXPECT_EQ(level.Dullbones(), c.broken ? 0 : 1);
        if (!c.broken) {
            EXPECT_EQ(skull->mCrackLevel, c.crackLevel);
        }
        EXPECT_EQ(level.mBoard->mMatchScore, c.passScore);
        level.FinishPunch();
        EXPECT_EQ(level.mSession->mScore, (c.broken ? 250 : 0) + c.passScore);
        // The broken piece is gone for good: nothing holds it after the dying list is emptied.
        level.mBoard->Update();
        EXPECT_EQ(level.mBoard->mDullbonesBroken, c.broken ? 1 : 0);
    }
}

TEST(BoardScoring, AHintMovePaysNothingButLightsTilesAndBreaksDullbones) {
    Level level;
    level.Known({"rrr", ".x"});
    level.mBoard->mHintMove = true;
    ASSERT_TRUE(level.mContainer->IsHintMove());
    level.RemovePass(0);
    level.FinishPunch();
    EXPECT_EQ(level.mSession->mScore, 0);
    EXPECT_EQ(level.mBoard->mDullbonesBroken, 1);
    EXPECT_EQ(level.Dullbones(), 0);
    for (int col = 1; col <= 3; ++col) EXPECT_TRUE(level.Lit(col, 1));

    // The next move the player makes pays again.
    level.mBoard->mHintMove = false;
    level.Settle();
    level.Paint({"", "", "", "", "ggg"});
    int before = level.mSession->mScore;
    level.RemovePass(0);
    level.FinishPunch();
    EXPECT_GE(level.mSession->mScore - before, 70);
}

TEST(BoardScoring, StatisticsOfTheLargestPassAndTheLongestCascade) {
    Level level;
    level.Known({"rrr", "", "yyyy"});
    level.LightAll();
    level.RemovePass(2);
    EXPECT_EQ(level.mApp->mStatistics.mMostQuorlsInOneMove, 7);
    EXPECT_EQ(level.mApp->mStatistics.mLongestCascade, 3);
    EXPECT_EQ(level.mBoard->mQuorlsUsed, 7);
    level.FinishPunch();
    EXPECT_EQ(level.mApp->mStatistics.mQuorlsTransported, 7);
}
