// The software rasterizer family. Index:
//   [SECTION] spans and triangles (template routines, one instance per format and feature set;
//             filtered spans eight pixels at a time with AVX2 where the processor has it)
//   [SECTION] the dispatcher
//   [SECTION] pixel access and sprite runs
// Pixel formats and blend arithmetic are in RasterPixels.h; untransformed sprite blits and
// rectangle fills in RasterBlit.cpp.
#include "engine/draw/SoftwareRasterizer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "engine/draw/RasterPixels.h"

using namespace raster_pixels;

namespace {

// [SECTION] spans and triangles ----------------------------------------------------------------

// Values at the first pixel of a span and their steps per pixel, 16.16 fixed point. Colours are
// premultiplied, 0..255 in the integer part.
struct SpanState {
    int u, v, du, dv;
    int a, r, g, b, da, dr, dg, db;
};

inline int ClampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

inline uint32_t SampleNearest(const RasterTexture& t, int u, int v) {
    int x = ClampInt(u >> 16, 0, t.width - 1);
    int y = ClampInt(v >> 16, 0, t.height - 1);
    return t.pixels[std::ptrdiff_t(y) * t.width + x];
}

inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f) {
    uint32_t rb = ((a & 0xFF00FFu) * (256 - f) + (b & 0xFF00FFu) * f) >> 8;
    uint32_t ag = ((a >> 8) & 0xFF00FFu) * (256 - f) + ((b >> 8) & 0xFF00FFu) * f;
    return (rb & 0xFF00FFu) | (ag & 0xFF00FF00u);
}

// Texel centres sit at half-texel positions; edges clamp, as the accelerated path does.
inline uint32_t SampleBilinear(const RasterTexture& t, int u, int v) {
    int uu = int(uint32_t(u) - 0x8000u), vv = int(uint32_t(v) - 0x8000u);
    int x0 = uu >> 16, y0 = vv >> 16;
    uint32_t fx = (uint32_t(uu) >> 8) & 0xFF, fy = (uint32_t(vv) >> 8) & 0xFF;
    int x1 = ClampInt(x0 + 1, 0, t.width - 1), y1 = ClampInt(y0 + 1, 0, t.height - 1);
    x0 = ClampInt(x0, 0, t.width - 1);
    y0 = ClampInt(y0, 0, t.height - 1);
    const uint32_t* r0 = t.pixels + std::ptrdiff_t(y0) * t.width;
    const uint32_t* r1 = t.pixels + std::ptrdiff_t(y1) * t.width;
    return Lerp(Lerp(r0[x0], r0[x1], fx), Lerp(r1[x0], r1[x1], fx), fy);
}

template <class F, bool Tex, bool Tint, int Mode, bool Filter>
void Span(typename F::Pixel* p, int n, SpanState s, const RasterTexture* tex) {
    for (; n > 0; --n, ++p) {
        uint32_t src;
        if constexpr (Tex) {
            src = Filter ? SampleBilinear(*tex, s.u, s.v) : SampleNearest(*tex, s.u, s.v);
            // Positions wrap rather than overflow on hostile vertices; sampling clamps them.
            s.u = int(uint32_t(s.u) + uint32_t(s.du));
            s.v = int(uint32_t(s.v) + uint32_t(s.dv));
            if constexpr (Tint) {
                src = Modulate(src, uint32_t(s.a) >> 16, uint32_t(s.r) >> 16, uint32_t(s.g) >> 16, uint32_t(s.b) >> 16);
                s.a += s.da, s.r += s.dr, s.g += s.dg, s.b += s.db;
            }
        } else {
            src = (uint32_t(s.a) >> 16) << 24 | (uint32_t(s.r) >> 16) << 16 | (uint32_t(s.g) >> 16) << 8 |
                  (uint32_t(s.b) >> 16);
            s.a += s.da, s.r += s.dr, s.g += s.dg, s.b += s.db;
        }
        if constexpr (Mode == kCopy) {
            *p = F::Store(src);
        } else {
            if ((src >> 24) == 0) continue;
            uint32_t d = F::Load(*p);
            *p = F::Store(Mode == kOver ? Over(src, d) : AddSaturate(src, d));
        }
    }
}

#if QS_RASTER_SSE2
// Bilinear sampling into a 32-bit target with a constant tint, one pixel per pass but all four
// channels and both texels of a row in one register. Weights have 7 bits, enough for 8-bit output.
template <bool Tinted, int Mode>
void SpanBilinear8888(uint32_t* p, int n, SpanState s, const RasterTexture& t) {
    const int w = t.width, h = t.height;
    const __m128i zero = _mm_setzero_si128();
    const __m128i c255 = _mm_set1_epi16(255);
    const __m128i tint = _mm_set_epi16(0, 0, 0, 0, short(uint32_t(s.a) >> 16), short(uint32_t(s.r) >> 16),
                                       short(uint32_t(s.g) >> 16), short(uint32_t(s.b) >> 16));
    for (; n > 0; --n, ++p, s.u = int(uint32_t(s.u) + uint32_t(s.du)), s.v = int(uint32_t(s.v) + uint32_t(s.dv))) {
        int uu = int(uint32_t(s.u) - 0x8000u), vv = int(uint32_t(s.v) - 0x8000u);
        int x0 = uu >> 16, y0 = vv >> 16;
        int fx = (uu >> 9) & 0x7F, fy = (vv >> 9) & 0x7F;
        // Outside the texel centres the edge texel is used, as with clamped sampling.
        if (x0 < 0) x0 = 0, fx = 0;
        else if (x0 >= w - 1) x0 = w - 2, fx = 128;
        if (y0 < 0) y0 = 0, fy = 0;
        else if (y0 >= h - 1) y0 = h - 2, fy = 128;
        const uint32_t* r0 = t.pixels + std::ptrdiff_t(y0) * w + x0;
        const uint32_t* r1 = r0 + w;
        if (((r0[0] | r0[1] | r1[0] | r1[1]) >> 24) == 0) continue;
        __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r0)), zero);
        __m128i b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r1)), zero);
        __m128i v = _mm_add_epi16(_mm_mullo_epi16(a, _mm_set1_epi16(short(128 - fy))),
                                  _mm_mullo_epi16(b, _mm_set1_epi16(short(fy))));
        v = _mm_srli_epi16(v, 7);
        v = _mm_mullo_epi16(v, _mm_set_epi16(short(fx), short(fx), short(fx), short(fx), short(128 - fx),
                                             short(128 - fx), short(128 - fx), short(128 - fx)));
        v = _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_si128(v, 8)), 7);
        if constexpr (Tinted) v = Div255x8(_mm_mullo_epi16(v, tint));
        __m128i d = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(*p)), zero);
        __m128i out;
        if constexpr (Mode == kAdd) {
            out = _mm_adds_epu16(v, d);
            out = _mm_min_epi16(out, c255);
        } else {
            __m128i alpha = _mm_shufflelo_epi16(v, 0xFF);
            out = _mm_add_epi16(v, Div255x8(_mm_mullo_epi16(d, _mm_sub_epi16(c255, alpha))));
        }
        *p = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out))) | 0xFF000000u;
    }
}
#endif

