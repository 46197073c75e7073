// Description strings: the first byte chooses text or shape; the rest, two bytes per
// character, is the string. Each input creates an element and then updates it.
#include "FuzzTextEngine.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  if (aSize < 1) return 0;
  FuzzText::Engine& engine = FuzzText::TheEngine();
  CZController& c = *engine.iController;
  const bool text = (aData[0] & 1) == 0;
  std::vector<TUint16> chars((aSize - 1) / 2);
  for (size_t i = 0; i < chars.size(); ++i) chars[i] = static_cast<TUint16>(aData[1 + 2 * i] | (aData[2 + 2 * i] << 8));
  const TPtrC description(chars.data(), static_cast<TInt>(chars.size()));
  _LIT(KName, "fuzz");
  for (int round = 0; round < 2; ++round) {
    CZElement* e = text ? c.ElementTextAdd(description, KName) : c.ElementShapeAdd(description, KName);
    FuzzText::Exercise(c, e, c.Player());
  }
  c.ElementRemove(KName);
  return 0;
}
