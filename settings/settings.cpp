// The [INI] section of the settings file: the label type and the three
// leading values.
#include "settings/settings.h"

#include <QSettings>
#include <QStringList>

#include "settings/settings_file.h"
#include "symbology/label_series.h"
#include "symbology/label_type.h"

namespace linomark {
namespace {

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

}  // namespace

StoredValues ReadSettings() {
    StoredValues values;
    ReadStore([&values](const QSettings& settings) {
        const QString group = QStringLiteral("INI/");
        values.type =
            TypeFromText(StoredText(settings, group + QStringLiteral("Type"), QStringLiteral("0")));
        values.column1 = StoredText(settings, group + QStringLiteral("Column1"), values.column1);
        values.column2 = StoredText(settings, group + QStringLiteral("Column2"), values.column2);
        values.column3 = StoredText(settings, group + QStringLiteral("Column3"), values.column3);
    });
    return values;
}

Outcome<Done> WriteSettings(const StoredValues& values) {
    return WriteStore([&values](QSettings& settings) {
        settings.beginGroup(QStringLiteral("INI"));
        settings.setValue(QStringLiteral("Type"), QString::number(values.type));
        settings.setValue(QStringLiteral("Column1"), values.column1);
        settings.setValue(QStringLiteral("Column2"), values.column2);
        settings.setValue(QStringLiteral("Column3"), values.column3);
        settings.endGroup();
    });
}

}  // namespace linomark