#if QS_RASTER_AVX2
// Four pixels per pass. Taps are computed in vectors and clamped there, so the texture's edges
// cost nothing extra: a tap left of the first texel centre gets weight 0 on the first pair, one
// right of the last centre weight 32767/32768 on the last pair, which rounds to that texel.
// Interpolation is a + (b - a) * f with 15-bit weights (rounded multiply-high).
// Two vectors of eight 32-bit texels, each a texel and its right neighbour per pair of slots, split
// into the left and right texels of pixels 0..7 in order.
__attribute__((target("avx2"), always_inline)) inline void SplitPairs(__m256i a, __m256i b, __m256i& left,
                                                                      __m256i& right) {
    left = _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), 0x88));
    right = _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), 0xDD));
}

// a + (b - a) * w for 16-bit channels, w in 1/32768 steps.
__attribute__((target("avx2"), always_inline)) inline __m256i Mix(__m256i a, __m256i b, __m256i w) {
    return _mm256_add_epi16(a, _mm256_mulhrs_epi16(_mm256_sub_epi16(b, a), w));
}

// Eight filtered source pixels as 16-bit channels (pixels 0, 1 | 4, 5 and 2, 3 | 6, 7), tinted,
// then over or added onto eight target pixels.
// `opaque`: every texel behind the eight pixels is opaque and so is the tint, so "over" is a store.
template <bool Tinted, int Mode>
__attribute__((target("avx2"), always_inline)) inline void StoreFiltered(uint32_t* p, __m256i lo, __m256i hi,
                                                                         __m256i tint, bool opaque) {
    const __m256i zero = _mm256_setzero_si256();
    if constexpr (Tinted) {
        lo = Div255x16(_mm256_mullo_epi16(lo, tint));
        hi = Div255x16(_mm256_mullo_epi16(hi, tint));
    }
    if (Mode == kOver && opaque) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_packus_epi16(lo, hi));
        return;
    }
    __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    __m256i dLo = _mm256_unpacklo_epi8(d, zero), dHi = _mm256_unpackhi_epi8(d, zero);
    const __m256i c255 = _mm256_set1_epi16(255);
    if constexpr (Mode == kAdd) {
        lo = _mm256_min_epi16(_mm256_add_epi16(lo, dLo), c255);
        hi = _mm256_min_epi16(_mm256_add_epi16(hi, dHi), c255);
    } else {
        __m256i aLo = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(lo, 0xFF), 0xFF);
        __m256i aHi = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(hi, 0xFF), 0xFF);
        lo = _mm256_add_epi16(lo, Div255x16(_mm256_mullo_epi16(dLo, _mm256_sub_epi16(c255, aLo))));
        hi = _mm256_add_epi16(hi, Div255x16(_mm256_mullo_epi16(dHi, _mm256_sub_epi16(c255, aHi))));
    }
    __m256i out = _mm256_or_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32(int(0xFF000000u)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), out);
}

// Eight pixels of a bilinear span. Taps are computed in vectors and clamped there, so the
// texture's edges cost nothing extra: a tap left of the first texel centre gets weight 0 on the
// first pair, one right of the last centre weight 32767/32768 on the last pair, which rounds to
// that texel. Weights have 15 bits; each interpolation rounds once.
template <bool Tinted, int Mode>
__attribute__((target("avx2"), always_inline)) inline void Bilinear8Avx2(uint32_t* p, __m256i u, __m256i v,
                                                                         const RasterTexture& t, __m256i tint,
                                                                         bool opaqueTint) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i low16 = _mm256_set1_epi32(0xFFFF);
    const __m256i top15 = _mm256_set1_epi32(32767);
    const __m256i xMax = _mm256_set1_epi32(t.width - 2), yMax = _mm256_set1_epi32(t.height - 2);
    __m256i x0 = _mm256_srai_epi32(u, 16), y0 = _mm256_srai_epi32(v, 16);
    __m256i fx = _mm256_srli_epi32(_mm256_and_si256(u, low16), 1);
    __m256i fy = _mm256_srli_epi32(_mm256_and_si256(v, low16), 1);
    fx = _mm256_andnot_si256(_mm256_cmpgt_epi32(zero, x0), fx);
    fy = _mm256_andnot_si256(_mm256_cmpgt_epi32(zero, y0), fy);
    fx = _mm256_blendv_epi8(fx, top15, _mm256_cmpgt_epi32(x0, xMax));
    fy = _mm256_blendv_epi8(fy, top15, _mm256_cmpgt_epi32(y0, yMax));
    x0 = _mm256_min_epi32(_mm256_max_epi32(x0, zero), xMax);
    y0 = _mm256_min_epi32(_mm256_max_epi32(y0, zero), yMax);
    alignas(32) int at[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), _mm256_add_epi32(_mm256_mullo_epi32(y0, _mm256_set1_epi32(t.width)), x0));
    const uint32_t* px = t.pixels;
    const std::ptrdiff_t w = t.width;
    auto pair = [](const uint32_t* q) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)); };
    auto pairs = [&](std::ptrdiff_t row, int i, int j) {
        return _mm_unpacklo_epi64(pair(px + at[i] + row), pair(px + at[j] + row));
    };
    // Pixels 0, 1 | 4, 5 and 2, 3 | 6, 7, so that splitting the pairs gives pixels in order.
    __m256i topA = _mm256_setr_m128i(pairs(0, 0, 1), pairs(0, 4, 5));
    __m256i topB = _mm256_setr_m128i(pairs(0, 2, 3), pairs(0, 6, 7));
    __m256i bottomA = _mm256_setr_m128i(pairs(w, 0, 1), pairs(w, 4, 5));
    __m256i bottomB = _mm256_setr_m128i(pairs(w, 2, 3), pairs(w, 6, 7));
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    __m256i any = _mm256_and_si256(_mm256_or_si256(_mm256_or_si256(topA, topB), _mm256_or_si256(bottomA, bottomB)),
                                   alphaMask);
    if (_mm256_testz_si256(any, any)) return;  // all 32 texels clear: nothing to draw
    __m256i all = _mm256_and_si256(_mm256_and_si256(topA, topB), _mm256_and_si256(bottomA, bottomB));
    bool opaque = opaqueTint && _mm256_testc_si256(all, alphaMask);
    __m256i tl, tr, bl, br;
    SplitPairs(topA, topB, tl, tr);
    SplitPairs(bottomA, bottomB, bl, br);
    // 16-bit halves: pixels 0, 1 | 4, 5 (low) and 2, 3 | 6, 7 (high), as unpacking the target gives.
    __m256i wx = _mm256_or_si256(fx, _mm256_slli_epi32(fx, 16)), wy = _mm256_or_si256(fy, _mm256_slli_epi32(fy, 16));
    __m256i wxLo = _mm256_unpacklo_epi32(wx, wx), wxHi = _mm256_unpackhi_epi32(wx, wx);
    __m256i wyLo = _mm256_unpacklo_epi32(wy, wy), wyHi = _mm256_unpackhi_epi32(wy, wy);
    __m256i lo = Mix(Mix(_mm256_unpacklo_epi8(tl, zero), _mm256_unpacklo_epi8(bl, zero), wyLo),
                     Mix(_mm256_unpacklo_epi8(tr, zero), _mm256_unpacklo_epi8(br, zero), wyLo), wxLo);
    __m256i hi = Mix(Mix(_mm256_unpackhi_epi8(tl, zero), _mm256_unpackhi_epi8(bl, zero), wyHi),
                     Mix(_mm256_unpackhi_epi8(tr, zero), _mm256_unpackhi_epi8(br, zero), wyHi), wxHi);
    StoreFiltered<Tinted, Mode>(p, lo, hi, tint, opaque);
}

