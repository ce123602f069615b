// Pixel formats, blend arithmetic and row helpers shared by the software rasterizer's source files
// (SoftwareRasterizer.cpp: spans and triangles; RasterBlit.cpp: untransformed blits and fills).
// Every blend is exact to the nearest step of 1/255.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/draw/SoftwareRasterizer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define QS_RASTER_SSE2 1
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QS_RASTER_AVX2 1
#define QS_RASTER_SSE41 1
#include <immintrin.h>
#endif

namespace raster_pixels {

struct Format8888 {
    using Pixel = uint32_t;
    static uint32_t Load(uint32_t p) { return p | 0xFF000000u; }
    static uint32_t Store(uint32_t c) { return c | 0xFF000000u; }
};

// 16-bit channels are widened by repeating their top bits, and narrowed by dropping low bits.
struct Format565 {
    using Pixel = uint16_t;
    static uint32_t Load(uint16_t p) {
        uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
        return 0xFF000000u | ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
    }
    static uint16_t Store(uint32_t c) { return uint16_t(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x1F)); }
};

struct Format555 {
    using Pixel = uint16_t;
    static uint32_t Load(uint16_t p) {
        uint32_t r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
        return 0xFF000000u | ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
    }
    static uint16_t Store(uint32_t c) { return uint16_t(((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) | ((c >> 3) & 0x1F)); }
};

enum BlendMode { kCopy, kOver, kAdd };

inline uint32_t Div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// Premultiplied source over destination, two channels per multiply.
inline uint32_t Over(uint32_t s, uint32_t d) {
    uint32_t ia = 255 - (s >> 24);
    uint32_t rb = (d & 0xFF00FFu) * ia + 0x800080u;
    rb = ((rb + ((rb >> 8) & 0xFF00FFu)) >> 8) & 0xFF00FFu;
    uint32_t ag = ((d >> 8) & 0xFF00FFu) * ia + 0x800080u;
    ag = (ag + ((ag >> 8) & 0xFF00FFu)) & 0xFF00FF00u;
    return s + rb + ag;
}

// Per-byte saturating sum.
inline uint32_t AddSaturate(uint32_t s, uint32_t d) {
    uint32_t rb = (d & 0xFF00FFu) + (s & 0xFF00FFu);
    rb = (rb | (0x01000100u - ((rb >> 8) & 0x00010001u))) & 0xFF00FFu;
    uint32_t ag = ((d >> 8) & 0xFF00FFu) + ((s >> 8) & 0xFF00FFu);
    ag = (ag | (0x01000100u - ((ag >> 8) & 0x00010001u))) & 0xFF00FFu;
    return rb | (ag << 8);
}

// Each channel of a premultiplied texel times the matching channel of a premultiplied tint.
inline uint32_t Modulate(uint32_t t, uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return Div255((t >> 24) * a) << 24 | Div255(((t >> 16) & 0xFF) * r) << 16 | Div255(((t >> 8) & 0xFF) * g) << 8 |
           Div255((t & 0xFF) * b);
}

#if QS_RASTER_SSE2
inline __m128i Div255x8(__m128i x) {
    // ((x + 128) * 257) >> 16 equals the rounded x / 255 for every product of two bytes.
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

inline __m128i AlphaOf(__m128i x) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF); }
#endif

