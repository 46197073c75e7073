// The font store on FreeType (zhost/fonts.h), the graphics devices' twips
// conversion and font operations, and the fonts themselves.

#include <gdi.h>
#include <zhost/fonts.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace ZHost {

namespace {

// The store's typefaces. Each is made from one DejaVu family, whose four styles are four
// files of known names; the fixed test face has none.
struct TTypefaceInfo {
  const char16_t* iName;
  const char* iFamily;     // NULL: the built-in fixed face
  const char* iFileStem;   // the family's files: stem, "-Bold", "-" + slant word, "-Bold" + slant word
  const char* iSlantWord;  // the name of the family's slanted style
  TBool iProportional;
  TBool iSerif;
};

const TTypefaceInfo KTypefaces[] = {
    {u"SwissA", "DejaVu Sans", "DejaVuSans", "Oblique", ETrue, EFalse},
    {u"System", "DejaVu Serif", "DejaVuSerif", "Italic", ETrue, ETrue},
    {u"Terminal", "DejaVu Sans Mono", "DejaVuSansMono", "Oblique", EFalse, EFalse},
    {u"NewCourier", "DejaVu Sans Mono", "DejaVuSansMono", "Oblique", EFalse, EFalse},
    {u"ZHost Fixed", nullptr, nullptr, nullptr, EFalse, EFalse},
};
const TInt KTypefaceCount = sizeof(KTypefaces) / sizeof(KTypefaces[0]);
const TInt KSwissA = 0;
const TInt KSystem = 1;
const TInt KNewCourier = 3;

// The folders the distributions' font packages put the DejaVu files in, searched in this
// order before anything fontconfig knows of.
const char* const KFontFolders[] = {
    "/usr/share/fonts/truetype/dejavu",          // Debian, Ubuntu
    "/usr/share/fonts/dejavu-sans-fonts",        // Fedora
    "/usr/share/fonts/dejavu-serif-fonts",       //
    "/usr/share/fonts/dejavu-sans-mono-fonts",   //
    "/usr/share/fonts/dejavu",                   // openSUSE
    "/usr/share/fonts/TTF",                      // Arch
    "/usr/local/share/fonts/truetype/dejavu",    // installed by hand
    "/usr/local/share/fonts/dejavu",             //
};

TPtrC TypefaceName(TInt aIndex) {
  const char16_t* name = KTypefaces[aIndex].iName;
  return TPtrC(reinterpret_cast<const TUint16*>(name), static_cast<TInt>(std::char_traits<char16_t>::length(name)));
}

// The file name and the style name of a typeface's file for a style.
std::string StyleFileName(const TTypefaceInfo& aTypeface, TBool aBold, TBool aItalic) {
  std::string name = aTypeface.iFileStem;
  if (aBold || aItalic) name += '-';
  if (aBold) name += "Bold";
  if (aItalic) name += aTypeface.iSlantWord;
  return name + ".ttf";
}

std::string StyleName(const TTypefaceInfo& aTypeface, TBool aBold, TBool aItalic) {
  if (aBold && aItalic) return std::string("Bold ") + aTypeface.iSlantWord;
  if (aBold) return "Bold";
  if (aItalic) return aTypeface.iSlantWord;
  return "Book";
}

// Words of family names that tell the kind of face. A name is cut into words at every
// character that is not an ASCII letter or digit and where a capital starts a word
// ("TimesNewRoman", "PTSerif"); words are compared without regard to ASCII letter case.
const char* const KMonoWords[] = {"mono", "monospace", "monospaced", "courier", "console", "consolas",
                                  "inconsolata", "typewriter", "fixed", "fixedsys", "terminal", "code",
                                  "cursor", "menlo", "monaco", "cousine", "cumberland"};
const char* const KSansWords[] = {"sans", "grotesk", "grotesque", "gothic"};
const char* const KSerifWords[] = {"serif", "roman", "times", "georgia", "cambria", "constantia",
                                   "elephant", "garamond", "palatino", "palladio", "antiqua", "bookman",
                                   "schoolbook", "baskerville", "bodoni", "caslon", "didot", "termes",
                                   "pagella", "bonum", "schola", "tinos", "gelasio", "caladea",
                                   "thorndale", "charter", "p052", "c059"};

template <std::size_t N>
bool IsOneOf(const std::string& aWord, const char* const (&aWords)[N]) {
  for (const char* w : aWords) {
    if (aWord == w) return true;
  }
  return false;
}

// The nearest typeface to a name the store does not have, from the words of the name
// alone: a monospaced kind gives "NewCourier", a sans serif kind "SwissA", a serif kind
// "System", anything else "SwissA". What the machine's fonts or fontconfig would make of
// the name plays no part.
TInt Nearest(const TDesC& aName) {
  bool mono = false, sans = false, serif = false;
  std::string word;
  auto endWord = [&]() {
    mono = mono || IsOneOf(word, KMonoWords);
    sans = sans || IsOneOf(word, KSansWords);
    serif = serif || IsOneOf(word, KSerifWords);
    word.clear();
  };
  TUint previous = 0;
  for (TInt i = 0; i < aName.Length(); ++i) {
    const TUint c = aName[i];
    const bool small = c >= 'a' && c <= 'z';
    const bool capital = c >= 'A' && c <= 'Z';
    const bool digit = c >= '0' && c <= '9';
    // A capital after a small letter starts a word, and so does the last of a run of
    // capitals when a small letter follows it ("PTSerif").
    const TUint next = i + 1 < aName.Length() ? aName[i + 1] : 0;
    if (capital && ((previous >= 'a' && previous <= 'z') ||
                    (previous >= 'A' && previous <= 'Z' && next >= 'a' && next <= 'z'))) {
      endWord();
    }
    if (small || digit) {
      word += static_cast<char>(c);
    } else if (capital) {
      word += static_cast<char>(c - 'A' + 'a');
    } else if (c >= 0x80) {
      // Any other letter belongs to the word and makes it one of no list.
      word += '\x80';
    } else {
      endWord();
    }
    previous = c;
  }
  endWord();
  if (mono) return KNewCourier;
  if (sans) return KSwissA;
  if (serif) return KSystem;
  return KSwissA;
}

}  // namespace

