// The 96-byte statistics file: layout, empty values, short and long files.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "persistence/DataBuffer.h"
#include "persistence/GameStatistics.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

class GameStatisticsTest : public ::testing::Test {
protected:
    void SetUp() override { TestSupport::EmptyDataFolder(); }
    static std::string Real(const std::string& gamePath) { return Files::PathForWrite(gamePath); }
};

TEST_F(GameStatisticsTest, EmptyRecordAndFileLayout) {
    GameStatistics stats;
    for (int i = 0; i < GameStatistics::kFieldCount; ++i)
        EXPECT_EQ(stats.Field(i), (i == 16 || i == 17) ? -1 : 0) << "field " << i;

    for (int i = 0; i < GameStatistics::kFieldCount; ++i) stats.Field(i) = 0x01020300 + i;
    ASSERT_TRUE(stats.SaveFile("GameData.dat"));
    std::vector<uint8_t> bytes = TestSupport::ReadBytes(Real("GameData.dat"));
    ASSERT_EQ(bytes.size(), 96u);
    // Spot-check named fields against their offsets.
    EXPECT_EQ(bytes[40], 10);  // idol 10
    EXPECT_EQ(bytes[44], 11);  // Journey games completed
    EXPECT_EQ(bytes[64], 16);  // fewest lost levels
    EXPECT_EQ(bytes[92], 23);  // longest cascade
    EXPECT_EQ(bytes[93], 3);
    EXPECT_EQ(bytes[95], 1);
    EXPECT_EQ(stats.mIdolCounts[10], 0x0102030A);
    EXPECT_EQ(stats.mFewestLostLevels, 0x01020310);
    EXPECT_EQ(stats.mLongestCascade, 0x01020317);

    GameStatistics reread;
    EXPECT_TRUE(reread.LoadFile("GameData.dat"));
    EXPECT_EQ(reread, stats);
}

TEST_F(GameStatisticsTest, ShortLongAndMissingFiles) {
    GameStatistics filled;
    for (int i = 0; i < GameStatistics::kFieldCount; ++i) filled.Field(i) = 100 + i;

    struct Case {
        size_t size;
        bool read;
        bool empty;  // else unchanged from `filled`
    } cases[] = {{0, true, true}, {4, true, true}, {95, true, true}, {96, true, false}, {200, true, false}};
    for (const Case& c : cases) {
        std::string bytes(c.size, '\0');
        for (size_t i = 0; i < c.size; i += 4) bytes[i] = static_cast<char>(100 + i / 4);
        TestSupport::WriteBytes(Real("GameData.dat"), bytes);
        GameStatistics stats = filled;
        EXPECT_EQ(stats.LoadFile("GameData.dat"), c.read) << c.size;
        // A short file gives the empty record, with "none yet" kept as -1, not a false 0.
        EXPECT_EQ(stats, c.empty ? GameStatistics() : filled) << c.size;
    }

    GameStatistics stats = filled;
    EXPECT_FALSE(stats.LoadFile("USERS\\Nobody\\GameData.dat"));
    EXPECT_EQ(stats, filled);
}

// --- Updates at the end of a game ---------------------------------------------------------------

TEST_F(GameStatisticsTest, WonJourneysKeepTheBestAndCountTheirIdol) {
    GameStatistics stats;
    // moves, time, lost levels, idol; then the record's fewest moves, fastest, fewest lost.
    const int32_t journeys[][7] = {{120, 50000, 0, 4, 120, 50000, 0},  // none lost: 0 is a value
                                   {90, 60000, 2, 4, 90, 50000, 0},
                                   {150, 40000, 1, -1, 90, 40000, 0},  // no idol
                                   {100, 45000, 0, 11, 90, 40000, 0}};  // not one of the eleven
    for (const auto& j : journeys) {
        stats.JourneyWon(j[0], j[1], j[2], j[3]);
        EXPECT_EQ(std::vector<int32_t>({stats.mFewestMoves, stats.mFastestJourney, stats.mFewestLostLevels}),
                  std::vector<int32_t>({j[4], j[5], j[6]}));
    }
    EXPECT_EQ(stats.mJourneysCompleted, 4);
    int32_t idols = 0;
    for (int32_t count : stats.mIdolCounts) idols += count;
    EXPECT_EQ(idols, 2);
    EXPECT_EQ(stats.mIdolCounts[4], 2);
    stats.GauntletOver(40);
    stats.GauntletOver(10);
    EXPECT_EQ(stats.mGauntletsCompleted, 2);
    EXPECT_EQ(stats.mMostGold, 40);
    // A record at its limit stays there rather than turning negative.
    stats.mJourneysCompleted = stats.mIdolCounts[0] = std::numeric_limits<int32_t>::max();
    stats.JourneyWon(1, 1, 0, 0);
    EXPECT_EQ(stats.mJourneysCompleted, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(stats.mIdolCounts[0], std::numeric_limits<int32_t>::max());
}

}  // namespace
