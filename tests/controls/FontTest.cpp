// Fonts: the three file forms (including hostile ones), measuring, wrapping.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

#include "TestSupport.h"
#include "app/Font.h"
#include "app/Image.h"
#include "persistence/DataBuffer.h"
#include "platform/FileSystem.h"

namespace {

// A font with the given advances (no pixels), the space as wide as `space`.
void Define(Font& font, std::initializer_list<std::pair<char, float>> glyphs, float space = 5.0f,
            float lineHeight = 12.0f) {
    font.Clear();
    for (auto [c, advance] : glyphs) {
        font.mGlyphs[static_cast<unsigned char>(c)].mDefined = true;
        font.mGlyphs[static_cast<unsigned char>(c)].mAdvance = advance;
    }
    font.mSpaceWidth = space;
    font.mLineHeight = lineHeight;
    font.mLoaded = true;
}

struct Record {
    uint8_t c;
    int32_t page, x, y;
    float w, h;
    int32_t advance, ox, oy;
};

DataBuffer Description(int32_t pages, int32_t count, const std::vector<Record>& records) {
    DataBuffer b;
    b.WriteInt(pages);
    b.WriteInt(count);
    for (const Record& r : records) {
        b.WriteByte(r.c);
        b.WriteInt(r.page);
        b.WriteInt(r.x);
        b.WriteInt(r.y);
        b.WriteFloat(r.w);
        b.WriteFloat(r.h);
        b.WriteInt(r.advance);
        b.WriteInt(r.ox);
        b.WriteInt(r.oy);
    }
    b.SetCursor(0);
    return b;
}

DataBuffer Text(const std::string& text) {
    DataBuffer b;
    b.SetData(text.data(), text.size());
    return b;
}

}  // namespace

TEST(FontMeasure, WidthsAndHeightsOfLines) {
    Font font;
    Define(font, {{'a', 10}, {'b', 8}, {'c', 9}, {'w', 30}});
    struct Case {
        std::string text;
        int width, height;
    } cases[] = {
        {"a\nbc", 17, 24},
        {"", 0, 12},
        {"a b", 23, 12},
        {"ab\n\n", 18, 36},
        {"azb", 18, 12},                  // 'z' is not in the font: no advance
        {std::string("a\xC1\xFF") + "b", 18, 12},  // bytes above 127 are never glyphs
        {"w\na", 30, 24},
    };
    for (const Case& c : cases) {
        int w = -1, h = -1;
        font.TextSize(c.text, &w, &h);
        EXPECT_EQ(font.TextWidth(c.text), c.width) << "text " << c.text;
        EXPECT_EQ(w, c.width) << "text " << c.text;
        EXPECT_EQ(h, c.height) << "text " << c.text;
    }
    // Half pixels round to nearest.
    Define(font, {{'a', 10.5f}, {'b', 10.4f}});
    EXPECT_EQ(font.TextWidth("a"), 11);
    EXPECT_EQ(font.TextWidth("b"), 10);
    // A defined line-break record moves the next line on.
    Define(font, {{'a', 10}, {'\n', 4}});
    EXPECT_EQ(font.TextWidth("a\naa"), 24);
    // Not loaded: everything measures 0.
    Font empty;
    EXPECT_EQ(empty.TextWidth("abc"), 0);
}

TEST(FontMeasure, SpaceCountsEvenWhenUndefinedAndOverhangWidensSize) {
    Font font;
    Define(font, {{'a', 10}}, 6.0f);
    EXPECT_FALSE(font.mGlyphs[int(' ')].mDefined);
    EXPECT_EQ(font.TextWidth("a a"), 26);
    auto image = std::make_shared<Image>();
    image->mWidth = 14;
    image->mHeight = 1;
    image->mPixels.assign(14, 0);
    font.mGlyphs[int('a')].mSourceImage = image;
    int w = 0;
    font.TextSize("a a", &w, nullptr);
    EXPECT_EQ(w, 30);
    font.TextSize("a ", &w, nullptr);  // only the last character's image counts
    EXPECT_EQ(w, 16);
}

