// Bad input through the whole program: the real window takes it, the column
// lists and the preview show what the rules make of it, and the print run
// (on a surface that tallies what it draws) prints it. Nothing crashes,
// nothing is cut or split, and nothing past the tenth line is printed.
//
// Golden values come from the Code 39 check values (digits 0-9, A-Z 10-35,
// "*" 0) and the series rule: the prefix runs to the first digit, the rest
// is read as a number (blanks skipped) and padded to its length in characters.
#include <QClipboard>
#include <QComboBox>
#include <QTextBlock>

#include "label_tally.h"
#include "linomark_config.h"
#include "preview_ink.h"
#include "sheet/sheet.h"
#include "ui/column_list.h"
#include "ui/leading_value_box.h"
#include "window_test_support.h"

using linomark::ColumnList;
using linomark::LeadingValueBox;
using reliability::DarkRunsAcross;
using reliability::InkIn;
using reliability::kUnitHeight;
using reliability::LabelTally;
using uitest::Find;

namespace {

constexpr int kLongLength = 100'000;
const QString kLineBreak = QStringLiteral("\r\n");
const char* const kBoxes[] = {"Text1", "Text2", "Text3"};
const char* const kLists[] = {"txt1", "txt2", "txt3"};

// Pasted text is taken as it is, not upper-cased.
void Paste(LeadingValueBox& box, const QString& text) {
    QApplication::clipboard()->setText(text);
    box.setFocus();
    box.selectAll();
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
}

QStringList Lines(QWidget& window, const char* list) {
    return Find<ColumnList>(window, list)->Text().split(kLineBreak);
}

linomark::ColumnLists ListsOf(QWidget& window) {
    linomark::ColumnLists lists;
    for (std::size_t column = 0; column < lists.size(); ++column) {
        lists[column] = Find<ColumnList>(window, kLists[column])->Text().toStdU32String();
    }
    return lists;
}

QString Head(const reliability::TalliedText& text) { return QString::fromStdU32String(text.head); }

struct PastedCase {
    const char* name;
    QStringView pasted;
    QStringView firstLine;
    QStringView lastLine;
    // What a reader reads from the preview: the alphabet characters and the check character.
    QStringView previewRead;
};

constexpr PastedCase kPastedCases[] = {
    // ESC is \033.
    {"tab, BEL and ESC in the prefix", u"A\t\a\0330001", u"A\t\a\0330001", u"A\t\a\0330010",
     u"A0001B"},
    {"a tab inside the number is a blank: 0 1 reads 1, width 3", u"A0\t1", u"A001", u"A010",
     u"A01B"},
    {"emoji prefix", u"😀0001", u"😀0001", u"😀0010", u"00011"},
    {"an emoji after the number is one character: width 2", u"A1😀", u"A01", u"A10", u"A1B"},
    {"combining acute on the prefix: E0001, check 14 + 1 = F", u"E\u03010001", u"E\u03010001",
     u"E\u03010010", u"E0001F"},
    {"combining acute after the number: width 2", u"A1\u0301", u"A01", u"A10", u"A1B"},
};

// Every label of the sheet, column by column and row by row, then the footer.
void ExpectLabelsInAllCells(const LabelTally& tally, int labelType, std::size_t boxesEach) {
    const auto& texts = tally.Texts();
    QCOMPARE(texts.size(), std::size_t{linomark::kRowCount * linomark::kColumnCount + 2});
    for (int column = 0; column < linomark::kColumnCount; ++column) {
        for (int row = 0; row < linomark::kRowCount; ++row) {
            const auto& label = texts.at(column * linomark::kRowCount + row);
            const linomark::LabelPoint origin =
                linomark::LabelOrigin(linomark::LabelTypeFromIndex(labelType), row, column);
            QCOMPARE(label.boxes, boxesEach);
            QCOMPARE(label.firstBoxX, origin.x);
            QCOMPARE(label.firstBoxY, origin.y);
        }
    }
    QCOMPARE(Head(texts.back()), QString::fromUtf8(linomark::kMakerAddress).left(LabelTally::kOutline));
}

}  // namespace

