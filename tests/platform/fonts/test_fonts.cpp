// The font store: typeface names and substitution, exact metrics of the fixed test face,
// FreeType fonts' metrics, monochrome rasterisation, twips conversion and the font
// objects' lifetime.

#include <fbs.h>
#include <gdi.h>
#include <zhost/allocfail.h>
#include <zhost/files.h>
#include <zhost/fonts.h>
#include <zhost/userlib.h>

#include <gtest/gtest.h>

#include "HostFiles.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Narrow(const TDesC& aText) {
  std::string out;
  for (TInt i = 0; i < aText.Length(); ++i) out += static_cast<char>(aText[i]);
  return out;
}

TPtrC Wide(const char16_t* aText) {
  return TPtrC(reinterpret_cast<const TUint16*>(aText), static_cast<TInt>(std::char_traits<char16_t>::length(aText)));
}

std::string BaseName(const std::string& aPath) { return aPath.substr(aPath.find_last_of('/') + 1); }

class Fonts : public ::testing::Test {
protected:
  void SetUp() override {
    iDevice = new CGraphicsDevice;
    ASSERT_NE(iDevice, nullptr);
    iInUse = ZHost::FontsInUse();
  }
  void TearDown() override {
    for (CFont* f : iFonts) iDevice->ReleaseFont(f);
    EXPECT_EQ(ZHost::FontsInUse(), iInUse);
    delete iDevice;
  }
  // A font by name and pixel height, asked for in twips as the platform's users do.
  CFbsFont* Font(const char16_t* aName, TInt aPixels, TBool aBold = EFalse, TBool aItalic = EFalse) {
    TFontSpec fontSpec(Wide(aName), iDevice->VerticalPixelsToTwips(aPixels));
    fontSpec.iFontStyle.SetStrokeWeight(aBold ? EStrokeWeightBold : EStrokeWeightNormal);
    fontSpec.iFontStyle.SetPosture(aItalic ? EPostureItalic : EPostureUpright);
    CFont* font = NULL;
    EXPECT_EQ(iDevice->GetNearestFontInTwips(font, fontSpec), KErrNone);
    if (font) iFonts.push_back(font);
    return static_cast<CFbsFont*>(font);
  }
  std::string Name(CFont* aFont) { return Narrow(aFont->FontSpecInTwips().iTypeface.Name()); }

  CGraphicsDevice* iDevice = nullptr;
  std::vector<CFont*> iFonts;
  TInt iInUse = 0;
};

TEST_F(Fonts, TwipsConvertBothWaysExactlyForWholePixels) {
  for (TInt px : {0, 1, 12, 14, 16, 100, 1024}) {
    EXPECT_EQ(iDevice->VerticalTwipsToPixels(iDevice->VerticalPixelsToTwips(px)), px);
    EXPECT_EQ(iDevice->HorizontalTwipsToPixels(iDevice->HorizontalPixelsToTwips(px)), px);
  }
  EXPECT_EQ(iDevice->VerticalPixelsToTwips(16), 16 * ZHost::KTwipsPerPixel);
  // Halves round to the nearer pixel, away from zero; huge values do not overflow.
  EXPECT_EQ(iDevice->VerticalTwipsToPixels(7), 0);
  EXPECT_EQ(iDevice->VerticalTwipsToPixels(8), 1);
  EXPECT_EQ(iDevice->VerticalTwipsToPixels(-8), -1);
  EXPECT_EQ(iDevice->VerticalPixelsToTwips(KMaxTInt), KMaxTInt);
  EXPECT_EQ(iDevice->TwipsToPixels(TPoint(150, 30)), TPoint(10, 2));
}

