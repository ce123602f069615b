// Dialog pictures that carry button strips are full 800 by 600 pictures with transparent
// margins: drawn at (0, 0) of their gadget (centred at (400, 300)), a button's rectangle in
// gadget coordinates is the same rectangle in the picture, so hover and pressed parts can be
// cut out of the "hilite" and "down" versions without any offset arithmetic.
#include "MenuArt.h"

#include "AssetWriter.h"
#include "Canvas.h"
#include "PieceArt.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

const Rgba kInk = Hex(0x1b1140);
const Rgba kPanelTop = Hex(0x5a47b8);
const Rgba kPanelBottom = Hex(0x2a1f5c);

struct Rect {
  double x, y, w, h;
};

TextStyle Body(double size) {
  TextStyle s;
  s.face = Face::Soft;
  s.size = size;
  s.fill = Hex(0xffffff);
  s.outline = kInk;
  s.outlineWidth = 2;
  return s;
}

// A labelled button in one of three states (0 normal, 1 hover, 2 pressed).
void LabelButton(const Canvas& c, const Rect& r, const std::string& label, const Rgba& color, int state,
                 double textSize = 0) {
  c.Button(r.x, r.y, r.w, r.h, color, state);
  TextStyle t = TitleStyle(textSize > 0 ? textSize : std::min(30.0, r.h * 0.5));
  if (state == 1) {
    t.fill = Hex(0xffffff);
    t.fillBottom = Hex(0xfff0a0);
  }
  c.TextCentered(label, r.x + r.w / 2, r.y + r.h / 2 - 2 + (state == 2 ? 2 : 0), t);
}

void PlaceQuorl(const Canvas& c, int color, double x, double y, double size, double angle = 0, int frame = 0) {
  Canvas piece(128, 128);
  PieceArt::DrawPiece(piece, color, frame, 1.0);
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angle);
  cairo_translate(cr, -size / 2, -size / 2);
  c.Draw(piece, 0, 0, size / 128.0);
  cairo_restore(cr);
}

