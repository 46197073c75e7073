// Lexical analysis of 16-bit text. Included through e32std.h.
#include <e32std.h>

#ifndef E32LEX16_H
#define E32LEX16_H

class TLexMark16 {
public:
  inline TLexMark16() : iPtr(nullptr) {}

private:
  const TUint16* iPtr;
  friend class TLex16;
};

// A position in a string with a mark behind it. The numeric conversions read from
// the current position, do not skip white space, and leave the position unchanged
// when they fail.
class TLex16 {
public:
  IMPORT_C TLex16();
  IMPORT_C TLex16(const TUint16* aString);
  IMPORT_C TLex16(const TDesC16& aDes);
  inline TLex16& operator=(const TUint16* aString) { Assign(aString); return *this; }
  inline TLex16& operator=(const TDesC16& aDes) { Assign(aDes); return *this; }
  IMPORT_C void Assign(const TLex16& aLex);
  IMPORT_C void Assign(const TUint16* aString);
  IMPORT_C void Assign(const TDesC16& aDes);

  inline TBool Eos() const { return iNext == iEnd; }
  inline void Mark() { iMark.iPtr = iNext; }
  inline void Mark(TLexMark16& aMark) const { aMark.iPtr = iNext; }
  IMPORT_C void Inc();
  IMPORT_C void Inc(TInt aNumber);
  inline TChar Get() { return iNext < iEnd ? TChar(*iNext++) : TChar(0); }
  inline TChar Peek() const { return iNext < iEnd ? TChar(*iNext) : TChar(0); }
  IMPORT_C void UnGet();
  inline void UnGetToMark() { UnGetToMark(iMark); }
  IMPORT_C void UnGetToMark(const TLexMark16 aMark);
  IMPORT_C void SkipSpace();
  inline void SkipAndMark(TInt aNumber) { SkipAndMark(aNumber, iMark); }
  IMPORT_C void SkipAndMark(TInt aNumber, TLexMark16& aMark);
  inline void SkipSpaceAndMark() { SkipSpaceAndMark(iMark); }
  IMPORT_C void SkipSpaceAndMark(TLexMark16& aMark);
  IMPORT_C void SkipCharacters();
  inline TInt TokenLength() const { return TokenLength(iMark); }
  IMPORT_C TInt TokenLength(const TLexMark16 aMark) const;
  inline TPtrC16 MarkedToken() const { return MarkedToken(iMark); }
  IMPORT_C TPtrC16 MarkedToken(const TLexMark16 aMark) const;
  IMPORT_C TPtrC16 NextToken();
  IMPORT_C TPtrC16 Remainder() const;
  inline TPtrC16 RemainderFromMark() const { return RemainderFromMark(iMark); }
  IMPORT_C TPtrC16 RemainderFromMark(const TLexMark16 aMark) const;
  inline TInt Offset() const { return static_cast<TInt>(iNext - iBuf); }
  inline TInt MarkedOffset() const { return MarkedOffset(iMark); }
  IMPORT_C TInt MarkedOffset(const TLexMark16 aMark) const;

  IMPORT_C TInt Val(TInt8& aVal);
  IMPORT_C TInt Val(TInt16& aVal);
  IMPORT_C TInt Val(TInt32& aVal);
  IMPORT_C TInt Val(TInt64& aVal);
  // Signed value in a radix; in a radix other than decimal the digits may give any
  // 32-bit pattern (e.g. FFFFFFFF is -1).
  IMPORT_C TInt Val(TInt32& aVal, TRadix aRadix);
  IMPORT_C TInt Val(TUint8& aVal, TRadix aRadix = EDecimal);
  IMPORT_C TInt Val(TUint16& aVal, TRadix aRadix = EDecimal);
  IMPORT_C TInt Val(TUint32& aVal, TRadix aRadix = EDecimal);
  IMPORT_C TInt Val(TInt64& aVal, TRadix aRadix);
  IMPORT_C TInt Val(TReal32& aVal);
  IMPORT_C TInt Val(TReal32& aVal, TChar aPoint);
  IMPORT_C TInt Val(TReal64& aVal);
  IMPORT_C TInt Val(TReal64& aVal, TChar aPoint);
  IMPORT_C TInt BoundedVal(TInt32& aVal, TInt aLimit);
  IMPORT_C TInt BoundedVal(TUint32& aVal, TRadix aRadix, TUint aLimit);

private:
  const TUint16* iNext;
  const TUint16* iBuf;
  const TUint16* iEnd;
  TLexMark16 iMark;
};

#endif
