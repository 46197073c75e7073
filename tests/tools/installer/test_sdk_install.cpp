// The SDK as a user gets it, end to end: in a fresh prefix with a registered Symbian SDK,
// ZolvInstall installs this build's own install.lst; the installed wizard generates a
// project, the installed makmake.bat (started by the wizard, found beside it) makes it
// buildable, it builds against the installed engine alone, and the installed epoc runs
// it headless for a few hundred frames; then the installed ZolvInstall removes the SDK
// from its own folder and the prefix is as it was before.
#include "HostFiles.h"
#include "ListElements.h"
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ContactSheet.h"

namespace fs = std::filesystem;

namespace {

const char kProduct[] = "Zolvane Engine C++ SDK";
const char kLinkFolder[] = "Zolvane Engine C++ SDK";

using ZTestHost::ReadHostFile;
using ZTestHost::WriteHostFile;
using ZTestHost::Shell;

std::string Quote(const fs::path& aPath) { return "'" + aPath.string() + "'"; }

fs::path HostRelative(std::string aWindowsPath) {
  for (char& c : aWindowsPath) {
    if (c == '\\') c = '/';
  }
  return fs::path(aWindowsPath);
}

// A registry file's values by key, without the file's preamble, the keys' time stamps and
// the keys that hold no value (keys themselves are never deleted).
std::map<std::string, std::string> RegistryValues(const fs::path& aFile) {
  std::map<std::string, std::string> keys;
  std::istringstream in(ReadHostFile(aFile));
  std::string line, key;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') {
      key = line.substr(0, line.rfind(']') + 1);
    } else if (!key.empty() && !line.empty() && line.rfind("#time=", 0) != 0) {
      keys[key] += line + "\n";
    }
  }
  return keys;
}

// Every folder, link and file below aRoot with its permissions; files with their bytes
// and modification time, so that a file rewritten with the same bytes shows too. The
// registry files are compared by their values (RegistryValues).
std::map<std::string, std::string> Snapshot(const fs::path& aRoot) {
  std::map<std::string, std::string> tree;
  for (const auto& e : fs::recursive_directory_iterator(aRoot)) {
    const std::string rel = fs::relative(e.path(), aRoot).string();
    if (rel == "system.reg" || rel == "user.reg") continue;
    struct stat st = {};
    ::lstat(e.path().c_str(), &st);
    std::ostringstream d;
    d << std::oct << (st.st_mode & 07777) << std::dec;
    if (e.is_symlink()) {
      d << " link " << fs::read_symlink(e.path()).string();
    } else if (e.is_directory()) {
      d << " folder";
    } else {
      d << " file " << st.st_mtim.tv_sec << "." << st.st_mtim.tv_nsec << " " << ReadHostFile(e.path());
    }
    tree[rel] = d.str();
  }
  return tree;
}

std::string Differences(const std::map<std::string, std::string>& aBefore,
                        const std::map<std::string, std::string>& aAfter) {
  std::string out;
  for (const auto& [path, what] : aBefore) {
    const auto it = aAfter.find(path);
    if (it == aAfter.end()) out += "  gone: " + path + "\n";
    else if (it->second != what) out += "  changed: " + path + "\n";
  }
  for (const auto& [path, what] : aAfter) {
    if (!aBefore.count(path)) out += "  left behind: " + path + "\n";
  }
  return out;
}

bool WaitForFile(const fs::path& aPath) {
  for (int i = 0; i < 1000; ++i) {
    std::error_code ec;
    if (fs::file_size(aPath, ec) > 0 && !ec) return true;
    ::usleep(20000);
  }
  return false;
}

class SdkInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    // The SDK, its prefix and the generated project live below a folder whose name has a
    // space and a letter outside ASCII, as a user's own folders do.
    char pattern[] = "/tmp/zolv sdk-install \u00fc-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    iRoot = pattern;
    iPrefix = iRoot / "prefix";
    iSdk = DriveC() / "Symbian";
    iUtilities = DriveC() / "Kestrelon" / "ZolvaneSDK" / "Nokia9200";
    // A registered Symbian SDK with files of its own, which the SDK's installation and
    // removal must leave alone.
    WriteHostFile(iPrefix / "system.reg",
                  "WINE REGISTRY Version 2\n\n[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1\n"
                  "\"CommonPath\"=\"C:\\\\Symbian\"\n");
    WriteHostFile(iSdk / "installed.xml",
                  "<sdk><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
                  "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>C:\\Symbian"
                  "</ESDKNonSharedPath></sdk>");
    WriteHostFile(iSdk / "Epoc32" / "Include" / "sdkown.h", "// the SDK's own header\n");
    WriteHostFile(iSdk / "Epoc32" / "Release" / "wins" / "udeb" / "euser.dll", "the SDK's own library");
    fs::create_directories(iSdk / "Epoc32" / "Tools");
    fs::create_directories(iRoot / "elsewhere");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(iRoot, ec);
  }

  fs::path DriveC() const { return iPrefix / "drive_c"; }

  // Programs run with nothing of the build tree on their search paths.
  std::string Environment() const {
    return "env -u ZOLVANE_SDK -u LD_LIBRARY_PATH ZOLVANE_PREFIX=" + Quote(iPrefix) +
           " ZOLVANE_EPOCROOT=" + Quote(iRoot / "epoc") + " USER=tester SDL_AUDIODRIVER=dummy PATH=/usr/bin:/bin ";
  }

  // Writes answers, one a line, and returns the file.
  fs::path Answers(const std::string& aName, const std::vector<std::string>& aAnswers) const {
    std::string text;
    for (const auto& a : aAnswers) text += a + "\n";
    WriteHostFile(iRoot / aName, text);
    return iRoot / aName;
  }

  fs::path iRoot;
  fs::path iPrefix;
  fs::path iSdk;
  fs::path iUtilities;
};

