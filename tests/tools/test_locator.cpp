#include <gtest/gtest.h>

#include <string>

#include "SdkLocator.h"
#include "TempPrefix.h"
#include "zwindows/windows.h"

namespace fs = std::filesystem;
using namespace zolv;

namespace {

class Locator : public TempPrefixTest {
 protected:
  // Registers the SDK list folder the way the SDK's own setup does.
  void Register(const std::string& aRegistryText) {
    WriteHostFile(iPrefix / "system.reg", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n" +
                                              aRegistryText);
  }
  void WriteList(const std::string& aBody) {
    WriteHostFile(DriveC() / "Program Files" / "Common Files" / "Symbian" / "installed.xml", aBody);
  }
  std::string Locate(bool* aFound = nullptr, int* aResult = nullptr) {
    std::string common;
    ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common);
    std::string root = "unset";
    const int r = FindSdkRoot(SdkListPath(common), root, aFound);
    if (aResult) *aResult = r;
    return root;
  }
  static std::string Sdk(const std::string& aVersion, const std::string& aLanguage,
                         const std::string& aPlatform, const std::string& aPathElement) {
    return "<sdk>\n  <ESDKVersion>" + aVersion + "</ESDKVersion>\n  <ESDKLanguage>" + aLanguage +
           "</ESDKLanguage>\n  <ESDKPlatform>" + aPlatform + "</ESDKPlatform>\n  " + aPathElement +
           "\n</sdk>\n";
  }
  static constexpr const char* kRegistered =
      "[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1600000000\n"
      "\"CommonPath\"=\"C:\\\\Program Files\\\\Common Files\\\\Symbian\"\n";
};

TEST_F(Locator, ReadsTheRegistryValueAndTakesTheFirstMatchingBlock) {
  Register(kRegistered);
  std::string common;
  EXPECT_EQ(ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common), zwin::ERROR_SUCCESS);
  EXPECT_EQ(common, "C:\\Program Files\\Common Files\\Symbian");

  WriteList("<?xml version=\"1.0\"?>\n<sdks>\n" +
            Sdk("6.1", "C++", "Nokia", "<ESDKNonSharedPath>D:\\Sdk61\\</ESDKNonSharedPath>") +
            Sdk("6.0", "C++", "nokia", "<ESDKNonSharedPath>D:\\Lower\\</ESDKNonSharedPath>") +
            Sdk("6.0", "c++", "Nokia", "<ESDKNonSharedPath>D:\\LowerLang\\</ESDKNonSharedPath>") +
            Sdk("6.0", "C++", "Nokia", "<ESDKNonSharedPath>D:\\Symbian\\6.0\\NokiaCPP</ESDKNonSharedPath>") +
            Sdk("6.0", "C++", "Nokia", "<ESDKNonSharedPath>E:\\Second\\</ESDKNonSharedPath>") + "</sdks>\n");
  bool found = false;
  int result = -1;
  EXPECT_EQ(Locate(&found, &result), "D:\\Symbian\\6.0\\NokiaCPP\\");
  EXPECT_TRUE(found);
  EXPECT_EQ(result, 1);
}

TEST_F(Locator, PathsWithAndWithoutBackslashAndMissingPath) {
  Register(kRegistered);
  WriteList(Sdk("6.0", "C++", "Nokia", "<ESDKNonSharedPath>C:\\Symbian\\</ESDKNonSharedPath>"));
  EXPECT_EQ(Locate(), "C:\\Symbian\\");
  WriteList(Sdk("6.0", "C++", "Nokia", "<ESDKSharedPath>C:\\Shared\\</ESDKSharedPath>"));
  bool found = false;
  EXPECT_EQ(Locate(&found), "\\");
  EXPECT_TRUE(found);
  // Attributes, other letter case and white space inside the values are not recognised.
  WriteList(Sdk("6.0 ", "C++", "Nokia", "<ESDKNonSharedPath>C:\\A</ESDKNonSharedPath>") +
            Sdk("6.0", "C++", "Nokia", "<ESDKNonSharedPath x=\"1\">C:\\B</ESDKNonSharedPath>") +
            "<SDK><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
            "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>C:\\C</ESDKNonSharedPath></SDK>");
  EXPECT_EQ(Locate(&found), "\\");
}

