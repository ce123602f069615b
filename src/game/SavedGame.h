// Saved games ("SAVEGAME_JOURNEY.DAT", "SAVEGAME_GAUNTLET.DAT"): a file is read whole and built
// into a session that nothing shows yet, checking every value on the way, so a damaged or hostile
// file is refused before anything of the running game changes. The game, the tool's dump and the
// fuzzer all read through here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class GameApp;
class GameSession;

namespace SavedGame {

// Larger than any saved game of a real level (ten by ten cells take about 25 kB).
constexpr int64_t kMaxFileSize = 4 << 20;

// Makes the session a saved game is read into (Journey or Gauntlet); tools use sessions of their
// own that record the end of the game instead of moving on.
using SessionMaker = std::function<std::unique_ptr<GameSession>(bool gauntlet, GameApp* app)>;

// The message the player sees when a saved game is refused.
constexpr const char* kDamagedMessage = "This saved game is damaged and cannot be continued.";
// A refused file is kept in the same folder, its name with this added.
constexpr const char* kDamagedSuffix = ".damaged";

// A new session (Journey or Gauntlet by the file's first byte) holding the saved game, not yet
// handed to any screen; its Resumed() is for when it is. Null, with `problem` saying why, when
// any part of the bytes cannot be a game's: cut short, too long, a value out of range.
// `app` may be null (tools, fuzzing); the application's mode is left as it was on a refusal.
std::unique_ptr<GameSession> Read(const std::vector<uint8_t>& bytes, GameApp* app, std::string* problem,
                                  const SessionMaker& make = nullptr);

// Read for the file at a game path (never changed); missing, unreadable, empty and oversized
// files are refused too.
std::unique_ptr<GameSession> ReadFile(std::string_view path, GameApp* app, std::string* problem,
                                      const SessionMaker& make = nullptr);

// The whole file at a game path, within the size of a saved game; false with `problem` set.
bool ReadBytes(std::string_view path, std::vector<uint8_t>& bytes, std::string* problem);

// The saved game of a session as its bytes (the session is brought to a point it can be left at).
std::vector<uint8_t> Write(GameSession& session);

// Renames a refused file to its name plus kDamagedSuffix (an older one there is replaced), so a
// new game does not overwrite what can still be looked into. False when it could not be moved.
bool SetAside(std::string_view path);

}  // namespace SavedGame
