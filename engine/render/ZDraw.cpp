// ZDraw.cpp
//
// Drawing one sprite into the view's off-screen bitmap: the dispatch by content kind,
// bitmaps unscaled, scaled and rotated (clipped, masked, blended, placed by their
// registration points), bitmap arrays as grids of bitmap cells, the transition step that
// cuts and moves rectangles, and the shake offset. Every routine reports the area it
// changed to the view.
//
// The pixel routines take at most 1023 pixels per call; rows are handed to them in
// pieces of at most that many, so views of any width draw correctly.

#include <Zolvane.h>
#include <e32math.h>

namespace
    {
    template <class T> inline T MinOf(T aA, T aB) { return aA < aB ? aA : aB; }
    template <class T> inline T MaxOf(T aA, T aB) { return aA < aB ? aB : aA; }

    const TInt KMaxRowCall = 1023;
    // Positions further out than this cannot reach the view; drawing them is skipped so
    // that no coordinate arithmetic can overflow.
    const TInt64 KFarAway = 1 << 28;

    TInt BlendWeight(TInt aBlend)
        {
        return MinOf(16, MaxOf(0, aBlend / 6));
        }

    TInt EvenStride(TInt aWidth)
        {
        return (aWidth + 1) & ~1;
        }

    TInt64 Abs64(TInt64 aValue)
        {
        return aValue < 0 ? -aValue : aValue;
        }

    // Division rounding down (toward minus infinity).
    TInt64 FloorDiv(TInt64 aA, TInt64 aB)
        {
        const TInt64 q = aA / aB;
        return (q * aB != aA && ((aA < 0) != (aB < 0))) ? q - 1 : q;
        }

    // Rotation of (x, y) by the table's cosine and sine (14 fraction bits), rounded to
    // the nearest whole pixel. Rounding must go down after adding the half: truncating
    // toward zero would pull every negative corner one pixel inwards, so that a turned
    // sprite lost a row and a column (a square turned by 90 degrees about its centre
    // would no longer cover itself).
    TInt64 RotX(TInt64 aX, TInt64 aY, TInt64 aC, TInt64 aS)
        {
        return FloorDiv(aX * aC + aY * aS + 8192, 16384);
        }

    TInt64 RotY(TInt64 aX, TInt64 aY, TInt64 aC, TInt64 aS)
        {
        return FloorDiv(-aX * aS + aY * aC + 8192, 16384);
        }

    // Division of positive numbers rounding up.
    TInt64 CeilDiv(TInt64 aA, TInt64 aB)
        {
        return (aA + aB - 1) / aB;
        }

    // Narrows [aStart, aEnd) so that aP + (x - aBase) * aD stays strictly between aLow and
    // aHigh. Returns EFalse when no x can. The end bounds round up: x may go on as long as
    // its sample is still inside (rounding them down would drop the last sample of most
    // rows, a column missing from every turned sprite).
    TBool Narrow(TInt64 aP, TInt64 aD, TInt64 aLow, TInt64 aHigh, TInt64 aBase, TInt64& aStart, TInt64& aEnd)
        {
        if (aP > aLow && aP < aHigh)
            {
            if (aD < 0)
                {
                aEnd = MinOf(aEnd, aBase + CeilDiv(aP - aLow, -aD));
                }
            else if (aD > 0)
                {
                aEnd = MinOf(aEnd, aBase + CeilDiv(aHigh - aP, aD));
                }
            return ETrue;
            }
        if (aP >= aHigh)
            {
            if (aD >= 0)
                {
                return EFalse;
                }
            aStart = MaxOf(aStart, aBase + (aP - aHigh) / (-aD) + 1);
            aEnd = MinOf(aEnd, aBase + CeilDiv(aP - aLow, -aD));
            return ETrue;
            }
        if (aD <= 0)
            {
            return EFalse;
            }
        aStart = MaxOf(aStart, aBase + (aLow - aP) / aD + 1);
        aEnd = MinOf(aEnd, aBase + CeilDiv(aHigh - aP, aD));
        return ETrue;
        }
    }

// ---------------------------------------------------------------------------------------
// The sprite's side of the view: its clip and the areas it draws.

