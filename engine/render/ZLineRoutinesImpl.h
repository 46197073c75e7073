// Internals of the pixel row routines: the plain scalar versions that define every result bit for bit
// (namespace ZLineRef), the vector kernels for x86 (SSE2 always, AVX2 and AVX-512 when the processor has them), the
// run-time choice among them, and a switch through which tests and benchmarks force one instruction set.
//
// Pixel words hold a 12-bit colour: red in bits 0..3, green in bits 4..7, blue in bits 8..11; bits 12..15
// carry no colour. The word 0x0FFF is the colour key of the masked routines.
//
// Rows passed to one call are either the same row or do not overlap; the copies (CopyLine, WordCopy) also
// accept overlapping rows and then copy as if through a temporary buffer.
#ifndef ZLINEROUTINESIMPL_H
#define ZLINEROUTINESIMPL_H

#include <cstdint>
#include <cstring>

// The fifteen row routines are declared in the engine's public header (C++ linkage, not
// exported from the library).
#include <Zolvane.h>

namespace ZLine
    {
    const TUint16 KColourKey = 0x0FFF;
    const TInt KMaxWeight = 16;          // blend weight in sixteenths of the source colour
    const TInt KMaxCount = 1023;         // pixels per row call: the width of the count field

    // Field decoding of the packed arguments. Every field is read as an unsigned bit field.
    inline TInt Count(TInt aPacked) { return static_cast<TInt>(static_cast<TUint32>(aPacked) & 0x3FFu); }
    inline TUint32 ScaledSkip(TInt aCountS) { return static_cast<TUint32>(aCountS) >> 10; }
    inline TUint32 ScaledBlendSkip(TInt aCountSBlend) { return (static_cast<TUint32>(aCountSBlend) >> 10) & 0x3FFFu; }
    inline TInt ScaledBlendWeight(TInt aCountSBlend) { return static_cast<TInt>(static_cast<TUint32>(aCountSBlend) >> 24); }
    inline TInt RotatedStride(TInt aCountWd) { return static_cast<TInt>((static_cast<TUint32>(aCountWd) >> 10) & 0xFFFFu); }
    inline TInt RotatedWeight(TInt aCountWdBlend) { return static_cast<TInt>(static_cast<TUint32>(aCountWdBlend) >> 26); }

    // Source index of scaled stepping: the upper half of the 16.16 position, as an unsigned 16-bit index.
    inline TUint32 ScaledIndex(TUint32 aPos) { return (aPos >> 16) & 0xFFFFu; }

    // Source index of rotated stepping: both coordinates have 14 fraction bits and are truncated toward zero.
    inline TInt64 RotatedIndex(TInt aProjX, TInt aProjY, TInt aStride)
        {
        return static_cast<TInt64>(aProjY / 16384) * aStride + aProjX / 16384;
        }

    // Coordinates step with 32-bit wrap-around, so that no input can overflow a signed addition.
    inline TInt Step(TInt aValue, TInt aDelta)
        {
        return static_cast<TInt>(static_cast<TUint32>(aValue) + static_cast<TUint32>(aDelta));
        }
    }

