// The Gauntlet's board: time-driven danger, the drop countdown, and the going-dark round after a
// clear.
#include "game/rules/Board_FreeForm.h"

#include <algorithm>

#include "board/BoardRandom.h"
#include "engine/audio/Sound.h"
#include "engine/draw/Particle.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"

Board_FreeForm::Board_FreeForm(BoardContainer* container) : Board(container) {
    mName = "Board_FreeForm";
    mLevelId = kLevelId;
}

void Board_FreeForm::Initialize() {
    mLevelId = kLevelId;
    Board::Initialize();
    mDangerPerMove = 0.0f;
    mDangerPerGroup = 0.25f;
    mDangerPerCascade = 0.1f;
    mRisePerUpdate = kRiseFloor;
    mPassCounter = 0;
    mDrainMode = false;
    mDropPending = 0;
    mDarkTimer.Restart(25);
}

void Board_FreeForm::AddToDangerMeter(float amount) {
    mDangerLevel = std::max(0.0f, mDangerLevel + amount);
    if (mDangerLevel >= 1.0f) {
        mDangerLevel = 1.0f;
        if (!mDropPending) {
            mDropCountdown = 100;
            mMeterFull = true;
            PlaySound(mApp ? &mApp->mDanger : nullptr);
        }
        mDropPending = 1;
    }
}

void Board_FreeForm::MatchCallback(List& groups) {
    // The base's lowering requests reach this board's meter, which really goes down: a quarter
    // per extra group and 0.1 per cascade step.
    Board::MatchCallback(groups);
    if (++mPassCounter >= 10) {
        mPassCounter = 0;
        mRisePerUpdate += 0.0001f;
    }
}

void Board_FreeForm::ReadyForNextMoveCallback() {
    // The drop of a full meter happens by the countdown below, never at the end of a move.
    mDangerRescued = true;
    Board::ReadyForNextMoveCallback();
}

bool Board_FreeForm::CanMakeMove() {
    if (mNoMoves || mPunchActive) return false;
    return SlideBoard::CanMakeMove();
}

void Board_FreeForm::Update() {
    if (!mNoMoves) {
        if (mDrainMode)
            AddToDangerMeter(-0.01f);
        else if (!mDraining)
            AddToDangerMeter(mRisePerUpdate);
    }
    Board::Update();
    // The countdown waits while the board settles or a line is dragged.
    if (!mDropPending || mNoMoves || mSettleCounter != 0 || mPlayerDragActive || mAutoDragActive) return;
    mDropCountdown = std::max(0, mDropCountdown - 1);
    if (mDropCountdown > 0 || IsHintShowing()) return;
    if (QuorlObject* q = PickDropPiece()) {
        q->mSpecial = true;
        q->StartVanish();
    }
    mDraining = true;
    mDropPending = 0;
    mMeterFull = false;
    PlaySound(mApp ? &mApp->mShake : nullptr);
}

void Board_FreeForm::StartDrag(float x, float y) {
    // The last quarter second of the countdown belongs to the dullbone.
    if (mDropPending && mDropCountdown < 25) {
        RefuseDrag();
        return;
    }
    Board::StartDrag(x, y);
}

void Board_FreeForm::Cleared() {
    mLevelCleared = true;
    mCells.clear();
    for (int c = 1; c < mColumnBound; ++c)
        for (int r = 1; r < mRowBound; ++r) mCells.emplace_back(c, r);
    BoardRandom& random = ProgramRandom();
    for (size_t i = 0; i < mCells.size(); ++i) std::swap(mCells[i], mCells[size_t(random.Range(int32_t(mCells.size())))]);
    mDarkTimer.Restart(50);
}

void Board_FreeForm::UpdateCleared() {
    mDraining = true;
    mDarkTimer.Update();
    if (!mDarkTimer.TakeFired()) return;
    mDarkTimer.mPeriod = 10;
    if (!mCells.empty()) {
        auto [c, r] = mCells.front();
        mCells.erase(mCells.begin());
        if (c < kTileGrid && r < kTileGrid) mLitTiles[c * kTileGrid + r] = 0;
        float x = (c - 1) * mCellSize + mCellSize * 0.5f, y = (r - 1) * mCellSize + mCellSize * 0.5f;
        if (Particle* glow = AddEffect(mApp ? &mApp->mCircle : nullptr, x, y, "mScale+=.025f;mColor.mAlpha-=.025f"))
            glow->mColor = Particle::Color{1.0f, 1.0f, 0.0f, 1.0f};
        PlaySound(mApp ? &mApp->mGold : nullptr);
        if (auto* gauntlet = dynamic_cast<GauntletSession*>(mSession)) ++gauntlet->mGold;
        if (mSession) mSession->AddScore(100, x, y);
        return;
    }
    mLevelCleared = false;
    mRisePerUpdate = std::max(kRiseFloor, mRisePerUpdate * 0.75f);
    mNumColors = std::min(8, mNumColors + 1);
}

// ---- saved form -----------------------------------------------------------------------------------

void Board_FreeForm::Serialize(DataBuffer& out) {
    Board::Serialize(out);
    out.WriteFloat(mRisePerUpdate);
    out.WriteInt(mPassCounter);
    out.WriteBool(mDrainMode);
    out.WriteInt(mDropPending);
    out.WriteInt(mDropCountdown);
    out.WriteInt(mDarkTimer.mPeriod);
    out.WriteInt(mDarkTimer.mCounter);
    out.WriteBool(mDarkTimer.mState);
    out.WriteInt(static_cast<int32_t>(mCells.size()));
    Pause();
}

bool Board_FreeForm::Load(RecordReader& in) {
    if (!Board::Load(in)) return false;
    mRisePerUpdate = in.Float("danger rise per update", 0.0f, 1.0f);
    mPassCounter = in.Int("pass counter", 0, 1000000);
    mDrainMode = in.Bool("drain mode");
    mDropPending = in.Int("drop pending", 0, 1);
    mDropCountdown = in.Int("drop countdown", 0, 1000000);
    mDarkTimer.mPeriod = in.Int("going-dark period", 1, 1000000);
    mDarkTimer.mCounter = in.Int("going-dark counter", 0, 1000000);
    mDarkTimer.mState = in.Bool("going-dark state");
    int darkening = in.Int("tiles still to go dark", 0, kTileGrid * kTileGrid);
    if (!in.Ok()) return false;
    mDarkTimer.mFired = false;
    mCells.clear();
    if (darkening != 0) {
        // The tiles still lit go dark in a new random order.
        for (int c = 1; c < mColumnBound && c < kTileGrid; ++c)
            for (int r = 1; r < mRowBound && r < kTileGrid; ++r)
                if (mLitTiles[c * kTileGrid + r]) mCells.emplace_back(c, r);
        BoardRandom& random = ProgramRandom();
        for (size_t i = 0; i < mCells.size(); ++i)
            std::swap(mCells[i], mCells[size_t(random.Range(int32_t(mCells.size())))]);
    }
    return true;
}
