// ZSprite.cpp
//
// CZSprite: one drawing channel. It shows an element (bitmap, bitmap array, text, vector
// shape) or describes a simple shape that it draws itself, with its location, z, size,
// angle, blend, mask, visibility, clipping rectangle and transition. Every change that
// alters what would be drawn is reported to the owning player, which lowers its z-buffer
// counts; nothing is drawn until the frame's redraw. Drawing itself lives in the view.

#include "Zolvane.h"

namespace
{
const TInt KPenSizeMax = 128;
const TInt KBlendMax = 100;
const TUint16 KColourKey = 0x0FFF;

// The element types a sprite can show.
inline TBool IsGraphicalType(TInt aType)
    {
    return aType == BITMAP_ELEMENT || aType == TEXT_ELEMENT || aType == SHAPE_ELEMENT
        || aType == BITMAP_ARRAY_ELEMENT;
    }

inline TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
    {
    return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
    }

// |a - b| without overflow, saturated to the largest TInt.
inline TInt Distance(TInt aA, TInt aB)
    {
    const TInt64 d = static_cast<TInt64>(aA) - aB;
    const TInt64 abs = d < 0 ? -d : d;
    return abs > KMaxTInt ? KMaxTInt : static_cast<TInt>(abs);
    }

// A box in movie coordinates, wide enough that no sprite geometry overflows it.
struct TBox
    {
    TInt64 iLeft;
    TInt64 iTop;
    TInt64 iRight;
    TInt64 iBottom;
    };

inline TInt64 Min64(TInt64 aA, TInt64 aB)
    {
    return aA < aB ? aA : aB;
    }

inline TInt64 Max64(TInt64 aA, TInt64 aB)
    {
    return aA > aB ? aA : aB;
    }

// Quotient truncated toward zero, as the platform's integer division does.
inline TInt64 Div(TInt64 aNumerator, TInt64 aDenominator)
    {
    return aNumerator / aDenominator;
    }
}

// ---------------------------------------------------------------------------------------
// Construction

CZSprite::CZSprite()
    {
    Clear();
    }

CZSprite::~CZSprite()
    {
    if (iElement && iElement->Element())
        {
        iElement->Element()->AccessRemove();
        }
    }

void CZSprite::Notify()
    {
    if (iPlayer)
        {
        iPlayer->SpriteChanged(this);
        }
    }

// ---------------------------------------------------------------------------------------
// Placement

EXPORT_C void CZSprite::Loc(TInt aX, TInt aY)
    {
    if (aX == iX && aY == iY)
        {
        return;
        }
    iX = aX;
    iY = aY;
    Notify();
    }

EXPORT_C void CZSprite::LocZ(TInt aZ)
    {
    if (aZ == iZ)
        {
        return;
        }
    iZ = aZ;
    if (iPlayer)
        {
        iPlayer->SpriteLocZChanged(this);
        }
    }

EXPORT_C TInt CZSprite::X()
    {
    return iX;
    }

EXPORT_C TInt CZSprite::Y()
    {
    return iY;
    }

EXPORT_C TInt CZSprite::Z()
    {
    return iZ;
    }

EXPORT_C void CZSprite::Angle(TInt aAngle)
    {
    // C++ remainder takes the sign of the dividend: -90 -> 270, 725 -> 5.
    const TInt angle = ((aAngle % 360) + 360) % 360;
    if (angle == iAngle)
        {
        return;
        }
    iAngle = angle;
    Notify();
    }

EXPORT_C TInt CZSprite::Angle()
    {
    return iAngle;
    }

EXPORT_C void CZSprite::Size(TInt aWidth, TInt aHeight)
    {
    // Compared before clamping: a clamped request stores and notifies again.
    if (aWidth == iWidth && aHeight == iHeight)
        {
        return;
        }
    iWidth = Clamp(aWidth, 0, SPRITE_SIZE_MAX);
    iHeight = Clamp(aHeight, 0, SPRITE_SIZE_MAX);
    if (iElement)
        {
        iZoom = !(iWidth == iElement->Width() && iHeight == iElement->Height());
        }
    Notify();
    }

