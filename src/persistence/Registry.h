// The key=value settings store: "game.cfg", the profile list and the score files. One line per
// value (name, "=", value, CR LF), names compared without case, unknown keys kept in place.
// Relies on DataBuffer for reading lines and for the atomic whole-file write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Registry {
public:
    Registry() = default;
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Closes what is held, remembers `path` and loads every line holding "=". A missing file
    // loads as an empty store. A file that exists but cannot be read loads as an empty store that
    // will never be written back, so it is not replaced by nothing. Returns whether a file was read.
    bool Load(std::string_view path);

    void SetInt(std::string_view name, int32_t value);
    void SetBool(std::string_view name, bool value);
    // CR and LF are dropped from names and values: one entry must stay one line.
    void SetString(std::string_view name, std::string_view value);
    void SetByteList(std::string_view name, const int8_t* bytes, int count);

    // Leading white space and one sign skipped, then decimal digits up to the first other
    // character; no digits give 0; values beyond int32 saturate. 0 when missing.
    int32_t GetInt(std::string_view name) const;
    // "1", "true", "yes" or "on" in any case; false otherwise or when missing.
    bool GetBool(std::string_view name) const;
    std::string GetString(std::string_view name) const;
    // Splits at ","; each piece parsed like GetInt into the next byte. Returns how many were set.
    int GetByteList(std::string_view name, int8_t* destination, int maximumCount) const;
    bool Exists(std::string_view name) const;
    // The last Load met a file that exists but could not be read; Flush will not touch it.
    bool Unreadable() const { return mUnreadable; }

    // Writes every entry in order to the remembered path. False when nothing could be written
    // (no path, an unreadable file was loaded, or the write failed; the previous file then stays
    // as it was).
    bool Flush();
    // Flush, then forget the path and the entries. Returns Flush's result (true when nothing held).
    bool Close();

    // Parsing rule shared with every caller that reads numbers from text.
    static int32_t ParseInt(std::string_view text);

    struct Entry {
        std::string name;
        std::string value;
    };
    const std::vector<Entry>& Entries() const { return mEntries; }
    const std::string& Path() const { return mPath; }

private:
    Entry* Find(std::string_view name);
    const Entry* Find(std::string_view name) const;
    void Set(std::string_view name, std::string value);

    std::vector<Entry> mEntries;
    std::string mPath;
    std::string mKey;
    bool mLoaded = false;
    bool mUnreadable = false;
};
