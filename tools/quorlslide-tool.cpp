// quorlslide-tool: headless command-line access to the game's logic, for tests and for people.
// Every subcommand prints exactly its result on standard output; usage errors exit with status 2.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "board/BoardLayout.h"
#include "board/BoardRandom.h"
#include "board/SlideBoard.h"
#include "board/SlideObject.h"
#include "game/AutoplayGame.h"
#include "game/GameFileDump.h"
#include "game/GameSession.h"
#include "game/SavedGame.h"
#include "game/journey/AutoplayJourney.h"
#include "game/journey/Maze.h"
#include "game/rules/LevelGenerator.h"
#include "platform/FileSystem.h"

namespace {

const char* const kUsage =
    "usage: quorlslide-tool random SEED COUNT\n"
    "       quorlslide-tool range SEED N COUNT\n"
    "       quorlslide-tool board LAYOUT SIZE SEED [COLOURS]\n"
    "       quorlslide-tool autoplay-board LAYOUT SIZE SEED MOVES [COLOURS]\n"
    "       quorlslide-tool level ID\n"
    "       quorlslide-tool autoplay (--gauntlet | --level ID | --journey) --seed S --moves N [--save FILE]\n"
    "       quorlslide-tool autoplay --resume FILE --moves N [--seed S] [--save FILE]\n"
    "       quorlslide-tool journey SEED\n"
    "       quorlslide-tool dump FILE\n";

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "quorlslide-tool: %s\n", problem);
    std::fputs(kUsage, stderr);
    return 2;
}

// Whole decimal numbers only, within [low, high].
bool ParseNumber(const char* text, long long low, long long high, long long* out) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    *out = v;
    return true;
}

constexpr long long kMaxCount = 100000000;

int CommandRandom(const std::vector<const char*>& args) {
    long long seed, count;
    if (args.size() != 2) return Usage("random takes SEED COUNT");
    if (!ParseNumber(args[0], 0, UINT32_MAX, &seed)) return Usage("SEED must be a whole number from 0 to 4294967295");
    if (!ParseNumber(args[1], 0, kMaxCount, &count)) return Usage("COUNT must be a whole number from 0 to 100000000");
    BoardRandom random(static_cast<uint32_t>(seed));
    for (long long i = 0; i < count; ++i) std::printf("%d\n", random.Next());
    return 0;
}

int CommandRange(const std::vector<const char*>& args) {
    long long seed, n, count;
    if (args.size() != 3) return Usage("range takes SEED N COUNT");
    if (!ParseNumber(args[0], 0, UINT32_MAX, &seed)) return Usage("SEED must be a whole number from 0 to 4294967295");
    if (!ParseNumber(args[1], INT32_MIN + 1LL, INT32_MAX, &n)) return Usage("N must be a whole number from -2147483647 to 2147483647");
    if (!ParseNumber(args[2], 0, kMaxCount, &count)) return Usage("COUNT must be a whole number from 0 to 100000000");
    BoardRandom random(static_cast<uint32_t>(seed));
    for (long long i = 0; i < count; ++i) std::printf("%d\n", random.Range(static_cast<int32_t>(n)));
    return 0;
}

// ---- boards ---------------------------------------------------------------------------------------

// A bare slide board that also counts its settle counter down the way the game rules do, so that
// it can take one move after another.
class ToolBoard : public SlideBoard {
public:
    void Update() override {
        if (IsAnythingFalling()) mSettleCounter = 4;
        if (mSettleCounter > 0) --mSettleCounter;
        SlideBoard::Update();
    }
    void AutoPilotStuckCallback() override { mStuckReported = true; }
    void AutoPilotFinishedMoveCallback() override { ++mFinishedMoves; }

    bool mStuckReported = false;
    int mFinishedMoves = 0;
};

const char kColorLetters[] = "rygipbow";

