// Checks the generated resource folders against assets/manifest.txt and assets/README.md:
// every named picture, font and sound exists in a form the engine reads, pictures have their
// documented sizes, buttons are painted where the code's rectangles are, and generation is
// repeatable byte for byte.
#include <gtest/gtest.h>

#include <png.h>
#include <tremor/ivorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Button {
  std::string picture;
  int px, py, x, y, w, h;
  bool circle;
};

struct Manifest {
  std::vector<std::string> pictures, fonts;
  std::vector<std::pair<std::string, std::string>> sounds;
  std::vector<Button> buttons;
};

std::string AssetsDir() { return std::string(QS_SOURCE_DIR) + "/assets"; }

// Game names use backslashes and mixed-case folders ("fonts\\font4"); the files live in the
// build's resource folders, found case-insensitively like the game's own path layer does.
std::string FileFor(const std::string& name, const std::string& extension) {
  fs::path at = QS_ASSET_ROOT;
  std::stringstream parts(name);
  std::string part;
  std::vector<std::string> pieces;
  while (std::getline(parts, part, '\\')) pieces.push_back(part);
  for (size_t i = 0; i < pieces.size(); ++i) {
    std::string want = pieces[i] + (i + 1 == pieces.size() ? extension : "");
    fs::path found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(at, error)) {
      std::string have = entry.path().filename().string();
      if (have.size() == want.size() &&
          std::equal(have.begin(), have.end(), want.begin(), [](char a, char b) { return std::tolower(a) == std::tolower(b); })) {
        found = entry.path();
      }
    }
    if (found.empty()) return "";
    at = found;
  }
  return at.string();
}

Manifest ReadManifest() {
  Manifest m;
  std::ifstream in(AssetsDir() + "/manifest.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "picture") {
      std::string name;
      words >> name;
      m.pictures.push_back(name);
    } else if (kind == "font") {
      std::string name;
      words >> name;
      m.fonts.push_back(name);
    } else if (kind == "sound") {
      std::string name, form;
      words >> name >> form;
      m.sounds.emplace_back(name, form);
    } else if (kind == "button") {
      Button b{};
      std::string shape;
      words >> b.picture >> b.px >> b.py >> b.x >> b.y >> b.w >> b.h >> shape;
      b.circle = shape == "circle";
      m.buttons.push_back(b);
    }
  }
  return m;
}

// Rows of the README's picture table: | `name` | WxH | text |
std::map<std::string, std::pair<int, int>> ReadmeSizes() {
  std::map<std::string, std::pair<int, int>> sizes;
  std::ifstream in(AssetsDir() + "/README.md");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("| `", 0) != 0) continue;
    size_t close = line.find('`', 3);
    size_t bar = line.find('|', close);
    if (close == std::string::npos || bar == std::string::npos) continue;
    int w = 0, h = 0;
    if (std::sscanf(line.c_str() + bar + 1, " %d\xC3\x97%d", &w, &h) == 2) {
      sizes[line.substr(3, close - 3)] = {w, h};
    }
  }
  return sizes;
}

struct Rgba8 {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;  // RGBA rows
  uint8_t AlphaAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[(size_t(y) * width + x) * 4 + 3];
  }
};

bool ReadPng(const std::string& path, Rgba8& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGBA;
  out.width = int(image.width);
  out.height = int(image.height);
  out.pixels.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

}  // namespace

