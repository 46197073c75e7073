// Start-menu shortcuts of a package: created after its files, removed with them.
#include <cstring>
#include <new>
#include <optional>

#include "InstallEngine.h"
#include "InstallFile.h"
#include "zwindows/error.h"
#include "zwindows/files.h"
#include "zwindows/registry.h"
#include "zwindows/shell.h"

namespace zolv::install {

using namespace zwin;

namespace {
std::string ReadShellFolder(HKEY aRoot, const char* aValue) {
  HKEY key = 0;
  if (RegOpenKeyEx(aRoot, kShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  char buffer[1024] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  const LONG result =
      RegQueryValueEx(key, aValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return {};
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

// One shortcut of a package with its companions, paired by ordinal.
struct Link {
  const char* kind;  // "linkfile" or "linkwww"
  std::string content;
  std::string name;
  bool nameLive = false;
  std::string folder;
  std::string description;
};

// The aIndex-th entry of aKind, when it is live and not empty, with its companions;
// aOrdinal is its number among all link entries (file links first).
std::optional<Link> LiveLink(const std::string& aPackage, const char* aKind, std::size_t aIndex,
                             std::size_t aOrdinal, bool& aEnd) {
  const auto entry = EntryAt(aPackage, aKind, aIndex);
  aEnd = !entry;
  if (!entry || !entry->live || entry->content.empty()) return std::nullopt;
  Link link{aKind, entry->content, {}, false, {}, {}};
  if (const auto name = EntryAt(aPackage, "linkname", aOrdinal)) {
    link.name = name->content;
    link.nameLive = name->live;
  }
  link.folder = Element("linkfolder", aPackage, aOrdinal);
  link.description = Element("linkdescription", aPackage, aOrdinal);
  return link;
}

std::size_t CountEntries(const std::string& aPackage, const char* aKind) {
  std::size_t count = 0;
  while (EntryAt(aPackage, aKind, count)) ++count;
  return count;
}

// A folder of one level under the Programs folder; names and folders never climb out.
bool UsableFolder(const std::string& aFolder) {
  return !aFolder.empty() && aFolder.find('\\') == std::string::npos && SingleComponent(aFolder);
}

void MarkLink(std::string& aPackage, const Link& aLink) {
  MarkSkipped(aPackage, aLink.kind, aLink.content);
  if (aLink.nameLive && !aLink.name.empty()) MarkSkipped(aPackage, "linkname", aLink.name);
}
}  // namespace

std::string InstallEngine::FindProgramsFolder() {
  std::string folder = ReadShellFolder(HKEY_LOCAL_MACHINE, "Common Programs");
  if (folder.empty()) folder = ReadShellFolder(HKEY_CURRENT_USER, "Programs");
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

void InstallEngine::CreatePackageShortcuts(std::string& aPackage, const std::string& aTargetDirectory) {
  const std::size_t fileLinks = CountEntries(aPackage, "linkfile");
  for (const char* kind : {"linkfile", "linkwww"}) {
    const bool web = std::strcmp(kind, "linkwww") == 0;
    for (std::size_t k = 0;; ++k) {
      bool end = false;
      const auto link = LiveLink(aPackage, kind, k, web ? fileLinks + k : k, end);
      if (end) break;
      if (!link || !UsableFolder(link->folder) || link->name.empty() ||
          !SingleComponent(link->name)) {
        continue;
      }
      if (Box("Add shortcut to \"" + link->name + "\" to Start menu?", "Confirm",
              MB_YESNO | MB_ICONQUESTION) != IDYES) {
        MarkLink(aPackage, *link);
        continue;
      }
      // A shortcut that could not be made is marked like a declined one, so that the
      // uninstall list does not send removal after a link that is not there.
      bool usable = false;
      bool madeFolder = false;
      try {
        const std::string folder = iProgramsFolder + link->folder;
        madeFolder = CreateDirectory(folder);
        const DWORD error = madeFolder ? ERROR_SUCCESS : GetLastError();
        usable = error == ERROR_SUCCESS || error == ERROR_ALREADY_EXISTS;
        if (usable) {
          const std::string linkPath = folder + "\\" + link->name + ".lnk";
          const std::string target = web ? link->content : aTargetDirectory + link->content;
          if (!SUCCEEDED(CreateShellLink(target, linkPath, link->description))) {
            MarkLink(aPackage, *link);
            RemoveDirectory(folder);
          }
        }
      } catch (const std::bad_alloc&) {
        // Memory ran out while the link's texts were built: reported like a folder that
        // cannot be made, and the next shortcut follows.
        usable = false;
      }
      if (!usable) {
        if (madeFolder) RemoveDirectory(iProgramsFolder + link->folder);
        Report("Failed to create shortcut to \"" + link->content + "!\"", "Error");
        MarkLink(aPackage, *link);
      }
    }
  }
}

bool InstallEngine::RemovePackageShortcuts(std::string& aPackage) {
  bool result = true;
  const std::size_t fileLinks = CountEntries(aPackage, "linkfile");
  for (std::size_t k = 0;; ++k) {
    bool end = false;
    const auto link = LiveLink(aPackage, "linkfile", k, k, end);
    if (end) break;
    if (!link || !UsableFolder(link->folder) || link->name.empty() || !SingleComponent(link->name)) {
      continue;
    }
    // The shortcut's folder is opened below the Programs folder without following a
    // link put in its place.
    const std::string path = link->folder + "\\" + link->name + ".lnk";
    for (;;) {
      if (DeleteFileBelow(iProgramsFolder, path, {})) break;
      const int answer = Box("Failed to remove shortcut \"" + link->name + "\"",
                             "Error removing shortcuts", MB_ABORTRETRYIGNORE | MB_ICONERROR);
      if (answer == IDABORT) return false;
      if (answer == IDIGNORE) {
        DeleteFileBelow(iProgramsFolder, path, {});
        break;
      }
    }
    MarkLink(aPackage, *link);
    RemoveDirectoryBelow(iProgramsFolder, link->folder, {});
  }
  for (std::size_t k = 0;; ++k) {
    bool end = false;
    const auto link = LiveLink(aPackage, "linkwww", k, fileLinks + k, end);
    if (end) break;
    if (!link || !UsableFolder(link->folder) || !SingleComponent(link->name)) continue;
    if (DeleteFileBelow(iProgramsFolder, link->folder + "\\" + link->name + ".lnk", {})) {
      MarkLink(aPackage, *link);
    } else {
      Box("Failed to remove shortcut \"" + link->name + "\"", "Error removing shortcuts",
          MB_OK | MB_ICONERROR);
      result = false;
    }
    RemoveDirectoryBelow(iProgramsFolder, link->folder, {});
  }
  return result;
}

}  // namespace zolv::install
