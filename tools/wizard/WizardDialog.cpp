#include "WizardDialog.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "zwindows/codepage.h"

namespace zolv {

namespace {
QString FromAnsi(const std::string& aText) {
  return QString::fromStdString(zwin::AnsiToUtf8(aText));
}
std::string ToAnsi(const QString& aText) { return zwin::Utf8ToAnsi(aText.toStdString()); }
}  // namespace

// Positions are given in dialog units, like the installer's dialog: a horizontal
// unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height.
QRect WizardDialog::Units(int aX, int aY, int aWidth, int aHeight) const {
  const QFontMetrics metrics(font());
  const int bx = metrics.averageCharWidth();
  const int by = metrics.height();
  return QRect(aX * bx / 4, aY * by / 8, aWidth * bx / 4, aHeight * by / 8);
}

WizardDialog::WizardDialog(WizardLogic& aLogic, QWidget* aParent) : QDialog(aParent), iLogic(aLogic) {
  setWindowTitle(kWizardTitle);
  auto label = [this](const char* aText, QRect aRect) {
    auto* l = new QLabel(aText, this);
    l->setGeometry(aRect);
  };
  auto edit = [this](int aId, QRect aRect, bool aReadOnly) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::number(aId));
    e->setGeometry(aRect);
    e->setReadOnly(aReadOnly);
    return e;
  };
  auto button = [this](int aId, const char* aText, QRect aRect) {
    auto* b = new QPushButton(aText, this);
    b->setObjectName(QString::number(aId));
    // Wider when the font needs it, keeping the right edge where it is.
    QRect rect = aRect;
    if (b->sizeHint().width() > rect.width()) rect.setLeft(rect.right() + 1 - b->sizeHint().width());
    b->setGeometry(rect);
    b->setAutoDefault(false);
    return b;
  };

  label("Application name", Units(13, 10, 160, 10));
  iName = edit(1003, Units(13, 21, 200, 12), false);
  label("Application UID", Units(13, 38, 160, 10));
  iUid = edit(1001, Units(13, 49, 100, 12), false);
  label("Application directory", Units(13, 68, 160, 10));
  iApplicationDirectory = edit(1004, Units(13, 79, 283, 12), true);
  QPushButton* changeApplication = button(1005, "Change Directory", Units(232, 66, 64, 13));
  label("Nokia 9200 series C++ SDK directory", Units(13, 98, 203, 10));
  iSdkDirectory = edit(1006, Units(13, 109, 283, 12), true);
  QPushButton* changeSdk = button(1007, "Change Directory", Units(232, 96, 64, 13));
  QPushButton* create = button(1000, "Create Template", Units(232, 11, 64, 14));
  QPushButton* close = button(2, "Close", Units(232, 29, 64, 14));
  create->setDefault(true);
  setFixedSize(Units(0, 0, 308, 131).size());

  connect(iName, &QLineEdit::textEdited, this, &WizardDialog::NameEdited);
  connect(iUid, &QLineEdit::textEdited, this, &WizardDialog::UidEdited);
  connect(changeApplication, &QPushButton::clicked, this, [this] {
    iLogic.ChangeApplicationDirectory();
    Refresh();
  });
  connect(changeSdk, &QPushButton::clicked, this, [this] {
    iLogic.ChangeSdkDirectory();
    Refresh();
  });
  connect(create, &QPushButton::clicked, this, [this] {
    iLogic.SetNameText(ToAnsi(iName->text()));
    iLogic.SetUidText(ToAnsi(iUid->text()));
    Refresh();
    iLogic.CreateTemplate();
    Refresh();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* windowMenu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(windowMenu, &QShortcut::activated, this, [this] { ShowWindowMenu(mapToGlobal(QPoint(0, 0))); });
  Refresh();
}

void WizardDialog::Refresh() {
  if (iName->text() != FromAnsi(iLogic.NameText())) iName->setText(FromAnsi(iLogic.NameText()));
  if (iUid->text() != FromAnsi(iLogic.UidText())) iUid->setText(FromAnsi(iLogic.UidText()));
  iApplicationDirectory->setText(FromAnsi(iLogic.ApplicationDirectoryText()));
  iSdkDirectory->setText(FromAnsi(iLogic.SdkDirectoryText()));
  if (iLogic.FocusField() == WizardLogic::Field::Name) iName->setFocus();
  if (iLogic.FocusField() == WizardLogic::Field::Uid) iUid->setFocus();
}

void WizardDialog::NameEdited() {
  iLogic.SetNameText(ToAnsi(iName->text()));
  Refresh();
}

void WizardDialog::UidEdited() {
  iLogic.SetUidText(ToAnsi(iUid->text()));
  Refresh();
}

void WizardDialog::paintEvent(QPaintEvent* aEvent) {
  QDialog::paintEvent(aEvent);
  if (!iPainted && !isMinimized()) {
    iPainted = true;
    // The engine-file check shows message boxes: run it after this paint has finished.
    QTimer::singleShot(0, this, [this] {
      iLogic.Paint(isMinimized());
      emit firstPaintDone();
    });
  }
}

void WizardDialog::contextMenuEvent(QContextMenuEvent* aEvent) { ShowWindowMenu(aEvent->globalPos()); }

// The window's own menu, in place of the system menu that the window manager keeps to
// itself here: the right mouse button or Alt+Space (the system menu's key) open it.
void WizardDialog::ShowWindowMenu(const QPoint& aGlobalPosition) {
  QMenu menu(this);
  menu.addAction("&Close", this, &QDialog::reject);
  menu.addSeparator();
  menu.addAction("&About ZolvWizard...", this, &WizardDialog::ShowAbout);
  menu.exec(aGlobalPosition);
}

void WizardDialog::ShowAbout() {
  QMessageBox::about(this, "About ZolvWizard", "ZolvWizard\nApplication Wizard v0.1");
}

}  // namespace zolv
