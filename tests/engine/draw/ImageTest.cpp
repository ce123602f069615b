// The image file rules (order of formats, masks, ".cached") and the decoders' refusal of corrupt,
// truncated and oversized files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DrawingTestPictures.h"
#include "engine/draw/GifDecoder.h"
#include "engine/draw/Image.h"
#include "engine/draw/JpegDecoder.h"
#include "engine/draw/PixelLimits.h"
#include "engine/draw/PngCodec.h"

using namespace DrawingTestPictures;

namespace {

struct MessageCatcher {
    std::vector<std::string> messages;
    MessageCatcher() {
        Image::SetMessageHandler([this](const std::string& title, const std::string& text) {
            messages.push_back(title + ": " + text);
        });
    }
    ~MessageCatcher() { Image::SetMessageHandler(nullptr); }
};

std::vector<uint32_t> Solid(int n, uint32_t c) { return std::vector<uint32_t>(size_t(n), c); }

TEST(Image, FileRulesForMasksAndCachedPictures) {
    MessageCatcher catcher;
    // A picture with a PNG mask: the mask's red channel becomes alpha.
    Put("Graphics\\both.png", MakePng(2, 1, {0xFF102030, 0xFF405060}));
    Put("Graphics\\both_alpha.png", MakePng(2, 1, {0xFF800000, 0xFF00FFFF}));
    Image both;
    ASSERT_TRUE(both.Load("Graphics\\both"));
    EXPECT_EQ(0x80102030u, both.mPixels[0]);
    EXPECT_EQ(0x00405060u, both.mPixels[1]);

    // Only the mask exists: opaque white with the mask as alpha.
    Put("Graphics\\maskonly_alpha.png", MakePng(2, 1, {0xFF400000, 0xFFFF0000}));
    Image maskOnly;
    ASSERT_TRUE(maskOnly.Load("Graphics\\maskonly"));
    EXPECT_EQ(0x40FFFFFFu, maskOnly.mPixels[0]);
    EXPECT_EQ(0xFFFFFFFFu, maskOnly.mPixels[1]);

    // ".cached" beside a PNG of the same name wins, and no mask is applied.
    Put("Graphics\\cachedpic.png", MakePng(1, 1, {0xFF00FF00}));
    Put("Graphics\\cachedpic_alpha.png", MakePng(1, 1, {0xFF000000}));
    Put("Graphics\\cachedpic.cached", MakeCached(1, 1, {0xFF0000FF}, "xyz"));
    Image cached;
    ASSERT_TRUE(cached.Load("Graphics\\cachedpic"));
    EXPECT_EQ(0xFF0000FFu, cached.mPixels[0]);
    EXPECT_EQ(3, cached.mExtraSize);

    // A mask of another size is ignored.
    Put("Graphics\\odd.png", MakePng(2, 2, Solid(4, 0xFF112233)));
    Put("Graphics\\odd_alpha.png", MakePng(1, 1, {0xFF000000}));
    Image odd;
    ASSERT_TRUE(odd.Load("Graphics\\odd"));
    EXPECT_EQ(0xFF112233u, odd.mPixels[3]);
    EXPECT_TRUE(catcher.messages.empty());

    // A name containing "_alpha" that exists nowhere: empty, no message. Any other missing name
    // shows exactly one message.
    Image none;
    EXPECT_FALSE(none.Load("Graphics\\nothing_alpha"));
    EXPECT_TRUE(catcher.messages.empty());
    EXPECT_FALSE(none.Load("Graphics\\nothing"));
    EXPECT_EQ(-1, none.mWidth);
    ASSERT_EQ(1u, catcher.messages.size());
    EXPECT_EQ("Image Load Error: Could not load image: Graphics\\nothing", catcher.messages[0]);

    EXPECT_TRUE(Image::Exists("Graphics\\maskonly"));
    EXPECT_TRUE(Image::Exists("graphics\\BOTH"));
    EXPECT_FALSE(Image::Exists("Graphics\\nothing"));
}

TEST(Image, FormatOrderGifBeforeJpegBeforePng) {
    std::vector<uint32_t> palette = {0xFF000000, 0xFFFF0000};
    Put("Graphics\\order.gif", MakeGif(1, 1, {1}, palette));
    Put("Graphics\\order.png", MakePng(1, 1, {0xFF00FF00}));
    Image order;
    ASSERT_TRUE(order.Load("Graphics\\order"));
    EXPECT_EQ(0xFFFF0000u, order.mPixels[0]);
    // A corrupt GIF falls through to the next format.
    Put("Graphics\\order.gif", {'G', 'I', 'F', '8', '9', 'a', 1});
    ASSERT_TRUE(order.Load("Graphics\\order"));
    EXPECT_EQ(0xFF00FF00u, order.mPixels[0]);
}

TEST(Image, GifDecodesTransparencyAndInterlace) {
    const int w = 5, h = 11;
    std::vector<uint8_t> indices(w * h);
    for (int i = 0; i < w * h; ++i) indices[size_t(i)] = uint8_t(i % 4);
    std::vector<uint32_t> palette = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (bool interlaced : {false, true}) {
        std::vector<uint8_t> file = MakeGif(w, h, indices, palette, 2, interlaced);
        int gw = 0, gh = 0;
        std::vector<uint32_t> px;
        ASSERT_TRUE(GifDecoder::Decode(file.data(), file.size(), gw, gh, px)) << interlaced;
        ASSERT_EQ(w, gw);
        ASSERT_EQ(h, gh);
        for (int i = 0; i < w * h; ++i) {
            uint32_t expected = indices[size_t(i)] == 2 ? 0u : palette[indices[size_t(i)]];
            ASSERT_EQ(expected, px[size_t(i)]) << "pixel " << i << " interlaced " << interlaced;
        }
    }
}

// Real LZW (codes that refer to earlier strings) decoded against a known stream: a 4x1 picture
// of index 1 written with min code size 2 as clear, 1, 6 (= "1 1"), 1, end.
TEST(Image, GifDecodesBackReferences) {
    std::vector<uint8_t> file = {'G', 'I', 'F', '8', '7', 'a', 4, 0, 1, 0, 0x81, 0, 0,
                                 0, 0, 0, 255, 255, 255, 1, 2, 3, 4, 5, 6,  // 4-entry palette
                                 0x2C, 0, 0, 0, 0, 4, 0, 1, 0, 0, 2};
    // Codes of 3 bits, least significant first: 4 (clear), 1, 6, 1, 5 (end).
    uint32_t bits = 4 | 1 << 3 | 6 << 6 | 1 << 9 | 5 << 12;
    file.insert(file.end(), {2, uint8_t(bits), uint8_t(bits >> 8), 0, 0x3B});
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    std::string error;
    ASSERT_TRUE(GifDecoder::Decode(file.data(), file.size(), w, h, px, &error)) << error;
    ASSERT_EQ(4u, px.size());
    for (uint32_t p : px) EXPECT_EQ(0xFFFFFFFFu, p);
}

TEST(Image, CorruptFilesAreRefused) {
    std::vector<uint8_t> indices(16, 1);
    std::vector<uint8_t> gif = MakeGif(4, 4, indices, {0xFF000000, 0xFFFFFFFF});
    std::vector<uint8_t> png = MakePng(4, 4, Solid(16, 0xFF123456));
    std::vector<uint8_t> cached = MakeCached(2, 2, Solid(4, 0xFF00FF00), "");

    struct Case {
        const char* what;
        std::string extension;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"gif cut in the data", "gif", std::vector<uint8_t>(gif.begin(), gif.end() - 12)});
    cases.push_back({"gif cut in the header", "gif", std::vector<uint8_t>(gif.begin(), gif.begin() + 20)});
    std::vector<uint8_t> huge = gif;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // screen size does not matter...
    huge[6 + 7 + 768 + 5] = 0xFF, huge[6 + 7 + 768 + 6] = 0xFF;  // ...the image's width 65535 does
    huge[6 + 7 + 768 + 7] = 0xFF, huge[6 + 7 + 768 + 8] = 0xFF;
    cases.push_back({"gif image of 65535 x 65535", "gif", huge});
    std::vector<uint8_t> badCode = gif;
    badCode[6 + 7 + 768 + 10 + 2] = 0xFF;  // first code after clear refers to an undefined entry
    badCode[6 + 7 + 768 + 10 + 3] = 0xFF;
    cases.push_back({"gif code out of range", "gif", badCode});
    std::vector<uint8_t> badSize = gif;
    badSize[6 + 7 + 768 + 10] = 12;
    cases.push_back({"gif min code size 12", "gif", badSize});
    cases.push_back({"png cut short", "png", std::vector<uint8_t>(png.begin(), png.end() - 20)});
    cases.push_back({"png header only", "png", std::vector<uint8_t>(png.begin(), png.begin() + 33)});
    cases.push_back({"cached cut short", "cached", std::vector<uint8_t>(cached.begin(), cached.end() - 5)});
    std::vector<uint8_t> overflow = MakeCached(0x40000000, 0x40000000, {}, "");
    cases.push_back({"cached with overflowing size", "cached", overflow});
    std::vector<uint8_t> negative = cached;
    negative[8 + 16] = 0xFF, negative[8 + 16 + 3] = 0xFF;  // extra size below zero
    cases.push_back({"cached with negative extra", "cached", negative});
    cases.push_back({"jpeg that is not one", "jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'}});

    for (const Case& c : cases) {
        Image image;
        std::string error;
        EXPECT_FALSE(image.Decode(c.extension, c.bytes.data(), c.bytes.size(), &error)) << c.what;
        EXPECT_EQ(-1, image.mWidth) << c.what;
        EXPECT_TRUE(image.mPixels.empty()) << c.what;
    }
}

TEST(Image, PngAndJpegRoundTrip) {
    std::vector<uint32_t> argb = {0x00000000, 0x80FF8040, 0xFF0000FF, 0xFFFFFFFF};
    std::vector<uint8_t> png = MakePng(2, 2, argb);
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    ASSERT_TRUE(PngCodec::Decode(png.data(), png.size(), w, h, px));
    EXPECT_EQ(argb, px);
    // Limits apply before allocation.
    PixelLimits::SetMaxPixels(3);
    EXPECT_FALSE(PngCodec::Decode(png.data(), png.size(), w, h, px));
    PixelLimits::SetMaxPixels(int64_t(PixelLimits::kMaxDimension) * PixelLimits::kMaxDimension);
}

TEST(Image, SubRectangleCopiesAndClearsOutside) {
    Image source;
    ASSERT_TRUE(source.Create(4, 3, 0));
    for (int i = 0; i < 12; ++i) source.mPixels[size_t(i)] = 0xFF000000u | uint32_t(i);
    source.mExtra = {1, 2};
    source.mExtraSize = 2;
    Image part(source, 2, 1, 4, 3);
    ASSERT_EQ(4, part.mWidth);
    EXPECT_EQ(0xFF000006u, *part.PixelAt(0, 0));
    EXPECT_EQ(0xFF00000Bu, *part.PixelAt(1, 1));
    EXPECT_EQ(0u, *part.PixelAt(2, 0));
    EXPECT_EQ(0u, *part.PixelAt(0, 2));
    EXPECT_EQ(2, part.mExtraSize);
    EXPECT_EQ(nullptr, part.PixelAt(4, 0));
    Image empty(source, 0, 0, 0, 5);
    EXPECT_EQ(-1, empty.mWidth);
}

}  // namespace
