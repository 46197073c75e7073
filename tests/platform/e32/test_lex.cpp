// Lexers over 8-bit and 16-bit text.
#include <e32math.h>
#include <e32std.h>
#include <gtest/gtest.h>

#include <string>

namespace {
std::u16string Str(const TDesC& aDes) { return std::u16string(reinterpret_cast<const char16_t*>(aDes.Ptr()), aDes.Length()); }
}  // namespace

TEST(Lex, TokensMarksAndPositions) {
  TLex lex(_L("  frame 12\t\nsprite  -3 "));
  EXPECT_EQ(Str(lex.NextToken()), u"frame");
  EXPECT_EQ(lex.Offset(), 7);
  lex.SkipSpaceAndMark();
  EXPECT_EQ(lex.Peek(), '1');
  EXPECT_EQ(lex.Get(), '1');
  lex.SkipCharacters();
  EXPECT_EQ(lex.TokenLength(), 2);
  EXPECT_EQ(Str(lex.MarkedToken()), u"12");
  EXPECT_EQ(Str(lex.RemainderFromMark()), u"12\t\nsprite  -3 ");
  lex.UnGetToMark();
  EXPECT_EQ(lex.Offset(), 8);
  lex.Inc(2);
  lex.UnGet();
  EXPECT_EQ(lex.Get(), '2');
  EXPECT_EQ(Str(lex.NextToken()), u"sprite");
  EXPECT_EQ(Str(lex.Remainder()), u"  -3 ");
  lex.SkipSpace();
  TInt v = 0;
  EXPECT_EQ(lex.Val(v), KErrNone);
  EXPECT_EQ(v, -3);
  EXPECT_EQ(lex.NextToken().Length(), 0);
  EXPECT_TRUE(lex.Eos());
  EXPECT_EQ(lex.Get(), 0u);  // reading past the end gives 0 and stays put
  EXPECT_TRUE(lex.Eos());
  EXPECT_DEATH(lex.Inc(), "Panic USER 56");
}

TEST(Lex, IntegerConversionsAndErrors) {
  TInt v = 99;
  TLex plus(_L("+17x"));
  EXPECT_EQ(plus.Val(v), KErrNone);
  EXPECT_EQ(v, 17);
  EXPECT_EQ(plus.Peek(), 'x');  // stops at the first non-digit

  TLex none(_L("-x"));
  EXPECT_EQ(none.Val(v), KErrGeneral);
  EXPECT_EQ(none.Offset(), 0);  // unchanged on error
  EXPECT_EQ(v, 17);
  TLex space(_L(" 5"));
  EXPECT_EQ(space.Val(v), KErrGeneral);  // no white space is skipped

  TLex max(_L("2147483647 -2147483648 2147483648 -2147483649"));
  EXPECT_EQ(max.Val(v), KErrNone);
  EXPECT_EQ(v, KMaxTInt);
  max.SkipSpace();
  EXPECT_EQ(max.Val(v), KErrNone);
  EXPECT_EQ(v, KMinTInt);
  max.SkipSpace();
  const TInt before = max.Offset();
  EXPECT_EQ(max.Val(v), KErrOverflow);
  EXPECT_EQ(max.Offset(), before);
  max.SkipCharacters();
  max.SkipSpace();
  EXPECT_EQ(max.Val(v), KErrOverflow);

  TInt8 small;
  TLex s8(_L("128"));
  EXPECT_EQ(s8.Val(small), KErrOverflow);
  TInt64 big;
  TLex s64(_L("-9223372036854775808"));
  EXPECT_EQ(s64.Val(big), KErrNone);
  EXPECT_EQ(big, KMinTInt64);

  TUint u;
  TLex hex(_L("fF10 zz"));
  EXPECT_EQ(hex.Val(u, EHex), KErrNone);
  EXPECT_EQ(u, 0xff10u);
  TLex hexSigned(_L("FFFFFFFF"));
  EXPECT_EQ(hexSigned.Val(v, EHex), KErrNone);
  EXPECT_EQ(v, -1);
  TLex unsignedNeg(_L("-1"));
  EXPECT_EQ(unsignedNeg.Val(u), KErrGeneral);
  TLex tooBig(_L("4294967296"));
  EXPECT_EQ(tooBig.Val(u), KErrOverflow);
  TLex bounded(_L("300"));
  EXPECT_EQ(bounded.BoundedVal(v, 255), KErrOverflow);
}

