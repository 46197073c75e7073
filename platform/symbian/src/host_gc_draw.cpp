// Shapes and text of the bitmap contexts.
//
// Every operation works out its pixels in store coordinates with 64-bit arithmetic (so
// that any TInt coordinates, origin added, are safe), clips each horizontal span once
// against the clip area (the target bounds limited by the clipping rectangle) and writes
// the 16-bit words straight into the rows. The colours are converted once per call.
//
// Pen: a point of the outline is drawn as a pen-size rectangle centred on it (the extra
// pixel of an even size goes right and down); sizes are limited to KPenSizeMax. A thick
// solid pen collects its stamps row by row and draws each row once. Styled pens repeat an on/off pattern, one
// entry per outline pixel, continued across the segments of one outline:
//   dotted          X..              (3)
//   dashed          XXXXXX..         (8)
//   dot-dash        XXXXXX..X..      (11)
//   dot-dot-dash    XXXXXX..X..X..   (14)
// Closed curves (rectangles, rounded rectangles, ellipses) start their pattern at the right
// end of the middle row and run anticlockwise; arcs and pies start where the arc starts.
//
// Brush: solid fills every pixel; the patterned brush has no pattern bitmap on the host
// and fills like the solid one; the hatches draw one-pixel lines every 8 pixels, aligned
// to the context's origin, and leave the pixels between them as they were:
//   vertical         x % 8 == 0         horizontal        y % 8 == 0
//   forward diagonal (x + y) % 8 == 0   rearward diagonal (x - y) % 8 == 0
//   square cross     vertical or horizontal
//   diamond cross    forward or rearward diagonal
// (x, y relative to the context's origin.)
//
// Rectangles, rounded rectangles and ellipses are one kind of shape here: every row of
// the box holds one run of inside pixels, inset from both sides by the same amount. An
// ellipse's row runs include a pixel when its centre lies less than half a pixel outside
// the curve along its row or along its column (as the midpoint algorithm chooses pixels), which
// keeps the shape symmetric both ways and, for a circle, in all eight directions. The
// pen outline is the inside pixels that have a 4-neighbour outside, so it is one pixel
// thick and 8-connected; the brush fills all inside pixels first.
#include <bitstd.h>
#include <zhost/fonts.h>

#include "host_gc_internal.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

typedef __int128 TInt128;

// Pen patterns: bit i set when step i of the repeat is drawn.
struct TDash {
  TUint32 iBits;
  TInt iLength;
};

TDash DashOf(CGraphicsContext::TPenStyle aStyle) {
  switch (aStyle) {
    case CGraphicsContext::EDottedPen:
      return {0x1, 3};
    case CGraphicsContext::EDashedPen:
      return {0x3F, 8};
    case CGraphicsContext::EDotDashPen:
      return {0x13F, 11};
    case CGraphicsContext::EDotDotDashPen:
      return {0x93F, 14};
    default:
      return {0x1, 1};
  }
}

// Floor and ceiling of a / b for b > 0.
TInt128 FloorDiv(TInt128 aA, TInt128 aB) {
  TInt128 q = aA / aB;
  if ((aA % aB) != 0 && aA < 0) --q;
  return q;
}
TInt128 CeilDiv(TInt128 aA, TInt128 aB) { return -FloorDiv(-aA, aB); }

typedef unsigned __int128 TUint128;

TInt64 ISqrt(TUint128 aValue) {
  TInt64 s = static_cast<TInt64>(std::sqrt(static_cast<long double>(aValue)));
  while (s > 0 && static_cast<TUint128>(s) * static_cast<TUint128>(s) > aValue) --s;
  while (static_cast<TUint128>(s + 1) * static_cast<TUint128>(s + 1) <= aValue) ++s;
  return s;
}

TInt64 ISqrt64(TUint64 aValue) {
  TInt64 s = static_cast<TInt64>(std::sqrt(static_cast<double>(aValue)));
  while (s > 0 && static_cast<TUint64>(s) * static_cast<TUint64>(s) > aValue) --s;
  while (static_cast<TUint128>(s + 1) * static_cast<TUint128>(s + 1) <= aValue) ++s;
  return s;
}

// The largest t >= 0 with t * t * aD < aN, or -1 when there is none (aD > 0).
TInt64 StrictRoot(TUint128 aN, TUint128 aD) {
  if ((aN >> 64) == 0) {
    // The usual sizes: 64-bit division is much cheaper.
    const TUint64 n = static_cast<TUint64>(aN), d = static_cast<TUint64>(aD);
    const TUint64 q = n / d;
    if (n % d != 0) return ISqrt64(q);
    return q == 0 ? -1 : ISqrt64(q - 1);
  }
  const TUint128 q = aN / aD;
  if (aN % aD != 0) return ISqrt(q);
  return q == 0 ? -1 : ISqrt(q - 1);
}

// Clamps a 64-bit coordinate into TInt.
TInt Sat(TInt64 aValue) {
  return static_cast<TInt>(std::clamp<TInt64>(aValue, KMinTInt, KMaxTInt));
}

// A direction in the plane with y upwards, for angle comparisons.
struct TDir {
  TInt64 iX;
  TInt64 iY;
};

// 0 for angles in [0, 180), 1 for [180, 360).
TInt Half(const TDir& aD) { return (aD.iY > 0 || (aD.iY == 0 && aD.iX > 0)) ? 0 : 1; }

// Whether aA's angle (anticlockwise from the x axis) is below aB's.
TBool AngleLess(const TDir& aA, const TDir& aB) {
  const TInt ha = Half(aA), hb = Half(aB);
  if (ha != hb) return ha < hb;
  return static_cast<TInt128>(aA.iX) * aB.iY - static_cast<TInt128>(aA.iY) * aB.iX > 0;
}