void CZSprite::ViewClipRect()
    {
    if (iPlayer && iPlayer->Controller() && iPlayer->Controller()->View())
        {
        iPlayer->Controller()->View()->ClipRectSet(iClipRect);
        }
    }

void CZSprite::ViewDrawRect(TRect aRect)
    {
    if (iPlayer && iPlayer->Controller() && iPlayer->Controller()->View())
        {
        iPlayer->Controller()->View()->DrawRectAdd(aRect);
        }
    }

// ---------------------------------------------------------------------------------------
// Dispatch

void CZView::DrawSprite(CZSprite* aSprite) const
    {
    if (!aSprite || !aSprite->Visible() || aSprite->Width() <= 0 || aSprite->Height() <= 0)
        {
        return;
        }
    if (!iOffScreenPixels)
        {
        return;
        }
    // Fades set the sprite's blend before every drawing.
    const TInt transition = aSprite->Transition();
    if (transition == 12 || transition == 32)
        {
        // In 64 bits: a long fade's time times 100 does not fit in 32.
        const TInt64 time = MaxOf(1, aSprite->TransitionTime());
        const TInt64 phase = aSprite->TransitionPhase();
        const TInt64 blend = transition == 12 ? phase * 100 / time : (time - phase) * 100 / time;
        aSprite->Blend(static_cast<TInt>(MaxOf<TInt64>(-1, MinOf<TInt64>(101, blend))));
        }
    ClipRectSet(aSprite->ClipRect());
    iSpritesDrawn++;
    switch (aSprite->Type())
        {
        case BITMAP_ELEMENT:
            DrawBitmap(aSprite);
            break;
        case BITMAP_ARRAY_ELEMENT:
            DrawBitmapArray(aSprite);
            break;
        case TEXT_ELEMENT:
            DrawText(aSprite);
            break;
        case SHAPE_ELEMENT:
        case SHAPE_SPRITE:
            DrawShape(aSprite);
            break;
        default:
            break;
        }
    }

// ---------------------------------------------------------------------------------------
// Transitions: the rectangle step and the shake

void CZView::TransitionRectangles(TRect& aDrawRect, TRect& aClippingRect, TInt aTransition, TInt aTransitionTime, TInt aTransitionPhase) const
    {
    const TInt n = aTransition;
    const TInt t = aTransitionTime;
    if (t == 0)
        {
        return;
        }
    // The effective phase in 64 bits: time minus phase need not fit in 32.
    TInt64 p = aTransitionPhase;
    if ((n >= 21 && n <= 40) || (n >= 61 && n <= 70))
        {
        p = static_cast<TInt64>(t) - p;
        }
    const TInt64 w = aClippingRect.Width();
    const TInt64 h = aClippingRect.Height();
    const TInt64 wd = aDrawRect.Width();
    const TInt64 hd = aDrawRect.Height();
    const TInt ws = static_cast<TInt>(w * p / t);
    const TInt hs = static_cast<TInt>(h * p / t);
    const TInt W = static_cast<TInt>(w);
    const TInt H = static_cast<TInt>(h);
    switch (n)
        {
        case 1: case 21: aClippingRect = TRect(0, 0, ws, H); break;
        case 2: case 22: aClippingRect = TRect(W - ws, 0, W, H); break;
        case 3: case 23: aClippingRect = TRect(0, 0, W, hs); break;
        case 4: case 24: aClippingRect = TRect(0, H - hs, W, H); break;
        case 5: case 25: aClippingRect = TRect(W / 2 - ws / 2, 0, W / 2 + ws / 2, H); break;
        case 6: case 26: aClippingRect = TRect(0, H / 2 - hs / 2, W, H / 2 + hs / 2); break;
        case 7: case 27: aClippingRect = TRect(W / 2 - ws / 2, H / 2 - hs / 2, W / 2 + ws / 2, H / 2 + hs / 2); break;
        case 8: case 28: aDrawRect.Move(static_cast<TInt>(wd * p / t - wd), 0); break;
        case 9: case 29: aDrawRect.Move(static_cast<TInt>(wd - wd * p / t), 0); break;
        case 10: case 30: aDrawRect.Move(0, static_cast<TInt>(hd * p / t - hd)); break;
        case 11: case 31: aDrawRect.Move(0, static_cast<TInt>(hd - hd * p / t)); break;
        default: break;
        }
    }