TEST(FontWrap, BreaksAtSpacesHyphensAndInsideLongWords) {
    Font font;
    // Every letter 10 wide, space 5, hyphen 4.
    std::initializer_list<std::pair<char, float>> letters = {
        {'a', 10}, {'b', 10}, {'c', 10}, {'d', 10}, {'e', 10}, {'f', 10}, {'-', 4}};
    Define(font, letters, 5.0f);
    struct Case {
        std::string text;
        float width;
        std::string wrapped;
    } cases[] = {
        {"abc def", 40, "abc\ndef"},          // only the first word fits
        {"abc def", 75, "abc def"},           // everything fits
        {"abc   def", 34, "abc\ndef"},        // spaces after the break go
        {"abcdef", 35, "abc\ndef"},           // over-long word: break before the misfit, no letter lost
        {"abcdefabcdef", 35, "abc\ndef\nabc\ndef"},
        {"ab-cd", 30, "ab-\ncd"},             // the hyphen stays on its line
        {"ab\nabc def", 40, "ab\nabc\ndef"},  // given breaks restart the line
        {"a", 3, "a"},                        // a lone character too wide stays
        {"", 10, ""},
        {"ab cd ef", 60, "ab cd\nef"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(font.WrapText(c.text, c.width), c.wrapped) << "text \"" << c.text << "\" width " << c.width;
    // Wrapped text never has a line wider than the maximum (when each character fits).
    std::string wrapped = font.WrapText("abc de-fabc ab a-b-c-d ef ab cdef abcdef", 45);
    size_t start = 0;
    while (start <= wrapped.size()) {
        size_t end = wrapped.find('\n', start);
        if (end == std::string::npos) end = wrapped.size();
        EXPECT_LE(font.TextWidth(wrapped.substr(start, end - start)), 45) << wrapped;
        start = end + 1;
    }
}

TEST(FontDescription, FirstRecordWinsSpaceOnlySetsWidthLineHeightIsTallest) {
    DataBuffer b = Description(1, 4,
                               {{'A', 0, 1, 2, 9, 14, 11, 1, -2},
                                {'A', 0, 50, 50, 3, 30, 99, 0, 0},  // duplicate: ignored
                                {' ', 0, 0, 0, 40, 40, 7, 3, 3},
                                {'b', 5, 20, 2, 8, 16, 10, 0, 0}});  // page out of range
    Font font;
    ASSERT_TRUE(font.ReadDescription(b, "", false)) << font.Problem();
    font.mLoaded = true;
    const Font::Glyph& a = font.mGlyphs[int('A')];
    EXPECT_TRUE(a.mDefined);
    EXPECT_EQ(a.mAdvance, 11);
    EXPECT_EQ(a.mOffsetX, 1);
    EXPECT_EQ(a.mOffsetY, -2);
    EXPECT_EQ(a.mPage, 0);
    EXPECT_EQ(a.mPageRect, (Rect{1, 2, 10, 15}));  // one pixel past the recorded size
    EXPECT_EQ(font.mSpaceWidth, 7);
    EXPECT_TRUE(font.mGlyphs[int(' ')].mDefined);
    EXPECT_EQ(font.mGlyphs[int(' ')].mAdvance, 0);
    EXPECT_EQ(font.mLineHeight, 16);  // the space record's 40 does not count
    EXPECT_EQ(font.mGlyphs[int('b')].mPage, -1);
    EXPECT_EQ(font.TextWidth("A bA"), 39);
}

TEST(FontDescription, AbsurdOrTruncatedFilesAreRefusedQuickly) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* what;
        DataBuffer buffer;
    } cases[] = {
        {"negative pages", Description(-1, 0, {})},
        {"huge pages", Description(1 << 30, 0, {})},
        {"huge glyph count", Description(1, 0x7fffffff, {{'a', 0, 0, 0, 1, 1, 1, 0, 0}})},
        {"negative glyph count", Description(1, -5, {})},
        {"count beyond records", Description(1, 3, {{'a', 0, 0, 0, 1, 1, 1, 0, 0}})},
        {"nan width", Description(1, 1, {{'a', 0, 0, 0, nan, 1, 1, 0, 0}})},
        {"huge height", Description(1, 1, {{'a', 0, 0, 0, 1, 1e30f, 1, 0, 0}})},
        {"negative width", Description(1, 1, {{'a', 0, 0, 0, -8, 1, 1, 0, 0}})},
        {"huge advance", Description(1, 1, {{'a', 0, 0, 0, 1, 1, 0x7fffffff, 0, 0}})},
    };
    for (Case& c : cases) {
        Font font;
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(font.ReadDescription(c.buffer, "", true)) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.what;
        EXPECT_FALSE(font.Problem().empty()) << c.what;
        EXPECT_TRUE(font.mPages.empty()) << c.what;
        for (const Font::Glyph& g : font.mGlyphs) ASSERT_FALSE(g.mDefined) << c.what;
    }
}

