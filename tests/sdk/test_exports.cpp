// The engine library's exports: its dynamic symbol table, demangled, must hold exactly the
// public operations and the type information listed in exports.txt, and nothing else.

#include <Zolvane.h>

#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

std::string Demangle(const std::string& aName) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> out(
      abi::__cxa_demangle(aName.c_str(), nullptr, nullptr, &status), &std::free);
  return status == 0 && out ? std::string(out.get()) : aName;
}

// The names of the symbols that a shared object defines for other objects: defined, global
// or weak, and of default or protected visibility. Mangled names; empty on a file that is
// not a 64-bit ELF object, with aError saying why.
std::vector<std::string> DynamicSymbols(const std::string& aPath, std::string& aError) {
  std::ifstream in(aPath, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> names;
  auto fits = [&](std::uint64_t aOffset, std::uint64_t aSize) {
    return aOffset <= data.size() && aSize <= data.size() - aOffset;
  };
  Elf64_Ehdr header;
  if (!fits(0, sizeof header) || std::memcmp(data.data(), ELFMAG, SELFMAG) != 0 ||
      data[EI_CLASS] != ELFCLASS64) {
    aError = aPath + " is not a 64-bit ELF file";
    return names;
  }
  std::memcpy(&header, data.data(), sizeof header);
  if (header.e_shentsize != sizeof(Elf64_Shdr) ||
      !fits(header.e_shoff, std::uint64_t(header.e_shnum) * sizeof(Elf64_Shdr))) {
    aError = aPath + ": bad section header table";
    return names;
  }
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  std::memcpy(sections.data(), data.data() + header.e_shoff, sections.size() * sizeof(Elf64_Shdr));
  for (const Elf64_Shdr& table : sections) {
    if (table.sh_type != SHT_DYNSYM) continue;
    if (table.sh_link >= sections.size() || !fits(table.sh_offset, table.sh_size)) {
      aError = aPath + ": bad dynamic symbol table";
      return names;
    }
    const Elf64_Shdr& strings = sections[table.sh_link];
    if (!fits(strings.sh_offset, strings.sh_size)) {
      aError = aPath + ": bad dynamic string table";
      return names;
    }
    const std::size_t count = table.sh_size / sizeof(Elf64_Sym);
    for (std::size_t i = 1; i < count; ++i) {
      Elf64_Sym symbol;
      std::memcpy(&symbol, data.data() + table.sh_offset + i * sizeof(Elf64_Sym), sizeof symbol);
      const unsigned binding = ELF64_ST_BIND(symbol.st_info);
      const unsigned visibility = ELF64_ST_VISIBILITY(symbol.st_other);
      if (symbol.st_shndx == SHN_UNDEF) continue;
      if (binding != STB_GLOBAL && binding != STB_WEAK && binding != STB_GNU_UNIQUE) continue;
      if (visibility != STV_DEFAULT && visibility != STV_PROTECTED) continue;
      if (symbol.st_name >= strings.sh_size) continue;
      const char* name = data.data() + strings.sh_offset + symbol.st_name;
      names.emplace_back(name, strnlen(name, strings.sh_size - symbol.st_name));
    }
    return names;
  }
  aError = aPath + " has no dynamic symbol table";
  return names;
}

// exports.txt, section by section.
std::map<std::string, std::vector<std::string>> ReadList(const std::string& aPath) {
  std::ifstream in(aPath);
  std::map<std::string, std::vector<std::string>> sections;
  std::string line, section;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      sections[section];
      continue;
    }
    sections[section].push_back(line);
  }
  return sections;
}

std::string Lines(const std::set<std::string>& aNames) {
  std::string text;
  for (const auto& name : aNames) text += "  " + name + "\n";
  return text;
}

class SdkExports : public ::testing::Test {
protected:
  void SetUp() override {
    iList = ReadList(ZOLV_EXPORTS_LIST);
    ASSERT_FALSE(iList["operations"].empty()) << "cannot read " << ZOLV_EXPORTS_LIST;
    // The library is read once for all cases (a debug build's file is large).
    static std::string error;
    static const std::set<std::string> exported = [] {
      std::set<std::string> names;
      for (const auto& name : DynamicSymbols(ZOLV_ENGINE_LIBRARY, error)) names.insert(Demangle(name));
      return names;
    }();
    ASSERT_TRUE(error.empty()) << error;
    iExported = exported;
  }

  std::map<std::string, std::vector<std::string>> iList;
  std::set<std::string> iExported;
};

