// Recording and replaying a run, and frame hashes (see live_run.h).
#include "live_run.h"

#include <e32base.h>
#include <zhost/clock.h>
#include <zhost/screen.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace Epoc {

// ---- TOutputFile ----

TOutputFile::~TOutputFile() { Discard(); }

TBool TOutputFile::Open(const std::string& aPath) {
  Discard();
  iPath = aPath;
  std::string pattern = aPath + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return EFalse;
  iTemp = name.data();
  iFile = ::fdopen(fd, "w");
  if (!iFile) {
    ::close(fd);
    ::unlink(iTemp.c_str());
    iTemp.clear();
    return EFalse;
  }
  return ETrue;
}

TBool TOutputFile::Commit() {
  if (!iFile) return EFalse;
  const TBool written = std::fflush(iFile) == 0 && !std::ferror(iFile);
  const TBool closed = std::fclose(iFile) == 0;
  iFile = NULL;
  // The new file gets the permissions a file made by the user would get.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(iTemp.c_str(), 0666 & ~mask);
  if (!written || !closed || ::rename(iTemp.c_str(), iPath.c_str()) != 0) {
    ::unlink(iTemp.c_str());
    iTemp.clear();
    return EFalse;
  }
  iTemp.clear();
  return ETrue;
}

void TOutputFile::Discard() {
  if (iFile) std::fclose(iFile);
  iFile = NULL;
  if (!iTemp.empty()) ::unlink(iTemp.c_str());
  iTemp.clear();
}

// ---- CRecorder ----

CRecorder::CRecorder(const std::string& aApp, const std::string& aModule, TSession* aSession) : iSession(aSession) {
  iSession->iApp = aApp;
  iSession->iModule = aModule;
}

void CRecorder::WriteTo(std::FILE* aFile) {
  iWriterStore = TSessionWriter(aFile);
  iWriter = aFile ? &iWriterStore : NULL;
}

void CRecorder::Begin() {
  TSession& s = *iSession;
  const TInt64 universal = ZHost::Clock::UniversalTime();
  s.iHomeStart = ZHost::Clock::HomeTime();
  // The zone's offset is whole seconds; the two reads are microseconds apart.
  const TInt64 second = 1000000;
  const TInt64 offset = s.iHomeStart - universal;
  s.iUtcOffset = (offset >= 0 ? offset + second / 2 : offset - second / 2) / second * second;
  s.iTicksStart = ZHost::Clock::Ticks();
  s.iSeed = static_cast<TUint32>(std::random_device{}());
  ZHost::Live::SeedRandom(s.iSeed);
  ZHost::Live::SetObserver(this);
}

void CRecorder::SetScreen(TSize aScreen) { iSession->iScreen = aScreen; }

void CRecorder::Continue() { ZHost::Live::SetObserver(this, ETrue); }

void CRecorder::FlushStep() {
  if (!iWriter) return;
  if (iWritten < 0) {
    iWriter->Header(*iSession);
    iWritten = 0;
  }
  for (TInt k = iWritten + 1; k <= iSession->LastStep(); ++k) iWriter->Step(iSession->iSteps[k], k);
  iWritten = iSession->LastStep();
}

void CRecorder::TimerExpiry(TInt aTimer) {
  FlushStep();
  TSessionStep step;
  step.iTimer = aTimer;
  step.iHome = ZHost::Clock::HomeTime() - iSession->iHomeStart;
  iSession->iSteps.push_back(std::move(step));
}

TInt64 CRecorder::TimeRead(ZHost::Live::TTimeKind aKind, TInt64 aValue) {
  const TSession& s = *iSession;
  TInt64 home = aValue;
  if (aKind == ZHost::Live::EUniversalTime) home = aValue + s.iUtcOffset;
  if (aKind == ZHost::Live::ETickCount || aKind == ZHost::Live::ENTickCount) home = s.iHomeStart + (aValue - s.iTicksStart);
  TSessionStep& step = iSession->iSteps.back();
  step.iReads.push_back(home - s.iHomeStart - step.iHome);
  return aValue;
}

