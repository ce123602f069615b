// Bitmap fonts: the three file readers, measuring, wrapping and drawing.
// Index: [readers] [text form] [measuring] [wrapping] [drawing]
#include "engine/draw/Font.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "engine/draw/Image.h"
#include "engine/draw/Sprite.h"
#include "persistence/DataBuffer.h"
#include "platform/FileSystem.h"
#include "support/DebugLog.h"

namespace {

const Font::Glyph kUndefinedGlyph{};

bool Sane(float v) { return std::isfinite(v) && std::fabs(v) <= Font::kMaxMetric; }

// Float pixel sums to int without undefined conversions for huge or not-a-number values.
int ToInt(double v) {
    if (!(v == v)) return 0;
    if (v >= double(INT_MAX)) return INT_MAX;
    if (v <= double(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

std::string JoinPath(std::string_view folder, std::string_view file) {
    if (folder.empty()) return std::string(file);
    std::string path(folder);
    path += '\\';
    path += file;
    return path;
}

// The folder part of a game path (either separator), empty when there is none.
std::string FolderOf(std::string_view path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

}  // namespace

Font::Font() = default;
Font::~Font() = default;

void Font::Clear() {
    for (Glyph& g : mGlyphs) g = Glyph{};
    mPages.clear();
    mTextEntries.clear();
    mSpaceWidth = 0.0f;
    mLineHeight = 0.0f;
    mLoaded = false;
}

bool Font::Refuse(const std::string& why) {
    Clear();
    mProblem = why;
    DebugLog::Log("Font refused: %s", why.c_str());
    return false;
}

const Font::Glyph& Font::GetGlyph(unsigned char c) const {
    // Text is read as plain bytes; only 0..127 ever name glyphs, so nothing above can index out.
    if (c > 127) return kUndefinedGlyph;
    return mGlyphs[c];
}

float Font::Advance(unsigned char c) const {
    if (c == ' ') return mSpaceWidth;
    const Glyph& g = GetGlyph(c);
    return g.mDefined ? g.mAdvance : 0.0f;
}

// [readers] ===================================================================================

bool Font::Load(std::string_view name) {
    Clear();
    mProblem.clear();
    bool ok = false;
    DataBuffer buffer;
    std::string description = JoinPath(name, "font.description");
    if (Files::Exists(description) && buffer.Load(description)) {
        ok = ReadDescription(buffer, name);
        buffer.Clear();
    } else if (std::string binary = std::string(name) + ".font"; Files::Exists(binary) && buffer.Load(binary)) {
        ok = ReadBinary(buffer);
    } else {
        std::string text = std::string(name) + ".txt";
        buffer.Load(text);  // a missing file reads as nothing: an empty font
        ok = ReadText(buffer, FolderOf(text));
    }
    if (ok) MakeSprites();
    mLoaded = true;
    return ok;
}

bool Font::ReadDescription(DataBuffer& buffer, std::string_view folder, bool loadImages) {
    Clear();
    mProblem.clear();
    int32_t pages = buffer.ReadInt();
    int32_t count = buffer.ReadInt();
    constexpr int kRecordSize = 33;
    if (pages < 0 || pages > kMaxPages) return Refuse("page count " + std::to_string(pages));
    if (count < 0 || int64_t(count) * kRecordSize > buffer.Remaining())
        return Refuse("glyph count " + std::to_string(count) + " for " + std::to_string(buffer.Remaining()) +
                      " bytes of records");
    bool seen[kGlyphCount] = {};
    for (int32_t i = 0; i < count; ++i) {
        unsigned char c = buffer.ReadByte();
        int32_t page = buffer.ReadInt();
        int32_t x = buffer.ReadInt();
        int32_t y = buffer.ReadInt();
        float width = buffer.ReadFloat();
        float height = buffer.ReadFloat();
        int32_t advance = buffer.ReadInt();
        int32_t offsetX = buffer.ReadInt();
        int32_t offsetY = buffer.ReadInt();
        if (!(width >= 0.0f && width <= kMaxGlyphSize && height >= 0.0f && height <= kMaxGlyphSize))
            return Refuse("glyph size " + std::to_string(width) + " x " + std::to_string(height));
        if (std::abs(int64_t(advance)) > int64_t(kMaxMetric) || std::abs(int64_t(offsetX)) > int64_t(kMaxMetric) ||
            std::abs(int64_t(offsetY)) > int64_t(kMaxMetric) || std::abs(int64_t(x)) > int64_t(kMaxMetric) ||
            std::abs(int64_t(y)) > int64_t(kMaxMetric))
            return Refuse("glyph metrics out of range");
        // The first record for a character wins.
        if (seen[c]) continue;
        seen[c] = true;
        Glyph& g = mGlyphs[c];
        g.mDefined = true;
        if (c == ' ') {
            mSpaceWidth = float(advance);
            continue;
        }
        g.mAdvance = float(advance);
        g.mOffsetX = float(offsetX);
        g.mOffsetY = float(offsetY);
        g.mRect = Rect{float(x), float(y), width, height};
        // The drawn part reaches one pixel past the recorded size.
        g.mPage = (page >= 0 && page < pages) ? page : -1;
        g.mPageRect = Rect{float(x), float(y), float(int(width) + 1), float(int(height) + 1)};
        mLineHeight = std::max(mLineHeight, height);
    }
    mPages.assign(size_t(pages), nullptr);
    if (loadImages) {
        for (int32_t p = 0; p < pages; ++p) {
            auto image = std::make_shared<Image>();
            // A missing page is reported by the image rules; its glyphs draw nothing.
            if (image->Load(JoinPath(folder, "data" + std::to_string(p)))) mPages[size_t(p)] = image;
        }
    }
    return true;
}

bool Font::ReadBinary(DataBuffer& buffer) {
    Clear();
    mProblem.clear();
    float space = buffer.ReadFloat();
    float lineHeight = buffer.ReadFloat();
    if (!Sane(space) || !Sane(lineHeight)) return Refuse("space width or line height out of range");
    mSpaceWidth = space;
    mLineHeight = lineHeight;
    for (int c = 0; c < kGlyphCount; ++c) {
        // Every character value has its record; a file that stops early is cut short.
        if (buffer.AtEnd()) return Refuse("file ends before the record of character " + std::to_string(c));
        if (!buffer.ReadBool()) continue;
        Glyph& g = mGlyphs[c];
        float values[7];
        for (float& v : values) v = buffer.ReadFloat();
        for (float v : values)
            if (!Sane(v)) return Refuse("glyph " + std::to_string(c) + " metrics out of range");
        g.mDefined = true;
        g.mAdvance = values[0];
        g.mOffsetX = values[1];
        g.mOffsetY = values[2];
        g.mRect = Rect{values[3], values[4], values[5], values[6]};
        if (!buffer.ReadBool()) continue;
        int32_t width = buffer.ReadInt();
        int32_t height = buffer.ReadInt();
        if (width < 0 || height < 0 || width > kMaxGlyphSize || height > kMaxGlyphSize ||
            int64_t(width) * height * 4 > buffer.Remaining())
            return Refuse("glyph " + std::to_string(c) + " image " + std::to_string(width) + " x " +
                          std::to_string(height) + " for " + std::to_string(buffer.Remaining()) + " bytes");
        auto image = std::make_shared<Image>();
        image->mWidth = width;
        image->mHeight = height;
        image->mPixels.resize(size_t(width) * size_t(height));
        buffer.ReadBytes(image->mPixels.data(), width * height * 4);
        g.mSourceImage = image;
        g.mPage = static_cast<int>(mPages.size());
        g.mPageRect = Rect{0.0f, 0.0f, float(width), float(height)};
        mPages.push_back(image);
    }
    if (buffer.Error()) return Refuse("file ends inside a glyph record");
    return true;
}

// [text form] =================================================================================

namespace {

// Characters written as items enclosed in a pair of equal quotes: 'a',"'",' '.
std::vector<unsigned char> QuotedChars(std::string_view text) {
    std::vector<unsigned char> chars;
    for (size_t i = 0; i < text.size(); ++i) {
        char q = text[i];
        if ((q == '\'' || q == '"') && i + 2 < text.size() && text[i + 2] == q) {
            chars.push_back(static_cast<unsigned char>(text[i + 1]));
            i += 2;
        }
    }
    return chars;
}

// A decimal number as the C library reads it; anything else reads as 0.
float NumberOf(std::string_view token) {
    std::string s(token);
    double v = std::strtod(s.c_str(), nullptr);
    return static_cast<float>(v);
}

// Comma-separated numbers, parentheses ignored; empty items are not entries.
std::vector<float> NumberList(std::string_view text) {
    std::vector<float> values;
    std::string item;
    auto flush = [&] {
        size_t a = item.find_first_not_of(' ');
        if (a != std::string::npos) values.push_back(NumberOf(std::string_view(item).substr(a)));
        item.clear();
    };
    for (char c : text) {
        if (c == '(' || c == ')') continue;
        if (c == ',') flush();
        else item.push_back(c);
    }
    flush();
    return values;
}

// Innermost parenthesised groups, each a list of numbers: (x,y,w,h),(x,y,w,h)...
std::vector<std::vector<float>> GroupList(std::string_view text) {
    std::vector<std::vector<float>> groups;
    size_t open = std::string_view::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') open = i;
        else if (text[i] == ')' && open != std::string_view::npos) {
            groups.push_back(NumberList(text.substr(open + 1, i - open - 1)));
            open = std::string_view::npos;
        }
    }
    return groups;
}

// The leading word of `text` (letters only) and the rest after it.
std::string_view Word(std::string_view text, std::string_view* rest) {
    size_t a = text.find_first_not_of(' ');
    if (a == std::string_view::npos) a = text.size();
    size_t b = a;
    while (b < text.size() && std::isalpha(static_cast<unsigned char>(text[b]))) ++b;
    *rest = text.substr(b);
    return text.substr(a, b - a);
}

float At(const std::vector<float>& v, size_t i) { return i < v.size() ? v[i] : 0.0f; }

// Where the image rules look for a picture named in a statement: the extension goes.
std::string StripExtension(std::string name) {
    size_t dot = name.find_last_of('.');
    size_t sep = name.find_last_of("\\/");
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) {
        std::string ext = name.substr(dot + 1);
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == "png" || ext == "gif" || ext == "jpg" || ext == "jpeg" || ext == "cached") name.resize(dot);
    }
    return name;
}

}  // namespace

bool Font::ReadText(DataBuffer& buffer, std::string_view folder, bool loadImages) {
    Clear();
    mProblem.clear();
    std::vector<unsigned char> chars;
    std::vector<float> widths;
    std::vector<std::vector<float>> rects, offsets;
    std::string layerName;
    while (std::optional<std::string> statement = buffer.ReadStatement()) {
        std::string_view rest;
        std::string_view command = Word(*statement, &rest);
        if (command == "Define") {
            std::string_view list = Word(rest, &rest);
            if (list == "CharList") chars = QuotedChars(rest);
            else if (list == "WidthList") widths = NumberList(rest);
            else if (list == "RectList") rects = GroupList(rest);
            else if (list == "OffsetList") offsets = GroupList(rest);
        } else if (command == "LayerSetImage") {
            size_t a = rest.find('\'');
            size_t b = a == std::string_view::npos ? a : rest.find('\'', a + 1);
            if (b != std::string_view::npos) layerName = std::string(rest.substr(a + 1, b - a - 1));
        } else if (command == "LayerSetCharWidths") {
            size_t open = rest.find('(');
            if (open == std::string_view::npos) continue;
            // The list ends at the first ")" outside quotes.
            size_t close = std::string_view::npos;
            char quote = 0;
            for (size_t i = open + 1; i < rest.size(); ++i) {
                char c = rest[i];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '\'' || c == '"') {
                    quote = c;
                } else if (c == ')') {
                    close = i;
                    break;
                }
            }
            if (close == std::string_view::npos) continue;
            std::string_view inside = rest.substr(open + 1, close - open - 1);
            std::vector<unsigned char> listed = QuotedChars(inside);
            unsigned char c;
            if (!listed.empty()) c = listed.front();
            else if (size_t f = inside.find_first_not_of(' '); f != std::string_view::npos)
                c = static_cast<unsigned char>(inside[f]);
            else continue;
            float width = float(std::strtol(std::string(rest.substr(close + 1)).c_str(), nullptr, 10));
            if (!Sane(width)) continue;
            if (c > 127) continue;
            mGlyphs[c].mDefined = true;
            mGlyphs[c].mAdvance = width;
            if (c == ' ') mSpaceWidth = width;
        }
    }

