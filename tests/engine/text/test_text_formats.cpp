// Description strings of texts and shapes, the resource files that hold them (read
// through the script's Decrypt), and allocation failures in all of them.

#include "TextTesting.h"

#include <zhost/allocfail.h>
#include <zhost/userlib.h>

#include <gtest/gtest.h>

using namespace ZTest;
using namespace ZTextTest;

namespace {

class TextFormats : public ::testing::Test {
protected:
  // The element lists keep the room they grew to; an element of each kind made and
  // removed first keeps that growth out of the allocation-failure sweeps.
  void WarmUp() {
    ASSERT_NE(Text(u"x", u"warm"), nullptr);
    ASSERT_EQ(iH.Controller().ElementRemove(W(u"warm")), 1);
    ASSERT_NE(Shape(u"", u"warm"), nullptr);
    ASSERT_EQ(iH.Controller().ElementRemove(W(u"warm")), 1);
  }
  CZElement* Text(const char16_t* aDescription, const char16_t* aName = u"t") {
    return iH.Controller().ElementTextAdd(W(aDescription), W(aName));
  }
  CZElement* Shape(const char16_t* aDescription, const char16_t* aName = u"s") {
    return iH.Controller().ElementShapeAdd(W(aDescription), W(aName));
  }
  Harness iH;
};

TEST_F(TextFormats, TextWithoutHeaderIsAllContent) {
  CZElement* e = Text(u"  \r\n Hello  world\r\n ");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(S(e->Text()), "Hello  world\r\n ");
  EXPECT_EQ(e->Type(), TEXT_ELEMENT);
  EXPECT_EQ(S(e->Name()), "t");
  EXPECT_EQ(e->Width(), 200);
  EXPECT_EQ(S(e->Font()), "NewCourier");  // construction defaults stay
  EXPECT_EQ(e->FontSize(), 14);
}

TEST_F(TextFormats, HeaderWithoutEndGivesEmptyTextAndNoSettings) {
  CZElement* e = Text(u"ignored BHd R 50 0 Clr 255 Fnt Arial 30 some text");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Text().Length(), 0);
  EXPECT_EQ(e->Width(), 200);
  EXPECT_EQ(e->Color(), TRgb(0, 0, 0));
  EXPECT_EQ(e->FontSize(), 14);
}

TEST_F(TextFormats, TextHeaderKeywords) {
  CZElement* e = Text(u"x BHd Fnt Arial 20 B I Alg Rt R 120 99 Clr 65280 LHt 30 LFHt 4 Unknown 7 EHd   line one\nline two ");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(S(e->Text()), "line one\nline two ");
  EXPECT_EQ(S(e->Font()), "SwissA");
  EXPECT_EQ(e->FontSize(), 20);
  EXPECT_EQ(e->FontStrokeWeight(), EStrokeWeightBold);
  EXPECT_EQ(e->FontPosture(), EPostureItalic);
  EXPECT_EQ(e->FontAlignment(), CGraphicsContext::ERight);
  EXPECT_EQ(e->Width(), 120);
  EXPECT_EQ(e->Color(), TRgb(0, 255, 0));
  EXPECT_EQ(e->LineHeight(), 30);
  EXPECT_EQ(e->LineFeedHeight(), 4);
  // Defaults of a complete header: "Courier" 12, left, width 200, black.
  e = Text(u"BHd EHd abc", u"d");
  EXPECT_EQ(S(e->Font()), "Terminal");
  EXPECT_EQ(e->FontSize(), 12);
  EXPECT_EQ(e->LineFeedHeight(), 10);
}

TEST_F(TextFormats, TextHeaderValuesAndTheirFallbacks) {
  // An unknown font name leaves "Courier"; the size is taken.
  CZElement* e = Text(u"BHd Fnt Helvetica 20 EHd a");
  EXPECT_EQ(S(e->Font()), "Terminal");
  EXPECT_EQ(e->FontSize(), 20);
  // Folded keywords and words.
  e = Text(u"bhd ALG cr fnt roman 16 ehd a", u"f");
  EXPECT_EQ(e->FontAlignment(), CGraphicsContext::ECenter);
  EXPECT_EQ(S(e->Font()), "System");
  // A width that is not a number gives 1; a bad size 12.
  e = Text(u"BHd R wide 10 Fnt Arial big EHd a", u"r");
  EXPECT_EQ(e->Width(), 1);
  EXPECT_EQ(e->FontSize(), 12);
  // Colours are limited to 24 bits.
  e = Text(u"BHd Clr -5 EHd a", u"c1");
  EXPECT_EQ(e->Color(), TRgb(0, 0, 0));
  e = Text(u"BHd Clr 99999999 EHd a", u"c2");
  EXPECT_EQ(e->Color(), TRgb(255, 255, 255));
  // A value beyond the end of the data takes its default; no "EHd" then, so nothing set.
  e = Text(u"BHd LFHt", u"v");
  EXPECT_EQ(e->LineFeedHeight(), 10);
  // Sizes beyond the element's range are stored as given by the header.
  e = Text(u"BHd Fnt Arial 250 EHd a", u"z");
  EXPECT_EQ(e->FontSize(), 250);
}

