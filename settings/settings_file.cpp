// The settings file is $XDG_CONFIG_HOME/Linomark 1.0.ini (by default
// ~/.config/Linomark 1.0.ini). QSettings replaces it through a temporary file
// and a rename, under a lock file, so a reader never sees half of it and two
// instances closing one after the other leave the last one's values. A link
// to the file is kept: the file it leads to is replaced.
#include "settings/settings_file.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cmath>
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

// A file of the user's own, read through a temporary copy that QSettings
// parses as INI: the lines whose value Qt would decode from a data stream are
// left out of the copy, so only those keys read as missing. A file that does
// not parse reads as empty and is replaced whole, with the keys written,
// at the next write. It fails, and the file is neither read nor written,
// when no copy can be made or a streamed value is left in the copy (in a
// comment, say), which Qt might yet decode.
bool ReadIni(QIODevice& device, QSettings::SettingsMap& map) {
    const QTemporaryDir folder;
    QFile copy(folder.filePath(QStringLiteral("copy.ini")));
    const QByteArray kept = WithoutStreamedValues(device.readAll());
    if (HoldsStreamedValue(kept) || !folder.isValid() || !copy.open(QIODevice::WriteOnly) ||
        copy.write(kept) != kept.size())
        return false;
    copy.close();
    QSettings ini(copy.fileName(), QSettings::IniFormat);
    const QStringList keys = ini.allKeys();
    if (ini.status() != QSettings::NoError) return true;
    for (const QString& key : keys) map.insert(key, ini.value(key));
    return true;
}

// Every key as QSettings writes INI, through a temporary file of its own.
bool WriteIni(QIODevice& device, const QSettings::SettingsMap& map) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("copy.ini"));
    if (!folder.isValid()) return false;
    {
        QSettings ini(path, QSettings::IniFormat);
        for (auto key = map.cbegin(); key != map.cend(); ++key)
            ini.setValue(key.key(), key.value());
        ini.sync();
        if (ini.status() != QSettings::NoError) return false;
    }
    QFile copy(path);
    if (!copy.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = copy.readAll();
    return device.write(text) == text.size();
}

QSettings::Format GuardedIni() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("ini"), ReadIni, WriteIni, Qt::CaseSensitive);
    return format;
}

// The user's own INI store, opened by its path, so that QSettings uses the
// very file that was checked before.
class SettingsFile : public QSettings {
public:
    SettingsFile() : QSettings(SettingsFilePath(), GuardedIni()) {
        setFallbacksEnabled(false);
        setAtomicSyncRequired(true);
    }
};

// What a file type is called in a reason; empty for a regular file.
QString KindName(mode_t mode) { return QString::fromStdString(NotRegularKind(mode)); }

// Only a regular file, or a link to one, is opened: opening a named pipe
// waits for a writer that never comes, and a device or socket replaced by the
// new settings would be lost to every program that uses it. Done when it is
// one or does not exist, else why it is not one.
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

std::optional<double> NumberIn(const QVariant& stored, double low, double high) {
    bool ok = false;
    const double value = QLocale::c().toDouble(stored.toString().trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < low || value > high) return std::nullopt;
    return value;
}

bool ReadStore(const std::function<void(const QSettings&)>& read) {
    if (!CheckRegularFile(SettingsFilePath())) return false;
    const SettingsFile settings;
    if (settings.status() != QSettings::NoError) return false;
    read(settings);
    return true;
}

Outcome<Done> WriteStore(const std::function<void(QSettings&)>& write) {
    if (auto allowed = CheckMayWrite(SettingsFilePath()); !allowed) return allowed;
    SettingsFile settings;
    if (settings.status() != QSettings::NoError)
        return FailWith(QStringLiteral("the settings file %1 could not be read")
                            .arg(QDir::toNativeSeparators(settings.fileName())));
    write(settings);
    settings.sync();
    if (settings.status() == QSettings::NoError) return Done{};
    return FailWith(WhyNotWritten(settings.fileName()));
}

}  // namespace linomark
