// The "LTO labels" dialog driven as a user would, with no scheduler to ask
// (CUPS_SERVER names a socket nobody listens on): typing shows the run or
// why it cannot be printed, its values are kept in [LTO] alone, and a saved
// run moves the stock's start position.
#include "ui/lto_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

#include "print/print_service.h"
#include "settings/settings_file.h"
#include "symbology/lto.h"
#include "window_test_support.h"

using linomark::LtoDialog;
using uitest::Find;

namespace {

constexpr char kOtherSections[] = "[INI]\nType=1\nColumn1=Q0000\n[Alignment]\nLaser\\OffsetX=1.5\n";

// Every key of the settings file outside [LTO], with its value.
QMap<QString, QVariant> OtherKeys() {
    const QSettings store(linomark::SettingsFilePath(), QSettings::IniFormat);
    QMap<QString, QVariant> keys;
    for (const QString& key : store.allKeys()) {
        if (!key.startsWith(QLatin1String("LTO/"))) keys[key] = store.value(key);
    }
    return keys;
}

// Types into the emptied box, key by key.
void Type(QWidget* box, const QString& text) {
    box->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(box)) line->clear();
    if (auto* list = qobject_cast<QPlainTextEdit*>(box)) list->clear();
    for (const QChar c : text) {
        if (c == u'\n')
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::keyClick(box, c.toLatin1());
    }
}

QString Summary(LtoDialog& dialog) { return Find<QLabel>(dialog, "lblSummary")->text(); }

void ChooseSheet(LtoDialog& dialog, const QString& id) {
    auto* sheet = Find<QComboBox>(dialog, "cmbSheet");
    sheet->setCurrentIndex(sheet->findData(id));
    emit sheet->activated(sheet->currentIndex());
}

}  // namespace

class LtoDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() { settings = std::make_unique<uitest::SettingsFolder>(); }
    void typingShowsTheRunOrWhyNot_data();
    void typingShowsTheRunOrWhyNot();
    void valuesAreKeptInTheirOwnSection();
    void pasteBeyondAListsBoundsIsTakenBack();
    void savedRunMovesTheStart();
    void printMenuOpensTheDialog();
    void typeBoxEntryOpensTheDialog_data();
    void typeBoxEntryOpensTheDialog();

private:
    std::unique_ptr<uitest::SettingsFolder> settings;
    linomark::PrintService service;
};

void LtoDialogTest::typingShowsTheRunOrWhyNot_data() {
    QTest::addColumn<QString>("serial");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("list");  // typed with "Use a list" on when not empty
    QTest::addColumn<QString>("mediaId");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("printable");   // else Print and Save are disabled
    QTest::addColumn<QString>("summary");  // what it prints, or why not
    QTest::newRow("lower case typed, two sheets")
        << "abc100" << 35 << ""
        << "l8"
        << "a4-2x15" << 1 << true << "35 labels, ABC100L8 to ABC134L8, on 2 sheets";
    QTest::newRow("start fills the first sheet's end")
        << "CLN001" << 3 << ""
        << "CU"
        << "a4-3x17" << 50 << true << "3 labels, CLN001CU to CLN003CU, on 2 sheets";
    QTest::newRow("list with its own media ID")
        << "" << 1 << "ab0001\n\ncln001 cu"
        << "L9"
        << "letter-2x15" << 1 << true << "2 labels, AB0001L9 to CLN001CU, on 1 sheet";
    QTest::newRow("run past its width")
        << "ABC999" << 2 << ""
        << "L9"
        << "a4-2x15" << 1 << false
        << "A run of 2 from \"ABC999\" would pass \"ABC999\", the last serial that fits its "
           "digits; the largest count from there is 1.";
    QTest::newRow("full tag, no media ID")
        << "abc100l9" << 3 << ""
        << ""
        << "a4-3x17" << 1 << true << "3 labels, ABC100L9 to ABC102L9, on 1 sheet";
    QTest::newRow("a label twice")
        << "" << 1 << "abc100l9\nABC101L9\nABC100 L9"
        << ""
        << "a4-3x17" << 1 << false
        << "Lines 1 and 3 both name ABC100L9: two cartridges with one label confuse a tape "
           "library.";
}

void LtoDialogTest::typingShowsTheRunOrWhyNot() {
    QFETCH(QString, serial);
    QFETCH(int, count);
    QFETCH(QString, list);
    QFETCH(QString, mediaId);
    QFETCH(QString, sheet);
    QFETCH(int, start);
    QFETCH(bool, printable);
    QFETCH(QString, summary);
    LtoDialog dialog(service, nullptr);
    dialog.show();
    Find<QCheckBox>(dialog, "chkList")->setChecked(!list.isEmpty());
    Type(Find<QLineEdit>(dialog, "txtFirstSerial"), serial);
    Type(Find<QPlainTextEdit>(dialog, "txtList"), list);
    Type(Find<QComboBox>(dialog, "cmbMediaId")->lineEdit(), mediaId);
    Find<QSpinBox>(dialog, "spnCount")->setValue(count);
    ChooseSheet(dialog, sheet);
    Find<QSpinBox>(dialog, "spnStartAt")->setValue(start);
    QCOMPARE(Find<QLineEdit>(dialog, "txtFirstSerial")->text(), serial.toUpper());
    QCOMPARE(Find<QPlainTextEdit>(dialog, "txtList")->toPlainText(), list.toUpper());
    QCOMPARE(Find<QPushButton>(dialog, "cmdPrint")->isEnabled(), printable);
    QCOMPARE(Find<QPushButton>(dialog, "cmdSavePdf")->isEnabled(), printable);
    QCOMPARE(Summary(dialog), summary);
}

