// 8-bit descriptors. Included through e32std.h.
#include <e32std.h>

#ifndef E32DES8_H
#define E32DES8_H

class TDesC16;
class TPtrC8;
class TPtr8;
class HBufC8;
class TBufCBase8;

// A descriptor keeps its length in the low 28 bits and its kind in the top 4 bits of
// one word; the kind tells where the characters are. No virtual functions, so a
// descriptor's layout does not depend on where it lives and it may be copied bytewise.
class TDesC8 {
public:
  enum TPrefix { EIsPrefix, EMightBePrefix, EIsNotPrefix };

  inline TBool operator<(const TDesC8& aDes) const { return Compare(aDes) < 0; }
  inline TBool operator<=(const TDesC8& aDes) const { return Compare(aDes) <= 0; }
  inline TBool operator>(const TDesC8& aDes) const { return Compare(aDes) > 0; }
  inline TBool operator>=(const TDesC8& aDes) const { return Compare(aDes) >= 0; }
  IMPORT_C TBool operator==(const TDesC8& aDes) const;
  inline TBool operator!=(const TDesC8& aDes) const { return !(*this == aDes); }
  inline const TUint8& operator[](TInt aIndex) const;
  inline TInt Length() const { return static_cast<TInt>(iLength & KLengthMask); }
  inline TInt Size() const { return Length(); }
  inline const TUint8* Ptr() const;

  IMPORT_C TInt Compare(const TDesC8& aDes) const;
  IMPORT_C TInt CompareF(const TDesC8& aDes) const;
  IMPORT_C TInt CompareC(const TDesC8& aDes) const;
  IMPORT_C TInt Match(const TDesC8& aDes) const;
  IMPORT_C TInt MatchF(const TDesC8& aDes) const;
  IMPORT_C TInt MatchC(const TDesC8& aDes) const;
  IMPORT_C TInt Locate(TChar aChar) const;
  IMPORT_C TInt LocateReverse(TChar aChar) const;
  IMPORT_C TInt LocateF(TChar aChar) const;
  IMPORT_C TInt LocateReverseF(TChar aChar) const;
  IMPORT_C TInt Find(const TDesC8& aDes) const;
  IMPORT_C TInt Find(const TUint8* aString, TInt aLength) const;
  IMPORT_C TInt FindF(const TDesC8& aDes) const;
  IMPORT_C TInt FindF(const TUint8* aString, TInt aLength) const;
  IMPORT_C TInt FindC(const TDesC8& aDes) const;
  IMPORT_C TPtrC8 Left(TInt aLength) const;
  IMPORT_C TPtrC8 Right(TInt aLength) const;
  IMPORT_C TPtrC8 Mid(TInt aPos) const;
  IMPORT_C TPtrC8 Mid(TInt aPos, TInt aLength) const;
  IMPORT_C HBufC8* Alloc() const;
  IMPORT_C HBufC8* AllocL() const;
  IMPORT_C HBufC8* AllocLC() const;

protected:
  enum TDesType { EBufC = 0, EPtrC = 1, EPtr = 2, EBuf = 3, EBufCPtr = 4 };
  static const TUint KLengthMask = 0x0fffffffu;
  TDesC8() = default;
  constexpr TDesC8(TInt aType, TInt aLength)
      : iLength((static_cast<TUint>(aType) << 28) | static_cast<TUint>(aLength)) {}
  inline TInt Type() const { return static_cast<TInt>(iLength >> 28); }
  inline void DoSetLength(TInt aLength);

private:
  TUint iLength;
  friend class TDes8;
  friend class TPtr8;
  friend class HBufC8;
};

class TPtrC8 : public TDesC8 {
public:
  inline TPtrC8() : TDesC8(EPtrC, 0), iPtr(nullptr) {}
  inline TPtrC8(const TDesC8& aDes) : TDesC8(EPtrC, aDes.Length()), iPtr(aDes.Ptr()) {}
  IMPORT_C TPtrC8(const TUint8* aString);
  inline TPtrC8(const TUint8* aBuf, TInt aLength);
  inline void Set(const TUint8* aBuf, TInt aLength);
  inline void Set(const TDesC8& aDes) { Set(aDes.Ptr(), aDes.Length()); }
  inline void Set(const TPtrC8& aPtr) { Set(aPtr.iPtr, aPtr.Length()); }

private:
  const TUint8* iPtr;
  friend class TDesC8;
};

