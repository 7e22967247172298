// The cost of editing in the real window: one typed character in Text1 through
// the whole path (upper-casing, change, the ten lines regenerated, preview
// drawn and painted), and one caret move in a column list (key release,
// caret-line search, preview drawn and painted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "ui/form1.h"

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
