// The file layer on POSIX: case-insensitive resolution of game paths, the two roots, atomic writes.
#include "platform/FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <mutex>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace Files {

namespace {

std::mutex gRootsMutex;
std::string gResourceRoot;
std::string gDataRoot;
bool gResourceRootSet = false;
bool gDataRootSet = false;

std::string DefaultDataRoot() {
    if (const char* dir = std::getenv("QS_DATA_DIR"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg && xdg[0] == '/')
        return std::string(xdg) + "/quorlslide";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/quorlslide";
    return "/tmp/quorlslide-" + std::to_string(getuid());
}

std::string DefaultResourceRoot() {
    if (const char* dir = std::getenv("QS_RESOURCE_DIR"); dir && *dir) return dir;
    for (const std::string& dir : ResourceCandidates())
        if (HoldsResources(dir)) return dir;
    return ProgramDirectory();
}

bool IsAbsolute(std::string_view path) { return !path.empty() && (path[0] == '/' || path[0] == '\\'); }

std::string Join(const std::string& base, const std::string& name) {
    if (base.empty()) return name;
    if (base.back() == '/') return base + name;
    return base + "/" + name;
}

// Finds `name` in folder `dir` ignoring case; an exact match wins over a case-folded one.
bool MatchInFolder(const std::string& dir, const std::string& name, std::string* found) {
    struct stat st;
    std::string exact = Join(dir, name);
    if (lstat(exact.c_str(), &st) == 0) {
        *found = name;
        return true;
    }
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    bool ok = false;
    std::string best;
    while (dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, name.c_str()) == 0) {
            // Several spellings may exist; take the first in sorted order so the choice is stable.
            if (!ok || best > e->d_name) best = e->d_name;
            ok = true;
        }
    }
    closedir(d);
    if (ok) *found = best;
    return ok;
}

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && IsDirectory(path);
}

bool MakeFolders(const std::string& path) {
    if (path.empty() || IsDirectory(path)) return true;
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return false;
    return MakeFolder(path);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string Canonical(const std::string& path) {
    char buffer[PATH_MAX];
    if (!realpath(path.c_str(), buffer)) return std::string();
    return buffer;
}

bool RemoveTreeUnchecked(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (S_ISDIR(st.st_mode)) {
        bool ok = true;
        for (const std::string& name : ListDirectory(path)) ok = RemoveTreeUnchecked(Join(path, name)) && ok;
        return rmdir(path.c_str()) == 0 && ok;
    }
    // Files and symbolic links alike are unlinked, never followed.
    return unlink(path.c_str()) == 0;
}

}  // namespace

// --- Roots -------------------------------------------------------------------------------------

const std::string& ResourceRoot() {
    std::lock_guard<std::mutex> lock(gRootsMutex);
    if (!gResourceRootSet) {
        gResourceRoot = DefaultResourceRoot();
        gResourceRootSet = true;
    }
    return gResourceRoot;
}

void SetResourceRoot(const std::string& dir) {
    std::lock_guard<std::mutex> lock(gRootsMutex);
    gResourceRoot = dir;
    gResourceRootSet = true;
}

const std::string& DataRoot() {
    std::lock_guard<std::mutex> lock(gRootsMutex);
    if (!gDataRootSet) {
        gDataRoot = DefaultDataRoot();
        gDataRootSet = true;
    }
    return gDataRoot;
}

void SetDataRoot(const std::string& dir) {
    std::lock_guard<std::mutex> lock(gRootsMutex);
    gDataRoot = dir;
    gDataRootSet = true;
}

void ResetRoots() {
    std::lock_guard<std::mutex> lock(gRootsMutex);
    gResourceRootSet = false;
    gDataRootSet = false;
}

bool EnsureDataRoot() { return MakeFolders(DataRoot()); }

std::string DataRootProblem() {
    std::string root = DataRoot();
    struct stat st;
    if (stat(root.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) return "is a file, not a folder";
    if (!MakeFolders(root)) {
        int error = errno;
        if (error == EEXIST || error == ENOTDIR) return "lies inside something that is not a folder";
        return std::string("cannot be created (") + std::strerror(error) + ")";
    }
    // A small file, written and removed: a folder on a full disk can often still take an empty one.
    std::string probe = Join(root, ".write-test-" + std::to_string(getpid()));
    int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        int error = errno;
        if (error == EROFS || error == EACCES || error == EPERM) return "is read-only";
        if (error == ENOSPC || error == EDQUOT) return "has no space left";
        return std::string("cannot be written to (") + std::strerror(error) + ")";
    }
    static const uint8_t kBlock[16384] = {};
    bool written = WriteAll(fd, kBlock, sizeof kBlock) && fsync(fd) == 0;
    int error = errno;
    close(fd);
    unlink(probe.c_str());
    if (written) return std::string();
    if (error == ENOSPC || error == EDQUOT) return "has no space left";
    return std::string("cannot be written to (") + std::strerror(error) + ")";
}

bool HoldsResources(const std::string& dir) {
    bool complete = false;
    std::string graphics = ResolveCase(dir, "Graphics", &complete);
    return complete && IsDirectory(graphics);
}

std::vector<std::string> ResourceCandidates() {
    std::string programDir = ProgramDirectory();
    std::vector<std::string> candidates = {programDir};
    // <prefix>/bin/quorlslide finds <prefix>/share/quorlslide wherever the prefix was moved.
    size_t slash = programDir.find_last_of('/');
    if (slash != std::string::npos) {
        std::string prefix = slash == 0 ? std::string() : programDir.substr(0, slash);
        candidates.push_back(prefix + "/share/quorlslide");
    }
#ifdef QS_INSTALL_DATADIR
    candidates.push_back(QS_INSTALL_DATADIR);
#endif
    return candidates;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) return path;
    return Join(buffer, path);
}

