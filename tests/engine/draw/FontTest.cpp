// Fonts: the three file forms (including hostile ones), measuring and wrapping.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>

#include "engine/draw/Font.h"
#include "engine/draw/Image.h"
#include "persistence/DataBuffer.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

// A font of given advances, no pixels.
void Define(Font& font, std::initializer_list<std::pair<char, float>> glyphs, float space = 5.0f) {
    font.Clear();
    for (auto [c, advance] : glyphs) {
        font.mGlyphs[static_cast<unsigned char>(c)].mDefined = true;
        font.mGlyphs[static_cast<unsigned char>(c)].mAdvance = advance;
    }
    font.mSpaceWidth = space;
    font.mLineHeight = 12.0f;
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
        for (int32_t v : {r.page, r.x, r.y}) b.WriteInt(v);
        b.WriteFloat(r.w);
        b.WriteFloat(r.h);
        for (int32_t v : {r.advance, r.ox, r.oy}) b.WriteInt(v);
    }
    b.SetCursor(0);
    return b;
}

// The binary form with 'x' (advance 9, a w x h image) and 'y' (advance 4, no image).
DataBuffer Binary(int w, int h, int pixelBytes) {
    DataBuffer b;
    b.WriteFloat(6.0f);
    b.WriteFloat(20.0f);
    for (int c = 0; c < 256; ++c) {
        b.WriteBool(c == 'x' || c == 'y');
        if (c != 'x' && c != 'y') continue;
        for (float v : {c == 'x' ? 9.0f : 4.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f}) b.WriteFloat(v);
        b.WriteBool(c == 'x');
        if (c != 'x') continue;
        b.WriteInt(w);
        b.WriteInt(h);
        for (int i = 0; i < pixelBytes; ++i) b.WriteByte(uint8_t(i));
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
    Define(font, {{'a', 10}, {'b', 8}, {'c', 9}});
    struct Case {
        std::string text;
        int width, height;
    } cases[] = {
        {"a\nbc", 17, 24}, {"", 0, 12}, {"a b", 23, 12}, {"ab\n\n", 18, 36},
        {"azb", 18, 12},                             // 'z' is not in the font: no advance
        {std::string("a\xC1\xFF") + "b", 18, 12},  // bytes above 127 are never glyphs
    };
    for (const Case& c : cases) {
        int w = -1, h = -1;
        font.TextSize(c.text, &w, &h);
        EXPECT_EQ(font.TextWidth(c.text), c.width) << c.text;
        EXPECT_EQ(w, c.width) << c.text;
        EXPECT_EQ(h, c.height) << c.text;
    }
    // A defined line-break record moves the next line on; the last glyph's wider image widens
    // the size.
    Define(font, {{'a', 10.5f}, {'\n', 4}});
    EXPECT_EQ(font.TextWidth("a\naa"), 25);
    auto image = std::make_shared<Image>();
    image->Create(14, 1);
    font.mGlyphs[int('a')].mSourceImage = image;
    int w = 0;
    font.TextSize("a", &w, nullptr);
    EXPECT_EQ(w, 14);
    EXPECT_EQ(Font().TextWidth("abc"), 0) << "a font not loaded measures nothing";
}

TEST(FontWrap, BreaksAtSpacesHyphensAndInsideLongWords) {
    Font font;
    Define(font, {{'a', 10}, {'b', 10}, {'c', 10}, {'d', 10}, {'e', 10}, {'f', 10}, {'-', 4}});
    struct Case {
        std::string text;
        float width;
        std::string wrapped;
    } cases[] = {
        {"abc def", 40, "abc\ndef"},          // only the first word fits
        {"abc def", 75, "abc def"},
        {"abc   def", 34, "abc\ndef"},        // spaces after the break go
        {"abcdefabcdef", 35, "abc\ndef\nabc\ndef"},  // break before the misfit: no letter lost
        {"ab-cd", 30, "ab-\ncd"},             // the hyphen stays on its line
        {"ab\nabc def", 40, "ab\nabc\ndef"},  // given breaks restart the line
        {"a", 3, "a"},                        // a lone character too wide stays
    };
    for (const Case& c : cases)
        EXPECT_EQ(font.WrapText(c.text, c.width), c.wrapped) << "\"" << c.text << "\" at " << c.width;
}

TEST(FontDescription, FirstRecordWinsAndAbsurdFilesAreRefusedQuickly) {
    DataBuffer b = Description(1, 3,
                               {{'A', 0, 1, 2, 9, 14, 11, 1, -2},
                                {'A', 0, 50, 50, 3, 30, 99, 0, 0},  // a second record for A is ignored
                                {' ', 0, 0, 0, 40, 40, 7, 3, 3}});  // the space only sets its width
    Font font;
    ASSERT_TRUE(font.ReadDescription(b, "", false)) << font.Problem();
    EXPECT_EQ(font.mGlyphs[int('A')].mAdvance, 11);
    EXPECT_EQ(font.mGlyphs[int('A')].mPageRect, (Rect{1, 2, 10, 15}));  // one pixel past the size
    EXPECT_EQ(font.mSpaceWidth, 7);
    EXPECT_EQ(font.mLineHeight, 14);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Record one{'a', 0, 0, 0, 1, 1, 1, 0, 0};
    struct Case {
        const char* what;
        DataBuffer buffer;
    } cases[] = {
        {"huge page count", Description(1 << 30, 0, {})},
        {"negative page count", Description(-1, 0, {})},
        {"huge glyph count", Description(1, 0x7fffffff, {one})},
        {"count beyond the records", Description(1, 3, {one})},
        {"not-a-number width", Description(1, 1, {{'a', 0, 0, 0, nan, 1, 1, 0, 0}})},
        {"huge height", Description(1, 1, {{'a', 0, 0, 0, 1, 1e30f, 1, 0, 0}})},
        {"huge advance", Description(1, 1, {{'a', 0, 0, 0, 1, 1, 0x7fffffff, 0, 0}})},
    };
    for (Case& c : cases) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(font.ReadDescription(c.buffer, "", true)) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.what;
        EXPECT_TRUE(font.mPages.empty()) << c.what;
        EXPECT_FALSE(font.mGlyphs[int('a')].mDefined) << c.what;
    }
}

