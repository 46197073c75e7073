// The movie checker. Each file is checked in a fresh controller of a small application
// whose folder is a temporary drive: its resource folders are links to the real ones, so
// the engine finds every file where it would find it on the device.
#include "Lint.h"

#include "CommandLine.h"

#include <Zolvane.h>
#include <ZDiagnostics.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>
#include <eikenv.h>
#include <zhost/apploader.h>
#include <zhost/files.h>
#include <zhost/screen.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace zolvlint {

namespace {

const TUid KLintAppUid = {0x10005A7F};
const char KAppName[] = "Lint";
const TChar KLintDrive = 'Y';
const char KAppDevicePrefix[] = "Y:\\System\\Apps\\Lint\\";
const size_t KMovieNameMax = 64;
const char* const KResourceFolders[] = {"Movies", "Pictures", "Sounds", "Texts", "Shapes", "Data"};

class CLintAppUi : public CEikAppUi {
public:
  void ConstructL() override { BaseConstructL(); }
};

class CLintDocument : public CEikDocument {
public:
  explicit CLintDocument(CEikApplication& aApp) : CEikDocument(aApp) {}
  CEikAppUi* CreateAppUiL() override { return new (ELeave) CLintAppUi; }
};

class CLintApplication : public CEikApplication {
public:
  TUid AppDllUid() const override { return KLintAppUid; }
  CApaDocument* CreateDocumentL() override { return new (ELeave) CLintDocument(*this); }
};

// ASCII lower case, whatever the process's locale: keywords and the file and folder names
// compared here match as the device's file system matches ASCII names.
std::string Lower(std::string aText) {
  for (char& c : aText) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  return aText;
}

bool EndsWithNoCase(const std::string& aText, const std::string& aEnd) {
  return aText.size() >= aEnd.size() && Lower(aText.substr(aText.size() - aEnd.size())) == Lower(aEnd);
}

// Whether aBytes holds aWord as a white-space separated word, letter case ignored.
bool HasWord(const std::string& aBytes, const std::string& aWord) {
  std::istringstream in(aBytes);
  const std::string word = Lower(aWord);
  for (std::string token; in >> token;)
    if (Lower(token) == word) return true;
  return false;
}

std::string ToUtf8(const TDesC& aText) { return ZHost::ToUtf8(aText); }

// A word of a file in double quotes, as the engine's messages show words: cut to 40
// characters, and bytes outside printable ASCII shown as '?'.
std::string Quoted(const std::string& aWord) {
  const size_t KWordMax = 40;
  std::string text = "\"";
  for (size_t i = 0; i < aWord.size() && i < KWordMax; ++i) {
    const unsigned char c = static_cast<unsigned char>(aWord[i]);
    text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  }
  text += "\"";
  if (aWord.size() > KWordMax) text += "...";
  return text;
}

// A child of aDir whose name matches aName without regard to case (exact match first);
// empty if there is none.
std::string ChildNoCase(const fs::path& aDir, const std::string& aName) {
  std::error_code ec;
  if (fs::exists(aDir / aName, ec)) return aName;
  for (fs::directory_iterator it(aDir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (Lower(name) == Lower(aName)) return name;
  }
  return std::string();
}

// A path as the user would write it: aDir joined with aName, without a leading "./".
std::string Join(const std::string& aDir, const std::string& aName) {
  if (aDir.empty() || aDir == ".") return aName;
  return (fs::path(aDir) / aName).string();
}

// A movie-list word and where it stands.
struct ListName {
  std::string name;
  int line = 1;
  int column = 1;
};

// The words of a movie list with their places. White space is what the engine's lexer
// takes for it: space, tab, line feed, vertical tab, form feed, carriage return.
std::vector<ListName> ListNames(const std::string& aBytes) {
  std::vector<ListName> names;
  int line = 1;
  int column = 1;
  for (size_t i = 0; i < aBytes.size();) {
    const unsigned char c = static_cast<unsigned char>(aBytes[i]);
    if (c == ' ' || (c >= 9 && c <= 13)) {
      if (c == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
      ++i;
      continue;
    }
    ListName word;
    word.line = line;
    word.column = column;
    while (i < aBytes.size()) {
      const unsigned char d = static_cast<unsigned char>(aBytes[i]);
      if (d == ' ' || (d >= 9 && d <= 13)) break;
      word.name += static_cast<char>(d);
      ++i;
      ++column;
    }
    names.push_back(word);
  }
  return names;
}

// 8-bit text widened byte by byte, as the engine widens a movie list.
HBufC* WidenLC(const std::string& aText) {
  HBufC* wide = HBufC::NewLC(static_cast<TInt>(aText.size()));
  TPtr des(wide->Des());
  for (unsigned char c : aText) des.Append(TChar(c));
  return wide;
}

}  // namespace

// ---------------------------------------------------------------------------------------

class Checker::Impl final : public MZDiagnosticObserver {
public:
  Impl(std::string aAppDir, std::vector<Finding>& aFindings) : iAppDir(std::move(aAppDir)), iFindings(aFindings) {}
  ~Impl() { TearDown(); }

  bool Start(std::string& aError);
  void Check(const std::string& aPath);

  void Diagnostic(const TDesC& aFileName, TInt aLine, TInt aColumn, TKind aKind, const TDesC8& aMessage) override {
    Finding f;
    f.file = DisplayName(aFileName);
    f.line = aLine;
    f.column = aColumn;
    f.error = aKind == EError;
    f.message.assign(reinterpret_cast<const char*>(aMessage.Ptr()), static_cast<size_t>(aMessage.Length()));
    Add(f);
  }

private:
  void Add(const Finding& aFinding) {
    iFindings.push_back(aFinding);
    if (aFinding.error) ++iErrorsInFile;
  }
  void AddError(const std::string& aFile, int aLine, int aColumn, const std::string& aMessage) {
    Finding f;
    f.file = aFile;
    f.line = aLine;
    f.column = aColumn;
    f.message = aMessage;
    Add(f);
  }
  void AddWarning(const std::string& aFile, int aLine, int aColumn, const std::string& aMessage) {
    Finding f;
    f.file = aFile;
    f.line = aLine;
    f.column = aColumn;
    f.error = false;
    f.message = aMessage;
    Add(f);
  }
  void TearDown();
  bool Layout(const std::string& aPath, Kind aKind, std::string& aError);
  void LinkFile(const fs::path& aFolder, const std::string& aName, const std::string& aPath, const std::string& aKey);
  std::string DisplayName(const TDesC& aDeviceName) const;
  void CheckMovie(CZController& aController, const std::string& aName, const std::string& aFile, int aLine,
                  int aColumn);
  void CheckList(CZController& aController, const std::string& aPath, const std::string& aBytes);
  void CheckResource(CZController& aController, const std::string& aPath, Kind aKind);

  std::string iAppDir;        // as given; empty: found from each file
  std::string iFileAppDir;    // the application folder of the file being checked
  std::vector<Finding>& iFindings;
  std::string iRoot;       // the temporary drive root
  fs::path iAppFolder;     // the application folder on that drive
  // Lower-case names below the application folder (a folder, or a folder/file) and what
  // the user calls them.
  std::map<std::string, std::string> iFolderNames;
  std::map<std::string, std::string> iFileNames;
  int iErrorsInFile = 0;
  CEikonEnv* iEnv = NULL;
  CLintApplication* iApp = NULL;
  CEikDocument* iDocument = NULL;
  CEikAppUi* iAppUi = NULL;
};

bool Checker::Impl::Start(std::string& aError) {
  char pattern[] = "/tmp/zolvlint-XXXXXX";
  if (!::mkdtemp(pattern)) {
    aError = "cannot make a temporary folder";
    return false;
  }
  iRoot = pattern;
  std::error_code ec;
  fs::create_directories(fs::path(iRoot) / "c", ec);
  iAppFolder = fs::path(iRoot) / "y" / "System" / "Apps" / KAppName;
  fs::create_directories(iAppFolder, ec);
  if (ec) {
    aError = "cannot make " + iAppFolder.string();
    return false;
  }
  // Nothing of the user's own emulator folders is touched.
  ZHost::SetEpocRoot(iRoot);
  ZHost::SetDrivePath('C', (fs::path(iRoot) / "c").string());
  ZHost::SetDrivePath(KLintDrive, (fs::path(iRoot) / "y").string());
  ZHost::Screen::SetBackendChoice("headless");
  // Sounds are loaded, never played: no sound device is opened.
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (CCoeEnv::Static() != NULL) {
    aError = "an engine environment exists already";
    return false;
  }
  TRAPD(err, {
    iEnv = new (ELeave) CEikonEnv;
    iEnv->ConstructL();
    iApp = new (ELeave) CLintApplication;
    TBuf<8> name;
    ZHost::FromUtf8(KAppName, name);
    iApp->SetAppFullName(name, KLintDrive);
    ZHost::StartApplicationL(*iApp, iDocument, iAppUi);
  });
  if (err != KErrNone) {
    aError = "the engine's environment could not be made (error " + std::to_string(err) + ")";
    return false;
  }
  return true;
}

void Checker::Impl::TearDown() {
  TZDiagnostics::SetObserver(NULL);
  delete iAppUi;
  iAppUi = NULL;
  delete iDocument;
  iDocument = NULL;
  delete iApp;
  iApp = NULL;
  delete iEnv;
  iEnv = NULL;
  if (!iRoot.empty()) {
    ZHost::SetDrivePath(KLintDrive, "");
    ZHost::SetDrivePath('C', "");
    ZHost::SetEpocRoot("");
    std::error_code ec;
    fs::remove_all(iRoot, ec);
    iRoot.clear();
  }
}

void Checker::Impl::LinkFile(const fs::path& aFolder, const std::string& aName, const std::string& aPath,
                             const std::string& aKey) {
  std::error_code ec;
  fs::create_directories(aFolder, ec);
  fs::create_symlink(fs::absolute(aPath, ec), aFolder / aName, ec);
  iFileNames[Lower(aKey)] = aPath;
}

// Makes the application folder show the resource folders of the file's application, and
// the checked file where the engine will look for it.
bool Checker::Impl::Layout(const std::string& aPath, Kind aKind, std::string& aError) {
  std::error_code ec;
  fs::remove_all(iAppFolder, ec);
  fs::create_directories(iAppFolder, ec);
  if (ec) {
    aError = "cannot prepare " + iAppFolder.string();
    return false;
  }
  iFolderNames.clear();
  iFileNames.clear();

  // The application folder: given, or the parent of a resource folder, or the file's own.
  std::string appDir = iAppDir;
  if (appDir.empty()) {
    const fs::path parent = fs::path(aPath).parent_path();
    const std::string folder = Lower(parent.filename().string());
    const bool inResourceFolder = (aKind == Kind::Movie && folder == "movies") ||
                                  (aKind == Kind::Text && folder == "texts") ||
                                  (aKind == Kind::Shape && folder == "shapes");
    appDir = inResourceFolder ? parent.parent_path().string() : parent.string();
  }
  iFileAppDir = appDir;
  const fs::path appPath = appDir.empty() ? fs::path(".") : fs::path(appDir);
  for (const char* folder : KResourceFolders) {
    const std::string child = ChildNoCase(appPath, folder);
    if (child.empty() || !fs::is_directory(appPath / child, ec)) continue;
    fs::create_directory_symlink(fs::absolute(appPath / child, ec), iAppFolder / folder, ec);
    iFolderNames[Lower(folder)] = Join(appDir, child);
  }

  // The checked file itself, in its own folder (a real folder holding only it).
  const std::string name = fs::path(aPath).filename().string();
  switch (aKind) {
    case Kind::Movie: {
      const std::string stem = EndsWithNoCase(name, ".movie") ? name.substr(0, name.size() - 6) : name;
      fs::remove(iAppFolder / "Movies", ec);
      LinkFile(iAppFolder / "Movies", stem + ".movie", aPath, "movies/" + stem + ".movie");
      break;
    }
    case Kind::Text:
      fs::remove(iAppFolder / "Texts", ec);
      LinkFile(iAppFolder / "Texts", name, aPath, "texts/" + name);
      break;
    case Kind::Shape:
      fs::remove(iAppFolder / "Shapes", ec);
      LinkFile(iAppFolder / "Shapes", name, aPath, "shapes/" + name);
      break;
    case Kind::MovieList:
      LinkFile(iAppFolder, name, aPath, name);
      break;
  }
  return true;
}

// The user's name for a file the engine names by its device name.
std::string Checker::Impl::DisplayName(const TDesC& aDeviceName) const {
  const std::string device = ToUtf8(aDeviceName);
  const std::string prefix = KAppDevicePrefix;
  if (device.size() <= prefix.size() || Lower(device.substr(0, prefix.size())) != Lower(prefix)) return device;
  // The name below the application folder with the letter case the files have.
  std::string relative = device.substr(prefix.size());
  std::string host;
  const TInt found = ZHost::HostPath(aDeviceName, host);
  const std::string appFolder = iAppFolder.string() + "/";
  if ((found == KErrNone || found == KErrNotFound) && host.compare(0, appFolder.size(), appFolder) == 0)
    relative = host.substr(appFolder.size());
  std::replace(relative.begin(), relative.end(), '\\', '/');
  if (auto file = iFileNames.find(Lower(relative)); file != iFileNames.end()) return file->second;
  const size_t slash = relative.find('/');
  if (slash != std::string::npos) {
    if (auto folder = iFolderNames.find(Lower(relative.substr(0, slash))); folder != iFolderNames.end())
      return Join(folder->second, relative.substr(slash + 1));
  }
  return Join(iFileAppDir, relative);
}

void Checker::Impl::CheckMovie(CZController& aController, const std::string& aName, const std::string& aFile,
                               int aLine, int aColumn) {
  iErrorsInFile = 0;
  HBufC* name = NULL;
  TRAPD(err, {
    name = WidenLC(aName);
    CleanupStack::Pop(name);
  });
  if (err != KErrNone) {
    AddError(aFile, aLine, aColumn, "out of memory");
    return;
  }
  TZDiagnostics::SetObserver(this);
  TRAP(err, aController.LoadMovieListL(*name));
  const TBool failed = aController.MovieLoadFailed();
  TZDiagnostics::SetObserver(NULL);
  delete name;
  if ((err != KErrNone || failed) && iErrorsInFile == 0) {
    std::string message = "movie " + Quoted(aName) + " could not be loaded";
    if (err != KErrNone) message += " (error " + std::to_string(err) + ")";
    AddError(aFile, aLine, aColumn, message);
  }
}

void Checker::Impl::CheckList(CZController& aController, const std::string& aPath, const std::string& aBytes) {
  const std::vector<ListName> names = ListNames(aBytes);
  if (names.empty()) {
    AddWarning(aPath, 0, 0, "the movie list names no movie: nothing is loaded");
    return;
  }
  for (const ListName& entry : names) {
    std::string name = entry.name;
    if (name.size() > KMovieNameMax) {
      AddWarning(aPath, entry.line, entry.column,
                 "movie name longer than 64 characters: only its first 64 name its files and elements");
      name.resize(KMovieNameMax);
    }
    // The engine leaves a missing movie file to the trap of its automatic load; say which.
    std::string host;
    TBuf<256> device;
    const std::string deviceName = std::string(KAppDevicePrefix) + "Movies\\" + name + ".movie";
    ZHost::FromUtf8(deviceName.substr(0, 256), device);
    const TInt found = ZHost::HostPath(device, host);
    if (found == KErrBadName) {
      AddError(aPath, entry.line, entry.column,
               "movie " + Quoted(entry.name) + ": not a valid file name: the movie load fails");
      continue;
    }
    if (found != KErrNone) {
      AddError(aPath, entry.line, entry.column,
               "movie " + Quoted(entry.name) + ": " +
                   Join(iFolderNames.count("movies") ? iFolderNames["movies"] : Join(iFileAppDir, "Movies"),
                        name + ".movie") +
                   " not found: the movie load fails");
      continue;
    }
    CheckMovie(aController, entry.name, aPath, entry.line, entry.column);
  }
}

void Checker::Impl::CheckResource(CZController& aController, const std::string& aPath, Kind aKind) {
  iErrorsInFile = 0;
  const std::string fileName = fs::path(aPath).filename().string();
  const std::string base = fileName.substr(0, fileName.rfind('.') == std::string::npos ? fileName.size()
                                                                                       : fileName.rfind('.'));
  TBuf<256> file;
  TBuf<256> element;
  ZHost::FromUtf8(fileName.substr(0, 200), file);
  ZHost::FromUtf8(base.substr(0, 200), element);
  TZDiagnostics::SetObserver(this);
  TRAPD(err, aKind == Kind::Text ? aController.LoadFileTextL(file, element) : aController.LoadFileShapeL(file, element));
  TZDiagnostics::SetObserver(NULL);
  if (err != KErrNone && iErrorsInFile == 0)
    AddError(aPath, 0, 0, "the file load fails (error " + std::to_string(err) + ")");
}

void Checker::Impl::Check(const std::string& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::error_code ec;
  if (!in || fs::is_directory(aPath, ec)) {
    AddError(aPath, 0, 0, "cannot read the file");
    return;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const Kind kind = KindOf(aPath, bytes);
  std::string error;
  if (!Layout(aPath, kind, error)) {
    AddError(aPath, 0, 0, error);
    return;
  }
  if (kind == Kind::Movie) {
    const std::string name = fs::path(aPath).filename().string();
    const std::string stem = EndsWithNoCase(name, ".movie") ? name.substr(0, name.size() - 6) : name;
    for (unsigned char c : stem) {
      if (c == ' ' || (c >= 9 && c <= 13)) {
        AddError(aPath, 0, 0, "a movie name cannot hold white space: the engine cannot load this movie");
        return;
      }
    }
  }

  CZController* controller = NULL;
  TRAPD(err, controller = CZController::NewL(iAppUi));
  if (err != KErrNone) {
    AddError(aPath, 0, 0, "the engine could not be started (error " + std::to_string(err) + ")");
    return;
  }
  switch (kind) {
    case Kind::Movie: {
      const std::string name = fs::path(aPath).filename().string();
      CheckMovie(*controller, EndsWithNoCase(name, ".movie") ? name.substr(0, name.size() - 6) : name, aPath, 0, 0);
      break;
    }
    case Kind::MovieList:
      CheckList(*controller, aPath, bytes);
      break;
    case Kind::Text:
    case Kind::Shape:
      CheckResource(*controller, aPath, kind);
      break;
  }
  delete controller;
}

// ---------------------------------------------------------------------------------------

Kind KindOf(const std::string& aPath, const std::string& aBytes) {
  if (EndsWithNoCase(aPath, ".movie")) return Kind::Movie;
  if (EndsWithNoCase(aPath, ".txt")) return Kind::Text;
  if (EndsWithNoCase(aPath, ".shp")) return Kind::Shape;
  if (HasWord(aBytes, "BeginMovie")) return Kind::Movie;
  if (HasWord(aBytes, "#BShp")) return Kind::Shape;
  if (HasWord(aBytes, "#BTxt")) return Kind::Text;
  return Kind::MovieList;
}

std::string Format(const Finding& aFinding) {
  std::string text = aFinding.file + ":";
  if (aFinding.line > 0) text += std::to_string(aFinding.line) + ":" + std::to_string(aFinding.column) + ":";
  text += aFinding.error ? " error: " : " warning: ";
  return text + aFinding.message;
}

Checker::Checker(std::string aAppDir) : iImpl(std::make_unique<Impl>(std::move(aAppDir), iFindings)) {}

Checker::~Checker() = default;

bool Checker::Start(std::string& aError) { return iImpl->Start(aError); }

void Checker::Check(const std::string& aPath) { iImpl->Check(aPath); }

int Checker::Errors() const {
  return static_cast<int>(std::count_if(iFindings.begin(), iFindings.end(), [](const Finding& f) { return f.error; }));
}

int Checker::Warnings() const { return static_cast<int>(iFindings.size()) - Errors(); }

namespace {

const zolv::cli::Program kCommandLine{
    "zolvlint",
    "usage: zolvlint [--apps-dir DIR] FILE...\n"
    "  FILE: a movie list, a movie file (.movie), a text (.txt) or shape (.shp) resource file\n"
    "  --apps-dir DIR: the application folder that holds Movies, Pictures, Sounds, Texts and Shapes\n",
    {{"--apps-dir", true}, {"-h"}},
    true};

}  // namespace

int Main(const std::vector<std::string>& aArgs, std::ostream& aOut, std::ostream& aErr) {
  if (const std::optional<int> answered = zolv::cli::Check(kCommandLine, aArgs, aOut, aErr)) return *answered;
  std::string appDir;
  std::vector<std::string> files;
  bool options = true;
  for (size_t i = 0; i < aArgs.size(); ++i) {
    const std::string& arg = aArgs[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "--apps-dir" && i + 1 < aArgs.size()) {
      appDir = aArgs[++i];
    } else if (options && arg.rfind("--apps-dir=", 0) == 0) {
      appDir = arg.substr(11);
    } else if (options && arg == "-h") {
      aOut << kCommandLine.usage;
      return 0;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) return zolv::cli::UsageError(kCommandLine, "missing FILE", aErr);
  std::error_code ec;
  if (!appDir.empty() && !fs::is_directory(appDir, ec)) {
    aErr << "zolvlint: " << appDir << " is not a folder\n";
    return 2;
  }

  Checker checker(appDir);
  std::string error;
  if (!checker.Start(error)) {
    aErr << "zolvlint: " << error << "\n";
    return 2;
  }
  for (const std::string& file : files) checker.Check(file);
  for (const Finding& finding : checker.Findings()) aOut << Format(finding) << "\n";
  const int errors = checker.Errors();
  const int warnings = checker.Warnings();
  if (errors + warnings > 0) {
    aOut << errors << (errors == 1 ? " error" : " errors") << " and " << warnings
         << (warnings == 1 ? " warning" : " warnings") << " in " << files.size()
         << (files.size() == 1 ? " file" : " files") << "\n";
  }
  aOut.flush();
  return errors > 0 ? 1 : 0;
}

}  // namespace zolvlint
