// The Print button against the private scheduler of the end-to-end tests,
// stopped (SIGSTOP) as a hung one is: every press queues one sheet, the focus
// and the typed values stay where they were, a 21st waiting sheet is refused,
// closing asks what becomes of the waiting sheets, and the print service ends
// a stalled job and any exception as an outcome.
#include <signal.h>

#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <stdexcept>

#include "ui/leading_value_box.h"
#include "ui/termination_signals.h"
#include "window_test_support.h"

using uitest::Find;

namespace {

QString StateValue(const char* key) {
    QFile state(qEnvironmentVariable("LABELS_STATE"));
    if (!state.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& line : state.readAll().split('\n')) {
        if (line.startsWith(QByteArray(key) + '=')) return QString::fromUtf8(line.mid(qstrlen(key) + 1));
    }
    return {};
}

void Scheduler(int signalNumber) { ::kill(StateValue("PID").toInt(), signalNumber); }

int JobFiles() {
    return static_cast<int>(QDir(StateValue("OUTDIR")).entryList({"job-*"}, QDir::Files).size());
}

// Answers every message box: the close question with the given button, a
// warning with OK; records their texts.
struct Answerer {
    explicit Answerer(const QString& button) {
        QObject::connect(&poll, &QTimer::timeout, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts << box->text();
            for (QAbstractButton* choice : box->buttons()) {
                if (choice->text().remove(QLatin1Char('&')) == button) return choice->click();
            }
            box->done(QMessageBox::Ok);
        });
        poll.start(10);
    }
    QStringList texts;
    QTimer poll;
};

}  // namespace

class PrintQueueTest : public uitest::WindowTestCase {
    Q_OBJECT

private slots:
    void initTestCase() {
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
    void failuresComeBackAsOutcomes_data();
    void failuresComeBackAsOutcomes();
};

void PrintQueueTest::eachPressPrintsOneSheet_data() {
    QTest::addColumn<bool>("accessKey");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<bool>("stalled");
    QTest::newRow("Alt+P twice 0.8 s apart, scheduler stopped") << true << 800 << true;
    QTest::newRow("Alt+P twice 50 ms apart") << true << 50 << false;
    QTest::newRow("Space on Print twice, scheduler stopped") << false << 800 << true;
}

void PrintQueueTest::eachPressPrintsOneSheet() {
    QFETCH(bool, accessKey);
    QFETCH(int, gapMs);
    QFETCH(bool, stalled);
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
    QTest::newRow("21 presses, Discard") << 21 << "Discard"
        << QStringList{"20 sheets are still waiting for the printer; this one was not added. Wait "
                       "until they are printed, or check the printer, and try again.",
                       "20 sheets have not reached the printer yet."};
    QTest::newRow("termination signal") << 1 << "" << QStringList{};
}

void PrintQueueTest::closeWithSheetsWaiting() {
    QFETCH(int, presses);
    QFETCH(QString, answer);
    QFETCH(QStringList, said);
    const int jobs = JobFiles();
    Scheduler(SIGSTOP);
    Answerer answerer(answer);
    for (int press = 0; press < presses; ++press) Find<QPushButton>(*window, "Command1")->click();
    if (answer.isEmpty()) {
        linomark::CloseOnTerminationSignals(*window);
        ::raise(SIGTERM);
    } else {
        window->close();
    }
    QTRY_COMPARE(answerer.texts, said);
    QTRY_COMPARE(window->isVisible(), answer == QLatin1String("Wait"));
    QElapsedTimer ending;
    ending.start();
    if (answer != QLatin1String("Wait")) window.reset();
    QVERIFY2(ending.elapsed() < 1'200, qPrintable(QString::number(ending.elapsed())));
    Scheduler(SIGCONT);
    if (answer == QLatin1String("Wait")) {
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 10'000);
        QCOMPARE(JobFiles(), jobs + 1);
    }
    if (answer.isEmpty()) QCOMPARE(linomark::ExitStatus(0), 1);
}

void PrintQueueTest::failuresComeBackAsOutcomes_data() {
    QTest::addColumn<bool>("standardException");
    QTest::addColumn<QString>("reason");
    QTest::newRow("std::runtime_error") << true << "The labels could not be made: no ink";
    QTest::newRow("an int") << false << "The labels could not be made: an unexpected error.";
}

void PrintQueueTest::failuresComeBackAsOutcomes() {
    QFETCH(bool, standardException);
    QFETCH(QString, reason);
    linomark::PrintService service;
    linomark::PrintRequest request;
    request.pages = [standardException](const linomark::PagePlacement&) {
        if (standardException) throw std::runtime_error("no ink");
        throw 42;
        return linomark::Outcome<QByteArray>(QByteArray());
    };
    const auto outcome = service.Run(request);
    QVERIFY(!outcome);
    QCOMPARE(QString::fromStdString(outcome.Reason()), reason);
}

QTEST_MAIN(PrintQueueTest)
#include "print_queue_test.moc"
