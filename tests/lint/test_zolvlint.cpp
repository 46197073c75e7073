// The movie checker run in-process on files in a temporary application folder: each
// fault is reported at its line and column with its kind, clean files give no output and
// status 0, and any bytes are checked without a crash.
#include <gtest/gtest.h>

#include "Lint.h"
#include "MediaTestFiles.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A temporary application folder with the engine's resource folders.
class AppFolder {
public:
  AppFolder() {
    std::string pattern = (fs::temp_directory_path() / "zolvlint-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    iRoot = pattern;
    for (const char* f : {"Movies", "Pictures", "Sounds", "Texts", "Shapes"}) fs::create_directories(iRoot / f);
  }
  ~AppFolder() {
    std::error_code ec;
    fs::remove_all(iRoot, ec);
  }
  std::string Write(const std::string& aRelative, const std::string& aBytes) const {
    const fs::path path = iRoot / aRelative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << aBytes;
    return path.string();
  }
  std::string Path(const std::string& aRelative) const { return (iRoot / aRelative).string(); }
  const fs::path& Root() const { return iRoot; }

private:
  fs::path iRoot;
};

struct Result {
  int status = -1;
  std::string out;
  std::string err;
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  bool Has(const std::string& aLine) const {
    for (const std::string& line : Lines())
      if (line == aLine) return true;
    return false;
  }
};

Result Lint(const std::vector<std::string>& aArgs) {
  std::ostringstream out;
  std::ostringstream err;
  Result r;
  r.status = zolvlint::Main(aArgs, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

std::string Movie(const std::string& aHeader, const std::string& aFrames) {
  return "BeginMovie\nBHd " + aHeader + " EHd\n" + aFrames + "EndMovie\n";
}

std::string Picture() {
  MediaTest::MbmPicture p;
  p.width = 4;
  p.height = 2;
  p.bits = 12;
  for (int i = 0; i < 8; ++i) MediaTest::Put16(p.data, 0x0F00);
  return MediaTest::Mbm({p});
}

// The text of a finding line for the movie m of aApp.
std::string At(const AppFolder& aApp, const std::string& aRelative, int aLine, int aColumn, const std::string& aRest) {
  return aApp.Path(aRelative) + ":" + std::to_string(aLine) + ":" + std::to_string(aColumn) + ": " + aRest;
}

// ---------------------------------------------------------------------------------------

TEST(ZolvLint, CleanMovieWithAllResourcesGivesNoOutput) {
  AppFolder app;
  app.Write("Pictures/m.mbm", Picture());
  app.Write("Texts/m.txt", "BRes\n#BTxt BHd Fnt Arial 14 B Alg Cr R 100 20 Clr 255 EHd Hello world #ETxt\nERes\n");
  app.Write("Shapes/m.shp", "BRes #BShp BHd BClr 255 BStl 1 PntCt 3 EHd 0 0 10 0 5 8 #EShp ERes\n");
  app.Write("Sounds/m_1.wav", MediaTest::WavMono8(100));
  const std::string movie = app.Write(
      "Movies/m.movie",
      "comments before the movie are fine\n" +
          Movie("FrmCt 3 BmpCt 1 TxtCt 1 ShpCt 1 SndCt 1 BgClr 0",
                "BFrm FrmNr 1 Tpo 25 Snd 1\n"
                "  BSp C 1 Bmp 1 L 5 5 LT -1 M RPnt 1 1 R 8 4 ESp   the picture\n"
                "  BSp C 2 Txt 1 L 0 20 LT 2 ESp\n"
                "  BSp C 3 Shp 1 B 50 ESp\n"
                "  BSp C 4 Lne Pnt 0 0 Pnt 10 10 PClr 255 PSze 2 2 ESp\n"
                "  BSp C 5 RRct L 1 1 R 5 5 CSze 2 2 BClr 65280 BStl 1 ESp\n"
                "EFrm\n"
                "BFrm FrmNr 3 BSp C 1 L 9 9 B 20 ESp EFrm\n"));
  const Result r = Lint({movie});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  // The checker shows the folders to the engine through links of its own; removing them
  // leaves the application's files alone.
  for (const char* f : {"Movies/m.movie", "Pictures/m.mbm", "Texts/m.txt", "Shapes/m.shp", "Sounds/m_1.wav"})
    EXPECT_TRUE(fs::is_regular_file(app.Path(f))) << f;
}

TEST(ZolvLint, RecordFaultsAtTheirWords) {
  AppFolder app;
  const std::string movie = app.Write("Movies/m.movie",
                                      "BeginMovie\n"
                                      "BHd FrmCt 5 EHd\n"
                                      "BFrm FrmNr 1\n"
                                      "  BSp C 0 L 1 1 ESp\n"      // line 4: channel below 1
                                      "  BSp L 1 1 ESp\n"          // line 5: no channel
                                      "  BSp C 1 Bmp 3 ESp\n"      // line 6: unknown element
                                      "\tBSp C 2 Txt 1 ESp\n"      // line 7: tab counts one column
                                      "  BSp C 3 Shp 2 ESp\n"      // line 8
                                      "EFrm\n"
                                      "EndMovie\n");
  const Result r = Lint({movie});
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 4, 7, "error: channel 0 below 1: record dropped"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 5, 3, "error: sprite record without a channel (\"C\"): dropped")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 6, 11, "error: unknown element \"m_bmp_3\": record dropped")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 7, 10, "error: unknown element \"m_txt_1\": record dropped")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 8, 11, "error: unknown element \"m_shp_2\": record dropped")))
      << r.out;
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("5 errors and 0 warnings in 1 file"), std::string::npos) << r.out;
}

