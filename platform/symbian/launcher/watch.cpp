// epoc --watch (see watch.h).
//
// One control environment (window-server session, screen, scheduler) lives through the
// whole watch; the application's objects and its module come and go. A thread watches the
// files with inotify and, once the writing has settled, completes a request of the
// scheduler's thread, which ends the live run. The application is then deleted, its module
// loaded again if it changed (from a fresh copy, so that the loader never hands back the
// old one), made again, and brought back to the step it was at by replaying the session
// recorded so far on the virtual clock with the screen's presentation suspended. Then the
// clock goes on in real time, the screen shows the frame, and recording goes on.
#include "watch.h"

#include "live_run.h"

#include <eikenv.h>
#include <zhost/apploader.h>
#include <zhost/clock.h>
#include <zhost/files.h>
#include <zhost/live.h>
#include <zhost/screen.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace Epoc {

const char* const KWatchedFolders[6] = {"Movies", "Pictures", "Sounds", "Texts", "Shapes", "Data"};

namespace {

// How long the files must stay untouched before a change counts as settled.
const int KSettleMs = 100;

// ASCII letters only: folder names compare the same in every locale.
std::string Lower(std::string aText) {
  for (char& c : aText)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return aText;
}

TBool IsWatchedFolder(const std::string& aName) {
  for (const char* f : KWatchedFolders)
    if (Lower(aName) == Lower(f)) return ETrue;
  return EFalse;
}

// Editors' scratch files say nothing about the application's files.
TBool IsScratch(const std::string& aName) {
  return aName.empty() || aName[0] == '.' || aName.back() == '~' || aName == "4913" ||
         (aName.size() > 4 && aName.compare(aName.size() - 4, 4, ".swp") == 0);
}

// The completion the watching thread gives the scheduler's thread.
class CChangeSignal : public CActive {
public:
  CChangeSignal() : CActive(EPriorityHigh) { CActiveScheduler::Add(this); }
  ~CChangeSignal() { Cancel(); }
  void Arm() {
    if (IsActive()) return;
    iStatus = KRequestPending;
    SetActive();
    iArmed.store(ETrue);
  }
  // From the watching thread.
  void Signal() {
    if (iArmed.exchange(EFalse)) ZHost::PostRequestComplete(&iStatus, KErrNone);
  }
  TBool Fired() const { return iFired; }
  void Reset() { iFired = EFalse; }

private:
  void RunL() override {
    iFired = ETrue;
    // Not the innermost loop: the application may be waiting inside a frame for a
    // picture, and that wait must end by itself.
    CActiveScheduler::StopOutermost();
  }
  void DoCancel() override {
    // A completion may already be on its way from the watching thread.
    if (iArmed.exchange(EFalse)) {
      TRequestStatus* status = &iStatus;
      User::RequestComplete(status, KErrCancel);
    }
  }
  std::atomic<TBool> iArmed{EFalse};
  TBool iFired = EFalse;
};

// Brings one file of a project's source folder to its place in the application's folder:
// copied under a fresh hidden name beside that place (created exclusively) and renamed
// over it, so a link standing there is replaced, never written through. A file gone from
// the sources is removed there too (a link itself, not what it names).
void MirrorFile(const fs::path& aFrom, const fs::path& aTo) {
  std::error_code ec;
  if (!fs::is_regular_file(aFrom, ec)) {
    if (!fs::exists(fs::symlink_status(aFrom, ec))) fs::remove(aTo, ec);
    return;
  }
  fs::create_directories(aTo.parent_path(), ec);
  std::string temp = (aTo.parent_path() / ("." + aTo.filename().string() + ".XXXXXX")).string();
  const int out = ::mkstemp(temp.data());
  if (out < 0) return;
  const int in = ::open(aFrom.c_str(), O_RDONLY | O_CLOEXEC);
  TBool ok = in >= 0 && ::fchmod(out, 0644) == 0;
  char buffer[65536];
  for (ssize_t n; ok && (n = ::read(in, buffer, sizeof(buffer))) != 0;) {
    if (n < 0 || ::write(out, buffer, static_cast<size_t>(n)) != n) ok = EFalse;
  }
  if (in >= 0) ::close(in);
  if (::close(out) != 0) ok = EFalse;
  if (!ok || ::rename(temp.c_str(), aTo.c_str()) != 0) ::unlink(temp.c_str());
}

// Watches the application folder, its resource folders and its files; collects the names
// of changed files (relative to the application folder) until the scheduler's thread takes
// them. With a mirror folder it watches a project's source folder instead and copies each
// settled change to the same place in the mirror (the application's folder), where the
// application's own watcher sees it.
class TFileWatcher {
public:
  TFileWatcher(const fs::path& aFolder, CChangeSignal& aSignal, const fs::path& aMirror = fs::path())
      : iFolder(aFolder), iMirror(aMirror), iSignal(aSignal) {}
  ~TFileWatcher() { Stop(); }

