// Positions here follow the game screen's fixed layout: the board's 500-pixel square at
// (50, 50), the meter frame at (615, 90) with its fill at (692, 165), the hint button at
// (625, 420) and the menu button at (604, 10).
#include "GameScreenArt.h"

#include "AssetWriter.h"
#include "Canvas.h"

#include <cmath>
#include <string>

namespace {

const Rgba kInk = Hex(0x1b1140);
const Rgba kGold = Hex(0xf5c542);
const Rgba kPanelTop = Hex(0x4a3a8c);
const Rgba kPanelBottom = Hex(0x2a1f5c);

TextStyle Title(double size, Face face = Face::Rounded) {
  TextStyle s;
  s.face = face;
  s.size = size;
  s.fill = Hex(0xfff6c8);
  s.fillBottom = Hex(0xffc24a);
  s.outline = kInk;
  s.outlineWidth = size / 9;
  s.shadow = {0, 0, 0, 0.5};
  s.shadowOffset = size / 12;
  return s;
}

void Background(AssetWriter& out) {
  Canvas c(800, 600);
  c.NightSky(7, 0.8);
  cairo_t* cr = c.Cr();
  // A soft well behind the board, and the side panel behind meter and hint.
  c.RoundRectPath(34, 34, 532, 532, 26);
  c.SetColor(Rgba{0.03, 0.02, 0.12, 0.55});
  cairo_fill(cr);
  c.Panel(598, 78, 194, 512, 24, kPanelTop.WithAlpha(0.85), kPanelBottom.WithAlpha(0.9));
  out.Picture("Graphics\\background", c);
}

// Meter frame: a glass thermometer on a plate. Tube inside (77..93, 75..275), bulb below.
void Meter(AssetWriter& out, bool alarm) {
  Canvas c(170, 320);
  cairo_t* cr = c.Cr();
  c.Panel(6, 4, 158, 308, 22, alarm ? Hex(0x8c2a3a) : Hex(0x3c4f9c), alarm ? Hex(0x4a1022) : Hex(0x231a5a));
  TextStyle label = Title(24);
  if (alarm) {
    label.fill = Hex(0xffffff);
    label.fillBottom = Hex(0xff7a7a);
  }
  c.TextCentered(alarm ? "DANGER!" : "DANGER", 85, 32, label);
  if (alarm) c.Glow(85, 175, 95, Hex(0xff3030, 0.45));
  // Tube and bulb glass.
  c.RoundRectPath(71, 66, 28, 226, 14);
  c.SetColor(Rgba{0.05, 0.03, 0.15, 0.85});
  cairo_fill_preserve(cr);
  c.Stroke(Hex(0xd8e8ff), 3);
  cairo_new_path(cr);
  c.Circle(85, 292, 21);
  c.SetColor(Hex(0xd8e8ff));
  cairo_fill(cr);
  c.Circle(85, 292, 17);
  cairo_pattern_t* p = cairo_pattern_create_radial(79, 286, 2, 85, 292, 17);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.7, 0.6);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.85, 0.1, 0.15);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  c.RoundRectPath(77, 262, 16, 30, 4);
  c.SetColor(Hex(0xd91a2a));
  cairo_fill(cr);
  // Ticks: green at the safe end, red at the top.
  for (int i = 0; i <= 10; ++i) {
    double y = 275 - i * 20;
    Rgba tick = i < 5 ? Hex(0x7dff9a) : i < 8 ? Hex(0xffe066) : Hex(0xff6b6b);
    cairo_move_to(cr, 103, y);
    cairo_line_to(cr, i % 5 == 0 ? 120 : 112, y);
    c.Stroke(tick, 2.5);
    cairo_new_path(cr);
    cairo_move_to(cr, 67, y);
    cairo_line_to(cr, i % 5 == 0 ? 50 : 58, y);
    c.Stroke(tick, 2.5);
    cairo_new_path(cr);
  }
  // A little skull at the top: a full meter drops dullbones.
  cairo_save(cr);
  cairo_translate(cr, 124, 54);
  cairo_scale(cr, 0.2, 0.2);
  c.Circle(64, 56, 50);
  c.SetColor(Hex(0xeae3cf));
  cairo_fill(cr);
  c.RoundRectPath(38, 80, 52, 36, 10);
  cairo_fill(cr);
  c.Ellipse(44, 60, 13, 15);
  c.Ellipse(84, 60, 13, 15);
  c.SetColor(kInk);
  cairo_fill(cr);
  cairo_restore(cr);
  // Glass highlight over everything.
  c.RoundRectPath(75, 72, 5, 190, 2.5);
  c.SetColor(Rgba{1, 1, 1, 0.35});
  cairo_fill(cr);
  out.Picture(alarm ? "Graphics\\dangermeter2" : "Graphics\\dangermeter", c);
}

