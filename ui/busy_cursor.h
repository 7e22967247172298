// The busy pointer over the program while a print or save runs; it goes
// back to normal when the guard goes, on every path.
#pragma once

#include <QApplication>

namespace linomark {

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace linomark