EXPORT_C void CZSprite::SizeReset()
    {
    if (!iZoom)
        {
        return;
        }
    Notify();
    iZoom = EFalse;
    if (iElement)
        {
        iWidth = iElement->Width();
        iHeight = iElement->Height();
        }
    }

EXPORT_C TInt CZSprite::Width()
    {
    return iWidth;
    }

EXPORT_C TInt CZSprite::Height()
    {
    return iHeight;
    }

// ---------------------------------------------------------------------------------------
// Look

EXPORT_C void CZSprite::Blend(TInt aBlend)
    {
    const TInt blend = Clamp(aBlend, 0, KBlendMax);
    if (blend == iBlend)
        {
        return;
        }
    iBlend = blend;
    Notify();
    }

EXPORT_C TInt CZSprite::Blend()
    {
    return iBlend;
    }

EXPORT_C void CZSprite::Mask(TBool aMask)
    {
    if (aMask == iMasked)
        {
        return;
        }
    iMasked = aMask;
    Notify();
    }

EXPORT_C TBool CZSprite::Mask()
    {
    return iMasked;
    }

EXPORT_C void CZSprite::Visible(TBool aVisible)
    {
    if (aVisible == iVisible)
        {
        return;
        }
    iVisible = aVisible;
    Notify();
    }

EXPORT_C TBool CZSprite::Visible()
    {
    return iVisible;
    }

EXPORT_C void CZSprite::ClipRect(TRect aClipRect)
    {
    if (aClipRect == iClipRect)
        {
        return;
        }
    iClipRect = aClipRect;
    Notify();
    }

EXPORT_C TRect CZSprite::ClipRect()
    {
    return iClipRect;
    }

EXPORT_C void CZSprite::Transition(TInt aTransition, TInt aTime)
    {
    iTransitionNumber = aTransition;
    iTransitionTime = aTime == 0 ? 1 : aTime;
    iTransitionPhase = 1;
    Notify();
    }

EXPORT_C TInt CZSprite::Transition()
    {
    return iTransitionNumber;
    }

EXPORT_C TInt CZSprite::TransitionTime()
    {
    return iTransitionTime;
    }

EXPORT_C TInt CZSprite::TransitionPhase()
    {
    return iTransitionPhase;
    }

EXPORT_C TInt CZSprite::Channel()
    {
    return iChannelNumber;
    }

// ---------------------------------------------------------------------------------------
// Content

EXPORT_C void CZSprite::Element(CZElement* aElement)
    {
    if (!aElement)
        {
        if (iElement)
            {
            if (iElement->Element())
                {
                iElement->Element()->AccessRemove();
                }
            iElement = NULL;
            iType = 0;
            Notify();
            }
        return;
        }
    // Sounds and facades without an element have nothing to show.
    if (!IsGraphicalType(aElement->Type()) || aElement == iElement)
        {
        return;
        }
    if (iElement && iElement->Element())
        {
        iElement->Element()->AccessRemove();
        }
    iElement = aElement;
    iElement->Element()->AccessAdd();
    iType = aElement->Type();
    iShapeType = 0;
    iWidth = aElement->Width();
    iHeight = aElement->Height();
    iZoom = EFalse;
    Notify();
    }

EXPORT_C CZElement* CZSprite::Element()
    {
    return iElement;
    }

