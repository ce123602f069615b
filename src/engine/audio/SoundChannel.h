// One playable copy of a sound: a mixer voice over a shared SoundBuffer with its own volume and
// frequency. Registers itself with Audio so a global volume change reaches it.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/audio/Mixer.h"
#include "engine/audio/SoundBuffer.h"

class SoundChannel {
public:
    // Frequencies a channel may be set to, in source frames per second.
    static constexpr int kMinFrequency = 100;
    static constexpr int kMaxFrequency = 100000;

    explicit SoundChannel(std::shared_ptr<const SoundBuffer> buffer);
    ~SoundChannel();
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    // A new channel sharing this one's sample memory, at full volume and its own base frequency.
    std::unique_ptr<SoundChannel> Duplicate() const;
    // False when the mixer refused the buffer; such a channel plays nothing.
    bool IsValid() const { return mVoice.IsValid(); }

    // Stops, sets the volume, rewinds and plays once (or round and round until stopped).
    void Play(float volume, bool loop = false);
    void Stop();
    bool IsPlaying() const;
    // Remembers `volume` (0..1) and applies it under the global volume.
    void SetVolume(float volume);
    // Frequency = base frequency x factor, truncated and clamped to 100..100000.
    void SetPitch(float factor);
    void ResetPitch();

    float Volume() const { return mVolume; }
    int BaseFrequency() const { return mBaseFrequency; }
    int Frequency() const { return mFrequency; }
    int Attenuation() const { return mAttenuation; }  // hundredths of a decibel, last applied
    uint32_t Position() const;                        // next source frame to be played
    const std::shared_ptr<const SoundBuffer>& Buffer() const { return mBuffer; }

private:
    void ApplyFrequency(int frequency);

    std::shared_ptr<const SoundBuffer> mBuffer;
    Mixer::Handle mVoice;
    float mVolume = 1.0f;
    int mBaseFrequency = 44100;
    int mFrequency = 44100;
    int mAttenuation = 0;
};