class TDes8 : public TDesC8 {
public:
  inline TDes8& operator=(const TUint8* aString) { Copy(aString); return *this; }
  inline TDes8& operator=(const TDesC8& aDes) { Copy(aDes); return *this; }
  inline TDes8& operator=(const TDes8& aDes) { Copy(aDes); return *this; }
  inline TInt MaxLength() const { return iMaxLength; }
  inline TInt MaxSize() const { return iMaxLength; }
  inline const TUint8& operator[](TInt aIndex) const { return TDesC8::operator[](aIndex); }
  inline TUint8& operator[](TInt aIndex);
  inline TDes8& operator+=(const TDesC8& aDes) { Append(aDes); return *this; }

  IMPORT_C void Zero();
  IMPORT_C void SetLength(TInt aLength);
  IMPORT_C void SetMax();
  IMPORT_C void Copy(const TDesC16& aDes);
  IMPORT_C void Copy(const TDesC8& aDes);
  IMPORT_C void Copy(const TUint8* aBuf, TInt aLength);
  IMPORT_C void Copy(const TUint8* aString);
  IMPORT_C void Append(TChar aChar);
  IMPORT_C void Append(const TDesC8& aDes);
  IMPORT_C void Append(const TUint8* aBuf, TInt aLength);
  IMPORT_C void Fill(TChar aChar);
  IMPORT_C void Fill(TChar aChar, TInt aLength);
  IMPORT_C void FillZ();
  IMPORT_C void FillZ(TInt aLength);
  IMPORT_C void AppendFill(TChar aChar, TInt aLength);
  IMPORT_C void Swap(TDes8& aDes);
  IMPORT_C void Insert(TInt aPos, const TDesC8& aDes);
  IMPORT_C void Delete(TInt aPos, TInt aLength);
  IMPORT_C void Replace(TInt aPos, TInt aLength, const TDesC8& aDes);
  IMPORT_C void Trim();
  IMPORT_C void TrimLeft();
  IMPORT_C void TrimRight();
  IMPORT_C void TrimAll();
  IMPORT_C void LowerCase();
  IMPORT_C void UpperCase();
  IMPORT_C void Fold();
  IMPORT_C void Capitalize();
  IMPORT_C void Repeat(const TDesC8& aDes);
  IMPORT_C const TUint8* PtrZ();
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
  IMPORT_C void Format(TRefByValue<const TDesC8> aFormat, ...);
  IMPORT_C void AppendFormat(TRefByValue<const TDesC8> aFormat, ...);
  IMPORT_C void AppendFormatList(const TDesC8& aFormat, VA_LIST aList);

protected:
  // Copying views the same data (as the pointer descriptors do when passed by value);
  // assignment copies the contents.
  TDes8(const TDes8&) = default;
  TDes8() = default;
  inline TDes8(TInt aType, TInt aLength, TInt aMaxLength)
      : TDesC8(aType, aLength), iMaxLength(aMaxLength) {}
  inline TUint8* WPtr() const { return const_cast<TUint8*>(Ptr()); }
  void AppendAscii(const char* aText, TInt aLength);
  void AppendFixed(TUint aVal, TRadix aRadix, TInt aWidth, TBool aUpper);
  TInt iMaxLength;
};

class TPtr8 : public TDes8 {
public:
  inline TPtr8(TUint8* aBuf, TInt aMaxLength);
  inline TPtr8(TUint8* aBuf, TInt aLength, TInt aMaxLength);
  TPtr8(const TPtr8& aPtr) = default;
  inline TPtr8& operator=(const TUint8* aString) { Copy(aString); return *this; }
  inline TPtr8& operator=(const TDesC8& aDes) { Copy(aDes); return *this; }
  inline TPtr8& operator=(const TPtr8& aPtr) { Copy(aPtr); return *this; }
  inline void Set(TUint8* aBuf, TInt aLength, TInt aMaxLength);
  inline void Set(const TPtr8& aPtr) {
    iLength = aPtr.iLength;
    iMaxLength = aPtr.iMaxLength;
    iPtr = aPtr.iPtr;
  }

private:
  inline TPtr8(TBufCBase8& aBuf, TInt aMaxLength);
  TUint8* iPtr;
  friend class TDesC8;
  friend class TBufCBase8;
};

