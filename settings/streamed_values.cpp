#include "settings/streamed_values.h"

#include <QString>

namespace linomark {
namespace {

// The one-character escapes of Qt's INI values ("\n", "\"" ...); "\x" takes
// hex digits and "\0" to "\7" octal ones, any other escaped character is
// dropped.
constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
static_assert(std::size(kEscapes) == 11);

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int DigitValue(char c, int base) {
    const int value = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : base;
    return value < base ? value : -1;
}

// Digits from i on in the base; Qt keeps the low 16 bits of what they make.
QChar NumericEscape(QByteArrayView text, qsizetype& i, int base) {
    unsigned value = 0;
    for (int digit = 0; i < text.size() && (digit = DigitValue(text[i], base)) >= 0; ++i)
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    return QChar(static_cast<char16_t>(value & 0xFFFFu));
}

// What the escape at text[i] (just after the backslash) stands for.
QString Escaped(QByteArrayView text, qsizetype& i) {
    const char c = text[i++];
    for (const auto& escape : kEscapes) {
        if (c == escape[0]) return QString(QChar(escape[1]));
    }
    if (c == 'x')
        return i < text.size() && DigitValue(text[i], 16) >= 0 ? NumericEscape(text, i, 16)
                                                               : QString();
    if (DigitValue(c, 8) >= 0) return NumericEscape(text, --i, 8);
    return {};
}

struct Line {
    qsizetype start;
    qsizetype end;
    qsizetype equals;  // -1: none
};

// The next line from pos on, as Qt's INI reader finds it: leading space
// skipped, a comment line (";" first) skipped whole, the end at a line break
// or ";" outside quotes; an escaped character never ends it.
Line NextLine(QByteArrayView data, qsizetype& pos) {
    Line line{pos, pos, -1};
    while (line.start < data.size() && IsSpace(data[line.start])) ++line.start;
    bool inQuotes = false;
    qsizetype i = line.start;
    while (i < data.size()) {
        const char c = data[i++];
        if (c == '=' && !inQuotes && line.equals < 0) line.equals = i - 1;
        if (c == '"') inQuotes = !inQuotes;
        if (c == '\\' && i < data.size()) {
            const char next = data[i++];
            if (i < data.size() &&
                ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
                ++i;
        }
        if ((c == '\n' || c == '\r') && i == line.start + 1) {
            ++line.start;
        } else if ((c == '\n' || c == '\r') && !inQuotes) {
            --i;
            break;
        }
        if (c == ';' && i == line.start + 1) {
            while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
            while (i < data.size() && IsSpace(data[i])) ++i;
            line.start = i;
        } else if (c == ';' && !inQuotes) {
            --i;
            break;
        }
    }
    pos = i;
    line.end = i;
    return line;
}

// "@@Variant(" is the text "@Variant(", written so by Qt and never decoded.
bool Names(const QString& text, QLatin1String streamed) {
    for (qsizetype at = text.indexOf(streamed); at >= 0; at = text.indexOf(streamed, at + 1)) {
        if (at == 0 || text[at - 1] != u'@') return true;
    }
    return false;
}

}  // namespace

bool HoldsStreamedValue(QByteArrayView value) {
    QString text;
    for (qsizetype i = 0; i < value.size();) {
        const char c = value[i++];
        if (c == '\\' && i < value.size()) {
            text += Escaped(value, i);
        } else if (c != '"') {
            text += QLatin1Char(c);
        }
    }
    return Names(text, QLatin1String("@Variant(")) || Names(text, QLatin1String("@DateTime("));
}

QByteArray WithoutStreamedValues(QByteArrayView ini) {
    QByteArray kept;
    qsizetype pos = 0;
    while (pos < ini.size()) {
        const qsizetype gapStart = pos;
        const Line line = NextLine(ini, pos);
        kept += ini.sliced(gapStart, line.start - gapStart);
        const bool streamed =
            line.equals >= 0 && ini[line.start] != '[' &&
            HoldsStreamedValue(ini.sliced(line.equals + 1, line.end - line.equals - 1));
        if (!streamed) kept += ini.sliced(line.start, line.end - line.start);
    }
    return kept;
}

}  // namespace linomark