// Prints the layout rows: '.' where there is no cell, the covering piece's colour letter
// otherwise (upper-case for a large piece), '?' for a cell nothing covers. Reads the pieces
// only, so printing never changes the board.
void PrintRows(const SlideBoard& board, const BoardLayout& layout) {
    int columns = layout.Columns(), rows = layout.Rows();
    std::vector<const SlideObject*> cover(static_cast<size_t>(columns + 1) * (rows + 1), nullptr);
    int cell = static_cast<int>(board.CellSize());
    for (void* item : board.mPieces.Items()) {
        const SlideObject* p = static_cast<const SlideObject*>(item);
        if (p->mKilled || cell < 1) continue;
        int col = static_cast<int>(p->mX) / cell + 1, row = static_cast<int>(p->mY) / cell + 1;
        int w = static_cast<int>(p->mW) / cell, h = static_cast<int>(p->mH) / cell;
        for (int c = col; c < col + w; ++c)
            for (int r = row; r < row + h; ++r)
                if (c >= 1 && c <= columns && r >= 1 && r <= rows) cover[static_cast<size_t>(r) * (columns + 1) + c] = p;
    }
    std::string line;
    for (int r = 1; r <= rows; ++r) {
        line.clear();
        for (int c = 1; c <= columns; ++c) {
            if (!layout.IsCell(c, r)) {
                line += '.';
                continue;
            }
            const SlideObject* p = cover[static_cast<size_t>(r) * (columns + 1) + c];
            if (!p || p->mColor < 0 || p->mColor > 7) {
                line += '?';
                continue;
            }
            char letter = kColorLetters[p->mColor];
            if (p->mW > board.CellSize() || p->mH > board.CellSize()) letter = static_cast<char>(letter - 'a' + 'A');
            line += letter;
        }
        std::printf("%s\n", line.c_str());
    }
}

// Checks the arguments shared by both board commands and builds the board.
int MakeToolBoard(const char* layoutText, const char* sizeText, const char* seedText, const char* colorsText,
                  ToolBoard& board, BoardLayout& layout) {
    long long size, seed, colors = 8;
    std::string error;
    if (!layout.Parse(layoutText, &error)) return Usage(("LAYOUT: " + error).c_str());
    if (!ParseNumber(sizeText, 1, SlideBoard::kMaxBoardSize, &size)) return Usage("SIZE must be a whole number from 1 to 1000000");
    if (!ParseNumber(seedText, 0, INT32_MAX, &seed)) return Usage("SEED must be a whole number from 0 to 2147483647");
    if (colorsText && !ParseNumber(colorsText, 1, 8, &colors)) return Usage("COLOURS must be a whole number from 1 to 8");
    board.mNumColors = static_cast<int>(colors);
    board.mUseFixedSeed = true;
    board.mFixedSeed = static_cast<int>(seed);
    board.mInitialized = true;  // no default board first
    if (!board.MakeBoard(layoutText, static_cast<int>(size))) return Usage(board.mLastError.c_str());
    return 0;
}

int CommandBoard(const std::vector<const char*>& args) {
    if (args.size() != 3 && args.size() != 4) return Usage("board takes LAYOUT SIZE SEED [COLOURS]");
    ToolBoard board;
    BoardLayout layout;
    if (int status = MakeToolBoard(args[0], args[1], args[2], args.size() == 4 ? args[3] : nullptr, board, layout)) return status;
    std::printf("columns %d\nrows %d\ncell %d\n", layout.Columns(), layout.Rows(), static_cast<int>(board.CellSize()));
    PrintRows(board, layout);
    SlideMove move;
    if (board.FindMatch(&move))
        std::printf("move %.1f %.1f %.1f %.1f\n", move.mFromX, move.mFromY, move.mToX, move.mToY);
    else
        std::printf("move none\n");
    return 0;
}

int CommandAutoplayBoard(const std::vector<const char*>& args) {
    if (args.size() != 4 && args.size() != 5) return Usage("autoplay-board takes LAYOUT SIZE SEED MOVES [COLOURS]");
    long long moves;
    if (!ParseNumber(args[3], 0, 100000, &moves)) return Usage("MOVES must be a whole number from 0 to 100000");
    ToolBoard board;
    BoardLayout layout;
    if (int status = MakeToolBoard(args[0], args[1], args[2], args.size() == 5 ? args[4] : nullptr, board, layout)) return status;
    board.SetAutopilot(true);
    // A move takes 50 updates of waiting plus one per pixel, then the fall; far more than this
    // without a finished move means the board can no longer settle.
    const long long kUpdatesPerMove = 1000000;
    for (long long done = 0; done < moves;) {
        long long budget = kUpdatesPerMove;
        bool finished = false;
        while (budget-- > 0) {
            board.Update();
            if (board.mStuckReported || board.mAutoStuck) break;
            bool settled = !board.IsAnythingFalling() && !board.mSnapbackActive && board.CanMakeMove() &&
                           board.mDying.Empty();
            if (board.mFinishedMoves > done && settled) {
                finished = true;
                break;
            }
        }
        if (!finished) {
            std::printf("stuck\n");
            return 0;
        }
        ++done;
        std::printf("move %lld\n", done);
        PrintRows(board, layout);
    }
    return 0;
}

