#include "zwindows/files.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

#include "zwindows/codepage.h"
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

// A handle's record, made before its file is opened or created (gMutex held): running
// out of memory then leaves no file created or truncated without a handle for it. A
// record that is never filled is dropped again.
class HandleSlot {
 public:
  HandleSlot() : iSlot(gFiles.try_emplace(gNextHandle).first) {}
  HandleSlot(const HandleSlot&) = delete;
  HandleSlot& operator=(const HandleSlot&) = delete;
  ~HandleSlot() {
    if (!iFilled) gFiles.erase(iSlot);
  }
  // Puts an open descriptor in the record and hands out its handle.
  HANDLE Fill(int aFd, DWORD aAccess, DWORD aShareMode) {
    struct stat opened;
    ::fstat(aFd, &opened);
    iSlot->second = OpenFile{aFd, aAccess, aShareMode, opened.st_dev, opened.st_ino};
    iFilled = true;
    gNextHandle += 4;
    return reinterpret_cast<HANDLE>(iSlot->first);
  }

 private:
  std::map<std::uintptr_t, OpenFile>::iterator iSlot;
  bool iFilled = false;
};

HANDLE FailHandle(DWORD aError) {
  SetLastError(aError);
  return INVALID_HANDLE_VALUE;
}

// Owns a descriptor.
class Descriptor {
 public:
  Descriptor() = default;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Reset(-1); }
  int Get() const { return iFd; }
  void Reset(int aFd) {
    if (iFd >= 0) ::close(iFd);
    iFd = aFd;
  }

 private:
  int iFd = -1;
};

