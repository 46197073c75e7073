// Base classes of the user library: CBase, the cleanup stack, arrays.
#ifndef E32BASE_H
#define E32BASE_H

#include <e32std.h>

// The base of every heap-allocated class. Objects are zero-filled when allocated,
// destroyed through the virtual destructor and never copied.
class IMPORT_C CBase {
public:
  IMPORT_C virtual ~CBase();
  // Allocates a zero-filled object; returns null (no constructor runs) on failure.
  IMPORT_C static TAny* operator new(std::size_t aSize) noexcept;
  // Allocates a zero-filled object; leaves with KErrNoMemory on failure.
  IMPORT_C static TAny* operator new(std::size_t aSize, TLeave);
  IMPORT_C static TAny* operator new(std::size_t aSize, TUint aExtraSize) noexcept;
  IMPORT_C static TAny* operator new(std::size_t aSize, TLeave, TUint aExtraSize);
  inline static TAny* operator new(std::size_t, TAny* aBase) noexcept { return aBase; }
  IMPORT_C static void operator delete(TAny* aPtr) noexcept;
  inline static void operator delete(TAny* aPtr, TLeave) noexcept { operator delete(aPtr); }
  inline static void operator delete(TAny* aPtr, TUint) noexcept { operator delete(aPtr); }
  inline static void operator delete(TAny* aPtr, TLeave, TUint) noexcept { operator delete(aPtr); }
  inline static void operator delete(TAny*, TAny*) noexcept {}
  IMPORT_C static void Delete(CBase* aPtr);

protected:
  IMPORT_C CBase();

private:
  CBase(const CBase&) = delete;
  CBase& operator=(const CBase&) = delete;
};

typedef void (*TCleanupOperation)(TAny*);

class TCleanupItem {
public:
  inline TCleanupItem(TCleanupOperation anOperation) : iOperation(anOperation), iPtr(nullptr) {}
  inline TCleanupItem(TCleanupOperation anOperation, TAny* aPtr) : iOperation(anOperation), iPtr(aPtr) {}
  TCleanupOperation iOperation;
  TAny* iPtr;
};

// The thread's cleanup stack. Pushing never loses the item: if the stack cannot grow
// afterwards, the item is cleaned up by the leave that reports it.
class CleanupStack {
public:
  // Pushes a cell of the counted heap (User::Alloc*, a heap descriptor), which
  // PopAndDestroy gives back with User::Free. Memory from `new (ELeave) T[n]` is not
  // such a cell on this host: push it with CleanupArrayDeletePushL instead.
  IMPORT_C static void PushL(TAny* aPtr);
  IMPORT_C static void PushL(CBase* aPtr);
  IMPORT_C static void PushL(TCleanupItem anItem);
  IMPORT_C static void Pop();
  IMPORT_C static void Pop(TInt aCount);
  IMPORT_C static void PopAndDestroy();
  IMPORT_C static void PopAndDestroy(TInt aCount);
  IMPORT_C static void Check(TAny* aExpectedItem);
  inline static void Pop(TAny* aExpectedItem) { Check(aExpectedItem); Pop(); }
  inline static void Pop(TInt aCount, TAny* aLastExpectedItem) {
    if (--aCount) Pop(aCount);
    Check(aLastExpectedItem);
    Pop();
  }
  inline static void PopAndDestroy(TAny* aExpectedItem) { Check(aExpectedItem); PopAndDestroy(); }
  inline static void PopAndDestroy(TInt aCount, TAny* aLastExpectedItem) {
    if (--aCount) PopAndDestroy(aCount);
    Check(aLastExpectedItem);
    PopAndDestroy();
  }
};

// Kept for application entry points that create one; the cleanup stack itself always exists.
class CTrapCleanup : public CBase {
public:
  IMPORT_C static CTrapCleanup* New();
  IMPORT_C ~CTrapCleanup();

private:
  CTrapCleanup() = default;
};

template <class T>
class CleanupDelete {
public:
  inline static void PushL(T* aPtr) { CleanupStack::PushL(TCleanupItem(&Delete, aPtr)); }

private:
  static void Delete(TAny* aPtr) { delete static_cast<T*>(aPtr); }
};
template <class T>
inline void CleanupDeletePushL(T* aPtr) { CleanupDelete<T>::PushL(aPtr); }

template <class T>
class CleanupArrayDelete {
public:
  inline static void PushL(T* aPtr) { CleanupStack::PushL(TCleanupItem(&ArrayDelete, aPtr)); }

private:
  static void ArrayDelete(TAny* aPtr) { delete[] static_cast<T*>(aPtr); }
};
template <class T>
inline void CleanupArrayDeletePushL(T* aPtr) { CleanupArrayDelete<T>::PushL(aPtr); }

template <class T>
class CleanupClose {
public:
  inline static void PushL(T& aRef) { CleanupStack::PushL(TCleanupItem(&Close, &aRef)); }

private:
  static void Close(TAny* aPtr) { static_cast<T*>(aPtr)->Close(); }
};
template <class T>
inline void CleanupClosePushL(T& aRef) { CleanupClose<T>::PushL(aRef); }

template <class T>
class CleanupRelease {
public:
  inline static void PushL(T& aRef) { CleanupStack::PushL(TCleanupItem(&Release, &aRef)); }

private:
  static void Release(TAny* aPtr) { static_cast<T*>(aPtr)->Release(); }
};
template <class T>
inline void CleanupReleasePushL(T& aRef) { CleanupRelease<T>::PushL(aRef); }

#include <e32arrfix.h>
#if __has_include(<zhost/e32active.h>)
#include <zhost/e32active.h>
#endif

#endif
