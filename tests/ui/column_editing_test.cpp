// The column editors and the preview refresh, driven through the real window:
// typing, pasting, regeneration of one column, the line under the caret and
// the change of label type. Which value the preview shows is read back from
// the picture with a Code 39 reader; type 0 symbols carry their check
// character (A0005 -> A0005F: 10 + 5 = 15 is F).
#include <QClipboard>
#include <QComboBox>
#include <QTextBlock>

#include "ui/column_list.h"
#include "ui/leading_value_box.h"
#include "window_test_support.h"

using linomark::ColumnList;
using linomark::LeadingValueBox;
using uitest::Find;

namespace {

const QString kGeneratedA = QStringLiteral(
    "A0000\r\nA0001\r\nA0002\r\nA0003\r\nA0004\r\nA0005\r\nA0006\r\nA0007\r\nA0008\r\nA0009\r\n");

// Puts the caret at a place of the box's own document (one character per line
// break) and releases a key, as moving with the arrow keys does.
void PlaceCaret(ColumnList& list, int documentPosition) {
    QTextCursor cursor = list.textCursor();
    cursor.setPosition(documentPosition);
    list.setTextCursor(cursor);
    QTest::keyRelease(&list, Qt::Key_Control);
}

}  // namespace

class ColumnEditingTest : public uitest::WindowTestCase {
    Q_OBJECT

private slots:
    void typedLettersBecomeUpperCase_data();
    void typedLettersBecomeUpperCase();
    void pastedTextIsNotConverted_data();
    void pastedTextIsNotConverted();
    void changingText2RegeneratesOnlyTxt2();
    void listTextReadsBackWithCarriageReturnLineFeed_data();
    void listTextReadsBackWithCarriageReturnLineFeed();
    void caretLineIsPreviewed_data();
    void caretLineIsPreviewed();
    void clickingALinePreviewsItAndArrowDownTheNext();
    void enteringALeadingValueBoxSelectsAndPreviewsIt();
    void typeChangeMovesFocusToText1AndPreviewsInNewType();
    void hundredThousandCharacterPasteIsTakenWhole();
};

void ColumnEditingTest::typedLettersBecomeUpperCase_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");

    QTest::newRow("Text1: letters") << "Text1"
                                    << "xy0001"
                                    << "XY0001";
    QTest::newRow("Text2: digits, hyphen, point and space unchanged") << "Text2"
                                                                      << "-0 9."
                                                                      << "-0 9.";
    QTest::newRow("Text3: Backspace still deletes") << "Text3"
                                                    << "ab\bc"
                                                    << "AC";
    QTest::newRow("Text1: a letter outside ASCII")
        << "Text1" << QString::fromLatin1("\xe9") << QString::fromLatin1("\xc9");
    QTest::newRow("Text2: sharp s has no one-letter upper case and stays")
        << "Text2" << QString::fromLatin1("\xdf") << QString::fromLatin1("\xdf");
    QTest::newRow("txt1: letters") << "txt1"
                                   << "a0001"
                                   << "A0001";
    QTest::newRow("txt2: Enter starts a new line") << "txt2"
                                                   << "a\rb"
                                                   << "A\r\nB";
    QTest::newRow("txt3: upper case stays") << "txt3"
                                            << "Q"
                                            << "Q";
}

void ColumnEditingTest::typedLettersBecomeUpperCase() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QCOMPARE(uitest::TypeIntoEmptiedBox(*window, qPrintable(box), keys), text);
}

void ColumnEditingTest::pastedTextIsNotConverted_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("Text1") << "Text1";
    QTest::newRow("txt3") << "txt3";
}

void ColumnEditingTest::pastedTextIsNotConverted() {
    QFETCH(QString, box);
    QApplication::clipboard()->setText(QStringLiteral("ab0001"));
    QWidget* control = Find<QWidget>(*window, qPrintable(box));
    control->setFocus();
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(control, Qt::Key_V, Qt::ControlModifier);
    if (auto* list = qobject_cast<ColumnList*>(control)) {
        QCOMPARE(list->Text(), QStringLiteral("ab0001"));
    } else {
        QCOMPARE(qobject_cast<QLineEdit*>(control)->text(), QStringLiteral("ab0001"));
        QVERIFY(Find<ColumnList>(*window, "txt1")
                    ->Text()
                    .startsWith(QStringLiteral("ab0001\r\nab0002\r\n")));
    }
}

void ColumnEditingTest::changingText2RegeneratesOnlyTxt2() {
    auto* txt1 = Find<ColumnList>(*window, "txt1");
    auto* txt3 = Find<ColumnList>(*window, "txt3");
    txt1->SetText(QStringLiteral("EDITED1"));
    txt3->SetText(QStringLiteral("EDITED3\r\n"));
    auto* text2 = Find<LeadingValueBox>(*window, "Text2");
    text2->setFocus();
    QTest::keyClicks(text2, QStringLiteral("b0995"));
    QCOMPARE(Find<ColumnList>(*window, "txt2")->Text(),
             QStringLiteral("B0995\r\nB0996\r\nB0997\r\nB0998\r\nB0999\r\nB1000\r\nB1001\r\nB1002\r"
                            "\nB1003\r\nB1004\r\n"));
    QCOMPARE(txt1->Text(), QStringLiteral("EDITED1"));
    QCOMPARE(txt3->Text(), QStringLiteral("EDITED3\r\n"));
    // The new leading value, not the list's first line: B=11, 0+9+9+5 = 23, 34 is Y.
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("B0995Y"));
}

