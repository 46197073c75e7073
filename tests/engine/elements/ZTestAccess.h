// ZTestAccess.h
//
// Test access to the engine's element facade and sprites, whose constructors and
// internal operations are reserved to the engine's own classes, and a minimal concrete
// element for exercising the common element behaviour.

#ifndef ZTEST_ACCESS_H
#define ZTEST_ACCESS_H

#include <Zolvane.h>

class TZTestAccess
    {
public:
    // A facade owning aElement (may be NULL). Leaves on allocation failure.
    static CZElement* NewFacadeL(CZElementBase* aElement)
        {
        CZElement* facade = new (ELeave) CZElement();
        facade->Element(aElement);
        return facade;
        }
    static void Attach(CZElement* aFacade, CZElementBase* aElement) { aFacade->Element(aElement); }
    static void DeleteFacade(CZElement* aFacade) { delete aFacade; }
    static CZElementBase* Base(CZElement* aFacade) { return aFacade->Element(); }

    static CZSprite* NewSpriteL() { return new (ELeave) CZSprite(); }
    static void DeleteSprite(CZSprite* aSprite) { delete aSprite; }
    static CZPlayer* Player(CZSprite* aSprite) { return aSprite->iPlayer; }
    static void Update(CZSprite* aSprite) { aSprite->Update(); }
    static void Channel(CZSprite* aSprite, TInt aChannel) { aSprite->Channel(aChannel); }
    static void LifeTime(CZSprite* aSprite, TInt aLifeTime) { aSprite->LifeTime(aLifeTime); }
    static TInt LifeTime(CZSprite* aSprite) { return aSprite->LifeTime(); }
    static void ShapeLookCopy(CZSprite* aSprite, CZSprite* aTemplate) { aSprite->ShapeLookCopy(aTemplate); }
    static void ElementChanged(CZSprite* aSprite) { aSprite->ElementChanged(); }
    };

// An element of any type number with only the common behaviour. Tests use it with type
// numbers whose type-specific operations they do not call, so that it never stands in
// for a concrete class that the facade would reach.
class CTestElement : public CZElementBase
    {
public:
    explicit CTestElement(TInt aType, TBool* aDestroyed = NULL)
        : CZElementBase(aType), iDestroyed(aDestroyed) {}
    ~CTestElement() { if (iDestroyed) *iDestroyed = ETrue; }
    using CZElementBase::Changed;

private:
    TBool* iDestroyed;
    };

#endif
