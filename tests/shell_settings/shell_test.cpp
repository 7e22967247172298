// What the opener's outcomes come to for the user: opened, or the shell's
// error number and message. The opener is a stand-in xdg-open first on PATH,
// or the real one in its generic mode (main() names no desktop).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "test_support.h"
#include "ui/mshellexecute.h"

using mShellExecute::GShell;
using mShellExecute::ShellError;

namespace {

using namespace std::chrono_literals;

const char* const kOtherFailure =
    "An error occurred occurred whilst trying to open or print the selected file.";
const QString kSource = QStringLiteral("shell_settings_tests.GShell");

struct Outcome {
    bool answered = false;
    bool opened = false;
    ShellError error;
};

// GShell's answer, waited for in the event loop as the window does.
Outcome Open(const QString& file, const QString& directory = QString(),
             const QString& operation = QStringLiteral("open")) {
    auto outcome = std::make_shared<Outcome>();
    GShell(file, 10, QString(), directory, operation, nullptr,
           [outcome](bool opened, const ShellError& error) {
               *outcome = {true, opened, error};
           });
    const QDeadlineTimer deadline(mShellExecute::kOpenerAnswerTime + 5s);
    while (!outcome->answered && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return *outcome;
}

// A fake xdg-open first on PATH that records its arguments and working
// directory, then does what the case asks.
class FakeOpener : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bin.isValid());
        qputenv("PATH", (bin.path() + ":" + originalPath).toUtf8());
    }
    void TearDown() override { qputenv("PATH", originalPath); }

    void install(const QByteArray& behaviour) {
        QFile script(bin.filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + record("args") + "'\n");
        script.write("pwd > '" + record("pwd") + "'\n" + behaviour + "\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
    }
    QByteArray record(const char* name) const { return QFile::encodeName(bin.filePath(name)); }
    QByteArray recorded(const char* name) const {
        QFile file(bin.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(opener not run)");
    }

    QTemporaryDir bin;
    const QByteArray originalPath = qgetenv("PATH");
};

const QString kAddress =
    QString::fromUtf8("https://linomark.example.org/a b?q=\xC3\xA9&x='\"$HOME`");

// xdg-open's exit statuses, from its manual page: 1 syntax error, 2 file
// does not exist, 3 no tool to open it with, 4 the tool failed.
TEST_F(FakeOpener, OutcomesComeToTheShellErrors) {
    const struct {
        const char* name;
        const char* behaviour;
        std::int32_t number;  // 0: opened
        const char* message;
    } cases[] = {
        {"opened", "exit 0", 0, ""},
        {"file does not exist", "exit 2", 53, "File not found"},
        {"no handler for the scheme", "exit 3", -2147220425,
         "No application is associated with this file type."},
        {"action failed", "exit 4", -2147220455, kOtherFailure},
        {"syntax error", "exit 1", -2147220455, kOtherFailure},
        {"crashed", "kill -SEGV $$", -2147220455, kOtherFailure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.behaviour);
        const Outcome outcome = Open(kAddress);
        ASSERT_TRUE(outcome.answered);
        EXPECT_EQ(outcome.opened, c.number == 0);
        EXPECT_EQ(outcome.error.number, c.number);
        EXPECT_EQ(outcome.error.description, QString::fromLatin1(c.message));
        if (c.number != 0) {
            EXPECT_EQ(outcome.error.source, kSource);
        }
        EXPECT_EQ(recorded("args"), "1\n" + kAddress.toUtf8() + "\n");
    }
}

TEST_F(FakeOpener, MissingOpenerIsFileNotFound) {
    qputenv("PATH", bin.path().toUtf8());
    const Outcome outcome = Open(kAddress);
    EXPECT_TRUE(outcome.answered);
    EXPECT_FALSE(outcome.opened);
    EXPECT_EQ(outcome.error.number, 53);
    EXPECT_EQ(outcome.error.description, "File not found");
}

TEST_F(FakeOpener, DirectoryIsTheOpenersWorkingDirectoryAndNamesAreNotOptions) {
    install("exit 0");
    QTemporaryDir work;
    EXPECT_TRUE(Open(kAddress, work.path()).opened);
    EXPECT_EQ(recorded("pwd"), QFile::encodeName(work.path()) + "\n");
    EXPECT_TRUE(Open("--help", work.path()).opened);
    EXPECT_EQ(recorded("args"), "1\n./--help\n") << "a file name taken for an option";
}

TEST_F(FakeOpener, RefusedBeforeTheOpenerRuns) {
    const struct {
        const char* name;
        QString directory;
        const char* operation;
        std::int32_t number;
        const char* message;
    } cases[] = {
        {"directory does not exist", "/nonexistent/folder", "open", 76, "Path not found"},
        {"operation has no opener", "", "print", -2147220425,
         "No application is associated with this file type."},
    };
    install("exit 0");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = Open(kAddress, c.directory, c.operation);
        EXPECT_TRUE(outcome.answered);
        EXPECT_FALSE(outcome.opened);
        EXPECT_EQ(outcome.error.number, c.number);
        EXPECT_EQ(outcome.error.description, QString::fromLatin1(c.message));
        EXPECT_EQ(recorded("args"), "(opener not run)");
    }
}

TEST(RealOpener, MissingFileIsFileNotFound) {
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        << "xdg-utils is not installed";
    QTemporaryDir folder;
    const Outcome outcome = Open(folder.filePath(QStringLiteral("no such file.txt")));
    EXPECT_TRUE(outcome.answered);
    EXPECT_FALSE(outcome.opened);
    EXPECT_EQ(outcome.error.number, 53);
    EXPECT_EQ(outcome.error.description, "File not found");
}

}  // namespace