    // Entries beyond the character list name no character; a missing value reads as 0.
    mTextEntries.clear();
    for (size_t i = 0; i < chars.size(); ++i) {
        TextEntry e;
        e.mChar = chars[i];
        e.mAdvance = At(widths, i);
        if (i < offsets.size()) {
            e.mOffsetX = At(offsets[i], 0);
            e.mOffsetY = At(offsets[i], 1);
        }
        if (i < rects.size()) e.mRect = Rect{At(rects[i], 0), At(rects[i], 1), At(rects[i], 2), At(rects[i], 3)};
        if (!Sane(e.mAdvance) || !Sane(e.mOffsetX) || !Sane(e.mOffsetY) || !Sane(e.mRect.x) || !Sane(e.mRect.y) ||
            !Sane(e.mRect.w) || !Sane(e.mRect.h))
            return Refuse("glyph values out of range at list entry " + std::to_string(i));
        mTextEntries.push_back(e);
    }

    Image layer;
    if (loadImages && !layerName.empty()) layer.Load(JoinPath(folder, StripExtension(layerName)));
    BuildTextGlyphs(layer);
    return true;
}

void Font::BuildTextGlyphs(const Image& layer) {
    mPages.clear();
    // Later list entries for the same character replace earlier ones.
    int entryOf[kGlyphCount];
    std::fill(std::begin(entryOf), std::end(entryOf), -1);
    for (size_t i = 0; i < mTextEntries.size(); ++i) {
        const TextEntry& e = mTextEntries[i];
        if (e.mChar > 127) continue;
        Glyph& g = mGlyphs[e.mChar];
        g.mDefined = true;
        g.mAdvance = e.mAdvance;
        g.mOffsetX = e.mOffsetX;
        g.mOffsetY = e.mOffsetY;
        g.mRect = e.mRect;
        if (e.mChar == ' ') mSpaceWidth = e.mAdvance;
        mLineHeight = std::max(mLineHeight, e.mRect.h);
        entryOf[e.mChar] = static_cast<int>(i);
    }

    // Cut each glyph with a one-pixel clear border and pack the cuts into shared pages, shelf by
    // shelf, in character order. A glyph is cut to what fits a page, which also bounds the memory
    // a hostile description can ask for.
    if (layer.mWidth <= 0 || layer.mHeight <= 0 ||
        layer.mPixels.size() < size_t(layer.mWidth) * size_t(layer.mHeight))
        return;
    std::shared_ptr<Image> page;
    int penX = 0, penY = 0, shelf = 0;
    for (int c = 0; c < kGlyphCount; ++c) {
        if (entryOf[c] < 0) continue;
        Glyph& g = mGlyphs[c];
        const Rect& r = g.mRect;
        // The part of the rectangle inside the layer; nothing to draw when it misses the layer.
        int x0 = std::clamp(ToInt(std::floor(r.x)), 0, layer.mWidth);
        int y0 = std::clamp(ToInt(std::floor(r.y)), 0, layer.mHeight);
        int x1 = std::clamp(ToInt(std::floor(double(r.x) + r.w)), 0, layer.mWidth);
        int y1 = std::clamp(ToInt(std::floor(double(r.y) + r.h)), 0, layer.mHeight);
        int w = std::min(x1 - x0, kPageSize - 2), h = std::min(y1 - y0, kPageSize - 2);
        if (w <= 0 || h <= 0) continue;
        int cutW = w + 2, cutH = h + 2;
        if (page && penX + cutW > kPageSize) {
            penX = 0;
            penY += shelf;
            shelf = 0;
        }
        if (!page || penY + cutH > kPageSize) {
            page = std::make_shared<Image>();
            page->Create(kPageSize, kPageSize);
            mPages.push_back(page);
            penX = penY = shelf = 0;
        }
        const std::shared_ptr<Image>& target = page;
        int tx = penX, ty = penY;
        penX += cutW;
        shelf = std::max(shelf, cutH);
        for (int row = 0; row < h; ++row) {
            const uint32_t* src = layer.mPixels.data() + size_t(y0 + row) * layer.mWidth + x0;
            uint32_t* dst = target->mPixels.data() + size_t(ty + 1 + row) * target->mWidth + tx + 1;
            std::memcpy(dst, src, size_t(w) * 4);
        }
        g.mPage = static_cast<int>(mPages.size()) - 1;
        g.mPageRect = Rect{float(tx), float(ty), float(cutW), float(cutH)};
        // The border moves the cut one pixel up and left; the offset keeps the ink in place,
        // including any part of the rectangle that lay outside the layer.
        g.mOffsetX += float(x0) - r.x - 1.0f;
        g.mOffsetY += float(y0) - r.y - 1.0f;
    }
}

