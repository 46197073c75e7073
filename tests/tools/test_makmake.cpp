#include <gtest/gtest.h>
#include <stdlib.h>

#include <random>
#include <string>
#include <vector>

#include "Locales.h"
#include "Makmake.h"
#include "TempPrefix.h"

namespace fs = std::filesystem;
using namespace zolv::makmake;

namespace {

std::string TemplateMmp() {
  const char* source = std::getenv("ZOLV_TEST_SOURCE_DIR");
  std::ifstream in(fs::path(source ? source : ZOLV_SOURCE_DIR) / "tools/wizard/Templates/Template.mmp",
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Contains(const std::string& aText, const std::string& aPart) {
  return aText.find(aPart) != std::string::npos;
}

TEST(MmpParse, TheTemplateDefinition) {
  MmpProject p;
  std::string error;
  ASSERT_TRUE(ParseMmp(TemplateMmp(), p, error)) << error;
  EXPECT_EQ(p.target, "Template.app");
  EXPECT_EQ(p.targetType, "app");
  EXPECT_EQ(p.uids, (std::vector<std::string>{"0x100039CE", "0x01000666"}));
  EXPECT_EQ(p.targetPath, "\\System\\Apps\\Template");
  ASSERT_EQ(p.sources.size(), 6u);
  EXPECT_EQ(p.sources[0], "Source\\Template_Main.cpp");
  EXPECT_EQ(p.resources, (std::vector<std::string>{"Source\\Template.rss"}));
  EXPECT_EQ(p.userIncludes, (std::vector<std::string>{"Source"}));
  EXPECT_EQ(p.systemIncludes, (std::vector<std::string>{"\\epoc32\\include"}));
  EXPECT_EQ(p.libraries,
            (std::vector<std::string>{"euser.lib", "apparc.lib", "cone.lib", "eikcore.lib", "Zolvane.lib"}));
}

TEST(MmpParse, CommentsCaseBlocksAndLineNumbers) {
  MmpProject p;
  std::string error;
  ASSERT_TRUE(ParseMmp("target A.exe // the program\r\n"
                       "/* a comment\n over SOURCE lines */ targettype EXE\n"
                       "#include <x.h>\n"
                       "SourcePath ..\\src\\\nsource a.cpp b.cpp /* inline */ \\abs\\c.cpp\n"
                       "START WINS\n baseaddress 0x1000\nEND\n"
                       "EPOCSTACKSIZE 0x5000\n"
                       "MACRO ONE TWO\n",
                       p, error))
      << error;
  EXPECT_EQ(p.target, "A.exe");
  EXPECT_EQ(p.targetType, "exe");
  EXPECT_EQ(p.sources, (std::vector<std::string>{"..\\src\\a.cpp", "..\\src\\b.cpp", "\\abs\\c.cpp"}));
  EXPECT_EQ(p.macros, (std::vector<std::string>{"ONE", "TWO"}));
  ASSERT_EQ(p.warnings.size(), 2u);
  EXPECT_EQ(p.warnings[0], "START WINS block skipped on line 7");
  EXPECT_EQ(p.warnings[1], "EPOCSTACKSIZE has no meaning on this host, skipped on line 10");

  // Line numbers count the lines inside comments.
  EXPECT_FALSE(ParseMmp("TARGET a.app\n/*\n\n*/\nFOO bar\n", p, error));
  EXPECT_EQ(error, "unknown statement \"FOO\" on line 5");
}

// Keywords, target types and extensions are ASCII and match the same whatever locale the
// process has set; in the Turkish one the C library's case mapping leaves "I" and "i"
// unpaired.
TEST(MmpParse, TheSameInTheTurkishLocale) {
  const std::string text =
      "target Mini.app\ntargettype APP\nuid 0x100039CE 0x1\ntargetpath \\System\\Apps\\Mini\n"
      "sourcepath Src\nsource Mini.cpp\nuserinclude Inc\nsysteminclude \\EPOC32\\INCLUDE\n"
      "library EUSER.LIB zolvane.lib\nmacro FIXED\nepocstacksize 0x5000\nLINKAS Mini.app\n";
  MmpProject inC;
  std::string error;
  ASSERT_TRUE(ParseMmp(text, inC, error)) << error;
  EXPECT_EQ(inC.targetType, "app");
  EXPECT_EQ(inC.libraries, (std::vector<std::string>{"EUSER.LIB", "zolvane.lib"}));
  EXPECT_EQ(inC.userIncludes, (std::vector<std::string>{"Inc"}));
  EXPECT_EQ(inC.warnings.size(), 2u);

  ZTestHost::ScopedLocale turkish("tr_TR.UTF-8");
  if (!turkish.Active()) GTEST_SKIP() << "the locale tr_TR.UTF-8 is not generated (scripts/test generates it)";
  MmpProject inTurkish;
  ASSERT_TRUE(ParseMmp(text, inTurkish, error)) << error;
  EXPECT_EQ(inTurkish.target, inC.target);
  EXPECT_EQ(inTurkish.targetType, inC.targetType);
  EXPECT_EQ(inTurkish.uids, inC.uids);
  EXPECT_EQ(inTurkish.targetPath, inC.targetPath);
  EXPECT_EQ(inTurkish.sources, inC.sources);
  EXPECT_EQ(inTurkish.userIncludes, inC.userIncludes);
  EXPECT_EQ(inTurkish.systemIncludes, inC.systemIncludes);
  EXPECT_EQ(inTurkish.libraries, inC.libraries);
  EXPECT_EQ(inTurkish.macros, inC.macros);
  EXPECT_EQ(inTurkish.warnings, inC.warnings);
}

TEST(MmpParse, RefusedDefinitions) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"TARGETTYPE app\n", "no TARGET"},
      {"TARGET a.app\n", "no TARGETTYPE"},
      {"TARGET a.app b.app\n", "TARGET takes one value on line 1"},
      {"TARGET a.app\nTARGETTYPE app\nSOURCE\n", "SOURCE needs at least one value on line 3"},
      {"UID 1 2 3\n", "UID takes one or two values on line 1"},
      {"UID 0x100000000\n", "UID 0x100000000 is not a 32-bit number on line 1"},
      {"UID -1\n", "UID -1 is not a 32-bit number on line 1"},
      {"UID 0x12G\n", "UID 0x12G is not a 32-bit number on line 1"},
      {"TARGET a.app\nTARGETTYPE app\nSTART WINS\n", "START block without END"},
      {std::string("\xff\x7fz\0 x", 6), "unknown statement \"\\xff\\x7fz\" on line 1"},
  };
  for (const auto& [text, expected] : cases) {
    MmpProject p;
    std::string error;
    EXPECT_FALSE(ParseMmp(text, p, error)) << text;
    EXPECT_EQ(error, expected) << text;
  }
}

