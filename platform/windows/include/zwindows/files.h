// File and directory operations with Windows semantics: Windows paths, handles,
// share modes, read-only attributes and Windows error codes (see GetLastError).
// A folder whose owner may not write it refuses new and deleted entries (ERROR_ACCESS_DENIED).
#pragma once

#include <string_view>

#include "zwindows/types.h"

namespace zwin {

using HANDLE = void*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t{0});

inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
inline constexpr DWORD FILE_SHARE_READ = 1;
inline constexpr DWORD FILE_SHARE_WRITE = 2;
inline constexpr DWORD FILE_SHARE_DELETE = 4;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;

// Opens or creates a file. On success the last error is 0, or ERROR_ALREADY_EXISTS
// when CREATE_ALWAYS or OPEN_ALWAYS found the file. A file whose owner may not write
// it counts as read-only: opening it for writing or deleting it is denied.
HANDLE CreateFile(std::string_view aPath, DWORD aAccess, DWORD aShareMode, DWORD aDisposition,
                  DWORD aAttributes = FILE_ATTRIBUTE_NORMAL);
BOOL ReadFile(HANDLE aFile, void* aBuffer, DWORD aToRead, DWORD* aRead);
BOOL WriteFile(HANDLE aFile, const void* aBuffer, DWORD aToWrite, DWORD* aWritten);
DWORD SetFilePointer(HANDLE aFile, LONG aDistance, LONG* aDistanceHigh, DWORD aMethod);
DWORD GetFileSize(HANDLE aFile, DWORD* aSizeHigh);
BOOL CloseHandle(HANDLE aHandle);

BOOL DeleteFile(std::string_view aPath);
BOOL CreateDirectory(std::string_view aPath);
BOOL RemoveDirectory(std::string_view aPath);
DWORD GetFileAttributes(std::string_view aPath);
BOOL SetFileAttributes(std::string_view aPath, DWORD aAttributes);

// Fault switch for tests: the aNth WriteFile call from now on (1 = the next one) fails
// with aError without writing anything. 0 switches it off.
void FailNthWrite(int aNth, DWORD aError = ERROR_DISK_FULL);

// Owns a file handle and closes it.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE aHandle) : iHandle(aHandle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& aOther) noexcept : iHandle(aOther.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& aOther) noexcept {
    Reset(aOther.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }
  HANDLE Get() const { return iHandle; }
  bool Valid() const { return iHandle != INVALID_HANDLE_VALUE; }
  HANDLE Release() {
    HANDLE h = iHandle;
    iHandle = INVALID_HANDLE_VALUE;
    return h;
  }
  void Reset(HANDLE aHandle = INVALID_HANDLE_VALUE) {
    if (iHandle != INVALID_HANDLE_VALUE) CloseHandle(iHandle);
    iHandle = aHandle;
  }

 private:
  HANDLE iHandle = INVALID_HANDLE_VALUE;
};

}  // namespace zwin
