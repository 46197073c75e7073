// Removal of what an uninstall list records.
#include <algorithm>
#include <new>

#include "InstallEngine.h"
#include "InstallFile.h"
#include "zwindows/codepage.h"
#include "zwindows/error.h"
#include "zwindows/files.h"

namespace zolv::install {

using namespace zwin;

bool InstallEngine::RemoveRelativeDirectories(std::string_view aBase, std::string_view aRelative) {
  return RemoveParentFolders(aBase, {}, aRelative, {});
}

bool InstallEngine::RemoveParentFolders(std::string_view aBase, std::string_view aPrefix,
                                        std::string_view aRelative, const FollowLink& aFollow) {
  std::string relative(aRelative);
  for (;;) {
    const std::size_t slash = relative.rfind('\\');
    if (slash == std::string::npos) return true;
    relative.resize(slash);
    if (!RemoveDirectoryBelow(aBase, std::string(aPrefix) + relative, aFollow)) {
      const DWORD error = GetLastError();
      if (error != ERROR_SUCCESS && error != ERROR_ALREADY_EXISTS) return false;
    }
  }
}

bool InstallEngine::Remove(std::string_view aFileName) {
  std::string text;
  if (!ReadTextFile(iSourceDirectory + std::string(aFileName), text)) {
    Report("Uninstall file not found!", "Error");
    return false;
  }
  const Header header = ReadHeader(text);
  if (header.company.empty() || header.product.empty()) return false;
  iCompany = header.company;
  iProduct = header.product;
  const std::string key = ProductKey();
  iVersion = RegReadString(key, "Version");
  if (iVersion.empty()) {
    Report("No version of " + iCompany + "'s " + iProduct + " is currently installed.", "Notice");
    return false;
  }
  if (Box("Are you sure you want to remove " + iCompany + "'s " + iProduct + " version " + iVersion +
              "?",
          "Confirm", MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return false;
  }
  if (!RemoveInstalledList(RegReadString(key, "Uninstall"), iCompany, iProduct, iVersion)) {
    return false;
  }
  Report(iCompany + "'s " + iProduct + " version " + iVersion + " successfully removed!", "Notice");
  return true;
}

bool InstallEngine::RemoveInstalledList(const std::string& aListPath, const std::string& aCompany,
                                        const std::string& aProduct, const std::string& aVersion) {
  std::string text;
  if (!ReadTextFile(aListPath, text)) text.clear();
  if (Element("company", text) != aCompany || Element("product", text) != aProduct ||
      Element("version", text) != aVersion) {
    Report("Invalid uninstall file!", "Error");
    return false;
  }
  const std::string key = "SOFTWARE\\" + aCompany + "\\" + aProduct;
  bool failed = false;
  for (std::size_t n = 0;; ++n) {
    const auto span = LocateElement("package", text, n);
    if (!span || span->length == 0) break;
    try {
      std::string package = text.substr(span->content, span->length);
      const std::string name = Element("name", package);
      // A package whose directory was never recorded was never installed: an
      // installation that stopped before it left nothing of it on disk.
      if (!name.empty() && !RegValueExists(key, name + "Path")) continue;
      const std::string target = RegReadString(key, name + "Path");
      iRemoval.createdPart = RegReadString(key, name + "CreatedPath");
      iRemoval.linkedFolders.clear();
      const std::string linked = RegReadText(key, name + kLinkedFoldersValue);
      for (std::size_t from = 0; from < linked.size();) {
        const std::size_t bar = std::min(linked.find('|', from), linked.size());
        if (bar > from) iRemoval.linkedFolders.push_back(linked.substr(from, bar - from));
        from = bar + 1;
      }
      const bool removed = RemovePackage(package, target);
      iRemoval = RemovalRecord{};
      if (removed) {
        const std::string path = RegReadString(key, name + "Path");
        const std::string created = RegReadString(key, name + "CreatedPath");
        if (!created.empty()) {
          const std::size_t at = path.find(created);
          RemoveRelativeDirectories(at == std::string::npos ? path : path.substr(0, at), created);
        }
        RegDeleteString(key, name + "Path");
        RegDeleteString(key, name + "CreatedPath");
        RegDeleteString(key, name + kLinkedFoldersValue);
      } else {
        failed = true;
      }
      text.replace(span->content, span->length, package);
    } catch (const std::bad_alloc&) {
      Report("Error during installation!", "Error");
      failed = true;
    }
    if (failed) WriteTextFile(aListPath, text);
  }
  if (failed) return false;
  RegDeleteString(key, "Version");
  DeleteFile(RegReadString(key, "Uninstall"));
  RegDeleteString(key, "Uninstall");
  return true;
}

bool InstallEngine::RemovePackage(std::string& aPackage, const std::string& aTargetDirectory) {
  if (Element("name", aPackage).empty()) {
    Report("Invalid package in the installation file!", "Error");
    return false;
  }
  // Files are reached from the folder above the part of the target that the
  // installation created, one folder at a time. A symbolic link is passed only where
  // the installation itself went through one (the user's layout); a link standing in
  // for a folder the installation made is not its to follow, and what lies behind it
  // counts as not there. A link in a file's own place is deleted itself.
  const std::string& target = aTargetDirectory;
  const std::string& created = iRemoval.createdPart;
  const std::string folder = FolderPart(target);
  std::string base = folder;
  if (!created.empty() && created.size() <= target.size() &&
      target.compare(target.size() - created.size(), std::string::npos, created) == 0) {
    base = target.substr(0, target.size() - created.size());
  }
  // The part of the target below the walk's base, and the recorded links' place in it.
  const std::string prefix = target.substr(base.size());
  const std::string linkPrefix = folder.substr(std::min(base.size(), folder.size()));
  const FollowLink follow = [&](std::string_view aFolder) {
    return std::any_of(iRemoval.linkedFolders.begin(), iRemoval.linkedFolders.end(),
                       [&](const std::string& aLinked) { return EqualsNoCaseAnsi(aFolder, linkPrefix + aLinked); });
  };
  for (std::size_t k = 0;; ++k) {
    const auto entry = EntryAt(aPackage, "file", k);
    if (!entry) break;
    if (!entry->live || entry->content.empty()) continue;
    const std::string path = aTargetDirectory + entry->content;
    const std::string below = prefix + entry->content;
    if (!ContainedRelativePath(entry->content)) {
      // Installation never writes such an entry, so there is nothing to delete.
      Box(SystemErrorText(ERROR_INVALID_NAME, path), "Error deleting files", MB_OK | MB_ICONERROR);
      MarkSkipped(aPackage, "file", entry->content);
      continue;
    }
    for (;;) {
      if (DeleteFileBelow(base, below, follow)) break;
      const int answer = Box(SystemErrorText(GetLastError(), path), "Error deleting files",
                             MB_ABORTRETRYIGNORE | MB_ICONERROR);
      if (answer == IDABORT) return false;
      if (answer == IDIGNORE) {
        DeleteFileBelow(base, below, follow);
        break;
      }
    }
    MarkSkipped(aPackage, "file", entry->content);
    RemoveParentFolders(base, prefix, entry->content, follow);
  }
  if (!iProgramsFolder.empty()) return RemovePackageShortcuts(aPackage);
  return true;
}

}  // namespace zolv::install
