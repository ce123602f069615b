// Bitmap file writing, little-endian field by field.
#include "engine/draw/BitmapWriter.h"

#include "engine/draw/PixelLimits.h"

bool BitmapWriter::Encode(const uint32_t* pixels, int width, int height, std::vector<uint8_t>& out) {
    out.clear();
    if (!pixels || !PixelLimits::Allowed(width, height)) return false;
    const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
    const size_t imageBytes = rowBytes * size_t(height);
    const size_t fileBytes = 14 + 40 + imageBytes;
    if (fileBytes > 0xFFFFFFFFu) return false;
    out.reserve(fileBytes);
    auto u16 = [&](uint32_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    out.push_back('B');
    out.push_back('M');
    u32(uint32_t(fileBytes));
    u32(0);
    u32(14 + 40);
    u32(40);
    u32(uint32_t(width));
    u32(uint32_t(height));  // positive: rows stored bottom to top
    u16(1);
    u16(24);
    u32(0);  // no compression
    u32(uint32_t(imageBytes));
    u32(2835);  // 72 dots per inch
    u32(2835);
    u32(0);
    u32(0);
    for (int y = height - 1; y >= 0; --y) {
        const uint32_t* row = pixels + size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            out.push_back(uint8_t(row[x]));
            out.push_back(uint8_t(row[x] >> 8));
            out.push_back(uint8_t(row[x] >> 16));
        }
        for (size_t pad = size_t(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return true;
}
