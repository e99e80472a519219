// Keys every dialog shares: Enter confirms nothing, even where a dialog has a default button
// that Qt would otherwise press for it; Escape still cancels.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "DialogFrame.h"

namespace tolvane::test {

class DialogFrameTest : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void enterPressesNoDefaultButton();
};

void DialogFrameTest::enterPressesNoDefaultButton() {
  QDialog dialog;
  auto* edit = new QLineEdit(&dialog);
  auto* ok = new QPushButton("OK", &dialog);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(edit);
  layout->addWidget(ok);
  ok->setDefault(true);
  int clicks = 0;
  connect(ok, &QPushButton::clicked, &dialog, [&] { ++clicks; });
  IgnoreEnterKey(dialog);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
  QCOMPARE(clicks, 0);
  QVERIFY(dialog.isVisible());
  QTest::keyClick(edit, Qt::Key_Escape);
  QVERIFY(!dialog.isVisible());
  QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

}  // namespace tolvane::test

QTEST_MAIN(tolvane::test::DialogFrameTest)
#include "DialogFrameTest.moc"
