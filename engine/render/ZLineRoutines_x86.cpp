// Vector kernels of the row routines for x86: SSE2 (8 pixels per step), AVX2 (16) and AVX-512 BW (32).
//
// The blend works per channel in 16-bit lanes, in two groups: red and blue taken with the mask 0x0F0F, each
// in its own byte, and green taken in place with the mask 0x00F0. For a weight b of 0..16 every channel sum
// s*b + d*(16-b) is at most 15*16 = 240, so red and blue sums stay inside their bytes, with the quotient by 16
// in the upper nibble of each byte, and the green sum times 16 stays inside bits 4..11, with its quotient in
// bits 8..11. Taking the upper nibbles of the red/blue bytes and bits 8..11 of the green lane and shifting
// the word down by 4 gives floor((s*b + d*(16-b)) / 16) per channel with bits 12..15 clear: the same words as
// the 32-bit arithmetic of ZLineRef::Blend (the test program checks every colour pair and weight).
//
// The masked copy is branch-free (compare, select, store): with sprite rows, whose colour-key runs start
// and end anywhere, a branch per block of pixels mispredicts often enough to cost more than the select.
// AVX-512 selects with the compare mask; only the partial first and last steps of a row use masked loads
// and stores, which are slow on some processors when the data is not in the cache.
//
// The AVX2 and AVX-512 functions carry target attributes instead of the whole file being compiled for
// those sets, so no inline function shared with other files is ever emitted with their instructions.
#include "ZLineRoutinesImpl.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace
    {
    // ---- SSE2 ----

    struct TSse2Consts
        {
        __m128i iKey, iRedBlue, iGreen, iQuotients, iWeight, iInvWeight;
        };

    inline TSse2Consts Sse2Consts(TInt aBlend)
        {
        TSse2Consts c;
        c.iKey = _mm_set1_epi16(static_cast<short>(ZLine::KColourKey));
        c.iRedBlue = _mm_set1_epi16(0x0F0F);
        c.iGreen = _mm_set1_epi16(0x00F0);
        c.iQuotients = _mm_set1_epi16(static_cast<short>(0xF0F0));
        c.iWeight = _mm_set1_epi16(static_cast<short>(aBlend));
        c.iInvWeight = _mm_set1_epi16(static_cast<short>(16 - aBlend));
        return c;
        }

    inline __m128i Sse2Blend(__m128i aS, __m128i aD, const TSse2Consts& aC)
        {
        const __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(aS, aC.iRedBlue), aC.iWeight),
                                         _mm_mullo_epi16(_mm_and_si128(aD, aC.iRedBlue), aC.iInvWeight));
        const __m128i g = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(aS, aC.iGreen), aC.iWeight),
                                        _mm_mullo_epi16(_mm_and_si128(aD, aC.iGreen), aC.iInvWeight));
        // rb where the quotient mask is set, g elsewhere (g has nothing in bits 0..3).
        const __m128i merged = _mm_xor_si128(g, _mm_and_si128(_mm_xor_si128(rb, g), aC.iQuotients));
        return _mm_srli_epi16(merged, 4);
        }

    inline __m128i Sse2Load(const TUint16* aP)
        {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(aP));
        }

    inline void Sse2Store(TUint16* aP, __m128i aV)
        {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(aP), aV);
        }

    // Where the key mask is set take aKeep, elsewhere aNew.
    inline __m128i Sse2Select(__m128i aKeyMask, __m128i aKeep, __m128i aNew)
        {
        return _mm_or_si128(_mm_and_si128(aKeyMask, aKeep), _mm_andnot_si128(aKeyMask, aNew));
        }

    void Sse2MaskedLine(const TUint16* aSource, TUint16* aTarget, TInt aCount)
        {
        const __m128i key = _mm_set1_epi16(static_cast<short>(ZLine::KColourKey));
        TInt i = 0;
        for (; i + 8 <= aCount; i += 8)
            {
            const __m128i s = Sse2Load(aSource + i);
            Sse2Store(aTarget + i, Sse2Select(_mm_cmpeq_epi16(s, key), Sse2Load(aTarget + i), s));
            }
        for (; i < aCount; i++)
            if (aSource[i] != ZLine::KColourKey)
                aTarget[i] = aSource[i];
        }

    void Sse2BlendLine(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount)
        {
        const TSse2Consts c = Sse2Consts(aBlend);
        TInt i = 0;
        for (; i + 8 <= aCount; i += 8)
            Sse2Store(aTarget + i, Sse2Blend(Sse2Load(aSource + i), Sse2Load(aTarget + i), c));
        for (; i < aCount; i++)
            aTarget[i] = ZLineRef::Blend(aSource[i], aTarget[i], aBlend);
        }

    void Sse2BlendLineMasked(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount)
        {
        const TSse2Consts c = Sse2Consts(aBlend);
        TInt i = 0;
        for (; i + 8 <= aCount; i += 8)
            {
            const __m128i s = Sse2Load(aSource + i);
            const __m128i d = Sse2Load(aTarget + i);
            Sse2Store(aTarget + i, Sse2Select(_mm_cmpeq_epi16(s, c.iKey), d, Sse2Blend(s, d, c)));
            }
        for (; i < aCount; i++)
            if (aSource[i] != ZLine::KColourKey)
                aTarget[i] = ZLineRef::Blend(aSource[i], aTarget[i], aBlend);
        }

    const ZLineImpl::TKernels KSse2Kernels = {&Sse2MaskedLine, &Sse2BlendLine, &Sse2BlendLineMasked};

    // ---- AVX2 ----

