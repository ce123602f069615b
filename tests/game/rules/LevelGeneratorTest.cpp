// Level generation: pinned levels for each shape kind, the fixed boards, and a sweep over every
// generated level checking shapes, codes and parameters against the world table.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "board/BoardLayout.h"
#include "board/SlideBoard.h"
#include "game/rules/LevelGenerator.h"

namespace {

// The world table as the designers wrote it: sizes, colours, dullbones, dangers in thousandths.
struct WorldLimits {
    int mMinSize, mMaxSize, mMinColors, mMaxColors, mMinDullbones, mMaxDullbones;
    int mMinMove, mMaxMove, mMinGroup, mMaxGroup;
};
const WorldLimits kLimits[10] = {
    {5, 5, 6, 7, 1, 1, 100, 170, 200, 500},   {5, 6, 6, 8, 1, 1, 100, 170, 200, 500},
    {6, 7, 7, 8, 1, 2, 300, 350, 600, 900},   {5, 6, 8, 8, 1, 2, 350, 350, 350, 700},
    {6, 7, 8, 8, 1, 2, 250, 400, 250, 500},   {6, 8, 8, 8, 1, 2, 350, 500, 350, 700},
    {7, 8, 8, 8, 1, 3, 400, 450, 400, 800},   {6, 8, 8, 8, 2, 3, 400, 450, 400, 800},
    {8, 8, 8, 8, 2, 2, 500, 500, 500, 1000},  {10, 10, 8, 8, 2, 2, 300, 300, 300, 600},
};

std::string Square(int n) {
    std::string text;
    for (int r = 0; r < n; ++r) text += "[" + std::string(n, '#') + "]";
    return text;
}

}  // namespace

TEST(LevelGenerator, PinnedLevels) {
    struct Case {
        int mId;
        const char* mCode;
        const char* mLayout;
    } cases[] = {
        {1000, "TS6", "[######][######][######][######][######][######]"},
        {5104, "TS8H3-3S3", "[########][########][########][###   ##][###   ##][###   ##][########][########]"},
        {2012, "TS7CC2", "[  ###  ][  ###  ][#######][#######][#######][  ###  ][  ###  ]"},
        {6028, "TS8BRVW4", "[###  ###][###  ###][###  ###][###  ###][########][###  ###][###  ###][###  ###]"},
        {2033, "TS6N1ND2S2", "[######][######][  ####][  ####][######][######]"},
        {8000, "TS8BRHB2", "[########][########][########][ #    # ][ #    # ][########][########][########]"},
        {9123, "TS10H3-0S3", "[###   ####][###   ####][###   ####][##########][##########][##########][##########]"
                             "[##########][##########][##########]"},
        {1, "TS5CC1", "[ ### ][#####][#####][#####][ ### ]"},
    };
    for (const Case& c : cases) {
        LevelRecipe level = GenerateLevel(c.mId);
        EXPECT_EQ(level.mCode, c.mCode) << "level " << c.mId;
        EXPECT_EQ(level.mLayout, c.mLayout) << "level " << c.mId;
        EXPECT_EQ(level.mPixelSize, 500);
        EXPECT_TRUE(level.mLargePieces);
    }
}

TEST(LevelGenerator, FixedBoards) {
    const LevelRecipe demo{"T0-1", Square(4), 250, false, 0.0f, 0.5f, 0.001f, 0, 6};
    const LevelRecipe first{"T0-1", Square(5), 500, true, 0.1f, 0.5f, 0.001f, 1, 6};
    const LevelRecipe fallback{"TDEF", Square(4), 500, true, 0.25f, 0.25f, 0.001f, 1, 8};
    // Worlds outside 0 to 9 include both ends of the id range and the world below the demonstration.
    const std::pair<int, const LevelRecipe*> cases[] = {{-1000, &demo},      {0, &first},         {10000, &fallback},
                                                        {123456, &fallback}, {INT_MAX, &fallback}, {INT_MIN, &fallback},
                                                        {-1001, &fallback}};
    for (const auto& [id, want] : cases) {
        LevelRecipe got = GenerateLevel(id);
        SCOPED_TRACE("level " + std::to_string(id));
        EXPECT_EQ(got.mCode, want->mCode);
        EXPECT_EQ(got.mLayout, want->mLayout);
        EXPECT_EQ(got.mPixelSize, want->mPixelSize);
        EXPECT_EQ(got.mLargePieces, want->mLargePieces);
        EXPECT_FLOAT_EQ(got.mDangerPerMove, want->mDangerPerMove);
        EXPECT_FLOAT_EQ(got.mDangerPerGroup, want->mDangerPerGroup);
        EXPECT_FLOAT_EQ(got.mDangerPerCascade, want->mDangerPerCascade);
        EXPECT_EQ(got.mDullbonesPerFill, want->mDullbonesPerFill);
        EXPECT_EQ(got.mColors, want->mColors);
    }
    // Negative ids above the demonstration board are numbers of world 0: its shapes only.
    for (int id = -999; id < 0; ++id) {
        std::string code = GenerateLevel(id).mCode;
        EXPECT_TRUE(code == "TS5" || code == "TS5CC1") << "level " << id << ": " << code;
    }
}

