// A temporary folder for a fuzz target's files, removed when the process ends. It is made
// in /dev/shm when that is a writable folder: targets that must write files for each input
// (a registry hive, a list file) then cost no disk writes, which otherwise bound them to a
// few dozen inputs a second.
#ifndef FUZZ_TEMP_H
#define FUZZ_TEMP_H

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace FuzzTemp {

inline std::filesystem::path& Folder() {
  static std::filesystem::path folder;
  return folder;
}

// Makes the folder (once) and returns it; aborts when none can be made.
inline const std::filesystem::path& MakeFolder(const std::string& aName) {
  std::filesystem::path& folder = Folder();
  if (!folder.empty()) return folder;
  std::filesystem::path base = "/dev/shm";
  if (::access(base.c_str(), W_OK | X_OK) != 0) base = std::filesystem::temp_directory_path();
  std::string pattern = (base / ("zolv-" + aName + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  folder = pattern;
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(Folder(), error);
  });
  return folder;
}

}  // namespace FuzzTemp

#endif
