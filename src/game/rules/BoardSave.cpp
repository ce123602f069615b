// The game board's saved form: the slide board's record, then every field of the game rules in a
// fixed order (the file format: never reorder), read back with each value checked against what a
// level can hold. What is not stored (the end list, the continue button, the banner's colours)
// is rebuilt after loading.
#include "game/rules/Board.h"

#include "game/rules/LevelGenerator.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"

namespace {

constexpr int32_t kMaxCount = 1000000;
constexpr int32_t kMaxLevelCodeLength = 64;
constexpr float kFar = SlideBoard::kFarCoordinate;

}  // namespace

void Board::Serialize(DataBuffer& out) {
    SlideBoard::Save(out);
    out.WriteBytes(mLitTiles, sizeof mLitTiles);
    out.WriteFloat(mDangerLevel);
    out.WriteFloat(mPrevDangerLevel);
    out.WriteFloat(mDangerPerMove);
    out.WriteFloat(mDangerPerGroup);
    out.WriteFloat(mDangerPerCascade);
    out.WriteInt(mDullbonesPerFill);
    out.WriteFloat(mStoredX);
    out.WriteFloat(mStoredY);
    out.WriteBool(mMeterFull);
    out.WriteBool(mDangerRescued);
    out.WriteBool(mDraining);
    out.WriteBool(mPunchActive);
    out.WriteInt(mPunchTimer);
    out.WriteInt(mMatchScore);
    out.WriteBool(mHintAutopilot);
    out.WriteBool(mHintMove);
    out.WriteBool(mNoMoves);
    out.WriteFloat(mFade);
    out.WriteFloat(mWheelAngle);
    out.WriteBool(mDangerLoweredThisTurn);
    out.WriteInt(mLevelId);
    out.WriteBool(mLevelCleared);
    out.WriteInt(mQuorlsUsed);
    out.WriteInt(mBoardCells);
    out.WriteInt(mLevelStartFrame);
    out.WriteInt(mLevelTime);
    out.WriteInt(mDullbonesBroken);
    out.WriteInt(mQuorlRatio);
    out.WriteFloat(mBannerY);
    out.WriteFloat(mSpare);
    out.WriteFloat(mBannerScale);
    out.WriteFloat(mBannerSpin);
    out.WriteFloat(mPanelDrop);
    out.WriteBool(mClearedPhase);
    out.WriteFloat(mSpare2);
    out.WriteInt(mLineCounter);
    out.WriteString(mLevelCode);
    out.WriteInt(mEndCounter);
    out.WriteBool(IsHintShowing());
    out.WriteFloat(mHintHandOffset);
    out.WriteInt(mSecondChances);
    out.WriteBool(mSecondChanceActive);
    out.WriteInt(mSecondChanceDelay);
    out.WriteFloat(mWheelSpeed);
    out.WriteInt(mWheelState);
    out.WriteBool(mWheelFace);
    out.WriteInt(mClearOutCounter);
    out.WriteInt(mFrameCounter);
    Pause();
}

bool Board::AcceptLayout(const std::string& layout, int size, std::string* problem) {
    LevelRecipe recipe = GenerateLevel(mLevelId);
    if (layout == recipe.mLayout && size == recipe.mPixelSize) return true;
    if (problem) *problem = "the board is not the one of level " + std::to_string(mLevelId);
    return false;
}

