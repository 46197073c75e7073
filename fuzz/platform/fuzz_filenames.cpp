// Arbitrary device file names: parsing (TParse, with related and default names, AddDir
// and PopDir), the file server's name validation and session path, and the mapping of
// drive letters and names onto host folders. The one property that matters most: no
// name, whatever its bytes, resolves to a host path outside its drive's folder. Every
// host path the mapping gives must be the drive's folder followed by components that are
// neither empty, "." nor "..". Nothing is written: names are resolved, looked up and
// opened for reading in a small tree made at start-up.
//
// Input: the first byte chooses how the rest becomes 16-bit text (even: one character per
// byte; odd: little-endian 16-bit units, so any code unit, surrogates included). The text
// is split at line feeds into a name, a related name, a default name, a session path and
// a folder for AddDir (missing parts are empty; an empty related or default name is not
// passed).
#include <f32file.h>
#include <zhost/files.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzTemp.h"

namespace {

std::filesystem::path gRoot;
RFs gFs;
const char kDrives[] = {'C', 'D', 'Z'};

void Fail(const char* aWhat, const TDesC& aName, const std::string& aHost) {
  std::fprintf(stderr, "%s\n  name: %s\n  host: %s\n", aWhat, ZHost::ToUtf8(aName).c_str(), aHost.c_str());
  std::abort();
}

// The host path must lie inside the folder of the drive the device name names.
void CheckInside(const TDesC& aDeviceName, const std::string& aHost) {
  TParsePtrC parse(aDeviceName);
  if (parse.Error() != KErrNone || !parse.DrivePresent()) Fail("resolved a name without a drive", aDeviceName, aHost);
  std::string folder;
  if (ZHost::DrivePath(parse.Drive()[0], folder) != KErrNone) Fail("resolved on an unmapped drive", aDeviceName, aHost);
  folder += '/';
  if (aHost.compare(0, folder.size(), folder) != 0) Fail("host path outside the drive's folder", aDeviceName, aHost);
  if (aHost.find('\0') != std::string::npos) Fail("host path holds a zero byte", aDeviceName, aHost);
  std::size_t start = folder.size();
  while (start < aHost.size()) {
    std::size_t end = aHost.find('/', start);
    if (end == std::string::npos) end = aHost.size();
    const std::string component = aHost.substr(start, end - start);
    if (component.empty() || component == "." || component == "..") {
      Fail("host path leaves the drive's folder through an empty, \".\" or \"..\" component", aDeviceName, aHost);
    }
    start = end + 1;
  }
}

// A device name as ZHost::HostPath takes it: resolved inside the drive or refused.
void CheckHostPath(const TDesC& aDeviceName) {
  std::string host;
  const TInt error = ZHost::HostPath(aDeviceName, host);
  if (error == KErrNone || error == KErrNotFound || error == KErrPathNotFound) {
    CheckInside(aDeviceName, host);
  } else if (error != KErrBadName && error != KErrNotReady) {
    Fail("unexpected error from the name mapping", aDeviceName, host);
  }
}

// What a parse holds must agree with itself, parse again to the same, and survive AddDir
// followed by PopDir.
void CheckParse(TParse& aParse, const TDesC& aDir, TBool aWild) {
  const TPtrC full = aParse.FullName();
  if (full.Length() > KMaxFileName) Fail("parsed name too long", full, "");
  TFileName joined;
  joined.Append(aParse.Drive());
  joined.Append(aParse.Path());
  joined.Append(aParse.Name());
  joined.Append(aParse.Ext());
  if (joined != full) Fail("parts do not make the full name", full, "");
  if (aParse.DriveAndPath().Length() + aParse.NameAndExt().Length() != full.Length()) Fail("part lengths", full, "");

  TParse again;
  const TFileName copy(full);
  if (aWild ? again.Set(copy, NULL, NULL) != KErrNone : again.SetNoWild(copy, NULL, NULL) != KErrNone) {
    Fail("a parsed name does not parse again", copy, "");
  }
  // A path taken from a relative related or default name stays relative in the result,
  // while a relative path parsed on its own is taken from the root: only names with a
  // full path or none must come back unchanged.
  const TBool relative = aParse.PathPresent() && aParse.Path()[0] != '\\';
  if (!relative && again.FullName() != copy) Fail("parsing a parsed name changes it", copy, "");

  CheckHostPath(full);

  const TFileName before(again.FullName());
  const TBool hadPath = again.PathPresent();
  if (again.AddDir(aDir) == KErrNone) {
    if (again.FullName().Length() > KMaxFileName) Fail("AddDir made a name too long", again.FullName(), "");
    if (aDir.Length() > 0) {
      CheckHostPath(again.DriveAndPath());
      // Each folder added goes again with one PopDir per level (a name without a path
      // keeps the root that AddDir gave it).
      TInt levels = 1;
      for (TInt i = 0; i < aDir.Length(); ++i) levels += aDir[i] == '\\';
      for (TInt i = 0; i < levels; ++i) {
        if (again.PopDir() != KErrNone) Fail("PopDir fails after AddDir", again.FullName(), "");
      }
      if (hadPath && again.FullName() != before) {
        Fail("AddDir then PopDir changes the name", again.FullName(), "");
      }
    }
  }
}

void CheckSession(const TDesC& aName, const TDesC& aSession) {
  // A session path the server refuses leaves the one before ("C:\").
  _LIT(KDefault, "C:\\");
  if (gFs.SetSessionPath(KDefault) != KErrNone) std::abort();
  gFs.SetSessionPath(aSession);
  TFileName session;
  if (gFs.SessionPath(session) != KErrNone) std::abort();
  CheckHostPath(session);

  const TBool valid = gFs.IsValidName(aName);
  TFileName full;
  std::string host;
  const TInt error = gFs.Resolve(aName, full, host);
  if (error == KErrNone || error == KErrNotFound || error == KErrPathNotFound) {
    CheckInside(full, host);
  } else if (valid && error == KErrBadName) {
    Fail("a name the server calls valid cannot be resolved", aName, host);
  }
  // Looking the name up and opening it for reading only ever touch that path.
  TEntry entry;
  gFs.Entry(aName, entry);
  RFile file;
  if (file.Open(gFs, aName, EFileRead | EFileShareReadersOnly) == KErrNone) {
    TBuf8<16> bytes;
    file.Read(bytes);
    file.Close();
  }
}

TPtrC Field(const std::u16string& aText, std::size_t& aPos) {
  if (aPos > aText.size()) return TPtrC();
  std::size_t end = aText.find(u'\n', aPos);
  if (end == std::u16string::npos) end = aText.size();
  const TPtrC field(reinterpret_cast<const TUint16*>(aText.data()) + aPos, static_cast<TInt>(end - aPos));
  aPos = end + 1;
  return field.Length() > KMaxFileName ? field.Left(KMaxFileName) : field;
}

void Put(const std::filesystem::path& aPath, const std::string& aBytes) {
  std::filesystem::create_directories(aPath.parent_path());
  std::ofstream(aPath, std::ios::binary) << aBytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gRoot = FuzzTemp::MakeFolder("fuzz-filenames");
  // Drive folders whose own names hold spaces, dots and letters beyond ASCII, and a small
  // tree of mixed letter case in them.
  const std::filesystem::path c = gRoot / "drive c";
  const std::filesystem::path d = gRoot / "d.e \xC3\xBC";
  const std::filesystem::path z = gRoot / "z";
  Put(c / "System/Apps/Test/Test.app", "app");
  Put(c / "System/Apps/Test/Movies/a.movie", "BeginMovie");
  Put(c / "Data/Readme.TXT", "read me");
  Put(c / "Data/\xC3\x84rger.dat", "umlaut");
  Put(c / "Data/.hidden", "dot");
  Put(c / "dir.ext/file", "");
  Put(d / "Nested/Deeper/x.y.z", "");
  Put(z / "System/Fonts/f.gdr", "");
  std::filesystem::create_directories(c / "Empty");
  ZHost::SetEpocRoot((gRoot / "root").string());
  ZHost::SetDrivePath('C', c.string());
  ZHost::SetDrivePath('D', d.string());
  ZHost::SetDrivePath('Z', z.string());
  if (gFs.Connect() != KErrNone) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  if (aSize < 1) return 0;
  std::u16string text;
  if ((aData[0] & 1) == 0) {
    for (std::size_t i = 1; i < aSize; ++i) text += static_cast<char16_t>(aData[i]);
  } else {
    for (std::size_t i = 1; i + 1 < aSize; i += 2) text += static_cast<char16_t>(aData[i] | (aData[i + 1] << 8));
  }
  std::size_t pos = 0;
  const TPtrC name = Field(text, pos);
  const TPtrC related = Field(text, pos);
  const TPtrC defaults = Field(text, pos);
  const TPtrC session = Field(text, pos);
  const TPtrC dir = Field(text, pos);
  const TDesC* relatedName = related.Length() ? &related : NULL;
  const TDesC* defaultName = defaults.Length() ? &defaults : NULL;

  for (const TBool wild : {TBool(EFalse), TBool(ETrue)}) {
    TParse parse;
    const TInt error = wild ? parse.Set(name, relatedName, defaultName) : parse.SetNoWild(name, relatedName, defaultName);
    if (error == KErrNone) {
      CheckParse(parse, dir, wild);
    } else if (error != KErrBadName) {
      Fail("parsing fails with an unexpected error", name, "");
    }
  }
  TParsePtrC alone(name);
  if (alone.Error() == KErrNone) CheckHostPath(alone.FullName());
  CheckHostPath(name);
  CheckSession(name, session);
  for (char drive : kDrives) {
    std::string folder;
    if (ZHost::DrivePath(drive, folder) != KErrNone) std::abort();
  }
  return 0;
}
