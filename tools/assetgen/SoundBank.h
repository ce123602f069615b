#pragma once
class AssetWriter;
class SoundBank {
 public:
  void Generate(AssetWriter& out) const;
};
