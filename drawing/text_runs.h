// Text far wider than its surface: measured and laid out only where it can
// show. A pasted value of a million characters would otherwise be shaped in
// full, for seconds, only to be clipped away.
#pragma once

#include <QFontMetricsF>
#include <QString>
#include <array>
#include <string>

class QFont;
class QPaintDevice;

namespace linomark {

// Texts are UTF-32 and Qt's are UTF-16. QString::fromUcs4 decodes through a
// general text codec at some 250 instructions a character; a label of a
// million characters is turned over here in a few milliseconds instead. A
// value that is no character (a lone surrogate, past U+10FFFF) becomes U+FFFD,
// as fromUcs4 makes it.
QString ToQString(const std::u32string& text);

// Texts up to this length are measured and drawn whole; they are at most a
// few page widths long at the labels' 12 and 16 points.
inline constexpr qsizetype kLongText = 256;

// The advances of single characters in one font, the ASCII ones measured
// once. Their sum is the width of a text laid out without kerning.
class Advances {
public:
    Advances(const QFont& font, QPaintDevice* device);
    qreal Of(QChar c);
    qreal Sum(const QString& text);
    [[nodiscard]] qreal MaxWidth() const { return metrics.maxWidth(); }

private:
    QFontMetricsF metrics;
    std::array<qreal, 128> ascii{};
};

struct TextRun {
    QString text;
    qreal left;
};

// The characters of a long text starting at `left` that fall within 0 to
// `right` (device pixels), with where the first of them starts; a text of
// kLongText characters or fewer comes back whole.
TextRun VisibleRun(Advances& advances, const QString& text, qreal left, qreal right);

}  // namespace linomark
