// A tiny deterministic synthesiser. Every sound is a sum of notes written into a float buffer,
// then peak-normalised: effects to -1 dBFS, songs a little lower so music sits under them.
// The music loop wraps its tails around to the start, so it repeats without a seam.
#include "SoundBank.h"

#include "AssetWriter.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace {

constexpr double kRateD = SoundBank::kRate;
constexpr double kTwoPi = 2 * M_PI;

double NoteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

enum class Wave { Sine, Triangle, Saw, Square, Bell, Pluck, Pad };

struct Note {
  double start = 0;      // seconds
  double length = 0.2;   // seconds until release starts
  double hz = 440;
  double endHz = 0;      // 0: no glide; otherwise exponential glide over the length
  double amp = 0.5;
  double attack = 0.005, decay = 0.1, sustain = 0.7, release = 0.1;
  Wave wave = Wave::Sine;
  double vibratoHz = 0, vibratoDepth = 0;  // depth in semitones
  double pan = 0;  // unused in mono, kept for clarity of arrangements
};

class Track {
 public:
  explicit Track(double seconds, bool wrap = false)
      : mSamples(size_t(seconds * kRateD + 0.5), 0.0f), mWrap(wrap) {}

  std::vector<float>& Samples() { return mSamples; }

  void Add(const Note& n) {
    double total = n.length + n.release;
    size_t first = size_t(n.start * kRateD);
    size_t count = size_t(total * kRateD);
    double phase = 0;
    for (size_t i = 0; i < count; ++i) {
      double t = i / kRateD;
      double env;
      if (t < n.attack) env = t / n.attack;
      else if (t < n.attack + n.decay) env = 1 - (1 - n.sustain) * (t - n.attack) / n.decay;
      else env = n.sustain;
      if (t > n.length) env *= std::max(0.0, 1 - (t - n.length) / n.release);
      double hz = n.hz;
      if (n.endHz > 0) hz = n.hz * std::pow(n.endHz / n.hz, std::min(1.0, t / std::max(1e-6, n.length)));
      if (n.vibratoDepth > 0) hz *= std::pow(2.0, n.vibratoDepth / 12 * std::sin(kTwoPi * n.vibratoHz * t));
      phase += hz / kRateD;
      phase -= std::floor(phase);
      double s = 0;
      switch (n.wave) {
        case Wave::Sine: s = std::sin(kTwoPi * phase); break;
        case Wave::Triangle: s = 4 * std::fabs(phase - 0.5) - 1; break;
        case Wave::Saw: {  // a softened saw: a few harmonics only
          for (int k = 1; k <= 6; ++k) s += std::sin(kTwoPi * phase * k) / k;
          s *= 0.6;
          break;
        }
        case Wave::Square: {
          for (int k = 1; k <= 7; k += 2) s += std::sin(kTwoPi * phase * k) / k;
          s *= 0.9;
          break;
        }
        case Wave::Bell:  // inharmonic partials that fade faster the higher they are
          s = std::sin(kTwoPi * phase) + 0.5 * std::sin(kTwoPi * phase * 2.76) * std::exp(-t * 6) +
              0.3 * std::sin(kTwoPi * phase * 5.4) * std::exp(-t * 12);
          s *= 0.6;
          break;
        case Wave::Pluck:
          s = std::sin(kTwoPi * phase) + 0.4 * std::sin(kTwoPi * phase * 2) * std::exp(-t * 8) +
              0.2 * std::sin(kTwoPi * phase * 3) * std::exp(-t * 14);
          s *= 0.7;
          break;
        case Wave::Pad:
          s = 0.6 * std::sin(kTwoPi * phase) + 0.25 * (4 * std::fabs(phase - 0.5) - 1) +
              0.15 * std::sin(kTwoPi * phase * 2);
          break;
      }
      Put(first + i, s * env * n.amp);
    }
  }

