// Simple arrays of fixed-size entries and of pointers, with error returns. Included
// through e32std.h.
#include <e32std.h>

#ifndef E32ARR_H
#define E32ARR_H

#include <cstring>

template <class T>
class TLinearOrder {
public:
  typedef TInt (*TOrder)(const T&, const T&);
  inline TLinearOrder(TOrder anOrder) : iOrder(anOrder) {}
  inline TInt Compare(const T& aLeft, const T& aRight) const { return iOrder(aLeft, aRight); }

private:
  TOrder iOrder;
};

template <class T>
class TIdentityRelation {
public:
  typedef TBool (*TRelation)(const T&, const T&);
  inline TIdentityRelation() : iIdentity(nullptr) {}
  inline TIdentityRelation(TRelation anIdentity) : iIdentity(anIdentity) {}
  inline TBool Matches(const T& aLeft, const T& aRight) const {
    return iIdentity ? iIdentity(aLeft, aRight) : std::memcmp(&aLeft, &aRight, sizeof(T)) == 0;
  }

private:
  TRelation iIdentity;
};

namespace ZHost {
// Shared by the array templates: storage in the counted heap, panics.
[[noreturn]] IMPORT_C void ArrayPanic(TInt aReason);
// Grows a buffer of aCount entries of aEntrySize bytes to hold at least aNeeded;
// KErrNone or KErrNoMemory (the old buffer is kept on failure).
IMPORT_C TInt ArrayGrow(TAny*& aEntries, TInt& aAllocated, TInt aNeeded, TInt aEntrySize, TInt aGranularity);
IMPORT_C void ArrayShrink(TAny*& aEntries, TInt& aAllocated, TInt aCount, TInt aEntrySize);
enum TArrayPanic {
  EArrayIndexOutOfRange = 130,
  EArrayBadGranularity = 127,
  EArrayBadKeyOffset = 128,
  EArrayBadCount = 131
};
}  // namespace ZHost

