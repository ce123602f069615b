// Art of the journey map: the 800 by 1200 sky canvas, the three star pictures and four
// planets painted onto it at start-up, the node frame for level thumbnails, the done stamp,
// link arrows, the start marker and the map's top and bottom borders.
#pragma once

class AssetWriter;

class JourneyArt {
 public:
  void Generate(AssetWriter& out) const;
};
