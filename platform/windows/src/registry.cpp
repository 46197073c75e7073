#include "zwindows/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "zwindows/codepage.h"
#include "zwindows/error.h"
#include "zwindows/files.h"
#include "zwindows/paths.h"

namespace fs = std::filesystem;

namespace zwin {

namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";

struct Value {
  std::u16string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;  // string types hold UTF-16LE, as the system stores them
};

struct Key {
  std::u16string name;
  std::vector<Value> values;
  std::vector<std::unique_ptr<Key>> subkeys;  // sorted without regard to letter case
  std::vector<std::string> options;           // "#..." lines kept as read
  long long stamp = 0;
};

char16_t Fold16(char16_t aChar) {
  if (aChar >= 'A' && aChar <= 'Z') return static_cast<char16_t>(aChar + 0x20);
  if (aChar >= 0xC0 && aChar <= 0xDE && aChar != 0xD7) return static_cast<char16_t>(aChar + 0x20);
  if (aChar >= 0x100 && aChar <= 0x17F && (aChar & 1) == 0) return static_cast<char16_t>(aChar + 1);
  if (aChar >= 0x391 && aChar <= 0x3A9) return static_cast<char16_t>(aChar + 0x20);
  if (aChar >= 0x410 && aChar <= 0x42F) return static_cast<char16_t>(aChar + 0x20);
  return aChar;
}

int Compare16(std::u16string_view aLeft, std::u16string_view aRight) {
  const std::size_t n = std::min(aLeft.size(), aRight.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t l = Fold16(aLeft[i]);
    const char16_t r = Fold16(aRight[i]);
    if (l != r) return l < r ? -1 : 1;
  }
  if (aLeft.size() == aRight.size()) return 0;
  return aLeft.size() < aRight.size() ? -1 : 1;
}

Key* FindSubkey(Key& aKey, std::u16string_view aName) {
  for (auto& k : aKey.subkeys) {
    if (Compare16(k->name, aName) == 0) return k.get();
  }
  return nullptr;
}

Key& AddSubkey(Key& aKey, std::u16string aName) {
  auto key = std::make_unique<Key>();
  key->name = std::move(aName);
  key->stamp = static_cast<long long>(std::time(nullptr));
  auto pos = std::lower_bound(aKey.subkeys.begin(), aKey.subkeys.end(), key->name,
                              [](const std::unique_ptr<Key>& k, const std::u16string& n) {
                                return Compare16(k->name, n) < 0;
                              });
  return **aKey.subkeys.insert(pos, std::move(key));
}

Value* FindValue(Key& aKey, std::u16string_view aName) {
  for (auto& v : aKey.values) {
    if (Compare16(v.name, aName) == 0) return &v;
  }
  return nullptr;
}

// ---- text format -------------------------------------------------------------

bool IsHex(char16_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// Reads an escaped string up to aDelimiter; returns false when it is not terminated.
bool Unescape(std::u16string_view aLine, std::size_t& aPos, char16_t aDelimiter,
              std::u16string& aOut) {
  aOut.clear();
  while (aPos < aLine.size()) {
    char16_t c = aLine[aPos++];
    if (c == aDelimiter) return true;
    if (c != '\\' || aPos >= aLine.size()) {
      aOut += c;
      continue;
    }
    c = aLine[aPos++];
    switch (c) {
      case 'a': aOut += u'\a'; break;
      case 'b': aOut += u'\b'; break;
      case 'e': aOut += char16_t{27}; break;
      case 'f': aOut += u'\f'; break;
      case 'n': aOut += u'\n'; break;
      case 'r': aOut += u'\r'; break;
      case 't': aOut += u'\t'; break;
      case 'v': aOut += u'\v'; break;
      case 'x': {
        if (aPos >= aLine.size() || !IsHex(aLine[aPos])) {
          aOut += u'x';
          break;
        }
        unsigned value = 0;
        for (int i = 0; i < 4 && aPos < aLine.size() && IsHex(aLine[aPos]); ++i) {
          value = value * 16 + static_cast<unsigned>(HexValue(aLine[aPos++]));
        }
        aOut += static_cast<char16_t>(value);
        break;
      }
      default:
        if (c >= '0' && c <= '7') {
          unsigned value = c - '0';
          for (int i = 0; i < 2 && aPos < aLine.size() && aLine[aPos] >= '0' && aLine[aPos] <= '7';
               ++i) {
            value = value * 8 + (aLine[aPos++] - '0');
          }
          aOut += static_cast<char16_t>(value);
        } else {
          aOut += c;
        }
    }
  }
  return false;
}

void Escape(std::u16string_view aText, std::string_view aSpecial, std::string& aOut) {
  static const char kEscapes[33] = ".......abtnvfr.............e....";
  for (std::size_t i = 0; i < aText.size(); ++i) {
    const char16_t c = aText[i];
    const bool hasNext = i + 1 < aText.size();
    const char16_t next = hasNext ? aText[i + 1] : 0;
    char buf[16];
    if (c > 127) {
      std::snprintf(buf, sizeof buf, hasNext && next < 128 && IsHex(next) ? "\\x%04x" : "\\x%x",
                    static_cast<unsigned>(c));
      aOut += buf;
    } else if (c < 32) {
      if (kEscapes[c] != '.') {
        aOut += '\\';
        aOut += kEscapes[c];
      } else {
        std::snprintf(buf, sizeof buf, hasNext && next >= '0' && next <= '7' ? "\\%03o" : "\\%o",
                      static_cast<unsigned>(c));
        aOut += buf;
      }
    } else {
      if (c == '\\' || aSpecial.find(static_cast<char>(c)) != std::string_view::npos) aOut += '\\';
      aOut += static_cast<char>(c);
    }
  }
}

std::vector<BYTE> ToBytes(std::u16string_view aText, bool aTerminate) {
  std::vector<BYTE> out;
  out.reserve((aText.size() + 1) * 2);
  for (char16_t c : aText) {
    out.push_back(static_cast<BYTE>(c & 0xFF));
    out.push_back(static_cast<BYTE>(c >> 8));
  }
  if (aTerminate) {
    out.push_back(0);
    out.push_back(0);
  }
  return out;
}

std::u16string FromBytes(const std::vector<BYTE>& aBytes) {
  std::u16string out;
  for (std::size_t i = 0; i + 1 < aBytes.size(); i += 2) {
    out += static_cast<char16_t>(aBytes[i] | (aBytes[i + 1] << 8));
  }
  return out;
}

bool StartsWith(std::u16string_view aText, std::size_t aPos, std::string_view aPrefix) {
  if (aPos + aPrefix.size() > aText.size()) return false;
  for (std::size_t i = 0; i < aPrefix.size(); ++i) {
    if (aText[aPos + i] != static_cast<unsigned char>(aPrefix[i])) return false;
  }
  return true;
}

bool ParseHexNumber(std::u16string_view aLine, std::size_t& aPos, unsigned& aValue, int aMaxDigits) {
  aValue = 0;
  int digits = 0;
  while (aPos < aLine.size() && IsHex(aLine[aPos]) && digits < aMaxDigits) {
    aValue = aValue * 16 + static_cast<unsigned>(HexValue(aLine[aPos++]));
    ++digits;
  }
  return digits > 0;
}

bool ParseValue(std::u16string_view aLine, Value& aValue) {
  std::size_t pos = 0;
  if (aLine[0] == '@') {
    aValue.name.clear();
    pos = 1;
  } else {
    pos = 1;
    if (!Unescape(aLine, pos, u'"', aValue.name)) return false;
  }
  while (pos < aLine.size() && (aLine[pos] == ' ' || aLine[pos] == '\t')) ++pos;
  if (pos >= aLine.size() || aLine[pos] != '=') return false;
  ++pos;
  while (pos < aLine.size() && (aLine[pos] == ' ' || aLine[pos] == '\t')) ++pos;

  unsigned type = REG_SZ;
  if (StartsWith(aLine, pos, "str(")) {
    pos += 4;
    if (!ParseHexNumber(aLine, pos, type, 8) || !StartsWith(aLine, pos, "):")) return false;
    pos += 2;
  }
  if (pos < aLine.size() && aLine[pos] == '"') {
    ++pos;
    std::u16string text;
    if (!Unescape(aLine, pos, u'"', text)) return false;
    aValue.type = type;
    aValue.data = ToBytes(text, true);
    return true;
  }
  if (StartsWith(aLine, pos, "dword:")) {
    pos += 6;
    unsigned number = 0;
    if (!ParseHexNumber(aLine, pos, number, 8)) return false;
    aValue.type = REG_DWORD;
    aValue.data = {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
                   static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)};
    return true;
  }
  if (StartsWith(aLine, pos, "hex:")) {
    type = REG_BINARY;
    pos += 4;
  } else if (StartsWith(aLine, pos, "hex(")) {
    pos += 4;
    if (!ParseHexNumber(aLine, pos, type, 8) || !StartsWith(aLine, pos, "):")) return false;
    pos += 2;
  } else {
    return false;
  }
  aValue.type = type;
  aValue.data.clear();
  while (pos < aLine.size()) {
    const char16_t c = aLine[pos];
    if (c == ',' || c == ' ' || c == '\t') {
      ++pos;
      continue;
    }
    unsigned byte = 0;
    if (!ParseHexNumber(aLine, pos, byte, 2)) return false;
    aValue.data.push_back(static_cast<BYTE>(byte));
  }
  return true;
}

void DumpValue(const Value& aValue, std::string& aOut) {
  const std::size_t lineStart = aOut.size();
  if (aValue.name.empty()) {
    aOut += '@';
  } else {
    aOut += '"';
    Escape(aValue.name, "\"", aOut);
    aOut += '"';
  }
  aOut += '=';
  const auto& d = aValue.data;
  const bool stringType =
      aValue.type == REG_SZ || aValue.type == REG_EXPAND_SZ || aValue.type == REG_MULTI_SZ;
  if (stringType && d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 1] == 0 &&
      d[d.size() - 2] == 0) {
    if (aValue.type != REG_SZ) {
      char buf[24];
      std::snprintf(buf, sizeof buf, "str(%x):", static_cast<unsigned>(aValue.type));
      aOut += buf;
    }
    std::u16string text = FromBytes(d);
    text.pop_back();
    aOut += '"';
    Escape(text, "\"", aOut);
    aOut += "\"\n";
    return;
  }
  if (aValue.type == REG_DWORD && d.size() == 4) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "dword:%08x",
                  static_cast<unsigned>(d[0] | (d[1] << 8) | (d[2] << 16) | (d[3] << 24)));
    aOut += buf;
    aOut += '\n';
    return;
  }
  if (aValue.type == REG_BINARY) {
    aOut += "hex:";
  } else {
    char buf[24];
    std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(aValue.type));
    aOut += buf;
  }
  std::size_t column = aOut.size() - lineStart;
  for (std::size_t i = 0; i < d.size(); ++i) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", d[i]);
    aOut += buf;
    column += 2;
    if (i + 1 < d.size()) {
      aOut += ',';
      ++column;
      if (column > 76) {
        aOut += "\\\n  ";
        column = 2;
      }
    }
  }
  aOut += '\n';
}