bool Board::Load(RecordReader& in) {
    if (!SlideBoard::Load(in)) return false;
    for (unsigned char& tile : mLitTiles) {
        tile = static_cast<unsigned char>(in.Bool("lit tile"));
        if (!in.Ok()) return false;
    }
    mDangerLevel = in.Float("danger level", 0.0f, 1.0f);
    mPrevDangerLevel = in.Float("previous danger level", 0.0f, 1.0f);
    mDangerPerMove = in.Float("danger per move", 0.0f, 100.0f);
    mDangerPerGroup = in.Float("danger per extra group", 0.0f, 100.0f);
    mDangerPerCascade = in.Float("danger per cascade", 0.0f, 100.0f);
    mDullbonesPerFill = in.Int("dullbones per fill", 0, 1000);
    mStoredX = in.Float("stored point x", -kFar, kFar);
    mStoredY = in.Float("stored point y", -kFar, kFar);
    mMeterFull = in.Bool("meter full");
    mDangerRescued = in.Bool("danger rescued");
    mDraining = in.Bool("draining");
    mPunchActive = in.Bool("punch active");
    mPunchTimer = in.Int("punch timer", 0, 1000);
    mMatchScore = in.Int("match score", 0, 1000000000);
    mHintAutopilot = in.Bool("hint autopilot");
    mHintMove = in.Bool("hint move");
    mNoMoves = in.Bool("no moves");
    mFade = in.Float("fade", 0.0f, 3.0f);
    mWheelAngle = in.Float("wheel angle", -360.0f, 360.0f);
    mDangerLoweredThisTurn = in.Bool("danger lowered this turn");
    int levelId = in.Int("level id");
    mLevelCleared = in.Bool("level cleared");
    mQuorlsUsed = in.Int("quorls used", 0);
    int boardCells = in.Int("board cells", 0);
    mLevelStartFrame = in.Int("level start frame");
    mLevelTime = in.Int("level time", 0);
    mDullbonesBroken = in.Int("dullbones broken", 0);
    mQuorlRatio = in.Int("quorl ratio", 0);
    mBannerY = in.Float("cleared banner y", -kFar, kFar);
    mSpare = in.Float("spare value", -kFar, kFar);
    mBannerScale = in.Float("cleared banner scale", -kFar, kFar);
    mBannerSpin = in.Float("cleared banner spin", -kFar, kFar);
    mPanelDrop = in.Float("cleared panel drop", -kFar, kFar);
    mClearedPhase = in.Bool("cleared-screen phase");
    mSpare2 = in.Float("second spare value", -kFar, kFar);
    mLineCounter = in.Int("cleared-screen counter", 0);
    std::string code = in.String("level code", kMaxLevelCodeLength);
    mEndCounter = in.Int("end counter", 0, kMaxCount);
    bool hintShowing = in.Bool("hint showing");
    mHintHandOffset = in.Float("hint hand offset", -kFar, kFar);
    mSecondChances = in.Int("second chances", 0, kMaxCount);
    mSecondChanceActive = in.Bool("second chance active");
    mSecondChanceDelay = in.Int("second-chance delay", -1, kMaxCount);
    mWheelSpeed = in.Float("wheel speed", 0.0f, 100.0f);
    mWheelState = in.Int("wheel state", 0, 3);
    mWheelFace = in.Bool("wheel face");
    mClearOutCounter = in.Int("clear-out counter", 0, kMaxCount);
    mFrameCounter = in.Int("frame counter");
    if (!in.Ok()) return false;

    if (levelId != mLevelId) {
        in.Fail("the board's level id " + std::to_string(levelId) + " is not the screen's " + std::to_string(mLevelId));
        return false;
    }
    if (boardCells != mBoardCells) {
        in.Fail("the board's cell count does not belong to its layout");
        return false;
    }
    // The code names the level's thumbnail file: only the level's own is taken.
    if (code != GenerateLevel(mLevelId).mCode) {
        in.Fail("the level code is not the one of level " + std::to_string(mLevelId));
        return false;
    }
    int vanishingPieces = 0;
    for (void* item : mPieces.Items())
        if (AsQuorl(static_cast<SlideObject*>(item))->mVanishing) ++vanishingPieces;
    if (mVanishingPieces > vanishingPieces) {
        // The board would wait for ever for pieces that never finish turning.
        in.Fail("more pieces counted as turning into dullbones than there are");
        return false;
    }
    mLevelCode = code;

    // What is not stored.
    float width = Columns() * mCellSize, height = Rows() * mCellSize;
    SetRect(50.0f + (500.0f - width) * 0.5f, 70.0f + (500.0f - height) * 0.5f, width, height);
    mDemonstration = hintShowing;
    mHandTravelling = hintShowing && mAutopilot && mHintHandOffset > 4.0f;
    mGameOverSent = false;
    mEndList.Clear();
    if (mNoMoves) {
        for (void* item : mPieces.Items()) {
            auto* q = AsQuorl(static_cast<SlideObject*>(item));
            if (!q->mKilled && !IsDullbone(q) && !q->mVanishing) mEndList.Add(q);
        }
    }
    MakeClearedColors();
    mCyclerPosition = 0.0f;
    if (mLevelCleared && mLineCounter >= kContinueLine) MakeContinueButton();
    // The music starts when the resumed level is shown (StartMusic), not while it is checked.
    mMusicOn = false;
    return true;
}