// The part of the plane anticlockwise from ray iStart to ray iEnd, both included; the
// whole plane when the two rays coincide.
class TSector {
public:
  TSector(const TDir& aStart, const TDir& aEnd) : iStart(aStart), iEnd(aEnd) {
    if (iStart.iX == 0 && iStart.iY == 0) iStart.iX = 1;
    if (iEnd.iX == 0 && iEnd.iY == 0) iEnd.iX = 1;
    iFull = !AngleLess(iStart, iEnd) && !AngleLess(iEnd, iStart);
    iEndKey = Key(iEnd);
  }
  // 1 when aD comes before the start ray in angle, so that it is reached only after
  // the turn passes angle 0.
  TInt Key(const TDir& aD) const { return AngleLess(aD, iStart) ? 1 : 0; }
  TBool Contains(const TDir& aD) const {
    if (iFull || (aD.iX == 0 && aD.iY == 0)) return ETrue;
    const TInt k = Key(aD);
    return k < iEndKey || (k == iEndKey && !PastEnd(aD));
  }
  // The two comparisons Contains is made of.
  TBool BeforeStart(const TDir& aD) const { return AngleLess(aD, iStart); }
  TBool PastEnd(const TDir& aD) const { return AngleLess(iEnd, aD); }
  const TDir& Start() const { return iStart; }
  const TDir& End() const { return iEnd; }

private:
  TDir iStart;
  TDir iEnd;
  TBool iFull;
  TInt iEndKey;
};

// The first x in [aX0, aX1) where aPred differs from aPred(aX0), for a predicate that
// changes at most once over the range; aX1 when it does not change.
template <class P>
TInt64 FirstChange(TInt64 aX0, TInt64 aX1, P&& aPred) {
  const TBool first = aPred(aX0);
  if (aPred(aX1 - 1) == first) return aX1;
  TInt64 lo = aX0, hi = aX1 - 1;  // aPred(lo) == first, aPred(hi) != first
  while (hi - lo > 1) {
    const TInt64 mid = lo + (hi - lo) / 2;
    if (aPred(mid) == first)
      lo = mid;
    else
      hi = mid;
  }
  return hi;
}

// Pens are at most this wide and high, which keeps the cost of a stamp bounded.
const TInt KPenSizeMax = 1024;

// Beyond this many rows or columns a shape's outline walk covers only the part near the
// clip area, and its pen pattern restarts there.
const TInt64 KWalkAllRowsMax = 1 << 20;

// A box whose every row holds one run of inside pixels, inset equally from both sides:
// corners of quarter ellipses of iEw x iEh (the whole box for an ellipse, none for a
// rectangle). Coordinates are store coordinates.
class TRowShape {
public:
  TRowShape(TInt64 aL, TInt64 aT, TInt64 aW, TInt64 aH, TInt64 aEw, TInt64 aEh)
      : iL(aL), iT(aT), iW(aW), iH(aH), iEw(aEw), iEh(aEh) {
    if (iEw <= 0 || iEh <= 0) iEw = iEh = 0;
  }
  // Keeps the insets of rows aFirst .. aLast for the lookups that follow, when the
  // memory for them can be had (walks along the outline look each row up many times).
  void Cache(TInt64 aFirst, TInt64 aLast) const {
    iCache.clear();
    if (aLast < aFirst) return;
    try {
      iCache.reserve(static_cast<size_t>(aLast - aFirst + 1));
      for (TInt64 j = aFirst; j <= aLast; ++j) iCache.push_back(Computed(j));
      iCacheFirst = aFirst;
    } catch (const std::bad_alloc&) {
      iCache.clear();
    }
  }
  // The inset of row aJ (0 .. iH - 1); iW for rows outside the box.
  TInt64 Inset(TInt64 aJ) const {
    if (aJ >= iCacheFirst && aJ - iCacheFirst < static_cast<TInt64>(iCache.size()))
      return iCache[static_cast<size_t>(aJ - iCacheFirst)];
    return Computed(aJ);
  }
  // The same, worked out.
  TInt64 Computed(TInt64 aJ) const {
    if (aJ < 0 || aJ >= iH) return iW;
    if (iEw == 0) return 0;
    TInt64 e;
    if (aJ < (iEh + 1) / 2)
      e = aJ;
    else if (aJ >= iH - iEh / 2)
      e = aJ - (iH - iEh);
    else
      return 0;
    const TInt64 a = iEw - 1;
    return (a - HalfWidth(2 * e - (iEh - 1))) / 2;
  }
  // The outline runs of row aJ: one or two [lo, hi] ranges (inclusive).
  TInt Runs(TInt64 aJ, TInt64 aRuns[2][2]) const { return Runs(Inset(aJ - 1), Inset(aJ), Inset(aJ + 1), aRuns); }
  // The same from the insets of the row and its neighbours above and below.
  TInt Runs(TInt64 aAbove, TInt64 aIn, TInt64 aBelow, TInt64 aRuns[2][2]) const {
    const TInt64 in = aIn;
    const TInt64 m = std::max({in + 1, aAbove, aBelow});
    const TInt64 r = iL + iW;
    if (2 * m >= iW) {
      aRuns[0][0] = iL + in;
      aRuns[0][1] = r - 1 - in;
      return 1;
    }
    aRuns[0][0] = iL + in;
    aRuns[0][1] = iL + m - 1;
    aRuns[1][0] = r - m;
    aRuns[1][1] = r - 1 - in;
    return 2;
  }

  TInt64 iL, iT, iW, iH;

private:
  // Half the width of an ellipse row, doubled: the largest |u| (u = 2x - (iEw - 1), of
  // the parity of iEw - 1) of an inside pixel on the row at doubled height aV. A pixel
  // is inside when it lies less than half a pixel outside the curve along its row, or
  // along its column.
  TInt64 HalfWidth(TInt64 aV) const {
    const TInt64 a = iEw - 1, b = iEh - 1;
    const TInt64 v = aV < 0 ? -aV : aV;
    // The middle row (or two) spans the whole width, as the middle column (or two)
    // spans the whole height below, so that the shape touches all four sides of its box.
    if (b == 0 || v <= 1) return a;
    const TUint128 a2 = static_cast<TUint128>(a) * a;
    const TUint128 b2 = static_cast<TUint128>(b) * b;
    // Along the row: |u| - 1 < a * sqrt(1 - v^2 / b^2).
    TInt64 row = StrictRoot(a2 * (b2 - static_cast<TUint128>(v) * v), b2) + 1;
    row = std::min(row, a);
    if ((row ^ a) & 1) --row;
    // Along the column: |v| - 1 < b * sqrt(1 - u^2 / a^2).
    TInt64 col = StrictRoot(a2 * (b2 - static_cast<TUint128>(v - 1) * (v - 1)), b2);
    col = std::min(col, a);
    if ((col ^ a) & 1) --col;
    TInt64 hw = std::max(row, col);
    if (hw < 0) hw = a & 1;  // every row keeps its middle pixel (or two)
    return hw;
  }

  TInt64 iEw, iEh;
  mutable std::vector<TInt64> iCache;
  mutable TInt64 iCacheFirst = 0;
};

