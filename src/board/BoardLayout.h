// Layout strings of the slide board: rows in brackets, one character per column. A character
// above the space is a cell; colour letters fix the piece, upper-case A to Y make it large.
#pragma once

#include <string>
#include <vector>

class BoardLayout {
public:
    // The layout table holds 100 by 100 characters with its border, so 98 of each at most.
    static constexpr int kMaxColumns = 98;
    static constexpr int kMaxRows = 98;

    // Splits the text into its bracketed rows. False, with a reason, when it has no row or does
    // not fit the table; text outside brackets and an unclosed last row are ignored.
    bool Parse(const std::string& text, std::string* error = nullptr);

    int Columns() const { return mColumns; }
    int Rows() const { return static_cast<int>(mRows.size()); }
    // Column and row from 1; 0 outside the layout.
    char At(int column, int row) const;
    bool IsCell(int column, int row) const { return IsCellChar(At(column, row)); }
    int CellCount() const;

    static bool IsCellChar(char c) { return static_cast<unsigned char>(c) > 32 && static_cast<unsigned char>(c) <= 127; }
    // Colour 0 to 7 for r y g i p b o w in either case; -1 for any other character.
    static int ColorOf(char c);
    // Upper-case A to Y: the piece covers two by two cells.
    static bool IsLargeChar(char c) { return c >= 'A' && c <= 'Y'; }

private:
    std::vector<std::string> mRows;
    int mColumns = 0;
};
