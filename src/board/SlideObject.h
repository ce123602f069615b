// A piece on the slide board: one cell, or two by two cells when large. It rests at its home
// position; drags move it away from home along its row or column line, where it wraps.
#pragma once

#include <vector>

#include "board/SlideObjectState.h"
#include "engine/core/Object.h"
#include "engine/core/Rect.h"

class DataBuffer;
class RecordReader;
class SlideBoard;
class SlideLine;

class SlideObject : public Object {
public:
    // Draws the colour from the board's random source.
    explicit SlideObject(SlideBoard* board);
    // Forgets the piece everywhere on its board (lists, work grid, dragged piece).
    ~SlideObject() override;

    void Update() override {}
    // A plain coloured square inset by one pixel, at the current draw origin.
    void Draw() override;
    // Colour, kind and where the piece is.
    void HashState(StateHash& hash) const override;
    // Draws at the wrapped position (twice across a line's wrap), or with the fall offset.
    virtual void DrawWrapped();

    // -1 when taken off, special or pushed out: such a piece never matches.
    int MatchColor() const;
    bool IsLarge() const { return mLarge; }

    void SetPosition(float x, float y);
    // Home = position; finds the lines the piece lies in.
    void MakeHome();
    // Recomputes the wrapped position from the position.
    void Rewrap();
    void Recolor();

    void PushState();
    // Applies the newest snapshot and removes it (undo).
    void PopState();
    // Applies the newest snapshot and keeps it.
    void PeekState();
    // Removes the newest snapshot (keep the change).
    void DropState();
    int SavedStateCount() const { return static_cast<int>(mStates.size()); }

    // The piece's saved record: kRecordSize bytes (home, lines and snapshots are not stored).
    static constexpr int kRecordSize = 109;
    virtual void Save(DataBuffer& buffer) const;
    // Reads the record, checking each value; the piece's home becomes the loaded position (the
    // board's lines must exist). Where it lies on the board is the board's to check.
    virtual bool Load(RecordReader& in);

    // Rectangle at the position, and at the wrapped position.
    Rect Bounds() const { return Rect{mX, mY, mW, mH}; }
    Rect WrappedBounds() const { return Rect{mWrappedX, mWrappedY, mW, mH}; }
    // Centre of the copy drawn one wrap further on while the piece overlaps its line's start cap;
    // false when there is no such copy.
    bool DrawnCopyCentre(float& x, float& y) const;

    SlideBoard* mBoard = nullptr;
    int mColor = 0;
    float mX = 0.0f, mY = 0.0f;
    float mW = 0.0f, mH = 0.0f;
    float mHomeX = 0.0f, mHomeY = 0.0f;
    SlideLine* mRowLine = nullptr;
    SlideLine* mColumnLine = nullptr;
    int mPushStamp = 0;
    float mPrevX = 0.0f, mPrevY = 0.0f;
    float mWrappedX = 0.0f, mWrappedY = 0.0f;
    bool mLarge = false;
    float mRequestedX = 0.0f, mRequestedY = 0.0f;
    float mStepStartX = 0.0f, mStepStartY = 0.0f;
    float mStepMoveX = 0.0f, mStepMoveY = 0.0f;
    bool mLocked = false;
    bool mSpecial = false;
    int mMatchStamp = 0;
    int mGridColumn = 0, mGridRow = 0, mGridWidth = 0, mGridHeight = 0;
    std::vector<SlideObjectState> mStates;
    float mFallOffsetX = 0.0f, mFallOffsetY = 0.0f;
    float mFallDirX = 0.0f, mFallDirY = 0.0f;
    bool mFalling = false;
    float mFallSpeed = 0.0f;
    bool mPushedOut = false;

    // Bookkeeping of the board's searches (not part of the piece's state).
    int mVisitMark = 0;
    int mSearchMark = 0;

private:
    void DrawAt(float x, float y);
};
