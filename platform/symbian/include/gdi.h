// Colours and display modes of the graphics device interface.
#ifndef GDI_H
#define GDI_H

#include <e32std.h>
#include <e32base.h>

enum TDisplayMode {
  ENone,
  EGray2,
  EGray4,
  EGray16,
  EGray256,
  EColor16,
  EColor256,
  EColor64K,
  EColor16M,
  ERgb,
  EColor4K
};

// A 24-bit colour: red + green * 256 + blue * 65536.
class TRgb {
public:
  constexpr TRgb() : iValue(0xffffff) {}
  constexpr TRgb(TUint32 aValue) : iValue(aValue & 0xffffff) {}
  constexpr TRgb(TInt aRed, TInt aGreen, TInt aBlue)
      : iValue(static_cast<TUint32>(aRed & 0xff) | (static_cast<TUint32>(aGreen & 0xff) << 8) |
               (static_cast<TUint32>(aBlue & 0xff) << 16)) {}
  inline TInt Red() const { return static_cast<TInt>(iValue & 0xff); }
  inline TInt Green() const { return static_cast<TInt>((iValue >> 8) & 0xff); }
  inline TInt Blue() const { return static_cast<TInt>((iValue >> 16) & 0xff); }
  inline void SetRed(TInt aRed) { iValue = (iValue & 0xffff00) | static_cast<TUint32>(aRed & 0xff); }
  inline void SetGreen(TInt aGreen) { iValue = (iValue & 0xff00ff) | (static_cast<TUint32>(aGreen & 0xff) << 8); }
  inline void SetBlue(TInt aBlue) { iValue = (iValue & 0x00ffff) | (static_cast<TUint32>(aBlue & 0xff) << 16); }
  inline TUint32 Value() const { return iValue; }
  inline TBool operator==(const TRgb& aColor) const { return iValue == aColor.iValue; }
  inline TBool operator!=(const TRgb& aColor) const { return iValue != aColor.iValue; }
  inline TRgb operator&(const TRgb& aColor) const { return TRgb(iValue & aColor.iValue); }
  inline TRgb operator|(const TRgb& aColor) const { return TRgb(iValue | aColor.iValue); }
  inline TRgb operator^(const TRgb& aColor) const { return TRgb(iValue ^ aColor.iValue); }
  inline TRgb operator~() const { return TRgb(~iValue & 0xffffff); }
  inline TRgb& operator&=(const TRgb& aColor) { iValue &= aColor.iValue; return *this; }
  inline TRgb& operator|=(const TRgb& aColor) { iValue |= aColor.iValue; return *this; }
  inline TRgb& operator^=(const TRgb& aColor) { iValue ^= aColor.iValue; return *this; }
  // Sum of the absolute differences of the three channels.
  IMPORT_C TInt Difference(const TRgb& aColor) const;

  // The 4096-colour form: red in bits 0..3, green in 4..7, blue in 8..11, each the top
  // four bits of its channel.
  inline TInt Color4K() const { return (Red() >> 4) | ((Green() >> 4) << 4) | ((Blue() >> 4) << 8); }
  inline static TRgb Color4K(TInt aColor4K) {
    return TRgb((aColor4K & 0xf) * 17, ((aColor4K >> 4) & 0xf) * 17, ((aColor4K >> 8) & 0xf) * 17);
  }
  // 5-6-5 form: red in the top five bits, blue in the bottom five.
  inline TInt Color64K() const { return ((Red() >> 3) << 11) | ((Green() >> 2) << 5) | (Blue() >> 3); }
  IMPORT_C static TRgb Color64K(TInt aColor64K);
  // 0xRRGGBB form.
  inline TInt Color16M() const { return (Red() << 16) | (Green() << 8) | Blue(); }
  inline static TRgb Color16M(TInt aColor16M) {
    return TRgb((aColor16M >> 16) & 0xff, (aColor16M >> 8) & 0xff, aColor16M & 0xff);
  }
  inline TInt Gray256() const { return (Red() * 2 + Green() * 5 + Blue()) / 8; }
  inline TInt Gray16() const { return Gray256() >> 4; }
  inline TInt Gray4() const { return Gray256() >> 6; }
  inline TInt Gray2() const { return Gray256() >> 7; }
  inline static TRgb Gray256(TInt aGray256) { return TRgb(aGray256 & 0xff, aGray256 & 0xff, aGray256 & 0xff); }
  inline static TRgb Gray16(TInt aGray16) { return Gray256((aGray16 & 0xf) * 17); }
  inline static TRgb Gray4(TInt aGray4) { return Gray256((aGray4 & 3) * 85); }
  inline static TRgb Gray2(TInt aGray2) { return Gray256(aGray2 ? 255 : 0); }

private:
  TUint32 iValue;
};