int CommandLevel(const std::vector<const char*>& args) {
    long long id;
    if (args.size() != 1) return Usage("level takes ID");
    if (!ParseNumber(args[0], INT32_MIN, INT32_MAX, &id)) return Usage("ID must be a whole number from -2147483648 to 2147483647");
    LevelRecipe level = GenerateLevel(static_cast<int>(id));
    std::printf("code %s\nlayout %s\ncolours %d\ndullbones %d\n", level.mCode.c_str(), level.mLayout.c_str(), level.mColors,
                level.mDullbonesPerFill);
    std::printf("danger-move %.6f\ndanger-group %.6f\ndanger-cascade %.6f\n", level.mDangerPerMove, level.mDangerPerGroup,
                level.mDangerPerCascade);
    return 0;
}

// The journey map of a seed: one line per lane, each step as flags:level id:treasure kind.
int CommandJourney(const std::vector<const char*>& args) {
    long long seed;
    if (args.size() != 1) return Usage("journey takes SEED");
    if (!ParseNumber(args[0], 0, UINT32_MAX, &seed)) return Usage("SEED must be a whole number from 0 to 4294967295");
    Maze maze(nullptr, nullptr);
    maze.Generate(static_cast<uint32_t>(seed));
    for (int lane = 0; lane < Maze::kLanes; ++lane) {
        std::string line;
        for (int step = 0; step < Maze::kSteps; ++step) {
            char cell[48];
            std::snprintf(cell, sizeof cell, "%s%03x:%d:%d", step ? " " : "", static_cast<unsigned>(maze.Cell(lane, step)),
                          maze.LevelId(lane, step), maze.TreasureKind(lane, step));
            line += cell;
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

}  // namespace

// A file named on the command line: relative to the current folder, not to the game's folders.
std::string ToolPath(const char* name) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(name, error);
    return error ? std::string(name) : path.string();
}

// Writes a file the tool was asked for, atomically; false (and a message) when it cannot.
bool WriteToolFile(const char* name, const std::vector<uint8_t>& bytes) {
    if (Files::WriteWholeAtomic(ToolPath(name), bytes.data(), bytes.size())) return true;
    std::fprintf(stderr, "quorlslide-tool: %s: cannot be written\n", name);
    return false;
}

// Plays a level with the board's own autopilot until the moves are made, the game is over or
// the level is cleared, and prints the outcome as one JSON object; or plays on from a saved game.
// With --save, the saved game that leaving at that point would write goes to FILE.
int CommandAutoplay(const std::vector<const char*>& args) {
    bool gauntlet = false, journey = false, haveMode = false, haveSeed = false, haveMoves = false;
    long long level = 0, seed = 0, moves = 0;
    const char* resume = nullptr;
    const char* save = nullptr;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "--gauntlet" && !haveMode) {
            gauntlet = haveMode = true;
        } else if (arg == "--journey" && !haveMode) {
            journey = haveMode = true;
        } else if (arg == "--level" && !haveMode) {
            if (!hasValue || !ParseNumber(args[++i], INT32_MIN, INT32_MAX, &level))
                return Usage("--level needs a whole number from -2147483648 to 2147483647");
            haveMode = true;
        } else if (arg == "--resume" && !haveMode) {
            if (!hasValue || !*args[i + 1]) return Usage("--resume needs a FILE");
            resume = args[++i];
            haveMode = true;
        } else if (arg == "--seed" && !haveSeed) {
            if (!hasValue || !ParseNumber(args[++i], 0, UINT32_MAX, &seed))
                return Usage("--seed needs a whole number from 0 to 4294967295");
            haveSeed = true;
        } else if (arg == "--moves" && !haveMoves) {
            if (!hasValue || !ParseNumber(args[++i], 0, 1000000, &moves))
                return Usage("--moves needs a whole number from 0 to 1000000");
            haveMoves = true;
        } else if (arg == "--save" && !save) {
            if (!hasValue || !*args[i + 1]) return Usage("--save needs a FILE");
            save = args[++i];
        } else {
            return Usage(("autoplay does not take " + arg).c_str());
        }
    }
    if (!haveMode || !haveMoves || (!resume && !haveSeed))
        return Usage("autoplay takes (--gauntlet | --level ID | --journey) --seed S --moves N, or --resume FILE --moves N");
    std::vector<uint8_t> bytes;
    if (resume) {
        std::string problem;
        bool journeyOnItsMap = false;
        if (SavedGame::ReadBytes(ToolPath(resume), bytes, &problem)) {
            // A journey left on its map, or in a level it reached from its map, goes on as a
            // journey; a single level (or the Gauntlet) as that level.
            std::unique_ptr<GameSession> probe = SavedGame::Read(bytes, nullptr, &problem);
            Maze* map = probe ? probe->GetMap() : nullptr;
            journeyOnItsMap = map && (!probe->mBoard || map->Current().mLane >= 0);
            if (!probe) bytes.clear();
        }
        if (bytes.empty()) {
            std::fprintf(stderr, "quorlslide-tool: %s: refused: %s\n", resume, problem.c_str());
            return 1;
        }
        journey = journeyOnItsMap;
    }
    if (journey) {
        std::unique_ptr<AutoplayJourney> game;
        std::string problem;
        if (resume)
            game = AutoplayJourney::Resume(bytes, static_cast<uint32_t>(seed), &problem);
        else
            game = std::make_unique<AutoplayJourney>(static_cast<uint32_t>(seed));
        if (!game) {
            std::fprintf(stderr, "quorlslide-tool: %s: refused: %s\n", resume, problem.c_str());
            return 1;
        }
        AutoplayJourney::Result result = game->Play(static_cast<int>(moves));
        if (save) {
            std::vector<uint8_t> saved;
            result.mSaved = game->Save(&saved);
            if (*result.mSaved && !WriteToolFile(save, saved)) return 1;
        }
        std::printf("%s\n", AutoplayJourney::ToJson(result).c_str());
        return 0;
    }

    std::unique_ptr<AutoplayGame> game;
    if (resume) {
        std::string problem;
        game = AutoplayGame::Resume(bytes, static_cast<uint32_t>(seed), &problem);
        if (!game) {
            std::fprintf(stderr, "quorlslide-tool: %s: refused: %s\n", resume, problem.c_str());
            return 1;
        }
    } else {
        game = std::make_unique<AutoplayGame>(gauntlet, static_cast<int>(level), static_cast<uint32_t>(seed));
    }
    AutoplayGame::Result result = game->Play(static_cast<int>(moves));
    if (save) {
        std::vector<uint8_t> saved;
        result.mSaved = game->Save(&saved);
        if (*result.mSaved && !WriteToolFile(save, saved)) return 1;
    }
    std::printf("%s\n", AutoplayGame::ToJson(result).c_str());
    return 0;
}

