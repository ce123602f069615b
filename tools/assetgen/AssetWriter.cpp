// Output side of the generator. A file whose bytes did not change is left alone, so the
// game's sound cache and file times stay valid across rebuilds.
#include "AssetWriter.h"

#include "Canvas.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

std::string AssetWriter::PathFor(const std::string& name, const std::string& extension) const {
  std::string relative = name;
  for (char& c : relative) {
    if (c == '\\') c = '/';
  }
  fs::path path = fs::path(mRoot) / (relative + extension);
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  return path.string();
}

void AssetWriter::Picture(const std::string& name, const Canvas& canvas) {
  std::vector<uint8_t> bytes;
  cairo_surface_flush(canvas.Surface());
  auto append = [](void* closure, const unsigned char* data, unsigned int length) -> cairo_status_t {
    auto* out = static_cast<std::vector<uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
  };
  if (cairo_surface_write_to_png_stream(canvas.Surface(), append, &bytes) != CAIRO_STATUS_SUCCESS) {
    Fail("cannot encode " + name);
    return;
  }
  Bytes(name, ".png", bytes);
}

void AssetWriter::Bytes(const std::string& name, const std::string& extension, const std::vector<uint8_t>& bytes) {
  std::string path = PathFor(name, extension);
  std::error_code error;
  if (fs::exists(path, error) && !fs::is_regular_file(path, error)) {
    Fail("cannot write " + path + ": something else is in the way");
    return;
  }
  {
    std::ifstream old(path, std::ios::binary);
    if (old) {
      std::vector<uint8_t> existing((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
      if (existing == bytes) {
        ++mWritten;
        return;
      }
    }
  }
  std::string temporary = path + ".tmp";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out || (fs::rename(temporary, path, error), error)) {
    Fail("cannot write " + path);
    return;
  }
  ++mWritten;
}

void AssetWriter::Fail(const std::string& message) {
  std::fprintf(stderr, "assetgen: %s\n", message.c_str());
  ++mFailures;
}
