// Typing under a Turkish or Azerbaijani locale, whose upper case of i is the
// dotted capital I that Code 39 has no bars for: a to z still become A to Z,
// and any other letter its one-letter upper case. CTest runs it once under
// each locale, made for the tests by localedef (see CMakeLists.txt).
#include <clocale>

#include "window_test_support.h"

class TurkicTypingTest : public uitest::WindowTestCase {
    Q_OBJECT

private slots:
    void initTestCase();
    void typedLettersBecomeCode39Capitals_data();
    void typedLettersBecomeCode39Capitals();
};

// Without the locale in force, in the C library and in Qt, the test would
// pass under any locale.
void TurkicTypingTest::initTestCase() {
    QCOMPARE(QByteArray(std::setlocale(LC_CTYPE, nullptr)), qgetenv("LANG"));
    QCOMPARE(QLocale().toUpper(QStringLiteral("i")), QStringLiteral("\u0130"));
}

void TurkicTypingTest::typedLettersBecomeCode39Capitals_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");

    QTest::newRow("Text1: i is the plain I") << "Text1"
                                             << "ix0001"
                                             << "IX0001";
    QTest::newRow("txt2: i is the plain I") << "txt2"
                                            << "ix0001"
                                            << "IX0001";
    QTest::newRow("Text3: e acute")
        << "Text3" << QStringLiteral("\u00e9") << QStringLiteral("\u00c9");
    QTest::newRow("txt1: dotless i") << "txt1" << QStringLiteral("\u0131") << "I";
}

void TurkicTypingTest::typedLettersBecomeCode39Capitals() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QCOMPARE(uitest::TypeIntoEmptiedBox(*window, qPrintable(box), keys), text);
}

QTEST_MAIN(TurkicTypingTest)
#include "turkic_typing_test.moc"
