// The game's piece: blinking, the hit shake, the turn into a dullbone and the pictures it draws.
// Cosmetic random draws come from the program-wide generator so the board's own generator (and
// with it a replayed game) is not disturbed by how often pieces blink.
#include "board/QuorlObject.h"

#include <cmath>

#include "board/BoardRandom.h"
#include "board/SlideBoard.h"
#include "engine/audio/Sound.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/StateHash.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Particle.h"
#include "engine/draw/Sprite.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"

namespace {

// Pictures are prepared this much smaller than the piece and drawn this far in from its corner.
constexpr float kPictureInset = 6.0f;
constexpr float kShakeDistance = 5.0f;
constexpr int kShakeAngle = 10;
constexpr float kShrinkStep = 0.03f;
constexpr int kSkullFrameSteps = 75;
constexpr float kFallbackGrey = 0.3f;

constexpr const char* kDustScript = "mScale-=.005f;mColor.mAlpha-=.025f";
constexpr const char* kPuffScript = "mScale+=.05f;mColor.mAlpha-=.025f";

void RandomShakeOffset(float& x, float& y) {
    float radians = float(ProgramRandom().Range(360)) * float(M_PI) / 180.0f;
    x = std::cos(radians) * kShakeDistance;
    y = std::sin(radians) * kShakeDistance;
}

}  // namespace

QuorlObject::QuorlObject(SlideBoard* board, QuorlContext* context) : SlideObject(board), mContext(context) {
    mMirrored = ProgramRandom().Range(2) == 1;
    bool blinkRoll = ProgramRandom().Range(100) == 50;
    mAlternateFrame = (blinkRoll && BlinkOn()) ? 1 : 0;
}

QuorlObject::~QuorlObject() {
    if (mVanishing) EndVanishCount();
}

bool QuorlObject::BlinkOn() const { return mContext && mContext->mBlink; }

// ---- state changes -------------------------------------------------------------------------------

void QuorlObject::StartVanish() {
    // A second start only restarts the animation: counting the piece twice would leave the board
    // waiting for a vanish that never ends.
    if (!mVanishing && mBoard) ++mBoard->mVanishingPieces;
    mVanishing = true;
    mVanishPhase = 0;
    mVanishCountdown = kVanishShake;
}

bool QuorlObject::Hit() {
    ++mCrackLevel;
    mShakeCountdown = kHitShake;
    const QuorlImageSet* images = Images();
    AddParticle(images ? images->mDust : nullptr, 0.75f, kDustScript);
    if (images && images->mCrackSound) images->mCrackSound->Play(1.0f);
    if (mCrackLevel < 2) return false;
    if (images && images->mShatterSound) images->mShatterSound->Play(1.0f);
    return true;
}

void QuorlObject::EndVanishCount() {
    if (mBoard && mBoard->mVanishingPieces > 0) --mBoard->mVanishingPieces;
}

void QuorlObject::AddParticle(const Sprite* sprite, float alpha, const char* script) const {
    // A particle without a picture would only cost updates until it fades.
    if (!sprite || !mContext || !mContext->mParticles) return;
    auto* particle = new Particle();
    particle->mSprite = sprite;
    particle->mPos.mX = mX + mW * 0.5f;
    particle->mPos.mY = mY + mH * 0.5f;
    particle->mScale = mLarge ? 2.0f : 1.0f;
    particle->mColor = Particle::Color{1.0f, 1.0f, 1.0f, alpha};
    particle->AddScript(script);
    mContext->mParticles->Add(particle);
}

// ---- saved form ---------------------------------------------------------------------------------

void QuorlObject::Save(DataBuffer& out) const {
    SlideObject::Save(out);
    out.WriteFloat(mDrawOffsetX);
    out.WriteFloat(mDrawOffsetY);
    out.WriteFloat(mScale);
    out.WriteFloat(mAngle);
    out.WriteFloat(mAlpha);
    out.WriteBool(mVanishing);
    out.WriteInt(mVanishPhase);
    out.WriteInt(mVanishCountdown);
    out.WriteInt(mShakeCountdown);
    out.WriteInt(mCrackLevel);
    out.WriteBool(mMirrored);
}