class TPainter;

// The rows of the clip area covered by a thick pen, collected before drawing: for each
// row and each piece of the outline, the leftmost and rightmost pen centres whose stamps
// cover the row. Within a piece whose points step monotonically, at most a pixel at a
// time, both ways (a line, one side of a shape's outline, a quarter of an arc) the
// stamps covering a row join into one span, so each row is drawn once per piece instead
// of once per stamp.
class TPenUnion {
public:
  // Ready for a new outline of up to aPieces pieces; EFalse when the memory for it
  // cannot be had.
  TBool Start(const TPainter& aP, TInt aPieces);
  // The pen centred on row aY at x aXa .. aXb, in piece aPiece.
  void Add(const TPainter& aP, TInt64 aY, TInt aPiece, TInt64 aXa, TInt64 aXb);
  void Draw(TPainter& aP);

private:
  TInt64 iTop = 0;
  std::vector<TInt64> iMin;  // piece by piece, a row each
  std::vector<TInt64> iMax;
  size_t iRows = 0;
};

// The drawing state of one operation: the target, the clip area, the colours as pixel
// words, pen and brush, the pen pattern's position and the area touched so far.
class TPainter {
public:
  void Init(const CBitmapContext& aGc, const TRect& aClip) {
    iCl = aClip.iTl.iX;
    iCt = aClip.iTl.iY;
    iCr = aClip.iBr.iX;
    iCb = aClip.iBr.iY;
    if (aClip.IsEmpty()) iCl = iCr = iCt = iCb = 0;
    iOx = static_cast<TInt64>(iTarget.iOrigin.iX) + aGc.Origin().iX;
    iOy = static_cast<TInt64>(iTarget.iOrigin.iY) + aGc.Origin().iY;
    iPen = static_cast<TUint16>(aGc.PenColor().Color4K());
    iBrush = static_cast<TUint16>(aGc.BrushColor().Color4K());
    iPenW = std::min(aGc.PenSize().iWidth, KPenSizeMax);
    iPenH = std::min(aGc.PenSize().iHeight, KPenSizeMax);
    iPenOn = aGc.PenStyle() != CGraphicsContext::ENullPen && iPenW > 0 && iPenH > 0;
    iSolidPen = aGc.PenStyle() == CGraphicsContext::ESolidPen;
    iDash = DashOf(aGc.PenStyle());
    iPhase = 0;
    iBrushStyle = aGc.BrushStyle();
    iTl = iTt = KMaxTInt64;
    iTr = iTb = KMinTInt64;
  }

  TInt64 X(TInt aX) const { return aX + iOx; }
  TInt64 Y(TInt aY) const { return aY + iOy; }
  TBool ClipEmpty() const { return iCl >= iCr || iCt >= iCb; }

  // The touched area, if any (store coordinates).
  TBool Touched(TRect& aRect) const {
    if (iTl >= iTr) return EFalse;
    aRect = TRect(TInt(iTl), TInt(iTt), TInt(iTr), TInt(iTb));
    return ETrue;
  }
  void Touch(TInt64 aL, TInt64 aT, TInt64 aR, TInt64 aB) {
    iTl = std::min(iTl, aL);
    iTt = std::min(iTt, aT);
    iTr = std::max(iTr, aR);
    iTb = std::max(iTb, aB);
  }

  TUint16* Row(TInt64 aY) const { return iTarget.iPixels + aY * iTarget.iStride; }

  // Fills [aX0, aX1) of row aY with aPixel, clipped.
  void Span(TInt64 aY, TInt64 aX0, TInt64 aX1, TUint16 aPixel) {
    if (aY < iCt || aY >= iCb) return;
    aX0 = std::max(aX0, iCl);
    aX1 = std::min(aX1, iCr);
    if (aX0 >= aX1) return;
    ZHost::FillWords(Row(aY) + aX0, aX1 - aX0, aPixel);
    Touch(aX0, aY, aX1, aY + 1);
  }

  // Fills [aX0, aX1) of row aY with the brush, clipped.
  void BrushSpan(TInt64 aY, TInt64 aX0, TInt64 aX1) {
    if (aY < iCt || aY >= iCb) return;
    aX0 = std::max(aX0, iCl);
    aX1 = std::min(aX1, iCr);
    if (aX0 >= aX1) return;
    TUint16* row = Row(aY);
    const TInt64 ry = aY - iOy;
    switch (iBrushStyle) {
      case CGraphicsContext::ENullBrush:
        return;
      case CGraphicsContext::EVerticalHatchBrush:
        Every8(row, aX0, aX1, 0);
        break;
      case CGraphicsContext::EHorizontalHatchBrush:
        if ((ry & 7) == 0) ZHost::FillWords(row + aX0, aX1 - aX0, iBrush);
        break;
      case CGraphicsContext::EForwardDiagonalHatchBrush:
        Every8(row, aX0, aX1, -ry);
        break;
      case CGraphicsContext::ERearwardDiagonalHatchBrush:
        Every8(row, aX0, aX1, ry);
        break;
      case CGraphicsContext::ESquareCrossHatchBrush:
        if ((ry & 7) == 0)
          ZHost::FillWords(row + aX0, aX1 - aX0, iBrush);
        else
          Every8(row, aX0, aX1, 0);
        break;
      case CGraphicsContext::EDiamondCrossHatchBrush:
        Every8(row, aX0, aX1, -ry);
        Every8(row, aX0, aX1, ry);
        break;
      default:  // solid, and patterned (no pattern bitmap on the host)
        ZHost::FillWords(row + aX0, aX1 - aX0, iBrush);
        break;
    }
    Touch(aX0, aY, aX1, aY + 1);
  }

  // The pen at one point of an outline.
  void Stamp(TInt64 aX, TInt64 aY) {
    if (iPenW == 1 && iPenH == 1) {
      if (aX < iCl || aX >= iCr || aY < iCt || aY >= iCb) return;
      Row(aY)[aX] = iPen;
      Touch(aX, aY, aX + 1, aY + 1);
      return;
    }
    StampRun(aY, aX, aX);
  }
  // The pen at every point of [aXa, aXb] on row aY.
  void StampRun(TInt64 aY, TInt64 aXa, TInt64 aXb) {
    const TInt64 y0 = aY - iPenH / 2, x0 = aXa - iPenW / 2, x1 = aXb - iPenW / 2 + iPenW;
    for (TInt64 y = std::max(y0, iCt); y < std::min(y0 + iPenH, iCb); ++y) Span(y, x0, x1, iPen);
  }
  // Step aIndex of the pen pattern at a point.
  void Step(TInt64 aX, TInt64 aY, TInt64 aIndex) {
    if (!iSolidPen && !((iDash.iBits >> (aIndex % iDash.iLength)) & 1)) return;
    Stamp(aX, aY);
  }