// The plain versions: one pixel at a time, exactly the arithmetic that defines each routine.
namespace ZLineRef
    {
    // Blend of source word aS over target word aD with weight aB (0..16). The three channels are spread
    // into separate bytes of one 32-bit word, so one pair of multiplications blends all of them.
    inline TUint16 Blend(TUint16 aS, TUint16 aD, TInt aB)
        {
        TUint32 s = aS;
        TUint32 d = aD;
        s = (s | (s << 16)) & 0x00F00F0Fu;
        d = (d | (d << 16)) & 0x00F00F0Fu;
        const TUint32 b = static_cast<TUint32>(aB);
        const TUint32 r = ((s * b + d * (16u - b)) >> 4) & 0x00F00F0Fu;
        return static_cast<TUint16>((r & 0xFFFFu) | (r >> 16));
        }

    // Overlapping rows copy as if through a temporary row: forwards when the target lies below the source.
    inline TBool CopyForwards(const void* aSource, const void* aTarget)
        {
        return reinterpret_cast<uintptr_t>(aTarget) <= reinterpret_cast<uintptr_t>(aSource);
        }

    inline void WordCopy(TUint32* aSource, TUint32* aTarget, TInt aCount)
        {
        if (aCount <= 0)
            return;
        if (CopyForwards(aSource, aTarget))
            for (TInt i = 0; i < aCount; i++)
                aTarget[i] = aSource[i];
        else
            for (TInt i = aCount - 1; i >= 0; i--)
                aTarget[i] = aSource[i];
        }

    inline void BlendIt(TUint16* aBitmap, TUint16* aBg, TInt aBlend)
        {
        *aBg = Blend(*aBitmap, *aBg, aBlend);
        }

    inline void BlendItMasked(TUint16* aBitmap, TUint16* aBg, TInt aBlend)
        {
        if (*aBitmap != ZLine::KColourKey)
            *aBg = Blend(*aBitmap, *aBg, aBlend);
        }

    inline void CopyLine(TUint16* aSource, TUint16* aTarget, TInt aCount)
        {
        if (aCount <= 0)
            return;
        if (CopyForwards(aSource, aTarget))
            for (TInt i = 0; i < aCount; i++)
                aTarget[i] = aSource[i];
        else
            for (TInt i = aCount - 1; i >= 0; i--)
                aTarget[i] = aSource[i];
        }

    inline void MaskedLine(TUint16* aSource, TUint16* aTarget, TInt aCount)
        {
        for (TInt i = 0; i < aCount; i++)
            if (aSource[i] != ZLine::KColourKey)
                aTarget[i] = aSource[i];
        }

    inline void BlendLine(TUint16* aBitmap, TUint16* aBg, TInt aBlend, TInt aCount)
        {
        for (TInt i = 0; i < aCount; i++)
            aBg[i] = Blend(aBitmap[i], aBg[i], aBlend);
        }

    inline void BlendLineMasked(TUint16* aBitmap, TUint16* aBg, TInt aBlend, TInt aCount)
        {
        for (TInt i = 0; i < aCount; i++)
            if (aBitmap[i] != ZLine::KColourKey)
                aBg[i] = Blend(aBitmap[i], aBg[i], aBlend);
        }

    inline void ScaledLine(TUint16* aSource, TUint16* aTarget, TInt aCountS, TInt aDX)
        {
        const TInt count = ZLine::Count(aCountS);
        const TUint32 dx = static_cast<TUint32>(aDX);
        TUint32 pos = ZLine::ScaledSkip(aCountS) * dx;
        for (TInt i = 0; i < count; i++, pos += dx)
            aTarget[i] = aSource[ZLine::ScaledIndex(pos)];
        }

    inline void ScaledMaskedLine(TUint16* aSource, TUint16* aTarget, TInt aCountS, TInt aDX)
        {
        const TInt count = ZLine::Count(aCountS);
        const TUint32 dx = static_cast<TUint32>(aDX);
        TUint32 pos = ZLine::ScaledSkip(aCountS) * dx;
        for (TInt i = 0; i < count; i++, pos += dx)
            {
            const TUint16 s = aSource[ZLine::ScaledIndex(pos)];
            if (s != ZLine::KColourKey)
                aTarget[i] = s;
            }
        }

    inline void ScaledBlendLine(TUint16* aSource, TUint16* aTarget, TInt aCountSBlend, TInt aDX)
        {
        const TInt count = ZLine::Count(aCountSBlend);
        const TInt b = ZLine::ScaledBlendWeight(aCountSBlend);
        const TUint32 dx = static_cast<TUint32>(aDX);
        TUint32 pos = ZLine::ScaledBlendSkip(aCountSBlend) * dx;
        for (TInt i = 0; i < count; i++, pos += dx)
            aTarget[i] = Blend(aSource[ZLine::ScaledIndex(pos)], aTarget[i], b);
        }

    inline void ScaledMaskedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aCountSBlend, TInt aDX)
        {
        const TInt count = ZLine::Count(aCountSBlend);
        const TInt b = ZLine::ScaledBlendWeight(aCountSBlend);
        const TUint32 dx = static_cast<TUint32>(aDX);
        TUint32 pos = ZLine::ScaledBlendSkip(aCountSBlend) * dx;
        for (TInt i = 0; i < count; i++, pos += dx)
            {
            const TUint16 s = aSource[ZLine::ScaledIndex(pos)];
            if (s != ZLine::KColourKey)
                aTarget[i] = Blend(s, aTarget[i], b);
            }
        }

    inline void RotatedLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY,
                            TInt aCountWdBlend)
        {
        const TInt count = ZLine::Count(aCountWdBlend);
        const TInt stride = ZLine::RotatedStride(aCountWdBlend);
        for (TInt i = 0; i < count; i++)
            {
            aTarget[i] = aSource[ZLine::RotatedIndex(aProjX, aProjY, stride)];
            aProjX = ZLine::Step(aProjX, aDX);
            aProjY = ZLine::Step(aProjY, aDY);
            }
        }

    inline void RotatedMaskedLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY,
                                  TInt aCountWdBlend)
        {
        const TInt count = ZLine::Count(aCountWdBlend);
        const TInt stride = ZLine::RotatedStride(aCountWdBlend);
        for (TInt i = 0; i < count; i++)
            {
            const TUint16 s = aSource[ZLine::RotatedIndex(aProjX, aProjY, stride)];
            if (s != ZLine::KColourKey)
                aTarget[i] = s;
            aProjX = ZLine::Step(aProjX, aDX);
            aProjY = ZLine::Step(aProjY, aDY);
            }
        }

    inline void RotatedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY,
                                 TInt aCountWdBlend)
        {
        const TInt count = ZLine::Count(aCountWdBlend);
        const TInt stride = ZLine::RotatedStride(aCountWdBlend);
        const TInt b = ZLine::RotatedWeight(aCountWdBlend);
        for (TInt i = 0; i < count; i++)
            {
            aTarget[i] = Blend(aSource[ZLine::RotatedIndex(aProjX, aProjY, stride)], aTarget[i], b);
            aProjX = ZLine::Step(aProjX, aDX);
            aProjY = ZLine::Step(aProjY, aDY);
            }
        }

    inline void RotatedMaskedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX,
                                       TInt aDY, TInt aCountWdBlend)
        {
        const TInt count = ZLine::Count(aCountWdBlend);
        const TInt stride = ZLine::RotatedStride(aCountWdBlend);
        const TInt b = ZLine::RotatedWeight(aCountWdBlend);
        for (TInt i = 0; i < count; i++)
            {
            const TUint16 s = aSource[ZLine::RotatedIndex(aProjX, aProjY, stride)];
            if (s != ZLine::KColourKey)
                aTarget[i] = Blend(s, aTarget[i], b);
            aProjX = ZLine::Step(aProjX, aDX);
            aProjY = ZLine::Step(aProjY, aDY);
            }
        }
    }

