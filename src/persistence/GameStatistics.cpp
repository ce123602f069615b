// GameStatistics: the record's file form is its 24 fields in declaration order, nothing else.
#include "persistence/GameStatistics.h"

#include <algorithm>
#include <limits>
#include <string>

#include "persistence/DataBuffer.h"
#include "persistence/GameFiles.h"
#include "persistence/ProfileManager.h"
#include "support/DebugLog.h"

void GameStatistics::Reset() {
    for (int i = 0; i < kFieldCount; ++i) Field(i) = 0;
    mFewestLostLevels = -1;
    mMostLevelsWonBeforeLosing = -1;
}

int32_t& GameStatistics::Field(int index) {
    static_assert(kFieldCount == kIdolCount + 13);
    if (index >= 0 && index < kIdolCount) return mIdolCounts[index];
    switch (index) {
    case 11: return mJourneysCompleted;
    case 12: return mFewestMoves;
    case 13: return mBestRatioSmall;
    case 14: return mBestRatioLarge;
    case 15: return mFastestJourney;
    case 16: return mFewestLostLevels;
    case 17: return mMostLevelsWonBeforeLosing;
    case 18: return mGauntletsCompleted;
    case 19: return mMostGold;
    case 20: return mQuorlsTransported;
    case 21: return mDullbonesBroken;
    case 22: return mMostQuorlsInOneMove;
    default: return mLongestCascade;
    }
}

void GameStatistics::JourneyWon(int32_t moves, int32_t time, int32_t levelsLost, int idol) {
    // Counters saturate: a record that has grown for years (or was edited) never wraps negative.
    if (mJourneysCompleted < std::numeric_limits<int32_t>::max()) ++mJourneysCompleted;
    mFewestMoves = mFewestMoves == 0 ? moves : std::min(mFewestMoves, moves);
    mFastestJourney = mFastestJourney == 0 ? time : std::min(mFastestJourney, time);
    mFewestLostLevels = mFewestLostLevels == -1 ? levelsLost : std::min(mFewestLostLevels, levelsLost);
    if (idol >= 0 && idol < kIdolCount && mIdolCounts[idol] < std::numeric_limits<int32_t>::max()) ++mIdolCounts[idol];
}

void GameStatistics::GauntletOver(int32_t gold) {
    if (mGauntletsCompleted < std::numeric_limits<int32_t>::max()) ++mGauntletsCompleted;
    mMostGold = std::max(mMostGold, gold);
}

int32_t GameStatistics::Field(int index) const { return const_cast<GameStatistics*>(this)->Field(index); }

void GameStatistics::Serialize(DataBuffer& buffer) const {
    for (int i = 0; i < kFieldCount; ++i) buffer.WriteInt(Field(i));
}

bool GameStatistics::Load(DataBuffer& buffer) {
    // The record is one raw run: all of it or none of it.
    uint8_t bytes[kFileSize];
    buffer.ReadBytes(bytes, kFileSize);
    if (buffer.Error()) {
        // A cut-short record would otherwise read as zeros, and a zero in the two "none yet"
        // fields claims a journey with no lost levels that no later journey could beat.
        Reset();
        return false;
    }
    DataBuffer record;
    record.SetData(bytes, sizeof bytes);
    for (int i = 0; i < kFieldCount; ++i) Field(i) = record.ReadInt();
    return true;
}

bool GameStatistics::LoadFile(std::string_view path) {
    if (!GameFiles::FileExists(path)) return false;
    DataBuffer buffer;
    if (!buffer.Load(path)) {
        DebugLog::Log("Statistics: %.*s cannot be read; the record is left as it was",
                      static_cast<int>(path.size()), path.data());
        return false;
    }
    if (!Load(buffer)) {
        DebugLog::Log("Statistics: %.*s holds %d of %d bytes; starting from an empty record",
                      static_cast<int>(path.size()), path.data(), buffer.Size(), kFileSize);
    }
    return true;
}

bool GameStatistics::SaveFile(std::string_view path) const {
    DataBuffer buffer;
    Serialize(buffer);
    if (buffer.Save(path)) return true;
    DebugLog::Log("Statistics: %.*s could not be written; the previous file is kept",
                  static_cast<int>(path.size()), path.data());
    return false;
}

bool GameStatistics::LoadStatistics(ProfileManager& profiles) {
    mBound = true;
    return LoadFile(profiles.GetProfilePath(GameFiles::kStatisticsFile));
}

bool GameStatistics::SaveStatistics(ProfileManager& profiles) const {
    return SaveFile(profiles.GetProfilePath(GameFiles::kStatisticsFile));
}

bool GameStatistics::operator==(const GameStatistics& other) const {
    for (int i = 0; i < kFieldCount; ++i)
        if (Field(i) != other.Field(i)) return false;
    return true;
}
