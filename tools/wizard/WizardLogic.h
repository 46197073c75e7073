// The wizard dialog's state and command handlers, independent of any display: the
// Qt dialog and the command-line mode both drive this same code.
#pragma once

#include <string>

#include "zwindows/process.h"
#include "zwindows/ui.h"

namespace zolv {

class WizardLogic {
 public:
  enum class Field { None, Name, Uid };

  WizardLogic(zwin::UserInterface& aUi, std::string aWizardDirectory);

  // Dialog initialisation: locates the SDK and sets the starting directories.
  void Initialise();
  // The dialog's first paint: checks the engine's files once (not while minimised).
  void Paint(bool aMinimised = false);

  // The user changed an edit field; both fields are then validated, name first.
  // Returns whether validation passed. The fields may have been cleaned.
  bool SetNameText(const std::string& aText);
  bool SetUidText(const std::string& aText);

  void ChangeApplicationDirectory();
  void ChangeSdkDirectory();
  // "Create Template"; returns true when a project was generated with all its files.
  bool CreateTemplate();
  // Waits for the project tool the last CreateTemplate started and returns its exit code;
  // -1 when none was started. The dialog leaves the tool running on its own; a run
  // without a display waits, so that the project is complete when the wizard ends.
  int WaitForProjectTool();

  // Checks one engine file in the SDK directory and reports it when missing.
  bool CheckEngineFile(const std::string& aRelativePath);
  void CheckEngineFiles();

  // Uses aDirectory as SDK directory without asking (command-line option).
  void SetSdkDirectory(std::string aDirectory);
  // Uses aDirectory as application base directory without asking (command-line option).
  void SetBaseDirectory(std::string aDirectory);

  const std::string& NameText() const { return iName; }
  const std::string& UidText() const { return iUid; }
  const std::string& ApplicationDirectoryText() const { return iApplicationDirectoryText; }
  const std::string& SdkDirectoryText() const { return iSdkDirectoryText; }
  const std::string& BaseDirectory() const { return iBaseDirectory; }
  const std::string& SdkDirectory() const { return iSdkDirectory; }
  bool SdkFoundAtStart() const { return iSdkFoundAtStart; }
  // The field that failed validation last (where the focus goes).
  Field FocusField() const { return iFocus; }

 private:
  bool ValidateFields();
  bool Ask(const std::string& aText, const std::string& aTitle);

  zwin::UserInterface& iUi;
  std::string iWizardDirectory;
  zwin::ProcessInformation iProjectTool;
  std::string iName;
  std::string iUid;
  std::string iBaseDirectory = "C:\\";
  std::string iSdkDirectory = "C:\\";
  std::string iApplicationDirectoryText;
  std::string iSdkDirectoryText;
  bool iSdkFoundAtStart = false;
  bool iFirstPaintPending = true;
  Field iFocus = Field::None;
};

inline constexpr const char* kWizardTitle = "Zolvane Engine Application Wizard";

}  // namespace zolv
