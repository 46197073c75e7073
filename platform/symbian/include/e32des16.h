// 16-bit descriptors. Included through e32std.h.
#include <e32std.h>

#ifndef E32DES16_H
#define E32DES16_H

class TDesC8;
class TPtrC16;
class TPtr16;
class HBufC16;
class TBufCBase16;

// A descriptor keeps its length in the low 28 bits and its kind in the top 4 bits of
// one word; the kind tells where the characters are. No virtual functions, so a
// descriptor's layout does not depend on where it lives and it may be copied bytewise.
class TDesC16 {
public:
  enum TPrefix { EIsPrefix, EMightBePrefix, EIsNotPrefix };

  inline TBool operator<(const TDesC16& aDes) const { return Compare(aDes) < 0; }
  inline TBool operator<=(const TDesC16& aDes) const { return Compare(aDes) <= 0; }
  inline TBool operator>(const TDesC16& aDes) const { return Compare(aDes) > 0; }
  inline TBool operator>=(const TDesC16& aDes) const { return Compare(aDes) >= 0; }
  IMPORT_C TBool operator==(const TDesC16& aDes) const;
  inline TBool operator!=(const TDesC16& aDes) const { return !(*this == aDes); }
  inline const TUint16& operator[](TInt aIndex) const;
  inline TInt Length() const { return static_cast<TInt>(iLength & KLengthMask); }
  inline TInt Size() const { return Length() * 2; }
  inline const TUint16* Ptr() const;

  IMPORT_C TInt Compare(const TDesC16& aDes) const;
  IMPORT_C TInt CompareF(const TDesC16& aDes) const;
  IMPORT_C TInt CompareC(const TDesC16& aDes) const;
  IMPORT_C TInt Match(const TDesC16& aDes) const;
  IMPORT_C TInt MatchF(const TDesC16& aDes) const;
  IMPORT_C TInt MatchC(const TDesC16& aDes) const;
  IMPORT_C TInt Locate(TChar aChar) const;
  IMPORT_C TInt LocateReverse(TChar aChar) const;
  IMPORT_C TInt LocateF(TChar aChar) const;
  IMPORT_C TInt LocateReverseF(TChar aChar) const;
  IMPORT_C TInt Find(const TDesC16& aDes) const;
  IMPORT_C TInt Find(const TUint16* aString, TInt aLength) const;
  IMPORT_C TInt FindF(const TDesC16& aDes) const;
  IMPORT_C TInt FindF(const TUint16* aString, TInt aLength) const;
  IMPORT_C TInt FindC(const TDesC16& aDes) const;
  IMPORT_C TPtrC16 Left(TInt aLength) const;
  IMPORT_C TPtrC16 Right(TInt aLength) const;
  IMPORT_C TPtrC16 Mid(TInt aPos) const;
  IMPORT_C TPtrC16 Mid(TInt aPos, TInt aLength) const;
  IMPORT_C HBufC16* Alloc() const;
  IMPORT_C HBufC16* AllocL() const;
  IMPORT_C HBufC16* AllocLC() const;

protected:
  enum TDesType { EBufC = 0, EPtrC = 1, EPtr = 2, EBuf = 3, EBufCPtr = 4 };
  static const TUint KLengthMask = 0x0fffffffu;
  TDesC16() = default;
  constexpr TDesC16(TInt aType, TInt aLength)
      : iLength((static_cast<TUint>(aType) << 28) | static_cast<TUint>(aLength)) {}
  inline TInt Type() const { return static_cast<TInt>(iLength >> 28); }
  inline void DoSetLength(TInt aLength);

private:
  TUint iLength;
  friend class TDes16;
  friend class TPtr16;
  friend class HBufC16;
};

class TPtrC16 : public TDesC16 {
public:
  inline TPtrC16() : TDesC16(EPtrC, 0), iPtr(nullptr) {}
  inline TPtrC16(const TDesC16& aDes) : TDesC16(EPtrC, aDes.Length()), iPtr(aDes.Ptr()) {}
  IMPORT_C TPtrC16(const TUint16* aString);
  inline TPtrC16(const TUint16* aBuf, TInt aLength);
  inline void Set(const TUint16* aBuf, TInt aLength);
  inline void Set(const TDesC16& aDes) { Set(aDes.Ptr(), aDes.Length()); }
  inline void Set(const TPtrC16& aPtr) { Set(aPtr.iPtr, aPtr.Length()); }

private:
  const TUint16* iPtr;
  friend class TDesC16;
};

