// ZElementBitmap.cpp
//
// CZElementBitmap: an off-screen bitmap in the 4096-colour mode. Besides reading and
// writing single pixels, another bitmap can be drawn into it, unscaled or scaled,
// colour-keyed and blended; all of that pixel work goes through the row routines.

#include "Zolvane.h"

namespace
{
// The row routines take at most this many target pixels per call (10-bit count field).
const TInt KZRowChunk = 1023;
// Largest skip that the blended scaled routines can carry (14-bit field), and largest
// that the plain ones can (the rest of a positive 32-bit argument).
const TInt KZBlendSkipMax = (1 << 14) - 1;
const TInt KZSkipMax = (KMaxTInt >> 10) - 1;
// Source rows narrower than this are indexed by the scaled routines' 16-bit column.
const TInt KZScaledSourceMax = 32768;

inline TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
    {
    return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
    }

inline TInt64 Min64(TInt64 aA, TInt64 aB)
    {
    return aA < aB ? aA : aB;
    }

inline TInt64 Max64(TInt64 aA, TInt64 aB)
    {
    return aA > aB ? aA : aB;
    }

// Row stride of a 4096-colour bitmap in 16-bit words.
inline TInt StrideWords(TInt aWidth)
    {
    return CFbsBitmap::ScanLineLength(aWidth, EColor4K) / 2;
    }

inline TUint16* Words(const CFbsBitmap* aBitmap)
    {
    return reinterpret_cast<TUint16*>(aBitmap->DataAddress());
    }

// The first k in 0..aCount-1 whose sampling point aStep / 2 + k * aStep (16.16) lies in
// source pixel aBound or beyond, or aCount when none does.
TInt64 FirstSampleAtOrBeyond(TInt64 aStep, TInt64 aBound, TInt64 aCount)
    {
    const TInt64 need = aBound * 65536 - aStep / 2;
    if (need <= 0)
        {
        return 0;
        }
    if (aStep <= 0)
        {
        return aCount;
        }
    return Min64((need + aStep - 1) / aStep, aCount);
    }

// One visible run of a scaled row, written by the row routine that matches the mask and
// the level: target pixel i samples source column ((aSkip + i) * aStep) >> 16. Runs
// longer than a routine takes are cut into pieces; runs whose skip or source width the
// packed arguments cannot carry sample the row here and blend it with the plain rows.
void ScaledRun(TUint16* aSource, TInt aSourceWidth, TUint16* aTarget, TInt64 aSkip, TInt aCount, TInt aStep,
               TBool aMask, TInt aLevel)
    {
    for (TInt done = 0; done < aCount; done += KZRowChunk)
        {
        const TInt count = Min64(aCount - done, KZRowChunk);
        const TInt64 skip = aSkip + done;
        TUint16* target = aTarget + done;
        const TInt64 skipMax = aLevel == 16 ? KZSkipMax : KZBlendSkipMax;
        if (skip <= skipMax && aSourceWidth <= KZScaledSourceMax)
            {
            const TInt packed = count + static_cast<TInt>(skip) * 1024;
            if (aLevel == 16)
                {
                if (aMask)
                    ScaledMaskedLine(aSource, target, packed, aStep);
                else
                    ScaledLine(aSource, target, packed, aStep);
                }
            else
                {
                const TInt packedBlend = packed + aLevel * 16777216;
                if (aMask)
                    ScaledMaskedBlendLine(aSource, target, packedBlend, aStep);
                else
                    ScaledBlendLine(aSource, target, packedBlend, aStep);
                }
            continue;
            }
        TUint16 row[KZRowChunk];
        for (TInt i = 0; i < count; i++)
            {
            row[i] = aSource[static_cast<TInt>(((skip + i) * aStep) >> 16)];
            }
        if (aLevel == 16)
            {
            if (aMask)
                MaskedLine(row, target, count);
            else
                CopyLine(row, target, count);
            }
        else if (aMask)
            {
            BlendLineMasked(row, target, aLevel, count);
            }
        else
            {
            BlendLine(row, target, aLevel, count);
            }
        }
    }
}

CZElementBitmap::CZElementBitmap()
    : CZElementBase(BITMAP_ELEMENT), iBitmap(NULL), iMasked(ETrue)
    {
    }