void Logo(const Canvas& c, double cx, double cy, double size) {
  TextStyle t = TitleStyle(size, Face::Script);
  t.outlineWidth = size / 11;
  t.shadowOffset = size / 16;
  c.Glow(cx, cy, size * 2.4, Hex(0x9b82ff, 0.35));
  c.TextCentered("Quorl Slide", cx, cy, t);
  c.Sparkle(cx + size * 2.6, cy - size * 0.55, size * 0.22, Rgba{1, 1, 0.85, 1});
  c.Sparkle(cx - size * 2.5, cy + size * 0.45, size * 0.16, Rgba{1, 1, 1, 0.9});
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Title screen

void TitleScreen(AssetWriter& out) {
  {
    Canvas c(800, 600);
    c.NightSky(101);
    // A big moon with quorls sitting along a hill in front of it.
    c.Glow(620, 120, 160, Hex(0xfff3c0, 0.35));
    c.Circle(620, 120, 70);
    c.FillVertical(50, 190, Hex(0xfffbe8), Hex(0xf2dca0));
    cairo_new_path(c.Cr());
    for (const auto& crater : {std::array<double, 3>{596, 100, 12}, {640, 140, 9}, {652, 96, 7}}) {
      c.Circle(crater[0], crater[1], crater[2]);
      c.SetColor(Hex(0xe8cf8f, 0.6));
      cairo_fill(c.Cr());
    }
    cairo_t* cr = c.Cr();
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 520);
    cairo_curve_to(cr, 200, 470, 600, 500, 800, 460);
    cairo_line_to(cr, 800, 600);
    cairo_line_to(cr, 0, 600);
    cairo_close_path(cr);
    c.FillVertical(460, 600, Hex(0x3b2a7a), Hex(0x1a1040));
    cairo_new_path(cr);
    Logo(c, 400, 200, 96);
    TextStyle tag = Body(22);
    tag.fill = Hex(0xe8ddff);
    c.TextCentered("slide the rows, match the colours, light the way", 400, 290, tag);
    const double spots[][4] = {{64, 462, 90, -0.15}, {136, 530, 64, 0.1}, {660, 500, 74, 0.12}, {744, 450, 92, -0.1}};
    int colors[] = {0, 5, 2, 6};
    for (int i = 0; i < 4; ++i) PlaceQuorl(c, colors[i], spots[i][0], spots[i][1], spots[i][2], spots[i][3], i == 2);
    out.Picture("Graphics\\title", c);
  }
  for (int filled = 0; filled < 2; ++filled) {
    Canvas c(400, 24);
    c.RoundRectPath(1, 1, 398, 22, 11);
    if (filled) c.FillVertical(0, 24, Hex(0xffe38a), Hex(0xff8a2a));
    else c.FillVertical(0, 24, Hex(0x1a1040), Hex(0x2a1f5c));
    c.Stroke(kInk, 2);
    cairo_new_path(c.Cr());
    c.RoundRectPath(8, 4, 384, 7, 3.5);
    c.SetColor(Rgba{1, 1, 1, filled ? 0.45 : 0.12});
    cairo_fill(c.Cr());
    out.Picture(filled ? "Graphics\\loadingbarfilled" : "Graphics\\loadingbarempty", c);
  }
  for (int hover = 0; hover < 2; ++hover) {
    Canvas c(220, 90);
    c.Button(4, 4, 212, 82, hover ? Hex(0x52c860) : Hex(0x3fae4f), hover);
    TextStyle t = TitleStyle(44);
    if (hover) t.fill = Hex(0xffffff);
    c.TextCentered("PLAY", 110, 43, t);
    out.Picture(hover ? "Graphics\\play-maskhilite" : "Graphics\\play-mask", c);
  }
  {
    Canvas c(300, 170);
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    cairo_translate(cr, 150, 85);
    cairo_scale(cr, 1.0, 0.55);
    c.Glow(0, 0, 150, Hex(0xfff3a0, 0.9));
    cairo_restore(cr);
    out.Picture("Graphics\\play-glow", c);
  }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Main menu

const Rect kMainButtons[] = {{240, 266, 322, 62}, {240, 331, 322, 62}, {240, 396, 322, 62}, {240, 461, 322, 62}};
const char* const kMainLabels[] = {"NEW GAME", "CONTINUE", "HIGH SCORES", "OPTIONS"};
const uint32_t kMainColors[] = {0x3fae4f, 0x3f78ea, 0xe8a21a, 0xa164dc};

void MainMenu(AssetWriter& out) {
  {
    Canvas c(800, 600);
    c.NightSky(202);
    cairo_t* cr = c.Cr();
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 560);
    cairo_curve_to(cr, 250, 520, 550, 580, 800, 540);
    cairo_line_to(cr, 800, 600);
    cairo_line_to(cr, 0, 600);
    cairo_close_path(cr);
    c.FillVertical(520, 600, Hex(0x3b2a7a), Hex(0x1a1040));
    cairo_new_path(cr);
    // Quorls keep the player company at both sides of the menu.
    PlaceQuorl(c, 4, 110, 330, 110, -0.12);
    PlaceQuorl(c, 1, 150, 460, 90, 0.1, 1);
    PlaceQuorl(c, 3, 60, 520, 80, -0.05);
    PlaceQuorl(c, 7, 680, 300, 100, 0.12);
    PlaceQuorl(c, 0, 600, 480, 70, -0.1);
    c.Panel(220, 252, 362, 286, 26, kPanelTop.WithAlpha(0.85), kPanelBottom.WithAlpha(0.9));
    out.Picture("Graphics\\mainmenu", c);
  }
  const char* names[] = {"Graphics\\mainmenu_buttons", "Graphics\\mainmenu_buttonshilite", "Graphics\\mainmenu_buttonsdown"};
  for (int state = 0; state < 3; ++state) {
    Canvas c(800, 600);
    for (int i = 0; i < 4; ++i) LabelButton(c, kMainButtons[i], kMainLabels[i], Hex(kMainColors[i]), state, 30);
    out.Picture(names[state], c);
  }
  {
    Canvas c(500, 150);
    Logo(c, 250, 70, 76);
    out.Picture("Graphics\\menutitle", c);
  }
  const char* exitNames[] = {"Graphics\\exitbutton", "Graphics\\exitbuttonhilite", "Graphics\\exitbuttondown"};
  for (int state = 0; state < 3; ++state) {
    Canvas c(120, 120);
    cairo_t* cr = c.Cr();
    Rgba base = state == 1 ? Hex(0xff6b7e) : state == 2 ? Hex(0xb02a3c) : Hex(0xe8455a);
    c.Circle(62, 64, 57);
    c.SetColor(Rgba{0, 0, 0, 0.35});
    cairo_fill(cr);
    c.Circle(60, 60 + (state == 2 ? 2 : 0), 57);
    c.FillVertical(3, 117, base.Lighter(0.35), base.Darker(0.25));
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    c.Ellipse(60, 32, 38, 18);
    c.SetColor(Rgba{1, 1, 1, 0.35});
    cairo_fill(cr);
    if (state == 1) {
      c.Circle(60, 60, 58);
      c.Stroke(Hex(0xfff3a0), 2.5);
      cairo_new_path(cr);
    }
    c.TextCentered("EXIT", 60, 62 + (state == 2 ? 2 : 0), TitleStyle(28));
    out.Picture(exitNames[state], c);
  }
  {  // a gold frame the player's name sits in; drawn centred at (400, 10), so only its lower
     // part (rows 22 to 64: screen y 0 to 42) shows, around the name drawn from y 10
    Canvas c(360, 64);
    cairo_t* cr = c.Cr();
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    c.RoundRectPath(20, 22, 320, 40, 16);
    c.RoundRectPath(26, 26, 308, 32, 12);
    c.FillVertical(22, 62, Hex(0xffe38a), Hex(0xd9981c));
    cairo_new_path(cr);
    c.RoundRectPath(20, 22, 320, 40, 16);
    c.Stroke(kInk, 2.5);
    cairo_new_path(cr);
    c.Sparkle(12, 42, 9, Rgba{1, 1, 0.85, 0.95});
    c.Sparkle(348, 42, 9, Rgba{1, 1, 0.85, 0.95});
    out.Picture("Graphics\\currentuser", c);
  }
  {
    Canvas c(192, 24);
    c.FillRoundRect(1, 1, 190, 22, 11, Hex(0x2a1f5c, 0.75));
    c.RoundRectPath(1, 1, 190, 22, 11);
    c.Stroke(Hex(0xb9f0ff, 0.6), 1.5);
    cairo_new_path(c.Cr());
    TextStyle t = Body(16);
    t.fill = Hex(0xb9f0ff);
    c.TextCentered("change profile", 96, 12, t);
    out.Picture("Graphics\\changeuser", c);
  }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Dialogs

const Rect kPickerButtons[] = {{240, 242, 318, 58}, {240, 307, 318, 58}, {240, 372, 318, 58}};

void ThreeButtonDialog(AssetWriter& out, const std::string& base, const char* title, const char* const labels[3],
                       const uint32_t colors[3]) {
  const char* suffix[] = {"", "hilite", "down"};
  for (int state = 0; state < 3; ++state) {
    Canvas c(800, 600);
    c.Panel(212, 160, 374, 296, 28, kPanelTop, kPanelBottom);
    c.TextCentered(title, 399, 202, TitleStyle(30));
    for (int i = 0; i < 3; ++i) LabelButton(c, kPickerButtons[i], labels[i], Hex(colors[i]), state, 28);
    out.Picture(base + suffix[state], c);
  }
}

void Dialogs(AssetWriter& out) {
  const char* picker[] = {"JOURNEY", "GAUNTLET", "CANCEL"};
  const uint32_t pickerColors[] = {0x3fae4f, 0xe8a21a, 0x8a7fb0};
  ThreeButtonDialog(out, "Graphics\\gamemenu", "Choose your game", picker, pickerColors);
  const char* quick[] = {"RESUME", "OPTIONS", "QUIT TO MENU"};
  const uint32_t quickColors[] = {0x3fae4f, 0xa164dc, 0xe8455a};
  ThreeButtonDialog(out, "Graphics\\quickmenu", "Game Menu", quick, quickColors);
  {
    Canvas c(800, 600);
    c.Panel(200, 206, 400, 284, 28, kPanelTop, kPanelBottom);
    c.RoundRectPath(218, 226, 364, 190, 16);
    c.SetColor(Rgba{0.05, 0.03, 0.15, 0.45});
    cairo_fill(c.Cr());
    PlaceQuorl(c, 7, 592, 214, 64, 0.2);
    out.Picture("Graphics\\INFOBOX", c);
  }
  struct Small {
    const char* name;
    const char* label;
    uint32_t color;
  };
  const Small smalls[] = {{"OK", "OK", 0x3fae4f}, {"YES", "YES", 0x3fae4f}, {"NO", "NO", 0xe8455a}};
  for (const Small& s : smalls) {
    for (int state = 0; state < 3; ++state) {
      Canvas c(84, 44);
      LabelButton(c, {0, 0, 84, 44}, s.label, Hex(s.color), state, 22);
      out.Picture(std::string("Graphics\\") + s.name + std::to_string(state + 1), c);
    }
  }
}

// Options: slider groove at (320, 260, 292, 25); option rows at x 200 whose marks are 11 by 11
// squares 7 pixels inside each row; Done at (231, 468, 336, 75).
void Options(AssetWriter& out) {
  const char* names[] = {"Graphics\\optionsmenu", "Graphics\\donehilite", "Graphics\\donedown"};
  for (int state = 0; state < 3; ++state) {
    Canvas c(800, 600);
    cairo_t* cr = c.Cr();
    c.Panel(170, 146, 460, 412, 28, kPanelTop, kPanelBottom);
    c.TextCentered("Options", 400, 190, TitleStyle(34, Face::Script));
    TextStyle label = Body(20);
    c.Text("SOUND", 200, 280, Align::Left, label);
    c.RoundRectPath(320, 262, 292, 21, 10.5);
    c.FillVertical(262, 283, Hex(0x140c33), Hex(0x3a2a7a));
    c.Stroke(kInk, 2);
    cairo_new_path(cr);
    for (int i = 0; i <= 10; ++i) {
      cairo_move_to(cr, 332 + i * 26.8, 286);
      cairo_line_to(cr, 332 + i * 26.8, 290);
    }
    c.Stroke(Rgba{1, 1, 1, 0.5}, 1.5);
    cairo_new_path(cr);
    TextStyle head = Body(15);
    head.fill = Hex(0xffe38a);
    c.Text("DISPLAY", 200, 309, Align::Left, head);
    c.Text("DRAWING", 200, 384, Align::Left, head);
    const Rect rows[] = {{200, 315, 209, 26}, {200, 343, 209, 26}, {200, 390, 287, 26}, {200, 418, 287, 26}};
    const char* labels[] = {"Full screen", "In a window", "Fast (graphics card)", "Safe (software)"};
    for (int i = 0; i < 4; ++i) {
      c.RoundRectPath(rows[i].x, rows[i].y, rows[i].w, rows[i].h, 8);
      c.SetColor(Rgba{1, 1, 1, 0.08});
      cairo_fill(cr);
      c.RoundRectPath(rows[i].x + 4, rows[i].y + 4, 18, 18, 4);
      c.SetColor(Hex(0x140c33));
      cairo_fill_preserve(cr);
      c.Stroke(Hex(0xd8d0ff), 2);
      cairo_new_path(cr);
      c.Text(labels[i], rows[i].x + 32, rows[i].y + 19, Align::Left, Body(18));
    }
    LabelButton(c, {231, 468, 336, 75}, "DONE", Hex(0x3fae4f), state, 36);
    out.Picture(names[state], c);
  }
}

void NameEntry(AssetWriter& out) {
  {
    Canvas c(440, 320);
    cairo_t* cr = c.Cr();
    c.Panel(6, 6, 428, 306, 28, kPanelTop, kPanelBottom);
    c.TextCentered("Enter your name", 220, 70, TitleStyle(36, Face::Script));
    TextStyle hint = Body(17);
    hint.fill = Hex(0xe8ddff);
    c.TextCentered("type it, then press Enter", 220, 125, hint);
    PlaceQuorl(c, 1, 60, 200, 70, -0.2);
    PlaceQuorl(c, 5, 380, 200, 70, 0.2, 1);
    // The edit box sits at (250, 400) on the screen: (70, 260) here.
    c.RoundRectPath(66, 256, 308, 53, 12);
    c.SetColor(kInk);
    cairo_fill(cr);
    c.RoundRectPath(70, 260, 300, 45, 9);
    c.FillVertical(260, 305, Hex(0xe8e4f4), Hex(0xffffff));
    cairo_new_path(cr);
    out.Picture("Graphics\\enteryourname", c);
  }
  {
    Canvas c(260, 200);
    cairo_t* cr = c.Cr();
    cairo_new_path(cr);
    for (int i = 0; i <= 32; ++i) {
      double a = i * M_PI / 16, r = i % 2 ? 78 : 96;
      double x = 130 + r * 1.3 * std::cos(a), y = 100 + r * std::sin(a);
      if (i == 0) cairo_move_to(cr, x, y); else cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    c.FillVertical(0, 200, Hex(0xfff06a), Hex(0xff8a2a));
    c.Stroke(kInk, 3.5);
    cairo_new_path(cr);
    TextStyle t = TitleStyle(30);
    t.fill = Hex(0xffffff);
    t.fillBottom = Hex(0xffe0f0);
    c.TextCentered("YOU GOT A", 130, 80, t);
    c.TextCentered("HIGH SCORE!", 130, 118, t);
    out.Picture("Graphics\\yougotahighscore", c);
  }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Scores screens

void PageBackdrop(const Canvas& c, uint32_t seed, const char* title) {
  c.NightSky(seed, 0.7);
  if (title) c.TextCentered(title, 400, 95, TitleStyle(60, Face::Script));
}

void ScoresPages(AssetWriter& out) {
  {
    Canvas c(800, 600);
    PageBackdrop(c, 303, "High Scores");
    for (int side = 0; side < 2; ++side) {
      double x = side ? 405 : 55;
      c.Panel(x, 172, 340, 310, 22, kPanelTop.WithAlpha(0.9), kPanelBottom.WithAlpha(0.92));
      c.TextCentered(side ? "GAUNTLET" : "JOURNEY", x + 170, 212, TitleStyle(24));
      cairo_move_to(c.Cr(), x + 20, 236);
      cairo_line_to(c.Cr(), x + 320, 236);
      c.Stroke(Rgba{1, 1, 1, 0.3}, 2);
      cairo_new_path(c.Cr());
      for (int row = 0; row < 10; row += 2) {  // soft bands behind every other row
        c.RoundRectPath(x + 12, 248 + row * 22, 316, 22, 6);
        c.SetColor(Rgba{1, 1, 1, 0.06});
        cairo_fill(c.Cr());
      }
    }
    PlaceQuorl(c, 6, 60, 120, 70, -0.2);
    PlaceQuorl(c, 2, 740, 120, 70, 0.2, 1);
    out.Picture("Graphics\\highscorescreen", c);
  }
  {
    Canvas c(800, 600);
    PageBackdrop(c, 404, "Statistics");
    c.Panel(90, 180, 620, 306, 22, kPanelTop.WithAlpha(0.9), kPanelBottom.WithAlpha(0.92));
    for (double y : {340.0, 390.0}) {
      cairo_move_to(c.Cr(), 120, y);
      cairo_line_to(c.Cr(), 680, y);
      c.Stroke(Rgba{1, 1, 1, 0.25}, 2);
      cairo_new_path(c.Cr());
    }
    PlaceQuorl(c, 3, 70, 130, 70, -0.2);
    PlaceQuorl(c, 4, 730, 130, 70, 0.2);
    out.Picture("Graphics\\statscreen", c);
  }
  {  // the idol hall: soft spotlights where the idols stand (their places are fixed)
    Canvas c(800, 600);
    c.NightSky(505, 0.6);
    const double places[][2] = {{202, 319}, {385, 307}, {91, 211}, {542, 202}, {26, 85}, {191, 93},
                                {430, 78}, {602, 75}, {109, 69}, {524, 32}, {252, 0}};
    for (const auto& p : places) c.Glow(p[0] + 75, p[1] + 120, 95, Hex(0xfff3c0, 0.22));
    cairo_t* cr = c.Cr();
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 500);
    cairo_curve_to(cr, 250, 480, 550, 480, 800, 500);
    cairo_line_to(cr, 800, 600);
    cairo_line_to(cr, 0, 600);
    cairo_close_path(cr);
    c.FillVertical(480, 600, Hex(0x3b2a7a), Hex(0x1a1040));
    cairo_new_path(cr);
    TextStyle t = TitleStyle(34, Face::Script);
    c.Text("Idols", 22, 52, Align::Left, t);
    out.Picture("Graphics\\idolscreen", c);
  }
  for (int right = 0; right < 2; ++right) {
    Canvas c(209, 60);
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    if (right) {
      cairo_translate(cr, 209, 0);
      cairo_scale(cr, -1, 1);
    }
    cairo_new_path(cr);
    cairo_move_to(cr, 4, 30);
    cairo_line_to(cr, 40, 3);
    cairo_line_to(cr, 40, 12);
    cairo_line_to(cr, 190, 12);
    cairo_arc(cr, 190, 30, 18, -M_PI / 2, M_PI / 2);
    cairo_line_to(cr, 40, 48);
    cairo_line_to(cr, 40, 57);
    cairo_close_path(cr);
    c.FillVertical(3, 57, Hex(0x9b82ff), Hex(0x4a2fa8));
    c.Stroke(kInk, 3);
    cairo_new_path(cr);
    cairo_restore(cr);
    out.Picture(right ? "Graphics\\bigarrow2" : "Graphics\\bigarrow1", c);
  }
  for (int state = 0; state < 3; ++state) {
    Canvas c(240, 56);
    LabelButton(c, {0, 0, 240, 56}, "MAIN MENU", Hex(0xe8a21a), state, 26);
    out.Picture("Graphics\\mainmenubutton" + std::to_string(state + 1), c);
  }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Profile screen
// Layout chosen here: name list in the well at (220, 130, 360, 270) with the scroll arrows at
// (584, 130) and (584, 368); CREATE (180, 425), DELETE (330, 425), SELECT (480, 425) and
// CANCEL (330, 490), each 140 by 48; the create panel centred at (400, 300).

void ProfileScreen(AssetWriter& out) {
  {
    Canvas c(800, 600);
    c.NightSky(606);
    c.Panel(150, 40, 500, 520, 30, kPanelTop.WithAlpha(0.92), kPanelBottom.WithAlpha(0.95));
    c.TextCentered("Select a Profile", 400, 88, TitleStyle(40, Face::Script));
    c.RoundRectPath(216, 126, 368 + 36, 278, 14);
    c.SetColor(kInk);
    cairo_fill(c.Cr());
    c.RoundRectPath(220, 130, 360, 270, 11);
    c.FillVertical(130, 400, Hex(0x140c33), Hex(0x24185a));
    cairo_new_path(c.Cr());
    PlaceQuorl(c, 5, 110, 470, 100, -0.15);
    PlaceQuorl(c, 0, 700, 480, 90, 0.15, 1);
    out.Picture("Graphics\\userscreen", c);
  }
  struct ProfileButton {
    const char* base;
    const char* label;
    uint32_t color;
  };
  const ProfileButton buttons[] = {{"Graphics\\createuser", "CREATE", 0x3fae4f},
                                   {"Graphics\\Deleteuser", "DELETE", 0xe8455a},
                                   {"Graphics\\Selectuser", "SELECT", 0x3f78ea},
                                   {"Graphics\\Cancel", "CANCEL", 0x8a7fb0}};
  for (const ProfileButton& b : buttons) {
    for (int state = 0; state < 3; ++state) {
      Canvas c(140, 48);
      LabelButton(c, {0, 0, 140, 48}, b.label, Hex(b.color), state, 22);
      out.Picture(b.base + std::to_string(state + 1), c);
    }
  }
  {
    Canvas c(440, 240);
    c.Panel(6, 6, 428, 226, 26, kPanelTop, kPanelBottom);
    c.TextCentered("CREATE A NEW PROFILE!", 220, 50, TitleStyle(26));
    TextStyle hint = Body(16);
    hint.fill = Hex(0xe8ddff);
    c.TextCentered("type a name and press CREATE", 220, 88, hint);
    c.RoundRectPath(36, 116, 368, 52, 12);
    c.SetColor(kInk);
    cairo_fill(c.Cr());
    c.RoundRectPath(40, 120, 360, 44, 9);
    c.FillVertical(120, 164, Hex(0xe8e4f4), Hex(0xffffff));
    cairo_new_path(c.Cr());
    out.Picture("Graphics\\newuser", c);
  }
  for (int down = 0; down < 2; ++down) {
    for (int state = 0; state < 3; ++state) {
      Canvas c(32, 32);
      cairo_t* cr = c.Cr();
      Rgba base = state == 1 ? Hex(0xb9a6ff) : state == 2 ? Hex(0x4a2fa8) : Hex(0x7a5cf0);
      c.RoundRectPath(1, 1, 30, 30, 8);
      c.FillVertical(1, 31, base.Lighter(0.3), base.Darker(0.2));
      c.Stroke(kInk, 2);
      cairo_new_path(cr);
      double dy = state == 2 ? 1 : 0;
      if (down) {
        cairo_move_to(cr, 8, 11 + dy);
        cairo_line_to(cr, 24, 11 + dy);
        cairo_line_to(cr, 16, 22 + dy);
      } else {
        cairo_move_to(cr, 8, 21 + dy);
        cairo_line_to(cr, 24, 21 + dy);
        cairo_line_to(cr, 16, 10 + dy);
      }
      cairo_close_path(cr);
      c.SetColor(Hex(0xffffff));
      cairo_fill(cr);
      out.Picture(std::string(down ? "Graphics\\ScrollDown" : "Graphics\\ScrollUp") + std::to_string(state + 1), c);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Tutorial: instructions around the demonstration board (250 square, centre x 400,
// top y 110) and room for the OK button at (600, 525).

void Tutorial(AssetWriter& out) {
  Canvas c(800, 600);
  c.NightSky(707, 0.6);
  cairo_t* cr = c.Cr();
  c.TextCentered("How to play", 400, 52, TitleStyle(48, Face::Script));
  c.RoundRectPath(262, 98, 276, 276, 18);
  c.SetColor(kInk);
  cairo_fill(cr);
  c.RoundRectPath(266, 102, 268, 268, 15);
  c.SetColor(Hex(0x0d0826));
  cairo_fill(cr);
  c.Panel(40, 380, 720, 138, 20, kPanelTop.WithAlpha(0.92), kPanelBottom.WithAlpha(0.95));
  const char* lines[] = {"Drag a whole row or column with the mouse: it slides and wraps around.",
                         "Keys: the arrows move a cursor; Shift+arrow (or Space, then an arrow) slides.",
                         "Line up 3 or more quorls of one colour to send them home.",
                         "Every quorl lights the floor under it. Light every tile to win!",
                         "Watch the danger meter: when it fills, quorls turn to dullbones."};
  for (int i = 0; i < 5; ++i) {
    c.Sparkle(66, 401 + i * 24, 6, Rgba{1, 0.95, 0.6, 1});
    c.Text(lines[i], 82, 407 + i * 24, Align::Left, Body(17));
  }
  PlaceQuorl(c, 2, 150, 230, 110, -0.15);
  PlaceQuorl(c, 8, 650, 230, 100, 0.15);
  TextStyle note = Body(16);
  note.fill = Hex(0xe8ddff);
  c.Text("<- the dullbone breaks when", 560, 300, Align::Left, note);
  c.Text("   matches happen beside it", 560, 320, Align::Left, note);
  out.Picture("Graphics\\tutorial", c);
}

}  // namespace

void MenuArt::Generate(AssetWriter& out) const {
  TitleScreen(out);
  MainMenu(out);
  Dialogs(out);
  Options(out);
  NameEntry(out);
  ScoresPages(out);
  ProfileScreen(out);
  Tutorial(out);
}