TPoint CZView::ShakeOffset() const
    {
    const TReal u1 = Math::FRand(iRandSeed);
    const TReal u2 = Math::FRand(iRandSeed);
    return TPoint(static_cast<TInt>(u1 * 6.0 - 3.0), static_cast<TInt>(u2 * 6.0 - 3.0));
    }

// ---------------------------------------------------------------------------------------
// Bitmaps

void CZView::DrawBitmap(CZSprite* aSprite) const
    {
    CZElement* element = aSprite->Element();
    if (!element || !element->Element() || element->Element()->Type() != BITMAP_ELEMENT)
        {
        return;
        }
    DrawBitmapElement(aSprite, element, aSprite->X(), aSprite->Y(), aSprite->Width(), aSprite->Height(),
                      aSprite->Angle(), element->Element()->RegPoint());
    }

void CZView::DrawBitmapElement(CZSprite* aSprite, CZElement* aElement, TInt aX, TInt aY, TInt aWidth, TInt aHeight, TInt aAngle, TPoint aRegPoint) const
    {
    if (!iPlayer)
        {
        return;
        }
    CZElementBitmap* bitmapElement = static_cast<CZElementBitmap*>(aElement->Element());
    CWsBitmap* bitmap = bitmapElement->Bitmap();
    if (!bitmap)
        {
        return;
        }
    const TInt w = MinOf(SPRITE_DRAW_SIZE_MAX, aWidth);
    const TInt h = MinOf(SPRITE_DRAW_SIZE_MAX, aHeight);
    const TInt ew = bitmapElement->Width();
    const TInt eh = bitmapElement->Height();
    if (ew <= 0 || eh <= 0 || w <= 0 || h <= 0)
        {
        return;
        }
    const TInt transition = aSprite->Transition();
    const TPoint shake = (transition == 100) ? ShakeOffset() : TPoint(0, 0);

    TRect target(0, 0, w, h);
    TRect source(0, 0, ew, eh);
    TransitionRectangles(target, source, transition, aSprite->TransitionTime(), aSprite->TransitionPhase());
    // Scrolls cut the source too, so that the picture slides within the sprite's own
    // rectangle.
    const TInt time = aSprite->TransitionTime();
    if (time != 0 && ((transition >= 8 && transition <= 11) || (transition >= 28 && transition <= 31)))
        {
        const TInt64 p = transition <= 11 ? aSprite->TransitionPhase() : static_cast<TInt64>(time) - aSprite->TransitionPhase();
        const TInt ws = static_cast<TInt>(static_cast<TInt64>(ew) * p / time);
        const TInt hs = static_cast<TInt>(static_cast<TInt64>(eh) * p / time);
        switch (transition)
            {
            case 8: case 28: source = TRect(ew - ws, 0, ew, eh); break;
            case 9: case 29: source = TRect(0, 0, ws, eh); break;
            case 10: case 30: source = TRect(0, eh - hs, ew, eh); break;
            default: source = TRect(0, 0, ew, hs); break;
            }
        }

    const TInt64 locX = static_cast<TInt64>(aX) + iPlayer->LocX();
    const TInt64 locY = static_cast<TInt64>(aY) + iPlayer->LocY();
    const TInt64 lx = locX - static_cast<TInt64>(aRegPoint.iX) * aWidth / ew;
    const TInt64 ly = locY - static_cast<TInt64>(aRegPoint.iY) * aHeight / eh;
    if (Abs64(lx) > KFarAway || Abs64(ly) > KFarAway || Abs64(locX) > KFarAway || Abs64(locY) > KFarAway)
        {
        return;
        }
    target.Move(static_cast<TInt>(lx) + shake.iX, static_cast<TInt>(ly) + shake.iY);

    const TInt mask = (aSprite->Mask() && bitmapElement->Masked()) ? 1 : 0;
    if (aAngle != 0)
        {
        Draw12bBitmapRotated(bitmap, target, source, aSprite->Blend(), mask,
                             TPoint(static_cast<TInt>(locX), static_cast<TInt>(locY)), aAngle);
        }
    else if (aSprite->Blend() > 0)
        {
        // A sprite showing its own element says whether it is zoomed; a cell of an array
        // is zoomed when its box differs from its size.
        const TBool zoom = (aElement == aSprite->Element()) ? aSprite->Zoom() : (aWidth != ew || aHeight != eh);
        if (zoom)
            {
            Draw12bBitmapScaled(bitmap, target, source, aSprite->Blend(), mask);
            }
        else
            {
            Draw12bBitmap(bitmap, target.iTl, source, aSprite->Blend(), mask);
            }
        }
    }