TEST_F(Fonts, DeviceTypefacesAreRealFacesAndReportTheirNames) {
  EXPECT_EQ(Name(Font(u"SwissA", 14)), "SwissA");
  EXPECT_EQ(Name(Font(u"System", 14)), "System");
  EXPECT_EQ(Name(Font(u"Terminal", 14)), "Terminal");
  EXPECT_EQ(Name(Font(u"NewCourier", 14)), "NewCourier");
  // Names are matched without regard to case.
  EXPECT_EQ(Name(Font(u"sWISSa", 14)), "SwissA");
  EXPECT_TRUE(Font(u"SwissA", 14)->FontSpecInTwips().iTypeface.IsProportional());
  EXPECT_FALSE(Font(u"Terminal", 14)->FontSpecInTwips().iTypeface.IsProportional());
  EXPECT_TRUE(Font(u"System", 14)->FontSpecInTwips().iTypeface.IsSerif());
  EXPECT_EQ(iDevice->NumTypefaces(), 5);
  TTypeface tf;
  iDevice->TypefaceSupport(tf, 3);
  EXPECT_EQ(Narrow(tf.Name()), "NewCourier");
  iDevice->TypefaceSupport(tf, 99);
  EXPECT_EQ(tf.Name().Length(), 0);
}

// Names an application may ask for and the typeface each gets, on every machine.
struct TNameChoice {
  const char16_t* iName;
  const char* iTypeface;
};
const TNameChoice KNameChoices[] = {
    {u"Helvetica", "SwissA"},
    {u"Arial", "SwissA"},
    {u"Verdana", "SwissA"},
    {u"Nimbus Sans", "SwissA"},
    {u"Liberation Sans", "SwissA"},
    {u"DejaVu Sans", "SwissA"},
    {u"DejaVu Sans Condensed", "SwissA"},
    {u"MS Sans Serif", "SwissA"},
    {u"sans-serif", "SwissA"},
    {u"Comic Sans MS", "SwissA"},
    {u"Times New Roman", "System"},
    {u"TIMES NEW ROMAN", "System"},
    {u"TimesNewRomanPSMT", "System"},
    {u"Times", "System"},
    {u"Times-Roman", "System"},
    {u"Nimbus Roman", "System"},
    {u"Liberation Serif", "System"},
    {u"DejaVu Serif", "System"},
    {u"Georgia", "System"},
    {u"Palatino Linotype", "System"},
    {u"Century Schoolbook", "System"},
    {u"P052", "System"},
    {u"Noto Serif", "System"},
    {u"serif", "System"},
    {u"Roman", "System"},
    {u"Courier New", "NewCourier"},
    {u"courier new", "NewCourier"},
    {u"Courier", "NewCourier"},
    {u"CourierNewPSMT", "NewCourier"},
    {u"PTSerif", "System"},
    {u"ArialMT", "SwissA"},
    {u"Nimbus Mono PS", "NewCourier"},
    {u"Liberation Mono", "NewCourier"},
    {u"DejaVu Sans Mono", "NewCourier"},
    {u"Noto Sans Mono", "NewCourier"},
    {u"Consolas", "NewCourier"},
    {u"Lucida Console", "NewCourier"},
    {u"monospace", "NewCourier"},
    {u"Fixedsys", "NewCourier"},
    {u"Terminal", "Terminal"},
    {u"terminal", "Terminal"},
    {u"System", "System"},
    {u"newcourier", "NewCourier"},
    {u"SWISSA", "SwissA"},
    {u"zhost fixed", "ZHost Fixed"},
    {u"no such face at all", "SwissA"},
    {u"Sans Serif Mono Roman", "NewCourier"},
    {u"Serif\u00e9", "SwissA"},
    {u"", "SwissA"},
    {u"\t\r\n", "SwissA"},
    {u"\u0130talic Serif", "System"},
    {u"Emoji \U0001F600", "SwissA"},
    // A name longer than a typeface name can hold is cut, not refused.
    {u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "SwissA"},
    {u"Bitstream Vera Sans Mono For Programmers", "NewCourier"},
};

TEST_F(Fonts, UnknownNamesGetTheNearestTypeface) {
  for (const TNameChoice& c : KNameChoices) {
    CFbsFont* font = Font(c.iName, 14);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(Name(font), c.iTypeface) << Narrow(Wide(c.iName));
  }
}

