#include "settings/alignment_store.h"

#include "settings/settings_file.h"

namespace linomark {
namespace {

constexpr Row<AlignmentOffset> kRows[] = {
    {"OffsetX", Kind::Decimal, -kLargestOffset, kLargestOffset, &AlignmentOffset::x},
    {"OffsetY", Kind::Decimal, -kLargestOffset, kLargestOffset, &AlignmentOffset::y},
};

QString SectionOf(const QString& queue) { return QStringLiteral("Alignment/") + queue; }

AlignmentOffset OffsetIn(const StoredKeys& keys, const QString& queue) {
    AlignmentOffset offset;
    ReadRows<AlignmentOffset>(keys, SectionOf(queue), kRows, offset);
    return offset;
}

}  // namespace

AlignmentOffset ReadAlignment(const QString& queue) { return OffsetIn(ReadStore(), queue); }

OffsetsByQueue ReadAlignments() {
    const StoredKeys keys = ReadStore();
    OffsetsByQueue offsets;
    for (auto key = keys.keyBegin(); key != keys.keyEnd(); ++key) {
        const QStringList parts = key->split(QLatin1Char('/'));
        if (parts.size() == 3 && parts.first() == QLatin1String("Alignment"))
            offsets[parts.at(1)] = OffsetIn(keys, parts.at(1));
    }
    return offsets;
}

Outcome<Done> WriteAlignment(const QString& queue, const AlignmentOffset& offset) {
    return WriteStore([&](StoredKeys& keys) {
        WriteRows<AlignmentOffset>(keys, SectionOf(queue), kRows, offset);
    });
}

}  // namespace linomark
