// The Print button's menu and the Alignment dialog against the private
// scheduler of the end-to-end tests, with the PostScript queue "LaserA4" as
// the default printer: the arrow opens the menu and prints nothing, the
// dialog names the printer, keeps its offsets on OK and not on Cancel, and
// prints the alignment sheet from the dialog.
#include "ui/alignment_dialog.h"

#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSettings>

#include "settings/settings_file.h"
#include "window_test_support.h"

using uitest::Find;

namespace {

constexpr char kQueue[] = "LaserA4";
constexpr int kJobWaitMs = 20'000;

// One value of the scheduler's state file (cups_env.sh).
QString StateValue(const QString& key) {
    QFile state(qEnvironmentVariable("LABELS_STATE"));
    if (!state.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& line : state.readAll().split('\n')) {
        if (line.startsWith(key.toUtf8() + '=')) return QString::fromUtf8(line.mid(key.size() + 1));
    }
    return {};
}

int JobFiles() {
    return static_cast<int>(QDir(StateValue(QStringLiteral("OUTDIR_LaserA4")))
                                .entryList({QStringLiteral("job-*")}, QDir::Files)
                                .size());
}

// Runs `answer` on the dialog once it is up (polled: it opens in a loop of its own).
void WhenDialogOpens(const std::function<void(QDialog&)>& answer) {
    QTimer::singleShot(10, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        dialog ? answer(*dialog) : WhenDialogOpens(answer);
    });
}

QDoubleSpinBox* Offset(QDialog& dialog, const char* name) {
    return dialog.findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
}

QString Stored(const char* axis) {
    const QSettings store(linomark::SettingsFilePath(), QSettings::IniFormat);
    return store.value(QStringLiteral("Alignment/%1/%2").arg(kQueue, axis)).toString();
}

}  // namespace

class AlignmentDialogTest : public uitest::WindowTestCase {
    Q_OBJECT

private slots:
    void initTestCase();
    void arrowOpensTheMenuAndPrintsNothing();
    void offsetsAreKeptForTheDefaultPrinterOnOkOnly();
    void offsetsTakeAPointOrACommaInEveryLocale_data();
    void offsetsTakeAPointOrACommaInEveryLocale();
};

void AlignmentDialogTest::initTestCase() {
    const QString socket = StateValue(QStringLiteral("SOCKET"));
    QVERIFY2(!socket.isEmpty(), "no scheduler: LABELS_STATE names no state file");
    qputenv("CUPS_SERVER", socket.toUtf8());
    qputenv("LPDEST", kQueue);
}

void AlignmentDialogTest::arrowOpensTheMenuAndPrintsNothing() {
    auto* print = Find<QPushButton>(*window, "Command1");
    const int jobs = JobFiles();
    QMenu* menu = print->findChild<QMenu*>();
    QVERIFY(menu);
    QTimer::singleShot(0, [menu] {
        QTRY_VERIFY(menu->isVisible());
        menu->close();
    });
    QTest::mouseClick(print, Qt::LeftButton, {}, QPoint(print->width() - 5, print->height() / 2));
    QTest::qWait(500);
    QCOMPARE(JobFiles(), jobs);
}

void AlignmentDialogTest::offsetsAreKeptForTheDefaultPrinterOnOkOnly() {
    auto* alignment = window->findChild<QAction*>(QStringLiteral("mnuAlignment"));
    QVERIFY(alignment);
    const int jobs = JobFiles();
    QString named;
    WhenDialogOpens([&named](QDialog& dialog) {
        named = dialog.findChild<QLabel*>(QStringLiteral("lblPrinter"))->text();
        Offset(dialog, "OffsetX")->setValue(2.04);
        Offset(dialog, "OffsetY")->setValue(-1.5);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdAlignmentSheet"))->click();
        dialog.accept();
    });
    alignment->trigger();
    QTRY_VERIFY2(named.contains(QLatin1String(kQueue)), qPrintable(named));
    QCOMPARE(Stored("OffsetX"), QStringLiteral("2.0"));
    QCOMPARE(Stored("OffsetY"), QStringLiteral("-1.5"));
    QTRY_COMPARE_WITH_TIMEOUT(JobFiles(), jobs + 1, kJobWaitMs);

    double shownX = 0.0;
    WhenDialogOpens([&shownX](QDialog& dialog) {
        shownX = Offset(dialog, "OffsetX")->value();
        Offset(dialog, "OffsetX")->setValue(-7.0);
        dialog.reject();
    });
    alignment->trigger();
    QTRY_COMPARE(shownX, 2.0);
    QCOMPARE(Stored("OffsetX"), QStringLiteral("2.0"));
}

// A point or a comma is the decimal separator in the offset fields, whatever
// the locale's own convention; neither is ever a group separator.
void AlignmentDialogTest::offsetsTakeAPointOrACommaInEveryLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("German point, not -14") << "de_DE"
                                           << "-1.4"
                                           << "-1.4";
    QTest::newRow("Turkish point, not 2") << "tr_TR"
                                          << "2.5"
                                          << "2.5";
    QTest::newRow("Egyptian comma, not 15") << "ar_EG"
                                            << "1,5"
                                            << "1.5";
    QTest::newRow("Japanese comma, not 15") << "ja_JP"
                                            << "1,5"
                                            << "1.5";
}

void AlignmentDialogTest::offsetsTakeAPointOrACommaInEveryLocale() {
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(locale));
    linomark::AlignmentDialog dialog(QString::fromLatin1(kQueue), {}, nullptr);
    QLocale::setDefault(QLocale::system());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QDoubleSpinBox* box = Offset(dialog, "OffsetX");
    auto* edit = box->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    box->interpretText();
    QCOMPARE(box->cleanText(), shown);
    QCOMPARE(QString::number(dialog.Offset().x, 'f', 1), shown);
}

QTEST_MAIN(AlignmentDialogTest)
#include "alignment_dialog_test.moc"