void Mercury(AssetWriter& out) {
  Canvas c(16, 200);
  cairo_t* cr = c.Cr();
  cairo_rectangle(cr, 0, 0, 16, 200);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 16, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.55, 0.5);
  cairo_pattern_add_color_stop_rgb(p, 0.35, 0.95, 0.15, 0.2);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.6, 0.02, 0.1);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Bands so a rising level reads as movement.
  for (int y = 8; y < 200; y += 20) {
    cairo_rectangle(cr, 0, y, 16, 2);
    c.SetColor(Rgba{1, 1, 1, 0.18});
    cairo_fill(cr);
  }
  out.Picture("Graphics\\mercury", c);
}

void CrystalBall(AssetWriter& out, int state) {
  Canvas c(150, 150);
  cairo_t* cr = c.Cr();
  if (state == 1) c.Glow(75, 62, 75, Hex(0xc8a0ff, 0.8));
  // Stand.
  cairo_new_path(cr);
  cairo_move_to(cr, 28, 146);
  cairo_line_to(cr, 40, 108);
  cairo_line_to(cr, 110, 108);
  cairo_line_to(cr, 122, 146);
  cairo_close_path(cr);
  c.FillVertical(108, 146, kGold.Lighter(0.3), kGold.Darker(0.4));
  c.Stroke(kInk, 3);
  cairo_new_path(cr);
  // Ball.
  c.Circle(75, 62, 52);
  cairo_pattern_t* p = cairo_pattern_create_radial(58, 42, 4, 75, 62, 52);
  if (state == 1) {
    cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.95, 1);
    cairo_pattern_add_color_stop_rgb(p, 0.5, 0.75, 0.55, 1);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.42, 0.2, 0.85);
  } else {
    cairo_pattern_add_color_stop_rgb(p, 0, 0.9, 0.9, 1);
    cairo_pattern_add_color_stop_rgb(p, 0.5, 0.5, 0.45, 0.9);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.22, 0.14, 0.55);
  }
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  c.Stroke(kInk, 3.5);
  cairo_new_path(cr);
  // Swirl inside and a window highlight.
  cairo_arc(cr, 75, 66, 26, 0.3, 3.6);
  c.Stroke(Rgba{1, 1, 1, state == 1 ? 0.6 : 0.3}, 4);
  cairo_new_path(cr);
  c.Ellipse(56, 38, 14, 9);
  c.SetColor(Rgba{1, 1, 1, 0.7});
  cairo_fill(cr);
  c.Sparkle(96, 80, state == 1 ? 10 : 6, Rgba{1, 1, 1, 0.9});
  TextStyle label = Title(20);
  c.TextCentered("HINT", 75, 128, label);
  out.Picture(state == 1 ? "Graphics\\crystalball2" : "Graphics\\crystalball1", c);
}

void MenuButton(AssetWriter& out, int state) {
  Canvas c(180, 56);
  c.Button(2, 2, 176, 52, Hex(0x7a5cf0), state == 0 ? 0 : state == 1 ? 1 : 2);
  TextStyle label = Title(24);
  c.TextCentered("MENU", 90, state == 2 ? 28 : 26, label);
  out.Picture("Graphics\\menu" + std::to_string(state + 1), c);
}

