// The software rasterizer's untransformed sprite blits and rectangle fills: rows of premultiplied
// texels, optionally tinted, over or added onto the target; SSE2 on x86-64, SSE4.1 or AVX2 when
// present.
#include "engine/draw/SoftwareRasterizer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "engine/draw/RasterPixels.h"

using namespace raster_pixels;

namespace {

// Premultiplied tint bytes, alpha first; `words` holds them as two pixels of 16-bit channels in
// memory order, ready for one vector load per row.
struct Tint {
    uint32_t a = 255, r = 255, g = 255, b = 255;
    alignas(16) int16_t words[8] = {255, 255, 255, 255, 255, 255, 255, 255};
};

Tint MakeTint(uint32_t argb) {
    uint32_t a = argb >> 24;
    Tint t;
    t.a = a;
    t.r = Div255(((argb >> 16) & 0xFF) * a);
    t.g = Div255(((argb >> 8) & 0xFF) * a);
    t.b = Div255((argb & 0xFF) * a);
    for (int i = 0; i < 8; i += 4) {
        t.words[i] = int16_t(t.b), t.words[i + 1] = int16_t(t.g), t.words[i + 2] = int16_t(t.r), t.words[i + 3] = int16_t(t.a);
    }
    return t;
}

// A texel times the tint over a target pixel, one rounding per channel: the tinted colour and
// the target's remaining share are summed before dividing (the vector loops do the same).
// A texel that is not premultiplied may exceed 255 and is clamped rather than spilling.
inline uint32_t TintedOver(uint32_t s, uint32_t d, const Tint& t) {
    uint32_t rest = 255 - Div255((s >> 24) * t.a);
    auto mix = [rest](uint32_t c, uint32_t tc, uint32_t dc) { return std::min(255u, Div255(c * tc + dc * rest)); };
    return mix(s >> 24, t.a, d >> 24) << 24 | mix((s >> 16) & 0xFF, t.r, (d >> 16) & 0xFF) << 16 |
           mix((s >> 8) & 0xFF, t.g, (d >> 8) & 0xFF) << 8 | mix(s & 0xFF, t.b, d & 0xFF);
}

template <class F, bool Tinted, int Mode>
void RowScalar(typename F::Pixel* d, const uint32_t* s, int n, const Tint& t) {
    for (int i = 0; i < n; ++i) {
        uint32_t src = s[i];
        if constexpr (Tinted && Mode == kOver) {
            if ((src >> 24) == 0) continue;
            d[i] = F::Store(TintedOver(src, F::Load(d[i]), t));
            continue;
        }
        if constexpr (Tinted) src = Modulate(src, t.a, t.r, t.g, t.b);
        if constexpr (Mode == kCopy) {
            d[i] = F::Store(src);
        } else {
            if ((src >> 24) == 0) continue;
            uint32_t dst = F::Load(d[i]);
            d[i] = F::Store(Mode == kOver ? Over(src, dst) : AddSaturate(src, dst));
        }
    }
}

#if QS_RASTER_SSE2

// Four premultiplied pixels: optionally tinted, then over or added onto four destination pixels.
template <bool Tinted, int Mode>
inline __m128i Blend4(__m128i sv, __m128i dv, __m128i tint) {
    const __m128i zero = _mm_setzero_si128();
    __m128i slo = _mm_unpacklo_epi8(sv, zero), shi = _mm_unpackhi_epi8(sv, zero);
    if constexpr (Tinted && Mode == kOver) {
        // One rounding per channel, as TintedOver.
        const __m128i c255 = _mm_set1_epi16(255);
        __m128i dlo = _mm_unpacklo_epi8(dv, zero), dhi = _mm_unpackhi_epi8(dv, zero);
        slo = _mm_mullo_epi16(slo, tint);
        shi = _mm_mullo_epi16(shi, tint);
        dlo = _mm_mullo_epi16(dlo, _mm_sub_epi16(c255, AlphaOf(Div255x8(slo))));
        dhi = _mm_mullo_epi16(dhi, _mm_sub_epi16(c255, AlphaOf(Div255x8(shi))));
        return _mm_packus_epi16(Div255x8(_mm_add_epi16(slo, dlo)), Div255x8(_mm_add_epi16(shi, dhi)));
    }
    if constexpr (Tinted) {
        slo = Div255x8(_mm_mullo_epi16(slo, tint));
        shi = Div255x8(_mm_mullo_epi16(shi, tint));
        sv = _mm_packus_epi16(slo, shi);
    }
    if constexpr (Mode == kAdd) {
        return _mm_adds_epu8(sv, dv);
    } else {
        const __m128i c255 = _mm_set1_epi16(255);
        __m128i dlo = _mm_unpacklo_epi8(dv, zero), dhi = _mm_unpackhi_epi8(dv, zero);
        dlo = Div255x8(_mm_mullo_epi16(dlo, _mm_sub_epi16(c255, AlphaOf(slo))));
        dhi = Div255x8(_mm_mullo_epi16(dhi, _mm_sub_epi16(c255, AlphaOf(shi))));
        return _mm_add_epi8(sv, _mm_packus_epi16(dlo, dhi));
    }
}

inline __m128i TintVector(const Tint& t) { return _mm_load_si128(reinterpret_cast<const __m128i*>(t.words)); }

template <bool Tinted, int Mode>
void Row8888(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    const __m128i tint = TintVector(t);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Blend4<Tinted, Mode>(sv, dv, tint));
    }
    RowScalar<Format8888, Tinted, Mode>(d + i, s + i, n - i, t);
}