TEST(ZolvLint, RecordWithoutEndSwallowsTheFrame) {
  AppFolder app;
  const std::string movie = app.Write("Movies/m.movie",
                                      "BeginMovie BHd FrmCt 5 EHd\n"
                                      "BFrm FrmNr 1\n"
                                      "  BSp C 1 L 1 1\n"
                                      "EFrm\n"
                                      "EndMovie\n");
  const Result r = Lint({movie});
  // The record runs to the end of the data, taking the frame's end with it.
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 4, 1,
                       "error: \"EFrm\" inside a sprite record: skipped (\"ESp\" missing?)")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 3, 3,
                       "error: sprite record without \"ESp\" at the end of the data: dropped")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 2, 1, "error: frame without \"EFrm\" at the end of the data: dropped")))
      << r.out;
  EXPECT_EQ(r.status, 1);
}

TEST(ZolvLint, RefusedFramesSayWhy) {
  AppFolder app;
  const std::string movie = app.Write("Movies/m.movie",
                                      "BeginMovie BHd FrmCt 8 EHd\n"
                                      "BFrm FrmNr 7 EFrm\n"
                                      "BFrm FrmNr 5 EFrm\n"
                                      "BFrm FrmNr 0 EFrm\n"
                                      "BFrm  FrmNr 9 EFrm\n"
                                      "EndMovie\n"
                                      "BFrm FrmNr 8 EFrm\n");
  const Result r = Lint({movie});
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 3, 6, "error: frame 5 after 7 refused: its records are skipped")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 4, 6,
                       "error: frame 0 refused (frames are numbered from 1): its records are skipped")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 5, 7,
                       "error: frame 9 refused (above the frame count 8): its records are skipped")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 7, 1, "error: frame after \"EndMovie\": not loaded"))) << r.out;
  EXPECT_EQ(r.Lines().size(), 5u) << r.out;  // four findings and the summary
  EXPECT_EQ(r.status, 1);
}

