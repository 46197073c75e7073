#include <string>
#include <vector>

#include "FailingAllocation.h"
#include "InstallerFixture.h"

namespace installer_test {
namespace {

using zolv::install::CopyResult;
using zolv::install::InstallEngine;
using zwin::ScriptedUserInterface;

using Strings = std::vector<std::string>;

Strings Titles(const ScriptedUserInterface& aUi) {
  Strings out;
  for (const auto& r : aUi.Records()) out.push_back(r.title);
  return out;
}

class Install : public InstallerTest {};

TEST_F(Install, FullInstallationRecordsEverythingAndCreatesShortcuts) {
  WriteInstallation(Standard());
  ScriptedUserInterface ui({"Yes", "Yes", "OK"});
  InstallEngine engine(ui);
  EXPECT_EQ(engine.ProgramsFolder(), kPrograms);
  Targets(engine);
  EXPECT_TRUE(engine.Install("install.lst"));

  ASSERT_EQ(ui.Records().size(), 3u);
  EXPECT_EQ(ui.Records()[0].title, "Confirm");
  EXPECT_EQ(ui.Records()[0].text, "Add shortcut to \"Tool\" to Start menu?");
  EXPECT_EQ(ui.Records()[0].type & zwin::MB_TYPEMASK, zwin::MB_YESNO);
  EXPECT_EQ(ui.Records()[1].text, "Add shortcut to \"Web site\" to Start menu?");
  EXPECT_EQ(ui.Records()[2].title, "Notice");
  EXPECT_EQ(ui.Records()[2].text, "Version 1.0 of Kestrelon's ZolvSDK successfully installed.");

  const fs::path t0 = DriveC() / "Kestrelon" / "ZolvaneSDK" / "Nokia9200";
  EXPECT_EQ(ReadHostFile(t0 / "bin" / "tool.exe"), "AAA");
  EXPECT_EQ(ReadHostFile(t0 / "doc" / "readme.txt"), "BBBB");
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian" / "Epoc32" / "Include" / "Zolvane.h"), "hh");
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian" / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.dll"),
            "DDDDD");

  EXPECT_EQ(Reg("Version"), "1.0");
  EXPECT_EQ(Reg("Uninstall"), kListPath);
  EXPECT_EQ(Reg("ToolsPath"), kTarget0);
  EXPECT_EQ(Reg("ToolsCreatedPath"), "Kestrelon\\ZolvaneSDK\\Nokia9200\\");
  EXPECT_EQ(Reg("SdkPath"), kTarget1);
  EXPECT_TRUE(HasReg("SdkCreatedPath"));
  EXPECT_EQ(Reg("SdkCreatedPath"), "");
  // Nothing was declined: the list is the installation text unchanged.
  EXPECT_EQ(List(), Standard());

  std::string target, description;
  ASSERT_EQ(zwin::ReadShellLink(std::string(kPrograms) + "Zolvane SDK\\Tool.lnk", target, description),
            zwin::S_OK);
  EXPECT_EQ(target, std::string(kTarget0) + "bin\\tool.exe");
  EXPECT_EQ(description, "The tool");
  ASSERT_EQ(zwin::ReadShellLink(std::string(kPrograms) + "Zolvane SDK\\Web site.lnk", target,
                                description),
            zwin::S_OK);
  EXPECT_EQ(target, "http://zolvane.invalid/");
  EXPECT_EQ(description, "Home page");
  // A real shell link: header size and class identifier of the format.
  const std::string lnk = ReadHostFile(DriveC() / "users/tester/Start Menu/Programs/Zolvane SDK/Tool.lnk");
  ASSERT_GT(lnk.size(), 76u);
  EXPECT_EQ(lnk.substr(0, 8), std::string("\x4c\0\0\0\x01\x14\x02\0", 8));
}