TEST_F(Fonts, HeightIsExactlyTheHeightAskedForAndClamped) {
  for (TInt h : {1, 7, 14, 16, 33, 100}) {
    CFbsFont* f = Font(u"SwissA", h);
    EXPECT_EQ(f->HeightInPixels(), h);
    EXPECT_EQ(f->AscentInPixels() + f->DescentInPixels(), h);
    EXPECT_GE(f->AscentInPixels(), f->DescentInPixels());
    EXPECT_EQ(f->FontSpecInTwips().iHeight, h * ZHost::KTwipsPerPixel);
  }
  EXPECT_EQ(Font(u"SwissA", 0)->HeightInPixels(), 1);
  EXPECT_EQ(Font(u"SwissA", -40)->HeightInPixels(), 1);
  EXPECT_EQ(Font(u"ZHost Fixed", 5000)->HeightInPixels(), ZHost::KFontHeightMax);
}

TEST_F(Fonts, FixedTestFaceHasExactMetrics) {
  CFbsFont* f = Font(u"ZHost Fixed", 10);
  EXPECT_EQ(Name(f), "ZHost Fixed");
  EXPECT_EQ(f->AscentInPixels(), 8);
  EXPECT_EQ(f->DescentInPixels(), 2);
  EXPECT_EQ(f->CharWidthInPixels('W'), 5);
  EXPECT_EQ(f->CharWidthInPixels(' '), 5);
  EXPECT_EQ(f->CharWidthInPixels(0x4E2D), 5);
  EXPECT_EQ(f->CharWidthInPixels('\n'), 0);
  EXPECT_EQ(f->TextWidthInPixels(_L("abc def")), 35);
  EXPECT_EQ(f->TextWidthInPixels(_L("a\r\nb")), 10);
  EXPECT_EQ(f->TextCount(_L("abcdefghij"), 39), 7);
  EXPECT_EQ(f->TextCount(_L("abcdefghij"), 40), 8);
  EXPECT_EQ(f->TextCount(_L("abc"), 1000), 3);
  EXPECT_EQ(Font(u"ZHost Fixed", 16)->CharWidthInPixels('x'), 8);
  EXPECT_EQ(Font(u"ZHost Fixed", 1)->CharWidthInPixels('x'), 1);
}

TEST_F(Fonts, FixedTestFaceDrawsBoxes) {
  CFbsFont* f = Font(u"ZHost Fixed", 10);
  // Two characters and a space, baseline at y 9, pen starting at x 1; clip cuts the
  // bottom row of the boxes and everything right of x 8.
  const TInt w = 16, h = 12;
  std::vector<TUint16> px(w * h, 0);
  const TInt adv = ZHost::DrawText(*f, _L("A B"), TPoint(1, 9), 0x0F00, px.data(), w, TRect(0, 0, 8, 8));
  EXPECT_EQ(adv, 15);
  for (TInt y = 0; y < h; ++y) {
    for (TInt x = 0; x < w; ++x) {
      // Box of 'A': x 1..4, y 1..8 (ascent 8 above baseline 9), clipped to y < 8.
      const bool inA = x >= 1 && x < 5 && y >= 1 && y < 8;
      // 'B' starts at pen 11: outside the clip.
      EXPECT_EQ(px[y * w + x], inA ? 0x0F00 : 0) << x << "," << y;
    }
  }
  const ZHost::TGlyphImage space = ZHost::FontGlyph(*f, ' ');
  EXPECT_EQ(space.iAdvance, 5);
  EXPECT_EQ(space.iBits, nullptr);
}