TEST(ZolvLint, MissingMovieStructure) {
  AppFolder app;
  const Result noBegin = Lint({app.Write("Movies/a.movie", "BHd FrmCt 2 EHd BFrm FrmNr 1 EFrm")});
  EXPECT_TRUE(noBegin.Has(At(app, "Movies/a.movie", 1, 1, "error: \"BeginMovie\" missing: the movie is empty")))
      << noBegin.out;
  EXPECT_EQ(noBegin.status, 1);

  const Result noHeader = Lint({app.Write("Movies/b.movie", "\n  BeginMovie BFrm FrmNr 1 EFrm EndMovie")});
  EXPECT_TRUE(noHeader.Has(At(app, "Movies/b.movie", 2, 3,
                              "error: \"BHd\" missing: nothing is loaded and the movie has no frames")))
      << noHeader.out;

  const Result noHeaderEnd = Lint({app.Write("Movies/c.movie", "BeginMovie\nBHd FrmCt 2\nBFrm FrmNr 1 EFrm\n")});
  EXPECT_TRUE(noHeaderEnd.Has(At(app, "Movies/c.movie", 2, 1,
                                 "error: header without \"EHd\" at the end of the data: nothing is loaded and the "
                                 "movie has no frames")))
      << noHeaderEnd.out;
  EXPECT_TRUE(noHeaderEnd.Has(At(app, "Movies/c.movie", 3, 1,
                                 "error: \"BFrm\" inside the header: skipped (\"EHd\" missing?)")))
      << noHeaderEnd.out;

  // A frame written before the header is skipped by the header search.
  const Result early = Lint({app.Write("Movies/d.movie", "BeginMovie BFrm FrmNr 1 EFrm BHd FrmCt 1 EHd EndMovie")});
  EXPECT_TRUE(early.Has(At(app, "Movies/d.movie", 1, 12, "error: \"BFrm\" before the header: skipped"))) << early.out;
}

TEST(ZolvLint, ValuesReplacedAreWarnings) {
  AppFolder app;
  const std::string movie =
      app.Write("Movies/m.movie",
                "BeginMovie BHd FrmCt 4 BgClr 20000000 EHd\n"
                "BFrm FrmNr 1 Tpo 0 BSp C 1 B L 5 5 ESp EFrm\n"
                "BFrm FrmNr 2 Tpo 500 BSp C 1 B 150 A x ESp EFrm\n"
                "BFrm FrmNr 3 BSp C 2 Rct BStl 12 PStl -1 PSze 300 1 BClr -4 ESp EFrm\n"
                "BFrm FrmNr 4 BSp C 3 Bmp 1 Txt 1 ESp BSp C 4 B\n");
  const Result r = Lint({movie});
  const std::string f = "Movies/m.movie";
  EXPECT_TRUE(r.Has(At(app, f, 1, 24, "warning: \"BgClr\" 20000000 clamped to 16777215"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 2, 14, "warning: \"Tpo\" 0: the tempo is left unchanged"))) << r.out;
  // A word after a keyword is its value, even a keyword.
  EXPECT_TRUE(r.Has(At(app, f, 2, 30, "warning: \"L\" is not a number for \"B\": 100 used"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 3, 14, "warning: \"Tpo\" 500 clamped to 100"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 3, 30, "warning: \"B\" 150 clamped to 100"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 3, 38, "warning: \"x\" is not a number for \"A\": 0 used"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 4, 26, "warning: \"BStl\" 12 is not one of 0..8: 0 used"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 4, 34, "warning: \"PStl\" -1 is not one of 0..5: 1 used"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 4, 42, "warning: \"PSze\" 300 clamped to 128"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 4, 53, "warning: \"BClr\" -4 clamped to 0"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 5, 28,
                       "warning: \"Txt\" replaces the content \"Bmp\" chosen before it in the record")))
      << r.out;
  // A value missing at the end of the data gets its default.
  EXPECT_TRUE(r.Has(At(app, f, 5, 46, "warning: \"B\" has no value at the end of the data: 100 used"))) << r.out;
}

TEST(ZolvLint, WarningsAloneExitZero) {
  AppFolder app;
  const std::string movie =
      app.Write("Movies/m.movie", Movie("FrmCt 1", "BFrm FrmNr 1 Tpo 200 BSp C 1 L 1 1 A 10 ESp EFrm\n"));
  const Result r = Lint({movie});
  EXPECT_EQ(r.Lines().size(), 2u) << r.out;
  EXPECT_NE(r.out.find("0 errors and 1 warning in 1 file"), std::string::npos) << r.out;
  EXPECT_EQ(r.status, 0);
}

