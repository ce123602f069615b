// Chooses and starts the drawing device: accelerated unless software is asked for or the
// accelerated renderer cannot be made, in which case the software device (640 by 480 back
// buffer, shown through the platform renderer) takes over.
#pragma once

#include "engine/draw/GraphicsDevice.h"

class Window;

class GraphicsFactory {
public:
    // An initialised device for the window (or a headless software one without a window).
    // Never null; `software` is updated to what was made.
    static GraphicsDevice* Create(Window* window, bool& software);
};
