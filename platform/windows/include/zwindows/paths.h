// Windows drive paths on the host.
//
// Drives live in a prefix folder laid out like a Wine prefix: drive C: is
// <prefix>/drive_c, any drive X: may be a symbolic link <prefix>/dosdevices/x:,
// and Z: is the host's root folder, so every host path has a Windows form.
// The prefix is $ZOLVANE_PREFIX, or ${XDG_DATA_HOME:-~/.local/share}/zolvane/prefix.
// Existing path components are found without regard to letter case.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "zwindows/types.h"

namespace zwin {

// The prefix folder, created with its drive_c, Windows folder and dosdevices links on first use.
std::filesystem::path PrefixDirectory();
// Uses another prefix from now on (an empty path goes back to the environment's choice).
void SetPrefixDirectory(const std::filesystem::path& aPrefix);
// Rises every time the prefix changes, so that caches of prefix contents can notice.
unsigned PrefixGeneration();

struct HostPath {
  std::filesystem::path path;  // host path, existing components in their real letter case
  bool exists = false;         // the whole path exists
  bool parentExists = false;   // every component but the last exists and is a directory
  bool root = false;           // the path names a drive's root folder
};

// Maps a Windows path (drive, root-relative or relative to the current directory;
// "\" or "/" separators) onto the host. Returns ERROR_SUCCESS or the Windows error
// for a malformed path or an unknown drive.
DWORD ToHostPath(std::string_view aWindowsPath, HostPath& aResult);

// The Windows form of a host path (absolute, or relative to the current directory).
std::string ToWindowsPath(const std::filesystem::path& aHostPath);

// The components of a path relative to some folder, with "." and ".." applied (never
// above that folder) and the trailing dots and blanks that the system ignores dropped.
// Returns ERROR_SUCCESS or the error for a malformed name.
DWORD SplitRelativePath(std::string_view aPath, std::vector<std::string>& aParts);

// Finds the entry of the open folder aFolder (a descriptor) whose name equals aAnsiName
// without regard to letter case; an exact match wins, else the smallest of several
// matches. A symbolic link is an entry like any other, dangling or not.
bool FindEntryNoCase(int aFolder, const std::string& aAnsiName, std::string& aHostName);

// The error a missing file gives: ERROR_FILE_NOT_FOUND when its folder exists,
// ERROR_PATH_NOT_FOUND otherwise.
DWORD MissingError(const HostPath& aPath);

// "C:\windows", created in the prefix.
std::string GetWindowsDirectory();
// The current directory in Windows form.
std::string GetCurrentDirectory();

}  // namespace zwin
