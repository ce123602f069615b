#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "platform/FileSystem.h"

namespace TestSupport {

std::string UseFreshDataFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorlslide-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    std::string dir = made ? made : "/tmp";
    Files::SetDataRoot(dir + "/data");
    Files::SetResourceRoot(dir + "/resources");
    std::filesystem::create_directories(dir + "/data");
    std::filesystem::create_directories(dir + "/resources");
    static struct Cleanup {
        std::string path;
        ~Cleanup() {
            std::error_code ec;
            if (!path.empty()) std::filesystem::remove_all(path, ec);
        }
    } cleanup;
    cleanup.path = dir;
    return dir;
}

void EmptyDataFolder() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(Files::DataRoot(), ec))
        std::filesystem::remove_all(entry.path(), ec);
}

std::vector<uint8_t> ReadBytes(const std::string& realPath) {
    std::ifstream in(realPath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& realPath) {
    std::ifstream in(realPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& realPath, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(realPath).parent_path());
    std::ofstream out(realPath, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string SourceDir() {
    const char* dir = std::getenv("QS_TEST_SOURCE_DIR");
    return dir ? dir : QS_SOURCE_DIR;
}

}  // namespace TestSupport
