#include "ui/leading_value_box.h"

#include <QFocusEvent>
#include <limits>

#include "ui/typed_character.h"

namespace linomark {

LeadingValueBox::LeadingValueBox(QWidget* parent) : QLineEdit(parent) {
    // A leading value may be of any length.
    setMaxLength(std::numeric_limits<int>::max());
}

void LeadingValueBox::keyPressEvent(QKeyEvent* event) {
    HandleUpperCased(event,
                     [this](QKeyEvent* upperCased) { QLineEdit::keyPressEvent(upperCased); });
}

void LeadingValueBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (IsFocusMoveInsideWindow(event)) emit gotFocus();
}

// Coming back to the window or closing a context menu returns the focus to
// where it was; the user did not enter the box, so its selection is kept.
bool IsFocusMoveInsideWindow(const QFocusEvent* event) {
    return event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason;
}

}  // namespace linomark
