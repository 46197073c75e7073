// ZDrawShape.cpp
//
// Drawing vector shape elements and the sprites' own simple shapes (lines, arcs,
// rectangles, ellipses, pies, rounded rectangles) through the off-screen bitmap's
// graphics context. The rectangle transitions cut the clip and move the shape, the line
// transitions shorten a line, and the shake moves everything; the area drawn is reported
// to the view.

#include <Zolvane.h>
#include <bitstd.h>

#include "ZDrawCommon.h"

using namespace ZDraw;

namespace
    {
    template <class T> inline T MinOf(T aA, T aB) { return aA < aB ? aA : aB; }
    template <class T> inline T MaxOf(T aA, T aB) { return aA < aB ? aB : aA; }

    // aA + (aB - aA) * aPhase / aTime, per coordinate, truncating toward zero.
    TPoint Along(TPoint aA, TPoint aB, TInt64 aPhase, TInt64 aTime)
        {
        return TPoint(Saturated(aA.iX + (static_cast<TInt64>(aB.iX) - aA.iX) * aPhase / aTime),
                      Saturated(aA.iY + (static_cast<TInt64>(aB.iY) - aA.iY) * aPhase / aTime));
        }
    }

TRgb CZView::BlendedColor(TRgb aColor, TInt aBlend) const
    {
    if (aBlend >= 100)
        {
        return aColor;
        }
    const TRgb bg = iPlayer ? TRgb(static_cast<TUint32>(iPlayer->BgColor())) : KRgbBlack;
    const TInt red = bg.Red() + ((aColor.Red() - bg.Red()) * aBlend) / 100;
    const TInt green = bg.Green() + ((aColor.Green() - bg.Green()) * aBlend) / 100;
    const TInt blue = bg.Blue() + ((aColor.Blue() - bg.Blue()) * aBlend) / 100;
    return TRgb(red, green, blue);
    }

