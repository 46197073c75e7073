// The lexers TLex8 and TLex16, written once over the character type.
#include <e32std.h>

#include <charconv>
#include <cmath>

#include "e32_chartables.h"
#include "e32_internal.h"

namespace {

inline bool IsSpace(TUint aChar) {
  return aChar < static_cast<TUint>(ZHost::KCharTableSize) ? (ZHost::KCharFlags[aChar] & ZHost::ECharSpace) != 0
                                                           : TChar(aChar).IsSpace();
}

inline TInt DigitValue(TUint aChar) {
  if (aChar >= '0' && aChar <= '9') return static_cast<TInt>(aChar - '0');
  if (aChar >= 'a' && aChar <= 'z') return static_cast<TInt>(aChar - 'a' + 10);
  if (aChar >= 'A' && aChar <= 'Z') return static_cast<TInt>(aChar - 'A' + 10);
  return 99;
}

// Reads digits of the radix from p; KErrGeneral if there are none, KErrOverflow if
// the value exceeds aLimit. On success aNext is past the last digit.
template <class C>
TInt ParseDigits(const C* p, const C* aEnd, TUint aRadix, TUint64 aLimit, TUint64& aVal, const C*& aNext) {
  TUint64 v = 0;
  const C* start = p;
  bool overflow = false;
  while (p < aEnd) {
    const TInt d = DigitValue(*p);
    if (d >= static_cast<TInt>(aRadix)) break;
    if (!overflow) {
      if (v > (aLimit - static_cast<TUint64>(d)) / aRadix) overflow = true;
      else v = v * aRadix + static_cast<TUint64>(d);
    }
    ++p;
  }
  if (p == start) return KErrGeneral;
  if (overflow) return KErrOverflow;
  aVal = v;
  aNext = p;
  return KErrNone;
}

// Optional sign, then decimal digits (or digits of the radix); the result must lie in
// [aMin, aMax].
template <class C>
TInt ParseSigned(const C*& aNext, const C* aEnd, TUint aRadix, TInt64 aMin, TInt64 aMax, TUint64 aPatternMax,
                 TInt64& aVal) {
  const C* p = aNext;
  bool negative = false;
  if (p < aEnd && (*p == '-' || *p == '+')) negative = *p++ == '-';
  TUint64 mag;
  const C* next;
  const TUint64 limit = negative ? static_cast<TUint64>(-(aMin + 1)) + 1
                                 : (aPatternMax ? aPatternMax : static_cast<TUint64>(aMax));
  const TInt r = ParseDigits(p, aEnd, aRadix, limit, mag, next);
  if (r != KErrNone) return r;
  if (negative) {
    aVal = mag == 0 ? 0 : static_cast<TInt64>(0 - mag);
  } else if (mag > static_cast<TUint64>(aMax)) {
    // A bit pattern in a radix other than decimal: keep the low bits as a signed value.
    aVal = static_cast<TInt64>(static_cast<TInt32>(static_cast<TUint32>(mag)));
  } else {
    aVal = static_cast<TInt64>(mag);
  }
  aNext = next;
  return KErrNone;
}

template <class C>
TInt ParseReal(const C*& aNext, const C* aEnd, TUint aPoint, TReal64& aVal) {
  char buf[128];
  TInt n = 0;
  const C* p = aNext;
  auto put = [&](char c) {
    if (n < static_cast<TInt>(sizeof(buf)) - 1) buf[n++] = c;
  };
  bool negative = false;
  if (p < aEnd && (*p == '-' || *p == '+')) negative = *p++ == '-';
  TInt mantissaDigits = 0;
  bool nonZero = false;
  TInt dropped = 0;  // integer digits beyond the buffer, kept as a power of ten
  while (p < aEnd && *p >= '0' && *p <= '9') {
    if (!nonZero && *p == '0') {  // leading zeros carry nothing
      ++mantissaDigits;
      ++p;
      continue;
    }
    if (n < 100) put(static_cast<char>(*p));
    else ++dropped;
    nonZero |= *p != '0';
    ++mantissaDigits;
    ++p;
  }
  if (p < aEnd && *p == aPoint) {
    const C* q = p + 1;
    TInt fraction = 0;
    while (q < aEnd && *q >= '0' && *q <= '9') ++q, ++fraction;
    if (fraction || mantissaDigits) {
      put('.');
      for (const C* r = p + 1; r < q; ++r) {
        if (n < 110) put(static_cast<char>(*r));
        nonZero |= *r != '0';
      }
      mantissaDigits += fraction;
      p = q;
    }
  }
  if (mantissaDigits == 0) return KErrGeneral;
  if (n == 0 || buf[0] == '.') {
    // Only zeros before the point: give the converter a leading digit.
    for (TInt i = n; i > 0; --i) buf[i] = buf[i - 1];
    buf[0] = '0';
    ++n;
  }
  TInt64 exponent = dropped;
  if (p < aEnd && (*p == 'e' || *p == 'E')) {
    const C* q = p + 1;
    bool expNegative = false;
    if (q < aEnd && (*q == '-' || *q == '+')) expNegative = *q++ == '-';
    if (q < aEnd && *q >= '0' && *q <= '9') {
      TInt64 e = 0;
      while (q < aEnd && *q >= '0' && *q <= '9') {
        if (e < 100000) e = e * 10 + (*q - '0');
        ++q;
      }
      exponent += expNegative ? -e : e;
      p = q;
    }
  }
  if (exponent != 0) {
    put('e');
    char eb[24];
    auto res = std::to_chars(eb, eb + sizeof(eb), exponent);
    for (char* c = eb; c < res.ptr; ++c) put(*c);
  }
  buf[n] = 0;
  double v = 0;
  const auto res = std::from_chars(buf, buf + n, v);
  if (res.ec == std::errc::result_out_of_range || std::isinf(v)) {
    return nonZero && exponent < 0 ? KErrUnderflow : KErrOverflow;
  }
  if (res.ec != std::errc()) return KErrGeneral;
  aVal = negative ? -v : v;
  aNext = p;
  return KErrNone;
}

}  // namespace

