// The mixer on its own: summing and clipping, sample layouts, resampling and pitch, gain, mute,
// looping without a gap, stale handles, and mixing on another thread while voices come and go.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "AudioTestHelpers.h"
#include "engine/audio/Mixer.h"

using AudioTest::Buffer16;

namespace {

std::vector<int16_t> Mix(Mixer& mixer, int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2, 12345);
    mixer.Mix(out.data(), frames);
    return out;
}

// Output frames until the voice stops, mixing `chunk` frames a time.
int FramesUntilStopped(Mixer& mixer, Mixer::Handle voice, int chunk = 1) {
    int frames = 0;
    while (mixer.IsPlaying(voice) && frames < 1000000) {
        mixer.Mix(nullptr, chunk);
        frames += chunk;
    }
    return frames;
}

}  // namespace

TEST(MixerTest, TwoVoicesSumAndClip) {
    const struct {
        int16_t a, b, expected;
    } cases[] = {
        {10000, 20000, 30000},
        {20000, -5000, 15000},
        {30000, 30000, 32767},
        {-30000, -30000, -32768},
        {32767, 32767, 32767},
    };
    for (const auto& c : cases) {
        Mixer mixer;
        Mixer::Handle first = mixer.AddVoice(Buffer16(8, 1, 44100, c.a));
        Mixer::Handle second = mixer.AddVoice(Buffer16(8, 2, 44100, c.b));
        mixer.Start(first);
        mixer.Start(second);
        std::vector<int16_t> out = Mix(mixer, 10);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i], c.expected) << c.a << " + " << c.b << " at " << i;
        for (int i = 16; i < 20; ++i) EXPECT_EQ(out[i], 0) << "after the end, sample " << i;
    }
}

TEST(MixerTest, SampleLayoutsReachBothSides) {
    Mixer mixer;
    // 8-bit is unsigned around 128; stereo keeps its sides apart; mono feeds both.
    auto eightBitStereo = std::make_shared<const SoundBuffer>(
        WaveFormat{1, 2, 44100, 88200, 2, 8}, std::vector<uint8_t>{192, 64, 192, 64});
    Mixer::Handle voice = mixer.AddVoice(eightBitStereo);
    mixer.Start(voice);
    std::vector<int16_t> out = Mix(mixer, 2);
    EXPECT_EQ(out[0], 64 << 8);
    EXPECT_EQ(out[1], -(64 << 8));

    auto eightBitMono = std::make_shared<const SoundBuffer>(WaveFormat{1, 1, 44100, 44100, 1, 8}, std::vector<uint8_t>{0});
    Mixer::Handle mono = mixer.AddVoice(eightBitMono);
    mixer.Start(mono);
    out = Mix(mixer, 1);
    EXPECT_EQ(out[0], -32768);
    EXPECT_EQ(out[1], -32768);
}

TEST(MixerTest, FrequencySetsTheDuration) {
    const struct {
        int rate, frequency, frames, expectedOutputFrames;
    } cases[] = {
        {44100, 44100, 4410, 4410},
        {44100, 88200, 4410, 2205},  // pitch 2.0 halves the duration
        {22050, 22050, 2205, 4410},  // a 22.05 kHz file lasts as long as it should
        {44100, 22050, 100, 200},
    };
    for (const auto& c : cases) {
        Mixer mixer;
        Mixer::Handle voice = mixer.AddVoice(Buffer16(c.frames, 1, c.rate, 1000));
        mixer.SetFrequency(voice, c.frequency);
        mixer.Start(voice);
        EXPECT_EQ(FramesUntilStopped(mixer, voice), c.expectedOutputFrames) << c.rate << " Hz at " << c.frequency;
    }
}

TEST(MixerTest, ResamplingInterpolatesBetweenFrames) {
    Mixer mixer;
    auto ramp = std::make_shared<const SoundBuffer>(SoundBuffer::Pcm16(1, 44100),
                                                    std::vector<uint8_t>{0, 0, 0x10, 0x27});  // 0, 10000
    Mixer::Handle voice = mixer.AddVoice(ramp);
    mixer.SetFrequency(voice, 22050);
    mixer.Start(voice);
    std::vector<int16_t> out = Mix(mixer, 5);
    const int16_t expected[] = {0, 5000, 10000, 10000, 0};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(out[2 * i], expected[i], 1) << "frame " << i;
}

