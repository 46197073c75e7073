// ZElementShape.cpp
//
// CZElementShape: a polygon in element coordinates with pen and brush settings, and the
// transformation of its points for drawing. Two lists of the same length are kept: the
// points as set, and the points as last transformed by CalculatePoints.

#include "Zolvane.h"

namespace
{
const TInt KPointGranularity = 16;

inline TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
    {
    return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
    }

inline TInt Max(TInt aLeft, TInt aRight)
    {
    return aLeft > aRight ? aLeft : aRight;
    }

inline TInt Min(TInt aLeft, TInt aRight)
    {
    return aLeft < aRight ? aLeft : aRight;
    }

inline TInt ToInt(TInt64 aValue)
    {
    return aValue > KMaxTInt ? KMaxTInt : (aValue < KMinTInt ? KMinTInt : static_cast<TInt>(aValue));
    }
}

CZElementShape::CZElementShape()
    : CZElementBase(SHAPE_ELEMENT),
      iPenColor(KRgbBlack),
      iPenSize(1, 1),
      iPenStyle(CGraphicsContext::ESolidPen),
      iBrushColor(KRgbWhite),
      iBrushStyle(CGraphicsContext::ENullBrush)
    {
    }

CZElementShape* CZElementShape::NewL()
    {
    CZElementShape* self = NewLC();
    CleanupStack::Pop(self);
    return self;
    }

CZElementShape* CZElementShape::NewLC()
    {
    CZElementShape* self = new (ELeave) CZElementShape();
    CleanupStack::PushL(self);
    return self;
    }

CZElementShape::~CZElementShape()
    {
    SAFE_DELETE(iPointList);
    SAFE_DELETE(iPointList2);
    }

void CZElementShape::ConstructL(TInt aCount)
    {
    SAFE_DELETE(iPointList);
    SAFE_DELETE(iPointList2);
    iPointCount = 0;
    const TInt count = aCount > 0 ? aCount : 0;
    iPointList = new (ELeave) CArrayFixFlat<TPoint>(KPointGranularity);
    iPointList2 = new (ELeave) CArrayFixFlat<TPoint>(KPointGranularity);
    iPointList->ResizeL(count, TPoint(0, 0));
    iPointList2->ResizeL(count, TPoint(0, 0));
    iPointCount = count;
    iWidth = 1;
    iHeight = 1;
    }

void CZElementShape::PointReserveL(TInt aCount)
    {
    if (!iPointList || !iPointList2)
        {
        User::Leave(KErrNotReady);
        }
    if (aCount > iPointList->Count())
        {
        iPointList->SetReserveL(aCount);
        iPointList2->SetReserveL(aCount);
        }
    }

TPoint CZElementShape::Point(TInt aIndex) const
    {
    if (aIndex < 1 || aIndex > iPointCount)
        {
        return TPoint(0, 0);
        }
    return iPointList->At(aIndex - 1);
    }

TInt CZElementShape::ExtentWithout(TInt aSkip, TBool aVertical) const
    {
    TInt largest = 0;
    for (TInt i = 0; i < iPointCount; i++)
        {
        if (i != aSkip)
            {
            const TPoint& p = iPointList->At(i);
            largest = Max(largest, aVertical ? p.iY : p.iX);
            }
        }
    return largest + 1;
    }

TInt CZElementShape::PointSet(TInt aIndex, TPoint aValue)
    {
    if (aIndex < 1 || !iPointList || !iPointList2)
        {
        return 0;
        }
    const TPoint value(Clamp(aValue.iX, ELEMENT_POINT_MIN, ELEMENT_POINT_MAX),
                       Clamp(aValue.iY, ELEMENT_POINT_MIN, ELEMENT_POINT_MAX));
    if (aIndex > iPointCount)
        {
        TRAPD(err, iPointList->ResizeL(aIndex, TPoint(0, 0)));
        if (err != KErrNone)
            {
            iPointList->ResizeL(iPointCount, TPoint(0, 0));
            return 0;
            }
        TRAP(err, iPointList2->ResizeL(aIndex, TPoint(0, 0)));
        if (err != KErrNone)
            {
            iPointList->ResizeL(iPointCount, TPoint(0, 0));
            iPointList2->ResizeL(iPointCount, TPoint(0, 0));
            return 0;
            }
        iPointCount = aIndex;
        }
    TPoint& point = iPointList->At(aIndex - 1);
    // The extent with the point replaced: only when the old point was the largest and the
    // new one is smaller must the others be looked at again.
    TInt width = iWidth;
    TInt height = iHeight;
    if (value.iX + 1 >= width)
        {
        width = value.iX + 1;
        }
    else if (point.iX + 1 == width)
        {
        width = Max(ExtentWithout(aIndex - 1, EFalse), value.iX + 1);
        }
    if (value.iY + 1 >= height)
        {
        height = value.iY + 1;
        }
    else if (point.iY + 1 == height)
        {
        height = Max(ExtentWithout(aIndex - 1, ETrue), value.iY + 1);
        }
    WidthSet(width);
    HeightSet(height);
    if (point != value)
        {
        point = value;
        Changed();
        }
    return 1;
    }