// Eight pixels of a span along one row of filtered texels (see SpanBilinearRowAvx2): only the
// horizontal interpolation is left. `x` holds texel positions relative to the row's first texel.
template <bool Tinted, int Mode, bool Window>
__attribute__((target("avx2"), always_inline)) inline void Horizontal8Avx2(uint32_t* p, __m256i u, const uint32_t* row,
                                                                           int first, int last, __m256i tint,
                                                                           bool opaqueTint) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i x0 = _mm256_srai_epi32(u, 16);
    __m256i fx = _mm256_srli_epi32(_mm256_and_si256(u, _mm256_set1_epi32(0xFFFF)), 1);
    fx = _mm256_andnot_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(first), x0), fx);
    fx = _mm256_blendv_epi8(fx, _mm256_set1_epi32(32767), _mm256_cmpgt_epi32(x0, _mm256_set1_epi32(last)));
    x0 = _mm256_min_epi32(_mm256_max_epi32(x0, _mm256_set1_epi32(first)), _mm256_set1_epi32(last));
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    __m256i rel = _mm256_sub_epi32(x0, _mm256_set1_epi32(first));
    __m256i left, right;
    if constexpr (Window) {
        // Steps of at most two texels keep the eight taps and their right neighbours within
        // sixteen texels from the leftmost tap: two loads and lane permutes replace eight loads.
        int base = std::min(_mm256_cvtsi256_si32(rel), _mm256_extract_epi32(rel, 7));
        rel = _mm256_sub_epi32(rel, _mm256_set1_epi32(base));
        __m256i w0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + base));
        __m256i w1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + base + 8));
        const __m256i seven = _mm256_set1_epi32(7);
        __m256i rel1 = _mm256_add_epi32(rel, _mm256_set1_epi32(1));
        left = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(w0, rel), _mm256_permutevar8x32_epi32(w1, rel),
                                  _mm256_cmpgt_epi32(rel, seven));
        right = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(w0, rel1), _mm256_permutevar8x32_epi32(w1, rel1),
                                   _mm256_cmpgt_epi32(rel1, seven));
    } else {
        alignas(32) int at[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(at), rel);
        auto pair = [](const uint32_t* q) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)); };
        auto pairs = [&](int i, int j) { return _mm_unpacklo_epi64(pair(row + at[i]), pair(row + at[j])); };
        SplitPairs(_mm256_setr_m128i(pairs(0, 1), pairs(4, 5)), _mm256_setr_m128i(pairs(2, 3), pairs(6, 7)), left, right);
    }
    __m256i any = _mm256_and_si256(_mm256_or_si256(left, right), alphaMask);
    if (_mm256_testz_si256(any, any)) return;
    bool opaque = opaqueTint && _mm256_testc_si256(_mm256_and_si256(left, right), alphaMask);
    __m256i wx = _mm256_or_si256(fx, _mm256_slli_epi32(fx, 16));
    __m256i lo = Mix(_mm256_unpacklo_epi8(left, zero), _mm256_unpacklo_epi8(right, zero), _mm256_unpacklo_epi32(wx, wx));
    __m256i hi = Mix(_mm256_unpackhi_epi8(left, zero), _mm256_unpackhi_epi8(right, zero), _mm256_unpackhi_epi32(wx, wx));
    StoreFiltered<Tinted, Mode>(p, lo, hi, tint, opaque);
}

template <bool Tinted, int Mode, bool Window>
__attribute__((target("avx2"), always_inline)) inline void HorizontalSpan(uint32_t* p, int n, __m256i u, __m256i du8,
                                                                          const uint32_t* row, int first, int last,
                                                                          __m256i tint, bool opaqueTint) {
    for (; n >= 8; n -= 8, p += 8, u = _mm256_add_epi32(u, du8))
        Horizontal8Avx2<Tinted, Mode, Window>(p, u, row, first, last, tint, opaqueTint);
    if (n > 0) {
        uint32_t rest[8] = {};
        std::memcpy(rest, p, size_t(n) * 4);
        Horizontal8Avx2<Tinted, Mode, Window>(rest, u, row, first, last, tint, opaqueTint);
        std::memcpy(p, rest, size_t(n) * 4);
    }
}

// Texels a span along one texture row can filter in one pass.
constexpr int kRowTexels = 1024;

// A span that stays on one texture row (unturned drawing): the two texture rows are mixed once
// per texel into `row`, then each pixel only mixes horizontally. The texels are the same the
// general loop computes. False when the span does not qualify.
template <bool Tinted, int Mode>
__attribute__((target("avx2"))) bool SpanBilinearRowAvx2(uint32_t* p, int n, const SpanState& s, const RasterTexture& t,
                                                       __m256i tint, bool opaqueTint) {
    if (s.dv != 0) return false;
    // Taps of the whole last group of eight, in 64 bits: a span whose taps would wrap takes the
    // general loop.
    long long u0 = (long long)s.u - 0x8000, u1 = u0 + (long long)s.du * (((n + 7) & ~7) - 1);
    if (std::min(u0, u1) < INT32_MIN || std::max(u0, u1) > INT32_MAX) return false;
    const int w = t.width, h = t.height;
    int first = int(std::clamp<long long>(std::min(u0, u1) >> 16, 0, w - 2));
    int last = int(std::clamp<long long>(std::max(u0, u1) >> 16, 0, w - 2));
    if (last - first + 2 > kRowTexels) return false;
    int vv = int(uint32_t(s.v) - 0x8000u), y0 = vv >> 16, fy = (vv & 0xFFFF) >> 1;
    if (y0 < 0) y0 = 0, fy = 0;
    else if (y0 > h - 2) y0 = h - 2, fy = 32767;
    alignas(32) uint32_t row[kRowTexels + 16];  // the window loads read up to 15 texels past the end
    const uint32_t* r0 = t.pixels + std::ptrdiff_t(y0) * w + first;
    const uint32_t* r1 = r0 + w;
    const int count = last - first + 2;
    const __m256i zero = _mm256_setzero_si256(), wy = _mm256_set1_epi16(short(fy));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r0 + i));
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r1 + i));
        __m256i lo = Mix(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero), wy);
        __m256i hi = Mix(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero), wy);
        _mm256_store_si256(reinterpret_cast<__m256i*>(row + i), _mm256_packus_epi16(lo, hi));
    }
    for (; i < count; ++i) {
        uint32_t a = r0[i], b = r1[i], out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
            out |= uint32_t(ca + (((cb - ca) * fy + 0x4000) >> 15)) << shift;
        }
        row[i] = out;
    }
    const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(int(u0)), _mm256_mullo_epi32(steps, _mm256_set1_epi32(s.du)));
    const __m256i du8 = _mm256_set1_epi32(int(uint32_t(s.du) * 8u));
    if (s.du >= -0x20000 && s.du <= 0x20000) HorizontalSpan<Tinted, Mode, true>(p, n, u, du8, row, first, last, tint, opaqueTint);
    else HorizontalSpan<Tinted, Mode, false>(p, n, u, du8, row, first, last, tint, opaqueTint);
    return true;
}