EXPORT_C void CZSprite::Clear()
    {
    if (iElement && iElement->Element())
        {
        iElement->Element()->AccessRemove();
        }
    iElement = NULL;
    iLifeTime = -1;
    iX = 0;
    iY = 0;
    iTransitionNumber = 0;
    iTransitionTime = 0;
    iTransitionPhase = 0;
    iType = 0;
    iWidth = -1;
    iHeight = -1;
    iClipRect = TRect(0, 0, 0, 0);
    iZoom = EFalse;
    iMasked = EFalse;
    iBrushColor = 0;
    iBrushStyle = CGraphicsContext::ENullBrush;
    iCornerSize = TSize(0, 0);
    iPenColor = 0;
    iPenSize = TSize(1, 1);
    iPenStyle = CGraphicsContext::ESolidPen;
    iShapeType = 0;
    iVisible = ETrue;
    iBlend = KBlendMax;
    Notify();
    }

EXPORT_C TInt CZSprite::Type()
    {
    return iType;
    }

EXPORT_C TBool CZSprite::Zoom()
    {
    return iZoom;
    }

EXPORT_C TInt CZSprite::ShapeType()
    {
    return iShapeType;
    }

// ---------------------------------------------------------------------------------------
// Simple shapes

void CZSprite::ShapeBox(TPoint aPoint1, TPoint aPoint2, TInt aShapeType)
    {
    Element(NULL);
    iX = aPoint1.iX < aPoint2.iX ? aPoint1.iX : aPoint2.iX;
    iY = aPoint1.iY < aPoint2.iY ? aPoint1.iY : aPoint2.iY;
    iWidth = Distance(aPoint1.iX, aPoint2.iX);
    iHeight = Distance(aPoint1.iY, aPoint2.iY);
    iType = SHAPE_SPRITE;
    iShapeType = aShapeType;
    Notify();
    }

EXPORT_C void CZSprite::Line(TPoint aPoint1, TPoint aPoint2)
    {
    iPoint1 = aPoint1;
    iPoint2 = aPoint2;
    ShapeBox(aPoint1, aPoint2, LINE);
    }

EXPORT_C void CZSprite::Ellipse(TPoint aPoint1, TPoint aPoint2)
    {
    ShapeBox(aPoint1, aPoint2, ELLIPSE);
    }

EXPORT_C void CZSprite::Rectangle(TPoint aPoint1, TPoint aPoint2)
    {
    ShapeBox(aPoint1, aPoint2, RECT);
    }

EXPORT_C void CZSprite::RoundRectangle(TPoint aPoint1, TPoint aPoint2, TSize aCorner)
    {
    iCornerSize = aCorner;
    ShapeBox(aPoint1, aPoint2, ROUNDRECT);
    }

EXPORT_C TPoint CZSprite::Point1()
    {
    return iPoint1;
    }

EXPORT_C TPoint CZSprite::Point2()
    {
    return iPoint2;
    }

EXPORT_C TSize CZSprite::CornerSize()
    {
    return iCornerSize;
    }

EXPORT_C void CZSprite::PenColor(TRgb aColor)
    {
    const TInt color = aColor.Value();
    if (color == iPenColor)
        {
        return;
        }
    iPenColor = color;
    Notify();
    }

EXPORT_C void CZSprite::BrushColor(TRgb aColor)
    {
    const TInt color = aColor.Value();
    if (color == iBrushColor)
        {
        return;
        }
    iBrushColor = color;
    Notify();
    }

EXPORT_C void CZSprite::PenSize(TSize aPenSize)
    {
    const TSize size(Clamp(aPenSize.iWidth, 0, KPenSizeMax), Clamp(aPenSize.iHeight, 0, KPenSizeMax));
    if (size == iPenSize)
        {
        return;
        }
    iPenSize = size;
    Notify();
    }

EXPORT_C void CZSprite::PenStyle(CGraphicsContext::TPenStyle aPenStyle)
    {
    if (aPenStyle == iPenStyle)
        {
        return;
        }
    iPenStyle = aPenStyle;
    Notify();
    }

