#include "HostPrograms.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "zwindows/paths.h"

namespace zolv::install {

bool MakeRunnableWhenProgram(const std::string& aWindowsPath) {
  zwin::HostPath host;
  if (zwin::ToHostPath(aWindowsPath, host) != 0) return false;
  // O_NOFOLLOW: the installer writes regular files; a link put in their place is not ours.
  const int fd = ::open(host.path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  char head[4] = {};
  const ssize_t got = ::read(fd, head, sizeof head);
  struct stat st = {};
  bool program = false;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    program = (got == 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0) ||
              (got >= 2 && head[0] == '#' && head[1] == '!');
  }
  bool changed = false;
  if (program) {
    const mode_t mode = st.st_mode & 07777;
    const mode_t runnable = mode | ((mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 2);
    changed = runnable != mode && ::fchmod(fd, runnable) == 0;
  }
  ::close(fd);
  return changed;
}

}  // namespace zolv::install