TEST_F(SdkExports, ListNamesEachSymbolOnce) {
  std::set<std::string> seen, twice;
  for (const auto& [section, names] : iList) {
    EXPECT_TRUE(section == "operations" || section == "types" || section == "optional" ||
                section == "foreign") << "unknown section [" << section << "]";
    for (const auto& name : names) {
      if (!seen.insert(name).second) twice.insert(name);
    }
  }
  EXPECT_TRUE(twice.empty()) << "listed more than once:\n" << Lines(twice);
}

TEST_F(SdkExports, LibraryExportsExactlyTheList) {
  std::set<std::string> required, allowed;
  for (const char* section : {"operations", "types"}) {
    for (const auto& name : iList[section]) required.insert(name);
  }
  for (const char* section : {"optional", "foreign"}) {
    for (const auto& name : iList[section]) allowed.insert(name);
  }
  std::set<std::string> missing, leaked;
  for (const auto& name : required) {
    if (!iExported.count(name)) missing.insert(name);
  }
  for (const auto& name : iExported) {
    if (!required.count(name) && !allowed.count(name)) leaked.insert(name);
  }
  EXPECT_TRUE(missing.empty())
      << missing.size() << " listed symbol(s) not exported by " << ZOLV_ENGINE_LIBRARY
      << " (a public operation lost its IMPORT_C/EXPORT_C mark, or was removed or changed "
         "its signature):\n" << Lines(missing);
  EXPECT_TRUE(leaked.empty())
      << leaked.size() << " symbol(s) exported but not listed in exports.txt (an engine-internal "
         "function marked for export, or a member of a public class without ZOLV_INTERNAL; a new "
         "public operation must be added to the list):\n" << Lines(leaked);
}

TEST_F(SdkExports, PublicClassesCountTheirOperations) {
  // The interface of each public class, by number of operations; a change here is a change
  // of the library's programming interface.
  std::map<std::string, int> counts;
  for (const auto& name : iList["operations"]) counts[name.substr(0, name.find("::"))]++;
  EXPECT_EQ(counts["CZController"], 60);
  EXPECT_EQ(counts["CZScript"], 1);
  EXPECT_EQ(counts["CZElement"], 61);
  EXPECT_EQ(counts["CZSprite"], 48);
  EXPECT_EQ(counts["CZView"], 8);
  EXPECT_EQ(counts.size(), 5u);
}

TEST_F(SdkExports, ElfReaderRejectsOtherFiles) {
  std::string error;
  EXPECT_TRUE(DynamicSymbols(ZOLV_EXPORTS_LIST, error).empty());
  EXPECT_NE(error.find("not a 64-bit ELF"), std::string::npos) << error;
  error.clear();
  EXPECT_TRUE(DynamicSymbols("/nonexistent/libZolvane.so", error).empty());
  EXPECT_FALSE(error.empty());
}

// An application derives its script from CZScript and compares the engine's classes at run
// time; it sees the same type information as the library.
class TestScript : public CZScript {
public:
  void FrameBeginL(TInt, TPtrC) override {}
  void FrameEndL(TInt, TPtrC) override {}
  TKeyResponse KeyEventL(const TKeyEvent&, TEventCode) override { return EKeyWasNotConsumed; }
  TInt Decrypt(TPtr8, TPtrC) override { return 0; }
};

// The library's virtual tables point at the one type information that the application
// sees too: the second word of a virtual table is its class's type information.
const void* TypeInfoOfVtable(const char* aVtableSymbol) {
  void* const* vtable = static_cast<void* const*>(dlsym(RTLD_DEFAULT, aVtableSymbol));
  return vtable ? vtable[1] : nullptr;
}

TEST(SdkTypes, ApplicationSharesTheLibrarysTypeInformation) {
  EXPECT_EQ(TypeInfoOfVtable("_ZTV12CZController"), static_cast<const void*>(&typeid(CZController)));
  EXPECT_EQ(TypeInfoOfVtable("_ZTV6CZView"), static_cast<const void*>(&typeid(CZView)));
  EXPECT_EQ(TypeInfoOfVtable("_ZTV8CZSprite"), static_cast<const void*>(&typeid(CZSprite)));
  EXPECT_EQ(TypeInfoOfVtable("_ZTV9CZElement"), static_cast<const void*>(&typeid(CZElement)));

  // CBase objects live on the heap, whose operator new zero-fills them.
  std::unique_ptr<TestScript> script(new TestScript);
  CBase* base = script.get();
  EXPECT_EQ(dynamic_cast<CZScript*>(base), script.get());
  EXPECT_EQ(script->Controller(), nullptr);
  CCoeControl* control = nullptr;
  EXPECT_EQ(dynamic_cast<CZView*>(control), nullptr);
}

}  // namespace
