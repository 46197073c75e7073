// Hostile installation lists: whatever they hold, nothing is written or deleted
// outside the target directories, the Windows directory and the Start menu, and
// nothing crashes.
#include <random>
#include <string>
#include <vector>

#include "InstallerFixture.h"

namespace installer_test {
namespace {

using zolv::install::InstallEngine;

struct Hostile {
  const char* what;
  std::string text;
};

std::string Pkg(const std::string& aBody, const std::string& aName = "P") {
  return "<package><name>" + aName + "</name>" + aBody + "</package>";
}
std::string File(const std::string& aPath, const std::string& aSize = "3") {
  return "<file>" + aPath + "</file><size>" + aSize + "</size>";
}
std::string Link(const std::string& aKind, const std::string& aTarget, const std::string& aName,
                 const std::string& aFolder) {
  return "<" + aKind + ">" + aTarget + "</" + aKind + "><linkname>" + aName + "</linkname><linkfolder>" +
         aFolder + "</linkfolder><linkdescription>d</linkdescription>";
}

class HostileLists : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    fs::create_directories(iRoot / "drive_d");
    fs::create_directory_symlink(iRoot / "drive_d", iPrefix / "dosdevices" / "d:");
  }

  // Every file and folder under the test's root except the registry hives.
  std::map<std::string, std::string> Everything() const {
    std::map<std::string, std::string> all;
    for (auto it = fs::recursive_directory_iterator(iRoot); it != fs::recursive_directory_iterator(); ++it) {
      const fs::path& p = it->path();
      if (p.extension() == ".reg" || p.extension() == ".new") continue;
      if (it->is_symlink()) {
        it.disable_recursion_pending();
        continue;
      }
      all[fs::relative(p, iRoot).string()] = it->is_directory() ? "<dir>" : ReadHostFile(p);
    }
    return all;
  }
  static bool Allowed(const std::string& aPath) {
    for (const char* place : {"prefix/drive_c/T0", "prefix/drive_c/T1", "prefix/drive_c/windows",
                              "prefix/drive_c/users/tester/Start Menu/Programs/"}) {
      if (aPath.rfind(place, 0) == 0) return true;
    }
    return false;
  }
  void ExpectOnlyAllowedChanges(const std::map<std::string, std::string>& aBefore,
                                const std::map<std::string, std::string>& aAfter, const char* aWhat) {
    for (const auto& [path, bytes] : aAfter) {
      auto it = aBefore.find(path);
      if (it == aBefore.end() || it->second != bytes) {
        EXPECT_TRUE(Allowed(path)) << aWhat << ": written outside the targets: " << path;
      }
    }
    for (const auto& [path, bytes] : aBefore) {
      if (!aAfter.count(path)) {
        EXPECT_TRUE(Allowed(path)) << aWhat << ": deleted outside: " << path;
      }
    }
  }
};