#if QS_RASTER_AVX2
__attribute__((target("avx2"), always_inline)) inline __m256i Div255x16(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

#endif

// The widest loops in use (a SoftwareRasterizer::VectorLoops value), set once on first use.
int VectorLevel();

#if QS_RASTER_AVX2
inline bool UseAvx2() { return VectorLevel() >= 2; }
#endif
#if QS_RASTER_SSE41
inline bool UseSse41() { return VectorLevel() >= 1; }
#endif

struct ClipBox {
    int x0, y0, x1, y1;
};

inline ClipBox ClipOf(const RasterTarget& t) {
    ClipBox c{std::max(0, t.clipX0), std::max(0, t.clipY0), std::min(t.width, t.clipX1), std::min(t.height, t.clipY1)};
    return c;
}

template <class F>
typename F::Pixel* RowAt(const RasterTarget& t, int x, int y) {
    return reinterpret_cast<typename F::Pixel*>(static_cast<uint8_t*>(t.pixels) + std::ptrdiff_t(y) * t.pitch) + x;
}

// 16-bit targets are blended by widening a stretch of a row to 32 bits, running the 32-bit loops
// on it and narrowing it back. Widening repeats each channel's top bits and narrowing drops them
// again, so untouched pixels come back unchanged (but for the unused top bit of 5-5-5, written as
// 0 like every other write) and touched ones as the per-pixel loops write them.
constexpr int kScanlineChunk = 256;

#if QS_RASTER_AVX2
template <bool Is565>
__attribute__((target("avx2"))) int WidenAvx2(const uint16_t* s, uint32_t* d, int n) {
    const __m256i m5 = _mm256_set1_epi32(31), m6 = _mm256_set1_epi32(63);
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i v = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
        __m256i r = _mm256_and_si256(_mm256_srli_epi32(v, Is565 ? 11 : 10), m5);
        __m256i g = _mm256_and_si256(_mm256_srli_epi32(v, 5), Is565 ? m6 : m5);
        __m256i b = _mm256_and_si256(v, m5);
        r = _mm256_or_si256(_mm256_slli_epi32(r, 3), _mm256_srli_epi32(r, 2));
        g = Is565 ? _mm256_or_si256(_mm256_slli_epi32(g, 2), _mm256_srli_epi32(g, 4))
                  : _mm256_or_si256(_mm256_slli_epi32(g, 3), _mm256_srli_epi32(g, 2));
        b = _mm256_or_si256(_mm256_slli_epi32(b, 3), _mm256_srli_epi32(b, 2));
        __m256i out = _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi32(r, 16), _mm256_slli_epi32(g, 8)),
                                      _mm256_or_si256(b, alpha));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), out);
    }
    return i;
}

template <bool Is565>
__attribute__((target("avx2"))) int NarrowAvx2(const uint32_t* s, uint16_t* d, int n) {
    const __m256i rMask = _mm256_set1_epi32(Is565 ? 0xF800 : 0x7C00), gMask = _mm256_set1_epi32(Is565 ? 0x07E0 : 0x03E0);
    const __m256i bMask = _mm256_set1_epi32(0x1F);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        __m256i r = _mm256_and_si256(_mm256_srli_epi32(c, Is565 ? 8 : 9), rMask);
        __m256i g = _mm256_and_si256(_mm256_srli_epi32(c, Is565 ? 5 : 6), gMask);
        __m256i b = _mm256_and_si256(_mm256_srli_epi32(c, 3), bMask);
        __m256i v = _mm256_or_si256(_mm256_or_si256(r, g), b);
        v = _mm256_permute4x64_epi64(_mm256_packus_epi32(v, v), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm256_castsi256_si128(v));
    }
    return i;
}
#endif

template <class F>
void Widen(const typename F::Pixel* s, uint32_t* d, int n) {
    int i = 0;
#if QS_RASTER_AVX2
    if constexpr (sizeof(typename F::Pixel) == 2) {
        if (UseAvx2()) i = WidenAvx2<std::is_same_v<F, Format565>>(s, d, n);
    }
#endif
    for (; i < n; ++i) d[i] = F::Load(s[i]);
}

template <class F>
void Narrow(const uint32_t* s, typename F::Pixel* d, int n) {
    int i = 0;
#if QS_RASTER_AVX2
    if constexpr (sizeof(typename F::Pixel) == 2) {
        if (UseAvx2()) i = NarrowAvx2<std::is_same_v<F, Format565>>(s, d, n);
    }
#endif
    for (; i < n; ++i) d[i] = typename F::Pixel(F::Store(s[i]));
}

}  // namespace raster_pixels
