#pragma once
class AssetWriter;
class FontBuilder {
 public:
  void Generate(AssetWriter& out) const;
};