// The fast versions and their run-time choice.
namespace ZLineImpl
    {
    enum TIsa
        {
        EIsaScalar,     // the plain versions; the only choice on processors other than x86
        EIsaSse2,       // 8 pixels per step; always present on x86-64
        EIsaAvx2,       // 16 pixels per step, when the processor has it
        EIsaAvx512,     // 32 pixels per step with AVX-512 BW, when the processor has it
        EIsaCount
        };

    // Row kernels that the instruction sets implement. Rows hold plain pixel words; the weight is 0..16.
    typedef void (*TMaskedFn)(const TUint16* aSource, TUint16* aTarget, TInt aCount);
    typedef void (*TBlendFn)(const TUint16* aSource, TUint16* aTarget, TInt aBlend, TInt aCount);

    struct TKernels
        {
        TMaskedFn iMaskedLine;
        TBlendFn iBlendLine;
        TBlendFn iBlendLineMasked;
        };

    // Kernels of each instruction set; null when it is not compiled in for this processor family.
    const TKernels* ScalarKernels();
    const TKernels* Sse2Kernels();
    const TKernels* Avx2Kernels();
    const TKernels* Avx512Kernels();

    // True when the instruction set is compiled in and the running processor has it.
    TBool IsaAvailable(TIsa aIsa);
    // The instruction set that the routines use now.
    TIsa CurrentIsa();
    // Uses aIsa from now on; returns EFalse and changes nothing when it is not available.
    // Not for use while another thread draws.
    TBool ForceIsa(TIsa aIsa);
    // Goes back to the best available instruction set, the choice made at start-up.
    void UseBestIsa();
    // Lower-case name: "scalar", "sse2", "avx2", "avx512".
    const char* IsaName(TIsa aIsa);
    }

#endif