  // A line of pen points from (aX0, aY0) towards (aX1, aY1), the end point drawn only
  // with aIncludeEnd; the pattern continues from iPhase and advances by the steps taken.
  void Line(TInt64 aX0, TInt64 aY0, TInt64 aX1, TInt64 aY1, TBool aIncludeEnd) {
    const TInt64 dx = aX1 - aX0, dy = aY1 - aY0;
    const TInt64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const TInt64 n = std::max(adx, ady);
    const TInt64 last = aIncludeEnd ? n : n - 1;
    if (iPenOn && last >= 0 && !ClipEmpty()) {
      if (n == 0) {
        Step(aX0, aY0, iPhase);
      } else if (dy == 0 && iSolidPen && iPenW == 1 && iPenH == 1) {
        if (dx > 0)
          Span(aY0, aX0, aX0 + last + 1, iPen);
        else
          Span(aY0, aX0 - last, aX0 + 1, iPen);
      } else if (iSolidPen && (iPenW > 1 || iPenH > 1) && iUnion.Start(*this, 1)) {
        LineSteps(aX0, aY0, dx, dy, n, last, ETrue);
        iUnion.Draw(*this);
      } else {
        LineSteps(aX0, aY0, dx, dy, n, last, EFalse);
      }
    }
    iPhase += n;
  }

  // The rows (relative to the shape's top) whose pen points can reach the clip area.
  void ReachRows(const TRowShape& aS, TInt64& aFirst, TInt64& aLast) const {
    aFirst = std::max<TInt64>(0, iCt - aS.iT - iPenH - 1);
    aLast = std::min<TInt64>(aS.iH - 1, iCb - aS.iT + iPenH);
  }

  // The brush inside a row shape.
  void FillShape(const TRowShape& aS) {
    if (iBrushStyle == CGraphicsContext::ENullBrush || ClipEmpty()) return;
    const TInt64 j1 = std::min(aS.iH, iCb - aS.iT);
    for (TInt64 j = std::max<TInt64>(0, iCt - aS.iT); j < j1; ++j) {
      const TInt64 in = aS.Inset(j);
      BrushSpan(aS.iT + j, aS.iL + in, aS.iL + aS.iW - in);
    }
  }

  // The pen outline of a row shape.
  void OutlineShape(const TRowShape& aS) {
    if (!iPenOn || ClipEmpty()) return;
    if (!iSolidPen) {
      CacheWalk(aS);
      TInt64 index = 0;
      Walk(aS, [&](TInt64 aX, TInt64 aY, TInt) { Step(aX, aY, index++); });
      iPhase += index;
      return;
    }
    TInt64 j0, j1;
    ReachRows(aS, j0, j1);
    TInt64 runs[2][2];
    TInt64 above = aS.Inset(j0 - 1), in = aS.Inset(j0);
    // A thick pen: the stamps of each side's runs join into one span per row.
    const TBool together = (iPenW > 1 || iPenH > 1) && iUnion.Start(*this, 2);
    const TInt64 cx = aS.iL + aS.iW / 2;
    for (TInt64 j = j0; j <= j1; ++j) {
      const TInt64 below = aS.Inset(j + 1);
      const TInt count = aS.Runs(above, in, below, runs);
      if (!together) {
        for (TInt k = 0; k < count; ++k) StampRun(aS.iT + j, runs[k][0], runs[k][1]);
      } else if (count == 2) {
        iUnion.Add(*this, aS.iT + j, 0, runs[0][0], runs[0][1]);
        iUnion.Add(*this, aS.iT + j, 1, runs[1][0], runs[1][1]);
      } else {
        if (runs[0][0] < cx) iUnion.Add(*this, aS.iT + j, 0, runs[0][0], std::min(runs[0][1], cx - 1));
        if (runs[0][1] >= cx) iUnion.Add(*this, aS.iT + j, 1, std::max(runs[0][0], cx), runs[0][1]);
      }
      above = in;
      in = below;
    }
    if (together) iUnion.Draw(*this);
  }

  static TBool WalksAll(const TRowShape& aS) { return aS.iH <= KWalkAllRowsMax && aS.iW <= KWalkAllRowsMax; }

  // Keeps the insets of the rows a walk along aS's outline looks up.
  void CacheWalk(const TRowShape& aS) const {
    TInt64 first = 0, last = aS.iH - 1;
    if (!WalksAll(aS)) ReachRows(aS, first, last);
    aS.Cache(first - 1, last + 1);
  }

  // Visits the outline pixels of a row shape in order, anticlockwise from the right end
  // of the middle row, with the quarter they lie in (0 top right, 1 top left, 2 bottom
  // left, 3 bottom right). Shapes of more than KWalkAllRowsMax rows or columns are walked
  // only near the clip area.
  template <class F>
  void Walk(const TRowShape& aS, F&& aVisit) const {
    const TBool all = WalksAll(aS);
    TInt64 jLo = 0, jHi = aS.iH - 1, xLo = KMinTInt64, xHi = KMaxTInt64;
    if (!all) {
      ReachRows(aS, jLo, jHi);
      xLo = iCl - iPenW - 1;
      xHi = iCr + iPenW;
    }
    const TInt64 topEnd = (aS.iH + 1) / 2;  // rows above: the top half
    const TInt64 cx = aS.iL + aS.iW / 2;    // columns from here: the right half
    auto part = [&](TInt64 aJ, TBool aRight, TInt64& aLo, TInt64& aHi) {
      TInt64 runs[2][2];
      const TInt count = aS.Runs(aJ, runs);
      if (count == 1) {
        aLo = aRight ? std::max(runs[0][0], cx) : runs[0][0];
        aHi = aRight ? runs[0][1] : std::min(runs[0][1], cx - 1);
      } else {
        aLo = runs[aRight ? 1 : 0][0];
        aHi = runs[aRight ? 1 : 0][1];
      }
      aLo = std::max(aLo, xLo);
      aHi = std::min(aHi, xHi);
      return aLo <= aHi;
    };
    TInt64 lo, hi;
    for (TInt64 j = std::min(topEnd - 1, jHi); j >= jLo; --j)
      if (part(j, ETrue, lo, hi))
        for (TInt64 x = hi; x >= lo; --x) aVisit(x, aS.iT + j, 0);
    for (TInt64 j = jLo; j <= std::min(topEnd - 1, jHi); ++j)
      if (part(j, EFalse, lo, hi))
        for (TInt64 x = hi; x >= lo; --x) aVisit(x, aS.iT + j, 1);
    for (TInt64 j = std::max(topEnd, jLo); j <= jHi; ++j)
      if (part(j, EFalse, lo, hi))
        for (TInt64 x = lo; x <= hi; ++x) aVisit(x, aS.iT + j, 2);
    for (TInt64 j = jHi; j >= std::max(topEnd, jLo); --j)
      if (part(j, ETrue, lo, hi))
        for (TInt64 x = lo; x <= hi; ++x) aVisit(x, aS.iT + j, 3);
  }

