// The generator of the SDK's installation file, run on a small made-up build: the file
// list follows what is on disk, the data file holds exactly the listed bytes in order,
// links are shipped as the bytes they name, programs lose the build tree's search path,
// names the installation file cannot carry are refused, and an unchanged build is not
// written again.
#include "HostFiles.h"
#include "ListElements.h"
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using ZTestHost::ReadHostFile;
using ZTestHost::WriteHostFile;
using ZTestHost::Shell;

class SdkGenerator : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zolv-sdk-generator-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    iRoot = pattern;
    iIn = iRoot / "in";
    iOut = iRoot / "out" / "installation";
    // Programs as text, except epoc: a real program with the build tree's search path.
    for (const char* name : {"wizard", "installer", "makmake", "zolvmbm", "engine", "platform"}) {
      WriteHostFile(iIn / name, std::string("program ") + name);
    }
    fs::copy_file(ZOLV_EPOC, iIn / "epoc");
    WriteHostFile(iIn / "include" / "Zolvane.h", "// engine\n");
    WriteHostFile(iIn / "platform-include" / "e32std.h", "// e32\n");
    WriteHostFile(iIn / "platform-include" / "zhost" / "files.h", "// files\n");
    WriteHostFile(iIn / "Templates" / "Template.mmp", "TARGET Template.app\n");
    WriteHostFile(iIn / "docs" / "guide.md", "# The `guide`: a/b \xe2\x80\x94 \"c\"\ntext\n");
    WriteHostFile(iIn / "docs" / "notes.md", "no heading\n");
    WriteHostFile(iIn / "docs" / "skip.txt", "not a document\n");
    // The demo's folder: a file, a link to it, a folder, and a module with a search path.
    WriteHostFile(iIn / "Demo" / "movies.lst", "intro\n");
    fs::create_symlink(iIn / "Demo" / "movies.lst", iIn / "Demo" / "again.lst");
    WriteHostFile(iIn / "Demo" / "Movies" / "intro.movie", "frames");
    fs::copy_file(ZOLV_EPOC, iIn / "Demo" / "Demo.app");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(iRoot, ec);
  }

  int Generate(bool aDemo = true, const std::string& aEngine = "", const std::string& aShortcutDocs = "-") {
    const fs::path in = iIn;
    std::string command = "cmake -DOUTPUT='" + iOut.string() + "' -DVERSION=2.5";
    if (aShortcutDocs != "-") command += " '-DSHORTCUT_DOCS=" + aShortcutDocs + "'";
    for (const auto& [name, file] : std::vector<std::pair<std::string, std::string>>{
             {"WIZARD", "wizard"}, {"INSTALLER", "installer"}, {"MAKMAKE", "makmake"},
             {"ZOLVMBM", "zolvmbm"}, {"EPOC", "epoc"}, {"ENGINE", "engine"}, {"PLATFORM", "platform"},
             {"ENGINE_HEADER", "include/Zolvane.h"}, {"PLATFORM_INCLUDE", "platform-include"},
             {"TEMPLATES", "Templates"}, {"DOCS", "docs"}}) {
      command += " '-D" + name + "=" + (in / file).string() + "'";
    }
    if (aDemo) command += " '-DDEMO=" + (in / "Demo").string() + "'";
    if (!aEngine.empty()) {
      command += " '-DENGINE=" + aEngine + "' '-DENGINE_SONAME=" + fs::path(aEngine).filename().string() + "'";
    }
    command += " -P '" + std::string(ZOLV_MAKE_INSTALLATION) + "' > '" + (iRoot / "log").string() + "' 2>&1";
    return Shell(command);
  }
  // The run-time search path of a program given as bytes, as readelf shows it.
  std::string RunPath(const std::string& aProgram) const {
    WriteHostFile(iRoot / "program", aProgram);
    if (Shell("readelf -d '" + (iRoot / "program").string() + "' > '" + (iRoot / "readelf").string() + "' 2>&1") != 0) {
      return "(not a program)";
    }
    const std::string out = ReadHostFile(iRoot / "readelf");
    const std::size_t at = out.find("runpath: [");
    if (at == std::string::npos) return "";
    const std::size_t begin = at + 10;
    return out.substr(begin, out.find(']', begin) - begin);
  }
  std::string List() const { return ReadHostFile(iOut / "install.lst"); }
  std::string Data() const { return ReadHostFile(iOut / "install.dat"); }

  fs::path iRoot;
  fs::path iIn;
  fs::path iOut;
};

