// Mixing runs in chunks into a 32-bit accumulator on the stack, one specialised loop per source
// layout (mono/stereo, 8/16 bits), with linear interpolation between source frames when the voice
// is resampled. Index: [SECTION] voices, [SECTION] controls, [SECTION] mixing.
#include "engine/audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr uint64_t kUnitStep = uint64_t(1) << 32;
constexpr int kChunkFrames = 512;

uint64_t StepFor(int frequency) {
    return (static_cast<uint64_t>(std::max(frequency, 0)) << 32) / Mixer::kOutputRate;
}

template <int Channels, int Bits>
inline int32_t SampleAt(const uint8_t* samples, uint32_t frame, int channel) {
    if constexpr (Bits == 16) {
        int16_t value;
        std::memcpy(&value, samples + (static_cast<size_t>(frame) * Channels + channel) * 2, 2);
        return value;
    } else {
        return (static_cast<int32_t>(samples[static_cast<size_t>(frame) * Channels + channel]) - 128) << 8;
    }
}

// Adds one voice's next output frames, at most `frames` and never past its last source frame, to
// `accumulator`; returns the new position and sets `mixed` to the output frames written. A
// looping voice interpolates from its last frame towards its first.
template <int Channels, int Bits>
uint64_t MixVoice(const uint8_t* samples, uint32_t count, uint64_t position, uint64_t step, int32_t gain,
                  int32_t* accumulator, int frames, bool looping, int& mixed) {
    if (step == kUnitStep) {
        uint32_t index = static_cast<uint32_t>(position >> 32);
        int n = index >= count ? 0 : static_cast<int>(std::min<uint64_t>(frames, count - index));
        for (int i = 0; i < n; ++i, ++index) {
            int32_t left = SampleAt<Channels, Bits>(samples, index, 0);
            int32_t right = Channels == 2 ? SampleAt<Channels, Bits>(samples, index, 1) : left;
            accumulator[2 * i] += (left * gain) >> 16;
            accumulator[2 * i + 1] += (right * gain) >> 16;
        }
        mixed = n;
        return position + static_cast<uint64_t>(n) * kUnitStep;
    }
    mixed = 0;
    for (int i = 0; i < frames; ++i) {
        uint32_t index = static_cast<uint32_t>(position >> 32);
        if (index >= count) break;
        uint32_t next = index + 1 < count ? index + 1 : looping ? 0 : index;
        // 15 bits of fraction keep the interpolation product inside 32 bits.
        int32_t fraction = static_cast<int32_t>((position >> 17) & 0x7FFF);
        int32_t l0 = SampleAt<Channels, Bits>(samples, index, 0);
        int32_t l1 = SampleAt<Channels, Bits>(samples, next, 0);
        int32_t left = l0 + (((l1 - l0) * fraction) >> 15);
        int32_t right = left;
        if constexpr (Channels == 2) {
            int32_t r0 = SampleAt<Channels, Bits>(samples, index, 1);
            int32_t r1 = SampleAt<Channels, Bits>(samples, next, 1);
            right = r0 + (((r1 - r0) * fraction) >> 15);
        }
        accumulator[2 * i] += (left * gain) >> 16;
        accumulator[2 * i + 1] += (right * gain) >> 16;
        position += step;
        ++mixed;
    }
    return position;
}

}  // namespace

Mixer::Mixer() { mVoices.reserve(256); }

Mixer::~Mixer() = default;

// [SECTION] voices ------------------------------------------------------------------------------

Mixer::Voice* Mixer::Find(Handle voice) {
    if (!voice.IsValid() || voice.index >= mVoices.size()) return nullptr;
    Voice& v = mVoices[voice.index];
    return v.serial == voice.serial ? &v : nullptr;
}

const Mixer::Voice* Mixer::Find(Handle voice) const {
    return const_cast<Mixer*>(this)->Find(voice);
}

Mixer::Handle Mixer::AddVoice(std::shared_ptr<const SoundBuffer> buffer) {
    if (!buffer || !SoundBuffer::IsPlayable(buffer->Format()) || buffer->FrameCount() == 0) return {};
    Voice voice;
    voice.samples = buffer->Data().data();
    voice.frames = buffer->FrameCount();
    voice.channels = buffer->Format().channels;
    voice.bits = buffer->Format().bitsPerSample;
    voice.frequency = buffer->Rate();
    voice.step = StepFor(voice.frequency);
    voice.buffer = std::move(buffer);

    std::lock_guard<std::mutex> hold(mLock);
    voice.serial = mNextSerial++;
    if (mNextSerial == 0) mNextSerial = 1;
    Handle handle;
    if (!mFreeSlots.empty()) {
        handle.index = mFreeSlots.back();
        mFreeSlots.pop_back();
        mVoices[handle.index] = std::move(voice);
    } else {
        handle.index = static_cast<uint32_t>(mVoices.size());
        mVoices.push_back(std::move(voice));
    }
    handle.serial = mVoices[handle.index].serial;
    return handle;
}

void Mixer::RemoveVoice(Handle voice) {
    std::shared_ptr<const SoundBuffer> release;
    {
        std::lock_guard<std::mutex> hold(mLock);
        Voice* v = Find(voice);
        if (v == nullptr) return;
        release = std::move(v->buffer);
        *v = Voice();
        mFreeSlots.push_back(voice.index);
    }
}

void Mixer::Clear() {
    std::vector<Voice> release;
    {
        std::lock_guard<std::mutex> hold(mLock);
        release.swap(mVoices);
        mFreeSlots.clear();
        mVoices.reserve(256);
    }
}

