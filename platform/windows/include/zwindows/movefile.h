// Renaming files, with the option of replacing the destination in one step.
#pragma once

#include <string_view>

#include "zwindows/types.h"

namespace zwin {

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
inline constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;

// Renames aFrom to aTo (same drive). With MOVEFILE_REPLACE_EXISTING an existing file
// aTo is replaced atomically: a reader sees either the old or the new file whole.
// With MOVEFILE_WRITE_THROUGH the file's data and the rename are on the disk when
// the call returns. Fails with ERROR_ALREADY_EXISTS when aTo exists and may not be
// replaced, ERROR_ACCESS_DENIED for a read-only file or folder.
BOOL MoveFileEx(std::string_view aFrom, std::string_view aTo, DWORD aFlags);

}  // namespace zwin