TEST_F(Fonts, DejaVuFacesMeasureLikeTheirKinds) {
  CFbsFont* sans = Font(u"SwissA", 20);
  EXPECT_LT(sans->TextWidthInPixels(_L("iiii")), sans->TextWidthInPixels(_L("WWWW")));
  CFbsFont* mono = Font(u"Terminal", 20);
  EXPECT_EQ(mono->TextWidthInPixels(_L("iiii")), mono->TextWidthInPixels(_L("WWWW")));
  EXPECT_GT(mono->CharWidthInPixels('i'), 0);
  // A run measures as the sum of its characters (no kerning), for any face and style.
  for (CFbsFont* f : {sans, mono, Font(u"System", 13, ETrue), Font(u"SwissA", 17, EFalse, ETrue)}) {
    const TPtrC text(_L("AVAWaY Tj, lorem ipsum"));
    TInt sum = 0;
    for (TInt i = 0; i < text.Length(); ++i) sum += f->CharWidthInPixels(text[i]);
    EXPECT_EQ(f->TextWidthInPixels(text), sum);
    EXPECT_GT(sum, 0);
  }
  // Bold is at least as wide; a bigger size is wider.
  EXPECT_GE(Font(u"SwissA", 20, ETrue)->TextWidthInPixels(_L("Hello")), sans->TextWidthInPixels(_L("Hello")));
  EXPECT_GT(Font(u"SwissA", 40)->TextWidthInPixels(_L("Hello")), sans->TextWidthInPixels(_L("Hello")));
  EXPECT_GE(sans->MaxCharWidthInPixels(), sans->CharWidthInPixels('M'));
}

TEST_F(Fonts, GlyphsAreMonochromeAndSitOnTheBaseline) {
  CFbsFont* f = Font(u"SwissA", 24);
  const TInt w = 64, h = 40;
  std::vector<TUint16> px(w * h, 0x0FFF);
  ZHost::DrawText(*f, _L("Hg"), TPoint(2, 30), 0x0123, px.data(), w, TRect(0, 0, w, h));
  std::set<TUint16> values(px.begin(), px.end());
  EXPECT_EQ(values, (std::set<TUint16>{0x0FFF, 0x0123}));
  // 'H' stands on the baseline: ink in the row just above it, none in the rows below
  // the baseline under the H; 'g' descends below it.
  const TInt hWidth = f->CharWidthInPixels('H');
  auto ink = [&](TInt x0, TInt x1, TInt y) {
    for (TInt x = x0; x < x1; ++x)
      if (px[y * w + x] == 0x0123) return true;
    return false;
  };
  EXPECT_TRUE(ink(2, 2 + hWidth, 29));
  EXPECT_FALSE(ink(0, 2 + hWidth, 31));
  EXPECT_TRUE(ink(2 + hWidth, w, 32));
  EXPECT_FALSE(ink(0, w, 30 - f->AscentInPixels() - 2));
  // Cached glyphs are the same memory the second time.
  EXPECT_EQ(ZHost::FontGlyph(*f, 'H').iBits, ZHost::FontGlyph(*f, 'H').iBits);
}

TEST_F(Fonts, FontsAreCountedAndAllocationFailureIsReported) {
  const TInt cells = ZHost::AllocCells();
  TFontSpec fontSpec(_L("SwissA"), 200);
  CFont* font = reinterpret_cast<CFont*>(1);
  __UHEAP_FAILNEXT(1);
  EXPECT_EQ(iDevice->GetNearestFontInTwips(font, fontSpec), KErrNoMemory);
  __UHEAP_RESET;
  EXPECT_EQ(font, nullptr);
  EXPECT_EQ(ZHost::FontsInUse(), iInUse);
  EXPECT_EQ(iDevice->GetNearestFontInTwips(font, fontSpec), KErrNone);
  EXPECT_EQ(ZHost::FontsInUse(), iInUse + 1);
  iDevice->ReleaseFont(font);
  iDevice->ReleaseFont(NULL);
  EXPECT_EQ(ZHost::FontsInUse(), iInUse);
  EXPECT_EQ(ZHost::AllocCells(), cells);
}