TEST(ZolvLint, KeywordsWithoutEffectAndExtraPoints) {
  AppFolder app;
  const std::string movie = app.Write("Movies/m.movie",
                                      Movie("FrmCt 1", "BFrm FrmNr 1\n"
                                                       "BSp C 1 L 1 1 M PClr 3 ESp\n"
                                                       "BSp C 2 Lne Pnt 1 2 Pnt 3 4 Pnt 5 6 CSze 1 1 ESp\n"
                                                       "BSp C 3 Arc ESp\n"
                                                       "BSp C 4 R 10 -5 ESp\n"
                                                       "EFrm\n"));
  const Result r = Lint({movie});
  const std::string f = "Movies/m.movie";
  EXPECT_TRUE(r.Has(At(app, f, 4, 15, "warning: \"M\" has no effect on a property record: ignored"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 4, 17, "warning: \"PClr\" has no effect on a property record: ignored"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 5, 29, "warning: more than two \"Pnt\" in a record: this one is ignored"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 5, 37, "warning: \"CSze\" has no effect on a line record: ignored"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 6, 9, "warning: \"Arc\" carries no geometry: the record only sets the look"))) << r.out;
  EXPECT_TRUE(
      r.Has(At(app, f, 7, 9, "warning: \"R\" 10 -5: the size is not applied (both values must be 0 or more)")))
      << r.out;
  EXPECT_EQ(r.status, 0);
}

TEST(ZolvLint, MisplacedKeywordsOutsideFramesAndSounds) {
  AppFolder app;
  const std::string movie = app.Write("Movies/m.movie",
                                      "BeginMovie BHd FrmCt 3 SndCt 1 EHd\n"
                                      "BSp C 1 ESp\n"
                                      "BFrm FrmNr 1 Snd 2 Bmp 1 EFrm\n"
                                      "a comment with a one-letter word is fine\n"
                                      "EndMovie\n");
  const Result r = Lint({movie});
  const std::string f = "Movies/m.movie";
  // SndCt 1 asks for m_1.wav, which is missing: the whole movie load fails.
  EXPECT_TRUE(r.Has(At(app, f, 1, 24, "error: \"SndCt\": cannot load \"m_1.wav\" (error -1): the movie load fails")))
      << r.out;
  EXPECT_EQ(r.status, 1);

  app.Write("Sounds/m_1.wav", MediaTest::WavMono8(100));
  const Result r2 = Lint({movie});
  EXPECT_TRUE(r2.Has(At(app, f, 2, 1, "error: \"BSp\" outside a frame: skipped (\"BFrm\" missing?)"))) << r2.out;
  EXPECT_TRUE(r2.Has(At(app, f, 2, 9, "error: \"ESp\" outside a frame: skipped (\"BFrm\" or \"BSp\" missing?)")))
      << r2.out;
  EXPECT_TRUE(r2.Has(At(app, f, 3, 14, "error: sound 2 (\"m_wav_2\") not loaded: the frame has no sound"))) << r2.out;
  EXPECT_TRUE(r2.Has(At(app, f, 3, 20, "error: \"Bmp\" inside a frame: skipped (\"BSp\" missing?)"))) << r2.out;
  EXPECT_EQ(r2.Lines().size(), 5u) << r2.out;
}

TEST(ZolvLint, BrokenResourceFilesOfAMovie) {
  AppFolder app;
  const std::string movie = app.Write("Movies/m.movie", Movie("FrmCt 1 TxtCt 1 ShpCt 1 BmpCt 1", ""));
  app.Write("Pictures/m.mbm", "not a picture at all");
  app.Write("Texts/m.txt", "no resources here\n");
  app.Write("Shapes/m.shp", "BRes\n#BShp BHd PSze 300 EHd 1 2 x 3 4 5 #EShp\n#BShp 7 7\n");
  const Result r = Lint({movie});
  EXPECT_TRUE(r.Has(At(app, "Movies/m.movie", 2, 29, "error: \"BmpCt\": cannot load \"m.mbm\" (error -5): the movie "
                                                     "load fails")))
      << r.out;
  EXPECT_EQ(r.status, 1);

  app.Write("Pictures/m.mbm", Picture());
  const Result r2 = Lint({movie});
  EXPECT_TRUE(r2.Has(At(app, "Texts/m.txt", 1, 1, "error: \"BRes\" missing: file ignored"))) << r2.out;
  EXPECT_TRUE(r2.Has(At(app, "Shapes/m.shp", 2, 11, "warning: \"PSze\" 300 clamped to 128"))) << r2.out;
  EXPECT_TRUE(r2.Has(At(app, "Shapes/m.shp", 2, 28,
                        "error: \"x\" is not a number: point 2 is left unused and the pairing of the following "
                        "coordinates shifts by one")))
      << r2.out;
  EXPECT_TRUE(r2.Has(At(app, "Shapes/m.shp", 2, 34, "error: point 4 has no y value: dropped"))) << r2.out;
  EXPECT_TRUE(r2.Has(At(app, "Shapes/m.shp", 3, 1, "error: resource without \"#EShp\" at the end of the data: dropped")))
      << r2.out;
}

