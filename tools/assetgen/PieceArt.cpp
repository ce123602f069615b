// Creatures are drawn on a 128-unit design grid and scaled, so the large size is as crisp as
// the small one. The body fills nearly the whole square: the screen fade grows a piece picture
// nine times over the 800 by 600 screen and must cover it.
#include "PieceArt.h"

#include "AssetWriter.h"
#include "Canvas.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Body colours, chosen far apart in hue and lightness; each colour also has its own marking.
const uint32_t kBody[PieceArt::kColors] = {0xe8455a, 0xffd23f, 0x52c860, 0x48d3e0,
                                           0xa164dc, 0x3f78ea, 0xff8a2a, 0xf4f1fa};
constexpr double kCx = 64, kCy = 67, kR = 54;

void FuzzyBodyPath(const Canvas& c, double cx, double cy, double r, int bumps, double depth) {
  cairo_t* cr = c.Cr();
  cairo_new_path(cr);
  for (int i = 0; i <= bumps * 4; ++i) {
    double a = 2 * M_PI * i / (bumps * 4);
    double rr = r + depth * (0.5 + 0.5 * std::cos(a * bumps));
    double x = cx + rr * std::cos(a), y = cy + rr * std::sin(a);
    if (i == 0) cairo_move_to(cr, x, y); else cairo_line_to(cr, x, y);
  }
  cairo_close_path(cr);
}

void Eyes(const Canvas& c, bool blink, const Rgba& ink) {
  cairo_t* cr = c.Cr();
  for (int side = -1; side <= 1; side += 2) {
    double ex = kCx + side * 19, ey = 60;
    if (blink) {
      cairo_new_path(cr);
      cairo_move_to(cr, ex - 12, ey + 2);
      cairo_curve_to(cr, ex - 6, ey + 10, ex + 6, ey + 10, ex + 12, ey + 2);
      c.Stroke(ink, 4.5);
      cairo_new_path(cr);
      continue;
    }
    c.Ellipse(ex, ey, 15, 18);
    c.SetColor({1, 1, 1, 1});
    cairo_fill_preserve(cr);
    c.Stroke(ink, 2.5);
    cairo_new_path(cr);
    c.Circle(ex + side * 2, ey + 4, 10);
    c.SetColor(Hex(0x1d1433));
    cairo_fill(cr);
    c.Circle(ex + side * 2 - 4, ey - 1, 4.2);
    c.SetColor({1, 1, 1, 1});
    cairo_fill(cr);
    c.Circle(ex + side * 2 + 3, ey + 9, 2);
    cairo_fill(cr);
  }
}

void Mouth(const Canvas& c, const Rgba& ink) {
  cairo_t* cr = c.Cr();
  for (int side = -1; side <= 1; side += 2) {
    c.Ellipse(kCx + side * 33, 84, 8, 5);
    c.SetColor(Hex(0xff6f91, 0.45));
    cairo_fill(cr);
  }
  cairo_new_path(cr);
  cairo_move_to(cr, kCx - 8, 88);
  cairo_curve_to(cr, kCx - 4, 95, kCx + 4, 95, kCx + 8, 88);
  c.Stroke(ink, 3);
  cairo_new_path(cr);
}

