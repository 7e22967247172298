// The Print button with no scheduler to take the job (CUPS_SERVER names a
// socket nobody listens on): the user is told why, and the window stays as it
// was and goes on working.
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>

#include "ui/column_list.h"
#include "ui/leading_value_box.h"
#include "window_test_support.h"

using linomark::ColumnList;
using linomark::LeadingValueBox;
using uitest::Find;

class PrintButtonTest : public QObject {
    Q_OBJECT

private slots:
    void failedPrintWarnsAndLeavesTheWindowAsItWas_data();
    void failedPrintWarnsAndLeavesTheWindowAsItWas();
};

void PrintButtonTest::failedPrintWarnsAndLeavesTheWindowAsItWas_data() {
    QTest::addColumn<int>("modifier");  // with P; none: a click
    QTest::newRow("click on Print") << int(Qt::NoModifier);
    QTest::newRow("Alt+P") << int(Qt::AltModifier);
    QTest::newRow("Ctrl+P") << int(Qt::ControlModifier);
}

void PrintButtonTest::failedPrintWarnsAndLeavesTheWindowAsItWas() {
    QFETCH(int, modifier);
    uitest::SettingsFolder settings;
    auto window = uitest::ShowWindow();
    auto* txt2 = Find<ColumnList>(*window, "txt2");
    txt2->SetText(QStringLiteral("EDITED\r\n"));
    const QString txt1Before = Find<ColumnList>(*window, "txt1")->Text();
    const QImage previewBefore = uitest::PreviewPicture(*window).copy();
    uitest::MessageBoxCatcher catcher;
    if (modifier != Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::KeyboardModifiers(modifier));
    } else {
        QTest::mouseClick(Find<QPushButton>(*window, "Command1"), Qt::LeftButton);
    }
    // The access key clicks the button the way a click does, a moment later.
    QTRY_COMPARE(catcher.titles, QStringList{QStringLiteral("Linomark 1.0")});
    QCOMPARE(catcher.icons, QList<int>{QMessageBox::Warning});
    QVERIFY(!catcher.texts.front().isEmpty());
    QVERIFY(window->isVisible());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(Find<ColumnList>(*window, "txt1")->Text(), txt1Before);
    QCOMPARE(txt2->Text(), QStringLiteral("EDITED\r\n"));
    QCOMPARE(uitest::PreviewPicture(*window), previewBefore);
    // Still usable: typing goes on regenerating the column.
    auto* text1 = Find<LeadingValueBox>(*window, "Text1");
    text1->setFocus();
    text1->selectAll();
    QTest::keyClicks(text1, QStringLiteral("e0001"));
    QVERIFY(
        Find<ColumnList>(*window, "txt1")->Text().startsWith(QStringLiteral("E0001\r\nE0002\r\n")));
}

QTEST_MAIN(PrintButtonTest)
#include "print_button_test.moc"
