#include "settings/lto_store.h"

#include <array>

#include "settings/settings_file.h"
#include "sheet/paper.h"
#include "symbology/lto.h"

namespace linomark {
namespace {

const QString kSection = QStringLiteral("LTO");
const QString kCustomSection = QStringLiteral("LTO/Custom");
const QString kStartPrefix = QStringLiteral("LTO/Start/");
constexpr char kCustomId[] = "custom";

constexpr Row<LtoSettings> kRows[] = {
    {"FirstSerial", Kind::Text, 0, 0, &LtoSettings::firstSerial},
    {"Count", Kind::Whole, 1, kLtoMaxCount, &LtoSettings::count},
    {"MediaId", Kind::Text, 0, 0, &LtoSettings::mediaId},
    {"UseList", Kind::Flag, 0, 0, &LtoSettings::useList},
    {"List", Kind::Text, 0, 0, &LtoSettings::list},
    {"Colour", Kind::Flag, 0, 0, &LtoSettings::colour},
};

// The numbers of the user's own sheet, from the dialog's rows: a hand-written
// value outside the range the dialog offers is not taken.
constexpr auto kCustomRows = [] {
    std::array<Row<SheetLayout>, std::size(kCustomLengths) + std::size(kCustomCounts)> rows{};
    std::size_t i = 0;
    for (const CustomLength& length : kCustomLengths)
        rows[i++] = {length.key, Kind::Number, 0.0, kLargestLength, length.field};
    for (const CustomCount& count : kCustomCounts)
        rows[i++] = {count.key, Kind::Whole, 1, kLargestGrid, count.field};
    return rows;
}();

QString PaperKey() { return kCustomSection + QStringLiteral("/Paper"); }
QString SheetKey() { return kSection + QStringLiteral("/Sheet"); }

std::optional<QString> SheetOf(const StoredKeys& keys) {
    const QString id = TextAt(keys, SheetKey()).value_or(QString());
    if (id == QLatin1String(kCustomId) || LtoStockById(id.toStdString())) return id;
    return std::nullopt;
}

// The start position of every stock that has one, "LTO/Start/<stock>".
void ReadStarts(const StoredKeys& keys, std::map<QString, int>& startAt) {
    for (auto key = keys.cbegin(); key != keys.cend(); ++key) {
        if (!key.key().startsWith(kStartPrefix)) continue;
        const QString text = TextAt(keys, key.key()).value_or(QString());
        if (auto start = NumberOf(text, Kind::Whole, 1, kLtoMaxCount))
            startAt[key.key().mid(kStartPrefix.size())] = static_cast<int>(*start);
    }
}

// The whole [LTO] section goes, as QSettings::remove() takes a group.
void RemoveSection(StoredKeys& keys) {
    keys.removeIf([](const auto& key) {
        return key.key() == kSection || key.key().startsWith(kSection + u'/');
    });
}

}  // namespace

SheetLayout LtoSettings::DefaultCustomSheet() {
    SheetLayout custom = LtoStocks().front();
    custom.id = kCustomId;
    custom.outlines = CellOutlines::None;
    custom.stock = "your own numbers";
    return custom;
}

int LtoSettings::StartAt(const QString& stockId) const {
    const auto found = startAt.find(stockId);
    return found == startAt.end() ? 1 : found->second;
}

std::string CustomPaperName(const QString& shown) {
    const bool letter = shown.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0;
    return PaperNamed(letter ? "Letter" : "A4").value().name;
}

QString CustomPaperShown(const std::string& pwgName) {
    if (pwgName.starts_with("custom_")) return QString::fromLatin1(kOneLabelAPagePaper);
    return pwgName == CustomPaperName(QStringLiteral("Letter")) ? QStringLiteral("Letter")
                                                                : QStringLiteral("A4");
}

LtoSettings ReadLtoSettings() {
    const StoredKeys keys = ReadStore();
    LtoSettings values;
    ReadRows<LtoSettings>(keys, kSection, kRows, values);
    ReadRows<SheetLayout>(keys, kCustomSection, kCustomRows, values.custom);
    if (auto paper = TextAt(keys, PaperKey())) {
        if (*paper == QLatin1String(kOneLabelAPagePaper))
            values.custom = OneLabelAPageOf(values.custom);
        else
            values.custom.paper = CustomPaperName(*paper);
    }
    values.sheet = SheetOf(keys);
    ReadStarts(keys, values.startAt);
    return values;
}

Outcome<Done> WriteLtoSettings(const LtoSettings& values) {
    return WriteStore([&values](StoredKeys& keys) {
        RemoveSection(keys);
        WriteRows<LtoSettings>(keys, kSection, kRows, values);
        WriteRows<SheetLayout>(keys, kCustomSection, kCustomRows, values.custom);
        keys.insert(PaperKey(), CustomPaperShown(values.custom.paper));
        if (values.sheet) keys.insert(SheetKey(), *values.sheet);
        for (const auto& [stock, start] : values.startAt)
            keys.insert(kStartPrefix + stock, QString::number(start));
    });
}

}  // namespace linomark
