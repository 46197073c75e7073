// Applications, documents, the application user interface and the framework environment.
#include <apparc.h>
#include <eikapp.h>
#include <eikappui.h>
#include <eikdoc.h>
#include <eikenv.h>
#include <zhost/files.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>

// ---- CApaApplication / CApaDocument ----

EXPORT_C CApaApplication::CApaApplication() : iAppFullName(NULL) {}

EXPORT_C CApaApplication::~CApaApplication() { delete iAppFullName; }

EXPORT_C void CApaApplication::SetAppFullName(const TDesC& aName, TChar aDrive) {
  _LIT(KFormat, "%c:\\System\\Apps\\%S\\%S.app");
  TFileName name;
  // Names too long for a file name are cut so that the result still fits.
  TPtrC base = aName.Left(std::min(aName.Length(), (KMaxFileName - 22) / 2));
  name.Format(KFormat, static_cast<TUint>(aDrive), &base, &base);
  HBufC* copy = name.Alloc();
  if (copy == NULL) return;
  delete iAppFullName;
  iAppFullName = copy;
}

EXPORT_C TFileName CApaApplication::AppFullName() const {
  if (iAppFullName) return TFileName(*iAppFullName);
  // The running program's file name, without folder and extension.
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  std::string base = n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string("App");
  base = base.substr(base.rfind('/') + 1);
  if (size_t dot = base.rfind('.'); dot != std::string::npos && dot > 0) base.resize(dot);
  TBuf<64> name;
  ZHost::FromUtf8(base, name);
  _LIT(KFormat, "C:\\System\\Apps\\%S\\%S.app");
  TFileName full;
  full.Format(KFormat, &name, &name);
  return full;
}

EXPORT_C CApaDocument::CApaDocument(CApaApplication& aApp) : iApplication(&aApp) {}
EXPORT_C CApaDocument::~CApaDocument() {}

// ---- CEikApplication / CEikDocument ----

EXPORT_C CEikApplication::CEikApplication() {}
EXPORT_C CEikApplication::~CEikApplication() {}

EXPORT_C CEikDocument::CEikDocument(CEikApplication& aApp) : CApaDocument(aApp), iAppUi(NULL) {}
EXPORT_C CEikDocument::~CEikDocument() {}

EXPORT_C CEikApplication* CEikDocument::Application() const { return static_cast<CEikApplication*>(iApplication); }

// ---- CEikAppUi ----

EXPORT_C CEikAppUi::CEikAppUi() : iDocument(NULL), iExitRequested(EFalse) {}
EXPORT_C CEikAppUi::~CEikAppUi() {}

EXPORT_C void CEikAppUi::BaseConstructL(TInt) { CCoeAppUi::ConstructL(); }

EXPORT_C void CEikAppUi::ConstructL() { BaseConstructL(); }

EXPORT_C CEikApplication* CEikAppUi::Application() const { return iDocument ? iDocument->Application() : NULL; }

EXPORT_C void CEikAppUi::SetDocument(CEikDocument* aDocument) { iDocument = aDocument; }

EXPORT_C void CEikAppUi::HandleCommandL(TInt aCommand) {
  if (aCommand == EEikCmdExit) Exit();
}

EXPORT_C void CEikAppUi::HandleWsEventL(const TWsEvent& aEvent, CCoeControl* aDestination) {
  if (aEvent.Type() == EEventZHostCloseRequest) {
    HandleCommandL(EEikCmdExit);
    return;
  }
  CCoeAppUi::HandleWsEventL(aEvent, aDestination);
}

EXPORT_C void CEikAppUi::Exit() {
  iExitRequested = ETrue;
  CActiveScheduler* s = CActiveScheduler::Current();
  if (s && s->StackDepth() > 0) CActiveScheduler::Stop();
}

// ---- CEikonEnv ----

EXPORT_C CEikonEnv::CEikonEnv() {}
EXPORT_C CEikonEnv::~CEikonEnv() {}

EXPORT_C CEikonEnv* CEikonEnv::Static() { return dynamic_cast<CEikonEnv*>(CCoeEnv::Static()); }

EXPORT_C CEikAppUi* CEikonEnv::EikAppUi() const { return dynamic_cast<CEikAppUi*>(iAppUi); }

EXPORT_C void CEikonEnv::InfoMsg(const TDesC& aText) { fprintf(stderr, "%s\n", ZHost::ToUtf8(aText).c_str()); }
