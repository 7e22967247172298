// The caret-line search on its own, for the texts a user can make that the
// generated lists never hold. The worked examples of a generated list are
// checked through the window (column_editing_test).
#include "symbology/caret_line.h"

#include <QTest>

using linomark::CaretLine;

class CaretLineTest : public QObject {
    Q_OBJECT

private slots:
    void findsTheLineOfTheCaret_data();
    void findsTheLineOfTheCaret();
};

void CaretLineTest::findsTheLineOfTheCaret_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<QString>("line");

    QTest::newRow("empty text") << "" << 0 << "";
    QTest::newRow("one line without a break, caret at its start") << "XY0001" << 0 << "XY0001";
    QTest::newRow("one line without a break, caret inside") << "XY0001" << 4 << "XY0001";
    QTest::newRow("one line without a break, caret at its end") << "XY0001" << 6 << "XY0001";
    QTest::newRow("a lone line feed does not end a line looking forward")
        << "AB\nCD" << 1 << "AB\nCD";
    QTest::newRow("a lone line feed starts a line looking back") << "AB\nCD" << 4 << "CD";
    QTest::newRow("a lone carriage return does not start a line looking back")
        << "AB\rCD" << 4 << "AB\rCD";
    QTest::newRow("the first character is never taken for a line start")
        << "\nAB\r\nCD" << 1 << "\nAB";
    QTest::newRow("an empty line between two others") << "A1\r\n\r\nC3" << 4 << "";
    QTest::newRow("selection start past the end of a list ending in a break") << "A0000\r\n"
                                                                              << 100 << "";
    QTest::newRow("selection start past the end of a list without a final break")
        << "A0000\r\nA0001" << 100 << "A0001";
    QTest::newRow("characters outside ASCII count one each")
        << QString::fromUtf8("É😀1\r\nB0001") << 3 << QString::fromUtf8("É😀1");
}

void CaretLineTest::findsTheLineOfTheCaret() {
    QFETCH(QString, text);
    QFETCH(int, selectionStart);
    QFETCH(QString, line);
    QCOMPARE(QString::fromStdU32String(
                 CaretLine(text.toStdU32String(), static_cast<std::size_t>(selectionStart))),
             line);
}

QTEST_APPLESS_MAIN(CaretLineTest)
#include "caret_line_test.moc"
