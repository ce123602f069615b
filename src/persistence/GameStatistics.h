// A profile's lifetime statistics: eleven idol counts and thirteen counters, stored as the 96-byte
// "GameData.dat" (24 little-endian int32, no header) in the profile's folder.
// Relies on DataBuffer for the bytes and on ProfileManager for the folder.
#pragma once

#include <cstdint>
#include <string_view>

class DataBuffer;
class ProfileManager;

class GameStatistics {
public:
    static constexpr int kIdolCount = 11;
    static constexpr int kFieldCount = 24;
    static constexpr int32_t kFileSize = kFieldCount * 4;

    GameStatistics() { Reset(); }

    // The empty record: every field 0 except the two whose "none yet" value is -1.
    void Reset();

    // Field `index` in file order (0 to 23); used by the file form and by dumps.
    int32_t& Field(int index);
    int32_t Field(int index) const;

    // A won journey: one more completed; the fewest moves, the fastest time and the fewest lost
    // levels kept (a field still empty takes the journey's value); the idol found at its end
    // (0 to 10) counted once more, any other number counting none.
    void JourneyWon(int32_t moves, int32_t time, int32_t levelsLost, int idol);
    // A finished Gauntlet: one more completed, and the most gold kept.
    void GauntletOver(int32_t gold);

    // Appends the 96-byte record.
    void Serialize(DataBuffer& buffer) const;
    // Reads 96 bytes. A record cut short becomes the empty record (returns false).
    bool Load(DataBuffer& buffer);

    // Reads the file at a game path; returns whether a file was read. A missing or unreadable
    // file leaves the record unchanged; a short one empties it.
    bool LoadFile(std::string_view path);
    // Writes the record atomically; false (logged) when it could not be written, the old file kept.
    bool SaveFile(std::string_view path) const;

    // Reads the current profile's "GameData.dat" and from then on the record belongs to that
    // profile: a profile manager it is attached to carries it along when the profile changes.
    bool LoadStatistics(ProfileManager& profiles);
    // Writes the record to the current profile's "GameData.dat".
    bool SaveStatistics(ProfileManager& profiles) const;
    // Whether LoadStatistics has run, so the record stands for a real profile's file.
    bool IsBound() const { return mBound; }

    bool operator==(const GameStatistics& other) const;

    int32_t mIdolCounts[kIdolCount];
    int32_t mJourneysCompleted;
    int32_t mFewestMoves;           // 0 = none yet
    int32_t mBestRatioSmall;        // 0 = none yet
    int32_t mBestRatioLarge;        // 0 = none yet
    int32_t mFastestJourney;        // hundredths of a second; 0 = none yet
    int32_t mFewestLostLevels;      // -1 = none yet
    int32_t mMostLevelsWonBeforeLosing;  // -1 = none yet
    int32_t mGauntletsCompleted;
    int32_t mMostGold;
    int32_t mQuorlsTransported;
    int32_t mDullbonesBroken;
    int32_t mMostQuorlsInOneMove;
    int32_t mLongestCascade;

private:
    bool mBound = false;
};