TEST(AssetManifestTest, ListsEveryPictureWithItsReadmeSizeAndTheBuildHasIt) {
  Manifest m = ReadManifest();
  auto sizes = ReadmeSizes();
  ASSERT_GT(m.pictures.size(), 150u) << "manifest.txt lost its pictures";
  EXPECT_EQ(sizes.size(), m.pictures.size()) << "README.md and manifest.txt list different pictures";
  std::string problems;
  for (const std::string& name : m.pictures) {
    auto listed = sizes.find(name);
    if (listed == sizes.end()) {
      problems += name + ": not in README.md\n";
      continue;
    }
    std::string path = FileFor(name, ".png");
    Rgba8 image;
    if (path.empty() || !ReadPng(path, image)) {
      problems += name + ": no readable PNG in the build\n";
      continue;
    }
    if (image.width != listed->second.first || image.height != listed->second.second) {
      problems += name + ": README says " + std::to_string(listed->second.first) + "x" +
                  std::to_string(listed->second.second) + ", build has " + std::to_string(image.width) + "x" +
                  std::to_string(image.height) + "\n";
    }
  }
  // Nothing is generated that the manifest does not list, so the list stays complete.
  std::string unlisted;
  for (const char* folder : {"Graphics", "Fonts", "SoundEffects", "Textures"}) {
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(QS_ASSET_ROOT) / folder)) {
      if (!entry.is_regular_file()) continue;
      fs::path relative = fs::relative(entry.path(), QS_ASSET_ROOT);
      std::string name = relative.parent_path().string() + "/" + relative.stem().string();
      for (char& c : name) c = c == '/' ? '\\' : char(std::tolower(c));
      bool listed = false;
      auto same = [&](const std::string& listedName) {
        std::string lower = listedName;
        for (char& c : lower) c = char(std::tolower(c));
        return lower == name;
      };
      for (const std::string& n : m.pictures) listed = listed || same(n);
      for (const std::string& n : m.fonts) listed = listed || same(n);
      for (const auto& sound : m.sounds) listed = listed || same(sound.first);
      if (!listed) unlisted += relative.string() + "\n";
    }
  }
  EXPECT_EQ(unlisted, "") << "generated but not in manifest.txt";
}

// Dialog overlays are full-screen pictures with transparent margins: the dimming layer drawn
// under them must stay visible around the panel.
TEST(AssetManifestTest, DialogOverlaysLeaveTheirMarginsClear) {
  for (const char* name : {"Graphics\\gamemenu", "Graphics\\gamemenuhilite", "Graphics\\gamemenudown", "Graphics\\quickmenu",
                           "Graphics\\quickmenuhilite", "Graphics\\quickmenudown", "Graphics\\optionsmenu",
                           "Graphics\\donehilite", "Graphics\\donedown", "Graphics\\INFOBOX", "Graphics\\mainmenu_buttons",
                           "Graphics\\mainmenu_buttonshilite", "Graphics\\mainmenu_buttonsdown"}) {
    Rgba8 image;
    ASSERT_TRUE(ReadPng(FileFor(name, ".png"), image)) << name;
    ASSERT_EQ(image.width, 800) << name;
    ASSERT_EQ(image.height, 600) << name;
    for (auto [x, y] : {std::pair{5, 5}, {794, 5}, {5, 594}, {794, 594}, {100, 300}, {700, 300}}) {
      EXPECT_EQ(image.AlphaAt(x, y), 0) << name << " is painted at " << x << "," << y;
    }
  }
}

TEST(AssetManifestTest, PaintedButtonsCoverTheCodesRectangles) {
  Manifest m = ReadManifest();
  ASSERT_GT(m.buttons.size(), 40u);
  std::string problems;
  for (const Button& b : m.buttons) {
    Rgba8 image;
    std::string path = FileFor(b.picture, ".png");
    if (path.empty() || !ReadPng(path, image)) {
      problems += b.picture + ": missing\n";
      continue;
    }
    int inside = 0, painted = 0;
    double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0, r = std::min(b.w, b.h) / 2.0;
    for (int y = b.y; y < b.y + b.h; ++y) {
      for (int x = b.x; x < b.x + b.w; ++x) {
        if (b.circle && (x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) > r * r) continue;
        ++inside;
        painted += image.AlphaAt(x - b.px, y - b.py) >= 128 ? 1 : 0;
      }
    }
    double share = inside ? double(painted) / inside : 0;
    // Rounded ends leave a little of a rectangle unpainted; a button elsewhere leaves most.
    if (share < 0.85) {
      char text[200];
      std::snprintf(text, sizeof text, "%s at (%d,%d): rect %d,%d,%d,%d only %.0f%% painted\n", b.picture.c_str(),
                    b.px, b.py, b.x, b.y, b.w, b.h, share * 100);
      problems += text;
    }
    if (image.AlphaAt(int(cx) - b.px, int(cy) - b.py) < 200) problems += b.picture + ": centre of its button unpainted\n";
  }
  EXPECT_EQ(problems, "");
}

