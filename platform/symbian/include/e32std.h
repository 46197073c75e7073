// The platform's user library: basic classes, descriptors, leaves, the counted heap,
// lexers, arrays and geometry.
#ifndef E32STD_H
#define E32STD_H

#include <e32def.h>
#include <e32err.h>
#include <cstdarg>
#include <new>

typedef va_list VA_LIST;
#define VA_START(ap, pn) va_start(ap, pn)
#define VA_ARG(ap, type) va_arg(ap, type)
#define VA_END(ap) va_end(ap)

enum TRadix { EBinary = 2, EOctal = 8, EDecimal = 10, EHex = 16 };

const TInt KMaxName = 0x80;
const TInt KMaxFileName = 0x100;
const TInt KMaxPath = 0x100;
const TInt KMaxFullName = 0x100;
const TInt KDefaultRealWidth = 20;
const TInt KRealFormatFixed = 1;
const TInt KRealFormatExponent = 2;
const TInt KRealFormatGeneral = 3;
const TInt KRealFormatNoExponent = 4;
const TInt KRealFormatCalculator = 5;

// A character value with classification and case operations (Latin-1, Latin
// Extended-A, Greek and Cyrillic letters are known; other characters are left alone).
class TChar {
public:
  inline TChar() : iChar(0) {}
  inline TChar(TUint aChar) : iChar(aChar) {}
  inline operator TUint() const { return iChar; }
  inline TChar& operator-=(TUint aChar) { iChar -= aChar; return *this; }
  inline TChar& operator+=(TUint aChar) { iChar += aChar; return *this; }
  inline TChar operator-(TUint aChar) const { return TChar(iChar - aChar); }
  inline TChar operator+(TUint aChar) const { return TChar(iChar + aChar); }
  inline void Fold() { iChar = GetFoldedChar(iChar); }
  inline void LowerCase() { iChar = GetLowerCase(iChar); }
  inline void UpperCase() { iChar = GetUpperCase(iChar); }
  inline TUint GetLowerCase() const { return GetLowerCase(iChar); }
  inline TUint GetUpperCase() const { return GetUpperCase(iChar); }
  inline TBool IsLower() const { return GetUpperCase(iChar) != iChar; }
  inline TBool IsUpper() const { return GetLowerCase(iChar) != iChar; }
  inline TBool IsDigit() const { return iChar >= '0' && iChar <= '9'; }
  inline TBool IsHexDigit() const {
    return IsDigit() || (iChar >= 'a' && iChar <= 'f') || (iChar >= 'A' && iChar <= 'F');
  }
  IMPORT_C TBool IsSpace() const;
  IMPORT_C TBool IsAlpha() const;
  inline TBool IsAlphaDigit() const { return IsAlpha() || IsDigit(); }
  IMPORT_C TBool IsPunctuation() const;
  inline TBool IsControl() const { return iChar < 0x20 || (iChar >= 0x7f && iChar < 0xa0); }
  inline TBool IsPrint() const { return !IsControl(); }
  inline TBool IsGraph() const { return !IsControl() && !IsSpace(); }
  IMPORT_C static TUint GetFoldedChar(TUint aChar);
  IMPORT_C static TUint GetLowerCase(TUint aChar);
  IMPORT_C static TUint GetUpperCase(TUint aChar);

protected:
  TUint iChar;
};

class TRealFormat {
public:
  inline TRealFormat()
      : iType(KRealFormatGeneral), iWidth(KDefaultRealWidth), iPlaces(0), iPoint('.'), iTriad(','), iTriLen(0) {}
  inline explicit TRealFormat(TInt aWidth)
      : iType(KRealFormatGeneral), iWidth(aWidth), iPlaces(0), iPoint('.'), iTriad(','), iTriLen(0) {}
  inline TRealFormat(TInt aWidth, TInt aDecimalPlaces)
      : iType(KRealFormatFixed), iWidth(aWidth), iPlaces(aDecimalPlaces), iPoint('.'), iTriad(','), iTriLen(0) {}
  TInt iType;
  TInt iWidth;
  TInt iPlaces;
  TChar iPoint;
  TChar iTriad;
  TInt iTriLen;
};

// Passes a reference where a variable argument list needs a value before the "...".
template <class T>
class TRefByValue {
public:
  inline TRefByValue(T& aRef) : iRef(aRef) {}
  inline operator T&() { return iRef; }

private:
  T& iRef;
};

namespace ZHost {
// Reasons of the descriptor panics (category "USER", as on the device).
enum TDesPanic {
  EDesIndexOutOfRange = 9,
  EDesPosOutOfRange = 10,
  EDesOverflow = 11,
  EDesBadLength = 12,
  EDesBadFormat = 13
};
[[noreturn]] IMPORT_C void DesPanic(TDesPanic aReason);
}  // namespace ZHost

