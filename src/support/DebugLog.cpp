// DebugLog: the file branch only. Each line is appended with its own open and close, so the file
// is complete up to the last line even when the game dies right after writing it.
#include "support/DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "platform/FileSystem.h"

namespace {

std::mutex gLogMutex;
bool gEnabled = false;
std::string gPath;

}  // namespace

void DebugLog::Start() {
    std::lock_guard<std::mutex> lock(gLogMutex);
    gEnabled = true;
    gPath.clear();
    if (!Files::EnsureDataRoot()) {
        std::fprintf(stderr, "Debug log: the data folder %s cannot be created; logging to standard error\n",
                     Files::DataRoot().c_str());
        return;
    }
    std::string path = Files::PathForWrite("DEBUG.TXT");
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fclose(f);
        gPath = path;
    } else {
        std::fprintf(stderr, "Debug log: cannot write %s; logging to standard error\n", path.c_str());
    }
}

void DebugLog::Continue() {
    std::lock_guard<std::mutex> lock(gLogMutex);
    gEnabled = true;
    gPath.clear();
    if (!Files::EnsureDataRoot()) return;
    std::string path = Files::PathForWrite("DEBUG.TXT");
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::fclose(f);
        gPath = path;
    }
}

void DebugLog::Log(const char* format, ...) {
    char message[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);

    std::lock_guard<std::mutex> lock(gLogMutex);
    if (!gEnabled) return;
    if (!gPath.empty()) {
        if (FILE* f = std::fopen(gPath.c_str(), "ab")) {
            std::fputs(message, f);
            std::fputs("\r\n", f);
            std::fclose(f);
            return;
        }
    }
    std::fprintf(stderr, "%s\n", message);
}

bool DebugLog::Enabled() {
    std::lock_guard<std::mutex> lock(gLogMutex);
    return gEnabled;
}

std::string DebugLog::FilePath() {
    std::lock_guard<std::mutex> lock(gLogMutex);
    return gPath;
}

void DebugLog::Stop() {
    std::lock_guard<std::mutex> lock(gLogMutex);
    gEnabled = false;
    gPath.clear();
}