// The ".font" form: space width, line height, then 256 records (defined byte; advance,
// offsets and rectangle as seven floats; has-image byte; width, height, BGRA pixels).
TEST(AssetManifestTest, FontsParseExactlyAndDefineEveryPrintableCharacter) {
  Manifest m = ReadManifest();
  ASSERT_EQ(m.fonts.size(), 4u);
  std::vector<float> lineHeights;
  for (const std::string& name : m.fonts) {
    SCOPED_TRACE(name);
    std::string path = FileFor(name, ".font");
    ASSERT_FALSE(path.empty()) << "missing";
    std::vector<uint8_t> b = ReadAll(path);
    size_t at = 0;
    auto f32 = [&](float& v) {
      if (at + 4 > b.size()) return false;
      std::memcpy(&v, &b[at], 4);
      at += 4;
      return true;
    };
    float space = 0, line = 0;
    ASSERT_TRUE(f32(space) && f32(line));
    EXPECT_GT(space, 2.0f);
    EXPECT_GT(line, 10.0f);
    lineHeights.push_back(line);
    for (int c = 0; c < 256; ++c) {
      ASSERT_LT(at, b.size()) << "truncated at character " << c;
      bool defined = b[at++] == 1;
      EXPECT_EQ(defined, c >= 32 && c < 127) << "character " << c;
      if (!defined) continue;
      float v[7];
      for (float& x : v) ASSERT_TRUE(f32(x)) << "character " << c;
      EXPECT_GT(v[0], 0.0f) << "advance of character " << c;
      ASSERT_LT(at, b.size());
      bool hasImage = b[at++] == 1;
      EXPECT_EQ(hasImage, c != ' ') << "character " << c;
      if (!hasImage) continue;
      ASSERT_LE(at + 8, b.size());
      uint32_t w = Le32(b, at), h = Le32(b, at + 4);
      at += 8;
      ASSERT_TRUE(w > 0 && h > 0 && w < 200 && h < 200) << "glyph " << c << " is " << w << "x" << h;
      EXPECT_EQ(v[5], float(w));
      EXPECT_EQ(v[6], float(h));
      ASSERT_LE(at + size_t(w) * h * 4, b.size());
      int ink = 0;
      for (size_t i = 0; i < size_t(w) * h; ++i) ink += b[at + i * 4 + 3] > 128;
      EXPECT_GT(ink, 0) << "glyph " << c << " has no ink";
      at += size_t(w) * h * 4;
    }
    EXPECT_EQ(at, b.size()) << "bytes left over after the 256 records";
  }
  EXPECT_GT(lineHeights[3], lineHeights[0] * 1.4f) << "font 4 is the large font";
}

