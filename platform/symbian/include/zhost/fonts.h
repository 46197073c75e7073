// The host's font store: the platform's screen fonts on FreeType and fontconfig.
//
// Typefaces of the store and the host faces behind them:
//   "SwissA"                 DejaVu Sans (proportional sans serif)
//   "System"                 DejaVu Serif
//   "Terminal", "NewCourier" DejaVu Sans Mono
//   "ZHost Fixed"            a built-in test face: every character has the same advance
//                            (half the font height, at least 1 pixel) and draws as a
//                            filled box, so that layouts and pixels are exact in tests.
// Any other name gets the nearest of these: fontconfig resolves the name as it would for
// any program, and a monospaced result gives "NewCourier", a serif one "System", anything
// else "SwissA". The font reports the name of the typeface it was made from.
//
// A font of height h pixels (the height asked for, converted from twips by the device)
// has HeightInPixels() == h exactly: the face's em is h pixels, and h is shared between
// ascent and descent in the proportion of the face's ascender and descender. Advances are whole pixels from hinting for
// monochrome rendering; a run's width is the sum of its characters' advances (the store
// does not kern), so the width of a run is the sum of the widths of its parts.
// Bold and italic use the face's own bold and oblique files when fontconfig finds them,
// and otherwise are synthesised.
//
// Glyphs are rasterised aliased (one bit per pixel, as the 4096-colour screen needs) and
// cached per font face and size for the life of the process.
#ifndef ZHOST_FONTS_H
#define ZHOST_FONTS_H

#include <e32base.h>
#include <gdi.h>

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

}  // namespace ZHost

#endif
