// Feeds arbitrary bytes through every DataBuffer read: items, strings, lines and statements.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "persistence/DataBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks the order of reads, so one corpus exercises mixed record layouts.
    uint8_t plan = data[0];
    DataBuffer buffer;
    buffer.SetData(data + 1, size - 1);
    for (int step = 0; step < 64 && !buffer.AtEnd(); ++step) {
        switch ((plan >> (step % 4 * 2)) & 3) {
            case 0: buffer.ReadInt(); buffer.ReadFloat(); buffer.ReadBool(); break;
            case 1: buffer.ReadString(); break;
            case 2: {
                uint8_t raw[7];
                buffer.ReadBytes(raw, sizeof raw);
                break;
            }
            case 3: buffer.ReadByte(); break;
        }
    }
    buffer.SetCursor(0);
    while (buffer.ReadLine()) {}
    buffer.SetData(data + 1, size - 1);
    while (buffer.ReadStatement()) {}
    return 0;
}
