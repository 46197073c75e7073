// A view inside a window-owning container on the headless screen, with a controller and
// a script, and a plain per-pixel reference renderer for bitmap sprites.
#ifndef VIEW_RIG_H
#define VIEW_RIG_H

#include <Zolvane.h>
#include <coemain.h>
#include <zhost/clock.h>
#include <zhost/screen.h>
#include <zhost_testing.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The engine's own tests reach the view's private side here.
class TZTestAccess {
public:
  static void DrawView(CZView* aView, TRect aRect) { aView->DrawView(aRect); }
  static void ClipRectSet(CZView* aView, TRect aRect) { aView->ClipRectSet(aRect); }
  static TRect ClipRect(CZView* aView) { return aView->iClipRect; }
  static TBool ForegroundFlag(CZView* aView) { return aView->iForeground; }
  static TInt DrawRectFull(CZView* aView) { return aView->iDrawRectFull; }
  static void FakeScreen(CZView* aView, TUint32* aAddress, TSize aSize) {
    aView->iScreenAddress = aAddress;
    aView->iScreenSize = aSize;
  }
  static void DrawToScreen(CZView* aView, TRect aRect) { aView->DrawToScreen(aRect); }
  static TInt ZBuffered(CZController& aController) { return aController.Player()->ZBuffered(); }
};

namespace ViewTest {

// Pixel words of a 4096-colour picture, row by row.
struct Picture {
  TInt w = 0;
  TInt h = 0;
  std::vector<TUint16> px;
  TUint16 At(TInt x, TInt y) const { return px[static_cast<size_t>(y) * w + x]; }
  TUint16& At(TInt x, TInt y) { return px[static_cast<size_t>(y) * w + x]; }
};

inline TUint16 Blend(TUint16 s, TUint16 d, TInt b) {
  TUint16 out = 0;
  for (TInt shift = 0; shift < 12; shift += 4) {
    const TInt sc = (s >> shift) & 0xF;
    const TInt dc = (d >> shift) & 0xF;
    out = static_cast<TUint16>(out | (((sc * b + dc * (16 - b)) / 16) << shift));
  }
  return out;
}

// What one sprite should draw, in the terms of the drawing rules.
struct RefSprite {
  const Picture* bitmap = nullptr;
  TBool elementMasked = EFalse;
  TBool mask = EFalse;
  TInt x = 0, y = 0;        // location (movie coordinates)
  TInt w = 0, h = 0;        // sprite size
  TBool zoom = EFalse;
  TInt angle = 0;
  TInt blend = 100;
  TPoint reg;               // element registration point
  TRect clip;               // sprite clip rectangle (view coordinates)
};

// Per-pixel renderer of bitmap sprites. Sine and cosine come from the engine's table
// (aSin/aCos: degrees to value with 14 fraction bits).
class Reference {
public:
  Reference(TInt aW, TInt aH, TUint16 aBg, std::function<TInt(TInt)> aSin, std::function<TInt(TInt)> aCos)
      : iSin(aSin), iCos(aCos) {
    iView.w = aW;
    iView.h = aH;
    iView.px.assign(static_cast<size_t>(aW) * aH, aBg);
  }
  TPoint iLoc;  // the player's location offset
  Picture iView;