EXPORT_C void CZSprite::BrushStyle(CGraphicsContext::TBrushStyle aBrushStyle)
    {
    // Patterned brushes need a pattern bitmap, which sprites do not have: fill solid.
    if (aBrushStyle == CGraphicsContext::EPatternedBrush)
        {
        aBrushStyle = CGraphicsContext::ESolidBrush;
        }
    if (aBrushStyle == iBrushStyle)
        {
        return;
        }
    iBrushStyle = aBrushStyle;
    Notify();
    }

EXPORT_C TRgb CZSprite::PenColor()
    {
    return TRgb(iPenColor);
    }

EXPORT_C TSize CZSprite::PenSize()
    {
    return iPenSize;
    }

EXPORT_C CGraphicsContext::TPenStyle CZSprite::PenStyle()
    {
    return iPenStyle;
    }

EXPORT_C TRgb CZSprite::BrushColor()
    {
    return TRgb(iBrushColor);
    }

EXPORT_C CGraphicsContext::TBrushStyle CZSprite::BrushStyle()
    {
    return iBrushStyle;
    }

// ---------------------------------------------------------------------------------------
// Player-side operations

void CZSprite::Channel(TInt aChannel)
    {
    // The channel is fixed once the sprite belongs to a player.
    if (iPlayer)
        {
        return;
        }
    iChannelNumber = aChannel;
    if (iZ == 0)
        {
        iZ = aChannel;
        }
    }

void CZSprite::LifeTime(TInt aLifeTime)
    {
    iLifeTime = aLifeTime;
    }

TInt CZSprite::LifeTime()
    {
    return iLifeTime;
    }

void CZSprite::ElementChanged()
    {
    Notify();
    }

void CZSprite::Player(CZPlayer* aPlayer)
    {
    iPlayer = aPlayer;
    }

void CZSprite::Update()
    {
    if (iLifeTime > 0)
        {
        iLifeTime--;
        }
    if (iTransitionNumber != 0)
        {
        if (iTransitionPhase == iTransitionTime)
            {
            // Phases 1..time have been drawn: the transition ends, silently.
            iTransitionNumber = 0;
            }
        else if (iTransitionTime > 0)
            {
            iTransitionPhase++;
            }
        }
    // The first sprite updated that shows a changed element reports it and clears the
    // flag, so other sprites showing it send nothing for the same change.
    if (iElement && iElement->Element() && iElement->Element()->IsChanged())
        {
        ElementChanged();
        iElement->Element()->ResetChange();
        }
    }

void CZSprite::ShapeLookCopy(CZSprite* aTemplate)
    {
    if (!aTemplate || aTemplate == this)
        {
        return;
        }
    // A sprite shows an element exactly when its type is an element type. A template of
    // another kind than the element held releases it; a template's element type is only
    // taken over together with that element (by Element()), never on its own.
    const TInt type = aTemplate->iType;
    if (iElement && type != iType)
        {
        Element(NULL);
        }
    if (!IsGraphicalType(type) || iElement)
        {
        iType = type;
        }
    iX = aTemplate->iX;
    iY = aTemplate->iY;
    iWidth = aTemplate->iWidth;
    iHeight = aTemplate->iHeight;
    iPoint1 = aTemplate->iPoint1;
    iPoint2 = aTemplate->iPoint2;
    iBrushColor = aTemplate->iBrushColor;
    iBrushStyle = aTemplate->iBrushStyle;
    iPenColor = aTemplate->iPenColor;
    iPenSize = aTemplate->iPenSize;
    iPenStyle = aTemplate->iPenStyle;
    iCornerSize = aTemplate->iCornerSize;
    iShapeType = aTemplate->iShapeType;
    iBlend = aTemplate->iBlend;
    iAngle = aTemplate->iAngle;
    if (aTemplate->iTransitionNumber != 0)
        {
        Transition(aTemplate->iTransitionNumber, aTemplate->iTransitionTime);
        }
    Notify();
    }

// ---------------------------------------------------------------------------------------
// Intersection

