// A small application module for the launcher's tests: a full-screen window whose
// stripes move on every tick of a 20 ms timer. It ends itself (Exit) after the number of
// ticks written in Data\ticks.txt of its own folder, or after 200 ticks without the file.
// When Data\outside.txt names a host folder, it puts symbolic links to that folder and to
// its file.txt into the drive it was started from, and writes that drive's host folder
// to Data\drive.txt: the launcher must clean its drive up without following them.
#include <coecntrl.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>
#include <eikenv.h>
#include <f32file.h>
#include <unistd.h>
#include <zhost/files.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

const TUid KUidLauncherTestApp = {0x0ADC0DE1};
const TInt KTick = 20000;
const TInt KDefaultTicks = 200;

class CStripes : public CCoeControl {
public:
  void ConstructL() {
    CreateWindowL();
    SetRect(TRect(TPoint(0, 0), CCoeEnv::Static()->ScreenDevice()->SizeInPixels()));
    ActivateL();
  }
  void Step() {
    ++iPhase;
    DrawNow();
  }

private:
  void Draw(const TRect&) const override {
    CWindowGc& gc = SystemGc();
    const TRect r = Rect();
    gc.SetBrushColor(TRgb(0, 0, 96));
    gc.Clear(r);
    for (TInt i = 0; i < 8; i++) {
      const TInt x = (iPhase * 4 + i * 80) % (r.Width() > 0 ? r.Width() : 1);
      gc.SetBrushColor(TRgb(255 - i * 24, 64 + i * 20, i * 30));
      gc.Clear(TRect(x, 0, x + 24, r.Height()));
    }
  }
  TInt iPhase = 0;
};

class CTicker;

class CTestAppUi : public CEikAppUi {
public:
  ~CTestAppUi();
  void ConstructL() override;
  void TickL();

private:
  TInt ReadTicks();
  void PlantLinks();
  CStripes* iStripes = NULL;
  CTicker* iTicker = NULL;
  TInt iTicks = 0;
  TInt iTicksLeft = KDefaultTicks;
};

class CTicker : public CTimer {
public:
  explicit CTicker(CTestAppUi& aAppUi) : CTimer(EPriorityStandard), iAppUi(aAppUi) {}
  void ConstructL() {
    CTimer::ConstructL();
    CActiveScheduler::Add(this);
    After(KTick);
  }

private:
  void RunL() override {
    After(KTick);
    iAppUi.TickL();
  }
  CTestAppUi& iAppUi;
};

CTestAppUi::~CTestAppUi() {
  delete iTicker;
  delete iStripes;
}

void CTestAppUi::ConstructL() {
  BaseConstructL();
  iTicksLeft = ReadTicks();
  PlantLinks();
  iStripes = new (ELeave) CStripes;
  iStripes->ConstructL();
  iTicker = new (ELeave) CTicker(*this);
  iTicker->ConstructL();
}

// The tick count from Data\ticks.txt in the application's folder, found through the
// application's full name as the device reports it.
TInt CTestAppUi::ReadTicks() {
  TParse parse;
  const TFileName full = Application()->AppFullName();
  parse.Set(_L("Data\\ticks.txt"), &full, NULL);
  RFile file;
  if (file.Open(CEikonEnv::Static()->FsSession(), parse.FullName(), EFileRead) != KErrNone) return KDefaultTicks;
  TBuf8<16> text;
  const TInt err = file.Read(text);
  file.Close();
  TInt ticks = 0;
  for (TInt i = 0; err == KErrNone && i < text.Length() && text[i] >= '0' && text[i] <= '9'; i++)
    ticks = ticks * 10 + (text[i] - '0');
  return ticks > 0 ? ticks : KDefaultTicks;
}

void CTestAppUi::PlantLinks() {
  TParse parse;
  const TFileName full = Application()->AppFullName();
  parse.Set(_L("Data\\outside.txt"), &full, NULL);
  std::string outsideFile, driveRoot;
  if (ZHost::HostPath(parse.FullName(), outsideFile) != KErrNone) return;
  if (ZHost::DrivePath(full[0], driveRoot) != KErrNone) return;
  std::ifstream in(outsideFile);
  const std::string outside((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (outside.empty()) return;
  if (::symlink(outside.c_str(), (driveRoot + "/Outside").c_str()) != 0) return;
  if (::symlink((outside + "/file.txt").c_str(), (driveRoot + "/System/OutsideFile").c_str()) != 0) return;
  std::ofstream(outsideFile.substr(0, outsideFile.size() - 11) + "drive.txt") << driveRoot;
}

void CTestAppUi::TickL() {
  iStripes->Step();
  if (++iTicks >= iTicksLeft) Exit();
}

class CTestDocument : public CEikDocument {
public:
  explicit CTestDocument(CEikApplication& aApp) : CEikDocument(aApp) {}
  CEikAppUi* CreateAppUiL() override { return new (ELeave) CTestAppUi; }
};

class CTestApplication : public CEikApplication {
public:
  TUid AppDllUid() const override { return KUidLauncherTestApp; }
  CApaDocument* CreateDocumentL() override { return new (ELeave) CTestDocument(*this); }
};

}  // namespace

EXPORT_C CApaApplication* NewApplication() { return new CTestApplication; }
