// The text element: content editing, font settings and aliases, lazy font and layout,
// line division and the laid-out height.

#include "TextTesting.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

using namespace ZTest;
using namespace ZTextTest;

namespace {

class TextElement : public ::testing::Test {
protected:
  // A text element with aContent in the fixed test face: every character aAdvance pixels
  // wide (the face's advance is half its height).
  CZElement* Fixed(const char16_t* aContent, TInt aWrapWidth, TInt aAdvance = 5) {
    CZElement* e = iH.Controller().ElementTextAdd(W(aContent), W(u"t"));
    EXPECT_NE(e, nullptr);
    e->Font(W(u"ZHost Fixed"));
    e->FontSize(aAdvance * 2);
    e->Width(aWrapWidth);
    return e;
  }
  std::vector<std::string> Lines(CZElement* aElement) {
    std::vector<std::string> out;
    for (TInt i = 0; i < aElement->LineCount(); ++i) out.push_back(S(aElement->Line(i)));
    return out;
  }
  Harness iH;
};

TEST_F(TextElement, LineBreaksOfEveryKindMakeParagraphs) {
  CZElement* e = Fixed(u"a\r\nb\rc\nd", 1000);
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"a", "b", "c", "d"}));
  TBool crlf = EFalse;
  EXPECT_EQ(S(TextOf(e)->Line(1, crlf)), "b");
  EXPECT_TRUE(crlf);
  EXPECT_EQ(S(TextOf(e)->Line(0, crlf)), "a");
  EXPECT_FALSE(crlf);
  EXPECT_EQ(S(TextOf(e)->Line(4, crlf)), "");
  EXPECT_EQ(S(TextOf(e)->Line(-1, crlf)), "");

  e->Text(W(u"abc\n"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"abc"}));
  e->Text(W(u"abc\n\n"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"abc", ""}));
  // An empty line after a break reads empty and does not report the break.
  EXPECT_EQ(S(TextOf(e)->Line(1, crlf)), "");
  EXPECT_FALSE(crlf);
  e->Text(W(u""));
  EXPECT_EQ(e->LineCount(), 1);
}

TEST_F(TextElement, InsertAndRemoveClampTheirPositions) {
  CZElement* e = Fixed(u"hello", 1000);
  EXPECT_EQ(e->TextInsert(W(u"<"), -5), 1);
  EXPECT_EQ(S(e->Text()), "<hello");
  EXPECT_EQ(e->TextInsert(W(u">"), 999), 1);
  EXPECT_EQ(S(e->Text()), "<hello>");
  EXPECT_EQ(e->TextInsert(W(u"!")), 1);
  EXPECT_EQ(S(e->Text()), "<hello>!");
  EXPECT_EQ(e->TextInsert(42, 1), 1);
  EXPECT_EQ(S(e->Text()), "<42hello>!");
  EXPECT_EQ(e->TextRemove(-3, 2), 1);
  EXPECT_EQ(S(e->Text()), "2hello>!");
  e->Text(W(u"abcde"));
  EXPECT_EQ(e->TextRemove(10, 1), 1);
  EXPECT_EQ(S(e->Text()), "abcde");
  EXPECT_EQ(e->TextRemove(3, 100), 1);
  EXPECT_EQ(S(e->Text()), "abc");
  EXPECT_EQ(e->Text(-2147483647 - 1), 1);
  EXPECT_EQ(S(e->Text()), "-2147483648");
  // The layout follows the edits.
  e->Text(W(u"ab"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"ab"}));
  e->TextInsert(W(u"\n"), 1);
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"a", "b"}));
}

TEST_F(TextElement, EditsWithoutContentDoNothing) {
  CZElementText* t = CZElementText::NewL();
  TPtrC x(W(u"x"));
  TRAPD(err, t->TextInsertL(x, 0));
  EXPECT_EQ(err, KErrNone);
  TRAP(err, t->TextRemoveL(0, 1));
  EXPECT_EQ(err, KErrNone);
  EXPECT_EQ(t->Text().Length(), 0);
  delete t;
}

TEST_F(TextElement, WrapsWordsAtFivePixelCharacters) {
  CZElement* e = Fixed(u"abc def ghi", 40);
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"abc def", "ghi"}));
  // Runs must stay below the width: 8 characters of 5 pixels do not fit in 40.
  e->Text(W(u"abcdefghij"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"abcdefg", "hij"}));
  // A word wider than the width: the longest fitting run, then the rest unbroken.
  e->Text(W(u"abcdefghijklmnopqrstuvwxyz"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"abcdefg", "hijklmnopqrstuvwxyz"}));
  // The last word of a paragraph that does not fit gets its own line.
  e->Text(W(u"aa bb cc dd\nxy"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"aa bb", "cc dd", "xy"}));
  e->Text(W(u"aa bb cc ddddd\nxy"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"aa bb", "cc", "ddddd", "xy"}));
  // White space at a break is dropped; empty paragraphs stay.
  e->Text(W(u"aaa    bbbb\n\ncc"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"aaa", "bbbb", "", "cc"}));
  // A width change lays the text out again.
  e->Width(1000);
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"aaa    bbbb", "", "cc"}));
  // Width 1: one character per line, never zero.
  e->Width(0);
  e->Text(W(u"abc"));
  EXPECT_EQ(Lines(e), (std::vector<std::string>{"a", "bc"}));
}