constexpr TRgb KRgbBlack(0x000000u);
constexpr TRgb KRgbDarkGray(0x555555u);
constexpr TRgb KRgbDarkRed(0x000080u);
constexpr TRgb KRgbDarkGreen(0x008000u);
constexpr TRgb KRgbDarkYellow(0x008080u);
constexpr TRgb KRgbDarkBlue(0x800000u);
constexpr TRgb KRgbDarkMagenta(0x800080u);
constexpr TRgb KRgbDarkCyan(0x808000u);
constexpr TRgb KRgbRed(0x0000ffu);
constexpr TRgb KRgbGreen(0x00ff00u);
constexpr TRgb KRgbYellow(0x00ffffu);
constexpr TRgb KRgbBlue(0xff0000u);
constexpr TRgb KRgbMagenta(0xff00ffu);
constexpr TRgb KRgbCyan(0xffff00u);
constexpr TRgb KRgbGray(0xaaaaaau);
constexpr TRgb KRgbWhite(0xffffffu);

// Font style and the graphics context's drawing enumerations. The drawing operations
// themselves are added to CGraphicsContext by the bitmap graphics layer.
enum TFontStrokeWeight {
  EStrokeWeightNormal,
  EStrokeWeightBold
};

enum TFontPosture {
  EPostureUpright,
  EPostureItalic
};

class CGraphicsContext {
public:
  enum TPenStyle {
    ENullPen,
    ESolidPen,
    EDottedPen,
    EDashedPen,
    EDotDashPen,
    EDotDotDashPen
  };
  enum TBrushStyle {
    ENullBrush,
    ESolidBrush,
    EPatternedBrush,
    EVerticalHatchBrush,
    EForwardDiagonalHatchBrush,
    EHorizontalHatchBrush,
    ERearwardDiagonalHatchBrush,
    ESquareCrossHatchBrush,
    EDiamondCrossHatchBrush
  };
  enum TTextAlign {
    ELeft,
    ECenter,
    ERight
  };
  // How a polygon that crosses itself is filled: EAlternate fills the areas an odd
  // number of edges enclose, EWinding every area the outline winds round.
  enum TFillRule {
    EAlternate,
    EWinding
  };
  virtual ~CGraphicsContext() {}
};

// ---- Fonts and graphics devices ----

class CFont;

// The longest typeface name a TFontSpec holds.
const TInt KMaxTypefaceNameLength = 0x18;

// A typeface: its name and what kind of face it is.
class TTypeface {
public:
  enum {
    EProportional = 1,
    ESerif = 2,
    ESymbol = 4
  };
  TTypeface() : iName(), iFlags(0) {}
  // The name is cut to KMaxTypefaceNameLength characters.
  IMPORT_C void SetName(const TDesC& aName);
  const TDesC& Name() const { return iName; }
  TBool IsProportional() const { return (iFlags & EProportional) != 0; }
  TBool IsSerif() const { return (iFlags & ESerif) != 0; }
  TBool IsSymbol() const { return (iFlags & ESymbol) != 0; }
  void SetIsProportional(TBool aIsProportional) { SetFlag(EProportional, aIsProportional); }
  void SetIsSerif(TBool aIsSerif) { SetFlag(ESerif, aIsSerif); }
  void SetIsSymbol(TBool aIsSymbol) { SetFlag(ESymbol, aIsSymbol); }
  TBool operator==(const TTypeface& aTypeface) const {
    return iFlags == aTypeface.iFlags && iName.CompareF(aTypeface.iName) == 0;
  }

  TBufC<KMaxTypefaceNameLength> iName;

private:
  void SetFlag(TInt aFlag, TBool aOn) { iFlags = aOn ? (iFlags | aFlag) : (iFlags & ~aFlag); }
  TInt iFlags;
};

// Posture and stroke weight of a font.
class TFontStyle {
public:
  TFontStyle() : iPosture(EPostureUpright), iStrokeWeight(EStrokeWeightNormal) {}
  TFontStyle(TFontPosture aPosture, TFontStrokeWeight aStrokeWeight)
      : iPosture(aPosture), iStrokeWeight(aStrokeWeight) {}
  TFontPosture Posture() const { return iPosture; }
  TFontStrokeWeight StrokeWeight() const { return iStrokeWeight; }
  void SetPosture(TFontPosture aPosture) { iPosture = aPosture; }
  void SetStrokeWeight(TFontStrokeWeight aStrokeWeight) { iStrokeWeight = aStrokeWeight; }
  TBool operator==(const TFontStyle& aStyle) const {
    return iPosture == aStyle.iPosture && iStrokeWeight == aStyle.iStrokeWeight;
  }

private:
  TFontPosture iPosture;
  TFontStrokeWeight iStrokeWeight;
};