// One typeface at one pixel height and style: its FreeType face (none for the fixed test
// face), metrics, and caches of advances and rasterised glyphs.
class CHostFace {
public:
  CHostFace(TInt aTypeface, TInt aHeight, TBool aBold, TBool aItalic)
      : iTypeface(aTypeface), iHeight(aHeight), iBold(aBold), iItalic(aItalic) {}
  ~CHostFace() {
    if (iFace) FT_Done_Face(iFace);
  }
  CHostFace(const CHostFace&) = delete;
  CHostFace& operator=(const CHostFace&) = delete;

  // Opens the face file; false when it cannot be opened.
  bool Open(FT_Library aLibrary, const std::string& aPath);
  // Makes this the fixed test face: four fifths of the height above the baseline.
  void InitFixed() {
    iAscent = iHeight - iHeight / 5;
    iMaxAdvance = FixedAdvance();
  }

  TInt Typeface() const { return iTypeface; }
  const std::string& Path() const { return iPath; }
  TInt Height() const { return iHeight; }
  TInt Ascent() const { return iAscent; }
  TInt Descent() const { return iHeight - iAscent; }
  TBool Bold() const { return iBold; }
  TBool Italic() const { return iItalic; }
  TInt MaxAdvance() const { return iMaxAdvance; }
  TInt NormalAdvance() { return Advance('M'); }

  TInt Advance(TUint aChar);
  TGlyphImage Glyph(TUint aChar);

private:
  struct SGlyph {
    TInt iAdvance = 0;
    TInt iLeft = 0;
    TInt iTop = 0;
    TInt iWidth = 0;
    TInt iHeight = 0;
    std::vector<TUint8> iBits;
  };
  TInt FixedAdvance() const { return std::max(1, iHeight / 2); }
  // Loads glyph aIndex into the face's slot, hinted for monochrome. False on a FreeType
  // error.
  bool LoadGlyph(FT_UInt aIndex);
  TInt GlyphIndexAdvance(FT_UInt aIndex);

