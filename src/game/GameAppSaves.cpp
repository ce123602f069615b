// The application's saved games and progress files: writing a left game (or removing a finished
// one), resuming one only after it has been read and checked whole, and telling the player once
// when the data folder cannot be written.
#include <cstdio>

#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/SavedGame.h"
#include "persistence/DataBuffer.h"
#include "persistence/GameFiles.h"
#include "platform/FileSystem.h"
#include "support/DebugLog.h"

namespace {

// The real folder a file's game path lies in, for the player to look at.
std::string FolderOf(const std::string& gamePath) {
    size_t cut = gamePath.find_last_of("\\/");
    return Files::PathForWrite(cut == std::string::npos ? std::string(".") : gamePath.substr(0, cut));
}

}  // namespace

bool GameApp::SaveSession(GameSession& session) {
    std::string path = mProfiles.GetProfilePath(session.SaveFileName());
    if (session.IsFinished()) {
        // A finished game leaves no saved game behind.
        std::string real = Files::PathForWrite(path);
        if (Files::IsRegularFile(real) && !Files::RemoveFile(real))
            DebugLog::Log("Saved game %s could not be removed", real.c_str());
        return true;
    }
    DataBuffer buffer;
    session.Serialize(buffer);
    if (buffer.Save(path)) {
        mWriteFailureReported = false;
        return true;
    }
    DebugLog::Log("Saved game %s could not be written; the previous file is kept", path.c_str());
    ReportWriteFailure(path);
    return false;
}

void GameApp::RefuseSavedGame(const std::string& path, const std::string& problem) {
    DebugLog::Log("Saved game %s refused: %s", path.c_str(), problem.c_str());
    // A missing file was the menu's to refuse; anything else is set aside for inspection.
    if (Files::FileSize(path) >= 0 && !SavedGame::SetAside(path))
        DebugLog::Log("Saved game %s could not be moved aside", path.c_str());
    MessageBox("Saved Game", SavedGame::kDamagedMessage, "OK");
}

bool GameApp::CheckSavedGame(const std::string& path) {
    // Read without the application: the same checks, without pictures or thumbnails.
    std::string problem;
    if (SavedGame::ReadFile(path, nullptr, &problem)) return true;
    RefuseSavedGame(path, problem);
    return false;
}

bool GameApp::ResumeSession(const std::string& path) {
    std::string problem;
    std::unique_ptr<GameSession> session = SavedGame::ReadFile(path, this, &problem);
    if (!session) {
        RefuseSavedGame(path, problem);
        return false;
    }
    std::lock_guard<std::recursive_mutex> lock(mDrawLock);
    ClearScreens();
    GameSession* resumed = session.release();
    mGadgets.Add(resumed);
    mSession = resumed;
    mMode = dynamic_cast<GauntletSession*>(resumed) ? kGauntlet : kJourney;
    resumed->Resumed();
    return true;
}

bool GameApp::SaveProgressNow() {
    bool ok = true;
    for (HighScoreTable* table : {&mJourneyScores, &mGauntletScores}) {
        if (table->FileName().empty() || table->Save()) continue;
        ok = false;
        ReportWriteFailure(table->FileName());
    }
    if (mStatistics.IsBound() && !mStatistics.SaveStatistics(mProfiles)) {
        ok = false;
        ReportWriteFailure(mProfiles.GetProfilePath(GameFiles::kStatisticsFile));
    }
    if (ok) mWriteFailureReported = false;
    return ok;
}

std::string GameApp::WriteFailureMessage(const std::string& folder) {
    return "The game could not be saved in " + folder +
           ". The disk may be full or the folder read-only; your earlier files are kept.";
}

void GameApp::ReportWriteFailure(const std::string& gamePath) {
    if (mWriteFailureReported) return;
    mWriteFailureReported = true;
    std::string folder = FolderOf(gamePath);
    DebugLog::Log("Write failure reported for %s", folder.c_str());
    // While the game shuts down its own dialogs can no longer run: the system's box is used.
    if (mQuit)
        App::MessageBox("Quorl Slide", WriteFailureMessage(folder), "OK");
    else
        MessageBox("Quorl Slide", WriteFailureMessage(folder), "OK");
}
