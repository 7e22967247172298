// The built program ended by the system: SIGTERM, SIGINT and SIGHUP close the
// window the way its close box does, so the settings file is written; two
// programs ended together leave a whole file.
#include <signal.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kTimeLimitMs = 20'000;

// Written by hand with a comment and blanks that the program's own writing
// leaves out, so a rewritten file is told from this one.
constexpr char kHandWrittenIni[] = "; written by hand\n[INI]\nType = 1\nColumn1 = Q0042\n";

// The program makes its signal socket pair just before its handlers are set;
// once a socket shows among its open files, a signal is handled, not fatal.
bool HasSocketOpen(qint64 pid) {
    std::error_code error;
    const std::filesystem::path fds = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto& fd : std::filesystem::directory_iterator(fds, error)) {
        if (std::filesystem::read_symlink(fd.path(), error).string().starts_with("socket:")) {
            return true;
        }
    }
    return false;
}

class SettingsHome {
public:
    SettingsHome() {
        QVERIFY(QDir().mkpath(Config()));
        QFile ini(IniPath());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(kHandWrittenIni);
    }
    [[nodiscard]] QString Config() const { return home.filePath(QStringLiteral("config")); }
    [[nodiscard]] QString IniPath() const { return Config() + QStringLiteral("/Linomark 1.0.ini"); }
    [[nodiscard]] QString Read() const {
        QFile ini(IniPath());
        return ini.open(QIODevice::ReadOnly) ? QString::fromUtf8(ini.readAll()) : QString();
    }
    [[nodiscard]] QString Home() const { return home.path(); }

private:
    QTemporaryDir home;
};

// Starts the program offscreen on the given settings and waits until its
// signal handlers are in place.
std::unique_ptr<QProcess> StartProgram(const SettingsHome& settings) {
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), settings.Home());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.Config());
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    program->setProcessEnvironment(environment);
    program->start(QStringLiteral(LINOMARK_PROGRAM), QStringList());
    if (!program->waitForStarted()) return program;
    QElapsedTimer waited;
    waited.start();
    while (!HasSocketOpen(program->processId()) && waited.elapsed() < kTimeLimitMs)
        QTest::qWait(20);
    QTest::qWait(300);
    return program;
}

void ExpectEnd(QProcess& program, int status) {
    QVERIFY(program.waitForFinished(kTimeLimitMs));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
}

void ExpectCleanEnd(QProcess& program) { ExpectEnd(program, 0); }

void ExpectRewrittenWithShownValues(const QString& written) {
    QVERIFY2(!written.contains(QLatin1String("by hand")), qPrintable(written));
    QCOMPARE(written.count(QLatin1String("[INI]")), 1);
    for (const char* line : {"Type=1\n", "Column1=Q0042\n", "Column2=B0000\n", "Column3=C0000\n"}) {
        QVERIFY2(written.count(QLatin1String(line)) == 1, qPrintable(written));
    }
}

}  // namespace

class TerminationSignalTest : public QObject {
    Q_OBJECT

private slots:
    void signalClosesTheWindowAndSavesTheSettings_data();
    void signalClosesTheWindowAndSavesTheSettings();
    void twoProgramsEndedTogetherLeaveAWholeFile();
    void signalWithAnUnwritableStoreSaysWhyAndEnds();
};

void TerminationSignalTest::signalClosesTheWindowAndSavesTheSettings_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TerminationSignalTest::signalClosesTheWindowAndSavesTheSettings() {
    QFETCH(int, signalNumber);
    SettingsHome settings;
    const auto program = StartProgram(settings);
    QCOMPARE(::kill(static_cast<pid_t>(program->processId()), signalNumber), 0);
    ExpectCleanEnd(*program);
    ExpectRewrittenWithShownValues(settings.Read());
}

void TerminationSignalTest::twoProgramsEndedTogetherLeaveAWholeFile() {
    SettingsHome settings;
    const auto first = StartProgram(settings);
    const auto second = StartProgram(settings);
    QCOMPARE(::kill(static_cast<pid_t>(first->processId()), SIGTERM), 0);
    QCOMPARE(::kill(static_cast<pid_t>(second->processId()), SIGTERM), 0);
    ExpectCleanEnd(*first);
    ExpectCleanEnd(*second);
    ExpectRewrittenWithShownValues(settings.Read());
}

// A message box would keep the program running with nobody there to close it
// (a log-out waits for it): the reason goes to standard error instead.
void TerminationSignalTest::signalWithAnUnwritableStoreSaysWhyAndEnds() {
    SettingsHome settings;
    QVERIFY(QFile::remove(settings.IniPath()) && QDir().mkdir(settings.IniPath()));
    const auto program = StartProgram(settings);
    QCOMPARE(::kill(static_cast<pid_t>(program->processId()), SIGTERM), 0);
    // Status 1: a session manager's log shows that something was lost.
    ExpectEnd(*program, 1);
    const QByteArray said = program->readAllStandardError();
    QVERIFY2(said.contains("The settings were not saved: the settings file "), said.constData());
}

QTEST_GUILESS_MAIN(TerminationSignalTest)
#include "termination_signal_test.moc"
