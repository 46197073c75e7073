// The host project tool behind "makmake.bat": reads a project definition (.mmp) and
// writes a CMake project that builds it against the Zolvane engine installed in a
// Symbian SDK tree on this host.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zolv::makmake {

// What a project definition declares. Paths are as written, with their source path
// already joined (SOURCE and RESOURCE entries are relative to the SOURCEPATH in force).
struct MmpProject {
  std::string target;        // e.g. "Game.app"
  std::string targetType;    // lower case, e.g. "app"
  std::vector<std::string> uids;
  std::string targetPath;
  std::vector<std::string> sources;
  std::vector<std::string> resources;
  std::vector<std::string> userIncludes;
  std::vector<std::string> systemIncludes;
  std::vector<std::string> libraries;
  std::vector<std::string> macros;
  std::vector<std::string> warnings;  // statements ignored on this host, and why
};

// Parses the text of a project definition. Comments (// and /* */) and preprocessor
// lines are skipped; keywords are matched without regard to letter case; START ... END
// blocks (platform-specific settings) are skipped. Any bytes are accepted: on a
// definition this host cannot build, returns false with the reason in aError.
bool ParseMmp(std::string_view aText, MmpProject& aProject, std::string& aError);

// Joins a path written in a project definition (backslashes, maybe a leading "\epoc32")
// to a host folder, matching existing components without regard to letter case.
std::filesystem::path ResolvePath(const std::filesystem::path& aBase, std::string_view aPath);

// The SDK root (the folder holding "Epoc32") that has the engine's header, or empty.
// Looked for in this order: the environment variable ZOLVANE_SDK (a host path or a
// Windows path), the folders above aProjectFolder, the SDK registered on this host
// (the wizard's locator), and the folders above aToolFolder (the SDK's Epoc32\Tools).
std::filesystem::path FindSdk(const std::filesystem::path& aProjectFolder,
                              const std::filesystem::path& aToolFolder, std::string* aHow = nullptr);

// True when aRoot holds Epoc32\Include\Zolvane.h.
bool IsSdkRoot(const std::filesystem::path& aRoot);

// Writes the text of CMakeLists.txt for aProject, whose definition lies in
// aProjectFolder, built against the SDK at aSdk. Returns false with the reason when a
// source, include folder or library cannot be found or a name cannot be used.
bool MakeCMakeLists(const MmpProject& aProject, const std::filesystem::path& aProjectFolder,
                    const std::filesystem::path& aSdk, std::string& aText, std::string& aError);

// The whole tool: makmake [-v] PROJECT PLATFORM, run in the project's folder.
// Returns the process exit code; messages go to aOut and aErr.
int Run(const std::vector<std::string>& aArgs, const std::filesystem::path& aToolFolder,
        std::string& aOut, std::string& aErr);

}  // namespace zolv::makmake
