// Pictures are laid out small ones first on a grid, screen-sized ones at half size, over a
// checkerboard so transparency shows. Sounds are decoded again to report what a player hears.
#include "ContactSheet.h"

#include "Canvas.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Entry {
  std::string name;
  std::string path;
  int width = 0, height = 0;
};

void Checker(const Canvas& page, double x, double y, double w, double h) {
  cairo_t* cr = page.Cr();
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  for (int j = 0; j * 10 < h; ++j) {
    for (int i = 0; i * 10 < w; ++i) {
      page.SetColor((i + j) % 2 ? Hex(0x6a6a78) : Hex(0x85859a));
      cairo_rectangle(cr, x + i * 10, y + j * 10, 10, 10);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
}

struct SoundLevels {
  double seconds = 0, peakDb = -200, rmsDb = -200;
  int rate = 0, channels = 0;
  bool ok = false;
  std::vector<int16_t> samples;
};

void Measure(const std::vector<int16_t>& samples, SoundLevels& levels) {
  double peak = 0, sum = 0;
  for (int16_t s : samples) {
    peak = std::max(peak, std::fabs(s / 32768.0));
    sum += (s / 32768.0) * (s / 32768.0);
  }
  levels.peakDb = peak > 0 ? 20 * std::log10(peak) : -200;
  double rms = samples.empty() ? 0 : std::sqrt(sum / samples.size());
  levels.rmsDb = rms > 0 ? 20 * std::log10(rms) : -200;
  levels.seconds = levels.channels ? samples.size() / double(levels.channels) / levels.rate : 0;
  levels.ok = true;
  levels.samples = samples;
}

SoundLevels ReadWav(const std::string& path) {
  SoundLevels levels;
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVE", 4)) return levels;
  levels.channels = b[22] | b[23] << 8;
  levels.rate = b[24] | b[25] << 8 | b[26] << 16 | b[27] << 24;
  for (size_t i = 12; i + 8 <= b.size();) {
    uint32_t size = b[i + 4] | b[i + 5] << 8 | b[i + 6] << 16 | uint32_t(b[i + 7]) << 24;
    if (!std::memcmp(b.data() + i, "data", 4)) {
      size = std::min<uint32_t>(size, uint32_t(b.size() - i - 8));
      std::vector<int16_t> samples(size / 2);
      std::memcpy(samples.data(), b.data() + i + 8, samples.size() * 2);
      Measure(samples, levels);
      break;
    }
    i += 8 + size + (size & 1);
  }
  return levels;
}

SoundLevels ReadOgg(const std::string& path) {
  SoundLevels levels;
  OggVorbis_File file;
  if (ov_fopen(path.c_str(), &file) != 0) return levels;
  vorbis_info* info = ov_info(&file, -1);
  levels.channels = info->channels;
  levels.rate = static_cast<int>(info->rate);
  std::vector<int16_t> samples;
  char buffer[8192];
  int section = 0;
  long got;
  while ((got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) {
    size_t old = samples.size();
    samples.resize(old + got / 2);
    std::memcpy(samples.data() + old, buffer, got / 2 * 2);
  }
  ov_clear(&file);
  Measure(samples, levels);
  return levels;
}


// Draws text with a ".font" file the way the engine does: pen at the top of the line, each
// glyph at pen + offset, then advance. Returns false when the file does not parse.
bool DrawFontSample(const Canvas& page, const std::string& path, double x, double y, const std::string& text,
                    const Rgba& color) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t at = 0;
  auto f32 = [&](float& v) { if (at + 4 > b.size()) return false; std::memcpy(&v, &b[at], 4); at += 4; return true; };
  auto i32 = [&](int32_t& v) { if (at + 4 > b.size()) return false; std::memcpy(&v, &b[at], 4); at += 4; return true; };
  struct Glyph { bool defined = false; float advance = 0, ox = 0, oy = 0; int w = 0, h = 0; size_t pixels = 0; };
  std::vector<Glyph> glyphs(256);
  float space = 0, line = 0;
  if (!f32(space) || !f32(line)) return false;
  for (int c = 0; c < 256; ++c) {
    if (at >= b.size()) return false;
    Glyph& g = glyphs[c];
    g.defined = b[at++] == 1;
    if (!g.defined) continue;
    float rect[4];
    if (!f32(g.advance) || !f32(g.ox) || !f32(g.oy)) return false;
    for (float& r : rect) if (!f32(r)) return false;
    if (at >= b.size()) return false;
    if (b[at++] != 1) continue;
    int32_t w, h;
    if (!i32(w) || !i32(h) || w < 0 || h < 0 || at + size_t(w) * h * 4 > b.size()) return false;
    g.w = w; g.h = h; g.pixels = at;
    at += size_t(w) * h * 4;
  }
  double penX = x;
  for (char ch : text) {
    const Glyph& g = glyphs[uint8_t(ch)];
    if (ch == '\n') { penX = x; y += line; continue; }
    if (!g.defined) continue;
    if (ch == ' ') { penX += space; continue; }
    if (g.w > 0) {
      cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, g.w, g.h);
      unsigned char* data = cairo_image_surface_get_data(s);
      int stride = cairo_image_surface_get_stride(s);
      for (int j = 0; j < g.h; ++j) {
        for (int i = 0; i < g.w; ++i) {
          const uint8_t* p = &b[g.pixels + (size_t(j) * g.w + i) * 4];
          uint32_t a = p[3];
          uint32_t px = a << 24 | (p[2] * a / 255) << 16 | (p[1] * a / 255) << 8 | (p[0] * a / 255);
          std::memcpy(data + j * stride + i * 4, &px, 4);
        }
      }
      cairo_surface_mark_dirty(s);
      // Tint like the engine: multiply the glyph by the drawing colour.
      cairo_t* cr = page.Cr();
      cairo_save(cr);
      cairo_push_group(cr);
      cairo_set_source_surface(cr, s, penX + g.ox, y + g.oy);
      cairo_paint(cr);
      cairo_set_operator(cr, CAIRO_OPERATOR_MULTIPLY);
      page.SetColor(color);
      cairo_paint(cr);
      cairo_pop_group_to_source(cr);
      cairo_mask_surface(cr, s, penX + g.ox, y + g.oy);
      cairo_restore(cr);
      cairo_surface_destroy(s);
    }
    penX += g.advance;
  }
  return true;
}

void Waveform(const Canvas& page, const std::vector<int16_t>& samples, double x, double y, double w, double h,
              double seconds) {
  cairo_t* cr = page.Cr();
  page.SetColor(Hex(0x0e0e1c));
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  if (samples.empty()) return;
  (void)seconds;
  double perColumn = std::max(1.0, samples.size() / w);
  for (int col = 0; col < int(w); ++col) {
    size_t first = size_t(col * perColumn), last = std::min(samples.size(), size_t((col + 1) * perColumn));
    if (first >= samples.size()) break;
    int lo = 0, hi = 0;
    for (size_t i = first; i < last; ++i) { lo = std::min<int>(lo, samples[i]); hi = std::max<int>(hi, samples[i]); }
    cairo_move_to(cr, x + col + 0.5, y + h / 2 - hi / 32768.0 * h / 2);
    cairo_line_to(cr, x + col + 0.5, y + h / 2 - lo / 32768.0 * h / 2 + 0.5);
  }
  page.SetColor(Hex(0x7dff9a));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}


// ---------------------------------------------------------------------------------------------
// [SECTION] Screen mock-ups: the pictures put together at the places the game draws them.

class Mockup {
 public:
  Mockup(const std::string& root) : mRoot(root), mCanvas(800, 600) {}
  const Canvas& Page() const { return mCanvas; }
  cairo_surface_t* Load(const std::string& name) const {
    return cairo_image_surface_create_from_png((fs::path(mRoot) / (name + ".png")).string().c_str());
  }
  void At(const std::string& name, double x, double y, double alpha = 1.0) const {
    Canvas picture(Load(name));
    mCanvas.Draw(picture, x, y, 1.0, alpha);
  }
  void Centered(const std::string& name, double x, double y, double scale = 1.0) const {
    Canvas picture(Load(name));
    mCanvas.Draw(picture, x - picture.Width() * scale / 2, y - picture.Height() * scale / 2, scale);
  }
  void Scaled(const std::string& name, double x, double y, double w, double h) const {
    Canvas picture(Load(name));
    cairo_t* cr = mCanvas.Cr();
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, w / picture.Width(), h / picture.Height());
    cairo_set_source_surface(cr, picture.Surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  void Partial(const std::string& name, double x, double y, double clipX, double clipY, double clipW, double clipH) const {
    cairo_save(mCanvas.Cr());
    cairo_rectangle(mCanvas.Cr(), clipX, clipY, clipW, clipH);
    cairo_clip(mCanvas.Cr());
    At(name, x, y);
    cairo_restore(mCanvas.Cr());
  }
  void Text(int font, const std::string& text, double x, double y, const Rgba& color, bool centred = false) const {
    std::string path = (fs::path(mRoot) / "Fonts" / ("font" + std::to_string(font) + ".font")).string();
    if (centred) x -= TextWidthOf(path, text) / 2;
    DrawFontSample(mCanvas, path, x, y, text, color);
  }
  void TextRight(int font, const std::string& text, double x, double y, const Rgba& color) const {
    std::string path = (fs::path(mRoot) / "Fonts" / ("font" + std::to_string(font) + ".font")).string();
    DrawFontSample(mCanvas, path, x - TextWidthOf(path, text), y, text, color);
  }
  void Dim(double alpha) const {
    mCanvas.SetColor(Rgba{0, 0, 0.15, alpha});
    cairo_paint(mCanvas.Cr());
  }

  static double TextWidthOf(const std::string& path, const std::string& text) {
    Canvas scratch(2000, 200);
    // Draw at x 0 and find the right-most inked column.
    DrawFontSample(scratch, path, 0, 0, text, Rgba{1, 1, 1, 1});
    cairo_surface_flush(scratch.Surface());
    unsigned char* data = cairo_image_surface_get_data(scratch.Surface());
    int stride = cairo_image_surface_get_stride(scratch.Surface());
    int right = 0;
    for (int y = 0; y < 200; ++y) {
      for (int x = 0; x < 2000; ++x) {
        if (data[y * stride + x * 4 + 3] > 0) right = std::max(right, x);
      }
    }
    return right;
  }

 private:
  std::string mRoot;
  Canvas mCanvas;
};

void LevelScreen(const Mockup& m) {
  m.At("Graphics/background", 0, 0);
  const double bx = 50, by = 50, cell = 62;
  const char* layout[8] = {"########", "########", "###  ###", "##    ##", "##    ##", "###  ###", "########", "########"};
  uint32_t state = 5;
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) {
      if (layout[r][c] != '#') continue;
      double x = bx + c * cell, y = by + r * cell;
      bool lit = (r * 3 + c * 5) % 7 < 3;
      if (lit) {
        m.Scaled("Graphics/goldbrick", x, y, cell, cell);
      } else {
        m.Page().SetColor((r + c) % 2 ? Rgba{0, 0, 0.1, 1} : Rgba{0, 0.25, 0.25, 1});
        cairo_rectangle(m.Page().Cr(), x, y, cell, cell);
        cairo_fill(m.Page().Cr());
      }
    }
  }
  for (int pass = 0; pass < 2; ++pass) {
    state = 5;
    for (int r = 0; r < 8; ++r) {
      for (int c = 0; c < 8; ++c) {
        state = state * 1664525u + 1013904223u;
        if (layout[r][c] != '#') continue;
        int color = int((state >> 16) % 8);
        if (r == 6 && c == 2) color = 8;
        std::string name = "Graphics/quorls/ql" + std::to_string(color) + ((state >> 8) % 9 == 0 ? "1" : "0");
        double x = bx + c * cell + 6, y = by + r * cell + 6;
        if (pass == 0) {  // shadow pass, as the board draws it
          Canvas piece(m.Load(name));
          cairo_t* cr = m.Page().Cr();
          cairo_save(cr);
          cairo_translate(cr, x + cell * 0.04, y + cell * 0.04);
          cairo_scale(cr, (cell - 12) / 128.0, (cell - 12) / 128.0);
          cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
          cairo_mask_surface(cr, piece.Surface(), 0, 0);
          cairo_restore(cr);
        } else {
          m.Scaled(name, x - cell * 0.02, y - cell * 0.02, cell - 12, cell - 12);
          if (color == 8) m.Scaled("Graphics/quorls/crack0", x - cell * 0.02, y - cell * 0.02, cell - 12, cell - 12);
        }
      }
    }
  }
  m.At("Graphics/boardframe", bx - 20, by - 20);
  m.At("Graphics/scorebox", 300 - 130, 24);
  m.Text(2, "12,450", 300, 31, Rgba{1, 1, 1, 1}, true);
  m.At("Graphics/dangermeter", 615, 90);
  m.Partial("Graphics/mercury", 692, 165, 692, 165 + 200 * 0.4, 16, 200 * 0.6);
  m.At("Graphics/crystalball1", 625, 420);
  m.At("Graphics/menu1", 604, 10);
  m.Text(4, "150", 200, 300, Rgba{0, 0, 0, 1});
  m.Text(4, "150", 198, 298, Rgba{1, 1, 1, 1});
  m.Text(4, "DOUBLE!", 330, 170, Rgba{1, 1, 0.5, 1});
  m.Scaled("Graphics/robot", 380, 400, 72, 72);
}

