#include "Makmake.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>
#include <system_error>

#include "CommandLine.h"
#include "SdkLocator.h"
#include "zwindows/codepage.h"
#include "zwindows/files.h"
#include "zwindows/paths.h"

namespace fs = std::filesystem;

namespace zolv::makmake {

namespace {

constexpr std::uintmax_t kMaxMmpSize = 4u << 20;

// Keywords, extensions and the names makmake compares are ASCII, compared as Windows tools
// do: only A-Z and a-z change case. The C library's own case mapping would follow whatever
// locale the process has set (in Turkish "i" and "I" are not each other's case).
bool IsAsciiDigit(unsigned char aChar) { return aChar >= '0' && aChar <= '9'; }
bool IsAsciiLetter(unsigned char aChar) { return (aChar | 0x20) >= 'a' && (aChar | 0x20) <= 'z'; }
bool IsAsciiAlnum(unsigned char aChar) { return IsAsciiLetter(aChar) || IsAsciiDigit(aChar); }

std::string Upper(std::string_view aText) {
  std::string out(aText);
  for (char& c : out) if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  return out;
}

std::string Lower(std::string_view aText) {
  std::string out(aText);
  for (char& c : out) if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  return out;
}

bool EqualsNoCase(std::string_view aLeft, std::string_view aRight) { return Lower(aLeft) == Lower(aRight); }

// A token or name shown in a message, with bytes that are not printable escaped.
std::string Printable(std::string_view aText) {
  std::string out;
  for (unsigned char c : aText.substr(0, 200)) {
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      static const char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  if (aText.size() > 200) out += "...";
  return out;
}

// Replaces the comments by spaces, keeping the line breaks so that line numbers stay.
std::string StripComments(std::string_view aText) {
  std::string out;
  out.reserve(aText.size());
  for (std::size_t i = 0; i < aText.size();) {
    if (aText.compare(i, 2, "//") == 0) {
      while (i < aText.size() && aText[i] != '\n') ++i;
    } else if (aText.compare(i, 2, "/*") == 0) {
      i += 2;
      while (i < aText.size() && aText.compare(i, 2, "*/") != 0) {
        if (aText[i] == '\n') out += '\n';
        ++i;
      }
      i = std::min(aText.size(), i + 2);
      out += ' ';
    } else {
      out += aText[i++];
    }
  }
  return out;
}

std::vector<std::string> Tokens(std::string_view aLine) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  const auto blank = [](unsigned char c) { return c <= 0x20; };
  while (i < aLine.size()) {
    while (i < aLine.size() && blank(static_cast<unsigned char>(aLine[i]))) ++i;
    const std::size_t start = i;
    while (i < aLine.size() && !blank(static_cast<unsigned char>(aLine[i]))) ++i;
    if (i > start) tokens.emplace_back(aLine.substr(start, i - start));
  }
  return tokens;
}

bool IsAbsoluteMmpPath(std::string_view aPath) {
  return (!aPath.empty() && (aPath[0] == '\\' || aPath[0] == '/')) ||
         (aPath.size() >= 2 && aPath[1] == ':' && IsAsciiLetter(static_cast<unsigned char>(aPath[0])));
}

std::string JoinMmpPath(const std::string& aFolder, const std::string& aPath) {
  if (aFolder.empty() || IsAbsoluteMmpPath(aPath)) return aPath;
  const char last = aFolder.back();
  return last == '\\' || last == '/' ? aFolder + aPath : aFolder + "\\" + aPath;
}

// Statements that describe things this host does not use (device stack and heap sizes,
// platform security, documents and icons, export control); they are noted and skipped.
const std::set<std::string> kIgnoredKeywords = {
    "AIF", "ASSPABI", "ASSPEXPORTS", "ASSPLIBRARY", "CAPABILITY", "DEBUGLIBRARY", "DEFFILE",
    "DOCUMENT", "EPOCALLOWDLLDATA", "EPOCCALLDLLENTRYPOINTS", "EPOCDATALINKADDRESS",
    "EPOCFIXEDPROCESS", "EPOCHEAPSIZE", "EPOCPROCESSPRIORITY", "EPOCSTACKSIZE", "EXPORTLIBRARY",
    "EXPORTUNFROZEN", "FIRSTLIB", "LANG", "LINKAS", "NOEXPORTLIBRARY", "NOSTRICTDEF", "SECUREID",
    "SRCDBG", "VENDORID", "WIN32_LIBRARY", "WIN32_RESOURCE"};

// Characters that CMake would read as syntax inside a quoted argument.
bool CMakeSafe(std::string_view aText) {
  for (unsigned char c : aText) {
    if (c < 0x20 || c == 0x7f || c == '"' || c == '$' || c == ';' || c == '\\' || c == '@') return false;
  }
  return true;
}

bool IsName(std::string_view aName) {
  if (aName.empty() || aName.size() > 128) return false;
  for (unsigned char c : aName) {
    if (!IsAsciiAlnum(c) && c != '_' && c != '-') return false;
  }
  return true;
}

bool IsMacro(std::string_view aMacro) {
  if (aMacro.empty() || aMacro.size() > 256 || IsAsciiDigit(static_cast<unsigned char>(aMacro[0])))
    return false;
  for (unsigned char c : aMacro) {
    if (!IsAsciiAlnum(c) && c != '_') return false;
  }
  return true;
}

bool IsUnder(const fs::path& aPath, const fs::path& aFolder, fs::path& aRelative) {
  const fs::path rel = aPath.lexically_relative(aFolder);
  if (rel.empty() || *rel.begin() == "..") return false;
  aRelative = rel;
  return true;
}

std::string ReadFile(const fs::path& aPath, std::string& aError) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(aPath, ec);
  if (ec) {
    aError = "cannot read " + aPath.string() + ": " + ec.message();
    return {};
  }
  if (size > kMaxMmpSize) {
    aError = aPath.string() + " is too big for a project definition";
    return {};
  }
  std::ifstream in(aPath, std::ios::binary);
  if (!in) {
    aError = "cannot open " + aPath.string();
    return {};
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file aName in aFolder, matched without regard to letter case; empty if none.
fs::path FindNoCase(const fs::path& aFolder, std::string_view aName) {
  std::error_code ec;
  if (fs::exists(aFolder / aName, ec)) return aFolder / aName;
  fs::directory_iterator it(aFolder, ec);
  if (ec) return {};
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (EqualsNoCase(it->path().filename().string(), aName)) return it->path();
  }
  return {};
}

// The platform's own libraries. On this host one shared library, zsymbian, provides
// them all.
const std::set<std::string> kPlatformLibraries = {
    "apparc", "apgrfx", "bafl", "bitgdi", "cone", "efsrv", "eikcoctl", "eikcore", "eikctl",
    "eikdlg", "eikfile", "eikprint", "estor", "etext", "euser", "fbscli", "form", "gdi",
    "mediaclientaudio", "mediaclientimage", "ws32"};
constexpr const char* kPlatformLibraryFile = "libzsymbian.so";
constexpr const char* kReleaseFolder = "Epoc32\\Release\\wins\\udeb";

}  // namespace

bool ParseMmp(std::string_view aText, MmpProject& aProject, std::string& aError) {
  aProject = MmpProject{};
  const std::string text = StripComments(aText);
  std::string sourcePath;
  bool inBlock = false;
  std::size_t lineNumber = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    const std::vector<std::string> tokens = Tokens(line);
    if (tokens.empty() || tokens[0][0] == '#') continue;
    const std::string keyword = Upper(tokens[0]);
    const std::vector<std::string> args(tokens.begin() + 1, tokens.end());
    const std::string where = " on line " + std::to_string(lineNumber);
    if (inBlock) {
      if (keyword == "END") inBlock = false;
      continue;
    }
    auto one = [&](std::string& aOut) {
      if (args.size() != 1) {
        aError = keyword + " takes one value" + where;
        return false;
      }
      aOut = args[0];
      return true;
    };
    auto need = [&]() {
      if (args.empty()) {
        aError = keyword + " needs at least one value" + where;
        return false;
      }
      return true;
    };
    if (keyword == "TARGET") {
      if (!one(aProject.target)) return false;
    } else if (keyword == "TARGETTYPE") {
      if (!one(aProject.targetType)) return false;
      aProject.targetType = Lower(aProject.targetType);
    } else if (keyword == "UID") {
      if (args.empty() || args.size() > 2) {
        aError = "UID takes one or two values" + where;
        return false;
      }
      for (const auto& uid : args) {
        char* stop = nullptr;
        errno = 0;
        const unsigned long long value = std::strtoull(uid.c_str(), &stop, 0);
        if (uid.empty() || *stop != '\0' || errno != 0 || value > 0xFFFFFFFFull || uid[0] == '-') {
          aError = "UID " + Printable(uid) + " is not a 32-bit number" + where;
          return false;
        }
      }
      aProject.uids = args;
    } else if (keyword == "TARGETPATH") {
      if (!one(aProject.targetPath)) return false;
    } else if (keyword == "SOURCEPATH") {
      if (!one(sourcePath)) return false;
    } else if (keyword == "SOURCE") {
      if (!need()) return false;
      for (const auto& a : args) aProject.sources.push_back(JoinMmpPath(sourcePath, a));
    } else if (keyword == "RESOURCE") {
      if (!need()) return false;
      for (const auto& a : args) aProject.resources.push_back(JoinMmpPath(sourcePath, a));
    } else if (keyword == "USERINCLUDE") {
      if (!need()) return false;
      aProject.userIncludes.insert(aProject.userIncludes.end(), args.begin(), args.end());
    } else if (keyword == "SYSTEMINCLUDE") {
      if (!need()) return false;
      aProject.systemIncludes.insert(aProject.systemIncludes.end(), args.begin(), args.end());
    } else if (keyword == "LIBRARY" || keyword == "STATICLIBRARY") {
      if (!need()) return false;
      aProject.libraries.insert(aProject.libraries.end(), args.begin(), args.end());
    } else if (keyword == "MACRO") {
      if (!need()) return false;
      aProject.macros.insert(aProject.macros.end(), args.begin(), args.end());
    } else if (keyword == "START") {
      inBlock = true;
      aProject.warnings.push_back("START " + Printable(args.empty() ? "" : args[0]) +
                                  " block skipped" + where);
    } else if (kIgnoredKeywords.count(keyword)) {
      aProject.warnings.push_back(keyword + " has no meaning on this host, skipped" + where);
    } else {
      aError = "unknown statement \"" + Printable(tokens[0]) + "\"" + where;
      return false;
    }
  }
  if (inBlock) {
    aError = "START block without END";
    return false;
  }
  if (aProject.target.empty()) {
    aError = "no TARGET";
    return false;
  }
  if (aProject.targetType.empty()) {
    aError = "no TARGETTYPE";
    return false;
  }
  return true;
}