TEST(MmpParse, AnyBytes) {
  std::mt19937 random(7);
  const std::string alphabet = "TARGET SOURCE UID START END /**/ // \n\r\t\\ 0x1 \xff";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 300);
    for (int i = 0; i < length; ++i) {
      text += random() % 3 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
    }
    MmpProject p;
    std::string error;
    if (!ParseMmp(text, p, error)) {
      EXPECT_FALSE(error.empty());
    }
  }
}

class Makmake : public TempPrefixTest {
 protected:
  void SetUp() override {
    TempPrefixTest::SetUp();
    ::unsetenv("ZOLVANE_SDK");
    iSdk = DriveC() / "Symbian";
    WriteHostFile(iSdk / "Epoc32" / "Include" / "Zolvane.h", "h");
    WriteHostFile(iSdk / "Epoc32" / "Release" / "wins" / "udeb" / "Zolvane.lib", "l");
    WriteHostFile(iSdk / "Epoc32" / "Release" / "wins" / "udeb" / "libzsymbian.so", "s");
    iProject = DriveC() / "Game";
    WriteHostFile(iProject / "Source" / "Game.cpp", "int x;");
    WriteHostFile(iProject / "Source" / "odd$name.cpp", "int y;");
  }
  void TearDown() override {
    ::unsetenv("ZOLVANE_SDK");
    TempPrefixTest::TearDown();
  }
  bool Make(const std::string& aMmp, std::string& aText, std::string& aError) {
    MmpProject p;
    if (!ParseMmp(aMmp, p, aError)) return false;
    return MakeCMakeLists(p, iProject, iSdk, aText, aError);
  }
  fs::path iSdk;
  fs::path iProject;
};

