// The cost of editing in the real window: one typed character in Text1 through
// the whole path (upper-casing, change, the ten lines regenerated, preview
// drawn and painted), and one caret move in a column list (key release,
// caret-line search, preview drawn and painted); and one typed character in
// the LTO dialog's first serial (the run checked and planned, the label drawn,
// the sheet's miniature and the summary painted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "print/print_service.h"
#include "ui/form1.h"
#include "ui/lto_dialog.h"

namespace {

linomark::Form1* window = nullptr;

template <class Control>
Control* Find(const char* name) {
    return window->findChild<Control*>(QString::fromLatin1(name));
}

// Handles whatever the keystroke queued, the preview's repaint included.
void Settle() { QCoreApplication::processEvents(); }

void TypeCharacterInText1(benchmark::State& state) {
    auto* box = Find<QLineEdit>("Text1");
    box->setFocus();
    Settle();
    for (auto _ : state) {
        state.PauseTiming();
        box->setText(QStringLiteral("A000"));
        box->end(false);
        Settle();
        state.ResumeTiming();
        QTest::keyClick(box, Qt::Key_5);
        Settle();
    }
}
BENCHMARK(TypeCharacterInText1)->Unit(benchmark::kMicrosecond);

void MoveCaretInColumnList(benchmark::State& state) {
    auto* list = Find<QPlainTextEdit>("txt1");
    list->setFocus();
    Settle();
    bool down = true;
    for (auto _ : state) {
        QTest::keyClick(list, down ? Qt::Key_Down : Qt::Key_Up);
        Settle();
        down = !down;
    }
}
BENCHMARK(MoveCaretInColumnList)->Unit(benchmark::kMicrosecond);

// A run of 1,000 labels (ABC000 to ABC999): the whole run is made and
// planned again at every keystroke.
void TypeCharacterInLtoSerial(benchmark::State& state) {
    linomark::PrintService service;
    linomark::LtoDialog dialog(service, window);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) state.SkipWithError("the dialog was not shown");
    dialog.findChild<QSpinBox*>(QStringLiteral("spnCount"))->setValue(1000);
    auto* serial = dialog.findChild<QLineEdit*>(QStringLiteral("txtFirstSerial"));
    serial->setFocus();
    for (auto _ : state) {
        state.PauseTiming();
        serial->setText(QStringLiteral("abc00"));
        serial->end(false);
        Settle();
        state.ResumeTiming();
        QTest::keyClick(serial, Qt::Key_0);
        Settle();
    }
}
BENCHMARK(TypeCharacterInLtoSerial)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsFolder;
    qputenv("XDG_CONFIG_HOME", settingsFolder.path().toUtf8());
    QApplication app(argc, argv);
    linomark::Form1 form;
    window = &form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
