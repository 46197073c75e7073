// The launcher's live-authoring options (see live_launch.h).
#include "live_launch.h"

#include <zhost/clock.h>
#include <zhost/screen.h>

#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Epoc {

TLiveLaunch::~TLiveLaunch() {
  if (ZHost::Live::Observer() == iRecorder.get() || ZHost::Live::Observer() == iReplayer.get())
    ZHost::Live::SetObserver(NULL);
}

const char* TLiveLaunch::Usage() { return "[--record FILE | --replay FILE] [--hashes FILE] [--expect FILE]"; }

TInt TLiveLaunch::TakeOption(int argc, char** argv, int& aIndex) {
  const std::string arg = argv[aIndex];
  std::string* target = NULL;
  if (arg == "--record") target = &iRecordPath;
  if (arg == "--replay") target = &iReplayPath;
  if (arg == "--hashes") target = &iHashesPath;
  if (arg == "--expect") target = &iExpectPath;
  if (!target) return 0;
  if (aIndex + 1 >= argc || argv[aIndex + 1][0] == '\0') return -1;
  *target = argv[++aIndex];
  return 1;
}

// Reads the session to replay, when there is one, and checks it was made with aName;
// returns 0 or the exit code of a session that cannot be used.
int TLiveLaunch::ReadReplay(const std::string& aName) {
  if (iReplayPath.empty()) return 0;
  std::string error;
  if (!ReadSession(iReplayPath, iReplayed, error)) {
    std::fprintf(stderr, "epoc: %s\n", error.c_str());
    return 2;
  }
  if (iReplayed.iApp != aName) {
    std::fprintf(stderr, "epoc: %s:%d: recorded with the application %s, not %s\n", iReplayPath.c_str(),
                 iReplayed.iAppLine, iReplayed.iApp.c_str(), aName.c_str());
    return 2;
  }
  return 0;
}

int TLiveLaunch::Prepare(const std::string& aName) {
  iName = aName;
  if (!iRecordPath.empty() && !iReplayPath.empty()) {
    std::fprintf(stderr, "epoc: --record and --replay cannot be used together\n");
    return 2;
  }
  if (const int code = ReadReplay(aName)) return code;
  std::string error;
  if (!iExpectPath.empty() && !iExpected.Load(iExpectPath, error)) {
    std::fprintf(stderr, "epoc: %s\n", error.c_str());
    return 2;
  }
  if (!iRecordPath.empty() && !iRecordFile.Open(iRecordPath)) {
    std::fprintf(stderr, "epoc: cannot write the recording %s (%s)\n", iRecordPath.c_str(), std::strerror(errno));
    return 1;
  }
  if (!iHashesPath.empty() && !iHashesFile.Open(iHashesPath)) {
    std::fprintf(stderr, "epoc: cannot write the hashes %s (%s)\n", iHashesPath.c_str(), std::strerror(errno));
    return 1;
  }
  return 0;
}

int TLiveLaunch::PrepareWatch(const std::string& aName, const TSession*& aSession) {
  aSession = NULL;
  if (iReplayPath.empty()) return 0;
  if (const int code = ReadReplay(aName)) return code;
  aSession = &iReplayed;
  return 0;
}

void TLiveLaunch::BeforeStart(const std::string& aName, const std::string& aModule) {
  if (!iReplayPath.empty()) {
    // The replay gets the screen the recording had.
    const std::string size = std::to_string(iReplayed.iScreen.iWidth) + "x" + std::to_string(iReplayed.iScreen.iHeight);
    ::setenv("ZOLV_SCREEN_SIZE", size.c_str(), 1);
    iReplayer = std::make_unique<CReplayer>(iReplayed);
    iReplayer->SetFrameCount(&iFrames);
    iReplayer->Begin();
  }
  if (!iRecordPath.empty()) {
    iRecorder = std::make_unique<CRecorder>(aName, aModule, &iRecorded);
    iRecorder->WriteTo(iRecordFile.File());
    iRecorder->Begin();
  }
  if (iHashesFile.File())
    std::fprintf(iHashesFile.File(), "# frame hashes of %s (epoc --hashes): frame number, FNV-1a of the screen's pixels\n",
                 aName.c_str());
}

