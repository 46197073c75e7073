// Arbitrary bytes as a machine hive (system.reg). The input is split at its first two zero
// bytes into a key name, a value and the hive text (missing parts are empty). The hive is
// read, a key of that name is created below "Software" with the value stored in binary
// and as a string, and the hive is written back. Read again from the file it wrote, the
// key must open and both values must come back unchanged; writing that reading back must
// give the same file, byte for byte. The prefix is kept in memory where the host allows
// (FuzzTemp.h): the registry writes its file through a synchronised replace, which on a
// disk costs a flush for every input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "FuzzTemp.h"
#include "zwindows/paths.h"
#include "zwindows/registry.h"

namespace fs = std::filesystem;
using namespace zwin;

namespace {

fs::path gPrefix;

std::string ReadAll(const fs::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& aPath, const std::string& aText) {
  std::ofstream(aPath, std::ios::binary | std::ios::trunc) << aText;
  // A new generation makes the registry read the file again whatever its time stamps say.
  SetPrefixDirectory(gPrefix);
}

std::string Take(std::string& aRest) {
  const std::size_t zero = aRest.find('\0');
  std::string head = aRest.substr(0, zero);
  aRest = zero == std::string::npos ? std::string() : aRest.substr(zero + 1);
  return head;
}

// Stores both values under the key; false when the hive refuses the change.
bool Store(const std::string& aKey, const std::string& aValue) {
  HKEY key = 0;
  if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, aKey, 0, "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                     nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const auto* data = reinterpret_cast<const BYTE*>(aValue.data());
  const std::string text = aValue + '\0';
  bool ok = RegSetValueEx(key, "bin", 0, REG_BINARY, data, static_cast<DWORD>(aValue.size())) == ERROR_SUCCESS &&
            RegSetValueEx(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size())) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

std::string Query(HKEY aKey, const char* aName, DWORD aType) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueEx(aKey, aName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != aType) {
    std::abort();
  }
  std::string out(size, '\0');
  if (RegQueryValueEx(aKey, aName, nullptr, &type, reinterpret_cast<BYTE*>(out.data()), &size) !=
      ERROR_SUCCESS) {
    std::abort();
  }
  out.resize(size);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gPrefix = FuzzTemp::MakeFolder("fuzz-registry");
  SetPrefixDirectory(gPrefix);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  std::string rest(reinterpret_cast<const char*>(aData), aSize);
  const std::string name = Take(rest).substr(0, 64);
  const std::string value = Take(rest);
  const fs::path hive = gPrefix / "system.reg";
  WriteAll(hive, rest);

  const std::string key = "Software\\" + (name.empty() ? std::string("k") : name);
  if (!Store(key, value)) return 0;
  const std::string written = ReadAll(hive);

  WriteAll(hive, written);
  HKEY opened = 0;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) std::abort();
  if (Query(opened, "bin", REG_BINARY) != value) std::abort();
  if (Query(opened, nullptr, REG_SZ) != value + '\0') std::abort();
  RegCloseKey(opened);

  // Storing the same again changes nothing in the file.
  if (!Store(key, value)) std::abort();
  if (ReadAll(hive) != written) std::abort();
  return 0;
}
