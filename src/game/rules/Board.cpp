// The game rules on the slide board: scoring, combos, dullbones, the punch and vanish, tile
// lighting, the danger meter, no moves and the second chance, hints, and the level-cleared
// screen. Everything that draws or plays checks for its picture or sound: tools and tests run
// boards without an application.
#include "game/rules/Board.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/audio/Sound.h"
#include "engine/controls/Button.h"
#include "engine/core/App.h"
#include "engine/core/StateHash.h"
#include "engine/draw/Font.h"
#include "engine/draw/GraphicsDevice.h"
#include "engine/draw/Image.h"
#include "engine/draw/Particle.h"
#include "engine/draw/Sprite.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/rules/BoardContainer.h"
#include "game/rules/FloatingText.h"
#include "game/rules/LevelGenerator.h"
#include "persistence/GameStatistics.h"
#include "support/DebugLog.h"

namespace {

constexpr int kHeldRefill = 9999999;
constexpr int kRefillDelay = 25;
// A pass's score stops growing here: a huge group (thirty-odd pieces of one colour) would
// otherwise double past what an int holds.
constexpr int64_t kMaxPassScore = 1000000000;

GraphicsDevice* Device() { return GraphicsDevice::Current(); }

// Cells a piece covers, from its position (grid coordinates start at 1).
struct CellSpan {
    int column, row, width, height;
};

CellSpan CellsOf(const SlideObject* piece, float cellSize) {
    int cell = std::max(1, static_cast<int>(cellSize));
    auto whole = [](float v) { return v != v ? 0 : static_cast<int>(std::clamp(v, -1e8f, 1e8f)); };
    return CellSpan{whole(piece->mX) / cell + 1, whole(piece->mY) / cell + 1, std::max(1, whole(piece->mW) / cell),
                    std::max(1, whole(piece->mH) / cell)};
}

}  // namespace

// ---- [life cycle] ---------------------------------------------------------------------------------

Board::Board(BoardContainer* container) : mContainer(container) {
    mName = "Board";
    if (container) {
        mSession = container->mSession;
        mApp = container->mApp;
    }
    mNumColors = 8;
    mRefillDelay = kRefillDelay;
    mFallAcceleration = 0.15f;
    mAxisLockDistance = 3.0f;
    mAutoStepsPerUpdate = 3.0f;
    mAutoStartDelay = 50;
    mAutoReleaseDelay = 0;
    mEndTimer.mPeriod = 10;
    if (mSession) mSecondChances = mSession->mSecondChances;
    mPieceContext.mParticles = &mParticles;
    mPieceContext.mClock = &mFrameCounter;
    mPieceContext.mImages = nullptr;
}

Board::~Board() {
    if (mMusicOn) {
        if (Sound* music = GameSound(&GameApp::mMusic)) music->Stop();
    }
    // The pieces go before the lists that point at them.
    mPunchList.Clear();
    mEndList.Clear();
}

void Board::ForgetObject(SlideObject* piece) {
    mPunchList.RemoveAll(piece);
    mEndList.RemoveAll(piece);
    SlideBoard::ForgetObject(piece);
}

Sound* Board::GameSound(Sound GameApp::*which) const { return mApp ? &(mApp->*which) : nullptr; }

GameStatistics* Board::Statistics() const { return mApp && mSession ? &mApp->mStatistics : nullptr; }

void Board::PlaySound(Sound* sound, float pitch) {
    if (!sound) return;
    if (pitch == 1.0f)
        sound->Play();
    else
        sound->PlayPitched(pitch);
}

Particle* Board::AddEffect(const Sprite* sprite, float x, float y, const char* script, float scale) {
    // Without a picture there is nothing to see: tools and tests skip the particle altogether.
    if (!sprite || sprite->Empty()) return nullptr;
    auto* particle = new Particle();
    particle->mSprite = sprite;
    particle->mPos = Particle::Vector{x, y};
    particle->mScale = scale;
    particle->AddScript(script);
    mParticles.Add(particle);
    return particle;
}

void Board::AddText(const std::string& text, float x, float y) {
    const Font* font = mApp ? &mApp->mFont4 : nullptr;
    if (!font) return;
    auto* floating = new FloatingText(text, font, x, y);
    floating->mWait = 0;
    mParticles.Add(floating);
}

void Board::Initialize() {
    mQuorlsUsed = mBoardCells = mDullbonesBroken = mLevelTime = mQuorlRatio = 0;
    mDangerLevel = mPrevDangerLevel = 0.0f;
    mLevelStartFrame = mFrameCounter;
    mStoredX = 175.0f;
    mStoredY = 50.0f;
    GenerateBoard(true);
    std::fill(std::begin(mLitTiles), std::end(mLitTiles), 0);
    SetChanceToMinimizeCascades(100.0f);
    // The board sits in the left part of the screen, centred in a 500 pixel square.
    float width = Columns() * mCellSize, height = Rows() * mCellSize;
    SetRect(50.0f + (500.0f - width) * 0.5f, 70.0f + (500.0f - height) * 0.5f, width, height);
    StartMusic();
}

void Board::StartMusic() {
    if (Sound* music = GameSound(&GameApp::mMusic)) {
        if (!music->IsPlaying()) music->PlayLooped();
        mMusicOn = true;
    }
}

// ---- [generation] -----------------------------------------------------------------------------------

void Board::GenerateBoard(bool make) {
    LevelRecipe recipe = GenerateLevel(mLevelId);
    mLevelCode = recipe.mCode;
    mDangerPerMove = recipe.mDangerPerMove;
    mDangerPerGroup = recipe.mDangerPerGroup;
    mDangerPerCascade = recipe.mDangerPerCascade;
    mDullbonesPerFill = recipe.mDullbonesPerFill;
    mNumColors = recipe.mColors;
    if (!recipe.mLargePieces) mLargeAllowed = false;
    // The demonstration board is always built.
    if (make || mLevelId == -1000) MakeBoard(recipe.mLayout, recipe.mPixelSize);
}

