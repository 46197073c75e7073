// The counted heap with its failure switch, leaves, panics, CBase and the cleanup stack.
#include <e32base.h>
#include <zhost/userlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "e32_internal.h"

namespace {

// Every cell of the counted heap starts with this header, so the heap knows the cell's
// size (User::AllocLen, HBufC's capacity) and can tell its own cells from others.
struct SCellHeader {
  TUint32 iMagic;
  TInt iSize;
  TUint64 iPad;  // keeps the payload 16-byte aligned
};
const TUint32 KCellMagic = 0x5a43454cu;
const TUint32 KFreedMagic = 0xdeadce11u;
const TInt KMaxCellSize = 0x7fffffff - static_cast<TInt>(sizeof(SCellHeader));

struct SHeapState {
  // Counters may be touched from other threads (an audio callback, say); the failure
  // switch and the marks are for the test's own thread.
  std::atomic<TInt> iCells{0};
  std::atomic<TInt> iFailed{0};
  std::atomic<TInt> iAttempts{0};
  RAllocator::TAllocFail iFailType = RAllocator::ENone;
  TInt iFailRate = 0;
  TInt iFailCounter = 0;
  TUint32 iRandom = 0x2545f491u;
  TInt iMarks[64];
  TInt iMarkDepth = 0;
  TInt iInactivityResets = 0;
  TInt iCompressions = 0;
  ZHost::TPanicHandler iPanicHandler = nullptr;
};

SHeapState& Heap() {
  static SHeapState state;
  return state;
}

inline SCellHeader* HeaderOf(const TAny* aCell) {
  SCellHeader* h = reinterpret_cast<SCellHeader*>(const_cast<TUint8*>(static_cast<const TUint8*>(aCell)) -
                                                  sizeof(SCellHeader));
  if (h->iMagic != KCellMagic) ZE32::Panic("USER", 42);  // not a cell of this heap
  return h;
}

TAny* RawAlloc(TInt aSize) {
  if (aSize < 0 || aSize > KMaxCellSize) ZE32::Panic("USER", 47);
  if (ZE32::AllocShouldFail()) return nullptr;
  SCellHeader* h = static_cast<SCellHeader*>(std::malloc(sizeof(SCellHeader) + static_cast<std::size_t>(aSize)));
  if (!h) return nullptr;
  h->iMagic = KCellMagic;
  h->iSize = aSize;
  h->iPad = 0;
  ++Heap().iCells;
  return h + 1;
}

}  // namespace

// ---- failure switch ----

bool ZE32::AllocShouldFail() {
  SHeapState& s = Heap();
  ++s.iAttempts;
  bool fail = false;
  switch (s.iFailType) {
    case RAllocator::EDeterministic:
    case RAllocator::EBurstDeterministic:
      if (s.iFailRate > 0 && ++s.iFailCounter >= s.iFailRate) {
        s.iFailCounter = 0;
        fail = true;
      }
      break;
    case RAllocator::EFailNext:
    case RAllocator::EBurstFailNext:
      if (++s.iFailCounter >= s.iFailRate) {
        s.iFailType = RAllocator::ENone;
        s.iFailCounter = 0;
        fail = true;
      }
      break;
    case RAllocator::ERandom:
    case RAllocator::ETrueRandom:
    case RAllocator::EBurstRandom:
    case RAllocator::EBurstTrueRandom:
      if (s.iFailRate > 0) {
        s.iRandom ^= s.iRandom << 13;
        s.iRandom ^= s.iRandom >> 17;
        s.iRandom ^= s.iRandom << 5;
        fail = (s.iRandom % static_cast<TUint32>(s.iFailRate)) == 0;
      }
      break;
    default:
      break;
  }
  if (fail) ++s.iFailed;
  return fail;
}

EXPORT_C void ZHost::HeapSetFail(RAllocator::TAllocFail aType, TInt aRate) {
  SHeapState& s = Heap();
  s.iFailCounter = 0;
  if (aType == RAllocator::EReset || aType == RAllocator::ENone) {
    s.iFailType = RAllocator::ENone;
    s.iFailRate = 0;
    return;
  }
  s.iFailType = aType;
  s.iFailRate = aRate < 1 ? 1 : aRate;
  if (aType == RAllocator::ETrueRandom || aType == RAllocator::EBurstTrueRandom)
    s.iRandom = static_cast<TUint32>(std::random_device{}()) | 1u;
  else if (aType == RAllocator::ERandom || aType == RAllocator::EBurstRandom)
    s.iRandom = 0x2545f491u;
}

