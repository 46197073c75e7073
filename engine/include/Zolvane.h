// Zolvane.h
//
// The Zolvane engine: a frame-based 2D multimedia engine. An application creates the
// controller with its application UI, hands it a view and a script, allocates sprite
// channels and starts it; the controller's timer then runs the frame cycle.
//
// Public classes (exported from the library): CZController, CZScript, CZElement,
// CZSprite, CZView. The other classes declared here are the engine's internals; they
// are visible for optimised drawing and for the engine's own tests, not exported.

#ifndef ZOLVANE_H
#define ZOLVANE_H

#include <e32base.h>
#include <e32std.h>
#include <f32file.h>
#include <coecntrl.h>
#include <eikappui.h>
#include <eikapp.h>
#include <w32std.h>
#include <gdi.h>
#include <mdaaudiosampleplayer.h>
#include <mdaimageconverter.h>
#include <bitdev.h>

// ---------------------------------------------------------------------------------------
// Constants

// Element types as Type() returns them. SHAPE_SPRITE is a sprite type only.
const TInt BITMAP_ELEMENT = 1;
const TInt TEXT_ELEMENT = 2;
const TInt SHAPE_ELEMENT = 3;
const TInt SHAPE_SPRITE = 4;
const TInt BITMAP_ARRAY_ELEMENT = 5;
const TInt SOUND_ELEMENT = 10;

// Simple shapes drawn by a sprite itself.
enum Shapes
    {
    LINE = 1,
    ARC = 2,
    RECT = 3,
    ELLIPSE = 4,
    PIE = 5,
    ROUNDRECT = 6
    };

const TInt BITMAP_MAX_SIZE = 1024;          // pixels per bitmap side
const TInt ELEMENT_POINT_MIN = 0;
const TInt ELEMENT_POINT_MAX = 65535;
const TInt SPRITE_SIZE_MAX = 1048576;       // largest stored sprite size
const TInt SPRITE_DRAW_SIZE_MAX = 16384;    // largest drawn sprite size
const TInt SINE_SCALE = 16384;              // sine table scale, 14 fraction bits

const TInt KZTempoDefault = 20;             // frames per second
const TInt KZTempoMin = 1;
const TInt KZTempoMax = 100;
const TInt KZVolumeDefault = 20;
const TInt KZVolumeMax = 100;
const TInt KZColorMax = 0xFFFFFF;           // 24-bit colour value
const TInt KZBufferMaxDefault = 1000000;
const TInt KZStartPeriod = 50000;           // first frame 50 ms after Start
const TInt KZSineTableSize = 91;

// The public classes (CZController, CZScript, CZElement, CZSprite, CZView) are exported
// as classes, so that their type information and virtual tables are shared with the
// application (it derives its script from CZScript, and run-time type checks compare these
// classes across the library boundary). Their operations leave the library only when
// marked IMPORT_C; every other member function of these classes that is not defined in
// the class body is marked ZOLV_INTERNAL and stays inside the library.
#define ZOLV_INTERNAL __attribute__((visibility("hidden")))

// Deletes an owned pointer and nulls it.
#define SAFE_DELETE(p) { delete (p); (p) = NULL; }

// ---------------------------------------------------------------------------------------
// Pixel line routines. Pixels are 16-bit words with a 12-bit colour (red bits 0..3,
// green 4..7, blue 8..11); 0x0FFF is the colour key. The routines process one row per
// call, at most 1023 target pixels, and do no clipping or bounds checks.

void WordCopy(TUint32* aSource, TUint32* aTarget, TInt aCount);
void BlendIt(TUint16* aBitmap, TUint16* aBg, TInt aBlend);
void BlendItMasked(TUint16* aBitmap, TUint16* aBg, TInt aBlend);
void CopyLine(TUint16* aSource, TUint16* aTarget, TInt aCount);
void MaskedLine(TUint16* aSource, TUint16* aTarget, TInt aCount);
void BlendLine(TUint16* aBitmap, TUint16* aBg, TInt aBlend, TInt aCount);
void BlendLineMasked(TUint16* aBitmap, TUint16* aBg, TInt aBlend, TInt aCount);
// aCountS = count + 1024 * skip; aDX: source step per target pixel, 16.16.
void ScaledLine(TUint16* aSource, TUint16* aTarget, TInt aCountS, TInt aDX);
void ScaledMaskedLine(TUint16* aSource, TUint16* aTarget, TInt aCountS, TInt aDX);
// aCountSBlend = count + 1024 * skip + 16777216 * blend weight (0..16).
void ScaledBlendLine(TUint16* aSource, TUint16* aTarget, TInt aCountSBlend, TInt aDX);
void ScaledMaskedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aCountSBlend, TInt aDX);
// Source coordinates and steps with 14 fraction bits; aCountWdBlend = count + 1024 *
// source stride (+ 67108864 * blend weight for the blend variants).
void RotatedLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY, TInt aCountWdBlend);
void RotatedMaskedLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY, TInt aCountWdBlend);
void RotatedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY, TInt aCountWdBlend);
void RotatedMaskedBlendLine(TUint16* aSource, TUint16* aTarget, TInt aProjX, TInt aProjY, TInt aDX, TInt aDY, TInt aCountWdBlend);

class CZController;
class CZPlayer;
class CZFrame;
class CZTimer;
class CZView;
class CZSprite;
class CZElement;
class CZElementBase;

// ---------------------------------------------------------------------------------------
// CZScript: the developer's script. The engine calls it at the start and end of every
// frame, for every key event of the view, and for every file it reads.

class IMPORT_C CZScript : public CBase
    {
public:
    IMPORT_C CZController* Controller();

    virtual void FrameBeginL(TInt aFrameNumber, TPtrC aMovie) = 0;
    virtual void FrameEndL(TInt aFrameNumber, TPtrC aMovie) = 0;
    virtual TKeyResponse KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) = 0;
    // Called with the whole file in memory before it is parsed; the result is ignored.
    virtual TInt Decrypt(TPtr8 aBuffer, TPtrC aFileName) = 0;

private:
    ZOLV_INTERNAL void Controller(CZController* aController);

private:
    CZController* iController;      // uses-a
    friend class CZController;
    };

// ---------------------------------------------------------------------------------------
// CZTimer: the frame timer. Calls the controller's UpdateL once per period, subtracting
// the time the frame took, rounded down to 1/64 s.

class CZTimer : public CActive
    {
public:
    static CZTimer* NewL(CZController* aController);
    ~CZTimer();

    void Start(TTimeIntervalMicroSeconds32 aPeriod);
    void Period(TTimeIntervalMicroSeconds32 aPeriod);
    void Controller(CZController* aController);

    TTimeIntervalMicroSeconds32 PeriodValue() const { return iPeriod; }

private:
    CZTimer();
    void ConstructL(CZController* aController);
    void RunL();
    void DoCancel();
    void After(TInt aMicroSeconds);

private:
    RTimer iTimer;
    TTimeIntervalMicroSeconds32 iPeriod;
    TTime iStartTime;
    CZController* iController;      // uses-a
    friend class CZController;
    };

