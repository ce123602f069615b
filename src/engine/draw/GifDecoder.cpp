// GIF decoding. The block walk never reads past the buffer: every read goes through Reader, which
// turns a short buffer into a failure. LZW output is bounded by the picture size.
#include "engine/draw/GifDecoder.h"

#include <cstring>

#include "engine/draw/PixelLimits.h"

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool failed = false;

    int Byte() {
        if (pos >= size) {
            failed = true;
            return 0;
        }
        return data[pos++];
    }
    int Word() {
        int lo = Byte();
        return lo | (Byte() << 8);
    }
    bool Skip(size_t n) {
        if (size - pos < n) {
            failed = true;
            pos = size;
            return false;
        }
        pos += n;
        return true;
    }
    // Skips a chain of data sub-blocks up to and including the zero-length terminator.
    bool SkipSubBlocks() {
        for (;;) {
            int n = Byte();
            if (failed) return false;
            if (n == 0) return true;
            if (!Skip(size_t(n))) return false;
        }
    }
};

struct GifInfo {
    int width = 0, height = 0;
    bool interlaced = false;
    int transparent = -1;
    int loopCount = -1;
    uint32_t palette[256] = {};
    int paletteSize = 0;
    size_t imageData = 0;  // offset of the LZW minimum code size byte
};

bool Fail(std::string* error, const char* text) {
    if (error) *error = text;
    return false;
}

void ReadPalette(Reader& r, uint32_t* palette, int count) {
    for (int i = 0; i < count; ++i) {
        int red = r.Byte(), green = r.Byte(), blue = r.Byte();
        palette[i] = 0xFF000000u | uint32_t(red) << 16 | uint32_t(green) << 8 | uint32_t(blue);
    }
}

// Walks the blocks up to the first image descriptor.
bool ParseHeader(Reader& r, GifInfo& info, std::string* error) {
    if (r.size < 6 || (std::memcmp(r.data, "GIF87", 5) != 0 && std::memcmp(r.data, "GIF89", 5) != 0))
        return Fail(error, "not a GIF file");
    r.pos = 6;
    r.Word();  // logical screen width and height: the first image decides the picture's size
    r.Word();
    int flags = r.Byte();
    r.Byte();  // background colour
    r.Byte();  // aspect ratio
    if (flags & 0x80) {
        info.paletteSize = 2 << (flags & 7);
        ReadPalette(r, info.palette, info.paletteSize);
    }
    for (;;) {
        if (r.failed) return Fail(error, "GIF file cut short");
        int block = r.Byte();
        if (r.failed) return Fail(error, "GIF file cut short");
        if (block == 0x3B) return Fail(error, "GIF file holds no image");
        if (block == 0x21) {
            int label = r.Byte();
            if (label == 0xF9) {
                int n = r.Byte();
                size_t start = r.pos;
                if (n >= 4) {
                    int packed = r.Byte();
                    r.Word();  // delay
                    int index = r.Byte();
                    if (packed & 1) info.transparent = index;
                }
                if (r.failed || r.pos > start + size_t(n)) return Fail(error, "GIF file cut short");
                r.Skip(start + size_t(n) - r.pos);
                if (!r.SkipSubBlocks()) return Fail(error, "GIF file cut short");
            } else if (label == 0xFF) {
                int n = r.Byte();
                size_t start = r.pos;
                bool netscape = n == 11 && r.size - r.pos >= 11 && std::memcmp(r.data + r.pos, "NETSCAPE2.0", 11) == 0;
                if (!r.Skip(size_t(n))) return Fail(error, "GIF file cut short");
                (void)start;
                if (netscape) {
                    // Sub-block 1 carries the loop count; the rest is skipped like any extension.
                    int len = r.Byte();
                    if (len >= 3) {
                        int id = r.Byte();
                        int loops = r.Word();
                        if (id == 1) info.loopCount = loops;
                        r.Skip(size_t(len - 3));
                    } else if (len > 0) {
                        r.Skip(size_t(len));
                    }
                    if (len == 0) continue;
                }
                if (!r.SkipSubBlocks()) return Fail(error, "GIF file cut short");
            } else {
                if (!r.SkipSubBlocks()) return Fail(error, "GIF file cut short");
            }
        } else if (block == 0x2C) {
            r.Word();  // left
            r.Word();  // top
            info.width = r.Word();
            info.height = r.Word();
            int packed = r.Byte();
            info.interlaced = (packed & 0x40) != 0;
            if (packed & 0x80) {
                info.paletteSize = 2 << (packed & 7);
                ReadPalette(r, info.palette, info.paletteSize);
            }
            if (r.failed) return Fail(error, "GIF file cut short");
            info.imageData = r.pos;
            return true;
        } else {
            return Fail(error, "GIF block of unknown kind");
        }
    }
}

}  // namespace