void ColumnEditingTest::listTextReadsBackWithCarriageReturnLineFeed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<int>("documentPosition");
    QTest::addColumn<int>("selectionStart");

    QTest::newRow("empty list") << QString() << QString() << 0 << 0;
    QTest::newRow("a character beyond 16 bits counts as one")
        << QString::fromUtf8("😀😀😀😀😀\r\nB0001") << QString::fromUtf8("😀😀😀😀😀\r\nB0001") << 10 << 5;
    QTest::newRow("a line feed alone is read back as a line break")
        << QStringLiteral("A\nB") << QStringLiteral("A\r\nB") << 2 << 3;
}

void ColumnEditingTest::listTextReadsBackWithCarriageReturnLineFeed() {
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    QFETCH(int, documentPosition);
    QFETCH(int, selectionStart);
    auto* list = Find<ColumnList>(*window, "txt1");
    list->SetText(text);
    QCOMPARE(list->Text(), readBack);
    QTextCursor cursor = list->textCursor();
    cursor.setPosition(documentPosition);
    list->setTextCursor(cursor);
    QCOMPARE(list->SelectionStart(), static_cast<std::size_t>(selectionStart));
}

void ColumnEditingTest::caretLineIsPreviewed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("documentPosition");
    QTest::addColumn<QString>("previewed");

    // The worked examples: selection starts 0, 3, 5, 7, 10, 68 and 70 of the
    // generated list are document places 0, 3, 5, 6, 9, 59 and 60.
    QTest::newRow("0: caret before the first character") << kGeneratedA << 0 << "A0000A";
    QTest::newRow("3: inside the first line") << kGeneratedA << 3 << "A0000A";
    QTest::newRow("5: end of the first line") << kGeneratedA << 5 << "A0000A";
    QTest::newRow("7: start of the second line") << kGeneratedA << 6 << "A0001B";
    QTest::newRow("10: inside the second line") << kGeneratedA << 9 << "A0001B";
    QTest::newRow("68: end of the tenth line") << kGeneratedA << 59 << "A0009J";
    // An empty line leaves a type 0 preview as it was: C0000, previewed last.
    QTest::newRow("70: after the final line break") << kGeneratedA << 60 << "C0000C";
    QTest::newRow("an empty list") << "" << 0 << "C0000C";
    QTest::newRow("a list without line breaks, caret inside") << "C0042" << 2 << "C0042I";
}

void ColumnEditingTest::caretLineIsPreviewed() {
    QFETCH(QString, text);
    QFETCH(int, documentPosition);
    QFETCH(QString, previewed);
    Find<QWidget>(*window, "Text3")->setFocus();
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("C0000C"));
    auto* list = Find<ColumnList>(*window, "txt1");
    list->SetText(text);
    PlaceCaret(*list, documentPosition);
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), previewed);
}

void ColumnEditingTest::clickingALinePreviewsItAndArrowDownTheNext() {
    auto* list = Find<ColumnList>(*window, "txt1");
    const QTextBlock sixthLine = list->document()->findBlockByNumber(5);
    QTextCursor cursor(sixthLine);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 2);
    const QPoint onTheSixthLine = list->cursorRect(cursor).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onTheSixthLine);
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("A0005F"));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("A0006G"));
}

void ColumnEditingTest::enteringALeadingValueBoxSelectsAndPreviewsIt() {
    auto* text1 = Find<LeadingValueBox>(*window, "Text1");
    QCOMPARE(text1->selectedText(), QStringLiteral("A0000"));
    QTest::keyClick(text1, Qt::Key_Tab);
    auto* text2 = Find<LeadingValueBox>(*window, "Text2");
    QCOMPARE(QApplication::focusWidget(), text2);
    QCOMPARE(text2->selectedText(), QStringLiteral("B0000"));
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("B0000B"));
}

void ColumnEditingTest::typeChangeMovesFocusToText1AndPreviewsInNewType() {
    Find<QWidget>(*window, "txt3")->setFocus();
    auto* cmbType = Find<QComboBox>(*window, "cmbType");
    cmbType->setFocus();
    QTest::keyClick(cmbType, Qt::Key_Down);
    QCOMPARE(cmbType->currentIndex(), 1);
    auto* text1 = Find<LeadingValueBox>(*window, "Text1");
    QCOMPARE(QApplication::focusWidget(), text1);
    QCOMPARE(text1->selectedText(), QStringLiteral("A0000"));
    // Type 1 has no check character.
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("A0000"));
    // Choosing a type while Text1 has the focus previews in that type too.
    cmbType->setCurrentIndex(0);
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("A0000A"));
}

void ColumnEditingTest::hundredThousandCharacterPasteIsTakenWhole() {
    const QString prefix(99'995, QLatin1Char('Z'));
    QApplication::clipboard()->setText(prefix + QStringLiteral("00001"));
    auto* text1 = Find<LeadingValueBox>(*window, "Text1");
    QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text1->text().size(), 100'000);
    const QStringList lines =
        Find<ColumnList>(*window, "txt1")->Text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.front(), prefix + QStringLiteral("00001"));
    QCOMPARE(lines.at(9), prefix + QStringLiteral("00010"));
    QVERIFY(lines.back().isEmpty());
    // The picture keeps the box's size: the long symbol is cut at its edge.
    const QImage& picture = uitest::PreviewPicture(*window);
    QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(217, 77));
    // The window goes on working: the next typed value replaces the long one.
    text1->selectAll();
    QTest::keyClicks(text1, QStringLiteral("a1"));
    QCOMPARE(text1->text(), QStringLiteral("A1"));
    QCOMPARE(uitest::ReadPreview(uitest::PreviewPicture(*window)), QStringLiteral("A1B"));
}

QTEST_MAIN(ColumnEditingTest)
#include "column_editing_test.moc"
