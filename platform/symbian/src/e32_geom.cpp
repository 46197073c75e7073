// Rectangle operations and colour conversions.
#include <e32std.h>
#include <gdi.h>

// Intersecting needs a common area: rectangles that only touch do not intersect, and
// an empty rectangle intersects nothing.
EXPORT_C TBool TRect::Intersects(const TRect& aRect) const {
  if (IsEmpty() || aRect.IsEmpty()) return EFalse;
  return iTl.iX < aRect.iBr.iX && aRect.iTl.iX < iBr.iX && iTl.iY < aRect.iBr.iY && aRect.iTl.iY < iBr.iY;
}

// The common area; when there is none the result is the empty rectangle (0,0,0,0), so
// that no caller sees a negative width or height.
EXPORT_C void TRect::Intersection(const TRect& aRect) {
  if (!Intersects(aRect)) {
    SetRect(0, 0, 0, 0);
    return;
  }
  if (iTl.iX < aRect.iTl.iX) iTl.iX = aRect.iTl.iX;
  if (iTl.iY < aRect.iTl.iY) iTl.iY = aRect.iTl.iY;
  if (iBr.iX > aRect.iBr.iX) iBr.iX = aRect.iBr.iX;
  if (iBr.iY > aRect.iBr.iY) iBr.iY = aRect.iBr.iY;
}

// The smallest rectangle holding both, edge by edge. An empty rectangle is not skipped:
// its corners take part like any other, as on the device, so callers that collect
// areas must leave empty ones out themselves.
EXPORT_C void TRect::BoundingRect(const TRect& aRect) {
  if (iTl.iX > aRect.iTl.iX) iTl.iX = aRect.iTl.iX;
  if (iTl.iY > aRect.iTl.iY) iTl.iY = aRect.iTl.iY;
  if (iBr.iX < aRect.iBr.iX) iBr.iX = aRect.iBr.iX;
  if (iBr.iY < aRect.iBr.iY) iBr.iY = aRect.iBr.iY;
}

EXPORT_C void TRect::Normalize() {
  if (iTl.iX > iBr.iX) {
    const TInt t = iTl.iX;
    iTl.iX = iBr.iX;
    iBr.iX = t;
  }
  if (iTl.iY > iBr.iY) {
    const TInt t = iTl.iY;
    iTl.iY = iBr.iY;
    iBr.iY = t;
  }
}

EXPORT_C TInt TRgb::Difference(const TRgb& aColor) const {
  auto diff = [](TInt a, TInt b) { return a > b ? a - b : b - a; };
  return diff(Red(), aColor.Red()) + diff(Green(), aColor.Green()) + diff(Blue(), aColor.Blue());
}

EXPORT_C TRgb TRgb::Color64K(TInt aColor64K) {
  const TInt r = (aColor64K >> 11) & 0x1f;
  const TInt g = (aColor64K >> 5) & 0x3f;
  const TInt b = aColor64K & 0x1f;
  return TRgb((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
}