// Base of the constant buffers: the characters follow the length word directly.
class TBufCBase8 : public TDesC8 {
protected:
  constexpr TBufCBase8() : TDesC8(EBufC, 0) {}
  constexpr explicit TBufCBase8(TInt aLength) : TDesC8(EBufC, aLength) {}
  IMPORT_C void Copy(const TUint8* aBuf, TInt aLength, TInt aMaxLength);
  inline TPtr8 DoDes(TInt aMaxLength) { return TPtr8(*this, aMaxLength); }
  inline TUint8* Data() {
    return reinterpret_cast<TUint8*>(reinterpret_cast<TUint8*>(this) + sizeof(TDesC8));
  }
  friend class TDesC8;
  friend class TDes8;
};

template <TInt S>
class TBufC8 : public TBufCBase8 {
public:
  inline TBufC8() : TBufCBase8() {}
  inline TBufC8(const TUint8* aString) { *this = aString; }
  inline TBufC8(const TDesC8& aDes) { Copy(aDes.Ptr(), aDes.Length(), S); }
  inline TBufC8(const TBufC8<S>& aBuf) : TBufCBase8() { Copy(aBuf.Ptr(), aBuf.Length(), S); }
  inline TBufC8<S>& operator=(const TUint8* aString) {
    Copy(aString, TPtrC8(aString).Length(), S);
    return *this;
  }
  inline TBufC8<S>& operator=(const TDesC8& aDes) {
    Copy(aDes.Ptr(), aDes.Length(), S);
    return *this;
  }
  inline TBufC8<S>& operator=(const TBufC8<S>& aBuf) { return *this = static_cast<const TDesC8&>(aBuf); }
  inline TPtr8 Des() { return DoDes(S); }

protected:
  TText8 iBuf[S > 0 ? S : 1];
};

class HBufC8 : public TBufCBase8 {
public:
  IMPORT_C static HBufC8* New(TInt aMaxLength);
  IMPORT_C static HBufC8* NewL(TInt aMaxLength);
  IMPORT_C static HBufC8* NewLC(TInt aMaxLength);
  IMPORT_C static HBufC8* NewMax(TInt aMaxLength);
  IMPORT_C static HBufC8* NewMaxL(TInt aMaxLength);
  IMPORT_C static HBufC8* NewMaxLC(TInt aMaxLength);
  IMPORT_C HBufC8& operator=(const TUint8* aString);
  IMPORT_C HBufC8& operator=(const TDesC8& aDes);
  inline HBufC8& operator=(const HBufC8& aBuf) { return *this = static_cast<const TDesC8&>(aBuf); }
  IMPORT_C HBufC8* ReAlloc(TInt aMaxLength);
  IMPORT_C HBufC8* ReAllocL(TInt aMaxLength);
  IMPORT_C TPtr8 Des();
  // Heap descriptors live in the counted heap; `delete` gives them back to it.
  IMPORT_C static void operator delete(TAny* aPtr);

private:
  explicit HBufC8(TInt aLength) : TBufCBase8(aLength) {}
  HBufC8(const HBufC8&) = delete;
  TInt MaxLength() const;
};

class TBufBase8 : public TDes8 {
protected:
  inline explicit TBufBase8(TInt aMaxLength) : TDes8(EBuf, 0, aMaxLength) {}
  inline TBufBase8(TInt aLength, TInt aMaxLength) : TDes8(EBuf, aLength, aMaxLength) {}
};

template <TInt S>
class TBuf8 : public TBufBase8 {
public:
  inline TBuf8() : TBufBase8(S) {}
  inline explicit TBuf8(TInt aLength) : TBufBase8(S) { SetLength(aLength); }
  inline TBuf8(const TUint8* aString) : TBufBase8(S) { Copy(aString); }
  inline TBuf8(const TDesC8& aDes) : TBufBase8(S) { Copy(aDes); }
  inline TBuf8(const TBuf8<S>& aBuf) : TBufBase8(S) { Copy(aBuf); }
  inline TBuf8<S>& operator=(const TUint8* aString) { Copy(aString); return *this; }
  inline TBuf8<S>& operator=(const TDesC8& aDes) { Copy(aDes); return *this; }
  inline TBuf8<S>& operator=(const TBuf8<S>& aBuf) { Copy(aBuf); return *this; }

protected:
  TText8 iBuf[S > 0 ? S : 1];
};

