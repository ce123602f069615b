// Sounds, channels and the audio system together, driven the way the game drives them: load from
// the resource folders, play, mix by hand (no device), check channels, volume, messages and cache.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "AudioTestHelpers.h"
#include "engine/audio/Audio.h"
#include "engine/audio/Sound.h"
#include "engine/audio/SoundCache.h"
#include "platform/FileSystem.h"
#include "TestSupport.h"

namespace {

std::string ToneWav(int frames, int16_t value = 8000) {
    AudioTest::WavSpec spec;
    spec.samples = AudioTest::Constant16(frames, 1, value);
    return AudioTest::MakeWav(spec);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSupport::EmptyDataFolder();
        std::error_code ignored;
        std::filesystem::remove_all(Files::ResourceRoot() + "/SoundEffects", ignored);
        Audio& audio = Audio::Get();
        audio.SetMessageHandler([this](const std::string& text) { mMessages.push_back(text); });
        audio.SetWriteCache(true);
        audio.SetSaveSettings(true);
        audio.Init(AudioOutput::Manual);
        audio.SetVolume(1.0f);
        audio.Activate(true);
    }
    void TearDown() override {
        Audio::Get().Shutdown();
        Audio::Get().SetMessageHandler(nullptr);
    }

    // Puts a file into the resource folder under SoundEffects.
    static void Install(const std::string& fileName, const std::string& bytes) {
        std::filesystem::create_directories(Files::ResourceRoot() + "/SoundEffects");
        TestSupport::WriteBytes(Files::ResourceRoot() + "/SoundEffects/" + fileName, bytes);
    }
    static void InstallTone() {
        std::vector<uint8_t> ogg = TestSupport::ReadBytes(AudioTest::GeneratedOgg("tone_mono.ogg"));
        ASSERT_FALSE(ogg.empty());
        Install("tone.ogg", std::string(ogg.begin(), ogg.end()));
    }
    static std::string CacheFile() { return Files::DataRoot() + "/cached/SoundEffects/tone.cached"; }

    static std::vector<int16_t> Mix(int frames) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        Audio::Get().GetMixer().Mix(out.data(), frames);
        return out;
    }
    static int FramesUntilSilent(const Sound& sound) {
        int frames = 0;
        while (sound.IsPlaying() && frames < 1000000) {
            Audio::Get().GetMixer().Mix(nullptr, 1);
            ++frames;
        }
        return frames;
    }

    std::vector<std::string> mMessages;
};

}  // namespace

