// The preview picture in pixels: where the bars, the text and the rules of
// each label type stand, in the box's scale of 53 x 20.373 units over
// 217 x 77 pixels (times the screen's device pixel ratio). The places are the
// worked geometry of an eight-character symbol: bars from x 2.5 to 49.6, text
// centred on x 26.26; type 0 bars from y 2 to 15 with the text below; type 1
// bars from y 6 to 13.1, the text above, rules at y 5.3-6.0, 12.4-13.1 and
// 17.673-18.373.
#include <QComboBox>
#include <QPainter>

#include "ui/leading_value_box.h"
#include "ui/preview_box.h"
#include "window_test_support.h"

using uitest::Find;

namespace {

// Picture pixels of a place in box units, on either axis.
int PixelX(const QImage& picture, double x) { return static_cast<int>(x * picture.width() / 53.0); }
int PixelY(const QImage& picture, double y) {
    return static_cast<int>(y * picture.height() / 20.373);
}

bool IsDark(const QImage& picture, int x, int y) { return qGray(picture.pixel(x, y)) < 128; }

// Alternations from white to black along the row at height y.
int DarkRunsAcross(const QImage& picture, double y) {
    int runs = 0;
    bool wasDark = false;
    for (int x = 0; x < picture.width(); ++x) {
        const bool dark = IsDark(picture, x, PixelY(picture, y));
        if (dark && !wasDark) ++runs;
        wasDark = dark;
    }
    return runs;
}

struct Ink {
    int count = 0;
    int left = -1;
    int right = -1;
    [[nodiscard]] double CentreInUnits(const QImage& picture) const {
        return (left + right + 1) / 2.0 * 53.0 / picture.width();
    }
};

// The dark pixels between two heights (in units), and their left and right ends.
Ink InkBetween(const QImage& picture, double top, double bottom) {
    Ink ink;
    for (int y = PixelY(picture, top); y < PixelY(picture, bottom); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!IsDark(picture, x, y)) continue;
            ++ink.count;
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
        }
    }
    return ink;
}

bool RowIsDarkAcross(const QImage& picture, double y) {
    for (int x = 0; x < picture.width(); ++x) {
        if (!IsDark(picture, x, PixelY(picture, y))) return false;
    }
    return true;
}

}  // namespace

class PreviewPictureTest : public uitest::WindowTestCase {
    Q_OBJECT

private slots:
    void pictureIsMadeAtTheScreensPixelRatioAndShown();
    void type0HasBarsWithTheTextUnderThem();
    void type1HasTheSpacedTextAboveTheBarsAndThreeRules();
    void emptyValueKeepsType0PictureAndGivesType1EmptyFrame();
    void onlyAlphabetCharactersDrawBars_data();
    void onlyAlphabetCharactersDrawBars();
    void type0TextTurnsBoldAfterAType1Preview();
    void failingSurfaceKeepsThePictureAndSaysWhyOnce();

private:
    void Preview(int labelType, const QString& value);
    [[nodiscard]] const QImage& Picture() const { return uitest::PreviewPicture(*window); }
};

void PreviewPictureTest::Preview(int labelType, const QString& value) {
    Find<QComboBox>(*window, "cmbType")->setCurrentIndex(labelType);
    Find<linomark::LeadingValueBox>(*window, "Text1")->setText(value);
}

void PreviewPictureTest::pictureIsMadeAtTheScreensPixelRatioAndShown() {
    auto* box = Find<linomark::PreviewBox>(*window, "pictPreview");
    const qreal ratio = box->devicePixelRatioF();
    QCOMPARE(Picture().devicePixelRatio(), ratio);
    QCOMPARE(Picture().size(), QSize(qRound(217 * ratio), qRound(77 * ratio)));
    const QImage shown = box->grab().toImage().convertToFormat(Picture().format());
    QCOMPARE(shown, Picture());
}

void PreviewPictureTest::type0HasBarsWithTheTextUnderThem() {
    // The start-up preview: A0000 with its check character A, eight characters.
    const QImage& picture = Picture();
    QCOMPARE(DarkRunsAcross(picture, 8.5), 40);
    const Ink bars = InkBetween(picture, 3.0, 14.0);
    QVERIFY(qAbs(bars.left - PixelX(picture, 2.5)) <= 1);
    QVERIFY(qAbs(bars.right - PixelX(picture, 49.6)) <= 1);
    QCOMPARE(InkBetween(picture, 0.0, 1.9).count, 0);
    const Ink text = InkBetween(picture, 15.2, 20.373);
    QVERIFY(text.count > 0);
    QVERIFY2(qAbs(text.CentreInUnits(picture) - 26.26) < 1.0,
             qPrintable(QString::number(text.CentreInUnits(picture))));
}

