// What both tools do when they run without a display: answer their message boxes from a
// file, record every box to a transcript, and turn the outcome into an exit status.
#pragma once

#include <functional>
#include <string>

#include "zwindows/ui.h"

namespace zolv {

// Runs aBody with a scripted user interface that takes its answers from the file
// aAnswers (one per line; none when empty) and writes every box to the file aTranscript
// (none when empty). Returns 0 when aBody returns true, 1 when it returns false, and 2
// when the script fails (a box with no answer left, an answer that does not fit the
// box, a file that cannot be read or written), with the reason on standard error
// after aProgram's name. Answers left unused are reported there too.
int RunScripted(const char* aProgram, const std::string& aAnswers, const std::string& aTranscript,
                const std::function<bool(zwin::UserInterface&)>& aBody);

// A folder given on the command line, in Windows form: host paths (starting with "/")
// are converted, Windows paths are taken as they are.
std::string WindowsForm(const std::string& aPath);

}  // namespace zolv
