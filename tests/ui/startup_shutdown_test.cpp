// Start-up from the settings store and shut-down back into it, through the
// real window and an INI file written by hand in the store's folder.
#include <unistd.h>

#include <QComboBox>
#include <csignal>

#include "ui/column_list.h"
#include "ui/leading_value_box.h"
#include "window_test_support.h"

using linomark::ColumnList;
using linomark::LeadingValueBox;
using uitest::Find;

// How the store is made unwritable.
enum class Blocking { FileIsAFolder, FolderUnderAPlainFile, ReadOnlyFolder };

class StartupShutdownTest : public QObject {
    Q_OBJECT

private slots:
    void startsFromTheStore_data();
    void startsFromTheStore();
    void closeWritesAllFourKeysAndNotTheLists_data();
    void closeWritesAllFourKeysAndNotTheLists();
    void terminationSignalSavesTheTypedValue();
    void closeWithAnUnwritableStoreWarnsAndStillCloses_data();
    void closeWithAnUnwritableStoreWarnsAndStillCloses();
};

void StartupShutdownTest::startsFromTheStore_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("column2");
    QTest::addColumn<QString>("txt2FirstLine");
    QTest::addColumn<QString>("previewed");

    QTest::newRow("empty store") << QByteArray() << 0 << "B0000"
                                 << "B0000"
                                 << "A0000A";
    QTest::newRow("Type 1 previews Text1 without check character")
        << QByteArray("[INI]\nType=1\n") << 1 << "B0000"
        << "B0000"
        << "A0000";
    QTest::newRow("empty Column2 gives an empty box and list")
        << QByteArray("[INI]\nColumn2=\n") << 0 << ""
        << ""
        << "A0000A";
    QTest::newRow("Type abc is not a number") << QByteArray("[INI]\nType=abc\n") << 0 << "B0000"
                                              << "B0000"
                                              << "A0000A";
    QTest::newRow("Type 7 is no label type") << QByteArray("[INI]\nType=7\n") << 0 << "B0000"
                                             << "B0000"
                                             << "A0000A";
    QTest::newRow("Type 1.5 rounds half to even, to 2")
        << QByteArray("[INI]\nType=1.5\n") << 0 << "B0000"
        << "B0000"
        << "A0000A";
    QTest::newRow("all four keys")
        << QByteArray("[INI]\nType=1\nColumn1=XY0001\nColumn2=AB-01\nColumn3=Z9\n") << 1 << "AB-01"
        << "AB-01"
        << "XY0001";
}

void StartupShutdownTest::startsFromTheStore() {
    QFETCH(QByteArray, ini);
    QFETCH(int, type);
    QFETCH(QString, column2);
    QFETCH(QString, txt2FirstLine);
    QFETCH(QString, previewed);
    uitest::SettingsFolder settings;
    if (!ini.isEmpty()) settings.Write(ini);
    auto window = uitest::ShowWindow();
    QCOMPARE(Find<QComboBox>(*window, "cmbType")->currentIndex(), type);
    QCOMPARE(Find<LeadingValueBox>(*window, "Text2")->text(), column2);
    QCOMPARE(Find<ColumnList>(*window, "txt2")->Text().section(QStringLiteral("\r\n"), 0, 0),
             txt2FirstLine);
    auto* text1 = Find<LeadingValueBox>(*window, "Text1");
    QCOMPARE(QApplication::focusWidget(), text1);
    QCOMPARE(text1->selectedText(), text1->text());
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), previewed);
    // Reading the store never writes it.
    QCOMPARE(settings.Read(), ini);
}

void StartupShutdownTest::closeWritesAllFourKeysAndNotTheLists_data() {
    QTest::addColumn<int>("key");  // with Ctrl; none: the close box
    QTest::newRow("close box") << 0;
    QTest::newRow("Ctrl+Q") << int(Qt::Key_Q);
    QTest::newRow("Ctrl+W") << int(Qt::Key_W);
}

void StartupShutdownTest::closeWritesAllFourKeysAndNotTheLists() {
    QFETCH(int, key);
    uitest::SettingsFolder settings;
    settings.Write("[INI]\nType=abc\nColumn3=x\n");
    {
        auto window = uitest::ShowWindow();
        auto* text1 = Find<LeadingValueBox>(*window, "Text1");
        QTest::keyClicks(text1, QStringLiteral("d0100"));
        Find<ColumnList>(*window, "txt1")->SetText(QStringLiteral("EDITED\r\n"));
        if (key) QTest::keyClick(text1, Qt::Key(key), Qt::ControlModifier);
        QVERIFY(key ? !window->isVisible() : window->close());
    }
    const QString written = QString::fromUtf8(settings.Read());
    for (const char* line : {"Type=0", "Column1=D0100", "Column2=B0000", "Column3=x"}) {
        QVERIFY2(written.contains(QLatin1String(line)), qPrintable(written));
    }
    QVERIFY(!written.contains(QStringLiteral("EDITED")));
    auto window = uitest::ShowWindow();
    QCOMPARE(Find<LeadingValueBox>(*window, "Text1")->text(), QStringLiteral("D0100"));
    QVERIFY(
        Find<ColumnList>(*window, "txt1")->Text().startsWith(QStringLiteral("D0100\r\nD0101\r\n")));
}

// The system ending the program (a log-out, a shut-down) closes the window as
// its close box does: the value typed is back at the next start.
void StartupShutdownTest::terminationSignalSavesTheTypedValue() {
    uitest::SettingsFolder settings;
    {
        auto window = uitest::ShowWindow();
        window->CloseOnTerminationSignals();
        QTest::keyClicks(Find<LeadingValueBox>(*window, "Text1"), QStringLiteral("k0042"));
        QCOMPARE(std::raise(SIGTERM), 0);
        QTRY_VERIFY(!window->isVisible());
    }
    auto window = uitest::ShowWindow();
    QCOMPARE(Find<LeadingValueBox>(*window, "Text1")->text(), QStringLiteral("K0042"));
}

void StartupShutdownTest::closeWithAnUnwritableStoreWarnsAndStillCloses_data() {
    QTest::addColumn<int>("blocking");
    QTest::newRow("the settings file is a folder") << int(Blocking::FileIsAFolder);
    QTest::newRow("the settings folder cannot be made") << int(Blocking::FolderUnderAPlainFile);
    QTest::newRow("the settings folder is read-only") << int(Blocking::ReadOnlyFolder);
}

void StartupShutdownTest::closeWithAnUnwritableStoreWarnsAndStillCloses() {
    QFETCH(int, blocking);
    uitest::SettingsFolder settings;
    switch (Blocking(blocking)) {
        case Blocking::FileIsAFolder:
            settings.BlockWithFolder();
            break;
        case Blocking::FolderUnderAPlainFile:
            settings.MoveUnderPlainFile();
            break;
        case Blocking::ReadOnlyFolder:
            if (::geteuid() == 0) QSKIP("the superuser writes into read-only folders");
            settings.MakeReadOnly();
            break;
    }
    auto window = uitest::ShowWindow();
    uitest::MessageBoxCatcher catcher;
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(catcher.titles, QStringList{QStringLiteral("Linomark 1.0")});
    QVERIFY2(catcher.texts.front().startsWith(QStringLiteral("The settings were not saved: ")),
             qPrintable(catcher.texts.front()));
    QVERIFY(catcher.texts.front().size() > QStringLiteral("The settings were not saved: ").size());
}

QTEST_MAIN(StartupShutdownTest)
#include "startup_shutdown_test.moc"
