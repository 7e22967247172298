// The controls of the main window at their design places. Places are given in
// twips, as the window was designed: 1440 twips an inch, so 15 twips are one
// pixel at 96 dots per inch; Qt scales the pixels for other screens.
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include "linomark_config.h"
#include "settings/settings.h"
#include "ui/column_list.h"
#include "ui/form1.h"
#include "ui/leading_value_box.h"
#include "ui/link_label.h"
#include "ui/preview_box.h"
#include "ui/print_button.h"

// Resources of a static library are registered by hand, outside any namespace.
static void RegisterIconResources() { Q_INIT_RESOURCE(linomark_icons); }

namespace linomark {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr QColor kColumnListYellow(255, 255, 192);

// The same pictures as the installed icon, so the window and the menu entry match.
QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 128}) {
        icon.addFile(QStringLiteral(":/icons/linomark-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

// Stand-ins for the design's faces: Liberation Sans for "MS Sans Serif",
// DejaVu Sans for "Tahoma". "Arial" is asked for by name; fontconfig maps it
// to the metric-compatible Liberation Sans.
QFont DesignFont(const char* family, qreal points, bool bold = false) {
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

template <class Control>
Control* Place(Control* control, const char* name, int left, int top, int width, int height) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                         height / kTwipsPerPixel);
    return control;
}

LinkLabel* MakeLinkLabel(const QString& text, QWidget* parent) {
    auto* label = new LinkLabel(text, parent);
    QFont font = DesignFont("DejaVu Sans", 8.25);
    font.setUnderline(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

ColumnList* MakeColumnList(QWidget* parent, const QString& toolTip) {
    auto* list = new ColumnList(parent);
    list->setFont(DesignFont("Liberation Sans", 9.75, true));
    // Dark text on the light yellow, whatever the desktop's colours: a dark
    // theme's white text would not show on it.
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, kColumnListYellow);
    palette.setColor(QPalette::Text, Qt::black);
    list->setPalette(palette);
    list->setToolTip(toolTip);
    return list;
}

LeadingValueBox* MakeLeadingValueBox(QWidget* parent, const QString& text, const QString& toolTip) {
    auto* box = new LeadingValueBox(parent);
    box->setFont(DesignFont("Liberation Sans", 9.75, true));
    box->setText(text);
    box->setToolTip(toolTip);
    return box;
}

}  // namespace

void Form1::BuildControls() {
    RegisterIconResources();
    setWindowTitle(QString::fromUtf8(kProgramTitle));
    setWindowIcon(ProgramIcon());
    setFont(DesignFont("Liberation Sans", 8.25));
    // Client area 8415 x 3495 twips; nothing moves when the window could change size.
    setFixedSize(8415 / kTwipsPerPixel, 3495 / kTwipsPerPixel);
    BuildTypeChooser();
    BuildTitlePanel();
    BuildPreviewFrame();
    BuildValuesFrame();
    Command1 = Place(new PrintButton(tr("&Print"), this), "Command1", 7140, 1620, 1215, 375);
    Command1->setToolTip(tr("Print to Windows default printer"));
    BuildPrintMenu();
    BuildShortcuts();
    Label1 = Place(new QLabel(tr("BarCode type:"), this), "Label1", 4860, 1800, 1935, 255);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTabOrder();
}

// The arrow of the Print button opens these; Print itself stays one click.
void Form1::BuildPrintMenu() {
    auto* menu = new QMenu(Command1);
    mnuAlignmentSheet = menu->addAction(tr("Print &alignment sheet"));
    mnuAlignmentSheet->setObjectName(QStringLiteral("mnuAlignmentSheet"));
    mnuAlignment = menu->addAction(tr("Ali&gnment..."));
    mnuAlignment->setObjectName(QStringLiteral("mnuAlignment"));
    menu->addSeparator();
    mnuSavePdf = menu->addAction(tr("&Save sheet as PDF..."));
    mnuSavePdf->setObjectName(QStringLiteral("mnuSavePdf"));
    menu->addSeparator();
    mnuLtoLabels = menu->addAction(tr("&LTO labels..."));
    mnuLtoLabels->setObjectName(QStringLiteral("mnuLtoLabels"));
    Command1->SetMenu(menu, tr("More printing: alignment, PDF"));
}

// The keys every desktop program answers, without a menu bar: Ctrl+P prints
// as Alt+P does, Ctrl+Shift+S saves the sheet as PDF (shown in the menu),
// Ctrl+Q and Ctrl+W close the window, which saves the settings as any close.
void Form1::BuildShortcuts() {
    mnuSavePdf->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuSavePdf->setShortcutVisibleInContextMenu(true);
    addAction(mnuSavePdf);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this), &QShortcut::activated,
            Command1, &QAbstractButton::animateClick);
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_Q, Qt::CTRL | Qt::Key_W}) {
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, this,
                &QWidget::close);
    }
}

