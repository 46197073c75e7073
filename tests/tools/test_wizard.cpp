#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProjectGenerator.h"
#include "TempPrefix.h"
#include "WizardLogic.h"
#include "zwindows/windows.h"

namespace fs = std::filesystem;
using namespace zolv;
using zwin::ScriptedUserInterface;

namespace {

const char* const kFailedToLocate =
    "\n\nCheck the \"Nokia 9200 series C++ SDK directory\" setting and make sure both\n"
    "Nokia 9200 Communicator series C++ SDK and Zolvane Engine C++ SDK\nare installed.";

const std::vector<std::string> kTemplates = {
    "Template.mmp",
    "Source/Template.h",
    "Source/Template.hrh",
    "Source/Template.rss",
    "Source/Template_Application.cpp",
    "Source/Template_AppUi.cpp",
    "Source/Template_AppView.cpp",
    "Source/Template_Document.cpp",
    "Source/Template_Main.cpp",
    "Source/Template_Script.cpp",
};

class Wizard : public TempPrefixTest {
 protected:
  void SetUp() override {
    TempPrefixTest::SetUp();
    iWizardDir = iRoot / "wizard";
    for (const auto& t : kTemplates) {
      WriteHostFile(iWizardDir / "Templates" / t,
                    "// " + t + ": class CTemplateAppUi; TEMPLATE template Templates\n"
                    "UID 0x100039CE 0x01000666 TemplateTemplate 010006660\n");
    }
    iOldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (iRoot / "bin").string().c_str(), 1);  // no project tool by default
  }
  void TearDown() override {
    ::setenv("PATH", iOldPath.c_str(), 1);
    TempPrefixTest::TearDown();
  }
  void InstallProjectTool() {
    WriteHostFile(iRoot / "bin" / "makmake.bat", "#!/bin/sh\necho \"$@\" > makmake.ran\n");
    fs::permissions(iRoot / "bin" / "makmake.bat", fs::perms::owner_all);
  }
  std::string WizardDir() const { return zwin::ToWindowsPath(iWizardDir) + "\\"; }
  void RegisterSdk(const std::string& aPath) {
    WriteHostFile(iPrefix / "system.reg",
                  "WINE REGISTRY Version 2\n\n[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1\n"
                  "\"CommonPath\"=\"C:\\\\Symbian\"\n");
    WriteHostFile(DriveC() / "Symbian" / "installed.xml",
                  "<sdk><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
                  "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>" + aPath +
                      "</ESDKNonSharedPath></sdk>");
  }
  void InstallEngineFiles(const fs::path& aSdk) {
    WriteHostFile(aSdk / "Epoc32" / "Include" / "Zolvane.h", "h");
    WriteHostFile(aSdk / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.lib", "l");
    WriteHostFile(aSdk / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.dll", "d");
  }
  // The project tool runs on its own; wait until it has written its mark.
  static bool WaitForFile(const fs::path& aPath) {
    for (int i = 0; i < 250; ++i) {
      if (fs::exists(aPath) && !ReadHostFile(aPath).empty()) return true;
      ::usleep(20000);
    }
    return false;
  }
  static std::vector<std::string> Titles(const ScriptedUserInterface& aUi) {
    std::vector<std::string> titles;
    for (const auto& r : aUi.Records()) titles.push_back(r.title);
    return titles;
  }

  fs::path iWizardDir;
  std::string iOldPath;
};

TEST_F(Wizard, GeneratesTheTenFilesWithOnlyTheExactPlaceholdersReplaced) {
  InstallProjectTool();
  ScriptedUserInterface ui({"OK"});
  ProjectGenerator generator(ui, {"Game", "1234ABCD", "C:\\", WizardDir()});
  EXPECT_TRUE(generator.Generate());
  ASSERT_EQ(ui.Records().size(), 1u);
  EXPECT_EQ(ui.Records()[0].title, "Success");
  EXPECT_EQ(ui.Records()[0].text, "Application template successfully created!");

  const fs::path project = DriveC() / "Game";
  EXPECT_EQ(ReadHostFile(project / "Game.mmp"),
            "// Game.mmp: class CGameAppUi; TEMPLATE template Games\n"
            "UID 0x100039CE 0x1234ABCD GameGame 1234ABCD0\n");
  EXPECT_EQ(ReadHostFile(project / "Source" / "Game_AppUi.cpp"),
            "// Source/Game_AppUi.cpp: class CGameAppUi; TEMPLATE template Games\n"
            "UID 0x100039CE 0x1234ABCD GameGame 1234ABCD0\n");
  // The project tool ran in the project folder, with the name and the target.
  ASSERT_TRUE(WaitForFile(project / "makmake.ran"));
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(project)) files += e.is_regular_file();
  EXPECT_EQ(ReadHostFile(project / "makmake.ran"), "Game vc6\n");
  EXPECT_EQ(files, 11);
}

TEST_F(Wizard, ExistingDirectoryMissingTemplateAndMissingTool) {
  fs::create_directories(DriveC() / "Game");
  ScriptedUserInterface ui({"OK"});
  EXPECT_FALSE(ProjectGenerator(ui, {"Game", "1234ABCD", "C:\\", WizardDir()}).Generate());
  ASSERT_EQ(ui.Records().size(), 1u);
  EXPECT_EQ(ui.Records()[0].title, "Error");
  EXPECT_EQ(ui.Records()[0].text, "Directory already exists. Select different directory.");
  EXPECT_TRUE(fs::is_empty(DriveC() / "Game"));

  fs::remove(iWizardDir / "Templates" / "Source" / "Template_Document.cpp");
  ScriptedUserInterface ui2({"OK", "OK", "OK"});
  EXPECT_FALSE(ProjectGenerator(ui2, {"Other", "00000001", "C:\\", WizardDir()}).Generate());
  ASSERT_EQ(ui2.Records().size(), 3u);
  EXPECT_EQ(ui2.Records()[0].text, "Failed to open template file Templates\\Source\\Template_Document.cpp");
  EXPECT_EQ(ui2.Records()[0].title, "Error");
  EXPECT_EQ(ui2.Records()[1].text, "Could not find makmake utility!\nCall \"makmake Other vc6\" manually");
  EXPECT_EQ(ui2.Records()[1].title, "Error");
  EXPECT_EQ(ui2.Records()[2].text, "Failed to create application template!");
  EXPECT_EQ(ui2.Records()[2].title, "Failure");
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(DriveC() / "Other")) files += e.is_regular_file();
  EXPECT_EQ(files, 9);
  EXPECT_FALSE(fs::exists(DriveC() / "Other" / "Source" / "Other_Document.cpp"));
}

