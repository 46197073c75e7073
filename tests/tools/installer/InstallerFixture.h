// Shared set-up for the installer tests: a temporary prefix, an installation file and
// data file in the working folder, and helpers to look at the registry, the uninstall
// list, the file tree and the message boxes.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "InstallEngine.h"
#include "InstallFile.h"
#include "TempPrefix.h"
#include "zwindows/movefile.h"
#include "zwindows/shell.h"
#include "zwindows/windows.h"

namespace installer_test {

namespace fs = std::filesystem;

inline constexpr const char* kKey = "SOFTWARE\\Kestrelon\\ZolvSDK";
inline constexpr const char* kTarget0 = "C:\\Kestrelon\\ZolvaneSDK\\Nokia9200\\";
inline constexpr const char* kTarget1 = "C:\\Symbian\\";
inline constexpr const char* kListPath = "C:\\windows\\Kestrelon_ZolvSDK__uninstall.lst";
inline constexpr const char* kPrograms = "C:\\users\\tester\\Start Menu\\Programs\\";

inline std::string Header(const std::string& aVersion = "1.0", const std::string& aData = "data.bin") {
  return "<header>\n  <company>Kestrelon</company>\n  <product>ZolvSDK</product>\n  <version>" +
         aVersion + "</version>\n  <datafile>" + aData + "</datafile>\n</header>\n";
}

// Two packages: the utilities with a file link and a web link, and the engine files.
inline const std::string kToolsPackage =
    "<package>\n<name>Tools</name>\n"
    "<file>bin\\tool.exe</file><size>3</size>\n"
    "<file>doc\\readme.txt</file><size>4</size>\n"
    "<linkfile>bin\\tool.exe</linkfile><linkname>Tool</linkname><linkfolder>Zolvane SDK</linkfolder>"
    "<linkdescription>The tool</linkdescription>\n"
    "<linkwww>http://zolvane.invalid/</linkwww><linkname>Web site</linkname>"
    "<linkfolder>Zolvane SDK</linkfolder><linkdescription>Home page</linkdescription>\n"
    "</package>\n";
inline const std::string kSdkPackage =
    "<package>\n<name>Sdk</name>\n"
    "<file>Epoc32\\Include\\Zolvane.h</file><size>2</size>\n"
    "<file>Epoc32\\Release\\wins\\udeb\\Zolvane.dll</file><size>5</size>\n"
    "</package>\n";
inline const std::string kData = "AAABBBBhhDDDDD";

// Answers every box from a function of (title, text, type) and records it.
class FunctionUserInterface : public zwin::UserInterface {
 public:
  using Answer = std::function<int(const std::string&, const std::string&, zwin::UINT)>;
  explicit FunctionUserInterface(Answer aAnswer) : iAnswer(std::move(aAnswer)) {}
  int MessageBox(std::string_view aText, std::string_view aTitle, zwin::UINT aType) override {
    titles.emplace_back(aTitle);
    texts.emplace_back(aText);
    return iAnswer(std::string(aTitle), std::string(aText), aType);
  }
  std::string BrowseForFolder(std::string_view) override { return {}; }
  std::vector<std::string> titles, texts;

 private:
  Answer iAnswer;
};

// Yes to questions, Ignore to file errors, OK otherwise.
inline int AgreeAndIgnore(const std::string&, const std::string&, zwin::UINT aType) {
  switch (aType & zwin::MB_TYPEMASK) {
    case zwin::MB_YESNO: return zwin::IDYES;
    case zwin::MB_ABORTRETRYIGNORE: return zwin::IDIGNORE;
    default: return zwin::IDOK;
  }
}

class InstallerTest : public TempPrefixTest {
 protected:
  void SetUp() override {
    TempPrefixTest::SetUp();
    fs::create_directories(DriveC() / "Symbian");
    WriteHostFile(DriveC() / "Symbian" / "keep.txt", "existing");
    fs::create_directories(DriveC() / "users" / "tester" / "Start Menu" / "Programs");
    RegisterPrograms("C:\\users\\tester\\Start Menu\\Programs");
  }
  void TearDown() override {
    zwin::FailNthWrite(0);
    TempPrefixTest::TearDown();
  }

