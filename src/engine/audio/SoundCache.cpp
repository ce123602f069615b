// Reading goes through the byte buffer, whose sticky error flag turns any short read into a refusal;
// writing builds the same layout and hands it to the atomic whole-file write.
#include "engine/audio/SoundCache.h"

#include "persistence/DataBuffer.h"
#include "platform/FileSystem.h"
#include "support/DebugLog.h"

namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::string SoundCache::PathFor(std::string_view name) {
    size_t lastSeparator = name.find_last_of("\\/");
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && (lastSeparator == std::string_view::npos || dot > lastSeparator))
        name = name.substr(0, dot);
    return "cached\\" + std::string(name) + ".cached";
}

bool SoundCache::Parse(const uint8_t* bytes, size_t size, SoundBuffer& out) {
    if (bytes == nullptr || size < kHeaderSize || size > Files::kMaxReadSize) return false;
    DataBuffer reader;
    reader.SetData(bytes, size);

    uint8_t formatBytes[16];
    uint8_t description[36];
    reader.ReadBytes(formatBytes, sizeof formatBytes);
    reader.ReadBytes(description, sizeof description);
    int32_t dataSize = reader.ReadInt();
    if (reader.Error()) return false;

    WaveFormat format;
    format.formatTag = U16(formatBytes);
    format.channels = U16(formatBytes + 2);
    format.samplesPerSecond = U32(formatBytes + 4);
    format.averageBytesPerSecond = U32(formatBytes + 8);
    format.blockAlign = U16(formatBytes + 12);
    format.bitsPerSample = U16(formatBytes + 14);
    if (!SoundBuffer::IsPlayable(format)) return false;

    if (U32(description) != kDescriptionSize) return false;
    if (dataSize <= 0 || static_cast<size_t>(dataSize) != size - kHeaderSize) return false;
    if (U32(description + 8) != static_cast<uint32_t>(dataSize)) return false;
    if (dataSize % format.blockAlign != 0) return false;

    std::vector<uint8_t> data(static_cast<size_t>(dataSize));
    reader.ReadBytes(data.data(), dataSize);
    if (reader.Error()) return false;
    out = SoundBuffer(format, std::move(data));
    return true;
}

std::vector<uint8_t> SoundCache::Serialize(const SoundBuffer& buffer) {
    const WaveFormat& format = buffer.Format();
    const std::vector<uint8_t>& data = buffer.Data();
    std::vector<uint8_t> bytes(kHeaderSize + data.size(), 0);
    uint8_t* p = bytes.data();
    Put16(p, format.formatTag);
    Put16(p + 2, format.channels);
    Put32(p + 4, format.samplesPerSecond);
    Put32(p + 8, format.averageBytesPerSecond);
    Put16(p + 12, format.blockAlign);
    Put16(p + 14, format.bitsPerSample);
    // Description: size, flags, buffer bytes; the reserved word, the on-disk-meaningless word and
    // the 16-byte algorithm identifier stay zero.
    Put32(p + 16, kDescriptionSize);
    Put32(p + 20, kBufferFlags);
    Put32(p + 24, static_cast<uint32_t>(data.size()));
    Put32(p + 52, static_cast<uint32_t>(data.size()));
    std::copy(data.begin(), data.end(), bytes.begin() + kHeaderSize);
    return bytes;
}

bool SoundCache::Load(std::string_view name, SoundBuffer& out) {
    std::string path = PathFor(name);
    if (!Files::Exists(path)) return false;
    std::vector<uint8_t> bytes;
    if (!Files::ReadWhole(path, bytes) || !Parse(bytes.data(), bytes.size(), out)) {
        DebugLog::Log("Sound cache %s is damaged; decoding the sound again", path.c_str());
        return false;
    }
    return true;
}

bool SoundCache::Save(std::string_view name, const SoundBuffer& buffer) {
    std::vector<uint8_t> bytes = Serialize(buffer);
    std::string path = PathFor(name);
    if (!Files::WriteWholeAtomic(path, bytes.data(), bytes.size())) {
        DebugLog::Log("Could not write sound cache %s", path.c_str());
        return false;
    }
    return true;
}
