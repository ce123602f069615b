// Names of the game's own data files and the small checks made before touching them.
// Everything here works on game paths through the file layer (data folder first, then resources).
#pragma once

#include <string_view>

namespace GameFiles {

constexpr const char* kConfigFile = "game.cfg";
constexpr const char* kStatisticsFile = "GameData.dat";
constexpr const char* kJourneyScoresFile = "Journey-Scores.dat";
constexpr const char* kGauntletScoresFile = "Gauntlet-Scores.dat";
constexpr const char* kJourneySaveFile = "SAVEGAME_JOURNEY.DAT";
constexpr const char* kGauntletSaveFile = "SAVEGAME_GAUNTLET.DAT";

// True when a regular file can be found at the game path (the menus ask before resuming).
bool FileExists(std::string_view path);

}  // namespace GameFiles