bool Board::MakeBoard(const std::string& layout, int size) {
    bool made = SlideBoard::MakeBoard(layout, size);
    mBoardCells = 0;
    for (int c = 0; c < mColumnBound; ++c)
        for (int r = 0; r < mRowBound; ++r)
            if (IsCell(c, r)) ++mBoardCells;
    PrepareImages();
    ComputeEdges();
    return made;
}

int Board::GetGrid(int column, int row) const {
    if (column < 0 || row < 0) return 0;
    return IsCell(column, row) ? 1 : 0;
}

const Sprite* Board::Scaled(const Sprite* sprite, int size) {
    if (!sprite || sprite->Empty() || size < 1) return nullptr;
    Image image = sprite->ToImage();
    if (image.Empty()) return nullptr;
    auto scaled = std::make_unique<Sprite>();
    scaled->SetImage(image.Resized(size, size));
    mScaledSprites.push_back(std::move(scaled));
    return mScaledSprites.back().get();
}

void Board::PrepareImages() {
    mScaledSprites.clear();
    mScaledImages = QuorlImageSet{};
    mLitTile = mEdgeRim = mOuterRim = mInnerRim = nullptr;
    for (auto& set : mSkullQuarters)
        for (auto& quarter : set) quarter = nullptr;
    mPieceContext.mImages = nullptr;
    if (!mApp || mCellSize < 13.0f) return;
    const QuorlImageSet& source = mApp->mQuorlImages;
    int piece = static_cast<int>(mCellSize) - 12;
    int large = static_cast<int>(mCellSize) * 2 - 12;
    for (int c = 0; c < QuorlImageSet::kColors; ++c)
        for (int f = 0; f < 2; ++f) {
            mScaledImages.mFrames[c][f] = Scaled(source.mFrames[c][f], piece);
            mScaledImages.mLargeFrames[c][f] = Scaled(source.mLargeFrames[c][f], large);
        }
    for (int i = 0; i < 2; ++i) {
        mScaledImages.mCracks[i] = Scaled(source.mCracks[i], piece);
        mScaledImages.mLargeCracks[i] = Scaled(source.mLargeCracks[i], large);
    }
    mScaledImages.mPuff = source.mPuff;
    mScaledImages.mDust = source.mDust;
    mScaledImages.mCrackSound = source.mCrackSound;
    mScaledImages.mShatterSound = source.mShatterSound;
    mPieceContext.mImages = &mScaledImages;
    for (int size = 0; size < 2; ++size) {
        const Sprite* skull = size ? mScaledImages.mLargeFrames[QuorlImageSet::kSkull][0] : mScaledImages.mFrames[QuorlImageSet::kSkull][0];
        if (!skull) continue;
        Image whole = skull->ToImage();
        int hw = whole.mWidth / 2, hh = whole.mHeight / 2;
        for (int k = 0; k < 4; ++k) {
            auto quarter = std::make_unique<Sprite>();
            quarter->CopyFrom(whole, (k & 1) * hw, (k >> 1) * hh, hw, hh);
            mSkullQuarters[size][k] = quarter.get();
            mScaledSprites.push_back(std::move(quarter));
        }
    }
    int cell = static_cast<int>(mCellSize);
    mLitTile = Scaled(&mApp->mGoldBrick, cell);
    mEdgeRim = Scaled(&mApp->mEdgeRim, cell);
    mOuterRim = Scaled(&mApp->mOuterRim, cell);
    mInnerRim = Scaled(&mApp->mInnerRim, cell);
}

SlideObject* Board::NewSlideObject() { return new QuorlObject(this, &mPieceContext); }

// ---- [input] ----------------------------------------------------------------------------------------

void Board::StartDrag(float x, float y) {
    if (mApp) mApp->mCurrentFunction = "Board::StartDrag";
    if (mAutoDragActive || IsHintShowing() || !CanPlayerDrag() || !CanMakeMove()) {
        RefuseDrag();
        return;
    }
    SlideBoard::StartDrag(x, y);
    mDangerRescued = false;
    mDangerLoweredThisTurn = false;
    mHintMove = false;
    if (mDragged) PlaySound(GameSound(&GameApp::mDrag));
}

void Board::RefuseDrag() {
    SlideBoard::CancelDrag();
    mDragged = nullptr;
}

void Board::StartDragRobo(float x, float y) {
    bool wasActive = mAutoDragActive;
    SlideBoard::StartDragRobo(x, y);
    if (wasActive || !mAutoDragActive) return;
    mDangerRescued = false;
    mDangerLoweredThisTurn = false;
}

void Board::Notify(intptr_t message) {
    if (mContinueButton && message == reinterpret_cast<intptr_t>(mContinueButton)) {
        if (mContainer) mContainer->LevelContinue();
    }
}

bool Board::CanMakeMove() {
    if (mLevelCleared || mNoMoves || mPunchActive) return false;
    return SlideBoard::CanMakeMove();
}

bool Board::CanSave() {
    if (mPunchActive) return false;
    return SlideBoard::CanMakeMove();
}

// ---- [scoring] --------------------------------------------------------------------------------------

void Board::GroupMatchCallback(List& group) { (void)group; }

void Board::RemoveObjectCallback(SlideObject* piece) {
    (void)piece;
    ++mQuorlsUsed;
}

void Board::EndTurnCallback(List& groups) {
    if (!groups.Empty())
        AddToDangerMeter(mDangerPerMove);
    else
        PlaySound(GameSound(&GameApp::mSnap));
}