fs::path ResolvePath(const fs::path& aBase, std::string_view aPath) {
  fs::path result = aBase;
  std::string component;
  auto step = [&]() {
    if (component.empty() || component == ".") {
    } else if (component == "..") {
      result = result.parent_path();
    } else {
      const fs::path found = FindNoCase(result, zwin::AnsiToUtf8(component));
      result = found.empty() ? result / zwin::AnsiToUtf8(component) : found;
    }
    component.clear();
  };
  for (char c : aPath) {
    if (c == '\\' || c == '/') step();
    else component += c;
  }
  step();
  return result;
}

bool IsSdkRoot(const fs::path& aRoot) {
  std::error_code ec;
  return !aRoot.empty() && fs::is_regular_file(ResolvePath(aRoot, "Epoc32\\Include\\Zolvane.h"), ec);
}

namespace {
fs::path HostFolder(std::string_view aPath) {
  if (aPath.empty()) return {};
  std::error_code ec;
  if (aPath[0] == '/') return fs::weakly_canonical(fs::path(std::string(aPath)), ec);
  zwin::HostPath host;
  if (zwin::ToHostPath(aPath, host) != 0) return {};
  // Drive letters are links in the prefix: name the folder itself.
  return fs::weakly_canonical(host.path, ec);
}

fs::path AncestorSdk(fs::path aFolder) {
  std::error_code ec;
  aFolder = fs::absolute(aFolder, ec);
  while (!aFolder.empty()) {
    if (IsSdkRoot(aFolder)) return aFolder;
    if (aFolder == aFolder.parent_path()) break;
    aFolder = aFolder.parent_path();
  }
  return {};
}
}  // namespace