  // The arc of the ellipse aS within aSector; for a pie also the two radii and the
  // brush inside the sector.
  void ArcOrPie(const TRowShape& aS, const TPoint& aStart, const TPoint& aEnd, TBool aPie) {
    if (ClipEmpty()) return;
    // Directions from the centre, in doubled coordinates with y upwards.
    const TInt64 cx2 = 2 * aS.iL + aS.iW - 1, cy2 = 2 * aS.iT + aS.iH - 1;
    auto dir = [&](TInt64 aX, TInt64 aY) { return TDir{2 * aX - cx2, cy2 - 2 * aY}; };
    const TSector sector(dir(X(aStart.iX), Y(aStart.iY)), dir(X(aEnd.iX), Y(aEnd.iY)));
    CacheWalk(aS);
    if (aPie && iBrushStyle != CGraphicsContext::ENullBrush) {
      const TInt64 j1 = std::min(aS.iH, iCb - aS.iT);
      for (TInt64 j = std::max<TInt64>(0, iCt - aS.iT); j < j1; ++j) {
        const TInt64 in = aS.Inset(j), y = aS.iT + j;
        const TInt64 x0 = std::max(aS.iL + in, iCl), x1 = std::min(aS.iL + aS.iW - in, iCr);
        if (x0 >= x1) continue;
        if (2 * y == cy2) {
          // The centre row: directions point straight left or right (or nowhere).
          for (TInt64 x = x0; x < x1; ++x)
            if (sector.Contains(dir(x, y))) BrushSpan(y, x, x + 1);
          continue;
        }
        // Along any other row the direction turns one way only, through less than half a
        // turn, so each of the two ray comparisons changes at most once: at most three
        // pieces, each wholly inside or outside the sector.
        const TInt64 b1 = FirstChange(x0, x1, [&](TInt64 aX) { return sector.BeforeStart(dir(aX, y)); });
        const TInt64 b2 = FirstChange(x0, x1, [&](TInt64 aX) { return sector.PastEnd(dir(aX, y)); });
        const TInt64 cuts[4] = {x0, std::min(b1, b2), std::max(b1, b2), x1};
        for (TInt k = 0; k < 3; ++k)
          if (cuts[k] < cuts[k + 1] && sector.Contains(dir(cuts[k], y))) BrushSpan(y, cuts[k], cuts[k + 1]);
      }
    }
    if (!iPenOn) return;
    // First pass: how many arc pixels there are, how many of them the walk meets before
    // the start ray (the part after the turn through angle 0), and the arc's two ends.
    TInt64 count = 0, beforeStart = 0;
    TBool haveStart = EFalse, haveWrapped = EFalse;
    TInt64 sx = 0, sy = 0, ex = 0, ey = 0, wx = 0, wy = 0, fx = 0, fy = 0;
    const TBool needCounts = !iSolidPen || aPie;
    if (needCounts) {
      Walk(aS, [&](TInt64 aX, TInt64 aY, TInt) {
        const TDir d = dir(aX, aY);
        if (!sector.Contains(d)) return;
        if (count == 0) fx = aX, fy = aY;
        ++count;
        if (sector.Key(d) == 1) {
          ++beforeStart;
          haveWrapped = ETrue;
          wx = aX, wy = aY;
        } else {
          if (!haveStart) sx = aX, sy = aY, haveStart = ETrue;
          ex = aX, ey = aY;
        }
      });
      if (!haveStart) sx = fx, sy = fy;
      if (haveWrapped) ex = wx, ey = wy;
    }
    // A thick solid pen joins its stamps quarter by quarter of each run of arc pixels (the
    // arc's pixels make at most two runs in the walk: it may wrap round its start).
    const TBool together = iSolidPen && (iPenW > 1 || iPenH > 1) && iUnion.Start(*this, 8);
    TInt64 rank = 0;
    TInt run = -1;
    TBool previousIn = EFalse;
    Walk(aS, [&](TInt64 aX, TInt64 aY, TInt aQuarter) {
      if (!sector.Contains(dir(aX, aY))) {
        previousIn = EFalse;
        return;
      }
      if (!previousIn) run = std::min(run + 1, 1);
      previousIn = ETrue;
      if (together) {
        iUnion.Add(*this, aY, run * 4 + aQuarter, aX, aX);
      } else if (iSolidPen) {
        Stamp(aX, aY);
      } else {
        TInt64 index = rank - beforeStart;
        if (index < 0) index += count;
        Step(aX, aY, iPhase + index);
      }
      ++rank;
    });
    if (together) iUnion.Draw(*this);
    iPhase += count;
    if (aPie && !WalksAll(aS)) {
      // The walk saw only the part near the clip: the ends are where the rays meet the
      // ellipse, rounded to pixels.
      auto meet = [&](const TDir& aD, TInt64& aX, TInt64& aY) {
        const long double a = static_cast<long double>(std::max<TInt64>(aS.iW - 1, 1));
        const long double b = static_cast<long double>(std::max<TInt64>(aS.iH - 1, 1));
        const long double dx = static_cast<long double>(aD.iX), dy = static_cast<long double>(aD.iY);
        const long double k = 1.0L / std::sqrt(dx * dx / (a * a) + dy * dy / (b * b));
        aX = static_cast<TInt64>(std::llround((cx2 + k * dx) / 2));
        aY = static_cast<TInt64>(std::llround((cy2 - k * dy) / 2));
      };
      meet(sector.Start(), sx, sy);
      meet(sector.End(), ex, ey);
      count = std::max<TInt64>(count, 1);
    }
    if (aPie && count > 0) {
      const TInt64 mx = aS.iL + (aS.iW - 1) / 2, my = aS.iT + (aS.iH - 1) / 2;
      Line(ex, ey, mx, my, EFalse);
      Line(mx, my, sx, sy, EFalse);
    }
  }

