// The file layer: game paths ("Graphics\\quorls\\ql10", "USERS\\%s\\GameData.dat") become POSIX paths.
// Two roots: read-only resources beside the program, and the per-user data folder for everything
// written. Reads look in the data folder first. Whole-file writes are atomic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Files {

// --- Roots -------------------------------------------------------------------------------------

// Resource root: $QS_RESOURCE_DIR, else the first folder holding the resources of: the program's
// folder (a build or an unpacked archive), share/quorlslide beside the program's bin folder (an
// installation moved to another prefix), the share folder of the prefix the game was built for.
// Set explicitly by --datadir, tests and tools.
const std::string& ResourceRoot();
void SetResourceRoot(const std::string& dir);

// Data root: $QS_DATA_DIR, else $XDG_DATA_HOME/quorlslide, else ~/.local/share/quorlslide.
const std::string& DataRoot();
void SetDataRoot(const std::string& dir);

// Forgets both roots so the next use computes them again from the environment.
void ResetRoots();

// Creates the data root when missing; false when it cannot be created or is not a folder.
bool EnsureDataRoot();

// Empty when the data root is a folder the game can write to; otherwise why not ("is a file, not
// a folder", "is read-only", "has no space left", ...). Creates the folder when missing, and
// writes and removes one small probe file to find out.
std::string DataRootProblem();

// Whether `dir` holds the game's resources (a "Graphics" folder, in any spelling).
bool HoldsResources(const std::string& dir);
// The folders ResourceRoot looks in, in order, without $QS_RESOURCE_DIR (for messages).
std::vector<std::string> ResourceCandidates();

// A real path made absolute against the current folder (unchanged when already absolute).
std::string AbsolutePath(const std::string& path);

// Folder holding the running program (from /proc/self/exe); "." when unknown.
std::string ProgramDirectory();

// --- Path translation --------------------------------------------------------------------------

// Backslashes become '/', repeated separators fold to one, "." components vanish. ".." is kept.
std::string ToPosix(std::string_view gamePath);

// Walks `path` from `base` (or from "/" when `path` is absolute), matching each component
// case-insensitively against what exists. Components that do not exist are kept as written.
// Sets *complete to whether every component was found.
std::string ResolveCase(const std::string& base, std::string_view gamePath, bool* complete = nullptr);

// The real path of an existing file or folder for reading: the data folder first, then the
// resources. Absolute paths are only case-resolved. Empty when nothing exists under either root.
std::string FindForRead(std::string_view gamePath);

// The real path to write `gamePath` to: absolute paths as they are, relative ones under the data
// folder; existing components keep their on-disk spelling.
std::string PathForWrite(std::string_view gamePath);

// --- Whole files -------------------------------------------------------------------------------

// Files larger than this are refused by ReadWhole: nothing the game reads comes near it.
constexpr size_t kMaxReadSize = size_t(512) << 20;

// Reads a whole file found by FindForRead. False (and `out` empty) when missing, unreadable or
// larger than `maxSize` (and kMaxReadSize).
bool ReadWhole(std::string_view gamePath, std::vector<uint8_t>& out, size_t maxSize = kMaxReadSize);
// The size in bytes of a regular file found by FindForRead; -1 when there is none.
int64_t FileSize(std::string_view gamePath);

// Writes a whole file at PathForWrite atomically: a temporary file beside the target is written,
// flushed and synced, then renamed over it. Missing parent folders are created. On failure the
// old file is untouched, the temporary is removed, and false is returned.
bool WriteWholeAtomic(std::string_view gamePath, const void* data, size_t size);

// --- Files and folders -------------------------------------------------------------------------

bool Exists(std::string_view gamePath);  // found by FindForRead
bool IsDirectory(const std::string& realPath);
bool IsRegularFile(const std::string& realPath);

// Creates a folder and its parents (a game path, under the data folder when relative).
bool CreateDirectories(std::string_view gamePath);

// Names in a real folder, without "." and "..", sorted; empty when it cannot be read.
std::vector<std::string> ListDirectory(const std::string& realPath);

// Removes `realPath` and everything under it, never following symbolic links. Refuses (false)
// unless `realPath` lies strictly inside `container`, after both are made canonical.
bool RemoveTree(const std::string& realPath, const std::string& container);

// Removes one file; false when it did not exist or could not be removed.
bool RemoveFile(const std::string& realPath);

// Renames a regular file, replacing a file already at the new name; false when it could not.
bool RenameFile(const std::string& fromRealPath, const std::string& toRealPath);

}  // namespace Files
