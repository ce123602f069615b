// The saved form of a game in progress: the session's own fields in the file's order, then the
// journey map and the level being played, each read back with every value checked. Leaving a
// game writes it; a game that has ended removes it.
#include <algorithm>
#include <string>

#include "engine/core/GadgetManager.h"
#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/journey/Maze.h"
#include "game/rules/Board.h"
#include "game/rules/BoardContainer.h"
#include "persistence/DataBuffer.h"
#include "persistence/GameFiles.h"
#include "persistence/RecordReader.h"

namespace {

constexpr int32_t kMaxSecondChances = 1000000;
// A bonus slot is empty (0) or holds a multiplier of 2 or 3.
constexpr int32_t kMaxBonus = 3;

}  // namespace

// ---- Journey ----------------------------------------------------------------------------------------

const char* GameSession::SaveFileName() const { return GameFiles::kJourneySaveFile; }

bool GameSession::IsFinished() const {
    // A journey ends when its idol is taken (the won screen and the name entry follow).
    return mJourneyRecorded || (mMap && mMap->mIdolTaken);
}

void GameSession::PrepareToSave() {
    // A level that has just been won or lost is saved as the change that follows leaves it:
    // saving the finished board would play its ending (and count its loss) a second time.
    if (IsSwitchPending()) RunPendingSwitch();
    if (mBoard && !mBoard->GetBoard()) mBoard->DoUpdate();
    if (Board* board = mBoard ? mBoard->GetBoard() : nullptr) board->BringToRest();
}

void GameSession::SerializeBonus(DataBuffer& out) const {
    for (int32_t slot : mBonus) out.WriteInt(slot);
}

void GameSession::LoadBonus(RecordReader& in) {
    for (int32_t& slot : mBonus) slot = in.Int("bonus slot", 0, kMaxBonus);
}

void GameSession::Serialize(DataBuffer& out) {
    PrepareToSave();
    out.WriteBool(false);  // mode tag: a journey
    out.WriteInt(mScore);
    out.WriteInt(mLevelStartScore);
    out.WriteInt(mChosenLevel);
    out.WriteBool(mLevelWon);
    SerializeBonus(out);
    out.WriteInt(mSecondChances);
    out.WriteInt(mMoves);
    out.WriteInt(mBestRatioSmall);
    out.WriteInt(mBestRatioLarge);
    out.WriteInt(mJourneyTime);
    out.WriteInt(mLevelsLost);
    out.WriteInt(mLevelsWonBeforeLoss);
    out.WriteBool(mHasLost);
    SerializeMap(out);
    SerializeLevel(out);
}

bool GameSession::Load(RecordReader& in) {
    if (in.Bool("mode tag")) in.Fail("a Gauntlet game is not a journey");
    mScore = in.Int("score", 0);
    mLevelStartScore = in.Int("score at the level's start", 0);
    mChosenLevel = in.Int("chosen level id");
    mLevelWon = in.Bool("level won");
    LoadBonus(in);
    mSecondChances = in.Int("second chances", 0, kMaxSecondChances);
    mMoves = in.Int("moves", 0);
    mBestRatioSmall = in.Int("best small-board ratio", 0);
    mBestRatioLarge = in.Int("best large-board ratio", 0);
    mJourneyTime = in.Int("journey time", 0);
    mLevelsLost = in.Int("levels lost", 0);
    mLevelsWonBeforeLoss = in.Int("levels won before the first loss", 0);
    mHasLost = in.Bool("has lost");
    if (!in.Ok() || !LoadMap(in)) return false;
    return LoadLevel(in, false);
}

void GameSession::SerializeMap(DataBuffer& out) {
    out.WriteBool(mMap != nullptr);
    if (mMap) mMap->Serialize(out);
}

bool GameSession::LoadMap(RecordReader& in) {
    if (!in.Bool("map present")) return in.Ok();
    DataBuffer& buffer = in.Buffer();
    int32_t start = buffer.Cursor();
    std::string problem;
    if (!Maze::CheckRecord(buffer, &problem)) {
        buffer.SetCursor(start);
        in.Fail("map (byte " + std::to_string(start) + "): " + problem);
        return false;
    }
    buffer.SetCursor(start);
    auto* map = new Maze(this, mApp);
    mMap = map;
    AddChild(map);
    if (!map->Load(buffer)) {
        in.Fail("map (byte " + std::to_string(start) + "): the record cannot be taken");
        return false;
    }
    // A map without its start would be made anew over the loaded one.
    if (!(map->Cell(Maze::kLanes / 2, 0) & Maze::kNode)) {
        in.Fail("map (byte " + std::to_string(start) + "): the map has no start");
        return false;
    }
    return true;
}

void GameSession::SerializeLevel(DataBuffer& out) {
    bool present = mBoard && !mBoard->mKilled && mBoard->GetBoard();
    out.WriteBool(present);
    if (present) mBoard->Serialize(out);
}

bool GameSession::LoadLevel(RecordReader& in, bool freeForm) {
    if (!in.Bool("board present")) return in.Ok();
    // The map waits, alive, while the level is played.
    if (mMap && Children() && Children()->Contains(mMap)) RemoveChild(mMap);
    auto* container = new BoardContainer(this, mApp);
    AddChild(container);
    mBoard = container;
    return container->Load(in, freeForm);
}

void GameSession::Resumed() {
    TakeKeyboardFocus();
    // A saved journey always holds its map or its level; one with neither starts on a new map.
    if (!mBoard && !mMap) {
        mMap = new Maze(this, mApp);
        AddChild(mMap);
    }
    // Joining the screens enabled every gadget of the session: the map's nodes are opened again
    // only as far as the journey has come (a locked node or the idol must not answer a click).
    if (mMap && !mBoard) mMap->UnlockButtons();
    if (Board* board = mBoard ? mBoard->GetBoard() : nullptr) {
        board->StartMusic();
    } else if (mApp && !mApp->mMusic.IsPlaying()) {
        mApp->mMusic.Play();
    }
}

void GameSession::Kill() {
    if (!mKilled && mApp) mApp->SaveSession(*this);
    Gadget::Kill();
}

// ---- Gauntlet ---------------------------------------------------------------------------------------

const char* GauntletSession::SaveFileName() const { return GameFiles::kGauntletSaveFile; }

bool GauntletSession::IsFinished() const {
    Board* board = mBoard ? mBoard->GetBoard() : nullptr;
    return mGameOver || (board && board->mGameOverSent);
}

void GauntletSession::Serialize(DataBuffer& out) {
    PrepareToSave();
    out.WriteBool(true);  // mode tag: the Gauntlet
    out.WriteInt(mScore);
    out.WriteInt(mChosenLevel);
    out.WriteBool(mLevelWon);
    SerializeBonus(out);
    out.WriteInt(mSecondChances);
    out.WriteInt(mGold);
    SerializeLevel(out);
}

bool GauntletSession::Load(RecordReader& in) {
    if (!in.Bool("mode tag") && in.Ok()) in.Fail("a journey is not a Gauntlet game");
    mScore = in.Int("score", 0);
    mChosenLevel = in.Int("chosen level id");
    mLevelWon = in.Bool("level won");
    LoadBonus(in);
    mSecondChances = in.Int("second chances", 0, kMaxSecondChances);
    mGold = in.Int("gold", 0);
    if (!in.Ok()) return false;
    return LoadLevel(in, true);
}

void GauntletSession::Resumed() {
    TakeKeyboardFocus();
    if (!mBoard) StartLevelNow(kLevelId, true);
    if (Board* board = mBoard ? mBoard->GetBoard() : nullptr) board->StartMusic();
}