  TBool Start() {
    iFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (iFd < 0 || ::pipe(iWake) != 0) return EFalse;
    AddWatch(iFolder, "");
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(iFolder, ec))
      if (e.is_directory(ec) && IsWatchedFolder(e.path().filename().string()))
        AddWatch(e.path(), e.path().filename().string() + "/");
    iThread = std::thread([this] { Run(); });
    return ETrue;
  }

  void Stop() {
    if (iThread.joinable()) {
      const char c = 0;
      if (::write(iWake[1], &c, 1) < 0) {
      }
      iThread.join();
    }
    for (int fd : {iFd, iWake[0], iWake[1]})
      if (fd >= 0) ::close(fd);
    iFd = iWake[0] = iWake[1] = -1;
  }

  // The settled changes so far (and forgets them).
  std::vector<std::string> Take() {
    std::lock_guard<std::mutex> lock(iMutex);
    std::vector<std::string> out(iSettled.begin(), iSettled.end());
    iSettled.clear();
    return out;
  }
  TBool HasSettled() {
    std::lock_guard<std::mutex> lock(iMutex);
    return !iSettled.empty();
  }

private:
  void AddWatch(const fs::path& aPath, const std::string& aPrefix) {
    const int wd = inotify_add_watch(iFd, aPath.c_str(),
                                     IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ATTRIB);
    if (wd >= 0) iPrefixes[wd] = aPrefix;
  }

  void Run() {
    std::set<std::string> pending;
    std::set<std::string> created;
    for (;;) {
      pollfd fds[2] = {{iFd, POLLIN, 0}, {iWake[0], POLLIN, 0}};
      const int ready = ::poll(fds, 2, pending.empty() ? -1 : KSettleMs);
      if (ready < 0 && errno != EINTR) return;
      if (fds[1].revents) return;
      if (ready == 0) {
        // Quiet for the settling time: the change is complete. A file that came and went
        // within it (an editor's or a tool's temporary file) changed nothing.
        std::error_code ec;
        for (const std::string& name : created)
          if (!fs::exists(iFolder / name, ec)) pending.erase(name);
        created.clear();
        if (!iMirror.empty()) {
          // Only what the application reads: its resource folders' files and movie lists.
          for (const std::string& name : pending)
            if (name.find('/') != std::string::npos || Lower(fs::path(name).extension().string()) == ".lst")
              MirrorFile(iFolder / name, iMirror / name);
        } else if (!pending.empty()) {
          {
            std::lock_guard<std::mutex> lock(iMutex);
            iSettled.insert(pending.begin(), pending.end());
          }
          iSignal.Signal();
        }
        pending.clear();
        continue;
      }
      if (!(fds[0].revents & POLLIN)) continue;
      alignas(inotify_event) char buffer[16384];
      const ssize_t n = ::read(iFd, buffer, sizeof(buffer));
      for (ssize_t at = 0; n > 0 && at < n;) {
        const inotify_event* e = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        const std::string name = e->len ? std::string(e->name) : std::string();
        auto prefix = iPrefixes.find(e->wd);
        if (prefix == iPrefixes.end() || IsScratch(name)) continue;
        if ((e->mask & IN_ISDIR) && prefix->second.empty() && IsWatchedFolder(name) &&
            (e->mask & (IN_CREATE | IN_MOVED_TO)))
          AddWatch(iFolder / name, name + "/");
        if (e->mask & IN_ISDIR) continue;
        pending.insert(prefix->second + name);
        if (e->mask & (IN_CREATE | IN_MOVED_TO)) created.insert(prefix->second + name);
      }
      // Changes that settle while the scheduler's thread is busy are handed over at once
      // when it asks again (Arm).
    }
  }