fs::path FindSdk(const fs::path& aProjectFolder, const fs::path& aToolFolder, std::string* aHow) {
  auto how = [&](const std::string& aText) {
    if (aHow) *aHow = aText;
  };
  if (const char* env = std::getenv("ZOLVANE_SDK"); env && *env) {
    const fs::path root = HostFolder(env);
    if (IsSdkRoot(root)) {
      how("ZOLVANE_SDK");
      return root;
    }
    how(std::string("ZOLVANE_SDK=") + env + " holds no Epoc32\\Include\\Zolvane.h");
    return {};
  }
  if (fs::path root = AncestorSdk(aProjectFolder); !root.empty()) {
    how("the SDK the project is in");
    return root;
  }
  std::string common;
  ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common);
  std::string registered;
  bool found = false;
  FindSdkRoot(SdkListPath(common), registered, &found);
  if (found) {
    if (fs::path root = HostFolder(registered); IsSdkRoot(root)) {
      how("the registered SDK");
      return root;
    }
  }
  if (!aToolFolder.empty()) {
    if (fs::path root = AncestorSdk(aToolFolder); !root.empty()) {
      how("the SDK this tool belongs to");
      return root;
    }
  }
  how("no SDK with the Zolvane engine found: set ZOLVANE_SDK to the folder that holds Epoc32");
  return {};
}