void ClearedScreen(const Mockup& m) {
  LevelScreen(m);
  cairo_save(m.Page().Cr());
  cairo_translate(m.Page().Cr(), 50, 50);
  m.Centered("Graphics/levelcleared", 250, 140);
  m.Centered("Graphics/statbox", 250, 390);
  const char* labels[] = {"Quorls Used:", "Quorl Ratio:", "Dullbones Broken:", "Total Time:"};
  const char* values[] = {"112", "2:1", "3", "2:03"};
  for (int i = 0; i < 4; ++i) {
    double y = 305 + 28 * i;
    m.TextRight(3, labels[i], 325, y, Rgba{1, 1, 1, 1});
    m.Text(3, values[i], 335, y, Rgba{1, 1, 0.6, 1});
  }
  cairo_restore(m.Page().Cr());
}

void MenuScreen(const Mockup& m, bool picker) {
  m.At("Graphics/mainmenu", 0, 0);
  m.At("Graphics/mainmenu_buttons", 0, 0);
  m.Partial("Graphics/mainmenu_buttonshilite", 0, 0, 240, 331, 322, 62);
  m.Centered("Graphics/menutitle", 400, 135);
  m.Text(2, "KIM", 402, 12, Rgba{0, 0, 0, 1}, true);
  m.Text(2, "KIM", 400, 10, Rgba{0.9, 0.9, 1, 1}, true);
  m.Centered("Graphics/currentuser", 400, 10);
  m.Centered("Graphics/changeuser", 400, 50);
  m.At("Graphics/exitbutton", 660, 460);
  if (picker) {
    m.Dim(0.5);
    cairo_save(m.Page().Cr());
    cairo_translate(m.Page().Cr(), 0, 50);
    m.At("Graphics/gamemenu", 0, 0);
    m.Partial("Graphics/gamemenuhilite", 0, 0, 240, 242, 318, 58);
    cairo_restore(m.Page().Cr());
  }
}

