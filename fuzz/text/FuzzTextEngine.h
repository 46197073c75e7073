// One engine for the whole fuzzing run: a headless application environment and a
// controller, made on first use.
#ifndef FUZZ_TEXT_ENGINE_H
#define FUZZ_TEXT_ENGINE_H

#include <Zolvane.h>
#include <zhost/files.h>
#include <zhost_testing.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

// The engine's own tests reach the concrete element behind a facade through this class.
class TZTestAccess {
public:
  static CZElementBase* Base(CZElement* aFacade) { return aFacade->Element(); }
};

namespace FuzzText {

struct Engine {
  ZHost::Testing::TestEnvironment iEnv;
  CZController* iController = nullptr;
  Engine() {
    iController = CZController::NewL(iEnv.AppUi());
    // The engine lives as long as the process; its folder goes when the process ends.
    static const std::string root = iEnv.Root();
    std::atexit([] {
      std::error_code error;
      std::filesystem::remove_all(root, error);
    });
  }

  // Gives the resource file aFolder\aName the contents aBytes, served from memory: the
  // file is made once, empty, and each input only replaces what reading it gives.
  void SetResource(const std::string& aFolder, const std::string& aName, const std::string& aBytes) {
    const std::string key = aFolder + "\\" + aName;
    auto it = iHostFiles.find(key);
    if (it == iHostFiles.end()) {
      if (!iEnv.WriteResourceInMemory(aFolder, aName, std::string())) std::abort();
      it = iHostFiles.emplace(key, iEnv.HostPath(iEnv.AppFolder() + key)).first;
    }
    ZHost::SetMemoryContents(it->second, aBytes);
  }

private:
  std::map<std::string, std::string> iHostFiles;
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
