// High-score tables: insertion rule, default rows, the file's key order and hostile values.
#include <gtest/gtest.h>

#include "persistence/HighScoreTable.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

class HighScoreTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::EmptyDataFolder();
        mTable.Create(HighScoreTable::kRowCount);
        mTable.AddDefaultRows();
    }
    static std::string Real(const std::string& gamePath) { return Files::PathForWrite(gamePath); }
    std::string Rows() const {
        std::string out;
        for (int i = 0; i < mTable.RowCount(); ++i)
            out += mTable.GetName(i) + " " + std::to_string(mTable.GetScore(i)) + (i + 1 < mTable.RowCount() ? "," : "");
        return out;
    }
    HighScoreTable mTable;
};

const char* const kDefaultRows = "Corro 5,Corro 5,Tamsy 4,Tamsy 4,Bexa 3,Bexa 3,Tob 2,Tob 2,Orlin 1,Orlin 1";

TEST_F(HighScoreTableTest, DefaultsAndInsertionRule) {
    EXPECT_EQ(Rows(), kDefaultRows);
    EXPECT_FALSE(mTable.Qualifies(1));
    EXPECT_FALSE(mTable.Qualifies(0));
    EXPECT_FALSE(mTable.Add("Low", 1));
    EXPECT_EQ(Rows(), kDefaultRows);

    EXPECT_TRUE(mTable.Add("Ann", 5));
    EXPECT_EQ(Rows(), "Corro 5,Corro 5,Ann 5,Tamsy 4,Tamsy 4,Bexa 3,Bexa 3,Tob 2,Tob 2,Orlin 1");
    EXPECT_TRUE(mTable.Add("Top", 1000));
    EXPECT_EQ(mTable.GetName(0), "Top");
    EXPECT_EQ(mTable.GetScore(10), 0);
    EXPECT_EQ(mTable.GetName(-1), "");

    // A name cannot smuggle extra lines into the file.
    EXPECT_TRUE(mTable.Add("Eve\r\nSCORE0=99", 900));
    EXPECT_EQ(mTable.GetName(1), "EveSCORE0=99");
}

TEST_F(HighScoreTableTest, FirstWriteOrderAndExistingFileKeepsItsKeys) {
    ASSERT_FALSE(mTable.Load("Journey-Scores.dat"));
    EXPECT_EQ(Rows(), kDefaultRows) << "a missing file keeps the defaults";
    EXPECT_EQ(TestSupport::ReadText(Real("Journey-Scores.dat")), "") << "a missing file is created empty";
    ASSERT_TRUE(mTable.Save());
    std::string expected;
    const char* names[] = {"Corro", "Corro", "Tamsy", "Tamsy", "Bexa", "Bexa", "Tob", "Tob", "Orlin", "Orlin"};
    const int scores[] = {5, 5, 4, 4, 3, 3, 2, 2, 1, 1};
    for (int i = 0; i < 10; ++i)
        expected += "NAME" + std::to_string(i) + "=" + names[i] + "\r\nSCORE" + std::to_string(i) + "=" +
                    std::to_string(scores[i]) + "\r\n";
    EXPECT_EQ(TestSupport::ReadText(Real("Journey-Scores.dat")), expected);

    TestSupport::WriteBytes(Real("Gauntlet-Scores.dat"), "Extra=x=y\r\nscore1=4\r\nname0=Ann\r\nScore0=9\r\n");
    HighScoreTable table;
    table.Create(10);
    table.AddDefaultRows();
    ASSERT_TRUE(table.Load("Gauntlet-Scores.dat"));
    EXPECT_EQ(table.GetName(0), "Ann");
    EXPECT_EQ(table.GetScore(0), 9);
    EXPECT_EQ(table.GetScore(1), 4);
    EXPECT_EQ(TestSupport::ReadText(Real("Gauntlet-Scores.dat")),
              "Extra=x=y\r\nscore1=4\r\nname0=Ann\r\nScore0=9\r\n")
        << "loading writes the file back unchanged";
    ASSERT_TRUE(table.Save());
    std::string text = TestSupport::ReadText(Real("Gauntlet-Scores.dat"));
    EXPECT_EQ(text.rfind("Extra=x=y\r\nscore1=4\r\nname0=Ann\r\nScore0=9\r\nNAME1=Corro\r\nNAME2=Tamsy\r\nSCORE2=4\r\n", 0), 0u) << text;
}

TEST_F(HighScoreTableTest, HostileValuesLoadAndOrderHolds) {
    TestSupport::WriteBytes(Real("Journey-Scores.dat"),
                            "NAME0=\r\nSCORE0=abc\r\nSCORE1=99999999999\r\nSCORE2=-5\r\nSCORE3= +12xyz\r\n"
                            "SCORE4=-99999999999\r\nNAME9=Last\r\nSCORE9=7\r\nSCORE9=1000\r\n");
    ASSERT_TRUE(mTable.Load("Journey-Scores.dat"));
    EXPECT_EQ(Rows(), "Corro 2147483647,Tamsy 12,Last 7,Bexa 3,Tob 2,Tob 2,Orlin 1, 0,Tamsy -5,Bexa -2147483648");
    for (int i = 1; i < mTable.RowCount(); ++i)
        EXPECT_LE(mTable.GetScore(i), mTable.GetScore(i - 1)) << "row " << i;
}

TEST_F(HighScoreTableTest, UnreadableFileIsNeverOverwritten) {
    ASSERT_TRUE(Files::CreateDirectories("Journey-Scores.dat\\inner"));
    EXPECT_FALSE(mTable.Load("Journey-Scores.dat"));
    EXPECT_EQ(Rows(), kDefaultRows);
    EXPECT_FALSE(mTable.Save());
    EXPECT_TRUE(Files::IsDirectory(Real("Journey-Scores.dat\\inner")));
    HighScoreTable unloaded;
    unloaded.Create(10);
    EXPECT_FALSE(unloaded.Save()) << "no file name yet";
}

}  // namespace
