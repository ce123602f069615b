// Tiny pictures written by the drawing tests: GIF (uncompressed LZW), PNG and ".cached" bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace DrawingTestPictures {

// A GIF of palette indices (min code size 8 or 2) with optional transparent index and interlace.
std::vector<uint8_t> MakeGif(int width, int height, const std::vector<uint8_t>& indices,
                             const std::vector<uint32_t>& palette, int transparent = -1, bool interlaced = false);
std::vector<uint8_t> MakePng(int width, int height, const std::vector<uint32_t>& argb);
std::vector<uint8_t> MakeCached(int width, int height, const std::vector<uint32_t>& argb, const std::string& extra);
// Writes bytes to a game path under the current data folder.
void Put(const std::string& gamePath, const std::vector<uint8_t>& bytes);

}  // namespace DrawingTestPictures