#define ZLINE_AVX2 __attribute__((target("avx2")))

    struct TAvx2Consts
        {
        __m256i iKey, iRedBlue, iGreen, iQuotients, iWeight, iInvWeight;
        };

    ZLINE_AVX2 inline TAvx2Consts Avx2Consts(TInt aBlend)
        {
        TAvx2Consts c;
        c.iKey = _mm256_set1_epi16(static_cast<short>(ZLine::KColourKey));
        c.iRedBlue = _mm256_set1_epi16(0x0F0F);
        c.iGreen = _mm256_set1_epi16(0x00F0);
        c.iQuotients = _mm256_set1_epi16(static_cast<short>(0xF0F0));
        c.iWeight = _mm256_set1_epi16(static_cast<short>(aBlend));
        c.iInvWeight = _mm256_set1_epi16(static_cast<short>(16 - aBlend));
        return c;
        }

    ZLINE_AVX2 inline __m256i Avx2Blend(__m256i aS, __m256i aD, const TAvx2Consts& aC)
        {
        const __m256i rb = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(aS, aC.iRedBlue), aC.iWeight),
                                            _mm256_mullo_epi16(_mm256_and_si256(aD, aC.iRedBlue), aC.iInvWeight));
        const __m256i g = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(aS, aC.iGreen), aC.iWeight),
                                           _mm256_mullo_epi16(_mm256_and_si256(aD, aC.iGreen), aC.iInvWeight));
        const __m256i merged = _mm256_xor_si256(g, _mm256_and_si256(_mm256_xor_si256(rb, g), aC.iQuotients));
        return _mm256_srli_epi16(merged, 4);
        }

    ZLINE_AVX2 inline __m256i Avx2Load(const TUint16* aP)
        {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(aP));
        }

    ZLINE_AVX2 inline void Avx2Store(TUint16* aP, __m256i aV)
        {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(aP), aV);
        }

    ZLINE_AVX2 void Avx2MaskedLine(const TUint16* aSource, TUint16* aTarget, TInt aCount)
        {
        const __m256i key = _mm256_set1_epi16(static_cast<short>(ZLine::KColourKey));
        TInt i = 0;
        for (; i + 16 <= aCount; i += 16)
            {
            const __m256i s = Avx2Load(aSource + i);
            Avx2Store(aTarget + i, _mm256_blendv_epi8(s, Avx2Load(aTarget + i), _mm256_cmpeq_epi16(s, key)));
            }
        if (i < aCount)
            Sse2MaskedLine(aSource + i, aTarget + i, aCount - i);
        }

    ZLINE_AVX2 void Avx2BlendLine(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount)
        {
        const TAvx2Consts c = Avx2Consts(aBlend);
        TInt i = 0;
        for (; i + 16 <= aCount; i += 16)
            Avx2Store(aTarget + i, Avx2Blend(Avx2Load(aSource + i), Avx2Load(aTarget + i), c));
        if (i < aCount)
            Sse2BlendLine(aSource + i, aTarget + i, aBlend, aCount - i);
        }

    ZLINE_AVX2 void Avx2BlendLineMasked(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount)
        {
        const TAvx2Consts c = Avx2Consts(aBlend);
        TInt i = 0;
        for (; i + 16 <= aCount; i += 16)
            {
            const __m256i s = Avx2Load(aSource + i);
            const __m256i d = Avx2Load(aTarget + i);
            Avx2Store(aTarget + i, _mm256_blendv_epi8(Avx2Blend(s, d, c), d, _mm256_cmpeq_epi16(s, c.iKey)));
            }
        if (i < aCount)
            Sse2BlendLineMasked(aSource + i, aTarget + i, aBlend, aCount - i);
        }

