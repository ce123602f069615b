// SDL message boxes, clipboard and URL opening; standard error when there is no display.
#include "platform/Desktop.h"

#include <SDL.h>

#include <sys/utsname.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdio>
#include <string>

#include "platform/Window.h"

namespace Desktop {

Answer ShowMessageBox(const std::string& title, const std::string& text, Buttons buttons) {
    if (Window::HasDisplay()) {
        SDL_MessageBoxButtonData ok{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"};
        SDL_MessageBoxButtonData yesNo[2] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        };
        SDL_MessageBoxData data{};
        data.flags = SDL_MESSAGEBOX_INFORMATION;
        data.title = title.c_str();
        data.message = text.c_str();
        data.numbuttons = buttons == Buttons::kOk ? 1 : 2;
        data.buttons = buttons == Buttons::kOk ? &ok : yesNo;
        int pressed = -1;
        if (SDL_ShowMessageBox(&data, &pressed) == 0) {
            if (buttons == Buttons::kOk) return Answer::kOk;
            return pressed == 0 ? Answer::kNo : Answer::kYes;
        }
    }
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return Answer::kNotShown;
}

bool DesktopMode(int* width, int* height, int* depth) {
    if (!Window::HasDisplay() || !SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    *depth = int(SDL_BITSPERPIXEL(mode.format));
    return true;
}

bool SetClipboardText(const std::string& text) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return SDL_SetClipboardText(text.c_str()) == 0;
}

std::string GetClipboardText() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return std::string();
    char* text = SDL_GetClipboardText();
    std::string result = text ? text : "";
    SDL_free(text);
    return result;
}

bool OpenURL(const std::string& url) {
    // Only addresses a browser or mail program should see; never local programs or files.
    bool allowed = url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0 || url.rfind("mailto:", 0) == 0;
    if (!allowed) return false;
    for (char c : url)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return SDL_OpenURL(url.c_str()) == 0;
}

void Beep() {
    // No system bell through SDL; a terminal bell would only reach a console. Silent by design.
}

void SetThreadAboveNormal(bool above) {
    SDL_SetThreadPriority(above ? SDL_THREAD_PRIORITY_HIGH : SDL_THREAD_PRIORITY_NORMAL);
}

void ReturnFreeMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

std::string SystemDescription() {
    utsname name{};
    if (uname(&name) != 0) return "unknown";
    return std::string(name.sysname) + " " + name.release + " " + name.machine;
}

std::string DrawingLibraryVersion() {
    SDL_version version;
    SDL_GetVersion(&version);
    return "SDL " + std::to_string(version.major) + "." + std::to_string(version.minor) + "." + std::to_string(version.patch);
}

}  // namespace Desktop