// Markings on the head: ears stand behind the body, horn, sprout and antennae in front.
void BackMarking(const Canvas& c, int color, const Rgba& body, const Rgba& ink) {
  cairo_t* cr = c.Cr();
  Rgba inner = Hex(0xffb3c6);
  switch (color) {
    case 0:  // red: pointed cat ears
      for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, kCx + side * 20, 24);
        cairo_line_to(cr, kCx + side * 44, 2);
        cairo_line_to(cr, kCx + side * 50, 38);
        cairo_close_path(cr);
        c.SetColor(body.Darker(0.1));
        cairo_fill_preserve(cr);
        c.Stroke(ink, 3);
        cairo_new_path(cr);
        cairo_move_to(cr, kCx + side * 28, 24);
        cairo_line_to(cr, kCx + side * 42, 11);
        cairo_line_to(cr, kCx + side * 44, 30);
        cairo_close_path(cr);
        c.SetColor(inner);
        cairo_fill(cr);
      }
      break;
    case 1:  // yellow: two antennae with bobbles, springing from the forehead
      for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, kCx + side * 12, 30);
        cairo_curve_to(cr, kCx + side * 12, 16, kCx + side * 22, 8, kCx + side * 33, 9);
        c.Stroke(ink, 4);
        cairo_new_path(cr);
        c.Circle(kCx + side * 35, 9, 8);
        c.SetColor(Hex(0xff5e7a));
        cairo_fill_preserve(cr);
        c.Stroke(ink, 2.5);
        cairo_new_path(cr);
        c.Circle(kCx + side * 35 - 2.5, 6.5, 2.5);
        c.SetColor(Rgba{1, 1, 1, 0.8});
        cairo_fill(cr);
      }
      break;
    case 2:  // green: a leaf sprout on the crown
      cairo_new_path(cr);
      cairo_move_to(cr, kCx, 26);
      cairo_curve_to(cr, kCx, 18, kCx + 2, 14, kCx + 3, 10);
      c.Stroke(ink, 4);
      for (int side = -1; side <= 1; side += 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, kCx + 3, 12);
        cairo_curve_to(cr, kCx + side * 12, -2, kCx + side * 34, 0, kCx + side * 38, 10);
        cairo_curve_to(cr, kCx + side * 30, 20, kCx + side * 10, 20, kCx + 3, 12);
        c.SetColor(Hex(0x9be15d));
        cairo_fill_preserve(cr);
        c.Stroke(ink, 2.8);
        cairo_new_path(cr);
        cairo_move_to(cr, kCx + 3 + side * 4, 12);
        cairo_line_to(cr, kCx + side * 30, 10);
        c.Stroke(ink.WithAlpha(0.5), 1.5);
      }
      cairo_new_path(cr);
      break;
    case 4:  // purple: a golden spiral horn on the forehead
      cairo_new_path(cr);
      cairo_move_to(cr, kCx - 13, 34);
      cairo_curve_to(cr, kCx - 8, 20, kCx - 3, 8, kCx, 0);
      cairo_curve_to(cr, kCx + 3, 8, kCx + 8, 20, kCx + 13, 34);
      cairo_close_path(cr);
      c.FillVertical(0, 34, Hex(0xfff3b0), Hex(0xf0b429));
      c.Stroke(ink, 3);
      cairo_new_path(cr);
      for (int i = 0; i < 4; ++i) {
        double y = 9 + i * 6.5;
        cairo_move_to(cr, kCx - 2.5 - i * 2.5, y);
        cairo_line_to(cr, kCx + 2.5 + i * 2.5, y + 3);
      }
      c.Stroke(ink.WithAlpha(0.7), 2);
      cairo_new_path(cr);
      break;
    case 5:  // blue: round mouse ears
      for (int side = -1; side <= 1; side += 2) {
        c.Circle(kCx + side * 40, 22, 17);
        c.SetColor(body.Darker(0.1));
        cairo_fill_preserve(cr);
        c.Stroke(ink, 3);
        cairo_new_path(cr);
        c.Circle(kCx + side * 40, 23, 10);
        c.SetColor(Hex(0x9ec5ff));
        cairo_fill(cr);
      }
      break;
    case 7:  // white: long bunny ears
      for (int side = -1; side <= 1; side += 2) {
        cairo_save(cr);
        cairo_translate(cr, kCx + side * 20, 20);
        cairo_rotate(cr, side * 0.28);
        c.Ellipse(0, -4, 10, 22);
        c.SetColor(body.Darker(0.04));
        cairo_fill_preserve(cr);
        c.Stroke(ink, 3);
        cairo_new_path(cr);
        c.Ellipse(0, -2, 5, 15);
        c.SetColor(inner);
        cairo_fill(cr);
        cairo_restore(cr);
      }
      break;
    default:
      break;
  }
}