int Mixer::VoiceCount() const {
    std::lock_guard<std::mutex> hold(mLock);
    return static_cast<int>(mVoices.size() - mFreeSlots.size());
}

// [SECTION] controls ----------------------------------------------------------------------------

void Mixer::Start(Handle voice) {
    std::lock_guard<std::mutex> hold(mLock);
    if (Voice* v = Find(voice)) {
        v->position = 0;
        v->playing = true;
        v->paused = false;
    }
}

void Mixer::SetLooping(Handle voice, bool looping) {
    std::lock_guard<std::mutex> hold(mLock);
    if (Voice* v = Find(voice)) v->looping = looping;
}

bool Mixer::IsLooping(Handle voice) const {
    std::lock_guard<std::mutex> hold(mLock);
    const Voice* v = Find(voice);
    return v != nullptr && v->looping;
}

void Mixer::Stop(Handle voice) {
    std::lock_guard<std::mutex> hold(mLock);
    if (Voice* v = Find(voice)) {
        v->playing = false;
        v->paused = false;
    }
}

void Mixer::SetGain(Handle voice, float gain) {
    float clamped = std::isfinite(gain) ? std::clamp(gain, 0.0f, 1.0f) : 0.0f;
    int32_t fixed = static_cast<int32_t>(std::lround(clamped * kUnityGain));
    std::lock_guard<std::mutex> hold(mLock);
    if (Voice* v = Find(voice)) v->gain = fixed;
}

void Mixer::SetFrequency(Handle voice, int frequency) {
    std::lock_guard<std::mutex> hold(mLock);
    if (Voice* v = Find(voice)) {
        v->frequency = frequency;
        v->step = StepFor(frequency);
    }
}

void Mixer::SetPaused(Handle voice, bool paused) {
    std::lock_guard<std::mutex> hold(mLock);
    if (Voice* v = Find(voice)) v->paused = paused;
}

bool Mixer::IsPlaying(Handle voice) const {
    std::lock_guard<std::mutex> hold(mLock);
    const Voice* v = Find(voice);
    return v != nullptr && v->playing;
}

uint32_t Mixer::Position(Handle voice) const {
    std::lock_guard<std::mutex> hold(mLock);
    const Voice* v = Find(voice);
    return v == nullptr ? 0 : static_cast<uint32_t>(v->position >> 32);
}

int32_t Mixer::Gain(Handle voice) const {
    std::lock_guard<std::mutex> hold(mLock);
    const Voice* v = Find(voice);
    return v == nullptr ? 0 : v->gain;
}

int Mixer::Frequency(Handle voice) const {
    std::lock_guard<std::mutex> hold(mLock);
    const Voice* v = Find(voice);
    return v == nullptr ? 0 : v->frequency;
}

void Mixer::SetMuted(bool muted) {
    std::lock_guard<std::mutex> hold(mLock);
    mMuted = muted;
}

bool Mixer::IsMuted() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mMuted;
}

// [SECTION] mixing ------------------------------------------------------------------------------

void Mixer::MixChunk(int32_t* accumulator, int frames, bool audible) {
    for (Voice& v : mVoices) {
        if (!v.playing || v.paused || v.serial == 0) continue;
        uint64_t end = static_cast<uint64_t>(v.frames) << 32;
        if (end == 0 || v.step == 0) {
            v.playing = false;
            continue;
        }
        if (!audible || v.gain == 0) {
            // Silent voices only move on; the result matches what mixing would have reached.
            v.position += v.step * static_cast<uint64_t>(frames);
            if (v.looping) v.position %= end;
        } else {
            // A looping voice starts again from its first frame as soon as its last one is out,
            // inside the same chunk: no gap.
            int done = 0;
            while (done < frames) {
                int mixed = 0;
                int32_t* out = accumulator + 2 * done;
                int left = frames - done;
                if (v.channels == 1 && v.bits == 16)
                    v.position = MixVoice<1, 16>(v.samples, v.frames, v.position, v.step, v.gain, out, left, v.looping, mixed);
                else if (v.channels == 2 && v.bits == 16)
                    v.position = MixVoice<2, 16>(v.samples, v.frames, v.position, v.step, v.gain, out, left, v.looping, mixed);
                else if (v.channels == 1)
                    v.position = MixVoice<1, 8>(v.samples, v.frames, v.position, v.step, v.gain, out, left, v.looping, mixed);
                else
                    v.position = MixVoice<2, 8>(v.samples, v.frames, v.position, v.step, v.gain, out, left, v.looping, mixed);
                done += mixed;
                if (!v.looping || v.position < end) break;
                v.position -= end;
            }
        }
        if (v.position >= end) {
            v.playing = false;
            v.position = end;
        }
    }
}

void Mixer::Mix(int16_t* out, int frames) {
    int32_t accumulator[kChunkFrames * kOutputChannels];
    std::lock_guard<std::mutex> hold(mLock);
    bool audible = out != nullptr && !mMuted;
    while (frames > 0) {
        int n = std::min(frames, kChunkFrames);
        std::memset(accumulator, 0, sizeof(int32_t) * n * kOutputChannels);
        MixChunk(accumulator, n, audible);
        if (out != nullptr) {
            for (int i = 0; i < n * kOutputChannels; ++i)
                out[i] = static_cast<int16_t>(std::clamp(accumulator[i], -32768, 32767));
            out += n * kOutputChannels;
        }
        frames -= n;
    }
}

void Mixer::FillCallback(void* user, int16_t* out, int frames) {
    static_cast<Mixer*>(user)->Mix(out, frames);
}