void CZView::DrawShape(CZSprite* aSprite) const
    {
    if (!iPlayer || !iBitmapContext)
        {
        return;
        }
    const TInt type = aSprite->Type();
    CZElementShape* shape = NULL;
    TRgb penColor;
    TSize penSize;
    CGraphicsContext::TPenStyle penStyle;
    TRgb brushColor;
    CGraphicsContext::TBrushStyle brushStyle;
    if (type == SHAPE_ELEMENT)
        {
        CZElement* facade = aSprite->Element();
        if (!facade || !facade->Element() || facade->Element()->Type() != SHAPE_ELEMENT)
            {
            return;
            }
        shape = static_cast<CZElementShape*>(facade->Element());
        penColor = shape->PenColor();
        penSize = shape->PenSize();
        penStyle = shape->PenStyle();
        brushColor = shape->BrushColor();
        brushStyle = shape->BrushStyle();
        }
    else if (type == SHAPE_SPRITE)
        {
        penColor = aSprite->PenColor();
        penSize = aSprite->PenSize();
        penStyle = aSprite->PenStyle();
        brushColor = aSprite->BrushColor();
        brushStyle = aSprite->BrushStyle();
        }
    else
        {
        return;
        }
    // An element's pen is not clamped like a sprite's; a pen wider than this could not
    // show more of a shape on any view.
    penSize.iWidth = MaxOf(0, MinOf(penSize.iWidth, 1024));
    penSize.iHeight = MaxOf(0, MinOf(penSize.iHeight, 1024));
    const TInt blend = aSprite->Blend();
    iBitmapContext->SetPenColor(BlendedColor(penColor, blend));
    iBitmapContext->SetPenSize(penSize);
    iBitmapContext->SetPenStyle(penStyle);
    iBitmapContext->SetBrushColor(BlendedColor(brushColor, blend));
    iBitmapContext->SetBrushStyle(brushStyle);

    const TInt transition = aSprite->Transition();
    const TInt time = aSprite->TransitionTime();
    const TInt phase = aSprite->TransitionPhase();
    const TInt w = MinOf(SPRITE_DRAW_SIZE_MAX, aSprite->Width());
    const TInt h = MinOf(SPRITE_DRAW_SIZE_MAX, aSprite->Height());
    TPoint offset(iPlayer->LocX(), iPlayer->LocY());
    if (transition == 100)
        {
        offset += ShakeOffset();
        }
    const TInt angle = aSprite->Angle();
    const TInt c = iPlayer->Cos(angle);
    const TInt s = iPlayer->Sin(angle);
    // The sprite's location in view coordinates; a shape that far out cannot be seen.
    const TInt64 locX = static_cast<TInt64>(aSprite->X()) + offset.iX;
    const TInt64 locY = static_cast<TInt64>(aSprite->Y()) + offset.iY;
    if (IsFar(locX) || IsFar(locY))
        {
        return;
        }
    const TPoint loc(static_cast<TInt>(locX), static_cast<TInt>(locY));

    TRect box;
    TRect clip;
    TPoint shift;
    if (shape)
        {
        // The transformed polygon's bounds grown by the pen; the step runs on them moved
        // to (0,0), and a scroll's move is remembered to move the polygon itself.
        box = shape->CalculatePoints(loc, TSize(aSprite->Width(), aSprite->Height()), c, s);
        box.Grow(penSize);
        const TPoint origin = box.iTl;
        box.Move(-origin.iX, -origin.iY);
        clip = box;
        TransitionRectangles(box, clip, transition, time, phase);
        shift = box.iTl;
        box.Move(origin);
        clip.Move(origin);
        }
    else
        {
        // The shape's box, and the clip around it grown by the pen; scrolls move the box,
        // reveals cut the clip.
        box = TRect(0, 0, w, h);
        clip = TRect(0, 0, w + 2 * penSize.iWidth, h + 2 * penSize.iHeight);
        TransitionRectangles(box, clip, transition, time, phase);
        box.Move(loc);
        clip.Move(loc);
        clip.Move(-penSize.iWidth, -penSize.iHeight);
        }
    clip = Intersected(clip, iClipRect);
    TRect grown = box;
    grown.Grow(penSize);
    const TRect drawn = Intersected(grown, clip);
    if (IsEmptyRect(clip))
        {
        return;
        }

    if (shape)
        {
        iBitmapContext->SetClippingRect(clip);
        if (!IsEmptyRect(drawn))
            {
            aSprite->ViewDrawRect(drawn);
            }
        if (shift.iX != 0 || shift.iY != 0)
            {
            shape->CalculatePoints(loc + shift, TSize(aSprite->Width(), aSprite->Height()), c, s);
            }
        CArrayFixFlat<TPoint>* points = shape->PointList();
        if (points && points->Count() > 0)
            {
            iBitmapContext->DrawPolygon(points, CGraphicsContext::EWinding);
            }
        iBitmapContext->CancelClippingRect();
        return;
        }

    iBitmapContext->SetClippingRect(clip);
    if (!IsEmptyRect(drawn))
        {
        aSprite->ViewDrawRect(drawn);
        }
    TInt64 linePhase = phase;
    if (transition >= 61 && transition <= 70)
        {
        linePhase = static_cast<TInt64>(time) - phase;
        }
    const TPoint point1 = aSprite->Point1();
    const TPoint point2 = aSprite->Point2();
    switch (aSprite->ShapeType())
        {
        case LINE:
            {
            // A line with an end this far out is not drawn; keeping the ends near makes
            // the arithmetic below safe from overflow.
            if (IsFar(point1.iX) || IsFar(point1.iY) || IsFar(point2.iX) || IsFar(point2.iY))
                {
                break;
                }
            TPoint p1 = point1;
            TPoint p2 = point2;
            const TBool timed = time != 0;
            if (timed && (transition == 51 || transition == 61))
                {
                p2 = Along(point1, point2, linePhase, time);
                }
            else if (timed && (transition == 52 || transition == 62))
                {
                p1 = Along(point2, point1, linePhase, time);
                }
            else if (timed && (transition == 53 || transition == 63))
                {
                // Both ends grow out of the middle: e is how far each end lies from the
                // opposite point.
                const TInt64 dx = static_cast<TInt64>(point1.iX) - point2.iX;
                const TInt64 dy = static_cast<TInt64>(point1.iY) - point2.iY;
                const TInt64 ex = dx / 2 + (dx * linePhase / time) / 2;
                const TInt64 ey = dy / 2 + (dy * linePhase / time) / 2;
                p1 = TPoint(Saturated(point2.iX + ex), Saturated(point2.iY + ey));
                p2 = TPoint(Saturated(point1.iX - ex), Saturated(point1.iY - ey));
                }
            else
                {
                // The shake offset is in the offset already; the line gets it once more.
                const TPoint shake = offset - TPoint(iPlayer->LocX(), iPlayer->LocY());
                p1 = TPoint(Saturated(static_cast<TInt64>(p1.iX) + shake.iX), Saturated(static_cast<TInt64>(p1.iY) + shake.iY));
                p2 = TPoint(Saturated(static_cast<TInt64>(p2.iX) + shake.iX), Saturated(static_cast<TInt64>(p2.iY) + shake.iY));
                }
            const TInt64 x1 = static_cast<TInt64>(p1.iX) + offset.iX;
            const TInt64 y1 = static_cast<TInt64>(p1.iY) + offset.iY;
            const TInt64 x2 = static_cast<TInt64>(p2.iX) + offset.iX;
            const TInt64 y2 = static_cast<TInt64>(p2.iY) + offset.iY;
            if (!IsFar(x1) && !IsFar(y1) && !IsFar(x2) && !IsFar(y2))
                {
                iBitmapContext->DrawLine(TPoint(static_cast<TInt>(x1), static_cast<TInt>(y1)),
                                         TPoint(static_cast<TInt>(x2), static_cast<TInt>(y2)));
                }
            break;
            }
        case ARC:
        case PIE:
            {
            const TInt64 x1 = static_cast<TInt64>(point1.iX) + offset.iX;
            const TInt64 y1 = static_cast<TInt64>(point1.iY) + offset.iY;
            const TInt64 x2 = static_cast<TInt64>(point2.iX) + offset.iX;
            const TInt64 y2 = static_cast<TInt64>(point2.iY) + offset.iY;
            const TPoint start(Saturated(x1), Saturated(y1));
            const TPoint end(Saturated(x2), Saturated(y2));
            if (aSprite->ShapeType() == ARC)
                {
                iBitmapContext->DrawArc(box, start, end);
                }
            else
                {
                iBitmapContext->DrawPie(box, start, end);
                }
            break;
            }
        case RECT:
            iBitmapContext->DrawRect(box);
            break;
        case ELLIPSE:
            iBitmapContext->DrawEllipse(box);
            break;
        case ROUNDRECT:
            iBitmapContext->DrawRoundRect(box, aSprite->CornerSize());
            break;
        default:
            break;
        }
    iBitmapContext->CancelClippingRect();
    }