// Markings painted on the body (spots, stripes).
void FrontMarking(const Canvas& c, int color, const Rgba& body) {
  cairo_t* cr = c.Cr();
  if (color == 3) {  // cyan: frosty spots
    const double spots[][3] = {{30, 36, 6}, {44, 24, 4}, {98, 36, 6}, {86, 24, 4}, {20, 62, 4}, {108, 62, 4}};
    for (const auto& s : spots) {
      c.Circle(s[0], s[1], s[2]);
      c.SetColor(Rgba{1, 1, 1, 0.8});
      cairo_fill(cr);
    }
  } else if (color == 6) {  // orange: tiger stripes
    for (int i = -1; i <= 1; ++i) {
      cairo_new_path(cr);
      double x = kCx + i * 13;
      cairo_move_to(cr, x - 4, 15);
      cairo_curve_to(cr, x - 1, 24, x + 1, 24, x + 4 * (i == 0 ? 0 : i), 34);
      c.Stroke(body.Darker(0.55), 5);
    }
    for (int side = -1; side <= 1; side += 2) {
      cairo_new_path(cr);
      cairo_move_to(cr, kCx + side * 55, 60);
      cairo_line_to(cr, kCx + side * 42, 66);
      cairo_move_to(cr, kCx + side * 55, 76);
      cairo_line_to(cr, kCx + side * 44, 78);
      c.Stroke(body.Darker(0.55), 4.5);
    }
    cairo_new_path(cr);
  }
}

}  // namespace