  TInt iTypeface;
  TInt iHeight;
  TBool iBold;
  TBool iItalic;
  TInt iAscent = 0;
  TInt iMaxAdvance = 1;
  FT_Face iFace = nullptr;
  std::string iPath;
  std::vector<TInt> iCharAdvance;   // per 16-bit character; -1 not known yet
  std::vector<TInt> iIndexAdvance;  // per glyph index; -1 not known yet
  std::unordered_map<TUint, SGlyph> iGlyphs;
};

namespace {

// The process's font store: the FreeType library, the face files found and every face made
// so far. Faces live as long as the process, so fonts handed out stay valid.
class TFontStore {
public:
  ~TFontStore() {
    iFaces.clear();
    if (iLibrary) FT_Done_FreeType(iLibrary);
    // Fontconfig's own state goes too, so that nothing of the store outlives the process's
    // leak checks.
    if (iFontconfigListed) FcFini();
  }

  // The face for a typeface, height and style, made on first use; NULL when the face's
  // file cannot be found or opened.
  CHostFace* Face(TInt aTypeface, TInt aHeight, TBool aBold, TBool aItalic) {
    const auto key = std::make_tuple(aTypeface, aHeight, aBold != EFalse, aItalic != EFalse);
    auto it = iFaces.find(key);
    if (it != iFaces.end()) return it->second.get();
    auto face = std::make_unique<CHostFace>(aTypeface, aHeight, aBold, aItalic);
    if (KTypefaces[aTypeface].iFamily) {
      if (!Library()) return nullptr;
      const std::string& path = FaceFile(KTypefaces[aTypeface], aBold, aItalic);
      if (path.empty() || !face->Open(iLibrary, path)) return nullptr;
    } else {
      face->InitFixed();
    }
    CHostFace* result = face.get();
    iFaces.emplace(key, std::move(face));
    return result;
  }

  // The store's typeface for a requested name: its own names without regard to case, any
  // other name by its words.
  static TInt Resolve(const TDesC& aName) {
    for (TInt i = 0; i < KTypefaceCount; ++i) {
      if (aName.CompareF(TypefaceName(i)) == 0) return i;
    }
    return Nearest(aName);
  }

  TInt iFontsInUse = 0;

private:
  FT_Library Library() {
    if (!iLibrary && !iLibraryFailed) {
      if (FT_Init_FreeType(&iLibrary) != 0) {
        iLibrary = nullptr;
        iLibraryFailed = true;
      }
    }
    return iLibrary;
  }

  // The file of a typeface's style, looked for once: in the packages' folders first, then
  // among the files of that name fontconfig lists. Empty, and said once on the standard
  // error, when there is none.
  const std::string& FaceFile(const TTypefaceInfo& aTypeface, TBool aBold, TBool aItalic) {
    const std::string fileName = StyleFileName(aTypeface, aBold, aItalic);
    auto it = iFiles.find(fileName);
    if (it != iFiles.end()) return it->second;
    const std::string style = StyleName(aTypeface, aBold, aItalic);
    const std::vector<std::string> folders(std::begin(KFontFolders), std::end(KFontFolders));
    std::string path = FindFaceFile(fileName, aTypeface.iFamily, style, folders);
    if (path.empty()) path = FindFaceFile(fileName, aTypeface.iFamily, style, FontconfigFolders(fileName));
    if (path.empty()) {
      std::fprintf(stderr,
                   "ZHost: the font file %s (%s %s) is not installed; text in that style cannot be drawn "
                   "(Debian packages fonts-dejavu-core and fonts-dejavu-extra)\n",
                   fileName.c_str(), aTypeface.iFamily, style.c_str());
    }
    return iFiles.emplace(fileName, std::move(path)).first->second;
  }

