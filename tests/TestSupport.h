// Helpers shared by the test suites: a private data folder per test program, file helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport {

// Points the game's data folder (and resource folder) at a new empty temporary folder.
// Returns its path.
std::string UseFreshDataFolder();

// Removes everything in the current data folder (between tests that need a clean slate).
void EmptyDataFolder();

// Reads or writes a real file (not a game path) byte for byte.
std::vector<uint8_t> ReadBytes(const std::string& realPath);
std::string ReadText(const std::string& realPath);
void WriteBytes(const std::string& realPath, const std::string& bytes);

// The repository's top folder (for test data checked in under tests/).
std::string SourceDir();

}  // namespace TestSupport