TEST_F(TextFormats, UpdatingKeepsSettingsWithoutHeaderAndRefusesOtherTypes) {
  CZElement* e = Text(u"BHd R 77 0 Clr 255 EHd first");
  CZElement* again = Text(u"second");
  EXPECT_EQ(again, e);
  EXPECT_EQ(S(e->Text()), "second");
  EXPECT_EQ(e->Width(), 77);
  EXPECT_EQ(e->Color(), TRgb(255, 0, 0));
  ASSERT_NE(Shape(u"", u"shape"), nullptr);
  EXPECT_EQ(Text(u"x", u"SHAPE"), nullptr);
  EXPECT_EQ(Shape(u"", u"T"), nullptr);
  EXPECT_EQ(S(e->Text()), "second");
}

TEST_F(TextFormats, ShapeHeaderAndPoints) {
  CZElement* e = Shape(u"BHd BClr 255 BStl 1 PClr 65280 PStl 2 PSze 3 RPnt 5 6 PntCt 4 EHd 10 20 30 40");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Type(), SHAPE_ELEMENT);
  EXPECT_EQ(e->BrushColor(), TRgb(255, 0, 0));
  EXPECT_EQ(e->BrushStyle(), CGraphicsContext::ESolidBrush);
  EXPECT_EQ(e->Color(), TRgb(0, 255, 0));
  EXPECT_EQ(e->PenStyle(), CGraphicsContext::EDottedPen);
  EXPECT_EQ(e->PenSize(), TSize(3, 3));
  EXPECT_EQ(ShapeOf(e)->PointCount(), 4);
  EXPECT_EQ(e->Point(1), TPoint(10, 20));
  EXPECT_EQ(e->Point(2), TPoint(30, 40));
  EXPECT_EQ(e->Point(4), TPoint(0, 0));
  EXPECT_EQ(e->RegPoint(), TPoint(5, 6));
  // More points than "PntCt".
  e = Shape(u"BHd PntCt 2 EHd 1 1 2 2 3 3 4 4", u"s2");
  EXPECT_EQ(ShapeOf(e)->PointCount(), 4);
  EXPECT_EQ(e->Point(4), TPoint(4, 4));
  // A stray word takes the place of a coordinate and shifts the pairing.
  e = Shape(u"BHd EHd 10 20 foo 30 40 50", u"s3");
  EXPECT_EQ(e->Point(1), TPoint(10, 20));
  EXPECT_EQ(e->Point(2), TPoint(0, 0));
  EXPECT_EQ(e->Point(3), TPoint(30, 40));
  EXPECT_EQ(ShapeOf(e)->PointCount(), 3);
  e = Shape(u"BHd EHd 10 bar 30 40", u"s4");
  EXPECT_EQ(e->Point(2), TPoint(30, 40));
  EXPECT_EQ(e->Point(1), TPoint(0, 0));
}

TEST_F(TextFormats, ShapeLimitsAndDefaults) {
  CZElement* e = Shape(u"BHd PSze 300 BStl 12 PStl -1 BClr -1 PClr 20000000 PntCt -3 EHd");
  EXPECT_EQ(e->PenSize(), TSize(128, 128));
  EXPECT_EQ(e->BrushStyle(), CGraphicsContext::EDiamondCrossHatchBrush);
  EXPECT_EQ(e->PenStyle(), CGraphicsContext::ENullPen);
  EXPECT_EQ(e->BrushColor(), TRgb(0, 0, 0));
  EXPECT_EQ(e->Color(), TRgb(255, 255, 255));
  EXPECT_EQ(ShapeOf(e)->PointCount(), 1);
  // Bad numbers take the bad-value results.
  e = Shape(u"BHd BClr x BStl x PStl x PSze x RPnt x y EHd", u"b");
  EXPECT_EQ(e->BrushColor(), TRgb(255, 255, 255));
  EXPECT_EQ(e->PenStyle(), CGraphicsContext::ESolidPen);
  EXPECT_EQ(e->PenSize(), TSize(1, 1));
  // Without a header: one point at (0,0), default look, and no points read.
  e = Shape(u"10 20 30 40", u"n");
  EXPECT_EQ(ShapeOf(e)->PointCount(), 1);
  EXPECT_EQ(e->Point(1), TPoint(0, 0));
  EXPECT_EQ(e->BrushColor(), TRgb(255, 255, 255));
  // A registration point beyond the extent is clamped to it.
  e = Shape(u"BHd RPnt 500 -4 EHd 9 9", u"r");
  EXPECT_EQ(e->RegPoint(), TPoint(10, 0));
  // An existing shape given fewer points keeps its later ones; "PntCt" is for new ones.
  e = Shape(u"BHd PntCt 9 EHd 1 1 2 2 3 3", u"u");
  EXPECT_EQ(Shape(u"BHd PntCt 1 EHd 7 7", u"u"), e);
  EXPECT_EQ(e->Point(1), TPoint(7, 7));
  EXPECT_EQ(e->Point(3), TPoint(3, 3));
  EXPECT_EQ(ShapeOf(e)->PointCount(), 9);
}