// ---------------------------------------------------------------------------------------
// CZElementBase: what every concrete element has (name, type, size, registration point,
// flags and the use count).

class CZElementBase : public CBase
    {
public:
    virtual ~CZElementBase();

    void NameSetL(TPtrC aName);
    TPtrC Name() const;
    TInt Type() const { return iType; }
    void UnloadSet(TBool aUnload) { iUnload = aUnload; }
    TBool Unload() const { return iUnload; }
    void WidthSet(TInt aWidth);
    void HeightSet(TInt aHeight);
    TInt Width() const { return iWidth; }
    TInt Height() const { return iHeight; }
    TBool IsChanged() const { return iIsChanged; }
    void ResetChange() { iIsChanged = EFalse; }
    void RegPointSet(TPoint aValue);
    TPoint RegPoint() const { return iRegPoint; }
    void AccessAdd() { ++iAccessCount; }
    void AccessRemove() { if (iAccessCount > 0) --iAccessCount; }
    TInt Access() const { return iAccessCount; }

protected:
    CZElementBase(TInt aType);
    void Changed() { iIsChanged = ETrue; }

protected:
    HBufC* iName;                   // has-a
    TInt iType;
    TBool iUnload;
    TBool iIsChanged;
    TInt iWidth;
    TInt iHeight;
    TPoint iRegPoint;
    TInt iAccessCount;
    };

// ---------------------------------------------------------------------------------------
// CZElement: the public facade of an element. Every operation exists on every element;
// one that does not apply to the element's type does nothing and returns a neutral value.

class IMPORT_C CZElement : public CBase
    {
public:
    IMPORT_C TInt Name(TPtrC aName);
    IMPORT_C TPtrC Name();
    IMPORT_C TInt Type();
    IMPORT_C TInt Unload(TBool aUnload);
    IMPORT_C TBool Unload();
    IMPORT_C TRect Rect();
    IMPORT_C TInt Width();
    IMPORT_C TInt Height();
    IMPORT_C TInt Masked(TBool aMasked);
    IMPORT_C TBool Masked();
    IMPORT_C TInt RegPoint(TPoint aPoint);
    IMPORT_C TPoint RegPoint();

    // Bitmaps
    IMPORT_C TInt Pixel(TInt aX, TInt aY, TUint16 aValue);
    IMPORT_C TUint16 Pixel(TInt aX, TInt aY);
    IMPORT_C TUint16* DataAddress();
    IMPORT_C TInt Changed();
    IMPORT_C TInt Draw(CZElement* aBitmap, TRect aTarget, TRect aClipRect, TBool aMask = 1, TInt aBlend = 100);

    // Bitmap arrays
    IMPORT_C TInt ArrayResize(TInt aWd, TInt aHt);
    IMPORT_C TInt ArrayWidth();
    IMPORT_C TInt ArrayHeight();
    IMPORT_C TInt Bitmap(TInt aX, TInt aY, CZElement* aMember);
    IMPORT_C CZElement* Bitmap(TInt aX, TInt aY);

    // Texts
    IMPORT_C TInt Text(TPtrC aText);
    IMPORT_C TInt Text(TInt aInt);
    IMPORT_C TPtrC Text();
    IMPORT_C TInt TextInsert(TPtrC aText, TInt aPos = -1);
    IMPORT_C TInt TextInsert(TInt aInt, TInt aPos = -1);
    IMPORT_C TInt TextRemove(TInt aPos, TInt aCount);
    IMPORT_C TInt Width(TInt aWidth);
    IMPORT_C TInt LineHeight(TInt aHeight);
    IMPORT_C TInt LineHeight();
    IMPORT_C TInt LineFeedHeight(TInt aHeight);
    IMPORT_C TInt LineFeedHeight();
    IMPORT_C TInt LineCount();
    IMPORT_C TPtrC Line(TInt aNumber);
    IMPORT_C TInt Font(TPtrC aFontName);
    IMPORT_C TPtrC Font();
    IMPORT_C TInt FontSize(TInt aFontSize);
    IMPORT_C TInt FontSize();
    IMPORT_C TInt FontStrokeWeight(TFontStrokeWeight aStrokeWeight);
    IMPORT_C TFontStrokeWeight FontStrokeWeight();
    IMPORT_C TInt FontPosture(TFontPosture aPosture);
    IMPORT_C TFontPosture FontPosture();
    IMPORT_C TInt FontAlignment(CGraphicsContext::TTextAlign aAlignment);
    IMPORT_C CGraphicsContext::TTextAlign FontAlignment();

    // Vector shapes
    IMPORT_C TInt Point(TInt aIndex, TPoint aPoint);
    IMPORT_C TPoint Point(TInt aIndex);
    IMPORT_C TInt PointInsert(TInt aIndex, TPoint aValue);
    IMPORT_C TInt PointRemove(TInt aIndex);
    IMPORT_C TInt PenSize(TSize aPenSize);
    IMPORT_C TSize PenSize();
    IMPORT_C TInt PenStyle(CGraphicsContext::TPenStyle aPenStyle);
    IMPORT_C CGraphicsContext::TPenStyle PenStyle();
    IMPORT_C TInt BrushColor(TRgb aColor);
    IMPORT_C TRgb BrushColor();
    IMPORT_C TInt BrushStyle(CGraphicsContext::TBrushStyle aBrushStyle);
    IMPORT_C CGraphicsContext::TBrushStyle BrushStyle();

    // Texts and vector shapes: text colour, or pen colour
    IMPORT_C TInt Color(TRgb aColor);
    IMPORT_C TRgb Color();

    // Sounds
    IMPORT_C TInt SoundPlay(TInt aChannel = 1, TInt aVolume = 100);
    IMPORT_C TInt SoundStop(TInt aChannel = 1);

private:
    ZOLV_INTERNAL CZElement();
    ZOLV_INTERNAL ~CZElement();
    CZElementBase* Element() { return iElement; }
    ZOLV_INTERNAL void Element(CZElementBase* aElement);

private:
    CZElementBase* iElement;        // has-a
    friend class CZController;
    friend class CZPlayer;
    friend class CZFrame;
    friend class CZSprite;
    friend class CZView;
    friend class TZTestAccess;      // the engine's own tests
    friend class CZElementBitmapArray;
    };

