// Descriptor operations. The 8-bit and 16-bit classes share one implementation,
// written once over the character type.
#include <e32base.h>

#include <cstdio>
#include <cstring>

#include "e32_chartables.h"
#include "e32_internal.h"

namespace {

using ZHost::DesPanic;

template <class C>
inline TUint Fold(TUint aChar);
template <>
inline TUint Fold<TUint8>(TUint aChar) { return ZHost::FoldChar8(aChar); }
template <>
inline TUint Fold<TUint16>(TUint aChar) { return ZHost::FoldChar(aChar); }

template <class C>
inline C LowerOf(C aChar) {
  const TUint l = TChar::GetLowerCase(aChar);
  return l <= static_cast<TUint>(static_cast<C>(~0u)) ? static_cast<C>(l) : aChar;
}
template <class C>
inline C UpperOf(C aChar) {
  const TUint u = TChar::GetUpperCase(aChar);
  return u <= static_cast<TUint>(static_cast<C>(~0u)) ? static_cast<C>(u) : aChar;
}

template <class C>
TInt CompareRaw(const C* aLeft, TInt aLeftL, const C* aRight, TInt aRightL) {
  const TInt n = aLeftL < aRightL ? aLeftL : aRightL;
  if constexpr (sizeof(C) == 1) {
    if (n > 0) {
      const int r = std::memcmp(aLeft, aRight, static_cast<std::size_t>(n));
      if (r != 0) {
        for (TInt i = 0;; ++i)
          if (aLeft[i] != aRight[i]) return static_cast<TInt>(aLeft[i]) - static_cast<TInt>(aRight[i]);
      }
    }
  } else {
    for (TInt i = 0; i < n; ++i)
      if (aLeft[i] != aRight[i]) return static_cast<TInt>(aLeft[i]) - static_cast<TInt>(aRight[i]);
  }
  return aLeftL - aRightL;
}

template <class C>
TInt CompareFolded(const C* aLeft, TInt aLeftL, const C* aRight, TInt aRightL) {
  const TInt n = aLeftL < aRightL ? aLeftL : aRightL;
  for (TInt i = 0; i < n; ++i) {
    if (aLeft[i] == aRight[i]) continue;
    const TUint a = Fold<C>(aLeft[i]);
    const TUint b = Fold<C>(aRight[i]);
    if (a != b) return static_cast<TInt>(a) - static_cast<TInt>(b);
  }
  return aLeftL - aRightL;
}

template <class C, bool F>
inline bool Same(C a, C b) {
  if constexpr (F)
    return a == b || Fold<C>(a) == Fold<C>(b);
  else
    return a == b;
}

template <class C, bool F>
TInt FindIn(const C* aText, TInt aTextL, const C* aPat, TInt aPatL) {
  if (aPatL < 0) DesPanic(ZHost::EDesBadLength);
  if (aPatL == 0) return 0;
  const TInt last = aTextL - aPatL;
  if (!F && sizeof(C) == 1) {
    const void* r = memmem(aText, static_cast<std::size_t>(aTextL > 0 ? aTextL : 0), aPat, static_cast<std::size_t>(aPatL));
    return r ? static_cast<TInt>(static_cast<const C*>(r) - aText) : KErrNotFound;
  }
  for (TInt i = 0; i <= last; ++i) {
    if (!Same<C, F>(aText[i], aPat[0])) continue;
    TInt j = 1;
    while (j < aPatL && Same<C, F>(aText[i + j], aPat[j])) ++j;
    if (j == aPatL) return i;
  }
  return KErrNotFound;
}

// Matches text against a pattern with '*' (any run) and '?' (any one character),
// anchored at both ends.
template <class C, bool F>
bool GlobAnchored(const C* t, TInt tl, const C* p, TInt pl) {
  TInt ti = 0, pi = 0, starP = -1, starT = 0;
  while (ti < tl) {
    if (pi < pl && p[pi] == '*') {
      starP = pi++;
      starT = ti;
    } else if (pi < pl && (p[pi] == '?' || Same<C, F>(p[pi], t[ti]))) {
      ++pi;
      ++ti;
    } else if (starP >= 0) {
      pi = starP + 1;
      ti = ++starT;
    } else {
      return false;
    }
  }
  while (pi < pl && p[pi] == '*') ++pi;
  return pi == pl;
}

// The offset in the text where the pattern's first non-'*' element matches, or
// KErrNotFound.
template <class C, bool F>
TInt MatchIn(const C* t, TInt tl, const C* p, TInt pl) {
  TInt lead = 0;
  while (lead < pl && p[lead] == '*') ++lead;
  if (lead == 0) return GlobAnchored<C, F>(t, tl, p, pl) ? 0 : KErrNotFound;
  if (lead == pl) return 0;
  for (TInt start = 0; start <= tl; ++start)
    if (GlobAnchored<C, F>(t + start, tl - start, p + lead, pl - lead)) return start;
  return KErrNotFound;
}

template <class C>
inline TInt LengthOfString(const C* aString) {
  const C* p = aString;
  while (*p) ++p;
  return static_cast<TInt>(p - aString);
}

inline bool IsSpaceChar(TUint aChar) {
  return aChar < static_cast<TUint>(ZHost::KCharTableSize) ? (ZHost::KCharFlags[aChar] & ZHost::ECharSpace) != 0
                                                           : TChar(aChar).IsSpace();
}

// ---- formatting ----

template <class C>
struct SOut {
  C* iBuf;
  TInt iLen;
  TInt iMax;
  void Put(TUint aChar) {
    if (iLen >= iMax) DesPanic(ZHost::EDesOverflow);
    iBuf[iLen++] = static_cast<C>(aChar);
  }
  void PutN(TUint aChar, TInt aCount) {
    while (aCount-- > 0) Put(aChar);
  }
};

template <class C>
void PutField(SOut<C>& aOut, const C* aText, TInt aLen, TInt aWidth, bool aLeft, TUint aPad) {
  const TInt pad = aWidth > aLen ? aWidth - aLen : 0;
  if (!aLeft) aOut.PutN(aPad, pad);
  for (TInt i = 0; i < aLen; ++i) aOut.Put(aText[i]);
  if (aLeft) aOut.PutN(' ', pad);
}

template <class C>
void PutAscii(SOut<C>& aOut, const char* aText, TInt aLen, TInt aWidth, bool aLeft, bool aZero) {
  const TInt pad = aWidth > aLen ? aWidth - aLen : 0;
  TInt i = 0;
  if (!aLeft && aZero && pad > 0) {
    if (aLen > 0 && (aText[0] == '-' || aText[0] == '+' || aText[0] == ' ')) aOut.Put(static_cast<TUint8>(aText[i++]));
    aOut.PutN('0', pad);
  } else if (!aLeft) {
    aOut.PutN(' ', pad);
  }
  for (; i < aLen; ++i) aOut.Put(static_cast<TUint8>(aText[i]));
  if (aLeft) aOut.PutN(' ', pad);
}

TInt UnsignedToAscii(char* aBuf, TUint64 aVal, TUint aRadix, bool aUpper) {
  char tmp[72];
  TInt n = 0;
  do {
    const TUint d = static_cast<TUint>(aVal % aRadix);
    tmp[n++] = static_cast<char>(d < 10 ? '0' + d : (aUpper ? 'A' : 'a') + d - 10);
    aVal /= aRadix;
  } while (aVal);
  for (TInt i = 0; i < n; ++i) aBuf[i] = tmp[n - 1 - i];
  return n;
}

template <class C, class TDesCx>
void FormatList(SOut<C>& aOut, const C* f, TInt fl, VA_LIST aList) {
  VA_LIST list;
  va_copy(list, aList);
  TInt i = 0;
  while (i < fl) {
    const TUint ch = f[i++];
    if (ch != '%') {
      aOut.Put(ch);
      continue;
    }
    if (i >= fl) break;
    bool left = false, zero = false, plus = false, space = false;
    for (;; ++i) {
      if (i >= fl) break;
      if (f[i] == '-') left = true;
      else if (f[i] == '0') zero = true;
      else if (f[i] == '+') plus = true;
      else if (f[i] == ' ') space = true;
      else break;
    }
    TInt width = 0;
    if (i < fl && f[i] == '*') {
      width = va_arg(list, TInt);
      if (width < 0) {
        left = true;
        width = -width;
      }
      ++i;
    } else {
      while (i < fl && f[i] >= '0' && f[i] <= '9') width = width * 10 + (f[i++] - '0');
    }
    TInt precision = -1;
    if (i < fl && f[i] == '.') {
      ++i;
      precision = 0;
      if (i < fl && f[i] == '*') {
        precision = va_arg(list, TInt);
        ++i;
      } else {
        while (i < fl && f[i] >= '0' && f[i] <= '9') precision = precision * 10 + (f[i++] - '0');
      }
    }
    bool is64 = false;
    while (i < fl && (f[i] == 'L' || f[i] == 'l' || f[i] == 'h')) {
      if (f[i] == 'L') is64 = true;
      ++i;
    }
    if (i >= fl) break;
    const TUint conv = f[i++];
    char num[80];
    TInt n = 0;
    switch (conv) {
      case 'd':
      case 'i': {
        const TInt64 v = is64 ? va_arg(list, TInt64) : static_cast<TInt64>(va_arg(list, TInt));
        if (v < 0) num[n++] = '-';
        else if (plus) num[n++] = '+';
        else if (space) num[n++] = ' ';
        const TUint64 mag = v < 0 ? static_cast<TUint64>(0) - static_cast<TUint64>(v) : static_cast<TUint64>(v);
        n += UnsignedToAscii(num + n, mag, 10, false);
        PutAscii(aOut, num, n, width, left, zero);
        break;
      }
      case 'u':
      case 'x':
      case 'X':
      case 'o':
      case 'b': {
        const TUint64 v = is64 ? va_arg(list, TUint64) : static_cast<TUint64>(va_arg(list, TUint));
        const TUint radix = conv == 'u' ? 10 : conv == 'o' ? 8 : conv == 'b' ? 2 : 16;
        n = UnsignedToAscii(num, v, radix, conv == 'X');
        PutAscii(aOut, num, n, width, left, zero);
        break;
      }
      case 'c': {
        const C c = static_cast<C>(va_arg(list, TUint));
        PutField(aOut, &c, 1, width, left, zero ? '0' : ' ');
        break;
      }
      case 's': {
        const C* s = va_arg(list, const C*);
        TInt len = s ? LengthOfString(s) : 0;
        if (precision >= 0 && precision < len) len = precision;
        PutField(aOut, s, len, width, left, ' ');
        break;
      }
      case 'S': {
        const TDesCx* d = va_arg(list, const TDesCx*);
        TInt len = d ? d->Length() : 0;
        if (precision >= 0 && precision < len) len = precision;
        PutField(aOut, d ? d->Ptr() : nullptr, len, width, left, ' ');
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G': {
        const TReal v = va_arg(list, TReal);
        char fmt[8] = {'%', 0};
        TInt k = 1;
        if (plus) fmt[k++] = '+';
        else if (space) fmt[k++] = ' ';
        fmt[k++] = '.';
        fmt[k++] = '*';
        fmt[k++] = static_cast<char>(conv);
        fmt[k] = 0;
        n = std::snprintf(num, sizeof(num), fmt, precision < 0 ? 6 : (precision > 40 ? 40 : precision), v);
        if (n < 0) n = 0;
        if (n >= static_cast<TInt>(sizeof(num))) n = sizeof(num) - 1;
        PutAscii(aOut, num, n, width, left, zero);
        break;
      }
      case '%':
        aOut.Put('%');
        break;
      default:
        // Not a conversion this formatter knows: copy it as it stands.
        aOut.Put('%');
        aOut.Put(conv);
        break;
    }
  }
  va_end(list);
}

TInt RealToAscii(char* aBuf, TInt aSize, TReal aVal, const TRealFormat& aFormat) {
  const TInt places = aFormat.iPlaces < 0 ? 0 : (aFormat.iPlaces > 40 ? 40 : aFormat.iPlaces);
  int n;
  switch (aFormat.iType & 0xff) {
    case KRealFormatFixed:
    case KRealFormatNoExponent:
      n = std::snprintf(aBuf, static_cast<std::size_t>(aSize), "%.*f", places, aVal);
      break;
    case KRealFormatExponent:
      n = std::snprintf(aBuf, static_cast<std::size_t>(aSize), "%.*E", places, aVal);
      break;
    default: {
      TInt digits = aFormat.iWidth > 0 ? aFormat.iWidth : KDefaultRealWidth;
      if (digits > 15) digits = 15;
      n = std::snprintf(aBuf, static_cast<std::size_t>(aSize), "%.*G", digits, aVal);
      break;
    }
  }
  if (n < 0 || n >= aSize) return KErrGeneral;
  if (aFormat.iWidth > 0 && n > aFormat.iWidth) return KErrGeneral;
  if (static_cast<TUint>(aFormat.iPoint) != '.')
    for (TInt i = 0; i < n; ++i)
      if (aBuf[i] == '.') aBuf[i] = static_cast<char>(static_cast<TUint>(aFormat.iPoint));
  return n;
}

}  // namespace

