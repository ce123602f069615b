// The game's 22 sounds, synthesised from simple voices (sine, triangle, soft saw, noise)
// with envelopes, glides and filters. Short effects are written as 16-bit 44.1 kHz WAV, the
// music and the longer songs as Ogg Vorbis.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AssetWriter;

class SoundBank {
 public:
  static constexpr int kRate = 44100;

  void Generate(AssetWriter& out) const;

  // Encoders, public so tests and the listening page can use them.
  static std::vector<uint8_t> EncodeWav(const std::vector<float>& samples);
  static std::vector<uint8_t> EncodeOgg(const std::vector<float>& samples, float quality);
  // Scales to the loudness target (dBFS RMS of the loudest 50 ms) without passing the peak.
  static void Normalize(std::vector<float>& samples, double peakDb, double loudnessDb);
};
