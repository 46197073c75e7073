// epoc --watch: runs an application live, recording it, and on every settled change of
// its module or its files starts it again and brings it back to the frame it was on.
#ifndef EPOC_WATCH_H
#define EPOC_WATCH_H

#include "session_file.h"

#include <e32std.h>

#include <string>
#include <vector>

namespace Epoc {

struct TWatchOptions {
  std::string iName;
  std::string iModulePath;  // the module on the host
  TChar iDrive = 'Z';       // the drive its folder is seen on
  TBool iHeadless = EFalse;
  TInt iFrames = 0;          // stop after this frame (0: no limit)
  std::string iRecordPath;   // where the whole session goes at the end (empty: nowhere)
  std::string iHashesPath;   // frame hashes of what is shown (empty: none)
  std::string iLint;         // the zolvlint program (empty: look beside epoc)
  // A project's own folders whose files (the movie list and the resource folders' files)
  // are copied to the application's folder when they change, so that an edit there needs
  // no build step.
  std::vector<std::string> iSources;
  // A recorded session to go on from (NULL: start afresh): the application is brought to
  // its last tick first, then goes on live.
  const struct TSession* iSession = NULL;
};

// The folders of an application folder that are watched besides the folder itself.
extern const char* const KWatchedFolders[6];

// Runs the watch until the application exits or the frame limit; returns the exit code.
int Watch(const TWatchOptions& aOptions);

}  // namespace Epoc

#endif