TEST_F(Makmake, BuildFileForAnApplication) {
  std::string text, error;
  ASSERT_TRUE(Make("TARGET Game.app\nTARGETTYPE app\nUID 0x100039CE 0x1234ABCD\n"
                   "TARGETPATH \\System\\Apps\\Game\nSOURCEPATH SOURCE\nSOURCE game.CPP\n"
                   "RESOURCE Game.rss\nUSERINCLUDE Source\nSYSTEMINCLUDE \\EPOC32\\include\n"
                   "LIBRARY euser.lib cone.lib ZOLVANE.LIB\nLIBRARY apparc.lib\n",
                   text, error))
      << error;
  // Existing components are found whatever their letter case.
  EXPECT_TRUE(Contains(text, "add_library(Game MODULE\n  \"Source/Game.cpp\")\n"));
  EXPECT_TRUE(Contains(text, "OUTPUT_NAME \"Game\" PREFIX \"\" SUFFIX \".app\""));
  EXPECT_TRUE(Contains(text, "LIBRARY_OUTPUT_DIRECTORY \"${CMAKE_CURRENT_BINARY_DIR}/z/System/Apps/Game\""));
  EXPECT_TRUE(Contains(text, "set(ZOLVANE_SDK \"" + iSdk.generic_string() + "\" CACHE PATH"));
  EXPECT_TRUE(Contains(text, "SYSTEM PRIVATE\n  \"${ZOLVANE_SDK}/Epoc32/Include\")"));
  // The platform's libraries are one library on this host, listed once.
  EXPECT_TRUE(Contains(text, "target_link_libraries(Game PRIVATE\n"
                             "  \"${ZOLVANE_SDK}/Epoc32/Release/wins/udeb/libzsymbian.so\"\n"
                             "  \"${ZOLVANE_SDK}/Epoc32/Release/wins/udeb/Zolvane.lib\")"));
  EXPECT_TRUE(Contains(text, "\"-Wl,--no-undefined\""));
  EXPECT_TRUE(Contains(text, "# UID 0x100039CE 0x1234ABCD\n"));
}

TEST_F(Makmake, BuildFileRefusals) {
  const std::string head = "TARGET Game.app\nTARGETTYPE app\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {head + "SOURCE Source\\Missing.cpp\n", "SOURCE Source\\Missing.cpp not found (looked for " +
                                                  (iProject / "Source" / "Missing.cpp").string() + ")"},
      {head, "no SOURCE"},
      {head + "SOURCE Source\\Game.cpp\nLIBRARY other.lib\n",
       "LIBRARY other.lib not found in " + (iSdk / "Epoc32/Release/wins/udeb").string()},
      {head + "SOURCE Source\\odd$name.cpp\n",
       "the path " + (iProject / "Source" / "odd$name.cpp").string() + " has characters a build file cannot hold"},
      {"TARGET ../Game.app\nTARGETTYPE app\nSOURCE Source\\Game.cpp\n",
       "TARGET ../Game.app is not a name this host can build"},
      {"TARGET Game.ani\nTARGETTYPE ani\nSOURCE Source\\Game.cpp\n", "TARGETTYPE ani is not built on this host"},
      {head + "SOURCE Source\\Game.cpp\nMACRO A=\"x\"\n", "MACRO A=\"x\" is not a macro name"},
      {head + "TARGETPATH \\a\\..\\..\\b\nSOURCE Source\\Game.cpp\n", "TARGETPATH \\a\\..\\..\\b cannot be used"},
      {head + "SOURCE Source\\Game.cpp\nUSERINCLUDE Q:\\inc\n", "USERINCLUDE Q:\\inc is not a path on this host"},
  };
  for (const auto& [mmp, expected] : cases) {
    std::string text, error;
    EXPECT_FALSE(Make(mmp, text, error)) << mmp;
    EXPECT_EQ(error, expected) << mmp;
  }
  // Without the platform library the platform's libraries cannot be linked.
  fs::remove(iSdk / "Epoc32" / "Release" / "wins" / "udeb" / "libzsymbian.so");
  std::string text, error;
  EXPECT_FALSE(Make(head + "SOURCE Source\\Game.cpp\nLIBRARY euser.lib\n", text, error));
  EXPECT_EQ(error, "LIBRARY euser.lib: the platform library libzsymbian.so is not in " +
                       (iSdk / "Epoc32/Release/wins/udeb").string());
}

