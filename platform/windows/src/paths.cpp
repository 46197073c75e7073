#include "zwindows/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <vector>

#include "zwindows/codepage.h"

namespace fs = std::filesystem;

namespace zwin {

namespace {
std::mutex gMutex;
fs::path gOverride;
fs::path gPrefix;  // resolved and prepared prefix, empty until first use
std::atomic<unsigned> gGeneration{1};

fs::path DefaultPrefix() {
  if (const char* env = std::getenv("ZOLVANE_PREFIX"); env && *env) return fs::path(env);
  fs::path data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    data = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    data = fs::path(home) / ".local" / "share";
  } else {
    data = fs::temp_directory_path();
  }
  return data / "zolvane" / "prefix";
}

void PreparePrefix(const fs::path& aPrefix) {
  std::error_code ec;
  fs::create_directories(aPrefix / "drive_c" / "windows" / "system32", ec);
  fs::create_directories(aPrefix / "dosdevices", ec);
  const fs::path c = aPrefix / "dosdevices" / "c:";
  if (!fs::exists(fs::symlink_status(c, ec))) fs::create_directory_symlink("../drive_c", c, ec);
  const fs::path z = aPrefix / "dosdevices" / "z:";
  if (!fs::exists(fs::symlink_status(z, ec))) fs::create_directory_symlink("/", z, ec);
}

bool IsDirectory(const fs::path& aPath) {
  struct stat st;
  return ::stat(aPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Host folder of a drive letter, or empty when the drive does not exist.
fs::path DriveRoot(char aLetter) {
  const char lower = static_cast<char>(aLetter | 0x20);
  const fs::path prefix = PrefixDirectory();
  const fs::path link = prefix / "dosdevices" / (std::string(1, lower) + ":");
  if (IsDirectory(link)) return link;
  if (lower == 'c' && IsDirectory(prefix / "drive_c")) return prefix / "drive_c";
  if (lower == 'z') return fs::path("/");
  return {};
}

bool IsInvalidNameChar(unsigned char aChar) {
  return aChar < 32 || aChar == '<' || aChar == '>' || aChar == ':' || aChar == '"' ||
         aChar == '|' || aChar == '?' || aChar == '*';
}

// Splits a Windows path into its components, applying "." and ".." and dropping the
// trailing dots and blanks that the system ignores in names.
DWORD AppendComponents(std::string_view aPath, std::vector<std::string>& aParts) {
  std::size_t pos = 0;
  while (pos <= aPath.size()) {
    std::size_t end = aPath.find_first_of("\\/", pos);
    if (end == std::string_view::npos) end = aPath.size();
    std::string part(aPath.substr(pos, end - pos));
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!aParts.empty()) aParts.pop_back();
      continue;
    }
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (part.empty()) continue;
    for (char c : part) {
      if (IsInvalidNameChar(static_cast<unsigned char>(c))) return ERROR_INVALID_NAME;
    }
    if (part.size() > 255) return ERROR_FILENAME_EXCED_RANGE;
    aParts.push_back(std::move(part));
  }
  return ERROR_SUCCESS;
}

// Finds an entry of aDir whose name equals aAnsiName without regard to letter case.
bool FindNoCase(const fs::path& aDir, const std::string& aAnsiName, std::string& aHostName) {
  const int folder = ::open(aDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return false;
  const bool found = FindEntryNoCase(folder, aAnsiName, aHostName);
  ::close(folder);
  return found;
}
}  // namespace

bool FindEntryNoCase(int aFolder, const std::string& aAnsiName, std::string& aHostName) {
  const std::string exact = AnsiToUtf8(aAnsiName);
  struct stat st;
  if (!exact.empty() && exact.find('/') == std::string::npos &&
      ::fstatat(aFolder, exact.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    aHostName = exact;
    return true;
  }
  // A descriptor of its own, so that reading the folder moves no shared offset.
  const int listing = ::openat(aFolder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return false;
  DIR* dir = ::fdopendir(listing);
  if (!dir) {
    ::close(listing);
    return false;
  }
  bool found = false;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (EqualsNoCaseAnsi(Utf8ToAnsi(name), aAnsiName) && (!found || name < aHostName)) {
      aHostName = name;  // the smallest of several matches, so the choice is stable
      found = true;
    }
  }
  ::closedir(dir);
  return found;
}

DWORD SplitRelativePath(std::string_view aPath, std::vector<std::string>& aParts) {
  aParts.clear();
  return AppendComponents(aPath, aParts);
}

fs::path PrefixDirectory() {
  std::lock_guard lock(gMutex);
  if (gPrefix.empty()) {
    fs::path prefix = gOverride.empty() ? DefaultPrefix() : gOverride;
    std::error_code ec;
    prefix = fs::absolute(prefix, ec).lexically_normal();
    if (!prefix.empty() && prefix.has_filename() == false) prefix = prefix.parent_path();
    PreparePrefix(prefix);
    gPrefix = prefix;
  }
  return gPrefix;
}

void SetPrefixDirectory(const fs::path& aPrefix) {
  std::lock_guard lock(gMutex);
  gOverride = aPrefix;
  gPrefix.clear();
  ++gGeneration;
}

unsigned PrefixGeneration() { return gGeneration.load(); }

DWORD ToHostPath(std::string_view aWindowsPath, HostPath& aResult) {
  aResult = HostPath{};
  std::string path(aWindowsPath);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (path.rfind("\\\\?\\", 0) == 0) path.erase(0, 4);
  if (path.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  if (path.rfind("\\\\", 0) == 0) return ERROR_BAD_NETPATH;

  std::vector<std::string> parts;
  char drive = 0;
  std::string_view rest = path;
  const auto isLetter = [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; };
  if (path.size() >= 2 && path[1] == ':' && isLetter(path[0])) {
    drive = static_cast<char>(path[0] & ~0x20);
    rest.remove_prefix(2);
    // Only a drive-relative path ("C:name") needs the current folder.
    if (!rest.empty() && rest[0] != '\\') {
      const std::string cwd = GetCurrentDirectory();
      if (cwd.size() >= 2 && (cwd[0] & ~0x20) == drive) {
        if (DWORD e = AppendComponents(std::string_view(cwd).substr(2), parts)) return e;
      }
    }
  } else {
    const std::string cwd = GetCurrentDirectory();
    drive = cwd.empty() ? 'Z' : static_cast<char>(cwd[0] & ~0x20);
    if (path.empty() || path[0] != '\\') {
      if (DWORD e = AppendComponents(std::string_view(cwd).substr(2), parts)) return e;
    }
  }
  if (DWORD e = AppendComponents(rest, parts)) return e;

  fs::path host = DriveRoot(drive);
  if (host.empty()) return ERROR_PATH_NOT_FOUND;
  bool allFound = true;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string name;
    if (allFound && i > 0 && !IsDirectory(host)) allFound = false;
    if (allFound && FindNoCase(host, parts[i], name)) {
      host /= name;
    } else {
      if (allFound && i + 1 == parts.size()) aResult.parentExists = true;
      allFound = false;
      host /= AnsiToUtf8(parts[i]);
    }
  }
  if (parts.empty()) {
    aResult.parentExists = true;
    aResult.root = true;
  }
  if (allFound) {
    aResult.exists = true;
    aResult.parentExists = parts.size() < 2 || IsDirectory(host.parent_path());
  }
  aResult.path = host;
  return ERROR_SUCCESS;
}

DWORD MissingError(const HostPath& aPath) {
  return aPath.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

std::string ToWindowsPath(const fs::path& aHostPath) {
  std::error_code ec;
  fs::path host = fs::absolute(aHostPath, ec).lexically_normal();
  // Resolve symbolic links in the part that exists, so that drive links are recognised.
  fs::path canonical = fs::weakly_canonical(host, ec);
  if (!ec) host = canonical;

  const fs::path prefix = PrefixDirectory();
  char bestDrive = 'Z';
  fs::path bestRel = host.relative_path();
  std::size_t bestLen = 0;
  auto consider = [&](char aLetter, const fs::path& aRoot) {
    std::error_code e;
    const fs::path root = fs::canonical(aRoot, e);
    if (e || root == "/") return;
    const fs::path rel = host.lexically_relative(root);
    if (rel.empty() || *rel.begin() == "..") return;
    const std::size_t len = root.native().size();
    if (len > bestLen) {
      bestLen = len;
      bestDrive = aLetter;
      bestRel = rel == "." ? fs::path() : rel;
    }
  };
  for (char letter = 'a'; letter <= 'y'; ++letter) {
    const fs::path link = prefix / "dosdevices" / (std::string(1, letter) + ":");
    if (IsDirectory(link)) consider(static_cast<char>(letter & ~0x20), link);
  }
  consider('C', prefix / "drive_c");

  std::string result(1, bestDrive);
  result += ":\\";
  bool first = true;
  for (const auto& part : bestRel) {
    if (part.empty()) continue;
    if (!first) result += '\\';
    result += Utf8ToAnsi(part.string());
    first = false;
  }
  return result;
}

std::string GetWindowsDirectory() {
  std::error_code ec;
  fs::create_directories(PrefixDirectory() / "drive_c" / "windows", ec);
  return "C:\\windows";
}

std::string GetCurrentDirectory() {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  if (ec) return "Z:\\";
  return ToWindowsPath(cwd);
}

}  // namespace zwin
