// Bitmap graphics contexts. CBitmapContext holds the drawing state (pen, brush, origin,
// clipping) and draws into a 4096-colour pixel store; CFbsBitGc draws into a bitmap
// through a bitmap device, the window server's CWindowGc (w32std.h) into a window.
//
// Operations: Clear with the brush colour, bit-block transfer of bitmaps, aliased lines,
// arcs, rectangles, rounded rectangles, ellipses, pies and polygons with the pen and brush
// styles, and text (docs/graphics.md describes the pixels and patterns).
#ifndef BITSTD_H
#define BITSTD_H

#include <e32base.h>
#include <gdi.h>
#include <fbs.h>

class CFbsBitmapDevice;

namespace ZHost {
// Where a context draws: a store of 16-bit pixels with the given stride (in pixels);
// aBounds is the part of the store the context may touch (a window's area on the screen,
// or the whole bitmap), aOrigin the store position of the context's (0,0).
struct TGcTarget {
  TUint16* iPixels;
  TInt iStride;
  TRect iBounds;
  TPoint iOrigin;
};
}  // namespace ZHost

class CBitmapContext : public CGraphicsContext {
public:
  IMPORT_C ~CBitmapContext();

  IMPORT_C void SetPenColor(const TRgb& aColor);
  IMPORT_C void SetPenStyle(TPenStyle aPenStyle);
  IMPORT_C void SetPenSize(const TSize& aSize);
  IMPORT_C void SetBrushColor(const TRgb& aColor);
  IMPORT_C void SetBrushStyle(TBrushStyle aBrushStyle);
  // Moves the context's (0,0).
  IMPORT_C void SetOrigin(const TPoint& aPos = TPoint(0, 0));
  // Drawing is limited to aRect (context coordinates, taken at the origin in force).
  IMPORT_C void SetClippingRect(const TRect& aRect);
  IMPORT_C void CancelClippingRect();
  // Back to the defaults: black solid pen of size 1, white null brush, origin (0,0),
  // no clipping rectangle, no font.
  IMPORT_C void Reset();

  TRgb PenColor() const { return iPenColor; }
  TPenStyle PenStyle() const { return iPenStyle; }
  TSize PenSize() const { return iPenSize; }
  TRgb BrushColor() const { return iBrushColor; }
  TBrushStyle BrushStyle() const { return iBrushStyle; }
  TPoint Origin() const { return iOrigin; }

  // Fills the whole target (or aRect) with the brush colour, whatever the brush style.
  IMPORT_C void Clear();
  IMPORT_C void Clear(const TRect& aRect);
  // Copies aBitmap (or its part aSourceRect) so that its top-left lands at aPos.
  IMPORT_C void BitBlt(const TPoint& aPos, const CFbsBitmap* aBitmap);
  IMPORT_C void BitBlt(const TPoint& aPos, const CFbsBitmap* aBitmap, const TRect& aSourceRect);

  // Text is drawn with aFont (not owned: it must outlive its use) until DiscardFont.
  IMPORT_C void UseFont(const CFont* aFont);
  IMPORT_C void DiscardFont();

  // Shapes, in context coordinates. The pen draws outlines with its colour, style and
  // size; the brush fills the inside of closed shapes with its colour and style.
  IMPORT_C void Plot(const TPoint& aPoint);
  // The end point is not drawn, so that lines join without overlapping.
  IMPORT_C void DrawLine(const TPoint& aPoint1, const TPoint& aPoint2);
  // The outline of the ellipse fitting aRect, anticlockwise from where the ray from the
  // centre through aStart crosses it to where the ray through aEnd does.
  IMPORT_C void DrawArc(const TRect& aRect, const TPoint& aStart, const TPoint& aEnd);
  // The arc with the two radii to its ends, filled with the brush.
  IMPORT_C void DrawPie(const TRect& aRect, const TPoint& aStart, const TPoint& aEnd);
  IMPORT_C void DrawEllipse(const TRect& aRect);
  // The pen outline lies inside aRect.
  IMPORT_C void DrawRect(const TRect& aRect);
  // A rectangle whose corners are quarter ellipses aCornerSize wide and high.
  IMPORT_C void DrawRoundRect(const TRect& aRect, const TSize& aCornerSize);
  // The closed polygon through the points, filled by aFillRule. KErrArgument for a NULL
  // list or a negative count, KErrNoMemory when the fill's working memory is short.
  IMPORT_C TInt DrawPolygon(const CArrayFix<TPoint>* aPointList, TFillRule aFillRule = EAlternate);
  IMPORT_C TInt DrawPolygon(const TPoint* aPointList, TInt aNumPoints, TFillRule aFillRule = EAlternate);
  // The open line through the points, the last point included.
  IMPORT_C void DrawPolyLine(const CArrayFix<TPoint>* aPointList);
  IMPORT_C void DrawPolyLine(const TPoint* aPointList, TInt aNumPoints);

  // Text with the font in use, in the pen colour; aPosition is the left end of the
  // baseline. Nothing is drawn without a font.
  IMPORT_C void DrawText(const TDesC& aText, const TPoint& aPosition);
  // Fills aBox with the brush (unless the brush is null), then draws the text on the
  // baseline aBaselineOffset below the box's top, clipped to the box: ELeft starts it
  // aLeftMrg right of the box's left, ERight ends it aLeftMrg left of the box's right,
  // ECenter centres it (aLeftMrg unused). Nothing at all is drawn without a font.
  IMPORT_C void DrawText(const TDesC& aText, const TRect& aBox, TInt aBaselineOffset, TTextAlign aHrz = ELeft,
                         TInt aLeftMrg = 0);
  const CFont* Font() const { return iFont; }

protected:
  IMPORT_C CBitmapContext();
  // The pixel store to draw into; EFalse when the context is not active.
  virtual TBool Target(ZHost::TGcTarget& aTarget) const = 0;
  // Told of every area changed, in store coordinates; aBitBlt for bitmap copies.
  IMPORT_C virtual void Changed(const TRect& aStoreRect, TBool aBitBlt);
  // The area a drawing may touch, in store coordinates: the bounds limited by the
  // clipping rectangle.
  IMPORT_C TRect ClipArea(const ZHost::TGcTarget& aTarget) const;

private:
  TRgb iPenColor;
  TPenStyle iPenStyle;
  TSize iPenSize;
  TRgb iBrushColor;
  TBrushStyle iBrushStyle;
  TPoint iOrigin;
  TBool iClipping;
  TRect iClipRect;  // in device coordinates (origin applied)
  const CFont* iFont;  // uses-a
};

// A context that draws into a bitmap (through its device).
class CFbsBitGc : public CBitmapContext {
public:
  IMPORT_C static CFbsBitGc* NewL();
  IMPORT_C ~CFbsBitGc();
  IMPORT_C void Activate(CFbsBitmapDevice* aDevice);
  CFbsBitmapDevice* Device() const { return iDevice; }

protected:
  IMPORT_C TBool Target(ZHost::TGcTarget& aTarget) const override;

private:
  CFbsBitGc();
  CFbsBitmapDevice* iDevice;  // uses-a
};

#endif
