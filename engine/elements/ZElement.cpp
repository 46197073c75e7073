// ZElement.cpp
//
// CZElement, the public facade of an element. It owns one concrete element and forwards
// each call to it after checking the element's type. Every operation exists on every
// element: an operation that does not act on the element's type, or a facade without
// element, does nothing and returns the operation's neutral value (0, an empty text, a
// zero point, rectangle, size or colour, or the documented default enumerator).
//
// Each operation names the types it acts on. The common ones (name, type, unload flag,
// size, registration point) act through CZElementBase; every type-specific operation is
// one branch per type that it acts on, reaching the concrete class through Concrete(),
//
//     if (CZElementBitmap* bitmap = Concrete<CZElementBitmap>(iElement, BITMAP_ELEMENT))
//         {
//         return bitmap->Pixel(aX, aY);
//         }
//     return 0;
//
// and falls through to its neutral value for every other type. An operation whose
// concrete classes are not part of the engine yet answers its neutral value for every
// element.
//
// No public operation leaves: operations that can fail run under a trap and answer 0.

#include "Zolvane.h"

namespace
{
// The concrete element behind aElement when it has the type aType, otherwise NULL. An
// element's concrete class follows from its type, which the concrete constructor sets.
template <class T>
inline T* Concrete(CZElementBase* aElement, TInt aType)
    {
    return (aElement && aElement->Type() == aType) ? static_cast<T*>(aElement) : NULL;
    }

// Sounds have no picture: size, rectangle and registration point do not apply to them.
inline TBool HasGeometry(const CZElementBase* aElement)
    {
    return aElement && aElement->Type() != SOUND_ELEMENT;
    }
}

CZElement::CZElement()
    {
    }

CZElement::~CZElement()
    {
    SAFE_DELETE(iElement);
    }

void CZElement::Element(CZElementBase* aElement)
    {
    if (aElement != iElement)
        {
        delete iElement;
        iElement = aElement;
        }
    }

// ---------------------------------------------------------------------------------------
// Common operations

// All types.
EXPORT_C TInt CZElement::Name(TPtrC aName)
    {
    if (!iElement)
        {
        return 0;
        }
    TRAPD(err, iElement->NameSetL(aName));
    return err == KErrNone ? 1 : 0;
    }

// All types.
EXPORT_C TPtrC CZElement::Name()
    {
    return iElement ? iElement->Name() : TPtrC();
    }

// All types.
EXPORT_C TInt CZElement::Type()
    {
    return iElement ? iElement->Type() : 0;
    }

// All types.
EXPORT_C TInt CZElement::Unload(TBool aUnload)
    {
    if (!iElement)
        {
        return 0;
        }
    iElement->UnloadSet(aUnload);
    return 1;
    }

// All types.
EXPORT_C TBool CZElement::Unload()
    {
    return iElement ? iElement->Unload() : EFalse;
    }

// All but sound. For a text this is the font height, not the laid-out height.
EXPORT_C TRect CZElement::Rect()
    {
    if (!HasGeometry(iElement))
        {
        return TRect(0, 0, 0, 0);
        }
    return TRect(0, 0, iElement->Width(), iElement->Height());
    }

// All but sound.
EXPORT_C TInt CZElement::Width()
    {
    return HasGeometry(iElement) ? iElement->Width() : 0;
    }

// All but sound (a text is to answer its laid-out height here, from its own branch).
EXPORT_C TInt CZElement::Height()
    {
    if (!HasGeometry(iElement))
        {
        return 0;
        }
    return iElement->Height();
    }

// Bitmap.
EXPORT_C TInt CZElement::Masked(TBool aMasked)
    {
    return 0;
    }

// Bitmap. Every other element counts as masked.
EXPORT_C TBool CZElement::Masked()
    {
    return ETrue;
    }

// All but sound. Answers 1 even when the point was clamped.
EXPORT_C TInt CZElement::RegPoint(TPoint aPoint)
    {
    if (!HasGeometry(iElement))
        {
        return 0;
        }
    iElement->RegPointSet(aPoint);
    return 1;
    }

// All but sound.
EXPORT_C TPoint CZElement::RegPoint()
    {
    return HasGeometry(iElement) ? iElement->RegPoint() : TPoint(0, 0);
    }

// ---------------------------------------------------------------------------------------
// Bitmaps

// Bitmap.
EXPORT_C TInt CZElement::Pixel(TInt aX, TInt aY, TUint16 aValue)
    {
    return 0;
    }

// Bitmap.
EXPORT_C TUint16 CZElement::Pixel(TInt aX, TInt aY)
    {
    return 0;
    }

// Bitmap.
EXPORT_C TUint16* CZElement::DataAddress()
    {
    return NULL;
    }

// Bitmap.
EXPORT_C TInt CZElement::Changed()
    {
    return 0;
    }

// Bitmap, drawing a non-null bitmap source.
EXPORT_C TInt CZElement::Draw(CZElement* aBitmap, TRect aTarget, TRect aClipRect, TBool aMask, TInt aBlend)
    {
    return 0;
    }

// ---------------------------------------------------------------------------------------
// Bitmap arrays