// A span with a constant tint; the texture must be at least 2 by 2 texels.
template <bool Tinted, int Mode>
__attribute__((target("avx2"))) void SpanBilinear8888Avx2(uint32_t* p, int n, SpanState s, const RasterTexture& t) {
    __m256i tint = _mm256_setzero_si256();
    const bool opaqueTint = !Tinted || (uint32_t(s.a) >> 16) == 255;
    if constexpr (Tinted) {
        short a = short(uint32_t(s.a) >> 16), r = short(uint32_t(s.r) >> 16), g = short(uint32_t(s.g) >> 16),
              b = short(uint32_t(s.b) >> 16);
        tint = _mm256_setr_epi16(b, g, r, a, b, g, r, a, b, g, r, a, b, g, r, a);
    }
    if (SpanBilinearRowAvx2<Tinted, Mode>(p, n, s, t, tint, opaqueTint)) return;
    // Positions wrap rather than overflow; wrapped taps are clamped like any other. The texel
    // centres sit half a texel in, so the taps start half a texel back.
    const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(int(uint32_t(s.u) - 0x8000u)),
                                 _mm256_mullo_epi32(steps, _mm256_set1_epi32(s.du)));
    __m256i v = _mm256_add_epi32(_mm256_set1_epi32(int(uint32_t(s.v) - 0x8000u)),
                                 _mm256_mullo_epi32(steps, _mm256_set1_epi32(s.dv)));
    const __m256i du8 = _mm256_set1_epi32(int(uint32_t(s.du) * 8u)), dv8 = _mm256_set1_epi32(int(uint32_t(s.dv) * 8u));
    for (; n >= 8; n -= 8, p += 8) {
        Bilinear8Avx2<Tinted, Mode>(p, u, v, t, tint, opaqueTint);
        u = _mm256_add_epi32(u, du8);
        v = _mm256_add_epi32(v, dv8);
    }
    if (n > 0) {
        uint32_t rest[8] = {};
        std::memcpy(rest, p, size_t(n) * 4);
        Bilinear8Avx2<Tinted, Mode>(rest, u, v, t, tint, opaqueTint);
        std::memcpy(p, rest, size_t(n) * 4);
    }
}
#endif

#if QS_RASTER_SSE41
// The AVX2 spans above four pixels at a time with SSE4.1 (and its SSSE3 multiplies), for
// processors without AVX2: the same taps, weights and roundings, so the same pixels.
__attribute__((target("sse4.1"), always_inline)) inline __m128i Div255x8Sse41(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// Two vectors of four texels, a texel and its right neighbour per pair of slots, split into the
// left and right texels of pixels 0..3.
__attribute__((target("sse4.1"), always_inline)) inline void SplitPairs4(__m128i a, __m128i b, __m128i& left,
                                                                       __m128i& right) {
    left = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), 0x88));
    right = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), 0xDD));
}

__attribute__((target("sse4.1"), always_inline)) inline __m128i Mix4(__m128i a, __m128i b, __m128i w) {
    return _mm_add_epi16(a, _mm_mulhrs_epi16(_mm_sub_epi16(b, a), w));
}

// Four filtered source pixels as 16-bit channels (pixels 0, 1 and 2, 3), tinted, then over or
// added onto four target pixels; `opaque` as in StoreFiltered.
template <bool Tinted, int Mode>
__attribute__((target("sse4.1"), always_inline)) inline void StoreFiltered4(uint32_t* p, __m128i lo, __m128i hi,
                                                                          __m128i tint, bool opaque) {
    const __m128i zero = _mm_setzero_si128();
    if constexpr (Tinted) {
        lo = Div255x8Sse41(_mm_mullo_epi16(lo, tint));
        hi = Div255x8Sse41(_mm_mullo_epi16(hi, tint));
    }
    if (Mode == kOver && opaque) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(lo, hi));
        return;
    }
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
    const __m128i c255 = _mm_set1_epi16(255);
    if constexpr (Mode == kAdd) {
        lo = _mm_min_epi16(_mm_add_epi16(lo, dLo), c255);
        hi = _mm_min_epi16(_mm_add_epi16(hi, dHi), c255);
    } else {
        __m128i aLo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(lo, 0xFF), 0xFF);
        __m128i aHi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(hi, 0xFF), 0xFF);
        lo = _mm_add_epi16(lo, Div255x8Sse41(_mm_mullo_epi16(dLo, _mm_sub_epi16(c255, aLo))));
        hi = _mm_add_epi16(hi, Div255x8Sse41(_mm_mullo_epi16(dHi, _mm_sub_epi16(c255, aHi))));
    }
    __m128i out = _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(int(0xFF000000u)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), out);
}