TEST(MixerTest, GainMuteAndPause) {
    Mixer mixer;
    Mixer::Handle voice = mixer.AddVoice(Buffer16(100, 1, 44100, 20000));
    mixer.SetGain(voice, 0.5f);
    mixer.Start(voice);
    EXPECT_EQ(Mix(mixer, 10)[0], 10000);

    mixer.SetMuted(true);
    std::vector<int16_t> muted = Mix(mixer, 10);
    for (int16_t sample : muted) ASSERT_EQ(sample, 0);
    EXPECT_EQ(mixer.Position(voice), 20u) << "a muted voice still advances";
    mixer.SetMuted(false);

    mixer.SetPaused(voice, true);
    Mix(mixer, 10);
    EXPECT_EQ(mixer.Position(voice), 20u) << "a paused voice keeps its place";
    mixer.SetPaused(voice, false);

    mixer.SetGain(voice, 0.0f);
    EXPECT_EQ(FramesUntilStopped(mixer, voice, 10), 80) << "a silent voice still ends on time";
}

TEST(MixerTest, LoopingVoiceGoesRoundWithoutAGap) {
    // A 100-frame ramp of non-zero values: a gap at the seam would show as a 0.
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 100; ++i) {
        int16_t value = int16_t((i + 1) * 100);
        bytes.push_back(uint8_t(value & 0xFF));
        bytes.push_back(uint8_t(value >> 8));
    }
    auto ramp = std::make_shared<const SoundBuffer>(SoundBuffer::Pcm16(1, 44100), bytes);
    const struct {
        int frequency, chunk;
    } cases[] = {{44100, 1}, {44100, 37}, {44100, 512}, {44100, 1000}, {88200, 64}};
    for (const auto& c : cases) {
        Mixer mixer;
        Mixer::Handle voice = mixer.AddVoice(ramp);
        mixer.SetFrequency(voice, c.frequency);
        mixer.SetLooping(voice, true);
        mixer.Start(voice);
        std::vector<int16_t> out;
        for (int done = 0; done < 1000; done += c.chunk) {
            std::vector<int16_t> part = Mix(mixer, c.chunk);
            out.insert(out.end(), part.begin(), part.end());
        }
        int step = c.frequency / 44100;
        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ(out[2 * size_t(i)], ((i * step) % 100 + 1) * 100) << "frame " << i << ", chunks of " << c.chunk
                                                                          << " at " << c.frequency;
        EXPECT_TRUE(mixer.IsPlaying(voice));
        // A looping voice that is muted keeps its place in the loop.
        mixer.SetMuted(true);
        uint32_t before = mixer.Position(voice);
        Mix(mixer, 250);
        EXPECT_EQ(mixer.Position(voice), (before + 250u * uint32_t(step)) % 100u);
        mixer.SetMuted(false);
        mixer.Stop(voice);
        EXPECT_EQ(Mix(mixer, 10)[0], 0) << "stopped";
    }
    // Looping is the voice's own setting: switched off, the next start plays once.
    Mixer mixer;
    Mixer::Handle voice = mixer.AddVoice(ramp);
    mixer.SetLooping(voice, true);
    EXPECT_TRUE(mixer.IsLooping(voice));
    mixer.SetLooping(voice, false);
    mixer.Start(voice);
    EXPECT_EQ(FramesUntilStopped(mixer, voice, 7), 105);
}

TEST(MixerTest, StaleHandlesReachNothing) {
    Mixer mixer;
    Mixer::Handle old = mixer.AddVoice(Buffer16(10, 1, 44100, 100));
    mixer.RemoveVoice(old);
    Mixer::Handle reused = mixer.AddVoice(Buffer16(10, 1, 44100, 200));
    ASSERT_EQ(reused.index, old.index) << "the slot should be reused for this check to mean anything";
    mixer.Start(old);
    EXPECT_FALSE(mixer.IsPlaying(reused));
    mixer.Clear();
    mixer.Start(reused);
    EXPECT_FALSE(mixer.IsPlaying(reused));
    EXPECT_EQ(mixer.VoiceCount(), 0);
    EXPECT_FALSE(mixer.AddVoice(nullptr).IsValid());
    EXPECT_FALSE(mixer.AddVoice(std::make_shared<const SoundBuffer>()).IsValid());
}

TEST(MixerTest, MixingThreadSurvivesVoicesComingAndGoing) {
    Mixer mixer;
    std::atomic<bool> stop{false};
    std::thread device([&] {
        std::vector<int16_t> out(2048);
        while (!stop) mixer.Mix(out.data(), 1024);
    });
    for (int round = 0; round < 2000; ++round) {
        Mixer::Handle voice = mixer.AddVoice(Buffer16(64 + round % 500, 1 + round % 2, 44100, 3000));
        mixer.SetFrequency(voice, 30000 + round * 10);
        mixer.Start(voice);
        if (round % 3 == 0) mixer.Stop(voice);
        if (round % 50 == 0) mixer.Clear();
        else mixer.RemoveVoice(voice);
    }
    stop = true;
    device.join();
    EXPECT_EQ(mixer.VoiceCount(), 0);
}
