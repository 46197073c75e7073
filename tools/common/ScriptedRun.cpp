#include "ScriptedRun.h"

#include <cstdio>

#include "zwindows/paths.h"

namespace zolv {

int RunScripted(const char* aProgram, const std::string& aAnswers, const std::string& aTranscript,
                const std::function<bool(zwin::UserInterface&)>& aBody) {
  zwin::ScriptedUserInterface ui;
  try {
    if (!aAnswers.empty()) ui.LoadAnswers(aAnswers);
    if (!aTranscript.empty()) ui.SetTranscript(aTranscript);
    const bool done = aBody(ui);
    if (ui.RemainingAnswers() > 0) {
      std::fprintf(stderr, "%s: %zu answer(s) left unused\n", aProgram, ui.RemainingAnswers());
    }
    return done ? 0 : 1;
  } catch (const zwin::ScriptError& e) {
    std::fprintf(stderr, "%s: %s\n", aProgram, e.what());
    return 2;
  }
}

std::string WindowsForm(const std::string& aPath) {
  return !aPath.empty() && aPath[0] == '/' ? zwin::ToWindowsPath(aPath) : aPath;
}

}  // namespace zolv
