// The pixel row routines through which all bitmap drawing goes, and the choice of their vector kernels.
//
// Plain copies are block copies. The masked and blended rows go to the kernels of the instruction set in
// use; the scaled and rotated variants first collect the sampled source words of the row into a small
// buffer (an index computation and a load per pixel) and then hand that buffer to the same kernels.
// Every path gives the same words as the plain versions in ZLineRoutinesImpl.h.
#include "ZLineRoutinesImpl.h"

namespace
    {
    using ZLineImpl::TIsa;
    using ZLineImpl::TKernels;

    // Scalar kernels: the plain versions behind the kernel signatures.
    void ScalarMaskedLine(const TUint16* aSource, TUint16* aTarget, TInt aCount)
        {
        for (TInt i = 0; i < aCount; i++)
            if (aSource[i] != ZLine::KColourKey)
                aTarget[i] = aSource[i];
        }

    void ScalarBlendLine(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount)
        {
        for (TInt i = 0; i < aCount; i++)
            aTarget[i] = ZLineRef::Blend(aSource[i], aTarget[i], aBlend);
        }

    void ScalarBlendLineMasked(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount)
        {
        for (TInt i = 0; i < aCount; i++)
            if (aSource[i] != ZLine::KColourKey)
                aTarget[i] = ZLineRef::Blend(aSource[i], aTarget[i], aBlend);
        }

    const TKernels KScalarKernels = {&ScalarMaskedLine, &ScalarBlendLine, &ScalarBlendLineMasked};

    const TKernels* KernelsOf(TIsa aIsa)
        {
        switch (aIsa)
            {
        case ZLineImpl::EIsaScalar:
            return &KScalarKernels;
        case ZLineImpl::EIsaSse2:
            return ZLineImpl::Sse2Kernels();
        case ZLineImpl::EIsaAvx2:
            return ZLineImpl::Avx2Kernels();
        case ZLineImpl::EIsaAvx512:
            return ZLineImpl::Avx512Kernels();
        default:
            return nullptr;
            }
        }

    TBool ProcessorHas(TIsa aIsa)
        {
        switch (aIsa)
            {
        case ZLineImpl::EIsaScalar:
            return ETrue;
#if defined(__x86_64__)
        case ZLineImpl::EIsaSse2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("sse2") != 0;
        case ZLineImpl::EIsaAvx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2") != 0;
        case ZLineImpl::EIsaAvx512:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512bw") != 0;
#endif
        default:
            return EFalse;
            }
        }

    TIsa BestIsa()
        {
        for (TInt i = ZLineImpl::EIsaCount - 1; i > ZLineImpl::EIsaScalar; i--)
            if (ZLineImpl::IsaAvailable(static_cast<TIsa>(i)))
                return static_cast<TIsa>(i);
        return ZLineImpl::EIsaScalar;
        }

    // The instruction set in use and its kernels. They start as the scalar set, which is correct
    // everywhere, so that a call made before the start-up choice below is still exact.
    TIsa gIsa = ZLineImpl::EIsaScalar;
    const TKernels* gKernels = &KScalarKernels;

    struct TStartUpChoice
        {
        TStartUpChoice() { ZLineImpl::UseBestIsa(); }
        };
    const TStartUpChoice KStartUpChoice;

    // Weights outside 0..16 are caller errors; such rows take the plain path so that their words are still
    // exactly those of the 32-bit blend arithmetic.
    inline TBool WeightInRange(TInt aBlend)
        {
        return static_cast<TUint32>(aBlend) <= static_cast<TUint32>(ZLine::KMaxWeight);
        }

    // Buffer for the sampled words of one row; the count field limits a row to 1023 pixels.
    typedef TUint16 TRowBuffer[ZLine::KMaxCount + 1];

    inline void GatherScaled(const TUint16* aSource, TUint16* aBuffer, TInt aCount, TUint32 aPos, TUint32 aDX)
        {
        for (TInt i = 0; i < aCount; i++, aPos += aDX)
            aBuffer[i] = aSource[ZLine::ScaledIndex(aPos)];
        }

    // True when aStart + i * aStep stays within 0..KMaxTInt for every i < aCount: the values run straight from
    // the start to the end point without wrapping, so checking both ends covers all of them.
    inline TBool NonNegativeSpan(TInt aStart, TInt aStep, TInt aCount)
        {
        const TInt64 end = static_cast<TInt64>(aStart) + static_cast<TInt64>(aStep) * (aCount - 1);
        return aStart >= 0 && end >= 0 && end <= 0x7FFFFFFF;
        }

    inline void GatherRotated(const TUint16* aSource, TUint16* aBuffer, TInt aCount, TInt aProjX, TInt aProjY,
                              TInt aDX, TInt aDY, TInt aStride)
        {
        if (NonNegativeSpan(aProjX, aDX, aCount) && NonNegativeSpan(aProjY, aDY, aCount))
            {
            // Truncation of non-negative coordinates is a plain shift.
            TUint32 x = static_cast<TUint32>(aProjX);
            TUint32 y = static_cast<TUint32>(aProjY);
            const size_t stride = static_cast<size_t>(aStride);
            for (TInt i = 0; i < aCount; i++)
                {
                aBuffer[i] = aSource[static_cast<size_t>(y >> 14) * stride + (x >> 14)];
                x += static_cast<TUint32>(aDX);
                y += static_cast<TUint32>(aDY);
                }
            return;
            }
        for (TInt i = 0; i < aCount; i++)
            {
            aBuffer[i] = aSource[ZLine::RotatedIndex(aProjX, aProjY, aStride)];
            aProjX = ZLine::Step(aProjX, aDX);
            aProjY = ZLine::Step(aProjY, aDY);
            }
        }
    }