// A link where the project folder would go, to a folder or to nothing, is an existing
// folder: nothing is written into or made at what it names. A base folder that is a
// link is the user's choice and is used.
TEST_F(Wizard, LinksInThePlaceOfTheProjectAreNeverWrittenThrough) {
  WriteHostFile(iRoot / "outside" / "Game.mmp", "the user's own project");
  fs::create_directory_symlink(iRoot / "outside", DriveC() / "Game");
  fs::create_directory_symlink(iRoot / "nowhere", DriveC() / "Dangling");
  for (const char* name : {"Game", "Dangling"}) {
    ScriptedUserInterface ui({"OK"});
    EXPECT_FALSE(ProjectGenerator(ui, {name, "1234ABCD", "C:\\", WizardDir()}).Generate());
    ASSERT_EQ(ui.Records().size(), 1u);
    EXPECT_EQ(ui.Records()[0].text, "Directory already exists. Select different directory.");
  }
  EXPECT_EQ(ReadHostFile(iRoot / "outside" / "Game.mmp"), "the user's own project");
  EXPECT_EQ(std::distance(fs::directory_iterator(iRoot / "outside"), fs::directory_iterator()), 1);
  EXPECT_FALSE(fs::exists(iRoot / "nowhere"));

  fs::create_directories(iRoot / "projects");
  fs::create_directory_symlink(iRoot / "projects", DriveC() / "Projects");
  ScriptedUserInterface ui({"OK", "OK"});
  EXPECT_TRUE(ProjectGenerator(ui, {"Game", "1234ABCD", "C:\\Projects\\", WizardDir()}).Generate());
  EXPECT_EQ(ui.Records().back().text, "Application template successfully created!");
  EXPECT_TRUE(fs::is_regular_file(iRoot / "projects" / "Game" / "Source" / "Game_Script.cpp"));
}

