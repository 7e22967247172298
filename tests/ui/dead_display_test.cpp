// The built program started on a display nobody serves says so in one plain
// line and ends with status 1, instead of aborting in Qt's platform plugin.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kTimeLimitMs = 20'000;

}  // namespace

class DeadDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void saysSoAndEndsWithStatus1_data();
    void saysSoAndEndsWithStatus1();
};

void DeadDisplayTest::saysSoAndEndsWithStatus1_data() {
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("display");
    QTest::newRow("X display") << "DISPLAY"
                               << ":987";
    QTest::newRow("Wayland display") << "WAYLAND_DISPLAY"
                                     << "linomark-no-compositor";
}

void DeadDisplayTest::saysSoAndEndsWithStatus1() {
    QFETCH(QString, variable);
    QFETCH(QString, display);
    QTemporaryDir runtimeFolder;  // where no compositor has its socket
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder.path());
    environment.insert(variable, display);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(runtimeFolder.path());
    program.start(QStringLiteral(LINOMARK_PROGRAM), QStringList());
    QVERIFY(program.waitForFinished(kTimeLimitMs));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 1);
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()),
             QStringLiteral("linomark: cannot connect to the display %1\n").arg(display));
}

QTEST_GUILESS_MAIN(DeadDisplayTest)
#include "dead_display_test.moc"
