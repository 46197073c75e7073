// The font store: typeface names and substitution, exact metrics of the fixed test face,
// FreeType fonts' metrics, monochrome rasterisation, twips conversion and the font
// objects' lifetime.

#include <fbs.h>
#include <gdi.h>
#include <zhost/allocfail.h>
#include <zhost/fonts.h>
#include <zhost/userlib.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::string Narrow(const TDesC& aText) {
  std::string out;
  for (TInt i = 0; i < aText.Length(); ++i) out += static_cast<char>(aText[i]);
  return out;
}

TPtrC Wide(const char16_t* aText) {
  return TPtrC(reinterpret_cast<const TUint16*>(aText), static_cast<TInt>(std::char_traits<char16_t>::length(aText)));
}

class Fonts : public ::testing::Test {
protected:
  void SetUp() override {
    iDevice = new CGraphicsDevice;
    ASSERT_NE(iDevice, nullptr);
    iInUse = ZHost::FontsInUse();
  }
  void TearDown() override {
    for (CFont* f : iFonts) iDevice->ReleaseFont(f);
    EXPECT_EQ(ZHost::FontsInUse(), iInUse);
    delete iDevice;
  }
  // A font by name and pixel height, asked for in twips as the platform's users do.
  CFbsFont* Font(const char16_t* aName, TInt aPixels, TBool aBold = EFalse, TBool aItalic = EFalse) {
    TFontSpec fontSpec(Wide(aName), iDevice->VerticalPixelsToTwips(aPixels));
    fontSpec.iFontStyle.SetStrokeWeight(aBold ? EStrokeWeightBold : EStrokeWeightNormal);
    fontSpec.iFontStyle.SetPosture(aItalic ? EPostureItalic : EPostureUpright);
    CFont* font = NULL;
    EXPECT_EQ(iDevice->GetNearestFontInTwips(font, fontSpec), KErrNone);
    if (font) iFonts.push_back(font);
    return static_cast<CFbsFont*>(font);
  }
  std::string Name(CFont* aFont) { return Narrow(aFont->FontSpecInTwips().iTypeface.Name()); }

  CGraphicsDevice* iDevice = nullptr;
  std::vector<CFont*> iFonts;
  TInt iInUse = 0;
};

TEST_F(Fonts, TwipsConvertBothWaysExactlyForWholePixels) {
  for (TInt px : {0, 1, 12, 14, 16, 100, 1024}) {
    EXPECT_EQ(iDevice->VerticalTwipsToPixels(iDevice->VerticalPixelsToTwips(px)), px);
    EXPECT_EQ(iDevice->HorizontalTwipsToPixels(iDevice->HorizontalPixelsToTwips(px)), px);
  }
  EXPECT_EQ(iDevice->VerticalPixelsToTwips(16), 16 * ZHost::KTwipsPerPixel);
  // Halves round to the nearer pixel, away from zero; huge values do not overflow.
  EXPECT_EQ(iDevice->VerticalTwipsToPixels(7), 0);
  EXPECT_EQ(iDevice->VerticalTwipsToPixels(8), 1);
  EXPECT_EQ(iDevice->VerticalTwipsToPixels(-8), -1);
  EXPECT_EQ(iDevice->VerticalPixelsToTwips(KMaxTInt), KMaxTInt);
  EXPECT_EQ(iDevice->TwipsToPixels(TPoint(150, 30)), TPoint(10, 2));
}

TEST_F(Fonts, DeviceTypefacesAreRealFacesAndReportTheirNames) {
  EXPECT_EQ(Name(Font(u"SwissA", 14)), "SwissA");
  EXPECT_EQ(Name(Font(u"System", 14)), "System");
  EXPECT_EQ(Name(Font(u"Terminal", 14)), "Terminal");
  EXPECT_EQ(Name(Font(u"NewCourier", 14)), "NewCourier");
  // Names are matched without regard to case.
  EXPECT_EQ(Name(Font(u"sWISSa", 14)), "SwissA");
  EXPECT_TRUE(Font(u"SwissA", 14)->FontSpecInTwips().iTypeface.IsProportional());
  EXPECT_FALSE(Font(u"Terminal", 14)->FontSpecInTwips().iTypeface.IsProportional());
  EXPECT_TRUE(Font(u"System", 14)->FontSpecInTwips().iTypeface.IsSerif());
  EXPECT_EQ(iDevice->NumTypefaces(), 5);
  TTypeface tf;
  iDevice->TypefaceSupport(tf, 3);
  EXPECT_EQ(Narrow(tf.Name()), "NewCourier");
  iDevice->TypefaceSupport(tf, 99);
  EXPECT_EQ(tf.Name().Length(), 0);
}

