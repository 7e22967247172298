// The settings file is $XDG_CONFIG_HOME/Linomark 1.0.ini (by default
// ~/.config/Linomark 1.0.ini). It is read once per read or write, bounded,
// and QSettings parses and writes its INI; the new text replaces the file
// through QSaveFile.
#include "settings/settings_file.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "settings/streamed_values.h"
#include "system/failure_text.h"
#include "system/small_file.h"

namespace linomark {
namespace {

// A write that fails with less room than this left on the disk most likely
// failed for want of room: the file and its temporary copy need a block each.
constexpr qint64 kRoomForTwoBlocks = qint64{2} * 4096;

// The first release's title, kept whatever the version, so that stored
// values are found again after an upgrade.
constexpr char kFileName[] = "Linomark 1.0.ini";

// Far beyond any file the program writes (two values of 100,000 characters
// make well under a megabyte); a larger one is not the program's own.
constexpr std::size_t kLargestFile = std::size_t{4} << 20;

// How long a write waits for another instance's write to end before it goes
// ahead, as QSettings does, on its own.
constexpr int kLockWaitMs = 2000;

// The file's bytes, bounded (empty when there is no file); none when it
// cannot be read.
std::optional<QByteArray> ReadBytes(const QString& filePath) {
    if (!QFileInfo::exists(filePath)) return QByteArray();
    const Outcome<std::string> text =
        ReadSmallFile(QFile::encodeName(filePath).toStdString(), kLargestFile);
    if (!text) return std::nullopt;
    return QByteArray::fromStdString(text.Value());
}

// The file's keys, parsed by QSettings from a copy in `folder`: it parses INI
// only from a file. The lines whose value Qt would decode from a data stream
// are left out of the copy, so only those keys read as missing; a file that
// does not parse gives none. It fails, and the file is neither read nor
// written, when the file cannot be read, no copy can be made or a streamed
// value is left in the copy (in a comment, say), which Qt might yet decode.
Outcome<StoredKeys> ParseCopy(const QString& filePath, const QTemporaryDir& folder) {
    const std::optional<QByteArray> bytes = ReadBytes(filePath);
    const QByteArray kept = WithoutStreamedValues(bytes.value_or(QByteArray()));
    QFile copy(folder.filePath(QStringLiteral("read.ini")));
    if (!bytes || HoldsStreamedValue(kept) || !folder.isValid() ||
        !copy.open(QIODevice::WriteOnly) || copy.write(kept) != kept.size())
        return FailWith(QStringLiteral("the settings file %1 could not be read")
                            .arg(QDir::toNativeSeparators(filePath)));
    copy.close();
    const QSettings ini(copy.fileName(), QSettings::IniFormat);
    StoredKeys keys;
    const QStringList names = ini.allKeys();
    if (ini.status() != QSettings::NoError) return keys;
    for (const QString& name : names) keys.insert(name, ini.value(name));
    return keys;
}

// The keys as QSettings writes INI to a file of its own in `folder`.
std::optional<QByteArray> IniText(const StoredKeys& keys, const QTemporaryDir& folder) {
    const QString path = folder.filePath(QStringLiteral("written.ini"));
    {
        QSettings ini(path, QSettings::IniFormat);
        for (auto key = keys.cbegin(); key != keys.cend(); ++key)
            ini.setValue(key.key(), key.value());
        ini.sync();
        if (ini.status() != QSettings::NoError) return std::nullopt;
    }
    QFile written(path);
    if (written.open(QIODevice::ReadOnly)) return written.readAll();
    return keys.isEmpty() ? std::optional(QByteArray()) : std::nullopt;
}

// Replaces the file whole through a new file and a rename, so a reader never
// sees half of it; a link is kept, the file it leads to is replaced.
bool Replace(const QString& filePath, const QByteArray& text) {
    QSaveFile file(filePath);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

// What a file type is called in a reason; empty for a regular file.
QString KindName(mode_t mode) { return QString::fromStdString(NotRegularKind(mode)); }

// Only a regular file, or a link to one, is replaced: a device or socket
// replaced by the new settings would be lost to every program that uses it
// (and the bounded reading opens nothing else). Done when it is one or does
// not exist, else why it is not one.
Outcome<Done> CheckRegularFile(const QString& filePath) {
    const QByteArray name = QFile::encodeName(filePath);
    const QString shownFile = QDir::toNativeSeparators(filePath);
    struct stat entry {};
    if (::lstat(name.constData(), &entry) != 0) return Done{};
    if (!S_ISLNK(entry.st_mode)) {
        const QString kind = KindName(entry.st_mode);
        if (kind.isEmpty()) return Done{};
        return FailWith(QStringLiteral("the settings file %1 is a %2").arg(shownFile, kind));
    }
    struct stat target {};
    const bool reached = ::stat(name.constData(), &target) == 0;
    const QString error = QString::fromLocal8Bit(std::strerror(errno));
    const QString shownTarget = QDir::toNativeSeparators(QFileInfo(filePath).symLinkTarget());
    if (!reached)
        return FailWith(
            QStringLiteral("the settings file %1 is a link to %2, which cannot be reached (%3)")
                .arg(shownFile, shownTarget, error));
    const QString kind = KindName(target.st_mode);
    if (kind.isEmpty()) return Done{};
    return FailWith(QStringLiteral("the settings file %1 is a link to %2, which is a %3")
                        .arg(shownFile, shownTarget, kind));
}

// The file itself when it exists, else the nearest folder above it that does.
QString NearestExisting(const QString& filePath) {
    QFileInfo entry(filePath);
    while (!entry.exists() && !entry.isRoot()) entry.setFile(entry.absolutePath());
    return entry.filePath();
}

bool OnReadOnlyFileSystem(const QString& path) {
    struct statvfs fileSystem {};
    return ::statvfs(QFile::encodeName(path).constData(), &fileSystem) == 0 &&
           (fileSystem.f_flag & ST_RDONLY) != 0;
}

// The mode bits, not access(): the system lets the superuser write a file
// nobody may write, and such a file was made read-only on purpose.
bool WithoutWritePermission(const QString& filePath) {
    struct stat file {};
    return ::stat(QFile::encodeName(filePath).constData(), &file) == 0 &&
           (file.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Done when the write may go ahead, else why the file must be left as it is,
// found before anything is opened or written.
Outcome<Done> CheckMayWrite(const QString& filePath) {
    if (auto regular = CheckRegularFile(filePath); !regular) return regular;
    const QString existing = NearestExisting(filePath);
    if (OnReadOnlyFileSystem(existing)) {
        if (existing == filePath)
            return FailWith(QStringLiteral("the settings file %1 is on a read-only file system")
                                .arg(QDir::toNativeSeparators(filePath)));
        return FailWith(QStringLiteral("the settings folder %1 is on a read-only file system")
                            .arg(QDir::toNativeSeparators(QFileInfo(filePath).absolutePath())));
    }
    if (WithoutWritePermission(filePath))
        return FailWith(QStringLiteral("the settings file %1 is read-only")
                            .arg(QDir::toNativeSeparators(filePath)));
    return Done{};
}

// Why a write that was tried did not succeed.
QString WhyNotWritten(const QString& filePath) {
    const QFileInfo file(filePath);
    const QFileInfo folder(file.absolutePath());
    const QString shownFile = QDir::toNativeSeparators(filePath);
    const QString shownFolder = QDir::toNativeSeparators(folder.absoluteFilePath());
    if (!folder.isDir())
        return QStringLiteral("the settings folder %1 cannot be created").arg(shownFolder);
    if (!folder.isWritable())
        return QStringLiteral("the settings folder %1 cannot be written (permission denied)")
            .arg(shownFolder);
    if (file.exists() && !file.isWritable())
        return QStringLiteral("the settings file %1 cannot be written (permission denied)")
            .arg(shownFile);
    if (QStorageInfo(folder.absoluteFilePath()).bytesAvailable() < kRoomForTwoBlocks)
        return QStringLiteral("the settings file %1 cannot be written (the disk is full)")
            .arg(shownFile);
    return QStringLiteral("the settings file %1 cannot be written").arg(shownFile);
}

}  // namespace

// A relative XDG_CONFIG_HOME is ignored, as the XDG base-directory rules ask:
// it would name another folder from every working folder.
QString SettingsFilePath() {
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString folder =
        configHome.startsWith(u'/') ? configHome : QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(folder + u'/' + QLatin1String(kFileName));
}

// The bounded reading opens nothing but a regular file, or a link to one.
StoredKeys ReadStore() {
    const QTemporaryDir folder;
    Outcome<StoredKeys> keys = ParseCopy(SettingsFilePath(), folder);
    return keys ? std::move(keys.Value()) : StoredKeys();
}

// Under a lock file, so that two instances closing at once change the file
// one after the other and the last one's values are kept.
Outcome<Done> WriteStore(const std::function<void(StoredKeys&)>& change) {
    const QString filePath = SettingsFilePath();
    if (auto allowed = CheckMayWrite(filePath); !allowed) return allowed;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QLockFile lock(filePath + QStringLiteral(".lock"));
    lock.tryLock(kLockWaitMs);
    const QTemporaryDir folder;
    Outcome<StoredKeys> keys = ParseCopy(filePath, folder);
    if (!keys) return keys.Failed();
    change(keys.Value());
    const std::optional<QByteArray> text = IniText(keys.Value(), folder);
    if (text && Replace(filePath, *text)) return Done{};
    return FailWith(WhyNotWritten(filePath));
}

}  // namespace linomark