TEST_F(Wizard, WriteErrorsAndOddTemplateBytes) {
  // A zero byte drops the rest of its 8-byte piece; other bytes pass unchanged.
  WriteHostFile(iWizardDir / "Templates" / "Template.mmp",
                std::string("Template\0hidden\xff\xfe\r\nTemplate", 27));
  ScriptedUserInterface ui({"OK", "OK", "OK"});
  zwin::FailNthWrite(3);
  EXPECT_FALSE(ProjectGenerator(ui, {"G", "ABCDEF01", "C:\\", WizardDir()}).Generate());
  zwin::FailNthWrite(0);
  EXPECT_EQ(ReadHostFile(DriveC() / "G" / "G.mmp"), "G\xfe\r\nG");
  ASSERT_EQ(ui.Records().size(), 3u);
  EXPECT_EQ(ui.Records()[0].title, "Error");
  EXPECT_EQ(ui.Records()[0].text,
            "There is not enough space on the disk.\r\n\nC:\\G\\Source\\G.hrh");
  EXPECT_EQ(Titles(ui), (std::vector<std::string>{"Error", "Error", "Failure"}));

  // Names and UIDs that did not pass the dialog's filters never reach the disk.
  ScriptedUserInterface none;
  EXPECT_FALSE(ProjectGenerator(none, {"..\\..\\evil", "ABCDEF01", "C:\\", WizardDir()}).Generate());
  EXPECT_FALSE(ProjectGenerator(none, {"Good", "ABCDEF0G", "C:\\", WizardDir()}).Generate());
  EXPECT_FALSE(fs::exists(DriveC() / "Good"));
  EXPECT_TRUE(none.Records().empty());
}

TEST_F(Wizard, FieldFiltersOnTypingAndPasting) {
  ScriptedUserInterface ui({"OK", "OK", "OK", "OK"});
  WizardLogic logic(ui, WizardDir());
  logic.Initialise();
  EXPECT_TRUE(logic.SetNameText("My"));
  EXPECT_FALSE(logic.SetNameText("My "));
  EXPECT_EQ(logic.NameText(), "My");
  EXPECT_EQ(logic.FocusField(), WizardLogic::Field::Name);
  EXPECT_EQ(logic.ApplicationDirectoryText(), "C:\\My");
  EXPECT_FALSE(logic.SetNameText(std::string(40, 'a') + "\xe9"));
  EXPECT_EQ(logic.NameText(), std::string(32, 'a'));
  EXPECT_FALSE(logic.SetUidText("0x123456789"));
  EXPECT_EQ(logic.UidText(), "01234567");
  EXPECT_EQ(logic.FocusField(), WizardLogic::Field::Uid);
  EXPECT_FALSE(logic.SetUidText("123456789"));
  EXPECT_EQ(logic.UidText(), "12345678");
  ASSERT_EQ(ui.Records().size(), 4u);
  EXPECT_EQ(ui.Records()[0].title, "Invalid Application Name");
  EXPECT_EQ(ui.Records()[0].text, "Max 32 chars. Use only alphabets and numbers");
  EXPECT_EQ(ui.Records()[2].title, "Invalid UID");
  EXPECT_EQ(ui.Records()[2].text, "Enter 8 hexadecimal digits (0..9, A..F)");

  // A seven-digit UID passes the filter but not "Create Template"; an empty name neither.
  ScriptedUserInterface ui2({"OK", "OK"});
  WizardLogic logic2(ui2, WizardDir());
  logic2.Initialise();
  EXPECT_FALSE(logic2.CreateTemplate());
  EXPECT_TRUE(logic2.SetNameText("Game"));
  EXPECT_TRUE(logic2.SetUidText("1234567"));
  EXPECT_FALSE(logic2.CreateTemplate());
  ASSERT_EQ(ui2.Records().size(), 2u);
  EXPECT_EQ(ui2.Records()[0].text, "Enter a name for the application");
  EXPECT_EQ(ui2.Records()[0].title, "Notice");
  EXPECT_EQ(ui2.Records()[1].text, "Enter a 8 digit UID for the application");
  EXPECT_FALSE(fs::exists(DriveC() / "Game"));
}

