// The sound cache file: its exact layout, and the refusal of any file whose sizes disagree.
#include <gtest/gtest.h>

#include <cstring>

#include "AudioTestHelpers.h"
#include "engine/audio/SoundCache.h"

namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void Set32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); }

}  // namespace

TEST(SoundCacheTest, PathDropsTheExtensionOfTheLastPartOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"SoundEffects\\explode", "cached\\SoundEffects\\explode.cached"},
        {"SoundEffects\\pop.wav", "cached\\SoundEffects\\pop.cached"},
        {"Sound.Effects\\pop", "cached\\Sound.Effects\\pop.cached"},
    };
    for (const auto& [name, path] : cases) EXPECT_EQ(SoundCache::PathFor(name), path) << name;
}

TEST(SoundCacheTest, LayoutRoundTrips) {
    WaveFormat format = SoundBuffer::Pcm16(2, 22050);
    SoundBuffer buffer(format, AudioTest::Constant16(5, 2, -1234));
    std::vector<uint8_t> bytes = SoundCache::Serialize(buffer);

    ASSERT_EQ(bytes.size(), 56u + 20u);
    EXPECT_EQ(bytes[0], 1);                      // PCM
    EXPECT_EQ(bytes[2], 2);                      // channels
    EXPECT_EQ(U32At(bytes, 4), 22050u);          // rate
    EXPECT_EQ(U32At(bytes, 8), 22050u * 4);      // bytes per second
    EXPECT_EQ(bytes[12], 4);                     // block align
    EXPECT_EQ(bytes[14], 16);                    // bits
    EXPECT_EQ(U32At(bytes, 16), 36u);            // description size
    EXPECT_EQ(U32At(bytes, 20), 0xAAu);          // flags
    EXPECT_EQ(U32At(bytes, 24), 20u);            // buffer bytes
    for (size_t i = 28; i < 52; ++i) EXPECT_EQ(bytes[i], 0) << "offset " << i;
    EXPECT_EQ(U32At(bytes, 52), 20u);            // data size

    SoundBuffer back;
    ASSERT_TRUE(SoundCache::Parse(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back.Format().samplesPerSecond, 22050u);
    EXPECT_EQ(back.Format().channels, 2);
    EXPECT_EQ(back.Data(), buffer.Data());
}

TEST(SoundCacheTest, RefusesFilesWhoseSizesDisagree) {
    SoundBuffer buffer(SoundBuffer::Pcm16(2, 44100), AudioTest::Constant16(4, 2, 77));
    const std::vector<uint8_t> good = SoundCache::Serialize(buffer);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    auto with = [&](auto change) {
        std::vector<uint8_t> bytes = good;
        change(bytes);
        return bytes;
    };
    const Case cases[] = {
        {"one byte short", with([](auto& b) { b.pop_back(); })},
        {"one byte extra", with([](auto& b) { b.push_back(0); })},
        {"header only", with([](auto& b) { b.resize(56); Set32(b, 52, 0); Set32(b, 24, 0); })},
        {"cut inside the header", with([](auto& b) { b.resize(40); })},
        {"data size larger than the file", with([](auto& b) { Set32(b, 52, 17); })},
        {"negative data size", with([](auto& b) { Set32(b, 52, 0xFFFFFFF0u); })},
        {"buffer size disagrees", with([](auto& b) { Set32(b, 24, 12); })},
        {"description size wrong", with([](auto& b) { Set32(b, 16, 35); })},
        {"0 channels", with([](auto& b) { b[2] = 0; })},
        {"block align 0", with([](auto& b) { b[12] = 0; })},
        {"not whole frames", with([](auto& b) { b.resize(b.size() - 2); Set32(b, 52, 14); Set32(b, 24, 14); })},
    };
    for (const Case& c : cases) {
        SoundBuffer out(SoundBuffer::Pcm16(1, 999), {9, 9});
        EXPECT_FALSE(SoundCache::Parse(c.bytes.data(), c.bytes.size(), out)) << c.name;
        EXPECT_EQ(out.Format().samplesPerSecond, 999u) << c.name << ": output was overwritten";
    }
}
