// Art of the level screen: background, danger meter, hint crystal ball, menu button, score
// plate, board frame and border rails, lit floor tile, effects (puff, glow, dust), the hint
// hand, the no-moves wheel, the level-cleared banner and panel, pause card, treasure medals,
// and the cursor set.
#pragma once

class AssetWriter;

class GameScreenArt {
 public:
  void Generate(AssetWriter& out) const;
};
