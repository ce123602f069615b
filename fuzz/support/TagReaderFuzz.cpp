// Reads every element out of arbitrary text; each call must make progress or end.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/TagText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TagReader reader;
    reader.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (size_t i = 0; i <= size + 1; ++i) {
        if (!reader.ReadElement().found) return 0;
    }
    __builtin_trap();  // more elements than bytes: the reader stopped advancing
}
