// A node of the journey map as the player sees it: a button showing the level's framed thumbnail
// (or the treasure's medal, or the idol), dimmed while locked, stamped when done and ringed while
// newly revealed. It remembers its lane and step; the idol's are 999.
#pragma once

#include "engine/controls/Button.h"

class Maze;

class MazeButton : public Button {
public:
    MazeButton(Maze* maze, int lane, int step);

    void Draw() override;
    // Hidden buttons and the parts behind the map's top and bottom borders take no clicks.
    bool HitTest(float x, float y) override;

    bool IsIdol() const { return mLane == 999; }

    Maze* mMaze = nullptr;
    int mLane = 0;
    int mStep = 0;
};