void CZView::Draw12bBitmap(CWsBitmap* aBitmap, TPoint aTL, TRect aClippingRect, TInt aBlend, TInt aMask) const
    {
    const TInt b = BlendWeight(aBlend);
    if (!iPlayer || !aBitmap || !aBitmap->DataAddress() || b == 0 || !iOffScreenPixels)
        {
        return;
        }
    const TSize size = aBitmap->SizeInPixels();
    TInt sx1 = MaxOf(0, aClippingRect.iTl.iX);
    TInt sx2 = MinOf(size.iWidth, aClippingRect.iBr.iX);
    TInt sy1 = MaxOf(0, aClippingRect.iTl.iY);
    TInt sy2 = MinOf(size.iHeight, aClippingRect.iBr.iY);
    if (sx2 - sx1 <= 0 || sy2 - sy1 <= 0)
        {
        return;
        }
    // aTL is where source pixel (0,0) lands; the window's first pixel lands at aTL + (sx1, sy1).
    TInt tx = aTL.iX + sx1;
    TInt ty = aTL.iY + sy1;
    const TRect& c = iClipRect;
    if (tx < c.iTl.iX)
        {
        sx1 += c.iTl.iX - tx;
        tx = c.iTl.iX;
        }
    if (tx + (sx2 - sx1) > c.iBr.iX)
        {
        sx2 -= tx + (sx2 - sx1) - c.iBr.iX;
        }
    if (ty < c.iTl.iY)
        {
        sy1 += c.iTl.iY - ty;
        ty = c.iTl.iY;
        }
    if (ty + (sy2 - sy1) > c.iBr.iY)
        {
        sy2 -= ty + (sy2 - sy1) - c.iBr.iY;
        }
    const TInt count = sx2 - sx1;
    if (count <= 0 || sy2 - sy1 <= 0)
        {
        return;
        }
    DrawRectAdd(TRect(tx, ty, tx + count, ty + (sy2 - sy1)));

    TUint16* sourcePixels = reinterpret_cast<TUint16*>(aBitmap->DataAddress());
    const TInt sourceStride = EvenStride(size.iWidth);
    for (TInt sy = sy1; sy < sy2; sy++)
        {
        TUint16* src = sourcePixels + sy * sourceStride + sx1;
        TUint16* dst = OffScreenRow(ty + (sy - sy1)) + tx;
        for (TInt done = 0; done < count; done += KMaxRowCall)
            {
            const TInt n = MinOf(KMaxRowCall, count - done);
            if (b == 16)
                {
                if (aMask)
                    {
                    MaskedLine(src + done, dst + done, n);
                    }
                else
                    {
                    CopyLine(src + done, dst + done, n);
                    }
                }
            else if (aMask)
                {
                BlendLineMasked(src + done, dst + done, b, n);
                }
            else
                {
                BlendLine(src + done, dst + done, b, n);
                }
            }
        }
    }

