// ZElementBitmapArray.cpp
//
// CZElementBitmapArray: a grid of cells that use bitmap elements (for tiled sprites). A
// filled cell counts as one use of its member; the array never owns its members.

#include "Zolvane.h"

namespace
{
const TInt KZCellGranularity = 16;
const TInt KZArraySide = 100;
}

CZElementBitmapArray::CZElementBitmapArray()
    : CZElementBase(BITMAP_ARRAY_ELEMENT), iBitmapList(NULL), iXCount(0), iYCount(0)
    {
    iWidth = KZArraySide;
    iHeight = KZArraySide;
    }

CZElementBitmapArray* CZElementBitmapArray::NewLC()
    {
    CZElementBitmapArray* self = new (ELeave) CZElementBitmapArray;
    CleanupStack::PushL(self);
    return self;
    }

CZElementBitmapArray* CZElementBitmapArray::NewL()
    {
    CZElementBitmapArray* self = NewLC();
    CleanupStack::Pop(self);
    return self;
    }

CZElementBitmapArray::~CZElementBitmapArray()
    {
    CellsRelease();
    }

void CZElementBitmapArray::CellsRelease()
    {
    if (iBitmapList)
        {
        for (TInt i = 0; i < iBitmapList->Count(); i++)
            {
            if (CZElement* member = iBitmapList->At(i))
                {
                member->Element()->AccessRemove();
                }
            }
        }
    SAFE_DELETE(iBitmapList);
    iXCount = 0;
    iYCount = 0;
    }

TInt CZElementBitmapArray::SizeSet(TInt aWd, TInt aHt)
    {
    Changed();
    CellsRelease();
    // A negative side means no cells in that direction (and two negative sides must not
    // multiply into a positive cell count).
    const TInt wd = aWd > 0 ? aWd : 0;
    const TInt ht = aHt > 0 ? aHt : 0;
    const TInt64 cells = static_cast<TInt64>(wd) * ht;
    CArrayPtrFlat<CZElement>* list = new CArrayPtrFlat<CZElement>(KZCellGranularity);
    if (!list)
        {
        return 0;
        }
    TInt err = KErrNoMemory;
    if (cells <= KMaxTInt / static_cast<TInt>(sizeof(CZElement*)))
        {
        TRAP(err, list->ResizeL(static_cast<TInt>(cells)));
        }
    if (err != KErrNone)
        {
        delete list;
        return 0;
        }
    iBitmapList = list;
    iXCount = wd;
    iYCount = ht;
    return 1;
    }

TInt CZElementBitmapArray::BitmapSet(TInt aX, TInt aY, CZElement* aBitmap)
    {
    if (aX < 0 || aY < 0 || aX >= iXCount || aY >= iYCount || !aBitmap || aBitmap->Type() != BITMAP_ELEMENT)
        {
        return 0;
        }
    CZElement*& cell = iBitmapList->At(aX + aY * iXCount);
    // The new member is counted before the old one is released, so a cell refilled with
    // its own member never sees the count drop to 0 on the way.
    aBitmap->Element()->AccessAdd();
    if (cell)
        {
        cell->Element()->AccessRemove();
        }
    cell = aBitmap;
    Changed();
    return 1;
    }

CZElement* CZElementBitmapArray::BitmapGet(TInt aX, TInt aY) const
    {
    if (aX < 0 || aY < 0 || aX >= iXCount || aY >= iYCount || !iBitmapList)
        {
        return NULL;
        }
    return iBitmapList->At(aX + aY * iXCount);
    }