// The 16-bit and 8-bit classes are written once below as a macro over their names.
#define ZHOST_DESCRIPTOR_IMPL(W, C, WIDE_OTHER)                                                                    \
  EXPORT_C TBool TDesC##W::operator==(const TDesC##W& aDes) const {                                                 \
    const TInt l = Length();                                                                                        \
    return l == aDes.Length() && (l == 0 || std::memcmp(Ptr(), aDes.Ptr(), static_cast<std::size_t>(l) * sizeof(C)) == 0); \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::Compare(const TDesC##W& aDes) const {                                                     \
    return CompareRaw<C>(Ptr(), Length(), aDes.Ptr(), aDes.Length());                                               \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::CompareF(const TDesC##W& aDes) const {                                                    \
    return CompareFolded<C>(Ptr(), Length(), aDes.Ptr(), aDes.Length());                                            \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::CompareC(const TDesC##W& aDes) const {                                                    \
    const TInt r = CompareFolded<C>(Ptr(), Length(), aDes.Ptr(), aDes.Length());                                    \
    return r != 0 ? r : Compare(aDes);                                                                              \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::Match(const TDesC##W& aDes) const {                                                       \
    return MatchIn<C, false>(Ptr(), Length(), aDes.Ptr(), aDes.Length());                                           \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::MatchF(const TDesC##W& aDes) const {                                                      \
    return MatchIn<C, true>(Ptr(), Length(), aDes.Ptr(), aDes.Length());                                            \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::MatchC(const TDesC##W& aDes) const { return MatchF(aDes); }                               \
  EXPORT_C TInt TDesC##W::Locate(TChar aChar) const {                                                               \
    const C* p = Ptr();                                                                                             \
    const TInt l = Length();                                                                                        \
    for (TInt i = 0; i < l; ++i)                                                                                    \
      if (p[i] == static_cast<TUint>(aChar)) return i;                                                              \
    return KErrNotFound;                                                                                            \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::LocateReverse(TChar aChar) const {                                                        \
    const C* p = Ptr();                                                                                             \
    for (TInt i = Length() - 1; i >= 0; --i)                                                                        \
      if (p[i] == static_cast<TUint>(aChar)) return i;                                                              \
    return KErrNotFound;                                                                                            \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::LocateF(TChar aChar) const {                                                              \
    const TUint f = Fold<C>(aChar);                                                                                 \
    const C* p = Ptr();                                                                                             \
    const TInt l = Length();                                                                                        \
    for (TInt i = 0; i < l; ++i)                                                                                    \
      if (Fold<C>(p[i]) == f) return i;                                                                             \
    return KErrNotFound;                                                                                            \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::LocateReverseF(TChar aChar) const {                                                       \
    const TUint f = Fold<C>(aChar);                                                                                 \
    const C* p = Ptr();                                                                                             \
    for (TInt i = Length() - 1; i >= 0; --i)                                                                        \
      if (Fold<C>(p[i]) == f) return i;                                                                             \
    return KErrNotFound;                                                                                            \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::Find(const TDesC##W& aDes) const {                                                        \
    return FindIn<C, false>(Ptr(), Length(), aDes.Ptr(), aDes.Length());                                            \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::Find(const C* aString, TInt aLength) const {                                              \
    return FindIn<C, false>(Ptr(), Length(), aString, aLength);                                                     \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::FindF(const TDesC##W& aDes) const {                                                       \
    return FindIn<C, true>(Ptr(), Length(), aDes.Ptr(), aDes.Length());                                             \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::FindF(const C* aString, TInt aLength) const {                                             \
    return FindIn<C, true>(Ptr(), Length(), aString, aLength);                                                      \
  }                                                                                                                 \
  EXPORT_C TInt TDesC##W::FindC(const TDesC##W& aDes) const { return FindF(aDes); }                                 \
  EXPORT_C TPtrC##W TDesC##W::Left(TInt aLength) const {                                                            \
    if (aLength < 0) DesPanic(ZHost::EDesPosOutOfRange);                                                            \
    return TPtrC##W(Ptr(), aLength < Length() ? aLength : Length());                                                \
  }                                                                                                                 \
  EXPORT_C TPtrC##W TDesC##W::Right(TInt aLength) const {                                                           \
    if (aLength < 0) DesPanic(ZHost::EDesPosOutOfRange);                                                            \
    const TInt l = Length();                                                                                        \
    if (aLength > l) aLength = l;                                                                                   \
    return TPtrC##W(Ptr() + l - aLength, aLength);                                                                  \
  }                                                                                                                 \
  EXPORT_C TPtrC##W TDesC##W::Mid(TInt aPos) const {                                                                \
    const TInt l = Length();                                                                                        \
    if (aPos < 0 || aPos > l) DesPanic(ZHost::EDesPosOutOfRange);                                                   \
    return TPtrC##W(Ptr() + aPos, l - aPos);                                                                        \
  }                                                                                                                 \
  EXPORT_C TPtrC##W TDesC##W::Mid(TInt aPos, TInt aLength) const {                                                  \
    if (aPos < 0 || aLength < 0 || aPos > Length() - aLength) DesPanic(ZHost::EDesPosOutOfRange);                   \
    return TPtrC##W(Ptr() + aPos, aLength);                                                                         \
  }                                                                                                                 \
  EXPORT_C HBufC##W* TDesC##W::Alloc() const {                                                                      \
    HBufC##W* h = HBufC##W::New(Length());                                                                          \
    if (h) *h = *this;                                                                                              \
    return h;                                                                                                       \
  }                                                                                                                 \
  EXPORT_C HBufC##W* TDesC##W::AllocL() const {                                                                     \
    HBufC##W* h = HBufC##W::NewL(Length());                                                                         \
    *h = *this;                                                                                                     \
    return h;                                                                                                       \
  }                                                                                                                 \
  EXPORT_C HBufC##W* TDesC##W::AllocLC() const {                                                                    \
    HBufC##W* h = AllocL();                                                                                         \
    CleanupStack::PushL(h);                                                                                         \
    return h;                                                                                                       \
  }                                                                                                                 \
  EXPORT_C TPtrC##W::TPtrC##W(const C* aString) : TDesC##W(EPtrC, LengthOfString(aString)), iPtr(aString) {}        \
  /* ---- TDes ---- */                                                                                              \
  EXPORT_C void TDes##W::Zero() { DoSetLength(0); }                                                                 \
  EXPORT_C void TDes##W::SetLength(TInt aLength) {                                                                  \
    if (aLength < 0 || aLength > iMaxLength) DesPanic(ZHost::EDesOverflow);                                         \
    DoSetLength(aLength);                                                                                           \
  }                                                                                                                 \
  EXPORT_C void TDes##W::SetMax() { DoSetLength(iMaxLength); }                                                      \
  EXPORT_C void TDes##W::Copy(const TDesC##W& aDes) { Copy(aDes.Ptr(), aDes.Length()); }                            \
  EXPORT_C void TDes##W::Copy(const C* aBuf, TInt aLength) {                                                        \
    if (aLength < 0) DesPanic(ZHost::EDesBadLength);                                                                \
    if (aLength > iMaxLength) DesPanic(ZHost::EDesOverflow);                                                        \
    if (aLength) std::memmove(WPtr(), aBuf, static_cast<std::size_t>(aLength) * sizeof(C));                         \
    DoSetLength(aLength);                                                                                           \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Copy(const C* aString) { Copy(aString, LengthOfString(aString)); }                         \
  EXPORT_C void TDes##W::Copy(const WIDE_OTHER& aDes) {                                                             \
    const TInt l = aDes.Length();                                                                                   \
    if (l > iMaxLength) DesPanic(ZHost::EDesOverflow);                                                              \
    C* t = WPtr();                                                                                                  \
    const auto* s = aDes.Ptr();                                                                                     \
    for (TInt i = 0; i < l; ++i) t[i] = static_cast<C>(s[i]);                                                       \
    DoSetLength(l);                                                                                                 \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Append(TChar aChar) {                                                                      \
    const TInt l = Length();                                                                                        \
    if (l >= iMaxLength) DesPanic(ZHost::EDesOverflow);                                                             \
    WPtr()[l] = static_cast<C>(static_cast<TUint>(aChar));                                                          \
    DoSetLength(l + 1);                                                                                             \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Append(const TDesC##W& aDes) { Append(aDes.Ptr(), aDes.Length()); }                        \
  EXPORT_C void TDes##W::Append(const C* aBuf, TInt aLength) {                                                      \
    if (aLength < 0) DesPanic(ZHost::EDesBadLength);                                                                \
    const TInt l = Length();                                                                                        \
    if (aLength > iMaxLength - l) DesPanic(ZHost::EDesOverflow);                                                    \
    if (aLength) std::memmove(WPtr() + l, aBuf, static_cast<std::size_t>(aLength) * sizeof(C));                     \
    DoSetLength(l + aLength);                                                                                       \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Fill(TChar aChar) {                                                                        \
    C* p = WPtr();                                                                                                  \
    const TInt l = Length();                                                                                        \
    for (TInt i = 0; i < l; ++i) p[i] = static_cast<C>(static_cast<TUint>(aChar));                                  \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Fill(TChar aChar, TInt aLength) {                                                          \
    SetLength(aLength);                                                                                             \
    Fill(aChar);                                                                                                    \
  }                                                                                                                 \
  EXPORT_C void TDes##W::FillZ() { Fill(0); }                                                                       \
  EXPORT_C void TDes##W::FillZ(TInt aLength) { Fill(0, aLength); }                                                  \
  EXPORT_C void TDes##W::AppendFill(TChar aChar, TInt aLength) {                                                    \
    if (aLength < 0) DesPanic(ZHost::EDesBadLength);                                                                \
    const TInt l = Length();                                                                                        \
    if (aLength > iMaxLength - l) DesPanic(ZHost::EDesOverflow);                                                    \
    C* p = WPtr() + l;                                                                                              \
    for (TInt i = 0; i < aLength; ++i) p[i] = static_cast<C>(static_cast<TUint>(aChar));                            \
    DoSetLength(l + aLength);                                                                                       \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Swap(TDes##W& aDes) {                                                                      \
    const TInt l = Length(), m = aDes.Length();                                                                     \
    if (l > aDes.iMaxLength || m > iMaxLength) DesPanic(ZHost::EDesOverflow);                                       \
    C* a = WPtr();                                                                                                  \
    C* b = aDes.WPtr();                                                                                             \
    const TInt n = l > m ? l : m;                                                                                   \
    for (TInt i = 0; i < n; ++i) {                                                                                  \
      const C t = a[i];                                                                                             \
      a[i] = b[i];                                                                                                  \
      b[i] = t;                                                                                                     \
    }                                                                                                               \
    DoSetLength(m);                                                                                                 \
    aDes.DoSetLength(l);                                                                                            \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Insert(TInt aPos, const TDesC##W& aDes) {                                                  \
    const TInt l = Length(), n = aDes.Length();                                                                     \
    if (aPos < 0 || aPos > l) DesPanic(ZHost::EDesPosOutOfRange);                                                   \
    if (n > iMaxLength - l) DesPanic(ZHost::EDesOverflow);                                                          \
    C* p = WPtr();                                                                                                  \
    std::memmove(p + aPos + n, p + aPos, static_cast<std::size_t>(l - aPos) * sizeof(C));                           \
    std::memmove(p + aPos, aDes.Ptr(), static_cast<std::size_t>(n) * sizeof(C));                                    \
    DoSetLength(l + n);                                                                                             \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Delete(TInt aPos, TInt aLength) {                                                          \
    const TInt l = Length();                                                                                        \
    if (aPos < 0 || aPos > l || aLength < 0) DesPanic(ZHost::EDesPosOutOfRange);                                    \
    if (aLength > l - aPos) aLength = l - aPos;                                                                     \
    C* p = WPtr();                                                                                                  \
    std::memmove(p + aPos, p + aPos + aLength, static_cast<std::size_t>(l - aPos - aLength) * sizeof(C));           \
    DoSetLength(l - aLength);                                                                                       \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Replace(TInt aPos, TInt aLength, const TDesC##W& aDes) {                                   \
    const TInt l = Length(), n = aDes.Length();                                                                     \
    if (aPos < 0 || aPos > l || aLength < 0 || aLength > l - aPos) DesPanic(ZHost::EDesPosOutOfRange);              \
    if (n - aLength > iMaxLength - l) DesPanic(ZHost::EDesOverflow);                                                \
    C* p = WPtr();                                                                                                  \
    const C* s = aDes.Ptr();                                                                                        \
    /* the source may lie inside this descriptor: copy it out first when it moves */                                \
    const bool overlaps = s + n > p && s < p + iMaxLength;                                                          \
    C* tmp = nullptr;                                                                                               \
    if (overlaps && n) {                                                                                            \
      tmp = static_cast<C*>(::operator new(static_cast<std::size_t>(n) * sizeof(C)));                               \
      std::memcpy(tmp, s, static_cast<std::size_t>(n) * sizeof(C));                                                 \
      s = tmp;                                                                                                      \
    }                                                                                                               \
    std::memmove(p + aPos + n, p + aPos + aLength, static_cast<std::size_t>(l - aPos - aLength) * sizeof(C));       \
    if (n) std::memmove(p + aPos, s, static_cast<std::size_t>(n) * sizeof(C));                                      \
    ::operator delete(tmp);                                                                                         \
    DoSetLength(l - aLength + n);                                                                                   \
  }                                                                                                                 \
  EXPORT_C void TDes##W::TrimLeft() {                                                                               \
    const C* p = Ptr();                                                                                             \
    const TInt l = Length();                                                                                        \
    TInt i = 0;                                                                                                     \
    while (i < l && IsSpaceChar(p[i])) ++i;                                                                         \
    if (i) Delete(0, i);                                                                                            \
  }                                                                                                                 \
  EXPORT_C void TDes##W::TrimRight() {                                                                              \
    const C* p = Ptr();                                                                                             \
    TInt l = Length();                                                                                              \
    while (l > 0 && IsSpaceChar(p[l - 1])) --l;                                                                     \
    DoSetLength(l);                                                                                                 \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Trim() {                                                                                   \
    TrimRight();                                                                                                    \
    TrimLeft();                                                                                                     \
  }                                                                                                                 \
  EXPORT_C void TDes##W::TrimAll() {                                                                                \
    Trim();                                                                                                         \
    C* p = WPtr();                                                                                                  \
    const TInt l = Length();                                                                                        \
    TInt o = 0;                                                                                                     \
    for (TInt i = 0; i < l; ++i) {                                                                                  \
      if (IsSpaceChar(p[i])) {                                                                                      \
        if (o > 0 && p[o - 1] == ' ') continue;                                                                     \
        p[o++] = ' ';                                                                                               \
      } else {                                                                                                      \
        p[o++] = p[i];                                                                                              \
      }                                                                                                             \
    }                                                                                                               \
    DoSetLength(o);                                                                                                 \
  }                                                                                                                 \
  EXPORT_C void TDes##W::LowerCase() {                                                                              \
    C* p = WPtr();                                                                                                  \
    const TInt l = Length();                                                                                        \
    for (TInt i = 0; i < l; ++i) p[i] = LowerOf<C>(p[i]);                                                           \
  }                                                                                                                 \
  EXPORT_C void TDes##W::UpperCase() {                                                                              \
    C* p = WPtr();                                                                                                  \
    const TInt l = Length();                                                                                        \
    for (TInt i = 0; i < l; ++i) p[i] = UpperOf<C>(p[i]);                                                           \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Fold() {                                                                                   \
    C* p = WPtr();                                                                                                  \
    const TInt l = Length();                                                                                        \
    for (TInt i = 0; i < l; ++i) p[i] = static_cast<C>(::Fold<C>(p[i]));                                            \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Capitalize() {                                                                             \
    LowerCase();                                                                                                    \
    if (Length()) WPtr()[0] = UpperOf<C>(Ptr()[0]);                                                                 \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Repeat(const TDesC##W& aDes) {                                                             \
    const TInt n = aDes.Length();                                                                                   \
    const TInt l = Length();                                                                                        \
    if (n == 0) return;                                                                                             \
    C* p = WPtr();                                                                                                  \
    const C* s = aDes.Ptr();                                                                                        \
    for (TInt i = 0; i < l; ++i) p[i] = s[i % n];                                                                   \
  }                                                                                                                 \
  EXPORT_C const C* TDes##W::PtrZ() {                                                                               \
    ZeroTerminate();                                                                                                \
    return Ptr();                                                                                                   \
  }                                                                                                                 \
  EXPORT_C void TDes##W::ZeroTerminate() {                                                                          \
    const TInt l = Length();                                                                                        \
    if (l >= iMaxLength) DesPanic(ZHost::EDesOverflow);                                                             \
    WPtr()[l] = 0;                                                                                                  \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Num(TInt64 aVal) {                                                                         \
    Zero();                                                                                                         \
    AppendNum(aVal);                                                                                                \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Num(TUint64 aVal, TRadix aRadix) {                                                         \
    Zero();                                                                                                         \
    AppendNum(aVal, aRadix);                                                                                        \
  }                                                                                                                 \
  EXPORT_C void TDes##W::NumUC(TUint64 aVal, TRadix aRadix) {                                                       \
    Zero();                                                                                                         \
    AppendNumUC(aVal, aRadix);                                                                                      \
  }                                                                                                                 \
  EXPORT_C void TDes##W::NumFixedWidth(TUint aVal, TRadix aRadix, TInt aWidth) {                                    \
    Zero();                                                                                                         \
    AppendNumFixedWidth(aVal, aRadix, aWidth);                                                                      \
  }                                                                                                                 \
  EXPORT_C void TDes##W::NumFixedWidthUC(TUint aVal, TRadix aRadix, TInt aWidth) {                                  \
    Zero();                                                                                                         \
    AppendNumFixedWidthUC(aVal, aRadix, aWidth);                                                                    \
  }                                                                                                                 \
  EXPORT_C TInt TDes##W::Num(TReal aVal, const TRealFormat& aFormat) {                                              \
    Zero();                                                                                                         \
    return AppendNum(aVal, aFormat);                                                                                \
  }                                                                                                                 \
  EXPORT_C void TDes##W::AppendNum(TInt64 aVal) {                                                                   \
    char b[72];                                                                                                     \
    TInt n = 0;                                                                                                     \
    if (aVal < 0) b[n++] = '-';                                                                                     \
    const TUint64 mag = aVal < 0 ? static_cast<TUint64>(0) - static_cast<TUint64>(aVal) : static_cast<TUint64>(aVal); \
    n += UnsignedToAscii(b + n, mag, 10, false);                                                                    \
    AppendAscii(b, n);                                                                                              \
  }                                                                                                                 \
  EXPORT_C void TDes##W::AppendNum(TUint64 aVal, TRadix aRadix) {                                                   \
    char b[72];                                                                                                     \
    AppendAscii(b, UnsignedToAscii(b, aVal, static_cast<TUint>(aRadix), false));                                    \
  }                                                                                                                 \
  EXPORT_C void TDes##W::AppendNumUC(TUint64 aVal, TRadix aRadix) {                                                 \
    char b[72];                                                                                                     \
    AppendAscii(b, UnsignedToAscii(b, aVal, static_cast<TUint>(aRadix), true));                                     \
  }                                                                                                                 \
  EXPORT_C void TDes##W::AppendNumFixedWidth(TUint aVal, TRadix aRadix, TInt aWidth) {                              \
    AppendFixed(aVal, aRadix, aWidth, false);                                                                       \
  }                                                                                                                 \
  EXPORT_C void TDes##W::AppendNumFixedWidthUC(TUint aVal, TRadix aRadix, TInt aWidth) {                            \
    AppendFixed(aVal, aRadix, aWidth, true);                                                                        \
  }                                                                                                                 \
  EXPORT_C TInt TDes##W::AppendNum(TReal aVal, const TRealFormat& aFormat) {                                        \
    char b[400];                                                                                                    \
    const TInt n = RealToAscii(b, sizeof(b), aVal, aFormat);                                                        \
    if (n < 0) return n;                                                                                            \
    if (n > iMaxLength - Length()) return KErrOverflow;                                                             \
    AppendAscii(b, n);                                                                                              \
    return Length();                                                                                                \
  }                                                                                                                 \
  void TDes##W::AppendAscii(const char* aText, TInt aLength) {                                                      \
    const TInt l = Length();                                                                                        \
    if (aLength > iMaxLength - l) DesPanic(ZHost::EDesOverflow);                                                    \
    C* p = WPtr() + l;                                                                                              \
    for (TInt i = 0; i < aLength; ++i) p[i] = static_cast<TUint8>(aText[i]);                                        \
    DoSetLength(l + aLength);                                                                                       \
  }                                                                                                                 \
  void TDes##W::AppendFixed(TUint aVal, TRadix aRadix, TInt aWidth, TBool aUpper) {                                 \
    char b[72];                                                                                                     \
    const TInt n = UnsignedToAscii(b, aVal, static_cast<TUint>(aRadix), aUpper);                                    \
    if (aWidth <= 0) return;                                                                                        \
    if (n >= aWidth) {                                                                                              \
      AppendAscii(b + n - aWidth, aWidth);                                                                          \
    } else {                                                                                                        \
      AppendFill('0', aWidth - n);                                                                                  \
      AppendAscii(b, n);                                                                                            \
    }                                                                                                               \
  }                                                                                                                 \
  EXPORT_C void TDes##W::Format(TRefByValue<const TDesC##W> aFormat, ...) {                                         \
    VA_LIST list;                                                                                                   \
    VA_START(list, aFormat);                                                                                        \
    Zero();                                                                                                         \
    AppendFormatList(aFormat, list);                                                                                \
    VA_END(list);                                                                                                   \
  }                                                                                                                 \
  EXPORT_C void TDes##W::AppendFormat(TRefByValue<const TDesC##W> aFormat, ...) {                                   \
    VA_LIST list;                                                                                                   \
    VA_START(list, aFormat);                                                                                        \
    AppendFormatList(aFormat, list);                                                                                \
    VA_END(list);                                                                                                   \
  }                                                                                                                 \
  EXPORT_C void TDes##W::AppendFormatList(const TDesC##W& aFormat, VA_LIST aList) {                                 \
    /* The format may be this descriptor itself: work from a copy when it is. */                                   \
    const C* f = aFormat.Ptr();                                                                                     \
    const TInt fl = aFormat.Length();                                                                               \
    C* copy = nullptr;                                                                                              \
    if (f >= Ptr() && f < Ptr() + iMaxLength && fl) {                                                               \
      copy = static_cast<C*>(::operator new(static_cast<std::size_t>(fl) * sizeof(C)));                             \
      std::memcpy(copy, f, static_cast<std::size_t>(fl) * sizeof(C));                                               \
      f = copy;                                                                                                     \
    }                                                                                                               \
    SOut<C> out{WPtr(), Length(), iMaxLength};                                                                      \
    struct SFree {                                                                                                  \
      C* iP;                                                                                                        \
      ~SFree() { ::operator delete(iP); }                                                                           \
    } freeCopy{copy};                                                                                               \
    FormatList<C, TDesC##W>(out, f, fl, aList);                                                                     \
    DoSetLength(out.iLen);                                                                                          \
  }                                                                                                                 \
  /* ---- constant buffers ---- */                                                                                  \
  EXPORT_C void TBufCBase##W::Copy(const C* aBuf, TInt aLength, TInt aMaxLength) {                                  \
    if (aLength < 0) DesPanic(ZHost::EDesBadLength);                                                                \
    if (aLength > aMaxLength) DesPanic(ZHost::EDesOverflow);                                                        \
    if (aLength) std::memmove(Data(), aBuf, static_cast<std::size_t>(aLength) * sizeof(C));                         \
    DoSetLength(aLength);                                                                                           \
  }                                                                                                                 \
  EXPORT_C HBufC##W* HBufC##W::New(TInt aMaxLength) {                                                               \
    if (aMaxLength < 0) DesPanic(ZHost::EDesBadLength);                                                             \
    if (aMaxLength > static_cast<TInt>((KLengthMask - sizeof(TDesC##W)) / sizeof(C))) return nullptr;              \
    TAny* cell = User::Alloc(static_cast<TInt>(sizeof(TDesC##W) + static_cast<std::size_t>(aMaxLength) * sizeof(C))); \
    return cell ? new (cell) HBufC##W(0) : nullptr;                                                                 \
  }                                                                                                                 \
  EXPORT_C HBufC##W* HBufC##W::NewL(TInt aMaxLength) {                                                              \
    HBufC##W* h = New(aMaxLength);                                                                                  \
    if (!h) User::LeaveNoMemory();                                                                                  \
    return h;                                                                                                       \
  }                                                                                                                 \
  EXPORT_C HBufC##W* HBufC##W::NewLC(TInt aMaxLength) {                                                             \
    HBufC##W* h = NewL(aMaxLength);                                                                                 \
    CleanupStack::PushL(h);                                                                                         \
    return h;                                                                                                       \
  }                                                                                                                 \
  EXPORT_C HBufC##W* HBufC##W::NewMax(TInt aMaxLength) {                                                            \
    HBufC##W* h = New(aMaxLength);                                                                                  \
    if (h) h->DoSetLength(aMaxLength);                                                                              \
    return h;                                                                                                       \
  }                                                                                                                 \
  EXPORT_C HBufC##W* HBufC##W::NewMaxL(TInt aMaxLength) {                                                           \
    HBufC##W* h = NewL(aMaxLength);                                                                                 \
    h->DoSetLength(aMaxLength);                                                                                     \
    return h;                                                                                                       \
  }                                                                                                                 \
  EXPORT_C HBufC##W* HBufC##W::NewMaxLC(TInt aMaxLength) {                                                          \
    HBufC##W* h = NewMaxL(aMaxLength);                                                                              \
    CleanupStack::PushL(h);                                                                                         \
    return h;                                                                                                       \
  }                                                                                                                 \
  TInt HBufC##W::MaxLength() const {                                                                                \
    return static_cast<TInt>((static_cast<std::size_t>(User::AllocLen(this)) - sizeof(TDesC##W)) / sizeof(C));      \
  }                                                                                                                 \
  EXPORT_C HBufC##W& HBufC##W::operator=(const C* aString) {                                                        \
    Copy(aString, LengthOfString(aString), MaxLength());                                                            \
    return *this;                                                                                                   \
  }                                                                                                                 \
  EXPORT_C HBufC##W& HBufC##W::operator=(const TDesC##W& aDes) {                                                    \
    Copy(aDes.Ptr(), aDes.Length(), MaxLength());                                                                   \
    return *this;                                                                                                   \
  }                                                                                                                 \
  EXPORT_C HBufC##W* HBufC##W::ReAlloc(TInt aMaxLength) {                                                           \
    if (aMaxLength < Length()) DesPanic(ZHost::EDesBadLength);                                                      \
    if (aMaxLength > static_cast<TInt>((KLengthMask - sizeof(TDesC##W)) / sizeof(C))) return nullptr;              \
    return static_cast<HBufC##W*>(                                                                                  \
        User::ReAlloc(this, static_cast<TInt>(sizeof(TDesC##W) + static_cast<std::size_t>(aMaxLength) * sizeof(C)))); \
  }                                                                                                                 \
  EXPORT_C HBufC##W* HBufC##W::ReAllocL(TInt aMaxLength) {                                                          \
    HBufC##W* h = ReAlloc(aMaxLength);                                                                              \
    if (!h) User::LeaveNoMemory();                                                                                  \
    return h;                                                                                                       \
  }                                                                                                                 \
  EXPORT_C TPtr##W HBufC##W::Des() { return DoDes(MaxLength()); }                                                   \
  EXPORT_C void HBufC##W::operator delete(TAny* aPtr) { User::Free(aPtr); }

ZHOST_DESCRIPTOR_IMPL(16, TUint16, TDesC8)
ZHOST_DESCRIPTOR_IMPL(8, TUint8, TDesC16)

// ---- TChar ----

EXPORT_C TUint TChar::GetFoldedChar(TUint aChar) { return ZHost::FoldChar(aChar); }

EXPORT_C TUint TChar::GetLowerCase(TUint aChar) {
  return aChar < static_cast<TUint>(ZHost::KCharTableSize) ? ZHost::KLowerTable[aChar] : aChar;
}

EXPORT_C TUint TChar::GetUpperCase(TUint aChar) {
  return aChar < static_cast<TUint>(ZHost::KCharTableSize) ? ZHost::KUpperTable[aChar] : aChar;
}

EXPORT_C TBool TChar::IsSpace() const {
  if (iChar < static_cast<TUint>(ZHost::KCharTableSize)) return (ZHost::KCharFlags[iChar] & ZHost::ECharSpace) != 0;
  return iChar == 0x1680 || (iChar >= 0x2000 && iChar <= 0x200a) || iChar == 0x2028 || iChar == 0x2029 ||
         iChar == 0x202f || iChar == 0x205f || iChar == 0x3000;
}

EXPORT_C TBool TChar::IsAlpha() const {
  if (iChar < static_cast<TUint>(ZHost::KCharTableSize)) return (ZHost::KCharFlags[iChar] & ZHost::ECharAlpha) != 0;
  // Scripts beyond the tables: the common letter blocks count as letters.
  return (iChar >= 0x3040 && iChar <= 0x9fff) || (iChar >= 0xac00 && iChar <= 0xd7a3);
}

EXPORT_C TBool TChar::IsPunctuation() const {
  if (iChar < static_cast<TUint>(ZHost::KCharTableSize)) return (ZHost::KCharFlags[iChar] & ZHost::ECharPunct) != 0;
  return (iChar >= 0x2010 && iChar <= 0x2027) || (iChar >= 0x3001 && iChar <= 0x3003);
}

// ---- UTF-8 for messages ----

std::string ZE32::ToUtf8(const TDesC16& aDes) {
  std::string s;
  const TUint16* p = aDes.Ptr();
  const TInt l = aDes.Length();
  for (TInt i = 0; i < l; ++i) {
    TUint c = p[i];
    if (c >= 0xd800 && c < 0xdc00 && i + 1 < l && p[i + 1] >= 0xdc00 && p[i + 1] < 0xe000)
      c = 0x10000 + ((c - 0xd800) << 10) + (p[++i] - 0xdc00);
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else if (c < 0x800) {
      s += static_cast<char>(0xc0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
      s += static_cast<char>(0xe0 | (c >> 12));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
      s += static_cast<char>(0x80 | (c & 0x3f));
    } else {
      s += static_cast<char>(0xf0 | (c >> 18));
      s += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
      s += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
      s += static_cast<char>(0x80 | (c & 0x3f));
    }
  }
  return s;
}

std::string ZE32::ToUtf8(const TDesC8& aDes) {
  std::string s;
  for (TInt i = 0; i < aDes.Length(); ++i) {
    const TUint c = aDes.Ptr()[i];
    if (c < 0x80) {
      s += static_cast<char>(c);
    } else {
      s += static_cast<char>(0xc0 | (c >> 6));
      s += static_cast<char>(0x80 | (c & 0x3f));
    }
  }
  return s;
}

// ---- Mem comparisons ----

EXPORT_C TInt Mem::Compare(const TUint8* aLeft, TInt aLeftL, const TUint8* aRight, TInt aRightL) {
  return CompareRaw<TUint8>(aLeft, aLeftL, aRight, aRightL);
}

EXPORT_C TInt Mem::Compare(const TUint16* aLeft, TInt aLeftL, const TUint16* aRight, TInt aRightL) {
  return CompareRaw<TUint16>(aLeft, aLeftL, aRight, aRightL);
}

EXPORT_C TInt Mem::CompareF(const TUint8* aLeft, TInt aLeftL, const TUint8* aRight, TInt aRightL) {
  return CompareFolded<TUint8>(aLeft, aLeftL, aRight, aRightL);
}

EXPORT_C TInt Mem::CompareF(const TUint16* aLeft, TInt aLeftL, const TUint16* aRight, TInt aRightL) {
  return CompareFolded<TUint16>(aLeft, aLeftL, aRight, aRightL);
}
