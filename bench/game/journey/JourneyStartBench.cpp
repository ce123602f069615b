// A journey start as the player sees it: from the new session to the map's first drawn frame,
// with the game's own art through the software device. Arg 0: every level thumbnail is made and
// written to the data folder (a player's first journey); arg 1: the same map again, every
// thumbnail read from the data folder. Uses the art the benchmark build generates beside it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "game/GeneratedArt.h"
#include "TestSupport.h"
#include "board/BoardRandom.h"
#include "engine/core/AppTestDriver.h"
#include "engine/draw/SoftwareGraphics.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/journey/Maze.h"
#include "platform/FileSystem.h"

namespace {

class BenchGameApp : public GameApp {
public:
    Graphics* CreateGraphics() override { return new SoftwareGraphics(800, 600); }
};

// One application for the whole program (only one may exist at a time).
AppTestDriver<BenchGameApp>* Driver() {
    static std::unique_ptr<AppTestDriver<BenchGameApp>> drive;
    if (!drive) {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        TestSupport::UseFreshDataFolder();
        Files::SetResourceRoot(GeneratedArt::Root().string());
        ProgramRandom().Seed(17);
        drive = std::make_unique<AppTestDriver<BenchGameApp>>();
        drive->app->LoadResourcesNow();
    }
    return drive.get();
}

void BM_JourneyStart(benchmark::State& state) {
    if (GeneratedArt::Root().empty()) {
        state.SkipWithError("this build generated no art");
        return;
    }
    const bool cached = state.range(0) != 0;
    AppTestDriver<BenchGameApp>& drive = *Driver();
    const std::string thumbs = Files::DataRoot() + "/Graphics/thumbs";
    int made = 0, read = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ec;
        if (!cached) std::filesystem::remove_all(thumbs, ec);
        drive.app->SetMapSeed(4);
        auto* session = new GameSession(drive.app.get());
        drive.app->mGadgets.Add(session);
        drive.app->mSession = session;
        state.ResumeTiming();
        // The first update makes the map; the frame after it shows it.
        drive.Step(1);
        state.PauseTiming();
        if (Maze* map = session->GetMap()) made = map->mThumbnailsMade, read = map->mThumbnailsLoaded;
        session->Kill();
        drive.Step(2);
        state.ResumeTiming();
    }
    state.counters["made"] = made;
    state.counters["read"] = read;
}
BENCHMARK(BM_JourneyStart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
