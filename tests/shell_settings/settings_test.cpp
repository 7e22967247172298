#include "settings/settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <memory>
#include <random>
#include <tuple>

#include "settings/alignment_store.h"
#include "test_support.h"

using linomark::ReadSettings;
using linomark::StoredValues;
using linomark::WriteSettings;

namespace {

auto fields(const StoredValues& v) { return std::tuple(v.type, v.column1, v.column2, v.column3); }

QString configFolder() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }
QString storePath() { return configFolder() + "/Linomark 1.0.ini"; }

QByteArray storeBytes() {
    QFile file(storePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// QSettings re-reads a file only when its size or time stamp changed, so each
// handwritten file gets a time stamp of its own.
void writeStore(const QByteArray& bytes) {
    static int filesWritten = 0;
    QDir().mkpath(configFolder());
    QFile file(storePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
    ASSERT_TRUE(file.flush());
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1'000'000'000 + ++filesWritten);
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
}

// The settings as another instance starting now would see them on disk.
StoredValues readInOtherProcess(bool* wellFormed) {
    QProcess tool;
    tool.start(QStringLiteral(SETTINGS_TOOL), {QStringLiteral("read")});
    tool.waitForFinished();
    *wellFormed = tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    const QList<QByteArray> parts = tool.readAllStandardOutput().split('\0');
    if (parts.size() != 5) return {-1, {}, {}, {}};
    return {parts[0].toInt(), QString::fromUtf8(parts[1]), QString::fromUtf8(parts[2]),
            QString::fromUtf8(parts[3])};
}

std::unique_ptr<QProcess> startWriter(const StoredValues& v) {
    auto tool = std::make_unique<QProcess>();
    tool->start(QStringLiteral(SETTINGS_TOOL), {QStringLiteral("write"), QString::number(v.type),
                                                v.column1, v.column2, v.column3});
    return tool;
}

void setImmutable(const QString& folder, bool immutable) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
}

// chmod alone does not stop root; the immutable flag does where the file
// system has it. Returns whether the folder now refuses a new file.
bool lockFolder(const QString& folder, bool locked) {
    const auto owner = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    QFile::setPermissions(folder, locked ? owner : owner | QFileDevice::WriteOwner);
    setImmutable(folder, locked);
    QFile probe(folder + "/probe");
    const bool refused = !probe.open(QIODevice::WriteOnly);
    probe.remove();
    return refused;
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { QDir(configFolder()).removeRecursively(); }
    void TearDown() override {
        if (QFileInfo(configFolder()).isDir()) lockFolder(configFolder(), false);
        QDir(configFolder()).removeRecursively();
        QFile::remove(configFolder());
    }
};

TEST_F(Settings, EmptyStoreGivesTheDesignValuesAndWritesNothing) {
    EXPECT_EQ(fields(ReadSettings()), fields({0, "A0000", "B0000", "C0000"}));
    EXPECT_FALSE(QFileInfo::exists(storePath()));
}

TEST_F(Settings, TypeIsReadAsARoundedNumberAndOnlyZeroOrOneKept) {
    const struct {
        const char* name;
        const char* stored;
        int type;
    } cases[] = {
        {"one selects the second type", "1", 1},
        {"zero", "0", 0},
        {"letters read as nothing", "abc", 0},
        {"empty reads as nothing", "", 0},
        {"seven is no list index", "7", 0},
        {"1.5 rounds to the even 2", "1.5", 0},
        {"0.5 rounds to the even 0", "0.5", 0},
        {"2.5 rounds to the even 2", "2.5", 0},
        {"0.6 rounds to 1", "0.6", 1},
        {"exponent: 0.1E1 is 1", "0.1E1", 1},
        {"2^32 + 1 does not wrap to 1", "4294967297", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeStore(QByteArray("[INI]\nType=") + c.stored + "\n");
        EXPECT_EQ(ReadSettings().type, c.type);
    }
}

TEST_F(Settings, HandWrittenFilesAreReadAsTheUserMeantOrNotAtAll) {
    const struct {
        const char* name;
        const char* file;
        StoredValues values;
    } cases[] = {
        {"an empty Column2 stays empty", "[INI]\nColumn2=\n", {0, "A0000", "", "C0000"}},
        {"a list is joined back",
         "[INI]\nType=1\nColumn1=A, B,C\n",
         {1, "A, B, C", "B0000", "C0000"}},
        {"other sections are ignored", "[Other]\nType=1\nColumn1=X\n", {}},
        {"a line without '=' makes the file garbage",
         "[INI]\nType=1\nColumn1=X\nnot a setting\n",
         {}},
        {"an unclosed section makes it garbage", "[INI\nType=1\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeStore(c.file);
        EXPECT_EQ(fields(ReadSettings()), fields(c.values));
    }
}

// A hand-made @Variant value is decoded by Qt from a data stream whose
// lengths it believes. The one in this file, found by the settings fuzz
// target, makes it ask for 25 GB. However it is spelt, only its key reads as
// missing; every other key is read and written back, nothing is lost.
TEST_F(Settings, StoredVariantsAreNeverDecoded) {
    QFile seed(QStringLiteral(FUZZ_SEEDS "/settings/huge_variant_length.ini"));
    ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
    const QByteArray seedText = seed.readAll();
    const qsizetype at = seedText.indexOf("@Variant(");
    const QByteArray variant = seedText.mid(at, seedText.indexOf('\n', at) - at);
    const struct {
        const char* name;
        QByteArray type;
    } cases[] = {
        {"as Qt writes it", variant},
        {"quoted", '"' + variant + '"'},
        {"@ as a hex escape", "\\x40" + variant.mid(1)},
        {"@ as a hex escape past 16 bits", "\\x10040" + variant.mid(1)},
        {"@ as an octal escape", "\\100" + variant.mid(1)},
        {"broken over two lines", "@Vari\\\nant(" + variant.mid(9)},
        {"second item of a list", "a, " + variant},
        {"a date and time", "@DateTime(" + variant.mid(9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray file =
            "[INI]\nType=" + c.type +
            "\nColumn1=MINE\n[Alignment]\nLaser\\OffsetX=1.5\n[Other]\nkey=kept\n";
        writeStore(file);
        EXPECT_EQ(fields(ReadSettings()), fields({0, "MINE", "B0000", "C0000"}));
        EXPECT_EQ(linomark::ReadAlignment(QStringLiteral("Laser")).x, 1.5f);
        const StoredValues mine{1, "D0000", "E0000", "F0000"};
        ASSERT_EQ(Said(WriteSettings(mine)), "");
        bool wellFormed = false;
        EXPECT_EQ(fields(readInOtherProcess(&wellFormed)), fields(mine));
        EXPECT_TRUE(wellFormed);
        EXPECT_TRUE(storeBytes().contains("Laser\\OffsetX=1.5\n")) << storeBytes().toStdString();
        EXPECT_TRUE(storeBytes().contains("key=kept\n"));
    }
}

TEST_F(Settings, UnusualValuesSurviveTheRoundTripToDisk) {
    const QString longValue = QString(50'000, QChar(0xE9)) + QString(50'000, QChar('Z'));
    const struct {
        const char* name;
        StoredValues values;
    } cases[] = {
        {"spaces and commas", {1, "  A 0000  ", "A, B", "x,y"}},
        {"INI syntax", {0, "@start", "[INI]", "a=b;c #d \"q\" \\"}},
        {"unicode", {1, "é", QString::fromUtf8("\xF0\x9F\x93\xBC tape"), "\t\r\n"}},
        {"100,000 characters", {0, longValue, "", longValue}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Said(WriteSettings(c.values)), "");
        bool wellFormed = false;
        EXPECT_EQ(fields(readInOtherProcess(&wellFormed)), fields(c.values));
        EXPECT_TRUE(wellFormed);
    }
    EXPECT_TRUE(storeBytes().contains("\nType=0\n"));
}

TEST_F(Settings, UnreadableFileGivesDefaultsAndIsReplacedAtClose) {
    std::mt19937 generator(20240607);
    QByteArray randomBytes(4096, '\0');
    for (char& byte : randomBytes) byte = static_cast<char>(generator());
    const StoredValues mine{1, "D0000", "E0000", "F0000"};
    for (const QByteArray& content :
         {QByteArray("[INI]\nColumn1=X\n\x01garbage\x7f\n"), randomBytes}) {
        SCOPED_TRACE(content.left(16).toHex().toStdString());
        writeStore(content);
        EXPECT_EQ(fields(ReadSettings()), fields(StoredValues{}));
        writeStore(content);  // as if it had turned bad while the program ran
        EXPECT_EQ(Said(WriteSettings(mine)), "");
        bool wellFormed = false;
        EXPECT_EQ(fields(readInOtherProcess(&wellFormed)), fields(mine));
        EXPECT_TRUE(wellFormed);
    }
}

TEST_F(Settings, FolderInPlaceOfTheFileGivesDefaultsAndAReason) {
    ASSERT_TRUE(QDir().mkpath(storePath()));
    EXPECT_EQ(fields(ReadSettings()), fields(StoredValues{}));
    EXPECT_EQ(Said(WriteSettings({})), "the settings file " + storePath() + " is a folder");
    EXPECT_TRUE(QFileInfo(storePath()).isDir());
}

TEST_F(Settings, ConfigFolderThatCannotBeCreatedGivesAReason) {
    QFile blocker(configFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_EQ(Said(WriteSettings({})),
              "the settings folder " + configFolder() + " cannot be created");
}

TEST_F(Settings, ReadOnlyFolderKeepsTheOldFileWhole) {
    const StoredValues old{1, "OLD1", "OLD2", "OLD3"};
    ASSERT_EQ(Said(WriteSettings(old)), "");
    const QByteArray before = storeBytes();
    if (!lockFolder(configFolder(), true))
        GTEST_SKIP() << "cannot make a folder read-only for this user";
    EXPECT_EQ(Said(WriteSettings({0, "NEW1", "NEW2", "NEW3"})),
              "the settings folder " + configFolder() + " cannot be written (permission denied)");
    EXPECT_EQ(storeBytes(), before);
    bool wellFormed = false;
    EXPECT_EQ(fields(readInOtherProcess(&wellFormed)), fields(old));
    EXPECT_TRUE(wellFormed);
}

TEST_F(Settings, FileIsReplacedWholeByANewOneWithNothingLeftBehind) {
    ASSERT_EQ(Said(WriteSettings({})), "");
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(storePath()).constData(), &before), 0);
    ASSERT_EQ(Said(WriteSettings({1, "A", "B", "C"})), "");
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(storePath()).constData(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "rewritten in place instead of renamed over";
    EXPECT_EQ(QDir(configFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"Linomark 1.0.ini"});
}

TEST_F(Settings, LastInstanceToCloseWins) {
    const StoredValues first{1, "FIRST1", "FIRST2", "FIRST3"};
    const StoredValues second{0, "SECOND1", "SECOND2", "SECOND3"};
    ReadSettings();  // this instance starts, then the other closes first
    const auto other = startWriter(first);
    ASSERT_TRUE(other->waitForFinished());
    ASSERT_EQ(other->exitCode(), 0);
    ASSERT_EQ(Said(WriteSettings(second)), "");
    bool wellFormed = false;
    EXPECT_EQ(fields(readInOtherProcess(&wellFormed)), fields(second));
    EXPECT_TRUE(wellFormed);

    // Two closing at the same moment: one of them wins whole.
    const auto a = startWriter(first);
    const auto b = startWriter(second);
    ASSERT_TRUE(a->waitForFinished() && b->waitForFinished());
    const auto stored = fields(readInOtherProcess(&wellFormed));
    EXPECT_TRUE(stored == fields(first) || stored == fields(second));
    EXPECT_TRUE(wellFormed);
}

}  // namespace
