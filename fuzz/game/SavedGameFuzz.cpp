// Feeds arbitrary bytes to the game's readers exactly as the game and the tool's dump read files:
// as a saved game of either mode (the first byte is the mode tag) and as the statistics record.
// A file that is taken must play on, save again, and read back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/GameFileDump.h"
#include "game/GameSession.h"
#include "game/SavedGame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    std::string json, problem;
    GameFileDump::Describe("GameData.dat", bytes, &json, &problem);
    GameFileDump::Describe("SAVEGAME_GAUNTLET.DAT", bytes, &json, &problem);

    std::unique_ptr<GameSession> session = SavedGame::Read(bytes, nullptr, &problem);
    if (!session) return 0;
    std::vector<uint8_t> saved = SavedGame::Write(*session);
    std::unique_ptr<GameSession> again = SavedGame::Read(saved, nullptr, &problem);
    if (!again || SavedGame::Write(*again) != saved) __builtin_trap();
    for (int step = 0; step < 20; ++step) again->DoUpdate();
    SavedGame::Write(*again);
    return 0;
}