void TLiveLaunch::AfterStart() {
  if (iRecorder) iRecorder->SetScreen(ZHost::Screen::Size());
}

TInt TLiveLaunch::FrameLimit() const {
  return (iReplayer && iReplayed.iEnded && !iReplayed.iExited) ? iReplayed.iFrames : 0;
}

TBool TLiveLaunch::Frame(TInt aFrame) {
  iFrames = aFrame;
  if (!iHashesFile.File() && !iExpected.Loaded()) return ETrue;
  const TUint64 hash = TFrameHashes::ScreenHash();
  if (iHashesFile.File()) std::fprintf(iHashesFile.File(), "%d %016" PRIx64 "\n", aFrame, hash);
  if (iExpected.Loaded() && !iExpected.Frame(aFrame, hash)) {
    iDifferentFrame = aFrame;
    iDifferentHash = hash;
    // The differing frame as a picture in the working folder, written under a name of
    // its own first.
    const std::string png = iName + "-frame-" + std::to_string(aFrame) + ".png";
    char temp[] = "epoc-frame-XXXXXX";
    const int fd = ::mkstemp(temp);
    if (fd >= 0) {
      ::close(fd);
      if (ZHost::Screen::SavePng(temp) == KErrNone && ::rename(temp, png.c_str()) == 0)
        iDifferentPng = png;
      else
        ::unlink(temp);
    }
    return EFalse;
  }
  return ETrue;
}

int TLiveLaunch::Finish(TBool aExited, TInt aFrames, TBool aLimited) {
  int code = 0;
  if (iRecorder) {
    const TBool written = iRecorder->Finish(aExited, aFrames);
    if (!written || !iRecordFile.Commit()) {
      std::fprintf(stderr, "epoc: cannot write the recording %s\n", iRecordPath.c_str());
      code = 1;
    } else {
      std::printf("recording: %s (%d ticks)\n", iRecordPath.c_str(), iRecorded.LastStep());
    }
  }
  if (iHashesFile.File()) {
    if (!iHashesFile.Commit()) {
      std::fprintf(stderr, "epoc: cannot write the hashes %s\n", iHashesPath.c_str());
      code = 1;
    } else {
      std::printf("hashes: %s\n", iHashesPath.c_str());
    }
  }
  if (iReplayer) {
    iReplayer->CheckEnd(aExited);
    ZHost::Live::SetObserver(NULL);
    ZHost::Live::SetAudioDriven(EFalse);
    if (iReplayer->Diverged()) {
      std::printf("epoc: the replay of %s no longer fits %s from frame %d: %s\n", iReplayPath.c_str(), iName.c_str(),
                  iReplayer->DivergedAtFrame(), iReplayer->Divergence().c_str());
      if (code == 0) code = 3;
    }
  }
  if (iDifferentFrame > 0) {
    std::printf("epoc: frame %d differs from %s (expected %016" PRIx64 ", got %016" PRIx64 ")\n", iDifferentFrame,
                iExpectPath.c_str(), iExpected.Expected(iDifferentFrame), iDifferentHash);
    if (!iDifferentPng.empty()) std::printf("frame %d: %s\n", iDifferentFrame, iDifferentPng.c_str());
    code = 1;
  } else if (iExpected.Loaded() && !aLimited) {
    if (const TInt missing = iExpected.MissingAfter(aFrames)) {
      std::printf("epoc: frame %d of %s never came (the run presented %d frames)\n", missing, iExpectPath.c_str(),
                  aFrames);
      code = 1;
    }
  }
  std::fflush(stdout);
  return code;
}

}  // namespace Epoc