EXPORT_C void ZHost::HeapReset() { HeapSetFail(RAllocator::ENone, 0); }

EXPORT_C void ZHost::HeapMark() {
  SHeapState& s = Heap();
  if (s.iMarkDepth >= static_cast<TInt>(sizeof(s.iMarks) / sizeof(s.iMarks[0]))) ZE32::Panic("USER", 46);
  s.iMarks[s.iMarkDepth++] = s.iCells.load();
}

EXPORT_C TUint32 ZHost::HeapMarkEnd(TInt aExpected) {
  SHeapState& s = Heap();
  if (s.iMarkDepth == 0) ZE32::Panic("USER", 46);
  const TInt mark = s.iMarks[--s.iMarkDepth];
  const TInt cells = s.iCells.load();
  const TInt leaked = cells - mark - aExpected;
  if (leaked != 0) {
    std::fprintf(stderr, "ALLOC: %d cell(s) leaked (%d live at the mark, %d now, %d expected)\n", leaked, mark,
                 cells, aExpected);
    ZE32::Panic("ALLOC", leaked);
  }
  return 0;
}

EXPORT_C TInt ZHost::HeapCheck(TInt aCount) {
  SHeapState& s = Heap();
  const TInt base = s.iMarkDepth ? s.iMarks[s.iMarkDepth - 1] : 0;
  const TInt above = s.iCells.load() - base;
  if (above != aCount) {
    std::fprintf(stderr, "ALLOC: %d cell(s) above the mark, %d expected\n", above, aCount);
    ZE32::Panic("ALLOC", above - aCount);
  }
  return aCount;
}

EXPORT_C TInt ZHost::AllocCells() { return Heap().iCells; }
EXPORT_C TInt ZHost::FailedAllocations() { return Heap().iFailed; }
EXPORT_C TInt ZHost::AllocAttempts() { return Heap().iAttempts; }
EXPORT_C TInt ZHost::InactivityResets() { return Heap().iInactivityResets; }
EXPORT_C TInt ZHost::HeapCompressions() { return Heap().iCompressions; }

EXPORT_C ZHost::TPanicHandler ZHost::SetPanicHandler(TPanicHandler aHandler) {
  TPanicHandler old = Heap().iPanicHandler;
  Heap().iPanicHandler = aHandler;
  return old;
}

// ---- panics ----

void ZE32::Panic(const char* aCategory, TInt aReason) {
  TBuf<64> cat;
  cat.Copy(TPtrC8(reinterpret_cast<const TUint8*>(aCategory)));
  User::Panic(cat, aReason);
}

EXPORT_C void ZHost::DesPanic(TDesPanic aReason) { ZE32::Panic("USER", aReason); }

EXPORT_C void User::Panic(const TDesC& aCategory, TInt aReason) {
  if (ZHost::TPanicHandler handler = Heap().iPanicHandler) handler(aCategory, aReason);
  std::fprintf(stderr, "Panic %s %d\n", ZE32::ToUtf8(aCategory).c_str(), aReason);
  std::fflush(stderr);
  std::abort();
}

EXPORT_C void User::Invariant() { ZE32::Panic("USER", 0); }

EXPORT_C void User::InfoPrint(const TDesC& aDes) {
  std::fprintf(stderr, "InfoPrint: %s\n", ZE32::ToUtf8(aDes).c_str());
}

// ---- leaves ----

EXPORT_C void User::Leave(TInt aReason) { throw XLeaveException(aReason); }
EXPORT_C void User::LeaveNoMemory() { throw XLeaveException(KErrNoMemory); }

EXPORT_C TInt User::LeaveIfError(TInt aReason) {
  if (aReason < 0) Leave(aReason);
  return aReason;
}

EXPORT_C TAny* User::LeaveIfNull(TAny* aPtr) {
  if (!aPtr) LeaveNoMemory();
  return aPtr;
}

// ---- the counted heap ----

EXPORT_C TAny* User::Alloc(TInt aSize) { return RawAlloc(aSize); }

EXPORT_C TAny* User::AllocL(TInt aSize) {
  TAny* p = RawAlloc(aSize);
  if (!p) LeaveNoMemory();
  return p;
}

EXPORT_C TAny* User::AllocLC(TInt aSize) {
  TAny* p = AllocL(aSize);
  CleanupStack::PushL(p);
  return p;
}

EXPORT_C TAny* User::AllocZ(TInt aSize) {
  TAny* p = RawAlloc(aSize);
  if (p) std::memset(p, 0, static_cast<std::size_t>(aSize));
  return p;
}