  fs::path iFolder;
  fs::path iMirror;
  CChangeSignal& iSignal;
  int iFd = -1;
  int iWake[2] = {-1, -1};
  std::map<int, std::string> iPrefixes;
  std::thread iThread;
  std::mutex iMutex;
  std::set<std::string> iSettled;
};

// Counts presented frames, writes the hashes of those shown and ends the run at the frame
// limit.
struct TWatchFrames {
  TInt iCount = 0;
  TInt iLimit = 0;
  TBool iLimitReached = EFalse;
  TBool iCatchingUp = EFalse;
  std::FILE* iHashes = NULL;
  void Shown() {
    if (iHashes) std::fprintf(iHashes, "%d %016llx\n", iCount, static_cast<unsigned long long>(TFrameHashes::ScreenHash()));
  }
  static void Presented(TAny* aAny) {
    TWatchFrames& self = *static_cast<TWatchFrames*>(aAny);
    ++self.iCount;
    if (!self.iCatchingUp) self.Shown();
    // The limit counts frames shown live; a catch-up only comes back to where it was.
    if (!self.iCatchingUp && self.iLimit > 0 && self.iCount >= self.iLimit && !self.iLimitReached) {
      self.iLimitReached = ETrue;
      CActiveScheduler::StopOutermost();
    }
  }
};

// The running application: its objects, made from the module.
struct TApp {
  CApaApplication* iApp = NULL;
  CEikDocument* iDoc = NULL;
  CEikAppUi* iAppUi = NULL;

  // Makes the application; on a leave nothing is left and the error is returned.
  TInt Start(ZHost::RAppModule& aModule, const TWatchOptions& aOptions) {
    TRAPD(err, StartL(aModule, aOptions));
    if (err != KErrNone) Delete();
    return err;
  }
  void StartL(ZHost::RAppModule& aModule, const TWatchOptions& aOptions) {
    iApp = aModule.NewApplicationL();
    TBuf<64> name;
    ZHost::FromUtf8(aOptions.iName, name);
    iApp->SetAppFullName(name, aOptions.iDrive);
    ZHost::StartApplicationL(*iApp, iDoc, iAppUi);
  }
  void Delete() {
    delete iAppUi;
    delete iDoc;
    delete iApp;
    iAppUi = NULL;
    iDoc = NULL;
    iApp = NULL;
  }
  TBool Exited() const { return iAppUi && iAppUi->ExitRequested(); }
};

// Opens the module from a fresh copy: the loader keeps a module loaded once under its
// name, so a rebuilt module must come under a name never used before.
TInt OpenFresh(ZHost::RAppModule& aModule, const std::string& aPath, std::string& aError) {
  char temp[] = "/tmp/zolv-epoc-module-XXXXXX";
  const int fd = ::mkstemp(temp);
  if (fd < 0) {
    aError = "cannot make a copy of the module";
    return KErrGeneral;
  }
  ::close(fd);
  std::error_code ec;
  fs::copy_file(aPath, temp, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    ::unlink(temp);
    aError = aPath + ": " + ec.message();
    return KErrNotFound;
  }
  const TInt err = aModule.Open(temp);
  // Once loaded the copy is not needed on disk.
  ::unlink(temp);
  if (err != KErrNone) aError = aModule.Error();
  return err;
}

// zolvlint: given, beside epoc (installed), or in the build tree's tools folder.
std::string FindLint(const std::string& aGiven) {
  if (!aGiven.empty()) return aGiven;
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n > 0) {
    const fs::path dir = fs::path(std::string(self, static_cast<size_t>(n))).parent_path();
    std::error_code ec;
    for (const fs::path& p : {dir / "zolvlint", dir / ".." / ".." / ".." / "tools" / "zolvlint" / "zolvlint"})
      if (fs::is_regular_file(p, ec)) return p.string();
  }
  return "zolvlint";
}

