// Walks an arbitrary installation file the way installing and removing do: header,
// every package, every entry of every kind with its companions, and marks entries as
// skipped, checking that a marked entry is gone from the live lookups.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "InstallFile.h"

using namespace zolv::install;

namespace {
std::size_t Count(const std::string& aPackage, const char* aKind) {
  std::size_t n = 0;
  while (n < 4096 && EntryAt(aPackage, aKind, n)) ++n;
  return n;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  // ReadTextFile keeps each 512-byte chunk up to its first zero byte.
  std::string text;
  for (std::size_t pos = 0; pos < aSize; pos += 512) {
    const std::size_t piece = aSize - pos < 512 ? aSize - pos : 512;
    const char* start = reinterpret_cast<const char*>(aData + pos);
    text.append(start, strnlen(start, piece));
  }
  const Header header = ReadHeader(text);
  (void)header.Complete();
  for (std::size_t n = 0; n < 64; ++n) {
    const auto span = LocateElement("package", text, n);
    if (!span) break;
    if (span->content + span->length > text.size()) std::abort();
    std::string package = text.substr(span->content, span->length);
    (void)Element("name", package);
    for (const char* kind : {"file", "linkfile", "linkwww", "linkname"}) {
      const std::size_t before = Count(package, kind);
      for (std::size_t k = 0; k < before && k < 64; ++k) {
        const auto entry = EntryAt(package, kind, k);
        if (!entry) break;
        (void)ParseSize(Element("size", package, k));
        (void)Element("linkfolder", package, k);
        (void)ContainedRelativePath(entry->content);
        (void)SingleComponent(entry->content);
        if (entry->live && !entry->content.empty()) {
          MarkSkipped(package, kind, entry->content);
          // Marking leaves no live form of that entry behind.
          if (package.find(LiveForm(kind, entry->content)) != std::string::npos) std::abort();
        }
      }
    }
    text.replace(span->content, span->length, package);
  }
  return 0;
}