class BadInputTest : public uitest::WindowTestCase {
    Q_OBJECT

private slots:
    void hundredThousandCharacterValuesInAllThreeBoxes();
    void printRunOfHundredThousandCharacterLines_data();
    void printRunOfHundredThousandCharacterLines();
    void valuesOutsideTheAlphabet_data();
    void valuesOutsideTheAlphabet();
    void controlCharactersEmojiAndCombiningMarks_data();
    void controlCharactersEmojiAndCombiningMarks();
    void listOfTenThousandLines();

private:
    void PasteLongValues();
};

// Column k gets 99,995 times its letter and 00000: its lines end in 00000 to
// 00009 and keep 100,000 characters.
void BadInputTest::PasteLongValues() {
    for (int column = 0; column < 3; ++column) {
        const QString prefix(kLongLength - 5, QLatin1Char('A' + column));
        Paste(*Find<LeadingValueBox>(*window, kBoxes[column]), prefix + QStringLiteral("00000"));
    }
}

void BadInputTest::hundredThousandCharacterValuesInAllThreeBoxes() {
    PasteLongValues();
    for (int column = 0; column < 3; ++column) {
        const QStringList lines = Lines(*window, kLists[column]);
        QCOMPARE(lines.size(), 11);
        QVERIFY(lines.back().isEmpty());
        for (int row = 0; row < 10; ++row) {
            QCOMPARE(lines.at(row).size(), kLongLength);
            QVERIFY(lines.at(row).endsWith(QStringLiteral("0000") + QString::number(row)));
            QCOMPARE(lines.at(row).front(), QChar(u'A' + column));
        }
    }
    // Type 0, C...C00000: the bars run out at the right edge; the text is
    // centred on the whole symbol, far beyond it, so none of it shows.
    const QImage& type0 = uitest::PreviewPicture(*window);
    QCOMPARE(type0.deviceIndependentSize().toSize(), QSize(217, 77));
    QVERIFY(InkIn(type0, 2.0, 15.0, 50.0) > 0);
    QCOMPARE(InkIn(type0, 15.2, kUnitHeight), 0);
    // Type 1 previews Text1: its bars, too, run out at the right edge.
    Find<QComboBox>(*window, "cmbType")->setCurrentIndex(1);
    QVERIFY(InkIn(uitest::PreviewPicture(*window), 6.2, 12.2, 50.0) > 0);
}

void BadInputTest::printRunOfHundredThousandCharacterLines_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<std::size_t>("boxesEach");
    QTest::addColumn<std::size_t>("textLength");
    QTest::addColumn<QString>("textTail");

    // Five bars a symbol character: the value, the stars and for type 0 the
    // check character. Type 1 spreads the text with three spaces.
    QTest::newRow("type 0") << 0 << std::size_t{5 * (kLongLength + 3)} << std::size_t{kLongLength}
                            << "AAAAAAAAAAA00009";
    QTest::newRow("type 1") << 1 << std::size_t{5 * (kLongLength + 2)}
                            << std::size_t{kLongLength + 3 * (kLongLength - 1)}
                            << "   0   0   0   9";
}

void BadInputTest::printRunOfHundredThousandCharacterLines() {
    QFETCH(int, labelType);
    QFETCH(std::size_t, boxesEach);
    QFETCH(std::size_t, textLength);
    QFETCH(QString, textTail);
    PasteLongValues();
    LabelTally tally;
    linomark::PrintSheet(tally, linomark::LabelTypeFromIndex(labelType), ListsOf(*window));
    ExpectLabelsInAllCells(tally, labelType, boxesEach);
    if (QTest::currentTestFailed()) return;
    const auto& lastOfColumn1 = tally.Texts().at(9);
    QCOMPARE(lastOfColumn1.length, textLength);
    QCOMPARE(QString::fromStdU32String(lastOfColumn1.tail), textTail);
}

void BadInputTest::valuesOutsideTheAlphabet_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<int>("previewBars");
    QTest::addColumn<double>("textTop");
    QTest::addColumn<double>("textBottom");
    QTest::addColumn<bool>("previewText");
    QTest::addColumn<std::size_t>("printedBoxes");
    QTest::addColumn<QString>("printedRow3");

    // The leading value #@!? has no digit: the lines are #@!?0 to #@!?9.
    // Type 0 previews *#@!?0* (check 0): bars of *, 0, * and an empty text;
    // it prints *#@!?33* (check 3): bars of *, 3, 3, * and the line.
    QTest::newRow("type 0") << 0 << 15 << 15.2 << kUnitHeight << false << std::size_t{20}
                            << "#@!?3";
    // Type 1 previews *#@!?*: bars of the two stars, the spaced text above;
    // it prints *#@!?3*: bars of *, 3, * and the spaced line.
    QTest::newRow("type 1") << 1 << 10 << 0.0 << 5.1 << true << std::size_t{15}
                            << "#   @   !   ?   3";
}

