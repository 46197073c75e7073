#include "InstallEngine.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "HostPrograms.h"
#include "InstallFile.h"
#include "zwindows/codepage.h"
#include "zwindows/error.h"
#include "zwindows/files.h"
#include "zwindows/paths.h"
#include "zwindows/registry.h"

namespace zolv::install {

using namespace zwin;

namespace {
constexpr DWORD kChunk = 512;
constexpr std::size_t kRegistryTextSize = 1024;
constexpr std::size_t kSystemTextLimit = 1024;
constexpr std::size_t kFileNameThreshold = 512;

std::int64_t NonNegative(std::int64_t aSize) { return aSize > 0 ? aSize : 0; }
std::int64_t Advance(std::int64_t aOffset, std::int64_t aSize) {
  return std::min(aOffset + NonNegative(aSize), kMaxSize * 2);
}
}  // namespace

std::string FolderPart(std::string_view aDirectory) {
  const std::size_t separator = aDirectory.find_last_of("\\/");
  return separator == std::string_view::npos ? std::string() : std::string(aDirectory.substr(0, separator + 1));
}

std::string SystemErrorText(unsigned aError, const std::string& aFile) {
  std::string text = SystemMessage(aError);
  if (text.size() > kSystemTextLimit) text.resize(kSystemTextLimit);
  if (text.size() < kFileNameThreshold) text += "\n" + aFile;
  return text;
}

void RegWriteString(std::string_view aKey, const std::string& aName, std::string_view aText) {
  HKEY key = 0;
  if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, aKey, 0, "", REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                     &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::string value(aText.substr(0, aText.find('\0')));
  RegSetValueEx(key, aName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

std::string RegReadString(std::string_view aKey, const std::string& aName) {
  HKEY key = 0;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, aKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  char buffer[kRegistryTextSize] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  const LONG result =
      RegQueryValueEx(key, aName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return {};
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

bool RegValueExists(std::string_view aKey, const std::string& aName) {
  HKEY key = 0;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, aKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  const LONG result = RegQueryValueEx(key, aName.c_str(), nullptr, nullptr, nullptr, &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string RegReadText(std::string_view aKey, const std::string& aName) {
  HKEY key = 0;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, aKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  DWORD size = 0;
  DWORD type = 0;
  std::string text;
  if (RegQueryValueEx(key, aName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    text.resize(size);
    if (RegQueryValueEx(key, aName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                        &size) != ERROR_SUCCESS) {
      size = 0;
    }
    text.resize(strnlen(text.data(), std::min<std::size_t>(size, text.size())));
  }
  RegCloseKey(key);
  return text;
}

void RegDeleteString(std::string_view aKey, const std::string& aName) {
  HKEY key = 0;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, aKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  RegDeleteValue(key, aName.c_str());
  RegCloseKey(key);
}

InstallEngine::InstallEngine(UserInterface& aUi) : iUi(aUi), iProgramsFolder(FindProgramsFolder()) {}

void InstallEngine::SetTargetDirectory(std::string aDirectory, std::size_t aIndex) {
  if (aIndex < iTargetDirectories.size()) {
    iTargetDirectories[aIndex] = std::move(aDirectory);
  } else {
    iTargetDirectories.push_back(std::move(aDirectory));
  }
}

std::string InstallEngine::TargetDirectory(std::size_t aIndex) const {
  return aIndex < iTargetDirectories.size() ? iTargetDirectories[aIndex] : std::string();
}

int InstallEngine::Box(const std::string& aText, const char* aTitle, unsigned aType) {
  return iUi.MessageBox(aText, aTitle, aType);
}

void InstallEngine::Report(const std::string& aText, const char* aTitle) {
  const bool error = std::strcmp(aTitle, "Notice") != 0;
  Box(aText, aTitle, MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

CopyResult InstallEngine::FileError(unsigned aError, const std::string& aFile, const char* aTitle) {
  switch (Box(SystemErrorText(aError, aFile), aTitle, MB_ABORTRETRYIGNORE | MB_ICONERROR)) {
    case IDABORT: return CopyResult::Abort;
    case IDRETRY: return CopyResult::Retry;
    default: return CopyResult::Ignore;
  }
}

std::string InstallEngine::ProductKey() const { return "SOFTWARE\\" + iCompany + "\\" + iProduct; }

std::string InstallEngine::UninstallListPath(std::string_view aCompany, std::string_view aProduct) {
  std::string directory = GetWindowsDirectory();
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  return directory + std::string(aCompany) + "_" + std::string(aProduct) + "__uninstall.lst";
}

std::string InstallEngine::CreateTargetDirectories(std::string_view aPath) {
  std::size_t first = aPath.find('\\');
  if (first == std::string_view::npos) return {};
  for (std::size_t b = aPath.find('\\', first + 1); b != std::string_view::npos;
       b = aPath.find('\\', b + 1)) {
    if (CreateDirectory(aPath.substr(0, b))) continue;
    const DWORD error = GetLastError();
    if (error == ERROR_SUCCESS) continue;
    if (error == ERROR_ALREADY_EXISTS) {
      first = b;
      continue;
    }
    return {};
  }
  return std::string(aPath.substr(first + 1));
}

bool InstallEngine::Install(std::string_view aFileName) {
  iDataOffset = 0;
  std::string text;
  if (!ReadTextFile(iSourceDirectory + std::string(aFileName), text)) {
    Report("Installation file not found!", "Error");
    return false;
  }
  const Header header = ReadHeader(text);
  iCompany = header.company;
  iProduct = header.product;
  iVersion = header.version;
  iDataFile = header.dataFile;
  if (!iDataFile.empty()) {
    UniqueHandle data(CreateFile(iDataFile, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    if (!data.Valid()) {
      Report("Installation data file missing!", "Error");
      return false;
    }
  }
  // Company and product name the registry key and the uninstall list's file in the
  // Windows directory: a separator in them would put the list somewhere else.
  if (!header.Complete() || iCompany.find_first_of("\\/") != std::string::npos ||
      iProduct.find_first_of("\\/") != std::string::npos) {
    Report("Invalid header in the installation file!", "Error");
    return false;
  }

  const std::string key = ProductKey();
  const std::string installed = RegReadString(key, "Version");
  bool previousKept = false;
  if (!installed.empty()) {
    if (Box("Version " + installed + " of " + iCompany + "'s " + iProduct +
                "\nis already installed. Replace it with version " + iVersion + "?",
            "Confirm", MB_YESNO | MB_ICONQUESTION) != IDYES) {
      Report("Installation calcelled by the user.", "Notice");
      return false;
    }
    previousKept = !RemoveInstalledList(RegReadString(key, "Uninstall"), iCompany, iProduct, installed);
  }
  RegWriteString(key, "Version", iVersion);

  const std::string listPath = UninstallListPath(iCompany, iProduct);
  if (!WriteTextFile(listPath, text)) {
    // Nothing of this version is on disk and no list records it: the registry goes
    // back to naming what is there, so that removal stays possible.
    if (previousKept) {
      RegWriteString(key, "Version", installed);
    } else {
      RegDeleteString(key, "Version");
    }
    Report("Failed to save uninstall information!", "Error");
    return false;
  }
  RegWriteString(key, "Uninstall", listPath);

  bool failed = false;
  for (std::size_t n = 0;; ++n) {
    const auto span = LocateElement("package", text, n);
    if (!span || span->length == 0) break;
    try {
      std::string package = text.substr(span->content, span->length);
      if (n >= iTargetDirectories.size()) {
        // A package without a target directory would be written into whatever the
        // current directory is: refused like an invalid one, its bytes passed over.
        for (std::size_t k = 0; EntryAt(package, "file", k); ++k) {
          iDataOffset = Advance(iDataOffset, ParseSize(Element("size", package, k)));
        }
        Report("Invalid package in the installation file!", "Error");
        failed = true;
        continue;
      }
      const std::string name = Element("name", package);
      const std::string target = TargetDirectory(n);
      RegWriteString(key, name + "Path", target);
      if (!InstallPackage(package, target)) failed = true;
      text.replace(span->content, span->length, package);
    } catch (const std::bad_alloc&) {
      Report("Error during installation!", "Error");
      failed = true;
    }
  }

  if (!WriteTextFile(listPath, text)) {
    Report("Failed to save uninstall information!", "Error");
    return false;
  }
  RegWriteString(key, "Uninstall", listPath);
  if (!failed) {
    Report("Version " + iVersion + " of " + iCompany + "'s " + iProduct + " successfully installed.",
           "Notice");
  }
  return !failed;
}

void InstallEngine::AbortPackage(std::string& aPackage, std::size_t aFrom) {
  for (std::size_t k = aFrom;; ++k) {
    const auto entry = EntryAt(aPackage, "file", k);
    if (!entry) break;
    iDataOffset = Advance(iDataOffset, ParseSize(Element("size", aPackage, k)));
    if (entry->live && !entry->content.empty()) MarkSkipped(aPackage, "file", entry->content);
  }
  for (const char* kind : {"linkfile", "linkwww", "linkname"}) {
    for (std::size_t k = 0;; ++k) {
      const auto entry = EntryAt(aPackage, kind, k);
      if (!entry) break;
      if (entry->live && !entry->content.empty()) MarkSkipped(aPackage, kind, entry->content);
    }
  }
}

bool InstallEngine::InstallPackage(std::string& aPackage, const std::string& aTargetDirectory) {
  const std::string name = Element("name", aPackage);
  if (name.empty()) {
    // Its files still own their bytes in the data file: later packages read theirs.
    for (std::size_t k = 0; EntryAt(aPackage, "file", k); ++k) {
      iDataOffset = Advance(iDataOffset, ParseSize(Element("size", aPackage, k)));
    }
    Report("Invalid package in the installation file!", "Error");
    return false;
  }
  RegWriteString(ProductKey(), name + "CreatedPath", CreateTargetDirectories(aTargetDirectory));
  // Links met below the target are the user's layout, followed now and at removal;
  // any other link found there at removal was put in a folder of the installation's.
  const std::string linkedValue = name + kLinkedFoldersValue;
  RegDeleteString(ProductKey(), linkedValue);
  std::vector<std::string> linked;
  const auto noteLinks = [&](const std::string& aRelative) {
    bool added = false;
    const std::string folderPart = FolderPart(aTargetDirectory);
    const std::string below = aTargetDirectory.substr(folderPart.size()) + aRelative;
    for (const std::string& folder : LinkedFoldersBelow(folderPart, below)) {
      const bool known = std::any_of(linked.begin(), linked.end(), [&](const std::string& aKnown) {
        return EqualsNoCaseAnsi(aKnown, folder);
      });
      if (known) continue;
      linked.push_back(folder);
      added = true;
    }
    if (!added) return;
    std::string value;
    for (const std::string& folder : linked) value += (value.empty() ? "" : "|") + folder;
    RegWriteString(ProductKey(), linkedValue, value);
  };

  const std::string source = iSourceDirectory + iDataFile;
  for (std::size_t k = 0;; ++k) {
    const auto entry = EntryAt(aPackage, "file", k);
    if (!entry) break;
    const std::int64_t size = ParseSize(Element("size", aPackage, k));
    // Marked entries and empty ones install nothing but still own their bytes.
    if (!entry->live || entry->content.empty()) {
      iDataOffset = Advance(iDataOffset, size);
      continue;
    }
    const std::string destination = aTargetDirectory + entry->content;
    CopyResult result;
    if (!ContainedRelativePath(entry->content)) {
      // Never written: a name that leaves its target directory is a file error.
      Box(SystemErrorText(ERROR_INVALID_NAME, destination), "Error copying file",
          MB_OK | MB_ICONERROR);
      result = CopyResult::Ignore;
    } else if (size < 0) {
      Box(SystemErrorText(ERROR_NEGATIVE_SEEK, destination), "Error copying file",
          MB_OK | MB_ICONERROR);
      result = CopyResult::Ignore;
    } else {
      do {
        result = CopyDataRange(source, destination, iDataOffset, size);
      } while (result == CopyResult::Retry);
    }
    if (result == CopyResult::Abort) {
      AbortPackage(aPackage, k);
      return false;
    }
    if (result == CopyResult::Ignore || result == CopyResult::Kept) {
      MarkSkipped(aPackage, "file", entry->content);
    } else {
      noteLinks(entry->content);
    }
    iDataOffset = Advance(iDataOffset, size);
  }

  if (!iProgramsFolder.empty()) CreatePackageShortcuts(aPackage, aTargetDirectory);
  return true;
}

CopyResult InstallEngine::CopyDataRange(const std::string& aSource, const std::string& aDestination,
                                        std::int64_t aOffset, std::int64_t aSize) {
  const std::string created = CreateTargetDirectories(aDestination);
  const CopyResult result = CopyInto(aSource, aDestination, aOffset, aSize);
  if (result != CopyResult::Finished && result != CopyResult::Kept) {
    // The folders made for a file that is not there would outlive its removal.
    if (!created.empty() && created.size() <= aDestination.size()) {
      RemoveRelativeDirectories(aDestination.substr(0, aDestination.size() - created.size()), created);
    }
  }
  return result;
}

CopyResult InstallEngine::CopyInto(const std::string& aSource, const std::string& aDestination,
                                   std::int64_t aOffset, std::int64_t aSize) {
  {
    UniqueHandle existing(CreateFile(aDestination, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    // A symbolic link in the file's place exists too, even when it names nothing; a
    // replacement replaces the link itself, never what it names.
    const DWORD attributes = GetFileAttributes(aDestination);
    const bool link = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (existing.Valid() || link) {
      existing.Reset();
      if (Box("File \"" + aDestination + "\" already exists. Replace it with a new one?", "Confirm",
              MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return CopyResult::Kept;
      }
    }
  }
  UniqueHandle out(CreateFile(aDestination, GENERIC_WRITE, 0, CREATE_ALWAYS));
  if (!out.Valid()) return FileError(GetLastError(), aDestination, "Error copying file");

  // Every failure from here on removes the partly written destination, so that a
  // skipped entry leaves nothing behind on disk; the data file is never touched.
  auto fail = [&](DWORD aError, const std::string& aFile, const char* aTitle) {
    out.Reset();
    DeleteFile(aDestination);
    return FileError(aError, aFile, aTitle);
  };
  UniqueHandle in(CreateFile(aSource, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!in.Valid()) return fail(GetLastError(), aSource, "Error copying file");

  LONG high = static_cast<LONG>(aOffset >> 32);
  if (SetFilePointer(in.Get(), static_cast<LONG>(aOffset & 0xFFFFFFFF), &high, FILE_BEGIN) ==
          INVALID_SET_FILE_POINTER &&
      GetLastError() != ERROR_SUCCESS) {
    const DWORD error = GetLastError();
    in.Reset();
    return fail(error, aSource, "Confirm");
  }

  char buffer[kChunk];
  std::int64_t copied = 0;
  while (copied < aSize) {
    const DWORD want = static_cast<DWORD>(std::min<std::int64_t>(aSize - copied, kChunk));
    DWORD got = 0;
    if (!ReadFile(in.Get(), buffer, want, &got)) {
      const DWORD error = GetLastError();
      in.Reset();
      return fail(error, aSource, "Confirm");
    }
    if (got == 0) {
      // The data file ends before this entry's bytes do.
      in.Reset();
      return fail(ERROR_HANDLE_EOF, aSource, "Confirm");
    }
    DWORD written = 0;
    if (!WriteFile(out.Get(), buffer, got, &written) || written != got) {
      const DWORD error = GetLastError();
      in.Reset();
      return fail(error == ERROR_SUCCESS ? ERROR_WRITE_FAULT : error, aDestination, "Confirm");
    }
    copied += got;
  }
  MakeRunnableWhenProgram(aDestination);
  return CopyResult::Finished;
}

}  // namespace zolv::install