TEST(ZolvLint, TextResourceFile) {
  AppFolder app;
  const std::string text = app.Write("Texts/t.txt",
                                     "BRes\r\n"
                                     "#BTxt BHd Fnt Helvetica 20 Alg middle R x 10 Clr 99999999 EHd Hi #ETxt\r\n"
                                     "#BShp\r\n"
                                     "#BTxt before BHd I EHd text #ETxt\r\n"
                                     "#BTxt BHd B text without end #ETxt\r\n"
                                     "#ETxt\r\n");
  const Result r = Lint({text});
  const std::string f = "Texts/t.txt";
  EXPECT_TRUE(r.Has(At(app, f, 2, 15,
                       "warning: font \"Helvetica\" unknown (\"Arial\", \"Courier\" or \"Roman\"): font name unchanged")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 2, 32,
                       "warning: alignment \"middle\" unknown (\"Lt\", \"Cr\" or \"Rt\"): alignment unchanged")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 2, 41, "warning: \"x\" is not a number for \"R\": 1 used"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 2, 46, "warning: \"Clr\" 99999999 clamped to 16777215"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 3, 1, "error: \"#BShp\" in a text resource file: skipped"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 4, 7, "error: text before \"BHd\" discarded"))) << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 5, 7,
                       "error: text header without \"EHd\": the text is empty and the header is ignored")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, f, 6, 1, "error: \"#ETxt\" without \"#BTxt\": skipped"))) << r.out;
  EXPECT_EQ(r.status, 1);
}

TEST(ZolvLint, MovieListChecksEveryMovie) {
  AppFolder app;
  app.Write("Movies/one.movie", Movie("FrmCt 1", "BFrm FrmNr 1 EFrm\n"));
  app.Write("Movies/two.movie", Movie("FrmCt 1", "BFrm FrmNr 2 EFrm\n"));
  const std::string list = app.Write("show.lst", "one\n  two\tthree\n");
  const Result r = Lint({list});
  EXPECT_TRUE(r.Has(At(app, "Movies/two.movie", 3, 6,
                       "error: frame 2 refused (above the frame count 1): its records are skipped")))
      << r.out;
  EXPECT_TRUE(r.Has(At(app, "show.lst", 2, 7,
                       "error: movie \"three\": " + app.Path("Movies/three.movie") + " not found: the movie load fails")))
      << r.out;
  EXPECT_EQ(r.Lines().size(), 3u) << r.out;
  EXPECT_EQ(r.status, 1);

  const Result empty = Lint({app.Write("empty.lst", " \n\t\n")});
  EXPECT_TRUE(empty.Has(app.Path("empty.lst") + ": warning: the movie list names no movie: nothing is loaded"))
      << empty.out;
  EXPECT_EQ(empty.status, 0);
}