// ---------------------------------------------------------------------------------------
// Resource files

class ResourceFiles : public TextFormats {
protected:
  void Write(const std::string& aPath, const std::string& aBytes) {
    iH.Script().iXorKey = 0x5A;
    iH.WriteAppFile(aPath, Xor(aBytes, 0x5A));
  }
};

TEST_F(ResourceFiles, TextFileMakesNumberedElementsThroughDecrypt) {
  Write("Texts\\intro.txt",
        "junk #BTxt not this BRes\r\n#BTxt BHd R 90 0 EHd Hello\r\nthere  #ETxt\r\n"
        "#BTxt   second #ETxt\r\n#BTxt never ended\r\nERes\r\n");
  TRAPD(err, iH.Controller().LoadFileTextL(W(u"intro.txt"), W(u"base"), EFalse));
  ASSERT_EQ(err, KErrNone);
  CZElement* first = iH.Controller().Element(W(u"base_txt_1"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(S(first->Text()), "Hello\r\nthere");
  EXPECT_EQ(first->Width(), 90);
  EXPECT_FALSE(first->Unload());
  CZElement* second = iH.Controller().Element(W(u"BASE_TXT_2"));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(S(second->Text()), "second");
  EXPECT_EQ(iH.Controller().Element(W(u"base_txt_3")), nullptr);
  // The script saw the file name exactly as given.
  const auto decrypts = iH.Script().Calls(ScriptCall::EDecrypt);
  ASSERT_EQ(decrypts.size(), 1u);
  EXPECT_EQ(decrypts[0].text, u"intro.txt");
}

TEST_F(ResourceFiles, FileWithoutResourcesAndLongBaseNames) {
  Write("Texts\\none.txt", "#BTxt a #ETxt");
  TRAPD(err, iH.Controller().LoadFileTextL(W(u"none.txt"), W(u"n")));
  EXPECT_EQ(err, KErrNone);
  EXPECT_EQ(iH.Controller().Element(W(u"n_txt_1")), nullptr);
  Write("Texts\\one.txt", "BRes #BTxt a #ETxt ERes");
  const std::u16string base(70, u'b');
  TRAP(err, iH.Controller().LoadFileTextL(W(u"one.txt"), W(base.c_str())));
  EXPECT_EQ(err, KErrNone);
  CZElement* e = iH.Controller().Element(W((base.substr(0, 64) + u"_txt_1").c_str()));
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->Unload());
  // A missing file leaves with the file server's error; an invalid name does nothing.
  TRAP(err, iH.Controller().LoadFileTextL(W(u"missing.txt"), W(u"m")));
  EXPECT_EQ(err, KErrNotFound);
  TRAP(err, iH.Controller().LoadFileTextL(W(u"bad<>name|.txt"), W(u"m")));
  EXPECT_EQ(err, KErrNone);
}

TEST_F(ResourceFiles, ShapeFileAndAFailingResource) {
  Write("Shapes\\s.shp", "BRes #BShp BHd PSze 2 EHd 1 2 3 4 #EShp #BTxt x #ETxt #BShp #EShp ERes");
  TRAPD(err, iH.Controller().LoadFileShapeL(W(u"s.shp"), W(u"sh")));
  ASSERT_EQ(err, KErrNone);
  CZElement* e = iH.Controller().Element(W(u"sh_shp_1"));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->PenSize(), TSize(2, 2));
  EXPECT_EQ(e->Point(2), TPoint(3, 4));
  ASSERT_NE(iH.Controller().Element(W(u"sh_shp_2")), nullptr);
  // A resource whose element cannot be made (the name is a text's) leaves with -4; the
  // resources before it stay.
  ASSERT_NE(Text(u"x", u"clash_shp_2"), nullptr);
  TRAP(err, iH.Controller().LoadFileShapeL(W(u"s.shp"), W(u"clash")));
  EXPECT_EQ(err, KErrNoMemory);
  EXPECT_NE(iH.Controller().Element(W(u"clash_shp_1")), nullptr);
}