void TitleMock(const Mockup& m) {
  m.At("Graphics/title", 0, 0);
  m.At("Graphics/loadingbarempty", 191, 441);
  m.Partial("Graphics/loadingbarfilled", 191, 441, 191, 441, 240, 24);
  m.Text(3, "CLICK HERE TO EXIT THE GAME", 400, 540, Rgba{1, 1, 1, 1}, true);
}

void JourneyMock(const Mockup& m) {
  Canvas sky(m.Load("Graphics/journeyscreen"));
  uint32_t state = 99;
  const char* stars[] = {"Graphics/star1", "Graphics/star2", "Graphics/star3"};
  const Rgba colors[] = {{1, 0, 0, 0.8}, {1, 0.5, 0, 0.8}, {1, 1, 0, 0.8}, {0, 1, 0, 0.8}, {0, 1, 1, 0.8}};
  for (int i = 0; i < 200; ++i) {
    state = state * 1664525u + 1013904223u;
    int kind = (state >> 10) % 5 == 3 ? int((state >> 14) % 3) : 0;
    double scale = 1.0 - 0.2 * ((state >> 18) % 5);
    Canvas star(m.Load(stars[kind]));
    cairo_t* cr = sky.Cr();
    cairo_save(cr);
    cairo_translate(cr, (state >> 3) % 800, (state >> 7) % 1200);
    cairo_scale(cr, scale, scale);
    sky.SetColor(colors[(state >> 22) % 5]);
    cairo_mask_surface(cr, star.Surface(), 0, 0);
    cairo_restore(cr);
  }
  for (auto [name, x, y] : {std::tuple{"Graphics/earth", 260, 800}, {"Graphics/moon", 600, 900},
                            {"Graphics/mars", 420, 400}, {"Graphics/jupiter", 200, -200}}) {
    Canvas planet(m.Load(name));
    sky.Draw(planet, x, y);
  }
  m.Page().Draw(sky, 0, 0);
  // Nodes: lanes every 150 pixels from x 35, steps every 150 from y 100 (the map scrolled to 0).
  for (int step = 0; step < 4; ++step) {
    for (int lane = 0; lane < 5; ++lane) {
      if ((lane + step) % 3 == 1) continue;
      double x = 150 * lane + 35, y = 150 * step + 100;
      if (step == 1 && lane == 2) {
        m.At("Graphics/2x", x, y);
        continue;
      }
      m.Page().SetColor(Rgba{0, 0.25, 0.25, 1});
      cairo_rectangle(m.Page().Cr(), x + 20, y + 20, 89, 89);
      cairo_fill(m.Page().Cr());
      m.At("Graphics/puzzlebox", x, y);
      if (step == 0) m.At("Graphics/levelclearedsmall", x, y);
      if (lane < 4 && (lane + 1 + step) % 3 != 1) m.At("Graphics/journey/arrowright", x + 129 + 10.5 - 17, y + 50);
      if (step < 3 && (lane + step + 1) % 3 != 1) m.At("Graphics/journey/arrowdown", x + 50, y + 129 + 10.5 - 17);
    }
  }
  m.At("Graphics/journeytopborder", 0, 0);
  m.At("Graphics/journeybottomborder", 0, 530);
  m.Centered("Graphics/startjourneyhelper", 400, 60);
  m.At("Graphics/menu1", 612, 8);
  m.At("Graphics/ScrollUp1", 766, 115);
  m.At("Graphics/ScrollDown1", 766, 485);
}

