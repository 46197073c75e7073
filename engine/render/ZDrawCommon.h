// ZDrawCommon.h
//
// Rectangle helpers shared by the text and shape drawing of the view. Coordinates that
// come from sprites and elements can be anywhere in the 32-bit range; moves are done in
// 64 bits and kept within KFarAway of the origin, far outside any view, so that no
// arithmetic on them can overflow.

#ifndef ZDRAWCOMMON_H
#define ZDRAWCOMMON_H

#include <e32std.h>

namespace ZDraw
    {
    const TInt64 KFarAway = 1 << 28;

    inline TInt Saturated(TInt64 aValue)
        {
        if (aValue > KFarAway)
            {
            return static_cast<TInt>(KFarAway);
            }
        if (aValue < -KFarAway)
            {
            return static_cast<TInt>(-KFarAway);
            }
        return static_cast<TInt>(aValue);
        }

    inline TBool IsFar(TInt64 aValue)
        {
        return aValue > KFarAway || aValue < -KFarAway;
        }

    // aRect moved by (aDx, aDy), each edge kept within KFarAway.
    inline TRect MovedRect(const TRect& aRect, TInt64 aDx, TInt64 aDy)
        {
        return TRect(Saturated(aRect.iTl.iX + aDx), Saturated(aRect.iTl.iY + aDy),
                     Saturated(aRect.iBr.iX + aDx), Saturated(aRect.iBr.iY + aDy));
        }

    // The common part of two rectangles; its width or height is 0 or less when they do
    // not overlap.
    inline TRect Intersected(const TRect& aA, const TRect& aB)
        {
        return TRect(aA.iTl.iX > aB.iTl.iX ? aA.iTl.iX : aB.iTl.iX, aA.iTl.iY > aB.iTl.iY ? aA.iTl.iY : aB.iTl.iY,
                     aA.iBr.iX < aB.iBr.iX ? aA.iBr.iX : aB.iBr.iX, aA.iBr.iY < aB.iBr.iY ? aA.iBr.iY : aB.iBr.iY);
        }

    inline TBool IsEmptyRect(const TRect& aRect)
        {
        return aRect.iBr.iX <= aRect.iTl.iX || aRect.iBr.iY <= aRect.iTl.iY;
        }
    }

#endif
