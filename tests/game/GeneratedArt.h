// The pictures, fonts and sounds the build generated, for suites that load the game's real art.
// They sit in the build folder, beside the folder of the test programs.
#pragma once

#include <filesystem>

namespace GeneratedArt {

// The build folder holding "Graphics" and "Fonts"; empty when this build generated no art.
inline std::filesystem::path Root() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    std::filesystem::path root = exe.parent_path().parent_path();
    bool present = std::filesystem::is_directory(root / "Graphics") && std::filesystem::is_directory(root / "Fonts");
    return present ? root : std::filesystem::path();
}

}  // namespace GeneratedArt