void ScoreBox(AssetWriter& out) {
  Canvas c(260, 50);
  c.Panel(4, 2, 250, 42, 21, Hex(0x2a1f5c, 0.92), Hex(0x150e36, 0.92), kGold.Darker(0.2));
  out.Picture("Graphics\\scorebox", c);
}

void BoardFrame(AssetWriter& out) {
  Canvas c(540, 540);
  cairo_t* cr = c.Cr();
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  c.RoundRectPath(2, 2, 536, 536, 26);
  cairo_rectangle(cr, 20, 20, 500, 500);
  c.FillVertical(0, 540, Hex(0x9b82ff), Hex(0x4a2fa8));
  cairo_new_path(cr);
  c.RoundRectPath(2, 2, 536, 536, 26);
  c.Stroke(kInk, 4);
  cairo_new_path(cr);
  cairo_rectangle(cr, 19, 19, 502, 502);
  c.Stroke(kInk, 3);
  cairo_new_path(cr);
  c.RoundRectPath(8, 8, 524, 524, 20);
  c.Stroke(Rgba{1, 1, 1, 0.35}, 2);
  cairo_new_path(cr);
  for (double x : {10.0, 530.0}) {
    for (double y : {10.0, 530.0}) {
      c.Circle(x, y, 7);
      c.SetColor(kGold);
      cairo_fill_preserve(cr);
      c.Stroke(kInk, 2);
      cairo_new_path(cr);
    }
  }
  out.Picture("Graphics\\boardframe", c);
}

// Border rails around the board shape, 100 by 100 like a cell, scaled to the cell size.
// edgerim: the board lies below the tile; rotate for the other three sides.
// outerrim: the board touches only the tile's lower-right corner (an outer corner).
// innerrim: the board lies below and to the right (an inner corner).
void Rails(AssetWriter& out) {
  auto rail = [](const Canvas& c) {
    c.FillVertical(70, 100, Hex(0xffe38a), Hex(0xb07a10));
    c.Stroke(kInk, 3);
    cairo_new_path(c.Cr());
  };
  {
    Canvas c(100, 100);
    c.RoundRectPath(-6, 78, 112, 20, 6);
    rail(c);
    out.Picture("Graphics\\edgerim", c);
  }
  {
    Canvas c(100, 100);
    c.RoundRectPath(78, 78, 40, 40, 10);
    rail(c);
    c.Circle(88, 88, 5);
    c.SetColor(Rgba{1, 1, 1, 0.6});
    cairo_fill(c.Cr());
    out.Picture("Graphics\\outerrim", c);
  }
  {
    Canvas c(100, 100);
    cairo_t* cr = c.Cr();
    c.RoundRectPath(-6, 78, 112, 20, 6);
    c.RoundRectPath(78, -6, 20, 112, 6);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    rail(c);
    out.Picture("Graphics\\innerrim", c);
  }
}

void GoldBrick(AssetWriter& out) {
  Canvas c(100, 100);
  cairo_t* cr = c.Cr();
  c.RoundRectPath(3, 3, 94, 94, 14);
  c.FillVertical(0, 100, Hex(0xffe89a), Hex(0xd9981c));
  c.Stroke(Hex(0x8a5a00), 3);
  cairo_new_path(cr);
  c.RoundRectPath(12, 12, 76, 76, 9);
  c.Stroke(Rgba{1, 1, 1, 0.5}, 2.5);
  cairo_new_path(cr);
  cairo_move_to(cr, 16, 60);
  cairo_line_to(cr, 60, 16);
  cairo_line_to(cr, 74, 16);
  cairo_line_to(cr, 16, 74);
  cairo_close_path(cr);
  c.SetColor(Rgba{1, 1, 1, 0.35});
  cairo_fill(cr);
  c.Sparkle(72, 72, 9, Rgba{1, 1, 1, 0.85});
  out.Picture("Graphics\\goldbrick", c);
}