// A literal: laid out as a constant buffer, built at compile time from a string
// literal, so it needs no run-time initialisation.
template <TInt S>
class TLitC8 : public TDesC8 {
public:
  constexpr TLitC8(const char (&aText)[S]) : TDesC8(EBufC, S - 1), iBuf{} {
    for (TInt i = 0; i < S; ++i) iBuf[i] = static_cast<TText8>(aText[i]);
  }
  inline const TDesC8& operator()() const { return *this; }

  TText8 iBuf[S];
};

// ---- inline definitions that need the complete set ----

inline const TUint8* TDesC8::Ptr() const {
  const TUint8* self = reinterpret_cast<const TUint8*>(this);
  switch (Type()) {
    case EBufC:
      return reinterpret_cast<const TUint8*>(self + sizeof(TDesC8));
    case EPtrC:
      return static_cast<const TPtrC8*>(this)->iPtr;
    case EPtr:
      return static_cast<const TPtr8*>(this)->iPtr;
    case EBuf:
      return reinterpret_cast<const TUint8*>(self + sizeof(TDes8));
    default:
      return reinterpret_cast<const TUint8*>(
          reinterpret_cast<const TUint8*>(static_cast<const TPtr8*>(this)->iPtr) + sizeof(TDesC8));
  }
}

inline const TUint8& TDesC8::operator[](TInt aIndex) const {
  if (static_cast<TUint>(aIndex) >= static_cast<TUint>(Length())) ZHost::DesPanic(ZHost::EDesIndexOutOfRange);
  return Ptr()[aIndex];
}

inline TUint8& TDes8::operator[](TInt aIndex) {
  if (static_cast<TUint>(aIndex) >= static_cast<TUint>(Length())) ZHost::DesPanic(ZHost::EDesIndexOutOfRange);
  return WPtr()[aIndex];
}

inline void TDesC8::DoSetLength(TInt aLength) {
  iLength = (iLength & ~KLengthMask) | static_cast<TUint>(aLength);
  if (Type() == EBufCPtr) {
    TDesC8* owner = reinterpret_cast<TDesC8*>(static_cast<TPtr8*>(this)->iPtr);
    owner->iLength = (owner->iLength & ~KLengthMask) | static_cast<TUint>(aLength);
  }
}

inline TPtrC8::TPtrC8(const TUint8* aBuf, TInt aLength) : TDesC8(EPtrC, aLength), iPtr(aBuf) {
  if (aLength < 0) ZHost::DesPanic(ZHost::EDesBadLength);
}

inline void TPtrC8::Set(const TUint8* aBuf, TInt aLength) {
  if (aLength < 0) ZHost::DesPanic(ZHost::EDesBadLength);
  *this = TPtrC8(aBuf, aLength);
}

inline TPtr8::TPtr8(TUint8* aBuf, TInt aMaxLength) : TDes8(EPtr, 0, aMaxLength), iPtr(aBuf) {
  if (aMaxLength < 0) ZHost::DesPanic(ZHost::EDesBadLength);
}

inline TPtr8::TPtr8(TUint8* aBuf, TInt aLength, TInt aMaxLength)
    : TDes8(EPtr, aLength, aMaxLength), iPtr(aBuf) {
  if (aLength < 0 || aMaxLength < 0 || aLength > aMaxLength) ZHost::DesPanic(ZHost::EDesBadLength);
}

inline TPtr8::TPtr8(TBufCBase8& aBuf, TInt aMaxLength)
    : TDes8(EBufCPtr, aBuf.Length(), aMaxLength), iPtr(reinterpret_cast<TUint8*>(&aBuf)) {}

inline void TPtr8::Set(TUint8* aBuf, TInt aLength, TInt aMaxLength) {
  TPtr8 p(aBuf, aLength, aMaxLength);
  Set(p);
}

static_assert(sizeof(TDesC8) == 4, "the constant buffers' characters follow the length word");

#define _LIT8(name, s) static const TLitC8<sizeof(s)> name(s)
#define _L8(s) \
  (TPtrC8([]() -> const TDesC8& { \
    static const TLitC8<sizeof(s)> zLit(s); \
    return zLit; \
  }()))

#endif