void ScoresMock(const Mockup& m) {
  m.At("Graphics/highscorescreen", 0, 0);
  const char* names[] = {"Corro", "Corro", "Tamsy", "Tamsy", "Bexa", "Bexa", "Tob", "Tob", "Orlin", "Orlin"};
  for (int row = 0; row < 10; ++row) {
    Rgba color = row % 2 ? Rgba{1, 1, 0.5, 1} : Rgba{1, 0.5, 0.5, 1};
    std::string score = std::to_string(5 - row / 2);
    double y = 250 + 22 * row;
    m.Text(3, names[row], 75, y, color);
    m.Text(3, names[row], 425, y, color);
    m.TextRight(3, score, 375, y, color);
    m.TextRight(3, score, 725, y, color);
  }
  m.At("Graphics/bigarrow1", 50, 520);
  m.At("Graphics/bigarrow2", 541, 520);
  m.Text(3, "Stats", 154, 533, Rgba{1, 1, 1, 1}, true);
  m.Text(3, "Idols", 645, 533, Rgba{1, 1, 1, 1}, true);
  m.At("Graphics/mainmenubutton1", 280, 525);
}

void IdolsMock(const Mockup& m) {
  m.At("Graphics/idolscreen", 0, 0);
  const char* idols[] = {"pell", "marlo", "tuvo", "fennick", "dullbone", "brizzle", "krell", "tesselin", "varno", "robot", "quorl"};
  const double places[][2] = {{202, 319}, {385, 307}, {91, 211}, {542, 202}, {26, 85}, {191, 93},
                              {430, 78}, {602, 75}, {109, 69}, {524, 32}, {252, 0}};
  for (int i = 10; i >= 0; --i) m.At(std::string("Graphics/idols/") + idols[i], places[i][0], places[i][1]);
  m.At("Graphics/bigarrow1", 50, 520);
  m.At("Graphics/bigarrow2", 541, 520);
  m.At("Graphics/mainmenubutton1", 280, 525);
}

