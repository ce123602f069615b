// Builds the game's four bitmap fonts from font files with FreeType, in the engine's binary
// ".font" form: space width, line height, then one record per byte value with its own pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AssetWriter;

struct FontSpec {
  const char* name;   // resource name, e.g. "Fonts\\font1"
  const char* file;   // font file path
  int pixelSize;
  int outline;        // dark outline width in pixels, 0 for none
};

class FontBuilder {
 public:
  void Generate(AssetWriter& out) const;
  // The ".font" bytes for one font; empty when the font file cannot be read.
  static std::vector<uint8_t> Build(const FontSpec& spec);
};