#undef ZLINE_AVX2

    const ZLineImpl::TKernels KAvx2Kernels = {&Avx2MaskedLine, &Avx2BlendLine, &Avx2BlendLineMasked};

    // ---- AVX-512 BW ----
    // Rows end with one masked step instead of a scalar tail; lanes outside its mask are neither read nor
    // written.

#define ZLINE_AVX512 __attribute__((target("avx512f,avx512bw")))

    struct TAvx512Consts
        {
        __m512i iKey, iRedBlue, iGreen, iQuotients, iWeight, iInvWeight;
        };

    ZLINE_AVX512 inline TAvx512Consts Avx512Consts(TInt aBlend)
        {
        TAvx512Consts c;
        c.iKey = _mm512_set1_epi16(static_cast<short>(ZLine::KColourKey));
        c.iRedBlue = _mm512_set1_epi16(0x0F0F);
        c.iGreen = _mm512_set1_epi16(0x00F0);
        c.iQuotients = _mm512_set1_epi16(static_cast<short>(0xF0F0));
        c.iWeight = _mm512_set1_epi16(static_cast<short>(aBlend));
        c.iInvWeight = _mm512_set1_epi16(static_cast<short>(16 - aBlend));
        return c;
        }

    ZLINE_AVX512 inline __m512i Avx512Blend(__m512i aS, __m512i aD, const TAvx512Consts& aC)
        {
        const __m512i rb = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_and_si512(aS, aC.iRedBlue), aC.iWeight),
                                            _mm512_mullo_epi16(_mm512_and_si512(aD, aC.iRedBlue), aC.iInvWeight));
        const __m512i g = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_and_si512(aS, aC.iGreen), aC.iWeight),
                                           _mm512_mullo_epi16(_mm512_and_si512(aD, aC.iGreen), aC.iInvWeight));
        // Bitwise select: rb where the quotient mask is set, g elsewhere (truth table 0xCA: a ? b : c).
        return _mm512_srli_epi16(_mm512_ternarylogic_epi32(aC.iQuotients, rb, g, 0xCA), 4);
        }

    // Mask of the first aCount lanes (aCount 0..32).
    inline __mmask32 LaneMask(TInt aCount)
        {
        return aCount >= 32 ? static_cast<__mmask32>(0xFFFFFFFFu) : static_cast<__mmask32>((1u << aCount) - 1u);
        }

    // Pixels before the first 64-byte boundary of the target row, done in a masked first step so that the
    // full steps store whole cache lines (which matters when rows come from memory); 0 for short rows.
    inline TInt AlignedStart(const TUint16* aTarget, TInt aCount)
        {
        if (aCount <= 32)
            return 0;
        return static_cast<TInt>(((64u - (reinterpret_cast<uintptr_t>(aTarget) & 63u)) & 63u) / sizeof(TUint16));
        }

    ZLINE_AVX512 inline __m512i Avx512Load(const TUint16* aP)
        {
        return _mm512_loadu_si512(aP);
        }

    ZLINE_AVX512 inline void Avx512Store(TUint16* aP, __m512i aV)
        {
        _mm512_storeu_si512(aP, aV);
        }

    // Masked copy of aLanes lanes (a partial first or last step).
    ZLINE_AVX512 inline void Avx512MaskedPart(const TUint16* aSource, TUint16* aTarget, __mmask32 aLanes)
        {
        const __m512i s = _mm512_maskz_loadu_epi16(aLanes, aSource);
        const __m512i key = _mm512_set1_epi16(static_cast<short>(ZLine::KColourKey));
        _mm512_mask_storeu_epi16(aTarget, _mm512_mask_cmpneq_epi16_mask(aLanes, s, key), s);
        }

    ZLINE_AVX512 void Avx512MaskedLine(const TUint16* aSource, TUint16* aTarget, TInt aCount)
        {
        const __m512i key = _mm512_set1_epi16(static_cast<short>(ZLine::KColourKey));
        TInt i = AlignedStart(aTarget, aCount);
        if (i > 0)
            Avx512MaskedPart(aSource, aTarget, LaneMask(i));
        for (; i + 32 <= aCount; i += 32)
            {
            const __m512i s = Avx512Load(aSource + i);
            const __m512i d = Avx512Load(aTarget + i);
            Avx512Store(aTarget + i, _mm512_mask_blend_epi16(_mm512_cmpneq_epi16_mask(s, key), d, s));
            }
        if (i < aCount)
            Avx512MaskedPart(aSource + i, aTarget + i, LaneMask(aCount - i));
        }

    // Blend of aLanes lanes (a partial first or last step); key pixels are left alone when aMasked.
    ZLINE_AVX512 inline void Avx512BlendPart(const TUint16* aSource, TUint16* aTarget, __mmask32 aLanes,
                                             const TAvx512Consts& aC, TBool aMasked)
        {
        const __m512i s = _mm512_maskz_loadu_epi16(aLanes, aSource);
        const __m512i d = _mm512_maskz_loadu_epi16(aLanes, aTarget);
        const __mmask32 store = aMasked ? _mm512_mask_cmpneq_epi16_mask(aLanes, s, aC.iKey) : aLanes;
        _mm512_mask_storeu_epi16(aTarget, store, Avx512Blend(s, d, aC));
        }

    ZLINE_AVX512 void Avx512BlendLine(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount)
        {
        const TAvx512Consts c = Avx512Consts(aBlend);
        TInt i = AlignedStart(aTarget, aCount);
        if (i > 0)
            Avx512BlendPart(aSource, aTarget, LaneMask(i), c, EFalse);
        for (; i + 32 <= aCount; i += 32)
            Avx512Store(aTarget + i, Avx512Blend(Avx512Load(aSource + i), Avx512Load(aTarget + i), c));
        if (i < aCount)
            Avx512BlendPart(aSource + i, aTarget + i, LaneMask(aCount - i), c, EFalse);
        }

    ZLINE_AVX512 void Avx512BlendLineMasked(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount)
        {
        const TAvx512Consts c = Avx512Consts(aBlend);
        TInt i = AlignedStart(aTarget, aCount);
        if (i > 0)
            Avx512BlendPart(aSource, aTarget, LaneMask(i), c, ETrue);
        for (; i + 32 <= aCount; i += 32)
            {
            const __m512i s = Avx512Load(aSource + i);
            const __m512i d = Avx512Load(aTarget + i);
            const __mmask32 colour = _mm512_cmpneq_epi16_mask(s, c.iKey);
            Avx512Store(aTarget + i, _mm512_mask_blend_epi16(colour, d, Avx512Blend(s, d, c)));
            }
        if (i < aCount)
            Avx512BlendPart(aSource + i, aTarget + i, LaneMask(aCount - i), c, ETrue);
        }

#undef ZLINE_AVX512

    const ZLineImpl::TKernels KAvx512Kernels = {&Avx512MaskedLine, &Avx512BlendLine, &Avx512BlendLineMasked};
    }

namespace ZLineImpl
    {
    const TKernels* Sse2Kernels()
        {
        return &KSse2Kernels;
        }

    const TKernels* Avx2Kernels()
        {
        return &KAvx2Kernels;
        }

    const TKernels* Avx512Kernels()
        {
        return &KAvx512Kernels;
        }
    }

#else

namespace ZLineImpl
    {
    const TKernels* Sse2Kernels()
        {
        return nullptr;
        }

    const TKernels* Avx2Kernels()
        {
        return nullptr;
        }

    const TKernels* Avx512Kernels()
        {
        return nullptr;
        }
    }

#endif