bool MakeCMakeLists(const MmpProject& aProject, const fs::path& aProjectFolder, const fs::path& aSdk,
                    std::string& aText, std::string& aError) {
  std::error_code ec;
  const fs::path project = fs::weakly_canonical(fs::absolute(aProjectFolder, ec), ec);
  const fs::path sdk = fs::weakly_canonical(fs::absolute(aSdk, ec), ec);

  // Where a path of the definition lies on this host.
  auto mapPath = [&](const std::string& aPath) -> fs::path {
    if (!aPath.empty() && (aPath[0] == '\\' || aPath[0] == '/')) {
      const std::string rest = aPath.substr(1);
      const std::string first = rest.substr(0, rest.find_first_of("\\/"));
      if (EqualsNoCase(first, "epoc32")) return ResolvePath(sdk, rest);
      const std::string drive = zwin::ToWindowsPath(project).substr(0, 2);
      return HostFolder(drive + aPath);
    }
    if (IsAbsoluteMmpPath(aPath)) return HostFolder(aPath);
    return ResolvePath(project, aPath);
  };
  // The path as CMake should see it: below the SDK through ZOLVANE_SDK, below the
  // project relative to it, else absolute.
  bool bad = false;
  auto cmakePath = [&](const fs::path& aPath) -> std::string {
    const fs::path path = aPath.lexically_normal();
    fs::path rel;
    std::string text;
    if (IsUnder(path, sdk, rel)) text = "${ZOLVANE_SDK}/" + rel.generic_string();
    else if (IsUnder(path, project, rel)) text = rel.generic_string();
    else text = path.generic_string();
    const std::string checked = text.rfind("${ZOLVANE_SDK}/", 0) == 0 ? text.substr(15) : text;
    if (!CMakeSafe(checked)) {
      if (!bad) aError = "the path " + Printable(path.string()) + " has characters a build file cannot hold";
      bad = true;
    }
    return "\"" + text + "\"";
  };

  const std::string& target = aProject.target;
  const std::size_t dot = target.rfind('.');
  const std::string name = target.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : Lower(target.substr(dot + 1));
  if (!IsName(name)) {
    aError = "TARGET " + Printable(target) + " is not a name this host can build";
    return false;
  }
  std::string kind;
  if (aProject.targetType == "app") kind = "MODULE";
  else if (aProject.targetType == "dll") kind = "SHARED";
  else if (aProject.targetType == "exe" || aProject.targetType == "exedll") kind = "EXECUTABLE";
  else {
    aError = "TARGETTYPE " + Printable(aProject.targetType) + " is not built on this host";
    return false;
  }
  if (aProject.sources.empty()) {
    aError = "no SOURCE";
    return false;
  }

  std::vector<std::string> sources;
  for (const auto& s : aProject.sources) {
    const fs::path file = mapPath(s);
    if (!fs::is_regular_file(file, ec)) {
      aError = "SOURCE " + Printable(s) + " not found (looked for " + Printable(file.string()) + ")";
      return false;
    }
    sources.push_back(cmakePath(file));
  }
  // Folders and resources need not exist yet, but their paths must name a place.
  auto placed = [&](const char* aKeyword, const std::vector<std::string>& aPaths,
                    std::vector<std::string>& aOut) {
    for (const auto& p : aPaths) {
      const fs::path path = mapPath(p);
      if (path.empty()) {
        aError = std::string(aKeyword) + " " + Printable(p) + " is not a path on this host";
        return false;
      }
      aOut.push_back(cmakePath(path));
    }
    return true;
  };
  std::vector<std::string> resources, userIncludes, systemIncludes;
  if (!placed("RESOURCE", aProject.resources, resources) ||
      !placed("USERINCLUDE", aProject.userIncludes, userIncludes) ||
      !placed("SYSTEMINCLUDE", aProject.systemIncludes, systemIncludes)) {
    return false;
  }
  for (const auto& m : aProject.macros) {
    if (!IsMacro(m)) {
      aError = "MACRO " + Printable(m) + " is not a macro name";
      return false;
    }
  }

  const fs::path release = ResolvePath(sdk, kReleaseFolder);
  std::vector<std::string> libraries;
  bool platformAdded = false;
  for (const auto& l : aProject.libraries) {
    const fs::path file = FindNoCase(release, zwin::AnsiToUtf8(l));
    if (!file.empty() && fs::is_regular_file(file, ec)) {
      libraries.push_back(cmakePath(file));
      continue;
    }
    const std::string base = Lower(l.substr(0, l.rfind('.')));
    if (kPlatformLibraries.count(base)) {
      if (platformAdded) continue;
      const fs::path platform = FindNoCase(release, kPlatformLibraryFile);
      if (platform.empty()) {
        aError = "LIBRARY " + Printable(l) + ": the platform library " + kPlatformLibraryFile +
                 " is not in " + release.string();
        return false;
      }
      libraries.push_back(cmakePath(platform));
      platformAdded = true;
      continue;
    }
    aError = "LIBRARY " + Printable(l) + " not found in " + Printable(release.string());
    return false;
  }
  const std::string releaseText = cmakePath(release);
  if (bad) return false;

  std::string outputFolder;
  if (!aProject.targetPath.empty()) {
    std::string tp = aProject.targetPath;
    std::replace(tp.begin(), tp.end(), '\\', '/');
    while (!tp.empty() && tp.front() == '/') tp.erase(0, 1);
    while (!tp.empty() && tp.back() == '/') tp.pop_back();
    if (!CMakeSafe(tp) || tp.find("..") != std::string::npos) {
      aError = "TARGETPATH " + Printable(aProject.targetPath) + " cannot be used";
      return false;
    }
    outputFolder = "${CMAKE_CURRENT_BINARY_DIR}/z/" + tp;
  } else if (kind == "MODULE") {
    outputFolder = "${CMAKE_CURRENT_BINARY_DIR}/z/System/Apps/" + name;
  }

  std::ostringstream o;
  auto list = [&](const std::vector<std::string>& aItems) {
    for (const auto& item : aItems) o << "\n  " << item;
  };
  o << "# Build file of " << name << ", made by makmake from " << name
    << ".mmp for this host. Run \"makmake " << name
    << " vc6\" again after changing the project definition.\n"
       "#\n"
       "#   cmake -S . -B build && cmake --build build\n"
       "#\n"
       "# The engine and the platform come from the SDK at ZOLVANE_SDK (the folder that holds\n"
       "# Epoc32); give -DZOLVANE_SDK=... to build against another one.\n"
       "cmake_minimum_required(VERSION 3.16)\n"
       "project("
    << name << " LANGUAGES CXX)\n\n"
    << "set(ZOLVANE_SDK \"" << sdk.generic_string()
    << "\" CACHE PATH \"Symbian SDK with the Zolvane engine installed\")\n"
       "set(CMAKE_CXX_STANDARD 20)\n"
       "set(CMAKE_CXX_STANDARD_REQUIRED ON)\n\n";
  if (!aProject.uids.empty()) {
    o << "# UID";
    for (const auto& u : aProject.uids) o << ' ' << u;
    o << "\n";
  }
  if (kind == "EXECUTABLE") o << "add_executable(" << name;
  else o << "add_library(" << name << ' ' << kind;
  list(sources);
  o << ")\n";
  if (!resources.empty()) {
    o << "# Resource files; the host does not compile them.\ntarget_sources(" << name << " PRIVATE";
    list(resources);
    o << ")\nset_source_files_properties(";
    list(resources);
    o << "\n  PROPERTIES HEADER_FILE_ONLY ON)\n";
  }
  o << "set_target_properties(" << name << " PROPERTIES OUTPUT_NAME \"" << name << "\"";
  if (kind != "EXECUTABLE") o << " PREFIX \"\" SUFFIX \"." << (extension.empty() ? aProject.targetType : extension) << "\"";
  if (!outputFolder.empty()) {
    o << "\n  " << (kind == "EXECUTABLE" ? "RUNTIME" : "LIBRARY") << "_OUTPUT_DIRECTORY \"" << outputFolder << "\"";
  }
  o << "\n  BUILD_RPATH " << releaseText << ")\n";
  if (!userIncludes.empty()) {
    o << "target_include_directories(" << name << " PRIVATE";
    list(userIncludes);
    o << ")\n";
  }
  if (!systemIncludes.empty()) {
    o << "target_include_directories(" << name << " SYSTEM PRIVATE";
    list(systemIncludes);
    o << ")\n";
  }
  if (!aProject.macros.empty()) {
    o << "target_compile_definitions(" << name << " PRIVATE";
    for (const auto& m : aProject.macros) o << "\n  " << m;
    o << ")\n";
  }
  if (!libraries.empty()) {
    o << "target_link_libraries(" << name << " PRIVATE";
    list(libraries);
    o << ")\n";
  }
  o << "# Every symbol must come from the listed libraries.\n"
    << "target_link_options(" << name << " PRIVATE \"-Wl,--no-undefined\")\n";
  aText = o.str();
  return true;
}