void Effects(AssetWriter& out) {
  {  // puff: a white cloud ball the vanishing piece bursts into
    Canvas c(96, 96);
    cairo_t* cr = c.Cr();
    const double blobs[][3] = {{48, 52, 26}, {30, 44, 18}, {66, 42, 19}, {40, 68, 17}, {62, 68, 18}, {48, 30, 16}};
    for (const auto& b : blobs) {
      cairo_pattern_t* p = cairo_pattern_create_radial(b[0] - b[2] * 0.3, b[1] - b[2] * 0.3, 1, b[0], b[1], b[2]);
      cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 1);
      cairo_pattern_add_color_stop_rgba(p, 0.8, 0.92, 0.92, 1, 0.9);
      cairo_pattern_add_color_stop_rgba(p, 1, 0.85, 0.85, 0.95, 0);
      cairo_set_source(cr, p);
      c.Circle(b[0], b[1], b[2]);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
    }
    out.Picture("Graphics\\qlpop", c);
  }
  {  // circle: the glow under a piece that lit tiles (tinted yellow by the game)
    Canvas c(128, 128);
    c.Glow(64, 64, 64, Rgba{1, 1, 1, 1});
    cairo_t* cr = c.Cr();
    c.Circle(64, 64, 40);
    c.Stroke(Rgba{1, 1, 1, 0.6}, 5);
    cairo_new_path(cr);
    out.Picture("Graphics\\circle", c);
  }
  {  // star: dust from a cracked dullbone
    Canvas c(48, 48);
    c.Sparkle(24, 24, 22, Rgba{1, 1, 1, 1});
    c.Circle(24, 24, 4);
    c.SetColor(Rgba{1, 1, 1, 1});
    cairo_fill(c.Cr());
    out.Picture("Graphics\\star", c);
  }
}

// The hint hand: a robot glove whose fingertip is at (18, 4), pointing up and left.
void Hand(AssetWriter& out) {
  Canvas c(96, 96);
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_translate(cr, 48, 48);
  cairo_rotate(cr, -0.55);
  cairo_translate(cr, -48, -48);
  // Cuff.
  c.RoundRectPath(30, 72, 36, 26, 6);
  c.FillVertical(72, 98, Hex(0xd8e0ee), Hex(0x7f8aa3));
  c.Stroke(kInk, 3);
  cairo_new_path(cr);
  // Palm and curled fingers.
  c.RoundRectPath(26, 40, 44, 38, 14);
  c.FillVertical(40, 78, Hex(0xffffff), Hex(0xc9d3ea));
  c.Stroke(kInk, 3);
  cairo_new_path(cr);
  // Pointing finger.
  c.RoundRectPath(40, -2, 15, 50, 7.5);
  c.FillVertical(0, 50, Hex(0xffffff), Hex(0xdde4f4));
  c.Stroke(kInk, 3);
  cairo_new_path(cr);
  for (int i = 0; i < 2; ++i) {
    cairo_move_to(cr, 56, 52 + i * 9);
    cairo_line_to(cr, 68, 52 + i * 9);
  }
  c.Stroke(kInk.WithAlpha(0.6), 2);
  cairo_new_path(cr);
  c.Circle(48, 84, 4);
  c.SetColor(Hex(0x4fd6ff));
  cairo_fill(cr);
  cairo_restore(cr);
  out.Picture("Graphics\\robot", c);
}