void Board::MatchCallback(List& groups) {
    std::vector<SlideObject*> all;
    int sizeClass = 0;
    for (void* item : groups.Items()) {
        List* group = static_cast<List*>(item);
        int n = group->Count();
        if (n >= 7)
            sizeClass = std::max(sizeClass, 4);
        else if (n >= 4)
            sizeClass = std::max(sizeClass, n - 3);
        for (void* member : group->Items()) all.push_back(static_cast<SlideObject*>(member));
    }
    if (GameStatistics* stats = Statistics())
        stats->mMostQuorlsInOneMove = std::max<int32_t>(stats->mMostQuorlsInOneMove, int32_t(all.size()));
    Sound* zing = GameSound(&GameApp::mZing);
    if (sizeClass == 2) PlaySound(zing);
    if (sizeClass == 3) PlaySound(zing, 1.1f);
    if (sizeClass == 4) PlaySound(zing, 1.2f);

    // Each group: 10, 20, 40 ... per piece, and from the second group on a bonus of 500, 1000 ...
    int64_t score = 0, bonus = 0;
    float sumX = 0.0f, sumY = 0.0f;
    for (void* item : groups.Items()) {
        List* group = static_cast<List*>(item);
        score += bonus;
        int64_t points = 10;
        for (void* member : group->Items()) {
            SlideObject* p = static_cast<SlideObject*>(member);
            score += points;
            points = std::min<int64_t>(points * 2, kMaxPassScore);
            sumX += p->mX + p->mW * 0.5f;
            sumY += p->mY + p->mH * 0.5f;
        }
        bonus = bonus == 0 ? 500 : std::min<int64_t>(bonus * 2, kMaxPassScore);
        score = std::min(score, kMaxPassScore);
    }
    mMatchScore = static_cast<int>(score);
    float centreX = all.empty() ? 0.0f : sumX / float(all.size());
    float centreY = all.empty() ? 0.0f : sumY / float(all.size());
    MakeWorkGrid();

    // Dullbones beside the match: one hit per matched cell they touch, so two touching cells
    // crack and break a fresh one in the same pass. A dullbone already broken by an earlier hit
    // of this pass is off the board and takes no further hits.
    std::vector<SlideObject*> hits;
    for (SlideObject* p : all) {
        CellSpan span = CellsOf(p, mCellSize);
        for (int c = span.column; c < span.column + span.width; ++c)
            for (int r = span.row; r < span.row + span.height; ++r) {
                const int dc[4] = {1, -1, 0, 0}, dr[4] = {0, 0, 1, -1};
                for (int k = 0; k < 4; ++k) {
                    SlideObject* q = GridAt(c + dc[k], r + dr[k]);
                    if (q && !q->mKilled && IsDullbone(q)) hits.push_back(q);
                }
            }
    }
    for (SlideObject* q : hits) {
        if (q->mKilled) continue;
        if (!AsQuorl(q)->Hit()) continue;
        if (mSession) mSession->AddScore(250, 0.0f, 0.0f);
        ShatterEffect(q);
        RemoveObject(q);
        ++mDullbonesBroken;
        if (GameStatistics* stats = Statistics()) ++stats->mDullbonesBroken;
    }

    // The matched pieces stay on screen for the punch; refill waits for it.
    for (SlideObject* p : all) {
        mDying.RemoveAll(p);
        if (!mPieces.Contains(p)) mPieces.Add(p);
        if (!mPunchList.Contains(p)) mPunchList.Add(p);
    }
    mPunchActive = true;
    mPunchTimer = 1;
    mRefillCountdown = mRefillDelay = kHeldRefill;

    int g = groups.Count();
    if (g >= 2) {
        AddToDangerMeter(-float(g - 1) * mDangerPerGroup);
        PlaySound(GameSound(g == 2 ? &GameApp::mFanfare : &GameApp::mFanfare2));
        const char* word = g == 2 ? "DOUBLE!" : g == 3 ? "TRIPLE!" : g == 4 ? "QUADRUPLE!" : "AMAZING!";
        AddText(word, centreX, centreY - 60.0f);
        mPunchTimer = 50;
    }
    int c = mRemovalPasses;
    if (c > 0) {
        mMatchScore = static_cast<int>(std::min<int64_t>(int64_t(mMatchScore) * (c + 1), kMaxPassScore));
        if (GameStatistics* stats = Statistics()) stats->mLongestCascade = std::max<int32_t>(stats->mLongestCascade, c + 1);
        AddToDangerMeter(-float(c) * mDangerPerCascade);
    }
}

void Board::ShatterEffect(SlideObject* piece) {
    float cx = piece->mX + piece->mW * 0.5f, cy = piece->mY + piece->mH * 0.5f;
    // Four quarters of the skull fly apart, falling and spinning.
    const Sprite* const* quarters = mSkullQuarters[piece->IsLarge() ? 1 : 0];
    for (int k = 0; k < 4; ++k) {
        int sx = k & 1, sy = k >> 1;
        float dx = sx ? 1.0f : -1.0f, dy = sy ? 1.0f : -1.0f;
        Particle* p = AddEffect(quarters[k], cx + dx * piece->mW * 0.25f, cy + dy * piece->mH * 0.25f,
                                sx ? "mDirection.mY+=.1f;mRotation++" : "mDirection.mY+=.1f;mRotation--");
        if (!p) continue;
        p->mDirection = Particle::Vector{3.0f * dx, 3.0f * dy};
        // Killed once it leaves the screen area around the board.
        p->mBounds = Rect{-50.0f - mRect.x, -50.0f - mRect.y, 900.0f, 700.0f};
    }
    const Sprite* spark = mApp ? &mApp->mStar : nullptr;
    if (!spark || spark->Empty()) return;
    for (int a = 0; a < 360; a += 5) {
        float angle = float(a) + float(ProgramRandom().Range(601) - 300) * 0.01f;
        float speed = 5.0f + float(ProgramRandom().Range(101)) * 0.01f;
        float rad = angle * 3.14159265f / 180.0f;
        float vx = std::cos(rad) * speed, vy = std::sin(rad) * speed;
        float out = 10.0f + float(ProgramRandom().Range(2001)) * 0.01f;
        Particle* p = AddEffect(spark, cx + vx * out, cy + vy * out, "mDirection.mX*=.9f;mDirection.mY*=.9f;mColor.mAlpha-=.01f",
                                0.75f + float(ProgramRandom().Range(26)) * 0.01f);
        if (p) p->mDirection = Particle::Vector{vx, vy};
    }
}

