// The host's font store: the platform's screen fonts on FreeType, the same typefaces and
// pixels on every machine.
//
// Typefaces of the store and the files behind them:
//   "SwissA"                 DejaVu Sans (proportional sans serif)
//   "System"                 DejaVu Serif
//   "Terminal", "NewCourier" DejaVu Sans Mono
//   "ZHost Fixed"            a built-in test face: every character has the same advance
//                            (half the font height, at least 1 pixel) and draws as a
//                            filled box, so that layouts and pixels are exact in tests.
// Each style of a DejaVu family is one file of a known name (DejaVuSans-BoldOblique.ttf),
// looked for in the folders the distributions install DejaVu in and then among the files
// of that name fontconfig lists, and taken only if it is that family and style. A missing
// file is never replaced by another face: fonts of that style cannot be made, and the store
// says so once on the standard error.
// Any other name gets the nearest of these by its words alone: a monospaced kind
// ("Courier New", "Lucida Console", "monospace") gives "NewCourier", else a sans serif
// kind "SwissA", else a serif kind ("Times New Roman", "Georgia", "serif") "System",
// anything else "SwissA". Which other fonts are installed and what fontconfig is told play
// no part. The font reports the name of the typeface it was made from.
//
// A font of height h pixels (the height asked for, converted from twips by the device)
// has HeightInPixels() == h exactly: the face's em is h pixels, and h is shared between
// ascent and descent in the proportion of the face's ascender and descender. Advances are whole pixels from hinting for
// monochrome rendering; a run's width is the sum of its characters' advances (the store
// does not kern), so the width of a run is the sum of the widths of its parts.
// Bold and italic use the family's own bold, oblique or italic files.
//
// Glyphs are rasterised aliased (one bit per pixel, as the 4096-colour screen needs) and
// cached per font face and size for the life of the process.
#ifndef ZHOST_FONTS_H
#define ZHOST_FONTS_H

#include <e32base.h>
#include <gdi.h>

#include <string>
#include <vector>

namespace ZHost {
class CHostFace;

// Twips per pixel of the host's screen and bitmap devices, both ways (96 dots per inch).
const TInt KTwipsPerPixel = 15;
// Font heights the store makes, in pixels; requests are clamped to this range.
const TInt KFontHeightMin = 1;
const TInt KFontHeightMax = 1024;

// The name of the built-in test face.
_LIT(KFixedTestTypeface, "ZHost Fixed");
}  // namespace ZHost

// A screen font of the store. Made only by a graphics device (GetNearestFontIn...) and
// given back with the device's ReleaseFont.
class CFbsFont : public CFont {
public:
  IMPORT_C ~CFbsFont();
  IMPORT_C TInt HeightInPixels() const override;
  IMPORT_C TInt AscentInPixels() const override;
  IMPORT_C TInt DescentInPixels() const override;
  IMPORT_C TInt TextWidthInPixels(const TDesC& aText) const override;
  IMPORT_C TInt CharWidthInPixels(TChar aChar) const override;
  IMPORT_C TInt MaxCharWidthInPixels() const override;
  IMPORT_C TInt MaxNormalCharWidthInPixels() const override;
  IMPORT_C TInt BaselineOffsetInPixels() const override;
  IMPORT_C TInt TextCount(const TDesC& aText, TInt aWidthInPixels) const override;
  IMPORT_C TFontSpec FontSpecInTwips() const override;
  // Host: the face and size behind the font (for drawing).
  ZHost::CHostFace* HostFace() const { return iFace; }

private:
  CFbsFont();
  TFontSpec iSpecInTwips;
  ZHost::CHostFace* iFace;  // uses-a: faces belong to the store
  friend class ZHost::CHostFace;
  friend class CGraphicsDevice;
};

namespace ZHost {

// One rasterised glyph: a monochrome bitmap, one byte per pixel (0 or 1), iWidth x
// iHeight, whose top-left lies iLeft pixels right of the pen position and iTop pixels
// above the baseline; the pen then moves iAdvance pixels right.
struct TGlyphImage {
  TInt iAdvance;
  TInt iLeft;
  TInt iTop;
  TInt iWidth;
  TInt iHeight;
  const TUint8* iBits;  // iWidth * iHeight bytes, rows top to bottom; NULL when empty
};

// The glyph of aChar in aFont (cached; valid as long as the process). A character the face
// does not have is drawn as the face's missing-glyph shape. Control characters (below 32)
// have no picture and no advance.
IMPORT_C TGlyphImage FontGlyph(const CFont& aFont, TUint aChar);

// Draws aText with aFont into a 16-bit pixel store (aStride pixels per row): the baseline
// of the first character's pen position at aBaselineLeft, every set glyph pixel written
// as aPixel, nothing outside aClip (store coordinates). Returns the pen advance.
IMPORT_C TInt DrawText(const CFont& aFont, const TDesC& aText, const TPoint& aBaselineLeft, TUint16 aPixel,
                       TUint16* aPixels, TInt aStride, const TRect& aClip);

// The store's typefaces, in the order TypefaceSupport lists them.
IMPORT_C TInt FontTypefaceCount();
IMPORT_C void FontTypeface(TInt aIndex, TTypeface& aTypeface);

// Fonts handed out and not yet released (all devices together).
IMPORT_C TInt FontsInUse();

// The file a font is drawn from (empty for the built-in test face).
IMPORT_C std::string FontFile(const CFont& aFont);

// How the store finds a face file: the first of aFolders holding a file aFileName that is
// the scalable face aFamily in aStyle (the family and style names the file gives), as
// folder + "/" + aFileName; empty when none does.
IMPORT_C std::string FindFaceFile(const std::string& aFileName, const std::string& aFamily, const std::string& aStyle,
                                  const std::vector<std::string>& aFolders);

}  // namespace ZHost

#endif
