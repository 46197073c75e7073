// The command line every program of the SDK answers in the same way:
//   --help      the usage on standard output; exit status 0
//   --version   the program's name and the SDK's version on standard output; exit status 0
//   an unknown option, or an option without its value: one line naming it, then the
//   usage, on standard error; exit status 2
// A program lists its options in a Program and calls Check first thing in main, before
// it reads its command line itself (and, for a dialog program, before it needs a display).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zolv::cli {

// The exit status of every command-line mistake.
constexpr int kUsageError = 2;

struct Option {
  std::string_view name;  // "--frames", "-d"
  bool takesValue = false;
};

struct Program {
  std::string_view name;
  std::string_view usage;  // whole lines, the first "usage: ..."
  std::vector<Option> options;
  // "--" ends the options: everything after it is taken as it is.
  bool endOfOptions = false;
};

// The SDK's version ("0.1.0"), the one the build was configured with.
std::string_view Version();

// Answers --help, --version, an unknown option and an option missing its value, in the
// order they come, and returns the exit status; returns nothing when the program should
// read the command line itself. An argument is an option when it starts with '-' and is
// longer than that; an option's value is the next argument, whatever it looks like, or
// follows '=' in "--name=value".
std::optional<int> Check(const Program& aProgram, const std::vector<std::string>& aArgs, std::ostream& aOut,
                         std::ostream& aErr);
// The same for main's arguments, on standard output and standard error.
std::optional<int> Check(const Program& aProgram, int aArgc, char** aArgv);

// A command line the program finds wrong in another way (a missing name, a bad number):
// "name: message", then the usage, on aErr. Returns kUsageError.
int UsageError(const Program& aProgram, std::string_view aMessage, std::ostream& aErr);
int UsageError(const Program& aProgram, std::string_view aMessage);

}  // namespace zolv::cli
