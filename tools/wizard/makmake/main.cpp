// makmake.bat: the SDK's project tool on this host. Called as "makmake NAME vc6" in a
// project's folder, it turns NAME.mmp into a CMakeLists.txt that builds the project
// against the Zolvane engine installed in the Symbian SDK.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Makmake.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::string out, err;
  const int code = zolv::makmake::Run(args, ec ? std::filesystem::path() : self.parent_path(), out, err);
  std::fputs(out.c_str(), stdout);
  std::fputs(err.c_str(), stderr);
  return code;
}
