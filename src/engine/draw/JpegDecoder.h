// JPEG pictures through libjpeg, decoded to opaque ARGB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class JpegDecoder {
public:
    // False with `error` set for anything libjpeg refuses and for sizes above the pixel limit.
    static bool Decode(const uint8_t* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels,
                       std::string* error = nullptr);
};