CZElementBitmap* CZElementBitmap::NewLC()
    {
    CZElementBitmap* self = new (ELeave) CZElementBitmap;
    CleanupStack::PushL(self);
    return self;
    }

CZElementBitmap* CZElementBitmap::NewL()
    {
    CZElementBitmap* self = NewLC();
    CleanupStack::Pop(self);
    return self;
    }

CZElementBitmap::~CZElementBitmap()
    {
    if (iBitmap)
        {
        iBitmap->Reset();
        }
    SAFE_DELETE(iBitmap);
    }

void CZElementBitmap::BitmapSet(CWsBitmap* aBitmap)
    {
    if (!aBitmap || aBitmap == iBitmap)
        {
        return;
        }
    if (iBitmap)
        {
        iBitmap->Reset();
        }
    delete iBitmap;
    iBitmap = aBitmap;
    const TSize size = iBitmap->SizeInPixels();
    iWidth = size.iWidth;
    iHeight = size.iHeight;
    Changed();
    }

TInt CZElementBitmap::PixelSet(TInt aX, TInt aY, TUint16 aValue)
    {
    TUint16* data = DataAddress();
    if (!data || aX < 0 || aY < 0 || aX >= iWidth || aY >= iHeight)
        {
        return 0;
        }
    data[aX + aY * StrideWords(iWidth)] = aValue;
    Changed();
    return 1;
    }

TUint16 CZElementBitmap::Pixel(TInt aX, TInt aY) const
    {
    const TUint16* data = DataAddress();
    if (!data || aX < 0 || aY < 0 || aX >= iWidth || aY >= iHeight)
        {
        return 0;
        }
    return data[aX + aY * StrideWords(iWidth)];
    }

TUint16* CZElementBitmap::DataAddress() const
    {
    return iBitmap ? Words(iBitmap) : NULL;
    }

TInt CZElementBitmap::MaskedSet(TBool aMasked)
    {
    iMasked = aMasked;
    Changed();
    return 1;
    }

void CZElementBitmap::DrawBitmap(CWsBitmap* aBitmap, TRect aTarget, TRect aClipRect, TBool aMask, TInt aBlend)
    {
    if (!aBitmap)
        {
        return;
        }
    aBlend = Clamp(aBlend, 0, 100);
    const TSize source = aBitmap->SizeInPixels();
    const TInt64 targetWidth = static_cast<TInt64>(aTarget.iBr.iX) - aTarget.iTl.iX;
    const TInt64 targetHeight = static_cast<TInt64>(aTarget.iBr.iY) - aTarget.iTl.iY;
    const TBool scaled = targetWidth != source.iWidth || targetHeight != source.iHeight;
    if (targetWidth < 1 || targetHeight < 1)
        {
        return;
        }
    // Levels 1..5 percent blend to nothing: the target keeps every word as it is.
    const TInt level = Clamp(aBlend / 6, 0, 16);
    if (level > 0 && iBitmap && aBitmap->DisplayMode() == EColor4K && iBitmap->DisplayMode() == EColor4K)
        {
        const TBool mask = aMask != EFalse;
        if (scaled)
            {
            Draw12bBitmapScaled(aBitmap, aTarget, aClipRect, mask, aBlend);
            }
        else
            {
            Draw12bBitmap(aBitmap, aTarget.iTl, aClipRect, mask, aBlend);
            }
        }
    Changed();
    }

void CZElementBitmap::Draw12bBitmap(CWsBitmap* aBitmap, TPoint aPos, TRect aClipRect, TBool aMask, TInt aBlend)
    {
    const TSize source = aBitmap->SizeInPixels();
    const TInt level = Clamp(aBlend / 6, 0, 16);
    // The part of the source inside the clip, then inside this bitmap once placed.
    TInt64 left = Max64(aClipRect.iTl.iX, 0);
    TInt64 right = Min64(aClipRect.iBr.iX, source.iWidth);
    TInt64 top = Max64(aClipRect.iTl.iY, 0);
    TInt64 bottom = Min64(aClipRect.iBr.iY, source.iHeight);
    left = Max64(left, -static_cast<TInt64>(aPos.iX));
    right = Min64(right, static_cast<TInt64>(iWidth) - aPos.iX);
    top = Max64(top, -static_cast<TInt64>(aPos.iY));
    bottom = Min64(bottom, static_cast<TInt64>(iHeight) - aPos.iY);
    if (left >= right || top >= bottom)
        {
        return;
        }
    const TInt count = static_cast<TInt>(right - left);
    const TInt sourceStride = StrideWords(source.iWidth);
    const TInt targetStride = StrideWords(iWidth);
    TUint16* from = Words(aBitmap) + top * sourceStride + left;
    TUint16* to = DataAddress() + (top + aPos.iY) * targetStride + (left + aPos.iX);
    for (TInt64 y = top; y < bottom; y++, from += sourceStride, to += targetStride)
        {
        if (level == 16)
            {
            if (aMask)
                MaskedLine(from, to, count);
            else
                CopyLine(from, to, count);
            }
        else if (aMask)
            {
            BlendLineMasked(from, to, level, count);
            }
        else
            {
            BlendLine(from, to, level, count);
            }
        }
    Changed();
    }

