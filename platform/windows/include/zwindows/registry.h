// The registry, kept in the prefix as Wine keeps it: HKEY_LOCAL_MACHINE in
// system.reg and HKEY_CURRENT_USER in user.reg, text files in the
// "WINE REGISTRY Version 2" format. Every change is written back at once,
// atomically (temporary file, flush, rename), and changes made by other
// processes are picked up on the next call. Functions return Windows error codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "zwindows/types.h"

namespace zwin {

using HKEY = std::uintptr_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Texts are in the ANSI code page; a null or empty value name means the key's default value.
LONG RegOpenKeyEx(HKEY aKey, std::string_view aSubKey, DWORD aOptions, REGSAM aAccess,
                  HKEY* aResult);
LONG RegCreateKeyEx(HKEY aKey, std::string_view aSubKey, DWORD aReserved, std::string_view aClass,
                    DWORD aOptions, REGSAM aAccess, const void* aSecurity, HKEY* aResult,
                    DWORD* aDisposition);
// With a null aData only the size is reported. A buffer too small gives ERROR_MORE_DATA,
// the needed size in *aDataSize and an untouched buffer.
LONG RegQueryValueEx(HKEY aKey, const char* aValueName, DWORD* aReserved, DWORD* aType,
                     BYTE* aData, DWORD* aDataSize);
LONG RegSetValueEx(HKEY aKey, const char* aValueName, DWORD aReserved, DWORD aType,
                   const BYTE* aData, DWORD aDataSize);
LONG RegDeleteValue(HKEY aKey, const char* aValueName);
// Deletes a key that has no sub-keys (ERROR_ACCESS_DENIED otherwise).
LONG RegDeleteKey(HKEY aKey, std::string_view aSubKey);
LONG RegCloseKey(HKEY aKey);

}  // namespace zwin
