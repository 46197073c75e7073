// Small host-side helpers shared by the tests that work with real files and programs:
// reading and writing whole files, a temporary folder, and running a shell command for its
// exit status.
#ifndef ZOLV_TESTS_HOSTFILES_H
#define ZOLV_TESTS_HOSTFILES_H

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace ZTestHost {

// The whole file, or "" when it cannot be read.
inline std::string ReadHostFile(const std::filesystem::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes aBytes as the whole file, making its folders first.
inline void WriteHostFile(const std::filesystem::path& aPath, const std::string& aBytes) {
  std::filesystem::create_directories(aPath.parent_path());
  std::ofstream out(aPath, std::ios::binary | std::ios::trunc);
  out << aBytes;
}

// Prefix for a shell command line: every program it starts runs in the C locale, so that
// what a test reads from another program is never translated or formatted for the user's
// language (the test itself runs in whatever locale it was started in).
inline constexpr const char* kCLocale = "LC_ALL=C; export LC_ALL; ";

// Runs aCommand with /bin/sh in the C locale; its exit status, or -1 when it did not exit
// normally.
inline int Shell(const std::string& aCommand) {
  const int status = std::system((kCLocale + aCommand).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A new folder under $TMPDIR (else /tmp), removed with everything in it at the end; Path()
// is empty when it could not be made.
class TempFolder {
public:
  explicit TempFolder(const std::string& aPrefix = "zolv-test") {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + aPrefix + "-XXXXXX";
    if (::mkdtemp(pattern.data())) iPath = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!iPath.empty()) std::filesystem::remove_all(iPath, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return iPath; }

private:
  std::filesystem::path iPath;
};

}  // namespace ZTestHost

#endif