void Board::UpdatePunch() {
    if (--mPunchTimer > 0) return;
    mPunchTimer = 0;
    mPunchActive = false;
    VanishQuorls(mPunchList);
    mRefillCountdown = mRefillDelay = kRefillDelay;
    std::vector<SlideObject*> pieces;
    for (void* item : mPunchList.Items()) pieces.push_back(static_cast<SlideObject*>(item));
    mPunchList.Clear();
    for (SlideObject* p : pieces) RemoveObject(p);
}

void Board::VanishQuorls(List& pieces) {
    if (!pieces.Empty()) PlaySound(GameSound(&GameApp::mExplode), 1.0f + 0.2f * float(mRemovalPasses));
    bool anyLit = false;
    float sumX = 0.0f, sumY = 0.0f;
    const Sprite* glow = mApp ? &mApp->mCircle : nullptr;
    for (void* item : pieces.Items()) {
        SlideObject* p = static_cast<SlideObject*>(item);
        float cx = p->mX + p->mW * 0.5f, cy = p->mY + p->mH * 0.5f;
        sumX += cx;
        sumY += cy;
        if (GameStatistics* stats = Statistics()) ++stats->mQuorlsTransported;
        int color = std::clamp(p->mColor, 0, QuorlImageSet::kColors - 1);
        AddEffect(mScaledImages.mFrames[color][0], cx, cy, p->IsLarge() ? "mScale-=.1f;" : "mScale-=.05f;",
                  p->IsLarge() ? 2.0f : 1.0f);
        if (mLevelCleared || mLevelId < 0) continue;
        bool lit = false;
        CellSpan span = CellsOf(p, mCellSize);
        for (int c = span.column; c < span.column + span.width; ++c)
            for (int r = span.row; r < span.row + span.height; ++r) {
                if (c < 0 || r < 0 || c >= kTileGrid || r >= kTileGrid) continue;
                unsigned char& tile = mLitTiles[c * kTileGrid + r];
                if (tile) continue;
                tile = 1;
                mMatchScore = static_cast<int>(std::min<int64_t>(int64_t(mMatchScore) + 100, kMaxPassScore));
                lit = true;
            }
        if (lit) {
            anyLit = true;
            if (Particle* g = AddEffect(glow, cx, cy, "mScale+=.025f;mColor.mAlpha-=.025f", p->IsLarge() ? 2.0f : 1.0f))
                g->mColor = Particle::Color{1.0f, 1.0f, 0.0f, 1.0f};
        }
    }
    if (anyLit) PlaySound(GameSound(&GameApp::mGold));
    if (mSession && !pieces.Empty())
        mSession->AddScore(mMatchScore, sumX / float(pieces.Count()), sumY / float(pieces.Count()));
}

// ---- [update and draw] ------------------------------------------------------------------------------

void Board::Update() {
    if (mApp) mApp->mCurrentFunction = "Board::Update";
    if (IsAnythingFalling()) mSettleCounter = 4;
    if (mSettleCounter > 0) --mSettleCounter;
    if (!mPlayerDragActive && !mAutoDragActive && mSettleCounter == 0 && mCellSize >= 1.0f) {
        // Pieces pushed off the board go (the hole test rebuilds the work grid, which drops
        // them); holes left behind are filled.
        if (AreThereHoles()) {
            int d = mRandom.Sign(1);
            FillHoles();
            FillHolesFromBottom();
            FillHolesFromSides(d);
            FillHolesFromSides(-d);
        }
    }
    if (mLevelCleared) UpdateCleared();
    if (IsHintShowing()) UpdateHint();

    // The music loops by itself for as long as the level is played; this only starts it again
    // when it could not play before (the volume was at 0, say).
    if (mMusicOn && mFrameCounter % 50 == 0) {
        Sound* music = GameSound(&GameApp::mMusic);
        if (music && !music->IsPlaying()) music->PlayLooped();
    }
    ++mFrameCounter;
    SlideBoard::Update();
    mParticles.Update();
    std::vector<SlideObject*> pieces;
    for (void* item : mPieces.Items()) pieces.push_back(static_cast<SlideObject*>(item));
    for (SlideObject* p : pieces)
        if (mPieces.Contains(p)) p->Update();

    if (mPunchActive) UpdatePunch();
    if (mApp && mApp->mLogTargets) LogMoveTarget();

    if (mDraining) {
        mDangerLevel -= 0.01f;
        if (mDangerLevel <= 0.0f) {
            mDangerLevel = 0.0f;
            mDraining = false;
            mVanishingPieces = 0;
        }
    }
    if (!mNoMoves) return;
    if (mSecondChanceActive) {
        UpdateSecondChance();
        return;
    }
    mFade = std::min(3.0f, mFade + 0.01f);
    if (mFade <= 1.0f) return;
    if (mSecondChances > 0) {
        GoSecondChance();
        return;
    }
    mEndTimer.Update();
    if (mEndTimer.TakeFired() && !mEndList.Empty()) {
        QuorlObject* q = mEndList.At<QuorlObject>(0);
        mEndList.RemoveAt(0);
        if (mPieces.Contains(q) && !q->mVanishing) {
            q->mSpecial = true;
            q->StartVanish();
        }
    }
    if (mEndList.Empty() && !mGameOverSent) {
        if (++mEndCounter >= 150) {
            mGameOverSent = true;
            if (mContainer) mContainer->GameOver();
        }
    }
}