// Four pixels of a bilinear span (see Bilinear8Avx2).
template <bool Tinted, int Mode>
__attribute__((target("sse4.1"), always_inline)) inline void Bilinear4Sse41(uint32_t* p, __m128i u, __m128i v,
                                                                          const RasterTexture& t, __m128i tint,
                                                                          bool opaqueTint) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low16 = _mm_set1_epi32(0xFFFF);
    const __m128i top15 = _mm_set1_epi32(32767);
    const __m128i xMax = _mm_set1_epi32(t.width - 2), yMax = _mm_set1_epi32(t.height - 2);
    __m128i x0 = _mm_srai_epi32(u, 16), y0 = _mm_srai_epi32(v, 16);
    __m128i fx = _mm_srli_epi32(_mm_and_si128(u, low16), 1);
    __m128i fy = _mm_srli_epi32(_mm_and_si128(v, low16), 1);
    fx = _mm_andnot_si128(_mm_cmpgt_epi32(zero, x0), fx);
    fy = _mm_andnot_si128(_mm_cmpgt_epi32(zero, y0), fy);
    fx = _mm_blendv_epi8(fx, top15, _mm_cmpgt_epi32(x0, xMax));
    fy = _mm_blendv_epi8(fy, top15, _mm_cmpgt_epi32(y0, yMax));
    x0 = _mm_min_epi32(_mm_max_epi32(x0, zero), xMax);
    y0 = _mm_min_epi32(_mm_max_epi32(y0, zero), yMax);
    alignas(16) int at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), _mm_add_epi32(_mm_mullo_epi32(y0, _mm_set1_epi32(t.width)), x0));
    const uint32_t* px = t.pixels;
    const std::ptrdiff_t w = t.width;
    auto pair = [](const uint32_t* q) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)); };
    auto pairs = [&](std::ptrdiff_t row, int i, int j) {
        return _mm_unpacklo_epi64(pair(px + at[i] + row), pair(px + at[j] + row));
    };
    __m128i topA = pairs(0, 0, 1), topB = pairs(0, 2, 3);
    __m128i bottomA = pairs(w, 0, 1), bottomB = pairs(w, 2, 3);
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    __m128i any = _mm_and_si128(_mm_or_si128(_mm_or_si128(topA, topB), _mm_or_si128(bottomA, bottomB)), alphaMask);
    if (_mm_testz_si128(any, any)) return;  // all 16 texels clear: nothing to draw
    __m128i all = _mm_and_si128(_mm_and_si128(topA, topB), _mm_and_si128(bottomA, bottomB));
    bool opaque = opaqueTint && _mm_testc_si128(all, alphaMask);
    __m128i tl, tr, bl, br;
    SplitPairs4(topA, topB, tl, tr);
    SplitPairs4(bottomA, bottomB, bl, br);
    __m128i wx = _mm_or_si128(fx, _mm_slli_epi32(fx, 16)), wy = _mm_or_si128(fy, _mm_slli_epi32(fy, 16));
    __m128i wxLo = _mm_unpacklo_epi32(wx, wx), wxHi = _mm_unpackhi_epi32(wx, wx);
    __m128i wyLo = _mm_unpacklo_epi32(wy, wy), wyHi = _mm_unpackhi_epi32(wy, wy);
    __m128i lo = Mix4(Mix4(_mm_unpacklo_epi8(tl, zero), _mm_unpacklo_epi8(bl, zero), wyLo),
                      Mix4(_mm_unpacklo_epi8(tr, zero), _mm_unpacklo_epi8(br, zero), wyLo), wxLo);
    __m128i hi = Mix4(Mix4(_mm_unpackhi_epi8(tl, zero), _mm_unpackhi_epi8(bl, zero), wyHi),
                      Mix4(_mm_unpackhi_epi8(tr, zero), _mm_unpackhi_epi8(br, zero), wyHi), wxHi);
    StoreFiltered4<Tinted, Mode>(p, lo, hi, tint, opaque);
}

// Four pixels along one row of filtered texels (see Horizontal8Avx2).
template <bool Tinted, int Mode>
__attribute__((target("sse4.1"), always_inline)) inline void Horizontal4Sse41(uint32_t* p, __m128i u, const uint32_t* row,
                                                                            int first, int last, __m128i tint,
                                                                            bool opaqueTint) {
    const __m128i zero = _mm_setzero_si128();
    __m128i x0 = _mm_srai_epi32(u, 16);
    __m128i fx = _mm_srli_epi32(_mm_and_si128(u, _mm_set1_epi32(0xFFFF)), 1);
    fx = _mm_andnot_si128(_mm_cmpgt_epi32(_mm_set1_epi32(first), x0), fx);
    fx = _mm_blendv_epi8(fx, _mm_set1_epi32(32767), _mm_cmpgt_epi32(x0, _mm_set1_epi32(last)));
    x0 = _mm_min_epi32(_mm_max_epi32(x0, _mm_set1_epi32(first)), _mm_set1_epi32(last));
    __m128i rel = _mm_sub_epi32(x0, _mm_set1_epi32(first));
    alignas(16) int at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), rel);
    auto pair = [](const uint32_t* q) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)); };
    __m128i left, right;
    SplitPairs4(_mm_unpacklo_epi64(pair(row + at[0]), pair(row + at[1])),
                _mm_unpacklo_epi64(pair(row + at[2]), pair(row + at[3])), left, right);
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    __m128i any = _mm_and_si128(_mm_or_si128(left, right), alphaMask);
    if (_mm_testz_si128(any, any)) return;
    bool opaque = opaqueTint && _mm_testc_si128(_mm_and_si128(left, right), alphaMask);
    __m128i wx = _mm_or_si128(fx, _mm_slli_epi32(fx, 16));
    __m128i lo = Mix4(_mm_unpacklo_epi8(left, zero), _mm_unpacklo_epi8(right, zero), _mm_unpacklo_epi32(wx, wx));
    __m128i hi = Mix4(_mm_unpackhi_epi8(left, zero), _mm_unpackhi_epi8(right, zero), _mm_unpackhi_epi32(wx, wx));
    StoreFiltered4<Tinted, Mode>(p, lo, hi, tint, opaque);
}

// A span that stays on one texture row (see SpanBilinearRowAvx2).
template <bool Tinted, int Mode>
__attribute__((target("sse4.1"))) bool SpanBilinearRowSse41(uint32_t* p, int n, const SpanState& s,
                                                           const RasterTexture& t, __m128i tint, bool opaqueTint) {
    if (s.dv != 0) return false;
    long long u0 = (long long)s.u - 0x8000, u1 = u0 + (long long)s.du * (((n + 3) & ~3) - 1);
    if (std::min(u0, u1) < INT32_MIN || std::max(u0, u1) > INT32_MAX) return false;
    const int w = t.width, h = t.height;
    int first = int(std::clamp<long long>(std::min(u0, u1) >> 16, 0, w - 2));
    int last = int(std::clamp<long long>(std::max(u0, u1) >> 16, 0, w - 2));
    if (last - first + 2 > kRowTexels) return false;
    int vv = int(uint32_t(s.v) - 0x8000u), y0 = vv >> 16, fy = (vv & 0xFFFF) >> 1;
    if (y0 < 0) y0 = 0, fy = 0;
    else if (y0 > h - 2) y0 = h - 2, fy = 32767;
    alignas(16) uint32_t row[kRowTexels + 4];
    const uint32_t* r0 = t.pixels + std::ptrdiff_t(y0) * w + first;
    const uint32_t* r1 = r0 + w;
    const int count = last - first + 2;
    const __m128i zero = _mm_setzero_si128(), wy = _mm_set1_epi16(short(fy));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + i));
        __m128i lo = Mix4(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), wy);
        __m128i hi = Mix4(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), wy);
        _mm_store_si128(reinterpret_cast<__m128i*>(row + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < count; ++i) {
        uint32_t a = r0[i], b = r1[i], out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
            out |= uint32_t(ca + (((cb - ca) * fy + 0x4000) >> 15)) << shift;
        }
        row[i] = out;
    }
    const __m128i steps = _mm_setr_epi32(0, 1, 2, 3);
    __m128i u = _mm_add_epi32(_mm_set1_epi32(int(u0)), _mm_mullo_epi32(steps, _mm_set1_epi32(s.du)));
    const __m128i du4 = _mm_set1_epi32(int(uint32_t(s.du) * 4u));
    for (; n >= 4; n -= 4, p += 4, u = _mm_add_epi32(u, du4))
        Horizontal4Sse41<Tinted, Mode>(p, u, row, first, last, tint, opaqueTint);
    if (n > 0) {
        uint32_t rest[4] = {};
        std::memcpy(rest, p, size_t(n) * 4);
        Horizontal4Sse41<Tinted, Mode>(rest, u, row, first, last, tint, opaqueTint);
        std::memcpy(p, rest, size_t(n) * 4);
    }
    return true;
}

