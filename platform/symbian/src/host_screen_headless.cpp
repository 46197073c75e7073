// The headless screen backend (the screen only in memory), and saving the screen as PNG.
#include "host_ws_internal.h"

#include <zhost/screen.h>

#include <SDL.h>
#include <SDL_image.h>

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

}  // namespace ZHost::Screen
