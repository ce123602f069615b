// Drawing helpers over cairo. Fonts are opened from fixed files through FreeType with hinting
// off, so the same sources give the same pixels on every machine with the same packages.
#include "Canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

Rgba Hex(uint32_t rgb, double a) {
  return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, a};
}

const char* FontPath(Face face) {
  switch (face) {
    case Face::Rounded: return QS_FONT_COMFORTAA;
    case Face::Soft: return QS_FONT_QUICKSAND;
    case Face::Label: return QS_FONT_CABIN;
    case Face::LabelBold: return QS_FONT_CABIN_BOLD;
    case Face::Script: return QS_FONT_LOBSTER;
    case Face::Plain: return QS_FONT_DEJAVU;
  }
  return QS_FONT_DEJAVU;
}

cairo_font_face_t* FontFace(Face face) {
  static std::mutex lock;
  static FT_Library library = nullptr;
  static cairo_font_face_t* faces[6] = {};
  std::lock_guard<std::mutex> guard(lock);
  int index = static_cast<int>(face);
  if (faces[index]) return faces[index];
  if (!library && FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "assetgen: FreeType did not start\n");
    return nullptr;
  }
  FT_Face ftFace = nullptr;
  if (FT_New_Face(library, FontPath(face), 0, &ftFace) != 0) {
    std::fprintf(stderr, "assetgen: cannot open font %s\n", FontPath(face));
    return nullptr;
  }
  faces[index] = cairo_ft_font_face_create_for_ft_face(ftFace, FT_LOAD_NO_HINTING);
  return faces[index];
}

Canvas::Canvas(int width, int height)
    : mSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      mCr(cairo_create(mSurface)), mWidth(width), mHeight(height) {}

Canvas::Canvas(cairo_surface_t* adopted)
    : mSurface(adopted), mCr(cairo_create(adopted)),
      mWidth(cairo_image_surface_get_width(adopted)), mHeight(cairo_image_surface_get_height(adopted)) {}

Canvas::~Canvas() {
  cairo_destroy(mCr);
  cairo_surface_destroy(mSurface);
}

void Canvas::SetColor(const Rgba& c) const { cairo_set_source_rgba(mCr, c.r, c.g, c.b, c.a); }