namespace {

DataBuffer Binary(int imageWidth, int imageHeight, int pixelBytes) {
    DataBuffer b;
    b.WriteFloat(6.0f);
    b.WriteFloat(20.0f);
    for (int c = 0; c < 256; ++c) {
        bool defined = c == 'x' || c == 'y';
        b.WriteBool(defined);
        if (!defined) continue;
        float values[7] = {c == 'x' ? 9.0f : 4.0f, 1, 2, 3, 4, 5, 6};
        for (float v : values) b.WriteFloat(v);
        b.WriteBool(c == 'x');
        if (c != 'x') continue;
        b.WriteInt(imageWidth);
        b.WriteInt(imageHeight);
        for (int i = 0; i < pixelBytes; ++i) b.WriteByte(static_cast<uint8_t>(i));
    }
    b.SetCursor(0);
    return b;
}

}  // namespace

TEST(FontBinary, ReadsRecordsAndImages) {
    DataBuffer b = Binary(3, 2, 24);
    Font font;
    ASSERT_TRUE(font.ReadBinary(b)) << font.Problem();
    font.mLoaded = true;
    EXPECT_EQ(font.mSpaceWidth, 6.0f);
    EXPECT_EQ(font.mLineHeight, 20.0f);
    const Font::Glyph& x = font.mGlyphs[int('x')];
    ASSERT_TRUE(x.mDefined);
    EXPECT_EQ(x.mAdvance, 9.0f);
    EXPECT_EQ(x.mRect, (Rect{3, 4, 5, 6}));
    ASSERT_TRUE(x.mSourceImage);
    EXPECT_EQ(x.mSourceImage->mWidth, 3);
    EXPECT_EQ(x.mSourceImage->mPixels[1], 0x07060504u);  // bytes blue, green, red, alpha
    EXPECT_TRUE(font.mGlyphs[int('y')].mDefined);
    EXPECT_FALSE(font.mGlyphs[int('y')].mSourceImage);
    EXPECT_FALSE(font.mGlyphs[int('z')].mDefined);
    EXPECT_EQ(font.TextWidth("xy x"), 28);
}

TEST(FontBinary, AbsurdOrTruncatedFilesAreRefused) {
    struct Case {
        const char* what;
        DataBuffer buffer;
    } cases[] = {
        {"image larger than the file", Binary(100000, 100000, 24)},
        {"negative image width", Binary(-3, 2, 24)},
    };
    for (Case& c : cases) {
        Font font;
        EXPECT_FALSE(font.ReadBinary(c.buffer)) << c.what;
        EXPECT_FALSE(font.mGlyphs[int('x')].mDefined) << c.what;
    }
    DataBuffer cut = Binary(3, 2, 24);
    DataBuffer half;
    half.SetData(cut.Data(), 300);
    Font font;
    EXPECT_FALSE(font.ReadBinary(half));
    DataBuffer nan;
    nan.WriteFloat(std::numeric_limits<float>::infinity());
    nan.WriteFloat(1.0f);
    nan.SetCursor(0);
    EXPECT_FALSE(font.ReadBinary(nan));
}

