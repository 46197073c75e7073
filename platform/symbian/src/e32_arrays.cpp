// Storage of the array templates in the counted heap.
#include <e32base.h>

#include <cstring>

#include "e32_internal.h"

EXPORT_C void ZHost::ArrayPanic(TInt aReason) { ZE32::Panic("USER", aReason); }

EXPORT_C TInt ZHost::ArrayGrow(TAny*& aEntries, TInt& aAllocated, TInt aNeeded, TInt aEntrySize, TInt aGranularity) {
  if (aNeeded <= aAllocated) return KErrNone;
  // Grow by half the current size at least, in whole granules, so that appending n
  // entries costs O(n) copying.
  TInt64 target = aAllocated + (aAllocated / 2 > aGranularity ? aAllocated / 2 : aGranularity);
  if (target < aNeeded) target = aNeeded;
  if (aGranularity > 1) target = (target + aGranularity - 1) / aGranularity * aGranularity;
  const TInt64 bytes = target * aEntrySize;
  if (bytes > KMaxTInt / 2) {
    if (static_cast<TInt64>(aNeeded) * aEntrySize > KMaxTInt / 2) return KErrNoMemory;
    target = aNeeded;
  }
  TAny* p = User::ReAlloc(aEntries, static_cast<TInt>(target * aEntrySize));
  if (!p) return KErrNoMemory;
  aEntries = p;
  aAllocated = static_cast<TInt>(target);
  return KErrNone;
}

EXPORT_C void ZHost::ArrayShrink(TAny*& aEntries, TInt& aAllocated, TInt aCount, TInt aEntrySize) {
  if (aCount >= aAllocated) return;
  if (aCount == 0) {
    User::Free(aEntries);
    aEntries = nullptr;
    aAllocated = 0;
    return;
  }
  if (TAny* p = User::ReAlloc(aEntries, aCount * aEntrySize)) {
    aEntries = p;
    aAllocated = aCount;
  }
}

// ---- CArrayFixBase ----

EXPORT_C CArrayFixBase::CArrayFixBase(TInt aEntrySize, TInt aGranularity)
    : iCount(0), iEntrySize(aEntrySize), iGranularity(aGranularity), iAllocated(0), iEntries(nullptr) {
  if (aGranularity <= 0) Panic(18);
  if (aEntrySize <= 0) Panic(17);
}

EXPORT_C CArrayFixBase::~CArrayFixBase() { User::Free(iEntries); }

EXPORT_C void CArrayFixBase::Panic(TInt aReason) { ZE32::Panic("E32USER-CBase", aReason); }

EXPORT_C void CArrayFixBase::Compress() { ZHost::ArrayShrink(iEntries, iAllocated, iCount, iEntrySize); }

EXPORT_C void CArrayFixBase::Reset() {
  User::Free(iEntries);
  iEntries = nullptr;
  iCount = iAllocated = 0;
}

EXPORT_C void CArrayFixBase::Delete(TInt anIndex) { Delete(anIndex, 1); }

EXPORT_C void CArrayFixBase::Delete(TInt anIndex, TInt aCount) {
  if (aCount < 0 || anIndex < 0 || anIndex > iCount - aCount) Panic(21);
  TUint8* p = static_cast<TUint8*>(iEntries);
  const std::size_t size = static_cast<std::size_t>(iEntrySize);
  if (aCount)
    std::memmove(p + anIndex * size, p + (anIndex + aCount) * size,
                 static_cast<std::size_t>(iCount - anIndex - aCount) * size);
  iCount -= aCount;
}

EXPORT_C void CArrayFixBase::SetReserveL(TInt aCount) {
  if (aCount < iCount) Panic(27);
  User::LeaveIfError(ZHost::ArrayGrow(iEntries, iAllocated, aCount, iEntrySize, 1));
}

EXPORT_C TAny* CArrayFixBase::InsertRepL(TInt aPos, const TAny* aPtr, TInt aCount) {
  if (aPos < 0 || aPos > iCount) Panic(21);
  if (aCount < 0) Panic(20);
  const std::size_t size = static_cast<std::size_t>(iEntrySize);
  // The entry may lie inside this array; copy it out before the buffer moves.
  TUint8 local[64];
  TUint8* copy = nullptr;
  if (aPtr) {
    copy = size <= sizeof(local) ? local : static_cast<TUint8*>(User::AllocL(iEntrySize));
    std::memcpy(copy, aPtr, size);
  }
  const TInt r = ZHost::ArrayGrow(iEntries, iAllocated, iCount + aCount, iEntrySize, iGranularity);
  if (r != KErrNone) {
    if (copy && copy != local) User::Free(copy);
    User::Leave(r);
  }
  TUint8* p = static_cast<TUint8*>(iEntries);
  std::memmove(p + (aPos + aCount) * size, p + aPos * size, static_cast<std::size_t>(iCount - aPos) * size);
  for (TInt i = 0; i < aCount; ++i) {
    if (copy) std::memcpy(p + (aPos + i) * size, copy, size);
    else std::memset(p + (aPos + i) * size, 0, size);
  }
  if (copy && copy != local) User::Free(copy);
  iCount += aCount;
  return p + aPos * size;
}

