// File and directory operations with Windows semantics: Windows paths, handles,
// share modes, read-only attributes and Windows error codes (see GetLastError).
// A folder whose owner may not write it refuses new and deleted entries (ERROR_ACCESS_DENIED).
//
// Symbolic links: the folders on the way to a file are followed, as the user laid them
// out. The file itself is never written, truncated, created or deleted through a link:
// a link in its place, dangling or not, is an existing entry; creating or truncating
// replaces the link itself by a new file, deleting removes the link, and opening it for
// writing is denied. Reading follows it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
inline constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
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
// A symbolic link has FILE_ATTRIBUTE_REPARSE_POINT, with the directory and read-only
// attributes of what it names (none when it dangles). Setting the attributes of a link
// is denied: they would change what it names.
DWORD GetFileAttributes(std::string_view aPath);
BOOL SetFileAttributes(std::string_view aPath, DWORD aAttributes);

// Says whether a symbolic link found as a folder below a base may be passed through;
// it gets the folder's path relative to the base, "\"-separated, in its letter case
// on the disk.
using FollowLink = std::function<bool(std::string_view aRelativeFolder)>;

// DeleteFile and RemoveDirectory of aBase followed by aRelative, where the folders of
// aRelative are opened one at a time below aBase: a symbolic link among them is passed
// only when aFollow (which may be empty) accepts it; otherwise it counts as a missing
// folder (ERROR_PATH_NOT_FOUND) and nothing beyond it is touched. aBase itself is
// found like any path.
BOOL DeleteFileBelow(std::string_view aBase, std::string_view aRelative, const FollowLink& aFollow);
BOOL RemoveDirectoryBelow(std::string_view aBase, std::string_view aRelative,
                          const FollowLink& aFollow);
// The folders of aRelative below aBase (not its last component) that are symbolic
// links, as their paths relative to aBase in their letter case on the disk.
std::vector<std::string> LinkedFoldersBelow(std::string_view aBase, std::string_view aRelative);

// Creates a file in the handle table for writing with a fresh random name in the folder
// of aPath (its name followed by a random part and ".tmp"), exclusively: never through
// an existing entry or link. aTemporary receives its Windows path.
HANDLE CreateTemporaryFileBeside(std::string_view aPath, std::string& aTemporary);

// The same on the host, for host programs and the layer's own files: a new file in
// aFolder named aStem, a random part and ".tmp", created exclusively (O_CREAT | O_EXCL |
// O_NOFOLLOW) for reading and writing with aMode (less the umask). Returns its
// descriptor and sets aPath, or returns -1 with errno set.
int CreateExclusiveHostFile(const std::filesystem::path& aFolder, std::string_view aStem,
                            std::filesystem::path& aPath, mode_t aMode = 0666);

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