// ---- hives ---------------------------------------------------------------------

struct Hive {
  const char* fileName;
  const char* defaultPreamble;
  Key root;
  std::vector<std::string> preamble;
  bool loaded = false;
  bool corrupt = false;
  unsigned generation = 0;
  bool fileExists = false;
  struct stat identity {};
};

Hive gMachine{"system.reg", ";; All keys relative to \\\\Machine\n\n#arch=win32", {}, {}, false, false, 0, false, {}};
Hive gUser{"user.reg", ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32", {}, {}, false, false, 0, false, {}};
std::recursive_mutex gMutex;

fs::path HivePath(const Hive& aHive) { return PrefixDirectory() / aHive.fileName; }

void SplitLines(std::string_view aText, std::vector<std::string>& aLines) {
  std::size_t pos = 0;
  while (pos < aText.size()) {
    std::size_t end = aText.find('\n', pos);
    if (end == std::string_view::npos) end = aText.size();
    std::string line(aText.substr(pos, end - pos));
    // Carriage returns at a line's end go with the line break (files written on Windows);
    // all of them, since a line is written back ending in a line feed alone and must read
    // the same the next time.
    while (!line.empty() && line.back() == '\r') line.pop_back();
    aLines.push_back(std::move(line));
    pos = end + 1;
  }
}

void Parse(Hive& aHive, std::string_view aText) {
  aHive.root = Key{};
  aHive.preamble.clear();
  std::vector<std::string> lines;
  SplitLines(aText, lines);
  if (lines.empty() || lines[0] != kSignature) {
    aHive.corrupt = true;
    return;
  }
  Key* current = nullptr;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string line = lines[i];
    // Only values continue on the next line (long hex data); other lines are kept as they
    // are, so a comment or unknown line that ends in a backslash survives being saved.
    const bool isValue = current && !line.empty() && (line[0] == '@' || line[0] == '"');
    while (isValue && line.back() == '\\' && i + 1 < lines.size() && line.size() < (1u << 26)) {
      line.pop_back();
      std::string_view next = lines[++i];
      next.remove_prefix(std::min(next.find_first_not_of(" \t"), next.size()));
      line += next;
    }
    if (line.empty()) {
      if (!current) aHive.preamble.push_back(line);
      continue;
    }
    if (line[0] == '[') {
      const std::u16string wide = Utf8ToUtf16(line);
      std::size_t pos = 1;
      std::u16string path;
      if (!Unescape(wide, pos, u']', path)) {
        current = nullptr;
        continue;
      }
      Key* key = &aHive.root;
      std::size_t start = 0;
      while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos) end = path.size();
        std::u16string name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        Key* sub = FindSubkey(*key, name);
        key = sub ? sub : &AddSubkey(*key, std::move(name));
      }
      current = key == &aHive.root ? nullptr : key;
      if (current) {
        const std::string rest = Utf16ToUtf8(wide.substr(std::min(pos, wide.size())));
        current->stamp = std::atoll(rest.c_str());
      }
      continue;
    }
    if (!current) {
      aHive.preamble.push_back(line);
      continue;
    }
    if (line[0] == '#') {
      current->options.push_back(line);
      continue;
    }
    if (line[0] == '@' || line[0] == '"') {
      Value value;
      if (!ParseValue(Utf8ToUtf16(line), value)) continue;
      if (Value* existing = FindValue(*current, value.name)) {
        *existing = std::move(value);
      } else {
        current->values.push_back(std::move(value));
      }
    }
  }
  while (!aHive.preamble.empty() && aHive.preamble.back().empty()) aHive.preamble.pop_back();
}