  // Filtered noise burst: lowpass cutoff sweeps from hz to endHz; highpass removes rumble.
  void Noise(double start, double length, double amp, double hz, double endHz, double highpassHz,
             uint32_t seed, double attack = 0.002, double releaseShape = 1.0) {
    uint32_t state = seed * 747796405u + 2891336453u;
    double low = 0, lowHp = 0;
    size_t first = size_t(start * kRateD), count = size_t(length * kRateD);
    for (size_t i = 0; i < count; ++i) {
      state = state * 1664525u + 1013904223u;
      double white = (state >> 8) / double(1 << 24) * 2 - 1;
      double t = i / kRateD, u = t / length;
      double cut = hz * std::pow(endHz / hz, u);
      double a = 1 - std::exp(-kTwoPi * cut / kRateD);
      low += a * (white - low);
      double ah = 1 - std::exp(-kTwoPi * highpassHz / kRateD);
      lowHp += ah * (low - lowHp);
      double env = std::min(1.0, t / attack) * std::pow(1 - u, releaseShape);
      Put(first + i, (low - lowHp) * env * amp);
    }
  }

  // A feedback echo for a sense of space.
  void Echo(double delay, double feedback, double mix) {
    size_t d = size_t(delay * kRateD);
    std::vector<float> wet(mSamples.size(), 0.0f);
    for (size_t i = 0; i < mSamples.size(); ++i) {
      double prev = 0;
      if (i >= d) prev = wet[i - d];
      else if (mWrap) prev = wet[mSamples.size() - d + i];
      wet[i] = float(mSamples[i] + prev * feedback);
    }
    if (mWrap) {  // a second pass settles the wrapped tail
      for (size_t i = 0; i < d && i < mSamples.size(); ++i) wet[i] = float(mSamples[i] + wet[mSamples.size() - d + i] * feedback);
    }
    for (size_t i = 0; i < mSamples.size(); ++i) mSamples[i] = float(mSamples[i] * (1 - mix) + wet[i] * mix);
  }

  // Short fades at both ends so effects never click.
  void FadeEnds(double seconds = 0.004) {
    size_t n = std::min(mSamples.size() / 2, size_t(seconds * kRateD));
    for (size_t i = 0; i < n; ++i) {
      float g = float(i) / float(n);
      mSamples[i] *= g;
      mSamples[mSamples.size() - 1 - i] *= g;
    }
  }

 private:
  void Put(size_t index, double value) {
    if (index >= mSamples.size()) {
      if (!mWrap) return;
      index %= mSamples.size();
    }
    mSamples[index] += float(value);
  }

  std::vector<float> mSamples;
  bool mWrap;
};

// ---------------------------------------------------------------------------------------------
// [SECTION] Effects

