#include <string>
#include <vector>

#include "InstallerFixture.h"

namespace installer_test {
namespace {

using zolv::install::InstallEngine;
using zwin::ScriptedUserInterface;
using Strings = std::vector<std::string>;

Strings Titles(const ScriptedUserInterface& aUi) {
  Strings out;
  for (const auto& r : aUi.Records()) out.push_back(r.title);
  return out;
}

class Uninstall : public InstallerTest {
 protected:
  void InstallStandard() {
    WriteInstallation(Standard());
    ScriptedUserInterface ui({"Yes", "Yes", "OK"});
    InstallEngine engine(ui);
    Targets(engine);
    ASSERT_TRUE(engine.Install("install.lst"));
  }
};

TEST_F(Uninstall, RemovalRestoresTheTreeAndClearsTheRecord) {
  const auto before = Tree(true);
  InstallStandard();
  ScriptedUserInterface ui({"Yes", "OK"});
  InstallEngine engine(ui);
  EXPECT_TRUE(engine.Remove("install.lst"));
  ASSERT_EQ(ui.Records().size(), 2u);
  EXPECT_EQ(ui.Records()[0].title, "Confirm");
  EXPECT_EQ(ui.Records()[0].text, "Are you sure you want to remove Kestrelon's ZolvSDK version 1.0?");
  EXPECT_EQ(ui.Records()[1].title, "Notice");
  EXPECT_EQ(ui.Records()[1].text, "Kestrelon's ZolvSDK version 1.0 successfully removed!");
  EXPECT_EQ(Tree(true), before);  // created folders, shortcuts and list gone; keep.txt stays
  EXPECT_TRUE(ProductValuesGone({"Tools", "Sdk"}));
  // The key itself stays.
  zwin::HKEY key = 0;
  EXPECT_EQ(zwin::RegOpenKeyEx(zwin::HKEY_LOCAL_MACHINE, kKey, 0, zwin::KEY_READ, &key), 0);
  zwin::RegCloseKey(key);
}

TEST_F(Uninstall, NothingInstalledNoListWrongVersionAndNoHeader) {
  ScriptedUserInterface ui({"OK", "OK", "Yes", "OK"});
  InstallEngine engine(ui);
  EXPECT_FALSE(engine.Remove("install.lst"));
  WriteInstallation(Standard());
  EXPECT_FALSE(engine.Remove("install.lst"));
  InstallStandard();
  // The list says 1.0; the registry now says 1.1.
  zolv::install::RegWriteString(kKey, "Version", "1.1");
  const auto installed = Tree(true);
  EXPECT_FALSE(engine.Remove("install.lst"));
  EXPECT_EQ(Titles(ui), (Strings{"Error", "Notice", "Confirm", "Error"}));
  EXPECT_EQ(ui.Records()[0].text, "Uninstall file not found!");
  EXPECT_EQ(ui.Records()[1].text, "No version of Kestrelon's ZolvSDK is currently installed.");
  EXPECT_EQ(ui.Records()[3].text, "Invalid uninstall file!");
  EXPECT_EQ(Tree(true), installed);
  EXPECT_EQ(Reg("Version"), "1.1");

  // Without a header nothing is done and nothing shown; No to the question stops too.
  WriteHostFile(iRoot / "work" / "install.lst", kSdkPackage);
  ScriptedUserInterface quiet;
  InstallEngine engine2(quiet);
  EXPECT_FALSE(engine2.Remove("install.lst"));
  EXPECT_TRUE(quiet.Records().empty());
  WriteInstallation(Standard("1.1"));
  ScriptedUserInterface no({"No"});
  InstallEngine engine3(no);
  EXPECT_FALSE(engine3.Remove("install.lst"));
  EXPECT_EQ(Tree(true), installed);
}

TEST_F(Uninstall, FileDeletedByHandIsReportedAndIgnored) {
  InstallStandard();
  fs::remove(DriveC() / "Kestrelon/ZolvaneSDK/Nokia9200/doc/readme.txt");
  ScriptedUserInterface ui({"Yes", "Ignore", "OK"});
  InstallEngine engine(ui);
  EXPECT_TRUE(engine.Remove("install.lst"));
  EXPECT_EQ(ui.Records()[1].title, "Error deleting files");
  EXPECT_EQ(ui.Records()[1].text,
            "The system cannot find the file specified.\r\n\n"
            "C:\\Kestrelon\\ZolvaneSDK\\Nokia9200\\doc\\readme.txt");
  EXPECT_EQ(ui.Records()[1].type & zwin::MB_TYPEMASK, zwin::MB_ABORTRETRYIGNORE);
  EXPECT_FALSE(fs::exists(DriveC() / "Kestrelon"));
  EXPECT_TRUE(ProductValuesGone({"Tools", "Sdk"}));
}

TEST_F(Uninstall, AbortInTheFirstPackageContinuesWithTheSecondAndResumesLater) {
  InstallStandard();
  fs::remove(DriveC() / "Kestrelon/ZolvaneSDK/Nokia9200/bin/tool.exe");
  ScriptedUserInterface ui({"Yes", "Abort"});
  InstallEngine engine(ui);
  EXPECT_FALSE(engine.Remove("install.lst"));
  EXPECT_EQ(Titles(ui), (Strings{"Confirm", "Error deleting files"}));
  EXPECT_EQ(Reg("ToolsPath"), kTarget0);
  EXPECT_FALSE(HasReg("SdkPath"));
  EXPECT_EQ(Reg("Version"), "1.0");
  EXPECT_EQ(Reg("Uninstall"), kListPath);
  EXPECT_FALSE(fs::exists(DriveC() / "Symbian" / "Epoc32"));
  EXPECT_TRUE(fs::exists(DriveC() / "Symbian" / "keep.txt"));
  const std::string list = List();
  EXPECT_NE(list.find("<--file-->Epoc32\\Include\\Zolvane.h<--/file-->"), std::string::npos);
  EXPECT_NE(list.find("<file>bin\\tool.exe</file>"), std::string::npos);
  EXPECT_NE(list.find("<file>doc\\readme.txt</file>"), std::string::npos);

  // The next removal continues where this one stopped.
  ScriptedUserInterface again({"Yes", "Ignore", "OK"});
  InstallEngine engine2(again);
  EXPECT_TRUE(engine2.Remove("install.lst"));
  EXPECT_EQ(Titles(again), (Strings{"Confirm", "Error deleting files", "Notice"}));
  EXPECT_FALSE(fs::exists(DriveC() / "Kestrelon"));
  EXPECT_FALSE(fs::exists(DriveC() / "users/tester/Start Menu/Programs/Zolvane SDK"));
  EXPECT_TRUE(ProductValuesGone({"Tools", "Sdk"}));
  EXPECT_FALSE(ListExists());
}

TEST_F(Uninstall, ShortcutRemovalFailures) {
  InstallStandard();
  fs::remove(DriveC() / "users/tester/Start Menu/Programs/Zolvane SDK/Web site.lnk");
  fs::remove(DriveC() / "users/tester/Start Menu/Programs/Zolvane SDK/Tool.lnk");
  // A file link: Ignore marks it; a web link: OK only, stays live, the removal fails.
  ScriptedUserInterface ui({"Yes", "Ignore", "OK"});
  InstallEngine engine(ui);
  EXPECT_FALSE(engine.Remove("install.lst"));
  EXPECT_EQ(Titles(ui), (Strings{"Confirm", "Error removing shortcuts", "Error removing shortcuts"}));
  EXPECT_EQ(ui.Records()[1].text, "Failed to remove shortcut \"Tool\"");
  EXPECT_EQ(ui.Records()[1].type & zwin::MB_TYPEMASK, zwin::MB_ABORTRETRYIGNORE);
  EXPECT_EQ(ui.Records()[2].text, "Failed to remove shortcut \"Web site\"");
  EXPECT_EQ(ui.Records()[2].type & zwin::MB_TYPEMASK, zwin::MB_OK);
  const std::string list = List();
  EXPECT_NE(list.find("<--linkfile-->bin\\tool.exe<--/linkfile-->"), std::string::npos);
  EXPECT_NE(list.find("<linkwww>http://zolvane.invalid/</linkwww><linkname>Web site</linkname>"),
            std::string::npos);
  EXPECT_EQ(Reg("Version"), "1.0");
  EXPECT_TRUE(HasReg("ToolsPath"));
  EXPECT_FALSE(HasReg("SdkPath"));
  EXPECT_FALSE(fs::exists(DriveC() / "Kestrelon/ZolvaneSDK/Nokia9200/bin"));
}

TEST_F(Uninstall, TwoLinksInOneFolderAndPackagesWithoutAnyContent) {
  WriteInstallation(Header() +
                    "<package><name>L</name>"
                    "<linkwww>a</linkwww><linkname>A</linkname><linkfolder>F</linkfolder>"
                    "<linkdescription>-</linkdescription>"
                    "<linkwww>b</linkwww><linkname>B</linkname><linkfolder>F</linkfolder>"
                    "<linkdescription>-</linkdescription></package>");
  {
    ScriptedUserInterface ui({"Yes", "Yes", "OK"});
    InstallEngine engine(ui);
    engine.SetTargetDirectory("C:\\T\\", 0);
    ASSERT_TRUE(engine.Install("install.lst"));
  }
  ScriptedUserInterface ui;
  InstallEngine engine(ui);
  std::string pkg = zolv::install::Element("package", List());
  const fs::path folder = DriveC() / "users/tester/Start Menu/Programs/F";
  // Removing the first link leaves the folder, which still holds the second.
  std::string first = pkg;
  zolv::install::MarkSkipped(first, "linkwww", "b");
  EXPECT_TRUE(engine.RemovePackageShortcuts(first));
  EXPECT_EQ(first.find("<linkwww>a</linkwww>"), std::string::npos);
  EXPECT_NE(first.find("<--linkname-->A<--/linkname-->"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder / "A.lnk"));
  EXPECT_TRUE(fs::exists(folder / "B.lnk"));
  // Removing the second removes the folder too.
  std::string second = pkg;
  zolv::install::MarkSkipped(second, "linkwww", "a");
  EXPECT_TRUE(engine.RemovePackageShortcuts(second));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(ui.Records().empty());
}

TEST_F(Uninstall, ListWithoutPackagesAndRelativeDirectories) {
  WriteInstallation(Header());
  {
    ScriptedUserInterface ui({"OK"});
    InstallEngine engine(ui);
    ASSERT_TRUE(engine.Install("install.lst"));
  }
  EXPECT_TRUE(ListExists());
  ScriptedUserInterface ui({"Yes", "OK"});
  InstallEngine engine(ui);
  EXPECT_TRUE(engine.Remove("install.lst"));
  EXPECT_FALSE(ListExists());
  EXPECT_TRUE(ProductValuesGone({}));

  fs::create_directories(DriveC() / "base" / "a" / "b");
  fs::create_directories(DriveC() / "base" / "x" / "y");
  WriteHostFile(DriveC() / "base" / "x" / "other.txt", "o");
  EXPECT_TRUE(InstallEngine::RemoveRelativeDirectories("C:\\base\\", "a\\b\\file.txt"));
  EXPECT_FALSE(fs::exists(DriveC() / "base" / "a"));
  EXPECT_FALSE(InstallEngine::RemoveRelativeDirectories("C:\\base\\", "x\\y\\file.txt"));
  EXPECT_FALSE(fs::exists(DriveC() / "base" / "x" / "y"));
  EXPECT_TRUE(fs::exists(DriveC() / "base" / "x"));
  EXPECT_TRUE(InstallEngine::RemoveRelativeDirectories("C:\\base\\", "file.txt"));
  EXPECT_TRUE(fs::exists(DriveC() / "base"));
}

TEST_F(Uninstall, ExistingTargetDirectoryStaysButItsEmptiedSubdirectoriesGo) {
  WriteInstallation(Header() + kSdkPackage);
  {
    ScriptedUserInterface ui({"OK"});
    InstallEngine engine(ui);
    engine.SetTargetDirectory(kTarget1, 0);
    ASSERT_TRUE(engine.Install("install.lst"));
  }
  EXPECT_EQ(Reg("SdkCreatedPath"), "");
  ScriptedUserInterface ui({"Yes", "OK"});
  InstallEngine engine(ui);
  EXPECT_TRUE(engine.Remove("install.lst"));
  EXPECT_TRUE(fs::exists(DriveC() / "Symbian" / "keep.txt"));
  EXPECT_FALSE(fs::exists(DriveC() / "Symbian" / "Epoc32"));
}

}  // namespace
}  // namespace installer_test
