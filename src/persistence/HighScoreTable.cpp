// HighScoreTable: equal scores keep their order, so an earlier entry stays above a later equal one.
#include "persistence/HighScoreTable.h"

#include <algorithm>

#include "persistence/GameFiles.h"
#include "persistence/Registry.h"
#include "support/DebugLog.h"

namespace {

std::string NameKey(int row) { return "NAME" + std::to_string(row); }
std::string ScoreKey(int row) { return "SCORE" + std::to_string(row); }

}  // namespace

void HighScoreTable::Create(int rowCount) { mRows.assign(static_cast<size_t>(std::max(rowCount, 0)), HighScoreEntry{}); }

void HighScoreTable::AddDefaultRows() {
    static const HighScoreEntry kDefaults[] = {{"Corro", 5}, {"Tamsy", 4}, {"Bexa", 3}, {"Tob", 2}, {"Orlin", 1}};
    for (int pass = 0; pass < 2; ++pass)
        for (const HighScoreEntry& entry : kDefaults) Add(entry.mName, entry.mScore);
}

bool HighScoreTable::Qualifies(int32_t score) const {
    for (const HighScoreEntry& row : mRows)
        if (row.mScore < score) return true;
    return false;
}

bool HighScoreTable::Add(std::string_view name, int32_t score) {
    auto place = std::find_if(mRows.begin(), mRows.end(), [score](const HighScoreEntry& row) { return row.mScore < score; });
    if (place == mRows.end()) return false;
    std::string clean;
    for (char c : name)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) clean.push_back(c);
    std::move_backward(place, mRows.end() - 1, mRows.end());
    *place = HighScoreEntry{std::move(clean), score};
    return true;
}

int32_t HighScoreTable::GetScore(int row) const {
    return row >= 0 && row < RowCount() ? mRows[static_cast<size_t>(row)].mScore : 0;
}

std::string HighScoreTable::GetName(int row) const {
    return row >= 0 && row < RowCount() ? mRows[static_cast<size_t>(row)].mName : std::string();
}

bool HighScoreTable::Load(std::string_view fileName) {
    mFileName.assign(fileName);
    Registry store;
    bool read = store.Load(mFileName);
    if (store.Unreadable()) {
        DebugLog::Log("Scores: %s cannot be read; keeping the table as it is", mFileName.c_str());
        return false;
    }
    for (int i = 0; i < RowCount(); ++i) {
        HighScoreEntry& row = mRows[static_cast<size_t>(i)];
        if (store.Exists(NameKey(i))) row.mName = store.GetString(NameKey(i));
        if (store.Exists(ScoreKey(i))) row.mScore = store.GetInt(ScoreKey(i));
    }
    // An edited file may list scores in any order; sorting keeps every name with its own score,
    // where clamping would change what players scored.
    std::stable_sort(mRows.begin(), mRows.end(),
                     [](const HighScoreEntry& a, const HighScoreEntry& b) { return a.mScore > b.mScore; });
    if (!store.Close()) DebugLog::Log("Scores: %s could not be written back", mFileName.c_str());
    return read;
}

bool HighScoreTable::Save() {
    if (mFileName.empty()) return false;
    Registry store;
    store.Load(mFileName);
    for (int i = 0; i < RowCount(); ++i) {
        store.SetString(NameKey(i), mRows[static_cast<size_t>(i)].mName);
        store.SetInt(ScoreKey(i), mRows[static_cast<size_t>(i)].mScore);
    }
    if (store.Close()) return true;
    DebugLog::Log("Scores: %s could not be written; the previous file is kept", mFileName.c_str());
    return false;
}
