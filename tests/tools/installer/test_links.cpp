// Symbolic links in and around the target directories: installing and removing never
// write, create or delete anything outside the targets through them, links the user
// laid out before the installation are followed, and the uninstall list describes the
// disk after installing and after removing.
#include <string>
#include <vector>

#include "InstallerFixture.h"

namespace installer_test {
namespace {

using zolv::install::InstallEngine;
using Strings = std::vector<std::string>;

constexpr const char* kHeaderPath = "C:\\Symbian\\Epoc32\\Include\\Zolvane.h";
constexpr const char* kNotFound = "The system cannot find the path specified.";

class InstallerLinks : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    WriteHostFile(Outside() / "own.h", "the user's own header");
    WriteHostFile(Outside() / "notes" / "keep.txt", "notes");
  }
  fs::path Outside() const { return iRoot / "outside"; }
  fs::path Sdk() const { return DriveC() / "Symbian"; }

  // Every entry under the outside folder with its bytes; links listed as links.
  std::map<std::string, std::string> OutsideTree() const {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(Outside())) {
      const std::string rel = fs::relative(e.path(), Outside()).string();
      tree[rel] = e.is_symlink() ? "<link>" : e.is_directory() ? "<dir>" : ReadHostFile(e.path());
    }
    return tree;
  }
  static bool IsLink(const fs::path& aPath) { return fs::is_symlink(fs::symlink_status(aPath)); }

  // Installs with every question answered by aAnswer; returns the engine's result.
  bool InstallWith(const std::string& aText, const FunctionUserInterface::Answer& aAnswer, Strings* aTexts = nullptr) {
    WriteInstallation(aText);
    FunctionUserInterface ui(aAnswer);
    InstallEngine engine(ui);
    Targets(engine);
    const bool result = engine.Install("install.lst");
    if (aTexts) *aTexts = ui.texts;
    return result;
  }
  bool RemoveWith(const FunctionUserInterface::Answer& aAnswer, Strings* aTitles = nullptr,
                  Strings* aTexts = nullptr) {
    FunctionUserInterface ui(aAnswer);
    InstallEngine engine(ui);
    const bool result = engine.Remove("install.lst");
    if (aTitles) *aTitles = ui.titles;
    if (aTexts) *aTexts = ui.texts;
    return result;
  }
  // The tools package into C:\Kestrelon\ZolvaneSDK\Nokia9200\, then the SDK package
  // into C:\Symbian\.
  std::string Both() const { return Standard(); }
  std::vector<std::string> TargetsList() const { return {kTarget0, kTarget1}; }
};

int Answer(const std::string& aTitle, zwin::UINT aType, int aFileError) {
  switch (aType & zwin::MB_TYPEMASK) {
    case zwin::MB_YESNO: return zwin::IDYES;
    case zwin::MB_ABORTRETRYIGNORE: return aTitle == "Error deleting files" ? aFileError : zwin::IDIGNORE;
    default: return zwin::IDOK;
  }
}

TEST_F(InstallerLinks, ReplacingALinkedFileReplacesTheLinkNotWhatItNames) {
  fs::create_directories(Sdk() / "Epoc32" / "Include");
  fs::create_symlink(Outside() / "own.h", Sdk() / "Epoc32" / "Include" / "Zolvane.h");
  const auto outside = OutsideTree();
  Strings texts;
  ASSERT_TRUE(InstallWith(Both(), AgreeAndIgnore, &texts));
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      std::string("File \"") + kHeaderPath + "\" already exists. Replace it with a new one?"),
            texts.end());
  EXPECT_FALSE(IsLink(Sdk() / "Epoc32" / "Include" / "Zolvane.h"));
  EXPECT_EQ(ReadHostFile(Sdk() / "Epoc32" / "Include" / "Zolvane.h"), "hh");
  EXPECT_EQ(OutsideTree(), outside);
  ExpectListMatchesDisk(kData, TargetsList());

  ASSERT_TRUE(RemoveWith(AgreeAndIgnore));
  EXPECT_FALSE(fs::exists(fs::symlink_status(Sdk() / "Epoc32")));
  EXPECT_EQ(OutsideTree(), outside);
  EXPECT_FALSE(ListExists());
}

