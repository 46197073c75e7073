#include "zwindows/codepage.h"

#include <cstdint>

namespace zwin {

namespace {
// Code points of bytes 0x80..0x9F; the five unassigned bytes map to the C1 controls.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t AnsiToCodePoint(unsigned char aByte) {
  if (aByte >= 0x80 && aByte < 0xA0) return kHigh[aByte - 0x80];
  return aByte;
}

char CodePointToAnsi(char32_t aCp) {
  if (aCp < 0x80 || (aCp >= 0xA0 && aCp <= 0xFF)) return static_cast<char>(aCp);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == aCp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

void AppendUtf8(std::string& aOut, char32_t aCp) {
  if (aCp < 0x80) {
    aOut += static_cast<char>(aCp);
  } else if (aCp < 0x800) {
    aOut += static_cast<char>(0xC0 | (aCp >> 6));
    aOut += static_cast<char>(0x80 | (aCp & 0x3F));
  } else if (aCp < 0x10000) {
    aOut += static_cast<char>(0xE0 | (aCp >> 12));
    aOut += static_cast<char>(0x80 | ((aCp >> 6) & 0x3F));
    aOut += static_cast<char>(0x80 | (aCp & 0x3F));
  } else {
    aOut += static_cast<char>(0xF0 | (aCp >> 18));
    aOut += static_cast<char>(0x80 | ((aCp >> 12) & 0x3F));
    aOut += static_cast<char>(0x80 | ((aCp >> 6) & 0x3F));
    aOut += static_cast<char>(0x80 | (aCp & 0x3F));
  }
}

// Decodes one code point from UTF-8; malformed input yields U+FFFD and advances one byte.
char32_t NextUtf8(std::string_view aText, std::size_t& aPos) {
  const auto b0 = static_cast<unsigned char>(aText[aPos]);
  if (b0 < 0x80) {
    ++aPos;
    return b0;
  }
  int len = 0;
  char32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    ++aPos;
    return 0xFFFD;
  }
  if (aPos + len > aText.size()) {
    ++aPos;
    return 0xFFFD;
  }
  for (int i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(aText[aPos + i]);
    if ((b & 0xC0) != 0x80) {
      ++aPos;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  const char32_t minimum = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++aPos;
    return 0xFFFD;
  }
  aPos += len;
  return cp;
}
}  // namespace

std::string AnsiToUtf8(std::string_view aAnsi) {
  std::string out;
  out.reserve(aAnsi.size());
  for (char c : aAnsi) AppendUtf8(out, AnsiToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToAnsi(std::string_view aUtf8) {
  std::string out;
  out.reserve(aUtf8.size());
  std::size_t pos = 0;
  while (pos < aUtf8.size()) out += CodePointToAnsi(NextUtf8(aUtf8, pos));
  return out;
}

std::u16string AnsiToUtf16(std::string_view aAnsi) {
  std::u16string out;
  out.reserve(aAnsi.size());
  for (char c : aAnsi) out += static_cast<char16_t>(AnsiToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf16ToAnsi(std::u16string_view aUtf16) {
  std::string out;
  out.reserve(aUtf16.size());
  for (char16_t c : aUtf16) out += CodePointToAnsi(c);
  return out;
}

std::u16string Utf8ToUtf16(std::string_view aUtf8) {
  std::u16string out;
  std::size_t pos = 0;
  while (pos < aUtf8.size()) {
    char32_t cp = NextUtf8(aUtf8, pos);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view aUtf16) {
  std::string out;
  for (std::size_t i = 0; i < aUtf16.size(); ++i) {
    char32_t cp = aUtf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < aUtf16.size() && aUtf16[i + 1] >= 0xDC00 &&
        aUtf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (aUtf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

char FoldAnsi(char aChar) {
  const auto b = static_cast<unsigned char>(aChar);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  switch (b) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return aChar;
  }
}

int CompareNoCaseAnsi(std::string_view aLeft, std::string_view aRight) {
  const std::size_t n = aLeft.size() < aRight.size() ? aLeft.size() : aRight.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto l = static_cast<unsigned char>(FoldAnsi(aLeft[i]));
    const auto r = static_cast<unsigned char>(FoldAnsi(aRight[i]));
    if (l != r) return l < r ? -1 : 1;
  }
  if (aLeft.size() == aRight.size()) return 0;
  return aLeft.size() < aRight.size() ? -1 : 1;
}

bool EqualsNoCaseAnsi(std::string_view aLeft, std::string_view aRight) {
  return aLeft.size() == aRight.size() && CompareNoCaseAnsi(aLeft, aRight) == 0;
}

}  // namespace zwin
