// The desktop icon, from the same quorl drawing as the pieces.
#include "IconArt.h"

#include "Canvas.h"
#include "PieceArt.h"

#include <cairo-svg.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kBlue = 5;  // the blue quorl with round ears
constexpr int kRed = 0;

bool WritePng(const Canvas& canvas, const std::string& path) {
  cairo_surface_flush(canvas.Surface());
  return cairo_surface_write_to_png(canvas.Surface(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

void IconArt::Draw(const Canvas& c, double size) {
  cairo_t* cr = c.Cr();
  cairo_save(cr);
  cairo_scale(cr, size / 128.0, size / 128.0);
  // The tile: the board frame's purple with a light rim, a little inset so the icon keeps some
  // air around it on a crowded menu.
  c.RoundRectPath(6, 6, 116, 116, 26);
  c.FillVertical(6, 122, Hex(0x7a5ce0), Hex(0x2c1c70));
  c.Stroke(Hex(0xb7a4ff), 3);
  cairo_new_path(cr);
  c.RoundRectPath(14, 14, 100, 100, 20);
  c.FillVertical(14, 114, Hex(0x1d4f5a), Hex(0x123038));
  cairo_new_path(cr);
  bool small = size < 32;
  if (!small) {
    cairo_save(cr);
    cairo_translate(cr, 63, 13);
    PieceArt::DrawPiece(c, kRed, 0, 0.44);
    cairo_restore(cr);
  }
  // The piece drawing is 128 units wide with its body's bottom at 121.
  cairo_save(cr);
  if (small)
    cairo_translate(cr, 9, 6);
  else
    cairo_translate(cr, 15, 30);
  PieceArt::DrawPiece(c, kBlue, 0, small ? 0.86 : 0.7);
  cairo_restore(cr);
  cairo_restore(cr);
}

int IconArt::Generate(const std::string& dir, const std::string& name) {
  int failures = 0;
  std::error_code error;
  for (int size : kSizes) {
    std::string folder = dir + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    fs::create_directories(folder, error);
    Canvas canvas(size, size);
    Draw(canvas, size);
    if (!WritePng(canvas, folder + "/" + name + ".png")) {
      std::fprintf(stderr, "assetgen: cannot write the %d-pixel icon into %s\n", size, folder.c_str());
      ++failures;
    }
  }
  std::string folder = dir + "/hicolor/scalable/apps";
  fs::create_directories(folder, error);
  std::string path = folder + "/" + name + ".svg";
  cairo_surface_t* svg = cairo_svg_surface_create(path.c_str(), 128, 128);
  cairo_svg_surface_set_document_unit(svg, CAIRO_SVG_UNIT_PX);
  // The canvas adopts one reference; ours outlives it so the finished file can be checked.
  cairo_surface_reference(svg);
  {
    Canvas canvas(svg);
    Draw(canvas, 128);
  }
  cairo_surface_finish(svg);
  if (cairo_surface_status(svg) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
    ++failures;
  }
  cairo_surface_destroy(svg);
  return failures;
}