// A whole row of a sprite, four pixels at a time: groups that are all clear are skipped, groups
// that stay opaque are stored, the rest blended. Cheaper than walking short runs.
template <bool Tinted>
void OverRowClassified8888(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    const __m128i tint = TintVector(t);
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    // With a translucent tint no group stays opaque.
    const bool opaqueTint = !Tinted || t.a == 255;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        __m128i alpha = _mm_and_si128(sv, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) continue;
        if (opaqueTint && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF) {
            if constexpr (Tinted) {
                __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), tint));
                __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), tint));
                sv = _mm_packus_epi16(lo, hi);
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
            continue;
        }
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Blend4<Tinted, kOver>(sv, dv, tint));
    }
    RowScalar<Format8888, Tinted, kOver>(d + i, s + i, n - i, t);
}

#if QS_RASTER_SSE41
// For every tint byte t a multiplier m with (c * m + 16384) >> 15 equal to Div255(c * t) for every
// byte c, so that a texel channel times a tint channel takes one rounding multiply (vpmulhrsw)
// instead of multiply, add and multiply. Such an m lies within 3 of t * 32768 / 255 for every t.
constexpr std::array<int16_t, 256> MakeRoundingMultipliers() {
    std::array<int16_t, 256> m{};
    for (int t = 0; t < 256; ++t) {
        m[size_t(t)] = -1;
        for (int candidate = std::max(0, t * 32768 / 255 - 3); candidate <= std::min(32767, t * 32768 / 255 + 3); ++candidate) {
            bool exact = true;
            for (int c = 0; c < 256 && exact; ++c) {
                int x = c * t + 128;
                exact = (c * candidate + 16384) >> 15 == (x + (x >> 8)) >> 8;
            }
            if (exact) {
                m[size_t(t)] = int16_t(candidate);
                break;
            }
        }
    }
    return m;
}

constexpr std::array<int16_t, 256> kRoundingMultipliers = MakeRoundingMultipliers();
static_assert(std::all_of(kRoundingMultipliers.begin(), kRoundingMultipliers.end(), [](int16_t m) { return m >= 0; }),
              "every tint byte has an exact rounding multiplier");

// Four pixels at a time with SSE4.1 (and its SSSE3 byte shuffles and multiplies), for processors
// without AVX2: the same arithmetic as the AVX2 loops below, so the same pixels.
struct TintedOverConstants4 {
    __m128i tint, alphaMask, half, scale, all255, lowPixels, highPixels;
    __m128i weights, bias, signBit, roundTint, roundAlpha;
};

__attribute__((target("sse4.1"), always_inline)) inline TintedOverConstants4 MakeTintedOverConstants4(const Tint& t) {
    TintedOverConstants4 k;
    k.tint = TintVector(t);
    __m128i rest = _mm_set1_epi16(short(255 - t.a));
    k.weights = _mm_or_si128(k.tint, _mm_slli_epi16(rest, 8));
    k.bias = _mm_add_epi16(_mm_slli_epi16(_mm_add_epi16(k.tint, rest), 7), _mm_set1_epi16(128));
    k.signBit = _mm_set1_epi8(char(0x80));
    auto m = [](uint32_t value) { return kRoundingMultipliers[value & 0xFF]; };
    k.roundTint = _mm_setr_epi16(m(t.b), m(t.g), m(t.r), m(t.a), m(t.b), m(t.g), m(t.r), m(t.a));
    k.roundAlpha = _mm_set1_epi32(m(t.a));
    k.alphaMask = _mm_set1_epi32(int(0xFF000000u));
    k.half = _mm_set1_epi16(128);
    k.scale = _mm_set1_epi16(257);
    k.all255 = _mm_set1_epi32(255);
    k.lowPixels = _mm_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1);
    k.highPixels = _mm_setr_epi8(8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1);
    return k;
}

