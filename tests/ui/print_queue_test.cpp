// The Print button and the print service with the e2e scheduler stopped (SIGSTOP).
#include <signal.h>

#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <chrono>
#include <stdexcept>

#include "ui/leading_value_box.h"
#include "window_test_support.h"

using uitest::Find;

namespace {

// The state file's KEY=value lines (cups_env.sh) read as an INI file.
QString StateValue(const char* key) {
    return QSettings(qEnvironmentVariable("LABELS_STATE"), QSettings::IniFormat)
        .value(key)
        .toString();
}

// As the state file gives it, checked first: kill(0, ...) would stop ctest.
pid_t schedulerPid = 0;
void Scheduler(int signalNumber) { ::kill(schedulerPid, signalNumber); }

int JobFiles() {
    return static_cast<int>(QDir(StateValue("OUTDIR")).entryList({"job-*"}, QDir::Files).size());
}

// The first clause of each text, up to a semicolon.
QStringList FirstClauses(QStringList texts) {
    for (QString& text : texts) text = text.section(QLatin1Char(';'), 0, 0);
    return texts;
}

}  // namespace

class PrintQueueTest : public uitest::WindowTestCase {
    Q_OBJECT

private slots:
    void initTestCase() {
        schedulerPid = StateValue("PID").toInt();
        QVERIFY2(schedulerPid > 0, "no scheduler: LABELS_STATE names no state file with its PID");
        qputenv("CUPS_SERVER", StateValue("SOCKET").toUtf8());
        qputenv("LPDEST", "Labels");
    }
    void cleanup() {
        Scheduler(SIGCONT);
        WindowTestCase::cleanup();
    }
    void eachPressPrintsOneSheet_data();
    void eachPressPrintsOneSheet();
    void closeWithSheetsWaiting_data();
    void closeWithSheetsWaiting();
    void anExceptionBecomesAFailure();
};

void PrintQueueTest::eachPressPrintsOneSheet_data() {
    QTest::addColumn<bool>("accessKey");
    QTest::addColumn<int>("gapMs");
    QTest::newRow("Alt+P twice 0.8 s apart, scheduler stopped") << true << 800;
    QTest::newRow("Alt+P twice 50 ms apart") << true << 50;
    QTest::newRow("Space on Print twice, scheduler stopped") << false << 800;
}

void PrintQueueTest::eachPressPrintsOneSheet() {
    QFETCH(bool, accessKey);
    QFETCH(int, gapMs);
    const bool stalled = gapMs > 100;  // the scheduler stops for the slow rows
    auto* print = Find<QPushButton>(*window, "Command1");
    if (!accessKey) print->setFocus();
    QWidget* focused = QApplication::focusWidget();
    const int jobs = JobFiles();
    if (stalled) Scheduler(SIGSTOP);
    for (int press = 0; press < 2; ++press) {
        QTest::keyClick(focused, accessKey ? Qt::Key_P : Qt::Key_Space,
                        accessKey ? Qt::AltModifier : Qt::NoModifier);
        QTest::qWait(gapMs);
    }
    QCOMPARE(QApplication::focusWidget(), focused);
    QCOMPARE(Find<linomark::LeadingValueBox>(*window, "Text1")->text(), QStringLiteral("A0000"));
    QVERIFY(print->isEnabled());
    Scheduler(SIGCONT);
    QTRY_COMPARE_WITH_TIMEOUT(JobFiles(), jobs + 2, 20'000);
}

void PrintQueueTest::closeWithSheetsWaiting_data() {
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("answer");  // empty: a termination signal closes
    QTest::addColumn<QStringList>("said");
    QTest::newRow("Wait, then the printer answers")
        << 1 << "Wait" << QStringList{"1 sheet has not reached the printer yet."};
    QTest::newRow("21 presses, Discard")
        << 21 << "Discard"
        << QStringList{"20 sheets are still waiting for the printer",
                       "20 sheets have not reached the printer yet."};
    QTest::newRow("termination signal") << 1 << "" << QStringList{};
}

void PrintQueueTest::closeWithSheetsWaiting() {
    QFETCH(int, presses);
    QFETCH(QString, answer);
    QFETCH(QStringList, said);
    const int jobs = JobFiles();
    Scheduler(SIGSTOP);
    uitest::MessageBoxCatcher answerer(answer);
    for (int press = 0; press < presses; ++press) Find<QPushButton>(*window, "Command1")->click();
    if (answer.isEmpty()) {
        window->CloseOnTerminationSignals();
        ::raise(SIGTERM);
    } else {
        window->close();
    }
    QTRY_COMPARE(FirstClauses(answerer.texts), said);
    QTRY_COMPARE(window->isVisible(), answer == QLatin1String("Wait"));
    const bool lost = window->LostOnClose();
    const auto ending = std::chrono::steady_clock::now();
    if (answer != QLatin1String("Wait")) window.reset();
    QVERIFY(std::chrono::steady_clock::now() - ending < std::chrono::milliseconds(1'200));
    Scheduler(SIGCONT);
    QTRY_VERIFY_WITH_TIMEOUT(!window || !window->isVisible(), 10'000);
    QCOMPARE(JobFiles(), jobs + (answer == QLatin1String("Wait") ? 1 : 0));
    QCOMPARE(lost, answer.isEmpty());
}

void PrintQueueTest::anExceptionBecomesAFailure() {
    linomark::PrintService service;
    linomark::PrintRequest request;
    request.pages = [](const linomark::PagePlacement&) -> linomark::Outcome<QByteArray> {
        throw std::runtime_error("no ink");
    };
    QCOMPARE(service.Run(request).Reason(), "The labels could not be made: no ink");
}

QTEST_MAIN(PrintQueueTest)
#include "print_queue_test.moc"
