// One engine for the whole fuzzing run: a headless application environment and a
// controller, made on first use.
#ifndef FUZZ_TEXT_ENGINE_H
#define FUZZ_TEXT_ENGINE_H

#include <Zolvane.h>
#include <zhost_testing.h>

// The engine's own tests reach the concrete element behind a facade through this class.
class TZTestAccess {
public:
  static CZElementBase* Base(CZElement* aFacade) { return aFacade->Element(); }
};

namespace FuzzText {

struct Engine {
  ZHost::Testing::TestEnvironment iEnv;
  CZController* iController = nullptr;
  Engine() { iController = CZController::NewL(iEnv.AppUi()); }
};

inline Engine& TheEngine() {
  static Engine* engine = new Engine;  // lives for the whole run
  return *engine;
}

// Reads every result a drawing would ask for, so that layout and transformation run.
inline void Exercise(CZController& aController, CZElement* aElement, CZPlayer* aPlayer) {
  if (!aElement) return;
  if (aElement->Type() == TEXT_ELEMENT) {
    const TInt count = aElement->LineCount();
    for (TInt i = 0; i < count; ++i) aElement->Line(i);
    aElement->Height();
    aElement->Font();
    aElement->TextInsert(12345, 7);
    aElement->TextRemove(3, 4);
    aElement->Width(37);
    aElement->LineCount();
  } else if (aElement->Type() == SHAPE_ELEMENT) {
    CZElementShape* shape = static_cast<CZElementShape*>(TZTestAccess::Base(aElement));
    shape->CalculatePoints(TPoint(3, 4), TSize(321, 123), aPlayer->Cos(33), aPlayer->Sin(33));
    shape->PointRemove(1);
    shape->PointInsert(2, TPoint(7, 8));
  }
}

}  // namespace FuzzText

#endif