void CZView::Draw12bBitmapScaled(CWsBitmap* aBitmap, TRect aTargetRect, TRect aClippingRect, TInt aBlend, TInt aMask) const
    {
    const TInt b = BlendWeight(aBlend);
    if (!iPlayer || !aBitmap || !aBitmap->DataAddress() || b == 0 || !iOffScreenPixels)
        {
        return;
        }
    const TSize size = aBitmap->SizeInPixels();
    const TInt bw = size.iWidth;
    const TInt bh = size.iHeight;
    const TInt sx1 = MaxOf(0, aClippingRect.iTl.iX);
    const TInt sx2 = MinOf(bw, aClippingRect.iBr.iX);
    const TInt sy1 = MaxOf(0, aClippingRect.iTl.iY);
    const TInt sy2 = MinOf(bh, aClippingRect.iBr.iY);
    if (sx2 - sx1 <= 0 || sy2 - sy1 <= 0)
        {
        return;
        }
    const TInt tw = aTargetRect.Width();
    const TInt th = aTargetRect.Height();
    if (tw <= 0 || th <= 0)
        {
        return;
        }
    const TInt stepX = static_cast<TInt>((static_cast<TInt64>(bw) * 65536) / tw);
    const TInt stepY = static_cast<TInt>((static_cast<TInt64>(bh) * 65536) / th);

    // The target columns (and rows) whose centres sample inside the window.
    TInt xl = aTargetRect.iTl.iX;
    TInt xr = aTargetRect.iBr.iX;
    TBool leftFound = EFalse;
    TInt64 pos = stepX / 2;
    for (TInt i = 0; i < tw; i++)
        {
        if (!leftFound && pos / 65536 >= sx1)
            {
            xl = aTargetRect.iTl.iX + i;
            leftFound = ETrue;
            }
        if (pos / 65536 >= sx2)
            {
            xr = aTargetRect.iTl.iX + i;
            break;
            }
        pos += stepX;
        }
    TInt yt = aTargetRect.iTl.iY;
    TInt yb = aTargetRect.iBr.iY;
    TBool topFound = EFalse;
    pos = stepY / 2;
    for (TInt i = 0; i < th; i++)
        {
        if (!topFound && pos / 65536 >= sy1)
            {
            yt = aTargetRect.iTl.iY + i;
            topFound = ETrue;
            }
        if (pos / 65536 >= sy2)
            {
            yb = aTargetRect.iTl.iY + i;
            break;
            }
        pos += stepY;
        }
    const TRect& c = iClipRect;
    xl = MaxOf(xl, c.iTl.iX);
    xr = MinOf(xr, c.iBr.iX);
    yt = MaxOf(yt, c.iTl.iY);
    yb = MinOf(yb, c.iBr.iY);
    if (xr - xl <= 0 || yb - yt <= 0)
        {
        return;
        }
    DrawRectAdd(TRect(xl, yt, xr, yb));

    const TInt skip = xl - aTargetRect.iTl.iX;
    const TInt count = xr - xl;
    TUint16* sourcePixels = reinterpret_cast<TUint16*>(aBitmap->DataAddress());
    const TInt sourceStride = EvenStride(bw);
    TInt previousRow = -1;
    for (TInt y = yt; y < yb; y++)
        {
        const TInt64 r = y - aTargetRect.iTl.iY;
        const TInt sourceRow = static_cast<TInt>((r * stepY) / 65536);
        TUint16* src = sourcePixels + sourceRow * sourceStride;
        TUint16* dst = OffScreenRow(y) + xl;
        if (b == 16 && !aMask && sourceRow == previousRow)
            {
            TUint16* above = OffScreenRow(y - 1) + xl;
            for (TInt done = 0; done < count; done += KMaxRowCall)
                {
                CopyLine(above + done, dst + done, MinOf(KMaxRowCall, count - done));
                }
            continue;
            }
        for (TInt done = 0; done < count; done += KMaxRowCall)
            {
            const TInt n = MinOf(KMaxRowCall, count - done);
            const TInt packed = n + 1024 * (skip + done);
            if (b == 16)
                {
                if (aMask)
                    {
                    ScaledMaskedLine(src, dst + done, packed, stepX);
                    }
                else
                    {
                    ScaledLine(src, dst + done, packed, stepX);
                    }
                }
            else if (aMask)
                {
                ScaledMaskedBlendLine(src, dst + done, packed + 16777216 * b, stepX);
                }
            else
                {
                ScaledBlendLine(src, dst + done, packed + 16777216 * b, stepX);
                }
            }
        if (b == 16 && !aMask)
            {
            previousRow = sourceRow;
            }
        }
    }

