// What the desktop offers besides the window: message boxes, the clipboard, opening addresses
// in the user's browser, the bell and thread priority. Without a display, message boxes are
// written to standard error (the caller logs them too).
#pragma once

#include <string>

namespace Desktop {

enum class Buttons { kOk, kYesNo };
enum class Answer { kOk, kYes, kNo, kNotShown };

// Shows a modal box; kNotShown when there is no display (the text went to standard error).
Answer ShowMessageBox(const std::string& title, const std::string& text, Buttons buttons);
bool SetClipboardText(const std::string& text);
// Empty when the clipboard holds no text.
std::string GetClipboardText();
// Hands an http(s) or mailto address to the desktop; false when refused or not such an address.
bool OpenURL(const std::string& url);
void Beep();
// The desktop's size and colour depth (bits per pixel); false when there is no display.
bool DesktopMode(int* width, int* height, int* depth);
// Runs the calling thread one step above normal priority, or back at normal.
void SetThreadAboveNormal(bool above);
// Gives memory the program has freed back to the system (worth it once after loading, when the
// decoding buffers of every picture and sound are gone).
void ReturnFreeMemory();
// "Linux 6.1.0 x86_64" style description of the running system, for crash reports.
std::string SystemDescription();
// The drawing library and its version, for crash reports.
std::string DrawingLibraryVersion();

}  // namespace Desktop
