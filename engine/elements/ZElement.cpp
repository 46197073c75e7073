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
// and falls through to its neutral value for every other type.
//
// No public operation leaves: operations that can fail run under a trap and answer 0.

#include "Zolvane.h"

namespace
{
// The concrete element behind aElement when it has the type aType and is of that
// type's class, otherwise NULL. The type number alone is not trusted: any class derived
// from CZElementBase can claim one (the tests' plain elements do).
template <class T>
inline T* Concrete(CZElementBase* aElement, TInt aType)
    {
    return (aElement && aElement->Type() == aType) ? dynamic_cast<T*>(aElement) : NULL;
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

// All but sound. A text answers its laid-out height.
EXPORT_C TInt CZElement::Height()
    {
    if (!HasGeometry(iElement))
        {
        return 0;
        }
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->Height();
        }
    return iElement->Height();
    }

// Bitmap.
EXPORT_C TInt CZElement::Masked(TBool aMasked)
    {
    if (CZElementBitmap* bitmap = Concrete<CZElementBitmap>(iElement, BITMAP_ELEMENT))
        {
        return bitmap->MaskedSet(aMasked);
        }
    return 0;
    }

// Bitmap. Every other element counts as masked.
EXPORT_C TBool CZElement::Masked()
    {
    if (CZElementBitmap* bitmap = Concrete<CZElementBitmap>(iElement, BITMAP_ELEMENT))
        {
        return bitmap->Masked();
        }
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
    if (CZElementBitmap* bitmap = Concrete<CZElementBitmap>(iElement, BITMAP_ELEMENT))
        {
        return bitmap->PixelSet(aX, aY, aValue);
        }
    return 0;
    }

// Bitmap.
EXPORT_C TUint16 CZElement::Pixel(TInt aX, TInt aY)
    {
    if (CZElementBitmap* bitmap = Concrete<CZElementBitmap>(iElement, BITMAP_ELEMENT))
        {
        return bitmap->Pixel(aX, aY);
        }
    return 0;
    }

// Bitmap.
EXPORT_C TUint16* CZElement::DataAddress()
    {
    if (CZElementBitmap* bitmap = Concrete<CZElementBitmap>(iElement, BITMAP_ELEMENT))
        {
        return bitmap->DataAddress();
        }
    return NULL;
    }

// Bitmap.
EXPORT_C TInt CZElement::Changed()
    {
    if (CZElementBitmap* bitmap = Concrete<CZElementBitmap>(iElement, BITMAP_ELEMENT))
        {
        bitmap->Changed();
        return 1;
        }
    return 0;
    }

// Bitmap, drawing a non-null bitmap source.
EXPORT_C TInt CZElement::Draw(CZElement* aBitmap, TRect aTarget, TRect aClipRect, TBool aMask, TInt aBlend)
    {
    CZElementBitmap* target = Concrete<CZElementBitmap>(iElement, BITMAP_ELEMENT);
    CZElementBitmap* source = aBitmap ? Concrete<CZElementBitmap>(aBitmap->iElement, BITMAP_ELEMENT) : NULL;
    if (!target || !source)
        {
        return 0;
        }
    target->DrawBitmap(source->Bitmap(), aTarget, aClipRect, aMask, aBlend);
    return 1;
    }

// ---------------------------------------------------------------------------------------
// Bitmap arrays

// Bitmap array.
EXPORT_C TInt CZElement::ArrayResize(TInt aWd, TInt aHt)
    {
    if (CZElementBitmapArray* array = Concrete<CZElementBitmapArray>(iElement, BITMAP_ARRAY_ELEMENT))
        {
        return array->SizeSet(aWd, aHt);
        }
    return 0;
    }

// Bitmap array.
EXPORT_C TInt CZElement::ArrayWidth()
    {
    if (CZElementBitmapArray* array = Concrete<CZElementBitmapArray>(iElement, BITMAP_ARRAY_ELEMENT))
        {
        return array->ArrayWidth();
        }
    return 0;
    }

// Bitmap array.
EXPORT_C TInt CZElement::ArrayHeight()
    {
    if (CZElementBitmapArray* array = Concrete<CZElementBitmapArray>(iElement, BITMAP_ARRAY_ELEMENT))
        {
        return array->ArrayHeight();
        }
    return 0;
    }

// Bitmap array.
EXPORT_C TInt CZElement::Bitmap(TInt aX, TInt aY, CZElement* aMember)
    {
    if (CZElementBitmapArray* array = Concrete<CZElementBitmapArray>(iElement, BITMAP_ARRAY_ELEMENT))
        {
        return array->BitmapSet(aX, aY, aMember);
        }
    return 0;
    }

// Bitmap array.
EXPORT_C CZElement* CZElement::Bitmap(TInt aX, TInt aY)
    {
    if (CZElementBitmapArray* array = Concrete<CZElementBitmapArray>(iElement, BITMAP_ARRAY_ELEMENT))
        {
        return array->BitmapGet(aX, aY);
        }
    return NULL;
    }

// ---------------------------------------------------------------------------------------
// Texts

// Text.
EXPORT_C TInt CZElement::Text(TPtrC aText)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        TRAPD(err, text->TextSetDesL(aText));
        return err == KErrNone ? 1 : 0;
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::Text(TInt aInt)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        TBuf<32> number;
        number.Num(aInt);
        TRAPD(err, text->TextSetDesL(number));
        return err == KErrNone ? 1 : 0;
        }
    return 0;
    }