// Starts the checks of zolvlint on the changed movie, text and shape files, printed as it
// prints them; they run while the application is brought back. Returns the process to
// wait for (0: none).
pid_t StartLint(const std::string& aLint, const fs::path& aFolder, const std::vector<std::string>& aChanged) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const std::string& name : aChanged) {
    const std::string ext = Lower(fs::path(name).extension().string());
    const std::string dir = Lower(fs::path(name).parent_path().string());
    if (((ext == ".movie" && dir == "movies") || (ext == ".txt" && dir == "texts") || (ext == ".shp" && dir == "shapes")) &&
        fs::is_regular_file(aFolder / name, ec))
      files.push_back(name);
  }
  if (files.empty()) return 0;
  std::fflush(stdout);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(aFolder.c_str()) != 0) ::_exit(127);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(aLint.c_str()));
    for (std::string& f : files) argv.push_back(f.data());
    argv.push_back(NULL);
    ::dup2(1, 2);
    ::execvp(argv[0], argv.data());
    std::printf("epoc: zolvlint cannot be run (%s)\n", std::strerror(errno));
    ::_exit(127);
  }
  return pid > 0 ? pid : 0;
}

void WaitForLint(pid_t& aPid) {
  int status = 0;
  if (aPid > 0) ::waitpid(aPid, &status, 0);
  aPid = 0;
}

std::string Joined(const std::vector<std::string>& aNames) {
  std::string out;
  for (const std::string& n : aNames) out += (out.empty() ? "" : ", ") + n;
  return out;
}

double SecondsSince(std::chrono::steady_clock::time_point aStart) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - aStart).count();
}

// Takes the window-server events waiting for the application (pressed while it was being
// replaced) so that they reach the new one once it is live.
std::vector<TWsEvent> TakeWaitingEvents(CEikonEnv& aEnv) {
  std::vector<TWsEvent> events;
  for (;;) {
    TWsEvent e;
    aEnv.WsSession().GetEvent(e);
    if (e.Type() == EEventNull) break;
    events.push_back(e);
  }
  return events;
}

}  // namespace