TEST_F(Makmake, FindsTheSdk) {
  const fs::path tools = iRoot / "elsewhere" / "Epoc32" / "Tools";
  fs::create_directories(tools);
  std::string how;
  // Inside the SDK's tree, the SDK the project is in.
  fs::create_directories(iSdk / "Projects" / "Game");
  EXPECT_EQ(FindSdk(iSdk / "Projects" / "Game", tools, &how), iSdk);
  EXPECT_EQ(how, "the SDK the project is in");
  // Outside it, nothing without a registration or a tool folder inside an SDK.
  EXPECT_EQ(FindSdk(iProject, tools, &how), fs::path());
  EXPECT_EQ(how, "no SDK with the Zolvane engine found: set ZOLVANE_SDK to the folder that holds Epoc32");
  // The tool's own SDK.
  WriteHostFile(iRoot / "elsewhere" / "Epoc32" / "Include" / "Zolvane.h", "h");
  EXPECT_EQ(FindSdk(iProject, tools, &how), iRoot / "elsewhere");
  EXPECT_EQ(how, "the SDK this tool belongs to");
  // The registered SDK comes before the tool's.
  WriteHostFile(iPrefix / "system.reg",
                "WINE REGISTRY Version 2\n\n[SOFTWARE\\\\Symbian\\\\EPOC SDKs] 1\n"
                "\"CommonPath\"=\"C:\\\\Symbian\"\n");
  WriteHostFile(iSdk / "installed.xml",
                "<sdk><ESDKVersion>6.0</ESDKVersion><ESDKLanguage>C++</ESDKLanguage>"
                "<ESDKPlatform>Nokia</ESDKPlatform><ESDKNonSharedPath>C:\\Symbian"
                "</ESDKNonSharedPath></sdk>");
  zwin::SetPrefixDirectory(iPrefix);
  EXPECT_EQ(FindSdk(iProject, tools, &how), iSdk);
  EXPECT_EQ(how, "the registered SDK");
  // The environment variable, in Windows or host form, comes first.
  ::setenv("ZOLVANE_SDK", zwin::ToWindowsPath(iRoot / "elsewhere").c_str(), 1);
  EXPECT_EQ(FindSdk(iSdk / "Projects" / "Game", tools, &how), iRoot / "elsewhere");
  EXPECT_EQ(how, "ZOLVANE_SDK");
  ::setenv("ZOLVANE_SDK", iProject.c_str(), 1);
  EXPECT_EQ(FindSdk(iSdk / "Projects" / "Game", tools, &how), fs::path());
  EXPECT_EQ(how, "ZOLVANE_SDK=" + iProject.string() + " holds no Epoc32\\Include\\Zolvane.h");
}