// Any of the game's binary files as one JSON object; the file is only read.
int CommandDump(const std::vector<const char*>& args) {
    if (args.size() != 1 || !*args[0]) return Usage("dump takes FILE");
    std::string path = ToolPath(args[0]);
    std::vector<uint8_t> bytes;
    std::string problem, json;
    if (!SavedGame::ReadBytes(path, bytes, &problem) ||
        !GameFileDump::Describe(std::filesystem::path(path).filename().string(), bytes, &json, &problem)) {
        std::fprintf(stderr, "quorlslide-tool: %s: refused: %s\n", args[0], problem.c_str());
        return 1;
    }
    std::printf("%s\n", json.c_str());
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2) return Usage(nullptr);
    std::string command = argv[1];
    std::vector<const char*> args(argv + 2, argv + argc);
    if (command == "random") return CommandRandom(args);
    if (command == "range") return CommandRange(args);
    if (command == "board") return CommandBoard(args);
    if (command == "autoplay-board") return CommandAutoplayBoard(args);
    if (command == "level") return CommandLevel(args);
    if (command == "autoplay") return CommandAutoplay(args);
    if (command == "journey") return CommandJourney(args);
    if (command == "dump") return CommandDump(args);
    if (command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return Usage(("unknown command: " + command).c_str());
}
