// ZolvInstall: installs and removes the Zolvane Engine C++ SDK.
//
// Without options it shows its dialog. With --install or --remove it runs without a
// display: --dir FOLDER stands for the installation folder chosen with the first
// "Change Directory" button (the SDK goes to its sub-folder Kestrelon\ZolvaneSDK\Nokia9200),
// --sdk FOLDER for the Symbian SDK directory, --answers FILE answers the
// message boxes (one answer per line) and --transcript FILE records every box; then
// it presses INSTALL or REMOVE exactly as the dialog does. The installation file is
// "install.lst" in the current directory.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <string>

#include "CommandLine.h"
#include "InstallerDialog.h"
#include "InstallerLogic.h"
#include "ScriptedRun.h"
#include "zwindows/paths.h"
#include "zwindows/qtui.h"
#include "zwindows/shell.h"
#include "zwindows/ui.h"

namespace {

struct Options {
  std::string answers, transcript, dir, sdk, screenshot;
  bool install = false, remove = false, unattendedOption = false;
};

const zolv::cli::Program kCommandLine{
    "ZolvInstall",
    "usage: ZolvInstall [--install | --remove] [--answers FILE] [--transcript FILE]\n"
    "                   [--dir FOLDER] [--sdk FOLDER] [--screenshot FILE.png]\n"
    "Without options it shows its dialog. --install or --remove installs or removes the SDK\n"
    "without a display, by install.lst in the current folder, answering its message boxes\n"
    "from the answers file and writing every box to the transcript file.\n",
    {{"--install"}, {"--remove"}, {"--answers", true}, {"--transcript", true}, {"--dir", true},
     {"--sdk", true}, {"--screenshot", true}}};

int Usage(const std::string& aWhy) { return zolv::cli::UsageError(kCommandLine, aWhy); }

int RunUnattended(const Options& aOptions) {
  return zolv::RunScripted("ZolvInstall", aOptions.answers, aOptions.transcript, [&](zwin::UserInterface& aUi) {
    zolv::install::InstallerLogic logic(aUi);
    logic.Initialise();
    if (!aOptions.dir.empty()) logic.SetInstallRoot(zolv::WindowsForm(aOptions.dir));
    if (!aOptions.sdk.empty()) logic.SetSdkDirectory(zolv::WindowsForm(aOptions.sdk));
    return aOptions.install ? logic.Install() : logic.Remove();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> answered = zolv::cli::Check(kCommandLine, argc, argv)) return *answered;
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& aOut) {
      if (i + 1 >= argc) return false;
      aOut = argv[++i];
      return true;
    };
    bool ok = true;
    if (arg == "--install") options.install = true;
    else if (arg == "--remove") options.remove = true;
    else if (arg == "--answers") ok = value(options.answers), options.unattendedOption = true;
    else if (arg == "--transcript") ok = value(options.transcript), options.unattendedOption = true;
    else if (arg == "--dir") ok = value(options.dir), options.unattendedOption = true;
    else if (arg == "--sdk") ok = value(options.sdk), options.unattendedOption = true;
    else if (arg == "--screenshot") ok = value(options.screenshot);
    else ok = false;
    if (!ok) return Usage("unexpected argument " + arg);
  }
  if (options.install && options.remove) return Usage("--install and --remove exclude each other");
  if (options.unattendedOption && !options.install && !options.remove)
    return Usage("--answers, --transcript, --dir and --sdk need --install or --remove");

  // A fresh prefix has no Start menu yet; the system would always have one.
  zwin::RegisterProgramsFolder();
  if (options.install || options.remove) return RunUnattended(options);

  QApplication app(argc, argv);
  zwin::UseFixedLocale();
  zwin::QtUserInterface ui;
  zolv::install::InstallerLogic logic(ui);
  logic.Initialise();
  zolv::install::InstallerDialog dialog(logic);
  ui.SetOwner(&dialog);
  if (!options.screenshot.empty()) {
    // Saves the dialog as it first appears and ends; for checks under a virtual display.
    QObject::connect(&dialog, &zolv::install::InstallerDialog::firstPaintDone, &dialog, [&] {
      const bool saved = dialog.grab().save(QString::fromStdString(options.screenshot), "PNG");
      dialog.done(saved ? 0 : 1);
    });
  }
  dialog.show();
  return dialog.exec();
}
