// Renders the application's gadget tree headless through the software device and writes a PNG,
// so any suite can look at its screens:
//   AppTestDriver<ShotApp> drive;  drive.app->mGadgets.Add(screen);
//   HeadlessShot::Write(drive, "/tmp/screen.png");
#pragma once

#include <string>

#include "engine/core/App.h"
#include "engine/core/AppTestDriver.h"
#include "engine/draw/SoftwareGraphics.h"

// An application whose drawing device is the software one with an 800 by 600 back buffer.
class ShotApp : public App {
public:
    Graphics* CreateGraphics() override { return new SoftwareGraphics(800, 600); }
};

namespace HeadlessShot {

// Draws one frame and writes the back buffer as PNG at a real path; false when it could not.
template <class AppType>
bool Write(AppTestDriver<AppType>& drive, const std::string& realPath) {
    drive.Frame();
    auto* device = dynamic_cast<SoftwareGraphics*>(drive.app->mGraphics);
    return device && device->WritePng(realPath);
}

}  // namespace HeadlessShot