__attribute__((target("sse4.1"), always_inline)) inline __m128i Div255x8(__m128i x, const TintedOverConstants4& k) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, k.half), k.scale);
}

// Four tinted texels over the target, one rounding per channel (see TintedOver8).
template <bool TranslucentTint>
__attribute__((target("sse4.1"), always_inline)) inline __m128i TintedOver4(__m128i sv, __m128i dv,
                                                                           const TintedOverConstants4& k) {
    const __m128i zero = _mm_setzero_si128();
    __m128i alpha = _mm_srli_epi32(sv, 24);
    if constexpr (TranslucentTint) alpha = _mm_mulhrs_epi16(alpha, k.roundAlpha);
    __m128i rest = _mm_sub_epi32(k.all255, alpha);
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), k.tint),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), _mm_shuffle_epi8(rest, k.lowPixels)));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), k.tint),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), _mm_shuffle_epi8(rest, k.highPixels)));
    return _mm_packus_epi16(Div255x8(lo, k), Div255x8(hi, k));
}

// Four opaque texels under a translucent tint in one multiply-add of byte pairs (see TintedOpaque8).
__attribute__((target("sse4.1"), always_inline)) inline __m128i TintedOpaque4(__m128i sv, __m128i dv,
                                                                             const TintedOverConstants4& k) {
    sv = _mm_xor_si128(sv, k.signBit);
    dv = _mm_xor_si128(dv, k.signBit);
    __m128i lo = _mm_add_epi16(_mm_maddubs_epi16(k.weights, _mm_unpacklo_epi8(sv, dv)), k.bias);
    __m128i hi = _mm_add_epi16(_mm_maddubs_epi16(k.weights, _mm_unpackhi_epi8(sv, dv)), k.bias);
    return _mm_packus_epi16(_mm_mulhi_epu16(lo, k.scale), _mm_mulhi_epu16(hi, k.scale));
}

template <bool TranslucentTint>
__attribute__((target("sse4.1"))) void TintedOverRowSse41(uint32_t* d, const uint32_t* s, int n, const Tint& t,
                                                          const TintedOverConstants4& k) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        // One test of the alpha bytes tells both: all clear (ZF) and all opaque (CF).
        if (_mm_testz_si128(sv, k.alphaMask)) continue;
        if (_mm_testc_si128(sv, k.alphaMask)) {
            if constexpr (TranslucentTint) {
                __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), TintedOpaque4(sv, dv, k));
            } else {
                const __m128i zero = _mm_setzero_si128();
                __m128i lo = _mm_mulhrs_epi16(_mm_unpacklo_epi8(sv, zero), k.roundTint);
                __m128i hi = _mm_mulhrs_epi16(_mm_unpackhi_epi8(sv, zero), k.roundTint);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
            }
            continue;
        }
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), TintedOver4<TranslucentTint>(sv, dv, k));
    }
    RowScalar<Format8888, true, kOver>(d + i, s + i, n - i, t);
}

// Untinted rows over the target, and rows added onto it: clear groups skipped, opaque ones stored.
template <bool Tinted, int Mode>
__attribute__((target("sse4.1"))) void Row8888Sse41(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    static_assert(!(Tinted && Mode == kOver));
    const __m128i tint = TintVector(t);
    const __m128i alphaMask = _mm_set1_epi32(int(0xFF000000u));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        if constexpr (Mode != kAdd) {
            if (_mm_testz_si128(sv, alphaMask)) continue;
            if (Mode == kOver && _mm_testc_si128(sv, alphaMask)) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), sv);
                continue;
            }
        }
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Blend4<Tinted, Mode>(sv, dv, tint));
    }
    RowScalar<Format8888, Tinted, Mode>(d + i, s + i, n - i, t);
}

template <bool Tinted, int Mode>
__attribute__((target("sse4.1"))) void RowCall8888Sse41(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    if constexpr (Tinted && Mode == kOver) {
        const TintedOverConstants4 k = MakeTintedOverConstants4(t);
        t.a == 255 ? TintedOverRowSse41<false>(d, s, n, t, k) : TintedOverRowSse41<true>(d, s, n, t, k);
    } else {
        Row8888Sse41<Tinted, Mode>(d, s, n, t);
    }
}
#endif

// The same loops eight pixels at a time where the processor has AVX2 (checked once at run time).
#if QS_RASTER_AVX2

