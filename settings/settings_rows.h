// The values the settings file keeps, as rows of one kind: each names its key
// within a section, how the value is kept as text, the range a value written
// by hand must keep to, and the field it fills. A field's value in a newly
// made struct is its default: a missing key, or a value that does not read,
// keeps it. One loop reads a section's rows, one writes them.
#pragma once

#include <QSettings>
#include <QString>
#include <optional>
#include <span>
#include <type_traits>
#include <variant>

namespace linomark {

// Every key of the file by its full name ("INI/Type", "Alignment/Laser/OffsetX").
using StoredKeys = QSettings::SettingsMap;

enum class Kind {
    Text,     // as it stands; a hand-written unquoted list is joined back with ", "
    Index,    // the label type: a number rounded half to even, taken as a list index
    Decimal,  // one decimal with a point (the offsets in millimetres)
    Number,   // up to six significant digits with a point
    Whole,    // a whole number; a decimal written by hand is cut
    Flag,     // "1" or "0"
};

template <class Values>
struct Row {
    const char* key;
    Kind kind;
    double low;  // the range of a number
    double high;
    std::variant<QString Values::*, int Values::*, float Values::*, bool Values::*,
                 std::optional<bool> Values::*>
        field;
};

// The text of a stored key; none when it is missing.
std::optional<QString> TextAt(const StoredKeys& keys, const QString& key);

// A number kept as text, read the same in every locale: none when a value
// written by hand is no plain decimal number within [low, high]. The label
// type always reads: anything but index 1 is the first type.
std::optional<double> NumberOf(const QString& text, Kind kind, double low, double high);
QString NumberText(double value, Kind kind);

std::optional<bool> FlagOf(const QString& text);
QString FlagText(bool flag);

template <class Values>
void ReadRows(const StoredKeys& keys, const QString& section, std::span<const Row<Values>> rows,
              Values& values) {
    for (const Row<Values>& row : rows) {
        const std::optional<QString> text = TextAt(keys, section + u'/' + QLatin1String(row.key));
        if (!text) continue;
        std::visit(
            [&](auto member) {
                auto& field = values.*member;
                using T = std::remove_reference_t<decltype(field)>;
                if constexpr (std::is_same_v<T, QString>) {
                    field = *text;
                } else if constexpr (std::is_same_v<T, int> || std::is_same_v<T, float>) {
                    if (auto number = NumberOf(*text, row.kind, row.low, row.high))
                        field = static_cast<T>(*number);
                } else if (auto flag = FlagOf(*text)) {
                    field = *flag;
                }
            },
            row.field);
    }
}

// A choice not yet made (an empty optional) is not written.
template <class Values>
void WriteRows(StoredKeys& keys, const QString& section, std::span<const Row<Values>> rows,
               const Values& values) {
    for (const Row<Values>& row : rows) {
        const QString key = section + u'/' + QLatin1String(row.key);
        std::visit(
            [&](auto member) {
                const auto& field = values.*member;
                using T = std::remove_cvref_t<decltype(field)>;
                if constexpr (std::is_same_v<T, QString>) {
                    keys.insert(key, field);
                } else if constexpr (std::is_same_v<T, bool>) {
                    keys.insert(key, FlagText(field));
                } else if constexpr (std::is_same_v<T, std::optional<bool>>) {
                    if (field) keys.insert(key, FlagText(*field));
                } else {
                    keys.insert(key, NumberText(field, row.kind));
                }
            },
            row.field);
    }
}

}  // namespace linomark
