// Loads arbitrary bytes as a settings file, reads every kind of value and writes it back.
#include <cstddef>
#include <cstdint>

#include "persistence/Registry.h"
#include "platform/FileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = [] {
        // tmpfs keeps the atomic write (with its fsync) cheap enough to fuzz.
        Files::SetDataRoot(Files::IsDirectory("/dev/shm") ? "/dev/shm/quorlslide-fuzz-registry" : "/tmp/quorlslide-fuzz-registry");
        return Files::EnsureDataRoot();
    }();
    if (!ready) return 0;
    if (!Files::WriteWholeAtomic("fuzz.cfg", data, size)) return 0;
    Registry registry;
    registry.Load("fuzz.cfg");
    for (const Registry::Entry& e : registry.Entries()) {
        registry.GetInt(e.name);
        registry.GetBool(e.name);
        int8_t bytes[16];
        registry.GetByteList(e.name, bytes, 16);
    }
    registry.SetInt("Width", 800);
    registry.Close();
    return 0;
}