// ---------------------------------------------------------------------------------------
// CZElementBitmap: an off-screen bitmap in the 4096-colour mode, one 16-bit word per
// pixel, rows top to bottom with a stride of the width rounded up to an even number of
// pixels. Its pixels can be read and written, and other bitmaps drawn into it.

class CZElementBitmap : public CZElementBase
    {
public:
    static CZElementBitmap* NewL();
    static CZElementBitmap* NewLC();
    ~CZElementBitmap();

    // Adopts aBitmap (ignored when null or already attached): the old bitmap is
    // deleted, the size is taken from the new one, and the element is marked changed.
    void BitmapSet(CWsBitmap* aBitmap);
    CWsBitmap* Bitmap() const { return iBitmap; }
    // 1 and the word stored (unchanged) at (aX, aY), or 0 outside the bitmap.
    TInt PixelSet(TInt aX, TInt aY, TUint16 aValue);
    // The word at (aX, aY), or 0 outside the bitmap.
    TUint16 Pixel(TInt aX, TInt aY) const;
    // The first pixel of the first row, or NULL with no bitmap. Writes through it are
    // not noticed: the caller marks the element changed.
    TUint16* DataAddress() const;
    TInt MaskedSet(TBool aMasked);
    TBool Masked() const { return iMasked; }
    using CZElementBase::Changed;
    // Draws aBitmap so that the whole of it would fill aTarget (scaling when the sizes
    // differ), only its part inside aClipRect (source coordinates), colour-keyed when
    // aMask is set and blended at aBlend percent.
    void DrawBitmap(CWsBitmap* aBitmap, TRect aTarget, TRect aClipRect, TBool aMask = 1, TInt aBlend = 100);

private:
    CZElementBitmap();
    void Draw12bBitmap(CWsBitmap* aBitmap, TPoint aPos, TRect aClipRect, TBool aMask, TInt aBlend);
    void Draw12bBitmapScaled(CWsBitmap* aBitmap, TRect aTarget, TRect aClipRect, TBool aMask, TInt aBlend);

private:
    CWsBitmap* iBitmap;             // has-a
    TBool iMasked;
    };

// ---------------------------------------------------------------------------------------
// CZElementBitmapArray: a grid of cells, each empty or using a bitmap element (counted in
// the member's access count, one use per cell). Its own size is always 100 x 100.

class CZElementBitmapArray : public CZElementBase
    {
public:
    static CZElementBitmapArray* NewL();
    static CZElementBitmapArray* NewLC();
    ~CZElementBitmapArray();

    // Empties the grid and makes it aWd x aHt empty cells; 1, or 0 (and a 0 x 0 grid)
    // when the cells cannot be allocated.
    TInt SizeSet(TInt aWd, TInt aHt);
    // Puts the bitmap element aBitmap in cell (aX, aY); 1, or 0 outside the grid or for
    // anything but a bitmap element.
    TInt BitmapSet(TInt aX, TInt aY, CZElement* aBitmap);
    CZElement* BitmapGet(TInt aX, TInt aY) const;
    TInt ArrayWidth() const { return iXCount; }
    TInt ArrayHeight() const { return iYCount; }

private:
    CZElementBitmapArray();
    // Releases every filled cell and deletes the cell list.
    void CellsRelease();

private:
    CArrayPtrFlat<CZElement>* iBitmapList;  // has-a (the list; the members are uses-a)
    TInt iXCount;
    TInt iYCount;
    };

// ---------------------------------------------------------------------------------------
// CZElementText: an editable text with its font settings, colour, alignment and wrapping
// width (the base width), divided into at most KZTextLinesMax display lines. The font
// and the line layout are made lazily: setters record what changed, and Update() (run
// by Height(), LineHeight(), LineCount(), Line() and FontName()) does the work. The base
// height is the pixel height of the current font.

const TInt KZTextLinesMax = 128;
const TInt KZTextFontNameMax = 32;

class CFbsFont;
class CGraphicsDevice;

class CZElementText : public CZElementBase
    {
public:
    static CZElementText* NewL();
    static CZElementText* NewLC();
    ~CZElementText();

    // Content. Each change builds the new content in a new buffer first, so a leave
    // (out of memory) keeps the old content.
    void TextSetDesL(TPtrC aText);
    // aPos -1: at the end; otherwise clamped to 0..length. Nothing without content.
    void TextInsertL(TPtrC aText, TInt aPos);
    // Position and count clamped to the content. Nothing without content.
    void TextRemoveL(TInt aPos, TInt aCount);
    TPtrC Text() const;

    // Font settings; each change requests a new font.
    void FontSet(TPtrC aFontName);
    void FontSet(TPtrC aFontName, TInt aFontSize, TFontStrokeWeight aStrokeWeight, TFontPosture aPosture);
    void FontSizeSet(TInt aFontSize);
    void FontStrokeWeightSet(TFontStrokeWeight aStrokeWeight);
    void FontPostureSet(TFontPosture aPosture);
    void AlignmentSet(CGraphicsContext::TTextAlign aAlignment);
    void ColorSet(TRgb aColor);
    void ColorSet(TInt aRed, TInt aGreen, TInt aBlue);
    // The wrapping width (at least 1); the lines are divided again.
    void WidthSet(TInt aWidth);
    void LineHeightSet(TInt aLineHeight);
    void LineFeedHeightSet(TInt aLineFeedHeight);

    CFbsFont* Font() const { return iFont; }
    TRgb Color() const { return iColor; }
    TInt FontSize() const { return iFontSize; }
    TFontStrokeWeight FontStrokeWeight() const { return iStrokeWeight; }
    TFontPosture FontPosture() const { return iPosture; }
    CGraphicsContext::TTextAlign Alignment() const { return iAlignment; }
    TInt LineFeedHeight() const { return iLineFeedHeight; }

    // After Update(): the requested font name, or the typeface name of the font obtained.
    TPtrC FontName();
    // The line pitch: the set one, or automatic from the font's height (1 without font).
    TInt LineHeight();
    TInt LineCount();
    // Line aNumber (from 0) of the layout; aCRLF tells whether it follows a line break
    // of the content. Empty outside the layout.
    TPtrC Line(TInt aNumber, TBool& aCRLF);
    // The laid-out height of the whole text.
    TInt Height();
    // Makes the font and the layout if they are due; 0 if the font cannot be made.
    TInt Update();

    // The first paragraph of aText, and the length (0, 1 or 2) of the line break after it.
    static TPtrC FirstLine(TPtrC aText, TInt& aBreakLength);

private:
    CZElementText();
    void FontSetL();
    void LineDivide();
    void ContentSet(HBufC* aText);

private:
    HBufC* iText;                               // has-a
    CFbsFont* iFont;                            // has-a (given back to iFontDevice)
    TBuf<KZTextFontNameMax> iFontName;
    TInt iFontSize;
    TFontStrokeWeight iStrokeWeight;
    TFontPosture iPosture;
    CGraphicsContext::TTextAlign iAlignment;
    TRgb iColor;
    TBool iNeedFontUpdate;
    TBool iNeedLineUpdate;
    TInt iLineStart[KZTextLinesMax];
    TInt iLineEnd[KZTextLinesMax];
    TInt iLineCount;
    TInt iLineHeight;
    TInt iLineFeedHeight;
    CGraphicsDevice* iFontDevice;               // uses-a: the device that made iFont
    };

