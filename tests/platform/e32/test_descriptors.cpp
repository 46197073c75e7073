// Descriptors: construction, widths, comparison and folding, editing, numbers, formats.
#include <e32base.h>
#include <gtest/gtest.h>
#include <zhost/allocfail.h>

#include <string>

namespace {
_LIT(KHello, "Hello");
_LIT8(KHello8, "Hello");

std::u16string Str(const TDesC& aDes) { return std::u16string(reinterpret_cast<const char16_t*>(aDes.Ptr()), aDes.Length()); }
std::string Str8(const TDesC8& aDes) { return std::string(reinterpret_cast<const char*>(aDes.Ptr()), aDes.Length()); }
}  // namespace

TEST(Descriptors, KindsShareOneInterface) {
  TPtrC p(KHello);
  EXPECT_EQ(p.Length(), 5);
  EXPECT_EQ(p.Size(), 10);
  EXPECT_EQ(p[0], 'H');
  EXPECT_EQ(p.Ptr(), KHello().Ptr());
  EXPECT_TRUE(p == _L("Hello"));
  EXPECT_EQ(TPtrC8(KHello8).Size(), 5);

  TBufC<8> constant(KHello);
  TPtr viaDes = constant.Des();
  viaDes.Append('!');  // a TPtr over a TBufC updates the buffer's own length
  EXPECT_EQ(constant.Length(), 6);
  EXPECT_EQ(Str(constant), u"Hello!");

  TBuf<16> buf(KHello);
  TBuf<16> copy(buf);  // copies the text, not a reference
  buf.Zero();
  EXPECT_EQ(Str(copy), u"Hello");

  TText16 raw[4] = {'a', 'b', 0, 0};
  TPtr16 over(raw, 2, 4);
  over.Append('c');
  EXPECT_EQ(raw[2], 'c');
  TPtrC zero(raw);  // zero-terminated after the append: "abc"
  EXPECT_EQ(zero.Length(), 3);
  over = _L("xy");  // assignment to a TPtr copies text into its buffer
  EXPECT_EQ(raw[0], 'x');
  EXPECT_EQ(over.Length(), 2);

  _LIT(KAccents, "Żółć");  // UTF-8 source text becomes UTF-16
  EXPECT_EQ(KAccents().Length(), 4);
  EXPECT_EQ(KAccents()[0], 0x17B);
}

TEST(Descriptors, HeapDescriptors) {
  __UHEAP_MARK;
  HBufC* h = KHello().AllocL();
  EXPECT_TRUE(*h == KHello);
  TPtr d = h->Des();
  EXPECT_EQ(d.MaxLength(), 5);
  d.UpperCase();
  EXPECT_EQ(Str(*h), u"HELLO");
  h = h->ReAllocL(20);
  h->Des().Append(_L(" WORLD"));
  EXPECT_EQ(h->Length(), 11);
  *h = _L("x");
  EXPECT_EQ(h->Length(), 1);
  delete h;
  HBufC8* m = HBufC8::NewMaxL(3);
  EXPECT_EQ(m->Length(), 3);
  delete m;
  __UHEAP_MARKEND;
  EXPECT_GE(ZHost::SweepAllocFailures([] {
              HBufC* a = HBufC::NewLC(2);
              HBufC* b = _L("bb").AllocLC();
              a = a->ReAllocL(50);
              CleanupStack::Pop(2);
              delete a;
              delete b;
            }),
            3);
}

TEST(Descriptors, CopyBetweenWidths) {
  TBuf8<8> narrow;
  TBuf<8> wide;
  _LIT(KWide, "A\x00e9\x0141");  // A, e-acute, L-stroke
  wide.Copy(KWide);
  narrow.Copy(wide);  // keeps the low byte of each character
  EXPECT_EQ(narrow.Length(), 3);
  EXPECT_EQ(narrow[1], 0xe9);
  EXPECT_EQ(narrow[2], 0x41);
  TBuf<8> back;
  back.Copy(narrow);  // widens without sign extension
  EXPECT_EQ(back[1], 0xe9);
}