TEST(FontText, StatementsDefineGlyphsAndCutThemIntoPages) {
    DataBuffer b = Text(
        "Comment anything here;\r\n"
        "Define CharList ('A','\"',',',';',\"'\");\r\n"
        "Define WidthList (10,7,3,4);\r\n"
        "Define RectList ((0,0,2,3),(2,0,1,1),(0,3,1,1),(3,3,1,1),(1,1,2,2));\r\n"
        "Define OffsetList ((1,2),(0,0));\r\n"
        "LayerSetImage 0 'layer.png';\r\n"
        "LayerSetCharWidths 0 (' ') 6;\r\n"
        "LayerSetCharWidths 0 ('z','y') 9;\r\n");
    Font font;
    ASSERT_TRUE(font.ReadText(b, "", false)) << font.Problem();
    // A 4 x 4 layer, pixel value = 0xFF000000 + index.
    Image layer;
    layer.mWidth = layer.mHeight = 4;
    for (uint32_t i = 0; i < 16; ++i) layer.mPixels.push_back(0xFF000000u + i);
    font.BuildTextGlyphs(layer);
    font.mLoaded = true;

    EXPECT_EQ(font.mSpaceWidth, 6.0f);
    EXPECT_TRUE(font.mGlyphs[int('z')].mDefined);
    EXPECT_EQ(font.mGlyphs[int('z')].mAdvance, 9.0f);
    EXPECT_FALSE(font.mGlyphs[int('y')].mDefined);  // only the first listed character
    const unsigned char listed[] = {'A', '"', ',', ';', '\''};
    const float advances[] = {10, 7, 3, 4, 0};  // the missing width reads as 0
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(font.mGlyphs[listed[i]].mDefined) << listed[i];
        EXPECT_EQ(font.mGlyphs[listed[i]].mAdvance, advances[i]) << listed[i];
    }
    EXPECT_EQ(font.mLineHeight, 3.0f);
    const Font::Glyph& a = font.mGlyphs[int('A')];
    // Offset adjusted by the one-pixel border; the missing offsets read as 0 (then -1).
    EXPECT_EQ(a.mOffsetX, 0.0f);
    EXPECT_EQ(a.mOffsetY, 1.0f);
    EXPECT_EQ(font.mGlyphs[int(';')].mOffsetX, -1.0f);
    ASSERT_EQ(font.mPages.size(), 1u);
    ASSERT_EQ(a.mPage, 0);
    EXPECT_EQ(a.mPageRect.w, 4.0f);
    EXPECT_EQ(a.mPageRect.h, 5.0f);
    const Image& page = *font.mPages[0];
    auto at = [&](const Rect& r, int x, int y) {
        return page.mPixels[size_t(r.y + y) * page.mWidth + size_t(r.x + x)];
    };
    EXPECT_EQ(at(a.mPageRect, 0, 0), 0u);            // border
    EXPECT_EQ(at(a.mPageRect, 1, 1), 0xFF000000u);   // layer (0,0)
    EXPECT_EQ(at(a.mPageRect, 2, 3), 0xFF000009u);   // layer (1,2)
    EXPECT_EQ(at(a.mPageRect, 3, 4), 0u);            // border
    const Font::Glyph& q = font.mGlyphs[int('\'')];
    EXPECT_EQ(at(q.mPageRect, 1, 1), 0xFF000005u);
    // Glyphs never overlap inside the page.
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j) {
            Rect r1 = font.mGlyphs[listed[i]].mPageRect, r2 = font.mGlyphs[listed[j]].mPageRect;
            Rect o = r1.Intersect(r2);
            EXPECT_TRUE(o.w == 0 || o.h == 0) << listed[i] << " and " << listed[j];
        }
}