TEST_F(Wizard, SdkOnDriveDAndEngineFileChecks) {
  fs::create_directories(iRoot / "ddrive");
  fs::create_directory_symlink(iRoot / "ddrive", iPrefix / "dosdevices" / "d:");
  RegisterSdk("D:\\Symbian\\6.0\\NokiaCPP");
  fs::create_directories(iRoot / "ddrive" / "Symbian" / "6.0" / "NokiaCPP" / "Epoc32" / "Include");
  ScriptedUserInterface ui({"OK", "OK", "OK"});
  WizardLogic logic(ui, WizardDir());
  logic.Initialise();
  EXPECT_TRUE(logic.SdkFoundAtStart());
  EXPECT_EQ(logic.SdkDirectoryText(), "D:\\Symbian\\6.0\\NokiaCPP\\");
  EXPECT_EQ(logic.ApplicationDirectoryText(), "D:\\");
  logic.Paint(true);
  EXPECT_TRUE(ui.Records().empty());
  logic.Paint();
  logic.Paint();
  ASSERT_EQ(ui.Records().size(), 3u);
  EXPECT_EQ(ui.Records()[0].text,
            std::string("Failed to locate D:\\Symbian\\6.0\\NokiaCPP\\Epoc32\\Include\\Zolvane.h") +
                kFailedToLocate);
  EXPECT_EQ(ui.Records()[2].text,
            std::string("Failed to locate D:\\Symbian\\6.0\\NokiaCPP\\Epoc32\\Release\\wins\\udeb\\Zolvane.dll") +
                kFailedToLocate);
  EXPECT_EQ(Titles(ui), (std::vector<std::string>{"Error", "Error", "Error"}));

  // Changing the SDK asks once, then checks the new folder, which has the files.
  InstallEngineFiles(iRoot / "ddrive" / "Other SDK");
  ui.AddAnswer("Yes");
  ui.AddAnswer(zwin::ToWindowsPath(iRoot / "ddrive" / "Other SDK"));
  logic.ChangeSdkDirectory();
  EXPECT_EQ(logic.SdkDirectory(), "D:\\Other SDK\\");
  ui.AddAnswer("Cancel");
  logic.ChangeSdkDirectory();
  ASSERT_EQ(ui.Records().size(), 6u);
  EXPECT_EQ(ui.Records()[3].title, "Confirm directory change");
  EXPECT_EQ(ui.Records()[3].text,
            "The Nokia 9200 Communicator series C++ SDK was found in the current directory during the "
            "Application Wizard startup. Are you sure you want to continue?");
  EXPECT_EQ(ui.Records()[3].type & zwin::MB_DEFMASK, zwin::MB_DEFBUTTON2);
  EXPECT_TRUE(ui.Records()[5].folderBrowser);
  EXPECT_EQ(logic.SdkDirectory(), "D:\\Other SDK\\");
}

TEST_F(Wizard, SdkFoundAtTheDefaultRootIsShownButAsksNoChangeQuestion) {
  // A matching SDK in the root of drive C, in any letter case, fills the field.
  for (const std::string& path : {std::string("C:\\"), std::string("c:\\"), std::string("c:")}) {
    SCOPED_TRACE(path);
    RegisterSdk(path);
    ScriptedUserInterface ui;
    WizardLogic logic(ui, WizardDir());
    logic.Initialise();
    const std::string shown = path.back() == '\\' ? path : path + "\\";
    EXPECT_EQ(logic.SdkDirectoryText(), shown);
    EXPECT_EQ(logic.SdkDirectory(), shown);
    EXPECT_EQ(logic.ApplicationDirectoryText(), shown);
    // It is the default root, so changing the SDK asks no question first.
    EXPECT_FALSE(logic.SdkFoundAtStart());
    ui.AddAnswer("Cancel");
    logic.ChangeSdkDirectory();
    ASSERT_EQ(ui.Records().size(), 1u);
    EXPECT_TRUE(ui.Records()[0].folderBrowser);
  }
  // A list without a matching SDK leaves the field empty while the SDK is still "C:\".
  WriteHostFile(DriveC() / "Symbian" / "installed.xml",
                "<sdk><ESDKVersion>6.1</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
                "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>C:\\</ESDKNonSharedPath></sdk>");
  ScriptedUserInterface ui;
  WizardLogic logic(ui, WizardDir());
  logic.Initialise();
  EXPECT_EQ(logic.SdkDirectoryText(), "");
  EXPECT_EQ(logic.SdkDirectory(), "C:\\");
  EXPECT_EQ(logic.ApplicationDirectoryText(), "C:\\");
}