class TDes16 : public TDesC16 {
public:
  inline TDes16& operator=(const TUint16* aString) { Copy(aString); return *this; }
  inline TDes16& operator=(const TDesC16& aDes) { Copy(aDes); return *this; }
  inline TDes16& operator=(const TDes16& aDes) { Copy(aDes); return *this; }
  inline TInt MaxLength() const { return iMaxLength; }
  inline TInt MaxSize() const { return iMaxLength * 2; }
  inline const TUint16& operator[](TInt aIndex) const { return TDesC16::operator[](aIndex); }
  inline TUint16& operator[](TInt aIndex);
  inline TDes16& operator+=(const TDesC16& aDes) { Append(aDes); return *this; }

  IMPORT_C void Zero();
  IMPORT_C void SetLength(TInt aLength);
  IMPORT_C void SetMax();
  IMPORT_C void Copy(const TDesC8& aDes);
  IMPORT_C void Copy(const TDesC16& aDes);
  IMPORT_C void Copy(const TUint16* aBuf, TInt aLength);
  IMPORT_C void Copy(const TUint16* aString);
  IMPORT_C void Append(TChar aChar);
  IMPORT_C void Append(const TDesC16& aDes);
  IMPORT_C void Append(const TUint16* aBuf, TInt aLength);
  IMPORT_C void Fill(TChar aChar);
  IMPORT_C void Fill(TChar aChar, TInt aLength);
  IMPORT_C void FillZ();
  IMPORT_C void FillZ(TInt aLength);
  IMPORT_C void AppendFill(TChar aChar, TInt aLength);
  IMPORT_C void Swap(TDes16& aDes);
  IMPORT_C void Insert(TInt aPos, const TDesC16& aDes);
  IMPORT_C void Delete(TInt aPos, TInt aLength);
  IMPORT_C void Replace(TInt aPos, TInt aLength, const TDesC16& aDes);
  IMPORT_C void Trim();
  IMPORT_C void TrimLeft();
  IMPORT_C void TrimRight();
  IMPORT_C void TrimAll();
  IMPORT_C void LowerCase();
  IMPORT_C void UpperCase();
  IMPORT_C void Fold();
  IMPORT_C void Capitalize();
  IMPORT_C void Repeat(const TDesC16& aDes);
  IMPORT_C const TUint16* PtrZ();
  IMPORT_C void ZeroTerminate();
  IMPORT_C void Num(TInt64 aVal);
  IMPORT_C void Num(TUint64 aVal, TRadix aRadix);
  IMPORT_C void NumUC(TUint64 aVal, TRadix aRadix = EDecimal);
  IMPORT_C void NumFixedWidth(TUint aVal, TRadix aRadix, TInt aWidth);
  IMPORT_C void NumFixedWidthUC(TUint aVal, TRadix aRadix, TInt aWidth);
  IMPORT_C TInt Num(TReal aVal, const TRealFormat& aFormat);
  IMPORT_C void AppendNum(TInt64 aVal);
  IMPORT_C void AppendNum(TUint64 aVal, TRadix aRadix);
  IMPORT_C void AppendNumUC(TUint64 aVal, TRadix aRadix = EDecimal);
  IMPORT_C void AppendNumFixedWidth(TUint aVal, TRadix aRadix, TInt aWidth);
  IMPORT_C void AppendNumFixedWidthUC(TUint aVal, TRadix aRadix, TInt aWidth);
  IMPORT_C TInt AppendNum(TReal aVal, const TRealFormat& aFormat);
  IMPORT_C void Format(TRefByValue<const TDesC16> aFormat, ...);
  IMPORT_C void AppendFormat(TRefByValue<const TDesC16> aFormat, ...);
  IMPORT_C void AppendFormatList(const TDesC16& aFormat, VA_LIST aList);

protected:
  // Copying views the same data (as the pointer descriptors do when passed by value);
  // assignment copies the contents.
  TDes16(const TDes16&) = default;
  TDes16() = default;
  inline TDes16(TInt aType, TInt aLength, TInt aMaxLength)
      : TDesC16(aType, aLength), iMaxLength(aMaxLength) {}
  inline TUint16* WPtr() const { return const_cast<TUint16*>(Ptr()); }
  void AppendAscii(const char* aText, TInt aLength);
  void AppendFixed(TUint aVal, TRadix aRadix, TInt aWidth, TBool aUpper);
  TInt iMaxLength;
};

