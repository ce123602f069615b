// A high-score table of a fixed number of rows, best first, shared by all profiles, and its file:
// "NAME%d" and "SCORE%d" keys in a settings-store file, other keys in the file kept.
// Relies on Registry for the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct HighScoreEntry {
    std::string mName;
    int32_t mScore = 0;
};

class HighScoreTable {
public:
    static constexpr int kRowCount = 10;

    // `rowCount` rows with empty names and score 0.
    void Create(int rowCount);
    // Adds (Corro 5) (Tamsy 4) (Bexa 3) (Tob 2) (Orlin 1), twice over: the table of a new game.
    void AddDefaultRows();

    // True when some row holds a score strictly lower than `score`.
    bool Qualifies(int32_t score) const;
    // Inserts below every row holding at least `score`, dropping the last row; nothing when the
    // score does not qualify (returns false). Control characters are taken out of the name, so a
    // name cannot break the file into extra lines.
    bool Add(std::string_view name, int32_t score);

    int RowCount() const { return static_cast<int>(mRows.size()); }
    // 0 for a row outside the table.
    int32_t GetScore(int row) const;
    // Empty for a row outside the table.
    std::string GetName(int row) const;

    // Remembers the file name and takes each row's name and score from the keys present; rows
    // without keys keep what they held. Rows are then ordered best first (stable), whatever order
    // the file gave them. The file is written back, so a missing one is created. Returns whether
    // a file was read.
    bool Load(std::string_view fileName);
    // Sets every row's keys in the remembered file and writes it atomically. False (logged) when
    // it could not be written or read first; the old file then stays.
    bool Save();
    const std::string& FileName() const { return mFileName; }

private:
    std::string mFileName;
    std::vector<HighScoreEntry> mRows;
};