void TutorialMock(const Mockup& m) {
  m.At("Graphics/tutorial", 0, 0);
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 5; ++c) {
      int color = (r * 7 + c * 3) % 5;
      m.Scaled("Graphics/quorls/ql" + std::to_string(color) + "0", 275 + c * 50 + 6, 110 + r * 50 + 6, 38, 38);
    }
  }
  m.At("Graphics/OK1", 600, 525);
}

void MessageMock(const Mockup& m) {
  MenuScreen(m, false);
  m.Dim(0.5);
  cairo_save(m.Page().Cr());
  cairo_translate(m.Page().Cr(), 0, 50);
  m.At("Graphics/INFOBOX", 0, 0);
  m.Text(2, "Starting a new game will remove\nyour saved game.  Are you sure?", 231, 238, Rgba{1, 1, 1, 1});
  m.At("Graphics/YES2", 273, 429);
  m.At("Graphics/NO1", 443, 429);
  cairo_restore(m.Page().Cr());
}

void ProfileMock(const Mockup& m) {
  m.At("Graphics/userscreen", 0, 0);
  const char* names[] = {"Kim", "Alex", "Sam"};
  for (int i = 0; i < 3; ++i) m.Text(3, names[i], 236, 142 + 26 * i, i == 0 ? Rgba{1, 1, 0.5, 1} : Rgba{1, 1, 1, 1});
  m.At("Graphics/ScrollUp1", 584, 130);
  m.At("Graphics/ScrollDown1", 584, 368);
  m.At("Graphics/createuser1", 180, 425);
  m.At("Graphics/Deleteuser2", 330, 425);
  m.At("Graphics/Selectuser1", 480, 425);
  m.At("Graphics/Cancel1", 330, 490);
}