TEST_F(SdkGenerator, ListsWhatTheBuildHoldsAndTheDataFileHoldsItsBytesInOrder) {
  ASSERT_EQ(Generate(), 0) << ReadHostFile(iRoot / "log");
  const std::string list = List();
  EXPECT_EQ(list.rfind("<header><company>Kestrelon</company><product>Zolvane Engine C++ SDK</product>"
                       "<version>2.5</version><datafile>install.dat</datafile></header>\n",
                       0),
            0u)
      << list;
  const std::vector<std::string> packages = Elements(list, "package");
  ASSERT_EQ(packages.size(), 2u);
  EXPECT_EQ(Elements(packages[0], "name"), std::vector<std::string>{"Utilities"});
  EXPECT_EQ(Elements(packages[1], "name"), std::vector<std::string>{"Engine"});

  const std::vector<std::string> files = Elements(list, "file");
  const std::vector<std::string> sizes = Elements(list, "size");
  ASSERT_EQ(files.size(), sizes.size());
  const std::vector<std::string> engineFiles = {
      "Epoc32\\Include\\Zolvane.h",
      "Epoc32\\Include\\e32std.h",
      "Epoc32\\Include\\zhost\\files.h",
      "Epoc32\\Release\\wins\\udeb\\Zolvane.dll",
      "Epoc32\\Release\\wins\\udeb\\Zolvane.lib",
      "Epoc32\\Release\\wins\\udeb\\libZolvane.so",
      "Epoc32\\Release\\wins\\udeb\\libzsymbian.so",
      "Epoc32\\Release\\wins\\udeb\\z\\system\\apps\\Demo\\Demo.app",
      "Epoc32\\Release\\wins\\udeb\\z\\system\\apps\\Demo\\Movies\\intro.movie",
      "Epoc32\\Release\\wins\\udeb\\z\\system\\apps\\Demo\\again.lst",
      "Epoc32\\Release\\wins\\udeb\\z\\system\\apps\\Demo\\movies.lst"};
  EXPECT_EQ(Elements(packages[1], "file"), engineFiles);
  const std::vector<std::string> utilities = Elements(packages[0], "file");
  for (const char* expected : {"ZolvWizard", "makmake.bat", "ZolvInstall", "epoc", "zolvmbm", "libzsymbian.so",
                               "install.lst", "Templates\\Template.mmp", "Docs\\guide.md", "Docs\\notes.md"}) {
    EXPECT_NE(std::find(utilities.begin(), utilities.end(), expected), utilities.end()) << expected;
  }
  EXPECT_EQ(std::find(utilities.begin(), utilities.end(), "Docs\\skip.txt"), utilities.end());

  // The data file: every entry's bytes at the sum of the sizes before it.
  const std::string data = Data();
  std::size_t offset = 0;
  std::size_t engineEntry = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::size_t size = std::strtoul(sizes[i].c_str(), nullptr, 10);
    ASSERT_LE(offset + size, data.size());
    const std::string bytes = data.substr(offset, size);
    offset += size;
    if (files[i] == "ZolvWizard") {
      EXPECT_EQ(bytes, "program wizard");
    }
    if (files[i] == "makmake.bat") {
      EXPECT_EQ(bytes, "program makmake");
    }
    if (files[i] == "install.lst") {
      // Beside the installed installer: the header only, so that it can remove but not install.
      EXPECT_EQ(bytes, "<header><company>Kestrelon</company><product>Zolvane Engine C++ SDK</product>"
                       "<version>2.5</version></header>\n");
    }
    if (i >= files.size() - engineFiles.size()) {
      const std::string& name = engineFiles[engineEntry++];
      if (name.ends_with("Zolvane.h")) {
        EXPECT_EQ(bytes, "// engine\n");
      }
      if (name.ends_with("Zolvane.dll") || name.ends_with("libZolvane.so")) {
        EXPECT_EQ(bytes, "program engine");
      }
      // A link is shipped as the bytes it names.
      if (name.ends_with("again.lst")) {
        EXPECT_EQ(bytes, "intro\n");
      }
      // The module finds the engine four folders up, in Epoc32\Release\wins\udeb.
      if (name.ends_with("Demo.app")) {
        EXPECT_EQ(RunPath(bytes), "$ORIGIN/../../../..");
      }
    }
    // The launcher finds the platform library beside itself.
    if (files[i] == "epoc") {
      EXPECT_EQ(RunPath(bytes), "$ORIGIN");
    }
  }
  EXPECT_EQ(offset, data.size());

  // Shortcuts: the wizard, then one per document, named after its heading (characters a
  // file name cannot hold left out) or else its file name.
  EXPECT_EQ(Elements(list, "linkfile"), (std::vector<std::string>{"ZolvWizard", "Docs\\guide.md", "Docs\\notes.md"}));
  EXPECT_EQ(Elements(list, "linkname"),
            (std::vector<std::string>{"Zolvane Application Wizard", "The guide ab c", "notes"}));
  EXPECT_EQ(Elements(list, "linkfolder").size(), 3u);
  EXPECT_EQ(Elements(list, "linkdescription").size(), 3u);
}

