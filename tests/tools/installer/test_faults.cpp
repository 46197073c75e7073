// Faults during installation: whatever happens, the uninstall list describes what is on
// disk, and a following removal gives back the prefix as it was.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "InstallerFixture.h"

namespace installer_test {
namespace {

using zolv::install::InstallEngine;

class Faults : public InstallerTest {
 protected:
  // Removes with Yes to the question and Ignore to every error, then checks that the
  // tree and the registry are as before the installation.
  void RemoveAndCompare(const std::map<std::string, std::string>& aBefore) {
    FunctionUserInterface ui(AgreeAndIgnore);
    InstallEngine engine(ui);
    EXPECT_TRUE(engine.Remove("install.lst"));
    EXPECT_EQ(Tree(true), aBefore);
    EXPECT_TRUE(ProductValuesGone({"Tools", "Sdk"}));
  }
};

TEST_F(Faults, DiskFullAtEveryWriteInTurn) {
  WriteInstallation(Standard());
  const auto before = Tree(true);
  // Writes of a clean run: the list, four files, two shortcuts and the list again.
  for (int nth = 1; nth <= 8; ++nth) {
    SCOPED_TRACE("failing write " + std::to_string(nth));
    const bool abort = nth % 2 == 0;
    FunctionUserInterface ui([&](const std::string& aTitle, const std::string& aText, zwin::UINT aType) {
      if ((aType & zwin::MB_TYPEMASK) == zwin::MB_ABORTRETRYIGNORE) {
        EXPECT_EQ(aText.rfind("There is not enough space on the disk.\r\n\n", 0), 0u) << aText;
        return abort ? zwin::IDABORT : zwin::IDIGNORE;
      }
      return AgreeAndIgnore(aTitle, aText, aType);
    });
    InstallEngine engine(ui);
    Targets(engine);
    zwin::FailNthWrite(nth);
    const bool installed = engine.Install("install.lst");
    zwin::FailNthWrite(0);
    if (nth == 1) {
      // The list could not be saved: nothing was copied and nothing is recorded.
      EXPECT_FALSE(installed);
      EXPECT_EQ(ui.texts.back(), "Failed to save uninstall information!");
      EXPECT_EQ(Tree(true), before);
      EXPECT_FALSE(HasReg("Version"));
      continue;
    }
    ExpectListMatchesDisk(kData, {kTarget0, kTarget1});
    // No partly written file anywhere.
    for (const auto& [path, bytes] : Tree()) {
      if (bytes != "<dir>" && path.find("Epoc32") != std::string::npos) {
        EXPECT_GE(bytes.size(), 2u) << path;
      }
    }
    RemoveAndCompare(before);
  }
}

TEST_F(Faults, ReadOnlyTargetDirectory) {
  WriteInstallation(Standard());
  const fs::path sdk = DriveC() / "Symbian";
  const std::vector<fs::path> folders = {sdk / "Epoc32/Release/wins/udeb", sdk / "Epoc32/Release/wins",
                                         sdk / "Epoc32/Release", sdk / "Epoc32/Include",
                                         sdk / "Epoc32", sdk};
  fs::create_directories(folders[0]);
  fs::create_directories(folders[3]);
  for (const auto& f : folders) ::chmod(f.c_str(), 0555);
  const auto before = Tree(true);
  FunctionUserInterface ui(AgreeAndIgnore);
  InstallEngine engine(ui);
  Targets(engine);
  EXPECT_TRUE(engine.Install("install.lst"));
  std::vector<std::string> errors;
  for (std::size_t i = 0; i < ui.titles.size(); ++i) {
    if (ui.titles[i] == "Error copying file") errors.push_back(ui.texts[i]);
  }
  EXPECT_EQ(errors, (std::vector<std::string>{
                        "Access is denied.\r\n\nC:\\Symbian\\Epoc32\\Include\\Zolvane.h",
                        "Access is denied.\r\n\nC:\\Symbian\\Epoc32\\Release\\wins\\udeb\\Zolvane.dll"}));
  ExpectListMatchesDisk(kData, {kTarget0, kTarget1});
  EXPECT_NE(List().find("<--file-->Epoc32\\Include\\Zolvane.h<--/file-->"), std::string::npos);
  RemoveAndCompare(before);
  EXPECT_TRUE(fs::exists(folders[0]));
  for (const auto& f : folders) ::chmod(f.c_str(), 0755);
}

TEST_F(Faults, DataFileRemovedMidway) {
  WriteInstallation(Standard());
  const auto before = Tree(true);
  FunctionUserInterface ui([&](const std::string& aTitle, const std::string& aText, zwin::UINT aType) {
    // The first shortcut question comes after the first package's files.
    if (aText == "Add shortcut to \"Tool\" to Start menu?") fs::remove(iRoot / "work" / "data.bin");
    return AgreeAndIgnore(aTitle, aText, aType);
  });
  InstallEngine engine(ui);
  Targets(engine);
  EXPECT_TRUE(engine.Install("install.lst"));
  int missing = 0;
  for (std::size_t i = 0; i < ui.titles.size(); ++i) {
    if (ui.titles[i] != "Error copying file") continue;
    EXPECT_EQ(ui.texts[i], "The system cannot find the file specified.\r\n\ndata.bin");
    ++missing;
  }
  EXPECT_EQ(missing, 2);
  // The destinations that were opened before the source failed are gone again.
  EXPECT_FALSE(fs::exists(DriveC() / "Symbian" / "Epoc32" / "Include" / "Zolvane.h"));
  ExpectListMatchesDisk(kData, {kTarget0, kTarget1});
  RemoveAndCompare(before);
}

TEST_F(Faults, ShortcutThatCannotBeWrittenIsNotLeftForRemoval) {
  WriteInstallation(Standard());
  const auto before = Tree(true);
  // A folder in the way of the web link's file.
  fs::create_directories(DriveC() / "users/tester/Start Menu/Programs/Zolvane SDK/Web site.lnk");
  FunctionUserInterface ui(AgreeAndIgnore);
  InstallEngine engine(ui);
  Targets(engine);
  EXPECT_TRUE(engine.Install("install.lst"));
  EXPECT_NE(List().find("<--linkwww-->http://zolvane.invalid/<--/linkwww-->"), std::string::npos);
  fs::remove(DriveC() / "users/tester/Start Menu/Programs/Zolvane SDK/Web site.lnk");
  RemoveAndCompare(before);
}

TEST_F(Faults, RemovalNeverUsesAPackageWhoseDirectoryWasNotRecorded) {
  WriteInstallation(Standard());
  {
    FunctionUserInterface ui(AgreeAndIgnore);
    InstallEngine engine(ui);
    Targets(engine);
    ASSERT_TRUE(engine.Install("install.lst"));
  }
  // As after a stop before the second package: its directory is not in the registry.
  zolv::install::RegDeleteString(kKey, "SdkPath");
  zolv::install::RegDeleteString(kKey, "SdkCreatedPath");
  WriteHostFile(iRoot / "work" / "Epoc32" / "Include" / "Zolvane.h", "not ours");
  FunctionUserInterface ui(AgreeAndIgnore);
  InstallEngine engine(ui);
  EXPECT_TRUE(engine.Remove("install.lst"));
  EXPECT_EQ(ReadHostFile(iRoot / "work" / "Epoc32" / "Include" / "Zolvane.h"), "not ours");
  EXPECT_FALSE(fs::exists(DriveC() / "Kestrelon"));
  EXPECT_TRUE(ProductValuesGone({"Tools", "Sdk"}));
}

}  // namespace
}  // namespace installer_test
