#include "WizardLogic.h"

#include <utility>

#include "ProjectGenerator.h"
#include "SdkLocator.h"
#include "zwindows/codepage.h"
#include "zwindows/error.h"
#include "zwindows/files.h"

namespace zolv {

using namespace zwin;

namespace {
constexpr std::size_t kMaxName = 32;
constexpr std::size_t kUidLength = 8;

bool NameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

bool HexChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Keeps the allowed characters; returns false when anything was removed or the
// result is too long, in which case aText becomes the cleaned text cut to aMax.
template <typename Allowed>
bool Clean(std::string& aText, std::size_t aMax, Allowed aAllowed) {
  std::string kept;
  for (char c : aText) {
    if (aAllowed(c)) kept += c;
  }
  if (kept.size() == aText.size() && kept.size() <= aMax) return true;
  aText = kept.substr(0, aMax);
  return false;
}

void EnsureBackslash(std::string& aPath) {
  if (aPath.empty() || aPath.back() != '\\') aPath += '\\';
}
}  // namespace

WizardLogic::WizardLogic(UserInterface& aUi, std::string aWizardDirectory)
    : iUi(aUi), iWizardDirectory(std::move(aWizardDirectory)) {
  EnsureBackslash(iWizardDirectory);
}

void WizardLogic::Initialise() {
  iBaseDirectory = "C:\\";
  std::string common;
  ReadRegistryValue(kSdkRegistryKey, kSdkRegistryValue, common);
  std::string root;
  bool found = false;
  FindSdkRoot(SdkListPath(common), root, &found);
  iSdkDirectory = root;
  // The change question is asked only for an SDK found elsewhere than the default root,
  // but a matching SDK is shown, and gives the project its drive, wherever it lies.
  iSdkFoundAtStart = !EqualsNoCaseAnsi(root, kDefaultSdkRoot);
  iSdkDirectoryText.clear();
  if (found) {
    iSdkDirectoryText = root;
    if (!root.empty()) iBaseDirectory[0] = root[0];
  }
  iApplicationDirectoryText = iBaseDirectory;
}

void WizardLogic::Paint(bool aMinimised) {
  if (!iFirstPaintPending || aMinimised) return;
  iFirstPaintPending = false;
  CheckEngineFiles();
}

bool WizardLogic::Ask(const std::string& aText, const std::string& aTitle) {
  return iUi.MessageBox(aText, aTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

bool WizardLogic::CheckEngineFile(const std::string& aRelativePath) {
  const std::string path = iSdkDirectory + aRelativePath;
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    iUi.MessageBox("Failed to locate " + path +
                       "\n\nCheck the \"Nokia 9200 series C++ SDK directory\" setting and make sure "
                       "both\nNokia 9200 Communicator series C++ SDK and Zolvane Engine C++ SDK\nare "
                       "installed.",
                   "Error", MB_OK | MB_ICONERROR);
  } else {
    iUi.MessageBox(SystemErrorText(error, path), "Error", MB_OK | MB_ICONERROR);
  }
  return false;
}

void WizardLogic::CheckEngineFiles() {
  for (const char* file : kEngineFiles) CheckEngineFile(file);
}

bool WizardLogic::ValidateFields() {
  bool valid = true;
  if (!Clean(iName, kMaxName, NameChar)) {
    iUi.MessageBox("Max 32 chars. Use only alphabets and numbers", "Invalid Application Name",
                   MB_OK | MB_ICONWARNING);
    iFocus = Field::Name;
    valid = false;
  }
  if (!Clean(iUid, kUidLength, HexChar)) {
    iUi.MessageBox("Enter 8 hexadecimal digits (0..9, A..F)", "Invalid UID", MB_OK | MB_ICONWARNING);
    iFocus = Field::Uid;
    valid = false;
  }
  return valid;
}

bool WizardLogic::SetNameText(const std::string& aText) {
  iName = aText;
  iFocus = Field::None;
  const bool valid = ValidateFields();
  iApplicationDirectoryText = iBaseDirectory + iName;
  return valid;
}

bool WizardLogic::SetUidText(const std::string& aText) {
  iUid = aText;
  iFocus = Field::None;
  return ValidateFields();
}

void WizardLogic::ChangeApplicationDirectory() {
  std::string path = iUi.BrowseForFolder("Select a folder");
  if (path.empty()) return;
  for (char c : path) {
    if (c == ' ' &&
        !Ask("The application may not work from it's initial directory if the path contains empty "
             "spaces. Are you sure you want to continue?",
             "Confirm directory change")) {
      return;
    }
  }
  EnsureBackslash(path);
  iApplicationDirectoryText = path + iName;
  iBaseDirectory = path;
}

void WizardLogic::ChangeSdkDirectory() {
  if (iSdkFoundAtStart) {
    if (!Ask("The Nokia 9200 Communicator series C++ SDK was found in the current directory during "
             "the Application Wizard startup. Are you sure you want to continue?",
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
  CheckEngineFiles();
}

void WizardLogic::SetSdkDirectory(std::string aDirectory) {
  EnsureBackslash(aDirectory);
  iSdkDirectory = aDirectory;
  iSdkDirectoryText = aDirectory;
}

void WizardLogic::SetBaseDirectory(std::string aDirectory) {
  EnsureBackslash(aDirectory);
  iBaseDirectory = aDirectory;
  iApplicationDirectoryText = iBaseDirectory + iName;
}

bool WizardLogic::CreateTemplate() {
  iFocus = Field::None;
  if (!ValidateFields()) return false;
  if (iName.empty()) {
    iUi.MessageBox("Enter a name for the application", "Notice", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  if (iUid.size() != kUidLength) {
    iUi.MessageBox("Enter a 8 digit UID for the application", "Notice", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  if (iBaseDirectory[0] != iSdkDirectory[0] &&
      !Ask("Application project may not work if it is created on different drive than where the "
           "Nokia 9200 Communicator series C++ SDK is installed. Are you sure you want to continue?",
           "Notice")) {
    return false;
  }
  ProjectGenerator generator(iUi, ProjectSettings{iName, iUid, iBaseDirectory, iWizardDirectory});
  const bool created = generator.Generate();
  iProjectTool = generator.ProjectTool();
  return created;
}

int WizardLogic::WaitForProjectTool() {
  if (iProjectTool.processId == 0) return -1;
  const int status = zwin::WaitForProcess(iProjectTool);
  iProjectTool = zwin::ProcessInformation{};
  return status;
}

}  // namespace zolv
