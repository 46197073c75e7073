#include "CommandLine.h"

#include <iostream>

#ifndef ZOLV_VERSION
#error "ZOLV_VERSION is set by the build from the project's version"
#endif

namespace zolv::cli {

namespace {

const Option* Find(const Program& aProgram, std::string_view aName) {
  for (const Option& option : aProgram.options)
    if (option.name == aName) return &option;
  return nullptr;
}

}  // namespace

std::string_view Version() { return ZOLV_VERSION; }

std::optional<int> Check(const Program& aProgram, const std::vector<std::string>& aArgs, std::ostream& aOut,
                         std::ostream& aErr) {
  for (size_t i = 0; i < aArgs.size(); ++i) {
    const std::string& arg = aArgs[i];
    if (arg.size() < 2 || arg[0] != '-') continue;
    if (arg == "--" && aProgram.endOfOptions) break;
    const size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    const std::string_view name = std::string_view(arg).substr(0, equals);
    if ((name == "--help" || name == "--version") && equals != std::string::npos)
      return UsageError(aProgram, "option " + std::string(name) + " takes no value", aErr);
    if (name == "--help") {
      aOut << aProgram.usage;
      aOut.flush();
      return 0;
    }
    if (name == "--version") {
      aOut << aProgram.name << " (Zolvane SDK) " << Version() << "\n";
      aOut.flush();
      return 0;
    }
    const Option* option = Find(aProgram, name);
    if (!option) return UsageError(aProgram, "unknown option " + std::string(name), aErr);
    if (equals != std::string::npos) {
      if (!option->takesValue) return UsageError(aProgram, "option " + std::string(name) + " takes no value", aErr);
    } else if (option->takesValue) {
      if (i + 1 >= aArgs.size()) return UsageError(aProgram, "option " + std::string(name) + " needs a value", aErr);
      ++i;
    }
  }
  return std::nullopt;
}

std::optional<int> Check(const Program& aProgram, int aArgc, char** aArgv) {
  const std::vector<std::string> args(aArgv + (aArgc > 0 ? 1 : 0), aArgv + (aArgc > 0 ? aArgc : 0));
  return Check(aProgram, args, std::cout, std::cerr);
}

int UsageError(const Program& aProgram, std::string_view aMessage, std::ostream& aErr) {
  aErr << aProgram.name << ": " << aMessage << "\n" << aProgram.usage;
  aErr.flush();
  return kUsageError;
}

int UsageError(const Program& aProgram, std::string_view aMessage) { return UsageError(aProgram, aMessage, std::cerr); }

}  // namespace zolv::cli
