#include "InstallFile.h"

#include <algorithm>
#include <cstring>

#include "zwindows/error.h"
#include "zwindows/files.h"
#include "zwindows/movefile.h"

namespace zolv::install {

using namespace zwin;

std::optional<ElementSpan> LocateElement(std::string_view aTag, std::string_view aText,
                                         std::size_t aIndex) {
  const std::string open = "<" + std::string(aTag) + ">";
  const std::string close = "</" + std::string(aTag) + ">";
  std::size_t at = aText.find(open);
  for (std::size_t i = 0; i < aIndex && at != std::string_view::npos; ++i) {
    const std::size_t from = at + open.size() + 2;
    at = from > aText.size() ? std::string_view::npos : aText.find(open, from);
  }
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t end = aText.find(close, at);
  if (end == std::string_view::npos) return std::nullopt;
  const std::size_t content = at + open.size();
  // A closing tag inside the opening one cannot happen: "</" never starts "<tag>".
  return ElementSpan{at, content, end - content};
}

void ExtractElement(std::string_view aTag, std::string_view aText, std::string& aOut,
                    std::size_t aIndex) {
  aOut.clear();
  if (const auto span = LocateElement(aTag, aText, aIndex)) {
    aOut.assign(aText.substr(span->content, span->length));
  }
}

std::string Element(std::string_view aTag, std::string_view aText, std::size_t aIndex) {
  std::string out;
  ExtractElement(aTag, aText, out, aIndex);
  return out;
}

std::string LiveForm(std::string_view aKind, std::string_view aContent) {
  std::string out;
  out.reserve(aKind.size() * 2 + aContent.size() + 5);
  out.append("<").append(aKind).append(">").append(aContent);
  out.append("</").append(aKind).append(">");
  return out;
}

std::string MarkedForm(std::string_view aKind, std::string_view aContent) {
  std::string out;
  out.reserve(aKind.size() * 2 + aContent.size() + 13);
  out.append("<--").append(aKind).append("-->").append(aContent);
  out.append("<--/").append(aKind).append("-->");
  return out;
}

void MarkSkipped(std::string& aPackage, std::string_view aKind, std::string_view aContent) {
  const std::string live = LiveForm(aKind, aContent);
  const std::string marked = MarkedForm(aKind, aContent);
  // A content that itself holds tag text (only in a malformed file) can make a rewrite
  // join with its neighbours into a fresh live form, so the rewrite repeats until none is
  // left: a skipped entry must never be removed later. Each pass turns at least one live
  // opening tag into a marked one and creates none, so the passes end.
  for (std::size_t at = aPackage.find(live); at != std::string::npos; at = aPackage.find(live)) {
    std::string out;
    std::size_t from = 0;
    for (; at != std::string::npos; at = aPackage.find(live, from)) {
      out.append(aPackage, from, at - from).append(marked);
      from = at + live.size();
    }
    out.append(aPackage, from, std::string::npos);
    aPackage.swap(out);
  }
}

std::optional<Entry> EntryAt(std::string_view aPackage, std::string_view aKind, std::size_t aIndex) {
  const std::string liveOpen = "<" + std::string(aKind) + ">";
  const std::string liveClose = "</" + std::string(aKind) + ">";
  const std::string markedOpen = "<--" + std::string(aKind) + "-->";
  const std::string markedClose = "<--/" + std::string(aKind) + "-->";
  std::size_t from = 0;
  for (std::size_t i = 0;; ++i) {
    if (from > aPackage.size()) return std::nullopt;
    const std::size_t live = aPackage.find(liveOpen, from);
    const std::size_t marked = aPackage.find(markedOpen, from);
    if (live == std::string_view::npos && marked == std::string_view::npos) return std::nullopt;
    const bool isLive = live < marked;
    const std::size_t at = isLive ? live : marked;
    const std::string& open = isLive ? liveOpen : markedOpen;
    if (i == aIndex) {
      Entry entry;
      entry.live = isLive;
      const std::size_t end = aPackage.find(isLive ? liveClose : markedClose, at);
      if (end != std::string_view::npos) {
        entry.content.assign(aPackage.substr(at + open.size(), end - at - open.size()));
      }
      return entry;
    }
    from = at + open.size() + 2;
  }
}

std::int64_t ParseSize(std::string_view aText) {
  std::size_t pos = 0;
  while (pos < aText.size() && (aText[pos] == ' ' || (aText[pos] >= '\t' && aText[pos] <= '\r'))) {
    ++pos;
  }
  bool negative = false;
  if (pos < aText.size() && (aText[pos] == '+' || aText[pos] == '-')) {
    negative = aText[pos] == '-';
    ++pos;
  }
  std::int64_t value = 0;
  for (; pos < aText.size() && aText[pos] >= '0' && aText[pos] <= '9'; ++pos) {
    value = value * 10 + (aText[pos] - '0');
    if (value > kMaxSize) value = kMaxSize;
  }
  return negative ? -value : value;
}

namespace {
// A path component that the system reads as "." or "..": only dots and blanks
// (trailing dots and blanks are dropped from names), with at least one dot.
bool DotsOnly(std::string_view aPart) {
  if (aPart.find('.') == std::string_view::npos) return false;
  return aPart.find_first_not_of(". ") == std::string_view::npos;
}
}  // namespace

bool ContainedRelativePath(std::string_view aPath) {
  if (aPath.empty() || aPath[0] == '\\' || aPath[0] == '/') return false;
  if (aPath.find(':') != std::string_view::npos) return false;
  if (aPath.find('\0') != std::string_view::npos) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = aPath.find_first_of("\\/", start);
    const std::string_view part =
        aPath.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (DotsOnly(part)) return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

bool SingleComponent(std::string_view aName) {
  if (aName.find_first_of("\\/:") != std::string_view::npos) return false;
  if (aName.find('\0') != std::string_view::npos) return false;
  return aName.empty() || aName.find_first_not_of(". ") != std::string_view::npos;
}

Header ReadHeader(std::string_view aText) {
  Header header;
  const std::string block = Element("header", aText);
  header.company = Element("company", block);
  header.product = Element("product", block);
  header.version = Element("version", block);
  header.dataFile = Element("datafile", block);
  return header;
}

bool ReadTextFile(std::string_view aPath, std::string& aText) {
  UniqueHandle file(CreateFile(aPath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!file.Valid()) return false;
  aText.clear();
  char chunk[512];
  DWORD got = 0;
  while (ReadFile(file.Get(), chunk, sizeof chunk, &got) && got > 0) {
    aText.append(chunk, strnlen(chunk, got));
  }
  return true;
}

bool WriteTextFile(std::string_view aPath, std::string_view aText) {
  // The text goes to a new file of our own beside the list, never to one that a link
  // put there names.
  std::string temporary;
  {
    UniqueHandle file(CreateTemporaryFileBeside(aPath, temporary));
    if (!file.Valid()) return false;
    std::size_t done = 0;
    while (done < aText.size()) {
      const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(aText.size() - done, 1u << 20));
      DWORD written = 0;
      if (!WriteFile(file.Get(), aText.data() + done, piece, &written) || written == 0) {
        const DWORD error = GetLastError();
        file.Reset();
        DeleteFile(temporary);
        SetLastError(error);
        return false;
      }
      done += written;
    }
  }
  if (!MoveFileEx(temporary, aPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFile(temporary);
    SetLastError(error);
    return false;
  }
  return true;
}

}  // namespace zolv::install
