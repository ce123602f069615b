// SDL2 backend of the sound device. The audio subsystem is started and stopped with the device, so
// the video side of the platform layer does not need to know about sound.
#include "platform/AudioDevice.h"

#include <SDL.h>

#include <cstring>

AudioDevice::~AudioDevice() { Close(); }

bool AudioDevice::Open(int rate, int channels, int bufferFrames, FillCallback fill, void* user) {
    Close();
    mLastError.clear();
    if (fill == nullptr || channels < 1 || rate <= 0 || bufferFrames <= 0) {
        mLastError = "bad audio device parameters";
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        mLastError = SDL_GetError();
        return false;
    }
    mSubsystemStarted = true;
    mFill = fill;
    mUser = user;
    mChannels = channels;

    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = static_cast<Uint16>(bufferFrames);
    want.callback = [](void* self, Uint8* stream, int length) { Callback(self, stream, length); };
    want.userdata = this;
    SDL_AudioSpec have;
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        mLastError = SDL_GetError();
        Close();
        return false;
    }
    mDevice = device;
    const char* driver = SDL_GetCurrentAudioDriver();
    mDriverName = driver ? driver : "";
    return true;
}

void AudioDevice::Close() {
    if (mDevice != 0) {
        // Closing waits for a running callback to return, so the fill target may go away after.
        SDL_CloseAudioDevice(mDevice);
        mDevice = 0;
    }
    if (mSubsystemStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        mSubsystemStarted = false;
    }
    mDriverName.clear();
}

void AudioDevice::SetPaused(bool paused) {
    if (mDevice != 0) SDL_PauseAudioDevice(mDevice, paused ? 1 : 0);
}

void AudioDevice::Callback(void* self, uint8_t* stream, int length) {
    auto* device = static_cast<AudioDevice*>(self);
    int frameBytes = device->mChannels * 2;
    int frames = length / frameBytes;
    if (frames > 0) device->mFill(device->mUser, reinterpret_cast<int16_t*>(stream), frames);
    int rest = length - frames * frameBytes;
    if (rest > 0) std::memset(stream + frames * frameBytes, 0, static_cast<size_t>(rest));
}
