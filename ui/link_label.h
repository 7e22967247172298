// A label that acts as a link: a pointing-hand pointer, the palette's link
// colour, and a click signal that a click, or Enter or Space while it has the
// keyboard focus (it takes it by Tab only), sends.
#pragma once

#include <QLabel>

namespace linomark {

class LinkLabel : public QLabel {
    Q_OBJECT

public:
    LinkLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace linomark
