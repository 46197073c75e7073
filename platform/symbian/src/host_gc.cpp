// Bitmap graphics contexts: the drawing state and the operations on a 4096-colour pixel
// store, the context on a bitmap, and the bitmap device.
#include <bitdev.h>
#include <bitstd.h>

#include <algorithm>
#include <cstring>

#include "host_gc_internal.h"

namespace {

TRect Intersect(const TRect& aA, const TRect& aB) {
  TRect r(std::max(aA.iTl.iX, aB.iTl.iX), std::max(aA.iTl.iY, aB.iTl.iY), std::min(aA.iBr.iX, aB.iBr.iX),
          std::min(aA.iBr.iY, aB.iBr.iY));
  if (r.IsEmpty()) return TRect();
  return r;
}

TInt Saturate(TInt64 aValue) { return static_cast<TInt>(std::clamp<TInt64>(aValue, KMinTInt, KMaxTInt)); }

// aRect moved by aOffset and cut to aLimit, computed without overflow for any
// coordinates; empty when nothing is left.
TRect MovedWithin(const TRect& aRect, TInt64 aDx, TInt64 aDy, const TRect& aLimit) {
  const TInt64 l = std::max<TInt64>(aRect.iTl.iX + aDx, aLimit.iTl.iX);
  const TInt64 t = std::max<TInt64>(aRect.iTl.iY + aDy, aLimit.iTl.iY);
  const TInt64 r = std::min<TInt64>(aRect.iBr.iX + aDx, aLimit.iBr.iX);
  const TInt64 b = std::min<TInt64>(aRect.iBr.iY + aDy, aLimit.iBr.iY);
  if (l >= r || t >= b) return TRect();
  return TRect(TInt(l), TInt(t), TInt(r), TInt(b));
}

}  // namespace

// ---- CBitmapContext ----

EXPORT_C CBitmapContext::CBitmapContext() { Reset(); }
EXPORT_C CBitmapContext::~CBitmapContext() {}

EXPORT_C void CBitmapContext::SetPenColor(const TRgb& aColor) { iPenColor = aColor; }
EXPORT_C void CBitmapContext::SetPenStyle(TPenStyle aPenStyle) { iPenStyle = aPenStyle; }
EXPORT_C void CBitmapContext::SetPenSize(const TSize& aSize) { iPenSize = aSize; }
EXPORT_C void CBitmapContext::SetBrushColor(const TRgb& aColor) { iBrushColor = aColor; }
EXPORT_C void CBitmapContext::SetBrushStyle(TBrushStyle aBrushStyle) { iBrushStyle = aBrushStyle; }
EXPORT_C void CBitmapContext::SetOrigin(const TPoint& aPos) { iOrigin = aPos; }

EXPORT_C void CBitmapContext::SetClippingRect(const TRect& aRect) {
  iClipping = ETrue;
  // Kept with the origin applied; coordinates beyond TInt are held at its limits.
  iClipRect = TRect(Saturate(static_cast<TInt64>(aRect.iTl.iX) + iOrigin.iX),
                    Saturate(static_cast<TInt64>(aRect.iTl.iY) + iOrigin.iY),
                    Saturate(static_cast<TInt64>(aRect.iBr.iX) + iOrigin.iX),
                    Saturate(static_cast<TInt64>(aRect.iBr.iY) + iOrigin.iY));
}

EXPORT_C void CBitmapContext::CancelClippingRect() { iClipping = EFalse; }

EXPORT_C void CBitmapContext::Reset() {
  iPenColor = KRgbBlack;
  iPenStyle = ESolidPen;
  iPenSize = TSize(1, 1);
  iBrushColor = KRgbWhite;
  iBrushStyle = ENullBrush;
  iOrigin = TPoint(0, 0);
  iClipping = EFalse;
  iClipRect = TRect();
  iFont = NULL;
}

EXPORT_C void CBitmapContext::Changed(const TRect&, TBool) {}

EXPORT_C TRect CBitmapContext::ClipArea(const ZHost::TGcTarget& aTarget) const {
  if (!iClipping) return aTarget.iBounds;
  return MovedWithin(iClipRect, aTarget.iOrigin.iX, aTarget.iOrigin.iY, aTarget.iBounds);
}

