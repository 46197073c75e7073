// Shell links (.lnk files) and the Start menu's Programs folder.
#pragma once

#include <string>
#include <string_view>

#include "zwindows/types.h"

namespace zwin {

using HRESULT = LONG;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr bool SUCCEEDED(HRESULT aStatus) { return aStatus >= 0; }
// The status for a system error code, as the shell reports file errors.
HRESULT HResultFromWin32(DWORD aError);

// The registry key holding the shell's folder paths, under HKEY_LOCAL_MACHINE for all
// users ("Common Programs") and under HKEY_CURRENT_USER for the user ("Programs").
inline constexpr const char* kShellFoldersKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Makes sure the user's Programs folder is registered (value "Programs" of the shell
// folders key under HKEY_CURRENT_USER) and exists, as a freshly made prefix would
// have it; keeps a registration that is already there. Returns the folder's path.
std::string RegisterProgramsFolder();

// Writes a shell link file at aLinkPath (ANSI Windows path, at most MAX_PATH - 1
// characters) pointing at aTarget with the description aDescription, in the shell
// link binary format: header, link information with the target as local base path,
// and the description as its name string. Returns S_OK or the failure's status.
HRESULT CreateShellLink(std::string_view aTarget, std::string_view aLinkPath,
                        std::string_view aDescription);

// Reads back a link written by CreateShellLink (or any link whose target is held in
// its link information). Returns S_OK or the failure's status.
HRESULT ReadShellLink(std::string_view aLinkPath, std::string& aTarget, std::string& aDescription);

}  // namespace zwin
