// Starting programs with a command line and a working directory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "zwindows/types.h"

namespace zwin {

struct ProcessInformation {
  int processId = 0;
};

// Splits a command line the way the system's C runtime does: the program name is
// taken up to white space or between quotes; in the arguments, quotes group, and
// backslashes escape a quote only when they precede one.
std::vector<std::string> CommandLineToArgv(std::string_view aCommandLine);

// Finds a program the way the system's process start does when the name has no
// folder: the running program's folder, the current directory, the Windows system
// folder, the Windows folder, then each folder of PATH. A name without an extension
// is tried with ".exe" first. Names are matched without regard to letter case.
// Returns the host path, or empty.
std::string FindProgram(std::string_view aName);

// Starts the program named by the command line in aWorkingDirectory (a Windows path;
// empty for the current directory) without waiting for it. Fails with
// ERROR_FILE_NOT_FOUND when there is no such program and ERROR_DIRECTORY when the
// working directory does not exist (see GetLastError).
BOOL CreateProcess(std::string_view aCommandLine, std::string_view aWorkingDirectory,
                   ProcessInformation* aInformation);

// Waits for a process started by CreateProcess; returns its exit code, or -1.
int WaitForProcess(const ProcessInformation& aInformation);

}  // namespace zwin
