// A leading-value box: the single-line box at the top of a column, where the
// user types the column's leading value.
#pragma once

#include <QLineEdit>

namespace linomark {

class LeadingValueBox : public QLineEdit {
    Q_OBJECT

public:
    explicit LeadingValueBox(QWidget* parent);

signals:
    // The user moved the input focus into the box (Tab, a click, the program).
    void gotFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};

// True when the focus came from a move inside the window rather than from the
// window being activated again or a popup menu closing.
bool IsFocusMoveInsideWindow(const QFocusEvent* event);

}  // namespace linomark
