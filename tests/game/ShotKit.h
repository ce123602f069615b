// Game screens drawn by the software device in tests: an application that draws its 800 by 600
// screen in memory, where the shots are written, and a pixel of the last picture read back.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/draw/SoftwareGraphics.h"
#include "game/GameApp.h"

namespace ShotKit {

class ShotGameApp : public GameApp {
public:
    Graphics* CreateGraphics() override { return new SoftwareGraphics(800, 600); }
};

// $QS_SHOT_DIR/name, else /tmp/name.
inline std::string ShotPath(const char* name) {
    const char* dir = std::getenv("QS_SHOT_DIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

// The drawn picture's pixel (RGB) at a point; 0 outside it or without a software device.
inline uint32_t PixelAt(App& app, int x, int y) {
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    auto* device = dynamic_cast<SoftwareGraphics*>(app.mGraphics);
    if (!device || !device->ReadPixels(argb, w, h) || x < 0 || y < 0 || x >= w || y >= h) return 0;
    return argb[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFFu;
}

}  // namespace ShotKit