// Text.
EXPORT_C TPtrC CZElement::Text()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->Text();
        }
    return TPtrC();
    }

// Text.
EXPORT_C TInt CZElement::TextInsert(TPtrC aText, TInt aPos)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        TRAPD(err, text->TextInsertL(aText, aPos));
        return err == KErrNone ? 1 : 0;
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::TextInsert(TInt aInt, TInt aPos)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        TBuf<32> number;
        number.Num(aInt);
        TRAPD(err, text->TextInsertL(number, aPos));
        return err == KErrNone ? 1 : 0;
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::TextRemove(TInt aPos, TInt aCount)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        TRAPD(err, text->TextRemoveL(aPos, aCount));
        return err == KErrNone ? 1 : 0;
        }
    return 0;
    }

// Text: the wrapping width.
EXPORT_C TInt CZElement::Width(TInt aWidth)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->WidthSet(aWidth);
        return 1;
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineHeight(TInt aHeight)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->LineHeightSet(aHeight);
        return 1;
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineHeight()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->LineHeight();
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineFeedHeight(TInt aHeight)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->LineFeedHeightSet(aHeight);
        return 1;
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineFeedHeight()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->LineFeedHeight();
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::LineCount()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->LineCount();
        }
    return 0;
    }

// Text.
EXPORT_C TPtrC CZElement::Line(TInt aNumber)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        TBool crlf = EFalse;
        return text->Line(aNumber, crlf);
        }
    return TPtrC();
    }

// Text.
EXPORT_C TInt CZElement::Font(TPtrC aFontName)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->FontSet(aFontName);
        return 1;
        }
    return 0;
    }

// Text.
EXPORT_C TPtrC CZElement::Font()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->FontName();
        }
    return TPtrC();
    }

// Text.
EXPORT_C TInt CZElement::FontSize(TInt aFontSize)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->FontSizeSet(aFontSize);
        return 1;
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::FontSize()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->FontSize();
        }
    return 0;
    }

// Text.
EXPORT_C TInt CZElement::FontStrokeWeight(TFontStrokeWeight aStrokeWeight)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->FontStrokeWeightSet(aStrokeWeight);
        return 1;
        }
    return 0;
    }

// Text.
EXPORT_C TFontStrokeWeight CZElement::FontStrokeWeight()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->FontStrokeWeight();
        }
    return EStrokeWeightNormal;
    }

// Text.
EXPORT_C TInt CZElement::FontPosture(TFontPosture aPosture)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->FontPostureSet(aPosture);
        return 1;
        }
    return 0;
    }

// Text.
EXPORT_C TFontPosture CZElement::FontPosture()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->FontPosture();
        }
    return EPostureUpright;
    }