  // The folders, in path order, of the files named aFileName among the fonts fontconfig
  // lists (asked once).
  std::vector<std::string> FontconfigFolders(const std::string& aFileName) {
    if (!iFontconfigListed) {
      iFontconfigListed = true;
      if (FcConfig* config = FcInitLoadConfigAndFonts()) {
        FcPattern* pattern = FcPatternCreate();
        FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
        FcFontSet* set = pattern && objects ? FcFontList(config, pattern, objects) : nullptr;
        for (int i = 0; set && i < set->nfont; ++i) {
          FcChar8* file = nullptr;
          if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch && file) {
            iFontconfigFiles.emplace_back(reinterpret_cast<const char*>(file));
          }
        }
        if (set) FcFontSetDestroy(set);
        if (objects) FcObjectSetDestroy(objects);
        if (pattern) FcPatternDestroy(pattern);
        FcConfigDestroy(config);
      }
    }
    std::vector<std::string> folders;
    for (const std::string& path : iFontconfigFiles) {
      const std::size_t slash = path.find_last_of('/');
      if (slash != std::string::npos && path.compare(slash + 1, std::string::npos, aFileName) == 0) {
        folders.push_back(path.substr(0, slash));
      }
    }
    std::sort(folders.begin(), folders.end());
    return folders;
  }

  FT_Library iLibrary = nullptr;
  bool iLibraryFailed = false;
  bool iFontconfigListed = false;
  std::vector<std::string> iFontconfigFiles;
  std::map<std::tuple<TInt, TInt, bool, bool>, std::unique_ptr<CHostFace>> iFaces;
  std::map<std::string, std::string> iFiles;  // file name -> path found, empty if none
};

TFontStore& Store() {
  static TFontStore store;
  return store;
}

inline TInt Saturate(TInt64 aValue) { return aValue > KMaxTInt ? KMaxTInt : static_cast<TInt>(aValue); }

}  // namespace

// ---- CHostFace ----

bool CHostFace::Open(FT_Library aLibrary, const std::string& aPath) {
  iPath = aPath;
  if (FT_New_Face(aLibrary, aPath.c_str(), 0, &iFace) != 0) {
    iFace = nullptr;
    return false;
  }
  if (FT_Set_Pixel_Sizes(iFace, 0, static_cast<FT_UInt>(iHeight)) != 0) return false;
  // The height is shared between ascent and descent as the face's design shares it.
  const TInt64 ascender = std::max<TInt64>(0, iFace->ascender);
  const TInt64 descender = std::max<TInt64>(0, -static_cast<TInt64>(iFace->descender));
  const TInt64 span = ascender + descender;
  iAscent = span > 0 ? static_cast<TInt>((ascender * iHeight + span / 2) / span) : iHeight;
  iAscent = std::clamp(iAscent, 0, iHeight);
  iMaxAdvance = std::max<TInt>(1, static_cast<TInt>((iFace->size->metrics.max_advance + 63) >> 6));
  return true;
}

bool CHostFace::LoadGlyph(FT_UInt aIndex) {
  return FT_Load_Glyph(iFace, aIndex, FT_LOAD_TARGET_MONO) == 0;
}

TInt CHostFace::GlyphIndexAdvance(FT_UInt aIndex) {
  if (iIndexAdvance.empty()) iIndexAdvance.assign(static_cast<std::size_t>(std::max<FT_Long>(1, iFace->num_glyphs)), -1);
  if (aIndex >= iIndexAdvance.size()) return 0;
  TInt& advance = iIndexAdvance[aIndex];
  if (advance < 0) {
    advance = LoadGlyph(aIndex) ? static_cast<TInt>((iFace->glyph->advance.x + 32) >> 6) : 0;
    if (advance < 0) advance = 0;
  }
  return advance;
}

TInt CHostFace::Advance(TUint aChar) {
  if (aChar < 32) return 0;
  if (!iFace) return FixedAdvance();
  if (aChar > 0xFFFF) return GlyphIndexAdvance(FT_Get_Char_Index(iFace, aChar));
  if (iCharAdvance.empty()) iCharAdvance.assign(0x10000, -1);
  TInt& advance = iCharAdvance[aChar];
  if (advance < 0) advance = GlyphIndexAdvance(FT_Get_Char_Index(iFace, aChar));
  return advance;
}

