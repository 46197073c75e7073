// A headless view of a chosen size with a controller, for drawing sprites of every kind
// and reading the off-screen pixels back, with access to the view's single-sprite
// drawing and the area it reports.
#ifndef DRAW_RIG_H
#define DRAW_RIG_H

#include <Zolvane.h>
#include <coemain.h>
#include <zhost/clock.h>
#include <zhost_testing.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class TZTestAccess {
public:
  // Draws one sprite as the redraw would (fades, clip, dispatch) without clearing
  // anything first; returns the area the drawing reported.
  static TRect DrawAlone(CZView* aView, CZSprite* aSprite) {
    aView->iDrawRect = TRect(0, 0, 0, 0);
    aView->DrawSprite(aSprite);
    return aView->iDrawRect;
  }
  static TPoint ShakeOffset(CZView* aView) { return aView->ShakeOffset(); }
  static void Seed(CZView* aView, TInt64 aSeed) { aView->iRandSeed = aSeed; }
};

namespace DrawTest {

inline TPtrC W(const char16_t* aText) {
  return TPtrC(reinterpret_cast<const TUint16*>(aText), static_cast<TInt>(std::char_traits<char16_t>::length(aText)));
}

// The test face: every character advances half the font height and draws as a box one
// pixel narrower, from the ascent (four fifths of the height) down to the baseline.
inline TPtrC FixedFace() { return W(u"ZHost Fixed"); }

// Pixel words of the view, row by row.
struct Picture {
  TInt w = 0;
  TInt h = 0;
  std::vector<TUint16> px;
  TUint16 At(TInt x, TInt y) const { return px[static_cast<size_t>(y) * w + x]; }
  // The smallest rectangle holding every pixel that is not aBg (empty when none).
  TRect Bounds(TUint16 aBg) const {
    TInt l = w, t = h, r = 0, b = 0;
    for (TInt y = 0; y < h; ++y)
      for (TInt x = 0; x < w; ++x)
        if (At(x, y) != aBg) {
          l = std::min(l, x);
          t = std::min(t, y);
          r = std::max(r, x + 1);
          b = std::max(b, y + 1);
        }
    return r > l ? TRect(l, t, r, b) : TRect(0, 0, 0, 0);
  }
  TInt Count(TUint16 aValue) const { return static_cast<TInt>(std::count(px.begin(), px.end(), aValue)); }
};

inline TUint16 Word(TRgb aColor) { return static_cast<TUint16>(aColor.Color4K()); }

struct Rig {
  explicit Rig(TSize aViewSize = TSize(200, 60), TInt aChannels = 8)
      : iEnv(std::make_unique<ZHost::Testing::TestEnvironment>()) {
    iController = CZController::NewL(iEnv->AppUi());
    iController->Script(&iScript);
    iView = CZView::NewL(TRect(TPoint(0, 0), aViewSize), NULL, EFalse);
    iController->View(iView);
    iController->SpriteChannelAllocate(aChannels);
    // Black, so that the tests can tell drawn pixels by their non-zero words (the
    // player's default is white).
    iController->BgColor(0);
  }
  ~Rig() {
    delete iController;
    delete iView;
  }

  CZSprite* Sprite(TInt aChannel) { return iController->Sprite(aChannel); }

  // Runs aFrames frame cycles on the virtual clock (each updates the sprites, then draws).
  void Frames(TInt aFrames) {
    iController->Start();
    for (TInt i = 0; i < aFrames; ++i) {
      const TInt64 due = ZHost::NextTimerDue();
      if (due < 0) return;
      ZHost::RunFor(std::max<TInt64>(0, due - ZHost::Clock::Ticks()));
    }
  }

  // Redraws the view without a frame update (the sprites keep their phases).
  Picture Draw() {
    iView->Update();
    return OffScreen();
  }

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

  TUint16 Background() const {
    return Word(TRgb(static_cast<TUint32>(iController->BgColor())));
  }

  // A bitmap element of one colour word.
  CZElement* Bitmap(TInt aW, TInt aH, TUint16 aWord, const char16_t* aName) {
    CZElement* e = iController->ElementBitmapAdd(aW, aH, W(aName));
    for (TInt y = 0; y < aH; ++y)
      for (TInt x = 0; x < aW; ++x) e->Pixel(x, y, aWord);
    return e;
  }

  // A text element in the test face of height aFontHeight, wrapping at aWidth.
  CZElement* Text(const char16_t* aContent, TInt aFontHeight, TInt aWidth, const char16_t* aName = u"t") {
    CZElement* e = iController->ElementTextAdd(W(aContent), W(aName));
    e->Font(FixedFace());
    e->FontSize(aFontHeight);
    e->Width(aWidth);
    e->Color(KRgbWhite);
    return e;
  }

  // A vector shape through its points (from 1), pen 1 and a solid brush.
  CZElement* Shape(const std::vector<TPoint>& aPoints, const char16_t* aName = u"s") {
    CZElement* e = iController->ElementShapeAdd(W(u""), W(aName));
    for (size_t i = 0; i < aPoints.size(); ++i) e->Point(static_cast<TInt>(i + 1), aPoints[i]);
    return e;
  }

  std::unique_ptr<ZHost::Testing::TestEnvironment> iEnv;
  class Script : public CZScript {
  public:
    void FrameBeginL(TInt, TPtrC) override {}
    void FrameEndL(TInt, TPtrC) override {}
    TKeyResponse KeyEventL(const TKeyEvent&, TEventCode) override { return EKeyWasNotConsumed; }
    TInt Decrypt(TPtr8, TPtrC) override { return KErrNone; }
  } iScript;
  CZController* iController = NULL;
  CZView* iView = NULL;
};

}  // namespace DrawTest

#endif
