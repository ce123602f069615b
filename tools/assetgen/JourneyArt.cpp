// Stars and arrows are white so the game can tint them (star colours, lit and locked links);
// planets carry their own colours and are painted in white, which leaves them unchanged.
#include "JourneyArt.h"

#include "AssetWriter.h"
#include "Canvas.h"

#include <cmath>
#include <string>

namespace {

const Rgba kInk = Hex(0x1b1140);

void Planet(AssetWriter& out, const char* name, int size, uint32_t light, uint32_t dark, int bands, bool ring) {
  Canvas c(size, size);
  cairo_t* cr = c.Cr();
  double r = size * (ring ? 0.36 : 0.46), cx = size / 2.0, cy = size / 2.0;
  c.Glow(cx, cy, size / 2.0, Hex(light, 0.3));
  if (ring) {  // back half of the ring
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -0.3);
    cairo_scale(cr, 1.0, 0.28);
    cairo_arc(cr, 0, 0, r * 1.35, M_PI, 2 * M_PI);
    cairo_restore(cr);
    c.Stroke(Hex(0xe8d3a0, 0.8), size * 0.04);
    cairo_new_path(cr);
  }
  c.Circle(cx, cy, r);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.4, r * 0.1, cx, cy, r);
  Rgba l = Hex(light), d = Hex(dark);
  cairo_pattern_add_color_stop_rgb(p, 0, l.Lighter(0.3).r, l.Lighter(0.3).g, l.Lighter(0.3).b);
  cairo_pattern_add_color_stop_rgb(p, 0.7, l.r, l.g, l.b);
  cairo_pattern_add_color_stop_rgb(p, 1, d.r, d.g, d.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  cairo_save(cr);
  cairo_clip(cr);
  ArtRandom random(uint32_t(size * 7 + bands));
  for (int i = 0; i < bands; ++i) {  // bands or continents
    double y = cy - r + (i + 0.5) * 2 * r / bands + random.Range(-4, 4);
    if (std::string(name).find("earth") != std::string::npos) {
      c.Ellipse(cx + random.Range(-r, r) * 0.6, y, r * random.Range(0.25, 0.45), r * 0.16);
      c.SetColor(Hex(0x52c860, 0.9));
    } else {
      cairo_rectangle(cr, 0, y - r * 0.06, size, r * random.Range(0.06, 0.14));
      c.SetColor(Hex(dark, 0.35));
    }
    cairo_fill(cr);
  }
  if (std::string(name).find("moon") != std::string::npos || std::string(name).find("mars") != std::string::npos) {
    for (int i = 0; i < 5; ++i) {
      c.Circle(cx + random.Range(-r, r) * 0.6, cy + random.Range(-r, r) * 0.6, r * random.Range(0.08, 0.18));
      c.SetColor(Hex(dark, 0.4));
      cairo_fill(cr);
    }
  }
  // Night side shadow.
  c.Circle(cx + r * 0.35, cy + r * 0.35, r * 1.05);
  c.SetColor(Rgba{0.05, 0.02, 0.15, 0.35});
  cairo_fill(cr);
  cairo_restore(cr);
  c.Circle(cx, cy, r);
  c.Stroke(Hex(dark).Darker(0.4), std::max(1.5, size * 0.012));
  cairo_new_path(cr);
  if (ring) {  // front half of the ring
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -0.3);
    cairo_scale(cr, 1.0, 0.28);
    cairo_arc(cr, 0, 0, r * 1.35, 0, M_PI);
    cairo_restore(cr);
    c.Stroke(Hex(0xf4e4b8, 0.95), size * 0.04);
    cairo_new_path(cr);
  }
  out.Picture(std::string("Graphics\\") + name, c);
}

void Sky(AssetWriter& out) {
  Canvas c(800, 1200);
  c.NightSky(808, 0.5);
  // A faint milky band across the sky.
  ArtRandom random(909);
  for (int i = 0; i < 40; ++i) {
    double t = random.Unit();
    c.Glow(t * 800, 250 + t * 700 + random.Range(-60, 60), random.Range(40, 90), Hex(0xb9a6ff, 0.07));
  }
  out.Picture("Graphics\\journeyscreen", c);
}

