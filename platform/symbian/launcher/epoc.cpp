// epoc: starts an application by name, as the device's emulator does, and runs it on the
// real clock until it exits.
//
//   epoc [--apps FOLDER] [--headless] [--frames N] [--seconds S] [--png FILE]
//        [--record FILE | --replay FILE] [--hashes FILE] [--expect FILE] NAME
//   epoc --watch [--apps FOLDER] [--headless] [--frames N] [--replay FILE] [--record FILE] [--hashes FILE]
//        NAME
//
// The application is the module Z:\System\Apps\NAME\NAME.app, or with --apps the module
// FOLDER/NAME.app (or FOLDER/NAME/NAME.app); its resource folders are those beside the
// module. --headless keeps the screen in memory. --frames N ends the application after
// the screen's Nth update (a presentation of changed pixels); --seconds S ends it after S
// seconds on the real clock, whether or not the screen changes. --png FILE writes a
// contact sheet of the frames. --record, --replay, --hashes and --expect record a run, play
// a recording again on the virtual clock and compare the frames of two runs
// (live_launch.h). --watch starts the application again on every change of its files and
// brings it back to the frame it was on (watch.h).
#include "live_launch.h"
#include "watch.h"

#include <eikenv.h>
#include <zhost/apploader.h>
#include <zhost/files.h>
#include <zhost/live.h>
#include <zhost/screen.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const TInt KSheetFrames = 12;
const TInt KSheetColumns = 4;
// Without a frame limit every tenth update goes on the sheet (the latest ones kept).
const TInt KUnlimitedSheetStep = 10;
// The drive that shows an application folder given with --apps.
const TChar KAppsDrive = 'Y';

struct TOptions {
  std::string iName;
  std::string iAppsFolder;
  std::string iPng;
  TBool iHeadless = EFalse;
  TBool iWatch = EFalse;
  std::vector<std::string> iSources;  // --sources: project folders mirrored under --watch
  TInt iFrames = 0;   // 0: no limit
  TInt iSeconds = 0;  // 0: no limit
};

// Ends the run after a time on the real clock: a limit that holds even for an
// application whose screen never changes. Its timer is the launcher's, not the
// application's (a recording does not count it).
class CTimeLimit : public CActive {
public:
  static CTimeLimit* NewL(TInt aSeconds) {
    CTimeLimit* self = new (ELeave) CTimeLimit;
    CleanupStack::PushL(self);
    User::LeaveIfError(self->iTimer.CreateLocal());
    ZHost::Live::MarkTimerInternal(self->iTimer);
    CleanupStack::Pop(self);
    self->iTimer.After(self->iStatus, TTimeIntervalMicroSeconds32(aSeconds * 1000000));
    self->SetActive();
    return self;
  }
  ~CTimeLimit() {
    Cancel();
    iTimer.Close();
  }
  TBool Expired() const { return iExpired; }

private:
  CTimeLimit() : CActive(CActive::EPriorityStandard) { CActiveScheduler::Add(this); }
  void RunL() override {
    iExpired = ETrue;
    CActiveScheduler::Stop();
  }
  void DoCancel() override { iTimer.Cancel(); }
  RTimer iTimer;
  TBool iExpired = EFalse;
};

// Counts the screen's updates, keeps frames for the contact sheet and ends the run at the
// frame limit.
struct TFrameCounter {
  TInt iLimit = 0;
  TInt iCount = 0;
  TBool iKeepFrames = EFalse;
  TBool iLimitReached = EFalse;
  TBool iExited = EFalse;
  TBool iTimeLimitReached = EFalse;
  Epoc::TLiveLaunch* iLive = NULL;
  TSize iSize;
  std::vector<std::vector<TUint16>> iFrames;

  static void Presented(TAny* aAny) { static_cast<TFrameCounter*>(aAny)->Presented(); }

  void Presented() {
    if (iLimitReached) return;
    ++iCount;
    if (iKeepFrames) Keep();
    const TBool checked = !iLive || iLive->Frame(iCount);
    if ((iLimit > 0 && iCount >= iLimit) || !checked) {
      iLimitReached = ETrue;
      // Before the scheduler runs, the launcher does not start it at all.
      CActiveScheduler* s = CActiveScheduler::Current();
      if (s && s->StackDepth() > 0) CActiveScheduler::Stop();
    }
  }