void Form1::BuildTypeChooser() {
    cmbType = Place(new QComboBox(this), "cmbType", 4860, 2040, 3495, 315);
    cmbType->addItem(tr("Breece Hill TL Compatible (5 chars long)"));
    cmbType->addItem(tr("Compaq TL Compatible (6 chars long)"));
    // Not a sheet type: choosing it opens the LTO labels dialog.
    cmbType->addItem(tr("LTO Ultrium labels..."));
    // No entry is chosen until Form_Load restores the label type.
    cmbType->setCurrentIndex(-1);
    cmbType->setToolTip(tr("Choose BarCode type "));
}

void Form1::BuildTitlePanel() {
    Picture1 = Place(new QFrame(this), "Picture1", 4860, 2400, 3495, 1035);
    lblDotLine = Place(new QLabel(QString::fromUtf8(kProgramTitle), Picture1), "lblDotLine", 60, 60,
                       3495, 555);
    lblDotLine->setFont(DesignFont("Arial", 18, true));
    lblDotLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The title overlaps the copyright line; clicks go through it to the links.
    lblDotLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    const QString address = QString::fromUtf8(kMakerAddress);
    lblURL = Place(MakeLinkLabel(address, Picture1), "lblURL", 60, 720, 3870, 195);
    lblURL->setToolTip(tr("Goto ") + QUrl(address).host());
    lblCopyright = Place(MakeLinkLabel(QString::fromUtf8(kCopyrightLine), Picture1), "lblCopyright",
                         60, 540, 3990, 195);
}

void Form1::BuildPreviewFrame() {
    Frame2 = Place(new QGroupBox(this), "Frame2", 4860, 60, 3495, 1515);
    ShowPreviewCaption();
    pictPreview = Place(new PreviewBox(Frame2), "pictPreview", 120, 240, 3255, 1155);
    pictPreview->setToolTip(tr("Low resolution BarCode sample"));
    sentShown = new QTimer(this);
    sentShown->setSingleShot(true);
}

void Form1::BuildValuesFrame() {
    Frame1 = Place(new QGroupBox(tr("Values"), this), "Frame1", 60, 60, 4635, 3375);
    txt1 = Place(MakeColumnList(Frame1, tr("First column BarCodes (editable)")), "txt1", 120, 540,
                 1395, 2715);
    txt2 = Place(MakeColumnList(Frame1, tr("Second column BarCodes (editable)")), "txt2", 1620, 540,
                 1395, 2715);
    txt3 = Place(MakeColumnList(Frame1, tr("Third column BarCodes (editable)")), "txt3", 3120, 540,
                 1395, 2715);
    // Made after the lists so that their lower edges lie over the lists' tops.
    const StoredValues design;
    Text1 =
        Place(MakeLeadingValueBox(Frame1, design.column1, tr("Leading BarCode for first column")),
              "Text1", 120, 240, 1395, 360);
    Text2 =
        Place(MakeLeadingValueBox(Frame1, design.column2, tr("Leading BarCode for second column")),
              "Text2", 1620, 240, 1395, 360);
    Text3 =
        Place(MakeLeadingValueBox(Frame1, design.column3, tr("Leading BarCode for third column")),
              "Text3", 3120, 240, 1395, 315);
}

// Text1, Text2, Text3, txt1, txt2, txt3, Command1, cmbType, then the two
// links in their design order (copyright line, web address); frames, other
// labels and the preview never take the focus.
void Form1::SetTabOrder() {
    QWidget* const order[] = {Text1, Text2,    Text3,   txt1,         txt2,
                              txt3,  Command1, cmbType, lblCopyright, lblURL};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace linomark
