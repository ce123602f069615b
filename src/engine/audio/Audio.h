// The one audio-device object: opens the sound output (an SDL device, or the silent null backend
// when there is none) with the engine's mixer behind it, holds the global volume, knows every
// channel of every sound so a volume change reaches all of them, and reports load failures.
// Self-contained: the application calls Init at start-up, Activate on focus changes, Shutdown last.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/audio/Mixer.h"
#include "engine/audio/SilentOutput.h"

class AudioDevice;
class SoundChannel;

enum class AudioOutput {
    Device,  // the system's sound device; falls back to Silent when it cannot be opened
    Silent,  // no device: sounds load and play, voices advance in real time, nothing is heard
    Manual,  // no device and nothing advancing the mixer: tests and benchmarks call Mix themselves
};

class Audio {
public:
    // Attenuations are in hundredths of a decibel; this one is silence.
    static constexpr int kSilence = -10000;

    using MessageHandler = std::function<void(const std::string& text)>;

    static Audio& Get();

    // Opens the output at 44.1 kHz, 16-bit stereo and reads "Volume" from the configuration file.
    // Returns whether sound reaches a device; sounds load and play either way.
    bool Init(AudioOutput output = AudioOutput::Device);
    // Closes the output and forgets every channel at once; channels destroyed later do nothing.
    void Shutdown();

    // Global volume 0..1; with `apply`, every channel's own volume is applied again under it.
    void SetVolume(float volume, bool apply = true);
    float Volume() const { return mVolume.load(); }
    // Writes "Volume" (whole percent) into the configuration file, when saving is allowed.
    void SaveVolume();
    // A window in the back is not heard; its sounds go on playing silently.
    void Activate(bool active);

    bool IsEnabled() const { return mEnabled.load(); }  // Init succeeded and not shut down
    bool HasDevice() const { return mHasDevice; }       // sound actually reaches a device
    // Why the sound device could not be opened (empty when it was, or was not asked for).
    const std::string& DeviceError() const { return mDeviceError; }
    bool IsShuttingDown() const { return mShuttingDown.load(); }

    void SetSaveSettings(bool save) { mSaveSettings = save; }
    // Whether loaded sounds are written to the sound cache (on unless the application says not).
    void SetWriteCache(bool write) { mWriteCache = write; }
    bool WritesCache() const { return mWriteCache.load(); }
    // Game path of the configuration file; "game.cfg" in the data folder by default.
    void SetConfigPath(const std::string& path) { mConfigPath = path; }

    // Player-facing load failures go through this; by default to standard error and the debug log.
    void SetMessageHandler(MessageHandler handler);
    void ShowMessage(const std::string& text);

    // The attenuation for volume v (clamped to 0..1): whole part of (log10(v * 9 + 1) - 1) * 2333,
    // silence at -2333 or below and whenever `enabled` is false.
    static int Attenuation(float volume, bool enabled = true);
    // The linear gain an attenuation stands for (0 for silence, 1 for 0).
    static float AttenuationToGain(int hundredthsOfDecibel);
    // The attenuation of a channel at `channelVolume` under the current global volume.
    int ChannelAttenuation(float channelVolume) const;

    Mixer& GetMixer() { return mMixer; }

    // Channel registration (SoundChannel does this itself).
    void Register(SoundChannel* channel);
    void Unregister(SoundChannel* channel);
    size_t ChannelCount() const;

private:
    Audio();
    ~Audio();

    Mixer mMixer;
    std::unique_ptr<AudioDevice> mDevice;
    SilentOutput mSilent;
    std::atomic<float> mVolume{1.0f};
    mutable std::mutex mChannelsLock;
    std::vector<SoundChannel*> mChannels;
    std::atomic<bool> mEnabled{false};
    std::atomic<bool> mShuttingDown{false};
    std::atomic<bool> mWriteCache{true};
    bool mHasDevice = false;
    std::string mDeviceError;
    bool mSaveSettings = true;
    std::string mConfigPath = "game.cfg";
    std::mutex mMessageLock;
    MessageHandler mMessageHandler;
};