  void Draw(const RefSprite& s) {
    if (s.w <= 0 || s.h <= 0) return;
    const TInt b = std::min(16, std::max(0, s.blend / 6));
    const TInt w = std::min(16384, s.w), h = std::min(16384, s.h);
    const TInt ew = s.bitmap->w, eh = s.bitmap->h;
    TRect c = s.clip;
    if (c.Width() >= 1 || c.Height() >= 1)
      c = TRect(std::max(0, c.iTl.iX), std::max(0, c.iTl.iY), std::min(iView.w, c.iBr.iX), std::min(iView.h, c.iBr.iY));
    else
      c = TRect(0, 0, iView.w, iView.h);
    const TBool masked = s.mask && s.elementMasked;
    const TInt lx = s.x + iLoc.iX - static_cast<TInt>(static_cast<TInt64>(s.reg.iX) * s.w / ew);
    const TInt ly = s.y + iLoc.iY - static_cast<TInt>(static_cast<TInt64>(s.reg.iY) * s.h / eh);
    auto put = [&](TInt vx, TInt vy, TUint16 src) {
      if (masked && src == 0x0FFF) return;
      TUint16& d = iView.At(vx, vy);
      d = (b == 16) ? static_cast<TUint16>(src & 0x0FFF) : Blend(src, d, b);
    };
    if (b == 0) return;
    for (TInt vy = c.iTl.iY; vy < c.iBr.iY; ++vy) {
      for (TInt vx = c.iTl.iX; vx < c.iBr.iX; ++vx) {
        if (s.angle != 0) {
          TInt sx, sy;
          if (RotatedSample(s, lx, ly, w, h, vx, vy, sx, sy)) put(vx, vy, s.bitmap->At(sx, sy));
        } else if (s.zoom) {
          const TInt64 stepX = static_cast<TInt64>(ew) * 65536 / w, stepY = static_cast<TInt64>(eh) * 65536 / h;
          const TInt64 i = vx - lx, r = vy - ly;
          if (i < 0 || i >= w || r < 0 || r >= h) continue;
          // A target pixel belongs to the picture when the source position of its centre
          // does; it shows the source pixel at its left/top edge.
          if ((i * stepX + stepX / 2) / 65536 >= ew || (r * stepY + stepY / 2) / 65536 >= eh) continue;
          put(vx, vy, s.bitmap->At(static_cast<TInt>(i * stepX / 65536), static_cast<TInt>(r * stepY / 65536)));
        } else {
          const TInt sx = vx - lx, sy = vy - ly;
          if (sx < 0 || sy < 0 || sx >= ew || sy >= eh) continue;
          put(vx, vy, s.bitmap->At(sx, sy));
        }
      }
    }
  }

private:
  // Inverse mapping of a turned, scaled picture: the source pixel whose area the centre
  // of view pixel (vx, vy) falls in, relative to the turned top-left corner.
  TBool RotatedSample(const RefSprite& s, TInt lx, TInt ly, TInt w, TInt h, TInt vx, TInt vy, TInt& sx, TInt& sy) {
    const TInt a = ((s.angle % 360) + 360) % 360;
    const TInt64 c = iCos(a), sn = iSin(a);
    const TInt64 bwe = (s.bitmap->w + 1) & ~1, bh = s.bitmap->h;
    const TInt64 px = s.x + iLoc.iX, py = s.y + iLoc.iY;
    // Corners round to the nearest pixel (halves up).
    auto floorDiv = [](TInt64 a, TInt64 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    auto rot = [&](TInt64 x, TInt64 y, TInt64& ox, TInt64& oy) {
      ox = floorDiv(x * c + y * sn + 8192, 16384);
      oy = floorDiv(-x * sn + y * c + 8192, 16384);
    };
    TInt64 cx[4], cy[4];
    const TInt64 kx[4] = {lx - px, lx + w - px, lx + w - px, lx - px};
    const TInt64 ky[4] = {ly - py, ly - py, ly + h - py, ly + h - py};
    for (int i = 0; i < 4; ++i) rot(kx[i], ky[i], cx[i], cy[i]);
    const TInt64 ox = px + cx[0], oy = py + cy[0];
    TInt64 minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
      minX = std::min(minX, cx[i] - cx[0]);
      maxX = std::max(maxX, cx[i] - cx[0]);
      minY = std::min(minY, cy[i] - cy[0]);
      maxY = std::max(maxY, cy[i] - cy[0]);
    }
    const TInt64 dx = vx - ox, dy = vy - oy;
    if (dx < minX || dx >= maxX || dy < minY || dy >= maxY) return EFalse;
    const TInt64 ax = iCos(-a) * bwe / w, ay = iSin(-a) * bwe / w;
    const TInt64 bx = iCos(90 - a) * bh / h, by = iSin(90 - a) * bh / h;
    const TInt64 PX = dx * ax + ax / 2 + dy * ay + ay / 2;
    const TInt64 PY = dx * bx + bx / 2 + dy * by + by / 2;
    // Samples strictly inside the source window (the whole bitmap here).
    if (!(PX > 0 && PX < static_cast<TInt64>(s.bitmap->w) * 16384)) return EFalse;
    if (!(PY > 0 && PY < bh * 16384)) return EFalse;
    sx = static_cast<TInt>(PX / 16384);
    sy = static_cast<TInt>(PY / 16384);
    return ETrue;
  }
  std::function<TInt(TInt)> iSin, iCos;
};

// A window-owning control holding the view.
class CContainer : public CCoeControl {
public:
  TInt CountComponentControls() const override { return iView ? 1 : 0; }
  CCoeControl* ComponentControl(TInt) const override { return iView; }
  void Draw(const TRect&) const override { iDraws++; }
  CZView* iView = NULL;
  mutable TInt iDraws = 0;
};

class NullScript : public CZScript {
public:
  void FrameBeginL(TInt aFrame, TPtrC) override {
    if (iOnBegin) iOnBegin(aFrame);
  }
  void FrameEndL(TInt, TPtrC) override {}
  TKeyResponse KeyEventL(const TKeyEvent& aKeyEvent, TEventCode) override {
    iKeys.push_back(aKeyEvent.iCode);
    return EKeyWasConsumed;
  }
  TInt Decrypt(TPtr8, TPtrC) override { return KErrNone; }
  std::function<void(TInt)> iOnBegin;
  std::vector<TUint> iKeys;
};

struct Rig {
  explicit Rig(TSize aViewSize = TSize(640, 200), TBool aBackBuffer = EFalse, TInt aChannels = 8,
               TPoint aViewPos = TPoint(0, 0), TBool aWindow = ETrue)
      : iEnv(std::make_unique<ZHost::Testing::TestEnvironment>()) {
    if (aWindow) {
      iContainer = new CContainer;
      iContainer->CreateWindowL();
      iContainer->SetRect(TRect(TPoint(0, 0), ZHost::Screen::Size()));
    }
    iController = CZController::NewL(iEnv->AppUi());
    iController->Script(&iScript);
    iView = CZView::NewL(TRect(aViewPos, aViewSize), iContainer, aBackBuffer);
    if (iContainer) {
      iContainer->iView = iView;
      iContainer->ActivateL();
      iEnv->RunUntilIdle();  // the first framework redraw
    }
    iController->View(iView);
    iController->SpriteChannelAllocate(aChannels);
  }
  ~Rig() {
    delete iController;
    delete iView;
    delete iContainer;
  }

