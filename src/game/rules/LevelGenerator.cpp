// Level generation from a level id (world × 1000 + number). The order of the random draws below is
// part of the game: the journey map's thumbnails and every replayed level depend on it, so a draw
// must never be added, dropped or moved.
#include "game/rules/LevelGenerator.h"

#include <vector>

#include "board/BoardRandom.h"

namespace {

// Ranges are inclusive; dangers are in thousandths so the table holds them exactly.
struct WorldRow {
    int mMinSize, mMaxSize;
    int mMinColors, mMaxColors;
    int mMinDullbones, mMaxDullbones;
    int mMinMoveMilli, mMaxMoveMilli;
    int mMinGroupMilli, mMaxGroupMilli;
    int mMinCascadeMilli, mMaxCascadeMilli;
    std::vector<int> mKinds;  // a kind listed twice is twice as likely
};

const WorldRow kWorlds[10] = {
    {5, 5, 6, 7, 1, 1, 100, 170, 200, 500, 100, 200, {0, 1}},
    {5, 6, 6, 8, 1, 1, 100, 170, 200, 500, 100, 200, {0, 1}},
    {6, 7, 7, 8, 1, 2, 300, 350, 600, 900, 300, 300, {0, 1, 2}},
    {5, 6, 8, 8, 1, 2, 350, 350, 350, 700, 175, 175, {0, 1, 2}},
    {6, 7, 8, 8, 1, 2, 250, 400, 250, 500, 125, 125, {0, 1, 2, 3}},
    {6, 8, 8, 8, 1, 2, 350, 500, 350, 700, 175, 175, {0, 1, 2, 3}},
    {7, 8, 8, 8, 1, 3, 400, 450, 400, 800, 200, 200, {0, 1, 2, 3, 4}},
    {6, 8, 8, 8, 2, 3, 400, 450, 400, 800, 200, 200, {1, 2, 3, 4}},
    {8, 8, 8, 8, 2, 2, 500, 500, 500, 1000, 250, 250, {1, 2, 3, 4, 4}},
    {10, 10, 8, 8, 2, 2, 300, 300, 300, 600, 150, 150, {3, 4, 4}},
};

// Every world's kinds include one that applies at every size the world draws, so the choice ends
// within a few tries; the bound only guards against a source that never yields such a kind.
constexpr int kMaxKindTries = 1000;

constexpr float kDangerPerCascade = 0.001f;

class Shape {
public:
    explicit Shape(int size) : mSize(size), mRows(size, std::string(size, '#')) {}

    int Size() const { return mSize; }
    void Set(int column, int row, char c) {
        if (row >= 0 && row < mSize && column >= 0 && column < mSize) mRows[row][column] = c;
    }
    void Block(int column, int row, int width, int height, char c) {
        for (int r = row; r < row + height; ++r)
            for (int x = column; x < column + width; ++x) Set(x, r, c);
    }
    std::string Layout() const {
        std::string text;
        for (const std::string& row : mRows) text += "[" + row + "]";
        return text;
    }

private:
    int mSize;
    std::vector<std::string> mRows;
};

// Each kind returns false when it cannot apply to the shape's size; it has then carved nothing
// but may have drawn from the source.
bool ApplyCorners(Shape& shape, BoardRandom& random, std::string& code) {
    int n = shape.Size();
    if (n <= 5 || random.Range(2) == 1) {
        shape.Set(0, 0, ' ');
        shape.Set(n - 1, 0, ' ');
        shape.Set(0, n - 1, ' ');
        shape.Set(n - 1, n - 1, ' ');
        code += "CC1";
    } else {
        shape.Block(0, 0, 2, 2, ' ');
        shape.Block(n - 2, 0, 2, 2, ' ');
        shape.Block(0, n - 2, 2, 2, ' ');
        shape.Block(n - 2, n - 2, 2, 2, ' ');
        code += "CC2";
    }
    return true;
}

bool ApplyNotches(Shape& shape, BoardRandom& random, std::string& code) {
    int n = shape.Size();
    if (n <= 5) return false;
    int count = (n >= 7 && random.Range(2) != 0) ? 2 : 1;
    code += 'N';
    code += std::to_string(count);
    // Odd sizes of 7 and below have no centred notch that leaves both sides of it whole.
    int notch = (n % 2 == 0) ? 2 : (n > 7 ? 3 : 0);
    if (notch == 0) return false;
    bool used[4] = {};
    int start = n / 2 - 1;
    for (int i = 0; i < count; ++i) {
        int side = random.Range(4);
        switch (side) {
            case 0: shape.Block(start, 0, notch, notch, ' '); break;
            case 1: shape.Block(start, n - notch, notch, notch, ' '); break;
            case 2: shape.Block(0, start, notch, notch, ' '); break;
            default: shape.Block(n - notch, start, notch, notch, ' '); break;
        }
        used[side] = true;
    }
    for (int s = 0; s < 4; ++s)
        if (used[s]) {
            code += "ND";
            code += std::to_string(s);
        }
    code += 'S';
    code += std::to_string(notch);
    return true;
}

bool ApplyHole(Shape& shape, BoardRandom& random, std::string& code) {
    int n = shape.Size();
    if (n <= 5) return false;
    int h = 2;
    if (n >= 7 && random.Range(2) == 0) h = 3;
    if (n >= 8) ++h;
    int column, row;
    if (random.Range(2) == 0) {
        column = row = n / 2 - 1;
    } else {
        // Off centre the hole keeps clear of the left, right and bottom borders.
        column = 1 + random.Range(n - h - 1);
        row = random.Range(n - h - 1);
    }
    // Appended piece by piece (GCC 12 misreads a chain of string sums as an overlapping copy).
    code += 'H';
    code += std::to_string(column);
    code += '-';
    code += std::to_string(row);
    code += 'S';
    code += std::to_string(h);
    shape.Block(column, row, h, h, ' ');
    return true;
}

bool ApplyBar(Shape& shape, BoardRandom& random, std::string& code) {
    if (shape.Size() != 8) return false;
    bool horizontal = random.Range(2) != 0;
    code += horizontal ? "BRH" : "BRV";
    // Cells across the gap: (along, 3) and (along, 4) for a horizontal gap, turned for a vertical one.
    auto gap = [&](int along, char c) {
        for (int across = 3; across <= 4; ++across) {
            if (horizontal)
                shape.Set(along, across, c);
            else
                shape.Set(across, along, c);
        }
    };
    for (int along = 0; along < 8; ++along) gap(along, ' ');
    if (random.Range(2) != 0) {
        code += "B2";
        gap(1, '#');
        gap(6, '#');
    } else {
        int w = 3 + random.Range(2);
        code += "W" + std::to_string(w);
        gap(w, '#');
    }
    return true;
}

bool ApplyKind(int kind, Shape& shape, BoardRandom& random, std::string& code) {
    switch (kind) {
        case 0: return true;
        case 1: return ApplyCorners(shape, random, code);
        case 2: return ApplyNotches(shape, random, code);
        case 3: return ApplyHole(shape, random, code);
        case 4: return ApplyBar(shape, random, code);
        default: return false;
    }
}

// A value from [min, max + 0.001] in steps of a hundred-thousandth of the span.
float DrawDanger(BoardRandom& random, int minMilli, int maxMilli) {
    double span = (maxMilli - minMilli) * 1.0 + 1.0;
    double real = span * random.Range(100001) * 0.00001;
    return static_cast<float>((minMilli + real) * 0.001);
}

std::string FullLayout(int size) { return Shape(size).Layout(); }

}  // namespace

