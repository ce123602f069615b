// The engine's own mixer behind the audio device: one voice per sound channel, each playing a
// shared SoundBuffer from its start (once, or round and round without a gap), resampled to
// 44.1 kHz stereo at its own frequency and gain, summed and clipped to 16 bits.
//
// Thread rule: the device thread calls Mix; every other operation comes from the game's threads.
// All of them take one mutex, and no operation holds it for more than a few field writes except
// Mix itself, so neither side ever waits longer than one buffer takes to mix. Sample memory is
// never freed under the lock or on the device thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/audio/SoundBuffer.h"

class Mixer {
public:
    static constexpr int kOutputRate = 44100;
    static constexpr int kOutputChannels = 2;
    // Gains are 16.16 fixed point; this is full volume.
    static constexpr int32_t kUnityGain = 1 << 16;

    // Names one voice. Serials are never reused, so a handle outliving its voice (or a Clear)
    // only ever refers to nothing.
    struct Handle {
        uint32_t index = 0;
        uint32_t serial = 0;
        bool IsValid() const { return serial != 0; }
    };

    Mixer();
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // A stopped voice at the buffer's own rate and full gain. Invalid handle for an unplayable buffer.
    Handle AddVoice(std::shared_ptr<const SoundBuffer> buffer);
    void RemoveVoice(Handle voice);
    // Drops every voice (shutdown); their buffers are released after the lock is let go.
    void Clear();

    // Rewinds and plays; the voice stops by itself after its last frame unless it loops.
    void Start(Handle voice);
    // A looping voice goes on from its first frame right after its last, in the same output
    // frame, until it is stopped.
    void SetLooping(Handle voice, bool looping);
    bool IsLooping(Handle voice) const;
    void Stop(Handle voice);
    // Linear gain, 0..1 (clamped).
    void SetGain(Handle voice, float gain);
    // Source frames read per second; 44100 plays a 44.1 kHz buffer at its own pitch.
    void SetFrequency(Handle voice, int frequency);
    // Paused voices keep their place and resume where they were.
    void SetPaused(Handle voice, bool paused);

    bool IsPlaying(Handle voice) const;
    // The source frame the voice will read next.
    uint32_t Position(Handle voice) const;
    int32_t Gain(Handle voice) const;
    int Frequency(Handle voice) const;
    int VoiceCount() const;

    // While muted, voices advance as usual but the output is silence (the window is in the back).
    void SetMuted(bool muted);
    bool IsMuted() const;

    // Writes `frames` interleaved stereo frames. With `out` null the voices only advance.
    void Mix(int16_t* out, int frames);

    // Matches the audio device's fill callback; `user` is the Mixer.
    static void FillCallback(void* user, int16_t* out, int frames);

private:
    struct Voice {
        std::shared_ptr<const SoundBuffer> buffer;
        const uint8_t* samples = nullptr;
        uint32_t frames = 0;
        uint16_t channels = 0;
        uint16_t bits = 0;
        uint32_t serial = 0;  // 0: free slot
        uint64_t position = 0;  // 32.32 fixed point, in source frames
        uint64_t step = 0;      // source frames per output frame, 32.32
        int32_t gain = kUnityGain;
        int frequency = 0;
        bool playing = false;
        bool paused = false;
        bool looping = false;
    };

    Voice* Find(Handle voice);
    const Voice* Find(Handle voice) const;
    void MixChunk(int32_t* accumulator, int frames, bool audible);

    mutable std::mutex mLock;
    std::vector<Voice> mVoices;
    std::vector<uint32_t> mFreeSlots;
    uint32_t mNextSerial = 1;
    bool mMuted = false;
};
