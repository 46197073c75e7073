// Arbitrary bytes as a movie file and as a movie list file. Each input runs on a new
// controller in the headless application environment: the bytes are loaded as the movie
// "f" (with two bitmaps, a picture file and a sound of that movie present, so records and
// resources can resolve), the movie is run to its end, the bytes are loaded again as a
// movie list file, the movie is loaded once more with a diagnostics observer set (as the
// movie checker runs it), and the controller is deleted. Every cell the engine allocated
// must be freed again.
#include <Zolvane.h>
#include <ZDiagnostics.h>
#include <zhost/userlib.h>
#include <zhost_testing.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "MediaTestFiles.h"

namespace {

class CFuzzScript : public CZScript {
public:
  void FrameBeginL(TInt, TPtrC) override {}
  void FrameEndL(TInt, TPtrC) override {}
  TKeyResponse KeyEventL(const TKeyEvent&, TEventCode) override { return EKeyWasNotConsumed; }
  TInt Decrypt(TPtr8, TPtrC) override { return KErrNone; }
};

// Hears the parsers' reports and checks their places.
class TFuzzObserver : public MZDiagnosticObserver {
public:
  void Diagnostic(const TDesC&, TInt aLine, TInt aColumn, TKind, const TDesC8& aMessage) override {
    if (aLine < 0 || aColumn < 0 || (aLine == 0) != (aColumn == 0) || aMessage.Length() == 0) std::abort();
  }
};

ZHost::Testing::TestEnvironment* gEnv = nullptr;

void AddBitmap(CZController* aController, const TDesC& aName) {
  CZElement* element = aController->ElementBitmapAdd(3, 2, aName);
  if (element) element->Unload(EFalse);
}

void RunOnce(const std::string& aBytes) {
  gEnv->WriteResource("Movies", "f.movie", aBytes);
  gEnv->WriteFile(gEnv->AppFolder() + "list.txt", aBytes);

  CFuzzScript script;
  CZController* controller = NULL;
  TRAPD(err, controller = CZController::NewL(gEnv->AppUi()));
  if (err != KErrNone) std::abort();
  controller->Script(&script);
  controller->SpriteChannelAllocate(4);
  AddBitmap(controller, _L("f_bmp_1"));
  AddBitmap(controller, _L("f_shp_1"));

  TRAP(err, controller->LoadMovieListL(_L("f f")));
  // Every frame that was accepted is applied now.
  controller->MovieEnd();
  TRAP(err, controller->LoadFileMovieListL(_L("list.txt")));
  controller->MovieEnd();
  TFuzzObserver observer;
  TZDiagnostics::SetObserver(&observer);
  TRAP(err, controller->LoadMovieListL(_L("f")));
  TZDiagnostics::SetObserver(NULL);
  controller->MovieEnd();
  controller->Reset();
  delete controller;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gEnv = new ZHost::Testing::TestEnvironment("Fuzz");
  using namespace MediaTest;
  MbmPicture picture;
  picture.width = 2;
  picture.height = 2;
  picture.bits = 12;
  picture.data = std::string(8, '\x0F');
  gEnv->WriteResource("Pictures", "f.mbm", Mbm({picture, picture}));
  gEnv->WriteResource("Sounds", "f_1.wav", WavMono8(100));
  // The first run makes what the platform keeps for the rest of the process.
  RunOnce("BeginMovie BHd FrmCt 2 BmpCt 1 SndCt 1 EHd BFrm FrmNr 1 Snd 1 BSp C 1 Bmp 1 ESp EFrm");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  const std::string bytes(reinterpret_cast<const char*>(aData), aSize);
  const TInt cells = ZHost::AllocCells();
  RunOnce(bytes);
  const TInt leaked = ZHost::AllocCells() - cells;
  if (leaked != 0) {
    std::fprintf(stderr, "movie load leaked %d cell(s)\n", leaked);
    std::abort();
  }
  return 0;
}
