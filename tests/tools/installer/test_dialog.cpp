#include <string>
#include <vector>

#include "InstallerFixture.h"
#include "InstallerLogic.h"

namespace installer_test {
namespace {

using zolv::install::InstallerLogic;
using zwin::ScriptedUserInterface;
using Strings = std::vector<std::string>;

const char* const kDifferentDrive =
    "Example applications may not work from their initial directories if the Zolvane Engine C++ "
    "SDK is installed on different drive than where the Nokia 9200 Communicator series C++ SDK is "
    "installed. Are you sure you want to continue?";
const char* const kBlank =
    "Example applications may not work from their initial directories if the Zolvane Engine C++ "
    "SDK path contains empty spaces. Are you sure you want to continue?";
const char* const kFoundAtStart =
    "The Nokia 9200 Communicator series C++ SDK was found in the current directory during the "
    "install startup. Are you sure you want to continue?";
const char* const kSdkMissing =
    "Failed to locate Nokia 9200 Communicator series C++ SDK!\n\nCheck the \"Nokia 9200 series "
    "C++ SDK directory\" setting and make sure\nthe Nokia 9200 Communicator series C++ SDK is "
    "installed.";

class Dialog : public InstallerTest {
 protected:
  // Registers an SDK at aPath (a Windows path) through "CommonPath" and installed.xml.
  void RegisterSdk(const std::string& aPath) {
    zolv::install::RegWriteString("SOFTWARE\\Symbian\\EPOC SDKs", "CommonPath", "C:\\Symbian\\Common");
    WriteHostFile(DriveC() / "Symbian" / "Common" / "installed.xml",
                  "<sdk><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
                  "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>" + aPath +
                      "</ESDKNonSharedPath></sdk>");
  }
  void AddDrive(char aLetter) {
    const fs::path host = iRoot / (std::string("drive_") + aLetter);
    fs::create_directories(host);
    fs::create_directory_symlink(host, iPrefix / "dosdevices" / (std::string(1, aLetter) + ":"));
  }
};

TEST_F(Dialog, NoSdkRegisteredAsksAboutTheDriveAndInstallsPackageOneRelative) {
  ScriptedUserInterface ui({"Yes", "No", "No", "Ignore", "Ignore", "OK"});
  InstallerLogic logic(ui);
  logic.Initialise();
  EXPECT_EQ(logic.SdkDirectoryText(), "");
  EXPECT_EQ(logic.SdkDirectory(), "C:\\");
  EXPECT_FALSE(logic.SdkFoundAtStart());
  EXPECT_EQ(logic.InstallDirectoryText(), "C:\\Kestrelon\\ZolvaneSDK\\Nokia9200\\");
  ASSERT_NE(logic.Engine(), nullptr);
  EXPECT_EQ(logic.Engine()->ProgramsFolder(), kPrograms);

  WriteInstallation(Standard());
  EXPECT_TRUE(logic.Install());
  ASSERT_GE(ui.Records().size(), 1u);
  EXPECT_EQ(ui.Records()[0].title, "Notice");
  EXPECT_EQ(ui.Records()[0].text, kDifferentDrive);
  EXPECT_EQ(ui.Records()[0].type & zwin::MB_TYPEMASK, zwin::MB_YESNO);
  EXPECT_EQ(zwin::DefaultButtonOf(ui.Records()[0].type), zwin::IDNO);
  EXPECT_EQ(ReadHostFile(DriveC() / "Kestrelon/ZolvaneSDK/Nokia9200/bin/tool.exe"), "AAA");
  // The empty SDK field resolves the second package against the current directory,
  // where only folders below an existing first level are created.
  ASSERT_EQ(ui.Records().size(), 6u);
  EXPECT_EQ(ui.Records()[3].title, "Error copying file");
  EXPECT_EQ(ui.Records()[3].text,
            "The system cannot find the path specified.\r\n\nEpoc32\\Include\\Zolvane.h");
  EXPECT_FALSE(fs::exists(iRoot / "work" / "Epoc32"));
  EXPECT_EQ(Reg("SdkPath"), "");
  EXPECT_TRUE(HasReg("SdkPath"));
  fs::create_directories(iRoot / "work" / "Epoc32");
  ScriptedUserInterface relative({"Yes", "Yes", "OK"});
  InstallerLogic second(relative);
  second.Initialise();
  WriteInstallation(Header("2") + "<package><name>First</name></package>" + kSdkPackage);
  EXPECT_TRUE(second.Install());
  EXPECT_EQ(ReadHostFile(iRoot / "work" / "Epoc32" / "Include" / "Zolvane.h"), "AA");

  // No to the drive question does nothing.
  ScriptedUserInterface no({"No"});
  InstallerLogic again(no);
  again.Initialise();
  const auto tree = Tree(true);
  EXPECT_FALSE(again.Install());
  EXPECT_EQ(no.Records().size(), 1u);
  EXPECT_EQ(Tree(true), tree);
}

TEST_F(Dialog, SdkFoundOnAnotherDriveSetsTheInstallationDrive) {
  AddDrive('d');
  RegisterSdk("D:\\Symbian\\6.0\\NokiaCPP");
  ScriptedUserInterface ui({"OK"});
  InstallerLogic logic(ui);
  logic.Initialise();
  EXPECT_EQ(logic.SdkDirectoryText(), "D:\\Symbian\\6.0\\NokiaCPP\\");
  EXPECT_TRUE(logic.SdkFoundAtStart());
  EXPECT_EQ(logic.InstallDirectoryText(), "D:\\Kestrelon\\ZolvaneSDK\\Nokia9200\\");
  // Same drive: no question; the engine gets both fields as its target directories.
  WriteInstallation(Header() + kSdkPackage);
  EXPECT_TRUE(logic.Install());
  EXPECT_EQ(ui.Records().size(), 1u);
  EXPECT_EQ(Reg("SdkPath"), "D:\\Kestrelon\\ZolvaneSDK\\Nokia9200\\");
  EXPECT_EQ(logic.Engine()->TargetDirectory(1), "D:\\Symbian\\6.0\\NokiaCPP\\");

  // Remove ignores the fields: the targets come from the registry.
  ScriptedUserInterface remover({"Yes", "OK"});
  InstallerLogic other(remover);
  other.Initialise();
  other.SetInstallRoot("C:\\elsewhere");
  EXPECT_TRUE(other.Remove());
  EXPECT_FALSE(fs::exists(iRoot / "drive_d" / "Kestrelon"));
}

TEST_F(Dialog, InstallationFolderWithBlanksAsksOncePerBlank) {
  ScriptedUserInterface ui({"C:\\My Tools\\a b", "Yes", "Yes", "C:\\x y", "No", "Cancel"});
  InstallerLogic logic(ui);
  logic.Initialise();
  logic.ChangeInstallDirectory();
  EXPECT_EQ(logic.InstallRoot(), "C:\\My Tools\\a b\\");
  EXPECT_EQ(logic.InstallDirectoryText(), "C:\\My Tools\\a b\\Kestrelon\\ZolvaneSDK\\Nokia9200\\");
  logic.ChangeInstallDirectory();
  logic.ChangeInstallDirectory();
  EXPECT_EQ(logic.InstallRoot(), "C:\\My Tools\\a b\\");
  ASSERT_EQ(ui.Records().size(), 6u);
  EXPECT_TRUE(ui.Records()[0].folderBrowser);
  EXPECT_EQ(ui.Records()[0].title, "Select a folder");
  for (int i : {1, 2, 4}) {
    EXPECT_EQ(ui.Records()[i].title, "Confirm directory change");
    EXPECT_EQ(ui.Records()[i].text, kBlank);
    EXPECT_EQ(zwin::DefaultButtonOf(ui.Records()[i].type), zwin::IDNO);
  }
}

TEST_F(Dialog, SdkDirectoryChangeConfirmsOnceAndKeepsAFolderWithoutTheSdk) {
  RegisterSdk("C:\\Symbian\\6.0\\NokiaCPP\\");
  fs::create_directories(DriveC() / "Good" / "Epoc32" / "Include");
  fs::create_directories(DriveC() / "Good" / "Epoc32" / "Release" / "wins" / "udeb");
  fs::create_directories(DriveC() / "Bare");
  ScriptedUserInterface ui({"No", "Yes", "C:\\Bare", "OK", "C:\\Good", "Cancel"});
  InstallerLogic logic(ui);
  logic.Initialise();
  logic.ChangeSdkDirectory();  // No: nothing changes
  EXPECT_EQ(logic.SdkDirectory(), "C:\\Symbian\\6.0\\NokiaCPP\\");
  logic.ChangeSdkDirectory();  // Yes, then a folder without the SDK: warned but kept
  EXPECT_EQ(logic.SdkDirectory(), "C:\\Bare\\");
  EXPECT_EQ(logic.SdkDirectoryText(), "C:\\Bare\\");
  logic.ChangeSdkDirectory();  // asked no more; folders exist, files need not
  logic.ChangeSdkDirectory();  // cancelled browser
  EXPECT_EQ(logic.SdkDirectory(), "C:\\Good\\");
  const auto& r = ui.Records();
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(r[0].title, "Confirm directory change");
  EXPECT_EQ(r[0].text, kFoundAtStart);
  EXPECT_EQ(r[1].text, kFoundAtStart);
  EXPECT_TRUE(r[2].folderBrowser);
  EXPECT_EQ(r[3].title, "Warning");
  EXPECT_EQ(r[3].text, kSdkMissing);
  EXPECT_TRUE(r[4].folderBrowser);
  EXPECT_TRUE(r[5].folderBrowser);

  // The kept folder is used by INSTALL.
  WriteInstallation(Header() + kSdkPackage);
  ScriptedUserInterface installer({"OK"});
  InstallerLogic fresh(installer);
  fresh.Initialise();
  fresh.SetSdkDirectory("C:\\Bare");
  EXPECT_TRUE(fresh.Install());
  EXPECT_EQ(Reg("SdkPath"), "C:\\Kestrelon\\ZolvaneSDK\\Nokia9200\\");
}

TEST_F(Dialog, FieldsAreCutTo259Characters) {
  ScriptedUserInterface ui({"OK"});
  InstallerLogic logic(ui);
  logic.Initialise();
  const std::string longRoot = "C:\\" + std::string(300, 'r');
  logic.SetInstallRoot(longRoot);
  logic.SetSdkDirectory("C:\\S");
  WriteInstallation(Header());
  EXPECT_TRUE(logic.Install());
  EXPECT_EQ(logic.Engine()->TargetDirectory(0), (longRoot + "\\").substr(0, 259));
  EXPECT_EQ(logic.Engine()->TargetDirectory(1), "C:\\S\\");
}

}  // namespace
}  // namespace installer_test