namespace ZLineImpl
    {
    const TKernels* ScalarKernels()
        {
        return &KScalarKernels;
        }

    TBool IsaAvailable(TIsa aIsa)
        {
        return KernelsOf(aIsa) != nullptr && ProcessorHas(aIsa);
        }

    TIsa CurrentIsa()
        {
        return gIsa;
        }

    TBool ForceIsa(TIsa aIsa)
        {
        if (!IsaAvailable(aIsa))
            return EFalse;
        gKernels = KernelsOf(aIsa);
        gIsa = aIsa;
        return ETrue;
        }

    void UseBestIsa()
        {
        ForceIsa(BestIsa());
        }

    const char* IsaName(TIsa aIsa)
        {
        switch (aIsa)
            {
        case EIsaScalar:
            return "scalar";
        case EIsaSse2:
            return "sse2";
        case EIsaAvx2:
            return "avx2";
        case EIsaAvx512:
            return "avx512";
        default:
            return "unknown";
            }
        }
    }

void WordCopy(TUint32* aSource, TUint32* aTarget, TInt aCount)
    {
    if (aCount > 0)
        std::memmove(aTarget, aSource, static_cast<size_t>(aCount) * sizeof(TUint32));
    }

void BlendIt(TUint16* aBitmap, TUint16* aBg, TInt aBlend)
    {
    ZLineRef::BlendIt(aBitmap, aBg, aBlend);
    }

void BlendItMasked(TUint16* aBitmap, TUint16* aBg, TInt aBlend)
    {
    ZLineRef::BlendItMasked(aBitmap, aBg, aBlend);
    }

void CopyLine(TUint16* aSource, TUint16* aTarget, TInt aCount)
    {
    if (aCount > 0)
        std::memmove(aTarget, aSource, static_cast<size_t>(aCount) * sizeof(TUint16));
    }

void MaskedLine(TUint16* aSource, TUint16* aTarget, TInt aCount)
    {
    if (aCount > 0)
        gKernels->iMaskedLine(aSource, aTarget, aCount);
    }

void BlendLine(TUint16* aBitmap, TUint16* aBg, TInt aBlend, TInt aCount)
    {
    if (aCount <= 0)
        return;
    if (WeightInRange(aBlend))
        gKernels->iBlendLine(aBitmap, aBg, aBlend, aCount);
    else
        ZLineRef::BlendLine(aBitmap, aBg, aBlend, aCount);
    }

void BlendLineMasked(TUint16* aBitmap, TUint16* aBg, TInt aBlend, TInt aCount)
    {
    if (aCount <= 0)
        return;
    if (WeightInRange(aBlend))
        gKernels->iBlendLineMasked(aBitmap, aBg, aBlend, aCount);
    else
        ZLineRef::BlendLineMasked(aBitmap, aBg, aBlend, aCount);
    }

void ScaledLine(TUint16* aSource, TUint16* aTarget, TInt aCountS, TInt aDX)
    {
    ZLineRef::ScaledLine(aSource, aTarget, aCountS, aDX);
    }