template <bool Tinted, int Mode>
__attribute__((target("avx2"))) inline __m256i Blend8(__m256i sv, __m256i dv, __m256i tint) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i slo = _mm256_unpacklo_epi8(sv, zero), shi = _mm256_unpackhi_epi8(sv, zero);
    if constexpr (Tinted) {
        slo = Div255x16(_mm256_mullo_epi16(slo, tint));
        shi = Div255x16(_mm256_mullo_epi16(shi, tint));
        sv = _mm256_packus_epi16(slo, shi);
    }
    if constexpr (Mode == kAdd) {
        return _mm256_adds_epu8(sv, dv);
    } else {
        const __m256i c255 = _mm256_set1_epi16(255);
        __m256i alo = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(slo, 0xFF), 0xFF);
        __m256i ahi = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(shi, 0xFF), 0xFF);
        __m256i dlo = _mm256_unpacklo_epi8(dv, zero), dhi = _mm256_unpackhi_epi8(dv, zero);
        dlo = Div255x16(_mm256_mullo_epi16(dlo, _mm256_sub_epi16(c255, alo)));
        dhi = Div255x16(_mm256_mullo_epi16(dhi, _mm256_sub_epi16(c255, ahi)));
        return _mm256_add_epi8(sv, _mm256_packus_epi16(dlo, dhi));
    }
}

// Constants of a tinted blit over the target, made once per blit (per row on 16-bit targets) and
// pinned: left alone, the compiler rebuilds the broadcasts inside the group loop, a third more
// instructions.
struct TintedOverConstants {
    __m256i tint, alphaMask, half, scale, all255, lowPixels, highPixels;
    __m256i weights, bias, signBit;  // opaque groups under a translucent tint, see TintedOpaque8
    __m256i roundTint, roundAlpha;    // kRoundingMultipliers of the tint's channels and of its alpha
};

__attribute__((target("avx2"), always_inline)) inline __m256i Pinned(__m256i v) {
    asm("" : "+x"(v));
    return v;
}

__attribute__((target("avx2"), always_inline)) inline TintedOverConstants MakeTintedOverConstants(const Tint& t) {
    TintedOverConstants k;
    __m256i tint = _mm256_broadcastsi128_si256(TintVector(t));
    k.tint = Pinned(tint);
    // Byte pairs (tint channel, 255 - tint alpha) and the sum's offset from signed texels and targets.
    __m256i rest = _mm256_set1_epi16(short(255 - t.a));
    k.weights = Pinned(_mm256_or_si256(tint, _mm256_slli_epi16(rest, 8)));
    k.bias = Pinned(_mm256_add_epi16(_mm256_slli_epi16(_mm256_add_epi16(tint, rest), 7), _mm256_set1_epi16(128)));
    k.signBit = Pinned(_mm256_set1_epi8(char(0x80)));
    auto m = [](uint32_t value) { return kRoundingMultipliers[value & 0xFF]; };
    k.roundTint = Pinned(_mm256_setr_epi16(m(t.b), m(t.g), m(t.r), m(t.a), m(t.b), m(t.g), m(t.r), m(t.a), m(t.b), m(t.g),
                                           m(t.r), m(t.a), m(t.b), m(t.g), m(t.r), m(t.a)));
    k.roundAlpha = Pinned(_mm256_set1_epi32(m(t.a)));
    k.alphaMask = Pinned(_mm256_set1_epi32(int(0xFF000000u)));
    k.half = Pinned(_mm256_set1_epi16(128));
    k.scale = Pinned(_mm256_set1_epi16(257));
    k.all255 = Pinned(_mm256_set1_epi32(255));
    k.lowPixels = Pinned(_mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1, 0, -1, 0, -1, 0, -1, 0,
                                          -1, 4, -1, 4, -1, 4, -1, 4, -1));
    k.highPixels = Pinned(_mm256_setr_epi8(8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1, 8, -1, 8, -1, 8,
                                           -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1));
    return k;
}

__attribute__((target("avx2"), always_inline)) inline __m256i Div255x16(__m256i x, const TintedOverConstants& k) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, k.half), k.scale);
}

// Eight tinted texels over the target with one rounding per channel: texel times tint plus target
// times what the tinted alpha leaves are summed before dividing by 255. For premultiplied texels
// and tint the sum stays below 65408, where Div255x16 is exact; the target's share is broadcast
// from each pixel's alpha with one byte shuffle per half instead of two word shuffles.
template <bool TranslucentTint>
__attribute__((target("avx2"), always_inline)) inline __m256i TintedOver8(__m256i sv, __m256i dv,
                                                                         const TintedOverConstants& k) {
    const __m256i zero = _mm256_setzero_si256();
    // Alpha times tint alpha in the low word of each pixel (the high word stays 0).
    __m256i alpha = _mm256_srli_epi32(sv, 24);
    if constexpr (TranslucentTint) alpha = _mm256_mulhrs_epi16(alpha, k.roundAlpha);
    __m256i rest = _mm256_sub_epi32(k.all255, alpha);
    __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sv, zero), k.tint),
                                  _mm256_mullo_epi16(_mm256_unpacklo_epi8(dv, zero), _mm256_shuffle_epi8(rest, k.lowPixels)));
    __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sv, zero), k.tint),
                                  _mm256_mullo_epi16(_mm256_unpackhi_epi8(dv, zero), _mm256_shuffle_epi8(rest, k.highPixels)));
    return _mm256_packus_epi16(Div255x16(lo, k), Div255x16(hi, k));
}

