// PNG pictures through libpng: reading expands every kind to 8-bit channels with an opaque filler
// where the file has no alpha; writing stores 8-bit RGBA (screenshots, thumbnails, test pictures).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class PngCodec {
public:
    // Decodes into ARGB pixels. False with `error` set for anything libpng refuses, for sizes
    // above the pixel limit, and for cut-short data.
    static bool Decode(const uint8_t* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels,
                       std::string* error = nullptr);
    // Encodes ARGB pixels (rows of `width`); keeps alpha unless `opaque`.
    static bool Encode(const uint32_t* pixels, int width, int height, bool opaque, std::vector<uint8_t>& out);
};
