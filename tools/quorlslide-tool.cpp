// quorlslide-tool: headless command-line access to the game's logic, for tests and for people.
// Every subcommand prints exactly its result on standard output; usage errors exit with status 2.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/BoardRandom.h"

namespace {

const char* const kUsage =
    "usage: quorlslide-tool random SEED COUNT\n"
    "       quorlslide-tool range SEED N COUNT\n";

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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(nullptr);
    std::string command = argv[1];
    std::vector<const char*> args(argv + 2, argv + argc);
    if (command == "random") return CommandRandom(args);
    if (command == "range") return CommandRange(args);
    if (command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return Usage(("unknown command: " + command).c_str());
}
