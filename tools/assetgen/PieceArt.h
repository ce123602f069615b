// The quorls: eight fuzzy creatures, each with its own colour and marking, open-eyed and
// blinking; the dullbone skull in two frames and its two crack overlays; and the idols.
#pragma once

class AssetWriter;
class Canvas;

class PieceArt {
 public:
  static constexpr int kColors = 8;
  static constexpr int kSize = 128;      // the normal piece picture
  static constexpr int kLargeSize = 256;  // the same drawing for two-by-two pieces

  void Generate(AssetWriter& out) const;

  // Draws colour 0..7 (or 8, the dullbone) into a square of side 128 × scale at the origin.
  static void DrawPiece(const Canvas& canvas, int color, int frame, double scale);
  static void DrawCrack(const Canvas& canvas, int level, double scale);
  static void DrawIdol(const Canvas& canvas, int idol);

 private:
  static void DrawQuorl(const Canvas& canvas, int color, bool blink);
  static void DrawSkull(const Canvas& canvas, int frame);
};
