// The installer's dialog window in Qt 6 Widgets; every decision is InstallerLogic's.
#pragma once

#include <QDialog>

#include "InstallerLogic.h"

class QLineEdit;

namespace zolv::install {

class InstallerDialog : public QDialog {
  Q_OBJECT

 public:
  InstallerDialog(InstallerLogic& aLogic, QWidget* aParent = nullptr);
  // Positions in dialog units: a quarter of the average character width horizontally,
  // an eighth of the font's height vertically.
  QRect Units(int aX, int aY, int aWidth, int aHeight) const;

 signals:
  void firstPaintDone();

 protected:
  void paintEvent(QPaintEvent* aEvent) override;
  void contextMenuEvent(QContextMenuEvent* aEvent) override;

 private:
  void Refresh();
  void ShowAbout();

  InstallerLogic& iLogic;
  QLineEdit* iInstallDirectory;
  QLineEdit* iSdkDirectory;
  bool iPainted = false;
};

}  // namespace zolv::install
