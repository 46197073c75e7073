// ZScript.cpp
//
// The script base: the controller keeps the back-pointer current.

#include <Zolvane.h>

EXPORT_C CZController* CZScript::Controller()
    {
    return iController;
    }

void CZScript::Controller(CZController* aController)
    {
    iController = aController;
    }