void Font::MakeSprites() {
    for (Glyph& g : mGlyphs) {
        g.mSprite.reset();
        if (!g.mDefined || g.mPage < 0 || size_t(g.mPage) >= mPages.size() || !mPages[size_t(g.mPage)]) continue;
        const Image& page = *mPages[size_t(g.mPage)];
        auto sprite = std::make_shared<Sprite>();
        sprite->CopyFrom(page, ToInt(g.mPageRect.x), ToInt(g.mPageRect.y), ToInt(g.mPageRect.w), ToInt(g.mPageRect.h));
        if (!sprite->Empty()) g.mSprite = std::move(sprite);
    }
}

// [measuring] =================================================================================

int Font::TextWidth(std::string_view text) const {
    if (!mLoaded) return 0;
    double widest = 0.0, line = 0.0;
    for (unsigned char c : text) {
        if (c == '\n') {
            widest = std::max(widest, line);
            // A defined line-break record moves the next line on by its advance.
            line = GetGlyph(c).mDefined ? GetGlyph(c).mAdvance : 0.0;
            continue;
        }
        line += Advance(c);
    }
    widest = std::max(widest, line);
    return ToInt(widest + 0.5);
}

void Font::TextSize(std::string_view text, int* width, int* height) const {
    int w = 0, h = 0;
    if (mLoaded) {
        double lines = 1.0;
        for (char c : text)
            if (c == '\n') lines += 1.0;
        double widest = 0.0, line = 0.0;
        for (unsigned char c : text) {
            if (c == '\n') {
                widest = std::max(widest, line);
                line = GetGlyph(c).mDefined ? GetGlyph(c).mAdvance : 0.0;
                continue;
            }
            line += Advance(c);
            widest = std::max(widest, line);
        }
        if (!text.empty()) {
            const Glyph& last = GetGlyph(static_cast<unsigned char>(text.back()));
            if (last.mDefined && last.mSourceImage && last.mSourceImage->mWidth > last.mAdvance)
                widest += last.mSourceImage->mWidth - last.mAdvance;
        }
        w = ToInt(widest + 0.5);
        h = ToInt(lines * mLineHeight + 0.5);
    }
    if (width) *width = w;
    if (height) *height = h;
}

