// Conversions between the tools' 8-bit ANSI code page (Windows-1252), UTF-16 and
// the host's UTF-8 file names, and ANSI case folding.
#pragma once

#include <string>
#include <string_view>

namespace zwin {

std::string AnsiToUtf8(std::string_view aAnsi);
// Characters the code page cannot hold become '?', as the system's best-fit conversion does.
std::string Utf8ToAnsi(std::string_view aUtf8);
std::u16string AnsiToUtf16(std::string_view aAnsi);
std::string Utf16ToAnsi(std::u16string_view aUtf16);
std::u16string Utf8ToUtf16(std::string_view aUtf8);
std::string Utf16ToUtf8(std::u16string_view aUtf16);

// Lower-case form of one ANSI character (ASCII and the code page's Latin letters).
char FoldAnsi(char aChar);
bool EqualsNoCaseAnsi(std::string_view aLeft, std::string_view aRight);
// Compare texts without regard to letter case; returns <0, 0 or >0.
int CompareNoCaseAnsi(std::string_view aLeft, std::string_view aRight);

}  // namespace zwin
