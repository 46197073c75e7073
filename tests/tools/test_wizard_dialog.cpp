// The wizard's Qt dialog on Qt's offscreen platform, its boxes answered by the scripted
// interface: typing goes through the same filters, the buttons run the same commands, and
// the window menu holds the about box.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <langinfo.h>

#include <cctype>
#include <clocale>
#include <cstdio>

#include "Locales.h"
#include "TempPrefix.h"
#include "WizardDialog.h"
#include "WizardLogic.h"
#include "zwindows/qtui.h"

using zwin::ScriptedUserInterface;

// In sanitizer builds: the font library keeps its caches to the end of the process; that
// is not ours to report.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

class WizardDialogTest : public TempPrefixTest {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_wizard_dialog";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }

  template <typename T>
  static T* Child(QWidget& aDialog, int aId) {
    T* child = aDialog.findChild<T*>(QString::number(aId));
    EXPECT_NE(child, nullptr) << aId;
    return child;
  }
};

// The dialog programs call UseFixedLocale after making their QApplication, which set the
// locale from the environment: afterwards numbers, letter case and Qt's default locale
// are those of C again, with UTF-8 character handling.
TEST_F(WizardDialogTest, TheProgramsLocaleIsFixedAfterQtSetItUp) {
  ZTestHost::ScopedLocale turkish("tr_TR.UTF-8");
  if (!turkish.Active()) GTEST_SKIP() << "the locale tr_TR.UTF-8 is not generated (scripts/test generates it)";
  ASSERT_NE(std::tolower('I'), 'i');  // what the Turkish locale does
  zwin::UseFixedLocale();
  EXPECT_EQ(std::tolower('I'), 'i');
  EXPECT_EQ(std::toupper('i'), 'I');
  char number[16];
  std::snprintf(number, sizeof number, "%.1f", 1.5);
  EXPECT_STREQ(number, "1.5");
  EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8");
  EXPECT_EQ(QLocale().name(), "C");
  EXPECT_EQ(QLocale().toString(1.5), "1.5");
  QLocale::setDefault(QLocale::system());
}

TEST_F(WizardDialogTest, TypingAndButtonsGoThroughTheWizardsChecks) {
  ScriptedUserInterface ui({"OK", "OK", "OK"});
  zolv::WizardLogic logic(ui, "C:\\wizard\\");
  logic.Initialise();
  zolv::WizardDialog dialog(logic);
  EXPECT_EQ(dialog.windowTitle(), "Zolvane Engine Application Wizard");
  EXPECT_EQ(Child<QLineEdit>(dialog, 1004)->text(), "C:\\");
  EXPECT_TRUE(Child<QLineEdit>(dialog, 1004)->isReadOnly());
  EXPECT_EQ(Child<QPushButton>(dialog, 1000)->text(), "Create Template");

  // A space typed into the name is removed at once, with its box.
  QTest::keyClicks(Child<QLineEdit>(dialog, 1003), "My Game");
  EXPECT_EQ(Child<QLineEdit>(dialog, 1003)->text(), "MyGame");
  EXPECT_EQ(Child<QLineEdit>(dialog, 1004)->text(), "C:\\MyGame");
  ASSERT_EQ(ui.Records().size(), 1u);
  EXPECT_EQ(ui.Records()[0].title, "Invalid Application Name");
  EXPECT_EQ(ui.Records()[0].text, "Max 32 chars. Use only alphabets and numbers");

  // A seven-digit UID passes the filter; "Create Template" asks for eight.
  QTest::keyClicks(Child<QLineEdit>(dialog, 1001), "1234567");
  EXPECT_EQ(ui.Records().size(), 1u);
  QTest::mouseClick(Child<QPushButton>(dialog, 1000), Qt::LeftButton);
  ASSERT_EQ(ui.Records().size(), 2u);
  EXPECT_EQ(ui.Records()[1].title, "Notice");
  EXPECT_EQ(ui.Records()[1].text, "Enter a 8 digit UID for the application");
  // A letter that is no hexadecimal digit.
  QTest::keyClicks(Child<QLineEdit>(dialog, 1001), "G");
  EXPECT_EQ(Child<QLineEdit>(dialog, 1001)->text(), "1234567");
  ASSERT_EQ(ui.Records().size(), 3u);
  EXPECT_EQ(ui.Records()[2].title, "Invalid UID");
}

TEST_F(WizardDialogTest, WindowMenuOpensTheAboutBox) {
  // The first paint checks the engine's files: three boxes without an SDK.
  ScriptedUserInterface ui({"OK", "OK", "OK"});
  zolv::WizardLogic logic(ui, "C:\\wizard\\");
  logic.Initialise();
  zolv::WizardDialog dialog(logic);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

  QStringList items;
  QString aboutTitle, aboutText;
  // Inside the menu's own loop: note its items and choose the about item; inside the
  // about box's loop: note it and close it.
  QTimer::singleShot(100, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* action : menu->actions()) items << (action->isSeparator() ? "-" : action->text());
    QTimer::singleShot(100, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      aboutTitle = box->windowTitle();
      aboutText = box->text();
      box->accept();
    });
    menu->actions().last()->trigger();
    menu->close();
  });
  QTest::keyClick(&dialog, Qt::Key_Space, Qt::AltModifier);
  QTest::qWait(400);
  EXPECT_EQ(items, (QStringList{"&Close", "-", "&About ZolvWizard..."}));
  EXPECT_EQ(aboutTitle, "About ZolvWizard");
  EXPECT_EQ(aboutText, "ZolvWizard\nApplication Wizard v0.1");
  ASSERT_EQ(ui.Records().size(), 3u);
  EXPECT_EQ(ui.Records()[2].text.rfind("Failed to locate C:\\Epoc32\\Release\\wins\\udeb\\Zolvane.dll", 0), 0u);
}

}  // namespace
