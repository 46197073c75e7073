// Bitmap graphics contexts: the drawing state and the operations on a 4096-colour pixel
// store, the context on a bitmap, and the bitmap device.
#include <bitdev.h>
#include <bitstd.h>

#include <algorithm>
#include <cstring>

namespace {

TRect Intersect(const TRect& aA, const TRect& aB) {
  TRect r(std::max(aA.iTl.iX, aB.iTl.iX), std::max(aA.iTl.iY, aB.iTl.iY), std::min(aA.iBr.iX, aB.iBr.iX),
          std::min(aA.iBr.iY, aB.iBr.iY));
  if (r.IsEmpty()) return TRect();
  return r;
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
  iClipRect = aRect;
  iClipRect.Move(iOrigin);
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
}

EXPORT_C void CBitmapContext::Changed(const TRect&, TBool) {}

EXPORT_C TRect CBitmapContext::ClipArea(const ZHost::TGcTarget& aTarget) const {
  if (!iClipping) return aTarget.iBounds;
  TRect clip = iClipRect;
  clip.Move(aTarget.iOrigin);
  return Intersect(aTarget.iBounds, clip);
}

EXPORT_C void CBitmapContext::Clear() {
  ZHost::TGcTarget target;
  if (!Target(target)) return;
  TRect all = target.iBounds;
  all.Move(-target.iOrigin.iX - iOrigin.iX, -target.iOrigin.iY - iOrigin.iY);
  Clear(all);
}

EXPORT_C void CBitmapContext::Clear(const TRect& aRect) {
  ZHost::TGcTarget target;
  if (!Target(target)) return;
  TRect r = aRect;
  r.Move(target.iOrigin + iOrigin);
  r = Intersect(r, ClipArea(target));
  if (r.IsEmpty()) return;
  const TUint16 colour = static_cast<TUint16>(iBrushColor.Color4K());
  for (TInt y = r.iTl.iY; y < r.iBr.iY; ++y)
    std::fill_n(target.iPixels + static_cast<size_t>(y) * target.iStride + r.iTl.iX, r.Width(), colour);
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
  TRect dest(aPos + (source.iTl - aSourceRect.iTl), source.Size());
  dest.Move(target.iOrigin + iOrigin);
  const TRect r = Intersect(dest, ClipArea(target));
  if (r.IsEmpty()) return;
  const TPoint from = source.iTl + (r.iTl - dest.iTl);
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
