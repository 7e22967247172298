// A column list: the multi-line, editable box under a leading-value box that
// holds the column's label values, one a line.
#pragma once

#include <QPlainTextEdit>
#include <cstddef>

namespace linomark {

// Holds a list box to the bounds of a list read from a file (10,000 lines
// and 1 MiB): an edit or a paste past them is taken back, and the user is
// told why.
void BoundListBox(QPlainTextEdit& box);

class ColumnList : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ColumnList(QWidget* parent);

    // The whole text, its lines separated by "\r\n". The box itself keeps
    // paragraphs, so any line break typed or pasted reads back as "\r\n".
    [[nodiscard]] QString Text() const;
    void SetText(const QString& text);
    // The number of characters (Unicode code points) of Text() before the
    // caret, or before the first selected character.
    [[nodiscard]] std::size_t SelectionStart() const;

signals:
    void gotFocus();
    void clicked();
    void keyReleased();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace linomark
