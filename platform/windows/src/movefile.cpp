#include "zwindows/movefile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "zwindows/error.h"
#include "zwindows/paths.h"

namespace zwin {

namespace {
BOOL Fail(DWORD aError) {
  SetLastError(aError);
  return FALSE;
}

bool WritableFolder(const std::filesystem::path& aEntry) {
  struct stat st;
  return ::stat(aEntry.parent_path().c_str(), &st) == 0 && (st.st_mode & S_IWUSR) != 0;
}

void SyncPath(const std::filesystem::path& aPath, int aFlags) {
  const int fd = ::open(aPath.c_str(), aFlags | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}
}  // namespace

BOOL MoveFileEx(std::string_view aFrom, std::string_view aTo, DWORD aFlags) {
  HostPath from, to;
  if (DWORD e = ToHostPath(aFrom, from)) return Fail(e);
  if (DWORD e = ToHostPath(aTo, to)) return Fail(e);
  if (!from.exists) return Fail(MissingError(from));
  if (!to.parentExists) return Fail(ERROR_PATH_NOT_FOUND);
  struct stat st;
  if (to.exists && ::lstat(to.path.c_str(), &st) == 0) {
    if (!(aFlags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
    if (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0) return Fail(ERROR_ACCESS_DENIED);
  }
  if (!WritableFolder(from.path) || !WritableFolder(to.path)) return Fail(ERROR_ACCESS_DENIED);
  if (aFlags & MOVEFILE_WRITE_THROUGH) SyncPath(from.path, O_RDONLY | O_NOFOLLOW);
  if (::rename(from.path.c_str(), to.path.c_str()) != 0) {
    const int err = errno;
    return Fail(err == EXDEV ? ERROR_NOT_SAME_DEVICE : ErrorFromErrno(err));
  }
  if (aFlags & MOVEFILE_WRITE_THROUGH) SyncPath(to.path.parent_path(), O_RDONLY | O_DIRECTORY);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

}  // namespace zwin