// ---------------------------------------------------------------------------------------
// CZElementShape: a polygon of points in element coordinates (numbered from 1 in every
// operation) with pen and brush settings. The base width and height are 1 + the largest
// x and y of the points (at least 1). CalculatePoints transforms the points for drawing.

class CZElementShape : public CZElementBase
    {
public:
    static CZElementShape* NewL();
    static CZElementShape* NewLC();
    ~CZElementShape();

    // Makes aCount points (0,0), dropping any old ones.
    void ConstructL(TInt aCount = 1);

    TPoint Point(TInt aIndex) const;
    // Sets point aIndex (from 1), growing the list with (0,0) points when it lies beyond
    // the end; coordinates are clamped to ELEMENT_POINT_MIN..ELEMENT_POINT_MAX. 1, or 0
    // for an index below 1 or when growing fails (the list is then unchanged).
    TInt PointSet(TInt aIndex, TPoint aValue);
    TInt PointInsert(TInt aIndex, TPoint aValue);
    TInt PointRemove(TInt aIndex);
    TInt PointCount() const { return iPointCount; }
    // Room for aCount points in both lists, so that growing up to that count cannot fail.
    void PointReserveL(TInt aCount);
    CArrayFixFlat<TPoint>* PointList() { return iPointList2; }

    void PenColorSet(TRgb aColor);
    void PenSizeSet(TSize aSize);
    void PenStyleSet(CGraphicsContext::TPenStyle aStyle);
    void BrushColorSet(TRgb aColor);
    // A patterned brush becomes a solid one.
    void BrushStyleSet(CGraphicsContext::TBrushStyle aBrushStyle);
    TRgb PenColor() const { return iPenColor; }
    TSize PenSize() const { return iPenSize; }
    CGraphicsContext::TPenStyle PenStyle() const { return iPenStyle; }
    TRgb BrushColor() const { return iBrushColor; }
    CGraphicsContext::TBrushStyle BrushStyle() const { return iBrushStyle; }

    // Scales the points to aSize around the registration point, rotates them by the
    // angle (cosine and sine scaled by SINE_SCALE), moves them to aLoc, stores them in the
    // transformed list and returns their bounding rectangle (corners are points).
    TRect CalculatePoints(TPoint aLoc, TSize aSize, TInt aAngleCos, TInt aAngleSin);

private:
    CZElementShape();
    // 1 + the largest x (or y) of the points other than aSkip (from 0; -1 none), at least 1.
    TInt ExtentWithout(TInt aSkip, TBool aVertical) const;

private:
    TRgb iPenColor;
    TSize iPenSize;
    CGraphicsContext::TPenStyle iPenStyle;
    TRgb iBrushColor;
    CGraphicsContext::TBrushStyle iBrushStyle;
    CArrayFixFlat<TPoint>* iPointList;          // has-a
    CArrayFixFlat<TPoint>* iPointList2;         // has-a
    TInt iPointCount;
    };

// ---------------------------------------------------------------------------------------
// CZSprite: one drawing channel: an element or a simple shape with its location, z,
// size, angle, blend, mask, visibility, clipping and transition.

class IMPORT_C CZSprite : public CBase
    {
public:
    IMPORT_C void Loc(TInt aX, TInt aY);
    IMPORT_C void LocZ(TInt aZ);
    IMPORT_C TInt X();
    IMPORT_C TInt Y();
    IMPORT_C TInt Z();
    IMPORT_C void Angle(TInt aAngle);
    IMPORT_C TInt Angle();
    IMPORT_C void Size(TInt aWidth, TInt aHeight);
    IMPORT_C void SizeReset();
    IMPORT_C TInt Width();
    IMPORT_C TInt Height();
    IMPORT_C void Blend(TInt aBlend);
    IMPORT_C TInt Blend();
    IMPORT_C void Mask(TBool aMask);
    IMPORT_C TBool Mask();
    IMPORT_C void Visible(TBool aVisible);
    IMPORT_C TBool Visible();
    IMPORT_C void ClipRect(TRect aClipRect);
    IMPORT_C TRect ClipRect();
    IMPORT_C void Transition(TInt aTransition, TInt aTime);
    IMPORT_C TInt Transition();
    IMPORT_C TInt TransitionTime();
    IMPORT_C TInt TransitionPhase();
    IMPORT_C TInt Channel();
    IMPORT_C void Element(CZElement* aElement);
    IMPORT_C CZElement* Element();
    IMPORT_C void Clear();
    IMPORT_C TInt Type();
    IMPORT_C TBool Zoom();
    IMPORT_C TInt ShapeType();
    IMPORT_C TBool Intersects(CZSprite* aSprite);
    IMPORT_C void Line(TPoint aPoint1, TPoint aPoint2);
    IMPORT_C void Ellipse(TPoint aPoint1, TPoint aPoint2);
    IMPORT_C void Rectangle(TPoint aPoint1, TPoint aPoint2);
    IMPORT_C void RoundRectangle(TPoint aPoint1, TPoint aPoint2, TSize aCorner);
    IMPORT_C TPoint Point1();
    IMPORT_C TPoint Point2();
    IMPORT_C TSize CornerSize();
    IMPORT_C void PenColor(TRgb aColor);
    IMPORT_C void BrushColor(TRgb aColor);
    IMPORT_C void PenSize(TSize aPenSize);
    IMPORT_C void PenStyle(CGraphicsContext::TPenStyle aPenStyle);
    IMPORT_C void BrushStyle(CGraphicsContext::TBrushStyle aBrushStyle);
    IMPORT_C TRgb PenColor();
    IMPORT_C TSize PenSize();
    IMPORT_C CGraphicsContext::TPenStyle PenStyle();
    IMPORT_C TRgb BrushColor();
    IMPORT_C CGraphicsContext::TBrushStyle BrushStyle();

private:
    ZOLV_INTERNAL CZSprite();
    ZOLV_INTERNAL ~CZSprite();
    ZOLV_INTERNAL void Channel(TInt aChannel);
    ZOLV_INTERNAL void LifeTime(TInt aLifeTime);
    ZOLV_INTERNAL TInt LifeTime();
    ZOLV_INTERNAL void ElementChanged();
    ZOLV_INTERNAL void Player(CZPlayer* aPlayer);
    ZOLV_INTERNAL void Update();
    ZOLV_INTERNAL void ViewClipRect();
    ZOLV_INTERNAL void ViewDrawRect(TRect aRect);
    ZOLV_INTERNAL void ShapeLookCopy(CZSprite* aTemplate);
    // Tells the player that what this sprite draws has changed.
    ZOLV_INTERNAL void Notify();
    // Releases any element and makes the sprite the simple shape aShapeType in the box
    // spanned by the two corners.
    ZOLV_INTERNAL void ShapeBox(TPoint aPoint1, TPoint aPoint2, TInt aShapeType);
    // True when the sprite shows a bitmap and both the sprite and the element mask.
    ZOLV_INTERNAL TBool IsPixelMasked();

private:
    CZElement* iElement;                        // uses-a
    TInt iType;
    TBool iMasked;
    TBool iZoom;
    TInt iX;
    TInt iY;
    TInt iZ;
    TInt iAngle;
    TInt iWidth;
    TInt iHeight;
    TRect iClipRect;
    TBool iVisible;
    TInt iBlend;
    TInt iTransitionNumber;
    TInt iTransitionTime;
    TInt iTransitionPhase;
    TInt iChannelNumber;
    TInt iLifeTime;
    TInt iShapeType;
    TPoint iPoint1;
    TPoint iPoint2;
    TSize iCornerSize;
    TInt iPenColor;
    TSize iPenSize;
    CGraphicsContext::TPenStyle iPenStyle;
    TInt iBrushColor;
    CGraphicsContext::TBrushStyle iBrushStyle;
    CZPlayer* iPlayer;                          // uses-a
    TInt iZIndex;                               // position in the player's z list
    friend class CZController;
    friend class CZPlayer;
    friend class CZView;
    friend class CZFrame;
    friend class TZTestAccess;                  // the engine's own tests
    };

