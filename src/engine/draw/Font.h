// Bitmap fonts: per-character sprites placed with an offset and followed by an advance. Three file
// forms: a compiled glyph table with page images, a binary ".font" carrying its own pixels, and a
// ".txt" statement list cutting glyphs from a layer image. Relies on DataBuffer and the file layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/Rect.h"

class DataBuffer;
class Image;
class Sprite;

class Font {
public:
    static constexpr int kGlyphCount = 256;
    // Limits past which a font file is refused rather than read: nothing real comes near them.
    static constexpr int kMaxPages = 256;
    static constexpr int kMaxGlyphSize = 2048;
    static constexpr float kMaxMetric = 65536.0f;
    // Glyphs of the text form share pages of this size.
    static constexpr int kPageSize = 256;

    struct Glyph {
        bool mDefined = false;
        float mAdvance = 0.0f;
        float mOffsetX = 0.0f;
        float mOffsetY = 0.0f;
        // The glyph's rectangle in its source (page, own image or layer image).
        Rect mRect;
        // Own pixels of the binary form (its width also widens TextSize); null otherwise.
        std::shared_ptr<Image> mSourceImage;
        // What DrawText draws; null for glyphs without pixels (the space, most often).
        std::shared_ptr<Sprite> mSprite;
        // Where the drawn pixels live: a page of mPages and a rectangle inside it; -1 for none.
        int mPage = -1;
        Rect mPageRect;
    };

    Font();
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Tries "%s\\font.description", then "%s.font", then "%s.txt". A missing or refused font is
    // empty (draws nothing, measures 0); true when glyphs were read.
    bool Load(std::string_view name);
    void Clear();

    // The three forms, from a buffer already read. False (and an empty font) when refused.
    // `folder` is where the page or layer images are looked up (game path, may be empty).
    bool ReadDescription(DataBuffer& buffer, std::string_view folder, bool loadImages = true);
    bool ReadBinary(DataBuffer& buffer);
    bool ReadText(DataBuffer& buffer, std::string_view folder, bool loadImages = true);
    // The cut-and-pack step of the text form, given the layer image (exposed for tests and fuzzing).
    void BuildTextGlyphs(const Image& layer);
    // Makes each glyph's sprite from its page; Load does this after reading.
    void MakeSprites();

    // "\n" starts a new line; bytes above 127 are never glyphs.
    void DrawText(std::string_view text, float x, float y) const;
    // Width of the widest line, rounded to the nearest integer.
    int TextWidth(std::string_view text) const;
    // Width as TextWidth (plus any overhang of the last glyph's image), height by lines.
    void TextSize(std::string_view text, int* width, int* height) const;
    // Breaks lines at spaces or hyphens (or inside an over-long word) to fit `maxWidth`.
    std::string WrapText(std::string_view text, float maxWidth) const;

    // The record for a byte; bytes above 127 give an undefined record.
    const Glyph& GetGlyph(unsigned char c) const;
    bool HasGlyph(int c) const { return c >= 0 && c < 128 && GetGlyph(static_cast<unsigned char>(c)).mDefined; }
    // The pen movement of a character inside a line (0 for undefined ones; spaces always count).
    float Advance(unsigned char c) const;
    // Why the last Load or Read refused its input; empty when it did not.
    const std::string& Problem() const { return mProblem; }

    float mSpaceWidth = 0.0f;
    float mLineHeight = 0.0f;
    Glyph mGlyphs[kGlyphCount];
    std::vector<std::shared_ptr<Image>> mPages;
    bool mLoaded = false;

private:
    bool Refuse(const std::string& why);

    // The text form between parsing and cutting: per list index, the values read.
    struct TextEntry {
        unsigned char mChar = 0;
        float mAdvance = 0.0f;
        float mOffsetX = 0.0f, mOffsetY = 0.0f;
        Rect mRect;
    };
    std::vector<TextEntry> mTextEntries;
    std::string mProblem;
};
