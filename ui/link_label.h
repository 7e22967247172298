// A label that acts as a link: a pointing-hand pointer and a click signal.
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
};

}  // namespace linomark