TEST_F(SdkInstall, InstalledSdkGeneratesBuildsRunsAndRemovesCleanly) {
  if (Shell("cmake --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "cmake is not installed";
  const fs::path installation = ZOLV_SDK_INSTALLATION;
  const std::string list = ReadHostFile(installation / "install.lst");
  ASSERT_FALSE(list.empty()) << "no install.lst in " << installation;

  // The data file holds exactly the listed files' bytes.
  const std::vector<std::string> sizes = Elements(list, "size");
  const std::vector<std::string> files = Elements(list, "file");
  ASSERT_EQ(sizes.size(), files.size());
  std::uintmax_t total = 0;
  for (const auto& s : sizes) total += std::strtoull(s.c_str(), nullptr, 10);
  ASSERT_EQ(Elements(list, "datafile").size(), 1u);
  EXPECT_EQ(fs::file_size(installation / Elements(list, "datafile")[0]), total);
  const std::string version = Elements(list, "version").at(0);

  // A removal before anything is installed finds nothing to do; it also gives the fresh
  // prefix its Start menu, which the system would always have.
  ASSERT_EQ(Shell("cd " + Quote(iRoot / "elsewhere") + " && " + Environment() + Quote(ZOLV_INSTALLER) +
                  " --remove --answers " + Quote(Answers("none", {"OK"})) + " > /dev/null 2>&1"),
            1);
  const auto before = Snapshot(iPrefix);
  const auto systemBefore = RegistryValues(iPrefix / "system.reg");
  const auto userBefore = RegistryValues(iPrefix / "user.reg");

  // Install with the default directories: the utilities into C:\Kestrelon\ZolvaneSDK\Nokia9200\,
  // the engine into the registered SDK. Yes to every shortcut.
  std::vector<std::string> answers(Elements(list, "linkname").size(), "Yes");
  answers.push_back("OK");
  const fs::path installTranscript = iRoot / "install.txt";
  ASSERT_EQ(Shell("cd " + Quote(installation) + " && " + Environment() + Quote(ZOLV_INSTALLER) +
                  " --install --answers " + Quote(Answers("install", answers)) + " --transcript " +
                  Quote(installTranscript)),
            0)
      << ReadHostFile(installTranscript);
  EXPECT_NE(ReadHostFile(installTranscript)
                .find("Version " + version + " of Kestrelon's " + kProduct + " successfully installed."),
            std::string::npos)
      << ReadHostFile(installTranscript);

  // Every listed file is in place with its size, the utilities in their folder and the
  // engine in the SDK; the programs can be run.
  const std::size_t engineStart = list.find("<package>", list.find("<package>") + 1);
  for (std::size_t i = 0, at = 0; i < files.size(); ++i) {
    at = list.find("<file>" + files[i] + "</file>", at);
    const fs::path target = (at < engineStart ? iUtilities : iSdk) / HostRelative(files[i]);
    std::error_code ec;
    EXPECT_EQ(fs::file_size(target, ec), std::strtoull(sizes[i].c_str(), nullptr, 10)) << target;
  }
  for (const char* program : {"ZolvWizard", "ZolvInstall", "makmake.bat", "epoc", "zolvmbm"}) {
    EXPECT_EQ(::access((iUtilities / program).c_str(), X_OK), 0) << program << " cannot be run";
  }
  EXPECT_NE(::access((iUtilities / "Templates" / "Template.mmp").c_str(), X_OK), 0);
  // zolvmbm loads (with the platform library beside it) and answers with its usage.
  EXPECT_EQ(Shell(Environment() + Quote(iUtilities / "zolvmbm") + " > /dev/null 2>&1"), 2);
  EXPECT_EQ(ReadHostFile(iSdk / "Epoc32" / "Include" / "Zolvane.h"),
            ReadHostFile(fs::path(ZOLV_SOURCE_DIR) / "engine" / "include" / "Zolvane.h"));
  const fs::path release = iSdk / "Epoc32" / "Release" / "wins" / "udeb";
  EXPECT_EQ(ReadHostFile(release / "Zolvane.dll"), ReadHostFile(release / "Zolvane.lib"));
  EXPECT_EQ(ReadHostFile(release / "Zolvane.dll"), ReadHostFile(release / "libZolvane.so"));
  EXPECT_TRUE(fs::is_regular_file(DriveC() / "users" / "tester" / "Start Menu" / "Programs" / kLinkFolder /
                                  "Zolvane Application Wizard.lnk"));
  // Nothing installed looks for libraries in the build tree.
  if (Shell("readelf --version > /dev/null 2>&1") == 0) {
    for (const fs::path& binary : {iUtilities / "epoc", iUtilities / "zolvmbm", iUtilities / "ZolvWizard",
                                   release / "libZolvane.so", release / "libzsymbian.so"}) {
      EXPECT_NE(Shell("readelf -d " + Quote(binary) + " | grep -F -q " + Quote(ZOLV_BUILD_DIR)), 0)
          << binary << " searches the build tree for libraries";
    }
  }

  // The installed wizard generates a project in a folder with a space and a non-ASCII
  // letter and starts makmake.bat, which it finds beside itself: PATH holds nothing of the SDK.
  const fs::path wizardTranscript = iRoot / "wizard.txt";
  const fs::path projects = DriveC() / "My Projects \u00fc";
  fs::create_directories(projects);
  ASSERT_EQ(Shell(Environment() + Quote(iUtilities / "ZolvWizard") + " --name Game --uid 1234ABCD --dir " +
                  Quote(projects) + " --answers " + Quote(Answers("wizard", {"OK"})) + " --transcript " +
                  Quote(wizardTranscript)),
            0)
      << ReadHostFile(wizardTranscript);
  EXPECT_NE(ReadHostFile(wizardTranscript).find("Application template successfully created!"), std::string::npos)
      << ReadHostFile(wizardTranscript);
  const fs::path project = projects / "Game";
  ASSERT_TRUE(WaitForFile(project / "CMakeLists.txt")) << "the wizard did not start the installed makmake.bat";
  // makmake found the SDK through its registration.
  EXPECT_NE(ReadHostFile(project / "CMakeLists.txt")
                .find("set(ZOLVANE_SDK \"" + fs::canonical(iSdk).generic_string() + "\""),
            std::string::npos)
      << ReadHostFile(project / "CMakeLists.txt");

  // It builds against the installed engine, with warnings as errors.
  const fs::path build = iRoot / "game-build";
  const std::string generator = Shell("ninja --version > /dev/null 2>&1") == 0 ? "-G Ninja " : "";
  ASSERT_EQ(Shell(Environment() + "cmake -S " + Quote(project) + " -B " + Quote(build) + " " + generator +
                  "-DCMAKE_BUILD_TYPE=Debug '-DCMAKE_CXX_FLAGS=-Wall -Wextra -Werror' > " +
                  Quote(iRoot / "configure.log") + " 2>&1"),
            0)
      << ReadHostFile(iRoot / "configure.log");
  ASSERT_EQ(Shell(Environment() + "cmake --build " + Quote(build) + " -j2 > " + Quote(iRoot / "build.log") + " 2>&1"), 0)
      << ReadHostFile(iRoot / "build.log");

  // The installed epoc runs it without a window for 300 frames.
  const fs::path sheet = iRoot / "sheet.png";
  const fs::path epocLog = iRoot / "epoc.log";
  ASSERT_EQ(Shell(Environment() + Quote(iUtilities / "epoc") + " --apps " + Quote(build / "z" / "System" / "Apps") +
                  " --headless --frames 300 --png " + Quote(sheet) + " Game > " + Quote(epocLog) + " 2>&1"),
            0)
      << ReadHostFile(epocLog);
  EXPECT_NE(ReadHostFile(epocLog).find("epoc: Game stopped after 300 frames"), std::string::npos)
      << ReadHostFile(epocLog);
  const zolv_test::ContactSheet contact = zolv_test::ReadContactSheet(sheet);
  EXPECT_GT(contact.width, 640);
  EXPECT_GE(contact.colours, 3u) << "the contact sheet is uniform";

  // The demo, when the build has it, runs from the SDK's emulator drive Z:, where the
  // engine's files are (its module finds them four folders up). The launcher's root is the
  // Symbian SDK's folder, whose "Epoc32\Release" is not in the launcher's lower case.
  if (list.find("z\\system\\apps\\Demo\\Demo.app<") != std::string::npos) {
    EXPECT_EQ(Shell("env -u LD_LIBRARY_PATH ZOLVANE_EPOCROOT=" + Quote(iSdk) + " SDL_AUDIODRIVER=dummy PATH=/usr/bin:/bin " +
                    Quote(iUtilities / "epoc") + " --headless --frames 20 Demo > " + Quote(iRoot / "demo.log") +
                    " 2>&1"),
              0)
        << ReadHostFile(iRoot / "demo.log");
  }

  // The installed ZolvInstall removes the SDK from its own folder.
  const fs::path removeTranscript = iRoot / "remove.txt";
  ASSERT_EQ(Shell("cd " + Quote(iUtilities) + " && " + Environment() + "./ZolvInstall --remove --answers " +
                  Quote(Answers("remove", {"Yes", "OK"})) + " --transcript " + Quote(removeTranscript)),
            0)
      << ReadHostFile(removeTranscript);
  EXPECT_NE(ReadHostFile(removeTranscript)
                .find(std::string("Kestrelon's ") + kProduct + " version " + version + " successfully removed!"),
            std::string::npos)
      << ReadHostFile(removeTranscript);

  // The developer's project is theirs; everything else is as before, the SDK's own files
  // untouched.
  fs::remove_all(projects);
  EXPECT_EQ(Differences(before, Snapshot(iPrefix)), "");
  EXPECT_EQ(RegistryValues(iPrefix / "system.reg"), systemBefore);
  EXPECT_EQ(RegistryValues(iPrefix / "user.reg"), userBefore);
}

}  // namespace
