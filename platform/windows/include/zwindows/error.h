// The calling thread's last error and the system's message texts for error codes.
#pragma once

#include <string>

#include "zwindows/types.h"

namespace zwin {

DWORD GetLastError();
void SetLastError(DWORD aCode);

// The system's English message text for an error code, ending in "\r\n" as the
// system gives it. Unknown codes give the empty text and set the last error to
// ERROR_MR_MID_NOT_FOUND, the way the system's message lookup fails.
std::string SystemMessage(DWORD aCode);

// Maps a host errno value onto the closest Windows error code.
DWORD ErrorFromErrno(int aErrno);

}  // namespace zwin