TEST(Descriptors, ComparisonAndFolding) {
  EXPECT_LT(_L("abc").Compare(_L("abd")), 0);
  EXPECT_GT(_L("abcd").Compare(_L("abc")), 0);
  EXPECT_LT(_L("ABC").Compare(_L("abc")), 0);
  EXPECT_EQ(_L("Élan").CompareF(_L("elan")), 0);
  EXPECT_EQ(_L("ŞEKER").CompareF(_L("seker")), 0);
  EXPECT_EQ(_L("ÅNGSTRÖM").CompareF(_L("angstrom")), 0);
  EXPECT_NE(_L("Straße").CompareF(_L("strasse")), 0);  // one letter, not two
  EXPECT_LT(_L("apple").CompareF(_L("Banana")), 0);
  EXPECT_EQ(_L("Ψ").CompareF(_L("ψ")), 0);
  EXPECT_TRUE(_L("abc") != _L("abC"));

  // The 8-bit form folds Latin-1.
  const TUint8 latin1[] = {'C', 0xc9, 'S', 'A', 'R'};
  EXPECT_EQ(TPtrC8(latin1, 5).CompareF(_L8("cesar")), 0);

  EXPECT_EQ(_L("Movie_BMP_1").FindF(_L("bmp")), 6);
  EXPECT_EQ(_L("Ünïcode").FindF(_L("UNI")), 0);
  EXPECT_EQ(_L("abcabc").Find(_L("ca")), 2);
  EXPECT_EQ(_L("abc").Find(_L("abcd")), KErrNotFound);
  EXPECT_EQ(_L("abc").Find(KNullDesC), 0);
  EXPECT_EQ(_L("a.b.c").Locate('.'), 1);
  EXPECT_EQ(_L("a.b.c").LocateReverse('.'), 3);
  EXPECT_EQ(_L("abc").Locate('z'), KErrNotFound);
  EXPECT_EQ(_L("x\\Movies\\Intro.MOVIE").MatchF(_L("*.movie")), 14);  // where ".MOVIE" starts
  EXPECT_EQ(_L("Intro").MatchF(_L("*")), 0);
  EXPECT_EQ(_L("Intro").MatchF(_L("intro")), 0);
  EXPECT_EQ(_L("abcde").Match(_L("*cd*")), 2);
  EXPECT_EQ(_L("abcde").Match(_L("a?c*")), 0);
  EXPECT_EQ(_L("abcde").Match(_L("abd*")), KErrNotFound);

  const TUint8 l8[] = {'a', 'B'};
  const TUint8 r8[] = {'A', 'b', 'c'};
  EXPECT_EQ(Mem::CompareF(l8, 2, r8, 2), 0);
  EXPECT_LT(Mem::CompareF(l8, 2, r8, 3), 0);
  EXPECT_GT(Mem::Compare(l8, 2, r8, 2), 0);

  TBuf<16> f(_L("ÀÉÎõü Ω"));
  f.Fold();
  EXPECT_EQ(Str(f), u"aeiou ω");
}

TEST(Descriptors, SubstringsAndTheirPanics) {
  TPtrC s(_L("abcdef"));
  EXPECT_EQ(Str(s.Left(2)), u"ab");
  EXPECT_EQ(Str(s.Left(99)), u"abcdef");  // too long a left part is the whole text
  EXPECT_EQ(Str(s.Right(3)), u"def");
  EXPECT_EQ(Str(s.Mid(4)), u"ef");
  EXPECT_EQ(Str(s.Mid(1, 2)), u"bc");
  EXPECT_EQ(s.Mid(6).Length(), 0);
  EXPECT_DEATH((void)s.Mid(7), "Panic USER 10");
  EXPECT_DEATH((void)s.Mid(5, 2), "Panic USER 10");
  EXPECT_DEATH((void)s.Left(-1), "Panic USER 10");
  EXPECT_DEATH((void)s[6], "Panic USER 9");
  TBuf<4> small;
  EXPECT_DEATH(small.Copy(s), "Panic USER 11");
  EXPECT_DEATH(small.Append(s), "Panic USER 11");
}