bool QuorlObject::Load(RecordReader& in) {
    if (!SlideObject::Load(in)) return false;
    mDrawOffsetX = in.Float("piece draw offset x", -100.0f, 100.0f);
    mDrawOffsetY = in.Float("piece draw offset y", -100.0f, 100.0f);
    mScale = in.Float("piece scale", -1.0f, 10.0f);
    mAngle = in.Float("piece angle", -360.0f, 360.0f);
    mAlpha = in.Float("piece alpha", -1.0f, 2.0f);
    bool vanishing = in.Bool("piece vanishing");
    mVanishPhase = in.Int("piece vanish phase", 0, 1);
    mVanishCountdown = in.Int("piece vanish countdown", -1, kVanishShake);
    mShakeCountdown = in.Int("piece shake countdown", 0, 1000);
    mCrackLevel = in.Int("piece crack level", 0, 10);
    mMirrored = in.Bool("piece mirrored");
    // The board's count of pieces turning into dullbones is loaded with the board; a piece
    // destroyed mid-vanish gives one back, so the flag is only raised on a good record.
    if (in.Ok()) mVanishing = vanishing;
    return in.Ok();
}

// ---- update --------------------------------------------------------------------------------------

void QuorlObject::Update() {
    // Blink: now and then the other frame for two to four seconds.
    if (ProgramRandom().Range(5000) == 20 && BlinkOn()) {
        mAlternateFrame = 1 - mAlternateFrame;
        mBlinkCountdown = 200 + ProgramRandom().Range(200);
    }
    if (--mBlinkCountdown < 1) {
        mBlinkCountdown = 0;
        mAlternateFrame = 0;
    }

    // Hit shake. The piece comes to rest on the step the shake runs out, offset and angle alike.
    mDrawOffsetX = mDrawOffsetY = 0.0f;
    if (mShakeCountdown != 0) {
        RandomShakeOffset(mDrawOffsetX, mDrawOffsetY);
        mAngle = float(ProgramRandom().Range(kShakeAngle + 1, true));
        if (--mShakeCountdown < 1) {
            mShakeCountdown = 0;
            mAngle = 0.0f;
            mDrawOffsetX = mDrawOffsetY = 0.0f;
        }
    }

    if (!mVanishing) return;
    if (mVanishPhase == 0) {
        RandomShakeOffset(mDrawOffsetX, mDrawOffsetY);
        if (--mVanishCountdown < 1) {
            mVanishPhase = 1;
            mDrawOffsetX = mDrawOffsetY = 0.0f;
            mSpecial = true;
            const QuorlImageSet* images = Images();
            AddParticle(images ? images->mPuff : nullptr, 1.0f, kPuffScript);
        }
    } else {
        mDrawOffsetX = mDrawOffsetY = 0.0f;
        mScale -= kShrinkStep;
        mAlpha -= kShrinkStep;
        if (mScale <= 0.0f) {
            mScale = 1.0f;
            mAlpha = 1.0f;
            mVanishing = false;
            EndVanishCount();
        }
    }
}

// ---- drawing -------------------------------------------------------------------------------------

const QuorlImageSet* QuorlObject::Images() const { return mContext ? mContext->mImages : nullptr; }

const Sprite* QuorlObject::Picture(int color, int frame) const {
    const QuorlImageSet* images = Images();
    if (!images || color < 0 || color >= QuorlImageSet::kColors) return nullptr;
    const Sprite* sprite = mLarge ? images->mLargeFrames[color][frame & 1] : images->mFrames[color][frame & 1];
    return (sprite && !sprite->Empty()) ? sprite : nullptr;
}

