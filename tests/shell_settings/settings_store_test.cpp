// What may stand in place of the settings file, seen through a second process
// as the next start of the program sees it: run as this test's user and, when
// that is the superuser, once more as a user without privileges, since the
// superuser may write what the mode bits forbid.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "test_support.h"

namespace {

// An unprivileged user that owns no files of its own.
constexpr uid_t kNobody = 65534;
constexpr int kTimeLimitMs = 5000;
constexpr char kOldIni[] = "[INI]\nType=1\nColumn1=OLD1\nColumn2=OLD2\nColumn3=OLD3\n";
const QStringList kOld{"1", "OLD1", "OLD2", "OLD3"};
const QStringList kNew{"0", "NEW1", "NEW2", "NEW3"};
const QStringList kDefaults{"0", "A0000", "B0000", "C0000"};

struct Store {
    QTemporaryDir home;
    QString configHome = home.filePath(".config");
    QString file = home.filePath(".config/Linomark 1.0.ini");
    QStringList runUnder;  // a command the settings tool runs under
};

void WriteFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size())
        << path.toStdString();
}

void Link(const QString& target, const QString& link) {
    QDir().mkpath(QFileInfo(link).absolutePath());
    EXPECT_TRUE(QFile::link(target, link)) << link.toStdString();
}

QString ErrorText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Each returns why the row cannot be arranged on this system, or an empty
// text.
QString NamedPipe(Store& s) {
    QDir().mkpath(s.configHome);
    EXPECT_EQ(::mkfifo(QFile::encodeName(s.file), 0644), 0) << ErrorText().toStdString();
    return {};
}

// The zero device's numbers, on a node of the test's own.
QString LinkToDevice(Store& s) {
    const QString node = s.home.filePath("zero");
    if (::mknod(QFile::encodeName(node), S_IFCHR | 0666, makedev(1, 5)) != 0)
        return "cannot make a device node here (" + ErrorText() + ")";
    Link(node, s.file);
    return {};
}

// A file that does not parse is replaced whole: the link must survive that too.
QString LinkToRegularFile(Store& s) {
    const QString target = s.home.filePath("dotfiles/linomark.ini");
    WriteFile(target, "[INI\nnot a setting\n");
    Link(target, s.file);
    return {};
}

QString RelativeConfigHome(Store& s) {
    s.configHome = "config";
    WriteFile(s.file, kOldIni);
    return {};
}

