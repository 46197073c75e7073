// Recording a run of an application, replaying a recording on the virtual clock, and the
// frame hashes that show whether two runs drew the same.
#ifndef EPOC_LIVE_RUN_H
#define EPOC_LIVE_RUN_H

#include "session_file.h"

#include <zhost/live.h>

#include <cstdio>
#include <map>
#include <string>

namespace Epoc {

// An output file written beside its final name and put in place when complete, so that a
// failed run never leaves half a file under the name and nothing is written through a
// link: the temporary name is created exclusively, and renaming replaces a link itself.
class TOutputFile {
public:
  ~TOutputFile();
  // Creates the temporary file. EFalse (with errno) if it cannot be made.
  TBool Open(const std::string& aPath);
  std::FILE* File() { return iFile; }
  // Closes the file and gives it its name. EFalse if writing or renaming failed.
  TBool Commit();
  // Closes and removes the temporary file.
  void Discard();

private:
  std::string iPath;
  std::string iTemp;
  std::FILE* iFile = NULL;
};

// Records everything that reaches the application from outside: install it before the
// application is made, Finish it after the application has gone.
class CRecorder final : public ZHost::Live::MObserver {
public:
  CRecorder(const std::string& aApp, const std::string& aModule, TSession* aSession);
  // Writes the session to aFile as it goes (NULL: in memory only).
  void WriteTo(std::FILE* aFile);
  // Starts recording now: the start's home time and ticks, and Math::Random's seed.
  void Begin();
  void SetScreen(TSize aScreen);
  // Writes the end: the last tick, whether the application exited, frames presented.
  TBool Finish(TBool aExited, TInt aFrames);
  TSession& Session() { return *iSession; }

  // Goes on recording after a replay of the session so far brought the application back
  // to where it was: the numbering of timers and players goes on.
  void Continue();

  void TimerExpiry(TInt aTimer) override;
  TInt64 TimeRead(ZHost::Live::TTimeKind aKind, TInt64 aValue) override;
  void WsEvent(const TWsEvent& aEvent) override;
  void AudioCompleted(TInt aPlayer, TInt aError) override;

private:
  void AddEvent(TSessionEvent aEvent);
  void FlushStep();

  TSession* iSession;
  TSessionWriter* iWriter = NULL;
  TSessionWriter iWriterStore{NULL};
  TInt iWritten = -1;  // the last step written
};

// Plays a recording back: installs itself, drives the virtual clock and delivers each
// event at its place; the first place where the application no longer fits is kept.
class CReplayer final : public ZHost::Live::MObserver {
public:
  explicit CReplayer(const TSession& aSession);
  // Switches to the virtual clock and seeds what the recording seeded.
  void Begin();
  // aUpTo: stop at this step (-1: the recording's end).
  void SetLimit(TInt aUpTo) { iLimit = aUpTo; }
  // The frame counter that divergence messages name.
  void SetFrameCount(const TInt* aFrames) { iFrames = aFrames; }
  TBool Done() const { return iDone; }
  TInt Step() const { return iStep; }
  // Checks the run's end against the recording's; call after the scheduler has returned.
  void CheckEnd(TBool aExited);
  TBool Diverged() const { return !iDivergence.empty(); }
  const std::string& Divergence() const { return iDivergence; }
  TInt DivergedAtFrame() const { return iDivergedFrame; }

  void TimerExpiry(TInt aTimer) override;
  TInt64 TimeRead(ZHost::Live::TTimeKind aKind, TInt64 aValue) override;
  void WsEvent(const TWsEvent& aEvent) override;
  void AudioCompleted(TInt aPlayer, TInt aError) override;
  TBool Idle() override;
  TBool HoldTimers() override;

private:
  void Diverge(const std::string& aWhat);
  TInt LastStep() const { return iLimit >= 0 ? iLimit : iSession.LastStep(); }

  const TSession& iSession;
  TInt iLimit = -1;
  TInt iStep = 0;
  size_t iNextEvent = 0;
  size_t iNextRead = 0;
  TInt64 iLastRead = 0;  // home time given by the last read (microseconds after the start)
  TBool iDone = EFalse;
  const TInt* iFrames = NULL;
  std::string iDivergence;
  TInt iDivergedFrame = 0;
};

// One hash per presented frame: writes them (--hashes) and compares them with an earlier
// run's (--expect).
class TFrameHashes {
public:
  // The hash of the screen's pixels as they are now.
  static TUint64 ScreenHash();
  // Reads a hashes file: on failure aError names the file and line.
  TBool Load(const std::string& aPath, std::string& aError);
  // Called once per presented frame (aFrame from 1). EFalse at the first frame whose
  // hash differs from the loaded one.
  TBool Frame(TInt aFrame, TUint64 aHash);
  // Frames the loaded file has beyond aFrames (0 if none).
  TInt MissingAfter(TInt aFrames) const;
  TUint64 Expected(TInt aFrame) const;
  TBool Has(TInt aFrame) const { return iExpected.count(aFrame) > 0; }
  TBool Loaded() const { return iLoaded; }

private:
  std::map<TInt, TUint64> iExpected;
  TBool iLoaded = EFalse;
};

}  // namespace Epoc

#endif