#define ZHOST_LEX_IMPL(W, C)                                                                               \
  EXPORT_C TLex##W::TLex##W() : iNext(nullptr), iBuf(nullptr), iEnd(nullptr) {}                             \
  EXPORT_C TLex##W::TLex##W(const C* aString) { Assign(aString); }                                          \
  EXPORT_C TLex##W::TLex##W(const TDesC##W& aDes) { Assign(aDes); }                                         \
  EXPORT_C void TLex##W::Assign(const TLex##W& aLex) { *this = aLex; }                                      \
  EXPORT_C void TLex##W::Assign(const C* aString) { Assign(TPtrC##W(aString)); }                            \
  EXPORT_C void TLex##W::Assign(const TDesC##W& aDes) {                                                     \
    iBuf = aDes.Ptr();                                                                                      \
    iNext = iBuf;                                                                                           \
    iEnd = iBuf + aDes.Length();                                                                            \
    iMark.iPtr = iBuf;                                                                                      \
  }                                                                                                         \
  EXPORT_C void TLex##W::Inc() {                                                                            \
    if (iNext == iEnd) ZE32::Panic("USER", 56);                                                             \
    ++iNext;                                                                                                \
  }                                                                                                         \
  EXPORT_C void TLex##W::Inc(TInt aNumber) {                                                                \
    if (aNumber < 0 || aNumber > iEnd - iNext) ZE32::Panic("USER", 56);                                     \
    iNext += aNumber;                                                                                       \
  }                                                                                                         \
  EXPORT_C void TLex##W::UnGet() {                                                                          \
    if (iNext == iBuf) ZE32::Panic("USER", 57);                                                             \
    --iNext;                                                                                                \
  }                                                                                                         \
  EXPORT_C void TLex##W::UnGetToMark(const TLexMark##W aMark) {                                             \
    if (aMark.iPtr < iBuf || aMark.iPtr > iEnd) ZE32::Panic("USER", 63);                                    \
    iNext = aMark.iPtr;                                                                                     \
  }                                                                                                         \
  EXPORT_C void TLex##W::SkipSpace() {                                                                      \
    while (iNext < iEnd && IsSpace(*iNext)) ++iNext;                                                        \
  }                                                                                                         \
  EXPORT_C void TLex##W::SkipAndMark(TInt aNumber, TLexMark##W& aMark) {                                    \
    Inc(aNumber);                                                                                           \
    aMark.iPtr = iNext;                                                                                     \
  }                                                                                                         \
  EXPORT_C void TLex##W::SkipSpaceAndMark(TLexMark##W& aMark) {                                             \
    SkipSpace();                                                                                            \
    aMark.iPtr = iNext;                                                                                     \
  }                                                                                                         \
  EXPORT_C void TLex##W::SkipCharacters() {                                                                 \
    while (iNext < iEnd && !IsSpace(*iNext)) ++iNext;                                                       \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::TokenLength(const TLexMark##W aMark) const {                                       \
    if (aMark.iPtr < iBuf || aMark.iPtr > iNext) ZE32::Panic("USER", 63);                                   \
    return static_cast<TInt>(iNext - aMark.iPtr);                                                           \
  }                                                                                                         \
  EXPORT_C TPtrC##W TLex##W::MarkedToken(const TLexMark##W aMark) const {                                   \
    return TPtrC##W(aMark.iPtr, TokenLength(aMark));                                                        \
  }                                                                                                         \
  EXPORT_C TPtrC##W TLex##W::NextToken() {                                                                  \
    TLexMark##W mark;                                                                                       \
    SkipSpaceAndMark(mark);                                                                                 \
    SkipCharacters();                                                                                       \
    return MarkedToken(mark);                                                                               \
  }                                                                                                         \
  EXPORT_C TPtrC##W TLex##W::Remainder() const { return TPtrC##W(iNext, static_cast<TInt>(iEnd - iNext)); } \
  EXPORT_C TPtrC##W TLex##W::RemainderFromMark(const TLexMark##W aMark) const {                             \
    if (aMark.iPtr < iBuf || aMark.iPtr > iEnd) ZE32::Panic("USER", 63);                                    \
    return TPtrC##W(aMark.iPtr, static_cast<TInt>(iEnd - aMark.iPtr));                                      \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::MarkedOffset(const TLexMark##W aMark) const {                                      \
    return static_cast<TInt>(aMark.iPtr - iBuf);                                                            \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TInt8& aVal) {                                                                 \
    TInt64 v;                                                                                               \
    const TInt r = ParseSigned(iNext, iEnd, 10, KMinTInt8, KMaxTInt8, 0, v);                                \
    if (r == KErrNone) aVal = static_cast<TInt8>(v);                                                        \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TInt16& aVal) {                                                                \
    TInt64 v;                                                                                               \
    const TInt r = ParseSigned(iNext, iEnd, 10, KMinTInt16, KMaxTInt16, 0, v);                              \
    if (r == KErrNone) aVal = static_cast<TInt16>(v);                                                       \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TInt32& aVal) {                                                                \
    TInt64 v;                                                                                               \
    const TInt r = ParseSigned(iNext, iEnd, 10, KMinTInt32, KMaxTInt32, 0, v);                              \
    if (r == KErrNone) aVal = static_cast<TInt32>(v);                                                       \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TInt64& aVal) {                                                                \
    TInt64 v;                                                                                               \
    const TInt r = ParseSigned(iNext, iEnd, 10, KMinTInt64, KMaxTInt64, 0, v);                              \
    if (r == KErrNone) aVal = v;                                                                            \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TInt32& aVal, TRadix aRadix) {                                                 \
    TInt64 v;                                                                                               \
    const TInt r = ParseSigned(iNext, iEnd, static_cast<TUint>(aRadix), KMinTInt32, KMaxTInt32,             \
                               aRadix == EDecimal ? 0 : KMaxTUint32, v);                                    \
    if (r == KErrNone) aVal = static_cast<TInt32>(v);                                                       \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TUint8& aVal, TRadix aRadix) {                                                 \
    TUint64 v;                                                                                              \
    const TInt r = ParseDigits(iNext, iEnd, static_cast<TUint>(aRadix), KMaxTUint8, v, iNext);              \
    if (r == KErrNone) aVal = static_cast<TUint8>(v);                                                       \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TUint16& aVal, TRadix aRadix) {                                                \
    TUint64 v;                                                                                              \
    const TInt r = ParseDigits(iNext, iEnd, static_cast<TUint>(aRadix), KMaxTUint16, v, iNext);             \
    if (r == KErrNone) aVal = static_cast<TUint16>(v);                                                      \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TUint32& aVal, TRadix aRadix) {                                                \
    TUint64 v;                                                                                              \
    const TInt r = ParseDigits(iNext, iEnd, static_cast<TUint>(aRadix), KMaxTUint32, v, iNext);             \
    if (r == KErrNone) aVal = static_cast<TUint32>(v);                                                      \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TInt64& aVal, TRadix aRadix) {                                                 \
    if (aRadix == EDecimal) return Val(aVal);                                                               \
    TUint64 v;                                                                                              \
    const TInt r = ParseDigits(iNext, iEnd, static_cast<TUint>(aRadix), KMaxTUint64, v, iNext);             \
    if (r == KErrNone) aVal = static_cast<TInt64>(v);                                                       \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::BoundedVal(TInt32& aVal, TInt aLimit) {                                            \
    TInt64 v;                                                                                               \
    const TInt limit = aLimit < 0 ? -aLimit : aLimit;                                                       \
    const TInt r = ParseSigned(iNext, iEnd, 10, -static_cast<TInt64>(limit), limit, 0, v);                  \
    if (r == KErrNone) aVal = static_cast<TInt32>(v);                                                       \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::BoundedVal(TUint32& aVal, TRadix aRadix, TUint aLimit) {                           \
    TUint64 v;                                                                                              \
    const TInt r = ParseDigits(iNext, iEnd, static_cast<TUint>(aRadix), aLimit, v, iNext);                  \
    if (r == KErrNone) aVal = static_cast<TUint32>(v);                                                      \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TReal64& aVal) { return Val(aVal, '.'); }                                      \
  EXPORT_C TInt TLex##W::Val(TReal64& aVal, TChar aPoint) {                                                 \
    TReal64 v;                                                                                              \
    const TInt r = ParseReal(iNext, iEnd, aPoint, v);                                                       \
    if (r == KErrNone) aVal = v;                                                                            \
    return r;                                                                                               \
  }                                                                                                         \
  EXPORT_C TInt TLex##W::Val(TReal32& aVal) { return Val(aVal, '.'); }                                      \
  EXPORT_C TInt TLex##W::Val(TReal32& aVal, TChar aPoint) {                                                 \
    const C* start = iNext;                                                                                 \
    TReal64 v;                                                                                              \
    const TInt r = ParseReal(iNext, iEnd, aPoint, v);                                                       \
    if (r != KErrNone) return r;                                                                            \
    if (std::fabs(v) > 3.40282346638528859812e+38) {                                                        \
      iNext = start;                                                                                        \
      return KErrOverflow;                                                                                  \
    }                                                                                                       \
    aVal = static_cast<TReal32>(v);                                                                         \
    return KErrNone;                                                                                        \
  }

ZHOST_LEX_IMPL(16, TUint16)
ZHOST_LEX_IMPL(8, TUint8)