void DumpKey(const Key& aKey, const std::u16string& aPath, std::string& aOut) {
  if (!aKey.values.empty() || aKey.subkeys.empty() || !aKey.options.empty()) {
    aOut += '[';
    Escape(aPath, "[]", aOut);
    aOut += "] " + std::to_string(aKey.stamp) + "\n";
    for (const auto& option : aKey.options) aOut += option + "\n";
    for (const auto& value : aKey.values) DumpValue(value, aOut);
    aOut += '\n';
  }
  for (const auto& sub : aKey.subkeys) DumpKey(*sub, aPath + u"\\" + sub->name, aOut);
}

std::string Dump(const Hive& aHive) {
  std::string out(kSignature);
  out += '\n';
  if (aHive.preamble.empty()) {
    out += aHive.defaultPreamble;
    out += '\n';
  } else {
    for (const auto& line : aHive.preamble) out += line + "\n";
  }
  out += '\n';
  for (const auto& sub : aHive.root.subkeys) DumpKey(*sub, sub->name, out);
  return out;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Brings the hive up to date with its file.
void Refresh(Hive& aHive) {
  const fs::path path = HivePath(aHive);
  struct stat st;
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (aHive.loaded && aHive.generation == PrefixGeneration() && exists == aHive.fileExists &&
      (!exists || SameFile(st, aHive.identity))) {
    return;
  }
  aHive.root = Key{};
  aHive.preamble.clear();
  aHive.corrupt = false;
  aHive.loaded = true;
  aHive.generation = PrefixGeneration();
  aHive.fileExists = exists;
  if (!exists) return;
  aHive.identity = st;
  std::string text;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    aHive.corrupt = true;
    return;
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) aHive.corrupt = true;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!aHive.corrupt) Parse(aHive, text);
}

