// ZControllerElements.cpp
//
// Creation of bitmap and bitmap-array elements by name. Creation never leaves: every
// allocation or naming failure frees what was made and gives NULL.

#include "Zolvane.h"

namespace
{
inline TInt AtMost(TInt aValue, TInt aMax)
    {
    return aValue > aMax ? aMax : aValue;
    }
}

EXPORT_C CZElement* CZController::ElementBitmapAdd(TInt aWd, TInt aHt, TPtrC aName)
    {
    CWsBitmap* bitmap = new CWsBitmap;
    if (!bitmap)
        {
        return NULL;
        }
    if (bitmap->Create(TSize(AtMost(aWd, BITMAP_MAX_SIZE), AtMost(aHt, BITMAP_MAX_SIZE)), EColor4K) != KErrNone)
        {
        delete bitmap;
        return NULL;
        }
    CZElement* element = ElementBitmapAdd(bitmap, aName);
    if (!element)
        {
        delete bitmap;
        }
    return element;
    }

CZElement* CZController::ElementBitmapAdd(CWsBitmap* aBitmap, TPtrC aName)
    {
    if (!aBitmap || aBitmap->DisplayMode() != EColor4K)
        {
        return NULL;
        }
    CZElement* element = Element(aName);
    if (!element)
        {
        // A new, named bitmap element at the end of the bitmap list. The bitmap is
        // attached only once nothing can fail any more, so on failure it is still the
        // caller's.
        auto newElementL = [this, aName]() -> CZElement*
            {
            CZElementBitmap* bitmap = CZElementBitmap::NewLC();
            CZElement* facade = new (ELeave) CZElement;
            facade->Element(bitmap);
            CleanupStack::Pop(bitmap);
            CleanupStack::PushL(facade);
            if (!facade->Name(aName))
                {
                User::Leave(KErrNoMemory);
                }
            iBitmapList->AppendL(facade);
            CleanupStack::Pop(facade);
            return facade;
            };
        TRAPD(err, element = newElementL());
        if (err != KErrNone)
            {
            return NULL;
            }
        }
    else if (element->Type() != BITMAP_ELEMENT)
        {
        return NULL;
        }
    static_cast<CZElementBitmap*>(element->Element())->BitmapSet(aBitmap);
    return element;
    }

EXPORT_C CZElement* CZController::ElementBitmapArrayAdd(TInt aWd, TInt aHt, TPtrC aName)
    {
    CZElement* element = Element(aName);
    if (element)
        {
        // An existing array is resized, which empties it.
        if (element->Type() != BITMAP_ARRAY_ELEMENT)
            {
            return NULL;
            }
        return static_cast<CZElementBitmapArray*>(element->Element())->SizeSet(aWd, aHt) ? element : NULL;
        }
    auto newElementL = [this, aWd, aHt, aName]() -> CZElement*
        {
        CZElementBitmapArray* array = CZElementBitmapArray::NewLC();
        if (!array->SizeSet(aWd, aHt))
            {
            User::Leave(KErrNoMemory);
            }
        CZElement* facade = new (ELeave) CZElement;
        facade->Element(array);
        CleanupStack::Pop(array);
        CleanupStack::PushL(facade);
        if (!facade->Name(aName))
            {
            User::Leave(KErrNoMemory);
            }
        iBitmapArrayList->AppendL(facade);
        CleanupStack::Pop(facade);
        return facade;
        };
    TRAPD(err, element = newElementL());
    return err == KErrNone ? element : NULL;
    }