template <bool Tinted, int Mode>
__attribute__((target("sse4.1"))) void SpanBilinear8888Sse41(uint32_t* p, int n, SpanState s, const RasterTexture& t) {
    __m128i tint = _mm_setzero_si128();
    const bool opaqueTint = !Tinted || (uint32_t(s.a) >> 16) == 255;
    if constexpr (Tinted) {
        short a = short(uint32_t(s.a) >> 16), r = short(uint32_t(s.r) >> 16), g = short(uint32_t(s.g) >> 16),
              b = short(uint32_t(s.b) >> 16);
        tint = _mm_setr_epi16(b, g, r, a, b, g, r, a);
    }
    if (SpanBilinearRowSse41<Tinted, Mode>(p, n, s, t, tint, opaqueTint)) return;
    const __m128i steps = _mm_setr_epi32(0, 1, 2, 3);
    __m128i u = _mm_add_epi32(_mm_set1_epi32(int(uint32_t(s.u) - 0x8000u)), _mm_mullo_epi32(steps, _mm_set1_epi32(s.du)));
    __m128i v = _mm_add_epi32(_mm_set1_epi32(int(uint32_t(s.v) - 0x8000u)), _mm_mullo_epi32(steps, _mm_set1_epi32(s.dv)));
    const __m128i du4 = _mm_set1_epi32(int(uint32_t(s.du) * 4u)), dv4 = _mm_set1_epi32(int(uint32_t(s.dv) * 4u));
    for (; n >= 4; n -= 4, p += 4) {
        Bilinear4Sse41<Tinted, Mode>(p, u, v, t, tint, opaqueTint);
        u = _mm_add_epi32(u, du4);
        v = _mm_add_epi32(v, dv4);
    }
    if (n > 0) {
        uint32_t rest[4] = {};
        std::memcpy(rest, p, size_t(n) * 4);
        Bilinear4Sse41<Tinted, Mode>(rest, u, v, t, tint, opaqueTint);
        std::memcpy(p, rest, size_t(n) * 4);
    }
}
#endif

#if QS_RASTER_SSE2
// A filtered span with a constant tint into 32-bit pixels; the texture is at least 2 by 2.
template <bool Tinted, int Mode>
void SpanFiltered(uint32_t* p, int n, const SpanState& s, const RasterTexture& t) {
#if QS_RASTER_AVX2
    if (UseAvx2()) {
        SpanBilinear8888Avx2<Tinted, Mode>(p, n, s, t);
        return;
    }
#endif
#if QS_RASTER_SSE41
    if (UseSse41()) {
        SpanBilinear8888Sse41<Tinted, Mode>(p, n, s, t);
        return;
    }
#endif
    SpanBilinear8888<Tinted, Mode>(p, n, s, t);
}
#endif

// std::ceil for values well inside the int range (positions are limited to a million pixels),
// without a library call per scan line.
inline int CeilInt(double v) {
    int i = int(v);
    return i + (i < v ? 1 : 0);
}

// Vertex attributes as planes a + dx * x + dy * y over the triangle.
struct Plane {
    double base = 0, dx = 0, dy = 0;
    int At(double x, double y) const {
        double v = (base + dx * x + dy * y) * 65536.0;
        if (!(v > -2.0e9)) return v != v ? 0 : -2000000000;  // NaN from hostile vertices reads as 0
        if (v > 2.0e9) return 2000000000;
        // Rounds half away from zero, without a library call or a branch per span.
        return int(v + std::copysign(0.5, v));
    }
};

struct Point2 {
    double x, y;
};

