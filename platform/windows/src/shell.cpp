#include "zwindows/shell.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "zwindows/codepage.h"
#include "zwindows/error.h"
#include "zwindows/files.h"
#include "zwindows/registry.h"

namespace zwin {

namespace {
// Layout constants of the shell link binary format.
constexpr DWORD kHeaderSize = 0x4C;
constexpr BYTE kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr DWORD kHasLinkTargetIdList = 0x01;
constexpr DWORD kHasLinkInfo = 0x02;
constexpr DWORD kHasName = 0x04;
constexpr DWORD kIsUnicode = 0x80;
constexpr DWORD kLinkInfoHeaderSize = 0x1C;
constexpr DWORD kVolumeIdAndLocalBasePath = 0x01;
constexpr DWORD kDriveFixed = 3;
constexpr DWORD kShowNormal = 1;

void Put16(std::vector<BYTE>& aOut, unsigned aValue) {
  aOut.push_back(static_cast<BYTE>(aValue & 0xFF));
  aOut.push_back(static_cast<BYTE>((aValue >> 8) & 0xFF));
}
void Put32(std::vector<BYTE>& aOut, DWORD aValue) {
  Put16(aOut, aValue & 0xFFFF);
  Put16(aOut, aValue >> 16);
}
void Zeros(std::vector<BYTE>& aOut, std::size_t aCount) { aOut.insert(aOut.end(), aCount, 0); }

unsigned Get16(const std::vector<BYTE>& aIn, std::size_t aPos) {
  return aIn[aPos] | (static_cast<unsigned>(aIn[aPos + 1]) << 8);
}
DWORD Get32(const std::vector<BYTE>& aIn, std::size_t aPos) {
  return Get16(aIn, aPos) | (static_cast<DWORD>(Get16(aIn, aPos + 2)) << 16);
}

std::vector<BYTE> LinkBytes(std::string_view aTarget, std::string_view aDescription) {
  std::vector<BYTE> out;
  Put32(out, kHeaderSize);
  out.insert(out.end(), std::begin(kLinkClsid), std::end(kLinkClsid));
  Put32(out, kHasLinkInfo | kHasName | kIsUnicode);
  Put32(out, 0);     // file attributes of the target: unknown
  Zeros(out, 24);    // creation, access and write times
  Put32(out, 0);     // target size
  Put32(out, 0);     // icon index
  Put32(out, kShowNormal);
  Put16(out, 0);     // hot key
  Zeros(out, 10);    // reserved

  // Link information: a fixed volume without a label, the target as local base path.
  const std::string target(aTarget.substr(0, aTarget.find('\0')));
  const DWORD volumeSize = 0x11;
  const DWORD basePathOffset = kLinkInfoHeaderSize + volumeSize;
  const DWORD suffixOffset = basePathOffset + static_cast<DWORD>(target.size()) + 1;
  const DWORD infoSize = suffixOffset + 1;
  Put32(out, infoSize);
  Put32(out, kLinkInfoHeaderSize);
  Put32(out, kVolumeIdAndLocalBasePath);
  Put32(out, kLinkInfoHeaderSize);
  Put32(out, basePathOffset);
  Put32(out, 0);  // no network location
  Put32(out, suffixOffset);
  Put32(out, volumeSize);
  Put32(out, kDriveFixed);
  Put32(out, 0);     // serial number
  Put32(out, 0x10);  // label offset
  out.push_back(0);  // empty label
  out.insert(out.end(), target.begin(), target.end());
  out.push_back(0);
  out.push_back(0);  // empty common path suffix

  // The description, as the name string in UTF-16.
  std::u16string name = AnsiToUtf16(aDescription);
  if (name.size() > 0xFFFF) name.resize(0xFFFF);
  Put16(out, static_cast<unsigned>(name.size()));
  for (char16_t c : name) Put16(out, c);
  Put32(out, 0);  // terminal block
  return out;
}
}  // namespace

HRESULT HResultFromWin32(DWORD aError) {
  if (aError == ERROR_SUCCESS) return S_OK;
  return static_cast<HRESULT>((aError & 0xFFFFu) | 0x80070000u);
}

std::string RegisterProgramsFolder() {
  HKEY key = 0;
  std::string folder;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    if (RegQueryValueEx(key, "Programs", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
        ERROR_SUCCESS) {
      folder.assign(buffer, strnlen(buffer, sizeof buffer));
    }
    RegCloseKey(key);
  }
  if (folder.empty()) {
    const char* user = std::getenv("USER");
    std::string name = user && *user ? Utf8ToAnsi(user) : "user";
    if (name.find_first_of("\\/:*?\"<>|") != std::string::npos) name = "user";
    folder = "C:\\users\\" + name + "\\Start Menu\\Programs";
    if (RegCreateKeyEx(HKEY_CURRENT_USER, kShellFoldersKey, 0, "", REG_OPTION_NON_VOLATILE,
                       KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
      RegSetValueEx(key, "Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                    static_cast<DWORD>(folder.size() + 1));
      RegCloseKey(key);
    }
  }
  // Create the folder and its parents, each in turn.
  for (std::size_t pos = folder.find('\\', 3); ; pos = folder.find('\\', pos + 1)) {
    CreateDirectory(folder.substr(0, pos));
    if (pos == std::string::npos) break;
  }
  return folder;
}

HRESULT CreateShellLink(std::string_view aTarget, std::string_view aLinkPath,
                        std::string_view aDescription) {
  // The link's own path goes through a UTF-16 buffer of MAX_PATH characters.
  if (aLinkPath.empty() || AnsiToUtf16(aLinkPath).size() >= MAX_PATH) return E_INVALIDARG;
  const std::vector<BYTE> bytes = LinkBytes(aTarget, aDescription);
  UniqueHandle file(CreateFile(aLinkPath, GENERIC_WRITE, 0, CREATE_ALWAYS));
  if (!file.Valid()) return HResultFromWin32(GetLastError());
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written)) {
    const DWORD error = GetLastError();
    file.Reset();
    DeleteFile(aLinkPath);
    return HResultFromWin32(error);
  }
  return S_OK;
}

HRESULT ReadShellLink(std::string_view aLinkPath, std::string& aTarget, std::string& aDescription) {
  aTarget.clear();
  aDescription.clear();
  UniqueHandle file(CreateFile(aLinkPath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!file.Valid()) return HResultFromWin32(GetLastError());
  std::vector<BYTE> in;
  BYTE chunk[4096];
  DWORD got = 0;
  while (ReadFile(file.Get(), chunk, sizeof chunk, &got) && got > 0) {
    in.insert(in.end(), chunk, chunk + got);
    if (in.size() > (1u << 20)) return E_FAIL;
  }
  if (in.size() < kHeaderSize || Get32(in, 0) != kHeaderSize ||
      std::memcmp(in.data() + 4, kLinkClsid, sizeof kLinkClsid) != 0) {
    return E_FAIL;
  }
  const DWORD flags = Get32(in, 20);
  std::size_t pos = kHeaderSize;
  if (flags & kHasLinkTargetIdList) {
    if (pos + 2 > in.size()) return E_FAIL;
    pos += 2 + Get16(in, pos);
  }
  if (flags & kHasLinkInfo) {
    if (pos + kLinkInfoHeaderSize > in.size()) return E_FAIL;
    const DWORD size = Get32(in, pos);
    if (size < kLinkInfoHeaderSize || size > in.size() - pos) return E_FAIL;
    if (Get32(in, pos + 8) & kVolumeIdAndLocalBasePath) {
      const DWORD offset = Get32(in, pos + 16);
      if (offset >= size) return E_FAIL;
      const char* start = reinterpret_cast<const char*>(in.data() + pos + offset);
      aTarget.assign(start, strnlen(start, size - offset));
    }
    pos += size;
  }
  if (flags & kHasName) {
    if (pos + 2 > in.size()) return E_FAIL;
    const std::size_t count = Get16(in, pos);
    pos += 2;
    const std::size_t unit = (flags & kIsUnicode) ? 2 : 1;
    if (count * unit > in.size() - pos) return E_FAIL;
    if (unit == 2) {
      std::u16string name;
      for (std::size_t i = 0; i < count; ++i) name += static_cast<char16_t>(Get16(in, pos + 2 * i));
      aDescription = Utf16ToAnsi(name);
    } else {
      aDescription.assign(reinterpret_cast<const char*>(in.data() + pos), count);
    }
  }
  return S_OK;
}

}  // namespace zwin