int Watch(const TWatchOptions& aOptions) {
  const fs::path folder = fs::path(aOptions.iModulePath).parent_path();
  const fs::path moduleFile = fs::path(aOptions.iModulePath).filename();
  const std::string lint = FindLint(aOptions.iLint);
  if (aOptions.iHeadless) ZHost::Screen::SetBackendChoice("headless");

  // The launcher's own scheduler, so that it outlives every generation of the application.
  if (aOptions.iSession) {
    // The screen the recording had.
    const std::string size =
        std::to_string(aOptions.iSession->iScreen.iWidth) + "x" + std::to_string(aOptions.iSession->iScreen.iHeight);
    ::setenv("ZOLV_SCREEN_SIZE", size.c_str(), 1);
  }
  CActiveScheduler* scheduler = new CActiveScheduler;
  CActiveScheduler::Install(scheduler);
  TWatchFrames frames;
  frames.iLimit = aOptions.iFrames;
  TOutputFile hashes;
  if (!aOptions.iHashesPath.empty()) {
    if (!hashes.Open(aOptions.iHashesPath)) {
      std::fprintf(stderr, "epoc: cannot write the hashes %s (%s)\n", aOptions.iHashesPath.c_str(), std::strerror(errno));
      CActiveScheduler::Install(NULL);
      delete scheduler;
      return 1;
    }
    frames.iHashes = hashes.File();
    std::fprintf(frames.iHashes, "# frame hashes of %s under --watch: each frame shown, a frame shown again after a reload\n",
                 aOptions.iName.c_str());
  }
  ZHost::Screen::SetPresentObserver(&TWatchFrames::Presented, &frames);
  CEikonEnv* env = new CEikonEnv;
  TRAPD(envErr, env->ConstructL());
  if (envErr != KErrNone) {
    std::fprintf(stderr, "epoc: the control environment cannot be made (error %d)\n", envErr);
    delete env;
    CActiveScheduler::Install(NULL);
    delete scheduler;
    return 1;
  }
  CChangeSignal* signal = new CChangeSignal;
  TFileWatcher watcher(folder, *signal);
  if (!watcher.Start()) std::fprintf(stderr, "epoc: the files cannot be watched (%s)\n", std::strerror(errno));
  std::vector<std::unique_ptr<TFileWatcher>> sources;
  for (const std::string& source : aOptions.iSources) {
    sources.push_back(std::make_unique<TFileWatcher>(source, *signal, folder));
    if (!sources.back()->Start())
      std::fprintf(stderr, "epoc: %s cannot be watched (%s)\n", source.c_str(), std::strerror(errno));
  }
  // Said once the files are watched: a script may start changing them from here on.
  std::printf("epoc: screen: %s\n", ZHost::Screen::BackendName().c_str());
  std::fflush(stdout);

  std::string moduleName = "?:\\System\\Apps\\" + aOptions.iName + "\\" + aOptions.iName + ".app";
  moduleName[0] = static_cast<char>(TUint(aOptions.iDrive));
  TSession session;
  CRecorder recorder(aOptions.iName, moduleName, &session);
  ZHost::RAppModule module;
  std::string error;
  TApp app;
  int code = 0;
  TBool live = EFalse;  // the application runs and is being recorded
  TBool exited = EFalse;

  // Going on from a recording: the first thing is a catch-up to its end.
  TBool catchUp = aOptions.iSession != NULL;
  if (OpenFresh(module, aOptions.iModulePath, error) != KErrNone) {
    std::fprintf(stderr, "epoc: %s\n", error.c_str());
    code = 1;
  } else if (catchUp) {
    session = *aOptions.iSession;
    session.iEnded = EFalse;
  } else {
    recorder.Begin();
    const TInt err = app.Start(module, aOptions);
    if (err != KErrNone) {
      std::fprintf(stderr, "epoc: %s failed with error %d\n", aOptions.iName.c_str(), err);
      code = 1;
    } else {
      recorder.SetScreen(ZHost::Screen::Size());
      live = ETrue;
    }
  }

  // Where the session was when the application was last good: the step and the frame.
  TInt targetStep = catchUp ? session.LastStep() : 0;
  TInt targetFrame = catchUp ? session.iFrames : 0;
  std::vector<TUint16> lastGood;
  while (code == 0) {
    auto started = std::chrono::steady_clock::now();
    std::vector<std::string> changed;
    const TBool fromRecording = catchUp;
    if (catchUp) {
      catchUp = EFalse;
      changed.push_back("the recording");
    } else {
      signal->Reset();
      signal->Arm();
      if (watcher.HasSettled()) signal->Signal();
      if (!(live && app.Exited()) && !frames.iLimitReached) CActiveScheduler::Start();
      if (live && (app.Exited() || frames.iLimitReached)) {
        exited = app.Exited();
        break;
      }
      if (!signal->Fired()) break;
      started = std::chrono::steady_clock::now();
      changed = watcher.Take();
      if (changed.empty()) continue;
    }
    pid_t lintPid = StartLint(lint, folder, changed);
    std::vector<TWsEvent> waiting;
    if (live) {
      targetStep = session.LastStep();
      targetFrame = frames.iCount;
      lastGood = ZHost::Screen::Copy(TRect(TPoint(0, 0), ZHost::Screen::Size()));
      waiting = TakeWaitingEvents(*env);
      ZHost::Live::SetObserver(NULL);
      app.Delete();
      live = EFalse;
    }
    const TBool moduleChanged = std::find(changed.begin(), changed.end(), moduleFile.string()) != changed.end();
    if (moduleChanged || !module.IsOpen()) {
      module.Close();
      if (OpenFresh(module, aOptions.iModulePath, error) != KErrNone) {
        WaitForLint(lintPid);
        std::printf("epoc: %s changed; the module cannot be loaded (%s); showing frame %d, watching for the next change\n",
                    Joined(changed).c_str(), error.c_str(), targetFrame);
        std::fflush(stdout);
        ZHost::Screen::ShowPixels(lastGood);
        continue;
      }
    }
    // Catch up on the virtual clock, out of sight.
    ZHost::Screen::SetPresentSuspended(ETrue);
    ZHost::Screen::ClearPixels();
    frames.iCount = 0;
    frames.iCatchingUp = ETrue;
    CReplayer replayer(session);
    replayer.SetLimit(targetStep);
    replayer.SetFrameCount(&frames.iCount);
    replayer.Begin();
    const TInt err = app.Start(module, aOptions);
    if (err == KErrNone && !app.Exited()) CActiveScheduler::Start();
    ZHost::Live::SetAudioDriven(EFalse);
    replayer.CheckEnd(app.Exited());
    ZHost::Screen::SetPresentSuspended(EFalse);
    frames.iCatchingUp = EFalse;
    ZHost::Clock::ContinueReal();
    WaitForLint(lintPid);
    if (err != KErrNone || app.Exited() || !replayer.Done()) {
      ZHost::Live::SetObserver(NULL);
      app.Delete();
      const std::string why = err != KErrNone ? "its start-up left with error " + std::to_string(err)
                              : replayer.Diverged() ? "the session no longer fits it from frame " +
                                                          std::to_string(replayer.DivergedAtFrame()) + ": " +
                                                          replayer.Divergence()
                                                    : "it exited before frame " + std::to_string(targetFrame);
      std::printf("epoc: %s changed; the new version of %s cannot start (%s); showing frame %d, watching for the next "
                  "change\n",
                  Joined(changed).c_str(), aOptions.iName.c_str(), why.c_str(), targetFrame);
      ZHost::Screen::ShowPixels(lastGood);
      std::fflush(stdout);
      continue;
    }
    if (replayer.Diverged())
      std::printf("epoc: the session no longer fits the new version from frame %d: %s\n", replayer.DivergedAtFrame(),
                  replayer.Divergence().c_str());
    std::fflush(stdout);
    ZHost::Screen::ShowPixels(ZHost::Screen::Copy(TRect(TPoint(0, 0), ZHost::Screen::Size())));
    frames.Shown();
    recorder.Continue();
    live = ETrue;
    for (const TWsEvent& e : waiting) ZHost::Live::DeliverWsEvent(e);
    if (fromRecording)
      std::printf("epoc: caught up with the recording: at frame %d (tick %d) in %.3f s\n", frames.iCount, targetStep,
                  SecondsSince(started));
    else
      std::printf("epoc: %s changed: back at frame %d (tick %d) in %.3f s\n", Joined(changed).c_str(), frames.iCount,
                  targetStep, SecondsSince(started));
    std::fflush(stdout);
  }

  sources.clear();
  watcher.Stop();
  delete signal;
  if (live || app.iApp) {
    if (code == 0)
      std::printf("epoc: %s %s after %d frames\n", aOptions.iName.c_str(), exited ? "exited" : "stopped", frames.iCount);
    recorder.Finish(exited, frames.iCount);
    ZHost::Live::SetObserver(NULL);
    app.Delete();
  }
  ZHost::Screen::SetPresentObserver(NULL, NULL);
  delete env;
  CActiveScheduler::Install(NULL);
  delete scheduler;
  module.Close();
  if (frames.iHashes && !hashes.Commit()) {
    std::fprintf(stderr, "epoc: cannot write the hashes %s\n", aOptions.iHashesPath.c_str());
    code = 1;
  }
  if (code == 0 && !aOptions.iRecordPath.empty()) {
    TOutputFile out;
    const std::string text = SessionText(session);
    if (!out.Open(aOptions.iRecordPath) || std::fwrite(text.data(), 1, text.size(), out.File()) != text.size() ||
        !out.Commit()) {
      std::fprintf(stderr, "epoc: cannot write the recording %s\n", aOptions.iRecordPath.c_str());
      code = 1;
    } else {
      std::printf("recording: %s (%d ticks)\n", aOptions.iRecordPath.c_str(), session.LastStep());
    }
  }
  std::fflush(stdout);
  return code;
}

}  // namespace Epoc
