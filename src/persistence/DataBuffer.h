// The whole-file byte buffer behind every binary file and saved record: little-endian items read
// and appended at a cursor, text lines and ";" statements, an optional XOR key, a sticky error flag.
// Relies on the file layer for loading and for atomic saving.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class DataBuffer {
public:
    DataBuffer() = default;

    // Discards the data and reads the whole file (a game path; data folder first, then resources).
    // A missing or unreadable file leaves an empty buffer. Returns whether a file was read.
    bool Load(std::string_view path);

    // Writes the whole buffer (not only up to the cursor) atomically. Applies the key in place
    // first, so the buffer holds the scrambled bytes afterwards. Returns false when the file could not be written; the previous
    // file is then untouched.
    bool Save(std::string_view path);

    // Replaces the contents with a copy of `bytes`; cursor 0, error cleared.
    void SetData(const void* bytes, size_t count);
    void Clear();

    // Key for whole-file XOR on Load and Save; empty for none.
    void SetKey(std::string_view key);

    // --- Reading. Past the end: zero values; a partial item sets the sticky error flag, after
    // which every int, float, bool and line read returns its zero value.
    int32_t ReadInt();
    float ReadFloat();
    bool ReadBool();  // true only when the byte is 1
    uint8_t ReadByte();
    // Copies `count` bytes; when fewer remain the destination is zero-filled and error is set.
    void ReadBytes(void* destination, int32_t count);
    // An int32 length n+1, then n bytes and a zero. A length below 1 or beyond the remaining bytes
    // is a short read: empty string, error set, nothing allocated from the length.
    std::string ReadString();
    // Bytes up to the next CR (consumed); LF dropped anywhere. nullopt at the end of data.
    std::optional<std::string> ReadLine();
    // Text up to the next ";" outside quotes (consumed); leading blanks skipped, tabs become
    // spaces, runs of spaces outside quotes fold to one, other control characters dropped.
    // A trailing statement without ";" is returned as it is; nullopt when nothing is left.
    std::optional<std::string> ReadStatement();

    // --- Writing at the cursor; the buffer grows as needed.
    void WriteInt(int32_t value);
    void WriteFloat(float value);
    void WriteBool(bool value);
    void WriteByte(uint8_t value);
    void WriteBytes(const void* source, int32_t count);
    void WriteString(std::string_view text);  // int32 length n+1, the bytes, a zero byte

    const uint8_t* Data() const { return mData.data(); }
    int32_t Size() const { return static_cast<int32_t>(mData.size()); }
    int32_t Cursor() const { return mCursor; }
    void SetCursor(int32_t cursor);
    int32_t Remaining() const { return mCursor >= Size() ? 0 : Size() - mCursor; }
    bool Error() const { return mError; }
    bool AtEnd() const { return mCursor >= Size(); }

private:
    // True when `count` bytes can be read; otherwise sets error when some but not all remain.
    bool CanRead(int32_t count);
    void ApplyKey();
    void Put(const void* source, size_t count);

    std::vector<uint8_t> mData;
    int32_t mCursor = 0;
    std::string mKey;
    bool mError = false;
};