  // Fills the polygon aPoints (context coordinates) with the brush by aRule: a pixel is
  // inside when its centre is.
  TInt FillPolygon(const TPoint* aPoints, TInt aCount, CGraphicsContext::TFillRule aRule) {
    if (iBrushStyle == CGraphicsContext::ENullBrush || ClipEmpty() || aCount < 3) return KErrNone;
    struct TEdge {
      TInt64 iXa, iYa, iXb, iYb;  // iYa < iYb
      TInt iDir;
    };
    struct TCross {
      TInt64 iX;
      TInt iDir;
    };
    try {
      std::vector<TEdge> edges;
      edges.reserve(static_cast<size_t>(aCount));
      TInt64 top = KMaxTInt64, bottom = KMinTInt64;
      for (TInt i = 0; i < aCount; ++i) {
        const TPoint& a = aPoints[i];
        const TPoint& b = aPoints[i + 1 == aCount ? 0 : i + 1];
        if (a.iY == b.iY) continue;
        if (a.iY < b.iY)
          edges.push_back({X(a.iX), Y(a.iY), X(b.iX), Y(b.iY), 1});
        else
          edges.push_back({X(b.iX), Y(b.iY), X(a.iX), Y(a.iY), -1});
        top = std::min(top, edges.back().iYa);
        bottom = std::max(bottom, edges.back().iYb);
      }
      std::vector<TCross> crosses;
      crosses.reserve(edges.size());
      for (TInt64 y = std::max(top, iCt); y < std::min(bottom, iCb); ++y) {
        crosses.clear();
        for (const TEdge& e : edges) {
          if (y < e.iYa || y >= e.iYb) continue;
          // The first pixel whose centre lies right of where the edge crosses the
          // row's centre line.
          const TInt128 h = e.iYb - e.iYa;
          const TInt128 num = static_cast<TInt128>(2 * (y - e.iYa) + 1) * (e.iXb - e.iXa) - h;
          crosses.push_back({e.iXa + static_cast<TInt64>(CeilDiv(num, 2 * h)), e.iDir});
        }
        std::sort(crosses.begin(), crosses.end(), [](const TCross& aA, const TCross& aB) { return aA.iX < aB.iX; });
        TInt winding = 0;
        for (size_t k = 0; k + 1 < crosses.size(); ++k) {
          winding += crosses[k].iDir;
          const TBool inside = aRule == CGraphicsContext::EWinding ? winding != 0 : (k & 1) == 0;
          if (inside) BrushSpan(y, crosses[k].iX, crosses[k + 1].iX);
        }
      }
    } catch (const std::bad_alloc&) {
      return KErrNoMemory;
    }
    return KErrNone;
  }

  ZHost::TGcTarget iTarget;
  TInt64 iCl, iCt, iCr, iCb;  // the clip area, store coordinates
  TInt64 iOx, iOy;            // where the context's (0,0) lies in the store
  TUint16 iPen, iBrush;
  TInt64 iPenW, iPenH;
  TBool iPenOn;
  TBool iSolidPen;
  TDash iDash;
  TInt64 iPhase;
  CGraphicsContext::TBrushStyle iBrushStyle;

private:
  // Sets every pixel of [aX0, aX1) whose x, relative to the origin, is aK modulo 8.
  void Every8(TUint16* aRow, TInt64 aX0, TInt64 aX1, TInt64 aK) {
    TInt64 x = aX0 + ((aK + iOx - aX0) & 7);
    for (; x < aX1; x += 8) aRow[x] = iBrush;
  }

  // The steps aFirst .. aLast of a line of n steps along (aDx, aDy) from (aX0, aY0):
  // step i lies i along the major axis, and the minor coordinate is rounded to the
  // nearest (halves away from the start). Only the steps whose pen can reach the clip
  // area along the major axis are visited.
  void LineSteps(TInt64 aX0, TInt64 aY0, TInt64 aDx, TInt64 aDy, TInt64 aN, TInt64 aLast, TBool aUnion) {
    const TBool xMajor = (aDx < 0 ? -aDx : aDx) >= (aDy < 0 ? -aDy : aDy);
    const TInt64 major0 = xMajor ? aX0 : aY0, minor0 = xMajor ? aY0 : aX0;
    const TInt64 dMajor = xMajor ? aDx : aDy, dMinor = xMajor ? aDy : aDx;
    const TInt64 sMajor = dMajor < 0 ? -1 : 1, sMinor = dMinor < 0 ? -1 : 1;
    const TInt64 aMinor = dMinor < 0 ? -dMinor : dMinor;
    const TInt64 size = xMajor ? iPenW : iPenH;
    const TInt64 lo = (xMajor ? iCl : iCt) - (size - size / 2) + 1;
    const TInt64 hi = (xMajor ? iCr : iCb) + size / 2 - 1;
    TInt64 first, last;
    if (sMajor > 0) {
      first = lo - major0;
      last = hi - major0;
    } else {
      first = major0 - hi;
      last = major0 - lo;
    }
    first = std::max<TInt64>(first, 0);
    last = std::min(last, aLast);
    if (first > last) return;
    const TInt64 den = 2 * aN;
    const TInt128 num0 = static_cast<TInt128>(2 * aMinor) * first + aN;
    TInt64 q = static_cast<TInt64>(num0 / den), rem = static_cast<TInt64>(num0 % den);
    for (TInt64 i = first; i <= last; ++i) {
      const TInt64 major = major0 + sMajor * i, minor = minor0 + sMinor * q;
      const TInt64 x = xMajor ? major : minor, y = xMajor ? minor : major;
      if (aUnion)
        iUnion.Add(*this, y, 0, x, x);
      else
        Step(x, y, iPhase + i);
      rem += 2 * aMinor;
      if (rem >= den) {
        rem -= den;
        ++q;
      }
    }
  }

  TInt64 iTl, iTt, iTr, iTb;  // the touched area
  TPenUnion iUnion;
};

TBool TPenUnion::Start(const TPainter& aP, TInt aPieces) {
  iTop = aP.iCt;
  iRows = static_cast<size_t>(aP.iCb - aP.iCt);
  try {
    iMin.assign(iRows * aPieces, KMaxTInt64);
    iMax.assign(iRows * aPieces, KMinTInt64);
  } catch (const std::bad_alloc&) {
    return EFalse;
  }
  return ETrue;
}