void CZElementBitmap::Draw12bBitmapScaled(CWsBitmap* aBitmap, TRect aTarget, TRect aClipRect, TBool aMask,
                                          TInt aBlend)
    {
    const TSize source = aBitmap->SizeInPixels();
    const TInt level = Clamp(aBlend / 6, 0, 16);
    const TInt64 left = Max64(aClipRect.iTl.iX, 0);
    const TInt64 right = Min64(aClipRect.iBr.iX, source.iWidth);
    const TInt64 top = Max64(aClipRect.iTl.iY, 0);
    const TInt64 bottom = Min64(aClipRect.iBr.iY, source.iHeight);
    if (left >= right || top >= bottom)
        {
        return;
        }
    const TInt64 tw = static_cast<TInt64>(aTarget.iBr.iX) - aTarget.iTl.iX;
    const TInt64 th = static_cast<TInt64>(aTarget.iBr.iY) - aTarget.iTl.iY;
    if (tw <= 0 || th <= 0)
        {
        return;
        }
    // 16.16 steps through the source per target pixel.
    const TInt64 xstep = (static_cast<TInt64>(source.iWidth) * 65536) / tw;
    const TInt64 ystep = (static_cast<TInt64>(source.iHeight) * 65536) / th;

    // Target columns and rows whose sampling points fall inside the source window,
    // then cut to this bitmap.
    const TInt64 firstColumn =
        Max64(aTarget.iTl.iX + FirstSampleAtOrBeyond(xstep, left, tw), 0);
    const TInt64 endColumn =
        Min64(aTarget.iTl.iX + FirstSampleAtOrBeyond(xstep, right, tw), iWidth);
    const TInt64 firstRow = Max64(aTarget.iTl.iY + FirstSampleAtOrBeyond(ystep, top, th), 0);
    const TInt64 endRow = Min64(aTarget.iTl.iY + FirstSampleAtOrBeyond(ystep, bottom, th), iHeight);
    if (firstColumn >= endColumn || firstRow >= endRow)
        {
        return;
        }

    const TInt64 skip = firstColumn - aTarget.iTl.iX;
    const TInt count = static_cast<TInt>(endColumn - firstColumn);
    const TInt sourceStride = StrideWords(source.iWidth);
    const TInt targetStride = StrideWords(iWidth);
    TUint16* sourceData = Words(aBitmap);
    TUint16* targetData = DataAddress();
    TUint16* previous = NULL;  // the last row drawn by a plain scaled copy
    TInt64 previousSourceRow = -1;
    for (TInt64 y = firstRow; y < endRow; y++)
        {
        const TInt64 sourceRow = ((y - aTarget.iTl.iY) * ystep) >> 16;
        TUint16* from = sourceData + sourceRow * sourceStride;
        TUint16* to = targetData + y * targetStride + firstColumn;
        if (level == 16 && !aMask)
            {
            // An enlarged row that samples the same source row again is a plain copy of
            // the row drawn just before it.
            if (previous && sourceRow == previousSourceRow)
                {
                CopyLine(previous, to, count);
                }
            else
                {
                ScaledRun(from, source.iWidth, to, skip, count, static_cast<TInt>(xstep), EFalse, 16);
                }
            previous = to;
            previousSourceRow = sourceRow;
            }
        else
            {
            ScaledRun(from, source.iWidth, to, skip, count, static_cast<TInt>(xstep), aMask, level);
            }
        }
    Changed();
    }