TEST_F(InstallerLinks, KeepingALinkOrADanglingLinkLeavesItAndCreatesNothing) {
  fs::create_directories(Sdk() / "Epoc32" / "Include");
  fs::create_directories(Sdk() / "Epoc32" / "Release" / "wins" / "udeb");
  fs::create_symlink(Outside() / "own.h", Sdk() / "Epoc32" / "Include" / "Zolvane.h");
  // A link naming a file that is not there: the file it names must not appear.
  fs::create_symlink(Outside() / "made.dll", Sdk() / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.dll");
  const auto outside = OutsideTree();
  Strings texts;
  const auto no = [](const std::string&, const std::string& aText, zwin::UINT aType) {
    return aText.find("already exists") != std::string::npos ? zwin::IDNO : AgreeAndIgnore("", "", aType);
  };
  ASSERT_TRUE(InstallWith(Both(), no, &texts));
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                          [](const std::string& t) { return t.find("already exists") != std::string::npos; }),
            2);
  EXPECT_TRUE(IsLink(Sdk() / "Epoc32" / "Include" / "Zolvane.h"));
  EXPECT_TRUE(IsLink(Sdk() / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.dll"));
  EXPECT_EQ(OutsideTree(), outside);
  // Both kept entries are marked: the links are not the installation's to remove.
  EXPECT_NE(List().find("<--file-->Epoc32\\Include\\Zolvane.h<--/file-->"), std::string::npos) << List();
  EXPECT_NE(List().find("<--file-->Epoc32\\Release\\wins\\udeb\\Zolvane.dll<--/file-->"), std::string::npos);
  ExpectListMatchesDisk(kData, TargetsList(), {kHeaderPath, "C:\\Symbian\\Epoc32\\Release\\wins\\udeb\\Zolvane.dll"});
  ASSERT_TRUE(RemoveWith(AgreeAndIgnore));
  EXPECT_TRUE(IsLink(Sdk() / "Epoc32" / "Include" / "Zolvane.h"));
  EXPECT_EQ(OutsideTree(), outside);

  // Yes to the dangling link: the link becomes the installed file, nothing appears outside.
  fs::remove(Sdk() / "Epoc32" / "Include" / "Zolvane.h");
  ASSERT_TRUE(InstallWith(Both(), AgreeAndIgnore));
  EXPECT_FALSE(IsLink(Sdk() / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.dll"));
  EXPECT_EQ(ReadHostFile(Sdk() / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.dll"), "DDDDD");
  EXPECT_EQ(OutsideTree(), outside);
  ExpectListMatchesDisk(kData, TargetsList());
}

TEST_F(InstallerLinks, UninstallListIsNeverWrittenThroughALink) {
  const fs::path windows = DriveC() / "windows";
  // Where the list's temporary copy used to be written, and the list itself.
  fs::create_symlink(Outside() / "own.h", windows / "Kestrelon_ZolvSDK__uninstall.lst.new");
  WriteHostFile(Outside() / "old.lst", "an old list");
  fs::create_symlink(Outside() / "old.lst", windows / "Kestrelon_ZolvSDK__uninstall.lst");
  const auto outside = OutsideTree();
  ASSERT_TRUE(InstallWith(Both(), AgreeAndIgnore));
  EXPECT_EQ(OutsideTree(), outside);
  EXPECT_FALSE(IsLink(windows / "Kestrelon_ZolvSDK__uninstall.lst"));
  ExpectListMatchesDisk(kData, TargetsList());
  for (const auto& e : fs::directory_iterator(windows)) {
    EXPECT_NE(e.path().extension(), ".tmp") << "left over: " << e.path();
  }
  ASSERT_TRUE(RemoveWith(AgreeAndIgnore));
  EXPECT_FALSE(ListExists());
  EXPECT_EQ(OutsideTree(), outside);
}

// A folder the installation created, replaced by a link before removal: nothing behind
// the link is deleted; its files count as not found, with the usual question.
TEST_F(InstallerLinks, ACreatedFolderReplacedByALinkIsNotFollowed) {
  ASSERT_TRUE(InstallWith(Both(), AgreeAndIgnore));
  // Epoc32 was made by the installation; the tools' target folders all were.
  EXPECT_EQ(Reg("ToolsCreatedPath"), "Kestrelon\\ZolvaneSDK\\Nokia9200\\");
  fs::copy(Sdk() / "Epoc32", Outside() / "Epoc32", fs::copy_options::recursive);
  fs::remove_all(Sdk() / "Epoc32");
  fs::create_directory_symlink(Outside() / "Epoc32", Sdk() / "Epoc32");
  fs::copy(DriveC() / "Kestrelon" / "ZolvaneSDK", Outside() / "ZolvaneSDK", fs::copy_options::recursive);
  fs::remove_all(DriveC() / "Kestrelon" / "ZolvaneSDK");
  fs::create_directory_symlink(Outside() / "ZolvaneSDK", DriveC() / "Kestrelon" / "ZolvaneSDK");
  const auto outside = OutsideTree();

  // Abort at the first: the package fails, the list keeps every file live.
  Strings titles, texts;
  EXPECT_FALSE(RemoveWith([](const std::string& aTitle, const std::string&, zwin::UINT aType) {
    return Answer(aTitle, aType, zwin::IDABORT);
  }, &titles, &texts));
  EXPECT_EQ(OutsideTree(), outside);
  ASSERT_GE(titles.size(), 2u);
  EXPECT_EQ(titles[1], "Error deleting files");
  EXPECT_EQ(texts[1].rfind(kNotFound, 0), 0u) << texts[1];
  EXPECT_NE(texts[1].find("\nC:\\Kestrelon\\ZolvaneSDK\\Nokia9200\\bin\\tool.exe"), std::string::npos) << texts[1];
  EXPECT_EQ(Reg("Version"), "1.0");
  EXPECT_NE(List().find("<file>bin\\tool.exe</file>"), std::string::npos);
  EXPECT_NE(List().find("<file>Epoc32\\Include\\Zolvane.h</file>"), std::string::npos);

  // Ignore: every file is asked about once, marked, and the links stay with all behind them.
  titles.clear();
  texts.clear();
  EXPECT_TRUE(RemoveWith([](const std::string& aTitle, const std::string&, zwin::UINT aType) {
    return Answer(aTitle, aType, zwin::IDIGNORE);
  }, &titles, &texts));
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "Error deleting files"), 4);
  for (std::size_t i = 0; i < titles.size(); ++i) {
    if (titles[i] == "Error deleting files") {
      EXPECT_EQ(texts[i].rfind(kNotFound, 0), 0u) << texts[i];
    }
  }
  EXPECT_EQ(OutsideTree(), outside);
  EXPECT_TRUE(IsLink(Sdk() / "Epoc32"));
  EXPECT_TRUE(IsLink(DriveC() / "Kestrelon" / "ZolvaneSDK"));
  EXPECT_TRUE(ProductValuesGone({"Tools", "Sdk"}));
}

// A link to a folder that was there before the installation (the SDK's Epoc32 kept on
// another disk) is the user's layout: followed when installing and when removing.
TEST_F(InstallerLinks, ALinkThatWasThereBeforeIsFollowed) {
  const fs::path disk = iRoot / "otherdisk";
  WriteHostFile(disk / "Epoc32" / "Include" / "e32std.h", "platform header");
  fs::create_directory_symlink(disk / "Epoc32", Sdk() / "Epoc32");
  const auto outside = OutsideTree();
  ASSERT_TRUE(InstallWith(Both(), AgreeAndIgnore));
  EXPECT_EQ(ReadHostFile(disk / "Epoc32" / "Include" / "Zolvane.h"), "hh");
  EXPECT_EQ(ReadHostFile(disk / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.dll"), "DDDDD");
  EXPECT_EQ(Reg("SdkLinkedFolders"), "Epoc32");
  EXPECT_FALSE(HasReg("ToolsLinkedFolders"));
  ExpectListMatchesDisk(kData, TargetsList());

  Strings titles;
  ASSERT_TRUE(RemoveWith(AgreeAndIgnore, &titles));
  EXPECT_EQ(titles, (Strings{"Confirm", "Notice"}));
  EXPECT_FALSE(fs::exists(disk / "Epoc32" / "Include" / "Zolvane.h"));
  EXPECT_FALSE(fs::exists(disk / "Epoc32" / "Release"));
  EXPECT_EQ(ReadHostFile(disk / "Epoc32" / "Include" / "e32std.h"), "platform header");
  EXPECT_TRUE(IsLink(Sdk() / "Epoc32"));
  EXPECT_FALSE(HasReg("SdkLinkedFolders"));
  EXPECT_EQ(OutsideTree(), outside);

  // Below the followed link, a folder the installation made and that was then replaced
  // by a link is not followed.
  ASSERT_TRUE(InstallWith(Both(), AgreeAndIgnore));
  fs::rename(disk / "Epoc32" / "Release", Outside() / "Release");
  fs::create_directory_symlink(Outside() / "Release", disk / "Epoc32" / "Release");
  const auto moved = OutsideTree();
  Strings texts;
  titles.clear();
  ASSERT_TRUE(RemoveWith(AgreeAndIgnore, &titles, &texts));
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "Error deleting files"), 1);
  EXPECT_FALSE(fs::exists(disk / "Epoc32" / "Include" / "Zolvane.h"));
  EXPECT_EQ(ReadHostFile(Outside() / "Release" / "wins" / "udeb" / "Zolvane.dll"), "DDDDD");
  EXPECT_EQ(OutsideTree(), moved);
}

// Old installations carry no record of the links they went through: at their removal no
// link below a target is followed, which can only leave files behind, never lose any.
TEST_F(InstallerLinks, WithoutARecordNoLinkBelowATargetIsFollowed) {
  const fs::path disk = iRoot / "otherdisk";
  fs::create_directories(disk / "Epoc32");
  fs::create_directory_symlink(disk / "Epoc32", Sdk() / "Epoc32");
  ASSERT_TRUE(InstallWith(Both(), AgreeAndIgnore));
  zolv::install::RegDeleteString(kKey, "SdkLinkedFolders");
  Strings titles;
  ASSERT_TRUE(RemoveWith(AgreeAndIgnore, &titles));
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "Error deleting files"), 2);
  EXPECT_EQ(ReadHostFile(disk / "Epoc32" / "Include" / "Zolvane.h"), "hh");
}

TEST_F(InstallerLinks, AShortcutFolderReplacedByALinkIsNotFollowed) {
  ASSERT_TRUE(InstallWith(Both(), AgreeAndIgnore));
  const fs::path programs = DriveC() / "users" / "tester" / "Start Menu" / "Programs";
  fs::rename(programs / "Zolvane SDK", Outside() / "Zolvane SDK");
  fs::create_directory_symlink(Outside() / "Zolvane SDK", programs / "Zolvane SDK");
  const auto outside = OutsideTree();
  Strings titles;
  EXPECT_FALSE(RemoveWith(AgreeAndIgnore, &titles));
  EXPECT_EQ(std::count(titles.begin(), titles.end(), "Error removing shortcuts"), 2);
  EXPECT_EQ(OutsideTree(), outside);
  EXPECT_TRUE(fs::exists(Outside() / "Zolvane SDK" / "Tool.lnk"));
}

}  // namespace
}  // namespace installer_test

namespace installer_test {
namespace {

// A target without a final "\" runs into its files' names; removal finds them where
// installing put them.
TEST_F(InstallerLinks, TargetWithoutAFinalSeparator) {
  const auto before = Tree(true);
  WriteInstallation(Header() + kSdkPackage);
  {
    FunctionUserInterface ui(AgreeAndIgnore);
    InstallEngine engine(ui);
    engine.SetTargetDirectory("C:\\Symbian", 0);
    ASSERT_TRUE(engine.Install("install.lst"));
  }
  EXPECT_EQ(ReadHostFile(DriveC() / "SymbianEpoc32" / "Include" / "Zolvane.h"), "AA");
  ExpectListMatchesDisk(kData, {"C:\\Symbian"});
  ASSERT_TRUE(RemoveWith(AgreeAndIgnore));
  EXPECT_EQ(Tree(true), before);
}

}  // namespace
}  // namespace installer_test