TEST(Descriptors, Editing) {
  TBuf<32> b(_L("hello world"));
  b.Insert(0, _L(">> "));
  EXPECT_EQ(Str(b), u">> hello world");
  b.Delete(0, 3);
  b.Delete(5, 100);  // the length is cut to what there is
  EXPECT_EQ(Str(b), u"hello");
  b.Replace(1, 3, _L("ipp"));
  EXPECT_EQ(Str(b), u"hippo");
  b.Replace(0, 1, b.Mid(2, 2));  // source inside the target
  EXPECT_EQ(Str(b), u"ppippo");
  b = _L("  \t spaced   out \r\n");
  b.TrimLeft();
  EXPECT_EQ(Str(b), u"spaced   out \r\n");
  b.TrimRight();
  EXPECT_EQ(Str(b), u"spaced   out");
  b.TrimAll();
  EXPECT_EQ(Str(b), u"spaced out");
  b.Capitalize();
  EXPECT_EQ(Str(b), u"Spaced out");
  b.Fill('x', 3);
  EXPECT_EQ(Str(b), u"xxx");
  b.AppendFill('-', 2);
  EXPECT_EQ(Str(b), u"xxx--");
  b.FillZ();
  EXPECT_EQ(b[4], 0);
  b.SetLength(1);
  b.Append(_L("é"));
  b.UpperCase();
  EXPECT_EQ(b[1], 0xc9);
  b.LowerCase();
  EXPECT_EQ(b[1], 0xe9);
  EXPECT_EQ(b.PtrZ()[2], 0);
  b.SetMax();
  EXPECT_EQ(b.Length(), 32);
}

TEST(Descriptors, Numbers) {
  TBuf<40> b;
  b.Num(-1234);
  EXPECT_EQ(Str(b), u"-1234");
  b.Num(KMinTInt64);
  EXPECT_EQ(Str(b), u"-9223372036854775808");
  b.Num(255u, EHex);
  EXPECT_EQ(Str(b), u"ff");
  b.NumUC(255u, EHex);
  EXPECT_EQ(Str(b), u"FF");
  b.NumFixedWidth(7, EDecimal, 3);
  EXPECT_EQ(Str(b), u"007");
  b.AppendNum(5);
  b.AppendNum(5u, EBinary);
  EXPECT_EQ(Str(b), u"0075101");
  TBuf8<20> n8;
  n8.Num(42);
  EXPECT_EQ(Str8(n8), "42");
  b.Num(3.25, TRealFormat(10, 2));
  EXPECT_EQ(Str(b), u"3.25");
}

TEST(Descriptors, Format) {
  TBuf<80> b;
  TBuf<8> name(_L("intro"));
  b.Format(_L("%S_bmp_%d"), &name, 3);
  EXPECT_EQ(Str(b), u"intro_bmp_3");
  b.Format(_L("[%5d|%-4d|%05d|%u|%x|%X|%c|%%]"), 42, 7, -12, 4000000000u, 0xbeef, 0xbeef, 'Q');
  EXPECT_EQ(Str(b), u"[   42|7   |-0012|4000000000|beef|BEEF|Q|%]");
  const TText16 zt[] = {'z', 't', 0};
  b.Format(_L("%s/%Ld/%.2f"), zt, static_cast<TInt64>(-5000000000LL), 2.5);
  EXPECT_EQ(Str(b), u"zt/-5000000000/2.50");
  b.AppendFormat(_L("+%d"), 1);
  EXPECT_EQ(Str(b), u"zt/-5000000000/2.50+1");
  TBuf8<40> b8;
  TBuf8<4> word(_L8("abc"));
  b8.Format(_L8("%S=%d"), &word, -1);
  EXPECT_EQ(Str8(b8), "abc=-1");
  TBuf<4> tiny;
  EXPECT_DEATH(tiny.Format(_L("%d"), 123456), "Panic USER 11");
}