QString ReadOnlyFile(Store& s) {
    WriteFile(s.file, kOldIni);
    EXPECT_TRUE(
        QFile::setPermissions(s.file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    return {};
}

// The config folder mounted read-only in a mount namespace of the tool's own.
QString ReadOnlyFileSystem(Store& s) {
    WriteFile(s.file, kOldIni);
    s.runUnder = QStringList{"unshare", "--mount"};
    if (::geteuid() != 0) s.runUnder << "--map-root-user";
    s.runUnder << "sh"
               << "-c"
               << R"(mount --bind -o ro "$0" "$0" && exec "$@")" << s.configHome;
    QProcess probe;
    probe.start(s.runUnder.first(), s.runUnder.mid(1) << "true");
    if (probe.waitForFinished(kTimeLimitMs) && probe.exitCode() == 0) return {};
    return "cannot mount a folder read-only here: " + probe.readAllStandardError();
}

struct Row {
    const char* name;
    QString (*arrange)(Store&);
    const char* reason;  // a part of it; none when the values must be saved
    const QStringList* readBack;
};

const Row kRows[] = {
    {"NamedPipeIsNotOpened", NamedPipe, " is a named pipe", &kDefaults},
    {"LinkToADeviceLeavesTheDevice", LinkToDevice, ", which is a device", &kDefaults},
    {"LinkToARegularFileIsWrittenThrough", LinkToRegularFile, nullptr, &kNew},
    {"RelativeConfigHomeMeansDotConfig", RelativeConfigHome, nullptr, &kNew},
    {"FileWithoutWritePermissionIsKept", ReadOnlyFile, " is read-only", &kOld},
    {"ReadOnlyFileSystemIsNamed", ReadOnlyFileSystem, " is on a read-only file system", &kOld},
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

// What the file is, and for anything other than a saved row, all of it that
// must stay: the type of the entry and of what it leads to, mode, node, bytes.
QString Kind(const QString& path) {
    struct stat entry {};
    struct stat target {};
    if (::lstat(QFile::encodeName(path), &entry) != 0) return "absent";
    const bool reached = ::stat(QFile::encodeName(path), &target) == 0;
    return QString::number(entry.st_mode & S_IFMT, 8) + " to " +
           (reached ? QString::number(target.st_mode & S_IFMT, 8) : "nothing");
}

QString Everything(const QString& path) {
    struct stat target {};
    ::stat(QFile::encodeName(path), &target);
    QFile file(path);
    const bool regular = S_ISREG(target.st_mode) && file.open(QIODevice::ReadOnly);
    return QStringLiteral("%1 mode %2 node %3 device %4 bytes %5")
        .arg(Kind(path), QString::number(target.st_mode & 07777, 8))
        .arg(target.st_ino)
        .arg(target.st_rdev)
        .arg(regular ? QString::fromUtf8(file.readAll()) : QString());
}

void HandOver(const QString& folder, uid_t user) {
    namespace fs = std::filesystem;
    ::lchown(QFile::encodeName(folder), user, user);
    for (const auto& entry : fs::recursive_directory_iterator(folder.toStdString()))
        ::lchown(entry.path().c_str(), user, user);
}

struct ToolRun {
    int exitCode = -1;
    QString error;
    QStringList values;
};

ToolRun RunTool(const Store& s, uid_t user, const QStringList& args, const QString& folder) {
    QStringList command = s.runUnder;
    if (user != ::geteuid())
        command << "setpriv"
                << "--reuid=" + QString::number(user) << "--regid=" + QString::number(user)
                << "--clear-groups";
    command << SETTINGS_TOOL << args;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", s.home.path());
    environment.insert("XDG_CONFIG_HOME", s.configHome);
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.setWorkingDirectory(folder);
    tool.start(command.first(), command.mid(1));
    if (!tool.waitForFinished(kTimeLimitMs))
        return {-1, command.first() + ": " + tool.errorString(), {}};
    QStringList values = QString::fromUtf8(tool.readAllStandardOutput()).split(QChar(0));
    values.removeLast();
    return {tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardError()), values};
}

// The second column: whether the tool runs as kNobody rather than as this
// test's own user.
class SettingsStore : public ::testing::TestWithParam<std::tuple<Row, bool>> {};

TEST_P(SettingsStore, KeepsWhatIsNotItsOwnAndSavesWhereItShould) {
    const auto& [row, asNobody] = GetParam();
    if (asNobody && ::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can run the tool as another user";
    const uid_t user = asNobody ? kNobody : ::geteuid();
    Store store;
    if (const QString why = row.arrange(store); !why.isEmpty()) GTEST_SKIP() << why.toStdString();
    HandOver(store.home.path(), user);
    const QString kindBefore = Kind(store.file);
    const QString before = Everything(store.file);
    const ToolRun written = RunTool(store, user, QStringList{"write"} << kNew, store.home.path());
    if (row.reason) {
        EXPECT_EQ(written.exitCode, 1);
        EXPECT_TRUE(written.error.contains(row.reason)) << written.error.toStdString();
        EXPECT_EQ(Everything(store.file), before);
    } else {
        EXPECT_EQ(written.exitCode, 0) << written.error.toStdString();
        EXPECT_EQ(Kind(store.file), kindBefore);
    }
    // Started from another folder.
    const ToolRun read = RunTool(store, user, {"read"}, "/");
    EXPECT_EQ(read.values, *row.readBack) << read.error.toStdString();
}

std::string RowName(const ::testing::TestParamInfo<SettingsStore::ParamType>& info) {
    const auto& [row, asNobody] = info.param;
    return std::string(row.name) + (asNobody ? "_AsNobody" : "_AsThisUser");
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsStore,
                         ::testing::Combine(::testing::ValuesIn(kRows), ::testing::Bool()),
                         RowName);

}  // namespace
