// Writes generated resources under the output root, turning the game's backslash names
// ("Graphics\\quorls\\ql00") into files with their extension, and counts what was written.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class Canvas;

class AssetWriter {
 public:
  explicit AssetWriter(std::string root) : mRoot(std::move(root)) {}

  // Full path for a resource name plus extension; creates the folders on the way.
  std::string PathFor(const std::string& name, const std::string& extension) const;
  void Picture(const std::string& name, const Canvas& canvas);
  void Bytes(const std::string& name, const std::string& extension, const std::vector<uint8_t>& bytes);
  void Fail(const std::string& message);

  int Written() const { return mWritten; }
  int Failures() const { return mFailures; }

 private:
  std::string mRoot;
  std::atomic<int> mWritten{0};
  std::atomic<int> mFailures{0};
};