TEST_F(Fonts, FaceFilesAreFoundByNameAndCheckedByFamilyAndStyle) {
  const std::string sans = ZHost::FontFile(*Font(u"SwissA", 14));
  const std::string serif = ZHost::FontFile(*Font(u"System", 14));
  const std::string sansBold = ZHost::FontFile(*Font(u"SwissA", 14, ETrue));
  EXPECT_EQ(BaseName(sans), "DejaVuSans.ttf");
  EXPECT_EQ(BaseName(serif), "DejaVuSerif.ttf");
  EXPECT_EQ(BaseName(sansBold), "DejaVuSans-Bold.ttf");
  EXPECT_EQ(BaseName(ZHost::FontFile(*Font(u"System", 14, ETrue, ETrue))), "DejaVuSerif-BoldItalic.ttf");
  EXPECT_EQ(BaseName(ZHost::FontFile(*Font(u"Terminal", 14, EFalse, ETrue))), "DejaVuSansMono-Oblique.ttf");
  EXPECT_EQ(ZHost::FontFile(*Font(u"ZHost Fixed", 14)), "");

  ZTestHost::TempFolder temp("zolv-fonts");
  ASSERT_FALSE(temp.Path().empty());
  namespace fs = std::filesystem;
  auto make = [&](const char* aName) {
    fs::create_directories(temp.Path() / aName);
    return (temp.Path() / aName).string();
  };
  // Folders that hold something else under the name: another face, a bold face, a file
  // that is no font, a folder; then one with the real file.
  const std::string other = make("other face");
  fs::copy_file(serif, other + "/DejaVuSans.ttf");
  const std::string bold = make("bold");
  fs::copy_file(sansBold, bold + "/DejaVuSans.ttf");
  const std::string junk = make("j\u00fcnk");
  ZTestHost::WriteHostFile(junk + "/DejaVuSans.ttf", "not a font");
  const std::string folder = make("folder");
  make("folder/DejaVuSans.ttf");
  const std::string real = make("real one");
  fs::copy_file(sans, real + "/DejaVuSans.ttf");
  const std::string missing = (temp.Path() / "missing").string();

  const std::vector<std::string> all{missing, other, bold, junk, folder, real};
  EXPECT_EQ(ZHost::FindFaceFile("DejaVuSans.ttf", "DejaVu Sans", "Book", all), real + "/DejaVuSans.ttf");
  EXPECT_EQ(ZHost::FindFaceFile("DejaVuSans.ttf", "DejaVu Sans", "Book", {missing, other, bold, junk, folder}), "");
  EXPECT_EQ(ZHost::FindFaceFile("DejaVuSans.ttf", "DejaVu Sans", "Bold", all), bold + "/DejaVuSans.ttf");
  EXPECT_EQ(ZHost::FindFaceFile("DejaVuSans.ttf", "DejaVu Serif", "Book", all), other + "/DejaVuSans.ttf");
  EXPECT_EQ(ZHost::FindFaceFile("DejaVuSans.ttf", "DejaVu Sans", "Book", {}), "");
}

// ---- The same typefaces and pixels whatever else fontconfig knows ----
//
// CTest runs this program under three fontconfig configurations (the environment variable
// ZOLV_FONTCONFIG_CASE names the one in force): "machine", the machine's own with every
// font installed; "dejavu-only", one that sees nothing but the DejaVu files; and
// "user-prefers", the machine's own plus a user's rules that put other families before
// DejaVu and before the generic families. Every case writes the report below to the file
// ZOLV_FONT_REPORT names, and a further test requires the reports to be identical.

// FNV-1a, 64 bits.
std::uint64_t Hash(const void* aData, std::size_t aSize, std::uint64_t aHash = 14695981039346656037ull) {
  const unsigned char* p = static_cast<const unsigned char*>(aData);
  for (std::size_t i = 0; i < aSize; ++i) aHash = (aHash ^ p[i]) * 1099511628211ull;
  return aHash;
}