  static void RegisterPrograms(const std::string& aFolder) {
    zwin::HKEY key = 0;
    ASSERT_EQ(zwin::RegCreateKeyEx(zwin::HKEY_CURRENT_USER, zwin::kShellFoldersKey, 0, "", 0,
                                   zwin::KEY_WRITE, nullptr, &key, nullptr),
              0);
    zwin::RegSetValueEx(key, "Programs", 0, zwin::REG_SZ,
                        reinterpret_cast<const zwin::BYTE*>(aFolder.c_str()),
                        static_cast<zwin::DWORD>(aFolder.size() + 1));
    zwin::RegCloseKey(key);
  }

  void WriteInstallation(const std::string& aText, const std::string& aData = kData,
                         const std::string& aDataName = "data.bin") {
    WriteHostFile(iRoot / "work" / "install.lst", aText);
    WriteHostFile(iRoot / "work" / aDataName, aData);
  }
  std::string Standard(const std::string& aVersion = "1.0") const {
    return Header(aVersion) + kToolsPackage + "free text between packages\n" + kSdkPackage;
  }
  static void Targets(zolv::install::InstallEngine& aEngine) {
    aEngine.SetTargetDirectory(kTarget0, 0);
    aEngine.SetTargetDirectory(kTarget1, 1);
  }

  static std::string Reg(const std::string& aName) {
    return zolv::install::RegReadString(kKey, aName);
  }
  static bool HasReg(const std::string& aName) {
    return zolv::install::RegValueExists(kKey, aName);
  }
  // No value of the product is left in the registry.
  static bool ProductValuesGone(const std::vector<std::string>& aPackages) {
    for (const char* v : {"Version", "Uninstall"}) {
      if (HasReg(v)) return false;
    }
    for (const auto& p : aPackages) {
      if (HasReg(p + "Path") || HasReg(p + "CreatedPath")) return false;
    }
    return true;
  }
  std::string List() const { return ReadHostFile(DriveC() / "windows" / "Kestrelon_ZolvSDK__uninstall.lst"); }
  bool ListExists() const { return fs::exists(DriveC() / "windows" / "Kestrelon_ZolvSDK__uninstall.lst"); }
  fs::path Host(const std::string& aWindowsPath) const {
    zwin::HostPath hp;
    zwin::ToHostPath(aWindowsPath, hp);
    return hp.path;
  }

  // Every folder and file under drive C: (files with their bytes), leaving out the
  // registry and, when asked, the uninstall list.
  std::map<std::string, std::string> Tree(bool aWithList = false) const {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(DriveC())) {
      const std::string rel = fs::relative(e.path(), DriveC()).string();
      if (!aWithList && rel.find("__uninstall.lst") != std::string::npos) continue;
      tree[rel] = e.is_directory() ? std::string("<dir>") : ReadHostFile(e.path());
    }
    return tree;
  }

  // Checks that the uninstall list describes the disk: every live file entry exists
  // with the bytes of its range, and no marked entry left a file behind (unless it
  // was there before, listed in aPreexisting).
  void ExpectListMatchesDisk(const std::string& aData, const std::vector<std::string>& aTargets,
                             const std::vector<std::string>& aPreexisting = {}) const {
    using namespace zolv::install;
    const std::string list = List();
    std::int64_t offset = 0;
    for (std::size_t n = 0;; ++n) {
      const auto span = LocateElement("package", list, n);
      if (!span) break;
      const std::string pkg = list.substr(span->content, span->length);
      for (std::size_t k = 0;; ++k) {
        const auto entry = EntryAt(pkg, "file", k);
        if (!entry) break;
        const std::int64_t size = std::max<std::int64_t>(0, ParseSize(Element("size", pkg, k)));
        const std::string path = (n < aTargets.size() ? aTargets[n] : "") + entry->content;
        const bool pre = std::find(aPreexisting.begin(), aPreexisting.end(), path) != aPreexisting.end();
        if (entry->live) {
          EXPECT_TRUE(fs::exists(Host(path))) << path;
          if (!pre && offset + size <= static_cast<std::int64_t>(aData.size())) {
            EXPECT_EQ(ReadHostFile(Host(path)), aData.substr(offset, size)) << path;
          }
        } else if (!pre) {
          EXPECT_FALSE(fs::exists(Host(path))) << "marked but on disk: " << path;
        }
        offset += size;
      }
    }
  }
};

}  // namespace installer_test