EXPORT_C void CBitmapContext::Clear() {
  ZHost::TGcTarget target;
  if (!Target(target)) return;
  const TRect r = ClipArea(target);
  if (r.IsEmpty()) return;
  const TUint16 colour = static_cast<TUint16>(iBrushColor.Color4K());
  for (TInt y = r.iTl.iY; y < r.iBr.iY; ++y)
    ZHost::FillWords(target.iPixels + static_cast<size_t>(y) * target.iStride + r.iTl.iX, r.Width(), colour);
  Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::Clear(const TRect& aRect) {
  ZHost::TGcTarget target;
  if (!Target(target)) return;
  const TRect r = MovedWithin(aRect, static_cast<TInt64>(target.iOrigin.iX) + iOrigin.iX,
                              static_cast<TInt64>(target.iOrigin.iY) + iOrigin.iY, ClipArea(target));
  if (r.IsEmpty()) return;
  const TUint16 colour = static_cast<TUint16>(iBrushColor.Color4K());
  for (TInt y = r.iTl.iY; y < r.iBr.iY; ++y)
    ZHost::FillWords(target.iPixels + static_cast<size_t>(y) * target.iStride + r.iTl.iX, r.Width(), colour);
  Changed(r, EFalse);
}

EXPORT_C void CBitmapContext::BitBlt(const TPoint& aPos, const CFbsBitmap* aBitmap) {
  if (aBitmap == NULL) return;
  BitBlt(aPos, aBitmap, TRect(TPoint(0, 0), aBitmap->SizeInPixels()));
}

EXPORT_C void CBitmapContext::BitBlt(const TPoint& aPos, const CFbsBitmap* aBitmap, const TRect& aSourceRect) {
  if (aBitmap == NULL || aBitmap->DataAddress() == NULL) return;
  ZHost::TGcTarget target;
  if (!Target(target)) return;
  // The source part that exists, and where it lands in the store.
  const TRect source = Intersect(aSourceRect, TRect(TPoint(0, 0), aBitmap->SizeInPixels()));
  if (source.IsEmpty()) return;
  // Where the existing source part lands in the store, in 64 bits: any position works.
  const TInt64 destX = static_cast<TInt64>(aPos.iX) + (source.iTl.iX - static_cast<TInt64>(aSourceRect.iTl.iX)) +
                       target.iOrigin.iX + iOrigin.iX;
  const TInt64 destY = static_cast<TInt64>(aPos.iY) + (source.iTl.iY - static_cast<TInt64>(aSourceRect.iTl.iY)) +
                       target.iOrigin.iY + iOrigin.iY;
  const TRect r = MovedWithin(TRect(TPoint(0, 0), source.Size()), destX, destY, ClipArea(target));
  if (r.IsEmpty()) return;
  const TPoint from(TInt(source.iTl.iX + (r.iTl.iX - destX)), TInt(source.iTl.iY + (r.iTl.iY - destY)));
  const TDisplayMode mode = aBitmap->DisplayMode();
  if (mode == EColor4K) {
    const TInt stride = CFbsBitmap::ScanLineLength(aBitmap->SizeInPixels().iWidth, mode) / 2;
    const TUint16* pixels = reinterpret_cast<const TUint16*>(aBitmap->DataAddress());
    for (TInt y = 0; y < r.Height(); ++y)
      std::memcpy(target.iPixels + static_cast<size_t>(r.iTl.iY + y) * target.iStride + r.iTl.iX,
                  pixels + static_cast<size_t>(from.iY + y) * stride + from.iX, static_cast<size_t>(r.Width()) * 2);
  } else {
    // Other modes go through their colours.
    for (TInt y = 0; y < r.Height(); ++y)
      for (TInt x = 0; x < r.Width(); ++x) {
        TRgb c;
        aBitmap->GetPixel(c, TPoint(from.iX + x, from.iY + y));
        target.iPixels[static_cast<size_t>(r.iTl.iY + y) * target.iStride + r.iTl.iX + x] =
            static_cast<TUint16>(c.Color4K());
      }
  }
  Changed(r, ETrue);
}

// ---- CFbsBitGc ----

CFbsBitGc::CFbsBitGc() : iDevice(NULL) {}

EXPORT_C CFbsBitGc* CFbsBitGc::NewL() { return new (ELeave) CFbsBitGc; }

EXPORT_C CFbsBitGc::~CFbsBitGc() {}

EXPORT_C void CFbsBitGc::Activate(CFbsBitmapDevice* aDevice) {
  iDevice = aDevice;
  Reset();
}

EXPORT_C TBool CFbsBitGc::Target(ZHost::TGcTarget& aTarget) const {
  if (!iDevice || !iDevice->Bitmap()) return EFalse;
  CFbsBitmap* bitmap = iDevice->Bitmap();
  // The context draws 4096-colour pixels only.
  if (bitmap->DisplayMode() != EColor4K || bitmap->DataAddress() == NULL) return EFalse;
  const TSize size = bitmap->SizeInPixels();
  aTarget.iPixels = reinterpret_cast<TUint16*>(bitmap->DataAddress());
  aTarget.iStride = CFbsBitmap::ScanLineLength(size.iWidth, EColor4K) / 2;
  aTarget.iBounds = TRect(TPoint(0, 0), size);
  aTarget.iOrigin = TPoint(0, 0);
  return ETrue;
}

// ---- CFbsBitmapDevice ----

CFbsBitmapDevice::CFbsBitmapDevice() : iBitmap(NULL) {}

EXPORT_C CFbsBitmapDevice* CFbsBitmapDevice::NewL(CFbsBitmap* aFbsBitmap) {
  if (aFbsBitmap == NULL) User::Leave(KErrArgument);
  CFbsBitmapDevice* self = new (ELeave) CFbsBitmapDevice;
  self->iBitmap = aFbsBitmap;
  return self;
}

EXPORT_C CFbsBitmapDevice::~CFbsBitmapDevice() {}

EXPORT_C TInt CFbsBitmapDevice::CreateContext(CFbsBitGc*& aGc) {
  TRAPD(err, aGc = CFbsBitGc::NewL());
  if (err != KErrNone) {
    aGc = NULL;
    return err;
  }
  aGc->Activate(this);
  return KErrNone;
}

EXPORT_C TSize CFbsBitmapDevice::SizeInPixels() const { return iBitmap ? iBitmap->SizeInPixels() : TSize(); }

EXPORT_C TDisplayMode CFbsBitmapDevice::DisplayMode() const { return iBitmap ? iBitmap->DisplayMode() : ENone; }
