// The sound device at the platform seam: opens the system's audio output at a fixed format and
// pulls interleaved 16-bit frames from a fill callback on the device's own thread.
#pragma once

#include <cstdint>
#include <string>

class AudioDevice {
public:
    // Called on the device thread; must fill `frames` interleaved frames at `out`.
    using FillCallback = void (*)(void* user, int16_t* out, int frames);

    AudioDevice() = default;
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Opens the default output at `rate` Hz, `channels` channels, signed 16 bits, pulling
    // `bufferFrames` frames a time; the system converts if the hardware differs. Starts paused.
    // False (with LastError) when there is no usable device.
    bool Open(int rate, int channels, int bufferFrames, FillCallback fill, void* user);
    void Close();
    bool IsOpen() const { return mDevice != 0; }
    void SetPaused(bool paused);

    const std::string& LastError() const { return mLastError; }
    // The system's name for the audio driver in use ("pulseaudio", "alsa", "dummy"...).
    const std::string& DriverName() const { return mDriverName; }

private:
    static void Callback(void* self, uint8_t* stream, int length);

    uint32_t mDevice = 0;
    int mChannels = 2;
    FillCallback mFill = nullptr;
    void* mUser = nullptr;
    bool mSubsystemStarted = false;
    std::string mLastError;
    std::string mDriverName;
};
