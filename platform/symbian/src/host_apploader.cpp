// Application modules: dlopen/dlsym around NewApplication(), and the framework start-up.
#include <zhost/apploader.h>

#include <dlfcn.h>
#include <sys/stat.h>

namespace ZHost {

namespace {

// The modules define "CApaApplication* NewApplication()" with C++ linkage: its Itanium
// C++ ABI name.
const char KNewApplicationSymbol[] = "_Z14NewApplicationv";

}  // namespace

EXPORT_C TInt RAppModule::Open(const std::string& aHostPath) {
  if (iHandle) {
    iError = "a module is already open";
    return KErrInUse;
  }
  struct stat st;
  if (::stat(aHostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    iError = aHostPath + ": no such file";
    return KErrNotFound;
  }
  void* handle = ::dlopen(aHostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    iError = why ? why : (aHostPath + ": cannot be loaded");
    return KErrCorrupt;
  }
  auto entry = reinterpret_cast<CApaApplication* (*)()>(::dlsym(handle, KNewApplicationSymbol));
  if (!entry) {
    ::dlclose(handle);
    iError = aHostPath + ": the module does not export NewApplication()";
    return KErrNotSupported;
  }
  iHandle = handle;
  iNewApplication = entry;
  iError.clear();
  return KErrNone;
}

EXPORT_C void RAppModule::Close() {
  if (iHandle) ::dlclose(iHandle);
  iHandle = NULL;
  iNewApplication = NULL;
}

EXPORT_C TAny* RAppModule::Symbol(const char* aName) const { return iHandle ? ::dlsym(iHandle, aName) : NULL; }

EXPORT_C CApaApplication* RAppModule::NewApplicationL() const {
  if (!iNewApplication) User::Leave(KErrNotReady);
  CApaApplication* app = iNewApplication();
  if (!app) User::Leave(KErrNoMemory);
  return app;
}

EXPORT_C void StartApplicationL(CApaApplication& aApplication, CEikDocument*& aDocument, CEikAppUi*& aAppUi) {
  aDocument = NULL;
  aAppUi = NULL;
  CEikDocument* doc = static_cast<CEikDocument*>(aApplication.CreateDocumentL());
  if (!doc) User::Leave(KErrNoMemory);
  CleanupStack::PushL(doc);
  CEikAppUi* appUi = doc->CreateAppUiL();
  if (!appUi) User::Leave(KErrNoMemory);
  CleanupStack::PushL(appUi);
  appUi->SetDocument(doc);
  doc->SetAppUi(appUi);
  appUi->ConstructL();
  CleanupStack::Pop(2);
  aDocument = doc;
  aAppUi = appUi;
}

}  // namespace ZHost