TEST_F(Makmake, CommandLine) {
  std::string out, err;
  EXPECT_EQ(zolv::makmake::Run({}, {}, out, err), 2);
  EXPECT_TRUE(Contains(err, "usage: makmake [-v] PROJECT PLATFORM\n"));
  err.clear();
  EXPECT_EQ(zolv::makmake::Run({"-x", "Game", "vc6"}, {}, out, err), 2);

  fs::current_path(iProject);
  err.clear();
  EXPECT_EQ(zolv::makmake::Run({"Game", "armi"}, {}, out, err), 1);
  EXPECT_EQ(err, "makmake: platform armi is not built on this host; use vc6\n");
  err.clear();
  EXPECT_EQ(zolv::makmake::Run({"Game", "vc6"}, {}, out, err), 1);
  EXPECT_EQ(err, "makmake: " + (iProject / "Game.mmp").string() + " not found\n");

  WriteHostFile(iProject / "GAME.MMP",
                "TARGET Game.app\nTARGETTYPE app\nSOURCE Source\\Game.cpp\nLIBRARY Zolvane.lib\nLANG SC\n");
  err.clear();
  ::setenv("ZOLVANE_SDK", iSdk.c_str(), 1);
  EXPECT_EQ(zolv::makmake::Run({"-v", "game.mmp", "VC6"}, {}, out, err), 0) << err;
  EXPECT_EQ(err, "makmake: LANG has no meaning on this host, skipped on line 5\n");
  EXPECT_EQ(out, "makmake: wrote " + (iProject / "CMakeLists.txt").string() + " (engine from ZOLVANE_SDK: " +
                     iSdk.string() + ")\n");
  const std::string cmake = ReadHostFile(iProject / "CMakeLists.txt");
  EXPECT_TRUE(Contains(cmake, "project(Game LANGUAGES CXX)"));
  EXPECT_FALSE(fs::exists(iProject / "CMakeLists.txt.makmake"));

  // A broken definition leaves the last build file as it was.
  WriteHostFile(iProject / "GAME.MMP", "TARGET Game.app\nBOGUS\n");
  err.clear();
  EXPECT_EQ(zolv::makmake::Run({"Game", "vc6"}, {}, out, err), 1);
  EXPECT_EQ(err, "makmake: GAME.MMP: unknown statement \"BOGUS\" on line 2\n");
  EXPECT_EQ(ReadHostFile(iProject / "CMakeLists.txt"), cmake);
}

}  // namespace

namespace {

// The build file is written to a new file of makmake's own and renamed into place: a
// link standing at the build file's name, or at the name its temporary copy once had,
// is replaced or left alone, and what it names keeps its bytes.
TEST_F(Makmake, BuildFileNeverWrittenThroughALink) {
  WriteHostFile(iRoot / "outside" / "CMakeLists.txt", "the user's own build");
  WriteHostFile(iRoot / "outside" / "other.txt", "other");
  fs::create_symlink(iRoot / "outside" / "CMakeLists.txt", iProject / "CMakeLists.txt");
  fs::create_symlink(iRoot / "outside" / "other.txt", iProject / "CMakeLists.txt.makmake");
  WriteHostFile(iProject / "Game.mmp", "TARGET Game.app\nTARGETTYPE app\nSOURCE Source\\Game.cpp\n");
  ::setenv("ZOLVANE_SDK", iSdk.c_str(), 1);
  fs::current_path(iProject);
  std::string out, err;
  ASSERT_EQ(zolv::makmake::Run({"Game", "vc6"}, {}, out, err), 0) << err;
  EXPECT_FALSE(fs::is_symlink(fs::symlink_status(iProject / "CMakeLists.txt")));
  EXPECT_TRUE(Contains(ReadHostFile(iProject / "CMakeLists.txt"), "project(Game LANGUAGES CXX)"));
  EXPECT_EQ(ReadHostFile(iRoot / "outside" / "CMakeLists.txt"), "the user's own build");
  EXPECT_EQ(ReadHostFile(iRoot / "outside" / "other.txt"), "other");
  std::size_t entries = 0;
  for (const auto& e : fs::directory_iterator(iProject)) {
    EXPECT_NE(e.path().extension(), ".tmp") << "left over: " << e.path();
    ++entries;
  }
  EXPECT_EQ(entries, 4u);  // Source, Game.mmp, CMakeLists.txt and the planted link
}

}  // namespace
