// The wizard's dialog window in Qt 6 Widgets; every decision is WizardLogic's.
#pragma once

#include <QDialog>

#include "WizardLogic.h"

class QLineEdit;
class QPushButton;

namespace zolv {

class WizardDialog : public QDialog {
  Q_OBJECT

 public:
  WizardDialog(WizardLogic& aLogic, QWidget* aParent = nullptr);

 signals:
  void firstPaintDone();

 protected:
  void paintEvent(QPaintEvent* aEvent) override;
  void contextMenuEvent(QContextMenuEvent* aEvent) override;

 private:
  void NameEdited();
  void UidEdited();
  void Refresh();
  void ShowAbout();
  void ShowWindowMenu(const QPoint& aGlobalPosition);
  QRect Units(int aX, int aY, int aWidth, int aHeight) const;

  WizardLogic& iLogic;
  QLineEdit* iName;
  QLineEdit* iUid;
  QLineEdit* iApplicationDirectory;
  QLineEdit* iSdkDirectory;
  bool iPainted = false;
};

}  // namespace zolv