TEST_F(SdkGenerator, ShortcutsOnlyForTheDocumentsNamed) {
  ASSERT_EQ(Generate(true, "", "notes.md"), 0) << ReadHostFile(iRoot / "log");
  const std::string list = ReadHostFile(iOut / "install.lst");
  // Every document is installed; only the named one gets a shortcut.
  EXPECT_NE(list.find("<file>Docs\\guide.md</file>"), std::string::npos);
  EXPECT_EQ(Elements(list, "linkfile"), (std::vector<std::string>{"ZolvWizard", "Docs\\notes.md"}));
  EXPECT_EQ(Elements(list, "linkname"), (std::vector<std::string>{"Zolvane Application Wizard", "notes"}));
}

TEST_F(SdkGenerator, WritesAgainOnlyWhenTheBuildChanged) {
  ASSERT_EQ(Generate(), 0) << ReadHostFile(iRoot / "log");
  const auto written = fs::last_write_time(iOut / "install.dat");
  ::usleep(20000);
  ASSERT_EQ(Generate(), 0);
  EXPECT_EQ(fs::last_write_time(iOut / "install.dat"), written);
  // A new file in the demo's folder is listed at the next run.
  WriteHostFile(iIn / "Demo" / "Data" / "level.txt", "1 2 3");
  ASSERT_EQ(Generate(), 0);
  EXPECT_NE(List().find("<file>Epoc32\\Release\\wins\\udeb\\z\\system\\apps\\Demo\\Data\\level.txt</file><size>5</size>"),
            std::string::npos);
  EXPECT_NE(Data().find("1 2 3"), std::string::npos);
  // Without the demo, the package has no demo files.
  ASSERT_EQ(Generate(false), 0);
  EXPECT_EQ(List().find("Demo"), std::string::npos);
}

TEST_F(SdkGenerator, LibrariesAlsoGoUnderTheNameProgramsRecord) {
  // The engine under a versioned name, which programs linked against it record.
  fs::copy_file(iIn / "engine", iIn / "libZolvane.so.7");
  ASSERT_EQ(Generate(true, (iIn / "libZolvane.so.7").string()), 0) << ReadHostFile(iRoot / "log");
  const std::string list = List();
  const std::vector<std::string> files = Elements(Elements(list, "package").at(1), "file");
  const std::vector<std::string> names(files.begin() + 3, files.begin() + 8);
  EXPECT_EQ(names, (std::vector<std::string>{"Epoc32\\Release\\wins\\udeb\\Zolvane.dll",
                                             "Epoc32\\Release\\wins\\udeb\\Zolvane.lib",
                                             "Epoc32\\Release\\wins\\udeb\\libZolvane.so",
                                             "Epoc32\\Release\\wins\\udeb\\libZolvane.so.7",
                                             "Epoc32\\Release\\wins\\udeb\\libzsymbian.so"}))
      << list;
  // A recorded name that is one of the usual ones is listed once.
  fs::copy_file(iIn / "engine", iIn / "libZolvane.so");
  ASSERT_EQ(Generate(true, (iIn / "libZolvane.so").string()), 0) << ReadHostFile(iRoot / "log");
  const std::string again = List();
  const std::string entry = "<file>Epoc32\\Release\\wins\\udeb\\libZolvane.so</file>";
  ASSERT_NE(again.find(entry), std::string::npos);
  EXPECT_EQ(again.find(entry), again.rfind(entry));
}

TEST_F(SdkGenerator, RefusesNamesTheInstallationFileCannotCarry) {
  ASSERT_EQ(Generate(), 0) << ReadHostFile(iRoot / "log");
  const std::string before = List();
  for (const char* bad : {"a<b.txt", "x>y", "c:d", "caf\xc3\xa9.txt"}) {
    const fs::path file = iIn / "Demo" / bad;
    WriteHostFile(file, "x");
    EXPECT_NE(Generate(), 0) << bad;
    EXPECT_NE(ReadHostFile(iRoot / "log").find("cannot ship a file named"), std::string::npos) << bad;
    // The last good installation stays as it was.
    EXPECT_EQ(List(), before) << bad;
    fs::remove(file);
  }
}

}  // namespace