// Entries are moved as raw bytes, as on the device: T must not hold pointers into itself.
template <class T>
class RArray {
public:
  inline RArray() : iCount(0), iAllocated(0), iGranularity(8), iKeyOffset(0), iEntries(nullptr) {}
  inline explicit RArray(TInt aGranularity) : RArray() {
    if (aGranularity < 1) ZHost::ArrayPanic(ZHost::EArrayBadGranularity);
    iGranularity = aGranularity;
  }
  inline RArray(TInt aGranularity, TInt aKeyOffset) : RArray(aGranularity) {
    if (aKeyOffset < 0 || aKeyOffset % 4 || aKeyOffset >= static_cast<TInt>(sizeof(T)))
      ZHost::ArrayPanic(ZHost::EArrayBadKeyOffset);
    iKeyOffset = aKeyOffset;
  }
  inline void Close() {
    User::Free(iEntries);
    iEntries = nullptr;
    iCount = iAllocated = 0;
  }
  inline TInt Count() const { return iCount; }
  inline const T& operator[](TInt anIndex) const { return *Entry(anIndex); }
  inline T& operator[](TInt anIndex) { return *Entry(anIndex); }
  inline TInt Append(const T& anEntry) {
    if (iCount < iAllocated) {
      std::memcpy(static_cast<void*>(iEntries + iCount), static_cast<const void*>(&anEntry), sizeof(T));
      ++iCount;
      return KErrNone;
    }
    return Insert(anEntry, iCount);
  }
  inline TInt Insert(const T& anEntry, TInt aPos) {
    if (aPos < 0 || aPos > iCount) ZHost::ArrayPanic(ZHost::EArrayIndexOutOfRange);
    if (iCount == iAllocated) {
      // anEntry may live in this array: keep a copy while the buffer moves.
      alignas(T) TUint8 copy[sizeof(T)];
      std::memcpy(copy, static_cast<const void*>(&anEntry), sizeof(T));
      TAny* p = iEntries;
      const TInt r = ZHost::ArrayGrow(p, iAllocated, iCount + 1, sizeof(T), iGranularity);
      if (r != KErrNone) return r;
      iEntries = static_cast<T*>(p);
      InsertRaw(copy, aPos);
    } else {
      InsertRaw(&anEntry, aPos);
    }
    return KErrNone;
  }
  inline void Remove(TInt anIndex) {
    if (anIndex < 0 || anIndex >= iCount) ZHost::ArrayPanic(ZHost::EArrayIndexOutOfRange);
    std::memmove(static_cast<void*>(iEntries + anIndex), static_cast<const void*>(iEntries + anIndex + 1),
                 sizeof(T) * static_cast<std::size_t>(iCount - anIndex - 1));
    --iCount;
  }
  inline void Compress() {
    TAny* p = iEntries;
    ZHost::ArrayShrink(p, iAllocated, iCount, sizeof(T));
    iEntries = static_cast<T*>(p);
  }
  inline void GranularCompress() { Compress(); }
  inline void Reset() { Close(); }
  inline TInt Reserve(TInt aCount) {
    if (aCount < 0) ZHost::ArrayPanic(ZHost::EArrayBadCount);
    if (aCount <= iAllocated) return KErrNone;
    TAny* p = iEntries;
    const TInt r = ZHost::ArrayGrow(p, iAllocated, aCount, sizeof(T), 1);
    iEntries = static_cast<T*>(p);
    return r;
  }
  // Sequential search comparing the TInt at the key offset (the whole entry if it is
  // smaller than a TInt).
  inline TInt Find(const T& anEntry) const {
    for (TInt i = 0; i < iCount; ++i)
      if (KeyEqual(iEntries[i], anEntry)) return i;
    return KErrNotFound;
  }
  inline TInt Find(const T& anEntry, TIdentityRelation<T> anIdentity) const {
    for (TInt i = 0; i < iCount; ++i)
      if (anIdentity.Matches(anEntry, iEntries[i])) return i;
    return KErrNotFound;
  }
  inline TInt FindReverse(const T& anEntry) const {
    for (TInt i = iCount - 1; i >= 0; --i)
      if (KeyEqual(iEntries[i], anEntry)) return i;
    return KErrNotFound;
  }
  inline TInt FindInOrder(const T& anEntry, TLinearOrder<T> anOrder) const {
    TInt index;
    return FindInOrder(anEntry, index, anOrder) == KErrNone ? index : KErrNotFound;
  }
  // Binary search: KErrNone and the index of a match, or KErrNotFound and the index
  // where the entry would go.
  inline TInt FindInOrder(const T& anEntry, TInt& anIndex, TLinearOrder<T> anOrder) const {
    TInt lo = 0, hi = iCount;
    while (lo < hi) {
      const TInt mid = lo + (hi - lo) / 2;
      const TInt c = anOrder.Compare(iEntries[mid], anEntry);
      if (c == 0) {
        anIndex = mid;
        return KErrNone;
      }
      if (c < 0) lo = mid + 1;
      else hi = mid;
    }
    anIndex = lo;
    return KErrNotFound;
  }
  inline TInt FindInSignedKeyOrder(const T& anEntry) const {
    return FindInOrder(anEntry, TLinearOrder<T>(&CompareSignedKeys));
  }
  inline TInt InsertInOrder(const T& anEntry, TLinearOrder<T> anOrder) {
    TInt index;
    if (FindInOrder(anEntry, index, anOrder) == KErrNone) return KErrAlreadyExists;
    return Insert(anEntry, index);
  }
  inline TInt InsertInOrderAllowRepeats(const T& anEntry, TLinearOrder<T> anOrder) {
    TInt index = UpperBound(anEntry, anOrder);
    return Insert(anEntry, index);
  }
  inline TInt InsertInSignedKeyOrder(const T& anEntry) {
    return InsertInOrder(anEntry, TLinearOrder<T>(&CompareSignedKeys));
  }
  inline void Sort(TLinearOrder<T> anOrder) {
    // Insertion into a sorted prefix keeps equal entries in their order.
    for (TInt i = 1; i < iCount; ++i) {
      if (anOrder.Compare(iEntries[i - 1], iEntries[i]) <= 0) continue;
      alignas(T) TUint8 tmp[sizeof(T)];
      std::memcpy(tmp, static_cast<const void*>(iEntries + i), sizeof(T));
      TInt lo = 0, hi = i;
      while (lo < hi) {
        const TInt mid = lo + (hi - lo) / 2;
        if (anOrder.Compare(iEntries[mid], *reinterpret_cast<const T*>(tmp)) <= 0) lo = mid + 1;
        else hi = mid;
      }
      std::memmove(static_cast<void*>(iEntries + lo + 1), static_cast<const void*>(iEntries + lo),
                   sizeof(T) * static_cast<std::size_t>(i - lo));
      std::memcpy(static_cast<void*>(iEntries + lo), tmp, sizeof(T));
    }
  }
  inline void SortSigned() { Sort(TLinearOrder<T>(&CompareSignedKeys)); }

