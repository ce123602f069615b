// Checked record reading: each kind of bad value is refused with its field named, the first
// problem wins, and nothing is read past it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"

TEST(RecordReader, RefusesEachKindOfBadValueAndNamesIt) {
    struct Case {
        const char* name;
        void (*write)(DataBuffer&);
        void (*read)(RecordReader&);
        const char* problem;  // a part of the message; empty when the value is good
    };
    const Case cases[] = {
        {"bool 1", [](DataBuffer& b) { b.WriteByte(1); }, [](RecordReader& r) { EXPECT_TRUE(r.Bool("flag")); }, ""},
        {"bool 2", [](DataBuffer& b) { b.WriteByte(2); }, [](RecordReader& r) { r.Bool("flag"); }, "flag (byte 0): 2 is neither"},
        {"int in range", [](DataBuffer& b) { b.WriteInt(8); }, [](RecordReader& r) { EXPECT_EQ(r.Int("count", 0, 8), 8); }, ""},
        {"int too big", [](DataBuffer& b) { b.WriteInt(9); }, [](RecordReader& r) { r.Int("count", 0, 8); }, "9 is outside 0 to 8"},
        {"int negative", [](DataBuffer& b) { b.WriteInt(-1); }, [](RecordReader& r) { r.Int("count", 0); }, "-1 is outside"},
        {"int cut short", [](DataBuffer& b) { b.WriteByte(7); }, [](RecordReader& r) { r.Int("count"); }, "cut short"},
        {"int at the end", [](DataBuffer&) {}, [](RecordReader& r) { r.Int("count"); }, "cut short"},
        {"float nan", [](DataBuffer& b) { b.WriteFloat(std::nanf("")); }, [](RecordReader& r) { r.Float("size", -1e9f, 1e9f); }, "size"},
        {"float inf", [](DataBuffer& b) { b.WriteFloat(std::numeric_limits<float>::infinity()); },
         [](RecordReader& r) { r.Float("size", -1e9f, 1e9f); }, "size"},
        {"float below", [](DataBuffer& b) { b.WriteFloat(0.5f); }, [](RecordReader& r) { r.Float("size", 1.0f, 2.0f); }, "outside"},
        {"string", [](DataBuffer& b) { b.WriteString("abc"); }, [](RecordReader& r) { EXPECT_EQ(r.String("code", 3), "abc"); }, ""},
        {"string too long", [](DataBuffer& b) { b.WriteString("abcd"); }, [](RecordReader& r) { r.String("code", 3); }, "code"},
        {"string length zero", [](DataBuffer& b) { b.WriteInt(0); }, [](RecordReader& r) { r.String("code", 3); }, "code"},
        {"string past the end", [](DataBuffer& b) { b.WriteInt(3); b.WriteByte('a'); }, [](RecordReader& r) { r.String("code", 9); }, "cut short"},
        {"string without its zero", [](DataBuffer& b) { b.WriteInt(2); b.WriteByte('a'); b.WriteByte('b'); },
         [](RecordReader& r) { r.String("code", 9); }, "does not end"},
        {"string holding a zero", [](DataBuffer& b) { b.WriteInt(3); b.WriteByte(0); b.WriteByte('b'); b.WriteByte(0); },
         [](RecordReader& r) { r.String("code", 9); }, "zero byte"},
        {"bytes cut short", [](DataBuffer& b) { b.WriteByte(1); }, [](RecordReader& r) { char d[4]; r.Bytes(d, 4, "tiles"); }, "cut short"},
        {"left over", [](DataBuffer& b) { b.WriteByte(0); b.WriteByte(0); },
         [](RecordReader& r) { r.Bool("flag"); r.ExpectEnd("record"); }, "1 bytes follow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataBuffer buffer;
        c.write(buffer);
        buffer.SetCursor(0);
        RecordReader reader(buffer);
        c.read(reader);
        if (std::string(c.problem).empty()) {
            EXPECT_TRUE(reader.Ok()) << reader.Problem();
        } else {
            EXPECT_FALSE(reader.Ok());
            EXPECT_NE(reader.Problem().find(c.problem), std::string::npos) << reader.Problem();
        }
    }
}

TEST(RecordReader, KeepsTheFirstProblemAndReadsNothingAfterIt) {
    DataBuffer buffer;
    buffer.WriteByte(5);
    buffer.WriteInt(42);
    buffer.SetCursor(0);
    RecordReader reader(buffer);
    reader.Bool("first");
    EXPECT_EQ(reader.Int("second"), 0) << "nothing is read once the record is refused";
    reader.Fail("later");
    EXPECT_NE(reader.Problem().find("first"), std::string::npos) << reader.Problem();
    EXPECT_EQ(buffer.Cursor(), 0) << "the bad value's offset stays where the reading stopped";
}