TEST(AudioVolumeTest, AttenuationRule) {
    const struct {
        float volume;
        bool enabled;
        int expected;
    } cases[] = {
        {1.0f, true, 0},       {0.5f, true, -605},   {0.0f, true, -10000},  {0.01f, true, -2245},
        {1.25f, true, 0},      {-1.0f, true, -10000}, {NAN, true, -10000},  {1.0f, false, -10000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Audio::Attenuation(c.volume, c.enabled), c.expected) << c.volume << (c.enabled ? "" : " disabled");
    EXPECT_FLOAT_EQ(Audio::AttenuationToGain(0), 1.0f);
    EXPECT_FLOAT_EQ(Audio::AttenuationToGain(-10000), 0.0f);
    EXPECT_NEAR(Audio::AttenuationToGain(-600), 0.5012f, 1e-4);
}

TEST_F(SoundTest, GlobalVolumeReachesEveryChannel) {
    Install("beep.wav", ToneWav(1000));
    Sound sound;
    ASSERT_TRUE(sound.Load("SoundEffects\\beep", 2));
    Audio::Get().SetVolume(0.5f, true);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(sound.Channel(i)->Attenuation(), -605) << "channel " << i;

    Audio::Get().SetVolume(0.0f, true);
    sound.Play(1.0f);
    EXPECT_FALSE(sound.IsPlaying()) << "global volume 0 plays nothing";
    for (int16_t sample : Mix(100)) ASSERT_EQ(sample, 0);
}

TEST_F(SoundTest, ThreeCopiesPlayedFourTimesRestartTheFirst) {
    Install("beep.wav", ToneWav(1000));
    Sound sound;
    ASSERT_TRUE(sound.Load("SoundEffects\\beep", 3));
    ASSERT_EQ(sound.ChannelCount(), 3);
    for (int play = 0; play < 3; ++play) {
        sound.Play(1.0f);
        Audio::Get().GetMixer().Mix(nullptr, 100);
    }
    EXPECT_EQ(sound.Channel(0)->Position(), 300u);
    sound.Play(1.0f);
    EXPECT_EQ(sound.Channel(0)->Position(), 0u) << "the fourth play restarts the first channel";
    EXPECT_EQ(sound.Channel(1)->Position(), 200u);
    EXPECT_EQ(sound.Channel(2)->Position(), 100u);
    EXPECT_EQ(sound.Channel(1)->Buffer(), sound.Channel(0)->Buffer()) << "copies share sample memory";
}

TEST_F(SoundTest, PitchChangesDurationAndPlainPlayResetsIt) {
    Install("beep.wav", ToneWav(4410));
    Sound sound;
    ASSERT_TRUE(sound.Load("SoundEffects\\beep", 1));
    sound.PlayPitched(2.0f, 1.0f);
    EXPECT_EQ(sound.Channel(0)->Frequency(), 88200);
    EXPECT_EQ(FramesUntilSilent(sound), 2205);
    sound.Play(1.0f);
    EXPECT_EQ(sound.Channel(0)->Frequency(), 44100);
    EXPECT_EQ(FramesUntilSilent(sound), 4410);

    const struct {
        float factor;
        int expected;
    } clamps[] = {{0.5f, 22050}, {0.001f, 100}, {10.0f, 100000}, {NAN, 100}, {-3.0f, 100}};
    for (const auto& c : clamps) {
        sound.Channel(0)->SetPitch(c.factor);
        EXPECT_EQ(sound.Channel(0)->Frequency(), c.expected) << "pitch " << c.factor;
    }
}

TEST_F(SoundTest, LoadFailuresTellThePlayerAndStaySilent) {
    AudioTest::WavSpec noData;
    noData.dataId = "junk";
    noData.samples = AudioTest::Constant16(10, 1, 1);
    AudioTest::WavSpec emptyData;
    const struct {
        const char* file;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"a.wav", AudioTest::MakeWav(noData), "Could not load sound (3)"},
        {"b.wav", "RIFX" + ToneWav(10).substr(4), "Could not load sound (3)"},
        {"c.wav", AudioTest::MakeWav(emptyData), "Could not load sound (5)"},
        {"d.ogg", std::string(300, 'q'), "Could not load sound (5)"},
        {"e.txt", "nothing to see", "Could not load sound (5)"},
    };
    for (const auto& c : cases) {
        Install(c.file, c.bytes);
        mMessages.clear();
        Sound sound;
        std::string name = std::string("SoundEffects\\") + std::string(c.file).substr(0, 1);
        EXPECT_FALSE(sound.Load(name, 2)) << c.file;
        EXPECT_EQ(mMessages, std::vector<std::string>{c.message}) << c.file;
        EXPECT_EQ(sound.ChannelCount(), 0) << c.file;
        sound.Play(1.0f);
        sound.PlayPitched(1.5f, 1.0f);
        EXPECT_EQ(sound.NextChannel(), nullptr);
    }
    EXPECT_FALSE(std::filesystem::exists(Files::DataRoot() + "/cached")) << "failures must not be cached";
}

TEST_F(SoundTest, SecondStartReadsTheCacheInsteadOfTheOgg) {
    InstallTone();
    std::vector<uint8_t> firstSamples;
    {
        Sound sound;
        ASSERT_TRUE(sound.Load("SoundEffects\\tone", 1));
        EXPECT_EQ(sound.LoadedFrom(), SoundSource::Ogg);
        firstSamples = sound.Channel(0)->Buffer()->Data();
    }
    ASSERT_TRUE(std::filesystem::exists(CacheFile()));

    // A fresh start, and the Ogg file can no longer be decoded: the cache alone must serve.
    Audio::Get().Shutdown();
    Audio::Get().Init(AudioOutput::Manual);
    Install("tone.ogg", "this is no longer an ogg file");
    Sound again;
    ASSERT_TRUE(again.Load("SoundEffects\\tone", 1));
    EXPECT_EQ(again.LoadedFrom(), SoundSource::Cache);
    EXPECT_EQ(again.Channel(0)->Buffer()->Data(), firstSamples);
    EXPECT_TRUE(mMessages.empty());
}

