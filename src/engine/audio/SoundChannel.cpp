// Channel operations map one to one onto mixer voice controls; volume goes through the
// attenuation rule of Audio so that channel, global volume and a closed device all agree.
#include "engine/audio/SoundChannel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/audio/Audio.h"

SoundChannel::SoundChannel(std::shared_ptr<const SoundBuffer> buffer) : mBuffer(std::move(buffer)) {
    Audio& audio = Audio::Get();
    if (mBuffer && mBuffer->Rate() > 0) mBaseFrequency = mBuffer->Rate();
    mFrequency = mBaseFrequency;
    mVoice = audio.GetMixer().AddVoice(mBuffer);
    SetVolume(1.0f);
    // Last, so a volume change on another thread never meets a half-made channel.
    audio.Register(this);
}

SoundChannel::~SoundChannel() {
    Audio& audio = Audio::Get();
    audio.Unregister(this);
    audio.GetMixer().RemoveVoice(mVoice);
}

std::unique_ptr<SoundChannel> SoundChannel::Duplicate() const { return std::make_unique<SoundChannel>(mBuffer); }

void SoundChannel::Play(float volume, bool loop) {
    Mixer& mixer = Audio::Get().GetMixer();
    mixer.Stop(mVoice);
    SetVolume(volume);
    mixer.SetLooping(mVoice, loop);
    mixer.Start(mVoice);
}

void SoundChannel::Stop() { Audio::Get().GetMixer().Stop(mVoice); }

bool SoundChannel::IsPlaying() const { return Audio::Get().GetMixer().IsPlaying(mVoice); }

void SoundChannel::SetVolume(float volume) {
    Audio& audio = Audio::Get();
    mVolume = volume;
    mAttenuation = audio.ChannelAttenuation(volume);
    audio.GetMixer().SetGain(mVoice, Audio::AttenuationToGain(mAttenuation));
}

void SoundChannel::SetPitch(float factor) {
    double frequency = static_cast<double>(mBaseFrequency) * factor;
    // NaN and infinities land on the nearest end of the range instead of in undefined behaviour.
    if (!(frequency >= kMinFrequency)) frequency = kMinFrequency;
    if (frequency > kMaxFrequency) frequency = kMaxFrequency;
    ApplyFrequency(static_cast<int>(frequency));
}

void SoundChannel::ResetPitch() { ApplyFrequency(mBaseFrequency); }

uint32_t SoundChannel::Position() const { return Audio::Get().GetMixer().Position(mVoice); }

void SoundChannel::ApplyFrequency(int frequency) {
    mFrequency = frequency;
    Audio::Get().GetMixer().SetFrequency(mVoice, frequency);
}
