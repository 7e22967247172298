#include "settings/lto_store.h"

#include <QLocale>
#include <QSettings>

#include "settings/settings_file.h"
#include "sheet/paper.h"
#include "symbology/lto.h"

namespace linomark {
namespace {

constexpr char kGroup[] = "LTO";
constexpr char kStartGroup[] = "Start";
constexpr char kCustomGroup[] = "Custom";
constexpr char kCustomId[] = "custom";

QString Key(const char* name) { return QString::fromLatin1(name); }
// A key of the [LTO] section as the store names it.
QString InGroup(const QString& key) { return Key(kGroup) + u'/' + key; }

// A hand-written value outside the range the dialog offers is not taken.
std::optional<double> NumberIn(const QSettings& store, const QString& key, double low,
                               double high) {
    return linomark::NumberIn(store.value(InGroup(key)), low, high);
}

std::optional<bool> FlagOf(const QSettings& store, const QString& key) {
    const QString text = store.value(InGroup(key)).toString().trimmed();
    if (text == QLatin1String("1")) return true;
    if (text == QLatin1String("0")) return false;
    return std::nullopt;
}

std::optional<QString> SheetOf(const QSettings& store) {
    const QString id = store.value(InGroup(Key("Sheet"))).toString();
    if (id == QLatin1String(kCustomId) || LtoStockById(id.toStdString())) return id;
    return std::nullopt;
}

void ReadCustom(const QSettings& store, SheetLayout& custom) {
    const QString prefix = Key(kCustomGroup) + u'/';
    const QString paper = InGroup(prefix + Key("Paper"));
    if (store.contains(paper)) custom.paper = CustomPaperName(store.value(paper).toString());
    for (const CustomLength& length : kCustomLengths) {
        if (auto value = NumberIn(store, prefix + Key(length.key), 0.0, kLargestLength))
            custom.*length.field = static_cast<float>(*value);
    }
    for (const CustomCount& count : kCustomCounts) {
        if (auto value = NumberIn(store, prefix + Key(count.key), 1, kLargestGrid))
            custom.*count.field = static_cast<int>(*value);
    }
}

void ReadStarts(const QSettings& store, std::map<QString, int>& startAt) {
    const QString prefix = Key(kStartGroup) + u'/';
    for (const QString& key : store.allKeys()) {
        if (!key.startsWith(InGroup(prefix))) continue;
        const QString stock = key.mid(InGroup(prefix).size());
        if (auto start = NumberIn(store, prefix + stock, 1, kLtoMaxCount))
            startAt[stock] = static_cast<int>(*start);
    }
}

QString TextOf(const QSettings& store, const char* key, const QString& fallback) {
    return store.value(InGroup(Key(key)), fallback).toString();
}

void ReadValues(const QSettings& store, LtoSettings& values) {
    values.firstSerial = TextOf(store, "FirstSerial", values.firstSerial);
    values.count =
        static_cast<int>(NumberIn(store, Key("Count"), 1, kLtoMaxCount).value_or(values.count));
    values.mediaId = TextOf(store, "MediaId", values.mediaId);
    values.useList = FlagOf(store, Key("UseList")).value_or(false);
    values.list = TextOf(store, "List", {});
    values.sheet = SheetOf(store);
    values.colour = FlagOf(store, Key("Colour"));
    ReadStarts(store, values.startAt);
    ReadCustom(store, values.custom);
}

QString Number(double value) { return QLocale::c().toString(value, 'g', 6); }

void WriteCustom(QSettings& store, const SheetLayout& custom) {
    store.beginGroup(Key(kCustomGroup));
    store.setValue(Key("Paper"), CustomPaperShown(custom.paper));
    for (const CustomLength& length : kCustomLengths)
        store.setValue(Key(length.key), Number(custom.*length.field));
    for (const CustomCount& count : kCustomCounts)
        store.setValue(Key(count.key), QString::number(custom.*count.field));
    store.endGroup();
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
    return pwgName == CustomPaperName(QStringLiteral("Letter")) ? QStringLiteral("Letter")
                                                                : QStringLiteral("A4");
}

LtoSettings ReadLtoSettings() {
    LtoSettings values;
    ReadStore([&values](const QSettings& store) { ReadValues(store, values); });
    return values;
}

Outcome<Done> WriteLtoSettings(const LtoSettings& values) {
    return WriteStore([&values](QSettings& store) {
        store.remove(Key(kGroup));
        store.beginGroup(Key(kGroup));
        store.setValue(Key("FirstSerial"), values.firstSerial);
        store.setValue(Key("Count"), QString::number(values.count));
        store.setValue(Key("MediaId"), values.mediaId);
        store.setValue(Key("UseList"), values.useList ? Key("1") : Key("0"));
        store.setValue(Key("List"), values.list);
        if (values.sheet) store.setValue(Key("Sheet"), *values.sheet);
        if (values.colour) store.setValue(Key("Colour"), *values.colour ? Key("1") : Key("0"));
        for (const auto& [stock, start] : values.startAt)
            store.setValue(Key(kStartGroup) + u'/' + stock, QString::number(start));
        WriteCustom(store, values.custom);
        store.endGroup();
    });
}

}  // namespace linomark
