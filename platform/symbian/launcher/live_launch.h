// The launcher's live-authoring options: --record, --replay, --hashes and --expect, as
// steps the launcher calls around its run of the application.
#ifndef EPOC_LIVE_LAUNCH_H
#define EPOC_LIVE_LAUNCH_H

#include "live_run.h"

#include <memory>
#include <string>

namespace Epoc {

class TLiveLaunch {
public:
  ~TLiveLaunch();
  // Takes an option at argv[aIndex] if it is one of these (moving aIndex past its value).
  // Returns 1 when taken, 0 when not one of these, -1 when its value is missing.
  TInt TakeOption(int argc, char** argv, int& aIndex);
  static const char* Usage();

  // Before anything runs: reads the recording and the expected hashes and checks that the
  // recording is of aName; opens the output files. Returns 0 to go on, or the exit code
  // (2: bad input, 1: an output cannot be written) after printing why.
  int Prepare(const std::string& aName);
  // Just before the application's environment is made (aModule: its device name).
  void BeforeStart(const std::string& aName, const std::string& aModule);
  // Once the application has started.
  void AfterStart();
  // The frame limit a replay brings (0: none).
  TInt FrameLimit() const;
  // After each presented frame. EFalse to stop the run (its frame differs from the
  // expected one).
  TBool Frame(TInt aFrame);
  // After the run: finishes the outputs and reports. Returns the exit code (0 if all is
  // well). aLimited: the run was ended by --frames or --seconds.
  int Finish(TBool aExited, TInt aFrames, TBool aLimited);
  TBool Replaying() const { return iReplayer != nullptr; }
  // --watch records on its own and takes only --record of these.
  TBool WatchCompatible() const { return iExpectPath.empty(); }
  // For --watch: reads the recording to go on from, if one is given. Returns 0, or the
  // exit code after printing why not; aSession is NULL without a recording.
  int PrepareWatch(const std::string& aName, const TSession*& aSession);
  const std::string& RecordPath() const { return iRecordPath; }
  const std::string& HashesPath() const { return iHashesPath; }

private:
  int ReadReplay(const std::string& aName);
  std::string iRecordPath, iReplayPath, iHashesPath, iExpectPath;
  std::string iName;
  TSession iRecorded;  // what --record writes
  TSession iReplayed;  // what --replay reads
  std::unique_ptr<CRecorder> iRecorder;
  std::unique_ptr<CReplayer> iReplayer;
  TOutputFile iRecordFile, iHashesFile;
  TFrameHashes iExpected;
  TInt iFrames = 0;
  TInt iDifferentFrame = 0;
  TUint64 iDifferentHash = 0;
  std::string iDifferentPng;
};

}  // namespace Epoc

#endif