// [wrapping] ==================================================================================

std::string Font::WrapText(std::string_view text, float maxWidth) const {
    std::string out(text);
    if (!mLoaded) return out;
    size_t lineStart = 0;
    double line = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c == '\n') {
            line = 0.0;
            lineStart = i + 1;
            continue;
        }
        double advance = Advance(c);
        // A first character wider than the line still has to go somewhere: it stays.
        if (line + advance <= maxWidth || i == lineStart) {
            line += advance;
            continue;
        }
        size_t found = std::string::npos;
        for (size_t j = i + 1; j-- > lineStart;) {
            if (out[j] == ' ' || out[j] == '-') {
                found = j;
                break;
            }
        }
        size_t brk;
        if (found != std::string::npos && out[found] == ' ') {
            out[found] = '\n';
            brk = found;
        } else if (found != std::string::npos) {
            // A hyphen stays at the end of its line.
            out.insert(found + 1, 1, '\n');
            brk = found + 1;
        } else {
            // Inside an over-long word the break goes before the character that does not fit.
            out.insert(i, 1, '\n');
            brk = i;
        }
        while (brk + 1 < out.size() && out[brk + 1] == ' ') out.erase(brk + 1, 1);
        lineStart = brk + 1;
        line = 0.0;
        i = brk;  // walk the new line again from its start
    }
    return out;
}

// [drawing] ===================================================================================

void Font::DrawText(std::string_view text, float x, float y) const {
    if (!mLoaded) return;
    float penX = x, penY = y;
    for (unsigned char c : text) {
        if (c == '\n') {
            penX = x;
            penY += mLineHeight;
            continue;
        }
        const Glyph& g = GetGlyph(c);
        if (!g.mDefined) continue;
        if (c == ' ') {
            penX += mSpaceWidth;
            continue;
        }
        if (g.mSprite) g.mSprite->Draw(penX + g.mOffsetX, penY + g.mOffsetY);
        penX += g.mAdvance;
    }
}
