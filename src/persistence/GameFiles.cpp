// The checks behind GameFiles.h; they only ask the file layer.
#include "persistence/GameFiles.h"

#include "platform/FileSystem.h"

namespace GameFiles {

bool FileExists(std::string_view path) {
    std::string found = Files::FindForRead(path);
    return !found.empty() && Files::IsRegularFile(found);
}

}  // namespace GameFiles