TEST(FontText, ManyGlyphsFillSeveralPagesAndHugeRectsStayInsideTheLayer) {
    std::string chars, rects, widths;
    for (int c = 33; c < 127; ++c) {
        if (c == '\'') continue;
        chars += std::string(chars.empty() ? "" : ",") + "'" + char(c) + "'";
        rects += std::string(rects.empty() ? "" : ",") + "(0,0,60,60)";
        widths += std::string(widths.empty() ? "" : ",") + "8";
    }
    rects += ",(0,0,5000,5)";
    DataBuffer b = Text("Define CharList (" + chars + ",\"'\");  Define RectList (" + rects + "); Define WidthList (" +
                        widths + ");");
    Font font;
    ASSERT_TRUE(font.ReadText(b, "", false));
    Image layer;
    layer.mWidth = layer.mHeight = 64;
    layer.mPixels.assign(64 * 64, 0xFFFFFFFFu);
    font.BuildTextGlyphs(layer);
    // 16 cuts of 62 x 62 fit one page: 93 need 6; the over-wide rectangle is cut at the layer edge.
    EXPECT_EQ(font.mPages.size(), 6u);
    EXPECT_EQ(font.mGlyphs[int('\'')].mPageRect.w, 66.0f);
    for (const auto& page : font.mPages) EXPECT_EQ(page->mWidth, Font::kPageSize);
}

TEST(FontText, NonsenseStatementsAreIgnoredAndAbsurdValuesRefused) {
    Font font;
    DataBuffer junk = Text("Define;Define Nothing (1,2);LayerSetCharWidths;LayerSetCharWidths 0 ('a' 5;"
                           "LayerSetCharWidths 0 () 5;Define CharList 'a;;;\x01\x02;");
    EXPECT_TRUE(font.ReadText(junk, "", false));
    for (const Font::Glyph& g : font.mGlyphs) EXPECT_FALSE(g.mDefined);
    DataBuffer huge = Text("Define CharList ('a'); Define WidthList (1e300);");
    EXPECT_FALSE(font.ReadText(huge, "", false));
    DataBuffer nan = Text("Define CharList ('a'); Define OffsetList ((nan,0));");
    EXPECT_FALSE(font.ReadText(nan, "", false));
}

TEST(FontLoad, TriesTheFormsInOrderAndMissingFontsAreEmpty) {
    TestSupport::UseFreshDataFolder();
    const std::string root = Files::DataRoot();
    TestSupport::WriteBytes(root + "/t1.txt", "Define CharList ('a'); Define WidthList (3);");
    DataBuffer bin = Binary(1, 1, 4);
    TestSupport::WriteBytes(root + "/t2.font", std::string(reinterpret_cast<const char*>(bin.Data()), bin.Size()));
    TestSupport::WriteBytes(root + "/t2.txt", "Define CharList ('a'); Define WidthList (3);");
    Files::CreateDirectories("t3");
    DataBuffer desc = Description(0, 1, {{'q', 0, 0, 0, 1, 1, 13, 0, 0}});
    TestSupport::WriteBytes(root + "/t3/font.description",
                            std::string(reinterpret_cast<const char*>(desc.Data()), desc.Size()));
    TestSupport::WriteBytes(root + "/t3.font", std::string(reinterpret_cast<const char*>(bin.Data()), bin.Size()));

    Font font;
    EXPECT_TRUE(font.Load("t1"));
    EXPECT_EQ(font.TextWidth("aa"), 6);
    EXPECT_TRUE(font.Load("T2"));  // names resolve without regard to case
    EXPECT_EQ(font.TextWidth("x"), 9);
    EXPECT_EQ(font.TextWidth("a"), 0);
    EXPECT_TRUE(font.Load("t3"));
    EXPECT_EQ(font.TextWidth("q"), 13);
    EXPECT_EQ(font.TextWidth("x"), 0);
    font.Load("nothing");
    EXPECT_TRUE(font.mLoaded);
    EXPECT_EQ(font.TextWidth("abc"), 0);
    int w = -1, h = -1;
    font.TextSize("abc", &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}