void PreviewPictureTest::type1HasTheSpacedTextAboveTheBarsAndThreeRules() {
    Preview(1, QStringLiteral("XY0001"));
    const QImage& picture = Picture();
    for (const double rule : {5.65, 12.75, 18.02})
        QVERIFY2(RowIsDarkAcross(picture, rule), qPrintable(QString::number(rule)));
    QCOMPARE(DarkRunsAcross(picture, 9.5), 40);
    const Ink bars = InkBetween(picture, 6.3, 12.2);
    QVERIFY(qAbs(bars.left - PixelX(picture, 2.5)) <= 1);
    QVERIFY(qAbs(bars.right - PixelX(picture, 49.6)) <= 1);
    QCOMPARE(InkBetween(picture, 13.3, 17.4).count, 0);
    QCOMPARE(InkBetween(picture, 18.6, 20.373).count, 0);
    const Ink text = InkBetween(picture, 0.0, 5.1);
    QVERIFY(text.count > 0);
    QVERIFY2(qAbs(text.CentreInUnits(picture) - 26.26) < 1.5,
             qPrintable(QString::number(text.CentreInUnits(picture))));
    // Six characters with three spaces between them spread wider than the bars' middle half.
    QVERIFY(text.right - text.left > (bars.right - bars.left) / 2);
}

void PreviewPictureTest::emptyValueKeepsType0PictureAndGivesType1EmptyFrame() {
    const QImage before = Picture().copy();
    Preview(0, QString());
    QCOMPARE(Picture(), before);
    Preview(1, QString());
    const QImage& picture = Picture();
    QCOMPARE(InkBetween(picture, 0.0, 5.1).count, 0);
    QCOMPARE(InkBetween(picture, 6.3, 12.2).count, 0);
    for (const double rule : {5.65, 12.75, 18.02}) QVERIFY(RowIsDarkAcross(picture, rule));
}

void PreviewPictureTest::onlyAlphabetCharactersDrawBars_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("bars");

    // Five bars a symbol character, the two "*" and, for type 0, the check
    // character included; characters outside the alphabet add none.
    QTest::newRow("type 0: a number sign is skipped, check A") << 0 << "A#000" << 35;
    QTest::newRow("type 0: nothing but number signs, check 0") << 0 << "###" << 15;
    QTest::newRow("type 0: lower case is outside the alphabet") << 0 << "a0000" << 35;
    QTest::newRow("type 1: emoji only") << 1 << QString::fromUtf8("😀😀") << 10;
    QTest::newRow("type 1: control characters only") << 1 << QStringLiteral("\t\x01") << 10;
    QTest::newRow("type 1: six characters") << 1 << "AB0012" << 40;
}

void PreviewPictureTest::onlyAlphabetCharactersDrawBars() {
    QFETCH(int, labelType);
    QFETCH(QString, value);
    QFETCH(int, bars);
    Preview(labelType, value);
    QCOMPARE(DarkRunsAcross(Picture(), labelType == 0 ? 8.5 : 9.5), bars);
}

void PreviewPictureTest::type0TextTurnsBoldAfterAType1Preview() {
    const int regularInk = InkBetween(Picture(), 15.2, 20.373).count;
    Preview(1, QStringLiteral("A00000"));
    Preview(0, QStringLiteral("B0000"));
    Preview(0, QStringLiteral("A0000"));
    const int boldInk = InkBetween(Picture(), 15.2, 20.373).count;
    QVERIFY2(boldInk > regularInk * 1.15,
             qPrintable(QStringLiteral("%1 %2").arg(regularInk).arg(boldInk)));
}

// A picture that another painter holds cannot be painted on: the previews of
// the typed characters fail inside their handler, the picture stays, and the
// user is told once. Once the picture is free, typing previews again.
void PreviewPictureTest::failingSurfaceKeepsThePictureAndSaysWhyOnce() {
    auto* text1 = Find<linomark::LeadingValueBox>(*window, "Text1");
    text1->setFocus();
    const QImage before = Picture().copy();
    uitest::MessageBoxCatcher catcher;
    QPainter holder(&const_cast<QImage&>(Picture()));
    QTest::keyClicks(text1, QStringLiteral("D1"));
    holder.end();
    QTRY_COMPARE(catcher.texts.size(), 1);
    QVERIFY2(catcher.texts.front().startsWith(QStringLiteral("The preview could not be drawn: ")),
             qPrintable(catcher.texts.front()));
    QCOMPARE(Picture(), before);
    QTest::keyClick(text1, Qt::Key_2);
    QCOMPARE(uitest::ReadPreview(Picture()), QStringLiteral("D12G"));  // 13 + 1 + 2 = 16 is G
    QCOMPARE(catcher.texts.size(), 1);
}

QTEST_MAIN(PreviewPictureTest)
#include "preview_picture_test.moc"