TEST(AssetManifestTest, SoundsAreTheTwentyTwoInTheFormsTheEngineDecodes) {
  Manifest m = ReadManifest();
  ASSERT_EQ(m.sounds.size(), 22u);
  for (const auto& [name, form] : m.sounds) {
    SCOPED_TRACE(name);
    std::string path = FileFor(name, "." + form);
    ASSERT_FALSE(path.empty()) << "missing " << form;
    if (form == "wav") {
      std::vector<uint8_t> b = ReadAll(path);
      ASSERT_GE(b.size(), 44u);
      EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
      EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "WAVE");
      EXPECT_EQ(b[20] | b[21] << 8, 1) << "PCM";
      EXPECT_EQ(Le32(b, 24), 44100u);
      EXPECT_EQ(b[34] | b[35] << 8, 16) << "bits per sample";
      EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
      EXPECT_EQ(Le32(b, 40), b.size() - 44) << "data chunk size";
      EXPECT_GT(b.size() - 44, 44100u / 20 * 2) << "at least 50 ms";
    } else {
      // Decoded with the same integer decoder the game uses.
      FILE* file = std::fopen(path.c_str(), "rb");
      ASSERT_NE(file, nullptr);
      OggVorbis_File vf;
      ASSERT_EQ(ov_open(file, &vf, nullptr, 0), 0) << "not Ogg Vorbis";
      vorbis_info* info = ov_info(&vf, -1);
      EXPECT_EQ(info->rate, 44100);
      ogg_int64_t frames = ov_pcm_total(&vf, -1);
      EXPECT_GT(frames, 44100 * 2);
      if (name == "SoundEffects\\Music") {
        EXPECT_NEAR(double(frames) / 44100, 60.0, 0.01) << "the music loops every minute";
        // A seamless loop: the last samples lead into the first ones without a jump.
        std::vector<int16_t> pcm;
        char buffer[4096];
        int section = 0;
        long got;
        while ((got = ov_read(&vf, buffer, sizeof buffer, &section)) > 0) {
          size_t old = pcm.size();
          pcm.resize(old + size_t(got) / 2);
          std::memcpy(pcm.data() + old, buffer, size_t(got) / 2 * 2);
        }
        ASSERT_GT(pcm.size(), 1000u);
        int jump = std::abs(int(pcm.front()) - int(pcm.back()));
        int typical = 0;
        for (size_t i = 1; i < 1000; ++i) typical = std::max(typical, std::abs(pcm[i] - pcm[i - 1]));
        EXPECT_LT(jump, typical * 3 + 200) << "click at the loop point";
      }
      ov_clear(&vf);
    }
  }
}

// Runs the generator again for the pieces and fonts into a fresh folder and compares bytes.
TEST(AssetManifestTest, GenerationIsByteIdenticalAcrossRuns) {
  fs::path again = fs::temp_directory_path() / ("qs-assetgen-again-" + std::to_string(::getpid()));
  fs::remove_all(again);
  std::string command = std::string("\"") + QS_ASSETGEN + "\" --out \"" + again.string() +
                        "\" --only pieces --only fonts > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  int compared = 0;
  std::string differing;
  for (const auto& entry : fs::recursive_directory_iterator(again)) {
    if (!entry.is_regular_file()) continue;
    fs::path built = fs::path(QS_ASSET_ROOT) / fs::relative(entry.path(), again);
    ++compared;
    if (ReadAll(entry.path().string()) != ReadAll(built.string())) differing += built.string() + "\n";
  }
  fs::remove_all(again);
  EXPECT_GT(compared, 50);
  EXPECT_EQ(differing, "");
}

// The screen fade grows a piece picture nine times around (400, 300) and must hide the screen
// while the next one is built.
TEST(AssetManifestTest, PiecePicturesCoverTheScreenAtTheFadesLargestSize) {
  for (int color = 0; color <= 8; ++color) {
    SCOPED_TRACE(color);
    Rgba8 piece;
    ASSERT_TRUE(ReadPng(FileFor("Graphics\\quorls\\ql" + std::to_string(color) + "0", ".png"), piece));
    int covered = 0, total = 0;
    for (int y = 0; y < 600; y += 10) {
      for (int x = 0; x < 800; x += 10) {
        ++total;
        covered += piece.AlphaAt(int(piece.width / 2.0 + (x - 400) / 9.0), int(piece.height / 2.0 + (y - 300) / 9.0)) >= 128;
      }
    }
    EXPECT_GE(double(covered) / total, 0.97) << "only " << covered << " of " << total << " screen points covered";
  }
}

