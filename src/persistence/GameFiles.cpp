// The checks behind GameFiles.h; they only ask the file layer.
#include "persistence/GameFiles.h"

#include <cstdint>
#include <vector>

#include "platform/FileSystem.h"

namespace GameFiles {

bool FileExists(std::string_view path) {
    std::string found = Files::FindForRead(path);
    return !found.empty() && Files::IsRegularFile(found);
}

bool CanRewrite(std::string_view path) {
    if (!Files::Exists(path)) return true;
    std::vector<uint8_t> bytes;
    return Files::ReadWhole(path, bytes);
}

}  // namespace GameFiles