TEST_F(Fonts, UnknownNamesGetTheNearestTypeface) {
  EXPECT_EQ(Name(Font(u"Helvetica", 14)), "SwissA");
  EXPECT_EQ(Name(Font(u"Times New Roman", 14)), "System");
  EXPECT_EQ(Name(Font(u"Courier New", 14)), "NewCourier");
  EXPECT_EQ(Name(Font(u"no such face at all", 14)), "SwissA");
  EXPECT_EQ(Name(Font(u"", 14)), "SwissA");
  // A name longer than a typeface name can hold is cut, not refused.
  EXPECT_EQ(Name(Font(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 14)), "SwissA");
}

TEST_F(Fonts, HeightIsExactlyTheHeightAskedForAndClamped) {
  for (TInt h : {1, 7, 14, 16, 33, 100}) {
    CFbsFont* f = Font(u"SwissA", h);
    EXPECT_EQ(f->HeightInPixels(), h);
    EXPECT_EQ(f->AscentInPixels() + f->DescentInPixels(), h);
    EXPECT_GE(f->AscentInPixels(), f->DescentInPixels());
    EXPECT_EQ(f->FontSpecInTwips().iHeight, h * ZHost::KTwipsPerPixel);
  }
  EXPECT_EQ(Font(u"SwissA", 0)->HeightInPixels(), 1);
  EXPECT_EQ(Font(u"SwissA", -40)->HeightInPixels(), 1);
  EXPECT_EQ(Font(u"ZHost Fixed", 5000)->HeightInPixels(), ZHost::KFontHeightMax);
}

TEST_F(Fonts, FixedTestFaceHasExactMetrics) {
  CFbsFont* f = Font(u"ZHost Fixed", 10);
  EXPECT_EQ(Name(f), "ZHost Fixed");
  EXPECT_EQ(f->AscentInPixels(), 8);
  EXPECT_EQ(f->DescentInPixels(), 2);
  EXPECT_EQ(f->CharWidthInPixels('W'), 5);
  EXPECT_EQ(f->CharWidthInPixels(' '), 5);
  EXPECT_EQ(f->CharWidthInPixels(0x4E2D), 5);
  EXPECT_EQ(f->CharWidthInPixels('\n'), 0);
  EXPECT_EQ(f->TextWidthInPixels(_L("abc def")), 35);
  EXPECT_EQ(f->TextWidthInPixels(_L("a\r\nb")), 10);
  EXPECT_EQ(f->TextCount(_L("abcdefghij"), 39), 7);
  EXPECT_EQ(f->TextCount(_L("abcdefghij"), 40), 8);
  EXPECT_EQ(f->TextCount(_L("abc"), 1000), 3);
  EXPECT_EQ(Font(u"ZHost Fixed", 16)->CharWidthInPixels('x'), 8);
  EXPECT_EQ(Font(u"ZHost Fixed", 1)->CharWidthInPixels('x'), 1);
}

TEST_F(Fonts, FixedTestFaceDrawsBoxes) {
  CFbsFont* f = Font(u"ZHost Fixed", 10);
  // Two characters and a space, baseline at y 9, pen starting at x 1; clip cuts the
  // bottom row of the boxes and everything right of x 8.
  const TInt w = 16, h = 12;
  std::vector<TUint16> px(w * h, 0);
  const TInt adv = ZHost::DrawText(*f, _L("A B"), TPoint(1, 9), 0x0F00, px.data(), w, TRect(0, 0, 8, 8));
  EXPECT_EQ(adv, 15);
  for (TInt y = 0; y < h; ++y) {
    for (TInt x = 0; x < w; ++x) {
      // Box of 'A': x 1..4, y 1..8 (ascent 8 above baseline 9), clipped to y < 8.
      const bool inA = x >= 1 && x < 5 && y >= 1 && y < 8;
      // 'B' starts at pen 11: outside the clip.
      EXPECT_EQ(px[y * w + x], inA ? 0x0F00 : 0) << x << "," << y;
    }
  }
  const ZHost::TGlyphImage space = ZHost::FontGlyph(*f, ' ');
  EXPECT_EQ(space.iAdvance, 5);
  EXPECT_EQ(space.iBits, nullptr);
}