// Whether the snapped corners turn the same way at every corner (a strictly convex polygon).
bool StrictlyConvex(const Point2* p, int count) {
    int sign = 0;
    for (int i = 0; i < count; ++i) {
        const Point2 &a = p[i], &b = p[(i + 1) % count], &c = p[(i + 2) % count];
        double cross = (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
        int s = cross > 0 ? 1 : (cross < 0 ? -1 : 0);
        if (s == 0 || (sign != 0 && s != sign)) return false;
        sign = s;
    }
    return true;
}

template <class F, bool Tex, bool Tint, int Mode, bool Filter>
void Polygon(const RasterTarget& target, const RasterVertex* in, int count, const RasterTexture* tex);

// A triangle, or a convex quad whose attributes lie on one plane (every sprite quad) drawn in one
// pass: one span per scan line instead of two, the same pixels as its two triangles 0-1-2 and
// 0-2-3. Any other quad is drawn as those two triangles.
template <class F, bool Tex, bool Tint, int Mode, bool Filter>
void Polygon(const RasterTarget& target, const RasterVertex* in, int count, const RasterTexture* tex) {
    if constexpr (Tex) {
        if (!tex || !tex->pixels || tex->width <= 0 || tex->height <= 0) return;
    }
    Point2 p[4];
    for (int i = 0; i < count; ++i) {
        float x = in[i].x, y = in[i].y;
        if (!(std::fabs(x) < 1.0e6f) || !(std::fabs(y) < 1.0e6f)) return;  // also refuses NaN
        p[i] = Point2{std::floor(double(x) * SoftwareRasterizer::kSubpixelSteps) / SoftwareRasterizer::kSubpixelSteps,
                      std::floor(double(y) * SoftwareRasterizer::kSubpixelSteps) / SoftwareRasterizer::kSubpixelSteps};
    }
    double area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
    if (std::fabs(area) < 1e-9) {
        if (count == 4) {
            RasterVertex second[3] = {in[0], in[2], in[3]};
            Polygon<F, Tex, Tint, Mode, Filter>(target, second, 3, tex);
        }
        return;
    }

    auto makePlane = [&](double a0, double a1, double a2) {
        Plane pl;
        pl.dx = ((a1 - a0) * (p[2].y - p[0].y) - (a2 - a0) * (p[1].y - p[0].y)) / area;
        pl.dy = ((a2 - a0) * (p[1].x - p[0].x) - (a1 - a0) * (p[2].x - p[0].x)) / area;
        pl.base = a0 - pl.dx * p[0].x - pl.dy * p[0].y;
        return pl;
    };
    Plane pu, pv, pa, pr, pg, pb;
    if constexpr (Tex) {
        pu = makePlane(in[0].u, in[1].u, in[2].u);
        pv = makePlane(in[0].v, in[1].v, in[2].v);
    }
    if constexpr (!Tex || Tint) {
        double ch[3][4];
        for (int i = 0; i < 3; ++i) {
            double a = std::clamp(double(in[i].a), 0.0, 1.0);
            ch[i][0] = a * 255.0;
            ch[i][1] = std::clamp(double(in[i].r), 0.0, 1.0) * a * 255.0;
            ch[i][2] = std::clamp(double(in[i].g), 0.0, 1.0) * a * 255.0;
            ch[i][3] = std::clamp(double(in[i].b), 0.0, 1.0) * a * 255.0;
        }
        pa = makePlane(ch[0][0], ch[1][0], ch[2][0]);
        pr = makePlane(ch[0][1], ch[1][1], ch[2][1]);
        pg = makePlane(ch[0][2], ch[1][2], ch[2][2]);
        pb = makePlane(ch[0][3], ch[1][3], ch[2][3]);
    }

    if (count == 4) {
        // The fourth corner must be convex with the others and carry the attributes the plane
        // of the first three predicts; otherwise the two triangles are drawn on their own.
        bool planar = StrictlyConvex(p, 4);
        auto near = [&](const Plane& pl, double value, double tolerance) {
            return std::fabs(pl.base + pl.dx * p[3].x + pl.dy * p[3].y - value) <= tolerance;
        };
        if (planar && Tex) planar = near(pu, in[3].u, 1.0 / 512) && near(pv, in[3].v, 1.0 / 512);
        if (planar && (!Tex || Tint)) {
            double a = std::clamp(double(in[3].a), 0.0, 1.0);
            planar = near(pa, a * 255.0, 0.25) && near(pr, std::clamp(double(in[3].r), 0.0, 1.0) * a * 255.0, 0.25) &&
                     near(pg, std::clamp(double(in[3].g), 0.0, 1.0) * a * 255.0, 0.25) &&
                     near(pb, std::clamp(double(in[3].b), 0.0, 1.0) * a * 255.0, 0.25);
        }
        if (!planar) {
            Polygon<F, Tex, Tint, Mode, Filter>(target, in, 3, tex);
            RasterVertex second[3] = {in[0], in[2], in[3]};
            Polygon<F, Tex, Tint, Mode, Filter>(target, second, 3, tex);
            return;
        }
    }
    // Each edge runs downwards (ties left to right), so an edge shared by two triangles is the
    // same computation in both and the half-open rule below never blends a pixel twice.
    struct Edge {
        Point2 a, b;
        double slope;
    } edges[4];
    int edgeCount = 0;
    double yMin = p[0].y, yMax = p[0].y;
    for (int i = 0; i < count; ++i) {
        Point2 a = p[i], b = p[(i + 1) % count];
        yMin = std::min(yMin, a.y);
        yMax = std::max(yMax, a.y);
        if (a.y == b.y) continue;
        if (b.y < a.y) std::swap(a, b);
        edges[edgeCount++] = Edge{a, b, (b.x - a.x) / (b.y - a.y)};
    }
    if (edgeCount < 2) return;
    ClipBox clip = ClipOf(target);
    int yStart = std::max(clip.y0, int(std::ceil(yMin - 0.5)));
    int yEnd = std::min(clip.y1, int(std::ceil(yMax - 0.5)));

    const int du = Tex ? int(std::lround(pu.dx * 65536.0)) : 0;
    const int dv = Tex ? int(std::lround(pv.dx * 65536.0)) : 0;
    // One colour over the whole polygon (every sprite) is worked out once, not per span.
    const bool flat = pa.dx == 0 && pa.dy == 0 && pr.dx == 0 && pr.dy == 0 && pg.dx == 0 && pg.dy == 0 &&
                      pb.dx == 0 && pb.dy == 0;
    int flatA = 0, flatR = 0, flatG = 0, flatB = 0;
    if constexpr (!Tex || Tint) {
        auto level = [](const Plane& pl) { return std::clamp(pl.At(0, 0), 0, 255 << 16) + 0x8000; };
        if (flat) flatA = level(pa), flatR = level(pr), flatG = level(pg), flatB = level(pb);
    }

    for (int y = yStart; y < yEnd; ++y) {
        double yc = y + 0.5;
        double xa = 1e300, xb = -1e300;
        for (int e = 0; e < edgeCount; ++e) {
            const Edge& edge = edges[e];
            if (yc < edge.a.y || yc >= edge.b.y) continue;
            double x = edge.a.x + (yc - edge.a.y) * edge.slope;
            xa = std::min(xa, x);
            xb = std::max(xb, x);
        }
        if (xa > xb) continue;
        int xs = std::max(clip.x0, CeilInt(xa - 0.5));
        int xe = std::min(clip.x1, CeilInt(xb - 0.5));
        if (xs >= xe) continue;
        double xc = xs + 0.5;
        SpanState s{};
        if constexpr (Tex) {
            s.u = pu.At(xc, yc);
            s.v = pv.At(xc, yc);
            s.du = du;
            s.dv = dv;
        }
        if constexpr (!Tex || Tint) {
            if (flat) {
                s.a = flatA, s.r = flatR, s.g = flatG, s.b = flatB;
            } else {
                // Clamping the ends keeps interpolated colours inside 0..255 along the whole span.
                auto channel = [&](const Plane& pl, int& value, int& step) {
                    // Half a step added once makes the truncation in the span a rounding.
                    int first = std::clamp(pl.At(xc, yc), 0, 255 << 16) + 0x8000;
                    int last = std::clamp(pl.At(xc + (xe - xs - 1), yc), 0, 255 << 16) + 0x8000;
                    value = first;
                    step = xe - xs > 1 ? (last - first) / (xe - xs - 1) : 0;
                };
                channel(pa, s.a, s.da);
                channel(pr, s.r, s.dr);
                channel(pg, s.g, s.dg);
                channel(pb, s.b, s.db);
            }
        }
#if QS_RASTER_SSE2
        if constexpr (Tex && Filter && Mode != kCopy) {
            if (tex->width >= 2 && tex->height >= 2 && s.da == 0 && s.dr == 0 && s.dg == 0 && s.db == 0) {
                if constexpr (sizeof(typename F::Pixel) == 4) {
                    SpanFiltered<Tint, Mode>(RowAt<F>(target, xs, y), xe - xs, s, *tex);
                } else {
                    alignas(32) uint32_t line[kScanlineChunk];
                    typename F::Pixel* row = RowAt<F>(target, xs, y);
                    for (int k = 0, n = xe - xs; k < n; k += kScanlineChunk) {
                        int m = std::min(kScanlineChunk, n - k);
                        Widen<F>(row + k, line, m);
                        SpanFiltered<Tint, Mode>(line, m, s, *tex);
                        Narrow<F>(line, row + k, m);
                        s.u = int(uint32_t(s.u) + uint32_t(s.du) * uint32_t(m));
                        s.v = int(uint32_t(s.v) + uint32_t(s.dv) * uint32_t(m));
                    }
                }
                continue;
            }
        }
#endif
        Span<F, Tex, Tint, Mode, Filter>(RowAt<F>(target, xs, y), xe - xs, s, tex);
    }
}

// [SECTION] the dispatcher ---------------------------------------------------------------------

using TriangleRoutine = void (*)(const RasterTarget&, const RasterVertex*, int, const RasterTexture*);

// Routines of one format, indexed by routine index (16 slots, unused ones null) and filter.
template <class F>
struct RoutineTable {
    TriangleRoutine slot[16][2] = {};
    RoutineTable() {
        for (int f = 0; f < 2; ++f) slot[0][f] = &Polygon<F, false, false, kCopy, false>;
        for (int f = 0; f < 2; ++f) slot[2][f] = &Polygon<F, false, false, kOver, false>;
        for (int f = 0; f < 2; ++f) slot[3][f] = &Polygon<F, false, false, kAdd, false>;
        Set<8, false, kCopy>();
        Set<9, false, kAdd>();
        Set<10, false, kOver>();
        Set<11, false, kAdd>();
        Set<12, true, kCopy>();
        Set<13, true, kAdd>();
        Set<14, true, kOver>();
        Set<15, true, kAdd>();
    }
    template <int Index, bool Tint, int Mode>
    void Set() {
        slot[Index][0] = &Polygon<F, true, Tint, Mode, false>;
        slot[Index][1] = &Polygon<F, true, Tint, Mode, true>;
    }
};

const RoutineTable<Format8888> kTable8888;
const RoutineTable<Format565> kTable565;
const RoutineTable<Format555> kTable555;

}  // namespace

