// Arbitrary bytes as a movie file and as a movie list file. Each input runs on a new
// controller in the headless application environment: the bytes are loaded as the movie
// "f" (with two bitmaps, a picture file and a sound of that movie present, so records and
// resources can resolve) with a diagnostics observer set (as the movie checker runs it),
// the movie is run to its end, the bytes are loaded again as a movie list file (whose
// first name, "f", loads the movie once more without the observer), and the controller is
// deleted. Every cell the engine allocated
// must be freed again. The bytes are served from memory through the file layer, so no
// file is written per input, and one audio player stays open for the whole run, so the
// sound output is not opened and closed again for every movie that loads a sound.
#include <Zolvane.h>
#include <ZDiagnostics.h>
#include <mdaaudiosampleplayer.h>
#include <zhost/files.h>
#include <zhost/userlib.h>
#include <zhost_testing.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
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

class TSilentPlayer : public MMdaAudioPlayerCallback {
public:
  void MapcInitComplete(TInt, const TTimeIntervalMicroSeconds&) override {}
  void MapcPlayComplete(TInt) override {}
};

ZHost::Testing::TestEnvironment* gEnv = nullptr;
CMdaAudioPlayerUtility* gOpenPlayer = nullptr;  // keeps the sound output open
// The host files whose contents each input replaces in memory.
std::string gMovieFile;
std::string gListFile;

void AddBitmap(CZController* aController, const TDesC& aName) {
  CZElement* element = aController->ElementBitmapAdd(3, 2, aName);
  if (element) element->Unload(EFalse);
}

void RunOnce(const std::string& aBytes) {
  ZHost::SetMemoryContents(gMovieFile, aBytes);
  ZHost::SetMemoryContents(gListFile, aBytes);

  CFuzzScript script;
  CZController* controller = NULL;
  TRAPD(err, controller = CZController::NewL(gEnv->AppUi()));
  if (err != KErrNone) std::abort();
  controller->Script(&script);
  controller->SpriteChannelAllocate(4);
  AddBitmap(controller, _L("f_bmp_1"));
  AddBitmap(controller, _L("f_shp_1"));

  // The movie is loaded with a diagnostics observer set, as the movie checker runs it.
  TFuzzObserver observer;
  TZDiagnostics::SetObserver(&observer);
  TRAP(err, controller->LoadMovieListL(_L("f f")));
  TZDiagnostics::SetObserver(NULL);
  // Every frame that was accepted is applied now.
  controller->MovieEnd();
  // As a movie list, without an observer: its first name, when it names a movie, loads
  // that movie on the parser's quiet path.
  TRAP(err, controller->LoadFileMovieListL(_L("list.txt")));
  controller->MovieEnd();
  controller->Reset();
  delete controller;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gEnv = new ZHost::Testing::TestEnvironment("Fuzz");
  // The environment lives as long as the process; its folder goes when the process ends.
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(gEnv->Root(), error);
  });
  using namespace MediaTest;
  MbmPicture picture;
  picture.width = 2;
  picture.height = 2;
  picture.bits = 12;
  picture.data = std::string(8, '\x0F');
  gEnv->WriteResource("Pictures", "f.mbm", Mbm({picture, picture}));
  static const std::string wav = WavMono8(100);
  gEnv->WriteResource("Sounds", "f_1.wav", wav);
  static TSilentPlayer silent;
  static const TPtrC8 clip(reinterpret_cast<const TUint8*>(wav.data()), static_cast<TInt>(wav.size()));
  TRAPD(err, gOpenPlayer = CMdaAudioPlayerUtility::NewDesPlayerReadOnlyL(clip, silent));
  if (err != KErrNone) std::abort();
  if (!gEnv->WriteResourceInMemory("Movies", "f.movie", "") ||
      !gEnv->WriteFileInMemory(gEnv->AppFolder() + "list.txt", "")) {
    std::abort();
  }
  gMovieFile = gEnv->HostPath(gEnv->AppFolder() + "Movies\\f.movie");
  gListFile = gEnv->HostPath(gEnv->AppFolder() + "list.txt");
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
