// Loading order: the decoded copy in the sound cache, then the Ogg file, then the WAV file; a
// freshly decoded sound is written back to the cache when the application allows it.
#include "engine/audio/Sound.h"

#include <algorithm>

#include "engine/audio/Audio.h"
#include "engine/audio/OggDecoder.h"
#include "engine/audio/SoundCache.h"
#include "engine/audio/WavParser.h"
#include "platform/FileSystem.h"
#include "support/DebugLog.h"

namespace {

constexpr const char* kBadFileMessage = "Could not load sound (3)";
constexpr const char* kNoBufferMessage = "Could not load sound (5)";

}  // namespace

Sound::~Sound() = default;

bool Sound::Fail(const char* message) {
    DebugLog::Log("%s: %s", mName.c_str(), message);
    Audio::Get().ShowMessage(message);
    return false;
}

bool Sound::Load(std::string_view name, int copies) {
    mChannels.clear();
    mNextChannel = 0;
    mSource = SoundSource::None;
    mName = std::string(name);
    Audio& audio = Audio::Get();
    if (!audio.IsEnabled()) return false;

    SoundBuffer buffer;
    SoundSource source = SoundSource::None;
    std::vector<uint8_t> bytes;
    std::string ogg = mName + ".ogg";
    std::string wav = mName + ".wav";
    if (SoundCache::Load(mName, buffer)) {
        source = SoundSource::Cache;
    } else if (Files::Exists(ogg)) {
        if (!Files::ReadWhole(ogg, bytes) || !OggDecoder::Decode(bytes.data(), bytes.size(), buffer))
            return Fail(kNoBufferMessage);
        source = SoundSource::Ogg;
    } else if (Files::Exists(wav)) {
        if (!Files::ReadWhole(wav, bytes)) return Fail(kNoBufferMessage);
        WavParser::Result result = WavParser::Parse(bytes.data(), bytes.size(), buffer);
        if (result == WavParser::Result::BadFile) return Fail(kBadFileMessage);
        if (result == WavParser::Result::NoSamples) return Fail(kNoBufferMessage);
        source = SoundSource::Wav;
    } else {
        return Fail(kNoBufferMessage);
    }
    std::vector<uint8_t>().swap(bytes);

    auto shared = std::make_shared<const SoundBuffer>(std::move(buffer));
    auto first = std::make_unique<SoundChannel>(shared);
    if (!first->IsValid()) return Fail(kNoBufferMessage);
    mChannels.push_back(std::move(first));
    for (int i = 1; i < copies; ++i) mChannels.push_back(mChannels.front()->Duplicate());
    mSource = source;

    if (source != SoundSource::Cache && audio.WritesCache()) SoundCache::Save(mName, *shared);
    return true;
}

SoundChannel* Sound::NextChannel() {
    if (mChannels.empty()) return nullptr;
    if (mNextChannel >= mChannels.size()) mNextChannel = 0;
    SoundChannel* channel = mChannels[mNextChannel].get();
    mNextChannel = (mNextChannel + 1) % mChannels.size();
    return channel;
}

SoundChannel* Sound::StartableChannel() {
    Audio& audio = Audio::Get();
    if (!audio.IsEnabled() || audio.Volume() <= 0.0f) return nullptr;
    return NextChannel();
}

void Sound::Play(float volume) {
    if (SoundChannel* channel = StartableChannel()) {
        // A channel last used by PlayPitched would otherwise keep that pitch.
        channel->ResetPitch();
        channel->Play(volume);
    }
}

void Sound::PlayLooped(float volume) {
    if (SoundChannel* channel = StartableChannel()) {
        channel->ResetPitch();
        channel->Play(volume, true);
    }
}

void Sound::PlayPitched(float pitch, float volume) {
    if (SoundChannel* channel = StartableChannel()) {
        channel->SetPitch(pitch);
        channel->Play(volume);
    }
}

bool Sound::IsPlaying() const {
    return std::any_of(mChannels.begin(), mChannels.end(), [](const auto& c) { return c->IsPlaying(); });
}

void Sound::Stop() {
    for (auto& channel : mChannels) channel->Stop();
}

SoundChannel* Sound::Channel(int index) const {
    if (index < 0 || index >= ChannelCount()) return nullptr;
    return mChannels[static_cast<size_t>(index)].get();
}
