// Sound costs: decoding a 60-second Ogg file (generated at build time), and mixing 32 channels for
// one second of output. The "realtime" counters say how many seconds of sound one second of work
// produces: far above 1 is what the game needs.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "engine/audio/Mixer.h"
#include "engine/audio/OggDecoder.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BM_DecodeOgg60Seconds(benchmark::State& state) {
    std::vector<uint8_t> file = ReadFile(QS_BENCH_OGG);
    if (file.empty()) {
        state.SkipWithError("the 60-second Ogg file was not generated");
        return;
    }
    uint32_t frames = 0;
    for (auto _ : state) {
        SoundBuffer out;
        if (!OggDecoder::Decode(file.data(), file.size(), out)) state.SkipWithError("decode failed");
        frames = out.FrameCount();
        benchmark::DoNotOptimize(out.Data().data());
    }
    state.counters["frames"] = frames;
    state.counters["realtime"] = benchmark::Counter(60.0 * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeOgg60Seconds)->Unit(benchmark::kMillisecond);

// Arg 0: every channel at its own rate. Arg 1: every channel pitched (resampled).
void BM_Mix32ChannelsOneSecond(benchmark::State& state) {
    const bool pitched = state.range(0) != 0;
    Mixer mixer;
    std::vector<Mixer::Handle> voices;
    for (int i = 0; i < 32; ++i) {
        int channels = 1 + i % 2;
        int rate = i % 4 < 2 ? 44100 : 22050;
        size_t frames = static_cast<size_t>(rate) * 2;  // longer than the second mixed
        std::vector<uint8_t> samples(frames * channels * 2);
        for (size_t s = 0; s < samples.size(); ++s) samples[s] = static_cast<uint8_t>(s * 31 + i);
        auto buffer = std::make_shared<const SoundBuffer>(SoundBuffer::Pcm16(channels, rate), std::move(samples));
        Mixer::Handle voice = mixer.AddVoice(buffer);
        mixer.SetGain(voice, 0.5f);
        if (pitched) mixer.SetFrequency(voice, rate * (100 + i) / 100);
        voices.push_back(voice);
    }
    std::vector<int16_t> out(1024 * 2);
    for (auto _ : state) {
        for (Mixer::Handle voice : voices) mixer.Start(voice);
        for (int done = 0; done < Mixer::kOutputRate; done += 1024) mixer.Mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["realtime"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mix32ChannelsOneSecond)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
