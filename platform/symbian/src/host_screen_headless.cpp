// The headless screen backend (the screen only in memory), and saving the screen as PNG.
#include "host_ws_internal.h"

#include <zhost/screen.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <vector>

namespace {

class THeadlessBackend : public ZHost::WsInternal::MBackend {
public:
  const char* Name() const override { return "headless"; }
  TBool Open(TSize) override { return ETrue; }
  void Present(const TUint16*, TInt, TSize, const TRect&) override {}
  void Close() override {}
  TInt SaveWindowPng(const char*) override { return KErrNotSupported; }
};

}  // namespace

namespace ZHost::WsInternal {
MBackend* NewHeadlessBackend() { return new THeadlessBackend; }
}  // namespace ZHost::WsInternal

namespace ZHost::Screen {

TInt SavePng(const std::string& aPath) { return SavePng(aPath, TRect(TPoint(0, 0), Size())); }

TInt SavePng(const std::string& aPath, const TRect& aRect) {
  if (!IsConnected()) return KErrNotReady;
  const TSize screen = Size();
  TRect r(std::max(0, aRect.iTl.iX), std::max(0, aRect.iTl.iY), std::min(screen.iWidth, aRect.iBr.iX),
          std::min(screen.iHeight, aRect.iBr.iY));
  if (r.IsEmpty()) return KErrArgument;
  // Each 4-bit channel c becomes 17 * c (0x0 -> 0x00, 0xF -> 0xFF).
  std::vector<Uint8> rgb(static_cast<size_t>(r.Width()) * r.Height() * 3);
  size_t i = 0;
  for (TInt y = r.iTl.iY; y < r.iBr.iY; ++y)
    for (TInt x = r.iTl.iX; x < r.iBr.iX; ++x) {
      const TUint16 p = Pixel(x, y);
      rgb[i++] = static_cast<Uint8>((p & 0xF) * 17);
      rgb[i++] = static_cast<Uint8>(((p >> 4) & 0xF) * 17);
      rgb[i++] = static_cast<Uint8>(((p >> 8) & 0xF) * 17);
    }
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(rgb.data(), r.Width(), r.Height(), 24, r.Width() * 3,
                                                            SDL_PIXELFORMAT_RGB24);
  if (!surface) return KErrNoMemory;
  const int rc = IMG_SavePNG(surface, aPath.c_str());
  SDL_FreeSurface(surface);
  return rc == 0 ? KErrNone : KErrGeneral;
}

TInt SaveContactSheetPng(const std::string& aPath, const std::vector<std::vector<TUint16>>& aFrames,
                         TSize aFrameSize, TInt aColumns, TInt aShrink) {
  if (aFrames.empty() || aFrameSize.iWidth <= 0 || aFrameSize.iHeight <= 0 || aColumns <= 0 || aShrink <= 0)
    return KErrArgument;
  const size_t frameWords = static_cast<size_t>(aFrameSize.iWidth) * aFrameSize.iHeight;
  for (const auto& frame : aFrames)
    if (frame.size() != frameWords) return KErrArgument;
  const TInt tw = std::max(1, aFrameSize.iWidth / aShrink), th = std::max(1, aFrameSize.iHeight / aShrink);
  const TInt gap = 4;
  const TInt count = static_cast<TInt>(aFrames.size());
  const TInt columns = std::min(aColumns, count);
  const TInt rows = (count + columns - 1) / columns;
  const TInt w = columns * (tw + gap) + gap, h = rows * (th + gap) + gap;
  std::vector<Uint8> rgb(static_cast<size_t>(w) * h * 3, 40);
  for (TInt i = 0; i < count; i++) {
    const TInt ox = gap + (i % columns) * (tw + gap);
    const TInt oy = gap + (i / columns) * (th + gap);
    for (TInt y = 0; y < th; y++)
      for (TInt x = 0; x < tw; x++) {
        const TUint16 p = aFrames[i][static_cast<size_t>(y * aShrink) * aFrameSize.iWidth + x * aShrink];
        Uint8* d = &rgb[(static_cast<size_t>(oy + y) * w + ox + x) * 3];
        d[0] = static_cast<Uint8>((p & 0xF) * 17);
        d[1] = static_cast<Uint8>(((p >> 4) & 0xF) * 17);
        d[2] = static_cast<Uint8>(((p >> 8) & 0xF) * 17);
      }
  }
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(rgb.data(), w, h, 24, w * 3, SDL_PIXELFORMAT_RGB24);
  if (!surface) return KErrNoMemory;
  const int rc = IMG_SavePNG(surface, aPath.c_str());
  SDL_FreeSurface(surface);
  return rc == 0 ? KErrNone : KErrGeneral;
}

}  // namespace ZHost::Screen