PixelFormat SoftwareRasterizer::FormatFromMasks(int bitCount, uint32_t redMask, uint32_t greenMask, uint32_t blueMask) {
    if (bitCount == 32) return PixelFormat::kArgb8888;
    if (bitCount == 16 && redMask == 0xF800 && greenMask == 0x07E0 && blueMask == 0x001F) return PixelFormat::kRgb565;
    if (bitCount == 16 && redMask == 0x7C00 && greenMask == 0x03E0 && blueMask == 0x001F) return PixelFormat::kRgb555;
    return PixelFormat::kUnknown;
}

int SoftwareRasterizer::RoutineIndex(int flags) {
    flags &= 15;
    if (flags & kTextured) return flags;
    return (flags & kBlended) ? (flags & 3) : 0;
}

namespace {

// The specialised routine for a target format, feature flags and filter; null for none.
TriangleRoutine FindRoutine(PixelFormat format, int flags, bool bilinear) {
    int index = SoftwareRasterizer::RoutineIndex(flags);
    int filter = bilinear ? 1 : 0;
    switch (format) {
        case PixelFormat::kArgb8888: return kTable8888.slot[index][filter];
        case PixelFormat::kRgb565: return kTable565.slot[index][filter];
        case PixelFormat::kRgb555: return kTable555.slot[index][filter];
        case PixelFormat::kUnknown: break;
    }
    return nullptr;
}

}  // namespace

void SoftwareRasterizer::RasterizeTriangle(bool textured, bool tinted, bool blended, bool additive,
                                           const RasterTarget& target, const RasterVertex* vertices,
                                           const RasterTexture* texture, bool bilinear) {
    if (!target.pixels || !vertices) return;
    int flags = (textured ? 8 : 0) | (tinted ? 4 : 0) | (blended ? 2 : 0) | (additive ? 1 : 0);
    if (TriangleRoutine routine = FindRoutine(target.format, flags, bilinear)) routine(target, vertices, 3, texture);
}

void SoftwareRasterizer::RasterizeQuad(int flags, const RasterTarget& target, const RasterVertex* v,
                                       const RasterTexture* texture, bool bilinear) {
    if (!target.pixels || !v) return;
    if (TriangleRoutine routine = FindRoutine(target.format, flags, bilinear)) routine(target, v, 4, texture);
}

// [SECTION] pixel access and sprite runs ---------------------------------------------------------

bool SoftwareRasterizer::BuildRuns(const uint32_t* pixels, int width, int height, std::vector<uint32_t>& runs,
                                   std::vector<uint32_t>& rowRuns) {
    runs.clear();
    rowRuns.clear();
    if (!pixels || width <= 0 || height <= 0 || width > 0x7FFF) return false;
    rowRuns.reserve(size_t(height) + 1);
    for (int y = 0; y < height; ++y) {
        rowRuns.push_back(uint32_t(runs.size()));
        const uint32_t* row = pixels + std::ptrdiff_t(y) * width;
        int x = 0;
        while (x < width) {
            auto kindOf = [](uint32_t p) {
                uint32_t a = p >> 24;
                return a == 0 ? kRunClear : (a == 255 ? kRunOpaque : kRunTranslucent);
            };
            uint32_t kind = kindOf(row[x]);
            int start = x;
            while (x < width && kindOf(row[x]) == kind) ++x;
            if (kind != kRunClear) runs.push_back(kind << 30 | uint32_t(start) << 15 | uint32_t(x - start));
        }
    }
    rowRuns.push_back(uint32_t(runs.size()));
    return true;
}

uint32_t SoftwareRasterizer::ReadPixel(const RasterTarget& t, int x, int y) {
    if (!t.pixels || x < 0 || y < 0 || x >= t.width || y >= t.height) return 0;
    switch (t.format) {
        case PixelFormat::kArgb8888: return Format8888::Load(*RowAt<Format8888>(t, x, y));
        case PixelFormat::kRgb565: return Format565::Load(*RowAt<Format565>(t, x, y));
        case PixelFormat::kRgb555: return Format555::Load(*RowAt<Format555>(t, x, y));
        case PixelFormat::kUnknown: break;
    }
    return 0;
}

void SoftwareRasterizer::WritePixel(const RasterTarget& t, int x, int y, uint32_t argb) {
    if (!t.pixels || x < 0 || y < 0 || x >= t.width || y >= t.height) return;
    switch (t.format) {
        case PixelFormat::kArgb8888: *RowAt<Format8888>(t, x, y) = Format8888::Store(argb); break;
        case PixelFormat::kRgb565: *RowAt<Format565>(t, x, y) = Format565::Store(argb); break;
        case PixelFormat::kRgb555: *RowAt<Format555>(t, x, y) = Format555::Store(argb); break;
        case PixelFormat::kUnknown: break;
    }
}

uint32_t SoftwareRasterizer::Premultiply(uint32_t argb) {
    uint32_t a = argb >> 24;
    return a << 24 | Div255(((argb >> 16) & 0xFF) * a) << 16 | Div255(((argb >> 8) & 0xFF) * a) << 8 |
           Div255((argb & 0xFF) * a);
}

bool SoftwareRasterizer::HasSimd() {
#if QS_RASTER_SSE2
    return true;
#else
    return false;
#endif
}

namespace {

int ProcessorLevel() {
    int level = 0;
#if QS_RASTER_SSE41
    if (__builtin_cpu_supports("sse4.1") && !std::getenv("QS_NO_SSE41")) {
        level = 1;
#if QS_RASTER_AVX2
        if (__builtin_cpu_supports("avx2") && !std::getenv("QS_NO_AVX2")) level = 2;
#endif
    }
#endif
    return level;
}

std::atomic<int> gVectorLevel{-1};

}  // namespace

int raster_pixels::VectorLevel() {
    int level = gVectorLevel.load(std::memory_order_relaxed);
    if (level < 0) {
        level = ProcessorLevel();
        gVectorLevel.store(level, std::memory_order_relaxed);
    }
    return level;
}

SoftwareRasterizer::VectorLoops SoftwareRasterizer::WidestLoops() { return VectorLoops(raster_pixels::VectorLevel()); }

void SoftwareRasterizer::LimitLoops(VectorLoops widest) {
    gVectorLevel.store(std::min(ProcessorLevel(), int(widest)), std::memory_order_relaxed);
}
