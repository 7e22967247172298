// The link and copyright labels open the maker's page through the desktop's
// opener and the window goes on answering meanwhile; a failure shows the
// warning box, worded exactly. The opener is a stand-in script alone on PATH,
// or the real xdg-open without a desktop, which runs the browser (a stand-in
// that sleeps) and waits for it. Every opener ends reaped, none left a zombie.
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <optional>
#include <utility>
#include <vector>

#include "linomark_config.h"
#include "ui/mshellexecute.h"
#include "window_test_support.h"

using uitest::Find;

namespace {

const QString kAddress = QString::fromUtf8(linomark::kMakerAddress);
constexpr int kNoOpener = -1;
constexpr int kRealOpener = -2;  // the real xdg-open with a stand-in browser
constexpr int kAnswerLimitMs = 100;
constexpr int kBrowserSeconds = 4;  // longer than the opener's answer time
constexpr int kReapedWithinMs = 15'000;

void WriteScript(const QString& path, const QString& text) {
    QFile script(path);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(text.toUtf8());
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

// Sets (or with no value removes) environment variables while it lives.
class EnvironmentOverride {
public:
    using Values = std::vector<std::pair<const char*, std::optional<QByteArray>>>;
    explicit EnvironmentOverride(const Values& values) {
        for (const auto& [name, value] : values) {
            saved.emplace_back(name, qEnvironmentVariableIsSet(name)
                                         ? std::optional<QByteArray>(qgetenv(name))
                                         : std::nullopt);
            Apply(name, value);
        }
    }
    ~EnvironmentOverride() {
        for (const auto& [name, value] : saved) Apply(name, value);
    }

private:
    static void Apply(const char* name, const std::optional<QByteArray>& value) {
        if (value) {
            qputenv(name, *value);
        } else {
            qunsetenv(name);
        }
    }

    Values saved;
};

// A fake xdg-open that notes its argument (with printf: dash's echo would
// read a backslash in it as an escape) and whether it has the descriptor
// ours, and ends with the given status, alone on PATH (or no opener at all).
EnvironmentOverride::Values FakeOpener(const QTemporaryDir& bin, int exitStatus, int ours) {
    if (exitStatus != kNoOpener) {
        WriteScript(bin.filePath(QStringLiteral("xdg-open")),
                    QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" > \"%1\"\n"
                                   "[ -e /proc/$$/fd/%3 ] && : > \"%1.kept\"\nexit %2\n")
                        .arg(bin.filePath(QStringLiteral("argument")))
                        .arg(exitStatus)
                        .arg(ours));
    }
    return {{"PATH", bin.path().toLocal8Bit()}};
}

// The real xdg-open as on a bare window manager: a display, but no desktop
// named, no session bus and no handler for the address, so it runs $BROWSER.
EnvironmentOverride::Values RealOpenerWithoutDesktop(const QTemporaryDir& bin) {
    WriteScript(bin.filePath(QStringLiteral("browser")),
                QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" > \"%1\"\nsleep %2\n")
                    .arg(bin.filePath(QStringLiteral("argument")))
                    .arg(kBrowserSeconds));
    const QByteArray empty = bin.path().toLocal8Bit();
    EnvironmentOverride::Values values{
        {"BROWSER", bin.filePath(QStringLiteral("browser")).toLocal8Bit()},
        {"DISPLAY", ":987"},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus"},
        {"XDG_CONFIG_HOME", empty},
        {"XDG_CONFIG_DIRS", empty},
        {"XDG_DATA_HOME", empty},
        {"XDG_DATA_DIRS", empty}};
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
          "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "LXQT_SESSION_CONFIG", "DESKTOP",
          "WAYLAND_DISPLAY"}) {
        values.emplace_back(name, std::nullopt);
    }
    return values;
}

// The processes this test is the parent of, ended and unreaped ones included.
int ChildProcessCount() {
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    int count = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // "pid (name) state ppid ...", where the name may hold anything.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1) == self) ++count;
    }
    return count;
}