bool GifDecoder::Decode(const uint8_t* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels,
                        std::string* error) {
    width = height = -1;
    pixels.clear();
    if (!data) return Fail(error, "no data");
    Reader r{data, size};
    GifInfo info;
    if (!ParseHeader(r, info, error)) return false;
    if (info.paletteSize == 0) return Fail(error, "GIF image has no colour table");
    if (!PixelLimits::Allowed(info.width, info.height)) return Fail(error, "GIF image size out of range");

    int minCodeSize = r.Byte();
    if (r.failed || minCodeSize < 2 || minCodeSize > 8) return Fail(error, "GIF code size out of range");

    // The image data sub-blocks, joined. Never longer than the file.
    std::vector<uint8_t> stream;
    for (;;) {
        int n = r.Byte();
        if (r.failed) break;  // a missing terminator is tolerated when the pixels are all there
        if (n == 0) break;
        size_t take = std::min(size_t(n), r.size - r.pos);
        stream.insert(stream.end(), r.data + r.pos, r.data + r.pos + take);
        r.pos += take;
        if (take < size_t(n)) break;
    }

    const int64_t total = int64_t(info.width) * info.height;
    std::vector<uint8_t> indices(size_t(total), 0);
    int64_t written = 0;

    const int clearCode = 1 << minCodeSize, endCode = clearCode + 1;
    uint16_t prefix[4096];
    uint8_t suffix[4096];
    uint16_t lengthOf[4096];
    uint8_t firstOf[4096];
    for (int i = 0; i < clearCode; ++i) {
        prefix[i] = 0;
        suffix[i] = uint8_t(i);
        lengthOf[i] = 1;
        firstOf[i] = uint8_t(i);
    }
    int codeSize = minCodeSize + 1, nextCode = clearCode + 2, previous = -1;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    size_t streamPos = 0;
    bool ended = false;

    while (written < total && !ended) {
        while (bitCount < codeSize && streamPos < stream.size()) {
            bitBuffer |= uint32_t(stream[streamPos++]) << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeSize) break;
        int code = int(bitBuffer & ((1u << codeSize) - 1));
        bitBuffer >>= codeSize;
        bitCount -= codeSize;

        if (code == clearCode) {
            codeSize = minCodeSize + 1;
            nextCode = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code == endCode) {
            ended = true;
            break;
        }
        if (code > nextCode || (code == nextCode && previous < 0) || (code >= clearCode && code < clearCode + 2))
            return Fail(error, "GIF LZW code out of range");
        if (code >= nextCode && nextCode >= 4096) return Fail(error, "GIF LZW code out of range");

        int emitCode = code;
        int first;
        if (code == nextCode) {
            // The code being defined right now: previous string plus its own first byte.
            first = firstOf[previous];
        } else {
            first = firstOf[code];
        }
        if (previous >= 0 && nextCode < 4096) {
            prefix[nextCode] = uint16_t(previous);
            suffix[nextCode] = uint8_t(first);
            lengthOf[nextCode] = uint16_t(lengthOf[previous] + 1);
            firstOf[nextCode] = firstOf[previous];
            ++nextCode;
            if (nextCode == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        // Writes the string backwards into place, dropping whatever falls past the last pixel.
        int length = lengthOf[emitCode];
        int64_t end = written + length;
        int c = emitCode;
        for (int64_t pos = end - 1; pos >= written; --pos) {
            if (pos < total) indices[size_t(pos)] = suffix[c];
            c = prefix[c];
        }
        written = std::min(end, total);
        previous = code;
    }
    if (written < total) return Fail(error, "GIF image data cut short");

    pixels.resize(size_t(total));
    const int w = info.width, h = info.height;
    // Interlaced files store rows in four passes: every 8th from 0, every 8th from 4, every 4th
    // from 2, every 2nd from 1.
    static const int passStart[4] = {0, 4, 2, 1}, passStep[4] = {8, 8, 4, 2};
    int sourceRow = 0;
    for (int pass = 0; pass < (info.interlaced ? 4 : 1); ++pass) {
        int start = info.interlaced ? passStart[pass] : 0, step = info.interlaced ? passStep[pass] : 1;
        for (int y = start; y < h; y += step, ++sourceRow) {
            const uint8_t* in = indices.data() + size_t(sourceRow) * w;
            uint32_t* out = pixels.data() + size_t(y) * w;
            for (int x = 0; x < w; ++x) {
                int index = in[x];
                if (index == info.transparent) out[x] = 0;
                else out[x] = index < info.paletteSize ? info.palette[index] : 0xFF000000u;
            }
        }
    }
    width = w;
    height = h;
    return true;
}

int GifDecoder::LoopCount(const uint8_t* data, size_t size) {
    if (!data) return -1;
    Reader r{data, size};
    GifInfo info;
    if (!ParseHeader(r, info, nullptr)) return -1;
    return info.loopCount;
}
