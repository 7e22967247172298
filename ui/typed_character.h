// Upper-casing of characters as they are typed into the six text boxes.
#pragma once

#include <QString>
#include <functional>

class QKeyEvent;

namespace linomark {

// The upper-case form of one typed character: A to Z for a to z in every
// locale, otherwise as the user's locale writes it when that is a single
// character, else the character's one-to-one upper case; any other text
// (several characters, a control character, nothing) comes back unchanged.
QString UpperCaseTypedCharacter(const QString& typed);

// Hands the key press to the box's own handler, with its typed character
// upper-cased. Only typing goes through here: pasted text is left as it is.
void HandleUpperCased(QKeyEvent* event, const std::function<void(QKeyEvent*)>& handle);

}  // namespace linomark