// Opens a symbolic link that stands where a file is asked for (gMutex held). Creating
// or truncating replaces the link itself by a new empty file, made under a fresh name
// beside it and renamed over it; opening for writing is denied; reading follows it.
HANDLE OpenLinkLocked(const HostPath& aPath, DWORD aAccess, DWORD aShareMode, DWORD aDisposition,
                      DWORD aAttributes) {
  struct stat target;
  const bool live = ::stat(aPath.path.c_str(), &target) == 0;
  if (live && S_ISDIR(target.st_mode)) return FailHandle(ERROR_ACCESS_DENIED);
  if (aDisposition == CREATE_NEW) return FailHandle(ERROR_FILE_EXISTS);
  if (aDisposition == CREATE_ALWAYS || aDisposition == TRUNCATE_EXISTING) {
    if (FolderReadOnly(aPath.path)) return FailHandle(ERROR_ACCESS_DENIED);
    HandleSlot slot;
    std::filesystem::path temporary;
    const mode_t mode = (aAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    const int fd = CreateExclusiveHostFile(aPath.path.parent_path(), aPath.path.filename().string(),
                                           temporary, mode);
    if (fd < 0) return FailHandle(ErrorFromErrno(errno));
    if (::rename(temporary.c_str(), aPath.path.c_str()) != 0) {
      const int err = errno;
      ::unlink(temporary.c_str());
      ::close(fd);
      return FailHandle(ErrorFromErrno(err));
    }
    const HANDLE handle = slot.Fill(fd, aAccess, aShareMode);
    SetLastError(aDisposition == CREATE_ALWAYS ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
  }
  if (aAccess & GENERIC_WRITE) return FailHandle(ERROR_ACCESS_DENIED);
  if (!live) return FailHandle(ERROR_FILE_NOT_FOUND);
  if (ShareConflict(target.st_dev, target.st_ino, aAccess, aShareMode)) {
    return FailHandle(ERROR_SHARING_VIOLATION);
  }
  HandleSlot slot;
  const int fd = ::open(aPath.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FailHandle(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno));
  const HANDLE handle = slot.Fill(fd, aAccess, aShareMode);
  SetLastError(aDisposition == OPEN_ALWAYS ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

// Deletes the entry aName of the open folder aFolder; a link is deleted itself.
DWORD DeleteAt(int aFolder, const std::string& aName) {
  struct stat st;
  if (::fstatat(aFolder, aName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return ERROR_FILE_NOT_FOUND;
  if (S_ISDIR(st.st_mode)) return ERROR_ACCESS_DENIED;
  if (ReadOnly(st) && !S_ISLNK(st.st_mode)) return ERROR_ACCESS_DENIED;
  struct stat folder;
  if (::fstat(aFolder, &folder) == 0 && ReadOnly(folder)) return ERROR_ACCESS_DENIED;
  std::lock_guard lock(gMutex);
  for (const auto& [id, f] : gFiles) {
    if (f.dev == st.st_dev && f.ino == st.st_ino && !(f.share & FILE_SHARE_DELETE)) {
      return ERROR_SHARING_VIOLATION;
    }
  }
  if (::unlinkat(aFolder, aName.c_str(), 0) != 0) return ErrorFromErrno(errno);
  return ERROR_SUCCESS;
}

// Removes the empty folder aName of the open folder aFolder; a link is not a folder.
DWORD RemoveDirectoryAt(int aFolder, const std::string& aName) {
  struct stat st;
  if (::fstatat(aFolder, aName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return ERROR_FILE_NOT_FOUND;
  if (!S_ISDIR(st.st_mode)) return ERROR_DIRECTORY;
  struct stat folder;
  if (::fstat(aFolder, &folder) == 0 && ReadOnly(folder)) return ERROR_ACCESS_DENIED;
  if (::unlinkat(aFolder, aName.c_str(), AT_REMOVEDIR) != 0) {
    const int err = errno;
    return err == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorFromErrno(err);
  }
  return ERROR_SUCCESS;
}

// Opens the folder that holds the last component of aPath, found as any path is.
DWORD OpenParent(const HostPath& aPath, Descriptor& aFolder, std::string& aName) {
  if (aPath.root) return ERROR_ACCESS_DENIED;
  if (!aPath.exists) return MissingError(aPath);
  aName = aPath.path.filename().string();
  aFolder.Reset(::open(aPath.path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return aFolder.Get() < 0 ? MissingError(aPath) : ERROR_SUCCESS;
}

// Opens the folder that holds the last component of aRelative below aBase, one folder at
// a time; a symbolic link on the way is passed only when aFollow accepts it (aLinks, when
// given, collects every link met). aName receives the last component's name on the disk.
DWORD OpenBelow(std::string_view aBase, std::string_view aRelative, const FollowLink& aFollow,
                Descriptor& aFolder, std::string& aName, std::vector<std::string>* aLinks) {
  if (aBase.size() + aRelative.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  HostPath base;
  if (DWORD e = ToHostPath(aBase, base)) return e;
  std::vector<std::string> parts;
  if (DWORD e = SplitRelativePath(aRelative, parts)) return e;
  if (parts.empty()) return ERROR_INVALID_NAME;
  aFolder.Reset(::open(base.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (aFolder.Get() < 0) return ERROR_PATH_NOT_FOUND;
  std::string relative;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    std::string name;
    struct stat st;
    if (!FindEntryNoCase(aFolder.Get(), parts[i], name) ||
        ::fstatat(aFolder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      return ERROR_PATH_NOT_FOUND;
    }
    if (!relative.empty()) relative += '\\';
    relative += Utf8ToAnsi(name);
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (S_ISLNK(st.st_mode)) {
      if (aLinks) aLinks->push_back(relative);
      if (!aFollow || !aFollow(relative)) return ERROR_PATH_NOT_FOUND;
    } else {
      flags |= O_NOFOLLOW;  // still the folder just looked at, not a link put in its place
    }
    const int next = ::openat(aFolder.Get(), name.c_str(), flags);
    if (next < 0) return ERROR_PATH_NOT_FOUND;
    aFolder.Reset(next);
  }
  if (!FindEntryNoCase(aFolder.Get(), parts.back(), aName)) aName = AnsiToUtf8(parts.back());
  return ERROR_SUCCESS;
}
}  // namespace

int CreateExclusiveHostFile(const std::filesystem::path& aFolder, std::string_view aStem,
                            std::filesystem::path& aPath, mode_t aMode) {
  // Room for the random part within the longest name the host takes.
  const std::string stem(aStem.substr(0, 200));
  for (int attempt = 0; attempt < 64; ++attempt) {
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random));
    const std::filesystem::path candidate = aFolder / (stem + suffix);
    const int fd =
        ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, aMode);
    if (fd >= 0) {
      aPath = candidate;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

HANDLE CreateTemporaryFileBeside(std::string_view aPath, std::string& aTemporary) {
  HostPath hp;
  if (DWORD e = ToHostPath(aPath, hp)) return FailHandle(e);
  if (hp.root) return FailHandle(ERROR_ACCESS_DENIED);
  if (!hp.parentExists) return FailHandle(ERROR_PATH_NOT_FOUND);
  if (FolderReadOnly(hp.path)) return FailHandle(ERROR_ACCESS_DENIED);
  const std::size_t slash = aPath.find_last_of("\\/");
  const std::string_view folder = slash == std::string_view::npos ? std::string_view() : aPath.substr(0, slash + 1);
  const std::string_view name = slash == std::string_view::npos ? aPath : aPath.substr(slash + 1);
  std::lock_guard lock(gMutex);
  HandleSlot slot;
  std::filesystem::path temporary;
  const int fd = CreateExclusiveHostFile(hp.path.parent_path(), AnsiToUtf8(name), temporary);
  if (fd < 0) return FailHandle(ErrorFromErrno(errno));
  aTemporary = std::string(folder) + Utf8ToAnsi(temporary.filename().string());
  const HANDLE handle = slot.Fill(fd, GENERIC_WRITE, 0);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

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
  const bool exists = ::lstat(hp.path.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    return OpenLinkLocked(hp, aAccess, aShareMode, aDisposition, aAttributes);
  }
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

  // O_NOFOLLOW: a link put in the file's place since it was looked at is refused.
  int flags = O_CLOEXEC | O_NOFOLLOW;
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
  HandleSlot slot;
  const int fd = ::open(hp.path.c_str(), flags, mode);
  if (fd < 0) {
    const int err = errno;
    SetLastError(err == ENOENT ? MissingError(hp) : err == ELOOP ? ERROR_ACCESS_DENIED : ErrorFromErrno(err));
    return INVALID_HANDLE_VALUE;
  }
  const HANDLE handle = slot.Fill(fd, aAccess, aShareMode);
  const bool reportExisting = exists && (aDisposition == CREATE_ALWAYS || aDisposition == OPEN_ALWAYS);
  SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
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
  Descriptor folder;
  std::string name;
  DWORD e = OpenParent(hp, folder, name);
  if (!e) e = DeleteAt(folder.Get(), name);
  if (e == ERROR_FILE_NOT_FOUND) e = MissingError(hp);
  if (e) return Fail(e);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL DeleteFileBelow(std::string_view aBase, std::string_view aRelative, const FollowLink& aFollow) {
  Descriptor folder;
  std::string name;
  DWORD e = OpenBelow(aBase, aRelative, aFollow, folder, name, nullptr);
  if (!e) e = DeleteAt(folder.Get(), name);
  if (e) return Fail(e);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL RemoveDirectoryBelow(std::string_view aBase, std::string_view aRelative,
                          const FollowLink& aFollow) {
  Descriptor folder;
  std::string name;
  DWORD e = OpenBelow(aBase, aRelative, aFollow, folder, name, nullptr);
  if (!e) e = RemoveDirectoryAt(folder.Get(), name);
  if (e) return Fail(e);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

std::vector<std::string> LinkedFoldersBelow(std::string_view aBase, std::string_view aRelative) {
  std::vector<std::string> links;
  Descriptor folder;
  std::string name;
  OpenBelow(aBase, aRelative, [](std::string_view) { return true; }, folder, name, &links);
  return links;
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
  Descriptor folder;
  std::string name;
  DWORD e = OpenParent(hp, folder, name);
  if (!e) e = RemoveDirectoryAt(folder.Get(), name);
  if (e == ERROR_FILE_NOT_FOUND) e = MissingError(hp);
  if (e) return Fail(e);
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
  if (::lstat(hp.path.c_str(), &st) != 0) {
    SetLastError(MissingError(hp));
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (S_ISLNK(st.st_mode)) {
    attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    // A dangling link shows as a file of its own.
    if (::stat(hp.path.c_str(), &st) != 0) st.st_mode = S_IFREG | 0666;
  }
  attributes |= S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
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
  if (::lstat(hp.path.c_str(), &st) != 0) return Fail(MissingError(hp));
  if (S_ISLNK(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
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