void Board::Draw() {
    GraphicsDevice* device = Device();
    if (!device) return;
    float cell = mCellSize;
    device->PushColor();
    for (int c = 1; c < mColumnBound; ++c)
        for (int r = 1; r < mRowBound; ++r) {
            if (!IsCell(c, r)) continue;
            float x = (c - 1) * cell, y = (r - 1) * cell;
            bool lit = c < kTileGrid && r < kTileGrid && mLitTiles[c * kTileGrid + r];
            if (lit && mLitTile) {
                device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
                mLitTile->Draw(x, y);
            } else if (lit) {
                device->SetColor(0.85f, 0.65f, 0.15f, 1.0f);
                device->FillRect(x, y, cell, cell);
            } else if ((c + r) & 1) {
                device->SetColor(0.0f, 0.0f, 0.1f, 1.0f);
                device->FillRect(x, y, cell, cell);
            } else {
                device->SetColor(0.0f, 0.25f, 0.25f, 1.0f);
                device->FillRect(x, y, cell, cell);
            }
        }
    // Shadows, then the pieces lifted a little off the floor.
    device->PushOrigin();
    device->mOrigin.x += 0.04f * cell;
    device->mOrigin.y += 0.04f * cell;
    device->SetColor(0.0f, 0.0f, 0.0f, 0.5f);
    for (void* item : mPieces.Items()) static_cast<SlideObject*>(item)->DrawWrapped();
    device->PopOrigin();
    device->PushOrigin();
    device->mOrigin.x -= 0.02f * cell;
    device->mOrigin.y -= 0.02f * cell;
    device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    SlideBoard::Draw();
    device->PopOrigin();
    device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    DrawBorder();
    mParticles.Draw();
    if (!mLevelCleared && !mNoMoves) DrawKeyCursor();
    device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    if (IsHintShowing() && mApp && !mApp->mRobot.Empty()) {
        float hx = mAutoMoveInProgress ? mAutoDragX : mAutoMove.mFromX;
        float hy = mAutoMoveInProgress ? mAutoDragY : mAutoMove.mFromY;
        mApp->mRobot.DrawCentered(hx + mHintHandOffset, hy);
    }
    if (mLevelCleared) DrawCleared();
    device->PopColor();
}

// ---- [danger] ---------------------------------------------------------------------------------------

void Board::AddToDangerMeter(float amount) {
    if (amount < 0.0f) {
        // A combo or cascade: no further rise this move, and a full meter is rescued.
        mDangerLoweredThisTurn = true;
        if (mMeterFull) mDangerRescued = true;
        return;
    }
    if (amount > 0.0f && mDangerLoweredThisTurn) return;
    mDangerLevel = std::max(0.0f, mDangerLevel + amount);
    if (mDangerLevel >= 1.0f) {
        mDangerLevel = 1.0f;
        if (!mMeterFull) PlaySound(GameSound(&GameApp::mDanger));
        mMeterFull = true;
    }
}

int Board::CountDullbones() const {
    int count = 0;
    for (void* item : mPieces.Items()) {
        auto* p = static_cast<SlideObject*>(item);
        if (!p->mKilled && IsDullbone(p)) ++count;
    }
    return count;
}

QuorlObject* Board::PickDropPiece() {
    std::vector<QuorlObject*> eligible;
    for (void* item : mPieces.Items()) {
        auto* q = static_cast<QuorlObject*>(item);
        if (!q->mKilled && !q->mVanishing && !IsDullbone(q)) eligible.push_back(q);
    }
    if (eligible.empty()) return nullptr;
    for (int picks = 1;; ++picks) {
        QuorlObject* q = eligible[size_t(mRandom.Range(int32_t(eligible.size())))];
        if (!mGuaranteeCountsSpecial || picks >= 100) return q;
        q->mSpecial = true;
        bool moveLeft = FindMatch();
        q->mSpecial = false;
        if (moveLeft) return q;
    }
}

void Board::DropDullbones(int count) {
    for (int i = 0; i < count; ++i) {
        QuorlObject* q = PickDropPiece();
        if (!q) return;
        q->mSpecial = true;
        q->StartVanish();
    }
}

void Board::ReadyForNextMoveCallback() {
    if (mNoMoves) return;
    if (mSession) ++mSession->mMoves;
    mGuaranteeCountsSpecial = CountDullbones() <= 3;
    if (mMeterFull && mDangerLevel >= 1.0f) {
        if (mDangerRescued) {
            mDangerRescued = false;
        } else {
            mDraining = true;
            PlaySound(GameSound(&GameApp::mShake));
            mMeterFull = false;
            DropDullbones(mDullbonesPerFill);
        }
    }
    mPrevDangerLevel = mDangerLevel;
    if (!mLevelCleared && IsBoardCleared()) Cleared();
    if (!mLevelCleared && !FindMatch()) FakeNoMoves();
}

// ---- [no moves] -------------------------------------------------------------------------------------

bool Board::IsBoardCleared() {
    if (mLevelCleared) return true;
    if (mBoardCells == 0) return false;
    for (int c = 0; c < mColumnBound; ++c)
        for (int r = 0; r < mRowBound; ++r) {
            if (!GetGrid(c, r)) continue;
            if (c >= kTileGrid || r >= kTileGrid || !mLitTiles[c * kTileGrid + r]) return false;
        }
    mLevelCleared = true;
    return true;
}

void Board::FakeNoMoves() {
    PlaySound(GameSound(&GameApp::mDiedSong));
    mNoMoves = true;
    mEndList.Clear();
    for (void* item : mPieces.Items()) {
        auto* p = static_cast<SlideObject*>(item);
        if (!p->mKilled && !IsDullbone(p)) mEndList.Add(p);
    }
    mEndTimer.mCounter = 0;
    mWheelAngle = 0.0f;
    mWheelFace = false;
}