void CZView::Draw12bBitmapRotated(CWsBitmap* aBitmap, TRect aTargetRect, TRect aClippingRect, TInt aBlend, TInt aMask, TPoint aRegPoint, TInt aAngle) const
    {
    const TInt b = BlendWeight(aBlend);
    if (!iPlayer || !aBitmap || !aBitmap->DataAddress() || b == 0 || !iOffScreenPixels)
        {
        return;
        }
    const TInt a = ((aAngle % 360) + 360) % 360;
    const TInt64 c = iPlayer->Cos(a);
    const TInt64 s = iPlayer->Sin(a);
    const TInt64 tw = aTargetRect.Width();
    const TInt64 th = aTargetRect.Height();
    const TSize size = aBitmap->SizeInPixels();
    const TInt64 bw = size.iWidth;
    const TInt64 bh = size.iHeight;
    if (tw <= 0 || th <= 0 || bw <= 0 || bh <= 0)
        {
        return;
        }
    const TInt64 bwe = EvenStride(size.iWidth);
    const TInt64 L = static_cast<TInt64>(MaxOf(0, aClippingRect.iTl.iX)) * 16384;
    const TInt64 R = MinOf<TInt64>(bwe, aClippingRect.iBr.iX) * 16384;
    const TInt64 Tp = static_cast<TInt64>(MaxOf(0, aClippingRect.iTl.iY)) * 16384;
    const TInt64 B = MinOf<TInt64>(bh, aClippingRect.iBr.iY) * 16384;
    if (L >= R || Tp >= B)
        {
        return;
        }
    const TInt64 ax = iPlayer->Cos(-a) * bwe / tw;
    const TInt64 ay = iPlayer->Sin(-a) * bwe / tw;
    const TInt64 bx = iPlayer->Cos(90 - a) * bh / th;
    const TInt64 by = iPlayer->Sin(90 - a) * bh / th;

    const TInt64 px = aRegPoint.iX;
    const TInt64 py = aRegPoint.iY;
    const TInt64 kx[4] = {aTargetRect.iTl.iX - px, aTargetRect.iBr.iX - px, aTargetRect.iBr.iX - px, aTargetRect.iTl.iX - px};
    const TInt64 ky[4] = {aTargetRect.iTl.iY - py, aTargetRect.iTl.iY - py, aTargetRect.iBr.iY - py, aTargetRect.iBr.iY - py};
    TInt64 rx[4];
    TInt64 ry[4];
    for (TInt i = 0; i < 4; i++)
        {
        rx[i] = RotX(kx[i], ky[i], c, s);
        ry[i] = RotY(kx[i], ky[i], c, s);
        }
    const TInt64 ox = px + rx[0];
    const TInt64 oy = py + ry[0];
    TInt64 minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (TInt i = 0; i < 4; i++)
        {
        minX = MinOf(minX, rx[i] - rx[0]);
        maxX = MaxOf(maxX, rx[i] - rx[0]);
        minY = MinOf(minY, ry[i] - ry[0]);
        maxY = MaxOf(maxY, ry[i] - ry[0]);
        }
    const TRect& clip = iClipRect;
    minX = MaxOf<TInt64>(minX, clip.iTl.iX - ox);
    maxX = MinOf<TInt64>(maxX, clip.iBr.iX - ox);
    minY = MaxOf<TInt64>(minY, clip.iTl.iY - oy);
    maxY = MinOf<TInt64>(maxY, clip.iBr.iY - oy);
    // Nothing of the turned picture lies inside the clip: nothing is drawn or reported.
    if (maxX <= minX || maxY <= minY)
        {
        return;
        }
    DrawRectAdd(TRect(static_cast<TInt>(ox + minX), static_cast<TInt>(oy + minY), static_cast<TInt>(ox + maxX),
                      static_cast<TInt>(oy + maxY)));

    TUint16* sourcePixels = reinterpret_cast<TUint16*>(aBitmap->DataAddress());
    for (TInt64 y = minY; y < maxY; y++)
        {
        TInt64 xs = minX;
        TInt64 xe = maxX;
        const TInt64 pX = minX * ax + ax / 2 + y * ay + ay / 2;
        const TInt64 pY = minX * bx + bx / 2 + y * by + by / 2;
        if (!Narrow(pX, ax, L, R, minX, xs, xe) || !Narrow(pY, bx, Tp, B, minX, xs, xe) || xs >= xe)
            {
            continue;
            }
        TInt64 projX = xs * ax + ax / 2 + y * ay + ay / 2;
        TInt64 projY = xs * bx + bx / 2 + y * by + by / 2;
        TUint16* dst = OffScreenRow(static_cast<TInt>(oy + y)) + (ox + xs);
        const TInt count = static_cast<TInt>(xe - xs);
        for (TInt done = 0; done < count; done += KMaxRowCall)
            {
            const TInt n = MinOf(KMaxRowCall, count - done);
            const TInt packed = n + 1024 * static_cast<TInt>(bwe);
            const TInt pxi = static_cast<TInt>(projX);
            const TInt pyi = static_cast<TInt>(projY);
            if (b == 16)
                {
                if (aMask)
                    {
                    RotatedMaskedLine(sourcePixels, dst + done, pxi, pyi, static_cast<TInt>(ax), static_cast<TInt>(bx), packed);
                    }
                else
                    {
                    RotatedLine(sourcePixels, dst + done, pxi, pyi, static_cast<TInt>(ax), static_cast<TInt>(bx), packed);
                    }
                }
            else if (aMask)
                {
                RotatedMaskedBlendLine(sourcePixels, dst + done, pxi, pyi, static_cast<TInt>(ax), static_cast<TInt>(bx), packed + 67108864 * b);
                }
            else
                {
                RotatedBlendLine(sourcePixels, dst + done, pxi, pyi, static_cast<TInt>(ax), static_cast<TInt>(bx), packed + 67108864 * b);
                }
            projX += n * ax;
            projY += n * bx;
            }
        }
    }