const Sprite* QuorlObject::CrackPicture() const {
    const QuorlImageSet* images = Images();
    if (!images || mCrackLevel <= 0) return nullptr;
    // Level 1 is the first crack; a piece hit again shows the last one however often it is hit.
    int index = mCrackLevel >= 2 ? 1 : 0;
    const Sprite* sprite = mLarge ? images->mLargeCracks[index] : images->mCracks[index];
    return (sprite && !sprite->Empty()) ? sprite : nullptr;
}

int QuorlObject::SkullFrame() const {
    if (!mContext || !mContext->mClock) return 0;
    int frame = (*mContext->mClock / kSkullFrameSteps) % 2;
    return frame < 0 ? -frame : frame;
}

void QuorlObject::DrawPicture(GraphicsDevice& device, const Sprite* sprite, float scale, float alpha,
                              const float* tint) const {
    if (!sprite || scale <= 0.0f || alpha <= 0.0f) return;
    device.SetColor(tint[0], tint[1], tint[2], tint[3] * alpha);
    // Draw moved the origin to the piece's centre when the piece is turned or scaled.
    bool centred = mScale != 1.0f || mAngle != 0.0f;
    if (!centred && scale == 1.0f)
        sprite->Draw(kPictureInset, kPictureInset);
    else if (centred)
        sprite->DrawRotatedScaled(0.0f, 0.0f, mAngle, scale);
    else
        sprite->DrawRotatedScaled(mW * 0.5f, mH * 0.5f, mAngle, scale);
}

void QuorlObject::DrawFallback(GraphicsDevice& device) {
    if (!mSpecial) {
        SlideObject::Draw();
        return;
    }
    // Without the skull pictures a dullbone still shows, as a dark grey square.
    device.PushColor();
    device.SetColor(kFallbackGrey, kFallbackGrey, kFallbackGrey, mAlpha);
    device.FillRect(1.0f, 1.0f, mW - 2.0f, mH - 2.0f);
    device.PopColor();
}

void QuorlObject::Draw() {
    GraphicsDevice* device = GraphicsDevice::Current();
    if (!device) return;

    const Sprite* skull = mSpecial ? Picture(QuorlImageSet::kSkull, SkullFrame()) : nullptr;
    bool drawColor = !mSpecial || mVanishing;
    const Sprite* color = nullptr;
    if (drawColor) {
        bool plain = mScale == 1.0f && mAngle == 0.0f;
        color = Picture(mColor, plain ? mAlternateFrame : 0);
    }
    // Boards stay readable without art (tools, tests): the plain square stands in.
    if ((mSpecial && !skull) || (!mSpecial && !color)) {
        DrawFallback(*device);
        return;
    }

    float tint[4] = {device->mColor[0], device->mColor[1], device->mColor[2], device->mColor[3]};
    device->PushColor();
    device->PushOrigin();
    device->mOrigin.x += mDrawOffsetX;
    device->mOrigin.y += mDrawOffsetY;
    if (mScale != 1.0f || mAngle != 0.0f) {
        device->mOrigin.x += mW * 0.5f;
        device->mOrigin.y += mH * 0.5f;
    }

    // The colour picture lies under the skull that grows in over it.
    if (drawColor) DrawPicture(*device, color, mScale, mAlpha, tint);
    if (mSpecial) {
        float skullAlpha = mScale != 1.0f ? 1.0f - mAlpha : 1.0f;
        float skullScale = mVanishing ? 1.0f - mScale : 1.0f;
        DrawPicture(*device, skull, skullScale, skullAlpha, tint);
        DrawPicture(*device, CrackPicture(), skullScale, skullAlpha, tint);
    }

    device->PopOrigin();
    device->PopColor();
}

void QuorlObject::HashState(StateHash& hash) const {
    SlideObject::HashState(hash);
    hash.AddInt(mCrackLevel);
    hash.AddBool(mVanishing);
}
