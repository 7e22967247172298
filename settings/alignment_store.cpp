#include "settings/alignment_store.h"

#include <QSettings>

#include "settings/settings_file.h"

namespace linomark {
namespace {

QString KeyOf(const QString& queue, const char* axis) {
    return QStringLiteral("Alignment/%1/%2").arg(queue, QLatin1String(axis));
}

// Text written by hand may hold anything; only a number in range is taken.
float OffsetFromText(const QVariant& stored) {
    return static_cast<float>(NumberIn(stored, -kLargestOffset, kLargestOffset).value_or(0.0));
}

QString TextOf(float offset) { return QString::number(offset, 'f', 1); }

}  // namespace

AlignmentOffset ReadAlignment(const QString& queue) {
    AlignmentOffset offset;
    ReadStore([&](const QSettings& store) {
        offset = {OffsetFromText(store.value(KeyOf(queue, "OffsetX"))),
                  OffsetFromText(store.value(KeyOf(queue, "OffsetY")))};
    });
    return offset;
}

OffsetsByQueue ReadAlignments() {
    OffsetsByQueue offsets;
    ReadStore([&](const QSettings& store) {
        for (const QString& key : store.allKeys()) {
            const QStringList parts = key.split(QLatin1Char('/'));
            if (parts.size() != 3 || parts.first() != QLatin1String("Alignment")) continue;
            const QString& queue = parts.at(1);
            offsets[queue] = {OffsetFromText(store.value(KeyOf(queue, "OffsetX"))),
                              OffsetFromText(store.value(KeyOf(queue, "OffsetY")))};
        }
    });
    return offsets;
}

Outcome<Done> WriteAlignment(const QString& queue, const AlignmentOffset& offset) {
    return WriteStore([&](QSettings& store) {
        store.setValue(KeyOf(queue, "OffsetX"), TextOf(offset.x));
        store.setValue(KeyOf(queue, "OffsetY"), TextOf(offset.y));
    });
}

}  // namespace linomark
