// The window as designed: every control at its place and size, its caption
// and tooltip, the tab order and the two label types. Places are the
// design's twips divided by 15 (pixels at 96 dots per inch), worked out by hand.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <cmath>
#include <map>

#include "linomark_config.h"
#include "ui/pdf_file_name.h"
#include "window_test_support.h"

using uitest::Find;

namespace {

// Relative luminance and contrast ratio as WCAG 2.x defines them.
double Luminance(QColor c) {
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// The commonest colour of the picture is its background; the text is the
// pixel farthest from it in luminance.
double TextContrast(const QImage& picture) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) ++counts[picture.pixel(x, y)];
    const auto commonest = std::max_element(counts.begin(), counts.end(),
                                            [](auto a, auto b) { return a.second < b.second; });
    const double background = Luminance(QColor(commonest->first));
    double text = background;
    for (const auto& [colour, count] : counts) {
        const double l = Luminance(QColor(colour));
        if (std::fabs(l - background) > std::fabs(text - background)) text = l;
    }
    return (std::max(text, background) + 0.05) / (std::min(text, background) + 0.05);
}

// A dark theme as a desktop sets it: light text on dark grey, a light link.
QPalette DarkPalette() {
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2d, 0x2d, 0x2d));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    return dark;
}

}  // namespace

class WindowLayoutTest : public uitest::WindowTestCase {
    Q_OBJECT

private slots:
    void windowHasItsTitleSizeAndIcon();
    void controlsStandAtTheirDesignPlaces_data();
    void controlsStandAtTheirDesignPlaces();
    void captionsAndTooltips_data();
    void captionsAndTooltips();
    void tabMovesThroughTheBoxesInDesignOrder();
    void typeBoxOffersThreeEntriesAndNoTyping();
    void linksAndListsLookAsDesigned();
    void darkThemeKeepsTextReadable_data();
    void darkThemeKeepsTextReadable();
    void savedPdfIsSuggestedByValueAndDate_data();
    void savedPdfIsSuggestedByValueAndDate();
};

void WindowLayoutTest::windowHasItsTitleSizeAndIcon() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Linomark 1.0"));
    // 8415 x 3495 twips, and the user cannot resize it.
    QCOMPARE(window->size(), QSize(561, 233));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    // The installed icon's sizes, so the title bar and the menu show the same picture.
    const QList<QSize> iconSizes = window->windowIcon().availableSizes();
    for (const int size : {16, 32, 48, 128}) {
        QVERIFY2(iconSizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
}

void WindowLayoutTest::controlsStandAtTheirDesignPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("place");

    QTest::newRow("cmbType") << "cmbType"
                             << "" << QRect(324, 136, 233, 21);
    QTest::newRow("Picture1") << "Picture1"
                              << "" << QRect(324, 160, 233, 69);
    QTest::newRow("lblDotLine") << "lblDotLine"
                                << "Picture1" << QRect(4, 4, 233, 37);
    QTest::newRow("lblURL") << "lblURL"
                            << "Picture1" << QRect(4, 48, 258, 13);
    QTest::newRow("lblCopyright") << "lblCopyright"
                                  << "Picture1" << QRect(4, 36, 266, 13);
    QTest::newRow("Frame2") << "Frame2"
                            << "" << QRect(324, 4, 233, 101);
    QTest::newRow("pictPreview") << "pictPreview"
                                 << "Frame2" << QRect(8, 16, 217, 77);
    QTest::newRow("Frame1") << "Frame1"
                            << "" << QRect(4, 4, 309, 225);
    QTest::newRow("txt1") << "txt1"
                          << "Frame1" << QRect(8, 36, 93, 181);
    QTest::newRow("txt2") << "txt2"
                          << "Frame1" << QRect(108, 36, 93, 181);
    QTest::newRow("txt3") << "txt3"
                          << "Frame1" << QRect(208, 36, 93, 181);
    QTest::newRow("Text1") << "Text1"
                           << "Frame1" << QRect(8, 16, 93, 24);
    QTest::newRow("Text2") << "Text2"
                           << "Frame1" << QRect(108, 16, 93, 24);
    QTest::newRow("Text3 is lower than the other two") << "Text3"
                                                       << "Frame1" << QRect(208, 16, 93, 21);
    QTest::newRow("Command1") << "Command1"
                              << "" << QRect(476, 108, 81, 25);
    QTest::newRow("Label1") << "Label1"
                            << "" << QRect(324, 120, 129, 17);
}

void WindowLayoutTest::controlsStandAtTheirDesignPlaces() {
    QFETCH(QString, name);
    QFETCH(QString, parentName);
    QFETCH(QRect, place);
    auto* control = Find<QWidget>(*window, qPrintable(name));
    QCOMPARE(control->geometry(), place);
    QWidget* expectedParent =
        parentName.isEmpty() ? window.get() : Find<QWidget>(*window, qPrintable(parentName));
    QCOMPARE(control->parentWidget(), expectedParent);
}

