#include "ui/print_button.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOption>

namespace linomark {
namespace {

// The arrow takes the right 14 of the button's 81 pixels; the caption stays
// centred on the whole button and clear of it.
constexpr int kArrowWidth = 14;

}  // namespace

PrintButton::PrintButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void PrintButton::SetMenu(QMenu* commands) { menu = commands; }

void PrintButton::ShowMenu() {
    if (!menu) return;
    setDown(true);
    menu->exec(mapToGlobal(rect().bottomLeft()));
    setDown(false);
}

QRect PrintButton::ArrowArea() const { return {width() - kArrowWidth, 0, kArrowWidth, height()}; }

void PrintButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!menu) return;
    QPainter painter(this);
    const QRect arrow = ArrowArea();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(arrow.left(), arrow.top() + 4, arrow.left(), arrow.bottom() - 4);
    QStyleOption option;
    option.initFrom(this);
    option.rect = arrow.adjusted(3, 0, -3, 0);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &painter, this);
}

void PrintButton::mousePressEvent(QMouseEvent* event) {
    if (menu && event->button() == Qt::LeftButton &&
        ArrowArea().contains(event->position().toPoint())) {
        event->accept();
        ShowMenu();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void PrintButton::keyPressEvent(QKeyEvent* event) {
    const bool altDown = event->key() == Qt::Key_Down && event->modifiers() & Qt::AltModifier;
    if (menu && (altDown || event->key() == Qt::Key_F4)) {
        ShowMenu();
        return;
    }
    QPushButton::keyPressEvent(event);
}

// Every press of the access key is one click. QAbstractButton shows an
// animated click for 100 ms and drops the presses that come meanwhile.
bool PrintButton::event(QEvent* event) {
    if (event->type() != QEvent::Shortcut || static_cast<QShortcutEvent*>(event)->isAmbiguous())
        return QPushButton::event(event);
    click();
    return true;
}

void PrintButton::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    ShowMenu();
}

}  // namespace linomark
