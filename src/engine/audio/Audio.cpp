// Start-up, shutdown and the volume rules of the audio system. Loading runs on the loader thread
// while the main thread plays, so the channel list has its own lock and the volume is atomic.
#include "engine/audio/Audio.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/audio/SoundChannel.h"
#include "persistence/Registry.h"
#include "platform/AudioDevice.h"
#include "support/DebugLog.h"

namespace {

// Frames per device pull: about 23 milliseconds, short enough for effects to start at once.
constexpr int kDeviceBufferFrames = 1024;

float ClampVolume(float volume) { return std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.0f; }

}  // namespace

Audio& Audio::Get() {
    static Audio instance;
    return instance;
}

Audio::Audio() : mDevice(std::make_unique<AudioDevice>()) {}

Audio::~Audio() { Shutdown(); }

bool Audio::Init(AudioOutput output) {
    if (mEnabled) return mHasDevice;
    mShuttingDown = false;
    mHasDevice = false;
    mDeviceError.clear();

    Registry config;
    config.Load(mConfigPath);
    if (config.Exists("Volume")) mVolume = ClampVolume(static_cast<float>(config.GetInt("Volume")) / 100.0f);
    config.Close();

    mMixer.SetMuted(false);
    if (output == AudioOutput::Device) {
        if (mDevice->Open(Mixer::kOutputRate, Mixer::kOutputChannels, kDeviceBufferFrames, Mixer::FillCallback,
                          &mMixer)) {
            mHasDevice = true;
            mDevice->SetPaused(false);
            DebugLog::Log("Sound device open (%s)", mDevice->DriverName().c_str());
        } else {
            mDeviceError = mDevice->LastError();
            DebugLog::Log("No sound device (%s); playing silently", mDeviceError.c_str());
            output = AudioOutput::Silent;
        }
    }
    if (output == AudioOutput::Silent) mSilent.Start(mMixer);
    mEnabled = true;
    return mHasDevice;
}

void Audio::Shutdown() {
    if (!mEnabled && !mDevice->IsOpen() && !mSilent.IsRunning()) return;
    mShuttingDown = true;
    mEnabled = false;
    mDevice->Close();
    mSilent.Stop();
    mMixer.Clear();
    std::lock_guard<std::mutex> hold(mChannelsLock);
    mChannels.clear();
    mHasDevice = false;
}

void Audio::SetVolume(float volume, bool apply) {
    mVolume = ClampVolume(volume);
    if (!apply) return;
    std::lock_guard<std::mutex> hold(mChannelsLock);
    for (SoundChannel* channel : mChannels) channel->SetVolume(channel->Volume());
}

void Audio::SaveVolume() {
    if (!mSaveSettings) return;
    Registry config;
    config.Load(mConfigPath);
    // A hair over the whole part, so a value read back from "57" (0.57f = 0.5699999...) saves as 57
    // again instead of creeping down by one at every save.
    config.SetInt("Volume", static_cast<int>(static_cast<double>(mVolume.load()) * 100.0 + 1e-3));
    if (!config.Close()) DebugLog::Log("Could not save the sound volume to %s", mConfigPath.c_str());
}

void Audio::Activate(bool active) { mMixer.SetMuted(!active); }

void Audio::SetMessageHandler(MessageHandler handler) {
    std::lock_guard<std::mutex> hold(mMessageLock);
    mMessageHandler = std::move(handler);
}

void Audio::ShowMessage(const std::string& text) {
    MessageHandler handler;
    {
        std::lock_guard<std::mutex> hold(mMessageLock);
        handler = mMessageHandler;
    }
    if (handler) {
        handler(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    DebugLog::Log("%s", text.c_str());
}

int Audio::Attenuation(float volume, bool enabled) {
    if (!enabled) return kSilence;
    double v = ClampVolume(volume);
    int attenuation = static_cast<int>((std::log10(v * 9.0 + 1.0) - 1.0) * 2333.0);
    if (attenuation <= -2333) return kSilence;
    return std::min(attenuation, 0);
}

float Audio::AttenuationToGain(int hundredthsOfDecibel) {
    if (hundredthsOfDecibel <= kSilence) return 0.0f;
    if (hundredthsOfDecibel >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredthsOfDecibel / 2000.0));
}

int Audio::ChannelAttenuation(float channelVolume) const {
    return Attenuation(ClampVolume(mVolume.load()) * ClampVolume(channelVolume), mEnabled.load());
}

void Audio::Register(SoundChannel* channel) {
    std::lock_guard<std::mutex> hold(mChannelsLock);
    mChannels.push_back(channel);
}

void Audio::Unregister(SoundChannel* channel) {
    if (mShuttingDown) return;
    std::lock_guard<std::mutex> hold(mChannelsLock);
    auto found = std::find(mChannels.begin(), mChannels.end(), channel);
    if (found != mChannels.end()) mChannels.erase(found);
}

size_t Audio::ChannelCount() const {
    std::lock_guard<std::mutex> hold(mChannelsLock);
    return mChannels.size();
}
