// Points, sizes and rectangles. Included through e32std.h.
#include <e32std.h>

#ifndef E32GEOM_H
#define E32GEOM_H

class TSize;

class TPoint {
public:
  enum TUninitialized { EUninitialized };
  inline TPoint() : iX(0), iY(0) {}
  inline explicit TPoint(TUninitialized) {}
  inline TPoint(TInt aX, TInt aY) : iX(aX), iY(aY) {}
  inline TBool operator==(const TPoint& aPoint) const { return iX == aPoint.iX && iY == aPoint.iY; }
  inline TBool operator!=(const TPoint& aPoint) const { return !(*this == aPoint); }
  inline TPoint& operator-=(const TPoint& aPoint) { iX -= aPoint.iX; iY -= aPoint.iY; return *this; }
  inline TPoint& operator+=(const TPoint& aPoint) { iX += aPoint.iX; iY += aPoint.iY; return *this; }
  inline TPoint& operator-=(const TSize& aSize);
  inline TPoint& operator+=(const TSize& aSize);
  inline TPoint operator-(const TPoint& aPoint) const { return TPoint(iX - aPoint.iX, iY - aPoint.iY); }
  inline TPoint operator+(const TPoint& aPoint) const { return TPoint(iX + aPoint.iX, iY + aPoint.iY); }
  inline TPoint operator-(const TSize& aSize) const;
  inline TPoint operator+(const TSize& aSize) const;
  inline TPoint operator-() const { return TPoint(-iX, -iY); }
  inline void SetXY(TInt aX, TInt aY) { iX = aX; iY = aY; }
  inline TSize AsSize() const;

  TInt iX;
  TInt iY;
};

class TSize {
public:
  enum TUninitialized { EUninitialized };
  inline TSize() : iWidth(0), iHeight(0) {}
  inline explicit TSize(TUninitialized) {}
  inline TSize(TInt aWidth, TInt aHeight) : iWidth(aWidth), iHeight(aHeight) {}
  inline TBool operator==(const TSize& aSize) const { return iWidth == aSize.iWidth && iHeight == aSize.iHeight; }
  inline TBool operator!=(const TSize& aSize) const { return !(*this == aSize); }
  inline TSize& operator-=(const TSize& aSize) { iWidth -= aSize.iWidth; iHeight -= aSize.iHeight; return *this; }
  inline TSize& operator+=(const TSize& aSize) { iWidth += aSize.iWidth; iHeight += aSize.iHeight; return *this; }
  inline TSize& operator-=(const TPoint& aPoint) { iWidth -= aPoint.iX; iHeight -= aPoint.iY; return *this; }
  inline TSize& operator+=(const TPoint& aPoint) { iWidth += aPoint.iX; iHeight += aPoint.iY; return *this; }
  inline TSize operator-(const TSize& aSize) const { return TSize(iWidth - aSize.iWidth, iHeight - aSize.iHeight); }
  inline TSize operator+(const TSize& aSize) const { return TSize(iWidth + aSize.iWidth, iHeight + aSize.iHeight); }
  inline TSize operator-(const TPoint& aPoint) const { return TSize(iWidth - aPoint.iX, iHeight - aPoint.iY); }
  inline TSize operator+(const TPoint& aPoint) const { return TSize(iWidth + aPoint.iX, iHeight + aPoint.iY); }
  inline TSize operator-() const { return TSize(-iWidth, -iHeight); }
  inline void SetSize(TInt aWidth, TInt aHeight) { iWidth = aWidth; iHeight = aHeight; }
  inline TPoint AsPoint() const { return TPoint(iWidth, iHeight); }

  TInt iWidth;
  TInt iHeight;
};

inline TPoint& TPoint::operator-=(const TSize& aSize) { iX -= aSize.iWidth; iY -= aSize.iHeight; return *this; }
inline TPoint& TPoint::operator+=(const TSize& aSize) { iX += aSize.iWidth; iY += aSize.iHeight; return *this; }
inline TPoint TPoint::operator-(const TSize& aSize) const { return TPoint(iX - aSize.iWidth, iY - aSize.iHeight); }
inline TPoint TPoint::operator+(const TSize& aSize) const { return TPoint(iX + aSize.iWidth, iY + aSize.iHeight); }
inline TSize TPoint::AsSize() const { return TSize(iX, iY); }

