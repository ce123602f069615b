// Saved games: the mode tag picks the session, then the session reads the whole file from the
// start (two buffers over the same bytes, read from disk once) and nothing may be left over.
#include "game/SavedGame.h"

#include "game/GameApp.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "persistence/DataBuffer.h"
#include "persistence/RecordReader.h"
#include "platform/FileSystem.h"

namespace SavedGame {

std::unique_ptr<GameSession> Read(const std::vector<uint8_t>& bytes, GameApp* app, std::string* problem,
                                  const SessionMaker& make) {
    auto refuse = [&](const std::string& why) {
        if (problem) *problem = why;
        return std::unique_ptr<GameSession>();
    };
    if (bytes.empty()) return refuse("the file is empty");
    if (int64_t(bytes.size()) > kMaxFileSize) return refuse("the file is larger than any saved game");

    DataBuffer first;
    first.SetData(bytes.data(), bytes.size());
    RecordReader tag(first);
    bool gauntlet = tag.Bool("mode tag");
    if (!tag.Ok()) return refuse(tag.Problem());

    // Making a session sets the application's mode; a refused file must leave it alone.
    int mode = app ? app->mMode : 0;
    std::unique_ptr<GameSession> session;
    if (make)
        session = make(gauntlet, app);
    else if (gauntlet)
        session = std::make_unique<GauntletSession>(app);
    else
        session = std::make_unique<GameSession>(app);
    if (!session) {
        if (app) app->mMode = mode;
        return refuse(gauntlet ? "a Gauntlet game is not taken here" : "a journey is not taken here");
    }
    // A loaded game is not a new one: its Initialize must not start a fresh game over it.
    session->mInitialized = true;

    DataBuffer second;
    second.SetData(bytes.data(), bytes.size());
    RecordReader in(second);
    session->Load(in);
    in.ExpectEnd("saved game");
    if (!in.Ok()) {
        session.reset();
        if (app) app->mMode = mode;
        return refuse(in.Problem());
    }
    return session;
}

bool ReadBytes(std::string_view path, std::vector<uint8_t>& bytes, std::string* problem) {
    bytes.clear();
    int64_t size = Files::FileSize(path);
    std::string why;
    if (size < 0)
        why = "there is no such file";
    else if (size > kMaxFileSize)
        why = "the file is larger than any saved game";
    else if (!Files::ReadWhole(path, bytes, size_t(kMaxFileSize)))
        why = "the file cannot be read";
    if (why.empty()) return true;
    if (problem) *problem = why;
    return false;
}

std::unique_ptr<GameSession> ReadFile(std::string_view path, GameApp* app, std::string* problem,
                                      const SessionMaker& make) {
    std::vector<uint8_t> bytes;
    if (!ReadBytes(path, bytes, problem)) return nullptr;
    return Read(bytes, app, problem, make);
}

std::vector<uint8_t> Write(GameSession& session) {
    DataBuffer buffer;
    session.Serialize(buffer);
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Size());
}

bool SetAside(std::string_view path) {
    std::string from = Files::FindForRead(path);
    if (from.empty()) return false;
    return Files::RenameFile(from, from + kDamagedSuffix);
}

}  // namespace SavedGame
