// What a user does in one sitting, for valgrind's memcheck: start, type a
// leading value, switch the label type, print on the default printer, close.
// The print must succeed (no warning box) and the close must write the
// settings. valgrind_session.sh runs it with its own home and config folder
// and CUPS_SERVER pointing at the private scheduler, and checks that the job
// arrived.
#include <QComboBox>
#include <QFile>
#include <QPushButton>

#include "window_test_support.h"
#include "ui/column_list.h"
#include "ui/leading_value_box.h"

using linomark::ColumnList;
using linomark::LeadingValueBox;
using uitest::Find;

namespace {

QByteArray ReadSettingsFile() {
    QFile ini(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Linomark 1.0.ini"));
    return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
}

}  // namespace

class ScriptedSession : public QObject {
    Q_OBJECT

private slots:
    void startTypeSwitchPrintClose();
};

void ScriptedSession::startTypeSwitchPrintClose() {
    QVERIFY2(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"), "run through valgrind_session.sh");
    auto window = uitest::ShowWindow();
    // Text1 has the focus with its value selected: typing replaces it.
    auto* text1 = Find<LeadingValueBox>(*window, "Text1");
    QTest::keyClicks(text1, QStringLiteral("d0100"));
    QCOMPARE(text1->text(), QStringLiteral("D0100"));
    QVERIFY(Find<ColumnList>(*window, "txt1")->Text().startsWith(QStringLiteral("D0100\r\n")));

    auto* cmbType = Find<QComboBox>(*window, "cmbType");
    cmbType->setFocus();
    QTest::keyClick(cmbType, Qt::Key_Down);
    QCOMPARE(cmbType->currentIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), text1);

    // The click queues the sheet; the busy cursor stays until it is handed
    // over, and a failure would show its warning box.
    uitest::MessageBoxCatcher catcher;
    QTest::mouseClick(Find<QPushButton>(*window, "Command1"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::overrideCursor(), 20'000);
    QVERIFY2(catcher.texts.isEmpty(), qPrintable(catcher.texts.join(QLatin1Char('\n'))));

    window->close();
    const QByteArray ini = ReadSettingsFile();
    QVERIFY2(ini.contains("Type=1") && ini.contains("Column1=D0100"), ini.constData());
}

QTEST_MAIN(ScriptedSession)
#include "scripted_session.moc"
