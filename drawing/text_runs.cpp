#include "drawing/text_runs.h"

#include <QFontMetricsF>
#include <array>

namespace linomark {

namespace {

// Texts up to this length are measured and drawn whole; they are at most a
// few page widths long at the labels' 12 and 16 points.
constexpr qsizetype kLongText = 256;

// The advances of single characters in one font, the ASCII ones measured
// once. Their sum is the width of a text laid out without kerning.
class Advances {
public:
    Advances(const QFont& font, QPaintDevice* device);
    qreal Of(QChar c);
    // The character at i, one UTF-16 unit or a surrogate pair (length 2).
    qreal At(const QString& text, qsizetype i, qsizetype length);
    qreal Sum(const QString& text);
    [[nodiscard]] qreal MaxWidth() const { return metrics.maxWidth(); }

private:
    QFontMetricsF metrics;
    std::array<qreal, 128> ascii{};
};

bool IsSupplementary(char32_t c) { return c > 0xFFFF && c <= 0x10FFFF; }

// UTF-16 units of the character at i: a surrogate pair is cut nowhere.
qsizetype CharacterLength(const QString& text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

}  // namespace

QString ToQString(const std::u32string& text) {
    qsizetype units = static_cast<qsizetype>(text.size());
    for (const char32_t c : text) units += IsSupplementary(c) ? 1 : 0;
    QString converted(units, Qt::Uninitialized);
    QChar* out = converted.data();
    for (const char32_t c : text) {
        if (IsSupplementary(c)) {
            *out++ = QChar(QChar::highSurrogate(c));
            *out++ = QChar(QChar::lowSurrogate(c));
        } else if (c < 0x10000 && !QChar::isSurrogate(c)) {
            *out++ = QChar(static_cast<char16_t>(c));
        } else {
            *out++ = QChar(QChar::ReplacementCharacter);
        }
    }
    return converted;
}

namespace {

Advances::Advances(const QFont& font, QPaintDevice* device) : metrics(font, device) {
    ascii.fill(-1.0);
}

qreal Advances::Of(QChar c) {
    if (c.unicode() >= ascii.size()) {
        return metrics.horizontalAdvance(c);
    }
    qreal& advance = ascii[c.unicode()];
    if (advance < 0.0) {
        advance = metrics.horizontalAdvance(c);
    }
    return advance;
}

qreal Advances::At(const QString& text, qsizetype i, qsizetype length) {
    return length == 1 ? Of(text[i]) : metrics.horizontalAdvance(text.mid(i, length));
}

qreal Advances::Sum(const QString& text) {
    qreal sum = 0.0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = CharacterLength(text, i);
        sum += At(text, i, length);
        i += length;
    }
    return sum;
}

}  // namespace

qreal TextAdvance(const QFont& font, QPaintDevice* device, const QString& text) {
    if (text.size() <= kLongText) return QFontMetricsF(font, device).horizontalAdvance(text);
    return Advances(font, device).Sum(text);
}

// One widest glyph of slack on either side, so that a character partly over
// an edge is drawn. The cuts fall between whole characters: half a surrogate
// pair would draw as a replacement glyph.
TextRun VisibleRun(const QFont& font, QPaintDevice* device, const QString& text, qreal left,
                   qreal right) {
    if (text.size() <= kLongText) {
        return {text, left};
    }
    Advances advances(font, device);
    const qreal margin = advances.MaxWidth();
    qsizetype first = 0;
    while (first < text.size()) {
        const qsizetype length = CharacterLength(text, first);
        const qreal advance = advances.At(text, first, length);
        if (left + advance >= -margin) break;
        left += advance;
        first += length;
    }
    qsizetype end = first;
    for (qreal x = left; end < text.size() && x < right + margin;) {
        const qsizetype length = CharacterLength(text, end);
        x += advances.At(text, end, length);
        end += length;
    }
    return {text.mid(first, end - first), left};
}

}  // namespace linomark
