#include "ui/column_list.h"

#include <QFocusEvent>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>

#include "linomark_config.h"
#include "symbology/lto.h"
#include "system/bounded_list.h"
#include "ui/leading_value_box.h"
#include "ui/typed_character.h"

namespace linomark {

namespace {

// The box's raw text separates paragraphs with U+2029, and Shift+Enter puts a
// U+2028 inside one; both stand for a line break of the list.
bool IsLineBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

bool PastListBounds(const QTextDocument& document) {
    return document.blockCount() > kLtoMaxCount + 1 ||
           static_cast<std::size_t>(document.characterCount()) > kListMostBytes;
}

}  // namespace

// Taken back once the edit is done, never from within the document's own
// signal; a text set by the program has nothing to take back.
void BoundListBox(QPlainTextEdit& box) {
    QObject::connect(
        box.document(), &QTextDocument::contentsChanged, &box,
        [&box] {
            if (!PastListBounds(*box.document()) || !box.document()->isUndoAvailable()) return;
            box.undo();
            QMessageBox::warning(box.window(), QString::fromUtf8(kProgramTitle),
                                 QObject::tr("A list holds at most %1 lines and 1 MiB; the text "
                                             "was not added. Print a longer list in parts.")
                                     .arg(QLocale().toString(kLtoMaxCount)));
        },
        Qt::QueuedConnection);
}

ColumnList::ColumnList(QWidget* parent) : QPlainTextEdit(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next box, as in every other text box of the window.
    setTabChangesFocus(true);
    // Label values hold no spaces to break at. Looking for a word boundary in
    // a pasted line of 100,000 characters takes seconds; breaking anywhere
    // lays the whole list out in a few milliseconds.
    setWordWrapMode(QTextOption::WrapAnywhere);
    BoundListBox(*this);
}

QString ColumnList::Text() const {
    const QString lineBreak = QStringLiteral("\r\n");
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, lineBreak);
    text.replace(QChar::LineSeparator, lineBreak);
    return text;
}

void ColumnList::SetText(const QString& text) { setPlainText(text); }

// Every line break before the caret is one character in the box and two in
// Text(); a surrogate pair is two UTF-16 units and one character.
std::size_t ColumnList::SelectionStart() const {
    const QString raw = document()->toRawText();
    const qsizetype end = std::min<qsizetype>(textCursor().selectionStart(), raw.size());
    std::size_t characters = 0;
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = raw.at(i);
        if (IsLineBreak(c)) ++characters;
        if (!c.isLowSurrogate()) ++characters;
    }
    return characters;
}

void ColumnList::keyPressEvent(QKeyEvent* event) {
    HandleUpperCased(event,
                     [this](QKeyEvent* upperCased) { QPlainTextEdit::keyPressEvent(upperCased); });
}

void ColumnList::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void ColumnList::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    if (IsFocusMoveInsideWindow(event)) emit gotFocus();
}

void ColumnList::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit clicked();
}

}  // namespace linomark
