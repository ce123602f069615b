// Layout string parsing for the slide board.
#include "board/BoardLayout.h"

#include <cctype>

bool BoardLayout::Parse(const std::string& text, std::string* error) {
    mRows.clear();
    mColumns = 0;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find('[', i);
        if (open == std::string::npos) break;
        size_t close = text.find(']', open + 1);
        if (close == std::string::npos) break;
        std::string row = text.substr(open + 1, close - open - 1);
        if (static_cast<int>(row.size()) > kMaxColumns) {
            if (error) *error = "layout row " + std::to_string(mRows.size() + 1) + " has more than 98 characters";
            mRows.clear();
            return false;
        }
        if (static_cast<int>(mRows.size()) >= kMaxRows) {
            if (error) *error = "layout has more than 98 rows";
            mRows.clear();
            return false;
        }
        if (static_cast<int>(row.size()) > mColumns) mColumns = static_cast<int>(row.size());
        mRows.push_back(std::move(row));
        i = close + 1;
    }
    if (mRows.empty()) {
        if (error) *error = "layout has no bracketed row";
        return false;
    }
    return true;
}

char BoardLayout::At(int column, int row) const {
    if (row < 1 || row > Rows() || column < 1) return 0;
    const std::string& r = mRows[row - 1];
    if (column > static_cast<int>(r.size())) return 0;
    return r[column - 1];
}

int BoardLayout::CellCount() const {
    int n = 0;
    for (const std::string& r : mRows)
        for (char c : r)
            if (IsCellChar(c)) ++n;
    return n;
}

int BoardLayout::ColorOf(char c) {
    switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'r': return 0;
    case 'y': return 1;
    case 'g': return 2;
    case 'i': return 3;
    case 'p': return 4;
    case 'b': return 5;
    case 'o': return 6;
    case 'w': return 7;
    default: return -1;
    }
}