// Writes the hive atomically; returns a Windows error code.
DWORD Save(Hive& aHive) {
  const fs::path path = HivePath(aHive);
  const std::string text = Dump(aHive);
  // A new file of our own beside the hive, never one that a link there names.
  fs::path temp;
  const int fd = CreateExclusiveHostFile(path.parent_path(), path.filename().string(), temp, 0644);
  DWORD error = fd < 0 ? ErrorFromErrno(errno) : ERROR_SUCCESS;
  std::size_t done = 0;
  while (!error && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = ErrorFromErrno(errno);
    else done += static_cast<std::size_t>(n);
  }
  if (!error && ::fsync(fd) != 0) error = ErrorFromErrno(errno);
  if (fd >= 0 && ::close(fd) != 0 && !error) error = ErrorFromErrno(errno);
  if (!error && ::rename(temp.c_str(), path.c_str()) != 0) error = ErrorFromErrno(errno);
  if (error) {
    if (fd >= 0) ::unlink(temp.c_str());
    aHive.loaded = false;  // forget the change that could not be stored
    return error;
  }
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    aHive.identity = st;
    aHive.fileExists = true;
  } else {
    aHive.loaded = false;
  }
  return ERROR_SUCCESS;
}

// ---- handles -------------------------------------------------------------------

