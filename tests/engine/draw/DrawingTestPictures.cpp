// Picture writers for the drawing tests. The GIF writer sends every pixel as a literal code and
// clears the table before the code size would grow, which any correct decoder must accept.
#include "DrawingTestPictures.h"

#include "engine/draw/PngCodec.h"
#include "platform/FileSystem.h"

namespace DrawingTestPictures {

namespace {
void Word(std::vector<uint8_t>& out, int v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t((v >> 8) & 0xFF));
}
}  // namespace

std::vector<uint8_t> MakeGif(int width, int height, const std::vector<uint8_t>& indices,
                             const std::vector<uint32_t>& palette, int transparent, bool interlaced) {
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    Word(out, width);
    Word(out, height);
    out.push_back(0x80 | 7);  // global table of 256 entries
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < 256; ++i) {
        uint32_t c = i < int(palette.size()) ? palette[size_t(i)] : 0;
        out.push_back(uint8_t(c >> 16));
        out.push_back(uint8_t(c >> 8));
        out.push_back(uint8_t(c));
    }
    if (transparent >= 0) {
        out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, uint8_t(transparent), 0});
    }
    out.push_back(0x2C);
    Word(out, 0);
    Word(out, 0);
    Word(out, width);
    Word(out, height);
    out.push_back(interlaced ? 0x40 : 0);
    const int minCode = 8, clear = 256, end = 257, bits = 9;
    out.push_back(minCode);
    // Rows in file order: interlaced pictures store the passes one after another.
    std::vector<int> rows;
    if (interlaced) {
        for (int y = 0; y < height; y += 8) rows.push_back(y);
        for (int y = 4; y < height; y += 8) rows.push_back(y);
        for (int y = 2; y < height; y += 4) rows.push_back(y);
        for (int y = 1; y < height; y += 2) rows.push_back(y);
    } else {
        for (int y = 0; y < height; ++y) rows.push_back(y);
    }
    std::vector<uint8_t> stream;
    uint32_t buffer = 0;
    int count = 0;
    auto emit = [&](int code) {
        buffer |= uint32_t(code) << count;
        count += bits;
        while (count >= 8) {
            stream.push_back(uint8_t(buffer));
            buffer >>= 8;
            count -= 8;
        }
    };
    int sinceClear = 0;
    emit(clear);
    for (int y : rows) {
        for (int x = 0; x < width; ++x) {
            if (sinceClear == 254) {
                emit(clear);
                sinceClear = 0;
            }
            emit(indices[size_t(y) * width + x]);
            ++sinceClear;
        }
    }
    emit(end);
    if (count > 0) stream.push_back(uint8_t(buffer));
    for (size_t i = 0; i < stream.size(); i += 255) {
        size_t n = std::min<size_t>(255, stream.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), stream.begin() + long(i), stream.begin() + long(i + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

std::vector<uint8_t> MakePng(int width, int height, const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> out;
    PngCodec::Encode(argb.data(), width, height, false, out);
    return out;
}

std::vector<uint8_t> MakeCached(int width, int height, const std::vector<uint32_t>& argb, const std::string& extra) {
    std::vector<uint8_t> out;
    auto int32 = [&](int32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    };
    int32(width);
    int32(height);
    for (uint32_t p : argb) int32(int32_t(p));
    int32(int32_t(extra.size()));
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

void Put(const std::string& gamePath, const std::vector<uint8_t>& bytes) {
    Files::WriteWholeAtomic(gamePath, bytes.data(), bytes.size());
}

}  // namespace DrawingTestPictures