TEST_F(Wizard, DirectoryQuestionsAndTheDifferentDriveWarning) {
  InstallProjectTool();
  fs::create_directories(DriveC() / "a b c");
  ScriptedUserInterface ui({"C:\\a b c", "Yes", "No"});
  WizardLogic logic(ui, WizardDir());
  logic.Initialise();
  EXPECT_TRUE(logic.SetNameText("Game"));
  logic.ChangeApplicationDirectory();
  EXPECT_EQ(logic.BaseDirectory(), "C:\\");
  EXPECT_EQ(ui.Records().size(), 3u);
  EXPECT_EQ(ui.Records()[1].text,
            "The application may not work from it's initial directory if the path contains empty "
            "spaces. Are you sure you want to continue?");
  ui.AddAnswer("C:\\a b c");
  ui.AddAnswer("Yes");
  ui.AddAnswer("Yes");
  logic.ChangeApplicationDirectory();
  EXPECT_EQ(logic.BaseDirectory(), "C:\\a b c\\");
  EXPECT_EQ(logic.ApplicationDirectoryText(), "C:\\a b c\\Game");

  // The SDK on another drive than the project: No stops, Yes generates.
  logic.SetSdkDirectory("D:\\Sdk");
  EXPECT_TRUE(logic.SetUidText("1234ABCD"));
  ui.AddAnswer("No");
  EXPECT_FALSE(logic.CreateTemplate());
  EXPECT_EQ(ui.Records().back().title, "Notice");
  EXPECT_EQ(ui.Records().back().text,
            "Application project may not work if it is created on different drive than where the "
            "Nokia 9200 Communicator series C++ SDK is installed. Are you sure you want to continue?");
  EXPECT_FALSE(fs::exists(DriveC() / "a b c" / "Game"));
  ui.AddAnswer("Yes");
  ui.AddAnswer("OK");
  EXPECT_TRUE(logic.CreateTemplate());
  EXPECT_EQ(ui.Records().back().title, "Success");
  EXPECT_TRUE(fs::exists(DriveC() / "a b c" / "Game" / "Source" / "Game_Script.cpp"));
  EXPECT_TRUE(WaitForFile(DriveC() / "a b c" / "Game" / "makmake.ran"));
  EXPECT_EQ(ui.RemainingAnswers(), 0u);
}

}  // namespace

TEST_F(Wizard, FolderCreationFailuresStopWithTheSystemText) {
  // The base folder does not exist: the project folder cannot be made.
  ScriptedUserInterface missing({"OK"});
  EXPECT_FALSE(ProjectGenerator(missing, {"Game", "1234ABCD", "C:\\NoSuchFolder\\", WizardDir()}).Generate());
  ASSERT_EQ(missing.Records().size(), 1u);
  EXPECT_EQ(missing.Records()[0].title, "Error");
  EXPECT_EQ(missing.Records()[0].text, "The system cannot find the path specified.\r\n");
  EXPECT_FALSE(fs::exists(DriveC() / "NoSuchFolder"));

  // A read-only base folder.
  fs::create_directories(DriveC() / "Locked");
  fs::permissions(DriveC() / "Locked", fs::perms::owner_read | fs::perms::owner_exec);
  ScriptedUserInterface locked({"OK"});
  EXPECT_FALSE(ProjectGenerator(locked, {"Game", "1234ABCD", "C:\\Locked\\", WizardDir()}).Generate());
  fs::permissions(DriveC() / "Locked", fs::perms::owner_all);
  ASSERT_EQ(locked.Records().size(), 1u);
  EXPECT_EQ(locked.Records()[0].title, "Error");
  EXPECT_EQ(locked.Records()[0].text, "Access is denied.\r\n");
  EXPECT_TRUE(fs::is_empty(DriveC() / "Locked"));

  // The project folder fits in a path but its source folder does not: the project folder
  // stays, nothing else is written and the project tool is not started.
  InstallProjectTool();
  const std::string deep = std::string(200, 'a') + "\\" + std::string(45, 'b') + "\\";
  fs::create_directories(DriveC() / std::string(200, 'a') / std::string(45, 'b'));
  const std::string base = "C:\\" + deep;
  ASSERT_LT((base + "Game\\").size(), 260u);
  ASSERT_GE((base + "Game\\Source\\").size(), 260u);
  ScriptedUserInterface tooLong({"OK"});
  EXPECT_FALSE(ProjectGenerator(tooLong, {"Game", "1234ABCD", base, WizardDir()}).Generate());
  ASSERT_EQ(tooLong.Records().size(), 1u);
  EXPECT_EQ(tooLong.Records()[0].title, "Error");
  EXPECT_EQ(tooLong.Records()[0].text, "The filename or extension is too long.\r\n");
  const fs::path project = DriveC() / std::string(200, 'a') / std::string(45, 'b') / "Game";
  EXPECT_TRUE(fs::is_directory(project));
  EXPECT_TRUE(fs::is_empty(project));
  ::usleep(100000);
  EXPECT_FALSE(fs::exists(project / "makmake.ran"));
}
