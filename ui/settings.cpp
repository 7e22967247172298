// The settings file is $XDG_CONFIG_HOME/Linomark 1.0.ini (by default
// ~/.config/Linomark 1.0.ini), section [INI]. QSettings replaces it through a
// temporary file and a rename, under a lock file, so a reader never sees half
// of it and two instances closing one after the other leave the last one's
// values.
#include "ui/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStorageInfo>
#include <QStringList>

#include "symbology/label_series.h"
#include "symbology/label_type.h"

namespace linomark {
namespace {

// A write that fails with less room than this left on the disk most likely
// failed for want of room: the file and its temporary copy need a block each.
constexpr qint64 kRoomForTwoBlocks = qint64{2} * 4096;

// The user's own INI store. The name goes in the organisation slot: with no
// application name QSettings names the file after the organisation alone. It
// is the first release's title, kept whatever the version, so that stored
// values are found again after an upgrade.
class SettingsFile : public QSettings {
public:
    SettingsFile() : QSettings(IniFormat, UserScope, QStringLiteral("Linomark 1.0")) {
        setFallbacksEnabled(false);
        setAtomicSyncRequired(true);
    }
};

// QSettings parses a section only when it is first read, so a malformed line
// shows up in status() once every key has been listed.
bool IsWellFormed(SettingsFile& settings) {
    settings.allKeys();
    return settings.status() == QSettings::NoError;
}

// The stored text of a key. An unquoted comma makes QSettings read a value
// as a list (a hand-written "Column1=A, B"); it is joined back so nothing is
// lost.
QString StoredText(const QSettings& settings, const QString& key, const QString& fallback) {
    const QVariant stored = settings.value(key);
    if (!stored.isValid()) return fallback;
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    return stored.toString();
}

// "Type" is read as a number and rounded half to even, then taken as a list
// index of the type box; a number past 32 bits is no index at all.
int TypeFromText(const QString& text) {
    const std::optional<std::int32_t> index = ReadRoundedHalfEven(text.toStdU32String());
    return IndexOf(LabelTypeFromIndex(index.value_or(0)));
}

// A file QSettings cannot parse gave the defaults at start-up. Rewritten in
// place it would keep whatever stray keys were parsed from it and leave
// status() at FormatError whether or not the write worked, so it is removed
// and written afresh.
void DiscardMalformedFile() {
    SettingsFile settings;
    settings.allKeys();
    if (settings.status() == QSettings::FormatError) QFile::remove(settings.fileName());
}

QString WhyNotWritten(const QString& filePath) {
    const QFileInfo file(filePath);
    const QFileInfo folder(file.absolutePath());
    const QString shownFile = QDir::toNativeSeparators(filePath);
    const QString shownFolder = QDir::toNativeSeparators(folder.absoluteFilePath());
    if (file.isDir()) return QStringLiteral("the settings file %1 is a folder").arg(shownFile);
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

StoredValues ReadSettings() {
    SettingsFile settings;
    StoredValues values;
    if (!IsWellFormed(settings)) return values;
    settings.beginGroup(QStringLiteral("INI"));
    values.type = TypeFromText(StoredText(settings, QStringLiteral("Type"), QStringLiteral("0")));
    values.column1 = StoredText(settings, QStringLiteral("Column1"), values.column1);
    values.column2 = StoredText(settings, QStringLiteral("Column2"), values.column2);
    values.column3 = StoredText(settings, QStringLiteral("Column3"), values.column3);
    return values;
}

QString WriteSettings(const StoredValues& values) {
    DiscardMalformedFile();
    SettingsFile settings;
    settings.beginGroup(QStringLiteral("INI"));
    settings.setValue(QStringLiteral("Type"), QString::number(values.type));
    settings.setValue(QStringLiteral("Column1"), values.column1);
    settings.setValue(QStringLiteral("Column2"), values.column2);
    settings.setValue(QStringLiteral("Column3"), values.column3);
    settings.endGroup();
    settings.sync();
    if (settings.status() == QSettings::NoError) return {};
    return WhyNotWritten(settings.fileName());
}

}  // namespace linomark