EXPORT_C TAny* User::AllocZL(TInt aSize) {
  TAny* p = AllocZ(aSize);
  if (!p) LeaveNoMemory();
  return p;
}

EXPORT_C TAny* User::ReAlloc(TAny* aCell, TInt aSize, TInt /*aMode*/) {
  if (!aCell) return RawAlloc(aSize);
  if (aSize < 0 || aSize > KMaxCellSize) ZE32::Panic("USER", 47);
  SCellHeader* h = HeaderOf(aCell);
  if (aSize > h->iSize && ZE32::AllocShouldFail()) return nullptr;
  SCellHeader* n = static_cast<SCellHeader*>(std::realloc(h, sizeof(SCellHeader) + static_cast<std::size_t>(aSize)));
  if (!n) return nullptr;
  n->iSize = aSize;
  return n + 1;
}

EXPORT_C TAny* User::ReAllocL(TAny* aCell, TInt aSize, TInt aMode) {
  TAny* p = ReAlloc(aCell, aSize, aMode);
  if (!p) LeaveNoMemory();
  return p;
}

EXPORT_C void User::Free(TAny* aCell) {
  if (!aCell) return;
  SCellHeader* h = HeaderOf(aCell);
  h->iMagic = KFreedMagic;
  --Heap().iCells;
  std::free(h);
}

EXPORT_C void User::FreeZ(TAny*& aCell) {
  Free(aCell);
  aCell = nullptr;
}

EXPORT_C TInt User::AllocLen(const TAny* aCell) { return HeaderOf(aCell)->iSize; }
EXPORT_C TInt User::CountAllocCells() { return Heap().iCells; }
EXPORT_C void User::CompressAllHeaps() { ++Heap().iCompressions; }
EXPORT_C void User::ResetInactivityTime() { ++Heap().iInactivityResets; }

EXPORT_C TInt User::StringLength(const TUint8* aString) {
  return static_cast<TInt>(std::strlen(reinterpret_cast<const char*>(aString)));
}

EXPORT_C TInt User::StringLength(const TUint16* aString) {
  const TUint16* p = aString;
  while (*p) ++p;
  return static_cast<TInt>(p - aString);
}

EXPORT_C TAny* operator new(std::size_t aSize, TLeave) {
  if (ZE32::AllocShouldFail()) User::LeaveNoMemory();
  TAny* p = ::operator new(aSize, std::nothrow);
  if (!p) User::LeaveNoMemory();
  return p;
}

EXPORT_C TAny* operator new[](std::size_t aSize, TLeave) {
  if (ZE32::AllocShouldFail()) User::LeaveNoMemory();
  TAny* p = ::operator new[](aSize, std::nothrow);
  if (!p) User::LeaveNoMemory();
  return p;
}

// ---- Mem ----

EXPORT_C TUint8* Mem::Copy(TAny* aTrg, const TAny* aSrc, TInt aLength) {
  if (aLength > 0) std::memmove(aTrg, aSrc, static_cast<std::size_t>(aLength));
  return static_cast<TUint8*>(aTrg) + (aLength > 0 ? aLength : 0);
}

EXPORT_C TUint8* Mem::Move(TAny* aTrg, const TAny* aSrc, TInt aLength) { return Copy(aTrg, aSrc, aLength); }

EXPORT_C void Mem::Fill(TAny* aTrg, TInt aLength, TChar aChar) {
  if (aLength > 0) std::memset(aTrg, static_cast<int>(static_cast<TUint>(aChar) & 0xff), static_cast<std::size_t>(aLength));
}

EXPORT_C void Mem::FillZ(TAny* aTrg, TInt aLength) { Fill(aTrg, aLength, 0); }

EXPORT_C void Mem::Swap(TAny* aPtr1, TAny* aPtr2, TInt aLength) {
  TUint8* a = static_cast<TUint8*>(aPtr1);
  TUint8* b = static_cast<TUint8*>(aPtr2);
  for (TInt i = 0; i < aLength; ++i) {
    const TUint8 t = a[i];
    a[i] = b[i];
    b[i] = t;
  }
}

// ---- handles ----

EXPORT_C void RHandleBase::Close() { iHandle = 0; }

// ---- CBase ----

EXPORT_C CBase::CBase() {}
EXPORT_C CBase::~CBase() {}

EXPORT_C TAny* CBase::operator new(std::size_t aSize) noexcept {
  if (aSize > static_cast<std::size_t>(KMaxCellSize)) return nullptr;
  return User::AllocZ(static_cast<TInt>(aSize));
}