std::vector<float> Explode() {
  Track t(0.6);
  t.Noise(0, 0.25, 0.5, 3000, 300, 120, 11, 0.002, 2.0);
  const double bubbles[][3] = {{0.0, 300, 900}, {0.04, 420, 1200}, {0.09, 360, 1000}, {0.14, 520, 1500}, {0.2, 460, 1300}};
  for (const auto& b : bubbles) {
    Note n;
    n.start = b[0]; n.hz = b[1]; n.endHz = b[2]; n.length = 0.07; n.release = 0.06;
    n.attack = 0.003; n.decay = 0.05; n.sustain = 0.4; n.amp = 0.45;
    t.Add(n);
  }
  t.Echo(0.06, 0.25, 0.3);
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Shake() {
  Track t(0.9);
  t.Noise(0, 0.85, 1.2, 180, 90, 25, 21, 0.05, 1.2);
  Note n;
  n.hz = 55; n.endHz = 45; n.length = 0.7; n.release = 0.15; n.attack = 0.04; n.amp = 0.45;
  n.vibratoHz = 9; n.vibratoDepth = 0.6;
  t.Add(n);
  std::vector<float>& s = t.Samples();
  for (size_t i = 0; i < s.size(); ++i) s[i] *= float(0.65 + 0.35 * std::sin(kTwoPi * 11 * i / kRateD));
  t.FadeEnds(0.01);
  return s;
}

std::vector<float> Gold() {
  Track t(1.2);
  const int notes[] = {88, 95, 100};
  for (int i = 0; i < 3; ++i) {
    Note n;
    n.start = i * 0.07; n.hz = NoteHz(notes[i]); n.wave = Wave::Bell; n.length = 0.1; n.release = 0.8;
    n.attack = 0.002; n.decay = 0.3; n.sustain = 0.35; n.amp = 0.5;
    t.Add(n);
  }
  t.Echo(0.11, 0.3, 0.3);
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Crack() {
  Track t(0.22);
  t.Noise(0, 0.05, 1.0, 9000, 2500, 1200, 31, 0.0005, 3.0);
  t.Noise(0.035, 0.06, 0.6, 6000, 1500, 900, 32, 0.0005, 3.0);
  Note knock;
  knock.hz = 900; knock.endHz = 500; knock.length = 0.03; knock.release = 0.05; knock.attack = 0.001;
  knock.decay = 0.03; knock.sustain = 0.3; knock.amp = 0.5; knock.wave = Wave::Triangle;
  t.Add(knock);
  t.FadeEnds(0.002);
  return t.Samples();
}

std::vector<float> Shatter() {
  Track t(0.9);
  t.Noise(0, 0.35, 1.0, 12000, 2000, 800, 41, 0.001, 2.0);
  uint32_t state = 4242;
  for (int i = 0; i < 14; ++i) {
    state = state * 1664525u + 1013904223u;
    Note n;
    n.start = 0.01 + (state % 1000) / 1000.0 * 0.45;
    n.hz = 2000 + (state >> 12) % 3000;
    n.wave = Wave::Bell; n.length = 0.02; n.release = 0.25; n.attack = 0.001; n.decay = 0.05;
    n.sustain = 0.3; n.amp = 0.22;
    t.Add(n);
  }
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Drag() {
  Track t(0.4);
  t.Noise(0, 0.4, 1.6, 400, 2400, 250, 51, 0.12, 1.5);
  t.FadeEnds(0.01);
  return t.Samples();
}

std::vector<float> Snap() {
  Track t(0.1);
  t.Noise(0, 0.012, 1.0, 8000, 3000, 1500, 61, 0.0003, 2.0);
  Note n;
  n.hz = 1900; n.endHz = 1400; n.length = 0.02; n.release = 0.04; n.attack = 0.0005; n.decay = 0.02;
  n.sustain = 0.2; n.amp = 0.6; n.wave = Wave::Triangle;
  t.Add(n);
  t.FadeEnds(0.002);
  return t.Samples();
}

std::vector<float> Danger() {
  Track t(1.3);
  for (int i = 0; i < 6; ++i) {
    Note n;
    n.start = i * 0.2; n.hz = i % 2 ? 659.26 : 880; n.length = 0.17; n.release = 0.02;
    n.attack = 0.005; n.decay = 0.05; n.sustain = 0.85; n.amp = 0.45; n.wave = Wave::Square;
    t.Add(n);
  }
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Arpeggio(const std::vector<int>& notes, double step, double tail, Wave wave, double chordAt) {
  Track t(notes.size() * step + tail + 0.1);
  for (size_t i = 0; i < notes.size(); ++i) {
    Note n;
    n.start = i * step; n.hz = NoteHz(notes[i]); n.wave = wave; n.length = step * 1.2; n.release = 0.25;
    n.attack = 0.004; n.decay = 0.12; n.sustain = 0.5; n.amp = 0.4;
    if (chordAt >= 0 && i + 1 == notes.size()) n.length = tail;
    t.Add(n);
  }
  if (chordAt >= 0) {  // a held chord under the last note
    for (int k : {-12, -8, -5}) {
      Note n;
      n.start = chordAt; n.hz = NoteHz(notes.back() + k); n.wave = Wave::Saw; n.length = tail - 0.1;
      n.release = 0.3; n.attack = 0.02; n.decay = 0.2; n.sustain = 0.6; n.amp = 0.2;
      n.vibratoHz = 5; n.vibratoDepth = 0.08;
      t.Add(n);
    }
  }
  t.Echo(0.13, 0.25, 0.25);
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Chirp(bool skull) {
  Track t(skull ? 0.9 : 0.4);
  Note a;
  a.wave = Wave::Sine; a.attack = 0.01; a.decay = 0.05; a.sustain = 0.8; a.amp = 0.5;
  if (!skull) {
    a.hz = 700; a.endHz = 1400; a.length = 0.08; a.release = 0.03;
    t.Add(a);
    a.start = 0.12; a.hz = 1100; a.endHz = 1700; a.length = 0.1; a.release = 0.06;
    a.vibratoHz = 30; a.vibratoDepth = 0.5;
    t.Add(a);
  } else {
    a.hz = 330; a.endHz = 180; a.length = 0.5; a.release = 0.2; a.wave = Wave::Triangle;
    a.vibratoHz = 7; a.vibratoDepth = 1.0; a.amp = 0.55;
    t.Add(a);
    a.hz = 335; a.endHz = 176; a.wave = Wave::Sine; a.amp = 0.35;
    t.Add(a);
    t.Echo(0.15, 0.4, 0.45);
  }
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Pop() {
  Track t(0.12);
  Note n;
  n.hz = 950; n.endHz = 320; n.length = 0.045; n.release = 0.04; n.attack = 0.001; n.decay = 0.03;
  n.sustain = 0.5; n.amp = 0.8;
  t.Add(n);
  t.Noise(0, 0.01, 0.4, 6000, 3000, 1000, 71, 0.0005, 2.0);
  t.FadeEnds(0.002);
  return t.Samples();
}

std::vector<float> Zing() {
  Track t(0.55);
  for (int k = 0; k < 2; ++k) {
    Note n;
    n.hz = 600 * (k ? 1.5 : 1); n.endHz = 2600 * (k ? 1.5 : 1); n.length = 0.3; n.release = 0.2;
    n.attack = 0.01; n.decay = 0.1; n.sustain = 0.7; n.amp = k ? 0.2 : 0.45; n.wave = Wave::Triangle;
    n.vibratoHz = 18; n.vibratoDepth = 0.15;
    t.Add(n);
  }
  t.Echo(0.07, 0.3, 0.3);
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Sparkle(uint32_t seed, double seconds, bool falling) {
  Track t(seconds);
  const int scale[] = {84, 86, 88, 91, 93, 96, 98, 100, 103, 105};
  uint32_t state = seed;
  int count = int(seconds * 14);
  for (int i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
    int idx = std::clamp(int(i * 10 / count) + int((state >> 16) % 3) - 1, 0, 9);
    if (falling) idx = 9 - idx;
    Note n;
    n.start = i * (seconds - 0.4) / count; n.hz = NoteHz(scale[idx]); n.wave = Wave::Bell;
    n.length = 0.03; n.release = 0.35; n.attack = 0.002; n.decay = 0.1; n.sustain = 0.4; n.amp = 0.3;
    t.Add(n);
  }
  t.Echo(0.09, 0.35, 0.35);
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Spin() {
  Track t(1.6);
  double time = 0, gap = 0.035;
  uint32_t seed = 80;
  while (time < 1.45) {
    t.Noise(time, 0.012, 0.9, 5000, 2500, 800, seed++, 0.0003, 2.0);
    Note n;
    n.start = time; n.hz = 1300; n.length = 0.008; n.release = 0.02; n.attack = 0.0005; n.amp = 0.35;
    n.wave = Wave::Triangle;
    t.Add(n);
    time += gap;
    gap *= 1.06;  // the wheel slows down
  }
  t.FadeEnds();
  return t.Samples();
}

std::vector<float> Shimmer(bool over) {
  Track t(over ? 1.0 : 1.4);
  const int chord[] = {76, 79, 83, 88};
  for (int i = 0; i < 4; ++i) {
    Note n;
    n.start = over ? 0 : i * 0.05; n.hz = NoteHz(chord[i] + (over ? -5 : 0)); n.wave = Wave::Sine;
    n.length = over ? 0.4 : 0.8; n.release = 0.4; n.attack = over ? 0.01 : 0.15; n.decay = 0.2; n.sustain = 0.7;
    n.amp = 0.25; n.vibratoHz = 6 + i; n.vibratoDepth = 0.12;
    if (over) n.endHz = n.hz * 0.75;
    t.Add(n);
  }
  std::vector<float> sparkle = Sparkle(over ? 95 : 94, over ? 0.9 : 1.3, over);
  std::vector<float>& s = t.Samples();
  for (size_t i = 0; i < s.size() && i < sparkle.size(); ++i) s[i] += 0.6f * sparkle[i];
  t.Echo(0.12, 0.4, 0.4);
  t.FadeEnds();
  return s;
}

// ---------------------------------------------------------------------------------------------
// [SECTION] Songs

struct Chord {
  int root;           // midi note of the bass
  int tones[3];       // chord tones in the middle octave
};

// A melody generator that stays on chord tones on strong beats and steps through the major
// pentatonic between them; seeded, so the tune is the same on every build.
void Melody(Track& t, const std::vector<Chord>& chords, double barSeconds, int startNote, uint32_t seed,
            double amp, Wave wave, int octaveShift, double offsetSeconds = 0) {
  const int pentatonic[] = {0, 2, 4, 7, 9};
  const int rhythms[][8] = {{2, 0, 1, 1, 2, 0, 2, 0}, {3, 0, 0, 1, 2, 0, 1, 1}, {1, 1, 2, 0, 1, 1, 2, 0},
                            {4, 0, 0, 0, 2, 0, 2, 0}, {2, 0, 2, 0, 4, 0, 0, 0}, {1, 1, 1, 1, 2, 0, 2, 0}};
  uint32_t state = seed;
  int pitch = startNote;
  double eighth = barSeconds / 8;
  for (size_t bar = 0; bar < chords.size(); ++bar) {
    state = state * 1664525u + 1013904223u;
    const int* rhythm = rhythms[(state >> 16) % 6];
    if (bar % 4 == 3) rhythm = rhythms[4];  // phrase ends rest on a long note
    for (int slot = 0; slot < 8; ++slot) {
      int len = rhythm[slot];
      if (len == 0) continue;
      state = state * 1664525u + 1013904223u;
      bool strong = slot % 4 == 0;
      int best = pitch, bestScore = 1000;
      for (int candidate = pitch - 5; candidate <= pitch + 5; ++candidate) {
        int pc = ((candidate % 12) + 12) % 12;
        bool ok = false;
        if (strong) {
          for (int tone : chords[bar].tones) ok = ok || pc == tone % 12;
        } else {
          for (int p : pentatonic) ok = ok || pc == p;
        }
        if (!ok || candidate < 60 || candidate > 81) continue;
        int score = std::abs(candidate - pitch) * 2 + int((state >> (candidate % 13)) % 3);
        if (candidate == pitch) score += 3;
        if (score < bestScore) { bestScore = score; best = candidate; }
      }
      pitch = best;
      Note n;
      n.start = offsetSeconds + bar * barSeconds + slot * eighth;
      n.hz = NoteHz(pitch + 12 * octaveShift); n.wave = wave;
      n.length = len * eighth * 0.85; n.release = 0.18; n.attack = 0.008; n.decay = 0.15; n.sustain = 0.55;
      n.amp = amp; n.vibratoHz = 5; n.vibratoDepth = len >= 3 ? 0.1 : 0;
      t.Add(n);
    }
  }
}

void Accompany(Track& t, const std::vector<Chord>& chords, double barSeconds, double amp, bool shaker) {
  double beat = barSeconds / 4;
  for (size_t bar = 0; bar < chords.size(); ++bar) {
    double start = bar * barSeconds;
    for (int tone : chords[bar].tones) {  // soft pad
      Note n;
      n.start = start; n.hz = NoteHz(tone - 12); n.wave = Wave::Pad; n.length = barSeconds * 0.9; n.release = 0.35;
      n.attack = 0.25; n.decay = 0.4; n.sustain = 0.7; n.amp = amp * 0.28; n.vibratoHz = 4.5; n.vibratoDepth = 0.05;
      t.Add(n);
    }
    for (int b = 0; b < 4; ++b) {  // plucked bass on 1 and 3, a chord tone on 2 and 4
      Note n;
      n.start = start + b * beat; n.wave = Wave::Pluck;
      n.hz = NoteHz(b % 2 == 0 ? chords[bar].root - 12 : chords[bar].root - 5);
      n.length = beat * 0.6; n.release = 0.15; n.attack = 0.004; n.decay = 0.2; n.sustain = 0.35;
      n.amp = amp * (b == 0 ? 0.75 : 0.55);
      t.Add(n);
      if (shaker) {
        t.Noise(start + b * beat + beat / 2, 0.06, amp * 0.18, 9000, 6000, 4000, uint32_t(bar * 4 + b + 900), 0.003, 2);
      }
    }
  }
}

std::vector<Chord> Progression(const std::vector<int>& degrees, int repeat) {
  // Chords of C major by scale degree (1..6), with their roots in the bass octave.
  auto chord = [](int degree) -> Chord {
    switch (degree) {
      case 1: return {48, {60, 64, 67}};
      case 2: return {50, {62, 65, 69}};
      case 4: return {53, {65, 69, 72}};
      case 5: return {55, {67, 71, 74}};
      case 6: return {57, {69, 72, 76}};
      default: return {52, {64, 67, 71}};
    }
  };
  std::vector<Chord> out;
  for (int r = 0; r < repeat; ++r) {
    for (int d : degrees) out.push_back(chord(d));
  }
  return out;
}

std::vector<float> Music() {
  // 24 bars at 96 beats a minute: exactly one minute, then it loops.
  const double bar = 2.5;
  std::vector<Chord> verse = Progression({1, 6, 4, 5, 1, 6, 2, 5}, 1);
  std::vector<Chord> bridge = Progression({4, 5, 3, 6, 4, 5, 1, 5}, 1);
  std::vector<Chord> all = verse;
  all.insert(all.end(), bridge.begin(), bridge.end());
  all.insert(all.end(), verse.begin(), verse.end());
  Track t(all.size() * bar, true);
  Accompany(t, all, bar, 0.5, true);
  // A B A: the verse tune comes back after the bridge, so the minute reads as a song.
  Melody(t, verse, bar, 72, 2024, 0.32, Wave::Bell, 0, 0);
  Melody(t, bridge, bar, 76, 4711, 0.28, Wave::Pluck, 0, 8 * bar);
  Melody(t, verse, bar, 72, 2024, 0.32, Wave::Bell, 0, 16 * bar);
  t.Echo(0.3125, 0.3, 0.25);
  return t.Samples();
}

std::vector<float> PoemSong() {
  const double bar = 2.4;
  std::vector<Chord> chords = Progression({4, 1, 6, 5}, 1);
  Track t(chords.size() * bar + 1.2);
  Accompany(t, chords, bar, 0.45, false);
  Melody(t, chords, bar, 69, 31337, 0.34, Wave::Pluck, 0);
  Note last;
  last.start = chords.size() * bar; last.hz = NoteHz(60); last.wave = Wave::Pad; last.length = 0.6;
  last.release = 0.6; last.attack = 0.05; last.amp = 0.25;
  t.Add(last);
  t.Echo(0.3, 0.35, 0.3);
  t.FadeEnds(0.02);
  return t.Samples();
}

std::vector<float> WonTheme() {
  Track t(3.6);
  const double steps[][3] = {{0, 72, 0.15}, {0.15, 76, 0.15}, {0.3, 79, 0.15}, {0.45, 84, 0.45},
                             {0.95, 81, 0.15}, {1.1, 83, 0.15}, {1.25, 84, 1.4}};
  for (const auto& s : steps) {
    Note n;
    n.start = s[0]; n.hz = NoteHz(int(s[1])); n.length = s[2]; n.wave = Wave::Saw; n.release = 0.3;
    n.attack = 0.01; n.decay = 0.1; n.sustain = 0.7; n.amp = 0.32; n.vibratoHz = 5.5; n.vibratoDepth = s[2] > 1 ? 0.15 : 0;
    t.Add(n);
    n.wave = Wave::Bell; n.amp = 0.2; n.hz *= 2; n.vibratoDepth = 0;
    t.Add(n);
  }
  const int chords[][3] = {{48, 64, 67}, {53, 65, 69}, {48, 64, 67}};
  const double at[] = {0, 0.95, 1.25};
  const double len[] = {0.9, 0.3, 1.6};
  for (int c = 0; c < 3; ++c) {
    for (int tone : chords[c]) {
      Note n;
      n.start = at[c]; n.hz = NoteHz(tone); n.wave = Wave::Pad; n.length = len[c]; n.release = 0.4;
      n.attack = 0.02; n.amp = 0.22;
      t.Add(n);
    }
  }
  t.Noise(1.25, 1.2, 0.25, 12000, 4000, 3000, 99, 0.005, 1.5);  // a cymbal swell
  t.Echo(0.18, 0.3, 0.25);
  t.FadeEnds(0.02);
  return t.Samples();
}

std::vector<float> DiedSong() {
  Track t(3.6);
  const double steps[][3] = {{0, 67, 0.35}, {0.4, 66, 0.35}, {0.8, 65, 0.35}, {1.2, 64, 0.35}, {1.6, 63, 1.4}};
  for (const auto& s : steps) {
    Note n;
    n.start = s[0]; n.hz = NoteHz(int(s[1])); n.length = s[2]; n.wave = Wave::Triangle; n.release = 0.3;
    n.attack = 0.02; n.decay = 0.2; n.sustain = 0.6; n.amp = 0.45; n.vibratoHz = 4.5; n.vibratoDepth = 0.2;
    t.Add(n);
  }
  for (int tone : {48, 51, 55}) {
    Note n;
    n.start = 1.6; n.hz = NoteHz(tone); n.wave = Wave::Pad; n.length = 1.4; n.release = 0.5; n.attack = 0.1;
    n.amp = 0.2;
    t.Add(n);
  }
  t.Echo(0.25, 0.35, 0.3);
  t.FadeEnds(0.02);
  return t.Samples();
}

struct SoundDef {
  const char* name;
  std::function<std::vector<float>()> make;
  bool ogg;
  double loudnessDb;  // target level of the loudest 50 ms
};

}  // namespace

void SoundBank::Normalize(std::vector<float>& samples, double peakDb, double loudnessDb) {
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::fabs(s));
  if (peak <= 0) return;
  // Loudness is judged on the loudest 50 ms, so a short click and a long tune that share a
  // target sound about as loud; the peak limit keeps every sound clear of clipping.
  // Only whole windows count (a partial one around a single peak would read too loud); a
  // sound shorter than a window is judged as a whole.
  size_t window = std::min(samples.size(), size_t(0.05 * kRate));
  double loudest = 0, sum = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    sum += double(samples[i]) * samples[i];
    if (i >= window) sum -= double(samples[i - window]) * samples[i - window];
    if (i + 1 >= window) loudest = std::max(loudest, std::sqrt(std::max(0.0, sum) / double(window)));
  }
  double gain = std::pow(10.0, peakDb / 20) / peak;
  if (loudest > 0) gain = std::min(gain, std::pow(10.0, loudnessDb / 20) / loudest);
  for (float& s : samples) s = float(s * gain);
}

std::vector<uint8_t> SoundBank::EncodeWav(const std::vector<float>& samples) {
  std::vector<uint8_t> out;
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i))); };
  auto u16 = [&](uint16_t v) { out.push_back(uint8_t(v)); out.push_back(uint8_t(v >> 8)); };
  uint32_t dataSize = uint32_t(samples.size() * 2);
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  u32(36 + dataSize);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  u32(16);
  u16(1);      // PCM
  u16(1);      // mono
  u32(kRate);
  u32(kRate * 2);
  u16(2);      // block align
  u16(16);     // bits per sample
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  u32(dataSize);
  for (float s : samples) {
    int v = int(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
    u16(uint16_t(int16_t(v)));
  }
  return out;
}

std::vector<uint8_t> SoundBank::EncodeOgg(const std::vector<float>& samples, float quality) {
  std::vector<uint8_t> out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, 1, kRate, quality) != 0) {
    vorbis_info_clear(&info);
    return out;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "TITLE", "Quorl Slide");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 0x51534c44);  // fixed serial number: identical files on every build
  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  auto emit = [&](const ogg_page& p) {
    out.insert(out.end(), p.header, p.header + p.header_len);
    out.insert(out.end(), p.body, p.body + p.body_len);
  };
  while (ogg_stream_flush(&stream, &page) != 0) emit(page);
  size_t position = 0;
  bool done = false;
  while (!done) {
    size_t chunk = std::min<size_t>(4096, samples.size() - position);
    if (chunk == 0) {
      vorbis_analysis_wrote(&dsp, 0);
    } else {
      float** buffer = vorbis_analysis_buffer(&dsp, int(chunk));
      std::memcpy(buffer[0], samples.data() + position, chunk * sizeof(float));
      vorbis_analysis_wrote(&dsp, int(chunk));
      position += chunk;
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) {
          emit(page);
          if (ogg_page_eos(&page)) done = true;
        }
      }
    }
    if (chunk == 0) done = true;
  }
  while (ogg_stream_flush(&stream, &page) != 0) emit(page);
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