EXPORT_C TAny* CArrayFixBase::InsertL(TInt aPos, const TAny* aPtr, TInt aCount) {
  if (aPos < 0 || aPos > iCount) Panic(21);
  if (aCount < 0) Panic(20);
  const std::size_t size = static_cast<std::size_t>(iEntrySize);
  const std::size_t bytes = size * static_cast<std::size_t>(aCount);
  // The source may lie inside this array; take a copy while the buffer moves.
  TUint8* copy = nullptr;
  if (bytes) {
    copy = static_cast<TUint8*>(User::AllocL(static_cast<TInt>(bytes)));
    std::memcpy(copy, aPtr, bytes);
  }
  const TInt r = ZHost::ArrayGrow(iEntries, iAllocated, iCount + aCount, iEntrySize, iGranularity);
  if (r != KErrNone) {
    User::Free(copy);
    User::Leave(r);
  }
  TUint8* p = static_cast<TUint8*>(iEntries);
  std::memmove(p + (aPos + aCount) * size, p + aPos * size, static_cast<std::size_t>(iCount - aPos) * size);
  if (bytes) std::memcpy(p + aPos * size, copy, bytes);
  User::Free(copy);
  iCount += aCount;
  return p + aPos * size;
}

EXPORT_C void CArrayFixBase::ResizeL(TInt aCount, const TAny* aPtr) {
  if (aCount < 0) Panic(24);
  if (aCount <= iCount) {
    iCount = aCount;
    return;
  }
  InsertRepL(iCount, aPtr, aCount - iCount);
}

// ---- CArrayVarBase ----

EXPORT_C CArrayVarBase::CArrayVarBase(TInt aGranularity)
    : iCount(0), iAllocated(0), iGranularity(aGranularity), iCells(nullptr) {
  if (aGranularity <= 0) ZE32::Panic("E32USER-CBase", 19);
}

EXPORT_C CArrayVarBase::~CArrayVarBase() { Reset(); }

EXPORT_C TInt CArrayVarBase::Length(TInt anIndex) const { return User::AllocLen(At(anIndex)); }

EXPORT_C TAny* CArrayVarBase::At(TInt anIndex) const {
  if (static_cast<TUint>(anIndex) >= static_cast<TUint>(iCount)) ZE32::Panic("E32USER-CBase", 21);
  return iCells[anIndex];
}

EXPORT_C void CArrayVarBase::Compress() {
  TAny* p = iCells;
  ZHost::ArrayShrink(p, iAllocated, iCount, sizeof(TAny*));
  iCells = static_cast<TAny**>(p);
}

EXPORT_C void CArrayVarBase::Reset() {
  for (TInt i = 0; i < iCount; ++i) User::Free(iCells[i]);
  User::Free(iCells);
  iCells = nullptr;
  iCount = iAllocated = 0;
}

EXPORT_C void CArrayVarBase::Delete(TInt anIndex) { Delete(anIndex, 1); }

EXPORT_C void CArrayVarBase::Delete(TInt anIndex, TInt aCount) {
  if (aCount < 0 || anIndex < 0 || anIndex > iCount - aCount) ZE32::Panic("E32USER-CBase", 21);
  for (TInt i = 0; i < aCount; ++i) User::Free(iCells[anIndex + i]);
  std::memmove(iCells + anIndex, iCells + anIndex + aCount,
               sizeof(TAny*) * static_cast<std::size_t>(iCount - anIndex - aCount));
  iCount -= aCount;
}

EXPORT_C TAny* CArrayVarBase::InsertL(TInt anIndex, const TAny* aPtr, TInt aLength) {
  if (anIndex < 0 || anIndex > iCount) ZE32::Panic("E32USER-CBase", 21);
  if (aLength < 0) ZE32::Panic("E32USER-CBase", 30);
  TAny* cell = User::AllocL(aLength);
  std::memcpy(cell, aPtr, static_cast<std::size_t>(aLength));
  TAny* cells = iCells;
  const TInt r = ZHost::ArrayGrow(cells, iAllocated, iCount + 1, sizeof(TAny*), iGranularity);
  iCells = static_cast<TAny**>(cells);
  if (r != KErrNone) {
    User::Free(cell);
    User::Leave(r);
  }
  std::memmove(iCells + anIndex + 1, iCells + anIndex, sizeof(TAny*) * static_cast<std::size_t>(iCount - anIndex));
  iCells[anIndex] = cell;
  ++iCount;
  return cell;
}
