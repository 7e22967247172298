#include "settings/settings_rows.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

#include "symbology/label_series.h"
#include "symbology/label_type.h"

namespace linomark {

// An unquoted comma makes QSettings read a value as a list (a hand-written
// "Column1=A, B"); it is joined back so nothing is lost.
std::optional<QString> TextAt(const StoredKeys& keys, const QString& key) {
    const auto found = keys.find(key);
    if (found == keys.end()) return std::nullopt;
    if (found->typeId() == QMetaType::QStringList)
        return found->toStringList().join(QStringLiteral(", "));
    return found->toString();
}

// "Type" is rounded half to even, then taken as a list index of the type
// box; a number past 32 bits is no index at all.
std::optional<double> NumberOf(const QString& text, Kind kind, double low, double high) {
    if (kind == Kind::Index) {
        const std::optional<std::int32_t> index = ReadRoundedHalfEven(text.toStdU32String());
        return IndexOf(LabelTypeFromIndex(index.value_or(0)));
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < low || value > high) return std::nullopt;
    return value;
}

QString NumberText(double value, Kind kind) {
    if (kind == Kind::Decimal) return QString::number(value, 'f', 1);
    if (kind == Kind::Number) return QLocale::c().toString(value, 'g', 6);
    return QString::number(static_cast<qint64>(value));
}

std::optional<bool> FlagOf(const QString& text) {
    if (text.trimmed() == QLatin1String("1")) return true;
    if (text.trimmed() == QLatin1String("0")) return false;
    return std::nullopt;
}

QString FlagText(bool flag) { return flag ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace linomark
