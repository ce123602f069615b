// The player profiles: an ordered list of names and the current one, kept as "Profiles" and
// "CurrentProfile" in the configuration file beside the engine's own keys, and one folder
// "USERS\<name>" per profile for its statistics and saved games. Relies on Registry and the file layer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class GameStatistics;

class ProfileManager {
public:
    // Remembers the configuration file (a game path) and reads the list and the current name.
    // Names that cannot be a folder name, and repeats of a name in another case, are left out.
    void Load(std::string_view configPath);
    // Writes both keys into the configuration file, other keys kept. False (logged) when the
    // write failed or the file could not be read first; does nothing before Load.
    bool Save();
    // Save, then forget the list. The current name stays, so its folder can still be named.
    void Shutdown();
    bool IsLoaded() const { return mLoaded; }

    int Count() const { return static_cast<int>(mNames.size()); }
    // The name at `index`, or an empty string outside the list.
    std::string GetName(int index) const;
    // Names compare without regard to case.
    bool Exists(std::string_view name) const;

    // Appends a profile and makes it current; a name already listed (in any case) gets the first
    // free suffix 2, 3, ... Refuses (false) a name that cannot be a folder name or holds ",", and
    // one whose folder exists in another spelling (see FolderInOtherCase).
    // Create, Select and Delete write the list at once once it has been loaded, so a profile made
    // or removed is remembered even when the game never reaches its shutdown.
    bool Create(std::string_view name);
    // Makes the profile at `index` current; nothing outside the list.
    void Select(int index);
    // Removes the profile and its folder (never anything outside "USERS"). When it was current,
    // the first remaining profile becomes current, or none.
    void Delete(int index);
    // The name of an entry of "USERS" that is `name` in another letter case, or empty. Folders are
    // found without regard to case, so a profile of that name would write into that folder.
    std::string FolderInOtherCase(std::string_view name) const;

    // Creates "USERS" and the current profile's folder when missing and returns its game path;
    // "USERS\NULL" when there is no current profile.
    std::string GetProfileDir();
    // GetProfileDir, "\", the file name.
    std::string GetProfilePath(std::string_view fileName);

    // The current name; empty both when it is empty and when there is none.
    const std::string& GetCurrentName() const;
    // False when there is no current profile at all (after deleting the last one).
    bool HasCurrentName() const { return mCurrent.has_value(); }
    // Index of the current profile in the list, -1 when it is not listed.
    int GetCurrentIndex() const;

    // The record then follows the current profile: once it has been loaded for a profile, a
    // change of profile writes it to the old profile's folder and reads the new profile's record
    // (or starts empty). Pass nullptr to detach.
    void AttachStatistics(GameStatistics* record) { mStatistics = record; }

    // Whether `name` may stand for a folder: not empty, not "." or "..", no "/", "\", "," or
    // control character.
    static bool IsUsableName(std::string_view name);

private:
    // Makes `next` current and carries an attached record along; `keepOld` is false when the old
    // profile's folder is gone and its record must not be written back.
    void ChangeCurrent(std::optional<std::string> next, bool keepOld);
    // "USERS\<name>", or "USERS\NULL" for no name or one that cannot be a folder.
    static std::string FolderOf(const std::optional<std::string>& name);
    void RemoveProfileFolder(const std::string& name);

    std::string mConfigPath;
    std::optional<std::string> mCurrent;
    std::vector<std::string> mNames;
    bool mLoaded = false;
    GameStatistics* mStatistics = nullptr;
};
