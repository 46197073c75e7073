// The install engine: installs the packages of an installation file into their target
// directories from the data file, records the installation in the registry and in the
// uninstall list, creates and removes Start-menu shortcuts, and removes what an
// uninstall list records. It talks to the user only through message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zwindows/files.h"
#include "zwindows/ui.h"

namespace zolv::install {

// The registry value, per package, that lists the folders below its target directory
// which were symbolic links when the installation went through them, "|"-separated.
inline constexpr const char* kLinkedFoldersValue = "LinkedFolders";

// Kept: the destination already existed and the user chose not to replace it; the file
// on disk is not the installation's, so its entry is marked like an ignored one and a
// removal leaves it alone.
enum class CopyResult { Finished, Abort, Retry, Ignore, Kept };

class InstallEngine {
 public:
  // Finds the Start menu's Programs folder.
  explicit InstallEngine(zwin::UserInterface& aUi);

  void SetSourceDirectory(std::string aDirectory) { iSourceDirectory = std::move(aDirectory); }
  // Replaces entry aIndex of the target directory list, or appends when it is beyond the end.
  void SetTargetDirectory(std::string aDirectory, std::size_t aIndex);
  // Entry aIndex, or the empty text for a package beyond the list.
  std::string TargetDirectory(std::size_t aIndex) const;
  const std::string& ProgramsFolder() const { return iProgramsFolder; }
  void SetProgramsFolder(std::string aFolder) { iProgramsFolder = std::move(aFolder); }

  // Installs from the installation file; true when every package was installed.
  bool Install(std::string_view aFileName);
  // Installs one package's files and shortcuts, marking what was not installed.
  bool InstallPackage(std::string& aPackage, const std::string& aTargetDirectory);
  // Copies aSize bytes at aOffset of the data file to the destination.
  CopyResult CopyDataRange(const std::string& aSource, const std::string& aDestination,
                           std::int64_t aOffset, std::int64_t aSize);

  // Removes the installed version named by the installation file's header.
  bool Remove(std::string_view aFileName);
  bool RemoveInstalledList(const std::string& aListPath, const std::string& aCompany,
                           const std::string& aProduct, const std::string& aVersion);
  bool RemovePackage(std::string& aPackage, const std::string& aTargetDirectory);

  void CreatePackageShortcuts(std::string& aPackage, const std::string& aTargetDirectory);
  // False after an abort or a web link that could not be removed.
  bool RemovePackageShortcuts(std::string& aPackage);

  // Creates the directories of aPath up to its last "\"; returns the part of the path
  // from the first directory it created (empty when all existed or on failure).
  static std::string CreateTargetDirectories(std::string_view aPath);
  // Removes the parent directories of aRelative inside aBase, deepest first, as far as
  // they are empty. The folders below aBase are opened one by one and a symbolic link
  // among them is never passed: what lies beyond it is not the installation's.
  static bool RemoveRelativeDirectories(std::string_view aBase, std::string_view aRelative);
  // "Common Programs" of all users, else the user's "Programs"; ends in "\" or is empty.
  static std::string FindProgramsFolder();
  // The uninstall list's path for a company and product.
  static std::string UninstallListPath(std::string_view aCompany, std::string_view aProduct);

  const std::string& Company() const { return iCompany; }
  const std::string& Product() const { return iProduct; }
  const std::string& Version() const { return iVersion; }

 private:
  // Steps of CopyDataRange after the destination's folders exist.
  CopyResult CopyInto(const std::string& aSource, const std::string& aDestination,
                      std::int64_t aOffset, std::int64_t aSize);
  int Box(const std::string& aText, const char* aTitle, unsigned aType);
  void Report(const std::string& aText, const char* aTitle);
  CopyResult FileError(unsigned aError, const std::string& aFile, const char* aTitle);
  std::string ProductKey() const;
  void AbortPackage(std::string& aPackage, std::size_t aFrom);
  // RemoveRelativeDirectories for aPrefix + aRelative below aBase, never removing the
  // folders of aPrefix; links pass where aFollow says so.
  static bool RemoveParentFolders(std::string_view aBase, std::string_view aPrefix,
                                  std::string_view aRelative, const zwin::FollowLink& aFollow);

  // What a removal knows of the package being removed: the part of its target
  // directory that the installation created, and the folders below the target that
  // were symbolic links when the installation wrote through them (the user's own
  // layout). Empty when RemovePackage is called on its own.
  struct RemovalRecord {
    std::string createdPart;
    std::vector<std::string> linkedFolders;
  };
  RemovalRecord iRemoval;

  zwin::UserInterface& iUi;
  std::string iSourceDirectory;
  std::string iProgramsFolder;
  std::vector<std::string> iTargetDirectories;
  std::string iCompany, iProduct, iVersion, iDataFile;
  std::int64_t iDataOffset = 0;
};

// Registry values under HKEY_LOCAL_MACHINE, all strings. Write failures are ignored;
// a missing key or value reads as the empty text.
void RegWriteString(std::string_view aKey, const std::string& aName, std::string_view aText);
std::string RegReadString(std::string_view aKey, const std::string& aName);
bool RegValueExists(std::string_view aKey, const std::string& aName);
// A string value of any length (RegReadString keeps to 1024 bytes).
std::string RegReadText(std::string_view aKey, const std::string& aName);
void RegDeleteString(std::string_view aKey, const std::string& aName);

// A target directory up to and including its last "\\" or "/": the folder that its files
// are found below (a target without a final separator runs into its files' names).
std::string FolderPart(std::string_view aDirectory);

// The system's message for aError, followed by a line break and aFile when the message
// is shorter than 512 characters.
std::string SystemErrorText(unsigned aError, const std::string& aFile);

}  // namespace zolv::install