void PieceArt::DrawQuorl(const Canvas& c, int color, bool blink) {
  cairo_t* cr = c.Cr();
  Rgba body = Hex(kBody[color]);
  Rgba ink = body.Darker(0.72);
  if (color == 7) ink = Hex(0x4a3d6b);
  bool crown = color == 1 || color == 2 || color == 4;
  if (!crown) BackMarking(c, color, body, ink);
  // Fur: a bumpy outline, a radial gradient lit from the upper left, and a pale belly.
  FuzzyBodyPath(c, kCx, kCy, kR, 22, 3.5);
  cairo_pattern_t* p = cairo_pattern_create_radial(kCx - 18, kCy - 22, 6, kCx, kCy, kR + 4);
  Rgba hi = body.Lighter(0.45), lo = body.Darker(0.28);
  cairo_pattern_add_color_stop_rgb(p, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(p, 0.65, body.r, body.g, body.b);
  cairo_pattern_add_color_stop_rgb(p, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  c.Stroke(ink, 3.2);
  cairo_new_path(cr);
  c.Ellipse(kCx, 96, 30, 20);
  c.SetColor(body.Lighter(0.35).WithAlpha(0.55));
  cairo_fill(cr);
  FrontMarking(c, color, body);
  if (crown) BackMarking(c, color, body, ink);
  Eyes(c, blink, ink);
  Mouth(c, ink);
}

void PieceArt::DrawSkull(const Canvas& c, int frame) {
  cairo_t* cr = c.Cr();
  Rgba bone = Hex(0xeae3cf), ink = Hex(0x3b2f4a);
  // Jaw behind the cranium.
  c.RoundRectPath(34, 82, 60, 42, 14);
  c.FillVertical(82, 124, bone.Darker(0.05), bone.Darker(0.25));
  c.Stroke(ink, 3.2);
  cairo_new_path(cr);
  FuzzyBodyPath(c, 64, 60, 55, 9, 1.5);
  cairo_pattern_t* p = cairo_pattern_create_radial(46, 36, 5, 64, 60, 58);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 0.97);
  cairo_pattern_add_color_stop_rgb(p, 0.6, bone.r, bone.g, bone.b);
  cairo_pattern_add_color_stop_rgb(p, 1, bone.r * 0.75, bone.g * 0.72, bone.b * 0.7);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  c.Stroke(ink, 3.2);
  cairo_new_path(cr);
  // Teeth.
  for (int i = 0; i < 5; ++i) {
    c.RoundRectPath(40 + i * 10, 104, 8, 14, 3);
    c.SetColor(Rgba{1, 1, 0.96, 1});
    cairo_fill_preserve(cr);
    c.Stroke(ink, 2);
    cairo_new_path(cr);
  }
  // Sockets; the second frame lights a ghostly glow in them.
  for (int side = -1; side <= 1; side += 2) {
    c.Ellipse(64 + side * 21, 62, 15, 17);
    c.SetColor(Hex(0x2a1f3a));
    cairo_fill(cr);
    if (frame == 1) {
      c.Glow(64 + side * 21, 64, 13, Hex(0xb98cff, 0.95));
      c.Circle(64 + side * 21, 64, 4);
      c.SetColor(Hex(0xf0e6ff));
      cairo_fill(cr);
    } else {
      c.Circle(64 + side * 21 - 4, 58, 3);
      c.SetColor(Rgba{1, 1, 1, 0.35});
      cairo_fill(cr);
    }
  }
  cairo_new_path(cr);
  cairo_move_to(cr, 64, 78);
  cairo_line_to(cr, 58, 90);
  cairo_line_to(cr, 70, 90);
  cairo_close_path(cr);
  c.SetColor(Hex(0x2a1f3a));
  cairo_fill(cr);
}

void PieceArt::DrawPiece(const Canvas& c, int color, int frame, double scale) {
  cairo_save(c.Cr());
  cairo_scale(c.Cr(), scale, scale);
  if (color >= kColors) DrawSkull(c, frame); else DrawQuorl(c, color, frame == 1);
  cairo_restore(c.Cr());
}

void PieceArt::DrawCrack(const Canvas& c, int level, double scale) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_scale(cr, scale, scale);
  // Each level adds a crack; the lines stay inside the skull's cranium.
  const double first[][2] = {{88, 12}, {80, 26}, {88, 36}, {76, 48}, {82, 58}};
  const double second[][2] = {{18, 46}, {32, 50}, {28, 62}, {42, 70}, {38, 84}};
  const double branch[][2] = {{80, 26}, {96, 30}, {104, 42}};
  auto line = [&](const double (*pts)[2], int n, double width) {
    cairo_new_path(cr);
    cairo_move_to(cr, pts[0][0], pts[0][1]);
    for (int i = 1; i < n; ++i) cairo_line_to(cr, pts[i][0], pts[i][1]);
    c.Stroke(Rgba{1, 1, 1, 0.55}, width + 3);
    c.Stroke(Hex(0x2a1f3a), width);
    cairo_new_path(cr);
  };
  line(first, 5, 3.5);
  line(branch, 3, 2.5);
  if (level >= 1) {
    line(second, 5, 3.5);
    const double more[][2] = {{76, 48}, {64, 40}, {56, 30}};
    line(more, 3, 2.5);
  }
  cairo_restore(cr);
}

void PieceArt::Generate(AssetWriter& out) const {
  char name[64];
  for (int color = 0; color <= kColors; ++color) {
    for (int frame = 0; frame < 2; ++frame) {
      for (int large = 0; large < 2; ++large) {
        int size = large ? kLargeSize : kSize;
        Canvas canvas(size, size);
        DrawPiece(canvas, color, frame, size / 128.0);
        std::snprintf(name, sizeof name, large ? "Graphics\\quorls\\large\\ql%d%d" : "Graphics\\quorls\\ql%d%d",
                      color, frame);
        out.Picture(name, canvas);
      }
    }
  }
  for (int level = 0; level < 2; ++level) {
    for (int large = 0; large < 2; ++large) {
      int size = large ? kLargeSize : kSize;
      Canvas canvas(size, size);
      DrawCrack(canvas, level, size / 128.0);
      std::snprintf(name, sizeof name, large ? "Graphics\\quorls\\large\\crack%d" : "Graphics\\quorls\\crack%d", level);
      out.Picture(name, canvas);
    }
  }
  static const char* const kIdols[11] = {"pell", "marlo", "tuvo", "fennick", "dullbone", "brizzle",
                                         "krell", "tesselin", "varno", "robot", "quorl"};
  for (int idol = 0; idol < 11; ++idol) {
    Canvas canvas(150, 200);
    DrawIdol(canvas, idol);
    out.Picture(std::string("Graphics\\idols\\") + kIdols[idol], canvas);
  }
}

