// The game's name and version, shown in the title bar, by --version and in crash reports.
#pragma once

extern const char* const kGameTitle;    // "Quorl Slide"
extern const char* const kGameVersion;  // "major.minor.patch"
