// The movie checker: runs the engine's own loaders over movie lists, movie files and text
// and shape resource files with a diagnostics observer set, and collects what the
// loaders would otherwise pass over in silence.
#ifndef ZOLVLINT_LINT_H
#define ZOLVLINT_LINT_H

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zolvlint {

struct Finding {
  std::string file;  // as the user would name it (the path given, or below the application folder)
  int line = 0;      // 1-based; 0 when the finding has no place in the file
  int column = 0;    // 1-based, in characters of the line
  bool error = true;
  std::string message;
};

// What kind of file the engine would take a file for.
enum class Kind { Movie, MovieList, Text, Shape };

// By extension (".movie", ".txt", ".shp", any letter case); otherwise by content: a
// "BeginMovie" word makes a movie, "#BShp" a shape file, "#BTxt" a text file, anything
// else is a movie list.
Kind KindOf(const std::string& aPath, const std::string& aBytes);

// "file:line:column: error: message" (or "file: error: message" without a position).
std::string Format(const Finding& aFinding);

class Checker {
public:
  // aAppDir: the application folder (the one holding Movies, Pictures, Sounds, Texts,
  // Shapes); empty: found from each file's place.
  explicit Checker(std::string aAppDir = std::string());
  ~Checker();
  Checker(const Checker&) = delete;
  Checker& operator=(const Checker&) = delete;

  // Makes the engine's environment. False (with a reason) if that fails.
  bool Start(std::string& aError);
  // Checks one file; its findings are appended.
  void Check(const std::string& aPath);

  const std::vector<Finding>& Findings() const { return iFindings; }
  int Errors() const;
  int Warnings() const;

  class Impl;

private:
  std::unique_ptr<Impl> iImpl;
  std::vector<Finding> iFindings;
};

// The whole program: arguments without the program name; findings and the summary go to
// aOut, usage and set-up errors to aErr. Returns the exit status: 0 clean or warnings
// only, 1 errors, 2 usage errors.
int Main(const std::vector<std::string>& aArgs, std::ostream& aOut, std::ostream& aErr);

}  // namespace zolvlint

#endif