// The time from before the click, or the key pressed on the focused label,
// until the window has handled an event posted right after it.
qint64 ClickAnswerTimeMs(QWidget* label, Qt::Key key) {
    if (key != Qt::Key_unknown) label->setFocus(Qt::TabFocusReason);
    QElapsedTimer clock;
    clock.start();
    if (key == Qt::Key_unknown)
        QTest::mouseClick(label, Qt::LeftButton);
    else
        QTest::keyClick(label, key);
    bool answered = false;
    QTimer::singleShot(0, [&answered] { answered = true; });
    while (!answered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return clock.elapsed();
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
    QTest::addColumn<int>("opener");  // a fake's exit status, kNoOpener or kRealOpener
    QTest::addColumn<QString>("warning");
    QTest::addColumn<Qt::Key>("key");  // Key_unknown: a click

    const QString warningStart =
        QStringLiteral("Error occured while running '%1'.\r\n\r\n").arg(kAddress);
    QTest::newRow("lblURL opens the page") << "lblURL" << 0 << "" << Qt::Key_unknown;
    QTest::newRow("lblCopyright opens the page") << "lblCopyright" << 0 << "" << Qt::Key_unknown;
    QTest::newRow("no desktop: xdg-open waits for the browser it started")
        << "lblURL" << kRealOpener << "" << Qt::Key_unknown;
    QTest::newRow("file does not exist")
        << "lblURL" << 2 << warningStart + QStringLiteral("[File not found]") << Qt::Key_unknown;
    QTest::newRow("no application for the address")
        << "lblCopyright" << 3
        << warningStart + QStringLiteral("[No application is associated with this file type.]")
        << Qt::Key_unknown;
    QTest::newRow("no opener at all")
        << "lblURL" << kNoOpener << warningStart + QStringLiteral("[File not found]")
        << Qt::Key_unknown;
    QTest::newRow("Enter on lblURL opens the page") << "lblURL" << 0 << "" << Qt::Key_Return;
    QTest::newRow("Space on lblCopyright opens the page")
        << "lblCopyright" << 0 << "" << Qt::Key_Space;
}

void LinkTest::clickOpensTheMakersPageOrWarns() {
    QFETCH(QString, label);
    QFETCH(int, opener);
    QFETCH(QString, warning);
    QFETCH(Qt::Key, key);
    QTemporaryDir bin;
    uitest::SettingsFolder settings;
    auto window = uitest::ShowWindow();
    uitest::MessageBoxCatcher catcher;
    qint64 answerMs = 0;
    {
        // A descriptor without close-on-exec, as a library may leave one.
        const int ours = ::open("/dev/null", O_RDONLY);
        const EnvironmentOverride environment(opener == kRealOpener ? RealOpenerWithoutDesktop(bin)
                                                                    : FakeOpener(bin, opener, ours));
        answerMs = ClickAnswerTimeMs(Find<QLabel>(*window, qPrintable(label)), key);
        ::close(ours);
    }
    QVERIFY2(answerMs < kAnswerLimitMs, qPrintable(QString::number(answerMs) + " ms"));
    if (opener == kRealOpener) {
        QTest::qWait(static_cast<int>(mShellExecute::kOpenerAnswerTime.count()) + 500);
        QCOMPARE(catcher.texts, QStringList());
        QCOMPARE(ChildProcessCount(), 1);  // the opener, waiting for the browser
    }
    QTRY_COMPARE_WITH_TIMEOUT(ChildProcessCount(), 0, kReapedWithinMs);
    if (warning.isEmpty()) {
        QTest::qWait(100);
        QCOMPARE(catcher.texts, QStringList());
        QFile argument(bin.filePath(QStringLiteral("argument")));
        QVERIFY(argument.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(argument.readAll()).trimmed(), kAddress);
        QVERIFY2(!QFile::exists(argument.fileName() + ".kept"), "the opener kept a descriptor above 2");
    } else {
        QTRY_COMPARE(catcher.texts, QStringList{warning});
        QCOMPARE(catcher.titles, QStringList{QStringLiteral("Linomark 1.0")});
        QCOMPARE(catcher.icons, QList<int>{QMessageBox::Warning});
    }
}

QTEST_MAIN(LinkTest)
#include "link_test.moc"