// A rectangle whose right and bottom edges are outside it: (0,0)-(10,5) is 10 pixels
// wide and 5 high.
class TRect {
public:
  enum TUninitialized { EUninitialized };
  inline TRect() {}
  inline explicit TRect(TUninitialized) {}
  inline TRect(TInt aAx, TInt aAy, TInt aBx, TInt aBy) : iTl(aAx, aAy), iBr(aBx, aBy) {}
  inline TRect(const TPoint& aPointA, const TPoint& aPointB) : iTl(aPointA), iBr(aPointB) {}
  inline TRect(const TPoint& aPoint, const TSize& aSize) : iTl(aPoint), iBr(aPoint + aSize) {}
  inline explicit TRect(const TSize& aSize) : iBr(aSize.iWidth, aSize.iHeight) {}
  inline TBool operator==(const TRect& aRect) const { return iTl == aRect.iTl && iBr == aRect.iBr; }
  inline TBool operator!=(const TRect& aRect) const { return !(*this == aRect); }
  inline void SetRect(TInt aAx, TInt aAy, TInt aBx, TInt aBy) { iTl.SetXY(aAx, aAy); iBr.SetXY(aBx, aBy); }
  inline void SetRect(const TPoint& aPointTL, const TPoint& aPointBR) { iTl = aPointTL; iBr = aPointBR; }
  inline void SetRect(const TPoint& aPoint, const TSize& aSize) { iTl = aPoint; iBr = aPoint + aSize; }
  inline void Move(TInt aDx, TInt aDy) { iTl.iX += aDx; iTl.iY += aDy; iBr.iX += aDx; iBr.iY += aDy; }
  inline void Move(const TPoint& aOffset) { Move(aOffset.iX, aOffset.iY); }
  inline void Resize(TInt aDx, TInt aDy) { iBr.iX += aDx; iBr.iY += aDy; }
  inline void Resize(const TSize& aSize) { Resize(aSize.iWidth, aSize.iHeight); }
  inline void Shrink(TInt aDx, TInt aDy) { iTl.iX += aDx; iTl.iY += aDy; iBr.iX -= aDx; iBr.iY -= aDy; }
  inline void Shrink(const TSize& aSize) { Shrink(aSize.iWidth, aSize.iHeight); }
  inline void Grow(TInt aDx, TInt aDy) { Shrink(-aDx, -aDy); }
  inline void Grow(const TSize& aSize) { Grow(aSize.iWidth, aSize.iHeight); }
  IMPORT_C void BoundingRect(const TRect& aRect);
  inline TBool IsEmpty() const { return iTl.iX >= iBr.iX || iTl.iY >= iBr.iY; }
  IMPORT_C TBool Intersects(const TRect& aRect) const;
  IMPORT_C void Intersection(const TRect& aRect);
  IMPORT_C void Normalize();
  inline TBool Contains(const TPoint& aPoint) const {
    return aPoint.iX >= iTl.iX && aPoint.iX < iBr.iX && aPoint.iY >= iTl.iY && aPoint.iY < iBr.iY;
  }
  inline TSize Size() const { return TSize(iBr.iX - iTl.iX, iBr.iY - iTl.iY); }
  inline TInt Width() const { return iBr.iX - iTl.iX; }
  inline TInt Height() const { return iBr.iY - iTl.iY; }
  inline TBool IsNormalized() const { return iBr.iX >= iTl.iX && iBr.iY >= iTl.iY; }
  inline TPoint Center() const { return TPoint((iTl.iX + iBr.iX) / 2, (iTl.iY + iBr.iY) / 2); }
  inline void SetSize(const TSize& aSize) { iBr = iTl + aSize; }
  inline void SetWidth(TInt aWidth) { iBr.iX = iTl.iX + aWidth; }
  inline void SetHeight(TInt aHeight) { iBr.iY = iTl.iY + aHeight; }

  TPoint iTl;
  TPoint iBr;
};

#endif
