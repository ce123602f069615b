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