void CRecorder::AddEvent(TSessionEvent aEvent) {
  TSessionStep& step = iSession->iSteps.back();
  aEvent.iOrder = step.iEvents.empty() ? 1 : step.iEvents.back().iOrder + 1;
  step.iEvents.push_back(aEvent);
}

void CRecorder::WsEvent(const TWsEvent& aEvent) { AddEvent(TSessionEvent::FromWs(aEvent)); }

void CRecorder::AudioCompleted(TInt aPlayer, TInt aError) {
  TSessionEvent e;
  e.iKind = TSessionEvent::EAudio;
  e.iPlayer = aPlayer;
  e.iError = aError;
  AddEvent(e);
}

TBool CRecorder::Finish(TBool aExited, TInt aFrames) {
  if (ZHost::Live::Observer() == this) ZHost::Live::SetObserver(NULL);
  iSession->iEnded = ETrue;
  iSession->iExited = aExited;
  iSession->iFrames = aFrames;
  if (!iWriter) return ETrue;
  FlushStep();
  iWriter->End(*iSession);
  return iWriter->Ok();
}

// ---- CReplayer ----

CReplayer::CReplayer(const TSession& aSession) : iSession(aSession) {}

void CReplayer::Begin() {
  ZHost::Clock::UseVirtual();
  ZHost::Clock::AdvanceTo(iSession.iHomeStart);
  ZHost::Live::SetAudioDriven(ETrue);
  ZHost::Live::SeedRandom(iSession.iSeed);
  ZHost::Live::SetObserver(this);
}

void CReplayer::Diverge(const std::string& aWhat) {
  if (!iDivergence.empty()) return;
  iDivergedFrame = (iFrames ? *iFrames : 0) + 1;
  iDivergence = aWhat;
}

void CReplayer::TimerExpiry(TInt aTimer) {
  if (iStep >= iSession.LastStep()) {
    Diverge("a timer expired after the recording's last tick " + std::to_string(iSession.LastStep()));
    return;
  }
  ++iStep;
  const TSessionStep& step = iSession.iSteps[iStep];
  if (aTimer != step.iTimer)
    Diverge("at tick " + std::to_string(iStep) + " timer " + std::to_string(aTimer) + " expired, timer " +
            std::to_string(step.iTimer) + " in the recording");
  iNextEvent = 0;
  iNextRead = 0;
  iLastRead = step.iHome;
  ZHost::Clock::AdvanceTo(iSession.iHomeStart + step.iHome);
}

TInt64 CReplayer::TimeRead(ZHost::Live::TTimeKind aKind, TInt64 aValue) {
  (void)aValue;
  const TSessionStep& step = iSession.iSteps[static_cast<size_t>(std::min(iStep, iSession.LastStep()))];
  // Reads beyond those recorded get the last time given again.
  if (iNextRead < step.iReads.size()) iLastRead = step.iHome + step.iReads[iNextRead++];
  const TInt64 home = iSession.iHomeStart + iLastRead;
  switch (aKind) {
    case ZHost::Live::EUniversalTime:
      return home - iSession.iUtcOffset;
    case ZHost::Live::ETickCount:
    case ZHost::Live::ENTickCount:
      return iSession.iTicksStart + iLastRead;
    default:
      return home;
  }
}

void CReplayer::WsEvent(const TWsEvent&) {}
void CReplayer::AudioCompleted(TInt, TInt) {}

TBool CReplayer::HoldTimers() {
  if (iDone || iStep > iSession.LastStep()) return EFalse;
  return iNextEvent < iSession.iSteps[iStep].iEvents.size() || iStep >= LastStep();
}

TBool CReplayer::Idle() {
  if (iDone) return EFalse;
  const TSessionStep& step = iSession.iSteps[static_cast<size_t>(std::min(iStep, iSession.LastStep()))];
  if (iStep <= iSession.LastStep() && iNextEvent < step.iEvents.size()) {
    const TSessionEvent& e = step.iEvents[iNextEvent++];
    const std::string place = std::to_string(iStep) + "." + std::to_string(e.iOrder);
    if (e.iKind == TSessionEvent::EAudio) {
      if (ZHost::Live::CompleteAudio(e.iPlayer, e.iError) != KErrNone)
        Diverge("the audio event at " + place + " is for player " + std::to_string(e.iPlayer) +
                ", which is not playing");
    } else if (!ZHost::Live::DeliverWsEvent(e.WsEvent())) {
      Diverge("the event at " + place + " has no window group to go to");
    }
    return ETrue;
  }
  if (iStep >= LastStep()) {
    iDone = ETrue;
    CActiveScheduler::Stop();
    return ETrue;
  }
  return EFalse;
}