  inline void AppendL(const T& anEntry) { User::LeaveIfError(Append(anEntry)); }
  inline void InsertL(const T& anEntry, TInt aPos) { User::LeaveIfError(Insert(anEntry, aPos)); }
  inline TInt FindL(const T& anEntry) const { return User::LeaveIfError(Find(anEntry)); }
  inline TInt FindL(const T& anEntry, TIdentityRelation<T> anIdentity) const {
    return User::LeaveIfError(Find(anEntry, anIdentity));
  }
  inline TInt FindInOrderL(const T& anEntry, TLinearOrder<T> anOrder) const {
    return User::LeaveIfError(FindInOrder(anEntry, anOrder));
  }
  inline void InsertInOrderL(const T& anEntry, TLinearOrder<T> anOrder) {
    User::LeaveIfError(InsertInOrder(anEntry, anOrder));
  }
  inline void InsertInOrderAllowRepeatsL(const T& anEntry, TLinearOrder<T> anOrder) {
    User::LeaveIfError(InsertInOrderAllowRepeats(anEntry, anOrder));
  }
  inline void ReserveL(TInt aCount) { User::LeaveIfError(Reserve(aCount)); }

private:
  inline T* Entry(TInt anIndex) const {
    if (static_cast<TUint>(anIndex) >= static_cast<TUint>(iCount)) ZHost::ArrayPanic(ZHost::EArrayIndexOutOfRange);
    return iEntries + anIndex;
  }
  inline void InsertRaw(const void* aEntry, TInt aPos) {
    std::memmove(static_cast<void*>(iEntries + aPos + 1), static_cast<const void*>(iEntries + aPos),
                 sizeof(T) * static_cast<std::size_t>(iCount - aPos));
    std::memcpy(static_cast<void*>(iEntries + aPos), aEntry, sizeof(T));
    ++iCount;
  }
  inline TBool KeyEqual(const T& aLeft, const T& aRight) const {
    if (sizeof(T) < sizeof(TInt) + static_cast<std::size_t>(iKeyOffset))
      return std::memcmp(static_cast<const void*>(&aLeft), static_cast<const void*>(&aRight), sizeof(T)) == 0;
    return Key(aLeft) == Key(aRight);
  }
  inline TInt Key(const T& anEntry) const {
    TInt k;
    std::memcpy(&k, reinterpret_cast<const TUint8*>(&anEntry) + iKeyOffset, sizeof(k));
    return k;
  }
  static TInt CompareSignedKeys(const T& aLeft, const T& aRight) {
    TInt a = 0, b = 0;
    std::memcpy(&a, static_cast<const void*>(&aLeft), sizeof(T) < sizeof(TInt) ? sizeof(T) : sizeof(TInt));
    std::memcpy(&b, static_cast<const void*>(&aRight), sizeof(T) < sizeof(TInt) ? sizeof(T) : sizeof(TInt));
    return a < b ? -1 : (a > b ? 1 : 0);
  }
  inline TInt UpperBound(const T& anEntry, TLinearOrder<T> anOrder) const {
    TInt lo = 0, hi = iCount;
    while (lo < hi) {
      const TInt mid = lo + (hi - lo) / 2;
      if (anOrder.Compare(iEntries[mid], anEntry) <= 0) lo = mid + 1;
      else hi = mid;
    }
    return lo;
  }

  TInt iCount;
  TInt iAllocated;
  TInt iGranularity;
  TInt iKeyOffset;
  T* iEntries;
};