// Text.
EXPORT_C TInt CZElement::FontAlignment(CGraphicsContext::TTextAlign aAlignment)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->AlignmentSet(aAlignment);
        return 1;
        }
    return 0;
    }

// Text.
EXPORT_C CGraphicsContext::TTextAlign CZElement::FontAlignment()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->Alignment();
        }
    return CGraphicsContext::ELeft;
    }

// ---------------------------------------------------------------------------------------
// Vector shapes

// Shape.
EXPORT_C TInt CZElement::Point(TInt aIndex, TPoint aPoint)
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->PointSet(aIndex, aPoint);
        }
    return 0;
    }

// Shape.
EXPORT_C TPoint CZElement::Point(TInt aIndex)
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->Point(aIndex);
        }
    return TPoint(0, 0);
    }

// Shape.
EXPORT_C TInt CZElement::PointInsert(TInt aIndex, TPoint aValue)
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->PointInsert(aIndex, aValue);
        }
    return 0;
    }

// Shape.
EXPORT_C TInt CZElement::PointRemove(TInt aIndex)
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->PointRemove(aIndex);
        }
    return 0;
    }

// Shape.
EXPORT_C TInt CZElement::PenSize(TSize aPenSize)
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        shape->PenSizeSet(aPenSize);
        return 1;
        }
    return 0;
    }

// Shape.
EXPORT_C TSize CZElement::PenSize()
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->PenSize();
        }
    return TSize(0, 0);
    }

// Shape.
EXPORT_C TInt CZElement::PenStyle(CGraphicsContext::TPenStyle aPenStyle)
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        shape->PenStyleSet(aPenStyle);
        return 1;
        }
    return 0;
    }

// Shape.
EXPORT_C CGraphicsContext::TPenStyle CZElement::PenStyle()
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->PenStyle();
        }
    return CGraphicsContext::ENullPen;
    }

// Shape.
EXPORT_C TInt CZElement::BrushColor(TRgb aColor)
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        shape->BrushColorSet(aColor);
        return 1;
        }
    return 0;
    }

// Shape.
EXPORT_C TRgb CZElement::BrushColor()
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->BrushColor();
        }
    return TRgb(0, 0, 0);
    }

// Shape.
EXPORT_C TInt CZElement::BrushStyle(CGraphicsContext::TBrushStyle aBrushStyle)
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        shape->BrushStyleSet(aBrushStyle);
        return 1;
        }
    return 0;
    }

// Shape.
EXPORT_C CGraphicsContext::TBrushStyle CZElement::BrushStyle()
    {
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->BrushStyle();
        }
    return CGraphicsContext::ENullBrush;
    }

// Text (text colour) and shape (pen colour).
EXPORT_C TInt CZElement::Color(TRgb aColor)
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        text->ColorSet(aColor);
        return 1;
        }
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        shape->PenColorSet(aColor);
        return 1;
        }
    return 0;
    }

// Text (text colour) and shape (pen colour).
EXPORT_C TRgb CZElement::Color()
    {
    if (CZElementText* text = Concrete<CZElementText>(iElement, TEXT_ELEMENT))
        {
        return text->Color();
        }
    if (CZElementShape* shape = Concrete<CZElementShape>(iElement, SHAPE_ELEMENT))
        {
        return shape->PenColor();
        }
    return TRgb(0, 0, 0);
    }

// ---------------------------------------------------------------------------------------
// Sounds

// Sound. The channel and volume are accepted and not used: the player plays one sound
// at a time at its own volume.
EXPORT_C TInt CZElement::SoundPlay(TInt aChannel, TInt aVolume)
    {
    if (CZElementSound* sound = Concrete<CZElementSound>(iElement, SOUND_ELEMENT))
        {
        sound->SoundPlay();
        return 1;
        }
    return 0;
    }

// Sound. The channel is accepted and not used.
EXPORT_C TInt CZElement::SoundStop(TInt aChannel)
    {
    if (CZElementSound* sound = Concrete<CZElementSound>(iElement, SOUND_ELEMENT))
        {
        sound->SoundStop();
        return 1;
        }
    return 0;
    }