void TPenUnion::Add(const TPainter& aP, TInt64 aY, TInt aPiece, TInt64 aXa, TInt64 aXb) {
  // The stamp centred on row aY covers rows aY - h / 2 .. aY - h / 2 + h - 1.
  const TInt64 y0 = std::max(aY - aP.iPenH / 2, aP.iCt);
  const TInt64 y1 = std::min(aY - aP.iPenH / 2 + aP.iPenH, aP.iCb);
  const size_t base = static_cast<size_t>(aPiece) * iRows;
  for (TInt64 y = y0; y < y1; ++y) {
    const size_t k = base + static_cast<size_t>(y - iTop);
    iMin[k] = std::min(iMin[k], aXa);
    iMax[k] = std::max(iMax[k], aXb);
  }
}

void TPenUnion::Draw(TPainter& aP) {
  for (size_t k = 0; k < iMin.size(); ++k)
    if (iMin[k] <= iMax[k])
      aP.Span(iTop + static_cast<TInt64>(k % iRows), iMin[k] - aP.iPenW / 2, iMax[k] - aP.iPenW / 2 + aP.iPenW,
              aP.iPen);
}

// The row shape of aRect (context coordinates) with corner ellipses aEw x aEh.
TRowShape ShapeOf(const TPainter& aP, const TRect& aRect, TInt64 aEw, TInt64 aEh) {
  const TInt64 w = static_cast<TInt64>(aRect.iBr.iX) - aRect.iTl.iX;
  const TInt64 h = static_cast<TInt64>(aRect.iBr.iY) - aRect.iTl.iY;
  return TRowShape(aP.X(aRect.iTl.iX), aP.Y(aRect.iTl.iY), w, h, aEw, aEh);
}

TBool EmptyBox(const TRect& aRect) { return aRect.iBr.iX <= aRect.iTl.iX || aRect.iBr.iY <= aRect.iTl.iY; }

}  // namespace

// ---- CBitmapContext: fonts, shapes and text ----

EXPORT_C void CBitmapContext::UseFont(const CFont* aFont) { iFont = aFont; }
EXPORT_C void CBitmapContext::DiscardFont() { iFont = NULL; }