// ---------------------------------------------------------------------------------------
// CZElementSound: a whole WAV file in memory with the sound player that plays it. Sounds
// come only from files; the player (CZPlayer) lets one sound play at a time.

class CZSoundPlayer;

class CZElementSound : public CZElementBase
    {
public:
    static CZElementSound* NewL();
    static CZElementSound* NewLC();
    ~CZElementSound();

    // 0 (nothing adopted) if the element already holds data. Otherwise adopts aSound and
    // opens it in a new sound player, returning 1 once the open has completed; if that
    // leaves, the element forgets aSound (the caller keeps it) and the leave passes on.
    TInt SoundSetL(HBufC8* aSound);
    const HBufC8* Data() const { return iData; }
    void Player(CZPlayer* aPlayer) { iPlayer = aPlayer; }
    CZSoundPlayer* AudioPlayerCallBack() { return iSoundPlayer; }
    void Volume(TInt aVolume) { iVolume = aVolume; }
    TInt Volume() const { return iVolume; }
    // Ask the player to play / stop this sound.
    void SoundPlay();
    void SoundStop();
    // Called by the player: start the sound player at iVolume (one more use), and the
    // release of that use when it stops.
    void Play();
    void Stop();

private:
    CZElementSound();

private:
    CZSoundPlayer* iSoundPlayer;    // has-a
    HBufC8* iData;                  // has-a
    CZPlayer* iPlayer;              // uses-a
    TInt iVolume;
    };

// ---------------------------------------------------------------------------------------
// CZSoundPlayer: connects a sound element's clip to the platform's audio player utility.

class CZSoundPlayer : public CBase, public MMdaAudioPlayerCallback
    {
public:
    // Opens the element's clip; returns once the open has completed (successfully or
    // not), running a nested scheduler loop meanwhile.
    static CZSoundPlayer* NewL(CZElementSound* aSound);
    ~CZSoundPlayer();

    void MapcInitComplete(TInt aError, const TTimeIntervalMicroSeconds& aDuration);
    void MapcPlayComplete(TInt aError);

    TBool InitComplete() const { return iInitComplete; }
    TBool PlayComplete() const { return iPlayComplete; }
    TBool Underflow() const { return iUnderflow; }
    TBool ErrorInit() const { return iErrorInit; }
    TBool ErrorPlay() const { return iErrorPlay; }
    CMdaAudioPlayerUtility* Utility() { return iUtility; }

    // Plays the clip from its start at aVolume percent (clamped to 0..100) of the
    // utility's maximum; ignored unless the clip opened without error.
    void SoundPlay(CZPlayer* aMoviePlayer, TInt aVolume = 17);
    void VolumeSet(TInt aVolume);
    // Stops playing if it is in progress and releases the element's use.
    void SoundStop();

private:
    CZSoundPlayer();
    void ConstructL(CZElementSound* aSound);
    TBool Ready() const { return iInitComplete && !iErrorInit && iUtility; }
    TInt UtilityVolume(TInt aVolume);

private:
    CMdaAudioPlayerUtility* iUtility;   // has-a
    CZElementSound* iSound;             // uses-a
    CZPlayer* iPlayer;                  // uses-a
    TBool iInitComplete;
    TBool iPlayComplete;
    TBool iErrorInit;
    TBool iErrorPlay;
    TBool iUnderflow;
    CActiveSchedulerWait iWait;         // the nested loop of the open
    };

// ---------------------------------------------------------------------------------------
// CZImageLoader: decodes every picture of an image file into bitmap elements through the
// platform's image converter, waiting for each conversion in a nested scheduler loop.

class CZImageLoader : public CBase, public MMdaImageUtilObserver
    {
public:
    static CZImageLoader* NewL(CZController* aController);
    ~CZImageLoader();

    // Converts every picture of aBuffer into the bitmap elements aElementName_bmp_1, 2...
    // with the unload flag aUnload; 0, or the error that stopped it (pictures converted
    // before stay).
    TInt ImageLoad(TPtrC8 aBuffer, TPtrC aElementName, TBool aUnload = ETrue);
    CMdaImageDescToBitmapUtility* Utility() { return iUtility; }

    void MiuoOpenComplete(TInt aError);
    void MiuoConvertComplete(TInt aError);
    void MiuoCreateComplete(TInt aError);

private:
    CZImageLoader();
    void ConstructL(CZController* aController);
    void ImageConvert();
    // Frees the bitmap in progress, closes the converter and ends the nested loop with
    // the result aError.
    void Finish(TInt aError);

private:
    TInt iRetValue;
    TInt iFrameCount;
    TInt iCurrentFrame;
    TBool iUnload;
    TInt iMdaError;
    TDisplayMode iDisplayMode;
    CMdaImageDescToBitmapUtility* iUtility; // has-a
    CWsBitmap* iBitmap;                     // has-a while converting
    HBufC* iName;                           // has-a
    CZController* iController;              // uses-a
    CActiveSchedulerWait iWait;             // the nested loop of a load
    friend class CZController;
    };

