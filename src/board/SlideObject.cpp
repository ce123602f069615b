// Pieces: life cycle, wrapping, snapshots and the plain drawing of the base piece.
#include "board/SlideObject.h"

#include <cmath>

#include "board/BoardRandom.h"
#include "board/SlideBoard.h"
#include "board/SlideLine.h"
#include "engine/core/App.h"
#include "engine/core/Graphics.h"
#include "engine/core/StateHash.h"
#include "engine/draw/ColorTable.h"
#include "engine/draw/GraphicsDevice.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"

namespace {

Graphics* Device() {
    App* app = App::Instance();
    return app ? app->mGraphics : nullptr;
}

}  // namespace

SlideObject::SlideObject(SlideBoard* board) : mBoard(board) {
    if (mBoard) mColor = mBoard->mRandom.Range(mBoard->mNumColors);
}

SlideObject::~SlideObject() {
    if (mBoard) mBoard->ForgetObject(this);
}

int SlideObject::MatchColor() const {
    if (mKilled || mSpecial || mPushedOut) return -1;
    return mColor;
}

void SlideObject::SetPosition(float x, float y) {
    mX = x;
    mY = y;
    MakeHome();
}

void SlideObject::MakeHome() {
    mHomeX = mX;
    mHomeY = mY;
    mWrappedX = mX;
    mWrappedY = mY;
    mRowLine = nullptr;
    mColumnLine = nullptr;
    if (!mBoard) return;
    Rect bounds = Bounds();
    // The last line found of each orientation wins (a large piece takes its lower row and
    // right column).
    for (void* item : mBoard->mLines.Items()) {
        SlideLine* line = static_cast<SlideLine*>(item);
        if (!RectsOverlap(bounds, line->mCellArea)) continue;
        if (line->mHorizontal)
            mRowLine = line;
        else
            mColumnLine = line;
    }
}

void SlideObject::Rewrap() {
    mWrappedX = mX;
    mWrappedY = mY;
    if (mX != mHomeX && mRowLine) mWrappedX = mRowLine->Wrap(mX);
    if (mY != mHomeY && mColumnLine) mWrappedY = mColumnLine->Wrap(mY);
}

void SlideObject::Recolor() {
    if (mBoard) mColor = mBoard->mRandom.Range(mBoard->mNumColors);
}

void SlideObject::PushState() {
    SlideObjectState s;
    s.mX = mX, s.mY = mY, s.mW = mW, s.mH = mH;
    s.mHomeX = mHomeX, s.mHomeY = mHomeY;
    s.mRowLine = mRowLine, s.mColumnLine = mColumnLine;
    s.mColor = mColor;
    s.mPushStamp = mPushStamp;
    s.mPrevX = mPrevX, s.mPrevY = mPrevY;
    s.mStepStartX = mStepStartX, s.mStepStartY = mStepStartY;
    s.mStepMoveX = mStepMoveX, s.mStepMoveY = mStepMoveY;
    s.mLocked = mLocked, s.mSpecial = mSpecial;
    s.mMatchStamp = mMatchStamp;
    s.mGridColumn = mGridColumn, s.mGridRow = mGridRow, s.mGridWidth = mGridWidth, s.mGridHeight = mGridHeight;
    s.mFallOffsetX = mFallOffsetX, s.mFallOffsetY = mFallOffsetY;
    s.mFallDirX = mFallDirX, s.mFallDirY = mFallDirY;
    s.mFalling = mFalling, s.mFallSpeed = mFallSpeed;
    s.mPushedOut = mPushedOut;
    mStates.push_back(s);
}

