#include "ui/typed_character.h"

#include <QKeyEvent>

namespace linomark {

void HandleUpperCased(QKeyEvent* event, const std::function<void(QKeyEvent*)>& handle) {
    const QString upper = UpperCaseTypedCharacter(event->text());
    if (upper == event->text()) {
        handle(event);
        return;
    }
    QKeyEvent upperCased(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                         event->nativeVirtualKey(), event->nativeModifiers(), upper,
                         event->isAutoRepeat(), event->count(), event->device());
    handle(&upperCased);
    event->setAccepted(upperCased.isAccepted());
}

}  // namespace linomark