// ---------------------------------------------------------------------------------------
// CZFrame: the records of one movie frame, applied when the player reaches its number.

class CZFrame : public CBase
    {
public:
    static CZFrame* NewL();
    static CZFrame* NewLC();
    ~CZFrame();

    void FrameNumber(TInt aFrameNumber) { iFrameNumber = aFrameNumber; }
    TInt FrameNumber() const { return iFrameNumber; }
    void Tempo(TInt aTempo) { iTempo = aTempo; }
    TInt Tempo() const { return iTempo; }
    void Sound(CZElement* aSound);
    CZElement* Sound() const { return iSound; }
    TInt SpriteAddL(CZSprite* aSprite);
    // Makes a sprite record for a channel with a lifetime, appends it and returns it;
    // the caller describes the rest through the sprite's setters.
    CZSprite* SpriteAddNewL(TInt aChannel, TInt aLifeTime);
    CArrayPtrFlat<CZSprite>* SpriteList() { return iSpriteList; }

private:
    CZFrame();
    void ConstructL();

private:
    TInt iFrameNumber;
    TInt iTempo;
    CArrayPtrFlat<CZSprite>* iSpriteList;   // has-a
    CZElement* iSound;                      // uses-a
    friend class CZPlayer;
    friend class CZController;
    };

// ---------------------------------------------------------------------------------------
// CZPlayer: sprite channels in channel and z order, the current movie's frames and
// state, the z-buffer counts, the sound switch and volume, and the sine table.

class CZSoundPlayer;

class CZPlayer : public CBase
    {
public:
    static CZPlayer* NewL(CZController* aController);
    ~CZPlayer();

    // Frames and channels
    TInt FrameAddL(CZFrame* aFrame);
    void FrameCount(TInt aFrameCount) { iFrameCount = aFrameCount; }
    TInt FrameCount() const { return iFrameCount; }
    TInt FrameNumber() const { return iFrameNumber; }
    void FrameNumberSet(TInt aFrameNumber) { iFrameNumber = aFrameNumber; }
    TInt SpriteChannelAllocate(TInt aCount);
    TInt ChannelCount() const { return iChannelCount; }
    CZSprite* Sprite(TInt aChannel);
    void SpriteClear(TInt aChannel);
    void SpriteLocZChanged(CZSprite* aSprite);
    void SpriteChanged(CZSprite* aSprite);
    CArrayPtrFlat<CZSprite>* SpriteList() { return iSpriteListZ; }

    // Settings
    void BgColor(TInt aColor);
    TInt BgColor() const { return iBgColor; }
    void Loc(TInt aX, TInt aY);
    TInt LocX() const { return iLocX; }
    TInt LocY() const { return iLocY; }
    TInt LocZMin();
    TInt LocZMax();
    void Loop(TBool aLoop) { iLoop = aLoop; }
    TBool Loop() const { return iLoop; }
    TBool IsOver() const { return iIsOver; }
    void Stopped(TBool aStopped) { iStopped = aStopped; }
    TBool Stopped() const { return iStopped; }
    void Volume(TInt aVolume);
    TInt Volume() const { return iVolume; }
    void SoundSet(TBool aSound);
    TBool Sound() const { return iSound; }
    void ZBufferMaxSet(TInt aMax);
    TInt ZBufferMax() const { return iZBufferMax; }
    TInt ZBuffered();
    TInt ZBufferedOld();
    TInt ZBufferStart() const { return iZBufferStart; }
    TInt ZBufferStartOld() const { return iZBufferStartOld; }
    TInt Sin(TInt aAngle);
    TInt Cos(TInt aAngle);
    CZController* Controller() { return iController; }

    // Movie and sound
    void Clear();
    void MovieReset();
    void MovieEnd();
    void ResetAudioPlayer();
    void SoundPlay(CZElementSound* aSound);
    void SoundStop(CZElementSound* aSound);

    // Frame cycle, in this order each frame
    void FramePrepare();
    void Update();
    void FrameExit();

private:
    CZPlayer();
    void ConstructL();
    void SpriteAddL(CZSprite* aSprite, TInt aIndex);
    void ZBufferReset();
    void FrameLoadNext();
    void SpriteSet(TInt aChannel, CZSprite* aRecord);
    TBool HasBackBuffer();

private:
    TBool iStopped;
    TBool iIsOver;
    TBool iLoop;
    TInt iChannelCount;
    TInt iBgColor;
    TInt iFrameCount;
    TInt iFrameNumber;
    TBool iSound;
    TInt iVolume;
    TInt iLocX;
    TInt iLocY;
    TInt iZBuffered;
    TInt iZBufferedOld;
    TInt iZBufferStart;
    TInt iZBufferStartOld;
    TInt iZBufferMax;
    // A buffered sprite changed since the last frame ended: the back buffer still holds
    // its old drawing, so the next frame must rebuild it.
    TBool iZBufferStale;
    CArrayPtrFlat<CZFrame>* iFrameList;         // has-a
    CArrayPtrFlat<CZSprite>* iSpriteList;       // has-a
    CArrayPtrFlat<CZSprite>* iSpriteListZ;      // uses-a (same sprites, by z)
    CArrayFixFlat<TInt>* iSin;                  // has-a
    CZSoundPlayer* iAudioPlayerCallBack;        // uses-a
    CZController* iController;                  // uses-a
    friend class CZController;
    };

// ---------------------------------------------------------------------------------------
// CZView: the drawing control. The application creates it in its own window-owning
// control and hands it to the controller, which gives it the player and puts it on the
// control stack for key events. Every frame the view draws the sprites into its off-
// screen bitmap (starting from the back buffer when it has one) and copies the changed
// area to the window.

class IMPORT_C CZView : public CCoeControl
    {
public:
    IMPORT_C static CZView* NewL(const TRect& aRect, CCoeControl* aParent, TBool aBackBuffer = EFalse);
    IMPORT_C ~CZView();
    IMPORT_C void Update() const;
    IMPORT_C TKeyResponse OfferKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);
    IMPORT_C TInt Width();
    IMPORT_C TInt Height();
    IMPORT_C void Foreground(TBool aForeground);
    IMPORT_C TBool BackBuffer();

    // Engine-internal: redraws performed so far (each Update is one), sprites drawn
    // (dispatched by DrawSprite), the area last copied to the display, and the buffers.
    TInt UpdateCount() const { return iUpdateCount; }
    TInt SpritesDrawn() const { return iSpritesDrawn; }
    TRect LastCopyRect() const { return iLastCopyRect; }
    CWsBitmap* OffScreenBitmap() const { return iOffScreenBitmap; }
    CWsBitmap* DrawBufferBitmap() const { return iDrawBufferBitmap; }