TEST_F(Locator, UnterminatedBlocksZeroBytesAndBadFiles) {
  Register(kRegistered);
  bool found = true;
  int result = -1;
  // No list file: "C:\" and 0.
  EXPECT_EQ(Locate(&found, &result), "C:\\");
  EXPECT_FALSE(found);
  EXPECT_EQ(result, 0);

  // An unterminated final block is ignored, even though it would match.
  WriteList(Sdk("6.1", "C++", "Nokia", "<ESDKNonSharedPath>D:\\x\\</ESDKNonSharedPath>") +
            "<sdk><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
            "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>D:\\late\\</ESDKNonSharedPath>");
  EXPECT_EQ(Locate(&found, &result), "C:\\");
  EXPECT_FALSE(found);
  EXPECT_EQ(result, 1);

  // A zero byte drops the rest of its 8-byte piece: here it hides "Nok" of the first
  // block's platform, so only the second block matches.
  std::string first = Sdk("6.0", "C++", "Nokia", "<ESDKNonSharedPath>D:\\First\\</ESDKNonSharedPath>");
  const std::size_t platform = first.find("Nokia");
  std::string padded = first.substr(0, platform);
  while (padded.size() % 8 != 4) padded.insert(0, " ");
  first = padded + std::string(1, '\0') + first.substr(platform);
  WriteList(first + Sdk("6.0", "C++", "Nokia", "<ESDKNonSharedPath>D:\\Second</ESDKNonSharedPath>"));
  EXPECT_EQ(Locate(&found), "D:\\Second\\");

  // Binary and large files give "C:\" without trouble.
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) & 0xff);
  WriteList(binary);
  EXPECT_EQ(Locate(&found), "C:\\");
  std::string big(8 * 1024 * 1024, 'x');
  big += Sdk("6.0", "C++", "Nokia", "<ESDKNonSharedPath>D:\\Big</ESDKNonSharedPath>");
  WriteList(big);
  EXPECT_EQ(Locate(&found), "D:\\Big\\");
  WriteList("");
  EXPECT_EQ(Locate(&found), "C:\\");
}

TEST_F(Locator, MissingRegistryUsesTheListInTheRootOfTheCurrentDrive) {
  std::string common = "x";
  EXPECT_EQ(ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common), zwin::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(common, "");
  EXPECT_EQ(SdkListPath(common), "\\installed.xml");
  fs::create_directories(DriveC() / "Work");
  fs::current_path(DriveC() / "Work");
  WriteHostFile(DriveC() / "installed.xml",
                Sdk("6.0", "C++", "Nokia", "<ESDKNonSharedPath>C:\\Root</ESDKNonSharedPath>"));
  bool found = false;
  EXPECT_EQ(Locate(&found), "C:\\Root\\");
  EXPECT_TRUE(found);

  // A key without the value leaves the text empty too.
  Register("[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1600000000\n\"Other\"=\"C:\\\\\"\n");
  EXPECT_EQ(ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common), zwin::ERROR_SUCCESS);
  EXPECT_EQ(common, "");
}

TEST_F(Locator, OversizedRegistryValuesStayInsideTheBuffer) {
  // A text longer than the buffer does not fit: the value reads as empty.
  Register("[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1600000000\n\"CommonPath\"=\"" + std::string(1500, 'a') +
           "\"\n");
  std::string common = "x";
  ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common);
  EXPECT_EQ(common, "");
  // Binary data filling the buffer exactly has no terminator: the text stops at the end.
  std::string hex;
  for (int i = 0; i < 1024; ++i) hex += i ? ",41" : "41";
  Register("[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1600000000\n\"CommonPath\"=hex:" + hex + "\n");
  ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common);
  EXPECT_EQ(common, std::string(1024, 'A'));
  // Any such text only makes an unusable path, never a crash.
  std::string root;
  EXPECT_EQ(FindSdkRoot(SdkListPath(common), root), 0);
  EXPECT_EQ(root, "C:\\");
}

TEST(LocatorElements, ExtractElementTakesTheFirstTagsOnly) {
  std::string out = "old";
  EXPECT_EQ(ExtractElement("a", "x<a>one</a><a>two</a>", out), 1);
  EXPECT_EQ(out, "one");
  EXPECT_EQ(ExtractElement("a", "<a>open only", out), 1);
  EXPECT_EQ(out, "");
  out = "old";
  EXPECT_EQ(ExtractElement("a", "</a> closing first <a>", out), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(ExtractElement("a", "<a></a>", out), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(ExtractElement("ab", "<a>x</a><ab> y </ab>", out), 1);
  EXPECT_EQ(out, " y ");
}

}  // namespace