// Eight opaque texels under a translucent tint: each channel is c * t + d * (255 - tint alpha),
// divided by 255 with one rounding. Texel and target bytes less 128 are signed, so one multiply-add
// of byte pairs gives the sum less 128 * (t + 255 - tint alpha), which stays inside 16 signed
// bits because a premultiplied tint channel is at most the tint alpha; `bias` adds it back.
__attribute__((target("avx2"), always_inline)) inline __m256i TintedOpaque8(__m256i sv, __m256i dv,
                                                                           const TintedOverConstants& k) {
    sv = _mm256_xor_si256(sv, k.signBit);
    dv = _mm256_xor_si256(dv, k.signBit);
    __m256i lo = _mm256_add_epi16(_mm256_maddubs_epi16(k.weights, _mm256_unpacklo_epi8(sv, dv)), k.bias);
    __m256i hi = _mm256_add_epi16(_mm256_maddubs_epi16(k.weights, _mm256_unpackhi_epi8(sv, dv)), k.bias);
    return _mm256_packus_epi16(_mm256_mulhi_epu16(lo, k.scale), _mm256_mulhi_epu16(hi, k.scale));
}

// A tinted row over the target. Under an opaque tint, opaque groups stay opaque and are stored
// tinted; under a translucent one they blend with the tint's own alpha, one rounding per channel.
template <bool TranslucentTint>
__attribute__((target("avx2"), always_inline)) inline void TintedOverRowAvx2(uint32_t* d, const uint32_t* s, int n,
                                                                            const TintedOverConstants& k) {
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        // One test of the alpha bytes tells both: all clear (ZF) and all opaque (CF).
        if (_mm256_testz_si256(sv, k.alphaMask)) continue;
        if (_mm256_testc_si256(sv, k.alphaMask)) {
            if constexpr (TranslucentTint) {
                __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), TintedOpaque8(sv, dv, k));
            } else {
                const __m256i zero = _mm256_setzero_si256();
                __m256i lo = _mm256_mulhrs_epi16(_mm256_unpacklo_epi8(sv, zero), k.roundTint);
                __m256i hi = _mm256_mulhrs_epi16(_mm256_unpackhi_epi8(sv, zero), k.roundTint);
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(lo, hi));
            }
            continue;
        }
        __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), TintedOver8<TranslucentTint>(sv, dv, k));
    }
    if (i < n) {
        __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        __m256i sv = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), mask);
        __m256i alpha = _mm256_and_si256(sv, k.alphaMask);
        if (!_mm256_testz_si256(alpha, alpha)) {
            __m256i dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), mask);
            _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), mask, TintedOver8<TranslucentTint>(sv, dv, k));
        }
    }
}

template <bool Tinted, int Mode>
__attribute__((target("avx2"), always_inline)) inline void Row8888Avx2(uint32_t* d, const uint32_t* s, int n,
                                                                       const Tint& t) {
    // Tinted rows over the target take TintedOverRowAvx2.
    static_assert(!(Tinted && Mode == kOver));
    const __m256i tint = _mm256_broadcastsi128_si256(TintVector(t));
    const __m256i alphaMask = _mm256_set1_epi32(int(0xFF000000u));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        if constexpr (Mode == kAdd) {
            __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), Blend8<Tinted, Mode>(sv, dv, tint));
            continue;
        }
        // One test of the alpha bytes tells both: all clear (ZF) and all opaque (CF).
        if (_mm256_testz_si256(sv, alphaMask)) continue;
        if (Mode == kOver && _mm256_testc_si256(sv, alphaMask)) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), sv);
            continue;
        }
        __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), Blend8<Tinted, Mode>(sv, dv, tint));
    }
    if (i < n) {
        // The last few pixels as one masked group: lanes past the row are neither read nor written.
        __m256i mask = _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        __m256i sv = _mm256_maskload_epi32(reinterpret_cast<const int*>(s + i), mask);
        __m256i alpha = _mm256_and_si256(sv, alphaMask);
        if (!_mm256_testz_si256(alpha, alpha)) {
            __m256i dv = _mm256_maskload_epi32(reinterpret_cast<const int*>(d + i), mask);
            _mm256_maskstore_epi32(reinterpret_cast<int*>(d + i), mask, Blend8<Tinted, Mode>(sv, dv, tint));
        }
    }
}

#endif