  // Runs aFrames frame cycles (the frame timer is the only timer armed).
  void Frames(TInt aFrames) {
    iController->Start();
    for (TInt i = 0; i < aFrames; ++i) {
      const TInt64 due = ZHost::NextTimerDue();
      if (due < 0) return;
      ZHost::RunFor(std::max<TInt64>(0, due - ZHost::Clock::Ticks()));
    }
  }

  // A bitmap element with the picture's pixels.
  CZElement* Bitmap(const Picture& aPicture, const std::string& aName = "b") {
    TBuf<64> name;
    for (char ch : aName) name.Append(static_cast<TChar>(ch));
    CZElement* e = iController->ElementBitmapAdd(aPicture.w, aPicture.h, name);
    for (TInt y = 0; y < aPicture.h; ++y)
      for (TInt x = 0; x < aPicture.w; ++x) e->Pixel(x, y, aPicture.At(x, y));
    return e;
  }

  // The off-screen bitmap as a picture.
  Picture OffScreen() const {
    Picture p;
    CWsBitmap* b = iView->OffScreenBitmap();
    p.w = b->SizeInPixels().iWidth;
    p.h = b->SizeInPixels().iHeight;
    const TInt stride = CFbsBitmap::ScanLineLength(p.w, EColor4K) / 2;
    const TUint16* px = reinterpret_cast<const TUint16*>(b->DataAddress());
    for (TInt y = 0; y < p.h; ++y)
      for (TInt x = 0; x < p.w; ++x) p.px.push_back(px[y * stride + x]);
    return p;
  }

  Reference MakeReference() {
    CZPlayer* player = iController->Player();
    Reference r(iView->Width(), iView->Height(), static_cast<TUint16>(TRgb(static_cast<TUint32>(player->BgColor())).Color4K()),
                [player](TInt a) { return player->Sin(a); }, [player](TInt a) { return player->Cos(a); });
    r.iLoc = TPoint(player->LocX(), player->LocY());
    return r;
  }

  std::unique_ptr<ZHost::Testing::TestEnvironment> iEnv;
  NullScript iScript;
  CContainer* iContainer = NULL;
  CZController* iController = NULL;
  CZView* iView = NULL;
};

// A picture whose every pixel differs from its neighbours (no 0x0FFF unless asked).
inline Picture Pattern(TInt aW, TInt aH, TUint16 aSeed = 1) {
  Picture p;
  p.w = aW;
  p.h = aH;
  for (TInt y = 0; y < aH; ++y)
    for (TInt x = 0; x < aW; ++x) {
      TUint16 v = static_cast<TUint16>((aSeed * 131 + x * 7 + y * 113) % 0x0FFF);
      p.px.push_back(v);
    }
  return p;
}

}  // namespace ViewTest

#endif