void CReplayer::CheckEnd(TBool aExited) {
  if (aExited && !iDone) {
    const size_t left = iSession.iSteps[static_cast<size_t>(std::min(iStep, iSession.LastStep()))].iEvents.size();
    if (iStep < LastStep() || iNextEvent < left)
      Diverge("the application exited at tick " + std::to_string(iStep) + "; the recording goes on to tick " +
              std::to_string(LastStep()));
  }
  if (!aExited && iDone && iLimit < 0 && iSession.iExited)
    Diverge("the recording ends with the application's exit at tick " + std::to_string(iSession.LastStep()) +
            "; in the replay it did not exit");
}

// ---- TFrameHashes ----

TUint64 TFrameHashes::ScreenHash() {
  // FNV-1a over the pixel words, row by row, low byte first.
  TUint64 hash = 14695981039346656037ULL;
  const TSize size = ZHost::Screen::Size();
  const TUint16* pixels = ZHost::Screen::Pixels();
  const TInt stride = ZHost::Screen::Stride();
  if (!pixels) return hash;
  for (TInt y = 0; y < size.iHeight; ++y)
    for (TInt x = 0; x < size.iWidth; ++x) {
      const TUint16 p = pixels[static_cast<size_t>(y) * stride + x];
      hash = (hash ^ (p & 0xFF)) * 1099511628211ULL;
      hash = (hash ^ (p >> 8)) * 1099511628211ULL;
    }
  return hash;
}

TBool TFrameHashes::Load(const std::string& aPath, std::string& aError) {
  std::ifstream in(aPath, std::ios::binary);
  if (!in) {
    aError = aPath + ": cannot be read";
    return EFalse;
  }
  // Lines are read whole: the file's size bounds what reading it can take.
  const std::uintmax_t KMaxHashesBytes = 512u << 20;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(aPath, ec);
  if (ec || size > KMaxHashesBytes) {
    aError = aPath + (ec ? ": cannot be read" : ": too big for a hashes file");
    return EFalse;
  }
  std::string line;
  TInt number = 0;
  TInt last = 0;
  const size_t KMaxFrames = 10000000;
  while (std::getline(in, line)) {
    ++number;
    const std::string where = aPath + ":" + std::to_string(number) + ": ";
    if (line.size() > 4096) {
      aError = where + "the line is too long";
      return EFalse;
    }
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string frameText, hashText, extra;
    if (!(words >> frameText)) continue;
    char* end = NULL;
    errno = 0;
    const long frame = std::strtol(frameText.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || frame <= last || frame > 100000000 || !(words >> hashText) ||
        (words >> extra) || hashText.size() != 16 ||
        hashText.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      aError = where + "expected a frame number (rising) and a 16-digit hexadecimal hash";
      return EFalse;
    }
    if (iExpected.size() >= KMaxFrames) {
      aError = where + "too many frames";
      return EFalse;
    }
    iExpected[static_cast<TInt>(frame)] = std::strtoull(hashText.c_str(), NULL, 16);
    last = static_cast<TInt>(frame);
  }
  if (in.bad()) {
    aError = aPath + ": cannot be read";
    return EFalse;
  }
  iLoaded = ETrue;
  return ETrue;
}

TBool TFrameHashes::Frame(TInt aFrame, TUint64 aHash) {
  auto it = iExpected.find(aFrame);
  return it == iExpected.end() || it->second == aHash;
}

TUint64 TFrameHashes::Expected(TInt aFrame) const {
  auto it = iExpected.find(aFrame);
  return it == iExpected.end() ? 0 : it->second;
}

TInt TFrameHashes::MissingAfter(TInt aFrames) const {
  auto it = iExpected.upper_bound(aFrames);
  return it == iExpected.end() ? 0 : it->first;
}

}  // namespace Epoc
