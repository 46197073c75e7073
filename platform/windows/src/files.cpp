#include "zwindows/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "zwindows/error.h"
#include "zwindows/paths.h"

namespace zwin {

namespace {
struct OpenFile {
  int fd;
  DWORD access;
  DWORD share;
  dev_t dev;
  ino_t ino;
};

std::mutex gMutex;
std::map<std::uintptr_t, OpenFile> gFiles;
std::uintptr_t gNextHandle = 0x100;
int gWriteCountdown = 0;
DWORD gWriteFaultError = ERROR_DISK_FULL;

BOOL Fail(DWORD aError) {
  SetLastError(aError);
  return FALSE;
}

bool ReadOnly(const struct stat& aSt) { return (aSt.st_mode & S_IWUSR) == 0; }

// A folder whose owner may not write it takes no new entries and loses none, even
// for a process that the host would let through (the tools run as that owner).
bool FolderReadOnly(const std::filesystem::path& aEntry) {
  struct stat st;
  return ::stat(aEntry.parent_path().c_str(), &st) == 0 && ReadOnly(st);
}

// True when another open handle's share mode, or ours, forbids opening with aAccess.
bool ShareConflict(dev_t aDev, ino_t aIno, DWORD aAccess, DWORD aShare) {
  for (const auto& [id, f] : gFiles) {
    if (f.dev != aDev || f.ino != aIno) continue;
    if ((aAccess & GENERIC_READ) && !(f.share & FILE_SHARE_READ)) return true;
    if ((aAccess & GENERIC_WRITE) && !(f.share & FILE_SHARE_WRITE)) return true;
    if ((f.access & GENERIC_READ) && !(aShare & FILE_SHARE_READ)) return true;
    if ((f.access & GENERIC_WRITE) && !(aShare & FILE_SHARE_WRITE)) return true;
  }
  return false;
}

OpenFile* Lookup(HANDLE aHandle) {
  auto it = gFiles.find(reinterpret_cast<std::uintptr_t>(aHandle));
  return it == gFiles.end() ? nullptr : &it->second;
}
}  // namespace

HANDLE CreateFile(std::string_view aPath, DWORD aAccess, DWORD aShareMode, DWORD aDisposition,
                  DWORD aAttributes) {
  HostPath hp;
  if (DWORD e = ToHostPath(aPath, hp)) {
    SetLastError(e);
    return INVALID_HANDLE_VALUE;
  }
  if (aDisposition < CREATE_NEW || aDisposition > TRUNCATE_EXISTING ||
      (aDisposition == TRUNCATE_EXISTING && !(aAccess & GENERIC_WRITE))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::lock_guard lock(gMutex);
  struct stat st;
  const bool exists = ::stat(hp.path.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (!exists) {
    if (aDisposition == OPEN_EXISTING || aDisposition == TRUNCATE_EXISTING || !hp.parentExists) {
      SetLastError(MissingError(hp));
      return INVALID_HANDLE_VALUE;
    }
    if (FolderReadOnly(hp.path)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
  } else {
    if (aDisposition == CREATE_NEW) {
      SetLastError(ERROR_FILE_EXISTS);
      return INVALID_HANDLE_VALUE;
    }
    const bool writes = (aAccess & GENERIC_WRITE) || aDisposition == CREATE_ALWAYS ||
                        aDisposition == TRUNCATE_EXISTING;
    if (writes && ReadOnly(st)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    if (ShareConflict(st.st_dev, st.st_ino, aAccess, aShareMode)) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return INVALID_HANDLE_VALUE;
    }
  }

  int flags = O_CLOEXEC;
  if ((aAccess & GENERIC_READ) && (aAccess & GENERIC_WRITE)) {
    flags |= O_RDWR;
  } else if (aAccess & GENERIC_WRITE) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  switch (aDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: break;
  }
  if ((flags & O_TRUNC) && (flags & O_ACCMODE) == O_RDONLY) flags = (flags & ~O_ACCMODE) | O_RDWR;
  const mode_t mode = (aAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  // The handle's record is made before the file is opened: running out of memory then
  // leaves no file created or truncated without a handle for it.
  const std::uintptr_t id = gNextHandle;
  const auto slot = gFiles.try_emplace(id).first;
  const int fd = ::open(hp.path.c_str(), flags, mode);
  if (fd < 0) {
    const int err = errno;
    gFiles.erase(slot);
    SetLastError(err == ENOENT ? MissingError(hp) : ErrorFromErrno(err));
    return INVALID_HANDLE_VALUE;
  }
  struct stat opened;
  ::fstat(fd, &opened);
  gNextHandle += 4;
  slot->second = OpenFile{fd, aAccess, aShareMode, opened.st_dev, opened.st_ino};
  const bool reportExisting = exists && (aDisposition == CREATE_ALWAYS || aDisposition == OPEN_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return reinterpret_cast<HANDLE>(id);
}

BOOL ReadFile(HANDLE aFile, void* aBuffer, DWORD aToRead, DWORD* aRead) {
  std::lock_guard lock(gMutex);
  if (aRead) *aRead = 0;
  OpenFile* f = Lookup(aFile);
  if (!f) return Fail(ERROR_INVALID_HANDLE);
  if (!(f->access & GENERIC_READ)) return Fail(ERROR_ACCESS_DENIED);
  DWORD done = 0;
  auto* out = static_cast<char*>(aBuffer);
  while (done < aToRead) {
    const ssize_t n = ::read(f->fd, out + done, aToRead - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(ErrorFromErrno(errno));
    }
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  if (aRead) *aRead = done;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL WriteFile(HANDLE aFile, const void* aBuffer, DWORD aToWrite, DWORD* aWritten) {
  std::lock_guard lock(gMutex);
  if (aWritten) *aWritten = 0;
  OpenFile* f = Lookup(aFile);
  if (!f) return Fail(ERROR_INVALID_HANDLE);
  if (!(f->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
  if (gWriteCountdown > 0 && --gWriteCountdown == 0) return Fail(gWriteFaultError);
  DWORD done = 0;
  const auto* in = static_cast<const char*>(aBuffer);
  while (done < aToWrite) {
    const ssize_t n = ::write(f->fd, in + done, aToWrite - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (aWritten) *aWritten = done;
      return Fail(ErrorFromErrno(errno));
    }
    done += static_cast<DWORD>(n);
  }
  if (aWritten) *aWritten = done;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

DWORD SetFilePointer(HANDLE aFile, LONG aDistance, LONG* aDistanceHigh, DWORD aMethod) {
  std::lock_guard lock(gMutex);
  OpenFile* f = Lookup(aFile);
  if (!f) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  std::int64_t distance = aDistanceHigh
                              ? (static_cast<std::int64_t>(*aDistanceHigh) << 32) |
                                    static_cast<std::uint32_t>(aDistance)
                              : aDistance;
  std::int64_t base = 0;
  if (aMethod == FILE_CURRENT) {
    base = ::lseek(f->fd, 0, SEEK_CUR);
  } else if (aMethod == FILE_END) {
    base = ::lseek(f->fd, 0, SEEK_END);
  } else if (aMethod != FILE_BEGIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  const std::int64_t target = base + distance;
  if (target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (::lseek(f->fd, target, SEEK_SET) < 0) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_SET_FILE_POINTER;
  }
  if (aDistanceHigh) *aDistanceHigh = static_cast<LONG>(target >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(target & 0xFFFFFFFFu);
}

DWORD GetFileSize(HANDLE aFile, DWORD* aSizeHigh) {
  std::lock_guard lock(gMutex);
  OpenFile* f = Lookup(aFile);
  struct stat st;
  if (!f || ::fstat(f->fd, &st) != 0) {
    SetLastError(f ? ErrorFromErrno(errno) : ERROR_INVALID_HANDLE);
    return 0xFFFFFFFFu;
  }
  if (aSizeHigh) *aSizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(st.st_size) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(st.st_size & 0xFFFFFFFF);
}

BOOL CloseHandle(HANDLE aHandle) {
  std::lock_guard lock(gMutex);
  auto it = gFiles.find(reinterpret_cast<std::uintptr_t>(aHandle));
  if (it == gFiles.end()) return Fail(ERROR_INVALID_HANDLE);
  ::close(it->second.fd);
  gFiles.erase(it);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL DeleteFile(std::string_view aPath) {
  HostPath hp;
  if (DWORD e = ToHostPath(aPath, hp)) return Fail(e);
  std::lock_guard lock(gMutex);
  struct stat st;
  if (::lstat(hp.path.c_str(), &st) != 0) return Fail(MissingError(hp));
  if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (ReadOnly(st) && !S_ISLNK(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (FolderReadOnly(hp.path)) return Fail(ERROR_ACCESS_DENIED);
  for (const auto& [id, f] : gFiles) {
    if (f.dev == st.st_dev && f.ino == st.st_ino && !(f.share & FILE_SHARE_DELETE)) {
      return Fail(ERROR_SHARING_VIOLATION);
    }
  }
  if (::unlink(hp.path.c_str()) != 0) return Fail(ErrorFromErrno(errno));
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL CreateDirectory(std::string_view aPath) {
  HostPath hp;
  if (DWORD e = ToHostPath(aPath, hp)) return Fail(e);
  if (hp.exists) return Fail(ERROR_ALREADY_EXISTS);
  if (!hp.parentExists) return Fail(ERROR_PATH_NOT_FOUND);
  if (FolderReadOnly(hp.path)) return Fail(ERROR_ACCESS_DENIED);
  if (::mkdir(hp.path.c_str(), 0777) != 0) {
    const int err = errno;
    return Fail(err == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL RemoveDirectory(std::string_view aPath) {
  HostPath hp;
  if (DWORD e = ToHostPath(aPath, hp)) return Fail(e);
  struct stat st;
  if (::lstat(hp.path.c_str(), &st) != 0) return Fail(MissingError(hp));
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (FolderReadOnly(hp.path)) return Fail(ERROR_ACCESS_DENIED);
  if (::rmdir(hp.path.c_str()) != 0) {
    const int err = errno;
    return Fail(err == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorFromErrno(err));
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

DWORD GetFileAttributes(std::string_view aPath) {
  HostPath hp;
  if (DWORD e = ToHostPath(aPath, hp)) {
    SetLastError(e);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat st;
  if (::stat(hp.path.c_str(), &st) != 0) {
    SetLastError(MissingError(hp));
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (ReadOnly(st)) attributes |= FILE_ATTRIBUTE_READONLY;
  const std::string name = hp.path.filename().string();
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  SetLastError(ERROR_SUCCESS);
  return attributes;
}

BOOL SetFileAttributes(std::string_view aPath, DWORD aAttributes) {
  HostPath hp;
  if (DWORD e = ToHostPath(aPath, hp)) return Fail(e);
  struct stat st;
  if (::stat(hp.path.c_str(), &st) != 0) return Fail(MissingError(hp));
  mode_t mode = st.st_mode & 07777;
  if (aAttributes & FILE_ATTRIBUTE_READONLY) {
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  } else {
    mode |= S_IWUSR;
  }
  if (::chmod(hp.path.c_str(), mode) != 0) return Fail(ErrorFromErrno(errno));
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

void FailNthWrite(int aNth, DWORD aError) {
  std::lock_guard lock(gMutex);
  gWriteCountdown = aNth > 0 ? aNth : 0;
  gWriteFaultError = aError;
}

}  // namespace zwin