void OptionsMock(const Mockup& m) {
  LevelScreen(m);
  m.Dim(0.75);
  m.At("Graphics/optionsmenu", 0, 0);
  m.Page().SetColor(Rgba{1, 1, 0.6, 1});
  cairo_rectangle(m.Page().Cr(), 207, 322, 11, 11);
  cairo_rectangle(m.Page().Cr(), 207, 397, 11, 11);
  cairo_fill(m.Page().Cr());
  m.Page().Circle(320 + 292 * 0.7, 272, 12);
  m.Page().SetColor(Rgba{1, 1, 1, 1});
  cairo_fill(m.Page().Cr());
  m.At("Graphics/PAUSEGAME", 180, 40);
}

}  // namespace

int ContactSheet::Render(const std::string& root, const std::string& manifestPath, const std::string& dir) const {
  (void)manifestPath;
  fs::create_directories(dir);
  std::vector<Entry> small, large;
  for (const char* top : {"Graphics", "Textures"}) {
    fs::path base = fs::path(root) / top;
    if (!fs::exists(base)) continue;
    for (const auto& item : fs::recursive_directory_iterator(base)) {
      if (item.path().extension() != ".png") continue;
      Entry e;
      e.path = item.path().string();
      e.name = fs::relative(item.path(), root).replace_extension().string();
      cairo_surface_t* s = cairo_image_surface_create_from_png(e.path.c_str());
      e.width = cairo_image_surface_get_width(s);
      e.height = cairo_image_surface_get_height(s);
      cairo_surface_destroy(s);
      (e.width >= 500 || e.height >= 500 ? large : small).push_back(e);
    }
  }
  auto byName = [](const Entry& a, const Entry& b) { return a.name < b.name; };
  std::sort(small.begin(), small.end(), byName);
  std::sort(large.begin(), large.end(), byName);

  TextStyle label;
  label.face = Face::Plain;
  label.size = 11;
  label.fill = Hex(0xffffff);
  TextStyle title = label;
  title.size = 20;
  int pageNumber = 0;
  int failures = 0;
  auto savePage = [&](const Canvas& page) {
    char file[64];
    std::snprintf(file, sizeof file, "page%02d.png", ++pageNumber);
    page.SavePng((fs::path(dir) / file).string());
  };
  auto layout = [&](const std::vector<Entry>& list, int cols, int rows, int cellW, int cellH, const char* heading) {
    for (size_t first = 0; first < list.size(); first += size_t(cols * rows)) {
      Canvas page(cols * cellW + 20, rows * cellH + 50);
      page.SetColor(Hex(0x20203a));
      cairo_paint(page.Cr());
      char head[160];
      std::snprintf(head, sizeof head, "Quorl Slide art review: %s (page %d)", heading, pageNumber + 1);
      page.Text(head, 12, 30, Align::Left, title);
      for (size_t k = first; k < list.size() && k < first + size_t(cols * rows); ++k) {
        const Entry& e = list[k];
        int slot = int(k - first);
        double x = 10 + (slot % cols) * cellW, y = 45 + (slot / cols) * cellH;
        double boxW = cellW - 10, boxH = cellH - 30;
        double scale = std::min({1.0, boxW / e.width, boxH / e.height});
        double w = e.width * scale, h = e.height * scale;
        Checker(page, x + (boxW - w) / 2, y + (boxH - h) / 2, w, h);
        cairo_surface_t* s = cairo_image_surface_create_from_png(e.path.c_str());
        Canvas picture(s);
        page.Draw(picture, x + (boxW - w) / 2, y + (boxH - h) / 2, scale);
        char text[200];
        std::snprintf(text, sizeof text, "%s  %dx%d", e.name.c_str(), e.width, e.height);
        page.Text(text, x, y + cellH - 14, Align::Left, label);
      }
      savePage(page);
    }
  };
  layout(small, 8, 5, 220, 220, "pieces, buttons and small pictures");
  layout(large, 3, 3, 540, 440, "screens and panels at up to 2/3 size");

  {  // mock-ups of the screens, two by two at half size
    using Maker = void (*)(const Mockup&);
    struct Shot { const char* title; Maker make; };
    const Shot shots[] = {
        {"title, loading", TitleMock},
        {"main menu (CONTINUE hovered)", [](const Mockup& m) { MenuScreen(m, false); }},
        {"mode picker over the main menu", [](const Mockup& m) { MenuScreen(m, true); }},
        {"message box (YES hovered)", MessageMock},
        {"level screen", LevelScreen},
        {"level cleared", ClearedScreen},
        {"options and pause card over a level", OptionsMock},
        {"journey map", JourneyMock},
        {"high scores", ScoresMock},
        {"idols, all found", IdolsMock},
        {"profile screen", ProfileMock},
        {"tutorial", TutorialMock},
    };
    for (size_t first = 0; first < std::size(shots); first += 4) {
      Canvas page(1640, 1300);
      page.SetColor(Hex(0x20203a));
      cairo_paint(page.Cr());
      page.Text("Quorl Slide screens put together from the generated pictures (full size 800x600)", 12, 30, Align::Left, title);
      for (size_t k = first; k < first + 4 && k < std::size(shots); ++k) {
        Mockup m(root);
        shots[k].make(m);
        double x = 10 + ((k - first) % 2) * 815, y = 50 + ((k - first) / 2) * 625;
        page.Draw(m.Page(), x, y);
        page.Text(shots[k].title, x, y + 618, Align::Left, label);
      }
      savePage(page);
    }
  }

  {  // font page
    Canvas page(1200, 700);
    page.SetColor(Hex(0x2a1f5c));
    cairo_paint(page.Cr());
    page.Text("Quorl Slide fonts, drawn as the engine draws them (white and tinted)", 12, 30, Align::Left, title);
    const char* sample = " !\"#$%&'()*+,-./0123456789:;<=>?@\nABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`\nabcdefghijklmnopqrstuvwxyz{|}~";
    double y = 60;
    for (int f = 1; f <= 4; ++f) {
      std::string path = (fs::path(root) / "Fonts" / ("font" + std::to_string(f) + ".font")).string();
      page.Text("font" + std::to_string(f), 12, y + 14, Align::Left, label);
      if (!DrawFontSample(page, path, 70, y, sample, Rgba{1, 1, 1, 1})) {
        std::fprintf(stderr, "contact sheet: %s does not parse\n", path.c_str());
        ++failures;
      }
      DrawFontSample(page, path, 760, y, f == 4 ? "500x2\nDOUBLE!" : "Quorls Used: 42\nJourney 12,345", Hex(0xffe066));
      y += f == 4 ? 200 : 110;
    }
    savePage(page);
  }

  // Listening page.
  std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Quorl Slide sounds</title></head>\n"
                     "<body><h1>Quorl Slide sounds</h1><table border=\"1\" cellpadding=\"4\">\n"
                     "<tr><th>sound</th><th>format</th><th>seconds</th><th>peak dBFS</th><th>RMS dBFS</th><th>listen</th></tr>\n";
  std::string text;
  int bad = failures;
  std::vector<std::pair<std::string, SoundLevels>> measured;
  std::vector<fs::path> sounds;
  fs::path soundDir = fs::path(root) / "SoundEffects";
  if (fs::exists(soundDir)) {
    for (const auto& item : fs::directory_iterator(soundDir)) sounds.push_back(item.path());
  }
  std::sort(sounds.begin(), sounds.end());
  for (const fs::path& p : sounds) {
    bool ogg = p.extension() == ".ogg";
    if (!ogg && p.extension() != ".wav") continue;
    SoundLevels l = ogg ? ReadOgg(p.string()) : ReadWav(p.string());
    bad += l.ok ? 0 : 1;
    measured.emplace_back(p.stem().string(), l);
    char row[512];
    std::string rel = fs::relative(p, dir).string();
    std::snprintf(row, sizeof row,
                  "<tr><td>%s</td><td>%s %d Hz %d ch</td><td>%.2f</td><td>%.1f</td><td>%.1f</td>"
                  "<td><audio controls preload=\"none\" src=\"%s\"></audio></td></tr>\n",
                  p.stem().c_str(), ogg ? "Ogg Vorbis" : "WAV 16-bit", l.rate, l.channels, l.seconds, l.peakDb,
                  l.rmsDb, rel.c_str());
    html += row;
    std::snprintf(row, sizeof row, "%-18s %-4s %6.2f s  peak %6.1f dBFS  rms %6.1f dBFS\n", p.stem().c_str(),
                  ogg ? "ogg" : "wav", l.seconds, l.peakDb, l.rmsDb);
    text += row;
  }
  html += "</table><p>Waveforms: see the last page of the contact sheet.</p></body></html>\n";
  {  // waveform page
    Canvas page(1640, 60 + 46 * int(measured.size()));
    page.SetColor(Hex(0x20203a));
    cairo_paint(page.Cr());
    page.Text("Quorl Slide sounds: waveforms, each stretched to its row (lengths on the listening page)", 12, 30, Align::Left, title);
    for (size_t i = 0; i < measured.size(); ++i) {
      double y = 50 + 46 * double(i);
      page.Text(measured[i].first, 12, y + 24, Align::Left, label);
      Waveform(page, measured[i].second.samples, 140, y, 1480, 40, measured[i].second.seconds);
    }
    savePage(page);
  }
  std::ofstream((fs::path(dir) / "listening.html").string()) << html;
  std::ofstream((fs::path(dir) / "listening.txt").string()) << text;
  std::printf("contact sheet: %d pages, %zu pictures, %zu sounds in %s\n", pageNumber, small.size() + large.size(),
              sounds.size(), dir.c_str());
  std::fputs(text.c_str(), stdout);
  return bad == 0 ? 0 : 1;
}
