// GameFileDump: the saved game is built by the same reader the game uses and then described from
// the objects, so what is shown is what the game would resume.
#include "game/GameFileDump.h"

#include <cctype>
#include <cstdio>
#include <memory>

#include "board/SlideObject.h"
#include "game/GameSession.h"
#include "game/GauntletSession.h"
#include "game/SavedGame.h"
#include "game/journey/Maze.h"
#include "game/rules/Board.h"
#include "game/rules/Board_FreeForm.h"
#include "game/rules/BoardContainer.h"
#include "persistence/DataBuffer.h"
#include "persistence/GameFiles.h"
#include "persistence/GameStatistics.h"

namespace GameFileDump {

namespace {

const char kColorLetters[] = "rygipbow";

const char* Bool(bool value) { return value ? "true" : "false"; }

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

// One string per layout row, a letter per cell: the piece's colour (upper case when large, '*'
// for a dullbone), '.' where the layout has no cell, '?' where no piece lies.
std::string Grid(const Board& board) {
    int columns = board.Columns(), rows = board.Rows();
    std::vector<std::string> lines(static_cast<size_t>(rows), std::string(static_cast<size_t>(columns), '.'));
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c)
            if (board.IsCell(c, r)) lines[size_t(r - 1)][size_t(c - 1)] = '?';
    int cell = static_cast<int>(board.CellSize());
    for (void* item : board.mPieces.Items()) {
        const SlideObject* p = static_cast<const SlideObject*>(item);
        if (cell < 1) break;
        int column = static_cast<int>(p->mX) / cell, row = static_cast<int>(p->mY) / cell;
        int size = p->mLarge ? 2 : 1;
        char letter = p->mSpecial ? '*' : kColorLetters[p->mColor & 7];
        if (p->mLarge && !p->mSpecial) letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
        for (int c = column; c < column + size && c < columns; ++c)
            for (int r = row; r < row + size && r < rows; ++r)
                if (c >= 0 && r >= 0) lines[size_t(r)][size_t(c)] = letter;
    }
    std::string out = "[";
    for (size_t i = 0; i < lines.size(); ++i) out += (i ? "," : "") + Quote(lines[i]);
    return out + "]";
}

std::string BoardJson(const BoardContainer& container) {
    const Board& b = *container.GetBoard();
    int lit = 0, dullbones = 0;
    for (unsigned char tile : b.mLitTiles) lit += tile ? 1 : 0;
    for (void* item : b.mPieces.Items()) dullbones += static_cast<const SlideObject*>(item)->mSpecial ? 1 : 0;
    std::string out = "{\"level_id\":" + std::to_string(container.mLevelId);
    out += ",\"freeform\":" + std::string(Bool(container.mFreeForm));
    out += ",\"code\":" + Quote(b.mLevelCode);
    out += ",\"layout\":" + Quote(b.mLayout);
    out += ",\"board_size\":" + std::to_string(b.mBoardSize);
    out += ",\"cell_size\":" + Number(b.mCellSize);
    out += ",\"columns\":" + std::to_string(b.Columns());
    out += ",\"rows\":" + std::to_string(b.Rows());
    out += ",\"colours\":" + std::to_string(b.mNumColors);
    out += ",\"pieces\":" + std::to_string(b.mPieces.Count());
    out += ",\"dullbones\":" + std::to_string(dullbones);
    out += ",\"grid\":" + Grid(b);
    out += ",\"lit_tiles\":" + std::to_string(lit);
    out += ",\"danger\":" + Number(b.mDangerLevel);
    out += ",\"meter_full\":" + std::string(Bool(b.mMeterFull));
    out += ",\"cleared\":" + std::string(Bool(b.mLevelCleared));
    out += ",\"no_moves\":" + std::string(Bool(b.mNoMoves));
    out += ",\"second_chances\":" + std::to_string(b.mSecondChances);
    out += ",\"quorls_used\":" + std::to_string(b.mQuorlsUsed);
    out += ",\"dullbones_broken\":" + std::to_string(b.mDullbonesBroken);
    out += ",\"autopilot\":" + std::string(Bool(b.mAutopilot));
    if (auto* freeForm = dynamic_cast<const Board_FreeForm*>(&b)) {
        out += ",\"rise_per_update\":" + Number(freeForm->mRisePerUpdate);
        out += ",\"drop_pending\":" + std::string(Bool(freeForm->mDropPending != 0));
    }
    return out + "}";
}

std::string MapJson(const Maze& map) {
    int nodes = 0, revealed = 0, done = 0, treasures = 0;
    for (int lane = 0; lane < Maze::kLanes; ++lane)
        for (int step = 0; step < Maze::kSteps; ++step) {
            int32_t flags = map.Cell(lane, step);
            if (!(flags & Maze::kNode)) continue;
            ++nodes;
            revealed += (flags & Maze::kRevealed) ? 1 : 0;
            done += (flags & Maze::kDone) ? 1 : 0;
            treasures += (flags & Maze::kTreasure) ? 1 : 0;
        }
    Maze::Place current = map.Current();
    std::string out = "{\"idol\":" + std::to_string(map.mIdol);
    out += ",\"idol_name\":" + Quote(Maze::IdolName(map.mIdol));
    out += ",\"first_visit\":" + std::string(Bool(map.mFirstVisit));
    out += ",\"idol_available\":" + std::string(Bool(map.mIdolAvailable));
    out += ",\"current\":" + (current.mLane >= 0 ? "[" + std::to_string(current.mLane) + "," +
                                                        std::to_string(current.mStep) + "]"
                                                  : std::string("null"));
    out += ",\"nodes\":" + std::to_string(nodes);
    out += ",\"revealed\":" + std::to_string(revealed);
    out += ",\"done\":" + std::to_string(done);
    out += ",\"treasures\":" + std::to_string(treasures);
    out += ",\"scroll\":" + Number(map.mScroll);
    return out + "}";
}

std::string SessionJson(const GameSession& s) {
    auto* gauntlet = dynamic_cast<const GauntletSession*>(&s);
    std::string out = "{\"file\":\"saved_game\",\"mode\":";
    out += gauntlet ? "\"gauntlet\"" : "\"journey\"";
    out += ",\"score\":" + std::to_string(s.mScore);
    if (!gauntlet) out += ",\"level_start_score\":" + std::to_string(s.mLevelStartScore);
    out += ",\"chosen_level\":" + std::to_string(s.mChosenLevel);
    out += ",\"level_won\":" + std::string(Bool(s.mLevelWon));
    out += ",\"multipliers\":[";
    for (int i = 0; i < GameSession::kBonusSlots; ++i) out += (i ? "," : "") + std::to_string(s.mBonus[i]);
    out += "],\"second_chances\":" + std::to_string(s.mSecondChances);
    if (gauntlet) {
        out += ",\"gold\":" + std::to_string(gauntlet->mGold);
    } else {
        out += ",\"moves\":" + std::to_string(s.mMoves);
        out += ",\"best_ratio_small\":" + std::to_string(s.mBestRatioSmall);
        out += ",\"best_ratio_large\":" + std::to_string(s.mBestRatioLarge);
        out += ",\"journey_time\":" + std::to_string(s.mJourneyTime);
        out += ",\"levels_lost\":" + std::to_string(s.mLevelsLost);
        out += ",\"levels_won_before_loss\":" + std::to_string(s.mLevelsWonBeforeLoss);
        out += ",\"has_lost\":" + std::string(Bool(s.mHasLost));
    }
    if (const Maze* map = s.GetMap()) out += ",\"map\":" + MapJson(*map);
    if (s.mBoard && s.mBoard->GetBoard()) out += ",\"board\":" + BoardJson(*s.mBoard);
    return out + "}";
}

std::string StatisticsJson(const GameStatistics& stats) {
    static const char* const kNames[] = {
        "journeys_completed", "fewest_moves",      "best_ratio_small",  "best_ratio_large",
        "fastest_journey",    "fewest_lost_levels", "most_levels_won_before_losing", "gauntlets_completed",
        "most_gold",          "quorls_transported", "dullbones_broken",  "most_quorls_in_one_move",
        "longest_cascade",
    };
    std::string out = "{\"file\":\"statistics\",\"idol_counts\":[";
    for (int i = 0; i < GameStatistics::kIdolCount; ++i) out += (i ? "," : "") + std::to_string(stats.mIdolCounts[i]);
    out += "]";
    for (int i = GameStatistics::kIdolCount; i < GameStatistics::kFieldCount; ++i)
        out += ",\"" + std::string(kNames[i - GameStatistics::kIdolCount]) + "\":" + std::to_string(stats.Field(i));
    return out + "}";
}

bool DescribeStatistics(const std::vector<uint8_t>& bytes, std::string* json, std::string* problem) {
    if (bytes.size() != size_t(GameStatistics::kFileSize)) {
        if (problem)
            *problem = "a statistics record holds " + std::to_string(GameStatistics::kFileSize) + " bytes, not " +
                       std::to_string(bytes.size());
        return false;
    }
    DataBuffer buffer;
    buffer.SetData(bytes.data(), bytes.size());
    GameStatistics stats;
    stats.Load(buffer);
    *json = StatisticsJson(stats);
    return true;
}

}  // namespace

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

bool Describe(std::string_view fileName, const std::vector<uint8_t>& bytes, std::string* json, std::string* problem) {
    if (SameName(fileName, GameFiles::kStatisticsFile)) return DescribeStatistics(bytes, json, problem);
    std::string why;
    std::unique_ptr<GameSession> session = SavedGame::Read(bytes, nullptr, &why);
    if (session) {
        *json = SessionJson(*session);
        return true;
    }
    if (bytes.size() == size_t(GameStatistics::kFileSize)) return DescribeStatistics(bytes, json, problem);
    if (problem) *problem = why;
    return false;
}

}  // namespace GameFileDump