std::string ProgramDirectory() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0) return ".";
    buffer[n] = '\0';
    std::string path(buffer);
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

// --- Path translation --------------------------------------------------------------------------

std::string ToPosix(std::string_view gamePath) {
    std::string out;
    out.reserve(gamePath.size());
    bool absolute = IsAbsolute(gamePath);
    if (absolute) out.push_back('/');
    size_t i = 0;
    while (i < gamePath.size()) {
        size_t j = i;
        while (j < gamePath.size() && gamePath[j] != '/' && gamePath[j] != '\\') ++j;
        std::string_view part = gamePath.substr(i, j - i);
        if (!part.empty() && part != ".") {
            if (!out.empty() && out.back() != '/') out.push_back('/');
            out.append(part);
        }
        i = j + 1;
    }
    return out;
}

std::string ResolveCase(const std::string& base, std::string_view gamePath, bool* complete) {
    std::string posix = ToPosix(gamePath);
    std::string current = IsAbsolute(posix) ? std::string("/") : base;
    bool found = true;
    size_t i = IsAbsolute(posix) ? 1 : 0;
    while (i <= posix.size()) {
        size_t j = posix.find('/', i);
        if (j == std::string::npos) j = posix.size();
        std::string part = posix.substr(i, j - i);
        if (!part.empty()) {
            std::string match;
            if (found && part != ".." && MatchInFolder(current, part, &match)) {
                current = Join(current, match);
            } else {
                found = found && part == ".." && IsDirectory(Join(current, part));
                current = Join(current, part);
            }
        }
        i = j + 1;
    }
    if (complete) *complete = found;
    return current;
}

std::string FindForRead(std::string_view gamePath) {
    if (gamePath.empty()) return std::string();
    bool complete = false;
    if (IsAbsolute(gamePath)) {
        std::string path = ResolveCase("/", gamePath, &complete);
        return complete ? path : std::string();
    }
    std::string path = ResolveCase(DataRoot(), gamePath, &complete);
    if (complete) return path;
    path = ResolveCase(ResourceRoot(), gamePath, &complete);
    return complete ? path : std::string();
}

std::string PathForWrite(std::string_view gamePath) {
    return ResolveCase(IsAbsolute(gamePath) ? std::string("/") : DataRoot(), gamePath);
}

// --- Whole files -------------------------------------------------------------------------------

int64_t FileSize(std::string_view gamePath) {
    std::string path = FindForRead(gamePath);
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool ReadWhole(std::string_view gamePath, std::vector<uint8_t>& out, size_t maxSize) {
    out.clear();
    std::string path = FindForRead(gamePath);
    if (path.empty()) return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > std::min(maxSize, kMaxReadSize)) {
        close(fd);
        return false;
    }
    out.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n = read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(fd);
    // A file that shrank while we read it yields what was there.
    out.resize(done);
    return true;
}

namespace {

// A write cut off by a crash or a kill leaves "<name>.tmp<pid>" behind. Once the file itself has
// been written again, such a leftover of a process that no longer runs is removed.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
    std::string prefix = name + ".tmp";
    for (const std::string& entry : ListDirectory(folder)) {
        if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) continue;
        std::string digits = entry.substr(prefix.size());
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        pid_t pid = static_cast<pid_t>(std::strtol(digits.c_str(), nullptr, 10));
        if (pid <= 0 || pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH) continue;
        std::string path = folder + "/" + entry;
        if (IsRegularFile(path)) unlink(path.c_str());
    }
}

}  // namespace

bool WriteWholeAtomic(std::string_view gamePath, const void* data, size_t size) {
    std::string target = PathForWrite(gamePath);
    size_t slash = target.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash ? slash : 1);
    if (!MakeFolders(folder)) return false;
    if (IsDirectory(target)) return false;

    std::string temp = target + ".tmp" + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    RemoveStaleTemporaries(folder, target.substr(folder.size() + 1));
    return true;
}

// --- Files and folders -------------------------------------------------------------------------

bool Exists(std::string_view gamePath) { return !FindForRead(gamePath).empty(); }

bool IsDirectory(const std::string& realPath) {
    struct stat st;
    return stat(realPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& realPath) {
    struct stat st;
    return stat(realPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CreateDirectories(std::string_view gamePath) { return MakeFolders(PathForWrite(gamePath)); }

std::vector<std::string> ListDirectory(const std::string& realPath) {
    std::vector<std::string> names;
    DIR* d = opendir(realPath.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.emplace_back(e->d_name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveTree(const std::string& realPath, const std::string& container) {
    std::string inside = Canonical(container);
    if (inside.empty()) return false;
    // The target itself may be a link: judge the folder it stands in, then the name.
    size_t slash = realPath.find_last_of('/');
    if (slash == std::string::npos) return false;
    std::string parent = Canonical(slash == 0 ? std::string("/") : realPath.substr(0, slash));
    std::string name = realPath.substr(slash + 1);
    if (parent.empty() || name.empty() || name == "." || name == "..") return false;
    std::string prefix = inside == "/" ? inside : inside + "/";
    if (parent != inside && parent.compare(0, prefix.size(), prefix) != 0) return false;
    return RemoveTreeUnchecked(Join(parent, name));
}

bool RemoveFile(const std::string& realPath) { return unlink(realPath.c_str()) == 0; }

bool RenameFile(const std::string& fromRealPath, const std::string& toRealPath) {
    if (!IsRegularFile(fromRealPath) || IsDirectory(toRealPath)) return false;
    if (rename(fromRealPath.c_str(), toRealPath.c_str()) != 0) return false;
    size_t slash = toRealPath.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string(".") : toRealPath.substr(0, slash ? slash : 1);
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

}  // namespace Files
