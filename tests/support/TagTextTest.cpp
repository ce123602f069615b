// Tag text: appending, and the loose reader's handling of headers, attributes, nesting and ends.
#include <gtest/gtest.h>

#include "support/TagText.h"

namespace {

std::vector<TagElement> ReadAll(const std::string& text) {
    TagReader reader;
    reader.SetText(text);
    std::vector<TagElement> all;
    for (TagElement e = reader.ReadElement(); e.found; e = reader.ReadElement()) all.push_back(e);
    // Once finished, the reader stays finished.
    EXPECT_FALSE(reader.ReadElement().found);
    return all;
}

}  // namespace

TEST(TagText, AppendWritesElementsUnescaped) {
    std::string text;
    AppendTag(text, "PRODUCT", "Quorl Slide");
    AppendTag(text, "NOTE", "a<b");
    EXPECT_EQ(text, "<PRODUCT>Quorl Slide</PRODUCT><NOTE>a<b</NOTE>");
}

TEST(TagText, ReadsElementsOutOfLooseText) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::vector<std::string>> expected;  // name, attributes, content
    };
    const Case cases[] = {
        {"one element", "<RESULT>OK</RESULT>", {{"RESULT", "", "OK"}}},
        {"HTTP headers before it", "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n<RESULT>OK</RESULT>",
         {{"RESULT", "", "OK"}}},
        {"attributes", "<A x=1>t</A>", {{"A", "x=1", "t"}}},
        {"blanks before and inside attributes", "<A   x=1 y=2>t</A>", {{"A", "x=1 y=2", "t"}}},
        {"line breaks dropped", "<A>o\r\nk</A>", {{"A", "", "ok"}}},
        {"nested stays inside", "<A><B>n</B></A><C>c</C>", {{"A", "", "<B>n</B>"}, {"C", "", "c"}}},
        {"names are case-sensitive", "<A>x</a>y</A>", {{"A", "", "x</a>y"}}},
        // The leftover closing tag reads as an element of its own: the reader is that loose.
        {"same name inside ends early", "<A>1<A>2</A>3</A>", {{"A", "", "1<A>2"}, {"/A", "", ""}}},
        {"text ends in the content", "<A>partial", {{"A", "", "partial"}}},
        {"text ends inside the tag", "<A>ok</A><B", {{"A", "", "ok"}}},
        {"empty text", "", {}},
        {"no tag at all", "just words", {}},
    };
    for (const Case& c : cases) {
        std::vector<TagElement> got = ReadAll(c.text);
        ASSERT_EQ(got.size(), c.expected.size()) << c.what;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].name, c.expected[i][0]) << c.what;
            EXPECT_EQ(got[i].attributes, c.expected[i][1]) << c.what;
            EXPECT_EQ(got[i].content, c.expected[i][2]) << c.what;
        }
    }
}

TEST(TagText, ReaderGivenNothingIsAtItsEnd) {
    TagReader reader;
    EXPECT_FALSE(reader.ReadElement().found);
}

TEST(TagText, LongContentIsKeptWhole) {
    std::string value(5000, 'v');
    std::string text;
    AppendTag(text, "BIG", value);
    std::vector<TagElement> got = ReadAll(text);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].content, value);
}
