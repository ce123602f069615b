// The engine's own GIF reader: the first image of a "GIF87"/"GIF89" file, LZW with a 4096-entry
// table, the graphic-control extension's transparent index as alpha 0. Corrupt input fails cleanly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class GifDecoder {
public:
    // Decodes into `pixels` (ARGB, rows top to bottom). False with `error` set on any fault:
    // bad signature, no colour table, sizes above the pixel limit, LZW codes out of range, or
    // image data that ends before the last pixel.
    static bool Decode(const uint8_t* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels,
                       std::string* error = nullptr);
    // Loop count of the "NETSCAPE2.0" application extension, -1 when the file has none.
    static int LoopCount(const uint8_t* data, size_t size);
};