void BadInputTest::valuesOutsideTheAlphabet() {
    QFETCH(int, labelType);
    QFETCH(int, previewBars);
    QFETCH(double, textTop);
    QFETCH(double, textBottom);
    QFETCH(bool, previewText);
    QFETCH(std::size_t, printedBoxes);
    QFETCH(QString, printedRow3);
    // Choosing the type puts the focus in Text1 with its value selected.
    Find<QComboBox>(*window, "cmbType")->setCurrentIndex(labelType);
    QTest::keyClicks(Find<LeadingValueBox>(*window, "Text1"), QStringLiteral("#@!?"));
    QStringList expected;
    for (int row = 0; row < 10; ++row) expected << QStringLiteral("#@!?%1").arg(row);
    QCOMPARE(Lines(*window, "txt1").mid(0, 10), expected);

    const QImage& picture = uitest::PreviewPicture(*window);
    QCOMPARE(DarkRunsAcross(picture, labelType == 0 ? 8.5 : 9.5), previewBars);
    QCOMPARE(InkIn(picture, textTop, textBottom) > 0, previewText);

    LabelTally tally;
    linomark::PrintSheet(tally, linomark::LabelTypeFromIndex(labelType), ListsOf(*window));
    QCOMPARE(tally.Texts().at(3).boxes, printedBoxes);
    QCOMPARE(Head(tally.Texts().at(3)), printedRow3.left(LabelTally::kOutline));
}

void BadInputTest::controlCharactersEmojiAndCombiningMarks_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("lastLine");
    QTest::addColumn<QString>("previewRead");

    for (const PastedCase& row : kPastedCases) {
        QTest::newRow(row.name) << row.pasted.toString() << row.firstLine.toString()
                                << row.lastLine.toString() << row.previewRead.toString();
    }
}

void BadInputTest::controlCharactersEmojiAndCombiningMarks() {
    QFETCH(QString, pasted);
    QFETCH(QString, firstLine);
    QFETCH(QString, lastLine);
    QFETCH(QString, previewRead);
    auto* text1 = Find<LeadingValueBox>(*window, "Text1");
    Paste(*text1, pasted);
    QCOMPARE(text1->text(), pasted);
    const QStringList lines = Lines(*window, "txt1");
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.front(), firstLine);
    QCOMPARE(lines.at(9), lastLine);
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), previewRead);

    // The print run prints each line whole: no character split or lost.
    LabelTally tally;
    linomark::PrintSheet(tally, linomark::LabelType::WithCheck, ListsOf(*window));
    for (int row = 0; row < 10; ++row) {
        QVERIFY(lines.at(row).isValidUtf16());
        QCOMPARE(Head(tally.Texts().at(row)), lines.at(row));
    }
}

// L9999: 21 + 4 * 9 = 57, 57 - 43 = 14 is E.
void BadInputTest::listOfTenThousandLines() {
    QStringList values;
    for (int row = 0; row < 10'000; ++row)
        values << QStringLiteral("L%1").arg(row, 4, 10, QLatin1Char('0'));
    auto* txt1 = Find<ColumnList>(*window, "txt1");
    txt1->SetText(values.join(kLineBreak) + kLineBreak);
    txt1->setFocus();
    QTextCursor caret = txt1->textCursor();
    caret.setPosition(txt1->document()->findBlockByNumber(9'999).position() + 2);
    txt1->setTextCursor(caret);
    QTest::keyRelease(txt1, Qt::Key_Right);
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("L9999E"));

    LabelTally tally;
    linomark::PrintSheet(tally, linomark::LabelType::WithCheck, ListsOf(*window));
    ExpectLabelsInAllCells(tally, 0, 40);
    if (QTest::currentTestFailed()) return;
    for (int row = 0; row < 10; ++row) {
        QCOMPARE(Head(tally.Texts().at(row)), values.at(row));
    }
}

QTEST_MAIN(BadInputTest)
#include "bad_input_test.moc"
