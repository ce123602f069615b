// A sound effect or piece of music: loaded once (sound cache, then ".ogg", then ".wav") into one
// buffer shared by several channels, and played round-robin so copies of it can overlap.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/audio/SoundChannel.h"

enum class SoundSource { None, Cache, Ogg, Wav };

class Sound {
public:
    Sound() = default;
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Loads `name` (a game path without extension, e.g. "SoundEffects\\pop") into `copies`
    // channels (at least one). Does nothing while the audio system is not running. On failure
    // the player is told ("Could not load sound (3)" or "(5)") and the sound stays silent.
    bool Load(std::string_view name, int copies = 1);

    // Plays the next channel from its start at its own pitch, at `volume` times the global volume.
    // Nothing happens while audio is off, the global volume is 0, or the sound has no channels.
    void Play(float volume = 1.0f);
    // As Play, but the channel starts again from the beginning without a gap until stopped
    // (music).
    void PlayLooped(float volume = 1.0f);
    // As Play, at the channel's base frequency times `pitch`.
    void PlayPitched(float pitch, float volume = 1.0f);
    // The round-robin channel (advancing the cursor, wrapping to the first); null without channels.
    SoundChannel* NextChannel();

    bool IsPlaying() const;  // any channel
    void Stop();             // every channel

    int ChannelCount() const { return static_cast<int>(mChannels.size()); }
    SoundChannel* Channel(int index) const;
    SoundSource LoadedFrom() const { return mSource; }
    const std::string& Name() const { return mName; }

private:
    bool Fail(const char* message);
    SoundChannel* StartableChannel();

    std::vector<std::unique_ptr<SoundChannel>> mChannels;
    size_t mNextChannel = 0;
    SoundSource mSource = SoundSource::None;
    std::string mName;
};