TInt CZElementShape::PointInsert(TInt aIndex, TPoint aValue)
    {
    if (aIndex < 1 || !iPointList || !iPointList2)
        {
        return 0;
        }
    if (aIndex <= iPointCount)
        {
        TRAPD(err, iPointList->InsertL(aIndex - 1, TPoint(0, 0)));
        if (err != KErrNone)
            {
            return 0;
            }
        TRAP(err, iPointList2->InsertL(aIndex - 1, TPoint(0, 0)));
        if (err != KErrNone)
            {
            iPointList->Delete(aIndex - 1);
            return 0;
            }
        iPointCount++;
        }
    return PointSet(aIndex, aValue);
    }

TInt CZElementShape::PointRemove(TInt aIndex)
    {
    if (aIndex < 1 || aIndex > iPointCount)
        {
        return 0;
        }
    WidthSet(ExtentWithout(aIndex - 1, EFalse));
    HeightSet(ExtentWithout(aIndex - 1, ETrue));
    iPointList->Delete(aIndex - 1);
    iPointList2->Delete(aIndex - 1);
    iPointCount--;
    Changed();
    return 1;
    }

void CZElementShape::PenColorSet(TRgb aColor)
    {
    if (aColor != iPenColor)
        {
        iPenColor = aColor;
        Changed();
        }
    }

void CZElementShape::PenSizeSet(TSize aSize)
    {
    if (aSize != iPenSize)
        {
        iPenSize = aSize;
        Changed();
        }
    }

void CZElementShape::PenStyleSet(CGraphicsContext::TPenStyle aStyle)
    {
    if (aStyle != iPenStyle)
        {
        iPenStyle = aStyle;
        Changed();
        }
    }

void CZElementShape::BrushColorSet(TRgb aColor)
    {
    if (aColor != iBrushColor)
        {
        iBrushColor = aColor;
        Changed();
        }
    }

void CZElementShape::BrushStyleSet(CGraphicsContext::TBrushStyle aBrushStyle)
    {
    // Shapes have no pattern bitmap: a patterned brush fills solid.
    const CGraphicsContext::TBrushStyle style =
        aBrushStyle == CGraphicsContext::EPatternedBrush ? CGraphicsContext::ESolidBrush : aBrushStyle;
    if (style != iBrushStyle)
        {
        iBrushStyle = style;
        Changed();
        }
    }

TRect CZElementShape::CalculatePoints(TPoint aLoc, TSize aSize, TInt aAngleCos, TInt aAngleSin)
    {
    if (iPointCount == 0 || !iPointList || !iPointList2)
        {
        return TRect(0, 0, 0, 0);
        }
    const TInt64 sw = Clamp(aSize.iWidth, 0, SPRITE_DRAW_SIZE_MAX);
    const TInt64 sh = Clamp(aSize.iHeight, 0, SPRITE_DRAW_SIZE_MAX);
    const TInt64 width = Max(1, iWidth);
    const TInt64 height = Max(1, iHeight);
    const TBool rotate = aAngleCos < SINE_SCALE;
    TRect bounds;
    for (TInt i = 0; i < iPointCount; i++)
        {
        const TPoint& p = iPointList->At(i);
        const TInt64 x = (static_cast<TInt64>(p.iX) - iRegPoint.iX) * sw / width;
        const TInt64 y = (static_cast<TInt64>(p.iY) - iRegPoint.iY) * sh / height;
        TInt64 xr = x;
        TInt64 yr = y;
        if (rotate)
            {
            xr = (x * aAngleCos - y * aAngleSin) / SINE_SCALE;
            yr = (x * aAngleSin + y * aAngleCos) / SINE_SCALE;
            }
        const TPoint q(ToInt(xr + aLoc.iX), ToInt(yr + aLoc.iY));
        iPointList2->At(i) = q;
        if (i == 0)
            {
            bounds = TRect(q, q);
            }
        else
            {
            bounds.iTl.iX = Min(bounds.iTl.iX, q.iX);
            bounds.iTl.iY = Min(bounds.iTl.iY, q.iY);
            bounds.iBr.iX = Max(bounds.iBr.iX, q.iX);
            bounds.iBr.iY = Max(bounds.iBr.iY, q.iY);
            }
        }
    return bounds;
    }