namespace {

const zolv::cli::Program kCommandLine{
    "makmake",
    "usage: makmake [-v] PROJECT PLATFORM\n"
    "  Reads PROJECT.mmp in the current folder and writes CMakeLists.txt beside it, which\n"
    "  builds the project on this host against the Zolvane engine in the Symbian SDK.\n"
    "  PLATFORM: vc6 or wins. The SDK is ZOLVANE_SDK if set, else the SDK the project\n"
    "  folder is in, else the registered SDK, else the SDK that holds this tool.\n"
    "  -v: list the statements that have no meaning on this host\n",
    {{"-v"}},
    true};

int Usage(std::string_view aWhy, std::string& aErr) {
  std::ostringstream err;
  const int code = zolv::cli::UsageError(kCommandLine, aWhy, err);
  aErr += err.str();
  return code;
}

}  // namespace

int Run(const std::vector<std::string>& aArgs, const fs::path& aToolFolder, std::string& aOut,
        std::string& aErr) {
  std::ostringstream out, err;
  const std::optional<int> answered = zolv::cli::Check(kCommandLine, aArgs, out, err);
  aOut += out.str();
  aErr += err.str();
  if (answered) return *answered;
  bool verbose = false;
  bool options = true;
  std::vector<std::string> positional;
  for (const auto& a : aArgs) {
    if (options && a == "-v") verbose = true;
    else if (options && a == "--") options = false;
    else positional.push_back(a);
  }
  if (positional.size() < 2) return Usage(positional.empty() ? "missing PROJECT" : "missing PLATFORM", aErr);
  if (positional.size() > 2) return Usage("unexpected argument " + positional[2], aErr);
  const std::string platform = Lower(positional[1]);
  if (platform != "vc6" && platform != "wins") {
    aErr += "makmake: platform " + Printable(positional[1]) + " is not built on this host; use vc6\n";
    return 1;
  }
  std::string projectName = positional[0];
  if (projectName.size() > 4 && EqualsNoCase(projectName.substr(projectName.size() - 4), ".mmp")) {
    projectName.resize(projectName.size() - 4);
  }
  std::error_code ec;
  const fs::path folder = fs::current_path(ec);
  const fs::path mmp = ResolvePath(folder, projectName + ".mmp");
  if (!fs::is_regular_file(mmp, ec)) {
    aErr += "makmake: " + Printable(mmp.string()) + " not found\n";
    return 1;
  }
  std::string error;
  const std::string text = ReadFile(mmp, error);
  if (!error.empty()) {
    aErr += "makmake: " + error + "\n";
    return 1;
  }
  MmpProject project;
  if (!ParseMmp(text, project, error)) {
    aErr += "makmake: " + mmp.filename().string() + ": " + error + "\n";
    return 1;
  }
  if (verbose) {
    for (const auto& w : project.warnings) aErr += "makmake: " + w + "\n";
  }
  const fs::path projectFolder = mmp.parent_path();
  std::string how;
  const fs::path sdk = FindSdk(projectFolder, aToolFolder, &how);
  if (sdk.empty()) {
    aErr += "makmake: " + how + "\n";
    return 1;
  }
  std::string cmake;
  if (!MakeCMakeLists(project, projectFolder, sdk, cmake, error)) {
    aErr += "makmake: " + error + "\n";
    return 1;
  }
  const fs::path output = projectFolder / "CMakeLists.txt";
  // The text goes to a new file of our own beside the output, then takes the output's
  // place in one step: a link standing there is replaced, never written through.
  fs::path temporary;
  const int fd = zwin::CreateExclusiveHostFile(projectFolder, "CMakeLists.txt", temporary);
  if (fd < 0) {
    aErr += "makmake: cannot write " + output.string() + "\n";
    return 1;
  }
  bool written = true;
  for (std::size_t done = 0; written && done < cmake.size();) {
    const ssize_t n = ::write(fd, cmake.data() + done, cmake.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) written = false;
    else done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) written = false;
  if (!written || ::rename(temporary.c_str(), output.c_str()) != 0) {
    ::unlink(temporary.c_str());
    aErr += "makmake: cannot write " + output.string() + "\n";
    return 1;
  }
  aOut += "makmake: wrote " + output.string() + " (engine from " + how + ": " + sdk.string() + ")\n";
  return 0;
}

}  // namespace zolv::makmake