TGlyphImage CHostFace::Glyph(TUint aChar) {
  auto it = iGlyphs.find(aChar);
  if (it == iGlyphs.end()) {
    SGlyph glyph;
    if (aChar >= 32 && !iFace) {
      // The fixed face: a box from the ascent down to the baseline, one pixel narrower
      // than the advance; white space is blank.
      glyph.iAdvance = FixedAdvance();
      if (!TChar(aChar).IsSpace()) {
        glyph.iWidth = std::max(1, glyph.iAdvance - 1);
        glyph.iHeight = std::max(1, iAscent);
        glyph.iTop = glyph.iHeight;
        glyph.iBits.assign(static_cast<std::size_t>(glyph.iWidth) * glyph.iHeight, 1);
      }
    } else if (aChar >= 32) {
      const FT_UInt index = FT_Get_Char_Index(iFace, aChar);
      glyph.iAdvance = GlyphIndexAdvance(index);
      if (LoadGlyph(index) && FT_Render_Glyph(iFace->glyph, FT_RENDER_MODE_MONO) == 0) {
        const FT_Bitmap& bitmap = iFace->glyph->bitmap;
        glyph.iLeft = iFace->glyph->bitmap_left;
        glyph.iTop = iFace->glyph->bitmap_top;
        glyph.iWidth = static_cast<TInt>(bitmap.width);
        glyph.iHeight = static_cast<TInt>(bitmap.rows);
        glyph.iBits.resize(static_cast<std::size_t>(glyph.iWidth) * glyph.iHeight);
        for (TInt y = 0; y < glyph.iHeight; ++y) {
          const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
          for (TInt x = 0; x < glyph.iWidth; ++x) {
            glyph.iBits[static_cast<std::size_t>(y) * glyph.iWidth + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
          }
        }
      }
    }
    it = iGlyphs.emplace(aChar, std::move(glyph)).first;
  }
  const SGlyph& g = it->second;
  return TGlyphImage{g.iAdvance, g.iLeft, g.iTop, g.iWidth, g.iHeight, g.iBits.empty() ? nullptr : g.iBits.data()};
}

}  // namespace ZHost

using ZHost::CHostFace;

// ---- TTypeface ----

EXPORT_C void TTypeface::SetName(const TDesC& aName) { iName = aName.Left(KMaxTypefaceNameLength); }

// ---- CFbsFont ----

CFbsFont::CFbsFont() : iSpecInTwips(), iFace(NULL) {}

EXPORT_C CFbsFont::~CFbsFont() { --ZHost::Store().iFontsInUse; }

EXPORT_C TInt CFbsFont::HeightInPixels() const { return iFace->Height(); }
EXPORT_C TInt CFbsFont::AscentInPixels() const { return iFace->Ascent(); }
EXPORT_C TInt CFbsFont::DescentInPixels() const { return iFace->Descent(); }
EXPORT_C TInt CFbsFont::BaselineOffsetInPixels() const { return 0; }
EXPORT_C TInt CFbsFont::MaxCharWidthInPixels() const { return iFace->MaxAdvance(); }
EXPORT_C TInt CFbsFont::MaxNormalCharWidthInPixels() const { return iFace->NormalAdvance(); }
EXPORT_C TInt CFbsFont::CharWidthInPixels(TChar aChar) const { return iFace->Advance(aChar); }
EXPORT_C TFontSpec CFbsFont::FontSpecInTwips() const { return iSpecInTwips; }

EXPORT_C TInt CFbsFont::TextWidthInPixels(const TDesC& aText) const {
  TInt64 width = 0;
  const TUint16* p = aText.Ptr();
  for (TInt i = 0, n = aText.Length(); i < n; ++i) width += iFace->Advance(p[i]);
  return ZHost::Saturate(width);
}