void SlideObject::PeekState() {
    if (mStates.empty()) return;
    const SlideObjectState& s = mStates.back();
    mX = s.mX, mY = s.mY, mW = s.mW, mH = s.mH;
    mHomeX = s.mHomeX, mHomeY = s.mHomeY;
    mRowLine = s.mRowLine, mColumnLine = s.mColumnLine;
    mColor = s.mColor;
    mPushStamp = s.mPushStamp;
    mPrevX = s.mPrevX, mPrevY = s.mPrevY;
    mStepStartX = s.mStepStartX, mStepStartY = s.mStepStartY;
    mStepMoveX = s.mStepMoveX, mStepMoveY = s.mStepMoveY;
    mLocked = s.mLocked, mSpecial = s.mSpecial;
    mMatchStamp = s.mMatchStamp;
    mGridColumn = s.mGridColumn, mGridRow = s.mGridRow, mGridWidth = s.mGridWidth, mGridHeight = s.mGridHeight;
    mFallOffsetX = s.mFallOffsetX, mFallOffsetY = s.mFallOffsetY;
    mFallDirX = s.mFallDirX, mFallDirY = s.mFallDirY;
    mFalling = s.mFalling, mFallSpeed = s.mFallSpeed;
    mPushedOut = s.mPushedOut;
    Rewrap();
}

void SlideObject::PopState() {
    if (mStates.empty()) return;
    PeekState();
    mStates.pop_back();
}

void SlideObject::DropState() {
    if (!mStates.empty()) mStates.pop_back();
}

bool SlideObject::DrawnCopyCentre(float& x, float& y) const {
    Rect wrapped = WrappedBounds();
    if (mX != mHomeX && mRowLine && RectsOverlap(wrapped, mRowLine->mStartCap)) {
        x = mWrappedX + mRowLine->WrapLength() + mW * 0.5f;
        y = mWrappedY + mH * 0.5f;
        return true;
    }
    if (mY != mHomeY && mColumnLine && RectsOverlap(wrapped, mColumnLine->mStartCap)) {
        x = mWrappedX + mW * 0.5f;
        y = mWrappedY + mColumnLine->WrapLength() + mH * 0.5f;
        return true;
    }
    return false;
}

// ---- saved form ---------------------------------------------------------------------------------

void SlideObject::Save(DataBuffer& out) const {
    out.WriteFloat(mX);
    out.WriteFloat(mY);
    out.WriteInt(mColor);
    out.WriteFloat(mW);
    out.WriteFloat(mH);
    out.WriteInt(mPushStamp);
    out.WriteFloat(mPrevX);
    out.WriteFloat(mPrevY);
    out.WriteFloat(mWrappedX);
    out.WriteFloat(mWrappedY);
    out.WriteBool(mLarge);
    out.WriteFloat(mRequestedX);
    out.WriteFloat(mRequestedY);
    out.WriteFloat(mStepStartX);
    out.WriteFloat(mStepStartY);
    out.WriteFloat(mStepMoveX);
    out.WriteFloat(mStepMoveY);
    out.WriteBool(mLocked);
    out.WriteBool(mSpecial);
    out.WriteInt(mMatchStamp);
    out.WriteInt(mGridColumn);
    out.WriteInt(mGridRow);
    out.WriteInt(mGridWidth);
    out.WriteInt(mGridHeight);
    out.WriteFloat(mFallOffsetX);
    out.WriteFloat(mFallOffsetY);
    out.WriteFloat(mFallDirX);
    out.WriteFloat(mFallDirY);
    out.WriteBool(mFalling);
    out.WriteFloat(mFallSpeed);
    out.WriteBool(mPushedOut);
}