void SoundBank::Generate(AssetWriter& out) const {
  const SoundDef sounds[] = {
      {"explode", Explode, false, -8},
      {"shake", Shake, false, -9},
      {"gold", Gold, false, -9},
      {"crack", Crack, false, -8},
      {"shatter", Shatter, false, -9},
      {"DiedSong", DiedSong, true, -11},
      {"Drag", Drag, false, -14},
      {"Snap", Snap, false, -10},
      {"Music", Music, true, -14},
      {"Danger", Danger, false, -11},
      {"fanfare", [] { return Arpeggio({72, 76, 79, 84}, 0.09, 0.5, Wave::Pluck, -1); }, false, -9},
      {"fanfare2", [] { return Arpeggio({67, 72, 76, 79, 84, 88, 91}, 0.08, 1.1, Wave::Saw, 0.48); }, false, -9},
      {"poemsong", PoemSong, true, -12},
      {"wontheme", WonTheme, true, -10},
      {"quorlsound", [] { return Chirp(false); }, false, -10},
      {"quorlsoundskull", [] { return Chirp(true); }, false, -11},
      {"pop", Pop, false, -9},
      {"zing", Zing, false, -10},
      {"GetBonus", [] { return Sparkle(17, 1.0, false); }, false, -10},
      {"Spin", Spin, false, -10},
      {"crystalball", [] { return Shimmer(false); }, false, -11},
      {"crystalballover", [] { return Shimmer(true); }, false, -11},
  };
  for (const SoundDef& def : sounds) {
    std::vector<float> samples = def.make();
    Normalize(samples, -1.0, def.loudnessDb);
    std::string name = std::string("SoundEffects\\") + def.name;
    if (def.ogg) {
      std::vector<uint8_t> bytes = EncodeOgg(samples, 0.4f);
      if (bytes.empty()) out.Fail("cannot encode " + name);
      else out.Bytes(name, ".ogg", bytes);
    } else {
      out.Bytes(name, ".wav", EncodeWav(samples));
    }
  }
}