class TPtr16 : public TDes16 {
public:
  inline TPtr16(TUint16* aBuf, TInt aMaxLength);
  inline TPtr16(TUint16* aBuf, TInt aLength, TInt aMaxLength);
  TPtr16(const TPtr16& aPtr) = default;
  inline TPtr16& operator=(const TUint16* aString) { Copy(aString); return *this; }
  inline TPtr16& operator=(const TDesC16& aDes) { Copy(aDes); return *this; }
  inline TPtr16& operator=(const TPtr16& aPtr) { Copy(aPtr); return *this; }
  inline void Set(TUint16* aBuf, TInt aLength, TInt aMaxLength);
  inline void Set(const TPtr16& aPtr) {
    iLength = aPtr.iLength;
    iMaxLength = aPtr.iMaxLength;
    iPtr = aPtr.iPtr;
  }

private:
  inline TPtr16(TBufCBase16& aBuf, TInt aMaxLength);
  TUint16* iPtr;
  friend class TDesC16;
  friend class TBufCBase16;
};

// Base of the constant buffers: the characters follow the length word directly.
class TBufCBase16 : public TDesC16 {
protected:
  constexpr TBufCBase16() : TDesC16(EBufC, 0) {}
  constexpr explicit TBufCBase16(TInt aLength) : TDesC16(EBufC, aLength) {}
  IMPORT_C void Copy(const TUint16* aBuf, TInt aLength, TInt aMaxLength);
  inline TPtr16 DoDes(TInt aMaxLength) { return TPtr16(*this, aMaxLength); }
  inline TUint16* Data() {
    return reinterpret_cast<TUint16*>(reinterpret_cast<TUint8*>(this) + sizeof(TDesC16));
  }
  friend class TDesC16;
  friend class TDes16;
};

template <TInt S>
class TBufC16 : public TBufCBase16 {
public:
  inline TBufC16() : TBufCBase16() {}
  inline TBufC16(const TUint16* aString) { *this = aString; }
  inline TBufC16(const TDesC16& aDes) { Copy(aDes.Ptr(), aDes.Length(), S); }
  inline TBufC16(const TBufC16<S>& aBuf) : TBufCBase16() { Copy(aBuf.Ptr(), aBuf.Length(), S); }
  inline TBufC16<S>& operator=(const TUint16* aString) {
    Copy(aString, TPtrC16(aString).Length(), S);
    return *this;
  }
  inline TBufC16<S>& operator=(const TDesC16& aDes) {
    Copy(aDes.Ptr(), aDes.Length(), S);
    return *this;
  }
  inline TBufC16<S>& operator=(const TBufC16<S>& aBuf) { return *this = static_cast<const TDesC16&>(aBuf); }
  inline TPtr16 Des() { return DoDes(S); }

protected:
  TText16 iBuf[S > 0 ? S : 1];
};

class HBufC16 : public TBufCBase16 {
public:
  IMPORT_C static HBufC16* New(TInt aMaxLength);
  IMPORT_C static HBufC16* NewL(TInt aMaxLength);
  IMPORT_C static HBufC16* NewLC(TInt aMaxLength);
  IMPORT_C static HBufC16* NewMax(TInt aMaxLength);
  IMPORT_C static HBufC16* NewMaxL(TInt aMaxLength);
  IMPORT_C static HBufC16* NewMaxLC(TInt aMaxLength);
  IMPORT_C HBufC16& operator=(const TUint16* aString);
  IMPORT_C HBufC16& operator=(const TDesC16& aDes);
  inline HBufC16& operator=(const HBufC16& aBuf) { return *this = static_cast<const TDesC16&>(aBuf); }
  IMPORT_C HBufC16* ReAlloc(TInt aMaxLength);
  IMPORT_C HBufC16* ReAllocL(TInt aMaxLength);
  IMPORT_C TPtr16 Des();
  // Heap descriptors live in the counted heap; `delete` gives them back to it.
  IMPORT_C static void operator delete(TAny* aPtr);

private:
  explicit HBufC16(TInt aLength) : TBufCBase16(aLength) {}
  HBufC16(const HBufC16&) = delete;
  TInt MaxLength() const;
};

class TBufBase16 : public TDes16 {
protected:
  inline explicit TBufBase16(TInt aMaxLength) : TDes16(EBuf, 0, aMaxLength) {}
  inline TBufBase16(TInt aLength, TInt aMaxLength) : TDes16(EBuf, aLength, aMaxLength) {}
};

template <TInt S>
class TBuf16 : public TBufBase16 {
public:
  inline TBuf16() : TBufBase16(S) {}
  inline explicit TBuf16(TInt aLength) : TBufBase16(S) { SetLength(aLength); }
  inline TBuf16(const TUint16* aString) : TBufBase16(S) { Copy(aString); }
  inline TBuf16(const TDesC16& aDes) : TBufBase16(S) { Copy(aDes); }
  inline TBuf16(const TBuf16<S>& aBuf) : TBufBase16(S) { Copy(aBuf); }
  inline TBuf16<S>& operator=(const TUint16* aString) { Copy(aString); return *this; }
  inline TBuf16<S>& operator=(const TDesC16& aDes) { Copy(aDes); return *this; }
  inline TBuf16<S>& operator=(const TBuf16<S>& aBuf) { Copy(aBuf); return *this; }

protected:
  TText16 iBuf[S > 0 ? S : 1];
};