TEST(Lex, RealsAndEightBitText) {
  TReal r = 0;
  TLex a(_L("-12.5e2,"));
  EXPECT_EQ(a.Val(r), KErrNone);
  EXPECT_DOUBLE_EQ(r, -1250.0);
  EXPECT_EQ(a.Peek(), ',');
  TLex b(_L(".5"));
  EXPECT_EQ(b.Val(r), KErrNone);
  EXPECT_DOUBLE_EQ(r, 0.5);
  TLex c(_L("3e"));  // an exponent marker without digits is not part of the number
  EXPECT_EQ(c.Val(r), KErrNone);
  EXPECT_DOUBLE_EQ(r, 3.0);
  EXPECT_EQ(c.Peek(), 'e');
  TLex d(_L("1e999"));
  EXPECT_EQ(d.Val(r), KErrOverflow);
  EXPECT_EQ(d.Offset(), 0);
  TLex e(_L("."));
  EXPECT_EQ(e.Val(r), KErrGeneral);
  TLex f(_L("2,75"));
  EXPECT_EQ(f.Val(r, ','), KErrNone);
  EXPECT_DOUBLE_EQ(r, 2.75);

  TLex8 lex8(_L8("width 640\r\nheight 200"));
  EXPECT_EQ(lex8.NextToken().CompareF(_L8("WIDTH")), 0);
  lex8.SkipSpace();
  TInt w = 0;
  EXPECT_EQ(lex8.Val(w), KErrNone);
  EXPECT_EQ(w, 640);
  EXPECT_TRUE(lex8.NextToken() == _L8("height"));
  TReal32 h = 0;
  lex8.SkipSpace();
  EXPECT_EQ(lex8.Val(h), KErrNone);
  EXPECT_FLOAT_EQ(h, 200.0f);
  TLex8 empty;
  EXPECT_TRUE(empty.Eos());
  EXPECT_EQ(empty.NextToken().Length(), 0);
}

TEST(Lex, LongNumbersAndArbitraryInput) {
  TBuf<300> digits;
  digits.AppendFill('0', 200);
  digits.Append(_L("12.5"));
  TLex zeros(digits);
  TReal r = 0;
  EXPECT_EQ(zeros.Val(r), KErrNone);
  EXPECT_DOUBLE_EQ(r, 12.5);
  EXPECT_TRUE(zeros.Eos());

  // Any text: every conversion either succeeds or leaves the position where it was.
  TInt64 seed = 7;
  TUint8 bytes[64];
  for (TInt round = 0; round < 3000; ++round) {
    const TInt len = Math::Rand(seed) % 64;
    for (TInt i = 0; i < len; ++i) bytes[i] = static_cast<TUint8>("0123456789+-.eE xX\t,aF\xff"[Math::Rand(seed) % 24]);
    TLex8 lex(TPtrC8(bytes, len));
    while (!lex.Eos()) {
      const TInt at = lex.Offset();
      TInt i32;
      TReal64 f;
      TUint u;
      TInt rc;
      switch (round % 3) {
        case 0: rc = lex.Val(i32); break;
        case 1: rc = lex.Val(f); break;
        default: rc = lex.Val(u, EHex); break;
      }
      if (rc != KErrNone) {
        ASSERT_EQ(lex.Offset(), at);
        lex.Inc();
      } else {
        ASSERT_GT(lex.Offset(), at);
      }
      lex.SkipSpace();
    }
  }
}
