// The game's binary files described as one line of JSON for people and tests: saved games of both
// modes (read and checked exactly as the game reads them) and the statistics record. Nothing here
// writes a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace GameFileDump {

// Describes `bytes`, a file named `fileName` (the name only decides for "GameData.dat"; other
// files are read as saved games, and a refused one of exactly the statistics' size as the
// statistics). False, with `problem` set, when the bytes are neither.
bool Describe(std::string_view fileName, const std::vector<uint8_t>& bytes, std::string* json, std::string* problem);

// Text as a JSON string literal, quotes included.
std::string Quote(std::string_view text);

}  // namespace GameFileDump