EXPORT_C TInt CFbsFont::TextCount(const TDesC& aText, TInt aWidthInPixels) const {
  TInt64 width = 0;
  const TUint16* p = aText.Ptr();
  const TInt n = aText.Length();
  for (TInt i = 0; i < n; ++i) {
    width += iFace->Advance(p[i]);
    if (width > aWidthInPixels) return i;
  }
  return n;
}

// ---- MGraphicsDeviceMap and CGraphicsDevice ----

EXPORT_C TPoint MGraphicsDeviceMap::TwipsToPixels(const TPoint& aTwipPoint) const {
  return TPoint(HorizontalTwipsToPixels(aTwipPoint.iX), VerticalTwipsToPixels(aTwipPoint.iY));
}

EXPORT_C TPoint MGraphicsDeviceMap::PixelsToTwips(const TPoint& aPixelPoint) const {
  return TPoint(HorizontalPixelsToTwips(aPixelPoint.iX), VerticalPixelsToTwips(aPixelPoint.iY));
}

namespace {
// Nearest whole pixel, halves away from zero.
TInt TwipsToPixelsRounded(TInt aTwips) {
  const TInt64 t = aTwips;
  const TInt64 half = ZHost::KTwipsPerPixel / 2;
  return static_cast<TInt>(t >= 0 ? (t + half) / ZHost::KTwipsPerPixel : -((-t + half) / ZHost::KTwipsPerPixel));
}
TInt PixelsToTwipsSaturated(TInt aPixels) {
  const TInt64 t = static_cast<TInt64>(aPixels) * ZHost::KTwipsPerPixel;
  return t > KMaxTInt ? KMaxTInt : (t < KMinTInt ? KMinTInt : static_cast<TInt>(t));
}
}  // namespace

EXPORT_C TInt CGraphicsDevice::HorizontalTwipsToPixels(TInt aTwips) const { return TwipsToPixelsRounded(aTwips); }
EXPORT_C TInt CGraphicsDevice::VerticalTwipsToPixels(TInt aTwips) const { return TwipsToPixelsRounded(aTwips); }
EXPORT_C TInt CGraphicsDevice::HorizontalPixelsToTwips(TInt aPixels) const { return PixelsToTwipsSaturated(aPixels); }
EXPORT_C TInt CGraphicsDevice::VerticalPixelsToTwips(TInt aPixels) const { return PixelsToTwipsSaturated(aPixels); }

EXPORT_C TInt CGraphicsDevice::GetNearestFontInTwips(CFont*& aFont, const TFontSpec& aFontSpec) {
  TFontSpec fontSpec(aFontSpec);
  fontSpec.iHeight = VerticalTwipsToPixels(aFontSpec.iHeight);
  return GetNearestFontInPixels(aFont, fontSpec);
}

EXPORT_C TInt CGraphicsDevice::GetNearestFontInPixels(CFont*& aFont, const TFontSpec& aFontSpec) {
  aFont = NULL;
  ZHost::TFontStore& store = ZHost::Store();
  const TInt typeface = store.Resolve(aFontSpec.iTypeface.Name());
  const TInt height = std::clamp(aFontSpec.iHeight, ZHost::KFontHeightMin, ZHost::KFontHeightMax);
  const TBool bold = aFontSpec.iFontStyle.StrokeWeight() == EStrokeWeightBold;
  const TBool italic = aFontSpec.iFontStyle.Posture() == EPostureItalic;
  CHostFace* face = store.Face(typeface, height, bold, italic);
  if (!face) return KErrNotFound;
  CFbsFont* font = new CFbsFont;
  if (!font) return KErrNoMemory;
  ++store.iFontsInUse;
  font->iFace = face;
  font->iSpecInTwips.iTypeface.SetName(ZHost::TypefaceName(typeface));
  font->iSpecInTwips.iTypeface.SetIsProportional(ZHost::KTypefaces[typeface].iProportional);
  font->iSpecInTwips.iTypeface.SetIsSerif(ZHost::KTypefaces[typeface].iSerif);
  font->iSpecInTwips.iHeight = VerticalPixelsToTwips(height);
  font->iSpecInTwips.iFontStyle = TFontStyle(italic ? EPostureItalic : EPostureUpright,
                                             bold ? EStrokeWeightBold : EStrokeWeightNormal);
  aFont = font;
  return KErrNone;
}