void Canvas::RoundRectPath(double x, double y, double w, double h, double r) const {
  r = std::min(r, std::min(w, h) / 2);
  cairo_new_sub_path(mCr);
  cairo_arc(mCr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(mCr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(mCr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(mCr, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(mCr);
}

void Canvas::FillRoundRect(double x, double y, double w, double h, double r, const Rgba& c) const {
  RoundRectPath(x, y, w, h, r);
  SetColor(c);
  cairo_fill(mCr);
}

void Canvas::FillVertical(double y0, double y1, const Rgba& top, const Rgba& bottom) const {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  cairo_set_source(mCr, p);
  cairo_fill_preserve(mCr);
  cairo_pattern_destroy(p);
}

void Canvas::Stroke(const Rgba& c, double width) const {
  SetColor(c);
  cairo_set_line_width(mCr, width);
  cairo_set_line_join(mCr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(mCr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke_preserve(mCr);
}

void Canvas::Circle(double cx, double cy, double r) const {
  cairo_new_sub_path(mCr);
  cairo_arc(mCr, cx, cy, r, 0, 2 * M_PI);
  cairo_close_path(mCr);
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry) const {
  cairo_save(mCr);
  cairo_translate(mCr, cx, cy);
  cairo_scale(mCr, rx, ry);
  cairo_new_sub_path(mCr);
  cairo_arc(mCr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(mCr);
  cairo_restore(mCr);
}

void Canvas::Glow(double cx, double cy, double r, const Rgba& c) const {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, c.a);
  cairo_pattern_add_color_stop_rgba(p, 0.4, c.r, c.g, c.b, c.a * 0.45);
  cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
  cairo_set_source(mCr, p);
  cairo_new_path(mCr);
  Circle(cx, cy, r);
  cairo_fill(mCr);
  cairo_pattern_destroy(p);
}

void Canvas::Panel(double x, double y, double w, double h, double r, const Rgba& top, const Rgba& bottom,
                   const Rgba& outline) const {
  cairo_new_path(mCr);
  // Shadow first, offset down-right, so panels lift off busy backgrounds.
  RoundRectPath(x + 4, y + 6, w, h, r);
  SetColor({0, 0, 0, 0.35});
  cairo_fill(mCr);
  RoundRectPath(x, y, w, h, r);
  FillVertical(y, y + h, top, bottom);
  Stroke(outline, 4);
  cairo_new_path(mCr);
  RoundRectPath(x + 5, y + 5, w - 10, h - 10, std::max(2.0, r - 5));
  Stroke(Rgba{1, 1, 1, 0.35}, 2);
  cairo_new_path(mCr);
}

void Canvas::Button(double x, double y, double w, double h, const Rgba& base, int state, double radius) const {
  double r = radius < 0 ? h / 2 : radius;
  Rgba body = state == 1 ? base.Lighter(0.25) : state == 2 ? base.Darker(0.25) : base;
  double press = state == 2 ? 2 : 0;
  cairo_new_path(mCr);
  if (state != 2) {
    RoundRectPath(x + 1, y + 4, w - 2, h - 4, r);
    SetColor(body.Darker(0.55));
    cairo_fill(mCr);
  }
  // Pressed: the body sinks onto its shadow, so it still fills the button's rectangle.
  RoundRectPath(x + 1, y + 1 + press, w - 2, h - 4 - (state == 2 ? 0 : 1), r);
  FillVertical(y, y + h - 4, body.Lighter(0.3), body.Darker(0.15));
  Stroke(Hex(0x1b1140), 2.5);
  cairo_new_path(mCr);
  // Highlight band across the upper half.
  RoundRectPath(x + 8, y + 4 + press, w - 16, (h - 5) * 0.42, r * 0.7);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y + 4, 0, y + 4 + (h - 5) * 0.42);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, state == 2 ? 0.25 : 0.55);
  cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.05);
  cairo_set_source(mCr, p);
  cairo_fill(mCr);
  cairo_pattern_destroy(p);
  if (state == 1) {
    RoundRectPath(x - 1, y - 1, w + 2, h + 2, r + 1);
    Stroke(Rgba{1, 1, 0.7, 0.9}, 2.5);
    cairo_new_path(mCr);
  }
}

void Canvas::SelectFace(const TextStyle& style) const {
  cairo_set_font_face(mCr, FontFace(style.face));
  cairo_set_font_size(mCr, style.size);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(mCr, options);
  cairo_font_options_destroy(options);
}

double Canvas::TextWidth(const std::string& text, const TextStyle& style) const {
  cairo_save(mCr);
  SelectFace(style);
  cairo_text_extents_t ext;
  cairo_text_extents(mCr, text.c_str(), &ext);
  cairo_restore(mCr);
  return ext.x_advance;
}

void Canvas::Text(const std::string& text, double x, double y, Align align, const TextStyle& style) const {
  cairo_save(mCr);
  SelectFace(style);
  cairo_text_extents_t ext;
  cairo_text_extents(mCr, text.c_str(), &ext);
  double left = align == Align::Left ? x : align == Align::Center ? x - ext.x_advance / 2 : x - ext.x_advance;
  auto path = [&](double dx, double dy) {
    cairo_new_path(mCr);
    cairo_move_to(mCr, left + dx, y + dy);
    cairo_text_path(mCr, text.c_str());
  };
  cairo_set_line_join(mCr, CAIRO_LINE_JOIN_ROUND);
  if (style.shadow.a > 0) {
    path(style.shadowOffset, style.shadowOffset);
    SetColor(style.shadow);
    if (style.outlineWidth > 0) {
      cairo_set_line_width(mCr, style.outlineWidth * 2);
      cairo_stroke_preserve(mCr);
    }
    cairo_fill(mCr);
  }
  if (style.outline.a > 0 && style.outlineWidth > 0) {
    path(0, 0);
    SetColor(style.outline);
    cairo_set_line_width(mCr, style.outlineWidth * 2);
    cairo_stroke(mCr);
  }
  path(0, 0);
  if (style.fillBottom.a > 0) {
    FillVertical(y - ext.height * 0.9, y + ext.height * 0.1, style.fill, style.fillBottom);
  } else {
    SetColor(style.fill);
    cairo_fill_preserve(mCr);
  }
  cairo_new_path(mCr);
  cairo_restore(mCr);
}

void Canvas::TextCentered(const std::string& text, double cx, double cy, const TextStyle& style) const {
  cairo_save(mCr);
  SelectFace(style);
  cairo_text_extents_t ext;
  cairo_text_extents(mCr, "HXO", &ext);  // cap height, so mixed texts line up
  cairo_restore(mCr);
  Text(text, cx, cy - ext.y_bearing / 2, Align::Center, style);
}

void Canvas::Draw(const Canvas& other, double x, double y, double scale, double alpha) const {
  cairo_save(mCr);
  cairo_translate(mCr, x, y);
  cairo_scale(mCr, scale, scale);
  cairo_set_source_surface(mCr, other.mSurface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(mCr), CAIRO_FILTER_GOOD);
  cairo_paint_with_alpha(mCr, alpha);
  cairo_restore(mCr);
}

void Canvas::Clear() const {
  cairo_save(mCr);
  cairo_set_operator(mCr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(mCr);
  cairo_restore(mCr);
}

bool Canvas::SavePng(const std::string& path) const {
  cairo_surface_flush(mSurface);
  return cairo_surface_write_to_png(mSurface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void Canvas::NightSky(uint32_t seed, double starDensity) const {
  cairo_t* cr = mCr;
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, 0, mWidth, mHeight);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, mHeight);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.10, 0.06, 0.27);
  cairo_pattern_add_color_stop_rgb(p, 0.55, 0.17, 0.10, 0.38);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.28, 0.14, 0.42);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  ArtRandom random(seed);
  const uint32_t nebula[] = {0x6b4bd6, 0xd65bb0, 0x3fa7d6, 0x8a5bd6};
  int clouds = 3 + (mWidth * mHeight) / 160000;
  for (int i = 0; i < clouds; ++i) {
    Glow(random.Range(0, mWidth), random.Range(0, mHeight), random.Range(120, 260),
         Hex(nebula[i % 4], random.Range(0.12, 0.22)));
  }
  int stars = int(starDensity * mWidth * mHeight / 2500);
  for (int i = 0; i < stars; ++i) {
    double x = random.Range(0, mWidth), y = random.Range(0, mHeight), r = random.Range(0.4, 1.5);
    Circle(x, y, r);
    SetColor(Rgba{1, 1, random.Range(0.8, 1.0), random.Range(0.35, 0.95)});
    cairo_fill(cr);
  }
  for (int i = 0; i < stars / 25; ++i) {
    Sparkle(random.Range(0, mWidth), random.Range(0, mHeight), random.Range(4, 9), Rgba{1, 1, 0.9, 0.85});
  }
}

void Canvas::Sparkle(double x, double y, double r, const Rgba& c) const {
  cairo_t* cr = mCr;
  Glow(x, y, r * 1.2, c.WithAlpha(c.a * 0.35));
  cairo_new_path(cr);
  double k = r * 0.18;
  cairo_move_to(cr, x, y - r);
  cairo_curve_to(cr, x + k, y - k, x + k, y - k, x + r, y);
  cairo_curve_to(cr, x + k, y + k, x + k, y + k, x, y + r);
  cairo_curve_to(cr, x - k, y + k, x - k, y + k, x - r, y);
  cairo_curve_to(cr, x - k, y - k, x - k, y - k, x, y - r);
  SetColor(c);
  cairo_fill(cr);
}

void Canvas::Desaturate(double amount, double darken) const {
  cairo_surface_flush(mSurface);
  unsigned char* data = cairo_image_surface_get_data(mSurface);
  int stride = cairo_image_surface_get_stride(mSurface);
  for (int y = 0; y < mHeight; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < mWidth; ++x) {
      uint32_t p = row[x];
      double a = p >> 24, r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      double grey = 0.3 * r + 0.59 * g + 0.11 * b;
      auto mix = [&](double v) {
        double out = (v + (grey - v) * amount) * (1 - darken);
        return uint32_t(std::clamp(out, 0.0, a) + 0.5);
      };
      row[x] = uint32_t(a) << 24 | mix(r) << 16 | mix(g) << 8 | mix(b);
    }
  }
  cairo_surface_mark_dirty(mSurface);
}

TextStyle TitleStyle(double size, Face face) {
  TextStyle s;
  s.face = face;
  s.size = size;
  s.fill = Hex(0xfff6c8);
  s.fillBottom = Hex(0xffc24a);
  s.outline = Hex(0x1b1140);
  s.outlineWidth = std::max(2.0, size / 9);
  s.shadow = {0, 0, 0, 0.5};
  s.shadowOffset = std::max(2.0, size / 14);
  return s;
}