TEST(FontBinary, ReadsRecordsAndImagesAndRefusesBrokenOnes) {
    DataBuffer b = Binary(3, 2, 24);
    Font font;
    ASSERT_TRUE(font.ReadBinary(b)) << font.Problem();
    const Font::Glyph& x = font.mGlyphs[int('x')];
    EXPECT_EQ(x.mAdvance, 9.0f);
    EXPECT_EQ(x.mRect, (Rect{3, 4, 5, 6}));
    ASSERT_TRUE(x.mSourceImage);
    EXPECT_EQ(x.mSourceImage->mPixels[1], 0x07060504u);  // bytes blue, green, red, alpha
    EXPECT_TRUE(font.mGlyphs[int('y')].mDefined);
    EXPECT_FALSE(font.mGlyphs[int('y')].mSourceImage);

    DataBuffer whole = Binary(3, 2, 24), cut;
    cut.SetData(whole.Data(), 300);
    DataBuffer infinite;
    infinite.WriteFloat(std::numeric_limits<float>::infinity());
    infinite.WriteFloat(1.0f);
    infinite.SetCursor(0);
    struct Case {
        const char* what;
        DataBuffer buffer;
    } cases[] = {{"image larger than the file", Binary(100000, 100000, 24)},
                 {"negative image width", Binary(-3, 2, 24)},
                 {"file cut short", std::move(cut)},
                 {"infinite space width", std::move(infinite)}};
    for (Case& c : cases) {
        EXPECT_FALSE(font.ReadBinary(c.buffer)) << c.what;
        EXPECT_FALSE(font.mGlyphs[int('x')].mDefined) << c.what;
    }
}

