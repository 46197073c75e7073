// Resource files: the first byte chooses a text or a shape file; the rest is the file.
#include "FuzzTextEngine.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* aData, size_t aSize) {
  if (aSize < 1) return 0;
  FuzzText::Engine& engine = FuzzText::TheEngine();
  CZController& c = *engine.iController;
  const bool text = (aData[0] & 1) == 0;
  const std::string bytes(reinterpret_cast<const char*>(aData + 1), aSize - 1);
  engine.SetResource(text ? "Texts" : "Shapes", "f.res", bytes);
  _LIT(KFile, "f.res");
  _LIT(KBase, "r");
  TRAPD(err, text ? c.LoadFileTextL(KFile, KBase) : c.LoadFileShapeL(KFile, KBase));
  (void)err;
  TBuf<32> name;
  for (TInt k = 1;; ++k) {
    name.Copy(KBase);
    name.Append(text ? _L("_txt_") : _L("_shp_"));
    name.AppendNum(k);
    CZElement* e = c.Element(name);
    if (!e) break;
    FuzzText::Exercise(c, e, c.Player());
  }
  // Everything made from the file goes again, so every input starts from nothing.
  c.Reset();
  return 0;
}