// Bitmap array.
EXPORT_C TInt CZElement::ArrayResize(TInt aWd, TInt aHt)
    {
    return 0;
    }

// Bitmap array.
EXPORT_C TInt CZElement::ArrayWidth()
    {
    return 0;
    }

// Bitmap array.
EXPORT_C TInt CZElement::ArrayHeight()
    {
    return 0;
    }

// Bitmap array.
EXPORT_C TInt CZElement::Bitmap(TInt aX, TInt aY, CZElement* aMember)
    {
    return 0;
    }

// Bitmap array.
EXPORT_C CZElement* CZElement::Bitmap(TInt aX, TInt aY)
    {
    return NULL;
    }

// ---------------------------------------------------------------------------------------
// Texts

// Text.
EXPORT_C TInt CZElement::Text(TPtrC aText)
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::Text(TInt aInt)
    {
    return 0;
    }

// Text.
EXPORT_C TPtrC CZElement::Text()
    {
    return TPtrC();
    }

// Text.
EXPORT_C TInt CZElement::TextInsert(TPtrC aText, TInt aPos)
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::TextInsert(TInt aInt, TInt aPos)
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::TextRemove(TInt aPos, TInt aCount)
    {
    return 0;
    }

// Text: the wrapping width.
EXPORT_C TInt CZElement::Width(TInt aWidth)
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineHeight(TInt aHeight)
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineHeight()
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineFeedHeight(TInt aHeight)
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineFeedHeight()
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineCount()
    {
    return 0;
    }

// Text.
EXPORT_C TPtrC CZElement::Line(TInt aNumber)
    {
    return TPtrC();
    }

// Text.
EXPORT_C TInt CZElement::Font(TPtrC aFontName)
    {
    return 0;
    }

// Text.
EXPORT_C TPtrC CZElement::Font()
    {
    return TPtrC();
    }

// Text.
EXPORT_C TInt CZElement::FontSize(TInt aFontSize)
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::FontSize()
    {
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::FontStrokeWeight(TFontStrokeWeight aStrokeWeight)
    {
    return 0;
    }

// Text.
EXPORT_C TFontStrokeWeight CZElement::FontStrokeWeight()
    {
    return EStrokeWeightNormal;
    }

// Text.
EXPORT_C TInt CZElement::FontPosture(TFontPosture aPosture)
    {
    return 0;
    }

// Text.
EXPORT_C TFontPosture CZElement::FontPosture()
    {
    return EPostureUpright;
    }

// Text.
EXPORT_C TInt CZElement::FontAlignment(CGraphicsContext::TTextAlign aAlignment)
    {
    return 0;
    }

// Text.
EXPORT_C CGraphicsContext::TTextAlign CZElement::FontAlignment()
    {
    return CGraphicsContext::ELeft;
    }

// ---------------------------------------------------------------------------------------
// Vector shapes

// Shape.
EXPORT_C TInt CZElement::Point(TInt aIndex, TPoint aPoint)
    {
    return 0;
    }

// Shape.
EXPORT_C TPoint CZElement::Point(TInt aIndex)
    {
    return TPoint(0, 0);
    }

// Shape.
EXPORT_C TInt CZElement::PointInsert(TInt aIndex, TPoint aValue)
    {
    return 0;
    }

// Shape.
EXPORT_C TInt CZElement::PointRemove(TInt aIndex)
    {
    return 0;
    }

// Shape.
EXPORT_C TInt CZElement::PenSize(TSize aPenSize)
    {
    return 0;
    }

// Shape.
EXPORT_C TSize CZElement::PenSize()
    {
    return TSize(0, 0);
    }

// Shape.
EXPORT_C TInt CZElement::PenStyle(CGraphicsContext::TPenStyle aPenStyle)
    {
    return 0;
    }

// Shape.
EXPORT_C CGraphicsContext::TPenStyle CZElement::PenStyle()
    {
    return CGraphicsContext::ENullPen;
    }

// Shape.
EXPORT_C TInt CZElement::BrushColor(TRgb aColor)
    {
    return 0;
    }

// Shape.
EXPORT_C TRgb CZElement::BrushColor()
    {
    return TRgb(0, 0, 0);
    }

// Shape.
EXPORT_C TInt CZElement::BrushStyle(CGraphicsContext::TBrushStyle aBrushStyle)
    {
    return 0;
    }

// Shape.
EXPORT_C CGraphicsContext::TBrushStyle CZElement::BrushStyle()
    {
    return CGraphicsContext::ENullBrush;
    }

// Text (text colour) and shape (pen colour).
EXPORT_C TInt CZElement::Color(TRgb aColor)
    {
    return 0;
    }

// Text (text colour) and shape (pen colour).
EXPORT_C TRgb CZElement::Color()
    {
    return TRgb(0, 0, 0);
    }

// ---------------------------------------------------------------------------------------
// Sounds

// Sound. The channel and volume are accepted and not used: the player plays one sound
// at a time at its own volume.
EXPORT_C TInt CZElement::SoundPlay(TInt aChannel, TInt aVolume)
    {
    return 0;
    }

// Sound. The channel is accepted and not used.
EXPORT_C TInt CZElement::SoundStop(TInt aChannel)
    {
    return 0;
    }