// Every generated level: shape agrees with its size and code, parameters stay inside the
// world's ranges and reach both ends of them, and the same id gives the same level again.
TEST(LevelGenerator, EveryGeneratedLevelFitsItsWorld) {
    std::map<std::string, std::string> layoutOfCode;
    for (int world = 0; world <= 9; ++world) {
        const WorldLimits& w = kLimits[world];
        std::set<int> colors, dullbones;
        float lowMove = 9.0f, highMove = 0.0f, lowGroup = 9.0f, highGroup = 0.0f;
        for (int number = world == 0 ? 1 : 0; number < 1000; ++number) {
            int id = world * 1000 + number;
            LevelRecipe level = GenerateLevel(id);
            SCOPED_TRACE("level " + std::to_string(id) + " " + level.mCode + " " + level.mLayout);

            BoardLayout layout;
            ASSERT_TRUE(layout.Parse(level.mLayout));
            int n = layout.Rows();
            ASSERT_EQ(layout.Columns(), n);
            ASSERT_EQ(level.mLayout.size(), static_cast<size_t>(n * (n + 2)));
            ASSERT_GE(n, w.mMinSize);
            ASSERT_LE(n, w.mMaxSize);
            std::string prefix = "TS" + std::to_string(n);
            ASSERT_EQ(level.mCode.compare(0, prefix.size(), prefix), 0);
            std::string suffix = level.mCode.substr(prefix.size());
            EXPECT_EQ(suffix.empty(), layout.CellCount() == n * n);

            // Kind 4 does not fit a size of 10, so world 9 must keep choosing until it draws a hole.
            if (world == 9) {
                EXPECT_EQ(suffix[0], 'H');
            }
            if (world == 3 && n == 5) {
                EXPECT_TRUE(suffix.empty() || suffix == "CC1");
            }

            // A hole off the centre may touch the top row but no other border.
            int column, row, h;
            if (std::sscanf(suffix.c_str(), "H%d-%dS%d", &column, &row, &h) == 3) {
                bool centred = column == n / 2 - 1 && row == n / 2 - 1;
                if (!centred) {
                    EXPECT_GE(column, 1);
                    EXPECT_LE(column + h, n - 1);
                    EXPECT_LE(row + h, n - 1);
                }
                for (int r = 0; r < n; ++r)
                    for (int c = 0; c < n; ++c) {
                        bool inHole = c >= column && c < column + h && r >= row && r < row + h;
                        EXPECT_EQ(layout.IsCell(c + 1, r + 1), !inHole) << "cell " << c << "," << r;
                    }
            }

            auto [it, fresh] = layoutOfCode.emplace(level.mCode, level.mLayout);
            EXPECT_TRUE(fresh || it->second == level.mLayout) << "code shared with another shape";

            EXPECT_FLOAT_EQ(level.mDangerPerCascade, 0.001f);
            EXPECT_GE(level.mDangerPerMove, w.mMinMove * 0.001f - 1e-6f);
            EXPECT_LE(level.mDangerPerMove, (w.mMaxMove + 1) * 0.001f + 1e-6f);
            EXPECT_GE(level.mDangerPerGroup, w.mMinGroup * 0.001f - 1e-6f);
            EXPECT_LE(level.mDangerPerGroup, (w.mMaxGroup + 1) * 0.001f + 1e-6f);
            lowMove = std::min(lowMove, level.mDangerPerMove);
            highMove = std::max(highMove, level.mDangerPerMove);
            lowGroup = std::min(lowGroup, level.mDangerPerGroup);
            highGroup = std::max(highGroup, level.mDangerPerGroup);
            colors.insert(level.mColors);
            dullbones.insert(level.mDullbonesPerFill);

            LevelRecipe again = GenerateLevel(id);
            EXPECT_TRUE(again.mCode == level.mCode && again.mLayout == level.mLayout &&
                        again.mDangerPerMove == level.mDangerPerMove && again.mColors == level.mColors);
        }
        SCOPED_TRACE("world " + std::to_string(world));
        EXPECT_EQ(*colors.begin(), w.mMinColors);
        EXPECT_EQ(*colors.rbegin(), w.mMaxColors);
        EXPECT_EQ(*dullbones.begin(), w.mMinDullbones);
        EXPECT_EQ(*dullbones.rbegin(), w.mMaxDullbones);
        EXPECT_NEAR(lowMove, w.mMinMove * 0.001f, 0.01f);
        EXPECT_NEAR(highMove, w.mMaxMove * 0.001f, 0.01f);
        EXPECT_NEAR(lowGroup, w.mMinGroup * 0.001f, 0.01f);
        EXPECT_NEAR(highGroup, w.mMaxGroup * 0.001f, 0.01f);
    }
}

// The slide board takes every shape the generator makes.
TEST(LevelGenerator, SlideBoardBuildsEveryShape) {
    std::set<std::string> layouts;
    for (int id = 0; id < 10000; ++id) layouts.insert(GenerateLevel(id).mLayout);
    for (const std::string& layout : layouts) {
        SlideBoard board;
        board.mUseFixedSeed = true;
        board.mFixedSeed = 1;
        board.mInitialized = true;
        EXPECT_TRUE(board.MakeBoard(layout, 500)) << layout << ": " << board.mLastError;
        EXPECT_GT(board.mPieces.Count(), 0) << layout;
    }
}
