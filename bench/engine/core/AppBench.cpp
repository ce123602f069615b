// Cost of the spine itself, with nothing drawn: an empty update step, one step and one frame of a
// 500-gadget tree, and routing 10,000 queued mouse moves through that tree.
#include <benchmark/benchmark.h>

#include "engine/core/App.h"
#include "engine/core/Gadget.h"
#include "engine/core/Graphics.h"
#include "platform/PlatformEvent.h"

namespace {

class Counter : public Gadget {
public:
    void Update() override { ++mTicks; }
    void MouseMove(float x, float y) override { mLast = x + y; }
    int mTicks = 0;
    float mLast = 0.0f;
};

// 50 screens side by side in a 10x5 grid, each with 9 children: 500 gadgets.
void BuildTree(App& app) {
    for (int s = 0; s < 50; ++s) {
        Counter* screen = new Counter();
        screen->SetRect(float(s % 10) * 80.0f, float(s / 10) * 120.0f, 80.0f, 120.0f);
        for (int c = 0; c < 9; ++c) {
            Counter* child = new Counter();
            child->SetRect(float(c % 3) * 26.0f, float(c / 3) * 40.0f, 26.0f, 40.0f);
            screen->AddChild(child);
        }
        app.mGadgets.Add(screen);
    }
}

void BM_EmptyStep(benchmark::State& state) {
    App app;
    app.mGraphics = new Graphics();
    app.mInput.Init([](uint8_t*) { return true; });
    for (auto _ : state) {
        app.Update();
        app.PostUpdate();
    }
}
BENCHMARK(BM_EmptyStep);

void BM_TreeStep500(benchmark::State& state) {
    App app;
    app.mGraphics = new Graphics();
    app.mInput.Init([](uint8_t*) { return true; });
    BuildTree(app);
    for (auto _ : state) app.Update();
}
BENCHMARK(BM_TreeStep500);

void BM_TreeFrame500(benchmark::State& state) {
    App app;
    app.mGraphics = new Graphics();
    BuildTree(app);
    for (auto _ : state) {
        app.BeginDraw();
        app.Draw();
        app.EndDraw();
    }
}
BENCHMARK(BM_TreeFrame500);

void BM_Route10000MouseMoves(benchmark::State& state) {
    App app;
    app.mGraphics = new Graphics();
    BuildTree(app);
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i)
            app.QueueEvent(kMsgMouseMove, 0, PackMousePosition((i * 7) % 800, (i * 13) % 600));
        app.ProcessEvents();
    }
}
BENCHMARK(BM_Route10000MouseMoves)->Unit(benchmark::kMillisecond);

}  // namespace