void WindowLayoutTest::captionsAndTooltips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("cmbType") << "cmbType"
                             << ""
                             << "Choose BarCode type ";
    // The title, the address and the copyright line are the build's own
    // (a packager may set the last two), shown as the build has them.
    const QString address = QString::fromUtf8(linomark::kMakerAddress);
    QTest::newRow("lblDotLine") << "lblDotLine" << QString::fromUtf8(linomark::kProgramTitle) << "";
    QTest::newRow("lblURL") << "lblURL" << address << "Goto " + QUrl(address).host();
    QTest::newRow("lblCopyright") << "lblCopyright" << QString::fromUtf8(linomark::kCopyrightLine)
                                  << "";
    QTest::newRow("Frame2") << "Frame2"
                            << "Preview"
                            << "";
    QTest::newRow("pictPreview") << "pictPreview"
                                 << ""
                                 << "Low resolution BarCode sample";
    QTest::newRow("Frame1") << "Frame1"
                            << "Values"
                            << "";
    QTest::newRow("txt1") << "txt1"
                          << ""
                          << "First column BarCodes (editable)";
    QTest::newRow("txt2") << "txt2"
                          << ""
                          << "Second column BarCodes (editable)";
    QTest::newRow("txt3") << "txt3"
                          << ""
                          << "Third column BarCodes (editable)";
    QTest::newRow("Text1") << "Text1"
                           << "A0000"
                           << "Leading BarCode for first column";
    QTest::newRow("Text2") << "Text2"
                           << "B0000"
                           << "Leading BarCode for second column";
    QTest::newRow("Text3") << "Text3"
                           << "C0000"
                           << "Leading BarCode for third column";
    QTest::newRow("Command1") << "Command1"
                              << "&Print"
                              << "Print to Windows default printer";
    QTest::newRow("Label1") << "Label1"
                            << "BarCode type:"
                            << "";
}

// Captions of labels, frames, the button and the leading-value boxes.
static QString CaptionOf(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
    if (auto* button = qobject_cast<QPushButton*>(control)) return button->text();
    if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text();
    return {};
}

void WindowLayoutTest::captionsAndTooltips() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    auto* control = Find<QWidget>(*window, qPrintable(name));
    QCOMPARE(CaptionOf(control), caption);
    QCOMPARE(control->toolTip(), toolTip);
}

void WindowLayoutTest::tabMovesThroughTheBoxesInDesignOrder() {
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>(*window, "Text1"));
    const QStringList order = {"Text2",    "Text3",   "txt1",         "txt2",   "txt3",
                               "Command1", "cmbType", "lblCopyright", "lblURL", "Text1"};
    for (const QString& next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

void WindowLayoutTest::typeBoxOffersThreeEntriesAndNoTyping() {
    auto* cmbType = Find<QComboBox>(*window, "cmbType");
    QCOMPARE(cmbType->count(), 3);
    QCOMPARE(cmbType->itemText(0), QStringLiteral("Breece Hill TL Compatible (5 chars long)"));
    QCOMPARE(cmbType->itemText(1), QStringLiteral("Compaq TL Compatible (6 chars long)"));
    QCOMPARE(cmbType->itemText(2), QStringLiteral("LTO Ultrium labels..."));
    QVERIFY(!cmbType->isEditable());
}

// The links show a pointing hand; the lists are light yellow, editable and
// without scroll bars.
void WindowLayoutTest::linksAndListsLookAsDesigned() {
    for (const char* name : {"lblURL", "lblCopyright"}) {
        QCOMPARE(Find<QLabel>(*window, name)->cursor().shape(), Qt::PointingHandCursor);
    }
    for (const char* name : {"txt1", "txt2", "txt3"}) {
        auto* list = Find<QPlainTextEdit>(*window, name);
        QCOMPARE(list->palette().color(QPalette::Base), QColor(255, 255, 192));
        QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(!list->isReadOnly());
    }
}

// The lists keep their light yellow with dark text; the links take the
// palette's link colour. Text must stand out 4.5 : 1 from its background.
void WindowLayoutTest::darkThemeKeepsTextReadable_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"txt1", "lblURL", "lblCopyright"}) QTest::newRow(name) << name;
}

void WindowLayoutTest::darkThemeKeepsTextReadable() {
    QFETCH(QString, name);
    const QPalette light = QApplication::palette();
    QApplication::setPalette(DarkPalette());
    QCoreApplication::processEvents();
    QWidget* control = Find<QWidget>(*window, qPrintable(name));
    auto* list = qobject_cast<QPlainTextEdit*>(control);
    const QImage picture = (list ? list->viewport() : control)->grab().toImage();
    QApplication::setPalette(light);
    const double contrast = TextContrast(picture);
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
}

void WindowLayoutTest::savedPdfIsSuggestedByValueAndDate_data() {
    QTest::addColumn<QString>("documents");  // made under the home folder; empty: none
    QTest::addColumn<QString>("txt1");
    QTest::addColumn<QString>("suggested");  // from the home folder
    QTest::newRow("in Documents") << "Documents"
                                  << "A0000\r\nA0001\r\n"
                                  << "Documents/labels-A0000-2026-12-07.pdf";
    QTest::newRow("no Documents: home; an unsafe value after an empty line")
        << ""
        << "\r\n../A 1/$\r\n"
        << "labels-_A_1__-2026-12-07.pdf";
}

void WindowLayoutTest::savedPdfIsSuggestedByValueAndDate() {
    QFETCH(QString, documents);
    QFETCH(QString, txt1);
    QFETCH(QString, suggested);
    QTemporaryDir home;
    const QByteArray homeBefore = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    if (!documents.isEmpty()) QDir(home.path()).mkpath(documents);
    const QString path = linomark::SuggestedPdfPath({txt1, "B0000", "C0000"}, QDate(2026, 12, 7));
    qputenv("HOME", homeBefore);
    QCOMPARE(path, QDir(home.path()).filePath(suggested));
}

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