namespace
{
// What the intersection test needs of one sprite, in 64-bit movie coordinates.
struct TSpriteShape
    {
    TBox iBox;              // bounding box in movie coordinates
    TInt64 iOriginX;        // movie position of the sprite's unrotated local (0,0)
    TInt64 iOriginY;
    TInt64 iWidth;          // drawn size
    TInt64 iHeight;
    TInt64 iElementWidth;   // element size (for sampling), 0 without element
    TInt64 iElementHeight;
    };
}

// Scaled registration point: where the element's registration point lands in the drawn
// size; (0,0) without an element of positive size.
static void ScaledRegPoint(CZElement* aElement, TInt aWidth, TInt aHeight, TInt64& aRx, TInt64& aRy)
    {
    aRx = 0;
    aRy = 0;
    if (!aElement)
        {
        return;
        }
    const TInt ew = aElement->Width();
    const TInt eh = aElement->Height();
    if (ew > 0 && eh > 0)
        {
        const TPoint reg = aElement->RegPoint();
        aRx = Div(static_cast<TInt64>(aWidth) * reg.iX, ew);
        aRy = Div(static_cast<TInt64>(aHeight) * reg.iY, eh);
        }
    }

TBool CZSprite::IsPixelMasked()
    {
    return iType == BITMAP_ELEMENT && iMasked && iElement && iElement->Masked();
    }