// One constant premultiplied colour over (or added onto) a row.
template <int Mode>
void FillRow8888(uint32_t* d, uint32_t src, int n) {
    const __m128i sv = _mm_set1_epi32(int(src));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), Blend4<false, Mode>(sv, dv, sv));
    }
    for (; i < n; ++i) d[i] = Mode == kOver ? Over(src, d[i]) : AddSaturate(src, d[i]);
}
#else
template <bool Tinted, int Mode>
void Row8888(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    RowScalar<Format8888, Tinted, Mode>(d, s, n, t);
}
template <int Mode>
void FillRow8888(uint32_t* d, uint32_t src, int n) {
    for (int i = 0; i < n; ++i) d[i] = Mode == kOver ? Over(src, d[i]) : AddSaturate(src, d[i]);
}
#endif

// The stretch of target row `ty` a blit at (x, y) covers: between the first and last visible
// texel of the sprite row, or its whole width when adding (adding a clear texel changes nothing,
// and full groups of eight beat a ragged start and end). False when nothing shows.
struct BlitRow {
    int x0, n;
    const uint32_t* source;
    bool opaque;  // one opaque run covers the stretch
};

template <int Mode>
inline bool BlitRowAt(const RasterTexture& tex, int x, int y, int ty, const ClipBox& clip, BlitRow& row) {
    int sy = ty - y;
    int first = 0, last = tex.width;
    row.opaque = false;
    if (tex.runs) {
        uint32_t a = tex.rowRuns[sy], b = tex.rowRuns[sy + 1];
        if (a == b) return false;
        if (Mode != kAdd) {
            first = int((tex.runs[a] >> 15) & 0x7FFF);
            last = int(((tex.runs[b - 1] >> 15) & 0x7FFF) + (tex.runs[b - 1] & 0x7FFF));
        }
        row.opaque = b - a == 1 && (tex.runs[a] >> 30) == SoftwareRasterizer::kRunOpaque;
    }
    long long dx0 = std::max<long long>((long long)x + first, clip.x0);
    long long dx1 = std::min<long long>((long long)x + last, clip.x1);
    if (dx0 >= dx1) return false;
    row.x0 = int(dx0);
    row.n = int(dx1 - dx0);
    row.source = tex.pixels + std::ptrdiff_t(sy) * tex.width + (dx0 - x);
    return true;
}

#if QS_RASTER_AVX2
template <bool Tinted, int Mode>
__attribute__((target("avx2"))) void RowCall8888Avx2(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
    if constexpr (Tinted && Mode == kOver) {
        const TintedOverConstants k = MakeTintedOverConstants(t);
        t.a == 255 ? TintedOverRowAvx2<false>(d, s, n, k) : TintedOverRowAvx2<true>(d, s, n, k);
    } else {
        Row8888Avx2<Tinted, Mode>(d, s, n, t);
    }
}

// All rows of a 32-bit blit in one function, so that small sprites pay no call per row. Aligned
// so that where the linker happens to place it does not move the cost of a blit by 5%.
template <bool Tinted, int Mode>
__attribute__((target("avx2"), aligned(64))) void BlitRows8888Avx2(const RasterTarget& target, const RasterTexture& tex, int x,
                                                      int y, int y0, int y1, const ClipBox& clip, const Tint& t) {
    BlitRow row;
    if constexpr (Tinted && Mode == kOver) {
        const TintedOverConstants k = MakeTintedOverConstants(t);
        if (t.a == 255) {
            for (int ty = y0; ty < y1; ++ty) {
                if (BlitRowAt<Mode>(tex, x, y, ty, clip, row))
                    TintedOverRowAvx2<false>(RowAt<Format8888>(target, row.x0, ty), row.source, row.n, k);
            }
        } else {
            for (int ty = y0; ty < y1; ++ty) {
                if (BlitRowAt<Mode>(tex, x, y, ty, clip, row))
                    TintedOverRowAvx2<true>(RowAt<Format8888>(target, row.x0, ty), row.source, row.n, k);
            }
        }
    } else {
        for (int ty = y0; ty < y1; ++ty) {
            if (BlitRowAt<Mode>(tex, x, y, ty, clip, row))
                Row8888Avx2<Tinted, Mode>(RowAt<Format8888>(target, row.x0, ty), row.source, row.n, t);
        }
    }
}
#endif

