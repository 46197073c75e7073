// Bitmap graphics contexts. CBitmapContext holds the drawing state (pen, brush, origin,
// clipping) and draws into a 4096-colour pixel store; CFbsBitGc draws into a bitmap
// through a bitmap device, the window server's CWindowGc (w32std.h) into a window.
//
// Operations so far: Clear with the brush colour and bit-block transfer of bitmaps.
// Shapes and text join them on the same state.
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
  // no clipping rectangle.
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
