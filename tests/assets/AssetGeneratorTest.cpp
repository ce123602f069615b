// Checks the generator's own rules: loudness normalising, the WAV and Ogg encoders, the font
// builder's glyph placement, and the writer's handling of game names and unchanged files.
// (The generated files are read back with the game's own decoder in AssetManifestTest; the two
// Vorbis libraries share symbol names, so they live in separate test programs.)
#include <gtest/gtest.h>

#include "AssetWriter.h"
#include "Canvas.h"
#include "FontBuilder.h"
#include "SoundBank.h"

#include <vorbis/vorbisfile.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

double PeakDb(const std::vector<float>& s) {
  float peak = 0;
  for (float v : s) peak = std::max(peak, std::fabs(v));
  return 20 * std::log10(peak);
}

std::vector<float> Sine(double seconds, double amp, double hz) {
  std::vector<float> s(size_t(seconds * SoundBank::kRate));
  for (size_t i = 0; i < s.size(); ++i) s[i] = float(amp * std::sin(2 * M_PI * hz * i / SoundBank::kRate));
  return s;
}

fs::path FreshFolder(const char* what) {
  fs::path dir = fs::temp_directory_path() / (std::string("qs-assetgen-") + what + "-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

}  // namespace

TEST(AssetGeneratorTest, NormalizeMeetsTheLoudnessTargetWithoutPassingThePeak) {
  struct Case {
    const char* what;
    std::vector<float> samples;
    double expectPeakDb;  // NAN: only "at most -1"
    double expectRmsDb;   // RMS of a steady sine = peak - 3.01 dB
  };
  std::vector<float> click(4410, 0.0f);
  click[100] = 0.02f;
  Case cases[] = {
      {"steady loud sine reaches the loudness target", Sine(1.0, 0.9, 440), -10 + 3.01, -10},
      {"steady quiet sine is raised to it", Sine(1.0, 0.01, 440), -10 + 3.01, -10},
      {"a lone click stops at the peak limit", click, -1.0, NAN},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    SoundBank::Normalize(c.samples, -1.0, -10.0);
    EXPECT_LE(PeakDb(c.samples), -1.0 + 1e-3);
    EXPECT_NEAR(PeakDb(c.samples), c.expectPeakDb, 0.05);
  }
  std::vector<float> silence(1000, 0.0f);
  SoundBank::Normalize(silence, -1.0, -10.0);
  EXPECT_EQ(silence, std::vector<float>(1000, 0.0f)) << "silence stays silent (no division by zero)";
}

TEST(AssetGeneratorTest, WavHeaderAndSamplesAreExact) {
  std::vector<uint8_t> wav = SoundBank::EncodeWav({0.0f, 0.5f, -0.5f, 1.5f, -1.5f});
  ASSERT_EQ(wav.size(), 44u + 10u);
  auto le16 = [&](size_t at) { return int16_t(wav[at] | wav[at + 1] << 8); };
  auto le32 = [&](size_t at) { return uint32_t(wav[at] | wav[at + 1] << 8 | wav[at + 2] << 16 | wav[at + 3] << 24); };
  EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
  EXPECT_EQ(le32(4), 46u) << "RIFF size counts everything after it";
  EXPECT_EQ(std::memcmp(wav.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(le32(16), 16u);
  EXPECT_EQ(le16(20), 1) << "PCM";
  EXPECT_EQ(le16(22), 1) << "mono";
  EXPECT_EQ(le32(24), 44100u);
  EXPECT_EQ(le32(28), 88200u) << "bytes per second";
  EXPECT_EQ(le16(32), 2) << "block align";
  EXPECT_EQ(le16(34), 16);
  EXPECT_EQ(std::memcmp(wav.data() + 36, "data", 4), 0);
  EXPECT_EQ(le32(40), 10u);
  const int16_t expected[] = {0, 16384, -16384, 32767, -32767};  // out-of-range samples clamp
  for (int i = 0; i < 5; ++i) EXPECT_EQ(le16(44 + 2 * i), expected[i]) << "sample " << i;
}

TEST(AssetGeneratorTest, OggDecodesToTheSameLengthAndIsRepeatable) {
  std::vector<float> tone = Sine(1.5, 0.5, 330);
  std::vector<uint8_t> ogg = SoundBank::EncodeOgg(tone, 0.4f);
  ASSERT_GT(ogg.size(), 1000u);
  EXPECT_EQ(SoundBank::EncodeOgg(tone, 0.4f), ogg) << "two encodings of the same sound differ";
  fs::path dir = FreshFolder("ogg");
  fs::path file = dir / "tone.ogg";
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(ogg.data()), std::streamsize(ogg.size()));
  OggVorbis_File vf;
  ASSERT_EQ(ov_fopen(file.c_str(), &vf), 0);
  EXPECT_EQ(ov_info(&vf, -1)->rate, 44100);
  EXPECT_EQ(ov_info(&vf, -1)->channels, 1);
  EXPECT_EQ(ov_pcm_total(&vf, -1), ogg_int64_t(tone.size())) << "decoded length differs from the source";
  ov_clear(&vf);
  fs::remove_all(dir);
}

// The engine draws a glyph at pen + offset with the pen at the top of the line, so every glyph
// must sit inside the line: ink from the top at or below 0 and bottom at or above line height.
TEST(AssetGeneratorTest, FontGlyphsSitInsideTheirLine) {
  for (int outline : {0, 3}) {
    SCOPED_TRACE(outline);
    FontSpec spec{"test", FontPath(Face::Rounded), 24, outline};
    std::vector<uint8_t> b = FontBuilder::Build(spec);
    ASSERT_FALSE(b.empty());
    size_t at = 0;
    auto f32 = [&]() { float v; std::memcpy(&v, &b[at], 4); at += 4; return v; };
    f32();
    float line = f32();
    float capTop = 1e9f, baselineA = 0, descG = 0;
    for (int c = 0; c < 256; ++c) {
      if (b[at++] != 1) continue;
      float advance = f32(), ox = f32(), oy = f32();
      (void)advance;
      (void)ox;
      at += 16;
      if (b[at++] != 1) continue;
      uint32_t w, h;
      std::memcpy(&w, &b[at], 4);
      std::memcpy(&h, &b[at + 4], 4);
      at += 8 + size_t(w) * h * 4;
      EXPECT_GE(oy, -1.0f) << "glyph " << c << " pokes above the line";
      EXPECT_LE(oy + float(h), line + 1.0f) << "glyph " << c << " hangs below the line";
      if (c == 'H') capTop = oy, baselineA = oy + float(h);
      if (c == 'g') descG = oy + float(h);
    }
    EXPECT_EQ(at, b.size());
    EXPECT_LT(capTop, line / 2) << "capitals start in the upper half of the line";
    EXPECT_GT(descG, baselineA + 2) << "descenders go below the baseline";
  }
  FontSpec missing{"test", "/nonexistent/font.ttf", 24, 0};
  EXPECT_TRUE(FontBuilder::Build(missing).empty()) << "a missing font file is reported, not written";
}

TEST(AssetGeneratorTest, WriterMapsGameNamesAndLeavesUnchangedFilesAlone) {
  fs::path root = FreshFolder("writer");
  AssetWriter out(root.string());
  EXPECT_EQ(out.PathFor("Graphics\\quorls\\ql00", ".png"), (root / "Graphics/quorls/ql00.png").string());
  EXPECT_TRUE(fs::is_directory(root / "Graphics/quorls"));

  out.Bytes("SoundEffects\\pop", ".wav", {1, 2, 3});
  fs::path file = root / "SoundEffects/pop.wav";
  auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(file, old);
  out.Bytes("SoundEffects\\pop", ".wav", {1, 2, 3});
  EXPECT_EQ(fs::last_write_time(file), old) << "same bytes must not touch the file (the sound cache relies on it)";
  out.Bytes("SoundEffects\\pop", ".wav", {4, 5});
  EXPECT_EQ(fs::file_size(file), 2u);
  EXPECT_FALSE(fs::exists(root / "SoundEffects/pop.wav.tmp"));
  EXPECT_EQ(out.Written(), 3);
  EXPECT_EQ(out.Failures(), 0);

  fs::create_directories(root / "blocked.png");  // a folder where the file should go
  Canvas c(4, 4);
  out.Picture("blocked", c);
  EXPECT_EQ(out.Failures(), 1) << "a file that cannot be written is counted as a failure";
  fs::remove_all(root);
}

TEST(AssetGeneratorTest, DesaturateKeepsAlphaAndPremultipliedColour) {
  Canvas c(8, 1);
  for (int x = 0; x < 8; ++x) {
    cairo_rectangle(c.Cr(), x, 0, 1, 1);
    c.SetColor(Rgba{1.0, 0.2 * (x % 5), 0.1, x / 7.0});
    cairo_fill(c.Cr());
  }
  cairo_surface_flush(c.Surface());
  std::vector<uint32_t> before(8), after(8);
  std::memcpy(before.data(), cairo_image_surface_get_data(c.Surface()), 32);
  c.Desaturate(1.0, 0.2);
  cairo_surface_flush(c.Surface());
  std::memcpy(after.data(), cairo_image_surface_get_data(c.Surface()), 32);
  for (int x = 0; x < 8; ++x) {
    uint32_t a = after[x] >> 24, r = (after[x] >> 16) & 255, g = (after[x] >> 8) & 255, b = after[x] & 255;
    EXPECT_EQ(a, before[x] >> 24) << "pixel " << x;
    EXPECT_LE(std::max({r, g, b}), a) << "pixel " << x << " breaks premultiplied alpha";
    EXPECT_LE(std::max({r, g, b}) - std::min({r, g, b}), 1u) << "pixel " << x << " is not grey";
  }
}