LevelRecipe GenerateLevel(int levelId) {
    LevelRecipe recipe;
    if (levelId == kDemoLevelId) {
        recipe.mCode = "T0-1";
        recipe.mLayout = FullLayout(4);
        recipe.mPixelSize = 250;
        recipe.mLargePieces = false;
        recipe.mDangerPerMove = 0.0f;
        recipe.mDangerPerGroup = 0.5f;
        recipe.mDangerPerCascade = kDangerPerCascade;
        recipe.mDullbonesPerFill = 0;
        recipe.mColors = 6;
        return recipe;
    }

    // Both truncate toward zero, so -5 is number -5 of world 0. The source keeps only the low 30
    // bits of its seed, which gives negative numbers seeds of their own.
    int world = levelId / 1000;
    int number = levelId % 1000;
    BoardRandom random(static_cast<uint32_t>(number));
    recipe.mDangerPerCascade = kDangerPerCascade;

    if (levelId == 0) {
        recipe.mCode = "T0-1";
        recipe.mLayout = FullLayout(5);
        recipe.mDangerPerMove = 0.1f;
        recipe.mDangerPerGroup = 0.5f;
        recipe.mDullbonesPerFill = 1;
        recipe.mColors = 6;
        return recipe;
    }
    if (world < 0 || world > 9) {
        recipe.mCode = "TDEF";
        recipe.mLayout = FullLayout(4);
        recipe.mDangerPerMove = 0.25f;
        recipe.mDangerPerGroup = 0.25f;
        recipe.mDullbonesPerFill = 1;
        recipe.mColors = 8;
        return recipe;
    }

    const WorldRow& row = kWorlds[world];
    int size = row.mMinSize + random.Range(row.mMaxSize - row.mMinSize + 1);
    std::string code = "TS" + std::to_string(size);
    bool applied = false;
    for (int tries = 0; tries < kMaxKindTries && !applied; ++tries) {
        Shape shape(size);
        code = "TS" + std::to_string(size);
        int kind = row.mKinds[random.Range(static_cast<int32_t>(row.mKinds.size()))];
        applied = ApplyKind(kind, shape, random, code);
        if (applied) recipe.mLayout = shape.Layout();
    }
    if (!applied) {
        code = "TS" + std::to_string(size);
        recipe.mLayout = FullLayout(size);
    }
    recipe.mCode = code;

    recipe.mDangerPerMove = DrawDanger(random, row.mMinMoveMilli, row.mMaxMoveMilli);
    recipe.mDangerPerGroup = DrawDanger(random, row.mMinGroupMilli, row.mMaxGroupMilli);
    // Drawn and thrown away: every level plays with the same cascade pressure, but the draw keeps
    // the dullbone and colour draws where they have always been.
    DrawDanger(random, row.mMinCascadeMilli, row.mMaxCascadeMilli);
    recipe.mDullbonesPerFill = row.mMinDullbones + random.Range(row.mMaxDullbones - row.mMinDullbones + 1);
    recipe.mColors = row.mMinColors + random.Range(row.mMaxColors - row.mMinColors + 1);
    return recipe;
}