TEST(FontText, StatementsDefineGlyphsAndCutThemIntoPages) {
    DataBuffer b = Text(
        "Comment anything;\r\nDefine CharList ('A',',',';',\"'\");\r\nDefine WidthList (10,3,4);\r\n"
        "Define RectList ((0,0,2,3),(2,0,1,1),(0,3,1,1),(1,1,2,2));\r\nDefine OffsetList ((1,2));\r\n"
        "LayerSetImage 0 'layer.png';\r\nLayerSetCharWidths 0 (' ') 6;\r\nLayerSetCharWidths 0 ('z','y') 9;\r\n");
    Font font;
    ASSERT_TRUE(font.ReadText(b, "", false)) << font.Problem();
    Image layer;  // 4 x 4, pixel = 0xFF000000 + index
    layer.Create(4, 4);
    for (uint32_t i = 0; i < 16; ++i) layer.mPixels[i] = 0xFF000000u + i;
    font.BuildTextGlyphs(layer);

    EXPECT_EQ(font.mSpaceWidth, 6.0f);
    EXPECT_EQ(font.mGlyphs[int('z')].mAdvance, 9.0f);
    EXPECT_FALSE(font.mGlyphs[int('y')].mDefined) << "only the first listed character";
    EXPECT_EQ(font.mGlyphs[int('\'')].mAdvance, 0.0f) << "a missing width reads as 0";
    EXPECT_EQ(font.mLineHeight, 3.0f);
    const Font::Glyph& a = font.mGlyphs[int('A')];
    EXPECT_EQ(a.mOffsetX, 0.0f) << "moved by the one-pixel border";
    EXPECT_EQ(a.mOffsetY, 1.0f);
    ASSERT_EQ(font.mPages.size(), 1u);
    const Image& page = *font.mPages[0];
    EXPECT_EQ(*page.PixelAt(int(a.mPageRect.x), int(a.mPageRect.y)), 0u) << "border";
    EXPECT_EQ(*page.PixelAt(int(a.mPageRect.x) + 2, int(a.mPageRect.y) + 3), 0xFF000009u) << "layer (1,2)";

    DataBuffer huge = Text("Define CharList ('a'); Define WidthList (1e300);");
    EXPECT_FALSE(font.ReadText(huge, "", false));
    // Glyphs larger than a page are cut to fit one, so a description cannot ask for much memory.
    DataBuffer large = Text("Define CharList ('a','b'); Define RectList ((0,0,1000,1000),(5,5,60000,1));");
    ASSERT_TRUE(font.ReadText(large, "", false));
    layer.Create(300, 300);
    font.BuildTextGlyphs(layer);
    EXPECT_EQ(font.mPages.size(), 2u);
    EXPECT_EQ(font.mGlyphs[int('a')].mPageRect, (Rect{0, 0, 256, 256}));
    EXPECT_EQ(font.mGlyphs[int('b')].mPageRect, (Rect{0, 0, 256, 3}));
}

TEST(FontLoad, TriesTheFormsInOrderAndMissingFontsAreEmpty) {
    TestSupport::UseFreshDataFolder();
    auto write = [](const std::string& path, const DataBuffer& b) { ASSERT_TRUE(DataBuffer(b).Save(path)); };
    write("t1.txt", Text("Define CharList ('a'); Define WidthList (3);"));
    write("t2.font", Binary(1, 1, 4));
    write("t2.txt", Text("Define CharList ('a'); Define WidthList (3);"));
    write("t3\\font.description", Description(0, 1, {{'q', 0, 0, 0, 1, 1, 13, 0, 0}}));
    write("t3.font", Binary(1, 1, 4));
    Font font;
    EXPECT_TRUE(font.Load("t1"));
    EXPECT_EQ(font.TextWidth("aa"), 6);
    EXPECT_TRUE(font.Load("T2"));  // names resolve without regard to case
    EXPECT_EQ(font.TextWidth("xa"), 9);
    EXPECT_TRUE(font.Load("t3"));
    EXPECT_EQ(font.TextWidth("qx"), 13);
    font.Load("nothing");
    int w = -1, h = -1;
    font.TextSize("abc", &w, &h);
    EXPECT_EQ(w + h, 0);
}