TEST_F(TextElement, AtMost128LinesAreLaidOut) {
  std::u16string many;
  for (int i = 0; i < 300; ++i) many += u"x\n";
  CZElement* e = Fixed(many.c_str(), 1000);
  EXPECT_EQ(e->LineCount(), 128);
  EXPECT_EQ(S(e->Line(127)), "x");
  EXPECT_EQ(S(e->Line(128)), "");
  // Wrapped: the 128th line takes the rest of its paragraph.
  std::u16string words;
  for (int i = 0; i < 300; ++i) words += u"ab ";
  words += u"end";
  e->Text(W(words.c_str()));
  e->Width(15);
  EXPECT_EQ(e->LineCount(), 128);
  EXPECT_EQ(S(e->Line(126)), "ab");
  EXPECT_EQ(e->Line(127).Length(), 173 * 3 + 3);
}

TEST_F(TextElement, FontSettingsClampAndMapAliases) {
  CZElement* e = iH.Controller().ElementTextAdd(W(u"hi"), W(u"t"));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(S(e->Font()), "NewCourier");
  EXPECT_EQ(e->FontSize(), 14);
  e->FontSize(0);
  EXPECT_EQ(e->FontSize(), 1);
  e->FontSize(500);
  EXPECT_EQ(e->FontSize(), 100);
  e->Font(W(u"Courier"));
  EXPECT_EQ(S(e->Font()), "Terminal");
  e->Font(W(u"SwissA"));
  e->Font(W(u"COURIER"));
  EXPECT_EQ(S(e->Font()), "Terminal");
  e->Font(W(u"arial"));
  EXPECT_EQ(S(e->Font()), "SwissA");
  e->Font(W(u"Roman"));
  EXPECT_EQ(S(e->Font()), "System");
  // A name the device does not have reads back as the typeface it chose.
  e->Font(W(u"Helvetica"));
  EXPECT_EQ(S(e->Font()), "SwissA");
  EXPECT_EQ(e->FontStrokeWeight(EStrokeWeightBold), 1);
  EXPECT_EQ(e->FontStrokeWeight(), EStrokeWeightBold);
  EXPECT_EQ(e->FontPosture(EPostureItalic), 1);
  EXPECT_EQ(e->FontPosture(), EPostureItalic);
  EXPECT_EQ(e->FontAlignment(CGraphicsContext::ERight), 1);
  EXPECT_EQ(e->FontAlignment(), CGraphicsContext::ERight);
  EXPECT_EQ(e->Color(TRgb(1, 2, 3)), 1);
  EXPECT_EQ(e->Color(), TRgb(1, 2, 3));
  e->LineCount();
  EXPECT_EQ(TextOf(e)->Font()->FontSpecInTwips().iFontStyle.StrokeWeight(), EStrokeWeightBold);
  EXPECT_EQ(TextOf(e)->Font()->FontSpecInTwips().iFontStyle.Posture(), EPostureItalic);
}

TEST_F(TextElement, ColourFromComponentsIsTheClampedSum) {
  CZElementText* t = TextOf(iH.Controller().ElementTextAdd(W(u"hi"), W(u"t")));
  ASSERT_NE(t, nullptr);
  struct Case {
    TInt red, green, blue;
    TUint32 stored;
  };
  const Case cases[] = {
      {1, 2, 3, 1 + 2 * 256 + 3 * 65536},
      {300, 0, 0, 300},  // a component above 255 carries into the next one
      {0, 300, 0, 300 * 256},
      {-1, 1, 0, 255},
      {255, 255, 255, 16777215},
      {256, 255, 255, 16777215},
      {0, 0, 256, 16777215},
      {-1, 0, 0, 0},
      {0, 0, -1, 0},
      {KMaxTInt, KMaxTInt, KMaxTInt, 16777215},  // no overflow on the way
      {KMinTInt, KMinTInt, KMinTInt, 0},
      {KMaxTInt, 1, 0, 16777215},  // would wrap below 0 in 32 bits
      {KMaxTInt, 0, -32768, 0},
  };
  for (const Case& c : cases) {
    t->ColorSet(c.red, c.green, c.blue);
    EXPECT_EQ(t->Color().Value(), c.stored) << c.red << " " << c.green << " " << c.blue;
  }
  // Only a different value marks the element changed.
  t->ColorSet(7, 0, 0);
  t->ResetChange();
  t->ColorSet(7, 0, 0);
  EXPECT_FALSE(t->IsChanged());
  t->ColorSet(6, 0, 0);
  EXPECT_TRUE(t->IsChanged());
}