// A name as UTF-8 on one line: control characters, quotes and backslashes escaped.
std::string Printable(const TDesC& aName) {
  std::string out;
  for (unsigned char c : ZHost::ToUtf8(aName)) {
    if (c < 0x20 || c == 0x7F || c == '"' || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// One line per requested name, then one per typeface, style and size: the face file, the
// metrics and a hash of the pixels of a sample line drawn in it.
std::string ChoicesAndPixelsReport(CGraphicsDevice& aDevice) {
  std::ostringstream out;
  std::vector<CFont*> fonts;
  auto font = [&](const TDesC& aName, TInt aHeight, TBool aBold, TBool aItalic) {
    TFontSpec request(aName, aDevice.VerticalPixelsToTwips(aHeight));
    request.iFontStyle.SetStrokeWeight(aBold ? EStrokeWeightBold : EStrokeWeightNormal);
    request.iFontStyle.SetPosture(aItalic ? EPostureItalic : EPostureUpright);
    CFont* f = NULL;
    EXPECT_EQ(aDevice.GetNearestFontInTwips(f, request), KErrNone) << Narrow(aName);
    if (f) fonts.push_back(f);
    return static_cast<CFbsFont*>(f);
  };
  for (const TNameChoice& c : KNameChoices) {
    CFbsFont* f = font(Wide(c.iName), 14, EFalse, EFalse);
    out << "name \"" << Printable(Wide(c.iName)) << "\" -> " << (f ? Narrow(f->FontSpecInTwips().iTypeface.Name()) : "-")
        << "\n";
  }
  const TPtrC sample = Wide(u"Hamburgefonstiv AVWaj 0123456789 \u00c4\u00d6\u00dc\u00df\u00e9\u00f1\u20ac &@{}?");
  for (const char16_t* typeface : {u"SwissA", u"System", u"Terminal", u"NewCourier"}) {
    for (TInt style = 0; style < 4; ++style) {
      for (TInt height : {9, 14, 23}) {
        CFbsFont* f = font(Wide(typeface), height, style & 1, style & 2);
        if (!f) continue;
        const TInt w = f->TextWidthInPixels(sample) + 2 * height;
        const TInt h = 2 * height;
        std::vector<TUint16> px(static_cast<std::size_t>(w) * h, 0);
        ZHost::DrawText(*f, sample, TPoint(height, f->AscentInPixels() + height / 2), 1, px.data(), w,
                        TRect(0, 0, w, h));
        char pixels[17];
        std::snprintf(pixels, sizeof pixels, "%016llx",
                      static_cast<unsigned long long>(Hash(px.data(), px.size() * sizeof(TUint16))));
        out << "face " << Narrow(Wide(typeface)) << " " << ((style & 1) ? "bold" : "normal") << " "
            << ((style & 2) ? "italic" : "upright") << " " << height << " " << BaseName(ZHost::FontFile(*f))
            << " ascent " << f->AscentInPixels() << " max " << f->MaxCharWidthInPixels() << " width " << w
            << " pixels " << pixels << "\n";
      }
    }
  }
  for (CFont* f : fonts) aDevice.ReleaseFont(f);
  return out.str();
}

// The versions that decide the pixels: FreeType's and that of the DejaVu Sans file the store
// draws "SwissA" from (which must be that file, whatever fontconfig prefers).
std::string RendererVersions() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return "freetype ?";
  FT_Int major = 0, minor = 0, patch = 0;
  FT_Library_Version(library, &major, &minor, &patch);
  std::ostringstream out;
  out << "freetype " << major << "." << minor << "." << patch << " dejavu ";
  CGraphicsDevice device;
  CFont* font = NULL;
  EXPECT_EQ(device.GetNearestFontInPixels(font, TFontSpec(_L("SwissA"), 14)), KErrNone);
  FT_Face face = nullptr;
  if (font && FT_New_Face(library, ZHost::FontFile(*font).c_str(), 0, &face) == 0) {
    EXPECT_STREQ(face->family_name, "DejaVu Sans");
    EXPECT_STREQ(face->style_name, "Book");
    const auto* head = static_cast<const TT_Header*>(FT_Get_Sfnt_Table(face, FT_SFNT_HEAD));
    char revision[32] = "?";
    if (head) std::snprintf(revision, sizeof revision, "%.3f", head->Font_Revision / 65536.0);
    out << revision;
    FT_Done_Face(face);
  } else {
    ADD_FAILURE() << "the file of SwissA cannot be read";
  }
  if (font) device.ReleaseFont(font);
  FT_Done_FreeType(library);
  return out.str();
}

// The report recorded in the source tree for these versions; empty when none is.
std::string RecordedReport(const std::string& aVersions) {
  const char* source = std::getenv("ZOLV_TEST_SOURCE_DIR");
  if (!source) return std::string();
  std::ifstream in(std::string(source) + "/tests/platform/fonts/recorded-report.txt");
  std::string line, report;
  bool inSection = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') {
      inSection = line == "[" + aVersions + "]";
    } else if (inSection && !line.empty() && line[0] != '#') {
      report += line + "\n";
    }
  }
  return report;
}