private:
    ZOLV_INTERNAL CZView();
    ZOLV_INTERNAL void ConstructL(const TRect& aRect, CCoeControl* aParent, TBool aBackBuffer);
    ZOLV_INTERNAL void Draw(const TRect& aRect) const;
    ZOLV_INTERNAL void DrawView(TRect aRect) const;
    void Player(CZPlayer* aPlayer) { iPlayer = aPlayer; }
    ZOLV_INTERNAL void ClipRectSet(TRect aClipRect) const;
    ZOLV_INTERNAL void DrawRectAdd(TRect aDrawRect) const;
    ZOLV_INTERNAL void CopyBitmap12b(CWsBitmap* aTarget, CWsBitmap* aSource) const;
    ZOLV_INTERNAL void DrawToScreen(TRect aClipRect) const;
    ZOLV_INTERNAL TBool DirectCopyPossible() const;
    ZOLV_INTERNAL void TransitionRectangles(TRect& aDrawRect, TRect& aClippingRect, TInt aTransition, TInt aTransitionTime, TInt aTransitionPhase) const;
    ZOLV_INTERNAL TPoint ShakeOffset() const;
    ZOLV_INTERNAL void DrawSprite(CZSprite* aSprite) const;
    ZOLV_INTERNAL void DrawBitmap(CZSprite* aSprite) const;
    ZOLV_INTERNAL void DrawBitmapArray(CZSprite* aSprite) const;
    // Texts (type 2), vector shapes (type 3) and simple shapes (type 4), drawn through
    // the off-screen bitmap's graphics context.
    ZOLV_INTERNAL void DrawText(CZSprite* aSprite) const;
    ZOLV_INTERNAL void DrawShape(CZSprite* aSprite) const;
    // aColor as a sprite of blend aBlend draws it: below 100, each channel moves toward
    // the player's background colour (black without a player) in proportion.
    ZOLV_INTERNAL TRgb BlendedColor(TRgb aColor, TInt aBlend) const;
    // Draws the bitmap element aElement as sprite aSprite would show it at (aX, aY) with
    // the given size, angle and registration point (DrawBitmap with the sprite's own
    // values; DrawBitmapArray per cell, without changing the sprite or the cell).
    ZOLV_INTERNAL void DrawBitmapElement(CZSprite* aSprite, CZElement* aElement, TInt aX, TInt aY, TInt aWidth, TInt aHeight, TInt aAngle, TPoint aRegPoint) const;
    ZOLV_INTERNAL void Draw12bBitmap(CWsBitmap* aBitmap, TPoint aTL, TRect aClippingRect, TInt aBlend, TInt aMask) const;
    ZOLV_INTERNAL void Draw12bBitmapScaled(CWsBitmap* aBitmap, TRect aTargetRect, TRect aClippingRect, TInt aBlend, TInt aMask) const;
    ZOLV_INTERNAL void Draw12bBitmapRotated(CWsBitmap* aBitmap, TRect aTargetRect, TRect aClippingRect, TInt aBlend, TInt aMask, TPoint aRegPoint, TInt aAngle) const;
    // Row addresses and stride (in pixels) of the off-screen bitmap.
    TUint16* OffScreenRow(TInt aY) const { return iOffScreenPixels + aY * iOffScreenStride; }

private:
    CZPlayer* iPlayer;                      // uses-a
    CWsBitmap* iOffScreenBitmap;            // has-a
    CFbsBitGc* iBitmapContext;              // has-a
    CFbsBitmapDevice* iBitmapDevice;        // has-a
    CWsBitmap* iDrawBufferBitmap;           // has-a (null without back buffer)
    CFbsBitGc* iDrawBufferContext;          // has-a
    CFbsBitmapDevice* iDrawBufferDevice;    // has-a
    TInt iWidth;
    TInt iHeight;
    mutable TRect iClipRect;
    mutable TRect iDrawRect;
    mutable TRect iDrawRectOld;
    mutable TInt iCurrentSprite;
    mutable TInt iDrawRectFull;
    TUint32* iScreenAddress;
    TSize iScreenSize;
    TBool iForeground;
    TBool iFullScreen;
    TInt iOrdFull;
    TBool iBackBuffer;
    mutable TInt64 iRandSeed;
    TUint16* iOffScreenPixels;              // uses-a (the off-screen bitmap's pixels)
    TInt iOffScreenStride;
    mutable TInt iUpdateCount;
    mutable TInt iSpritesDrawn;
    mutable TRect iLastCopyRect;
    friend class CZController;
    friend class CZSprite;
    friend class TZTestAccess;              // the engine's own tests
    };

// ---------------------------------------------------------------------------------------
// CZController: the one object through which an application drives the engine.