#if QS_RASTER_SSE41
// All rows of a 32-bit blit with the SSE4.1 loops, the tint's constants made once.
template <bool Tinted, int Mode>
__attribute__((target("sse4.1"))) void BlitRows8888Sse41(const RasterTarget& target, const RasterTexture& tex, int x,
                                                        int y, int y0, int y1, const ClipBox& clip, const Tint& t) {
    BlitRow row;
    if constexpr (Tinted && Mode == kOver) {
        const TintedOverConstants4 k = MakeTintedOverConstants4(t);
        for (int ty = y0; ty < y1; ++ty) {
            if (!BlitRowAt<Mode>(tex, x, y, ty, clip, row)) continue;
            uint32_t* d = RowAt<Format8888>(target, row.x0, ty);
            t.a == 255 ? TintedOverRowSse41<false>(d, row.source, row.n, t, k)
                       : TintedOverRowSse41<true>(d, row.source, row.n, t, k);
        }
    } else {
        for (int ty = y0; ty < y1; ++ty) {
            if (BlitRowAt<Mode>(tex, x, y, ty, clip, row))
                Row8888Sse41<Tinted, Mode>(RowAt<Format8888>(target, row.x0, ty), row.source, row.n, t);
        }
    }
}
#endif

#if QS_RASTER_SSE2
// One row of a sprite onto 32-bit pixels, with the widest loops the processor has.
template <bool Tinted, int Mode>
void BlendRow32(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
#if QS_RASTER_AVX2
    if (UseAvx2()) {
        RowCall8888Avx2<Tinted, Mode>(d, s, n, t);
        return;
    }
#endif
#if QS_RASTER_SSE41
    if (UseSse41()) {
        RowCall8888Sse41<Tinted, Mode>(d, s, n, t);
        return;
    }
#endif
    if constexpr (Mode == kAdd) Row8888<Tinted, kAdd>(d, s, n, t);
    else OverRowClassified8888<Tinted>(d, s, n, t);
}
#endif

template <class F>
void CopyRow(typename F::Pixel* d, const uint32_t* s, int n) {
    if constexpr (sizeof(typename F::Pixel) == 4) {
        std::memcpy(d, s, size_t(n) * 4);
    } else {
        RowScalar<F, false, kCopy>(d, s, n, Tint{});
    }
}

template <class F, bool Tinted, int Mode>
void BlendRow(typename F::Pixel* d, const uint32_t* s, int n, const Tint& t) {
    if constexpr (sizeof(typename F::Pixel) == 4) {
        Row8888<Tinted, Mode>(d, s, n, t);
    } else {
        RowScalar<F, Tinted, Mode>(d, s, n, t);
    }
}

template <class F, bool Tinted, int Mode>
void Blit(const RasterTarget& target, const RasterTexture& tex, int x, int y, const Tint& t) {
    ClipBox clip = ClipOf(target);
    int y0 = std::max(clip.y0, y), y1 = std::min<long long>(clip.y1, (long long)y + tex.height);
#if QS_RASTER_SSE2
    // Rows take the classified whole-row loops (16-bit rows through a 32-bit scanline).
#if QS_RASTER_AVX2
    if constexpr (sizeof(typename F::Pixel) == 4) {
        if (UseAvx2()) {
            BlitRows8888Avx2<Tinted, Mode>(target, tex, x, y, y0, y1, clip, t);
            return;
        }
    }
#endif
#if QS_RASTER_SSE41
    if constexpr (sizeof(typename F::Pixel) == 4) {
        if (UseSse41()) {
            BlitRows8888Sse41<Tinted, Mode>(target, tex, x, y, y0, y1, clip, t);
            return;
        }
    }
#endif
    alignas(32) uint32_t line[sizeof(typename F::Pixel) == 4 ? 1 : kScanlineChunk];
    BlitRow r;
    for (int ty = y0; ty < y1; ++ty) {
        if (!BlitRowAt<Mode>(tex, x, y, ty, clip, r)) continue;
        typename F::Pixel* d = RowAt<F>(target, r.x0, ty);
        const uint32_t* s = r.source;
        int n = r.n;
        if constexpr (sizeof(typename F::Pixel) == 4) {
            BlendRow32<Tinted, Mode>(d, s, n, t);
        } else {
            if (Mode == kOver && !Tinted && r.opaque) {
                Narrow<F>(s, d, n);
                continue;
            }
            for (int k = 0; k < n; k += kScanlineChunk) {
                int m = std::min(kScanlineChunk, n - k);
                Widen<F>(d + k, line, m);
                BlendRow32<Tinted, Mode>(line, s + k, m, t);
                Narrow<F>(line, d + k, m);
            }
        }
    }
    return;
#endif
    for (int ty = y0; ty < y1; ++ty) {
        int sy = ty - y;
        const uint32_t* srcRow = tex.pixels + std::ptrdiff_t(sy) * tex.width;
        typename F::Pixel* dstRow = RowAt<F>(target, 0, ty);
        uint32_t wholeRow = uint32_t(SoftwareRasterizer::kRunTranslucent) << 30 | uint32_t(tex.width);
        const uint32_t* run = tex.runs ? tex.runs + tex.rowRuns[sy] : &wholeRow;
        const uint32_t* runEnd = tex.runs ? tex.runs + tex.rowRuns[sy + 1] : &wholeRow + 1;
        for (; run < runEnd; ++run) {
            uint32_t kind = *run >> 30;
            int start = int((*run >> 15) & 0x7FFF), length = int(*run & 0x7FFF);
            long long dx0 = (long long)x + start, dx1 = dx0 + length;
            if (dx0 < clip.x0) dx0 = clip.x0;
            if (dx1 > clip.x1) dx1 = clip.x1;
            if (dx0 >= dx1 || kind == SoftwareRasterizer::kRunClear) continue;
            const uint32_t* s = srcRow + (dx0 - x);
            int n = int(dx1 - dx0);
            if (Mode == kOver && !Tinted && kind == SoftwareRasterizer::kRunOpaque) {
                CopyRow<F>(dstRow + dx0, s, n);
            } else {
                BlendRow<F, Tinted, Mode>(dstRow + dx0, s, n, t);
            }
        }
    }
}