// Colours must differ clearly, and each must have a blinking frame that differs from its open one.
TEST(AssetManifestTest, PieceColoursAreDistinctAndBlink) {
  double mean[8][3];
  for (int color = 0; color < 8; ++color) {
    Rgba8 open, blink;
    ASSERT_TRUE(ReadPng(FileFor("Graphics\\quorls\\ql" + std::to_string(color) + "0", ".png"), open));
    ASSERT_TRUE(ReadPng(FileFor("Graphics\\quorls\\ql" + std::to_string(color) + "1", ".png"), blink));
    ASSERT_EQ(open.pixels.size(), blink.pixels.size());
    size_t changed = 0;
    for (size_t i = 0; i < open.pixels.size(); ++i) changed += std::abs(open.pixels[i] - blink.pixels[i]) > 40;
    EXPECT_GT(changed, open.pixels.size() / 100) << "colour " << color << " does not blink";
    // Body colour: opaque pixels of the lower cheeks, away from eyes and markings.
    double sum[3] = {0, 0, 0};
    int n = 0;
    for (int y = open.height * 70 / 128; y < open.height * 80 / 128; ++y) {
      for (int x = open.width * 14 / 128; x < open.width * 24 / 128; ++x) {
        const uint8_t* p = &open.pixels[(size_t(y) * open.width + x) * 4];
        if (p[3] < 250) continue;
        for (int k = 0; k < 3; ++k) sum[k] += p[k];
        ++n;
      }
    }
    ASSERT_GT(n, 10) << "colour " << color;
    for (int k = 0; k < 3; ++k) mean[color][k] = sum[k] / n;
  }
  for (int a = 0; a < 8; ++a) {
    for (int b = a + 1; b < 8; ++b) {
      double d = std::sqrt(std::pow(mean[a][0] - mean[b][0], 2) + std::pow(mean[a][1] - mean[b][1], 2) +
                           std::pow(mean[a][2] - mean[b][2], 2));
      EXPECT_GT(d, 70) << "colours " << a << " and " << b << " look alike";
    }
  }
}

// Hover and pressed pictures must visibly differ from the normal one where the button is.
TEST(AssetManifestTest, HoverAndPressedStatesVisiblyDiffer) {
  struct States {
    std::string normal, hover, pressed;
  };
  std::vector<States> sets = {{"Graphics\\mainmenu_buttons", "Graphics\\mainmenu_buttonshilite", "Graphics\\mainmenu_buttonsdown"},
                              {"Graphics\\gamemenu", "Graphics\\gamemenuhilite", "Graphics\\gamemenudown"},
                              {"Graphics\\quickmenu", "Graphics\\quickmenuhilite", "Graphics\\quickmenudown"},
                              {"Graphics\\optionsmenu", "Graphics\\donehilite", "Graphics\\donedown"},
                              {"Graphics\\exitbutton", "Graphics\\exitbuttonhilite", "Graphics\\exitbuttondown"}};
  for (const char* base : {"OK", "YES", "NO", "menu", "mainmenubutton", "createuser", "Deleteuser", "Selectuser",
                           "Cancel", "ScrollUp", "ScrollDown"}) {
    std::string b = std::string("Graphics\\") + base;
    sets.push_back({b + "1", b + "2", b + "3"});
  }
  sets.push_back({"Graphics\\crystalball1", "Graphics\\crystalball2", "Graphics\\crystalball2"});
  sets.push_back({"Graphics\\play-mask", "Graphics\\play-maskhilite", "Graphics\\play-maskhilite"});
  for (const States& s : sets) {
    Rgba8 normal, hover, pressed;
    ASSERT_TRUE(ReadPng(FileFor(s.normal, ".png"), normal)) << s.normal;
    ASSERT_TRUE(ReadPng(FileFor(s.hover, ".png"), hover)) << s.hover;
    ASSERT_TRUE(ReadPng(FileFor(s.pressed, ".png"), pressed)) << s.pressed;
    ASSERT_EQ(normal.pixels.size(), hover.pixels.size()) << s.hover << " has another size";
    ASSERT_EQ(normal.pixels.size(), pressed.pixels.size()) << s.pressed << " has another size";
    auto difference = [&](const Rgba8& other) {
      double total = 0;
      size_t painted = 0;
      for (size_t i = 0; i < normal.pixels.size(); i += 4) {
        if (normal.pixels[i + 3] < 128) continue;
        ++painted;
        for (int k = 0; k < 3; ++k) total += std::abs(normal.pixels[i + k] - other.pixels[i + k]);
      }
      return painted ? total / painted / 3 : 0;
    };
    EXPECT_GT(difference(hover), 4.0) << s.hover << " looks like " << s.normal;
    if (s.pressed != s.hover) {
      EXPECT_GT(difference(pressed), 4.0) << s.pressed << " looks like " << s.normal;
    }
  }
}