class IMPORT_C CZController : public CBase
    {
public:
    IMPORT_C static CZController* NewL(CEikAppUi* aAppUi);
    IMPORT_C ~CZController();

    // Engine
    IMPORT_C void Start();
    IMPORT_C void View(CZView* aView);
    IMPORT_C CZView* View();
    IMPORT_C void Script(CZScript* aScript);
    IMPORT_C CZScript* Script();
    IMPORT_C void Reset();
    IMPORT_C void Compress();
    IMPORT_C TBool MovieLoadFailed();
    IMPORT_C CEikAppUi* AppUi();
    IMPORT_C TKeyResponse OfferKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);
    // The player (engine-internal: the view, sprites and tests reach it here).
    CZPlayer* Player() { return iPlayer; }

    // Settings
    IMPORT_C void ScreenSaver(TBool aScreenSaver);
    IMPORT_C TBool ScreenSaver();
    IMPORT_C void BgColor(TInt aColor);
    IMPORT_C TInt BgColor();
    IMPORT_C void ZBufferMax(TInt aMax);
    IMPORT_C TInt ZBufferMax();
    IMPORT_C TInt LocZMin();
    IMPORT_C TInt LocZMax();
    IMPORT_C void Sound(TBool aSound);
    IMPORT_C TBool Sound();
    IMPORT_C void Volume(TInt aVolume);
    IMPORT_C TInt Volume();
    IMPORT_C void Tempo(TInt aTempo);
    IMPORT_C TInt Tempo();
    IMPORT_C void Loc(TInt aX, TInt aY);
    IMPORT_C TInt LocX();
    IMPORT_C TInt LocY();

    // Movie control
    IMPORT_C void MovieStart();
    IMPORT_C void MovieStop();
    IMPORT_C void MovieEnd();
    IMPORT_C void MovieLoop(TBool aLoop);
    IMPORT_C TBool MovieLoop();
    IMPORT_C TInt MovieLength();
    IMPORT_C TBool MovieIsOver();
    IMPORT_C void LoadMovieListL(TPtrC aData);
    IMPORT_C void LoadFileMovieListL(TPtrC aFileName);

    // Sprite channels
    IMPORT_C TInt SpriteChannelAllocate(TInt aCount);
    IMPORT_C CZSprite* Sprite(TInt aSpriteChannel);
    IMPORT_C TInt ChannelCount();

    // Elements
    IMPORT_C CZElement* Element(TPtrC aName);
    IMPORT_C TInt ElementRemove(TPtrC aName);
    IMPORT_C CZElement* ElementBitmapAdd(TInt aWd, TInt aHt, TPtrC aName);
    IMPORT_C CZElement* ElementBitmapArrayAdd(TInt aWd, TInt aHt, TPtrC aName);
    // Always NULL: sounds come only from files (LoadFileWavL).
    IMPORT_C CZElement* ElementSoundAdd(TInt aLength, TPtrC aName);
    // Texts and vector shapes from description strings (an optional header, then the
    // content or the points).
    IMPORT_C CZElement* ElementTextAdd(TPtrC aText, TPtrC aName);
    IMPORT_C CZElement* ElementShapeAdd(TPtrC aText, TPtrC aName);

    // Data tables
    IMPORT_C TInt ArrayValue(TInt aX, TInt aY);
    IMPORT_C void ArrayReset();
    IMPORT_C TPtrC CSVCell(TInt aColumn, TInt aRow, TInt* aError);
    IMPORT_C TInt CSVCellInt(TInt aColumn, TInt aRow, TInt* aError);
    IMPORT_C TInt CSVRowCount();
    IMPORT_C void CSVReset();
    IMPORT_C TInt LoadFileArrayL(TPtrC aFileName, TInt aWd, TInt aHt);
    IMPORT_C TInt LoadFileCSVL(TPtrC aFileName);
    IMPORT_C void LoadFileImageL(TPtrC aFileName, TPtrC aElementName, TBool aUnload = ETrue);
    IMPORT_C void LoadFileWavL(TPtrC aSoundFileName, TPtrC aElementName, TBool aUnload = ETrue);
    IMPORT_C void LoadFileTextL(TPtrC aFileName, TPtrC aElementName, TBool aUnload = ETrue);
    IMPORT_C void LoadFileShapeL(TPtrC aFileName, TPtrC aElementName, TBool aUnload = ETrue);

private:
    ZOLV_INTERNAL CZController();
    ZOLV_INTERNAL void ConstructL(CEikAppUi* aAppUi);
    ZOLV_INTERNAL void UpdateL();
    ZOLV_INTERNAL TPtrC MovieName();
    ZOLV_INTERNAL void ElementListsDestroy();
    ZOLV_INTERNAL void ElementListDestroy(CArrayPtrFlat<CZElement>*& aList);
    ZOLV_INTERNAL TBool ElementFind(TPtrC aName, CArrayPtrFlat<CZElement>*& aList, TInt& aIndex);
    // Makes or refills the bitmap element aName with aBitmap, which it then owns; NULL
    // (aBitmap still the caller's) for a bitmap not in the 4096-colour mode, a name
    // taken by another type, or an allocation failure.
    ZOLV_INTERNAL CZElement* ElementBitmapAdd(CWsBitmap* aBitmap, TPtrC aName);
    // Resolves a loader's file name against the application's directory and the
    // loader's subdirectory. Returns KErrNone or KErrBadName.
    ZOLV_INTERNAL TInt ResolvePath(TPtrC aFileName, const TDesC& aSubDir, TFileName& aPath);
    // Reads a whole file into a new buffer left on the cleanup stack and passes it
    // through the script's Decrypt.
    ZOLV_INTERNAL HBufC8* ReadFileLC(const TDesC& aPath, TPtrC aFileName);
    // The next text (shape) resource of a resource file becomes the element aElementName.
    ZOLV_INTERNAL void LoadResourceTxtL(TLex8& aLex, TPtrC aElementName, TBool aUnload = ETrue);
    ZOLV_INTERNAL void LoadResourceShpL(TLex8& aLex, TPtrC aElementName, TBool aUnload = ETrue);
    // Reads a text or shape resource file and runs aParser on each resource in it,
    // naming the k-th resource base + aSuffix + k.
    typedef void (CZController::*TResourceParserL)(TLex8& aLex, TPtrC aElementName, TBool aUnload);
    ZOLV_INTERNAL void LoadResourceFileL(TPtrC aFileName, TPtrC aElementName, TBool aUnload, const TDesC& aDir,
                           const TDesC& aSuffix, TResourceParserL aParser);
    // Movies: LoadMovie traps LoadMovieL and turns a leave into an empty player and 0.
    ZOLV_INTERNAL TInt LoadMovie(TPtrC aMovieName);
    ZOLV_INTERNAL TInt LoadMovieL(TPtrC aMovieName);
    ZOLV_INTERNAL void MovieListCreateL(TPtrC aData);
    ZOLV_INTERNAL void LoadMovieHeaderL(TLex8& aLex, TPtrC aMovieName);
    // One frame block; EFalse when the data ended or "EndMovie" closed the movie.
    ZOLV_INTERNAL TBool LoadMovieFrameL(TLex8& aLex, TPtrC aMovieName);
    ZOLV_INTERNAL void LoadMovieSpriteL(TLex8& aLex, CZFrame* aFrame, TPtrC aMovieName);

private:
    TFileName iAppFileName;
    TInt iMovieNumber;
    TInt iTempo;
    TBool iScreenSaver;
    TBool iMovieLoadFailed;
    TBool iStarted;
    RArray<TInt> iArray;
    TInt iArrayWd;
    TInt iArrayHt;
    CArrayPtrFlat<HBufC>* iMovieList;               // has-a
    CArrayPtrFlat<CZElement>* iBitmapList;          // has-a
    CArrayPtrFlat<CZElement>* iTextList;            // has-a
    CArrayPtrFlat<CZElement>* iShapeList;           // has-a
    CArrayPtrFlat<CZElement>* iBitmapArrayList;     // has-a
    CArrayPtrFlat<CZElement>* iSoundList;           // has-a
    CArrayPtrFlat<HBufC>* iCSVRowList;              // has-a
    CZPlayer* iPlayer;                              // has-a
    CZTimer* iTimer;                                // has-a
    CZImageLoader* iImageLoader;                    // has-a
    RFs iFsSession;
    CZView* iView;                                  // uses-a
    CZScript* iScript;                              // uses-a
    CEikAppUi* iAppUi;                              // uses-a
    friend class CZTimer;
    friend class CZPlayer;
    friend class CZView;
    friend class CZImageLoader;
    };

#endif // ZOLVANE_H
