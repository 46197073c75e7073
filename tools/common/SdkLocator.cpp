#include "SdkLocator.h"

#include <cstring>
#include <new>

#include "zwindows/files.h"
#include "zwindows/registry.h"

namespace zolv {

using namespace zwin;

LONG ReadRegistryValue(std::string_view aSubKey, const char* aValueName, std::string& aValue) {
  char buffer[kRegistryValueSize];
  std::memset(buffer, 0, sizeof buffer);
  aValue.clear();
  HKEY key = 0;
  const LONG opened = RegOpenKeyEx(HKEY_LOCAL_MACHINE, aSubKey, 0, KEY_READ, &key);
  if (opened != ERROR_SUCCESS) return opened;
  DWORD size = sizeof buffer;
  DWORD type = 0;
  RegQueryValueEx(key, aValueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  const LONG closed = RegCloseKey(key);
  // A value that fills the whole buffer has no terminator left: stop at the buffer's end.
  aValue.assign(buffer, strnlen(buffer, sizeof buffer));
  return closed;
}

int ExtractElement(std::string_view aTag, std::string_view aBlock, std::string& aOut) {
  try {
    aOut.clear();
    const std::string open = "<" + std::string(aTag) + ">";
    const std::string close = "</" + std::string(aTag) + ">";
    const std::size_t start = aBlock.find(open);
    const std::size_t end = aBlock.find(close);
    if (start != std::string_view::npos && end != std::string_view::npos) {
      const std::size_t from = start + open.size();
      // A closing tag before the opening one leaves nothing between them.
      if (end > from) aOut.assign(aBlock.substr(from, end - from));
    }
    return 1;
  } catch (const std::bad_alloc&) {
    aOut.clear();
    return 0;
  }
}

bool ReadTextIn8BytePieces(std::string_view aPath, std::string& aText) {
  aText.clear();
  UniqueHandle file(CreateFile(aPath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!file.Valid()) return false;
  // Read in large blocks but treat them as consecutive 8-byte pieces, which is what
  // reading 8 bytes at a time from a plain file gives.
  constexpr DWORD kBlock = 8 * 1024;
  std::string block(kBlock, '\0');
  DWORD got = 0;
  while (ReadFile(file.Get(), block.data(), kBlock, &got) && got > 0) {
    for (DWORD pos = 0; pos < got; pos += 8) {
      const DWORD piece = got - pos < 8 ? got - pos : 8;
      aText.append(block.data() + pos, strnlen(block.data() + pos, piece));
    }
  }
  return true;
}

std::string SdkListPath(std::string_view aCommonPath) {
  return std::string(aCommonPath) + "\\installed.xml";
}

int FindSdkRoot(std::string_view aListPath, std::string& aRoot, bool* aFound) {
  aRoot = kDefaultSdkRoot;
  if (aFound) *aFound = false;
  try {
    std::string text;
    if (!ReadTextIn8BytePieces(aListPath, text)) return 0;
    std::string_view rest = text;
    for (;;) {
      const std::size_t open = rest.find("<sdk>");
      if (open == std::string_view::npos) break;
      rest.remove_prefix(open + 5);
      const std::size_t close = rest.find("</sdk>");
      if (close == std::string_view::npos) continue;
      const std::string_view block = rest.substr(0, close);
      std::string version, language, platform, path;
      if (!ExtractElement("ESDKVersion", block, version) ||
          !ExtractElement("ESDKLanguage", block, language) ||
          !ExtractElement("ESDKPlatform", block, platform) ||
          !ExtractElement("ESDKNonSharedPath", block, path)) {
        return 1;
      }
      if (version == "6.0" && language == "C++" && platform == "Nokia") {
        if (path.empty() || path.back() != '\\') path += '\\';
        aRoot = path;
        if (aFound) *aFound = true;
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    aRoot = kDefaultSdkRoot;
    if (aFound) *aFound = false;
  }
  return 1;
}

}  // namespace zolv
