// ZolvWizard: generates a new Symbian application project that uses the engine.
//
// Without options it shows its dialog. With any of --answers, --transcript, --name,
// --uid, --dir or --sdk it runs without a display: it takes the fields from the
// options, answers its message boxes from the answers file (one answer per line),
// writes every box to the transcript file, and presses "Create Template" exactly
// as the dialog does.
//
// --screenshot FILE.png shows the dialog, saves it (and every message box that comes up
// before it is saved) as PNG files and ends; for checks under a virtual display.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "CommandLine.h"
#include "WizardDialog.h"
#include "ScriptedRun.h"
#include "WizardLogic.h"
#include "zwindows/paths.h"
#include "zwindows/qtui.h"
#include "zwindows/ui.h"

namespace {

struct Options {
  std::string answers, transcript, name, uid, dir, sdk, screenshot;
  bool hasName = false, hasUid = false, headless = false;
};

const zolv::cli::Program kCommandLine{
    "ZolvWizard",
    "usage: ZolvWizard [--answers FILE] [--transcript FILE] [--name NAME] [--uid UID]\n"
    "                  [--dir FOLDER] [--sdk FOLDER] [--screenshot FILE.png]\n"
    "Without options it shows its dialog. With --answers, --transcript, --name, --uid, --dir\n"
    "or --sdk it creates the project without a display, answering its message boxes from the\n"
    "answers file and writing every box to the transcript file.\n",
    {{"--answers", true}, {"--transcript", true}, {"--name", true}, {"--uid", true}, {"--dir", true},
     {"--sdk", true}, {"--screenshot", true}}};

int Usage(const std::string& aWhy) { return zolv::cli::UsageError(kCommandLine, aWhy); }

std::string WizardDirectory() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return zwin::ToWindowsPath(ec ? std::filesystem::current_path() : self.parent_path()) + "\\";
}

int RunHeadless(const Options& aOptions) {
  return zolv::RunScripted("ZolvWizard", aOptions.answers, aOptions.transcript, [&](zwin::UserInterface& aUi) {
    zolv::WizardLogic logic(aUi, WizardDirectory());
    logic.Initialise();
    if (!aOptions.sdk.empty()) logic.SetSdkDirectory(zolv::WindowsForm(aOptions.sdk));
    if (!aOptions.dir.empty()) logic.SetBaseDirectory(zolv::WindowsForm(aOptions.dir));
    logic.Paint();
    if (aOptions.hasName) logic.SetNameText(aOptions.name);
    if (aOptions.hasUid) logic.SetUidText(aOptions.uid);
    const bool created = logic.CreateTemplate();
    // The project is complete only when the project tool has finished with it.
    const int tool = logic.WaitForProjectTool();
    if (tool > 0) std::fprintf(stderr, "ZolvWizard: the project tool ended with status %d\n", tool);
    return created;
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
    if (arg == "--answers") ok = value(options.answers), options.headless = true;
    else if (arg == "--transcript") ok = value(options.transcript), options.headless = true;
    else if (arg == "--name") ok = value(options.name), options.hasName = options.headless = true;
    else if (arg == "--uid") ok = value(options.uid), options.hasUid = options.headless = true;
    else if (arg == "--dir") ok = value(options.dir), options.headless = true;
    else if (arg == "--sdk") ok = value(options.sdk), options.headless = true;
    else if (arg == "--screenshot") ok = value(options.screenshot);
    else ok = false;
    if (!ok) return Usage("unexpected argument " + arg);
  }
  if (options.headless) return RunHeadless(options);

  QApplication app(argc, argv);
  zwin::UseFixedLocale();
  zwin::QtUserInterface ui;
  zolv::WizardLogic logic(ui, WizardDirectory());
  logic.Initialise();
  zolv::WizardDialog dialog(logic);
  ui.SetOwner(&dialog);
  // Screenshot mode, for checks under a virtual display: every message box that comes up
  // is saved as FILE-box1.png, FILE-box2.png, ... and answered with its default button;
  // then the dialog is saved as FILE and the program ends (exit code 1 if saving failed).
  QTimer boxWatch;
  int boxes = 0;
  bool saved = true;
  if (!options.screenshot.empty()) {
    QString base = QString::fromStdString(options.screenshot);
    if (base.endsWith(".png", Qt::CaseInsensitive)) base.chop(4);
    boxWatch.setInterval(100);
    QObject::connect(&boxWatch, &QTimer::timeout, &dialog, [&, base] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      saved = box->grab().save(base + "-box" + QString::number(++boxes) + ".png", "PNG") && saved;
      if (box->defaultButton()) box->defaultButton()->click();
      else box->done(0);
    });
    boxWatch.start();
    QObject::connect(&dialog, &zolv::WizardDialog::firstPaintDone, &dialog, [&] {
      QTimer::singleShot(0, &dialog, [&] {
        saved = dialog.grab().save(QString::fromStdString(options.screenshot), "PNG") && saved;
        dialog.done(0);
      });
    });
  }
  dialog.show();
  dialog.exec();
  return saved ? 0 : 1;
}