TEST_F(Fonts, ChoicesAndPixelsAreTheRecordedOnes) {
  const std::string report = ChoicesAndPixelsReport(*iDevice);
  ASSERT_FALSE(report.empty());
  // Every face really is drawn: no two sizes or styles give the same pixels.
  std::set<std::string> hashes;
  std::istringstream lines(report);
  std::string line;
  TInt faces = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("face ", 0) != 0) continue;
    ++faces;
    // Terminal and NewCourier are the same face.
    if (line.rfind("face NewCourier", 0) == 0) continue;
    EXPECT_TRUE(hashes.insert(line.substr(line.rfind(' ') + 1)).second) << line;
  }
  EXPECT_EQ(faces, 4 * 4 * 3);
  if (const char* path = std::getenv("ZOLV_FONT_REPORT")) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << report;
    ASSERT_TRUE(out.good()) << path;
  }
  const std::string versions = RendererVersions();
  const std::string recorded = RecordedReport(versions);
  if (recorded.empty()) {
    GTEST_SKIP() << "no report recorded for " << versions << "; this machine's:\n" << report;
  }
  EXPECT_EQ(report, recorded) << versions;
}

// The configuration the case runs under is really the one it claims to be, so that the
// identical reports mean something.
TEST(FontconfigCase, IsInForce) {
  const char* which = std::getenv("ZOLV_FONTCONFIG_CASE");
  if (!which) GTEST_SKIP() << "not run under one of the test's fontconfig configurations";
  const std::string kase(which);
  ASSERT_EQ(FcInit(), FcTrue);
  std::set<std::string> families;
  FcPattern* all = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, all, objects);
  for (int i = 0; set && i < set->nfont; ++i) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch) {
      families.insert(reinterpret_cast<const char*>(family));
    }
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(all);
  // What fontconfig itself would pick for a family.
  auto match = [](const char* aFamily) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(aFamily));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    std::string name;
    FcChar8* family = nullptr;
    if (found && FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch) {
      name = reinterpret_cast<const char*>(family);
    }
    if (found) FcPatternDestroy(found);
    FcPatternDestroy(pattern);
    return name;
  };
  if (kase == "dejavu-only") {
    ASSERT_FALSE(families.empty());
    for (const std::string& f : families) EXPECT_EQ(f.rfind("DejaVu", 0), 0u) << f;
  } else {
    // The other fonts scripts/test installs for this are present.
    EXPECT_EQ(families.count("Nimbus Sans"), 1u) << "install fonts-urw-base35 (scripts/test does)";
    EXPECT_EQ(families.count("Liberation Serif"), 1u) << "install fonts-liberation2 (scripts/test does)";
    if (kase == "user-prefers") {
      // The user's rules win over the DejaVu names and the generic families.
      EXPECT_NE(match("DejaVu Sans").rfind("DejaVu", 0), 0u);
      EXPECT_NE(match("sans-serif").rfind("DejaVu", 0), 0u);
      EXPECT_NE(match("serif").rfind("DejaVu", 0), 0u);
      EXPECT_NE(match("monospace").rfind("DejaVu", 0), 0u);
    } else {
      EXPECT_EQ(kase, "machine");
      EXPECT_EQ(match("Times New Roman").rfind("DejaVu", 0), std::string::npos) << "fontconfig has other faces to offer";
    }
  }
  FcFini();
}

}  // namespace