void Wheel(AssetWriter& out, bool second) {
  Canvas c(320, 320);
  cairo_t* cr = c.Cr();
  c.Circle(164, 166, 150);
  c.SetColor(Rgba{0, 0, 0, 0.35});
  cairo_fill(cr);
  const int segments = 12;
  for (int i = 0; i < segments; ++i) {
    cairo_new_path(cr);
    cairo_move_to(cr, 160, 160);
    cairo_arc(cr, 160, 160, 150, i * 2 * M_PI / segments, (i + 1) * 2 * M_PI / segments);
    cairo_close_path(cr);
    Rgba a = second ? Hex(0x52c860) : Hex(0xe8455a), b = second ? Hex(0xffd23f) : Hex(0x7a5cf0);
    c.SetColor(i % 2 ? a : b);
    cairo_fill(cr);
  }
  c.Circle(160, 160, 150);
  c.Stroke(kInk, 5);
  cairo_new_path(cr);
  c.Circle(160, 160, 142);
  c.Stroke(kGold, 5);
  cairo_new_path(cr);
  for (int i = 0; i < segments; ++i) {
    double a = i * 2 * M_PI / segments;
    c.Circle(160 + 142 * std::cos(a), 160 + 142 * std::sin(a), 5);
    c.SetColor(Rgba{1, 1, 0.85, 1});
    cairo_fill(cr);
  }
  c.Circle(160, 160, 96);
  c.SetColor(second ? Hex(0x1f5c2e, 0.92) : Hex(0x3a1030, 0.92));
  cairo_fill_preserve(cr);
  c.Stroke(kInk, 4);
  cairo_new_path(cr);
  TextStyle big = Title(34);
  TextStyle small = Title(22);
  if (second) {
    c.TextCentered("A SECOND", 160, 136, small);
    c.TextCentered("CHANCE!", 160, 174, big);
  } else {
    c.TextCentered("NO MOVES", 160, 144, big);
    c.TextCentered("LEFT!", 160, 184, big);
  }
  out.Picture(second ? "Graphics\\ASECONDCHANCE" : "Graphics\\nomovesleft", c);
}

void ClearedBanner(AssetWriter& out) {
  Canvas c(460, 140);
  cairo_t* cr = c.Cr();
  // Ribbon tails.
  for (int side = -1; side <= 1; side += 2) {
    double x = 230 + side * 200;
    cairo_new_path(cr);
    cairo_move_to(cr, x - side * 40, 56);
    cairo_line_to(cr, x + side * 28, 56);
    cairo_line_to(cr, x + side * 12, 82);
    cairo_line_to(cr, x + side * 28, 108);
    cairo_line_to(cr, x - side * 40, 108);
    cairo_close_path(cr);
    c.FillVertical(56, 108, Hex(0xd6336c), Hex(0x8c1c48));
    c.Stroke(kInk, 3);
  }
  cairo_new_path(cr);
  c.RoundRectPath(40, 28, 380, 76, 20);
  c.FillVertical(28, 104, Hex(0xff7aa8), Hex(0xd6336c));
  c.Stroke(kInk, 4);
  cairo_new_path(cr);
  c.RoundRectPath(48, 34, 364, 22, 11);
  c.SetColor(Rgba{1, 1, 1, 0.3});
  cairo_fill(cr);
  TextStyle t = Title(48, Face::Script);
  c.TextCentered("Level Cleared!", 230, 64, t);
  c.Sparkle(40, 24, 14, Rgba{1, 1, 0.8, 1});
  c.Sparkle(424, 112, 12, Rgba{1, 1, 0.8, 1});
  c.Sparkle(404, 20, 8, Rgba{1, 1, 1, 1});
  out.Picture("Graphics\\levelcleared", c);
}

void StatBox(AssetWriter& out) {
  Canvas c(380, 210);
  c.Panel(4, 4, 370, 198, 24, Hex(0x5a47b8, 0.95), Hex(0x2a1f5c, 0.95));
  out.Picture("Graphics\\statbox", c);
}

void Pause(AssetWriter& out) {
  Canvas c(440, 200);
  c.Panel(6, 6, 426, 186, 30, kPanelTop, kPanelBottom);
  c.TextCentered("Paused", 220, 78, Title(64, Face::Script));
  TextStyle small = Title(20);
  small.fill = Hex(0xffffff);
  small.fillBottom = Hex(0xd8d0ff);
  c.TextCentered("click or press any key to play on", 220, 150, small);
  out.Picture("Graphics\\PAUSEGAME", c);
}

