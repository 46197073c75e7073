// The installer dialog's state and command handlers, independent of any display: the
// Qt dialog and the unattended mode both drive this same code.
#pragma once

#include <memory>
#include <string>

#include "InstallEngine.h"
#include "zwindows/ui.h"

namespace zolv::install {

inline constexpr const char* kInstallerTitle =
    "Zolvane Engine C++ SDK for Nokia 9200 Communicator Installation";
inline constexpr const char* kInstallationFile = "install.lst";
// The engine SDK's folder under the chosen installation root.
inline constexpr const char* kInstallSubdirectory = "Kestrelon\\ZolvaneSDK\\Nokia9200\\";
// Field texts are read with room for 259 characters.
inline constexpr std::size_t kFieldLimit = 259;

class InstallerLogic {
 public:
  explicit InstallerLogic(zwin::UserInterface& aUi);

  // Dialog initialisation: locates the SDK, sets both fields and creates the engine.
  void Initialise();

  void ChangeSdkDirectory();
  void ChangeInstallDirectory();
  // INSTALL and REMOVE; true when the engine reported success.
  bool Install();
  bool Remove();

  // Uses aFolder as installation root or SDK directory without asking (unattended runs).
  void SetInstallRoot(std::string aFolder);
  void SetSdkDirectory(std::string aDirectory);

  const std::string& InstallDirectoryText() const { return iInstallDirectoryText; }  // field 1000
  const std::string& SdkDirectoryText() const { return iSdkDirectoryText; }          // field 1001
  const std::string& SdkDirectory() const { return iSdkDirectory; }
  const std::string& InstallRoot() const { return iInstallRoot; }
  bool SdkFoundAtStart() const { return iSdkFoundAtStart; }
  InstallEngine* Engine() { return iEngine.get(); }

 private:
  bool Ask(const std::string& aText, const std::string& aTitle);
  // The SDK directory check after a change: true when the three files' folders exist.
  bool CheckSdkDirectory();

  zwin::UserInterface& iUi;
  std::string iSourceDirectory;
  std::string iSdkDirectory = "C:\\";
  std::string iInstallRoot = "C:\\";
  std::string iInstallDirectoryText;
  std::string iSdkDirectoryText;
  bool iSdkFoundAtStart = false;
  std::unique_ptr<InstallEngine> iEngine;
};

}  // namespace zolv::install
