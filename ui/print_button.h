// The Print button as a split button: an arrow at its right end opens a
// menu of the other things to do with the sheet; a click anywhere else
// prints, and so does its access key, exactly as a plain button.
#pragma once

#include <QPushButton>

class QMenu;

namespace linomark {

class PrintButton : public QPushButton {
    Q_OBJECT

public:
    PrintButton(const QString& text, QWidget* parent);

    // Not QPushButton::setMenu, which would turn every click into the menu.
    void SetMenu(QMenu* commands);
    // Opens the menu under the button, as the arrow, Alt+Down, F4 or a right
    // click do.
    void ShowMenu();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    [[nodiscard]] QRect ArrowArea() const;

    QMenu* menu = nullptr;
};

}  // namespace linomark
