// Arbitrary bytes as a session recording. What the reader accepts, written back, must read
// again into the same text; what it refuses it must explain with the file and a line.
#include "session_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  const std::string text(reinterpret_cast<const char*>(aData), aSize);
  Epoc::TSession session;
  std::string error;
  if (!Epoc::ParseSession(text, "in", session, error)) {
    if (error.compare(0, 3, "in:") != 0) std::abort();
    return 0;
  }
  const std::string written = Epoc::SessionText(session);
  Epoc::TSession again;
  if (!Epoc::ParseSession(written, "out", again, error)) std::abort();
  if (Epoc::SessionText(again) != written) std::abort();
  return 0;
}