EXPORT_C TBool CZSprite::Intersects(CZSprite* aSprite)
    {
    if (!aSprite || !iPlayer || aSprite->iPlayer != iPlayer)
        {
        return EFalse;
        }

    CZSprite* sprites[2] = { this, aSprite };
    TSpriteShape shapes[2];
    for (TInt i = 0; i < 2; i++)
        {
        CZSprite* s = sprites[i];
        TSpriteShape& shape = shapes[i];
        TInt64 rx;
        TInt64 ry;
        ScaledRegPoint(s->iElement, s->iWidth, s->iHeight, rx, ry);
        const TInt64 w = s->iWidth;
        const TInt64 h = s->iHeight;
        shape.iWidth = w;
        shape.iHeight = h;
        shape.iOriginX = s->iX - rx;
        shape.iOriginY = s->iY - ry;
        shape.iElementWidth = s->iElement ? s->iElement->Width() : 0;
        shape.iElementHeight = s->iElement ? s->iElement->Height() : 0;
        if (s->iAngle == 0)
            {
            shape.iBox.iLeft = s->iX - rx;
            shape.iBox.iTop = s->iY - ry;
            shape.iBox.iRight = s->iX + w - rx;
            shape.iBox.iBottom = s->iY + h - ry;
            }
        else
            {
            const TInt64 c = iPlayer->Cos(s->iAngle);
            const TInt64 sn = iPlayer->Sin(s->iAngle);
            const TInt64 cornersX[4] = { -rx, w - rx, w - rx, -rx };
            const TInt64 cornersY[4] = { -ry, -ry, h - ry, h - ry };
            TInt64 minX = 0;
            TInt64 minY = 0;
            TInt64 maxX = 0;
            TInt64 maxY = 0;
            for (TInt k = 0; k < 4; k++)
                {
                const TInt64 x = Div(cornersX[k] * c + cornersY[k] * sn + SINE_SCALE / 2, SINE_SCALE);
                const TInt64 y = Div(-cornersX[k] * sn + cornersY[k] * c + SINE_SCALE / 2, SINE_SCALE);
                if (k == 0 || x < minX)
                    {
                    minX = x;
                    }
                if (k == 0 || x > maxX)
                    {
                    maxX = x;
                    }
                if (k == 0 || y < minY)
                    {
                    minY = y;
                    }
                if (k == 0 || y > maxY)
                    {
                    maxY = y;
                    }
                }
            shape.iBox.iLeft = s->iX + minX;
            shape.iBox.iTop = s->iY + minY;
            shape.iBox.iRight = s->iX + maxX;
            shape.iBox.iBottom = s->iY + maxY;
            }
        }

    TBox overlap;
    overlap.iLeft = Max64(shapes[0].iBox.iLeft, shapes[1].iBox.iLeft);
    overlap.iTop = Max64(shapes[0].iBox.iTop, shapes[1].iBox.iTop);
    overlap.iRight = Min64(shapes[0].iBox.iRight, shapes[1].iBox.iRight);
    overlap.iBottom = Min64(shapes[0].iBox.iBottom, shapes[1].iBox.iBottom);
    if (overlap.iRight - overlap.iLeft <= 0 || overlap.iBottom - overlap.iTop <= 0)
        {
        return EFalse;
        }

    // Boxes decide unless both are unrotated bitmaps and at least one is pixel-masked.
    if (iType != BITMAP_ELEMENT || aSprite->iType != BITMAP_ELEMENT || iAngle != 0 || aSprite->iAngle != 0)
        {
        return ETrue;
        }
    const TBool masked[2] = { IsPixelMasked(), aSprite->IsPixelMasked() };
    if (!masked[0] && !masked[1])
        {
        return ETrue;
        }

    // Pixel scan over the overlap. Neighbouring points that sample the same element
    // pixels in every masked sprite give the same answer, so the scan steps from one
    // change of sampled pixel to the next instead of visiting every point: the work is
    // bounded by the element sizes, not by the drawn sizes (which may be enormous).
    // The scan only answers whether a point exists, so the order of visiting is free.
    struct TAxis
        {
        // Sampled element coordinate for local coordinate aLocal.
        static TInt64 Sample(TInt64 aLocal, TInt64 aElementSize, TInt64 aSpriteSize)
            {
            return Div(aLocal * aElementSize, aSpriteSize);
            }
        // The first local coordinate after aLocal whose sample differs.
        static TInt64 NextChange(TInt64 aLocal, TInt64 aElementSize, TInt64 aSpriteSize)
            {
            const TInt64 sample = Sample(aLocal, aElementSize, aSpriteSize);
            // Smallest l with l * e / s >= sample + 1, i.e. l >= ceil((sample + 1) * s / e).
            TInt64 next = ((sample + 1) * aSpriteSize + aElementSize - 1) / aElementSize;
            return next > aLocal ? next : aLocal + 1;
            }
        };

    TInt64 y = overlap.iTop;
    while (y < overlap.iBottom)
        {
        TInt64 nextY = overlap.iBottom;
        for (TInt i = 0; i < 2; i++)
            {
            if (masked[i])
                {
                const TSpriteShape& s = shapes[i];
                nextY = Min64(nextY, s.iOriginY + TAxis::NextChange(y - s.iOriginY, s.iElementHeight, s.iHeight));
                }
            }
        TInt64 x = overlap.iLeft;
        while (x < overlap.iRight)
            {
            TInt64 nextX = overlap.iRight;
            TBool solid = ETrue;
            for (TInt i = 0; i < 2 && solid; i++)
                {
                if (!masked[i])
                    {
                    continue;
                    }
                const TSpriteShape& s = shapes[i];
                const TInt64 lx = x - s.iOriginX;
                const TInt64 ly = y - s.iOriginY;
                const TInt sx = static_cast<TInt>(TAxis::Sample(lx, s.iElementWidth, s.iWidth));
                const TInt sy = static_cast<TInt>(TAxis::Sample(ly, s.iElementHeight, s.iHeight));
                solid = sprites[i]->iElement->Pixel(sx, sy) != KColourKey;
                }
            if (solid)
                {
                return ETrue;
                }
            for (TInt i = 0; i < 2; i++)
                {
                if (masked[i])
                    {
                    const TSpriteShape& s = shapes[i];
                    nextX = Min64(nextX, s.iOriginX + TAxis::NextChange(x - s.iOriginX, s.iElementWidth, s.iWidth));
                    }
                }
            x = nextX;
            }
        y = nextY;
        }
    return EFalse;
    }