void PieceArt::DrawIdol(const Canvas& c, int idol) {
  cairo_t* cr = c.Cr();
  // Colours follow the idols' won-text colours, made a little richer.
  const uint32_t kTint[11] = {0x3d6bff, 0xff9a1a, 0x37e0e6, 0xb8b8c4, 0xf4f1e6, 0xe653e6,
                              0xee3b3b, 0x43d65a, 0xff8c8c, 0xffe066, 0x3a3350};
  Rgba tint = Hex(kTint[idol]);
  Rgba ink = Hex(0x1b1140);
  Rgba gold = Hex(0xf5c542);
  // Pedestal shared by all idols.
  c.RoundRectPath(22, 160, 106, 34, 6);
  c.FillVertical(160, 194, gold.Lighter(0.3), gold.Darker(0.35));
  c.Stroke(ink, 3);
  cairo_new_path(cr);
  c.RoundRectPath(34, 148, 82, 16, 4);
  c.FillVertical(148, 164, gold.Lighter(0.45), gold.Darker(0.2));
  c.Stroke(ink, 3);
  cairo_new_path(cr);
  c.Glow(75, 90, 70, tint.Lighter(0.5).WithAlpha(0.35));
  auto shiny = [&](double y0, double y1) {
    c.FillVertical(y0, y1, tint.Lighter(0.45), tint.Darker(0.3));
    c.Stroke(idol == 10 ? Hex(0xb9a6ff) : ink, 3);
    cairo_new_path(cr);
  };
  const int kShape[11] = {0, 1, 5, 3, 3, 1, 2, 0, 4, 4, 5};
  switch (kShape[idol]) {
    case 0: {  // a quorl statue
      Canvas tmp(128, 128);
      DrawQuorl(tmp, idol == 0 ? 5 : idol == 6 ? 0 : idol == 7 ? 2 : 4, false);
      c.Draw(tmp, 17, 30, 0.9);
      c.Circle(75, 88, 58);
      c.SetColor(tint.WithAlpha(0.45));
      cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
      cairo_fill(cr);
      cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
      break;
    }
    case 1:  // an obelisk
      cairo_new_path(cr);
      cairo_move_to(cr, 52, 148);
      cairo_line_to(cr, 62, 36);
      cairo_line_to(cr, 75, 14);
      cairo_line_to(cr, 88, 36);
      cairo_line_to(cr, 98, 148);
      cairo_close_path(cr);
      shiny(14, 148);
      for (int i = 0; i < 4; ++i) {
        c.Circle(75, 60 + i * 22, 5);
        c.SetColor(gold);
        cairo_fill(cr);
      }
      break;
    case 2:  // an emblem disc on a stand
      c.RoundRectPath(66, 110, 18, 40, 4);
      shiny(110, 150);
      c.Circle(75, 72, 50);
      shiny(22, 122);
      c.Circle(75, 72, 34);
      c.Stroke(gold, 5);
      cairo_new_path(cr);
      cairo_move_to(cr, 75, 46);
      for (int i = 1; i <= 10; ++i) {
        double a = -M_PI / 2 + i * M_PI / 5, r = i % 2 ? 12 : 26;
        cairo_line_to(cr, 75 + r * std::cos(a), 72 + r * std::sin(a));
      }
      c.SetColor(gold);
      cairo_fill(cr);
      break;
    case 3:  // a carved head on a column, or the skull relic
      if (idol == 4) {
        Canvas tmp(128, 128);
        DrawSkull(tmp, 1);
        c.Draw(tmp, 17, 24, 0.9);
      } else {
        c.RoundRectPath(52, 70, 46, 80, 8);
        shiny(70, 150);
        c.Ellipse(75, 58, 36, 40);
        shiny(18, 98);
        for (int side = -1; side <= 1; side += 2) {
          c.Ellipse(75 + side * 14, 54, 7, 9);
          c.SetColor(ink);
          cairo_fill(cr);
        }
        cairo_new_path(cr);
        cairo_move_to(cr, 64, 78);
        cairo_line_to(cr, 86, 78);
        c.Stroke(ink, 3);
        cairo_new_path(cr);
      }
      break;
    case 4:  // the figurine (a dancing quorl) or the robot trophy
      if (idol == 9) {
        c.RoundRectPath(44, 60, 62, 70, 10);
        shiny(60, 130);
        c.RoundRectPath(50, 18, 50, 40, 10);
        shiny(18, 58);
        for (int side = -1; side <= 1; side += 2) {
          c.Circle(75 + side * 11, 38, 7);
          c.SetColor(Hex(0x67e8ff));
          cairo_fill_preserve(cr);
          c.Stroke(ink, 2);
          cairo_new_path(cr);
          c.RoundRectPath(75 + side * 40 - 7, 66, 14, 46, 7);
          shiny(66, 112);
        }
        cairo_move_to(cr, 75, 18);
        cairo_line_to(cr, 75, 6);
        c.Stroke(ink, 3);
        cairo_new_path(cr);
        c.Circle(75, 6, 5);
        c.SetColor(Hex(0xff5e7a));
        cairo_fill(cr);
        c.RoundRectPath(56, 132, 12, 18, 3);
        shiny(132, 150);
        c.RoundRectPath(82, 132, 12, 18, 3);
        shiny(132, 150);
      } else {
        Canvas tmp(128, 128);
        DrawQuorl(tmp, 0, true);
        c.Draw(tmp, 20, 36, 0.86);
        c.Circle(75, 92, 56);
        c.SetColor(tint.WithAlpha(0.5));
        cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
      }
      break;
    case 5:  // the pillar, or Tuvo's effigy
      if (idol == 10) {
        c.RoundRectPath(48, 26, 54, 124, 6);
        shiny(26, 150);
        for (int i = 0; i < 3; ++i) {
          cairo_move_to(cr, 60 + i * 15, 34);
          cairo_line_to(cr, 60 + i * 15, 142);
        }
        c.Stroke(Hex(0xb9a6ff, 0.6), 2);
        cairo_new_path(cr);
        c.RoundRectPath(40, 14, 70, 16, 4);
        shiny(14, 30);
        c.Circle(75, 70, 12);
        c.SetColor(Hex(0xb98cff));
        cairo_fill(cr);
      } else {
        cairo_new_path(cr);
        cairo_move_to(cr, 50, 148);
        cairo_curve_to(cr, 30, 90, 40, 20, 75, 18);
        cairo_curve_to(cr, 110, 20, 120, 90, 100, 148);
        cairo_close_path(cr);
        shiny(18, 148);
        Canvas tmp(128, 128);
        DrawQuorl(tmp, 3, false);
        c.Draw(tmp, 39, 40, 0.56);
      }
      break;
  }
  // A sparkle on every idol so they read as treasures.
  cairo_new_path(cr);
  double sx = 108, sy = 30;
  cairo_move_to(cr, sx, sy - 12);
  cairo_curve_to(cr, sx + 2, sy - 2, sx + 2, sy - 2, sx + 12, sy);
  cairo_curve_to(cr, sx + 2, sy + 2, sx + 2, sy + 2, sx, sy + 12);
  cairo_curve_to(cr, sx - 2, sy + 2, sx - 2, sy + 2, sx - 12, sy);
  cairo_curve_to(cr, sx - 2, sy - 2, sx - 2, sy - 2, sx, sy - 12);
  c.SetColor(Rgba{1, 1, 1, 0.95});
  cairo_fill(cr);
}