template <class F>
void BlitFormat(const RasterTarget& target, const RasterTexture& tex, int x, int y, uint32_t tint, bool additive) {
    Tint t = MakeTint(tint);
    bool tinted = tint != 0xFFFFFFFFu;
    if (additive) {
        tinted ? Blit<F, true, kAdd>(target, tex, x, y, t) : Blit<F, false, kAdd>(target, tex, x, y, t);
    } else {
        tinted ? Blit<F, true, kOver>(target, tex, x, y, t) : Blit<F, false, kOver>(target, tex, x, y, t);
    }
}

template <class F>
void FillFormat(const RasterTarget& target, const ClipBox& r, uint32_t premultiplied, bool additive) {
    for (int y = r.y0; y < r.y1; ++y) {
        typename F::Pixel* d = RowAt<F>(target, r.x0, y);
        int n = r.x1 - r.x0;
        if (!additive && (premultiplied >> 24) == 255) {
            typename F::Pixel value = typename F::Pixel(F::Store(premultiplied));
            int i = 0;
#if QS_RASTER_SSE2
            // Sixteen bytes per store: the frame clear alone is a third of a megabyte or more.
            const __m128i wide = sizeof(value) == 4 ? _mm_set1_epi32(int(value)) : _mm_set1_epi16(short(value));
            constexpr int kPerStore = 16 / int(sizeof(value));
            for (; i + kPerStore <= n; i += kPerStore) _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), wide);
#endif
            std::fill(d + i, d + n, value);
        } else if constexpr (sizeof(typename F::Pixel) == 4) {
            additive ? FillRow8888<kAdd>(d, premultiplied, n) : FillRow8888<kOver>(d, premultiplied, n);
        } else {
            for (int i = 0; i < n; ++i) {
                uint32_t dst = F::Load(d[i]);
                d[i] = F::Store(additive ? AddSaturate(premultiplied, dst) : Over(premultiplied, dst));
            }
        }
    }
}

}  // namespace

void SoftwareRasterizer::BlitSprite(const RasterTarget& target, const RasterTexture& texture, int x, int y,
                                    uint32_t tint, bool additive) {
    if (!target.pixels || !texture.pixels || texture.width <= 0 || texture.height <= 0) return;
    if ((tint >> 24) == 0) return;
    switch (target.format) {
        case PixelFormat::kArgb8888: BlitFormat<Format8888>(target, texture, x, y, tint, additive); break;
        case PixelFormat::kRgb565: BlitFormat<Format565>(target, texture, x, y, tint, additive); break;
        case PixelFormat::kRgb555: BlitFormat<Format555>(target, texture, x, y, tint, additive); break;
        case PixelFormat::kUnknown: break;
    }
}

void SoftwareRasterizer::FillRect(const RasterTarget& target, int x0, int y0, int x1, int y1, uint32_t argb,
                                  bool additive) {
    if (!target.pixels || (argb >> 24) == 0) return;
    ClipBox c = ClipOf(target);
    ClipBox r{std::max(c.x0, x0), std::max(c.y0, y0), std::min(c.x1, x1), std::min(c.y1, y1)};
    if (r.x0 >= r.x1 || r.y0 >= r.y1) return;
    uint32_t p = Premultiply(argb);
    switch (target.format) {
        case PixelFormat::kArgb8888: FillFormat<Format8888>(target, r, p, additive); break;
        case PixelFormat::kRgb565: FillFormat<Format565>(target, r, p, additive); break;
        case PixelFormat::kRgb555: FillFormat<Format555>(target, r, p, additive); break;
        case PixelFormat::kUnknown: break;
    }
}