void Board::GoSecondChance() {
    --mSecondChances;
    // The session holds the player's second chances; one spent here is gone for good.
    if (mSession && mSession->mSecondChances > 0) --mSession->mSecondChances;
    mSecondChanceActive = true;
    mSecondChanceDelay = 225;
    mWheelSpeed = 0.0f;
    mWheelState = 0;
}

void Board::UpdateSecondChance() {
    if (mSecondChanceDelay > 0) {
        if (--mSecondChanceDelay > 0) return;
        PlaySound(GameSound(&GameApp::mSpin));
        mSecondChanceDelay = -1;
    }
    switch (mWheelState) {
    case 0:
        mWheelSpeed += 0.2f;
        mWheelAngle = std::fmod(mWheelAngle + mWheelSpeed, 360.0f);
        if (mWheelSpeed > 28.0f) {
            mWheelSpeed = 28.0f;
            mWheelState = 1;
            mWheelFace = true;
        }
        break;
    case 1: {
        mWheelSpeed -= 0.24f;
        if (mWheelSpeed < 4.0f) mWheelSpeed = std::max(mWheelSpeed, 1.0f);
        mWheelAngle = std::fmod(mWheelAngle + mWheelSpeed, 360.0f);
        int whole = static_cast<int>(mWheelAngle) % 360;
        if (mWheelSpeed < 4.0f && (whole < 5 || whole > 355)) {
            mWheelAngle = 0.0f;
            mWheelState = 2;
            mClearOutCounter = 100;
        }
        break;
    }
    case 2: {
        if (--mClearOutCounter > 0) break;
        QuorlObject* skull = nullptr;
        bool stillTurning = false;
        for (void* item : mPieces.Items()) {
            auto* q = static_cast<QuorlObject*>(item);
            if (q->mKilled || !IsDullbone(q)) continue;
            if (q->mVanishing) {
                stillTurning = true;
                continue;
            }
            skull = q;
            break;
        }
        if (!skull) {
            // Pieces still turning into dullbones are cleared once they have turned.
            if (stillTurning) {
                mClearOutCounter = 20;
                break;
            }
            mWheelState = 3;
            break;
        }
        ShatterEffect(skull);
        skull->mSpecial = false;
        skull->mCrackLevel = 0;
        PlaySound(GameSound(&GameApp::mCrack));
        // A new colour that makes no match; with few colours there may be none, so the tries
        // are bounded and the last one stands.
        for (int tries = 0; tries < kMaxRecolorTries; ++tries) {
            skull->mColor = mRandom.Range(std::max(1, mNumColors));
            if (!GetMatches(nullptr, false)) break;
        }
        mClearOutCounter = 20;
        break;
    }
    default:
        mFade = std::max(0.0f, mFade - 0.05f);
        if (mFade <= 0.0f) {
            mNoMoves = false;
            mSecondChanceActive = false;
            // Play resumes without a move having been made: the board's becoming ready again is
            // not the end of a move (no move counted, no drop).
            mPrevCanMakeMove = true;
            // The cleared board may still offer no move: the player must not be left stuck.
            if (!FindMatch()) FakeNoMoves();
        }
        break;
    }
}

// ---- [hint] -----------------------------------------------------------------------------------------

void Board::Hint() {
    if (mNoMoves || mAutopilot || IsHintShowing()) return;
    mHintAutopilot = true;
    mHintMove = true;
    mDangerLoweredThisTurn = false;
    mAutoStartDelay = 225;
    SetAutopilot(true);
    mDemonstration = true;
    mHintHandOffset = 800.0f;
    mHandTravelling = true;
}

void Board::UpdateHint() {
    if (!mAutopilot) {
        mHintHandOffset += 10.0f;
        float handWidth = mApp ? float(mApp->mRobot.Width()) : 0.0f;
        float handX = mAutoMoveInProgress ? mAutoDragX : mAutoMove.mFromX;
        if (handX - handWidth * 0.5f + mHintHandOffset >= 810.0f) {
            mDemonstration = false;
            mHandTravelling = false;
        }
        return;
    }
    if (mHandTravelling) {
        mAutoStartCountdown = 999;
        mHintHandOffset *= 0.9f;
        if (mHintHandOffset <= 4.0f) {
            mHintHandOffset = 0.0f;
            mHandTravelling = false;
            mAutoStartCountdown = 50;
        }
    }
}

void Board::AutoPilotFinishedMoveCallback() {
    if (!mHintAutopilot) return;
    SetAutopilot(false);
    mHintAutopilot = false;
    mHintMove = true;
}

void Board::AutoPilotStuckCallback() {
    SetAutopilot(false);
    mHintAutopilot = false;
}

// ---- [cleared] --------------------------------------------------------------------------------------

void Board::Cleared() {
    PlaySound(GameSound(&GameApp::mWonTheme));
    mLevelCleared = true;
    mBannerY = 140.0f;
    mSpare = 0.0f;
    mBannerScale = 0.0f;
    mBannerSpin = 0.0f;
    mClearedPhase = false;
    mPanelDrop = 400.0f;
    mQuorlRatio = mBoardCells > 0 ? static_cast<int>(std::ceil(double(mQuorlsUsed) / double(mBoardCells) - 0.5)) : 0;

    MakeClearedColors();
    mCyclerPosition = 0.0f;

    mSpare2 = 0.0f;
    mLineCounter = 0;
    mLevelTime = mFrameCounter - mLevelStartFrame;
    if (!mSession) return;
    mSession->mJourneyTime += mLevelTime;
    bool small = Columns() <= 5;
    int32_t& best = small ? mSession->mBestRatioSmall : mSession->mBestRatioLarge;
    best = best == 0 ? mQuorlRatio : std::min(best, mQuorlRatio);
    if (GameStatistics* stats = Statistics()) {
        int32_t& stat = small ? stats->mBestRatioSmall : stats->mBestRatioLarge;
        stat = stat == 0 ? best : std::min(stat, best);
    }
}

