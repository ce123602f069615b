// The game's piece: a slide-board piece drawn with the quorl pictures. It blinks now and then,
// shakes when hit, turns into a dullbone (a skull) with a shrinking, fading animation and a puff,
// and cracks; the game rules decide when each of these happens.
#pragma once

#include "board/SlideObject.h"

class GraphicsDevice;
class ObjectManager;
class Sound;
class Sprite;

// The pictures and sounds pieces draw and play with; the application loads them once.
struct QuorlImageSet {
    static constexpr int kColors = 9;       // colours 0 to 7, and 8: the dullbone
    static constexpr int kSkull = 8;
    const Sprite* mFrames[kColors][2] = {};  // "Graphics\\quorls\\ql%d0", "ql%d1"
    const Sprite* mCracks[2] = {};           // "Graphics\\quorls\\crack%d"
    const Sprite* mLargeFrames[kColors][2] = {};
    const Sprite* mLargeCracks[2] = {};
    const Sprite* mPuff = nullptr;           // the cloud a dullbone appears in
    const Sprite* mDust = nullptr;           // the dust a hit knocks off
    Sound* mCrackSound = nullptr;
    Sound* mShatterSound = nullptr;
};

// What a piece needs from the board it lives on, kept by the game board.
struct QuorlContext {
    const QuorlImageSet* mImages = nullptr;
    ObjectManager* mParticles = nullptr;  // the board's particle manager
    bool mBlink = true;                   // pieces blink now and then
    // Steadily advancing counter that alternates the two skull frames (every 75 steps).
    const int* mClock = nullptr;
};

class QuorlObject : public SlideObject {
public:
    // Updates of the shake before a piece turning into a dullbone starts to shrink.
    static constexpr int kVanishShake = 75;
    static constexpr int kHitShake = 25;

    QuorlObject(SlideBoard* board, QuorlContext* context);
    // A piece destroyed mid-vanish gives its count back to the board.
    ~QuorlObject() override;

    // Starts the turn-into-dullbone animation.
    void StartVanish();
    // A hit on a dullbone: cracks it, shakes it, dust and sound; true once it is broken (the
    // second and every later hit).
    bool Hit();

    void Update() override;
    void Draw() override;
    // The piece record and kExtraRecordSize bytes of the game piece's own state.
    static constexpr int kExtraRecordSize = 38;
    void Save(DataBuffer& buffer) const override;
    bool Load(RecordReader& in) override;
    // The piece, its cracks and whether it is turning into a dullbone.
    void HashState(StateHash& hash) const override;

    QuorlContext* mContext = nullptr;
    float mDrawOffsetX = 0.0f, mDrawOffsetY = 0.0f;
    float mScale = 1.0f;
    float mAngle = 0.0f;
    float mAlpha = 1.0f;
    bool mVanishing = false;
    int mVanishPhase = 0;
    int mVanishCountdown = 0;
    int mShakeCountdown = 0;
    int mCrackLevel = 0;
    bool mMirrored = false;
    int mAlternateFrame = 0;
    int mBlinkCountdown = 0;

private:
    // Hands one back to the board's count of pieces turning into dullbones (never below 0).
    void EndVanishCount();
    // A white particle at the piece's centre on the board's particle manager (none without one).
    void AddParticle(const Sprite* sprite, float alpha, const char* script) const;
    bool BlinkOn() const;
    const QuorlImageSet* Images() const;
    // The picture of a colour (or the skull) in the piece's size; null when missing or empty.
    const Sprite* Picture(int color, int frame) const;
    // The crack overlay for the crack level; null when uncracked or missing.
    const Sprite* CrackPicture() const;
    int SkullFrame() const;
    // One picture at the piece's drawing origin, tinted by `tint` times `alpha`.
    void DrawPicture(GraphicsDevice& device, const Sprite* sprite, float scale, float alpha,
                     const float* tint) const;
    // The plain square (a dark one for a dullbone) when the pictures are missing.
    void DrawFallback(GraphicsDevice& device);
};
