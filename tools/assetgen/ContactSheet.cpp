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

  // Listening page.
  std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Quorl Slide sounds</title></head>\n"
                     "<body><h1>Quorl Slide sounds</h1><table border=\"1\" cellpadding=\"4\">\n"
                     "<tr><th>sound</th><th>format</th><th>seconds</th><th>peak dBFS</th><th>RMS dBFS</th><th>listen</th></tr>\n";
  std::string text;
  int bad = 0;
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
  html += "</table></body></html>\n";
  std::ofstream((fs::path(dir) / "listening.html").string()) << html;
  std::ofstream((fs::path(dir) / "listening.txt").string()) << text;
  std::printf("contact sheet: %d pages, %zu pictures, %zu sounds in %s\n", pageNumber, small.size() + large.size(),
              sounds.size(), dir.c_str());
  std::fputs(text.c_str(), stdout);
  return bad == 0 ? 0 : 1;
}
