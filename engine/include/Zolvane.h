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

class CZScript : public CBase
    {
public:
    IMPORT_C CZController* Controller();

    virtual void FrameBeginL(TInt aFrameNumber, TPtrC aMovie) = 0;
    virtual void FrameEndL(TInt aFrameNumber, TPtrC aMovie) = 0;
    virtual TKeyResponse KeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType) = 0;
    // Called with the whole file in memory before it is parsed; the result is ignored.
    virtual TInt Decrypt(TPtr8 aBuffer, TPtrC aFileName) = 0;

private:
    void Controller(CZController* aController);

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

class CZElement : public CBase
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
    CZElement();
    ~CZElement();
    CZElementBase* Element() { return iElement; }
    void Element(CZElementBase* aElement);

private:
    CZElementBase* iElement;        // has-a
    friend class CZController;
    friend class CZPlayer;
    friend class CZFrame;
    friend class CZSprite;
    friend class CZView;
    friend class TZTestAccess;      // the engine's own tests
    };

// ---------------------------------------------------------------------------------------
// CZSprite: one drawing channel: an element or a simple shape with its location, z,
// size, angle, blend, mask, visibility, clipping and transition.

class CZSprite : public CBase
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
    CZSprite();
    ~CZSprite();
    void Channel(TInt aChannel);
    void LifeTime(TInt aLifeTime);
    TInt LifeTime();
    void ElementChanged();
    void Player(CZPlayer* aPlayer);
    void Update();
    void ViewClipRect();
    void ViewDrawRect(TRect aRect);
    void ShapeLookCopy(CZSprite* aTemplate);
    // Tells the player that what this sprite draws has changed.
    void Notify();
    // Releases any element and makes the sprite the simple shape aShapeType in the box
    // spanned by the two corners.
    void ShapeBox(TPoint aPoint1, TPoint aPoint2, TInt aShapeType);
    // True when the sprite shows a bitmap and both the sprite and the element mask.
    TBool IsPixelMasked();

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
// control stack for key events.

class CZView : public CCoeControl
    {
public:
    IMPORT_C static CZView* NewL(const TRect& aRect, CCoeControl* aParent, TBool aBackBuffer = EFalse);
    IMPORT_C ~CZView();
    IMPORT_C void Update() const;
    IMPORT_C TKeyResponse OfferKeyEventL(const TKeyEvent& aKeyEvent, TEventCode aType);
    IMPORT_C TInt Width();
    IMPORT_C TInt Height();
    IMPORT_C TBool BackBuffer();

    // Redraws performed so far (each Update is one).
    TInt UpdateCount() const { return iUpdateCount; }

private:
    CZView();
    void ConstructL(const TRect& aRect, CCoeControl* aParent, TBool aBackBuffer);
    void Player(CZPlayer* aPlayer) { iPlayer = aPlayer; }

private:
    CZPlayer* iPlayer;              // uses-a
    TInt iWidth;
    TInt iHeight;
    TBool iBackBuffer;
    mutable TInt iUpdateCount;
    friend class CZController;
    friend class CZSprite;
    };

// ---------------------------------------------------------------------------------------
// CZController: the one object through which an application drives the engine.

class CZController : public CBase
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

    // Sprite channels
    IMPORT_C TInt SpriteChannelAllocate(TInt aCount);
    IMPORT_C CZSprite* Sprite(TInt aSpriteChannel);
    IMPORT_C TInt ChannelCount();

    // Elements
    IMPORT_C CZElement* Element(TPtrC aName);
    IMPORT_C TInt ElementRemove(TPtrC aName);

    // Data tables
    IMPORT_C TInt ArrayValue(TInt aX, TInt aY);
    IMPORT_C void ArrayReset();
    IMPORT_C TPtrC CSVCell(TInt aColumn, TInt aRow, TInt* aError);
    IMPORT_C TInt CSVCellInt(TInt aColumn, TInt aRow, TInt* aError);
    IMPORT_C TInt CSVRowCount();
    IMPORT_C void CSVReset();
    IMPORT_C TInt LoadFileArrayL(TPtrC aFileName, TInt aWd, TInt aHt);
    IMPORT_C TInt LoadFileCSVL(TPtrC aFileName);

private:
    CZController();
    void ConstructL(CEikAppUi* aAppUi);
    void UpdateL();
    TPtrC MovieName();
    void ElementListsDestroy();
    void ElementListDestroy(CArrayPtrFlat<CZElement>*& aList);
    TBool ElementFind(TPtrC aName, CArrayPtrFlat<CZElement>*& aList, TInt& aIndex);
    // Resolves a loader's file name against the application's directory and the
    // loader's subdirectory. Returns KErrNone or KErrBadName.
    TInt ResolvePath(TPtrC aFileName, const TDesC& aSubDir, TFileName& aPath);
    // Reads a whole file into a new buffer left on the cleanup stack and passes it
    // through the script's Decrypt.
    HBufC8* ReadFileLC(const TDesC& aPath, TPtrC aFileName);

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
    RFs iFsSession;
    CZView* iView;                                  // uses-a
    CZScript* iScript;                              // uses-a
    CEikAppUi* iAppUi;                              // uses-a
    friend class CZTimer;
    friend class CZPlayer;
    friend class CZView;
    };

#endif // ZOLVANE_H
