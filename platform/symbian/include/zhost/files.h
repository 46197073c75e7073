// Where the device's drives live on the host, and how device file names map to host paths.
//
// Drive letters map to folders in the layout of the platform's PC emulator:
//   Z:  <root>/epoc32/release/wins/udeb/z
//   C:  <root>/epoc32/wins/c
// <root> is the environment variable ZOLVANE_EPOCROOT, else $XDG_DATA_HOME/zolvane,
// else ~/.local/share/zolvane; the folders below the root are found without regard to letter
// case ("Epoc32/Release/wins/udeb/z" serves too). Any drive can be placed elsewhere with ZOLVANE_DRIVE_<LETTER>
// (for example ZOLVANE_DRIVE_C=/tmp/x). Other letters exist only when so placed.
// A program can override both (SetEpocRoot, SetDrivePath); the order of precedence is
// SetDrivePath, ZOLVANE_DRIVE_<LETTER>, SetEpocRoot, ZOLVANE_EPOCROOT, the default.
#ifndef ZHOST_FILES_H
#define ZHOST_FILES_H

#include <e32std.h>

#include <string>

namespace ZHost {

// Overrides the root folder (an empty path removes the override).
IMPORT_C void SetEpocRoot(const std::string& aPath);
IMPORT_C std::string EpocRoot();
// Overrides one drive's folder (an empty path removes the override).
IMPORT_C void SetDrivePath(TChar aDrive, const std::string& aPath);
// The host folder of a drive letter; KErrNotReady if the letter maps nowhere.
IMPORT_C TInt DrivePath(TChar aDrive, std::string& aPath);

// Maps a full device name ("C:\System\Apps\A.txt", or a folder name ending in "\") to a
// host path. Every existing component is matched without regard to letter case (an exact
// match wins); missing components keep the case given. Returns KErrNone if the whole path
// exists, KErrNotFound if only the last component is missing, KErrPathNotFound if a folder
// on the way is missing (or is a file), KErrNotReady for an unmapped drive, KErrBadName for
// a name that is not a full, valid device name. aHostPath is set in every case but the last
// two.
IMPORT_C TInt HostPath(const TDesC& aDeviceName, std::string& aHostPath);

// UTF-16 text of the device to UTF-8 text of the host and back.
IMPORT_C std::string ToUtf8(const TDesC& aText);
IMPORT_C void FromUtf8(const std::string& aText, TDes& aTarget);

// Contents held in memory for files of the host (a testing aid: fuzzers and tests that feed
// many inputs through the file loaders without writing a file for each). While a host path
// (as HostPath gives it) has contents set, RFile::Open for reading gives those bytes in
// place of the file's own. The file itself must exist: names, letter case, folders and
// errors are still those of the host's file system, only the bytes come from memory.
// Opening for writing, creating and replacing use the host's file as always.
IMPORT_C void SetMemoryContents(const std::string& aHostPath, const std::string& aBytes);
// Removes the contents set for one path, or for every path when aHostPath is empty.
IMPORT_C void ClearMemoryContents(const std::string& aHostPath = std::string());

}  // namespace ZHost

#endif
