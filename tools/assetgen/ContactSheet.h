// Review aids: every generated picture on labelled pages, and a listening page with each
// sound's length and levels, so art and sound can be judged without running the game.
#pragma once

#include <string>

class ContactSheet {
 public:
  // Reads the generated tree under root and writes page%02d.png and listening.html into dir.
  // Returns 0 on success, 1 when something could not be read or written.
  int Render(const std::string& root, const std::string& manifestPath, const std::string& dir) const;
};
