// The file server on the host: drive mapping, case-insensitive name lookup, sessions
// and files.
#include <f32file.h>
#include <zhost/files.h>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <initializer_list>
#include <map>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string gRootOverride;
std::map<TUint, std::string> gDriveOverrides;
std::map<std::string, std::string> gMemoryContents;

TUint DriveIndex(TChar aDrive) {
  TUint c = TChar::GetUpperCase(aDrive);
  return (c >= 'A' && c <= 'Z') ? c : 0;
}

TInt ErrnoToError(int aErrno) {
  switch (aErrno) {
    case 0:
      return KErrNone;
    case ENOENT:
      return KErrNotFound;
    case ENOTDIR:
      return KErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return KErrAccessDenied;
    case EEXIST:
      return KErrAlreadyExists;
    case ENOTEMPTY:
    case EBUSY:
      return KErrInUse;
    case ENAMETOOLONG:
    case EINVAL:
      return KErrBadName;
    case ENOMEM:
    case EMFILE:
    case ENFILE:
      return KErrNoMemory;
    case ENOSPC:
    case EDQUOT:
      return KErrDiskFull;
    case EFBIG:
    case EOVERFLOW:
      return KErrTooBig;
    default:
      return KErrGeneral;
  }
}

// Decodes UTF-8 into code points (bad bytes become U+FFFD).
std::vector<TUint> CodePoints(const std::string& aText) {
  std::vector<TUint> out;
  const size_t n = aText.size();
  size_t i = 0;
  while (i < n) {
    const TUint c = static_cast<unsigned char>(aText[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    const size_t extra = (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 0;
    TBool ok = extra > 0 && i + extra < n;
    TUint cp = c & (0x3Fu >> extra);
    for (size_t k = 1; ok && k <= extra; ++k) {
      const TUint b = static_cast<unsigned char>(aText[i + k]);
      if ((b & 0xC0) != 0x80)
        ok = EFalse;
      else
        cp = (cp << 6) | (b & 0x3F);
    }
    if (!ok || cp > 0x10FFFF) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

TBool SameFolded(const std::string& aA, const std::string& aB) {
  std::vector<TUint> a = CodePoints(aA), b = CodePoints(aB);
  if (a.size() != b.size()) return EFalse;
  for (size_t i = 0; i < a.size(); ++i)
    if (TChar::GetLowerCase(a[i]) != TChar::GetLowerCase(b[i])) return EFalse;
  return ETrue;
}

// Finds aName in the folder aDir: an exact match, else the first (in byte order) that
// matches without regard to case. Returns EFalse if none does. For an exact match that is
// not a symbolic link, *aIsFolder (when given) tells whether it is a folder, and
// *aKnown is set; otherwise *aKnown is cleared.
TBool FindInFolder(const std::string& aDir, const std::string& aName, std::string& aFound,
                   TBool* aKnown = NULL, TBool* aIsFolder = NULL) {
  if (aKnown) *aKnown = EFalse;
  struct stat st;
  if (lstat((aDir + "/" + aName).c_str(), &st) == 0) {
    aFound = aName;
    if (aKnown && aIsFolder && !S_ISLNK(st.st_mode)) {
      *aKnown = ETrue;
      *aIsFolder = S_ISDIR(st.st_mode);
    }
    return ETrue;
  }
  DIR* dir = opendir(aDir.c_str());
  if (dir == NULL) return EFalse;
  TBool found = EFalse;
  while (struct dirent* e = readdir(dir)) {
    std::string n = e->d_name;
    if (n == "." || n == "..") continue;
    if (SameFolded(n, aName) && (!found || n < aFound)) {
      aFound = n;
      found = ETrue;
    }
  }
  closedir(dir);
  return found;
}

// A folder below aRoot, each component matched without regard to letter case against the
// folders that exist (an SDK unpacked as "Epoc32/Release/..." serves as well as one in
// lower case); components that do not exist yet keep the case given.
std::string FolderBelow(const std::string& aRoot, std::initializer_list<const char*> aComponents) {
  std::string path = aRoot;
  for (const char* component : aComponents) {
    std::string found;
    const TBool exists = FindInFolder(path, component, found);
    path += "/";
    path += exists ? found : component;
  }
  return path;
}

TBool IsDirectory(const std::string& aPath) {
  struct stat st;
  return stat(aPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TInt MakeFolders(const std::string& aHostPath) {
  // aHostPath ends with "/"; create each missing folder in turn.
  for (size_t pos = 1; pos < aHostPath.size(); ++pos) {
    if (aHostPath[pos] != '/') continue;
    std::string part = aHostPath.substr(0, pos);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return ErrnoToError(errno);
    if (!IsDirectory(part)) return KErrAccessDenied;
  }
  return KErrNone;
}

// A new anonymous in-memory file holding aBytes, positioned at its start; -1 with errno
// set on failure.
int MemoryFile(const std::string& aBytes) {
  const int fd = memfd_create("zhost-memory-contents", MFD_CLOEXEC);
  if (fd < 0) return -1;
  size_t done = 0;
  while (done < aBytes.size()) {
    const ssize_t n = write(fd, aBytes.data() + done, aBytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = n < 0 ? errno : ENOSPC;
      close(fd);
      errno = saved;
      return -1;
    }
    done += static_cast<size_t>(n);
  }
  if (lseek(fd, 0, SEEK_SET) != 0) {
    const int saved = errno;
    close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

}  // namespace

namespace ZHost {

EXPORT_C void SetMemoryContents(const std::string& aHostPath, const std::string& aBytes) {
  gMemoryContents[aHostPath] = aBytes;
}

EXPORT_C void ClearMemoryContents(const std::string& aHostPath) {
  if (aHostPath.empty())
    gMemoryContents.clear();
  else
    gMemoryContents.erase(aHostPath);
}

EXPORT_C void SetEpocRoot(const std::string& aPath) { gRootOverride = aPath; }

EXPORT_C std::string EpocRoot() {
  if (!gRootOverride.empty()) return gRootOverride;
  if (const char* env = getenv("ZOLVANE_EPOCROOT"); env && *env) return env;
  if (const char* xdg = getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/zolvane";
  const char* home = getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/share/zolvane";
}

EXPORT_C void SetDrivePath(TChar aDrive, const std::string& aPath) {
  TUint d = DriveIndex(aDrive);
  if (d == 0) return;
  if (aPath.empty())
    gDriveOverrides.erase(d);
  else
    gDriveOverrides[d] = aPath;
}

EXPORT_C TInt DrivePath(TChar aDrive, std::string& aPath) {
  TUint d = DriveIndex(aDrive);
  if (d == 0) return KErrBadName;
  auto it = gDriveOverrides.find(d);
  if (it != gDriveOverrides.end()) {
    aPath = it->second;
    return KErrNone;
  }
  std::string var = std::string("ZOLVANE_DRIVE_") + static_cast<char>(d);
  if (const char* env = getenv(var.c_str()); env && *env) {
    aPath = env;
    return KErrNone;
  }
  if (d == 'C') {
    aPath = FolderBelow(EpocRoot(), {"epoc32", "wins", "c"});
    return KErrNone;
  }
  if (d == 'Z') {
    aPath = FolderBelow(EpocRoot(), {"epoc32", "release", "wins", "udeb", "z"});
    return KErrNone;
  }
  return KErrNotReady;
}

EXPORT_C std::string ToUtf8(const TDesC& aText) {
  std::string out;
  const TUint16* p = aText.Ptr();
  const TInt n = aText.Length();
  for (TInt i = 0; i < n; ++i) {
    TUint c = p[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

EXPORT_C void FromUtf8(const std::string& aText, TDes& aTarget) {
  aTarget.Zero();
  for (TUint c : CodePoints(aText)) {
    if (c >= 0x10000) {
      if (aTarget.Length() + 2 > aTarget.MaxLength()) return;
      aTarget.Append(TChar(0xD800 + ((c - 0x10000) >> 10)));
      aTarget.Append(TChar(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      if (aTarget.Length() + 1 > aTarget.MaxLength()) return;
      aTarget.Append(TChar(c));
    }
  }
}

EXPORT_C TInt HostPath(const TDesC& aDeviceName, std::string& aHostPath) {
  TParse parse;
  TInt error = parse.SetNoWild(aDeviceName, NULL, NULL);
  if (error != KErrNone) return error;
  if (!parse.DrivePresent() || !parse.PathPresent() || parse.Path()[0] != '\\') return KErrBadName;
  std::string base;
  error = DrivePath(parse.Drive()[0], base);
  if (error != KErrNone) return error;

  std::vector<std::string> components;
  TPtrC path = parse.Path();
  TInt start = 1;
  for (TInt i = 1; i < path.Length(); ++i) {
    if (path[i] == '\\') {
      components.push_back(ToUtf8(path.Mid(start, i - start)));
      start = i + 1;
    }
  }
  const TBool isFolder = !parse.NameOrExtPresent();
  if (!isFolder) components.push_back(ToUtf8(parse.NameAndExt()));

  std::string current = base;
  TInt result = KErrNone;
  for (size_t i = 0; i < components.size(); ++i) {
    const TBool last = i + 1 == components.size();
    const TBool mustBeFolder = !last || isFolder;
    std::string found;
    TBool known = EFalse;
    TBool folder = EFalse;
    if (result == KErrNone && FindInFolder(current, components[i], found, &known, &folder)) {
      current += "/" + found;
      if (mustBeFolder && !(known ? folder : IsDirectory(current))) result = KErrPathNotFound;
    } else {
      current += "/" + components[i];
      if (result == KErrNone) result = mustBeFolder ? KErrPathNotFound : KErrNotFound;
    }
  }
  if (isFolder) current += "/";
  aHostPath = current;
  return result;
}

}  // namespace ZHost

// ---- RFs ----

EXPORT_C RFs::RFs() {}

EXPORT_C TInt RFs::Connect(TInt /*aMessageSlots*/) {
  iHandle = 1;
  _LIT(KDefaultPath, "C:\\");
  iSessionPath = KDefaultPath;
  return KErrNone;
}

EXPORT_C void RFs::Close() {
  iHandle = 0;
  iSessionPath.Zero();
}

EXPORT_C TInt RFs::Resolve(const TDesC& aName, TFileName& aFullName, std::string& aHostPath) const {
  if (iHandle == 0) return KErrBadHandle;
  TParse parse;
  TInt error = parse.SetNoWild(aName, &iSessionPath, NULL);
  if (error != KErrNone) return error;
  aFullName = parse.FullName();
  return ZHost::HostPath(aFullName, aHostPath);
}

EXPORT_C TBool RFs::IsValidName(const TDesC& aFileName) const {
  if (aFileName.Length() == 0 || aFileName.Length() > KMaxFileName) return EFalse;
  TParse parse;
  _LIT(KRelated, "C:\\");
  const TDesC& related = iSessionPath.Length() ? static_cast<const TDesC&>(iSessionPath) : static_cast<const TDesC&>(KRelated());
  if (parse.SetNoWild(aFileName, &related, NULL) != KErrNone) return EFalse;
  return parse.NameOrExtPresent();
}

EXPORT_C TInt RFs::Parse(const TDesC& aName, TParse& aParse) const {
  return aParse.Set(aName, &iSessionPath, NULL);
}

EXPORT_C TInt RFs::Parse(const TDesC& aName, const TDesC& aRelated, TParse& aParse) const {
  return aParse.Set(aName, &aRelated, &iSessionPath);
}

EXPORT_C TInt RFs::SessionPath(TDes& aPath) const {
  if (iHandle == 0) return KErrBadHandle;
  if (aPath.MaxLength() < iSessionPath.Length()) return KErrOverflow;
  aPath = iSessionPath;
  return KErrNone;
}

EXPORT_C TInt RFs::SetSessionPath(const TDesC& aPath) {
  if (iHandle == 0) return KErrBadHandle;
  TParse parse;
  TInt error = parse.SetNoWild(aPath, &iSessionPath, NULL);
  if (error != KErrNone) return error;
  if (!parse.DrivePresent() || !parse.PathPresent()) return KErrBadName;
  iSessionPath = parse.DriveAndPath();
  return KErrNone;
}

EXPORT_C TInt RFs::Entry(const TDesC& aName, TEntry& aEntry) const {
  TFileName full;
  std::string host;
  TInt error = Resolve(aName, full, host);
  if (error != KErrNone) return error;
  struct stat st;
  if (stat(host.c_str(), &st) != 0) return ErrnoToError(errno);
  aEntry.iAtt = S_ISDIR(st.st_mode) ? KEntryAttDir : KEntryAttArchive;
  if (access(host.c_str(), W_OK) != 0) aEntry.iAtt |= KEntryAttReadOnly;
  aEntry.iSize = st.st_size > KMaxTInt ? KMaxTInt : static_cast<TInt>(st.st_size);
  aEntry.iModified = TTime(KZHostUnixEpoch + static_cast<TInt64>(st.st_mtim.tv_sec) * 1000000 + st.st_mtim.tv_nsec / 1000);
  std::string leaf = host;
  while (leaf.size() > 1 && leaf.back() == '/') leaf.pop_back();
  leaf = leaf.substr(leaf.rfind('/') + 1);
  TFileName name;
  ZHost::FromUtf8(leaf, name);
  aEntry.iName = name;
  return KErrNone;
}

EXPORT_C TInt RFs::Att(const TDesC& aName, TUint& aAttValue) const {
  TEntry entry;
  TInt error = Entry(aName, entry);
  if (error == KErrNone) aAttValue = entry.iAtt;
  return error;
}

EXPORT_C TInt RFs::MkDir(const TDesC& aPath) {
  if (iHandle == 0) return KErrBadHandle;
  TParse parse;
  TInt error = parse.SetNoWild(aPath, &iSessionPath, NULL);
  if (error != KErrNone) return error;
  if (parse.IsRoot()) return KErrAlreadyExists;
  std::string host;
  error = ZHost::HostPath(parse.DriveAndPath(), host);
  if (error == KErrNone) return KErrAlreadyExists;
  // Only the last folder may be missing.
  TParse parent;
  parent.SetNoWild(parse.DriveAndPath(), NULL, NULL);
  parent.PopDir();
  std::string parentHost;
  if (ZHost::HostPath(parent.DriveAndPath(), parentHost) != KErrNone) return KErrPathNotFound;
  host.pop_back();
  if (mkdir(host.c_str(), 0777) != 0) return ErrnoToError(errno);
  return KErrNone;
}

EXPORT_C TInt RFs::MkDirAll(const TDesC& aPath) {
  if (iHandle == 0) return KErrBadHandle;
  TParse parse;
  TInt error = parse.SetNoWild(aPath, &iSessionPath, NULL);
  if (error != KErrNone) return error;
  std::string host;
  error = ZHost::HostPath(parse.DriveAndPath(), host);
  if (error == KErrNone) return KErrAlreadyExists;
  if (error != KErrNotFound && error != KErrPathNotFound) return error;
  return MakeFolders(host);
}

EXPORT_C TInt RFs::RmDir(const TDesC& aPath) {
  if (iHandle == 0) return KErrBadHandle;
  TParse parse;
  TInt error = parse.SetNoWild(aPath, &iSessionPath, NULL);
  if (error != KErrNone) return error;
  if (parse.IsRoot()) return KErrAccessDenied;
  std::string host;
  error = ZHost::HostPath(parse.DriveAndPath(), host);
  if (error == KErrNotFound) return KErrPathNotFound;
  if (error != KErrNone) return error;
  if (rmdir(host.c_str()) != 0) return ErrnoToError(errno);
  return KErrNone;
}

EXPORT_C TInt RFs::Delete(const TDesC& aName) {
  TFileName full;
  std::string host;
  TInt error = Resolve(aName, full, host);
  if (error != KErrNone) return error;
  if (IsDirectory(host)) return KErrAccessDenied;
  if (unlink(host.c_str()) != 0) return ErrnoToError(errno);
  return KErrNone;
}

EXPORT_C TInt RFs::Rename(const TDesC& aOldName, const TDesC& aNewName) {
  TFileName oldFull, newFull;
  std::string oldHost, newHost;
  TInt error = Resolve(aOldName, oldFull, oldHost);
  if (error != KErrNone) return error;
  error = Resolve(aNewName, newFull, newHost);
  if (error == KErrNone) {
    // The same entry under another letter case is a rename of its case.
    if (oldHost != newHost) return KErrAlreadyExists;
    TParse parse;
    parse.SetNoWild(newFull, NULL, NULL);
    newHost = newHost.substr(0, newHost.rfind('/') + 1) + ZHost::ToUtf8(parse.NameAndExt());
  } else if (error != KErrNotFound) {
    return error;
  }
  while (!oldHost.empty() && oldHost.back() == '/') oldHost.pop_back();
  while (!newHost.empty() && newHost.back() == '/') newHost.pop_back();
  if (rename(oldHost.c_str(), newHost.c_str()) != 0) return ErrnoToError(errno);
  return KErrNone;
}

// ---- RFile ----

EXPORT_C RFile::RFile() : iFd(-1), iMode(0) {}

namespace {
enum { EOpen, ECreate, EReplace };
}

TInt RFile::DoOpen(RFs& aFs, const TDesC& aName, TUint aFileMode, TInt aHow) {
  Close();
  TFileName full;
  std::string host;
  TInt error = aFs.Resolve(aName, full, host);
  if (error == KErrNone || error == KErrNotFound) {
    if (!host.empty() && host.back() == '/') return KErrBadName;  // a folder name
  }
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (aHow) {
    case EOpen:
      if (error != KErrNone) return error;
      flags |= (aFileMode & EFileWrite) ? O_RDWR : O_RDONLY;
      break;
    case ECreate:
      if (error == KErrNone) return KErrAlreadyExists;
      if (error != KErrNotFound) return error;
      flags |= O_RDWR | O_CREAT | O_EXCL;
      aFileMode |= EFileWrite;
      break;
    default:
      if (error != KErrNone && error != KErrNotFound) return error;
      if (error == KErrNone && IsDirectory(host)) return KErrAccessDenied;
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      aFileMode |= EFileWrite;
      break;
  }
  int fd = open(host.c_str(), flags, 0666);
  if (fd < 0) return ErrnoToError(errno);
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // Folders, pipes and devices are not files of the device's file system; a pipe
    // or a device could block or never end.
    close(fd);
    return KErrAccessDenied;
  }
  if (aHow == EOpen && !(aFileMode & EFileWrite)) {
    const auto memory = gMemoryContents.find(host);
    if (memory != gMemoryContents.end()) {
      close(fd);
      fd = MemoryFile(memory->second);
      if (fd < 0) return ErrnoToError(errno);
    }
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  iFd = fd;
  iMode = aFileMode;
  return KErrNone;
}

EXPORT_C TInt RFile::Open(RFs& aFs, const TDesC& aName, TUint aFileMode) { return DoOpen(aFs, aName, aFileMode, EOpen); }
EXPORT_C TInt RFile::Create(RFs& aFs, const TDesC& aName, TUint aFileMode) { return DoOpen(aFs, aName, aFileMode, ECreate); }
EXPORT_C TInt RFile::Replace(RFs& aFs, const TDesC& aName, TUint aFileMode) { return DoOpen(aFs, aName, aFileMode, EReplace); }

EXPORT_C void RFile::Close() {
  if (iFd >= 0) close(iFd);
  iFd = -1;
  iMode = 0;
}

EXPORT_C TInt RFile::Read(TDes8& aDes, TInt aLength) const {
  if (iFd < 0) return KErrBadHandle;
  if (aLength < 0) return KErrArgument;
  if (aLength > aDes.MaxLength()) return KErrOverflow;
  TUint8* target = const_cast<TUint8*>(aDes.Ptr());
  TInt done = 0;
  while (done < aLength) {
    ssize_t n = read(iFd, target + done, static_cast<size_t>(aLength - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      aDes.SetLength(done);
      return ErrnoToError(errno);
    }
    if (n == 0) break;
    done += static_cast<TInt>(n);
  }
  aDes.SetLength(done);
  return KErrNone;
}

EXPORT_C TInt RFile::Read(TDes8& aDes) const { return Read(aDes, aDes.MaxLength()); }

EXPORT_C TInt RFile::Read(TInt aPos, TDes8& aDes, TInt aLength) const {
  if (iFd < 0) return KErrBadHandle;
  if (aPos < 0) return KErrArgument;
  if (lseek(iFd, aPos, SEEK_SET) < 0) return ErrnoToError(errno);
  return Read(aDes, aLength);
}

EXPORT_C TInt RFile::Read(TInt aPos, TDes8& aDes) const { return Read(aPos, aDes, aDes.MaxLength()); }

EXPORT_C TInt RFile::Write(const TDesC8& aDes, TInt aLength) {
  if (iFd < 0) return KErrBadHandle;
  if (!(iMode & EFileWrite)) return KErrAccessDenied;
  if (aLength < 0 || aLength > aDes.Length()) return KErrArgument;
  const TUint8* source = aDes.Ptr();
  TInt done = 0;
  while (done < aLength) {
    ssize_t n = write(iFd, source + done, static_cast<size_t>(aLength - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrnoToError(errno);
    }
    done += static_cast<TInt>(n);
  }
  return KErrNone;
}

EXPORT_C TInt RFile::Write(const TDesC8& aDes) { return Write(aDes, aDes.Length()); }

EXPORT_C TInt RFile::Write(TInt aPos, const TDesC8& aDes) {
  if (iFd < 0) return KErrBadHandle;
  if (aPos < 0) return KErrArgument;
  if (lseek(iFd, aPos, SEEK_SET) < 0) return ErrnoToError(errno);
  return Write(aDes, aDes.Length());
}

EXPORT_C TInt RFile::Size(TInt& aSize) const {
  if (iFd < 0) return KErrBadHandle;
  struct stat st;
  if (fstat(iFd, &st) != 0) return ErrnoToError(errno);
  if (st.st_size > KMaxTInt) return KErrTooBig;
  aSize = static_cast<TInt>(st.st_size);
  return KErrNone;
}

EXPORT_C TInt RFile::SetSize(TInt aSize) {
  if (iFd < 0) return KErrBadHandle;
  if (!(iMode & EFileWrite)) return KErrAccessDenied;
  if (aSize < 0) return KErrArgument;
  if (ftruncate(iFd, aSize) != 0) return ErrnoToError(errno);
  return KErrNone;
}

EXPORT_C TInt RFile::Seek(TSeek aMode, TInt& aPos) const {
  if (iFd < 0) return KErrBadHandle;
  int whence;
  switch (aMode) {
    case ESeekStart:
      if (aPos < 0) return KErrArgument;
      whence = SEEK_SET;
      break;
    case ESeekCurrent:
      whence = SEEK_CUR;
      break;
    case ESeekEnd:
      whence = SEEK_END;
      break;
    default:
      return KErrNotSupported;
  }
  off_t pos = lseek(iFd, aPos, whence);
  if (pos < 0) {
    // Before the start: the device moves to the start.
    if (errno != EINVAL) return ErrnoToError(errno);
    pos = lseek(iFd, 0, SEEK_SET);
  }
  if (pos > KMaxTInt) return KErrTooBig;
  aPos = static_cast<TInt>(pos);
  return KErrNone;
}

EXPORT_C TInt RFile::Flush() {
  if (iFd < 0) return KErrBadHandle;
  return KErrNone;
}
