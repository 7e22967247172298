#include "sheet/typed_text.h"

#include <QLocale>

namespace linomark {

namespace {

bool IsSingleCharacter(const QString& text) {
    return text.size() == 1 ||
           (text.size() == 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate());
}

// The one-to-one case mapping of the character, for a locale whose upper case
// would grow it into several characters (German sharp s becomes "SS").
QString SimpleUpperCase(const QString& typed) {
    const char32_t upper = QChar::toUpper(typed.toUcs4().front());
    return QString::fromUcs4(&upper, 1);
}

}  // namespace

QString UpperCaseTypedCharacter(const QString& typed) {
    if (!IsSingleCharacter(typed)) return typed;
    // The Code 39 alphabet is ASCII, so a to z always become A to Z, also
    // where the locale writes i in upper case as the dotted capital I.
    if (const char16_t c = typed.front().unicode(); c >= u'a' && c <= u'z')
        return QString(QChar(c - u'a' + u'A'));
    const QString upper = QLocale().toUpper(typed);
    return IsSingleCharacter(upper) ? upper : SimpleUpperCase(typed);
}

}  // namespace linomark