TEST_F(Install, IgnoreOnTheSecondOfThreeFilesKeepsTheThirdRange) {
  WriteInstallation(Header() +
                    "<package><name>P</name><file>one</file><size>2</size><file>two</file>"
                    "<size>3</size><file>three</file><size>4</size></package>",
                    "112223333");
  // A folder where the second file should go: the file cannot be created.
  fs::create_directories(DriveC() / "T" / "two");
  ScriptedUserInterface ui({"Ignore", "OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory("C:\\T\\", 0);
  EXPECT_TRUE(engine.Install("install.lst"));
  ASSERT_EQ(ui.Records().size(), 2u);
  EXPECT_EQ(ui.Records()[0].title, "Error copying file");
  EXPECT_EQ(ui.Records()[0].text, "Access is denied.\r\n\nC:\\T\\two");
  EXPECT_EQ(ui.Records()[0].type & zwin::MB_TYPEMASK, zwin::MB_ABORTRETRYIGNORE);
  EXPECT_EQ(ReadHostFile(DriveC() / "T" / "one"), "11");
  EXPECT_EQ(ReadHostFile(DriveC() / "T" / "three"), "3333");
  EXPECT_EQ(List(), Header() +
                        "<package><name>P</name><file>one</file><size>2</size><--file-->two<--/file-->"
                        "<size>3</size><file>three</file><size>4</size></package>");
}

TEST_F(Install, RetryRepeatsTheCopy) {
  WriteInstallation(Header() + "<package><name>P</name><file>f</file><size>3</size></package>", "xyz");
  fs::create_directories(DriveC() / "T" / "f");
  int asked = 0;
  FunctionUserInterface ui([&](const std::string& aTitle, const std::string&, zwin::UINT) {
    if (aTitle == "Error copying file") {
      if (++asked == 2) fs::remove(DriveC() / "T" / "f");
      return zwin::IDRETRY;
    }
    return zwin::IDOK;
  });
  InstallEngine engine(ui);
  engine.SetTargetDirectory("C:\\T\\", 0);
  EXPECT_TRUE(engine.Install("install.lst"));
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ReadHostFile(DriveC() / "T" / "f"), "xyz");
  EXPECT_EQ(ui.titles.back(), "Notice");
}

TEST_F(Install, AbortInTheFirstOfTwoPackagesMarksItsRestAndKeepsLaterOffsets) {
  WriteInstallation(Standard());
  ScriptedUserInterface ui({"Abort"});
  InstallEngine engine(ui);
  Targets(engine);
  zwin::FailNthWrite(2);  // the uninstall list is the first write, the first file the second
  EXPECT_FALSE(engine.Install("install.lst"));
  zwin::FailNthWrite(0);
  // No shortcut questions and no success message after the abort.
  EXPECT_EQ(Titles(ui), Strings{"Confirm"});
  EXPECT_EQ(ui.Records()[0].text,
            "There is not enough space on the disk.\r\n\nC:\\Kestrelon\\ZolvaneSDK\\Nokia9200\\bin\\tool.exe");
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian" / "Epoc32" / "Include" / "Zolvane.h"), "hh");
  EXPECT_FALSE(fs::exists(DriveC() / "Kestrelon/ZolvaneSDK/Nokia9200/doc"));
  const std::string list = List();
  for (const char* marked : {"<--file-->bin\\tool.exe<--/file-->", "<--file-->doc\\readme.txt<--/file-->",
                             "<--linkfile-->bin\\tool.exe<--/linkfile-->",
                             "<--linkwww-->http://zolvane.invalid/<--/linkwww-->",
                             "<--linkname-->Tool<--/linkname-->", "<--linkname-->Web site<--/linkname-->"}) {
    EXPECT_NE(list.find(marked), std::string::npos) << marked;
  }
  EXPECT_NE(list.find(kSdkPackage), std::string::npos);
  EXPECT_EQ(Reg("Version"), "1.0");
  ExpectListMatchesDisk(kData, {kTarget0, kTarget1});
}

TEST_F(Install, NoToAlreadyExistsKeepsTheFileOutOfTheRemoval) {
  WriteInstallation(Header() + kSdkPackage);
  WriteHostFile(DriveC() / "Symbian/Epoc32/Include/Zolvane.h", "old header");
  ScriptedUserInterface ui({"No", "OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory(kTarget1, 0);
  EXPECT_TRUE(engine.Install("install.lst"));
  EXPECT_EQ(ui.Records()[0].title, "Confirm");
  EXPECT_EQ(ui.Records()[0].text,
            "File \"C:\\Symbian\\Epoc32\\Include\\Zolvane.h\" already exists. Replace it with a new one?");
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian/Epoc32/Include/Zolvane.h"), "old header");
  // The second file still gets its own range.
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian/Epoc32/Release/wins/udeb/Zolvane.dll"), "ABBBB");
  // The kept file is not the installation's: its entry is marked, as an ignored one is.
  EXPECT_EQ(List(), Header() +
                        "<package>\n<name>Sdk</name>\n"
                        "<--file-->Epoc32\\Include\\Zolvane.h<--/file--><size>2</size>\n"
                        "<file>Epoc32\\Release\\wins\\udeb\\Zolvane.dll</file><size>5</size>\n"
                        "</package>\n");

  // Replacing the version removes what the installation wrote and asks again about the
  // file it left alone; Yes replaces it this time.
  ScriptedUserInterface again({"Yes", "Yes", "OK"});
  InstallEngine engine2(again);
  engine2.SetTargetDirectory(kTarget1, 0);
  EXPECT_TRUE(engine2.Install("install.lst"));
  EXPECT_EQ(again.Records()[0].text,
            "Version 1.0 of Kestrelon's ZolvSDK\nis already installed. Replace it with version 1.0?");
  EXPECT_EQ(again.Records()[1].title, "Confirm");
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian/Epoc32/Include/Zolvane.h"), "AA");
  EXPECT_EQ(List(), Header() + kSdkPackage);
}

TEST_F(Install, RemovalLeavesAFileTheUserKept) {
  WriteInstallation(Header() + kSdkPackage);
  WriteHostFile(DriveC() / "Symbian/Epoc32/Include/Zolvane.h", "the user's own header");
  ScriptedUserInterface ui({"No", "OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory(kTarget1, 0);
  ASSERT_TRUE(engine.Install("install.lst"));
  ScriptedUserInterface removal({"Yes", "OK"});
  InstallEngine remover(removal);
  EXPECT_TRUE(remover.Remove("install.lst"));
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian/Epoc32/Include/Zolvane.h"), "the user's own header");
  EXPECT_FALSE(fs::exists(DriveC() / "Symbian/Epoc32/Release/wins/udeb/Zolvane.dll"));
}

TEST_F(Install, PackageOrderNotNameSelectsTheTargetDirectory) {
  WriteInstallation(Header() + kSdkPackage + kToolsPackage, "hhDDDDDAAABBBB");
  ScriptedUserInterface ui({"No", "No", "OK"});
  InstallEngine engine(ui);
  Targets(engine);
  EXPECT_TRUE(engine.Install("install.lst"));
  EXPECT_EQ(Reg("SdkPath"), kTarget0);
  EXPECT_EQ(Reg("ToolsPath"), kTarget1);
  EXPECT_EQ(ReadHostFile(DriveC() / "Kestrelon/ZolvaneSDK/Nokia9200/Epoc32/Include/Zolvane.h"), "hh");
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian/bin/tool.exe"), "AAA");
}

TEST_F(Install, ShortcutsDeclinedUnusableAndWithoutProgramsFolder) {
  const std::string pkg =
      "<package><name>P</name><file>a.exe</file><size>1</size>"
      "<linkfile>a.exe</linkfile><linkname>First</linkname><linkfolder>F1</linkfolder>"
      "<linkdescription>D1</linkdescription>"
      "<linkfile>b.exe</linkfile><linkname>Second</linkname><linkfolder>F2</linkfolder>"
      "<linkdescription>D2</linkdescription>"
      "<linkwww>www.x</linkwww><linkname>Third</linkname><linkfolder>Two\\Levels</linkfolder>"
      "<linkdescription>D3</linkdescription>"
      "<linkwww>www.y</linkwww><linkname>Fourth</linkname><linkfolder>F2</linkfolder>"
      "<linkdescription>D4</linkdescription></package>";
  WriteInstallation(Header() + pkg, "a");
  ScriptedUserInterface ui({"No", "Yes", "Yes", "OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory("C:\\T\\", 0);
  EXPECT_TRUE(engine.Install("install.lst"));
  ASSERT_EQ(ui.Records().size(), 4u);
  EXPECT_EQ(ui.Records()[0].text, "Add shortcut to \"First\" to Start menu?");
  EXPECT_EQ(ui.Records()[1].text, "Add shortcut to \"Second\" to Start menu?");
  // The two-level folder is passed over without a question.
  EXPECT_EQ(ui.Records()[2].text, "Add shortcut to \"Fourth\" to Start menu?");
  std::string target, description;
  ASSERT_EQ(zwin::ReadShellLink(std::string(kPrograms) + "F2\\Second.lnk", target, description), 0);
  EXPECT_EQ(target, "C:\\T\\b.exe");
  EXPECT_EQ(description, "D2");
  ASSERT_EQ(zwin::ReadShellLink(std::string(kPrograms) + "F2\\Fourth.lnk", target, description), 0);
  EXPECT_EQ(target, "www.y");
  EXPECT_EQ(description, "D4");
  EXPECT_FALSE(fs::exists(DriveC() / "users/tester/Start Menu/Programs/F1"));
  const std::string list = List();
  EXPECT_NE(list.find("<--linkfile-->a.exe<--/linkfile--><--linkname-->First<--/linkname-->"),
            std::string::npos);
  EXPECT_NE(list.find("<linkwww>www.x</linkwww><linkname>Third</linkname>"), std::string::npos);

  // Without a Programs folder nothing is asked and every link stays live.
  zolv::install::RegDeleteString(kKey, "Version");
  ScriptedUserInterface quiet({"OK"});
  InstallEngine engine2(quiet);
  engine2.SetProgramsFolder("");
  engine2.SetTargetDirectory("C:\\U\\", 0);
  EXPECT_TRUE(engine2.Install("install.lst"));
  EXPECT_EQ(Titles(quiet), Strings{"Notice"});
  EXPECT_EQ(List(), Header() + pkg);
}

TEST_F(Install, ShortcutFolderThatCannotBeCreated) {
  WriteInstallation(Header() +
                    "<package><name>P</name><linkwww>http://a</linkwww><linkname>N</linkname>"
                    "<linkfolder>F</linkfolder><linkdescription>D</linkdescription></package>");
  ScriptedUserInterface ui({"Yes", "OK", "OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory("C:\\T\\", 0);
  engine.SetProgramsFolder("C:\\nowhere\\Programs\\");
  EXPECT_TRUE(engine.Install("install.lst"));
  ASSERT_EQ(ui.Records().size(), 3u);
  EXPECT_EQ(ui.Records()[1].title, "Error");
  EXPECT_EQ(ui.Records()[1].text, "Failed to create shortcut to \"http://a!\"");
  // Not created: marked, so that removal does not look for it.
  EXPECT_NE(List().find("<--linkwww-->http://a<--/linkwww--><--linkname-->N<--/linkname-->"),
            std::string::npos);
}

TEST_F(Install, ShortcutWhoseTextsRunOutOfMemoryIsReportedAndTheNextFollows) {
  // Each allocation after the Yes to the first shortcut fails in turn, until the first
  // shortcut is made before the failing one comes.
  const fs::path programs = DriveC() / "users/tester/Start Menu/Programs";
  const std::string failedText = "Failed to create shortcut to \"a.exe!\"";
  bool sweptAll = false;
  for (long nth = 1; nth <= 5000 && !sweptAll; ++nth) {
    SCOPED_TRACE("failing allocation " + std::to_string(nth));
    std::string package =
        "<package><name>P</name>"
        "<linkfile>a.exe</linkfile><linkname>First</linkname><linkfolder>F1</linkfolder>"
        "<linkdescription>D1</linkdescription>"
        "<linkwww>www.y</linkwww><linkname>Second</linkname><linkfolder>F2</linkfolder>"
        "<linkdescription>D2</linkdescription></package>";
    FunctionUserInterface ui([&](const std::string& aTitle, const std::string& aText, zwin::UINT aType) {
      if (aText == "Add shortcut to \"First\" to Start menu?") FailNthAllocation(nth);
      if (aText == failedText) FailNthAllocation(0);
      return AgreeAndIgnore(aTitle, aText, aType);
    });
    InstallEngine engine(ui);
    bool escaped = false;
    try {
      engine.CreatePackageShortcuts(package, "C:\\T\\");
    } catch (const std::bad_alloc&) {
      escaped = true;
    }
    FailNthAllocation(0);
    ASSERT_GE(ui.texts.size(), 1u);
    if (ui.texts.size() >= 2 && ui.texts[1] == failedText) {
      // Reported, nothing of the first shortcut left, removal will not look for it, and
      // the second shortcut follows.
      ASSERT_FALSE(escaped);
      EXPECT_EQ(ui.titles[1], "Error");
      EXPECT_FALSE(fs::exists(programs / "F1"));
      EXPECT_NE(package.find("<--linkfile-->a.exe<--/linkfile--><--linkname-->First<--/linkname-->"),
                std::string::npos);
      ASSERT_EQ(ui.texts.size(), 3u);
      EXPECT_EQ(ui.texts[2], "Add shortcut to \"Second\" to Start menu?");
      EXPECT_TRUE(fs::exists(programs / "F2" / "Second.lnk"));
    } else {
      // The failing allocation came after the first shortcut was complete (in looking
      // up the next entry, which the installation's own handler reports).
      sweptAll = true;
      std::string target, description;
      EXPECT_EQ(zwin::ReadShellLink(std::string(kPrograms) + "F1\\First.lnk", target, description), 0);
      EXPECT_EQ(target, "C:\\T\\a.exe");
      EXPECT_NE(package.find("<linkfile>a.exe</linkfile>"), std::string::npos);
    }
    fs::remove_all(programs / "F1");
    fs::remove_all(programs / "F2");
  }
  EXPECT_TRUE(sweptAll);
}

TEST_F(Install, HeaderAndFileProblemsStopBeforeAnyChange) {
  ScriptedUserInterface ui({"OK", "OK", "OK", "OK", "OK"});
  InstallEngine engine(ui);
  EXPECT_FALSE(engine.Install("install.lst"));
  WriteHostFile(iRoot / "work" / "install.lst", Header("1.0", "missing.bin"));
  EXPECT_FALSE(engine.Install("install.lst"));
  WriteInstallation("<header><company>Kestrelon</company><product>ZolvSDK</product>"
                    "<version>1</version><datafile>data.bin</datafile>");
  EXPECT_FALSE(engine.Install("install.lst"));
  WriteInstallation(Header("") + kSdkPackage);
  EXPECT_FALSE(engine.Install("install.lst"));
  WriteInstallation("<header><company>..\\..\\x</company><product>P</product><version>1</version>"
                    "<datafile>data.bin</datafile></header>");
  EXPECT_FALSE(engine.Install("install.lst"));
  EXPECT_EQ(Titles(ui), Strings(5, "Error"));
  EXPECT_EQ(ui.Records()[0].text, "Installation file not found!");
  EXPECT_EQ(ui.Records()[1].text, "Installation data file missing!");
  EXPECT_EQ(ui.Records()[2].text, "Invalid header in the installation file!");
  EXPECT_EQ(ui.Records()[3].text, "Invalid header in the installation file!");
  EXPECT_EQ(ui.Records()[4].text, "Invalid header in the installation file!");
  EXPECT_FALSE(HasReg("Version"));
  EXPECT_FALSE(ListExists());
}

TEST_F(Install, PackagesWithoutNameAreReportedAndTheRunContinues) {
  WriteInstallation(Header() + "<package><file>x</file><size>1</size></package>" +
                        "<package><name>B</name><file>y</file><size>1</size></package>",
                    "xy");
  ScriptedUserInterface ui({"OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory("C:\\A\\", 0);
  engine.SetTargetDirectory("C:\\B\\", 1);
  EXPECT_FALSE(engine.Install("install.lst"));
  EXPECT_EQ(Titles(ui), Strings{"Error"});
  EXPECT_EQ(ui.Records()[0].text, "Invalid package in the installation file!");
  EXPECT_EQ(Reg("Path"), "C:\\A\\");  // written before the package is found invalid
  EXPECT_FALSE(HasReg("CreatedPath"));
  EXPECT_FALSE(fs::exists(DriveC() / "A"));
  EXPECT_EQ(ReadHostFile(DriveC() / "B" / "y"), "y");
  EXPECT_EQ(Reg("Uninstall"), kListPath);
}

TEST_F(Install, PackagesBeyondTheTargetDirectoriesAreRefused) {
  WriteInstallation(Header() + "<package><name>A</name><file>a</file><size>1</size></package>" +
                        "<package><name>B</name><file>b</file><size>1</size></package>" +
                        "<package><name>C</name><file>c</file><size>1</size></package>",
                    "abc");
  ScriptedUserInterface ui({"OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory("C:\\A\\", 0);
  engine.SetTargetDirectory("C:\\B\\", 0);  // replaces entry 0
  engine.SetTargetDirectory("C:\\C\\", 5);  // appends as entry 1
  EXPECT_EQ(engine.TargetDirectory(0), "C:\\B\\");
  EXPECT_EQ(engine.TargetDirectory(1), "C:\\C\\");
  EXPECT_FALSE(engine.Install("install.lst"));
  EXPECT_EQ(Titles(ui), Strings{"Error"});
  EXPECT_EQ(ui.Records()[0].text, "Invalid package in the installation file!");
  EXPECT_EQ(ReadHostFile(DriveC() / "B" / "a"), "a");
  EXPECT_EQ(ReadHostFile(DriveC() / "C" / "b"), "b");
  EXPECT_FALSE(fs::exists(iRoot / "work" / "c"));
  EXPECT_FALSE(HasReg("CPath"));
}

TEST_F(Install, ShortDataFileIsAFileErrorNotAShortFile) {
  WriteInstallation(Header() + "<package><name>P</name><file>a</file><size>2</size>"
                               "<file>b</file><size>10</size><file>c</file><size>0</size>"
                               "<file>d</file></package>",
                    "aabbb");
  ScriptedUserInterface ui({"Ignore", "OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory("C:\\T\\", 0);
  EXPECT_TRUE(engine.Install("install.lst"));
  ASSERT_EQ(ui.Records().size(), 2u);
  EXPECT_EQ(ui.Records()[0].title, "Confirm");
  EXPECT_EQ(ui.Records()[0].text, "Reached the end of the file.\r\n\ndata.bin");
  EXPECT_EQ(ui.Records()[0].type & zwin::MB_TYPEMASK, zwin::MB_ABORTRETRYIGNORE);
  EXPECT_EQ(ReadHostFile(DriveC() / "T" / "a"), "aa");
  EXPECT_FALSE(fs::exists(DriveC() / "T" / "b"));
  // Zero and missing sizes give empty files.
  EXPECT_TRUE(fs::exists(DriveC() / "T" / "c"));
  EXPECT_EQ(fs::file_size(DriveC() / "T" / "c"), 0u);
  EXPECT_EQ(fs::file_size(DriveC() / "T" / "d"), 0u);
  EXPECT_NE(List().find("<--file-->b<--/file-->"), std::string::npos);
}

TEST_F(Install, CopyDataRangeSeeksAndCopiesAcrossChunks) {
  std::string data;
  for (int i = 0; i < 3000; ++i) data += static_cast<char>('a' + i % 26);
  WriteHostFile(iRoot / "work" / "big.bin", data);
  ScriptedUserInterface ui;
  InstallEngine engine(ui);
  EXPECT_EQ(engine.CopyDataRange("big.bin", "C:\\out\\deep\\f", 700, 1500), CopyResult::Finished);
  EXPECT_EQ(ReadHostFile(DriveC() / "out" / "deep" / "f"), data.substr(700, 1500));
  EXPECT_EQ(InstallEngine::CreateTargetDirectories("C:\\out\\x\\y\\"), "x\\y\\");
  EXPECT_EQ(InstallEngine::CreateTargetDirectories("C:\\out\\x\\y\\"), "");
  EXPECT_EQ(InstallEngine::CreateTargetDirectories("Q:\\x\\"), "");
}

TEST_F(Install, DeclinedReplacementAndReplacementOfAnInstalledVersion) {
  WriteInstallation(Standard());
  {
    ScriptedUserInterface ui({"Yes", "Yes", "OK"});
    InstallEngine engine(ui);
    Targets(engine);
    ASSERT_TRUE(engine.Install("install.lst"));
  }
  const auto installed = Tree(true);
  WriteInstallation(Standard("1.1"), "aaabbbbHHddddd");
  ScriptedUserInterface no({"No", "OK"});
  InstallEngine engine(no);
  Targets(engine);
  EXPECT_FALSE(engine.Install("install.lst"));
  EXPECT_EQ(no.Records()[1].title, "Notice");
  EXPECT_EQ(no.Records()[1].text, "Installation calcelled by the user.");
  EXPECT_EQ(Tree(true), installed);
  EXPECT_EQ(Reg("Version"), "1.0");

  ScriptedUserInterface yes({"Yes", "Yes", "No", "OK"});
  InstallEngine engine2(yes);
  Targets(engine2);
  EXPECT_TRUE(engine2.Install("install.lst"));
  EXPECT_EQ(yes.Records()[0].text,
            "Version 1.0 of Kestrelon's ZolvSDK\nis already installed. Replace it with version 1.1?");
  EXPECT_EQ(Reg("Version"), "1.1");
  EXPECT_EQ(ReadHostFile(DriveC() / "Symbian/Epoc32/Include/Zolvane.h"), "HH");
  // The old shortcuts went with the old version; the declined web link is not back.
  EXPECT_TRUE(fs::exists(DriveC() / "users/tester/Start Menu/Programs/Zolvane SDK/Tool.lnk"));
  EXPECT_FALSE(fs::exists(DriveC() / "users/tester/Start Menu/Programs/Zolvane SDK/Web site.lnk"));
  EXPECT_NE(List().find("<--linkwww-->"), std::string::npos);
  EXPECT_NE(List().find("<version>1.1</version>"), std::string::npos);
}

TEST_F(Install, ReplacingWithAMissingListReportsItAndInstallsOverTheOldFiles) {
  WriteInstallation(Header() + kSdkPackage);
  zolv::install::RegWriteString(kKey, "Version", "0.9");
  ScriptedUserInterface ui({"Yes", "OK", "OK"});
  InstallEngine engine(ui);
  engine.SetTargetDirectory(kTarget1, 0);
  EXPECT_TRUE(engine.Install("install.lst"));
  EXPECT_EQ(Titles(ui), (Strings{"Confirm", "Error", "Notice"}));
  EXPECT_EQ(ui.Records()[1].text, "Invalid uninstall file!");
  EXPECT_EQ(Reg("Version"), "1.0");
}

}  // namespace
}  // namespace installer_test
