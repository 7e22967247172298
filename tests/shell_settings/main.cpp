// Every run gets a HOME and XDG_CONFIG_HOME of its own, set before Qt reads
// them, so the tests never touch the user's settings and may run in parallel.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "test_support.h"

void PrintTo(const QString& text, std::ostream* os) {
    constexpr qsizetype kShown = 200;
    *os << '"' << text.left(kShown).toStdString() << '"';
    if (text.size() > kShown) *os << "... (" << text.size() << " characters)";
}

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