EXPORT_C void CBitmapContext::Plot(const TPoint& aPoint) {
  TPainter p;
  if (!Target(p.iTarget)) return;
  p.Init(*this, ClipArea(p.iTarget));
  if (p.iPenOn) p.Stamp(p.X(aPoint.iX), p.Y(aPoint.iY));
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::DrawLine(const TPoint& aPoint1, const TPoint& aPoint2) {
  TPainter p;
  if (!Target(p.iTarget)) return;
  p.Init(*this, ClipArea(p.iTarget));
  p.Line(p.X(aPoint1.iX), p.Y(aPoint1.iY), p.X(aPoint2.iX), p.Y(aPoint2.iY), EFalse);
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::DrawArc(const TRect& aRect, const TPoint& aStart, const TPoint& aEnd) {
  if (EmptyBox(aRect)) return;
  TPainter p;
  if (!Target(p.iTarget)) return;
  p.Init(*this, ClipArea(p.iTarget));
  const TInt64 w = static_cast<TInt64>(aRect.iBr.iX) - aRect.iTl.iX;
  const TInt64 h = static_cast<TInt64>(aRect.iBr.iY) - aRect.iTl.iY;
  p.iBrushStyle = ENullBrush;
  p.ArcOrPie(ShapeOf(p, aRect, w, h), aStart, aEnd, EFalse);
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::DrawPie(const TRect& aRect, const TPoint& aStart, const TPoint& aEnd) {
  if (EmptyBox(aRect)) return;
  TPainter p;
  if (!Target(p.iTarget)) return;
  p.Init(*this, ClipArea(p.iTarget));
  const TInt64 w = static_cast<TInt64>(aRect.iBr.iX) - aRect.iTl.iX;
  const TInt64 h = static_cast<TInt64>(aRect.iBr.iY) - aRect.iTl.iY;
  p.ArcOrPie(ShapeOf(p, aRect, w, h), aStart, aEnd, ETrue);
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::DrawEllipse(const TRect& aRect) {
  if (EmptyBox(aRect)) return;
  TPainter p;
  if (!Target(p.iTarget)) return;
  p.Init(*this, ClipArea(p.iTarget));
  const TInt64 w = static_cast<TInt64>(aRect.iBr.iX) - aRect.iTl.iX;
  const TInt64 h = static_cast<TInt64>(aRect.iBr.iY) - aRect.iTl.iY;
  const TRowShape shape = ShapeOf(p, aRect, w, h);
  p.FillShape(shape);
  p.OutlineShape(shape);
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::DrawRect(const TRect& aRect) {
  if (EmptyBox(aRect)) return;
  TPainter p;
  if (!Target(p.iTarget)) return;
  p.Init(*this, ClipArea(p.iTarget));
  const TRowShape shape = ShapeOf(p, aRect, 0, 0);
  p.FillShape(shape);
  p.OutlineShape(shape);
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::DrawRoundRect(const TRect& aRect, const TSize& aCornerSize) {
  if (EmptyBox(aRect)) return;
  TPainter p;
  if (!Target(p.iTarget)) return;
  p.Init(*this, ClipArea(p.iTarget));
  const TInt64 w = static_cast<TInt64>(aRect.iBr.iX) - aRect.iTl.iX;
  const TInt64 h = static_cast<TInt64>(aRect.iBr.iY) - aRect.iTl.iY;
  const TInt64 ew = std::min<TInt64>(2 * static_cast<TInt64>(std::max(aCornerSize.iWidth, 0)), w);
  const TInt64 eh = std::min<TInt64>(2 * static_cast<TInt64>(std::max(aCornerSize.iHeight, 0)), h);
  const TRowShape shape = ShapeOf(p, aRect, ew, eh);
  p.FillShape(shape);
  p.OutlineShape(shape);
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

EXPORT_C TInt CBitmapContext::DrawPolygon(const CArrayFix<TPoint>* aPointList, TFillRule aFillRule) {
  if (aPointList == NULL) return KErrArgument;
  if (aPointList->Count() == 0) return KErrNone;
  // The array may be segmented: copy the points into one run.
  try {
    std::vector<TPoint> points;
    points.reserve(static_cast<size_t>(aPointList->Count()));
    for (TInt i = 0; i < aPointList->Count(); ++i) points.push_back(aPointList->At(i));
    return DrawPolygon(points.data(), static_cast<TInt>(points.size()), aFillRule);
  } catch (const std::bad_alloc&) {
    return KErrNoMemory;
  }
}

EXPORT_C TInt CBitmapContext::DrawPolygon(const TPoint* aPointList, TInt aNumPoints, TFillRule aFillRule) {
  if (aNumPoints < 0 || (aPointList == NULL && aNumPoints > 0)) return KErrArgument;
  if (aNumPoints == 0) return KErrNone;
  TPainter p;
  if (!Target(p.iTarget)) return KErrNone;
  p.Init(*this, ClipArea(p.iTarget));
  const TInt err = p.FillPolygon(aPointList, aNumPoints, aFillRule);
  if (err == KErrNone) {
    if (aNumPoints == 1) {
      if (p.iPenOn) p.Stamp(p.X(aPointList[0].iX), p.Y(aPointList[0].iY));
    } else {
      for (TInt i = 0; i < aNumPoints; ++i) {
        const TPoint& a = aPointList[i];
        const TPoint& b = aPointList[i + 1 == aNumPoints ? 0 : i + 1];
        p.Line(p.X(a.iX), p.Y(a.iY), p.X(b.iX), p.Y(b.iY), EFalse);
      }
    }
  }
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
  return err;
}

EXPORT_C void CBitmapContext::DrawPolyLine(const CArrayFix<TPoint>* aPointList) {
  if (aPointList == NULL || aPointList->Count() == 0) return;
  try {
    std::vector<TPoint> points;
    points.reserve(static_cast<size_t>(aPointList->Count()));
    for (TInt i = 0; i < aPointList->Count(); ++i) points.push_back(aPointList->At(i));
    DrawPolyLine(points.data(), static_cast<TInt>(points.size()));
  } catch (const std::bad_alloc&) {
    // Nothing drawn: drawing does not fail visibly.
  }
}

EXPORT_C void CBitmapContext::DrawPolyLine(const TPoint* aPointList, TInt aNumPoints) {
  if (aPointList == NULL || aNumPoints <= 0) return;
  TPainter p;
  if (!Target(p.iTarget)) return;
  p.Init(*this, ClipArea(p.iTarget));
  for (TInt i = 0; i + 1 < aNumPoints; ++i)
    p.Line(p.X(aPointList[i].iX), p.Y(aPointList[i].iY), p.X(aPointList[i + 1].iX), p.Y(aPointList[i + 1].iY),
           EFalse);
  // The last point, in its place in the pattern.
  const TPoint& end = aPointList[aNumPoints - 1];
  if (p.iPenOn) p.Step(p.X(end.iX), p.Y(end.iY), p.iPhase);
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

namespace {

// Draws a run of text with its baseline's left end at (aX, aY) (store coordinates) into
// the painter's target, within aClip (store coordinates, inside the clip area).
void TextRun(TPainter& aP, const CFont& aFont, const TDesC& aText, TInt64 aX, TInt64 aY, const TRect& aClip) {
  if (aClip.IsEmpty() || aText.Length() == 0) return;
  // Runs that start far outside the store cannot reach it (every advance is below
  // KFontHeightMax), and the glyph routine takes TInt positions.
  const TInt64 reach = static_cast<TInt64>(aText.Length() + 1) * (ZHost::KFontHeightMax + aFont.HeightInPixels());
  if (aX > aClip.iBr.iX + reach || aX < static_cast<TInt64>(aClip.iTl.iX) - reach) return;
  if (aY > aClip.iBr.iY + reach || aY < static_cast<TInt64>(aClip.iTl.iY) - reach) return;
  ZHost::DrawText(aFont, aText, TPoint(Sat(aX), Sat(aY)), aP.iPen, aP.iTarget.iPixels, aP.iTarget.iStride, aClip);
  // What the glyphs may have touched: the run's cell, with room for overhangs.
  const TInt64 height = aFont.HeightInPixels();
  const TInt64 width = aFont.TextWidthInPixels(aText);
  const TInt64 l = std::max<TInt64>(aX - height, aClip.iTl.iX), r = std::min<TInt64>(aX + width + height, aClip.iBr.iX);
  const TInt64 t = std::max<TInt64>(aY - 2 * height, aClip.iTl.iY), b = std::min<TInt64>(aY + 2 * height, aClip.iBr.iY);
  if (l < r && t < b) aP.Touch(l, t, r, b);
}

}  // namespace

EXPORT_C void CBitmapContext::DrawText(const TDesC& aText, const TPoint& aPosition) {
  if (iFont == NULL) return;
  TPainter p;
  if (!Target(p.iTarget)) return;
  const TRect clip = ClipArea(p.iTarget);
  p.Init(*this, clip);
  TextRun(p, *iFont, aText, p.X(aPosition.iX), p.Y(aPosition.iY), clip);
  TRect r;
  if (p.Touched(r)) Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::DrawText(const TDesC& aText, const TRect& aBox, TInt aBaselineOffset, TTextAlign aHrz,
                                       TInt aLeftMrg) {
  if (iFont == NULL || EmptyBox(aBox)) return;
  TPainter p;
  if (!Target(p.iTarget)) return;
  const TRect clip = ClipArea(p.iTarget);
  p.Init(*this, clip);
  const TInt64 l = p.X(aBox.iTl.iX), t = p.Y(aBox.iTl.iY), r = p.X(aBox.iBr.iX), b = p.Y(aBox.iBr.iY);
  if (iBrushStyle != ENullBrush && !p.ClipEmpty())
    for (TInt64 y = std::max(t, p.iCt); y < std::min(b, p.iCb); ++y) p.BrushSpan(y, l, r);
  {
    const TInt64 width = iFont->TextWidthInPixels(aText);
    TInt64 x = l + aLeftMrg;
    if (aHrz == ECenter)
      x = l + (r - l - width) / 2;
    else if (aHrz == ERight)
      x = r - aLeftMrg - width;
    const TRect box(Sat(std::max(l, p.iCl)), Sat(std::max(t, p.iCt)), Sat(std::min(r, p.iCr)),
                    Sat(std::min(b, p.iCb)));
    if (!EmptyBox(box)) TextRun(p, *iFont, aText, x, t + aBaselineOffset, box);
  }
  TRect touched;
  if (p.Touched(touched)) Changed(touched, EFalse);
}