EXPORT_C TAny* CBase::operator new(std::size_t aSize, TLeave) {
  TAny* p = operator new(aSize);
  if (!p) User::LeaveNoMemory();
  return p;
}

EXPORT_C TAny* CBase::operator new(std::size_t aSize, TUint aExtraSize) noexcept {
  return operator new(aSize + aExtraSize);
}

EXPORT_C TAny* CBase::operator new(std::size_t aSize, TLeave, TUint aExtraSize) {
  return operator new(aSize + aExtraSize, ELeave);
}

EXPORT_C void CBase::operator delete(TAny* aPtr) noexcept { User::Free(aPtr); }

EXPORT_C void CBase::Delete(CBase* aPtr) { delete aPtr; }

EXPORT_C CTrapCleanup* CTrapCleanup::New() { return new CTrapCleanup; }
EXPORT_C CTrapCleanup::~CTrapCleanup() {}

// ---- the cleanup stack ----

namespace {

// Each thread has its own cleanup stack, as on the device.
struct SCleanupStack {
  TCleanupItem* iItems = nullptr;
  TInt iCount = 0;
  TInt iCapacity = 0;
  ~SCleanupStack() { std::free(iItems); }
};

SCleanupStack& Stack() {
  thread_local SCleanupStack stack;
  return stack;
}

// Makes room for one more item; false if memory ran out. The cleanup stack's own
// storage is outside the counted heap, so it never shows up as a leak in a mark.
bool ReserveOne() {
  SCleanupStack& s = Stack();
  if (s.iCount < s.iCapacity) return true;
  const TInt capacity = s.iCapacity ? s.iCapacity * 2 : 64;
  TAny* p = std::realloc(static_cast<TAny*>(s.iItems), sizeof(TCleanupItem) * static_cast<std::size_t>(capacity));
  if (!p) return false;
  s.iItems = static_cast<TCleanupItem*>(p);
  s.iCapacity = capacity;
  return true;
}

void FreeCell(TAny* aPtr) { User::Free(aPtr); }
void DeleteCBase(TAny* aPtr) { delete static_cast<CBase*>(aPtr); }

}  // namespace

EXPORT_C void CleanupStack::PushL(TCleanupItem anItem) {
  SCleanupStack& s = Stack();
  if (!ReserveOne()) {
    // Only the very first push can get here; the item is not lost.
    anItem.iOperation(anItem.iPtr);
    User::LeaveNoMemory();
  }
  s.iItems[s.iCount++] = anItem;
  if (!ReserveOne()) User::LeaveNoMemory();  // the item just pushed is cleaned up by the trap
}

EXPORT_C void CleanupStack::PushL(TAny* aPtr) { PushL(TCleanupItem(&FreeCell, aPtr)); }
EXPORT_C void CleanupStack::PushL(CBase* aPtr) { PushL(TCleanupItem(&DeleteCBase, aPtr)); }

EXPORT_C void CleanupStack::Pop() { Pop(1); }

EXPORT_C void CleanupStack::Pop(TInt aCount) {
  SCleanupStack& s = Stack();
  if (aCount < 0 || aCount > s.iCount) ZE32::Panic("E32USER-CBase", 63);
  s.iCount -= aCount;
}

EXPORT_C void CleanupStack::PopAndDestroy() { PopAndDestroy(1); }

EXPORT_C void CleanupStack::PopAndDestroy(TInt aCount) {
  SCleanupStack& s = Stack();
  if (aCount < 0 || aCount > s.iCount) ZE32::Panic("E32USER-CBase", 63);
  while (aCount-- > 0) {
    const TCleanupItem item = s.iItems[--s.iCount];
    item.iOperation(item.iPtr);
  }
}

EXPORT_C void CleanupStack::Check(TAny* aExpectedItem) {
  SCleanupStack& s = Stack();
  if (s.iCount == 0 || s.iItems[s.iCount - 1].iPtr != aExpectedItem) ZE32::Panic("E32USER-CBase", 90);
}

EXPORT_C TInt ZHost::CleanupLevel() { return Stack().iCount; }

EXPORT_C void ZHost::CleanupUnwind(TInt aLevel) {
  SCleanupStack& s = Stack();
  while (s.iCount > aLevel) {
    const TCleanupItem item = s.iItems[--s.iCount];
    item.iOperation(item.iPtr);
  }
}

EXPORT_C void ZHost::TrapCheckBalanced(TInt aLevel) {
  // A trap that completes must leave the cleanup stack as it found it.
  if (Stack().iCount != aLevel) ZE32::Panic("E32USER-CBase", 71);
}