void Board::MakeClearedColors() {
    mCycler.Clear();
    const float colors[7][3] = {{1, 0, 0}, {1, 0.5f, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1}};
    for (const auto& c : colors) {
        float rgb[3];
        for (int i = 0; i < 3; ++i) rgb[i] = std::max(0.5f, std::min(1.0f, c[i] * 1.5f));
        mCycler.Add(rgb[0], rgb[1], rgb[2], 1.0f);
    }
    mCycler.Add(mCycler.At(0));
}

void Board::LogMoveTarget() {
    if (mAutopilot || !CanMakeMove() || mPlayerDragActive || mAutoDragActive) {
        mMoveLogged = false;
        return;
    }
    if (mMoveLogged) return;
    mMoveLogged = true;
    // Both searches run without the random choice of which goes first, so that logging leaves
    // the board's random source, and with it the game, as it would be without.
    SlideMove move;
    if (!FindMatchH(&move) && !FindMatchV(&move)) return;
    Point from = ToScreen(Point{move.mFromX, move.mFromY}), to = ToScreen(Point{move.mToX, move.mToY});
    DebugLog::Log("move %.0f %.0f %.0f %.0f", from.x, from.y, to.x, to.y);
}

void Board::MakeContinueButton() {
    if (mContinueButton) return;
    const Font* font = mApp ? &mApp->mFont2 : nullptr;
    int width = 300, height = 30;
    if (font) font->TextSize("Click Here To Continue!", &width, &height);
    mContinueButton = new Button();
    mContinueButton->SetRect(mRect.w * 0.5f - width * 0.5f, 445.0f, float(width), float(std::max(height, 20)));
    mContinueButton->SetListener(this, true);
    if (mApp && mApp->mLogTargets) {
        const Rect& r = mContinueButton->mRect;
        Point centre = mContinueButton->ToScreen(Point{r.w * 0.5f, r.h * 0.5f});
        DebugLog::Log("continue %.0f %.0f", centre.x, centre.y);
    }
}

void Board::UpdateCleared() {
    if (!mClearedPhase) {
        mBannerSpin += 15.0f;
        mBannerScale += 0.02f;
        if (mBannerScale >= 1.25f) {
            mBannerScale = 1.0f;
            mBannerSpin = 0.0f;
            mClearedPhase = true;
        }
    }
    for (int i = 0; i < 5; ++i) {
        if (!mClearedPhase) continue;
        mPanelDrop *= 0.8f;
        if (mPanelDrop < 0.1f) mPanelDrop = 0.0f;
        if (++mLineCounter == kContinueLine) MakeContinueButton();
    }
    if (mClearedPhase) mSpare2 += 0.05f;
    mCyclerPosition = mCycler.Advance(mCyclerPosition, 0.02f);
}

std::string Board::FormatTime(int updates) {
    int seconds = std::max(0, updates) / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%.2d", seconds / 60, seconds % 60);
    return text;
}

