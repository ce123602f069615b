// Glyphs are white with coverage as alpha, so the game tints them with its drawing colour;
// the large font carries a dark outline of its own to stay readable over the board. The pen
// is at the top of the line: each glyph's offset places its ink below the ascender.
#include "FontBuilder.h"

#include "AssetWriter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void PutFloat(std::vector<uint8_t>& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(bits >> (8 * i)));
}

void PutInt(std::vector<uint8_t>& out, int32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(uint32_t(value) >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> FontBuilder::Build(const FontSpec& spec) {
  std::vector<uint8_t> out;
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return out;
  FT_Face face;
  if (FT_New_Face(library, spec.file, 0, &face) != 0) {
    FT_Done_FreeType(library);
    return out;
  }
  FT_Set_Pixel_Sizes(face, 0, spec.pixelSize);
  int ascender = int(face->size->metrics.ascender >> 6);
  int descender = int(-(face->size->metrics.descender >> 6));
  int pad = spec.outline;
  float lineHeight = float(ascender + descender + 2 * pad);

  FT_Load_Char(face, ' ', FT_LOAD_DEFAULT);
  float spaceWidth = float((face->glyph->advance.x + 32) >> 6);
  PutFloat(out, spaceWidth);
  PutFloat(out, lineHeight);

  for (int code = 0; code < 256; ++code) {
    bool printable = code >= 32 && code < 127;
    if (!printable || FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
      out.push_back(0);
      continue;
    }
    FT_GlyphSlot g = face->glyph;
    int w = int(g->bitmap.width), h = int(g->bitmap.rows);
    float advance = float((g->advance.x + 32) >> 6) + (pad > 0 ? 1.0f : 0.0f);
    out.push_back(1);
    PutFloat(out, advance);
    bool hasImage = w > 0 && h > 0 && code != ' ';
    int iw = hasImage ? w + 2 * pad : 0, ih = hasImage ? h + 2 * pad : 0;
    PutFloat(out, float(g->bitmap_left - pad));
    PutFloat(out, float(ascender - g->bitmap_top));
    PutFloat(out, 0);
    PutFloat(out, 0);
    PutFloat(out, float(iw));
    PutFloat(out, float(ih));
    out.push_back(hasImage ? 1 : 0);
    if (!hasImage) continue;
    // Coverage with room for the outline, then the outline as a disc-shaped dilation.
    std::vector<float> fill(size_t(iw) * ih, 0.0f), ring(size_t(iw) * ih, 0.0f);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        fill[size_t(y + pad) * iw + x + pad] = g->bitmap.buffer[y * g->bitmap.pitch + x] / 255.0f;
      }
    }
    ring = fill;
    if (pad > 0) {
      for (int y = 0; y < ih; ++y) {
        for (int x = 0; x < iw; ++x) {
          float best = 0;
          for (int dy = -pad; dy <= pad; ++dy) {
            for (int dx = -pad; dx <= pad; ++dx) {
              int sx = x + dx, sy = y + dy;
              if (sx < 0 || sy < 0 || sx >= iw || sy >= ih) continue;
              float d = std::sqrt(float(dx * dx + dy * dy));
              float weight = std::clamp(pad + 0.5f - d, 0.0f, 1.0f);
              best = std::max(best, fill[size_t(sy) * iw + sx] * weight);
            }
          }
          ring[size_t(y) * iw + x] = best;
        }
      }
    }
    PutInt(out, iw);
    PutInt(out, ih);
    for (size_t i = 0; i < fill.size(); ++i) {
      float alpha = fill[i] + ring[i] * (1 - fill[i]);
      float grey = alpha > 0 ? fill[i] / alpha : 0;
      uint8_t v = uint8_t(std::lround(grey * 255)), a = uint8_t(std::lround(alpha * 255));
      // Pixels as the engine keeps them in memory: blue, green, red, alpha.
      out.push_back(v);
      out.push_back(v);
      out.push_back(v);
      out.push_back(a);
    }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return out;
}

void FontBuilder::Generate(AssetWriter& out) const {
  // font1: general text; font2: dialogs and the profile name; font3: tables and labels;
  // font4: large floating scores and combo words.
  const FontSpec specs[] = {
      {"Fonts\\font1", QS_FONT_QUICKSAND, 22, 0},
      {"Fonts\\font2", QS_FONT_COMFORTAA, 22, 0},
      {"Fonts\\font3", QS_FONT_CABIN, 18, 0},
      {"Fonts\\font4", QS_FONT_COMFORTAA, 36, 3},
  };
  for (const FontSpec& spec : specs) {
    std::vector<uint8_t> bytes = Build(spec);
    if (bytes.empty()) {
      out.Fail(std::string("cannot build ") + spec.name + " from " + spec.file);
      continue;
    }
    out.Bytes(spec.name, ".font", bytes);
  }
}