TEST_F(SoundTest, DamagedCacheIsDecodedAgainAndRewritten) {
    InstallTone();
    size_t goodSize = 0;
    {
        Sound sound;
        ASSERT_TRUE(sound.Load("SoundEffects\\tone", 1));
        goodSize = std::filesystem::file_size(CacheFile());
    }
    std::filesystem::resize_file(CacheFile(), goodSize - 100);
    Sound sound;
    ASSERT_TRUE(sound.Load("SoundEffects\\tone", 1));
    EXPECT_EQ(sound.LoadedFrom(), SoundSource::Ogg);
    std::vector<uint8_t> rewritten = TestSupport::ReadBytes(CacheFile());
    SoundBuffer parsed;
    EXPECT_EQ(rewritten.size(), goodSize);
    EXPECT_TRUE(SoundCache::Parse(rewritten.data(), rewritten.size(), parsed));
}

TEST_F(SoundTest, CacheIsWrittenOnlyWhenAllowed) {
    InstallTone();
    Audio::Get().SetWriteCache(false);
    Sound sound;
    ASSERT_TRUE(sound.Load("SoundEffects\\tone", 1));
    EXPECT_FALSE(std::filesystem::exists(CacheFile()));
}

TEST_F(SoundTest, VolumeSettingSurvivesRestartsUnchanged) {
    Audio& audio = Audio::Get();
    audio.SetVolume(0.57f);
    audio.SaveVolume();
    EXPECT_NE(TestSupport::ReadText(Files::DataRoot() + "/game.cfg").find("Volume=57\r\n"), std::string::npos);
    for (int start = 0; start < 3; ++start) {
        audio.Shutdown();
        audio.Init(AudioOutput::Manual);
        EXPECT_FLOAT_EQ(audio.Volume(), 0.57f);
        audio.SaveVolume();
    }
    EXPECT_NE(TestSupport::ReadText(Files::DataRoot() + "/game.cfg").find("Volume=57\r\n"), std::string::npos);

    audio.SetSaveSettings(false);
    audio.SetVolume(0.2f);
    audio.SaveVolume();
    EXPECT_NE(TestSupport::ReadText(Files::DataRoot() + "/game.cfg").find("Volume=57\r\n"), std::string::npos);
}

TEST_F(SoundTest, InactiveWindowIsNotHeard) {
    Install("beep.wav", ToneWav(1000));
    Sound sound;
    ASSERT_TRUE(sound.Load("SoundEffects\\beep", 1));
    sound.Play(1.0f);
    Audio::Get().Activate(false);
    for (int16_t sample : Mix(100)) ASSERT_EQ(sample, 0);
    EXPECT_TRUE(sound.IsPlaying());
    Audio::Get().Activate(true);
    EXPECT_EQ(Mix(1)[0], 8000);
}

TEST_F(SoundTest, NothingHappensWithoutTheAudioSystem) {
    Install("beep.wav", ToneWav(1000));
    Sound early;
    ASSERT_TRUE(early.Load("SoundEffects\\beep", 2));
    Audio::Get().Shutdown();
    EXPECT_EQ(Audio::Get().ChannelCount(), 0u);
    // Channels outliving the shutdown play nothing and go away quietly.
    early.Play(1.0f);
    EXPECT_FALSE(early.IsPlaying());

    Sound late;
    EXPECT_FALSE(late.Load("SoundEffects\\beep", 1));
    EXPECT_EQ(late.ChannelCount(), 0);
    EXPECT_TRUE(mMessages.empty());
}

TEST_F(SoundTest, OutputsPlayInRealTime) {
    Install("blip.wav", ToneWav(2205));  // 50 ms
    for (AudioOutput output : {AudioOutput::Device, AudioOutput::Silent}) {
        Audio::Get().Shutdown();
        Audio::Get().Init(output);
        Sound sound;
        ASSERT_TRUE(sound.Load("SoundEffects\\blip", 1));
        sound.Play(1.0f);
        EXPECT_TRUE(sound.IsPlaying());
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sound.IsPlaying() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_FALSE(sound.IsPlaying()) << (output == AudioOutput::Device ? "device" : "silent");
    }
}