#include <e32des8.h>
#include <e32des16.h>

typedef TDesC16 TDesC;
typedef TPtrC16 TPtrC;
typedef TDes16 TDes;
typedef TPtr16 TPtr;
typedef HBufC16 HBufC;
typedef TBufCBase16 TBufCBase;
typedef TBufBase16 TBufBase;
template <TInt S>
using TBuf = TBuf16<S>;
template <TInt S>
using TBufC = TBufC16<S>;
template <TInt S>
using TLitC = TLitC16<S>;

_LIT16(KNullDesC16, "");
_LIT8(KNullDesC8, "");
_LIT16(KNullDesC, "");

#define _LIT(name, s) _LIT16(name, s)
#define _L(s) _L16(s)
#define _S(s) _L16(s)
#define _S8(s) _L8(s)

typedef TBuf<KMaxName> TName;
typedef TBuf<KMaxFileName> TFileName;
typedef TBuf<KMaxFullName> TFullName;
typedef TBuf<KMaxPath> TPath;
typedef TBuf<0x40> TKeyName;

// ---- leaves ----

// `new (ELeave) T` leaves with KErrNoMemory instead of returning null.
enum TLeave { ELeave };

// The exception that carries a leave to the nearest trap.
class IMPORT_C XLeaveException {
public:
  inline explicit XLeaveException(TInt aReason) : iReason(aReason) {}
  inline TInt Reason() const { return iReason; }
  inline TInt GetReason() const { return iReason; }

private:
  TInt iReason;
};

class TTimeIntervalMicroSeconds32;
class TRequestStatus;
class TTime;

class User {
public:
  [[noreturn]] IMPORT_C static void Leave(TInt aReason);
  [[noreturn]] IMPORT_C static void LeaveNoMemory();
  IMPORT_C static TInt LeaveIfError(TInt aReason);
  IMPORT_C static TAny* LeaveIfNull(TAny* aPtr);
  [[noreturn]] IMPORT_C static void Panic(const TDesC& aCategory, TInt aReason);
  [[noreturn]] IMPORT_C static void Invariant();
  IMPORT_C static void InfoPrint(const TDesC& aDes);

  // The counted heap.
  IMPORT_C static TAny* Alloc(TInt aSize);
  IMPORT_C static TAny* AllocL(TInt aSize);
  IMPORT_C static TAny* AllocLC(TInt aSize);
  IMPORT_C static TAny* AllocZ(TInt aSize);
  IMPORT_C static TAny* AllocZL(TInt aSize);
  IMPORT_C static TAny* ReAlloc(TAny* aCell, TInt aSize, TInt aMode = 0);
  IMPORT_C static TAny* ReAllocL(TAny* aCell, TInt aSize, TInt aMode = 0);
  IMPORT_C static void Free(TAny* aCell);
  IMPORT_C static void FreeZ(TAny*& aCell);
  IMPORT_C static TInt AllocLen(const TAny* aCell);
  IMPORT_C static TInt CountAllocCells();
  IMPORT_C static void CompressAllHeaps();
  IMPORT_C static TInt StringLength(const TUint8* aString);
  IMPORT_C static TInt StringLength(const TUint16* aString);

  IMPORT_C static void ResetInactivityTime();

  // Time and request completion (implemented with the scheduler and the clock).
  IMPORT_C static void After(TTimeIntervalMicroSeconds32 aInterval);
  IMPORT_C static TInt At(const TTime& aTime);
  IMPORT_C static void WaitForRequest(TRequestStatus& aStatus);
  IMPORT_C static void WaitForRequest(TRequestStatus& aStatus1, TRequestStatus& aStatus2);
  IMPORT_C static void WaitForAnyRequest();
  IMPORT_C static void RequestComplete(TRequestStatus*& aStatus, TInt aReason);
  IMPORT_C static TUint TickCount();
  IMPORT_C static TUint32 NTickCount();
};

// Allocation through the counted heap that leaves on failure. The memory of a
// non-CBase object comes from the C++ free store, so `delete` matches it; only the
// failure switch is applied to it (it is not counted as a live cell).
IMPORT_C TAny* operator new(std::size_t aSize, TLeave);
IMPORT_C TAny* operator new[](std::size_t aSize, TLeave);
inline void operator delete(TAny* aPtr, TLeave) noexcept { ::operator delete(aPtr); }
inline void operator delete[](TAny* aPtr, TLeave) noexcept { ::operator delete[](aPtr); }

// ---- traps ----

