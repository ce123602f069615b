// A cairo picture with the drawing helpers every piece of art shares: rounded panels, gradients,
// glossy buttons, outlined text from fixed font files. Output is PNG with alpha.
#pragma once

#include <cairo.h>
#include <cstdint>
#include <string>

struct Rgba {
  double r = 0, g = 0, b = 0, a = 1;
  Rgba Lighter(double t) const { return {r + (1 - r) * t, g + (1 - g) * t, b + (1 - b) * t, a}; }
  Rgba Darker(double t) const { return {r * (1 - t), g * (1 - t), b * (1 - t), a}; }
  Rgba WithAlpha(double na) const { return {r, g, b, na}; }
};
Rgba Hex(uint32_t rgb, double a = 1.0);

// The typefaces of the game; each maps to one font file chosen at configure time.
enum class Face { Rounded, Soft, Label, LabelBold, Script, Plain };

enum class Align { Left, Center, Right };

struct TextStyle {
  Face face = Face::Rounded;
  double size = 24;
  Rgba fill = {1, 1, 1, 1};
  Rgba outline = {0, 0, 0, 0};  // alpha 0: no outline
  double outlineWidth = 0;
  Rgba shadow = {0, 0, 0, 0};   // alpha 0: no shadow
  double shadowOffset = 2;
  Rgba fillBottom = {0, 0, 0, 0};  // alpha above 0: vertical gradient from fill to this
};

// Gold lettering with a dark outline and a soft shadow: the titles of menus and the journey.
TextStyle TitleStyle(double size, Face face = Face::Rounded);

// Small deterministic generator so that scattered details look the same on every build.
class ArtRandom {
 public:
  explicit ArtRandom(uint32_t seed) : mState(seed * 2654435761u + 12345u) {}
  uint32_t Next() { mState = mState * 1664525u + 1013904223u; return mState >> 8; }
  double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }
  double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
 private:
  uint32_t mState;
};

class Canvas {
 public:
  Canvas(int width, int height);
  explicit Canvas(cairo_surface_t* adopted);  // takes ownership
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* Cr() const { return mCr; }
  cairo_surface_t* Surface() const { return mSurface; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

  void SetColor(const Rgba& c) const;
  void RoundRectPath(double x, double y, double w, double h, double r) const;
  void FillRoundRect(double x, double y, double w, double h, double r, const Rgba& c) const;
  // Vertical gradient fill of the current path, preserving it.
  void FillVertical(double y0, double y1, const Rgba& top, const Rgba& bottom) const;
  void Stroke(const Rgba& c, double width) const;  // strokes the current path, preserving it
  // A soft friendly panel: drop shadow, gradient body, light rim and dark outline.
  void Panel(double x, double y, double w, double h, double r, const Rgba& top, const Rgba& bottom,
             const Rgba& outline = Hex(0x1b1140)) const;
  // A glossy pill button face with a highlight band; state 0 normal, 1 hover, 2 pressed.
  void Button(double x, double y, double w, double h, const Rgba& base, int state, double radius = -1) const;
  void Circle(double cx, double cy, double r) const;
  void Ellipse(double cx, double cy, double rx, double ry) const;
  // Soft radial glow centred at (cx, cy).
  void Glow(double cx, double cy, double r, const Rgba& c) const;

  // Text: (x, y) is the baseline point of the given alignment.
  void Text(const std::string& text, double x, double y, Align align, const TextStyle& style) const;
  // Text centred on a point, both horizontally and by its cap height.
  void TextCentered(const std::string& text, double cx, double cy, const TextStyle& style) const;
  double TextWidth(const std::string& text, const TextStyle& style) const;

  // The game's night sky: a deep violet gradient, soft nebula glows and scattered stars.
  void NightSky(uint32_t seed, double starDensity = 1.0) const;
  // A four-pointed twinkle of radius r.
  void Sparkle(double x, double y, double r, const Rgba& c) const;
  // Applies a colour transform to every pixel: grey-out for used and disabled pictures.
  void Desaturate(double amount, double darken) const;

  void Draw(const Canvas& other, double x, double y, double scale = 1.0, double alpha = 1.0) const;
  void Clear() const;
  bool SavePng(const std::string& path) const;

 private:
  void SelectFace(const TextStyle& style) const;

  cairo_surface_t* mSurface;
  cairo_t* mCr;
  int mWidth;
  int mHeight;
};

// Font face for a typeface, created once from its font file.
cairo_font_face_t* FontFace(Face face);
const char* FontPath(Face face);