// ---------------------------------------------------------------------------------------
// Allocation failures: every allocation fails in turn; nothing leaks, and an existing
// element that cannot be updated keeps what it had.

TEST_F(TextFormats, ElementTextAddSurvivesEveryAllocationFailure) {
  WarmUp();
  CZController& c = iH.Controller();
  const TInt steps = ZHost::SweepAllocFailures([&] {
    CZElement* e = c.ElementTextAdd(W(u"BHd Fnt Arial 16 EHd new text"), W(u"n"));
    if (e) {
      e->LineCount();  // makes the font as well
      EXPECT_EQ(c.ElementRemove(W(u"n")), 1);
    }
  });
  EXPECT_GT(steps, 3);
  CZElement* old = Text(u"BHd R 50 0 EHd old", u"o");
  ASSERT_NE(old, nullptr);
  old->LineCount();
  const TInt updates = ZHost::SweepAllocFailures([&] {
    CZElement* e = c.ElementTextAdd(W(u"BHd R 80 0 EHd brand new content"), W(u"o"));
    if (!e) {
      EXPECT_EQ(S(old->Text()), "old");
      EXPECT_EQ(old->Width(), 50);
    } else {
      EXPECT_EQ(S(old->Text()), "brand new content");
      old->Text(W(u"old"));
      old->Width(50);
    }
  });
  EXPECT_GT(updates, 1);
}

TEST_F(TextFormats, ElementShapeAddSurvivesEveryAllocationFailure) {
  WarmUp();
  CZController& c = iH.Controller();
  const TInt steps = ZHost::SweepAllocFailures([&] {
    CZElement* e = c.ElementShapeAdd(W(u"BHd PntCt 40 EHd 1 1 2 2 3 3"), W(u"n"));
    if (e) {
      EXPECT_EQ(c.ElementRemove(W(u"n")), 1);
    }
  });
  EXPECT_GT(steps, 3);
  CZElement* old = Shape(u"BHd PSze 2 EHd 5 5", u"o");
  std::u16string many = u"BHd PSze 9 EHd";
  for (int i = 0; i < 100; ++i) many += u" 7 7";
  const TInt updates = ZHost::SweepAllocFailures([&] {
    CZElement* e = c.ElementShapeAdd(W(many.c_str()), W(u"o"));
    if (!e) {
      EXPECT_EQ(ShapeOf(old)->PointCount(), 1);
      EXPECT_EQ(old->Point(1), TPoint(5, 5));
      EXPECT_EQ(old->PenSize(), TSize(2, 2));
    } else {
      EXPECT_EQ(ShapeOf(old)->PointCount(), 100);
      // Back to the old points without allocating (the sweep may still be failing).
      while (ShapeOf(old)->PointCount() > 1) old->PointRemove(ShapeOf(old)->PointCount());
      old->Point(1, TPoint(5, 5));
      old->PenSize(TSize(2, 2));
    }
  });
  EXPECT_GT(updates, 1);
}

TEST_F(ResourceFiles, FileLoadersSurviveEveryAllocationFailure) {
  Write("Texts\\a.txt", "BRes #BTxt BHd Fnt Roman 11 EHd one #ETxt #BTxt two #ETxt ERes");
  Write("Shapes\\a.shp", "BRes #BShp BHd EHd 1 1 #EShp #BShp 2 2 #EShp ERes");
  WarmUp();
  CZController& c = iH.Controller();
  for (const bool text : {true, false}) {
    std::vector<TInt> codes;
    const TInt steps = ZHost::SweepAllocFailures([&] {
      TRAPD(err, text ? c.LoadFileTextL(W(u"a.txt"), W(u"f")) : c.LoadFileShapeL(W(u"a.shp"), W(u"f")));
      codes.push_back(err);
      // Resources made before a failure stay until removed.
      for (const char16_t* n : {u"f_txt_1", u"f_txt_2", u"f_shp_1", u"f_shp_2"}) c.ElementRemove(W(n));
      User::LeaveIfError(err);
    });
    EXPECT_GT(steps, 3);
    for (size_t i = 0; i + 1 < codes.size(); ++i) EXPECT_EQ(codes[i], KErrNoMemory);
    EXPECT_EQ(codes.back(), KErrNone);
  }
}

}  // namespace
