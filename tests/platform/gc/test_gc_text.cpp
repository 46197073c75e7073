// Text through the context with the fixed test face, whose glyphs are boxes: a character
// of the 10-pixel face advances 5 pixels and draws a 4 x 8 box standing on the baseline.
#include "gc_fixture.h"

#include <zhost/fonts.h>

namespace {

class GcTextTest : public GcTest {
protected:
  void SetUp() override {
    GcTest::SetUp();
    Make(TSize(48, 20));
    iFontDevice = new CGraphicsDevice;
    CFont* font = NULL;
    ASSERT_EQ(iFontDevice->GetNearestFontInPixels(font, TFontSpec(ZHost::KFixedTestTypeface, 10)), KErrNone);
    iFont = font;
    ASSERT_EQ(iFont->TextWidthInPixels(_L("AB")), 10);
    ASSERT_EQ(iFont->AscentInPixels(), 8);
  }
  void TearDown() override {
    iFontDevice->ReleaseFont(iFont);
    delete iFontDevice;
    GcTest::TearDown();
  }
  // The boxes of characters whose pens start at aPens, on baseline aBaseline.
  static TPixelSet Boxes(std::initializer_list<TInt> aPens, TInt aBaseline) {
    TPixelSet s;
    for (TInt pen : aPens)
      for (TInt y = aBaseline - 8; y < aBaseline; ++y)
        for (TInt x = pen; x < pen + 4; ++x) s.insert({x, y});
    return s;
  }
  static TPixelSet Within(const TPixelSet& aSet, const TRect& aRect) {
    TPixelSet s;
    for (auto p : aSet)
      if (aRect.Contains(TPoint(p.first, p.second))) s.insert(p);
    return s;
  }

  CGraphicsDevice* iFontDevice = NULL;
  CFont* iFont = NULL;
};

}  // namespace

TEST_F(GcTextTest, BoxAlignmentPlacesTheRun) {
  iGc->UseFont(iFont);
  const TRect box(2, 1, 42, 13);  // 40 wide; baseline at y 1 + 9 = 10
  iGc->DrawText(_L("AB"), box, 9, CGraphicsContext::ELeft, 3);
  EXPECT_EQ(PenPixels(), Boxes({5, 10}, 10));
  Wipe();
  iGc->DrawText(_L("AB"), box, 9, CGraphicsContext::ECenter, 3);  // 2 + (40 - 10) / 2
  EXPECT_EQ(PenPixels(), Boxes({17, 22}, 10));
  Wipe();
  iGc->DrawText(_L("AB"), box, 9, CGraphicsContext::ERight, 3);  // 42 - 3 - 10
  EXPECT_EQ(PenPixels(), Boxes({29, 34}, 10));
  Wipe();
  // An odd leftover splits with the extra pixel on the right.
  iGc->DrawText(_L("AB"), TRect(0, 0, 21, 10), 9, CGraphicsContext::ECenter);
  EXPECT_EQ(PenPixels(), Boxes({5, 10}, 9));
}

TEST_F(GcTextTest, BoxIsFilledWithTheBrushAndClipsTheText) {
  iGc->UseFont(iFont);
  iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  const TRect box(2, 1, 12, 7);  // baseline 6: the boxes' top two rows lie above the box
  iGc->DrawText(_L("ABCD"), box, 5);
  const TPixelSet text = Within(Boxes({2, 7, 12, 17}, 6), box);
  EXPECT_EQ(PenPixels(), text);
  TPixelSet brush;
  for (TInt y = 1; y < 7; ++y)
    for (TInt x = 2; x < 12; ++x)
      if (!text.count({x, y})) brush.insert({x, y});
  EXPECT_EQ(Holding(KBrushWord), brush);
  // The clipping rectangle cuts further.
  Wipe();
  iGc->SetClippingRect(TRect(0, 0, 5, 20));
  iGc->DrawText(_L("ABCD"), box, 5);
  EXPECT_EQ(PenPixels(), Within(text, TRect(0, 0, 5, 20)));
  EXPECT_EQ(Holding(KBrushWord), Within(brush, TRect(0, 0, 5, 20)));
}

TEST_F(GcTextTest, TextAtAPointStandsOnItsBaseline) {
  iGc->UseFont(iFont);
  iGc->SetOrigin(TPoint(5, 5));
  iGc->DrawText(_L("A B"), TPoint(0, 10));  // store baseline 15, pen 5
  EXPECT_EQ(PenPixels(), Boxes({5, 15}, 15));
  Wipe();
  iGc->SetPenColor(KRgbBlue);  // the pen colour draws the glyphs
  iGc->DrawText(_L("A"), TPoint(-1000000, KMaxTInt));
  iGc->DrawText(_L("A"), TPoint(KMinTInt, 0));
  iGc->DrawText(_L("A"), TPoint(0, 0));
  EXPECT_EQ(Holding(KBrushWord), Within(Boxes({5}, 5), TRect(0, 0, 48, 20)));
}

TEST_F(GcTextTest, NoFontDrawsNothing) {
  iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  iGc->DrawText(_L("AB"), TPoint(2, 10));
  iGc->DrawText(_L("AB"), TRect(0, 0, 20, 12), 9);
  iGc->UseFont(iFont);
  iGc->DiscardFont();
  iGc->DrawText(_L("AB"), TRect(0, 0, 20, 12), 9);
  iGc->UseFont(iFont);
  iGc->Reset();  // forgets the font too
  EXPECT_EQ(iGc->Font(), nullptr);
  iGc->SetBrushStyle(CGraphicsContext::ESolidBrush);
  iGc->DrawText(_L("AB"), TRect(0, 0, 20, 12), 9);
  EXPECT_TRUE(Holding(0).size() == 48u * 20u);
}