// Treasure medals of the journey map and the bonus slots, 129 square like a map node.
void Medal(const Canvas& c, int kind, bool used) {
  cairo_t* cr = c.Cr();
  const uint32_t colors[] = {0x52c860, 0x3f78ea, 0xff8a2a, 0xe8455a, 0xa164dc};
  const char* labels[] = {"x2", "x3", "50K", "100K", ""};
  Rgba base = Hex(colors[kind]);
  for (int i = 0; i < 16; ++i) {  // scalloped rim
    double a = i * M_PI / 8;
    c.Circle(64.5 + 50 * std::cos(a), 64.5 + 50 * std::sin(a), 12);
    c.SetColor(kGold);
    cairo_fill(cr);
  }
  c.Circle(64.5, 64.5, 54);
  c.FillVertical(10, 119, kGold.Lighter(0.35), kGold.Darker(0.3));
  c.Stroke(kInk, 3);
  cairo_new_path(cr);
  c.Circle(64.5, 64.5, 42);
  c.FillVertical(22, 107, base.Lighter(0.35), base.Darker(0.3));
  c.Stroke(kInk, 3);
  cairo_new_path(cr);
  if (kind == 4) {  // second chance: a heart
    cairo_move_to(cr, 64.5, 92);
    cairo_curve_to(cr, 30, 70, 34, 38, 54, 42);
    cairo_curve_to(cr, 60, 43, 63, 48, 64.5, 52);
    cairo_curve_to(cr, 66, 48, 69, 43, 75, 42);
    cairo_curve_to(cr, 95, 38, 99, 70, 64.5, 92);
    cairo_close_path(cr);
    c.FillVertical(40, 92, Hex(0xffb3c6), Hex(0xe8455a));
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    TextStyle s = Title(15);
    c.TextCentered("+1 LIFE", 64.5, 104, s);
  } else {
    TextStyle s = Title(kind < 2 ? 46 : 32);
    c.TextCentered(labels[kind], 64.5, 64.5, s);
  }
  c.Ellipse(48, 36, 16, 8);
  c.SetColor(Rgba{1, 1, 1, 0.35});
  cairo_fill(cr);
  if (used) {
    c.Desaturate(0.85, 0.35);
    cairo_new_path(cr);
    cairo_move_to(cr, 40, 66);
    cairo_line_to(cr, 58, 84);
    cairo_line_to(cr, 92, 44);
    c.Stroke(kInk, 14);
    c.Stroke(Hex(0x7dff9a), 8);
    cairo_new_path(cr);
  }
}

void Treasures(AssetWriter& out) {
  const char* names[] = {"2x", "3x", "50k", "100k", "secondchance"};
  for (int kind = 0; kind < 5; ++kind) {
    for (int used = 0; used < 2; ++used) {
      Canvas c(129, 129);
      Medal(c, kind, used);
      out.Picture(std::string(used ? "Graphics\\usedbonus_" : "Graphics\\") + names[kind], c);
    }
  }
  {  // an empty bonus slot
    Canvas c(129, 129);
    cairo_t* cr = c.Cr();
    c.Circle(64.5, 64.5, 52);
    c.SetColor(Rgba{0.05, 0.03, 0.15, 0.6});
    cairo_fill_preserve(cr);
    cairo_set_dash(cr, (const double[]){8, 6}, 2, 0);
    c.Stroke(Hex(0xb9a6ff, 0.8), 4);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_new_path(cr);
    out.Picture("Graphics\\usedbonus", c);
  }
  {  // highlight ring around an available treasure
    Canvas c(129, 129);
    cairo_t* cr = c.Cr();
    c.Glow(64.5, 64.5, 64, Hex(0xfff3a0, 0.9));
    c.Circle(64.5, 64.5, 58);
    c.Stroke(Hex(0xffffff, 0.95), 5);
    cairo_new_path(cr);
    out.Picture("Graphics\\bonushilite", c);
  }
  {  // rays behind the idol on the map
    Canvas c(256, 256);
    cairo_t* cr = c.Cr();
    for (int i = 0; i < 16; ++i) {
      double a = i * M_PI / 8;
      cairo_new_path(cr);
      cairo_move_to(cr, 128, 128);
      cairo_arc(cr, 128, 128, 126, a - 0.09, a + 0.09);
      cairo_close_path(cr);
      cairo_pattern_t* p = cairo_pattern_create_radial(128, 128, 10, 128, 128, 126);
      cairo_pattern_add_color_stop_rgba(p, 0, 1, 0.95, 0.6, 0.9);
      cairo_pattern_add_color_stop_rgba(p, 1, 1, 0.85, 0.3, 0);
      cairo_set_source(cr, p);
      cairo_fill(cr);
      cairo_pattern_destroy(p);
    }
    c.Glow(128, 128, 100, Hex(0xfff3a0, 0.9));
    out.Picture("Graphics\\idolglow", c);
  }
}