bool SlideObject::Load(RecordReader& in) {
    const float far = SlideBoard::kFarCoordinate;
    const int grid = SlideBoard::kGridSize;
    mX = in.Float("piece x", -far, far);
    mY = in.Float("piece y", -far, far);
    mColor = in.Int("piece colour", 0, SlideBoard::kMaxColors - 1);
    mW = in.Float("piece width", 1.0f, far);
    mH = in.Float("piece height", 1.0f, far);
    mPushStamp = in.Int("piece push stamp");
    mPrevX = in.Float("piece previous x", -far, far);
    mPrevY = in.Float("piece previous y", -far, far);
    mWrappedX = in.Float("piece wrapped x", -far, far);
    mWrappedY = in.Float("piece wrapped y", -far, far);
    mLarge = in.Bool("piece large");
    mRequestedX = in.Float("piece requested move x", -far, far);
    mRequestedY = in.Float("piece requested move y", -far, far);
    mStepStartX = in.Float("piece step start x", -far, far);
    mStepStartY = in.Float("piece step start y", -far, far);
    mStepMoveX = in.Float("piece step x", -far, far);
    mStepMoveY = in.Float("piece step y", -far, far);
    mLocked = in.Bool("piece locked");
    mSpecial = in.Bool("piece special");
    mMatchStamp = in.Int("piece match stamp");
    // The grid cell is worked out again from the position; a piece forgets itself over this
    // many cells, so they must stay small.
    mGridColumn = in.Int("piece grid column", 0, grid);
    mGridRow = in.Int("piece grid row", 0, grid);
    mGridWidth = in.Int("piece grid width", 0, 2);
    mGridHeight = in.Int("piece grid height", 0, 2);
    mFallOffsetX = in.Float("piece fall offset x", -far, far);
    mFallOffsetY = in.Float("piece fall offset y", -far, far);
    mFallDirX = in.Float("piece fall direction x", -1.0f, 1.0f);
    mFallDirY = in.Float("piece fall direction y", -1.0f, 1.0f);
    mFalling = in.Bool("piece falling");
    mFallSpeed = in.Float("piece fall speed", 0.0f, far);
    mPushedOut = in.Bool("piece pushed out");
    if (!in.Ok()) return false;
    MakeHome();
    return true;
}

// ---- drawing --------------------------------------------------------------------------------------

void SlideObject::Draw() {
    // The plain piece: a square of the engine's indexed colour for its colour number.
    auto* device = dynamic_cast<GraphicsDevice*>(Device());
    if (!device) return;
    ColorTable::Color c = ColorTable::Get(mColor);
    device->PushColor();
    device->SetColor(c.r, c.g, c.b, c.a);
    device->FillRect(1.0f, 1.0f, mW - 2.0f, mH - 2.0f);
    device->PopColor();
}

void SlideObject::DrawAt(float x, float y) {
    Graphics* g = Device();
    if (!g) {
        Draw();
        return;
    }
    Point saved = g->mOrigin;
    g->mOrigin.x += x;
    g->mOrigin.y += y;
    Draw();
    g->mOrigin = saved;
}

void SlideObject::DrawWrapped() {
    Graphics* g = Device();
    Rect savedClip = g ? g->mClip : Rect{};
    auto clipTo = [&](const Rect& band) {
        if (!g) return;
        Rect screenBand{band.x + g->mOrigin.x, band.y + g->mOrigin.y, band.w, band.h};
        g->SetClip(g->mClip.Intersect(screenBand));
    };

    if (mFalling) {
        if (mFallDirX != 0.0f && mRowLine) clipTo(mRowLine->mBand);
        if (mFallDirY != 0.0f && mColumnLine) clipTo(mColumnLine->mBand);
        DrawAt(mX + mFallOffsetX, mY + mFallOffsetY);
        if (g) g->SetClip(savedClip);
        return;
    }
    Rect wrapped = WrappedBounds();
    if (mX != mHomeX && mRowLine && RectsOverlap(wrapped, mRowLine->mStartCap)) {
        clipTo(mRowLine->mBand);
        DrawAt(mWrappedX, mWrappedY);
        DrawAt(mWrappedX + mRowLine->WrapLength(), mWrappedY);
        if (g) g->SetClip(savedClip);
        return;
    }
    if (mY != mHomeY && mColumnLine && RectsOverlap(wrapped, mColumnLine->mStartCap)) {
        clipTo(mColumnLine->mBand);
        DrawAt(mWrappedX, mWrappedY);
        DrawAt(mWrappedX, mWrappedY + mColumnLine->WrapLength());
        if (g) g->SetClip(savedClip);
        return;
    }
    DrawAt(mWrappedX, mWrappedY);
}

void SlideObject::HashState(StateHash& hash) const {
    hash.AddInt(mColor);
    hash.AddFloat(mX);
    hash.AddFloat(mY);
    hash.AddFloat(mW);
    hash.AddFloat(mH);
    hash.AddBool(mLarge);
    hash.AddBool(mSpecial);
    hash.AddBool(mLocked);
    hash.AddBool(mFalling);
}
