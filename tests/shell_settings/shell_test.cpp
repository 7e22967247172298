#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "test_support.h"
#include "ui/mshellexecute.h"

using mShellExecute::GShell;
using mShellExecute::ShellError;
using mShellExecute::ShellErrorFor;

namespace {

using namespace std::chrono_literals;

const char* const kOtherFailure =
    "An error occurred occurred whilst trying to open or print the selected file.";
const QString kSource = QStringLiteral("shell_settings_tests.GShell");

TEST(ShellErrorTable, EveryCodeGivesItsNumberAndMessage) {
    const struct {
        int code;
        std::int32_t number;
        const char* message;
    } rows[] = {
        {0, 7, "Out of memory"},
        {2, 53, "File not found"},
        {3, 76, "Path not found"},
        {5, 75, "Path/file access error"},
        {8, 7, "Out of memory"},
        {11, -2147220445, "The executable file is invalid or corrupt"},
        {26, 75, "A sharing violation occurred."},
        {27, -2147220429, "This file type does not have a valid file association."},
        {28, 286, "The file could not be opened due to time out.  Please try again in a moment."},
        {29, 285,
         "The file could not be opened because the DDE transaction failed.  Please try "
         "again in a moment."},
        {30, 285,
         "The file could not be opened because the target application is busy.  Please "
         "try again in a moment."},
        {31, -2147220425, "No application is associated with this file type."},
        {32, 48, "The specified dynamic-link library was not found."},
        {1, -2147220455, kOtherFailure},
        {4, -2147220452, kOtherFailure},
        {6, -2147220450, kOtherFailure},
        {7, -2147220449, kOtherFailure},
        {9, -2147220447, kOtherFailure},
        {10, -2147220446, kOtherFailure},
        {12, -2147220444, kOtherFailure},
        {20, -2147220436, kOtherFailure},
        {25, -2147220431, kOtherFailure},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        const ShellError error = ShellErrorFor(row.code);
        EXPECT_EQ(error.number, row.number);
        EXPECT_EQ(error.description, QString::fromLatin1(row.message));
        EXPECT_EQ(error.source, kSource);
    }
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

TEST_F(FakeOpener, OutcomesMapOntoTheShellErrors) {
    const struct {
        const char* name;
        const char* behaviour;
        std::int32_t number;  // 0: success
        const char* message;
    } cases[] = {
        {"opened", "exit 0", 0, ""},
        {"no handler for the scheme", "exit 3", -2147220425,
         "No application is associated with this file type."},
        {"action failed", "exit 4", -2147220455, kOtherFailure},
        {"syntax error", "exit 1", -2147220455, kOtherFailure},
        {"crashed", "kill -SEGV $$", -2147220455, kOtherFailure},
        {"stuck", "exec sleep 60", 286,
         "The file could not be opened due to time out.  Please try again in a moment."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        install(c.behaviour);
        ShellError error;
        EXPECT_EQ(GShell(kAddress, 10, "", "", "open", nullptr, &error, 2s), c.number == 0);
        EXPECT_EQ(error.number, c.number);
        EXPECT_EQ(error.description, QString::fromLatin1(c.message));
        if (c.number != 0) {
            EXPECT_EQ(error.source, kSource);
        }
        EXPECT_EQ(recorded("args"), "1\n" + kAddress.toUtf8() + "\n");
    }
}

TEST_F(FakeOpener, MissingOpenerIsFileNotFound) {
    qputenv("PATH", bin.path().toUtf8());
    ShellError error;
    EXPECT_FALSE(GShell(kAddress, 10, "", "", "open", nullptr, &error));
    EXPECT_EQ(error.number, 53);
    EXPECT_EQ(error.description, "File not found");
    EXPECT_FALSE(GShell(kAddress, 10, "", "", "open", nullptr, nullptr));
}

TEST_F(FakeOpener, DirectoryIsTheOpenersWorkingDirectoryAndNamesAreNotOptions) {
    install("exit 0");
    QTemporaryDir work;
    EXPECT_TRUE(GShell(kAddress, 1, "", work.path(), "open", nullptr, nullptr));
    EXPECT_EQ(recorded("pwd"), QFile::encodeName(work.path()) + "\n");
    EXPECT_TRUE(GShell("--help", 1, "", work.path(), "open", nullptr, nullptr));
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
        ShellError error;
        EXPECT_FALSE(GShell(kAddress, 10, "", c.directory, c.operation, nullptr, &error));
        EXPECT_EQ(error.number, c.number);
        EXPECT_EQ(error.description, QString::fromLatin1(c.message));
        EXPECT_EQ(recorded("args"), "(opener not run)");
    }
}

}  // namespace
