// The link and copyright labels open the maker's page through the desktop's
// opener; a failure shows the warning box, worded exactly. The opener is a
// stand-in script on a PATH of the test's own.
#include <QFile>
#include <QLabel>
#include <QMessageBox>

#include "window_test_support.h"

using uitest::Find;

namespace {

const QString kAddress = QStringLiteral("https://linomark.example.org/");

// An xdg-open that notes its argument and ends with the given status.
void PutOpenerOnPath(const QTemporaryDir& bin, int exitStatus) {
    QFile opener(bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\necho \"$1\" > \"%1\"\nexit %2\n")
                     .arg(bin.filePath(QStringLiteral("argument")))
                     .arg(exitStatus)
                     .toUtf8());
    opener.close();
    QVERIFY(opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

}  // namespace

class LinkTest : public QObject {
    Q_OBJECT

private slots:
    void clickOpensTheMakersPageOrWarns_data();
    void clickOpensTheMakersPageOrWarns();
};

void LinkTest::clickOpensTheMakersPageOrWarns_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("openerExitStatus");  // -1: no opener on PATH
    QTest::addColumn<QString>("warning");

    QTest::newRow("lblURL opens the page") << "lblURL" << 0 << "";
    QTest::newRow("lblCopyright opens the page") << "lblCopyright" << 0 << "";
    QTest::newRow("no application for the address")
        << "lblCopyright" << 3
        << "Error occured while running 'https://linomark.example.org/'.\r\n\r\n"
           "[No application is associated with this file type.]";
    QTest::newRow("no opener at all")
        << "lblURL" << -1
        << "Error occured while running 'https://linomark.example.org/'.\r\n\r\n"
           "[File not found]";
}

void LinkTest::clickOpensTheMakersPageOrWarns() {
    QFETCH(QString, label);
    QFETCH(int, openerExitStatus);
    QFETCH(QString, warning);
    QTemporaryDir bin;
    if (openerExitStatus >= 0) PutOpenerOnPath(bin, openerExitStatus);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    uitest::SettingsFolder settings;
    auto window = uitest::ShowWindow();
    uitest::MessageBoxCatcher catcher;
    QTest::mouseClick(Find<QLabel>(*window, qPrintable(label)), Qt::LeftButton);
    qputenv("PATH", oldPath);
    if (warning.isEmpty()) {
        QVERIFY(catcher.texts.isEmpty());
        QFile argument(bin.filePath(QStringLiteral("argument")));
        QVERIFY(argument.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(argument.readAll()).trimmed(), kAddress);
    } else {
        QCOMPARE(catcher.texts, QStringList{warning});
        QCOMPARE(catcher.titles, QStringList{QStringLiteral("Linomark 1.0")});
        QCOMPARE(catcher.icons, QList<int>{QMessageBox::Warning});
    }
}

QTEST_MAIN(LinkTest)
#include "link_test.moc"
