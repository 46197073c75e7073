// Colours and display modes of the graphics device interface.
#ifndef GDI_H
#define GDI_H

#include <e32std.h>

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
  virtual ~CGraphicsContext() {}
};

#endif