namespace ZHost {
IMPORT_C TInt CleanupLevel();
IMPORT_C void CleanupUnwind(TInt aLevel);
IMPORT_C void TrapCheckBalanced(TInt aLevel);
}  // namespace ZHost

// Runs the statement; a leave inside it unwinds the cleanup stack to the level it had
// when the trap was entered and puts the leave code into r (KErrNone if none).
// A memory exception of the C++ library is treated as a leave with KErrNoMemory.
#define TRAP(_r, _s)                                   \
  {                                                    \
    const TInt zTrapLevel = ZHost::CleanupLevel();     \
    _r = KErrNone;                                     \
    try {                                              \
      _s;                                              \
      ZHost::TrapCheckBalanced(zTrapLevel);            \
    } catch (const XLeaveException& zLeave) {          \
      ZHost::CleanupUnwind(zTrapLevel);                \
      _r = zLeave.Reason();                            \
    } catch (const std::bad_alloc&) {                  \
      ZHost::CleanupUnwind(zTrapLevel);                \
      _r = KErrNoMemory;                               \
    }                                                  \
  }
#define TRAPD(_r, _s) \
  TInt _r;            \
  TRAP(_r, _s)
#define TRAP_IGNORE(_s)      \
  {                          \
    TInt zIgnored;           \
    TRAP(zIgnored, _s);      \
    (void)zIgnored;          \
  }

// ---- the allocation-failure switch ----

class RAllocator {
public:
  enum TAllocFail {
    ERandom,
    ETrueRandom,
    EDeterministic,
    ENone,
    EFailNext,
    EReset,
    EBurstRandom,
    EBurstTrueRandom,
    EBurstDeterministic,
    EBurstFailNext,
    ECheckFailure
  };
};
class RHeap : public RAllocator {};

namespace ZHost {
IMPORT_C void HeapMark();
IMPORT_C TUint32 HeapMarkEnd(TInt aExpected = 0);
IMPORT_C void HeapSetFail(RAllocator::TAllocFail aType, TInt aRate);
IMPORT_C void HeapReset();
IMPORT_C TInt HeapCheck(TInt aCount);
}  // namespace ZHost

#define __UHEAP_MARK ZHost::HeapMark()
#define __UHEAP_MARKEND ZHost::HeapMarkEnd(0)
#define __UHEAP_MARKENDC(aCount) ZHost::HeapMarkEnd(aCount)
#define __UHEAP_CHECK(aCount) ZHost::HeapCheck(aCount)
#define __UHEAP_SETFAIL(aType, aRate) ZHost::HeapSetFail(aType, aRate)
#define __UHEAP_FAILNEXT(aCount) ZHost::HeapSetFail(RAllocator::EFailNext, aCount)
#define __UHEAP_RESET ZHost::HeapReset()
#define __UHEAP_TOTAL_RESET ZHost::HeapReset()

// ---- memory ----

class Mem {
public:
  IMPORT_C static TUint8* Copy(TAny* aTrg, const TAny* aSrc, TInt aLength);
  IMPORT_C static TUint8* Move(TAny* aTrg, const TAny* aSrc, TInt aLength);
  IMPORT_C static void Fill(TAny* aTrg, TInt aLength, TChar aChar);
  IMPORT_C static void FillZ(TAny* aTrg, TInt aLength);
  IMPORT_C static TInt Compare(const TUint8* aLeft, TInt aLeftL, const TUint8* aRight, TInt aRightL);
  IMPORT_C static TInt Compare(const TUint16* aLeft, TInt aLeftL, const TUint16* aRight, TInt aRightL);
  IMPORT_C static TInt CompareF(const TUint8* aLeft, TInt aLeftL, const TUint8* aRight, TInt aRightL);
  IMPORT_C static TInt CompareF(const TUint16* aLeft, TInt aLeftL, const TUint16* aRight, TInt aRightL);
  IMPORT_C static void Swap(TAny* aPtr1, TAny* aPtr2, TInt aLength);
};

// ---- handles (the resources that other parts of the library hold) ----

class RHandleBase {
public:
  inline RHandleBase() : iHandle(0) {}
  inline TInt Handle() const { return iHandle; }
  inline void SetHandle(TInt aHandle) { iHandle = aHandle; }
  IMPORT_C void Close();

protected:
  inline explicit RHandleBase(TInt aHandle) : iHandle(aHandle) {}
  TInt iHandle;
};

class RSessionBase : public RHandleBase {};

#include <zhost/userlib.h>
#include <e32geom.h>
#include <e32lex.h>
#include <e32arr.h>
#if __has_include(<zhost/e32time.h>)
#include <zhost/e32time.h>
#endif

#endif