TEST(ZolvLint, AppsDirAndKindByContent) {
  AppFolder app;
  app.Write("Texts/m.txt", "BRes #BTxt Hi #ETxt");
  // A movie outside any Movies folder, named on the command line: its resources come from
  // the application folder given.
  const std::string movie = app.Write("elsewhere/m.movie", Movie("FrmCt 1 TxtCt 1", "BFrm FrmNr 1 BSp C 1 Txt 2 ESp EFrm\n"));
  const Result r = Lint({"--apps-dir", app.Root().string(), movie});
  EXPECT_TRUE(r.Has(movie + ":3:22: error: unknown element \"m_txt_2\": record dropped")) << r.out;

  // No extension: a shape file by its content.
  const std::string shape = app.Write("misc/blob", "BRes #BShp 1 2 #EShp");
  const Result s = Lint({shape});
  EXPECT_TRUE(s.Has(shape + ":1:12: error: shape without \"BHd\": no points are read, the shape has default look and "
                            "one point"))
      << s.out;
  EXPECT_EQ(zolvlint::KindOf("x.MOVIE", ""), zolvlint::Kind::Movie);
  EXPECT_EQ(zolvlint::KindOf("list", "a b c"), zolvlint::Kind::MovieList);
  EXPECT_EQ(zolvlint::KindOf("x", "junk beginmovie"), zolvlint::Kind::Movie);
  EXPECT_EQ(zolvlint::KindOf("x", "BRes #BTxt"), zolvlint::Kind::Text);
}

TEST(ZolvLint, UsageErrors) {
  EXPECT_EQ(Lint({}).status, 2);
  EXPECT_EQ(Lint({"--frobnicate", "x.movie"}).status, 2);
  EXPECT_EQ(Lint({"--apps-dir"}).status, 2);
  EXPECT_EQ(Lint({"--apps-dir", "/nonexistent/zolvlint/dir", "x.movie"}).status, 2);
  const Result missing = Lint({"/nonexistent/zolvlint/file.movie"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.Has("/nonexistent/zolvlint/file.movie: error: cannot read the file")) << missing.out;
}

// Random bytes of every kind of file, and random token soups that reach deep into the
// parsers: checked without a crash, with a sane status.
TEST(ZolvLint, AnyBytesWithoutCrash) {
  AppFolder app;
  std::mt19937 rng(20261208);
  const std::vector<std::string> words = {"BeginMovie", "EndMovie", "BHd",  "EHd", "FrmCt", "TxtCt", "ShpCt",
                                          "BFrm",       "EFrm",     "FrmNr", "Tpo", "Snd",   "BSp",   "ESp",
                                          "C",          "L",        "Bmp",   "Txt", "Shp",   "Rct",   "Pnt",
                                          "R",          "-1",       "0",     "1",   "2",     "99999999999",
                                          "#BTxt",      "#ETxt",    "#BShp", "#EShp", "BRes", "x", "\t", "\r\n"};
  app.Write("Texts/m.txt", "BRes #BTxt BHd EHd x #ETxt #BTxt");
  app.Write("Shapes/m.shp", "BRes #BShp BHd PntCt 3 EHd 1 #EShp");
  std::vector<std::string> files;
  for (int i = 0; i < 12; ++i) {
    std::string bytes;
    if (i % 2 == 0) {
      const size_t n = rng() % 600;
      for (size_t k = 0; k < n; ++k) bytes += static_cast<char>(rng() & 0xFF);
    } else {
      const size_t n = rng() % 200;
      for (size_t k = 0; k < n; ++k) bytes += words[rng() % words.size()] + (rng() % 3 ? " " : "\n");
    }
    static const char* const kExt[] = {".movie", ".txt", ".shp", ".lst"};
    const std::string name = std::string(i % 4 == 0 ? "Movies/m" : "f") + std::to_string(i) + kExt[i % 4];
    files.push_back(app.Write(i % 4 == 0 ? "Movies/m" + std::to_string(i) + ".movie" : name, bytes));
  }
  // Movies of the list named "m" find the resources above.
  files.push_back(app.Write("Movies/m.movie", "BeginMovie BHd FrmCt 3 TxtCt 1 ShpCt 1 EHd BFrm FrmNr 1 BSp C 1 Txt"));
  files.push_back(app.Write("list.lst", "m m0 m4 m8 \xff\xfe"));
  const Result r = Lint(files);
  EXPECT_TRUE(r.status == 0 || r.status == 1) << r.status;
  EXPECT_EQ(r.err, "");
}

}  // namespace
