// Upper-casing of characters as they are typed into a value, by the window's
// text boxes and by the command line alike.
#pragma once

#include <QString>

namespace linomark {

// The upper-case form of one typed character: A to Z for a to z in every
// locale, otherwise as the user's locale writes it when that is a single
// character, else the character's one-to-one upper case; any other text
// (several characters, a control character, nothing) comes back unchanged.
QString UpperCaseTypedCharacter(const QString& typed);

}  // namespace linomark
