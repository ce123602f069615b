// placeholder
#pragma once
class AssetWriter;
class MenuArt {
 public:
  void Generate(AssetWriter& out) const;
};