// As a paste does: one edit the user could undo.
void LtoDialogTest::pasteBeyondAListsBoundsIsTakenBack() {
    const uitest::MessageBoxCatcher catcher;
    LtoDialog dialog(service, nullptr);
    Find<QCheckBox>(dialog, "chkList")->setChecked(true);
    auto* list = Find<QPlainTextEdit>(dialog, "txtList");
    Type(list, QStringLiteral("AB0001"));
    list->insertPlainText(QStringLiteral("\nAB0002").repeated(linomark::kLtoMaxCount + 1));
    QTRY_COMPARE(catcher.texts.size(), 1);
    QVERIFY(catcher.texts.front().contains(QLatin1String("at most")));
    QCOMPARE(list->toPlainText(), QStringLiteral("AB0001"));
}

void LtoDialogTest::valuesAreKeptInTheirOwnSection() {
    settings->Write(kOtherSections);
    const QMap<QString, QVariant> others = OtherKeys();
    QCOMPARE(others.size(), 3);
    {
        LtoDialog dialog(service, nullptr);
        Find<QCheckBox>(dialog, "chkList")->setChecked(true);
        Type(Find<QPlainTextEdit>(dialog, "txtList"), QStringLiteral("AB0001\n\nCLN001 CU"));
        Type(Find<QComboBox>(dialog, "cmbMediaId")->lineEdit(), QStringLiteral("M8"));
        ChooseSheet(dialog, QStringLiteral("letter-2x15"));
        Find<QSpinBox>(dialog, "spnStartAt")->setValue(7);
        Find<QCheckBox>(dialog, "chkColour")->click();
        dialog.reject();
    }
    QCOMPARE(OtherKeys(), others);
    LtoDialog dialog(service, nullptr);
    QVERIFY(Find<QCheckBox>(dialog, "chkList")->isChecked());
    QCOMPARE(Find<QPlainTextEdit>(dialog, "txtList")->toPlainText(), "AB0001\n\nCLN001 CU");
    QCOMPARE(Find<QComboBox>(dialog, "cmbMediaId")->currentText(), "M8");
    QCOMPARE(Find<QComboBox>(dialog, "cmbSheet")->currentData().toString(), "letter-2x15");
    QCOMPARE(Find<QSpinBox>(dialog, "spnStartAt")->value(), 7);
    QVERIFY(Find<QCheckBox>(dialog, "chkColour")->isChecked());
}

// 4 cells skipped and 35 labels fill 39 cells of 30-cell sheets: the next
// run starts at the 10th label of the second sheet, from the 36th serial.
void LtoDialogTest::savedRunMovesTheStart() {
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("run.pdf"));
    LtoDialog dialog(service, nullptr);
    dialog.show();
    Type(Find<QLineEdit>(dialog, "txtFirstSerial"), QStringLiteral("ABC100L8"));
    Find<QSpinBox>(dialog, "spnCount")->setValue(35);
    ChooseSheet(dialog, QStringLiteral("a4-2x15"));
    Find<QSpinBox>(dialog, "spnStartAt")->setValue(5);
    QTimer::singleShot(0, [pdf] {
        QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()));
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        chooser->selectFile(pdf);
        static_cast<QDialog*>(chooser)->accept();
    });
    Find<QPushButton>(dialog, "cmdSavePdf")->click();
    QTRY_COMPARE_WITH_TIMEOUT(Find<QSpinBox>(dialog, "spnStartAt")->value(), 10, 20'000);
    QCOMPARE(Find<QLineEdit>(dialog, "txtFirstSerial")->text(), "ABC135L8");
    QVERIFY(
        Summary(dialog).endsWith("\nLast saved: ABC100L8 to ABC134L8 to " + pdf + ", 35 labels"));
    QFile saved(pdf);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith("%PDF"));
    QVERIFY(settings->Read().contains("Start\\a4-2x15=10"));
}

void LtoDialogTest::printMenuOpensTheDialog() {
    auto window = uitest::ShowWindow();
    const QSize size = window->size();
    auto* entry = window->findChild<QAction*>(QStringLiteral("mnuLtoLabels"));
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("&LTO labels..."));
    QString opened;
    QTimer::singleShot(0, [&opened] {
        QTRY_VERIFY(qobject_cast<LtoDialog*>(QApplication::activeModalWidget()));
        opened = QApplication::activeModalWidget()->windowTitle();
        QApplication::activeModalWidget()->close();
    });
    entry->trigger();
    QCOMPARE(opened, QStringLiteral("LTO labels - Linomark 1.0"));
    QCOMPARE(window->size(), size);
}

void LtoDialogTest::typeBoxEntryOpensTheDialog_data() {
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("key");
    QTest::newRow("End key") << 0 << int(Qt::Key_End);
    QTest::newRow("arrow key from the second type") << 1 << int(Qt::Key_Down);
}

// The box goes back to the type it held, and that type is the one stored.
void LtoDialogTest::typeBoxEntryOpensTheDialog() {
    QFETCH(int, held);
    QFETCH(int, key);
    auto window = uitest::ShowWindow();
    auto* type = Find<QComboBox>(*window, "cmbType");
    type->setCurrentIndex(held);
    bool opened = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&opened] {
        auto* dialog = qobject_cast<LtoDialog*>(QApplication::activeModalWidget());
        if (dialog) opened = dialog->close();
    });
    closer.start(10);
    QTest::keyClick(type, Qt::Key(key));
    QTRY_VERIFY(opened);
    QCOMPARE(type->currentIndex(), held);
    window->close();
    QVERIFY(settings->Read().contains("Type=" + QByteArray::number(held)));
}

QTEST_MAIN(LtoDialogTest)
#include "lto_dialog_test.moc"
