// The [INI] section of the settings file: the label type and the three
// leading values.
#include "settings/settings.h"

namespace linomark {
namespace {

const QString kSection = QStringLiteral("INI");

constexpr Row<StoredValues> kRows[] = {
    {"Type", Kind::Index, 0, 0, &StoredValues::type},
    {"Column1", Kind::Text, 0, 0, &StoredValues::column1},
    {"Column2", Kind::Text, 0, 0, &StoredValues::column2},
    {"Column3", Kind::Text, 0, 0, &StoredValues::column3},
};

}  // namespace

StoredValues ReadSettings() {
    StoredValues values;
    ReadRows<StoredValues>(ReadStore(), kSection, kRows, values);
    return values;
}

Outcome<Done> WriteSettings(const StoredValues& values) {
    return WriteStore(
        [&values](StoredKeys& keys) { WriteRows<StoredValues>(keys, kSection, kRows, values); });
}

}  // namespace linomark
