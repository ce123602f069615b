// ProfileManager: names come from a file a person can edit, so every name is checked before it
// is allowed to become part of a folder path, and deletion is confined to the "USERS" folder.
#include "persistence/ProfileManager.h"

#include "persistence/GameFiles.h"
#include "persistence/GameStatistics.h"
#include "persistence/Registry.h"
#include "platform/FileSystem.h"
#include "support/DebugLog.h"

namespace {

constexpr const char* kProfilesKey = "Profiles";
constexpr const char* kCurrentKey = "CurrentProfile";
constexpr const char* kUsersFolder = "USERS";
constexpr const char* kNoProfileFolder = "NULL";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

}  // namespace

// --- Configuration file ------------------------------------------------------------------------

void ProfileManager::Load(std::string_view configPath) {
    mConfigPath.assign(configPath);
    mNames.clear();
    mCurrent.reset();
    mLoaded = true;
    Registry config;
    config.Load(mConfigPath);
    if (config.Unreadable()) {
        DebugLog::Log("Profiles: %s cannot be read; starting without profiles", mConfigPath.c_str());
        return;
    }
    std::string list = config.GetString(kProfilesKey);
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        std::string name = list.substr(start, comma - start);
        start = comma + 1;
        if (name.empty()) continue;  // an empty list, or ",," in an edited file
        if (!IsUsableName(name)) {
            DebugLog::Log("Profiles: the name \"%s\" cannot be a folder name and is left out", name.c_str());
            continue;
        }
        // Two spellings of one name would share one folder (names are found without case).
        if (Exists(name)) {
            DebugLog::Log("Profiles: \"%s\" is listed twice; the second is left out", name.c_str());
            continue;
        }
        mNames.push_back(std::move(name));
    }
    if (config.Exists(kCurrentKey)) {
        std::string current = config.GetString(kCurrentKey);
        if (!current.empty() && !IsUsableName(current)) {
            DebugLog::Log("Profiles: the current name \"%s\" cannot be a folder name", current.c_str());
            current.clear();
        }
        if (current.empty() && !mNames.empty()) current = mNames.front();
        mCurrent = std::move(current);
    } else {
        mCurrent = std::string();
    }
    // The store is written back unchanged when `config` goes out of scope.
}

bool ProfileManager::Save() {
    if (!mLoaded) return false;
    std::string list;
    for (const std::string& name : mNames) {
        if (!list.empty()) list.push_back(',');
        list += name;
    }
    Registry config;
    config.Load(mConfigPath);
    config.SetString(kProfilesKey, list);
    config.SetString(kCurrentKey, mCurrent.value_or(std::string()));
    if (config.Close()) return true;
    DebugLog::Log("Profiles: %s could not be written; the previous file is kept", mConfigPath.c_str());
    return false;
}

void ProfileManager::Shutdown() {
    Save();
    mNames.clear();
    mLoaded = false;
}

// --- The list ----------------------------------------------------------------------------------

std::string ProfileManager::GetName(int index) const {
    if (index < 0 || index >= Count()) return std::string();
    return mNames[static_cast<size_t>(index)];
}

bool ProfileManager::Exists(std::string_view name) const {
    for (const std::string& listed : mNames)
        if (SameName(listed, name)) return true;
    return false;
}

const std::string& ProfileManager::GetCurrentName() const {
    static const std::string kNone;
    return mCurrent ? *mCurrent : kNone;
}

int ProfileManager::GetCurrentIndex() const {
    if (!mCurrent) return -1;
    for (int i = 0; i < Count(); ++i)
        if (SameName(mNames[static_cast<size_t>(i)], *mCurrent)) return i;
    return -1;
}

bool ProfileManager::IsUsableName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ',') return false;
    }
    return true;
}

bool ProfileManager::Create(std::string_view name) {
    if (!IsUsableName(name)) {
        DebugLog::Log("Profiles: refused to create a profile named \"%.*s\"", static_cast<int>(name.size()),
                      name.data());
        return false;
    }
    std::string candidate(name);
    for (int counter = 2; Exists(candidate); ++counter) candidate = std::string(name) + std::to_string(counter);
    if (std::string taken = FolderInOtherCase(candidate); !taken.empty()) {
        DebugLog::Log("Profiles: refused to create \"%s\": the folder %s is found under that name", candidate.c_str(),
                      taken.c_str());
        return false;
    }
    mNames.push_back(candidate);
    ChangeCurrent(std::move(candidate), true);
    // The folder is made with the profile: from now on no other name can be spelt into it.
    GetProfileDir();
    if (mLoaded) Save();
    return true;
}

void ProfileManager::Select(int index) {
    if (index < 0 || index >= Count()) return;
    ChangeCurrent(mNames[static_cast<size_t>(index)], true);
    if (mLoaded) Save();
}

std::string ProfileManager::FolderInOtherCase(std::string_view name) const {
    // An entry spelt exactly as the name is found first, so only then is the name's own.
    std::string other;
    for (const std::string& entry : Files::ListDirectory(Files::PathForWrite(kUsersFolder))) {
        if (entry == name) return std::string();
        if (other.empty() && SameName(entry, name)) other = entry;
    }
    return other;
}

void ProfileManager::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    std::string name = mNames[static_cast<size_t>(index)];
    mNames.erase(mNames.begin() + index);
    RemoveProfileFolder(name);
    if (mCurrent && SameName(name, *mCurrent)) {
        std::optional<std::string> next;
        if (!mNames.empty()) next = mNames.front();
        ChangeCurrent(std::move(next), false);
    }
    if (mLoaded) Save();
}

// --- Folders -----------------------------------------------------------------------------------

std::string ProfileManager::FolderOf(const std::optional<std::string>& name) {
    std::string folder = std::string(kUsersFolder) + "\\";
    if (name && IsUsableName(*name)) return folder + *name;
    return folder + kNoProfileFolder;
}

std::string ProfileManager::GetProfileDir() {
    std::string folder = FolderOf(mCurrent);
    if (!Files::CreateDirectories(folder)) DebugLog::Log("Profiles: the folder %s cannot be created", folder.c_str());
    return folder;
}

std::string ProfileManager::GetProfilePath(std::string_view fileName) {
    return GetProfileDir() + "\\" + std::string(fileName);
}

void ProfileManager::RemoveProfileFolder(const std::string& name) {
    // The list only holds usable names; this guards the one operation that removes files.
    if (!IsUsableName(name)) return;
    std::string folder = Files::PathForWrite(FolderOf(name));
    if (!Files::IsDirectory(folder) && !Files::IsRegularFile(folder)) return;
    if (!Files::RemoveTree(folder, Files::PathForWrite(kUsersFolder)))
        DebugLog::Log("Profiles: the folder %s could not be removed completely", folder.c_str());
}

void ProfileManager::ChangeCurrent(std::optional<std::string> next, bool keepOld) {
    std::string oldFolder = FolderOf(mCurrent);
    mCurrent = std::move(next);
    if (!mStatistics || !mStatistics->IsBound()) return;
    // Spellings of one name reach one folder.
    if (SameName(oldFolder, FolderOf(mCurrent))) return;
    if (keepOld) mStatistics->SaveFile(oldFolder + "\\" + GameFiles::kStatisticsFile);
    mStatistics->Reset();
    mStatistics->LoadFile(GetProfilePath(GameFiles::kStatisticsFile));
}
