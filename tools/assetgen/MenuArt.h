// Art of the screens around the game: title and loading bar, main menu, mode picker, quick
// menu, message box and its buttons, options, name entry, the three scores pages and their
// arrows, the profile screen, and the tutorial backdrop.
#pragma once

class AssetWriter;

class MenuArt {
 public:
  void Generate(AssetWriter& out) const;
};
