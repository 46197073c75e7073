#include "InstallerLogic.h"

#include "SdkLocator.h"
#include "zwindows/codepage.h"
#include "zwindows/error.h"
#include "zwindows/files.h"

namespace zolv::install {

using namespace zwin;

namespace {
void EnsureBackslash(std::string& aPath) {
  if (aPath.empty() || aPath.back() != '\\') aPath += '\\';
}
}  // namespace

InstallerLogic::InstallerLogic(UserInterface& aUi) : iUi(aUi) {}

void InstallerLogic::Initialise() {
  iSourceDirectory.clear();
  std::string common;
  ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common);
  if (common.empty()) common = kDefaultSdkRoot;
  std::string root;
  bool found = false;
  FindSdkRoot(SdkListPath(common), root, &found);
  iSdkDirectory = root;
  iSdkDirectoryText = found ? root : std::string();
  iSdkFoundAtStart = !EqualsNoCaseAnsi(iSdkDirectory, kDefaultSdkRoot);
  iInstallRoot = "C:\\";
  if (!iSdkDirectory.empty()) iInstallRoot[0] = iSdkDirectory[0];
  iInstallDirectoryText = iInstallRoot + kInstallSubdirectory;
  iEngine = std::make_unique<InstallEngine>(iUi);
}

bool InstallerLogic::Ask(const std::string& aText, const std::string& aTitle) {
  return iUi.MessageBox(aText, aTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

bool InstallerLogic::CheckSdkDirectory() {
  for (const char* file : kEngineFiles) {
    HANDLE handle = CreateFile(iSdkDirectory + file, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      continue;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) continue;
    if (error == ERROR_PATH_NOT_FOUND) {
      iUi.MessageBox(
          "Failed to locate Nokia 9200 Communicator series C++ SDK!\n\nCheck the \"Nokia 9200 "
          "series C++ SDK directory\" setting and make sure\nthe Nokia 9200 Communicator series "
          "C++ SDK is installed.",
          "Warning", MB_OK | MB_ICONWARNING);
    } else if (error != ERROR_SUCCESS) {
      iUi.MessageBox(SystemMessage(error), "Warning", MB_OK | MB_ICONWARNING);
    }
    return false;
  }
  return true;
}

void InstallerLogic::ChangeSdkDirectory() {
  if (iSdkFoundAtStart) {
    if (!Ask("The Nokia 9200 Communicator series C++ SDK was found in the current directory during "
             "the install startup. Are you sure you want to continue?",
             "Confirm directory change")) {
      return;
    }
    iSdkFoundAtStart = false;
  }
  std::string path = iUi.BrowseForFolder("Select a folder");
  if (path.empty()) return;
  EnsureBackslash(path);
  iSdkDirectoryText = path;
  iSdkDirectory = path;
  CheckSdkDirectory();
}

void InstallerLogic::ChangeInstallDirectory() {
  std::string path = iUi.BrowseForFolder("Select a folder");
  if (path.empty()) return;
  for (char c : path) {
    if (c == ' ' &&
        !Ask("Example applications may not work from their initial directories if the Zolvane "
             "Engine C++ SDK path contains empty spaces. Are you sure you want to continue?",
             "Confirm directory change")) {
      return;
    }
  }
  SetInstallRoot(path);
}

void InstallerLogic::SetInstallRoot(std::string aFolder) {
  EnsureBackslash(aFolder);
  iInstallRoot = aFolder;
  iInstallDirectoryText = iInstallRoot + kInstallSubdirectory;
}

void InstallerLogic::SetSdkDirectory(std::string aDirectory) {
  EnsureBackslash(aDirectory);
  iSdkDirectory = aDirectory;
  iSdkDirectoryText = aDirectory;
}

bool InstallerLogic::Install() {
  if (!iEngine) return false;
  const std::string installDirectory = iInstallDirectoryText.substr(0, kFieldLimit);
  const std::string sdkDirectory = iSdkDirectoryText.substr(0, kFieldLimit);
  iEngine->SetTargetDirectory(installDirectory, 0);
  iEngine->SetTargetDirectory(sdkDirectory, 1);
  const char installFirst = installDirectory.empty() ? '\0' : installDirectory[0];
  const char sdkFirst = sdkDirectory.empty() ? '\0' : sdkDirectory[0];
  if (installFirst != sdkFirst &&
      !Ask("Example applications may not work from their initial directories if the Zolvane "
           "Engine C++ SDK is installed on different drive than where the Nokia 9200 "
           "Communicator series C++ SDK is installed. Are you sure you want to continue?",
           "Notice")) {
    return false;
  }
  iEngine->SetSourceDirectory(iSourceDirectory);
  return iEngine->Install(kInstallationFile);
}

bool InstallerLogic::Remove() {
  if (!iEngine) return false;
  iEngine->SetSourceDirectory(iSourceDirectory);
  return iEngine->Remove(kInstallationFile);
}

}  // namespace zolv::install
