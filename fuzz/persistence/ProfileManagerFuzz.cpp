// Loads arbitrary bytes as game.cfg, checks that no listed or current name could leave the
// profile folder, then creates, selects and deletes profiles and saves the list back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "persistence/DataBuffer.h"
#include "persistence/GameStatistics.h"
#include "persistence/ProfileManager.h"
#include "platform/FileSystem.h"

static std::string Folded(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = [] {
        // tmpfs keeps the atomic writes (with their fsync) cheap enough to fuzz.
        Files::SetDataRoot(Files::IsDirectory("/dev/shm") ? "/dev/shm/quorlslide-fuzz-profilemanager"
                                                          : "/tmp/quorlslide-fuzz-profilemanager");
        return Files::EnsureDataRoot();
    }();
    if (!ready) return 0;
    if (!Files::WriteWholeAtomic("game.cfg", data, size)) return 0;

    // The same bytes as a statistics record.
    DataBuffer buffer;
    buffer.SetData(data, size);
    GameStatistics stats;
    stats.Load(buffer);

    ProfileManager profiles;
    profiles.Load("game.cfg");
    for (int i = 0; i < profiles.Count(); ++i) {
        if (!ProfileManager::IsUsableName(profiles.GetName(i))) std::abort();
        for (int j = 0; j < i; ++j)
            if (Folded(profiles.GetName(j)) == Folded(profiles.GetName(i))) std::abort();
    }
    const std::string& current = profiles.GetCurrentName();
    if (!current.empty() && !ProfileManager::IsUsableName(current)) std::abort();
    std::string dir = profiles.GetProfileDir();
    if (dir.compare(0, 6, "USERS\\") != 0 || !ProfileManager::IsUsableName(dir.substr(6))) std::abort();

    profiles.AttachStatistics(&stats);
    stats.LoadStatistics(profiles);
    profiles.Create(profiles.Count() > 0 ? profiles.GetName(0) : std::string("Fuzz"));
    profiles.Select(profiles.Count() / 2);
    while (profiles.Count() > 0) profiles.Delete(profiles.Count() - 1);
    profiles.Shutdown();

    // Folders of names that were current without being listed are not deleted by the manager.
    Files::RemoveTree(Files::PathForWrite("USERS"), Files::DataRoot());
    return 0;
}
