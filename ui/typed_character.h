// Upper-casing of characters as they are typed into the six text boxes.
#pragma once

#include <functional>

#include "sheet/typed_text.h"

class QKeyEvent;

namespace linomark {

// Hands the key press to the box's own handler, with its typed character
// upper-cased. Only typing goes through here: pasted text is left as it is.
void HandleUpperCased(QKeyEvent* event, const std::function<void(QKeyEvent*)>& handle);

}  // namespace linomark
