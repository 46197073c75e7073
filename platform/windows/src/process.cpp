#include "zwindows/process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "zwindows/codepage.h"
#include "zwindows/error.h"
#include "zwindows/paths.h"

extern char** environ;

namespace fs = std::filesystem;

namespace zwin {

namespace {
bool IsExecutableFile(const fs::path& aPath) {
  struct stat st;
  return ::stat(aPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(aPath.c_str(), X_OK) == 0;
}

// Looks for aName (ANSI) in a host folder without regard to letter case.
fs::path FindInFolder(const fs::path& aFolder, const std::string& aName) {
  std::error_code ec;
  const fs::path exact = aFolder / AnsiToUtf8(aName);
  if (IsExecutableFile(exact)) return exact;
  fs::directory_iterator it(aFolder, ec);
  if (ec) return {};
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (EqualsNoCaseAnsi(Utf8ToAnsi(it->path().filename().string()), aName) &&
        IsExecutableFile(it->path())) {
      return it->path();
    }
  }
  return {};
}
}  // namespace

std::vector<std::string> CommandLineToArgv(std::string_view aLine) {
  std::vector<std::string> args;
  std::size_t pos = 0;
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (pos < aLine.size() && blank(aLine[pos])) ++pos;
  if (pos >= aLine.size()) return args;
  // The program name: no escapes, quotes only group.
  std::string program;
  bool quoted = false;
  while (pos < aLine.size() && (quoted || !blank(aLine[pos]))) {
    if (aLine[pos] == '"') quoted = !quoted;
    else program += aLine[pos];
    ++pos;
  }
  args.push_back(program);
  for (;;) {
    while (pos < aLine.size() && blank(aLine[pos])) ++pos;
    if (pos >= aLine.size()) break;
    std::string arg;
    quoted = false;
    while (pos < aLine.size() && (quoted || !blank(aLine[pos]))) {
      std::size_t slashes = 0;
      while (pos < aLine.size() && aLine[pos] == '\\') {
        ++slashes;
        ++pos;
      }
      if (pos < aLine.size() && aLine[pos] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2) {
          arg += '"';
        } else if (quoted && pos + 1 < aLine.size() && aLine[pos + 1] == '"') {
          arg += '"';  // a doubled quote inside quotes is a literal quote
          ++pos;
        } else {
          quoted = !quoted;
        }
        ++pos;
      } else {
        arg.append(slashes, '\\');
        if (pos < aLine.size() && (quoted || !blank(aLine[pos]))) arg += aLine[pos++];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string FindProgram(std::string_view aName) {
  std::string name(aName);
  if (name.empty()) return {};
  if (name.find_first_of("\\/:") != std::string::npos) {
    HostPath hp;
    if (ToHostPath(name, hp) == ERROR_SUCCESS && IsExecutableFile(hp.path)) return hp.path.string();
    if (name.find('.') == std::string::npos &&
        ToHostPath(name + ".exe", hp) == ERROR_SUCCESS && IsExecutableFile(hp.path)) {
      return hp.path.string();
    }
    return {};
  }
  std::vector<std::string> candidates;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) candidates.push_back(name + ".exe");
  candidates.push_back(name);

  std::vector<fs::path> folders;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) folders.push_back(self.parent_path());
  folders.push_back(fs::current_path(ec));
  HostPath hp;
  if (ToHostPath(GetWindowsDirectory() + "\\system32", hp) == ERROR_SUCCESS) folders.push_back(hp.path);
  if (ToHostPath(GetWindowsDirectory(), hp) == ERROR_SUCCESS) folders.push_back(hp.path);
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest(path);
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      const std::string_view entry = rest.substr(0, colon);
      if (!entry.empty()) folders.emplace_back(std::string(entry));
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  for (const auto& folder : folders) {
    for (const auto& candidate : candidates) {
      const fs::path found = FindInFolder(folder, candidate);
      if (!found.empty()) return found.string();
    }
  }
  return {};
}

BOOL CreateProcess(std::string_view aCommandLine, std::string_view aWorkingDirectory,
                   ProcessInformation* aInformation) {
  if (aInformation) *aInformation = ProcessInformation{};
  const std::vector<std::string> args = CommandLineToArgv(aCommandLine);
  if (args.empty() || args[0].empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HostPath workingDirectory;
  if (!aWorkingDirectory.empty()) {
    if (ToHostPath(aWorkingDirectory, workingDirectory) != ERROR_SUCCESS ||
        !fs::is_directory(workingDirectory.path)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
  }
  const std::string program = FindProgram(args[0]);
  if (program.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  std::vector<std::string> hostArgs;
  hostArgs.push_back(program);
  for (std::size_t i = 1; i < args.size(); ++i) hostArgs.push_back(AnsiToUtf8(args[i]));
  std::vector<char*> argv;
  for (auto& a : hostArgs) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!aWorkingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.path.c_str());
  }
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    SetLastError(rc == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(rc));
    return FALSE;
  }
  if (aInformation) aInformation->processId = pid;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

int WaitForProcess(const ProcessInformation& aInformation) {
  if (aInformation.processId <= 0) return -1;
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(aInformation.processId, &status, 0);
  } while (r < 0 && errno == EINTR);
  if (r < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zwin