struct OpenKey {
  Hive* hive;
  std::vector<std::u16string> path;
  REGSAM access;
};

std::map<HKEY, OpenKey> gKeys;
HKEY gNextKey = 0x1000;

Hive* HiveOf(HKEY aKey) {
  if (aKey == HKEY_LOCAL_MACHINE) return &gMachine;
  if (aKey == HKEY_CURRENT_USER) return &gUser;
  return nullptr;
}

// Resolves a handle to its hive, key path and access rights.
LONG Resolve(HKEY aKey, OpenKey& aOut) {
  if (Hive* hive = HiveOf(aKey)) {
    aOut = OpenKey{hive, {}, KEY_ALL_ACCESS};
    Refresh(*hive);
    return ERROR_SUCCESS;
  }
  auto it = gKeys.find(aKey);
  if (it == gKeys.end()) return ERROR_INVALID_HANDLE;
  aOut = it->second;
  Refresh(*aOut.hive);
  return ERROR_SUCCESS;
}

Key* Walk(Hive& aHive, const std::vector<std::u16string>& aPath) {
  Key* key = &aHive.root;
  for (const auto& name : aPath) {
    key = FindSubkey(*key, name);
    if (!key) return nullptr;
  }
  return key;
}

LONG SplitSubKey(std::string_view aSubKey, std::vector<std::u16string>& aParts) {
  if (!aSubKey.empty() && aSubKey[0] == '\\') return ERROR_BAD_PATHNAME;
  std::size_t pos = 0;
  while (pos <= aSubKey.size()) {
    std::size_t end = aSubKey.find('\\', pos);
    if (end == std::string_view::npos) end = aSubKey.size();
    if (end > pos) {
      if (end - pos > 255) return ERROR_INVALID_PARAMETER;
      aParts.push_back(AnsiToUtf16(aSubKey.substr(pos, end - pos)));
    }
    pos = end + 1;
  }
  return ERROR_SUCCESS;
}