void Stars(AssetWriter& out) {
  {
    Canvas c(24, 24);
    c.Sparkle(12, 12, 11, Rgba{1, 1, 1, 1});
    out.Picture("Graphics\\star1", c);
  }
  {
    Canvas c(24, 24);
    cairo_t* cr = c.Cr();
    cairo_new_path(cr);
    for (int i = 0; i <= 10; ++i) {
      double a = -M_PI / 2 + i * M_PI / 5, r = i % 2 ? 4.5 : 11;
      double x = 12 + r * std::cos(a), y = 12.5 + r * std::sin(a);
      if (i == 0) cairo_move_to(cr, x, y); else cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    c.SetColor(Rgba{1, 1, 1, 1});
    cairo_fill(cr);
    out.Picture("Graphics\\star2", c);
  }
  {
    Canvas c(16, 16);
    c.Glow(8, 8, 8, Rgba{1, 1, 1, 1});
    c.Circle(8, 8, 2.5);
    c.SetColor(Rgba{1, 1, 1, 1});
    cairo_fill(c.Cr());
    out.Picture("Graphics\\star3", c);
  }
}

// Map nodes are 129-pixel buttons; the level thumbnail is drawn into the frame at (20, 20).
void Nodes(AssetWriter& out) {
  {
    Canvas c(129, 129);
    cairo_t* cr = c.Cr();
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    c.RoundRectPath(3, 3, 123, 123, 18);
    c.RoundRectPath(18, 18, 93, 93, 6);
    c.FillVertical(0, 129, Hex(0xb9a6ff), Hex(0x4a2fa8));
    cairo_new_path(cr);
    c.RoundRectPath(3, 3, 123, 123, 18);
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    c.RoundRectPath(17, 17, 95, 95, 6);
    c.Stroke(kInk, 2.5);
    cairo_new_path(cr);
    for (double x : {10.0, 119.0}) {
      for (double y : {10.0, 119.0}) {
        c.Circle(x, y, 4);
        c.SetColor(Hex(0xf5c542));
        cairo_fill(cr);
      }
    }
    out.Picture("Graphics\\puzzlebox", c);
  }
  {  // stamp over a won level's node
    Canvas c(129, 129);
    cairo_t* cr = c.Cr();
    c.RoundRectPath(18, 18, 93, 93, 6);
    c.SetColor(Rgba{0.05, 0.02, 0.15, 0.45});
    cairo_fill(cr);
    c.Circle(64.5, 60, 30);
    c.SetColor(Hex(0x3fae4f, 0.95));
    cairo_fill_preserve(cr);
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    cairo_move_to(cr, 50, 60);
    cairo_line_to(cr, 61, 71);
    cairo_line_to(cr, 80, 48);
    c.Stroke(Hex(0xffffff), 7);
    cairo_new_path(cr);
    TextStyle t = TitleStyle(17);
    c.TextCentered("CLEARED", 64.5, 104, t);
    out.Picture("Graphics\\levelclearedsmall", c);
  }
}

void Arrows(AssetWriter& out) {
  // Arrow along +x of the given length, white with a dark outline, 28 high.
  auto arrow = [](const Canvas& c, double length) {
    cairo_t* cr = c.Cr();
    cairo_new_path(cr);
    cairo_move_to(cr, 3, 9);
    cairo_line_to(cr, length - 16, 9);
    cairo_line_to(cr, length - 16, 3);
    cairo_line_to(cr, length - 2, 14);
    cairo_line_to(cr, length - 16, 25);
    cairo_line_to(cr, length - 16, 19);
    cairo_line_to(cr, 3, 19);
    cairo_close_path(cr);
    c.SetColor(Rgba{1, 1, 1, 1});
    cairo_fill_preserve(cr);
    c.Stroke(kInk, 2.5);
    cairo_new_path(cr);
  };
  struct Way {
    const char* name;
    double angle;
  };
  const Way ways[] = {{"right", 0}, {"down", M_PI / 2}, {"left", M_PI}, {"up", -M_PI / 2}};
  for (int longArrow = 0; longArrow < 2; ++longArrow) {
    double length = longArrow ? 171 : 34;
    for (const Way& w : ways) {
      bool vertical = std::fabs(std::sin(w.angle)) > 0.5;
      Canvas c(vertical ? 28 : int(length), vertical ? int(length) : 28);
      cairo_t* cr = c.Cr();
      cairo_translate(cr, c.Width() / 2.0, c.Height() / 2.0);
      cairo_rotate(cr, w.angle);
      cairo_translate(cr, -length / 2, -14);
      arrow(c, length);
      out.Picture(std::string("Graphics\\journey\\") + (longArrow ? "longarrow" : "arrow") + w.name, c);
    }
  }
}

void Borders(AssetWriter& out) {
  {
    Canvas c(800, 100);
    cairo_t* cr = c.Cr();
    cairo_rectangle(cr, 0, 0, 800, 100);
    c.FillVertical(0, 100, Hex(0x140c33, 1.0), Hex(0x140c33, 0.0));
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 800, 0);
    cairo_line_to(cr, 800, 58);
    cairo_curve_to(cr, 600, 70, 200, 70, 0, 58);
    cairo_close_path(cr);
    c.FillVertical(0, 70, Hex(0x5a47b8), Hex(0x2a1f5c));
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    c.Text("Journey", 24, 46, Align::Left, TitleStyle(40, Face::Script));
    out.Picture("Graphics\\journeytopborder", c);
  }
  {
    Canvas c(800, 70);
    cairo_t* cr = c.Cr();
    cairo_rectangle(cr, 0, 0, 800, 70);
    c.FillVertical(0, 70, Hex(0x140c33, 0.0), Hex(0x140c33, 1.0));
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 70);
    cairo_line_to(cr, 800, 70);
    cairo_line_to(cr, 800, 30);
    cairo_curve_to(cr, 600, 20, 200, 20, 0, 30);
    cairo_close_path(cr);
    c.FillVertical(20, 70, Hex(0x5a47b8), Hex(0x2a1f5c));
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    TextStyle t = TitleStyle(18);
    c.TextCentered("pick a glowing puzzle to travel on", 400, 50, t);
    out.Picture("Graphics\\journeybottomborder", c);
  }
  {  // marker swinging at the top on the first visit
    Canvas c(240, 90);
    cairo_t* cr = c.Cr();
    c.RoundRectPath(4, 4, 232, 54, 27);
    c.FillVertical(4, 58, Hex(0xfff06a), Hex(0xff8a2a));
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    cairo_move_to(cr, 104, 56);
    cairo_line_to(cr, 120, 86);
    cairo_line_to(cr, 136, 56);
    c.SetColor(Hex(0xff8a2a));
    cairo_fill_preserve(cr);
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    TextStyle t = TitleStyle(26);
    t.fill = Hex(0xffffff);
    t.fillBottom = Hex(0xfff0d0);
    c.TextCentered("START HERE!", 120, 31, t);
    out.Picture("Graphics\\startjourneyhelper", c);
  }
  {
    Canvas c(400, 64);
    c.TextCentered("Pick your next puzzle!", 200, 32, TitleStyle(38, Face::Script));
    out.Picture("Graphics\\pickjourney", c);
  }
}

}  // namespace

void JourneyArt::Generate(AssetWriter& out) const {
  Sky(out);
  Stars(out);
  Planet(out, "earth", 140, 0x3f9bea, 0x1a3f8a, 5, false);
  Planet(out, "moon", 64, 0xe8e4f0, 0x8a84a0, 0, false);
  Planet(out, "mars", 96, 0xf07a4a, 0x8a2a1a, 4, false);
  Planet(out, "jupiter", 360, 0xf0c08a, 0x9a5a3a, 9, true);
  Nodes(out);
  Arrows(out);
  Borders(out);
}