TEST_F(TextElement, FontAndLayoutAreMadeOnlyWhenAsked) {
  CZElement* e = iH.Controller().ElementTextAdd(W(u"abc"), W(u"t"));
  CZElementText* t = TextOf(e);
  EXPECT_EQ(t->Font(), nullptr);
  e->FontSize(16);
  EXPECT_EQ(t->Font(), nullptr);
  EXPECT_EQ(e->LineCount(), 1);
  ASSERT_NE(t->Font(), nullptr);
  EXPECT_EQ(t->Font()->HeightInPixels(), 16);
  CFbsFont* first = t->Font();
  e->Text(W(u"abcd"));
  EXPECT_EQ(t->Font(), first);  // content changes keep the font
  e->FontSize(20);
  EXPECT_EQ(t->Font(), first);  // until asked again
  EXPECT_EQ(e->Rect(), TRect(0, 0, 200, 16));
  e->LineCount();
  EXPECT_EQ(t->Font()->HeightInPixels(), 20);
  EXPECT_EQ(e->Rect(), TRect(0, 0, 200, 20));
}

TEST_F(TextElement, LineHeightAndTextHeight) {
  CZElement* e = iH.Controller().ElementTextAdd(W(u"abc"), W(u"t"));
  e->Font(W(u"ZHost Fixed"));
  e->FontSize(16);
  EXPECT_EQ(e->LineHeight(-4), 1);
  EXPECT_EQ(e->LineHeight(), 20);  // (16 * 11 + 5) / 10 + 2
  e->LineHeight(500);
  EXPECT_EQ(e->LineHeight(), 200);
  e->LineHeight(25);
  e->LineFeedHeight(-1);
  EXPECT_EQ(e->LineFeedHeight(), 0);
  e->LineFeedHeight(999);
  EXPECT_EQ(e->LineFeedHeight(), 200);
  e->LineFeedHeight(7);
  // Three lines, one of them after a break: 25 * 2 + 16 + 7. Rect keeps one line.
  e->Width(40);  // 8-pixel characters: 4 fit
  e->Text(W(u"aaaaa\nbb"));
  EXPECT_EQ(e->LineCount(), 3);
  EXPECT_EQ(e->Height(), 25 * 2 + 16 + 7);
  EXPECT_EQ(e->Rect().Height(), 16);
}

// CPU time of this thread: other processes on a loaded machine do not count.
double ThreadSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

TEST_F(TextElement, LargeTextLaysOutInLinearTime) {
  // Words, long runs without breaks and characters of no width, laid out at three widths.
  auto layout = [&](std::size_t aSize) {
    std::u16string big;
    while (big.size() < aSize) big += u"lorem ipsum dolor \x01\x01\x01 sit amet ";
    CZElement* e = Fixed(big.c_str(), 300);
    const double start = ThreadSeconds();
    EXPECT_EQ(e->LineCount(), 128);
    e->Width(1 << 30);
    EXPECT_EQ(e->LineCount(), 1);
    std::u16string zero(aSize, u'\x01');
    zero += u" x";
    e->Text(W(zero.c_str()));
    e->Width(3);
    EXPECT_EQ(e->LineCount(), 2);
    return ThreadSeconds() - start;
  };
  const double small = layout(1u << 16);
  const double large = layout(1u << 20);
  // Sixteen times the text: linear work takes about sixteen times as long, quadratic
  // work 256 times. The margin covers timer granularity on the small run.
  EXPECT_LT(large, 64 * small + 0.05) << "64 KiB: " << small << " s, 1 MiB: " << large << " s";
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
  // An optimised build lays out 1 MiB in well under a second.
  EXPECT_LT(large, 0.5);
#endif
}

TEST_F(TextElement, FacadeOperationsOfOtherTypesAreNeutral) {
  CZElement* e = Fixed(u"abc", 100);
  EXPECT_EQ(e->Point(1, TPoint(1, 1)), 0);
  EXPECT_EQ(e->PenSize(), TSize(0, 0));
  CZElement* s = iH.Controller().ElementShapeAdd(W(u""), W(u"s"));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Text(W(u"x")), 0);
  EXPECT_EQ(s->LineCount(), 0);
  EXPECT_EQ(S(s->Font()), "");
}

}  // namespace