TEST_F(Fonts, DejaVuFacesMeasureLikeTheirKinds) {
  CFbsFont* sans = Font(u"SwissA", 20);
  EXPECT_LT(sans->TextWidthInPixels(_L("iiii")), sans->TextWidthInPixels(_L("WWWW")));
  CFbsFont* mono = Font(u"Terminal", 20);
  EXPECT_EQ(mono->TextWidthInPixels(_L("iiii")), mono->TextWidthInPixels(_L("WWWW")));
  EXPECT_GT(mono->CharWidthInPixels('i'), 0);
  // A run measures as the sum of its characters (no kerning), for any face and style.
  for (CFbsFont* f : {sans, mono, Font(u"System", 13, ETrue), Font(u"SwissA", 17, EFalse, ETrue)}) {
    const TPtrC text(_L("AVAWaY Tj, lorem ipsum"));
    TInt sum = 0;
    for (TInt i = 0; i < text.Length(); ++i) sum += f->CharWidthInPixels(text[i]);
    EXPECT_EQ(f->TextWidthInPixels(text), sum);
    EXPECT_GT(sum, 0);
  }
  // Bold is at least as wide; a bigger size is wider.
  EXPECT_GE(Font(u"SwissA", 20, ETrue)->TextWidthInPixels(_L("Hello")), sans->TextWidthInPixels(_L("Hello")));
  EXPECT_GT(Font(u"SwissA", 40)->TextWidthInPixels(_L("Hello")), sans->TextWidthInPixels(_L("Hello")));
  EXPECT_GE(sans->MaxCharWidthInPixels(), sans->CharWidthInPixels('M'));
}

TEST_F(Fonts, GlyphsAreMonochromeAndSitOnTheBaseline) {
  CFbsFont* f = Font(u"SwissA", 24);
  const TInt w = 64, h = 40;
  std::vector<TUint16> px(w * h, 0x0FFF);
  ZHost::DrawText(*f, _L("Hg"), TPoint(2, 30), 0x0123, px.data(), w, TRect(0, 0, w, h));
  std::set<TUint16> values(px.begin(), px.end());
  EXPECT_EQ(values, (std::set<TUint16>{0x0FFF, 0x0123}));
  // 'H' stands on the baseline: ink in the row just above it, none in the rows below
  // the baseline under the H; 'g' descends below it.
  const TInt hWidth = f->CharWidthInPixels('H');
  auto ink = [&](TInt x0, TInt x1, TInt y) {
    for (TInt x = x0; x < x1; ++x)
      if (px[y * w + x] == 0x0123) return true;
    return false;
  };
  EXPECT_TRUE(ink(2, 2 + hWidth, 29));
  EXPECT_FALSE(ink(0, 2 + hWidth, 31));
  EXPECT_TRUE(ink(2 + hWidth, w, 32));
  EXPECT_FALSE(ink(0, w, 30 - f->AscentInPixels() - 2));
  // Cached glyphs are the same memory the second time.
  EXPECT_EQ(ZHost::FontGlyph(*f, 'H').iBits, ZHost::FontGlyph(*f, 'H').iBits);
}

TEST_F(Fonts, FontsAreCountedAndAllocationFailureIsReported) {
  const TInt cells = ZHost::AllocCells();
  TFontSpec fontSpec(_L("SwissA"), 200);
  CFont* font = reinterpret_cast<CFont*>(1);
  __UHEAP_FAILNEXT(1);
  EXPECT_EQ(iDevice->GetNearestFontInTwips(font, fontSpec), KErrNoMemory);
  __UHEAP_RESET;
  EXPECT_EQ(font, nullptr);
  EXPECT_EQ(ZHost::FontsInUse(), iInUse);
  EXPECT_EQ(iDevice->GetNearestFontInTwips(font, fontSpec), KErrNone);
  EXPECT_EQ(ZHost::FontsInUse(), iInUse + 1);
  iDevice->ReleaseFont(font);
  iDevice->ReleaseFont(NULL);
  EXPECT_EQ(ZHost::FontsInUse(), iInUse);
  EXPECT_EQ(ZHost::AllocCells(), cells);
}

}  // namespace