template <class T>
class RPointerArray {
public:
  inline RPointerArray() : iCount(0), iAllocated(0), iGranularity(8), iEntries(nullptr) {}
  inline explicit RPointerArray(TInt aGranularity) : RPointerArray() {
    if (aGranularity < 1) ZHost::ArrayPanic(ZHost::EArrayBadGranularity);
    iGranularity = aGranularity;
  }
  inline void Close() {
    User::Free(iEntries);
    iEntries = nullptr;
    iCount = iAllocated = 0;
  }
  inline TInt Count() const { return iCount; }
  inline T* const& operator[](TInt anIndex) const { return *Entry(anIndex); }
  inline T*& operator[](TInt anIndex) { return *Entry(anIndex); }
  inline TInt Append(const T* anEntry) {
    if (iCount < iAllocated) {
      iEntries[iCount++] = const_cast<T*>(anEntry);
      return KErrNone;
    }
    return Insert(anEntry, iCount);
  }
  inline TInt Insert(const T* anEntry, TInt aPos) {
    if (aPos < 0 || aPos > iCount) ZHost::ArrayPanic(ZHost::EArrayIndexOutOfRange);
    if (iCount == iAllocated) {
      TAny* p = iEntries;
      const TInt r = ZHost::ArrayGrow(p, iAllocated, iCount + 1, sizeof(T*), iGranularity);
      if (r != KErrNone) return r;
      iEntries = static_cast<T**>(p);
    }
    std::memmove(iEntries + aPos + 1, iEntries + aPos, sizeof(T*) * static_cast<std::size_t>(iCount - aPos));
    iEntries[aPos] = const_cast<T*>(anEntry);
    ++iCount;
    return KErrNone;
  }
  inline void Remove(TInt anIndex) {
    if (anIndex < 0 || anIndex >= iCount) ZHost::ArrayPanic(ZHost::EArrayIndexOutOfRange);
    std::memmove(iEntries + anIndex, iEntries + anIndex + 1, sizeof(T*) * static_cast<std::size_t>(iCount - anIndex - 1));
    --iCount;
  }
  inline void Compress() {
    TAny* p = iEntries;
    ZHost::ArrayShrink(p, iAllocated, iCount, sizeof(T*));
    iEntries = static_cast<T**>(p);
  }
  inline void GranularCompress() { Compress(); }
  inline void Reset() { Close(); }
  // Deletes every object the array points to, then empties it.
  inline void ResetAndDestroy() {
    for (TInt i = 0; i < iCount; ++i) {
      T* p = iEntries[i];
      iEntries[i] = nullptr;
      delete p;
    }
    Close();
  }
  inline TInt Reserve(TInt aCount) {
    if (aCount < 0) ZHost::ArrayPanic(ZHost::EArrayBadCount);
    if (aCount <= iAllocated) return KErrNone;
    TAny* p = iEntries;
    const TInt r = ZHost::ArrayGrow(p, iAllocated, aCount, sizeof(T*), 1);
    iEntries = static_cast<T**>(p);
    return r;
  }
  inline TInt Find(const T* anEntry) const {
    for (TInt i = 0; i < iCount; ++i)
      if (iEntries[i] == anEntry) return i;
    return KErrNotFound;
  }
  inline TInt Find(const T* anEntry, TIdentityRelation<T> anIdentity) const {
    for (TInt i = 0; i < iCount; ++i)
      if (anIdentity.Matches(*anEntry, *iEntries[i])) return i;
    return KErrNotFound;
  }
  inline TInt FindReverse(const T* anEntry) const {
    for (TInt i = iCount - 1; i >= 0; --i)
      if (iEntries[i] == anEntry) return i;
    return KErrNotFound;
  }
  inline TInt FindInOrder(const T* anEntry, TInt& anIndex, TLinearOrder<T> anOrder) const {
    TInt lo = 0, hi = iCount;
    while (lo < hi) {
      const TInt mid = lo + (hi - lo) / 2;
      const TInt c = anOrder.Compare(*iEntries[mid], *anEntry);
      if (c == 0) {
        anIndex = mid;
        return KErrNone;
      }
      if (c < 0) lo = mid + 1;
      else hi = mid;
    }
    anIndex = lo;
    return KErrNotFound;
  }
  inline TInt FindInOrder(const T* anEntry, TLinearOrder<T> anOrder) const {
    TInt index;
    return FindInOrder(anEntry, index, anOrder) == KErrNone ? index : KErrNotFound;
  }
  inline TInt InsertInOrder(const T* anEntry, TLinearOrder<T> anOrder) {
    TInt index;
    if (FindInOrder(anEntry, index, anOrder) == KErrNone) return KErrAlreadyExists;
    return Insert(anEntry, index);
  }
  inline TInt InsertInOrderAllowRepeats(const T* anEntry, TLinearOrder<T> anOrder) {
    TInt lo = 0, hi = iCount;
    while (lo < hi) {
      const TInt mid = lo + (hi - lo) / 2;
      if (anOrder.Compare(*iEntries[mid], *anEntry) <= 0) lo = mid + 1;
      else hi = mid;
    }
    return Insert(anEntry, lo);
  }
  inline void Sort(TLinearOrder<T> anOrder) {
    for (TInt i = 1; i < iCount; ++i) {
      T* e = iEntries[i];
      TInt j = i;
      while (j > 0 && anOrder.Compare(*iEntries[j - 1], *e) > 0) {
        iEntries[j] = iEntries[j - 1];
        --j;
      }
      iEntries[j] = e;
    }
  }
  inline void AppendL(const T* anEntry) { User::LeaveIfError(Append(anEntry)); }
  inline void InsertL(const T* anEntry, TInt aPos) { User::LeaveIfError(Insert(anEntry, aPos)); }
  inline TInt FindL(const T* anEntry) const { return User::LeaveIfError(Find(anEntry)); }
  inline TInt FindL(const T* anEntry, TIdentityRelation<T> anIdentity) const {
    return User::LeaveIfError(Find(anEntry, anIdentity));
  }
  inline void InsertInOrderL(const T* anEntry, TLinearOrder<T> anOrder) {
    User::LeaveIfError(InsertInOrder(anEntry, anOrder));
  }
  inline void ReserveL(TInt aCount) { User::LeaveIfError(Reserve(aCount)); }

private:
  inline T** Entry(TInt anIndex) const {
    if (static_cast<TUint>(anIndex) >= static_cast<TUint>(iCount)) ZHost::ArrayPanic(ZHost::EArrayIndexOutOfRange);
    return iEntries + anIndex;
  }

  TInt iCount;
  TInt iAllocated;
  TInt iGranularity;
  T** iEntries;
};

#endif
