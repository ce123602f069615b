// Windows bitmap files for screenshots: 24 bits per pixel, rows bottom to top, each row padded
// to four bytes, behind the 14-byte file header and the 40-byte information header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class BitmapWriter {
public:
    // Encodes ARGB pixels (alpha ignored); false for an empty or oversized picture.
    static bool Encode(const uint32_t* pixels, int width, int height, std::vector<uint8_t>& out);
};
