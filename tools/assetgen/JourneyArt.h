// placeholder
#pragma once
class AssetWriter;
class JourneyArt {
 public:
  void Generate(AssetWriter& out) const;
};
