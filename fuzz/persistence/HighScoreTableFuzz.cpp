// Loads arbitrary bytes as a score file over the default table, checks the order of the rows,
// then adds a score and saves the table back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "persistence/HighScoreTable.h"
#include "platform/FileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = [] {
        // tmpfs keeps the atomic writes (with their fsync) cheap enough to fuzz.
        Files::SetDataRoot(Files::IsDirectory("/dev/shm") ? "/dev/shm/quorlslide-fuzz-highscoretable"
                                                          : "/tmp/quorlslide-fuzz-highscoretable");
        return Files::EnsureDataRoot();
    }();
    if (!ready) return 0;
    if (!Files::WriteWholeAtomic("Journey-Scores.dat", data, size)) return 0;
    HighScoreTable table;
    table.Create(HighScoreTable::kRowCount);
    table.AddDefaultRows();
    table.Load("Journey-Scores.dat");
    for (int i = 1; i < table.RowCount(); ++i)
        if (table.GetScore(i) > table.GetScore(i - 1)) std::abort();
    for (int i = 0; i < table.RowCount(); ++i) table.GetName(i);
    table.Add("Fuzz", table.GetScore(4));
    table.Add("Top", 2147483647);
    for (int i = 1; i < table.RowCount(); ++i)
        if (table.GetScore(i) > table.GetScore(i - 1)) std::abort();
    table.Save();
    return 0;
}
