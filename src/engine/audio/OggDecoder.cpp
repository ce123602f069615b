// The Ogg file is read from memory through the decoder's callback interface, so the same entry
// point serves the loader, the tests and the fuzzer. The stream's claimed length is only a hint for
// reserving memory, and a small one at that: a forged granule position must not allocate gigabytes.
#include "engine/audio/OggDecoder.h"

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct MemoryStream {
    const uint8_t* bytes;
    size_t size;
    size_t position;
};

size_t ReadCallback(void* destination, size_t itemSize, size_t count, void* source) {
    auto* stream = static_cast<MemoryStream*>(source);
    if (itemSize == 0) return 0;
    size_t wanted = itemSize * count;
    size_t left = stream->size - stream->position;
    size_t taken = std::min(wanted, left);
    std::memcpy(destination, stream->bytes + stream->position, taken);
    stream->position += taken;
    return taken / itemSize;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
    auto* stream = static_cast<MemoryStream*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(stream->position);
    else if (whence == SEEK_END) base = static_cast<ogg_int64_t>(stream->size);
    else if (whence != SEEK_SET) return -1;
    ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(stream->size)) return -1;
    stream->position = static_cast<size_t>(target);
    return 0;
}

int CloseCallback(void*) { return 0; }

long TellCallback(void* source) { return static_cast<long>(static_cast<MemoryStream*>(source)->position); }

// Vorbis rarely compresses better than 1:20; reserving more than this for a claimed length is trust.
constexpr size_t kReserveRatio = 32;
constexpr int kMaxHoles = 1000;

}  // namespace

bool OggDecoder::Decode(const uint8_t* bytes, size_t size, SoundBuffer& out) {
    if (bytes == nullptr || size == 0) return false;
    MemoryStream stream{bytes, size, 0};
    ov_callbacks callbacks{ReadCallback, SeekCallback, CloseCallback, TellCallback};
    OggVorbis_File file;
    if (ov_open_callbacks(&stream, &file, nullptr, 0, callbacks) != 0) return false;

    vorbis_info* info = ov_info(&file, -1);
    if (info == nullptr || info->channels < 1 || info->channels > 2 ||
        info->rate < static_cast<long>(SoundBuffer::kMinRate) ||
        info->rate > static_cast<long>(SoundBuffer::kMaxRate)) {
        ov_clear(&file);
        return false;
    }
    const int channels = info->channels;
    const long rate = info->rate;
    const size_t blockAlign = static_cast<size_t>(channels) * 2;

    std::vector<uint8_t> data;
    ogg_int64_t total = ov_pcm_total(&file, -1);
    if (total > 0) {
        size_t claimed = static_cast<size_t>(std::min<ogg_int64_t>(total, ogg_int64_t(kMaxDecodedBytes))) * blockAlign;
        data.reserve(std::min({claimed, size * kReserveRatio, kMaxDecodedBytes}));
    }

    char chunk[4096];
    int currentSection = -1;
    int holes = 0;
    while (data.size() < kMaxDecodedBytes) {
        int section = 0;
        long got = ov_read(&file, chunk, sizeof chunk, &section);
        // A gap in the pages; the decoder resynchronises, unless the file is nothing but gaps.
        if (got == OV_HOLE && ++holes < kMaxHoles) continue;
        if (got <= 0) break;
        if (section != currentSection) {
            vorbis_info* now = ov_info(&file, -1);
            if (now == nullptr || now->channels != channels || now->rate != rate) break;
            currentSection = section;
        }
        size_t room = kMaxDecodedBytes - data.size();
        data.insert(data.end(), chunk, chunk + std::min<size_t>(static_cast<size_t>(got), room));
    }
    ov_clear(&file);

    data.resize(data.size() - data.size() % blockAlign);
    if (data.empty()) return false;
    out = SoundBuffer(SoundBuffer::Pcm16(channels, static_cast<int>(rate)), std::move(data));
    return true;
}
