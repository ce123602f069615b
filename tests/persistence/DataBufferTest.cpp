// Byte buffer: exact item bytes, the sticky error flag, lines, statements, strings, the key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>
#include <unistd.h>

#include "persistence/DataBuffer.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

std::string Bytes(const DataBuffer& b) { return std::string(reinterpret_cast<const char*>(b.Data()), b.Size()); }

DataBuffer FromText(const std::string& text) {
    DataBuffer b;
    b.SetData(text.data(), text.size());
    return b;
}

}  // namespace

TEST(DataBuffer, WritesItemsInTheFileLayout) {
    DataBuffer b;
    b.WriteBool(true);
    b.WriteInt(-1);
    b.WriteFloat(1.0f);
    b.WriteString("ab");
    const std::string expected("\x01\xFF\xFF\xFF\xFF\x00\x00\x80\x3F\x03\x00\x00\x00\x61\x62\x00", 16);
    EXPECT_EQ(Bytes(b), expected);

    b.SetCursor(0);
    EXPECT_TRUE(b.ReadBool());
    EXPECT_EQ(b.ReadInt(), -1);
    EXPECT_EQ(b.ReadFloat(), 1.0f);
    EXPECT_EQ(b.ReadString(), "ab");
    EXPECT_FALSE(b.Error());
}

TEST(DataBuffer, ShortReadsSetAStickyError) {
    DataBuffer b = FromText(std::string("\x07\x00", 2));
    EXPECT_EQ(b.ReadInt(), 0);
    EXPECT_TRUE(b.Error());
    // Every later read gives its zero value even though bytes remain.
    b.SetCursor(0);
    EXPECT_EQ(b.ReadInt(), 0);
    EXPECT_EQ(b.ReadFloat(), 0.0f);
    EXPECT_FALSE(b.ReadBool());
    EXPECT_FALSE(b.ReadLine().has_value());

    // At the very end a read is a plain zero, not an error.
    DataBuffer exact = FromText(std::string("\x05\x00\x00\x00", 4));
    EXPECT_EQ(exact.ReadInt(), 5);
    EXPECT_EQ(exact.ReadInt(), 0);
    EXPECT_FALSE(exact.ReadBool());
    EXPECT_FALSE(exact.Error());

    // Raw runs zero-fill what they cannot copy.
    DataBuffer raw = FromText("xyz");
    char out[5];
    std::memset(out, 'q', sizeof out);
    raw.ReadBytes(out, 5);
    EXPECT_TRUE(raw.Error());
    EXPECT_EQ(std::string(out, 5), std::string(5, '\0'));
}

TEST(DataBuffer, BoolIsTrueOnlyForOne) {
    DataBuffer b = FromText(std::string("\x01\x02\xFF\x00", 4));
    EXPECT_TRUE(b.ReadBool());
    EXPECT_FALSE(b.ReadBool());
    EXPECT_FALSE(b.ReadBool());
    EXPECT_FALSE(b.ReadBool());
}

TEST(DataBuffer, HostileStringLengthsAreShortReads) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"zero length", std::string("\x00\x00\x00\x00rest", 8)},
        {"negative length", std::string("\xFF\xFF\xFF\xFFrest", 8)},
        {"length past the end", std::string("\x00\x00\x00\x40" "abc", 7)},
        {"length one past", std::string("\x05\x00\x00\x00" "abc\x00", 8)},
        {"cut length", std::string("\x05\x00", 2)},
    };
    for (const Case& c : cases) {
        DataBuffer b = FromText(c.bytes);
        EXPECT_EQ(b.ReadString(), "") << c.what;
        EXPECT_TRUE(b.Error()) << c.what;
    }
    // The smallest valid string is the empty one: length 1 and its zero.
    DataBuffer empty = FromText(std::string("\x01\x00\x00\x00\x00", 5));
    EXPECT_EQ(empty.ReadString(), "");
    EXPECT_FALSE(empty.Error());
}

TEST(DataBuffer, ReadsLinesUpToCarriageReturns) {
    DataBuffer b = FromText("a\r\nb");
    EXPECT_EQ(b.ReadLine(), std::optional<std::string>("a"));
    EXPECT_EQ(b.ReadLine(), std::optional<std::string>("b"));
    EXPECT_EQ(b.ReadLine(), std::nullopt);

    // LF-only text is one line with the LFs dropped; an empty line is not the end.
    DataBuffer lf = FromText("x\ny\r\r");
    EXPECT_EQ(lf.ReadLine(), std::optional<std::string>("xy"));
    EXPECT_EQ(lf.ReadLine(), std::optional<std::string>(""));
    EXPECT_EQ(lf.ReadLine(), std::nullopt);
}

TEST(DataBuffer, ReadsStatementsOutsideQuotes) {
    DataBuffer b = FromText("  Define  \"a;b\"\t x;\n\tNext   'c;d' ;tail");
    EXPECT_EQ(b.ReadStatement(), std::optional<std::string>("Define \"a;b\" x"));
    EXPECT_EQ(b.ReadStatement(), std::optional<std::string>("Next 'c;d' "));
    EXPECT_EQ(b.ReadStatement(), std::optional<std::string>("tail"));
    EXPECT_EQ(b.ReadStatement(), std::nullopt);

    // Spaces inside quotes are kept as they are.
    DataBuffer quoted = FromText("Say \"a   b\";");
    EXPECT_EQ(quoted.ReadStatement(), std::optional<std::string>("Say \"a   b\""));
}

TEST(DataBuffer, SavesAndLoadsThroughTheDataFolderWithAKey) {
    DataBuffer out;
    out.SetKey("k3y");
    out.WriteInt(123456);
    out.WriteString("Ann");
    ASSERT_TRUE(out.Save("USERS\\Ann\\record.dat"));

    // On disk the bytes are XORed; the plain buffer reads them back through the same key.
    std::string onDisk = TestSupport::ReadText(Files::DataRoot() + "/USERS/Ann/record.dat");
    ASSERT_EQ(onDisk.size(), 12u);
    EXPECT_EQ(onDisk[0], char(0x40 ^ 'k'));

    DataBuffer in;
    in.SetKey("k3y");
    ASSERT_TRUE(in.Load("users\\ann\\RECORD.DAT"));
    EXPECT_EQ(in.ReadInt(), 123456);
    EXPECT_EQ(in.ReadString(), "Ann");
    EXPECT_FALSE(in.Error());
}

TEST(DataBuffer, MissingFileReadsAsEmpty) {
    DataBuffer b;
    b.WriteInt(9);
    EXPECT_FALSE(b.Load("no\\such\\file.dat"));
    EXPECT_EQ(b.Size(), 0);
    EXPECT_EQ(b.ReadInt(), 0);
    EXPECT_FALSE(b.Error());
}

TEST(DataBuffer, FailedSaveKeepsTheOldFile) {
    DataBuffer first;
    first.WriteInt(1);
    ASSERT_TRUE(first.Save("keep.dat"));
    const std::string target = Files::DataRoot() + "/keep.dat";
    std::vector<uint8_t> before = TestSupport::ReadBytes(target);

    // A folder standing where the temporary file must go makes the write fail part-way.
    Files::CreateDirectories("keep.dat.tmp" + std::to_string(getpid()));
    DataBuffer second;
    second.WriteInt(2);
    EXPECT_FALSE(second.Save("keep.dat"));
    EXPECT_EQ(TestSupport::ReadBytes(target), before);

    // A folder in place of the file itself is refused too.
    Files::CreateDirectories("folder.dat");
    EXPECT_FALSE(second.Save("folder.dat"));
}