EXPORT_C void CGraphicsDevice::ReleaseFont(CFont* aFont) { delete aFont; }

EXPORT_C TInt CGraphicsDevice::NumTypefaces() const { return ZHost::FontTypefaceCount(); }

EXPORT_C void CGraphicsDevice::TypefaceSupport(TTypeface& aTypeface, TInt aTypefaceIndex) const {
  ZHost::FontTypeface(aTypefaceIndex, aTypeface);
}

// ---- host operations ----

namespace ZHost {

EXPORT_C TGlyphImage FontGlyph(const CFont& aFont, TUint aChar) {
  // Every font of the host is a store font.
  return static_cast<const CFbsFont&>(aFont).HostFace()->Glyph(aChar);
}

EXPORT_C TInt DrawText(const CFont& aFont, const TDesC& aText, const TPoint& aBaselineLeft, TUint16 aPixel,
                       TUint16* aPixels, TInt aStride, const TRect& aClip) {
  CHostFace* face = static_cast<const CFbsFont&>(aFont).HostFace();
  TInt64 penX = aBaselineLeft.iX;
  const TInt64 baseline = aBaselineLeft.iY;
  for (TInt i = 0; i < aText.Length(); ++i) {
    if (penX >= aClip.iBr.iX + face->Height()) {
      // Past the clip: only the advance is still needed.
      penX += face->Advance(aText[i]);
      continue;
    }
    const TGlyphImage g = face->Glyph(aText[i]);
    if (g.iBits) {
      const TInt64 left = penX + g.iLeft;
      const TInt64 top = baseline - g.iTop;
      const TInt64 x0 = std::max<TInt64>(left, aClip.iTl.iX);
      const TInt64 x1 = std::min<TInt64>(left + g.iWidth, aClip.iBr.iX);
      const TInt64 y0 = std::max<TInt64>(top, aClip.iTl.iY);
      const TInt64 y1 = std::min<TInt64>(top + g.iHeight, aClip.iBr.iY);
      for (TInt64 y = y0; y < y1; ++y) {
        const TUint8* bits = g.iBits + (y - top) * g.iWidth;
        TUint16* row = aPixels + y * aStride;
        for (TInt64 x = x0; x < x1; ++x) {
          if (bits[x - left]) row[x] = aPixel;
        }
      }
    }
    penX += g.iAdvance;
  }
  return Saturate(penX - aBaselineLeft.iX);
}

EXPORT_C TInt FontTypefaceCount() { return KTypefaceCount; }

EXPORT_C void FontTypeface(TInt aIndex, TTypeface& aTypeface) {
  aTypeface = TTypeface();
  if (aIndex < 0 || aIndex >= KTypefaceCount) return;
  aTypeface.SetName(TypefaceName(aIndex));
  aTypeface.SetIsProportional(KTypefaces[aIndex].iProportional);
  aTypeface.SetIsSerif(KTypefaces[aIndex].iSerif);
}

EXPORT_C TInt FontsInUse() { return Store().iFontsInUse; }
EXPORT_C std::string FontFile(const CFont& aFont) { return static_cast<const CFbsFont&>(aFont).HostFace()->Path(); }

EXPORT_C std::string FindFaceFile(const std::string& aFileName, const std::string& aFamily, const std::string& aStyle,
                                  const std::vector<std::string>& aFolders) {
  FT_Library library = nullptr;
  if (aFolders.empty() || FT_Init_FreeType(&library) != 0) return std::string();
  std::string found;
  for (const std::string& folder : aFolders) {
    const std::string path = folder + "/" + aFileName;
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) continue;
    const bool same = FT_IS_SCALABLE(face) && face->family_name && face->style_name && aFamily == face->family_name &&
                      aStyle == face->style_name;
    FT_Done_Face(face);
    if (same) {
      found = path;
      break;
    }
  }
  FT_Done_FreeType(library);
  return found;
}

}  // namespace ZHost
