// Helpers for the bitmap tests: real bitmap elements outside a controller, and a plain
// per-pixel model of drawing one bitmap into another.

#ifndef BITMAP_TESTING_H
#define BITMAP_TESTING_H

#include <Zolvane.h>

#include <vector>

#include "ZTestAccess.h"

namespace ZBitmapTest {

// A bitmap element of the given size in a facade, deleted with the object.
class Bitmap {
public:
  Bitmap(TInt aWidth, TInt aHeight) {
    CWsBitmap* bitmap = new CWsBitmap;
    bitmap->Create(TSize(aWidth, aHeight), EColor4K);
    iBase = CZElementBitmap::NewL();
    iBase->BitmapSet(bitmap);
    iBase->ResetChange();
    iFacade = TZTestAccess::NewFacadeL(iBase);
  }
  ~Bitmap() { TZTestAccess::DeleteFacade(iFacade); }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  CZElement* operator->() { return iFacade; }
  CZElement* Get() { return iFacade; }
  CZElementBitmap* Base() { return iBase; }
  TInt Stride() const { return (iBase->Width() + 1) & ~1; }
  // Every pixel, row by row, without padding.
  std::vector<TUint16> Pixels() const {
    std::vector<TUint16> v;
    for (TInt y = 0; y < iBase->Height(); y++)
      for (TInt x = 0; x < iBase->Width(); x++) v.push_back(iBase->Pixel(x, y));
    return v;
  }
  void Fill(std::vector<TUint16> aPixels) {
    for (TInt y = 0; y < iBase->Height(); y++)
      for (TInt x = 0; x < iBase->Width(); x++) iBase->PixelSet(x, y, aPixels[y * iBase->Width() + x]);
    iBase->ResetChange();
  }

private:
  CZElementBitmap* iBase;
  CZElement* iFacade;
};

// Blend of one source and one target word in sixteenths, channel by channel.
inline TUint16 BlendModel(TUint16 aS, TUint16 aD, TInt aB) {
  TUint16 r = 0;
  for (TInt shift = 0; shift < 12; shift += 4) {
    const TInt s = (aS >> shift) & 15;
    const TInt d = (aD >> shift) & 15;
    r |= static_cast<TUint16>(((s * aB + d * (16 - aB)) / 16) << shift);
  }
  return r;
}

// What Draw does to aDest (aDestWidth wide), pixel by pixel: target pixel (k, r) of
// aTarget shows source pixel ((k * xstep) >> 16, (r * ystep) >> 16) when the centre of
// its footprint, ((k + 1/2) * xstep) >> 16 and likewise for rows, lies inside the clipped
// source window.
void DrawModel(std::vector<TUint16>& aDest, TInt aDestWidth, TInt aDestHeight, const std::vector<TUint16>& aSource,
               TInt aSourceWidth, TInt aSourceHeight, TRect aTarget, TRect aClip, TBool aMask, TInt aBlend);

}  // namespace ZBitmapTest

#endif