void ScaledMaskedLine(TUint16* aSource, TUint16* aTarget, TInt aCountS, TInt aDX)
    {
    const TInt count = ZLine::Count(aCountS);
    if (gIsa == ZLineImpl::EIsaScalar || count == 0)
        {
        ZLineRef::ScaledMaskedLine(aSource, aTarget, aCountS, aDX);
        return;
        }
    TRowBuffer row;
    const TUint32 dx = static_cast<TUint32>(aDX);
    GatherScaled(aSource, row, count, ZLine::ScaledSkip(aCountS) * dx, dx);
    gKernels->iMaskedLine(row, aTarget, count);
    }

void ScaledBlendLine(TUint16* aSource, TUint16* aTarget, TInt aCountSBlend, TInt aDX)
    {
    const TInt count = ZLine::Count(aCountSBlend);
    const TInt b = ZLine::ScaledBlendWeight(aCountSBlend);
    if (gIsa == ZLineImpl::EIsaScalar || count == 0 || !WeightInRange(b))
        {
        ZLineRef::ScaledBlendLine(aSource, aTarget, aCountSBlend, aDX);
        return;
        }
    TRowBuffer row;
    const TUint32 dx = static_cast<TUint32>(aDX);
    GatherScaled(aSource, row, count, ZLine::ScaledBlendSkip(aCountSBlend) * dx, dx);
    gKernels->iBlendLine(row, aTarget, b, count);
    }

void ScaledMaskedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aCountSBlend, TInt aDX)
    {
    const TInt count = ZLine::Count(aCountSBlend);
    const TInt b = ZLine::ScaledBlendWeight(aCountSBlend);
    if (gIsa == ZLineImpl::EIsaScalar || count == 0 || !WeightInRange(b))
        {
        ZLineRef::ScaledMaskedBlendLine(aSource, aTarget, aCountSBlend, aDX);
        return;
        }
    TRowBuffer row;
    const TUint32 dx = static_cast<TUint32>(aDX);
    GatherScaled(aSource, row, count, ZLine::ScaledBlendSkip(aCountSBlend) * dx, dx);
    gKernels->iBlendLineMasked(row, aTarget, b, count);
    }

void RotatedLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY, TInt aCountWdBlend)
    {
    GatherRotated(aSource, aTarget, ZLine::Count(aCountWdBlend), aProjX, aProjY, aDX, aDY,
                  ZLine::RotatedStride(aCountWdBlend));
    }

void RotatedMaskedLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY,
                       TInt aCountWdBlend)
    {
    const TInt count = ZLine::Count(aCountWdBlend);
    if (gIsa == ZLineImpl::EIsaScalar || count == 0)
        {
        ZLineRef::RotatedMaskedLine(aSource, aTarget, aProjX, aProjY, aDX, aDY, aCountWdBlend);
        return;
        }
    TRowBuffer row;
    GatherRotated(aSource, row, count, aProjX, aProjY, aDX, aDY, ZLine::RotatedStride(aCountWdBlend));
    gKernels->iMaskedLine(row, aTarget, count);
    }

void RotatedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY,
                      TInt aCountWdBlend)
    {
    const TInt count = ZLine::Count(aCountWdBlend);
    const TInt b = ZLine::RotatedWeight(aCountWdBlend);
    if (gIsa == ZLineImpl::EIsaScalar || count == 0 || !WeightInRange(b))
        {
        ZLineRef::RotatedBlendLine(aSource, aTarget, aProjX, aProjY, aDX, aDY, aCountWdBlend);
        return;
        }
    TRowBuffer row;
    GatherRotated(aSource, row, count, aProjX, aProjY, aDX, aDY, ZLine::RotatedStride(aCountWdBlend));
    gKernels->iBlendLine(row, aTarget, b, count);
    }

void RotatedMaskedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY,
                            TInt aCountWdBlend)
    {
    const TInt count = ZLine::Count(aCountWdBlend);
    const TInt b = ZLine::RotatedWeight(aCountWdBlend);
    if (gIsa == ZLineImpl::EIsaScalar || count == 0 || !WeightInRange(b))
        {
        ZLineRef::RotatedMaskedBlendLine(aSource, aTarget, aProjX, aProjY, aDX, aDY, aCountWdBlend);
        return;
        }
    TRowBuffer row;
    GatherRotated(aSource, row, count, aProjX, aProjY, aDX, aDY, ZLine::RotatedStride(aCountWdBlend));
    gKernels->iBlendLineMasked(row, aTarget, b, count);
    }