// A literal: laid out as a constant buffer, built at compile time from a char16_t
// literal, so it needs no run-time initialisation.
template <TInt S>
class TLitC16 : public TDesC16 {
public:
  constexpr TLitC16(const char16_t (&aText)[S]) : TDesC16(EBufC, S - 1), iBuf{} {
    for (TInt i = 0; i < S; ++i) iBuf[i] = static_cast<TText16>(aText[i]);
  }
  inline const TDesC16& operator()() const { return *this; }

  TText16 iBuf[S];
};

// ---- inline definitions that need the complete set ----

inline const TUint16* TDesC16::Ptr() const {
  const TUint8* self = reinterpret_cast<const TUint8*>(this);
  switch (Type()) {
    case EBufC:
      return reinterpret_cast<const TUint16*>(self + sizeof(TDesC16));
    case EPtrC:
      return static_cast<const TPtrC16*>(this)->iPtr;
    case EPtr:
      return static_cast<const TPtr16*>(this)->iPtr;
    case EBuf:
      return reinterpret_cast<const TUint16*>(self + sizeof(TDes16));
    default:
      return reinterpret_cast<const TUint16*>(
          reinterpret_cast<const TUint8*>(static_cast<const TPtr16*>(this)->iPtr) + sizeof(TDesC16));
  }
}

inline const TUint16& TDesC16::operator[](TInt aIndex) const {
  if (static_cast<TUint>(aIndex) >= static_cast<TUint>(Length())) ZHost::DesPanic(ZHost::EDesIndexOutOfRange);
  return Ptr()[aIndex];
}

inline TUint16& TDes16::operator[](TInt aIndex) {
  if (static_cast<TUint>(aIndex) >= static_cast<TUint>(Length())) ZHost::DesPanic(ZHost::EDesIndexOutOfRange);
  return WPtr()[aIndex];
}

inline void TDesC16::DoSetLength(TInt aLength) {
  iLength = (iLength & ~KLengthMask) | static_cast<TUint>(aLength);
  if (Type() == EBufCPtr) {
    TDesC16* owner = reinterpret_cast<TDesC16*>(static_cast<TPtr16*>(this)->iPtr);
    owner->iLength = (owner->iLength & ~KLengthMask) | static_cast<TUint>(aLength);
  }
}

inline TPtrC16::TPtrC16(const TUint16* aBuf, TInt aLength) : TDesC16(EPtrC, aLength), iPtr(aBuf) {
  if (aLength < 0) ZHost::DesPanic(ZHost::EDesBadLength);
}

inline void TPtrC16::Set(const TUint16* aBuf, TInt aLength) {
  if (aLength < 0) ZHost::DesPanic(ZHost::EDesBadLength);
  *this = TPtrC16(aBuf, aLength);
}

inline TPtr16::TPtr16(TUint16* aBuf, TInt aMaxLength) : TDes16(EPtr, 0, aMaxLength), iPtr(aBuf) {
  if (aMaxLength < 0) ZHost::DesPanic(ZHost::EDesBadLength);
}

inline TPtr16::TPtr16(TUint16* aBuf, TInt aLength, TInt aMaxLength)
    : TDes16(EPtr, aLength, aMaxLength), iPtr(aBuf) {
  if (aLength < 0 || aMaxLength < 0 || aLength > aMaxLength) ZHost::DesPanic(ZHost::EDesBadLength);
}

inline TPtr16::TPtr16(TBufCBase16& aBuf, TInt aMaxLength)
    : TDes16(EBufCPtr, aBuf.Length(), aMaxLength), iPtr(reinterpret_cast<TUint16*>(&aBuf)) {}

inline void TPtr16::Set(TUint16* aBuf, TInt aLength, TInt aMaxLength) {
  TPtr16 p(aBuf, aLength, aMaxLength);
  Set(p);
}

static_assert(sizeof(TDesC16) == 4, "the constant buffers' characters follow the length word");

#define _LIT16(name, s) static const TLitC16<sizeof(u"" s) / sizeof(char16_t)> name(u"" s)
#define _L16(s) \
  (TPtrC16([]() -> const TDesC16& { \
    static const TLitC16<sizeof(u"" s) / sizeof(char16_t)> zLit(u"" s); \
    return zLit; \
  }()))

#endif
