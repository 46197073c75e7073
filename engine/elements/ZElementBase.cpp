// ZElementBase.cpp
//
// What every concrete element shares: its name, type, size, registration point, the
// unload and changed flags, and the count of its current users.

#include "Zolvane.h"

namespace
{
inline TInt Clamp(TInt aValue, TInt aMin, TInt aMax)
    {
    return aValue < aMin ? aMin : (aValue > aMax ? aMax : aValue);
    }
}

CZElementBase::CZElementBase(TInt aType)
    : iName(NULL), iType(aType), iUnload(ETrue), iIsChanged(EFalse), iWidth(1), iHeight(1),
      iRegPoint(0, 0), iAccessCount(0)
    {
    }

CZElementBase::~CZElementBase()
    {
    SAFE_DELETE(iName);
    }

void CZElementBase::NameSetL(TPtrC aName)
    {
    // The old name goes first, so a failed copy leaves the element nameless rather
    // than with a stale name.
    SAFE_DELETE(iName);
    iName = aName.AllocL();
    }

TPtrC CZElementBase::Name() const
    {
    if (!iName)
        {
        return TPtrC();
        }
    return TPtrC(*iName);
    }

void CZElementBase::WidthSet(TInt aWidth)
    {
    const TInt width = aWidth < 1 ? 1 : aWidth;
    if (width != iWidth)
        {
        iWidth = width;
        Changed();
        }
    }

void CZElementBase::HeightSet(TInt aHeight)
    {
    const TInt height = aHeight < 1 ? 1 : aHeight;
    if (height != iHeight)
        {
        iHeight = height;
        Changed();
        }
    }

void CZElementBase::RegPointSet(TPoint aValue)
    {
    // The point may lie on the far edge (x == width), not beyond it.
    const TInt x = Clamp(Clamp(aValue.iX, ELEMENT_POINT_MIN, ELEMENT_POINT_MAX), ELEMENT_POINT_MIN, iWidth);
    const TInt y = Clamp(Clamp(aValue.iY, ELEMENT_POINT_MIN, ELEMENT_POINT_MAX), ELEMENT_POINT_MIN, iHeight);
    if (x != iRegPoint.iX || y != iRegPoint.iY)
        {
        iRegPoint.iX = x;
        iRegPoint.iY = y;
        Changed();
        }
    }