void Board::DrawCleared() {
    GraphicsDevice* device = Device();
    if (!device) return;
    float half = mRect.w * 0.5f;
    ColorCycler::Color tint = mCycler.Sample(mCyclerPosition);
    if (mApp && !mApp->mLevelCleared.Empty()) {
        device->SetColor(tint.mRed, tint.mGreen, tint.mBlue, 1.0f);
        mApp->mLevelCleared.DrawRotatedScaled(half, mBannerY, mBannerSpin, mBannerScale);
        device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (!mClearedPhase) return;
    device->PushOrigin();
    device->mOrigin.y += mPanelDrop;
    if (mApp && !mApp->mStatBox.Empty()) mApp->mStatBox.DrawCentered(half, 390.0f);
    const Font* font = mApp ? &mApp->mFont2 : nullptr;
    if (font) {
        char value[64];
        auto line = [&](int threshold, float y, const char* label) {
            if (mLineCounter <= threshold) return;
            font->DrawText(label, half + 75.0f - float(font->TextWidth(label)), y);
            font->DrawText(value, half + 85.0f, y);
        };
        std::snprintf(value, sizeof value, "%d", mQuorlsUsed);
        line(100, 305.0f, "Quorls Used:");
        std::snprintf(value, sizeof value, "%d:1", mQuorlRatio);
        line(200, 333.0f, "Quorl Ratio:");
        std::snprintf(value, sizeof value, "%d", mDullbonesBroken);
        line(300, 361.0f, "Dullbones Broken:");
        std::snprintf(value, sizeof value, "%s", FormatTime(mLevelTime).c_str());
        line(400, 389.0f, "Total Time:");
    }
    device->PopOrigin();
    if (mContinueButton && font) {
        const char* text = "Click Here To Continue!";
        const Rect& r = mContinueButton->mRect;
        if (mContinueButton->mHover)
            device->SetColor(tint.mRed, tint.mGreen, tint.mBlue, 1.0f);
        font->DrawText(text, r.x + (r.w - float(font->TextWidth(text))) * 0.5f, r.y);
        device->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    }
}

// ---- [pictures] -------------------------------------------------------------------------------------

void Board::ComputeEdges() {
    mBorder.clear();
    // Border cells lie around the layout: grid columns 0 to mColumnBound, rows 0 to mRowBound.
    for (int c = 0; c <= mColumnBound; ++c)
        for (int r = 0; r <= mRowBound; ++r) {
            if (IsCell(c, r)) continue;
            auto board = [&](int dc, int dr) { return IsCell(c + dc, r + dr); };
            // Kind: which sides face the board (1 above, 2 right, 4 below, 8 left), or 16 for a
            // cell the board touches only at a corner.
            int kind = (board(0, -1) ? 1 : 0) | (board(1, 0) ? 2 : 0) | (board(0, 1) ? 4 : 0) | (board(-1, 0) ? 8 : 0);
            if (kind == 0 && (board(-1, -1) || board(1, -1) || board(1, 1) || board(-1, 1))) kind = 16;
            if (kind != 0) mBorder.push_back(BorderTile{c, r, kind});
        }
}

void Board::DrawBorder() {
    if (!mEdgeRim) return;
    float cell = mCellSize;
    for (const BorderTile& tile : mBorder) {
        float cx = (tile.mColumn - 1) * cell + cell * 0.5f, cy = (tile.mRow - 1) * cell + cell * 0.5f;
        // The rail pictures face a board below (edge) or to the lower right (corners); turn them.
        const float sideAngle[4] = {180.0f, 270.0f, 0.0f, 90.0f};
        for (int side = 0; side < 4; ++side)
            if (tile.mKind & (1 << side) && tile.mKind != 16) mEdgeRim->DrawRotatedScaled(cx, cy, sideAngle[side], 1.0f);
        if (!mOuterRim) continue;
        const int dc[4] = {1, -1, -1, 1}, dr[4] = {1, 1, -1, -1};
        const float cornerAngle[4] = {0.0f, 90.0f, 180.0f, 270.0f};
        for (int k = 0; k < 4; ++k) {
            if (!IsCell(tile.mColumn + dc[k], tile.mRow + dr[k])) continue;
            if (IsCell(tile.mColumn + dc[k], tile.mRow) || IsCell(tile.mColumn, tile.mRow + dr[k])) continue;
            mOuterRim->DrawRotatedScaled(cx, cy, cornerAngle[k], 1.0f);
        }
    }
}

void Board::MakeThumb(Image& out, const Sprite* const* tiles) {
    out.Clear();
    // Drawn at the board's own cell size: the pieces keep the proportions they have in play.
    int cell = static_cast<int>(mCellSize);
    int columns = Columns(), rows = Rows();
    if (cell < 13 || columns < 1 || rows < 1) return;
    int rim = std::max(2, cell / 8);
    if (!out.Create(columns * cell + 2 * rim, rows * cell + 2 * rim, 0)) return;
    // A cell's top-left corner in the picture (grid coordinates start at 1).
    auto left = [&](int column) { return rim + (column - 1) * cell; };
    auto top = [&](int row) { return rim + (row - 1) * cell; };

    // Opaque squares are filled straight into the pixels (clipped to the picture).
    auto fill = [&out](int x, int y, int w, int h, uint32_t color) {
        for (int row = std::max(0, y); row < std::min(out.mHeight, y + h); ++row)
            for (int col = std::max(0, x); col < std::min(out.mWidth, x + w); ++col)
                out.mPixels[size_t(row) * size_t(out.mWidth) + size_t(col)] = color;
    };
    for (int c = 1; c <= columns; ++c)
        for (int r = 1; r <= rows; ++r)
            if (IsCell(c, r)) fill(left(c) + 1, top(r) + 1, cell - 2, cell - 2, 0xFF1A2150u);

    // Each piece as its colour's small tile, inset by 6 pixels (a large piece over its 2 by 2).
    constexpr int kInset = 6;
    Image source[8];
    for (int i = 0; i < 8; ++i) {
        const Sprite* tile = tiles ? tiles[i] : (mApp ? &mApp->mSmallTiles[i] : nullptr);
        if (tile && !tile->Empty()) source[i] = tile->ToImage();
    }
    Image sized[8][2];
    for (void* item : mPieces.Items()) {
        auto* p = static_cast<SlideObject*>(item);
        if (p->mKilled) continue;
        int color = p->mColor;
        if (color < 0 || color >= 8 || source[color].Empty()) continue;
        CellSpan span = CellsOf(p, mCellSize);
        int large = span.width > 1 ? 1 : 0;
        Image& tile = sized[color][large];
        if (tile.Empty()) tile = source[color].Resized(span.width * cell - 2 * kInset, span.height * cell - 2 * kInset);
        out.Paint(tile, left(span.column) + kInset, top(span.row) + kInset);
    }

    // The border: a gold band along every side of the shape, and a square at its outer corners.
    constexpr uint32_t kGold = 0xFFD9A52Cu;
    for (const BorderTile& tile : mBorder) {
        int x = left(tile.mColumn), y = top(tile.mRow);
        if (tile.mKind == 16) {
            // Touches the board only at a corner: the square at that corner.
            int cx = IsCell(tile.mColumn + 1, tile.mRow + 1) || IsCell(tile.mColumn + 1, tile.mRow - 1) ? x + cell - rim : x;
            int cy = IsCell(tile.mColumn + 1, tile.mRow + 1) || IsCell(tile.mColumn - 1, tile.mRow + 1) ? y + cell - rim : y;
            fill(cx, cy, rim, rim, kGold);
            continue;
        }
        if (tile.mKind & 1) fill(x, y, cell, rim, kGold);               // the board above
        if (tile.mKind & 2) fill(x + cell - rim, y, rim, cell, kGold);  // the board to the right
        if (tile.mKind & 4) fill(x, y + cell - rim, cell, rim, kGold);  // the board below
        if (tile.mKind & 8) fill(x, y, rim, cell, kGold);               // the board to the left
    }
}

// ---- [state digest] -------------------------------------------------------------------------------

void Board::HashState(StateHash& hash) const {
    SlideBoard::HashState(hash);
    hash.AddInt(mLevelId);
    for (unsigned char tile : mLitTiles) hash.AddInt(tile);
    hash.AddFloat(mDangerLevel);
    hash.AddBool(mLevelCleared);
    hash.AddBool(mNoMoves);
    hash.AddInt(mSecondChances);
    hash.AddInt(mDullbonesBroken);
    hash.AddInt(mQuorlsUsed);
    hash.AddBool(mGameOverSent);
}
