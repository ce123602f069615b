// qs-assetgen: makes the game's resource folders (Graphics, Fonts, SoundEffects, Textures)
// from the drawing, font and synthesis code here. Usage:
//   qs-assetgen --out DIR [--assets DIR] [--only NAME...] [--contact-sheet DIR]
//   qs-assetgen --icons DIR --icon-name NAME      the desktop icons only
#include "AssetWriter.h"
#include "ContactSheet.h"
#include "FontBuilder.h"
#include "GameScreenArt.h"
#include "IconArt.h"
#include "JourneyArt.h"
#include "MenuArt.h"
#include "PieceArt.h"
#include "SoundBank.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Job {
  const char* name;
  std::function<void(AssetWriter&)> run;
};

int Usage() {
  std::fprintf(stderr, "usage: qs-assetgen --out DIR [--assets DIR] [--only JOB...] [--contact-sheet DIR]\n"
                       "       qs-assetgen --icons DIR --icon-name NAME\n"
                       "jobs: sounds pieces game menus journey fonts\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outRoot, assetsRoot, sheetDir, iconDir, iconName;
  std::vector<std::string> only;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--out") && i + 1 < argc) outRoot = argv[++i];
    else if (!std::strcmp(argv[i], "--assets") && i + 1 < argc) assetsRoot = argv[++i];
    else if (!std::strcmp(argv[i], "--contact-sheet") && i + 1 < argc) sheetDir = argv[++i];
    else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) only.push_back(argv[++i]);
    else if (!std::strcmp(argv[i], "--icons") && i + 1 < argc) iconDir = argv[++i];
    else if (!std::strcmp(argv[i], "--icon-name") && i + 1 < argc) iconName = argv[++i];
    else return Usage();
  }
  if (!iconDir.empty()) return iconName.empty() ? Usage() : (IconArt::Generate(iconDir, iconName) == 0 ? 0 : 1);
  if (outRoot.empty()) return Usage();

  if (!sheetDir.empty()) {
    return ContactSheet().Render(outRoot, assetsRoot + "/manifest.txt", sheetDir);
  }

  // Longest jobs first, so two workers finish close together.
  std::vector<Job> jobs = {
      {"sounds", [](AssetWriter& out) { SoundBank().Generate(out); }},
      {"pieces", [](AssetWriter& out) { PieceArt().Generate(out); }},
      {"menus", [](AssetWriter& out) { MenuArt().Generate(out); }},
      {"journey", [](AssetWriter& out) { JourneyArt().Generate(out); }},
      {"game", [](AssetWriter& out) { GameScreenArt().Generate(out); }},
      {"fonts", [](AssetWriter& out) { FontBuilder().Generate(out); }},
  };
  std::vector<Job> chosen;
  for (const Job& job : jobs) {
    bool wanted = only.empty();
    for (const std::string& name : only) wanted = wanted || name == job.name;
    if (wanted) chosen.push_back(job);
  }

  auto start = std::chrono::steady_clock::now();
  AssetWriter out(outRoot);
  std::atomic<size_t> next{0};
  auto worker = [&] {
    for (size_t i = next++; i < chosen.size(); i = next++) {
      auto jobStart = std::chrono::steady_clock::now();
      chosen[i].run(out);
      double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - jobStart).count();
      std::printf("assetgen: %-8s %.2f s\n", chosen[i].name, seconds);
    }
  };
  std::thread helper(worker);
  worker();
  helper.join();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("assetgen: %d files in %.2f s, %d failures\n", out.Written(), seconds, out.Failures());
  return out.Failures() == 0 ? 0 : 1;
}
