// Level generation: a level id alone decides the board's shape, its code (which names the level's
// thumbnail) and its pressure, through a random source seeded with the level's number. The pieces
// are dealt later by the slide board from its own source.
#pragma once

#include <string>

struct LevelRecipe {
    std::string mCode;          // "TS6", "TS8H3-3S3", "T0-1", "TDEF" ...
    std::string mLayout;        // "[#####][#####]..." rows top to bottom, '#' cell, ' ' hole
    int mPixelSize = 500;       // 250 for the demonstration board (-1000)
    bool mLargePieces = true;   // false only for the demonstration board
    float mDangerPerMove = 0.0f;
    float mDangerPerGroup = 0.0f;   // "danger per extra group"
    float mDangerPerCascade = 0.0f;
    int mDullbonesPerFill = 0;
    int mColors = 8;
};

// The tutorial's demonstration board.
constexpr int kDemoLevelId = -1000;

// The shape, code and pressure of a level; depends only on the level id.
LevelRecipe GenerateLevel(int levelId);