// Five 32 by 32 cursors side by side, in the order of the engine's cursor kinds: 0 arrow
// (hot spot 2,2), 1 wait (16,16), 2 pointing hand (12,3), 3 text beam (16,16), 4 grab (15,10).
void Cursors(AssetWriter& out) {
  Canvas c(160, 32);
  cairo_t* cr = c.Cr();
  auto outlineFill = [&](const Rgba& fill) {
    c.SetColor(fill);
    cairo_fill_preserve(cr);
    c.Stroke(kInk, 2);
    cairo_new_path(cr);
  };
  // 0 arrow
  cairo_move_to(cr, 2, 2);
  cairo_line_to(cr, 2, 26);
  cairo_line_to(cr, 8, 20);
  cairo_line_to(cr, 13, 30);
  cairo_line_to(cr, 17, 28);
  cairo_line_to(cr, 12, 19);
  cairo_line_to(cr, 20, 19);
  cairo_close_path(cr);
  outlineFill(Hex(0xffffff));
  // 1 wait: a little clock
  c.Circle(32 + 16, 16, 13);
  outlineFill(Hex(0xb9a6ff));
  cairo_move_to(cr, 48, 16);
  cairo_line_to(cr, 48, 7);
  cairo_move_to(cr, 48, 16);
  cairo_line_to(cr, 55, 19);
  c.Stroke(kInk, 2.5);
  cairo_new_path(cr);
  // 2 pointing hand, fingertip at (12, 3)
  c.RoundRectPath(64 + 9, 2, 7, 18, 3.5);
  outlineFill(Hex(0xffffff));
  c.RoundRectPath(64 + 7, 14, 18, 16, 6);
  outlineFill(Hex(0xffffff));
  // 3 text beam
  cairo_move_to(cr, 96 + 10, 4);
  cairo_line_to(cr, 96 + 22, 4);
  cairo_move_to(cr, 96 + 16, 4);
  cairo_line_to(cr, 96 + 16, 28);
  cairo_move_to(cr, 96 + 10, 28);
  cairo_line_to(cr, 96 + 22, 28);
  c.Stroke(kInk, 5);
  c.Stroke(Hex(0xffffff), 2.5);
  cairo_new_path(cr);
  // 4 grab: a closed hand
  c.RoundRectPath(128 + 6, 8, 20, 20, 8);
  outlineFill(Hex(0xffffff));
  for (int i = 0; i < 3; ++i) {
    c.RoundRectPath(128 + 8 + i * 6, 4, 6, 10, 3);
    outlineFill(Hex(0xffffff));
  }
  out.Picture("Textures\\customcursors", c);
}

}  // namespace

void GameScreenArt::Generate(AssetWriter& out) const {
  Background(out);
  Meter(out, false);
  Meter(out, true);
  Mercury(out);
  CrystalBall(out, 0);
  CrystalBall(out, 1);
  for (int state = 0; state < 3; ++state) MenuButton(out, state);
  ScoreBox(out);
  BoardFrame(out);
  Rails(out);
  GoldBrick(out);
  Effects(out);
  Hand(out);
  Wheel(out, false);
  Wheel(out, true);
  ClearedBanner(out);
  StatBox(out);
  Pause(out);
  Treasures(out);
  Cursors(out);
}
