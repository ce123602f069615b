// Settings store: case-insensitive names kept in place, parsing rules, round trips on disk.
#include <gtest/gtest.h>

#include <string>

#include "persistence/Registry.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

std::string DataFile(const std::string& name) { return Files::DataRoot() + "/" + name; }

}  // namespace

TEST(Registry, SetterReplacesEntryWhateverTheCaseAndKeepsItsSpelling) {
    TestSupport::WriteBytes(DataFile("game.cfg"), "Width=800\r\nHeight=600\r\n");
    {
        Registry r;
        ASSERT_TRUE(r.Load("game.cfg"));
        r.SetInt("width", 1024);
        r.SetBool("Fullscreen", false);
        EXPECT_EQ(r.GetInt("WIDTH"), 1024);
    }  // the destructor writes it back
    EXPECT_EQ(TestSupport::ReadText(DataFile("game.cfg")), "Width=1024\r\nHeight=600\r\nFullscreen=false\r\n");
}

TEST(Registry, UntouchedFileIsRewrittenCleanly) {
    // LF-only endings, a line without "=", a value holding "=", a last line without an ending.
    TestSupport::WriteBytes(DataFile("game.cfg"), "junk line\r\nA=1\r\nB=x=y\nC=3");
    Registry r;
    r.Load("game.cfg");
    EXPECT_EQ(r.GetString("A"), "1");
    // Without CR the LF is dropped and the next line runs on: that is the file format.
    EXPECT_EQ(r.GetString("B"), "x=yC=3");
    EXPECT_TRUE(r.Close());
    EXPECT_EQ(TestSupport::ReadText(DataFile("game.cfg")), "A=1\r\nB=x=yC=3\r\n");

    TestSupport::WriteBytes(DataFile("game.cfg"), "A=1\r\nLast=end");
    r.Load("game.cfg");
    EXPECT_EQ(r.GetString("Last"), "end");
}

TEST(Registry, ParsesIntegersWithSignSpacesAndSaturation) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"42", 42},           {"  -17", -17},      {"+8", 8},
        {"12abc", 12},        {"abc", 0},          {"", 0},
        {"- 5", 0},           {"\t\n 7", 7},       {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"0x10", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Registry::ParseInt(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Registry, BoolsAndMissingNames) {
    Registry r;
    r.Load("fresh.cfg");
    const struct {
        const char* value;
        bool expected;
    } cases[] = {{"1", true}, {"true", true}, {"Yes", true}, {"ON", true}, {"2", false}, {"no", false}, {"", false}};
    for (const auto& c : cases) {
        r.SetString("Flag", c.value);
        EXPECT_EQ(r.GetBool("flag"), c.expected) << c.value;
    }
    EXPECT_FALSE(r.GetBool("Missing"));
    EXPECT_EQ(r.GetInt("Missing"), 0);
    EXPECT_EQ(r.GetString("Missing"), "");
    EXPECT_FALSE(r.Exists("Missing"));
    EXPECT_TRUE(r.Exists("FLAG"));
}

TEST(Registry, ByteListsRoundTrip) {
    Registry r;
    r.Load("bytes.cfg");
    const int8_t values[] = {1, -2, 127, -128, 0};
    r.SetByteList("List", values, 5);
    EXPECT_EQ(r.GetString("List"), "1,-2,127,-128,0");

    int8_t out[8] = {};
    EXPECT_EQ(r.GetByteList("list", out, 8), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], values[i]) << i;
    // The maximum count bounds what is written.
    int8_t two[2] = {};
    EXPECT_EQ(r.GetByteList("List", two, 2), 2);
    EXPECT_EQ(two[1], -2);

    r.SetByteList("Empty", values, 0);
    EXPECT_EQ(r.GetString("Empty"), "");
    EXPECT_EQ(r.GetByteList("Empty", out, 8), 0);
    EXPECT_EQ(r.GetByteList("Missing", out, 8), 0);
}

TEST(Registry, FirstOfDuplicateNamesWinsAndBothAreKept) {
    TestSupport::WriteBytes(DataFile("dup.cfg"), "Name=first\r\nname=second\r\n");
    Registry r;
    r.Load("dup.cfg");
    EXPECT_EQ(r.GetString("NAME"), "first");
    r.SetString("Name", "changed");
    r.Close();
    EXPECT_EQ(TestSupport::ReadText(DataFile("dup.cfg")), "Name=changed\r\nname=second\r\n");
}

TEST(Registry, HostileFilesLoadWithoutHarm) {
    std::string nul("A=1\0B\r\nC=2\r\n", 12);
    std::string hugeLine = "Big=" + std::string(1 << 20, 'x') + "\r\nAfter=1\r\n";
    std::string invalidUtf8 = "N\xFF\xFE=\xC3\x28\r\nOk=5\r";
    std::string crOnly = "A=1\rB=2\rC=3";

    TestSupport::WriteBytes(DataFile("a.cfg"), nul);
    TestSupport::WriteBytes(DataFile("b.cfg"), hugeLine);
    TestSupport::WriteBytes(DataFile("c.cfg"), invalidUtf8);
    TestSupport::WriteBytes(DataFile("d.cfg"), crOnly);

    Registry r;
    r.Load("a.cfg");
    EXPECT_EQ(r.GetInt("C"), 2);
    r.Load("b.cfg");
    EXPECT_EQ(r.GetString("Big").size(), size_t(1) << 20);
    EXPECT_EQ(r.GetInt("After"), 1);
    r.Load("c.cfg");
    EXPECT_EQ(r.GetInt("Ok"), 5);
    r.Load("d.cfg");
    EXPECT_EQ(r.GetInt("B"), 2);
    EXPECT_EQ(r.GetInt("C"), 3);
}

TEST(Registry, MissingFileIsCreatedOnClose) {
    {
        Registry r;
        EXPECT_FALSE(r.Load("Scores\\new.dat"));
    }
    EXPECT_TRUE(Files::IsRegularFile(DataFile("Scores/new.dat")));
    EXPECT_EQ(TestSupport::ReadText(DataFile("Scores/new.dat")), "");
}

TEST(Registry, UnreadableFileIsNeverReplaced) {
    // A folder where the file should be stands for any file that exists but cannot be read.
    Files::CreateDirectories("locked.cfg");
    {
        Registry r;
        EXPECT_FALSE(r.Load("locked.cfg"));
        r.SetInt("Width", 800);
        EXPECT_FALSE(r.Flush());
    }
    EXPECT_TRUE(Files::IsDirectory(DataFile("locked.cfg")));

    // A fresh Load of a readable file writes again.
    Registry r;
    r.Load("other.cfg");
    r.SetInt("Width", 800);
    EXPECT_TRUE(r.Flush());
}

TEST(Registry, LineBreaksCannotSmuggleInKeys) {
    {
        Registry r;
        r.Load("scores.dat");
        r.SetString("NAME0", "Eve\r\nSCORE0=999999");
        r.SetString("Odd\nName", "v");
    }
    Registry r;
    r.Load("scores.dat");
    EXPECT_EQ(r.GetString("NAME0"), "EveSCORE0=999999");
    EXPECT_FALSE(r.Exists("SCORE0"));
    EXPECT_EQ(r.GetString("OddName"), "v");
}