  void Keep() {
    const TInt step = iLimit > 0 ? std::max(1, iLimit / KSheetFrames) : KUnlimitedSheetStep;
    if (iCount % step != 0 && !(iLimit > 0 && iCount == iLimit)) return;
    const TSize size = ZHost::Screen::Size();
    if (!iFrames.empty() && (size.iWidth != iSize.iWidth || size.iHeight != iSize.iHeight)) iFrames.clear();
    iSize = size;
    if (static_cast<TInt>(iFrames.size()) >= KSheetFrames) {
      // With a limit the last frame replaces the last kept; without one the oldest goes.
      if (iLimit > 0)
        iFrames.pop_back();
      else
        iFrames.erase(iFrames.begin());
    }
    iFrames.push_back(ZHost::Screen::Copy(TRect(TPoint(0, 0), size)));
  }
};

TBool ValidName(const std::string& aName) {
  if (aName.empty() || aName.size() > 64) return EFalse;
  for (char c : aName)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return EFalse;
  return ETrue;
}

// Deletes everything in the open folder aFolder, one entry at a time relative to it. A
// symbolic link is deleted itself and never passed: the application folder the drive
// shows, and any link the application made, lead out of the drive.
void RemoveEntriesAt(int aFolder) {
  const int listing = ::openat(aFolder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* dir = ::fdopendir(listing);
  if (!dir) {
    ::close(listing);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.push_back(entry->d_name);
  }
  ::closedir(dir);
  for (const std::string& name : names) {
    struct stat st;
    if (::fstatat(aFolder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISDIR(st.st_mode)) {
      ::unlinkat(aFolder, name.c_str(), 0);
      continue;
    }
    const int sub = ::openat(aFolder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    RemoveEntriesAt(sub);
    ::close(sub);
    ::unlinkat(aFolder, name.c_str(), AT_REMOVEDIR);
  }
}

// Removes the temporary drive root and everything in it, without following any link.
void RemoveDriveRoot(const std::string& aRoot) {
  const int root = ::open(aRoot.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (root < 0) return;
  RemoveEntriesAt(root);
  ::close(root);
  ::rmdir(aRoot.c_str());
}

// Makes a temporary drive root whose System\Apps\<Name> is the given application folder.
// Returns the root (empty on failure).
std::string MapAppFolder(const fs::path& aFolder, const std::string& aName) {
  char pattern[] = "/tmp/zolv-epoc-XXXXXX";
  if (!::mkdtemp(pattern)) return std::string();
  std::error_code ec;
  const fs::path apps = fs::path(pattern) / "System" / "Apps";
  fs::create_directories(apps, ec);
  if (!ec) fs::create_directory_symlink(fs::absolute(aFolder, ec), apps / aName, ec);
  if (ec) {
    RemoveDriveRoot(pattern);
    return std::string();
  }
  return pattern;
}

// Finds the module. Sets aHostPath and aDrive (the drive its folder is seen on).
TInt FindModule(const TOptions& aOptions, std::string& aHostPath, std::string& aMappedRoot, TChar& aDrive) {
  const std::string file = aOptions.iName + ".app";
  if (aOptions.iAppsFolder.empty()) {
    TBuf<256> device;
    ZHost::FromUtf8("Z:\\System\\Apps\\" + aOptions.iName + "\\" + file, device);
    aDrive = 'Z';
    return ZHost::HostPath(device, aHostPath);
  }
  fs::path folder = aOptions.iAppsFolder;
  std::error_code ec;
  if (!fs::is_regular_file(folder / file, ec)) folder /= aOptions.iName;
  if (!fs::is_regular_file(folder / file, ec)) return KErrNotFound;
  aMappedRoot = MapAppFolder(folder, aOptions.iName);
  if (aMappedRoot.empty()) return KErrGeneral;
  ZHost::SetDrivePath(KAppsDrive, aMappedRoot);
  aDrive = KAppsDrive;
  aHostPath = (folder / file).string();
  return KErrNone;
}

// Runs the application until it exits or the frame limit ends it.
void RunL(const TOptions& aOptions, const std::string& aModulePath, TChar aDrive, TFrameCounter& aCounter) {
  ZHost::RAppModule module;
  const TInt err = module.Open(aModulePath);
  if (err != KErrNone) {
    std::fprintf(stderr, "epoc: %s\n", module.Error().c_str());
    User::Leave(err);
  }
  if (aOptions.iHeadless) ZHost::Screen::SetBackendChoice("headless");
  ZHost::Screen::SetPresentObserver(&TFrameCounter::Presented, &aCounter);
  std::string moduleName = "?:\\System\\Apps\\" + aOptions.iName + "\\" + aOptions.iName + ".app";
  moduleName[0] = static_cast<char>(TUint(aDrive));
  aCounter.iLive->BeforeStart(aOptions.iName, moduleName);
  // A replay runs on the virtual clock, which would keep the screen in memory; it is
  // shown in a window as a live run is, unless asked otherwise.
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (aCounter.iLive->Replaying() && !aOptions.iHeadless && !std::getenv("ZOLV_SCREEN") &&
      ((display && *display) || (wayland && *wayland)))
    ZHost::Screen::SetBackendChoice("sdl");

  CEikonEnv* env = new (ELeave) CEikonEnv;
  CleanupStack::PushL(env);
  env->ConstructL();
  CApaApplication* app = module.NewApplicationL();
  CleanupStack::PushL(app);
  TBuf<64> name;
  ZHost::FromUtf8(aOptions.iName, name);
  app->SetAppFullName(name, aDrive);
  CEikDocument* doc = NULL;
  CEikAppUi* appUi = NULL;
  ZHost::StartApplicationL(*app, doc, appUi);
  CleanupStack::PushL(doc);
  CleanupStack::PushL(appUi);
  aCounter.iLive->AfterStart();

  // Which screen the run got: a window ("sdl") or memory ("headless"), for scripts that
  // need to know whether a display was really used.
  std::printf("epoc: screen: %s\n", ZHost::Screen::BackendName().c_str());
  std::fflush(stdout);
  CTimeLimit* limit = aOptions.iSeconds > 0 ? CTimeLimit::NewL(aOptions.iSeconds) : NULL;
  CleanupStack::PushL(limit);
  if (!aCounter.iLimitReached && !appUi->ExitRequested()) CActiveScheduler::Start();
  aCounter.iTimeLimitReached = limit && limit->Expired();
  CleanupStack::PopAndDestroy(limit);
  aCounter.iExited = appUi->ExitRequested();
  ZHost::Screen::SetPresentObserver(NULL, NULL);
  std::printf("epoc: %s %s after %d frames\n", aOptions.iName.c_str(),
              appUi->ExitRequested() ? "exited" : "stopped", aCounter.iCount);
  std::fflush(stdout);

  CleanupStack::PopAndDestroy(appUi);
  CleanupStack::PopAndDestroy(doc);
  CleanupStack::PopAndDestroy(app);
  CleanupStack::PopAndDestroy(env);
  module.Close();
}

const zolv::cli::Program kCommandLine{
    "epoc",
    "usage: epoc [--apps FOLDER] [--headless] [--frames N] [--seconds S] [--png FILE]\n"
    "            [--record FILE | --replay FILE] [--hashes FILE] [--expect FILE] NAME\n"
    "       epoc --watch [--apps FOLDER] [--sources FOLDER]... [--headless] [--frames N]\n"
    "            [--replay FILE] [--record FILE] [--hashes FILE] NAME\n"
    "Starts the application NAME (Z:\\System\\Apps\\NAME\\NAME.app) and runs it until it exits.\n"
    "  --apps FOLDER    the application is FOLDER/NAME.app or FOLDER/NAME/NAME.app\n"
    "  --headless       keep the screen in memory, with no window\n"
    "  --frames N       end after the screen's Nth update (1 to 1000000)\n"
    "  --seconds S      end after S seconds (1 to 2000)\n"
    "  --png FILE       write a contact sheet of the frames to FILE\n"
    "  --record FILE    write every event that reaches the application to the session FILE\n"
    "  --replay FILE    run on the virtual clock, delivering the events of the session FILE\n"
    "  --hashes FILE    write the number and a pixel hash of every presented frame to FILE\n"
    "  --expect FILE    compare the frames with the hashes FILE; stop at the first difference\n"
    "  --watch          record as it runs, and start again at the same frame when the\n"
    "                   module or its files change\n"
    "  --sources FOLDER with --watch: copy the files of the project folder FOLDER (its movie\n"
    "                   list and resource folders) to the application when they change\n",
    {{"--apps", true},
     {"--headless"},
     {"--frames", true},
     {"--seconds", true},
     {"--png", true},
     {"--record", true},
     {"--replay", true},
     {"--hashes", true},
     {"--expect", true},
     {"--watch"},
     {"--sources", true}}};

int Usage(const std::string& aWhy) { return zolv::cli::UsageError(kCommandLine, aWhy); }

// Runs the application under --watch until it exits or the frame limit.
int Watch(const TOptions& aOptions, const std::string& aModulePath, TChar aDrive, const Epoc::TLiveLaunch& aLive,
          const Epoc::TSession* aFrom) {
  Epoc::TWatchOptions watch;
  watch.iName = aOptions.iName;
  watch.iModulePath = aModulePath;
  watch.iDrive = aDrive;
  watch.iHeadless = aOptions.iHeadless;
  watch.iFrames = aOptions.iFrames;
  watch.iRecordPath = aLive.RecordPath();
  watch.iHashesPath = aLive.HashesPath();
  watch.iSession = aFrom;
  watch.iSources = aOptions.iSources;
  return Epoc::Watch(watch);
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> answered = zolv::cli::Check(kCommandLine, argc, argv)) return *answered;
  TOptions options;
  Epoc::TLiveLaunch live;
  for (int i = 1; i < argc; i++) {
    const std::string arg = argv[i];
    if (const TInt taken = live.TakeOption(argc, argv, i)) {
      if (taken < 0) return Usage("option " + arg + " needs a value");
    } else if (arg == "--watch") {
      options.iWatch = ETrue;
    } else if (arg == "--sources" && i + 1 < argc) {
      options.iSources.push_back(argv[++i]);
    } else if (arg == "--headless") {
      options.iHeadless = ETrue;
    } else if (arg == "--frames" && i + 1 < argc) {
      char* end = NULL;
      const long frames = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || frames < 1 || frames > 1000000) return Usage(std::string("bad frame count ") + argv[i]);
      options.iFrames = static_cast<TInt>(frames);
    } else if (arg == "--seconds" && i + 1 < argc) {
      char* end = NULL;
      const long seconds = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || seconds < 1 || seconds > 2000) return Usage(std::string("bad number of seconds ") + argv[i]);
      options.iSeconds = static_cast<TInt>(seconds);
    } else if (arg == "--png" && i + 1 < argc) {
      options.iPng = argv[++i];
    } else if (arg == "--apps" && i + 1 < argc) {
      options.iAppsFolder = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && options.iName.empty()) {
      options.iName = arg;
    } else {
      return Usage("unexpected argument " + arg);
    }
  }
  if (options.iName.empty()) return Usage("missing application NAME");
  if (!ValidName(options.iName)) {
    std::fprintf(stderr, "epoc: \"%s\" is not an application name\n", options.iName.c_str());
    return 2;
  }
  if (options.iWatch && (!options.iPng.empty() || options.iSeconds > 0 || !live.WatchCompatible()))
    return Usage("--watch cannot be used with --png, --seconds or --expect");
  if (!options.iSources.empty() && !options.iWatch) return Usage("--sources needs --watch");
  for (const std::string& source : options.iSources) {
    std::error_code ec;
    if (!fs::is_directory(source, ec)) {
      std::fprintf(stderr, "epoc: %s is not a folder\n", source.c_str());
      return 2;
    }
  }
  const Epoc::TSession* watchFrom = NULL;
  if (const int code = options.iWatch ? live.PrepareWatch(options.iName, watchFrom) : live.Prepare(options.iName))
    return code;

  std::string modulePath;
  std::string mappedRoot;
  TChar drive = 'Z';
  const TInt found = FindModule(options, modulePath, mappedRoot, drive);
  if (found != KErrNone) {
    std::fprintf(stderr, "epoc: application %s not found (%s)\n", options.iName.c_str(),
                 options.iAppsFolder.empty() ? "Z:\\System\\Apps" : options.iAppsFolder.c_str());
    return 1;
  }

  TFrameCounter counter;
  counter.iLimit = options.iFrames > 0 ? options.iFrames : live.FrameLimit();
  counter.iLive = &live;
  counter.iKeepFrames = !options.iPng.empty();
  int watchCode = -1;
  if (options.iWatch)
    watchCode = Watch(options, modulePath, drive, live, watchFrom);
  TRAPD(err, if (!options.iWatch) RunL(options, modulePath, drive, counter));
  if (!mappedRoot.empty()) RemoveDriveRoot(mappedRoot);
  if (watchCode >= 0) return watchCode;
  const int liveCode =
      live.Finish(counter.iExited, counter.iCount, (options.iFrames > 0 && counter.iLimitReached) || counter.iTimeLimitReached);
  if (err != KErrNone) {
    std::fprintf(stderr, "epoc: %s failed with error %d\n", options.iName.c_str(), err);
    return 1;
  }
  if (!options.iPng.empty()) {
    const TInt saved =
        ZHost::Screen::SaveContactSheetPng(options.iPng, counter.iFrames, counter.iSize, KSheetColumns, 2);
    if (saved != KErrNone) {
      std::fprintf(stderr, "epoc: cannot write the contact sheet %s (error %d)\n", options.iPng.c_str(), saved);
      return 1;
    }
    std::printf("contact sheet: %s\n", options.iPng.c_str());
  }
  return liveCode;
}