TEST_F(HostileLists, WriteNothingOutsideTheirTargets) {
  const std::string h = Header();
  const std::string zPath = "Z:" + zwin::ToWindowsPath(iRoot / "escape.txt").substr(2);
  std::mt19937 random(12345);
  std::string binary;
  for (int i = 0; i < 4000; ++i) binary += static_cast<char>(random() & 0xFF);
  std::string binaryTags = h;
  for (int i = 0; i < 300; ++i) {
    const char* pieces[] = {"<package>", "</package>", "<file>", "</file>", "<size>", "</size>",
                            "<name>", "</name>", "..\\", "<--file-->", "<--/file-->", "\\", "C:", "\0"};
    binaryTags += std::string(pieces[random() % 14]);
    binaryTags += static_cast<char>(random() & 0xFF);
  }

  const std::vector<Hostile> cases = {
      {"parent climb", h + Pkg(File("..\\..\\escape.txt"))},
      {"climb inside a path", h + Pkg(File("sub\\..\\..\\escape.txt"))},
      {"forward slashes climbing", h + Pkg(File("a/../../escape.txt"))},
      {"absolute drive path", h + Pkg(File("C:\\escape.txt"))},
      {"drive-relative path", h + Pkg(File("c:escape.txt"))},
      {"other drive", h + Pkg(File("D:\\escape.txt"))},
      {"host root drive", h + Pkg(File(zPath))},
      {"root of the current drive", h + Pkg(File("\\escape.txt"))},
      {"slash root", h + Pkg(File("/escape.txt"))},
      {"network path", h + Pkg(File("\\\\server\\share\\escape.txt"))},
      {"three dots", h + Pkg(File("...\\escape.txt"))},
      {"dots and blanks", h + Pkg(File(".. \\escape.txt"))},
      {"negative size", h + Pkg(File("neg.txt", "-5") + File("after.txt", "2"))},
      {"huge size", h + Pkg(File("huge.txt", "99999999999999999999") + File("after.txt", "2"))},
      {"size past 32 bits", h + Pkg(File("wrap.txt", "4294967296") + File("after.txt", "2"))},
      {"missing package end", h + "<package><name>P</name>" + File("x.txt")},
      {"missing file end", h + Pkg("<file>x.txt<size>3</size>")},
      {"missing header end", "<header><company>Kestrelon</company><product>ZolvSDK</product>"
                             "<version>1</version><datafile>data.bin</datafile>" + Pkg(File("x.txt"))},
      {"overlapping tags", h + Pkg("<file><file>a</file></file><size>1</size><size>2</size>")},
      {"invalid name characters", h + Pkg(File("a<b>?|.txt") + File("ok.txt"))},
      {"over-long path", h + Pkg(File(std::string(300, 'x')))},
      {"link folder climbing", h + Pkg(Link("linkfile", "x", "N", "..") + Link("linkwww", "w", "M", ".."))},
      {"link name climbing", h + Pkg(Link("linkfile", "x", "..\\..\\..\\evil", "F") +
                                     Link("linkwww", "w", "..\\evil", "F"))},
      {"link folder absolute", h + Pkg(Link("linkwww", "w", "N", "C:") + Link("linkwww", "w", "N", "/x"))},
      {"company climbing out of the Windows directory",
       "<header><company>..\\..\\x</company><product>p</product><version>1</version>"
       "<datafile>data.bin</datafile></header>" + Pkg(File("x.txt"))},
      {"more packages than targets", h + Pkg(File("a.txt")) + Pkg(File("b.txt"), "Q") +
                                         Pkg(File("escape.txt"), "R")},
      {"zero bytes in the list", h + Pkg(std::string("<file>z\0..\\..\\e</file><size>1</size>", 34))},
      {"binary data", binary},
      {"binary data with tags", binaryTags},
      {"empty entries", h + Pkg("<file></file><size>3</size><file> </file><size>1</size>" + File("x"))},
  };
  std::string data;
  for (int i = 0; i < 10; ++i) data += "0123456789";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteInstallation(c.text, data);
    const auto before = Everything();
    FunctionUserInterface ui(AgreeAndIgnore);
    InstallEngine engine(ui);
    engine.SetTargetDirectory("C:\\T0\\", 0);
    engine.SetTargetDirectory("C:\\T1\\", 1);
    engine.Install("install.lst");
    const auto installed = Everything();
    ExpectOnlyAllowedChanges(before, installed, c.what);
    engine.Remove("install.lst");
    ExpectOnlyAllowedChanges(installed, Everything(), c.what);
    // Clean up for the next case.
    std::error_code ec;
    for (const char* d : {"T0", "T1"}) fs::remove_all(DriveC() / d, ec);
    fs::remove_all(DriveC() / "users/tester/Start Menu/Programs", ec);
    fs::create_directories(DriveC() / "users/tester/Start Menu/Programs");
    zolv::install::RegDeleteString(kKey, "Version");
    zolv::install::RegDeleteString("SOFTWARE\\..\\..\\x\\p", "Version");
  }
}

TEST_F(HostileLists, UnsafeEntriesAreReportedAndMarked) {
  WriteInstallation(Header() + Pkg(File("..\\up.txt", "2") + File("neg.txt", "-1") + File("ok.txt", "2")),
                    "aabb");
  zwin::ScriptedUserInterface ui({"OK", "OK", "OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory("C:\\T0\\", 0);
  EXPECT_TRUE(engine.Install("install.lst"));
  ASSERT_EQ(ui.Records().size(), 3u);
  EXPECT_EQ(ui.Records()[0].title, "Error copying file");
  EXPECT_EQ(ui.Records()[0].text,
            "The filename, directory name, or volume label syntax is incorrect.\r\n\nC:\\T0\\..\\up.txt");
  EXPECT_EQ(ui.Records()[1].text,
            "An attempt was made to move the file pointer before the beginning of the file.\r\n\n"
            "C:\\T0\\neg.txt");
  // The unsafe entry still owns its bytes; the negative one owns none.
  EXPECT_EQ(ReadHostFile(DriveC() / "T0" / "ok.txt"), "bb");
  EXPECT_FALSE(fs::exists(DriveC() / "up.txt"));
  EXPECT_EQ(List(), Header() + Pkg("<--file-->..\\up.txt<--/file--><size>2</size>"
                                   "<--file-->neg.txt<--/file--><size>-1</size>" + File("ok.txt", "2")));
}

}  // namespace
}  // namespace installer_test
