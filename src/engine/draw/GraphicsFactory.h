// Chooses and starts the drawing device: accelerated unless software is asked for or the
// accelerated renderer cannot be made, in which case the software device (640 by 480 back
// buffer, shown through the platform renderer) takes over.
#pragma once

#include <string>

#include "engine/draw/GraphicsDevice.h"

class Window;

class GraphicsFactory {
public:
    // An initialised device for the window (or a headless software one without a window).
    // Never null; `software` is updated to what was made.
    static GraphicsDevice* Create(Window* window, bool& software);
    // The hardware test's verdicts for this machine: stored ones when the adapter, the drawing
    // library and the tester are unchanged, else those of a new test run ("-hwtest" forces one and
    // writes its pictures). Not consulted (both false) when "-software" or "-hardware" is given,
    // since those decide by themselves. Runs once per process.
    static void HardwareVerdicts(const std::string& commandLine, bool* softwareRequired, bool* softwareRecommended);
    // Forgets the verdicts of this process (tests).
    static void ForgetHardwareVerdicts();
};
