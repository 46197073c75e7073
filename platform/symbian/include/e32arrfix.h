// Arrays derived from CBase that leave on failure: fixed-size entries, pointers and
// variable-length entries. Included through e32base.h.
#include <e32base.h>

#ifndef E32ARRFIX_H
#define E32ARRFIX_H

#include <cstring>

// The flat array of fixed-size entries all templates below share. Entries are moved as
// raw bytes, as on the device.
class IMPORT_C CArrayFixBase : public CBase {
public:
  IMPORT_C ~CArrayFixBase();
  inline TInt Count() const { return iCount; }
  inline TInt Length() const { return iEntrySize; }
  IMPORT_C void Compress();
  IMPORT_C void Reset();
  IMPORT_C void Delete(TInt anIndex);
  IMPORT_C void Delete(TInt anIndex, TInt aCount);
  IMPORT_C void SetReserveL(TInt aCount);
  inline TInt Granularity() const { return iGranularity; }

protected:
  IMPORT_C CArrayFixBase(TInt aEntrySize, TInt aGranularity);
  inline TAny* At(TInt anIndex) const {
    if (static_cast<TUint>(anIndex) >= static_cast<TUint>(iCount)) Panic(21);
    return static_cast<TUint8*>(iEntries) + static_cast<std::size_t>(anIndex) * static_cast<std::size_t>(iEntrySize);
  }
  // Inserts aCount copies of the entry at aPtr (or zeroed entries for null) at aPos and
  // returns the first of them.
  IMPORT_C TAny* InsertRepL(TInt aPos, const TAny* aPtr, TInt aCount);
  // Inserts aCount consecutive entries from aPtr at aPos.
  IMPORT_C TAny* InsertL(TInt aPos, const TAny* aPtr, TInt aCount);
  IMPORT_C void ResizeL(TInt aCount, const TAny* aPtr);
  [[noreturn]] IMPORT_C static void Panic(TInt aReason);

private:
  TInt iCount;
  TInt iEntrySize;
  TInt iGranularity;
  TInt iAllocated;
  TAny* iEntries;
};

template <class T>
class CArrayFix : public CArrayFixBase {
public:
  inline const T& At(TInt anIndex) const { return *static_cast<const T*>(CArrayFixBase::At(anIndex)); }
  inline T& At(TInt anIndex) { return *static_cast<T*>(CArrayFixBase::At(anIndex)); }
  inline const T& operator[](TInt anIndex) const { return At(anIndex); }
  inline T& operator[](TInt anIndex) { return At(anIndex); }
  inline const T* Back(TInt anIndex) const { return &At(anIndex); }
  inline const T* End(TInt anIndex) const { return &At(anIndex) + (Count() - anIndex); }
  inline void AppendL(const T& aRef) { InsertL(Count(), aRef); }
  inline void AppendL(const T* aPtr, TInt aCount) { CArrayFixBase::InsertL(Count(), aPtr, aCount); }
  inline void AppendL(const T& aRef, TInt aReplicas) { InsertRepL(Count(), &aRef, aReplicas); }
  inline void InsertL(TInt anIndex, const T& aRef) { InsertRepL(anIndex, &aRef, 1); }
  inline void InsertL(TInt anIndex, const T* aPtr, TInt aCount) { CArrayFixBase::InsertL(anIndex, aPtr, aCount); }
  inline void InsertL(TInt anIndex, const T& aRef, TInt aReplicas) { InsertRepL(anIndex, &aRef, aReplicas); }
  // Appends a zero-filled, default-constructed entry and returns it.
  inline T& ExtendL() { return *new (InsertRepL(Count(), nullptr, 1)) T; }
  inline T& ExpandL(TInt anIndex) { return *new (InsertRepL(anIndex, nullptr, 1)) T; }
  inline void ResizeL(TInt aCount) {
    const T entry = T();
    CArrayFixBase::ResizeL(aCount, &entry);
  }
  inline void ResizeL(TInt aCount, const T& aRef) { CArrayFixBase::ResizeL(aCount, &aRef); }

protected:
  inline explicit CArrayFix(TInt aGranularity) : CArrayFixBase(sizeof(T), aGranularity) {}
};

template <class T>
class CArrayFixFlat : public CArrayFix<T> {
public:
  inline explicit CArrayFixFlat(TInt aGranularity) : CArrayFix<T>(aGranularity) {}
};

// Segmented on the device; one flat buffer here, with the same interface.
template <class T>
class CArrayFixSeg : public CArrayFix<T> {
public:
  inline explicit CArrayFixSeg(TInt aGranularity) : CArrayFix<T>(aGranularity) {}
};

template <class T>
class CArrayPtr : public CArrayFix<T*> {
public:
  // Deletes every object the array points to, then empties it.
  inline void ResetAndDestroy() {
    for (TInt i = 0; i < this->Count(); ++i) {
      T* p = this->At(i);
      this->At(i) = nullptr;
      delete p;
    }
    this->Reset();
  }

protected:
  inline explicit CArrayPtr(TInt aGranularity) : CArrayFix<T*>(aGranularity) {}
};

template <class T>
class CArrayPtrFlat : public CArrayPtr<T> {
public:
  inline explicit CArrayPtrFlat(TInt aGranularity) : CArrayPtr<T>(aGranularity) {}
};

template <class T>
class CArrayPtrSeg : public CArrayPtr<T> {
public:
  inline explicit CArrayPtrSeg(TInt aGranularity) : CArrayPtr<T>(aGranularity) {}
};

// Entries of varying length, each in its own cell of the counted heap.
class IMPORT_C CArrayVarBase : public CBase {
public:
  IMPORT_C ~CArrayVarBase();
  inline TInt Count() const { return iCount; }
  IMPORT_C TInt Length(TInt anIndex) const;
  IMPORT_C void Compress();
  IMPORT_C void Reset();
  IMPORT_C void Delete(TInt anIndex);
  IMPORT_C void Delete(TInt anIndex, TInt aCount);

protected:
  IMPORT_C explicit CArrayVarBase(TInt aGranularity);
  IMPORT_C TAny* At(TInt anIndex) const;
  IMPORT_C TAny* InsertL(TInt anIndex, const TAny* aPtr, TInt aLength);

private:
  TInt iCount;
  TInt iAllocated;
  TInt iGranularity;
  TAny** iCells;
};

template <class T>
class CArrayVar : public CArrayVarBase {
public:
  inline const T& At(TInt anIndex) const { return *static_cast<const T*>(CArrayVarBase::At(anIndex)); }
  inline T& At(TInt anIndex) { return *static_cast<T*>(CArrayVarBase::At(anIndex)); }
  inline const T& operator[](TInt anIndex) const { return At(anIndex); }
  inline T& operator[](TInt anIndex) { return At(anIndex); }
  inline void AppendL(const T& aRef, TInt aLength) { CArrayVarBase::InsertL(Count(), &aRef, aLength); }
  inline void InsertL(TInt anIndex, const T& aRef, TInt aLength) { CArrayVarBase::InsertL(anIndex, &aRef, aLength); }

protected:
  inline explicit CArrayVar(TInt aGranularity) : CArrayVarBase(aGranularity) {}
};

template <class T>
class CArrayVarFlat : public CArrayVar<T> {
public:
  inline explicit CArrayVarFlat(TInt aGranularity) : CArrayVar<T>(aGranularity) {}
};

template <class T>
class CArrayVarSeg : public CArrayVar<T> {
public:
  inline explicit CArrayVarSeg(TInt aGranularity) : CArrayVar<T>(aGranularity) {}
};

#endif
