// A snapshot of one piece, pushed before a tentative change to the board (snapping at the end of
// a drag, move searches, crushing) and afterwards either re-applied (undo) or dropped (keep).
#pragma once

class SlideLine;

struct SlideObjectState {
    float mX = 0.0f, mY = 0.0f;
    float mW = 0.0f, mH = 0.0f;
    float mHomeX = 0.0f, mHomeY = 0.0f;
    SlideLine* mRowLine = nullptr;
    SlideLine* mColumnLine = nullptr;
    int mColor = 0;
    int mPushStamp = 0;
    float mPrevX = 0.0f, mPrevY = 0.0f;
    float mStepStartX = 0.0f, mStepStartY = 0.0f;
    float mStepMoveX = 0.0f, mStepMoveY = 0.0f;
    bool mLocked = false;
    bool mSpecial = false;
    int mMatchStamp = 0;
    int mGridColumn = 0, mGridRow = 0, mGridWidth = 0, mGridHeight = 0;
    float mFallOffsetX = 0.0f, mFallOffsetY = 0.0f;
    float mFallDirX = 0.0f, mFallDirY = 0.0f;
    bool mFalling = false;
    float mFallSpeed = 0.0f;
    bool mPushedOut = false;
};