HKEY NewHandle(OpenKey aKey) {
  const HKEY handle = gNextKey;
  gNextKey += 4;
  gKeys.emplace(handle, std::move(aKey));
  return handle;
}

std::u16string ValueName(const char* aName) {
  return aName ? AnsiToUtf16(aName) : std::u16string();
}

bool IsStringType(DWORD aType) {
  return aType == REG_SZ || aType == REG_EXPAND_SZ || aType == REG_MULTI_SZ;
}

template <typename F>
LONG Guarded(F&& aBody) {
  std::lock_guard lock(gMutex);
  try {
    return aBody();
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

}  // namespace

LONG RegOpenKeyEx(HKEY aKey, std::string_view aSubKey, DWORD aOptions, REGSAM aAccess,
                  HKEY* aResult) {
  return Guarded([&]() -> LONG {
    if (!aResult) return ERROR_INVALID_PARAMETER;
    *aResult = 0;
    OpenKey base;
    if (LONG e = Resolve(aKey, base)) return e;
    std::vector<std::u16string> parts;
    if (LONG e = SplitSubKey(aSubKey, parts)) return e;
    Key* key = Walk(*base.hive, base.path);
    if (!key) return ERROR_KEY_DELETED;
    OpenKey opened{base.hive, base.path, aAccess};
    for (const auto& name : parts) {
      key = FindSubkey(*key, name);
      if (!key) return ERROR_FILE_NOT_FOUND;
      opened.path.push_back(key->name);
    }
    *aResult = NewHandle(std::move(opened));
    return ERROR_SUCCESS;
  });
}

LONG RegCreateKeyEx(HKEY aKey, std::string_view aSubKey, DWORD aReserved, std::string_view aClass,
                    DWORD aOptions, REGSAM aAccess, const void* aSecurity, HKEY* aResult,
                    DWORD* aDisposition) {
  return Guarded([&]() -> LONG {
    if (!aResult) return ERROR_INVALID_PARAMETER;
    *aResult = 0;
    OpenKey base;
    if (LONG e = Resolve(aKey, base)) return e;
    std::vector<std::u16string> parts;
    if (LONG e = SplitSubKey(aSubKey, parts)) return e;
    Key* key = Walk(*base.hive, base.path);
    if (!key) return ERROR_KEY_DELETED;
    OpenKey opened{base.hive, base.path, aAccess};
    bool created = false;
    for (const auto& name : parts) {
      Key* sub = FindSubkey(*key, name);
      if (!sub) {
        if (!(base.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        if (base.hive->corrupt) return ERROR_BADDB;
        sub = &AddSubkey(*key, name);
        if (!aClass.empty()) sub->options.push_back("#class=\"" + AnsiToUtf8(aClass) + "\"");
        created = true;
      }
      key = sub;
      opened.path.push_back(key->name);
    }
    if (created) {
      if (LONG e = Save(*base.hive)) return e;
    }
    if (aDisposition) *aDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *aResult = NewHandle(std::move(opened));
    return ERROR_SUCCESS;
  });
}

LONG RegQueryValueEx(HKEY aKey, const char* aValueName, DWORD* aReserved, DWORD* aType,
                     BYTE* aData, DWORD* aDataSize) {
  return Guarded([&]() -> LONG {
    if (aData && !aDataSize) return ERROR_INVALID_PARAMETER;
    OpenKey handle;
    if (LONG e = Resolve(aKey, handle)) return e;
    if (!(handle.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    Key* key = Walk(*handle.hive, handle.path);
    if (!key) return ERROR_KEY_DELETED;
    const Value* value = FindValue(*key, ValueName(aValueName));
    if (!value) return ERROR_FILE_NOT_FOUND;
    std::string bytes;
    if (IsStringType(value->type)) {
      bytes = Utf16ToAnsi(FromBytes(value->data));
    } else {
      bytes.assign(value->data.begin(), value->data.end());
    }
    if (aType) *aType = value->type;
    if (!aDataSize) return ERROR_SUCCESS;
    const auto size = static_cast<DWORD>(bytes.size());
    if (aData && *aDataSize < size) {
      *aDataSize = size;
      return ERROR_MORE_DATA;
    }
    if (aData) std::copy(bytes.begin(), bytes.end(), aData);
    *aDataSize = size;
    return ERROR_SUCCESS;
  });
}

LONG RegSetValueEx(HKEY aKey, const char* aValueName, DWORD aReserved, DWORD aType,
                   const BYTE* aData, DWORD aDataSize) {
  return Guarded([&]() -> LONG {
    if (!aData && aDataSize) return ERROR_INVALID_PARAMETER;
    OpenKey handle;
    if (LONG e = Resolve(aKey, handle)) return e;
    if (!(handle.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (handle.hive->corrupt) return ERROR_BADDB;
    Key* key = Walk(*handle.hive, handle.path);
    if (!key) return ERROR_KEY_DELETED;
    Value value;
    value.name = ValueName(aValueName);
    value.type = aType;
    if (IsStringType(aType)) {
      value.data = ToBytes(AnsiToUtf16(std::string_view(reinterpret_cast<const char*>(aData), aDataSize)), false);
    } else if (aDataSize) {
      value.data.assign(aData, aData + aDataSize);
    }
    if (Value* existing = FindValue(*key, value.name)) {
      existing->type = value.type;
      existing->data = std::move(value.data);
    } else {
      key->values.push_back(std::move(value));
    }
    return static_cast<LONG>(Save(*handle.hive));
  });
}

LONG RegDeleteValue(HKEY aKey, const char* aValueName) {
  return Guarded([&]() -> LONG {
    OpenKey handle;
    if (LONG e = Resolve(aKey, handle)) return e;
    if (!(handle.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (handle.hive->corrupt) return ERROR_BADDB;
    Key* key = Walk(*handle.hive, handle.path);
    if (!key) return ERROR_KEY_DELETED;
    const std::u16string name = ValueName(aValueName);
    auto it = std::find_if(key->values.begin(), key->values.end(),
                           [&](const Value& v) { return Compare16(v.name, name) == 0; });
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    key->values.erase(it);
    return static_cast<LONG>(Save(*handle.hive));
  });
}

LONG RegDeleteKey(HKEY aKey, std::string_view aSubKey) {
  return Guarded([&]() -> LONG {
    OpenKey handle;
    if (LONG e = Resolve(aKey, handle)) return e;
    std::vector<std::u16string> parts;
    if (LONG e = SplitSubKey(aSubKey, parts)) return e;
    std::vector<std::u16string> path = handle.path;
    path.insert(path.end(), parts.begin(), parts.end());
    if (path.empty()) return ERROR_ACCESS_DENIED;
    if (handle.hive->corrupt) return ERROR_BADDB;
    if (!Walk(*handle.hive, handle.path)) return ERROR_KEY_DELETED;
    std::vector<std::u16string> parentPath(path.begin(), path.end() - 1);
    Key* parent = Walk(*handle.hive, parentPath);
    Key* key = parent ? FindSubkey(*parent, path.back()) : nullptr;
    if (!key) return ERROR_FILE_NOT_FOUND;
    if (!key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    parent->subkeys.erase(std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                                       [&](const auto& k) { return k.get() == key; }));
    return static_cast<LONG>(Save(*handle.hive));
  });
}

LONG RegCloseKey(HKEY aKey) {
  return Guarded([&]() -> LONG {
    if (HiveOf(aKey)) return ERROR_SUCCESS;
    return gKeys.erase(aKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
  });
}

}  // namespace zwin
