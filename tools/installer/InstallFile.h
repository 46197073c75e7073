// The installation file: element lookup, the entry kinds with their live and marked
// forms, the pairing of companion elements, sizes, and whole-file text reading and
// (atomic) writing. The same text, with entries rewritten into their marked form,
// is the uninstall list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zolv::install {

// Where an element's content lies in a text.
struct ElementSpan {
  std::size_t tag = 0;      // position of the opening tag
  std::size_t content = 0;  // position of the content
  std::size_t length = 0;   // length of the content
};

// Finds the aIndex-th element "<aTag>" ... "</aTag>": the first opening tag, then for
// each further index the next one searched from the previous position plus the tag's
// length plus 2; the content ends at the first closing tag at or after the opening one.
std::optional<ElementSpan> LocateElement(std::string_view aTag, std::string_view aText,
                                         std::size_t aIndex = 0);

// The content of the aIndex-th element (see LocateElement), or the empty text when it
// is absent. Absent and empty elements both give the empty text.
void ExtractElement(std::string_view aTag, std::string_view aText, std::string& aOut,
                    std::size_t aIndex = 0);
std::string Element(std::string_view aTag, std::string_view aText, std::size_t aIndex = 0);

// "<kind>" content "</kind>" and "<--kind-->" content "<--/kind-->".
std::string LiveForm(std::string_view aKind, std::string_view aContent);
std::string MarkedForm(std::string_view aKind, std::string_view aContent);

// Rewrites every occurrence of the live form of (aKind, aContent) into its marked form.
void MarkSkipped(std::string& aPackage, std::string_view aKind, std::string_view aContent);

// One entry of a markable kind, in either form.
struct Entry {
  bool live = true;
  std::string content;
};

// The aIndex-th entry of aKind in the package, counting live and marked entries in
// order of appearance (the ordinal that pairs an entry with its companions), or
// nothing when there are fewer entries.
std::optional<Entry> EntryAt(std::string_view aPackage, std::string_view aKind, std::size_t aIndex);

// Leading-digits conversion of a size text: leading blanks, an optional sign, digits;
// no digits give 0. Values beyond kMaxSize are held at kMaxSize (or -kMaxSize).
inline constexpr std::int64_t kMaxSize = std::int64_t{1} << 48;
std::int64_t ParseSize(std::string_view aText);

// True when a file entry names a place inside its target directory: not empty, not
// rooted ("\" or "/" first), no drive or stream colon, and no component that climbs
// up or stays put ("..", ".", or any run of dots and blanks).
bool ContainedRelativePath(std::string_view aPath);

// True when a shortcut's folder or name stays one level inside the Programs folder:
// no separator, no colon, and not only dots and blanks.
bool SingleComponent(std::string_view aName);

struct Header {
  std::string company, product, version, dataFile;
  bool Complete() const {
    return !company.empty() && !product.empty() && !version.empty() && !dataFile.empty();
  }
};
// The first "header" element's company, product, version and data file.
Header ReadHeader(std::string_view aText);

// Reads a whole file as text in pieces of 512 bytes, each appended up to its first
// zero byte. Returns false when the file cannot be opened.
bool ReadTextFile(std::string_view aPath, std::string& aText);

// Replaces the file with aText (its bytes, no terminator) in one step: the text goes
// to a temporary file beside it, which is flushed and renamed over the old file, so
// that a failure at any moment leaves the old or the new file whole. Returns false
// when the file cannot be written; the old file is then unchanged.
bool WriteTextFile(std::string_view aPath, std::string_view aText);

}  // namespace zolv::install
