// The shared command-line answers: what counts as an option, which answer comes first,
// and what goes to which stream.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

const zolv::cli::Program kProgram{"tool", "usage: tool [--out FILE] [-q] NAME\n", {{"--out", true}, {"-q"}}};

struct Answer {
  std::optional<int> status;
  std::string out, err;
};

Answer Check(const std::vector<std::string>& aArgs, const zolv::cli::Program& aProgram = kProgram) {
  std::ostringstream out, err;
  Answer answer;
  answer.status = zolv::cli::Check(aProgram, aArgs, out, err);
  answer.out = out.str();
  answer.err = err.str();
  return answer;
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
  const Answer help = Check({"NAME", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, kProgram.usage);
  EXPECT_EQ(help.err, "");
  const Answer version = Check({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tool (Zolvane SDK) " + std::string(zolv::cli::Version()) + "\n");
  EXPECT_EQ(version.err, "");
  // Digits and dots: the build's project version, never an empty or placeholder text.
  const std::string v(zolv::cli::Version());
  EXPECT_FALSE(v.empty());
  EXPECT_EQ(v.find_first_not_of("0123456789."), std::string::npos) << v;
}

TEST(CommandLine, MistakesNameTheOptionThenGiveTheUsage) {
  const Answer unknown = Check({"-q", "--frob", "NAME"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_EQ(unknown.err, "tool: unknown option --frob\n" + std::string(kProgram.usage));
  const Answer missing = Check({"NAME", "--out"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "tool: option --out needs a value\n" + std::string(kProgram.usage));
  const Answer noValue = Check({"-q=1"});
  EXPECT_EQ(noValue.err.substr(0, noValue.err.find('\n')), "tool: unknown option -q=1");
  const Answer flagValue = Check({"--help=x"});
  EXPECT_EQ(flagValue.status, 2);
  EXPECT_EQ(Check({"--out=a", "--q=1"}).err.substr(0, 24), "tool: unknown option --q");
  // The first answer on the line is the one given.
  EXPECT_EQ(Check({"--frob", "--help"}).status, 2);
  EXPECT_EQ(Check({"--version", "--frob"}).status, 0);
}

TEST(CommandLine, ValuesAndPlainArgumentsAreLeftToTheProgram) {
  // An option's value is taken whatever it looks like.
  EXPECT_EQ(Check({"--out", "--help", "NAME"}).status, std::nullopt);
  EXPECT_EQ(Check({"--out=--version", "-q", "NAME"}).status, std::nullopt);
  EXPECT_EQ(Check({"--out=", "NAME"}).status, std::nullopt);
  EXPECT_EQ(Check({"-", "NAME", ""}).status, std::nullopt);
  EXPECT_EQ(Check({}).status, std::nullopt);
  const Answer boolValue = Check({"-q", "--out=x", "--help=1"});
  EXPECT_EQ(boolValue.status, 2);
  EXPECT_EQ(boolValue.err.substr(0, boolValue.err.find('\n')), "tool: option --help takes no value");
  // "--" ends the options only for a program that says so.
  zolv::cli::Program files = kProgram;
  files.endOfOptions = true;
  EXPECT_EQ(Check({"--", "--frob", "--help"}, files).status, std::nullopt);
  EXPECT_EQ(Check({"--out", "--", "--frob"}, files).status, 2);
  const Answer dashes = Check({"--", "NAME"});
  EXPECT_EQ(dashes.status, 2);
  EXPECT_EQ(dashes.err.substr(0, dashes.err.find('\n')), "tool: unknown option --");
}

TEST(CommandLine, OtherMistakes) {
  std::ostringstream err;
  EXPECT_EQ(zolv::cli::UsageError(kProgram, "missing NAME", err), 2);
  EXPECT_EQ(err.str(), "tool: missing NAME\n" + std::string(kProgram.usage));
}

}  // namespace