// ---------------------------------------------------------------------------------------
// Bitmap arrays

void CZView::DrawBitmapArray(CZSprite* aSprite) const
    {
    CZElement* element = aSprite->Element();
    if (!iPlayer || !element || !element->Element() || element->Element()->Type() != BITMAP_ARRAY_ELEMENT)
        {
        return;
        }
    CZElementBitmapArray* array = static_cast<CZElementBitmapArray*>(element->Element());
    const TInt64 cols = array->ArrayWidth();
    const TInt64 rows = array->ArrayHeight();
    const TInt64 W = aSprite->Width();
    const TInt64 H = aSprite->Height();
    if (W <= 0 || H <= 0 || cols <= 0 || rows <= 0)
        {
        return;
        }
    const TPoint reg = array->RegPoint();
    const TInt64 left = aSprite->X() - reg.iX * W / 100;
    const TInt64 top = aSprite->Y() - reg.iY * H / 100;
    const TRect& c = iClipRect;
    const TInt64 vx1 = MaxOf<TInt64>(0, c.iTl.iX - (left + iPlayer->LocX()));
    const TInt64 vy1 = MaxOf<TInt64>(0, c.iTl.iY - (top + iPlayer->LocY()));
    const TInt64 vx2 = MinOf<TInt64>(vx1 + c.iBr.iX - c.iTl.iX, W - 1);
    const TInt64 vy2 = MinOf<TInt64>(vy1 + c.iBr.iY - c.iTl.iY, H - 1);
    if (vx1 > vx2 || vy1 > vy2)
        {
        return;
        }
    const TInt64 c1 = vx1 * cols / W;
    const TInt64 r1 = vy1 * rows / H;
    const TInt64 c2 = MinOf(vx2 * cols / W, cols - 1);
    const TInt64 r2 = MinOf(vy2 * rows / H, rows - 1);
    for (TInt64 r = r1; r <= r2; r++)
        {
        for (TInt64 col = c1; col <= c2; col++)
            {
            CZElement* cell = array->BitmapGet(static_cast<TInt>(col), static_cast<TInt>(r));
            if (!cell || !cell->Element() || cell->Element()->Type() != BITMAP_ELEMENT)
                {
                continue;
                }
            const TInt64 x1 = left + col * W / cols;
            const TInt64 y1 = top + r * H / rows;
            const TInt64 x2 = left + (col + 1) * W / cols;
            const TInt64 y2 = top + (r + 1) * H / rows;
            if (Abs64(x1) > KFarAway || Abs64(y1) > KFarAway)
                {
                continue;
                }
            // Each cell is drawn unrotated from its top-left, with the sprite's blend,
            // mask and transition.
            DrawBitmapElement(aSprite, cell, static_cast<TInt>(x1), static_cast<TInt>(y1), static_cast<TInt>(x2 - x1),
                              static_cast<TInt>(y2 - y1), 0, TPoint(0, 0));
            }
        }
    }