// What a font is asked for by: typeface, height (in twips when given to a device's
// ...InTwips operations, in pixels for ...InPixels) and style.
class TFontSpec {
public:
  TFontSpec() : iTypeface(), iHeight(0), iFontStyle() {}
  TFontSpec(const TDesC& aTypefaceName, TInt aHeight) : iTypeface(), iHeight(aHeight), iFontStyle() {
    iTypeface.SetName(aTypefaceName);
  }
  TBool operator==(const TFontSpec& aSpec) const {
    return iHeight == aSpec.iHeight && iTypeface == aSpec.iTypeface && iFontStyle == aSpec.iFontStyle;
  }

  TTypeface iTypeface;
  TInt iHeight;
  TFontStyle iFontStyle;
};

// A font as a device made it. Widths and heights are in the device's pixels.
class CFont : public CBase {
public:
  // Height of the font's character cell: ascent plus descent.
  virtual TInt HeightInPixels() const = 0;
  // Pixels above the baseline.
  virtual TInt AscentInPixels() const = 0;
  // Pixels below the baseline.
  virtual TInt DescentInPixels() const = 0;
  // The advance of the whole run: where the next character would start.
  virtual TInt TextWidthInPixels(const TDesC& aText) const = 0;
  virtual TInt CharWidthInPixels(TChar aChar) const = 0;
  virtual TInt MaxCharWidthInPixels() const = 0;
  virtual TInt MaxNormalCharWidthInPixels() const = 0;
  virtual TInt BaselineOffsetInPixels() const = 0;
  // How many characters from the start of aText fit within aWidthInPixels.
  virtual TInt TextCount(const TDesC& aText, TInt aWidthInPixels) const = 0;
  // The TFontSpec of the font actually made, height in twips; its typeface name is
  // the name of the face the device chose.
  virtual TFontSpec FontSpecInTwips() const = 0;
};

// Conversion between a device's pixels and twips (1/1440 inch).
class MGraphicsDeviceMap {
public:
  virtual ~MGraphicsDeviceMap() {}
  virtual TInt HorizontalTwipsToPixels(TInt aTwips) const = 0;
  virtual TInt VerticalTwipsToPixels(TInt aTwips) const = 0;
  virtual TInt HorizontalPixelsToTwips(TInt aPixels) const = 0;
  virtual TInt VerticalPixelsToTwips(TInt aPixels) const = 0;
  IMPORT_C TPoint TwipsToPixels(const TPoint& aTwipPoint) const;
  IMPORT_C TPoint PixelsToTwips(const TPoint& aPixelPoint) const;
};

// A device that draws: its twips conversion and its fonts. The host's devices all use
// the font store of zhost/fonts.h; every font a device hands out must be given back to
// ReleaseFont of the same device.
class CGraphicsDevice : public CBase, public MGraphicsDeviceMap {
public:
  IMPORT_C TInt HorizontalTwipsToPixels(TInt aTwips) const override;
  IMPORT_C TInt VerticalTwipsToPixels(TInt aTwips) const override;
  IMPORT_C TInt HorizontalPixelsToTwips(TInt aPixels) const override;
  IMPORT_C TInt VerticalPixelsToTwips(TInt aPixels) const override;
  // The nearest font the device has to aFontSpec (height in twips). KErrNone and the
  // new font in aFont, or an error (KErrNoMemory, KErrNotFound) and aFont NULL.
  IMPORT_C virtual TInt GetNearestFontInTwips(CFont*& aFont, const TFontSpec& aFontSpec);
  // The same with the height in pixels.
  IMPORT_C virtual TInt GetNearestFontInPixels(CFont*& aFont, const TFontSpec& aFontSpec);
  // Gives back a font made by this device (NULL is ignored).
  IMPORT_C virtual void ReleaseFont(CFont* aFont);
  IMPORT_C virtual TInt NumTypefaces() const;
  // The typeface at aTypefaceIndex (0 .. NumTypefaces() - 1); an empty typeface outside.
  IMPORT_C virtual void TypefaceSupport(TTypeface& aTypeface, TInt aTypefaceIndex) const;
};

#endif
