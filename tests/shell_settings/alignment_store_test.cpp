// The alignment offsets kept per printer queue beside the [INI] values: any
// name CUPS takes for a queue keeps offsets of its own, a value written by
// hand counts only when it is a number within 20 mm, and the [INI] section
// is left as it was.
#include "settings/alignment_store.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>

#include "settings/settings.h"
#include "test_support.h"

namespace linomark {
namespace {

QByteArray StoreBytes() {
    QFile file(SettingsFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// QSettings reads a file again only when its size or time stamp changed, so
// each file written by hand gets a time stamp of its own.
void WriteStoreBytes(const QByteArray& bytes) {
    static int filesWritten = 0;
    QDir().mkpath(QFileInfo(SettingsFilePath()).absolutePath());
    QFile file(SettingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
    ASSERT_TRUE(file.flush());
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1'100'000'000 + ++filesWritten);
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
}

class AlignmentStore : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(SettingsFilePath()); }
    void TearDown() override { QFile::remove(SettingsFilePath()); }
};

// lpadmin takes printable characters but space, tab, "/", "\\", "?", quotes
// and "#"; each name below differs from another only by such a character.
TEST_F(AlignmentStore, EveryQueueKeepsItsOwnOffsets) {
    const QString names[] = {
        "Laser",     "laser.office", "laser-office",     "laser@office",
        "laser%41",  "laserA",       "laser=1",          "laser;1",
        "laser,1",   "laser[1]",     u"Büro-Drucker"_qs, u"Принтер"_qs,
        "Alignment", "OffsetX",
    };
    float step = 0.0f;
    for (const QString& queue : names) {
        step += 0.5f;
        ASSERT_EQ(Said(WriteAlignment(queue, {step - 10.0f, 10.0f - step})), "")
            << qPrintable(queue);
    }
    ASSERT_EQ(Said(WriteSettings({1, "D0000", "E0000", "F0000"})), "");
    step = 0.0f;
    for (const QString& queue : names) {
        step += 0.5f;
        const AlignmentOffset offset = ReadAlignment(queue);
        EXPECT_FLOAT_EQ(offset.x, step - 10.0f) << qPrintable(queue);
        EXPECT_FLOAT_EQ(offset.y, 10.0f - step) << qPrintable(queue);
    }
    EXPECT_EQ(ReadAlignment("never-set").x, 0.0f);
    EXPECT_EQ(ReadSettings().column2, "E0000");
}

TEST_F(AlignmentStore, OnlyNumbersWithinTwentyMillimetresCount) {
    const struct {
        const char* name;
        const char* stored;
        float read;
    } cases[] = {
        {"with a point", "2.5", 2.5f}, {"negative", "-1.5", -1.5f},
        {"the limit", "20.0", 20.0f},  {"past the limit", "20.1", 0.0f},
        {"far past it", "-1e9", 0.0f}, {"a decimal comma", "2,5", 0.0f},
        {"letters", "abc", 0.0f},      {"not a number", "nan", 0.0f},
        {"infinite", "inf", 0.0f},     {"empty", "", 0.0f},
    };
    for (const auto& c : cases) {
        WriteStoreBytes(QByteArray("[Alignment]\nLaser\\OffsetX=") + c.stored + "\n");
        EXPECT_EQ(ReadAlignment("Laser").x, c.read) << c.name;
    }
}

// The offsets are written as decimal text with a point in every locale, and
// the [INI] section a user wrote by hand stays as it is.
TEST_F(AlignmentStore, WritesPlainDecimalsAndLeavesTheIniSectionAlone) {
    WriteStoreBytes("[INI]\nType=1\nColumn1=MINE\n");
    ASSERT_EQ(Said(WriteAlignment("Laser", {2.0f, -1.5f})), "");
    const QByteArray bytes = StoreBytes();
    EXPECT_TRUE(bytes.contains("Laser\\OffsetX=2.0\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("Laser\\OffsetY=-1.5\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("[INI]\nColumn1=MINE\nType=1\n")) << bytes.constData();
}

}  // namespace
}  // namespace linomark
