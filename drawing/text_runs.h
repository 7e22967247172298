// Text far wider than its surface: measured and laid out only where it can
// show. A pasted value of a million characters would otherwise be shaped in
// full, for seconds, only to be clipped away.
#pragma once

#include <QString>
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

struct TextRun {
    QString text;
    qreal left;
};

// The width of a text in the font on the device, in device pixels. A text
// of more than a few page widths is measured as the sum of its characters'
// advances, without the kerning of the few pairs that have it.
qreal TextAdvance(const QFont& font, QPaintDevice* device, const QString& text);

// The characters of a text starting at `left` that fall within 0 to `right`
// (device pixels), with where the first of them starts; a text of no more
// than a few page widths comes back whole.
TextRun VisibleRun(const QFont& font, QPaintDevice* device, const QString& text, qreal left,
                   qreal right);

}  // namespace linomark
