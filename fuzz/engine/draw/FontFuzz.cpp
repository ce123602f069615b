// One harness per font form (chosen at build time): read the bytes, then measure, wrap and cut,
// so a hostile file is followed through everything a loaded font does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/draw/Font.h"
#include "engine/draw/Image.h"
#include "persistence/DataBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DataBuffer buffer;
    buffer.SetData(data, size);
    Font font;
#if defined(QS_FONT_FORM_DESCRIPTION)
    font.ReadDescription(buffer, "", false);
#elif defined(QS_FONT_FORM_BINARY)
    font.ReadBinary(buffer);
#else
    font.ReadText(buffer, "", false);
    // Larger than a page, so oversized glyphs are cut down.
    static Image layer;
    if (layer.Empty()) layer.Create(270, 270, 0xFF808080u);
    font.BuildTextGlyphs(layer);
#endif
    font.mLoaded = true;
    // Text with every byte value, line breaks and spaces.
    std::string text = "Quick brown-fox jumps\nover the lazy dog ";
    for (int c = 0; c < 256; ++c) text.push_back(static_cast<char>(c));
    int w = 0, h = 0;
    font.TextSize(text, &w, &h);
    (void)font.TextWidth(text);
    (void)font.WrapText(text, 40.0f);
    (void)font.WrapText(text, 0.0f);
    font.DrawText(text, 10.0f, 10.0f);
    return 0;
}
