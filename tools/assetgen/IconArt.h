// The game's desktop icon: a blue quorl with a small red one peeking over its shoulder, on the
// board's purple tile. Drawn as vectors, written as PNG in the usual hicolor sizes and as SVG.
#pragma once

#include <string>

class Canvas;

class IconArt {
 public:
  // Pixel sizes of the PNG icons a desktop looks for.
  static constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

  // Writes <dir>/hicolor/<n>x<n>/apps/<name>.png for each size and
  // <dir>/hicolor/scalable/apps/<name>.svg. Returns the number of files that failed.
  static int Generate(const std::string& dir, const std::string& name);

  // Draws the icon into a square of `size` at the origin. Small sizes leave out the second quorl,
  // which would only be a smudge there.
  static void Draw(const Canvas& canvas, double size);
};
