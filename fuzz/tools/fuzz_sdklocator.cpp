// The SDK locator from arbitrary bytes: the registry's "CommonPath" value and the SDK list
// file "installed.xml" it leads to. The input is split at its first zero byte into the
// value's bytes and the list file (no zero byte: the value is "C:\Symbian" and the whole
// input is the list). The value is stored as binary data, so it may hold any byte and
// any length; the list is written where "C:\Symbian" leads.
//
// Checked: the value read back is the stored bytes up to the first zero byte and never
// longer than the locator's buffer; the root found always ends with a backslash, is
// "C:\" when no block matched or the list could not be read, and is exactly what the
// documented scan gives (a plain reimplementation below); nothing it makes is larger
// than the list file allows.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "FuzzTemp.h"
#include "SdkLocator.h"
#include "zwindows/paths.h"

namespace fs = std::filesystem;

namespace {

fs::path gPrefix;

void WriteAll(const fs::path& aPath, const std::string& aBytes) {
  std::ofstream out(aPath, std::ios::binary | std::ios::trunc);
  out.write(aBytes.data(), static_cast<std::streamsize>(aBytes.size()));
  if (!out) std::abort();
}

std::string Hex(const std::string& aBytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < aBytes.size(); ++i) {
    if (i) out += ',';
    const unsigned char c = static_cast<unsigned char>(aBytes[i]);
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

// The text between the first "<tag>" and the first "</tag>", empty if either is missing
// or the closing tag comes first.
std::string Element(std::string_view aTag, std::string_view aBlock) {
  const std::string open = "<" + std::string(aTag) + ">";
  const std::string close = "</" + std::string(aTag) + ">";
  const std::size_t start = aBlock.find(open);
  const std::size_t end = aBlock.find(close);
  if (start == std::string_view::npos || end == std::string_view::npos || end < start + open.size()) return "";
  return std::string(aBlock.substr(start + open.size(), end - start - open.size()));
}

// The documented scan: the file read in 8-byte pieces, each cut at its first zero byte;
// the first "sdk" block of version "6.0", language "C++" and platform "Nokia" gives its
// non-shared path with a backslash appended when it has none.
std::string ExpectedRoot(const std::string& aList, bool& aMatched) {
  aMatched = false;
  std::string text;
  for (std::size_t pos = 0; pos < aList.size(); pos += 8) {
    const std::string piece = aList.substr(pos, 8);
    text += piece.substr(0, piece.find('\0'));
  }
  std::string_view rest = text;
  for (;;) {
    const std::size_t open = rest.find("<sdk>");
    if (open == std::string_view::npos) return "C:\\";
    rest.remove_prefix(open + 5);
    const std::size_t close = rest.find("</sdk>");
    if (close == std::string_view::npos) continue;
    const std::string_view block = rest.substr(0, close);
    if (Element("ESDKVersion", block) == "6.0" && Element("ESDKLanguage", block) == "C++" &&
        Element("ESDKPlatform", block) == "Nokia") {
      std::string path = Element("ESDKNonSharedPath", block);
      if (path.empty() || path.back() != '\\') path += '\\';
      aMatched = true;
      return path;
    }
  }
}

void Fail(const char* aWhat, const std::string& aGot, const std::string& aExpected) {
  std::fprintf(stderr, "%s\n  got:      \"%s\"\n  expected: \"%s\"\n", aWhat, aGot.c_str(), aExpected.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gPrefix = FuzzTemp::MakeFolder("fuzz-sdklocator");
  zwin::SetPrefixDirectory(gPrefix);
  (void)zwin::PrefixDirectory();
  fs::create_directories(gPrefix / "drive_c" / "Symbian");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  const std::string input(reinterpret_cast<const char*>(aData), aSize);
  const std::size_t zero = input.find('\0');
  const std::string value = zero == std::string::npos ? std::string("C:\\Symbian") : input.substr(0, zero);
  const std::string list = zero == std::string::npos ? input : input.substr(zero + 1);

  // The hive is replaced by a new file: its new inode makes the registry read it again,
  // whatever the time stamps say, without preparing the prefix anew for every input.
  WriteAll(gPrefix / "system.new", "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                                   "[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1600000000\n\"CommonPath\"=hex:" +
                                       Hex(value) + "\n");
  fs::rename(gPrefix / "system.new", gPrefix / "system.reg");
  WriteAll(gPrefix / "drive_c" / "Symbian" / "installed.xml", list);

  std::string common = "unset";
  zolv::ReadRegistryValue(zolv::kSdkRegistryKey, zolv::kSdkRegistryValue, common);
  if (common.size() > zolv::kRegistryValueSize || common.find('\0') != std::string::npos) {
    Fail("registry text longer than the buffer or holding a zero byte", common, "");
  }
  // A value that fits the buffer reads back up to its first zero byte; a longer one
  // does not fit at all.
  const std::string stored = value.substr(0, value.find('\0'));
  if (value.size() <= zolv::kRegistryValueSize && common != stored) Fail("registry text", common, stored);

  std::string root;
  bool found = true;
  const int result = zolv::FindSdkRoot(zolv::SdkListPath(common), root, &found);
  if (result != 0 && result != 1) Fail("result neither 0 nor 1", std::to_string(result), "");
  if (root.empty() || root.back() != '\\') Fail("root without a final backslash", root, "");
  if (!found && root != zolv::kDefaultSdkRoot) Fail("no match but not the default root", root, "C:\\");
  if (result == 0 && found) Fail("a match in a file that could not be read", root, "");
  if (root.size() > list.size() + 1 && root != zolv::kDefaultSdkRoot) Fail("root larger than the list", root, "");
  // The list file is where the registry leads only for the usual value.
  if (common == "C:\\Symbian") {
    bool matched = false;
    const std::string expected = ExpectedRoot(list, matched);
    if (result != 1 || root != expected) Fail("root differs from the documented scan", root, expected);
    if (found != matched) Fail("match reported wrongly", found ? "found" : "not found", matched ? "found" : "not found");
  }
  return 0;
}
