#include "window_test_support.h"

#include <ZXing/ReadBarcode.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QAbstractButton>
#include <QMessageBox>
#include <QPainter>

#include "ui/column_list.h"
#include "ui/leading_value_box.h"
#include "ui/preview_box.h"

namespace uitest {

namespace {

constexpr char kSettingsFileName[] = "Linomark 1.0.ini";
// The preview leaves less room before its first bar than a reader asks of a
// quiet zone, so the picture is read on a wider white ground.
constexpr int kQuietZonePixels = 40;

QImage OnWhiteGround(const QImage& picture) {
    QImage ground(picture.width() + 2 * kQuietZonePixels, picture.height(),
                  QImage::Format_Grayscale8);
    ground.fill(Qt::white);
    QPainter painter(&ground);
    painter.drawImage(QPoint(kQuietZonePixels, 0),
                      picture.convertToFormat(QImage::Format_Grayscale8));
    return ground;
}

void Type(QWidget* control, const QString& characters) {
    for (const QChar c : characters) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(control, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, control, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
        }
    }
}

}  // namespace

QString TypeIntoEmptiedBox(QWidget& window, const char* box, const QString& characters) {
    auto* control = Find<QWidget>(window, box);
    if (!control) return QString();
    control->setFocus();
    if (auto* list = qobject_cast<linomark::ColumnList*>(control)) {
        list->SetText(QString());
        Type(list, characters);
        return list->Text();
    }
    auto* line = qobject_cast<linomark::LeadingValueBox*>(control);
    line->clear();
    Type(line, characters);
    return line->text();
}

QString ReadPreview(const QImage& picture) {
    const QImage image = OnWhiteGround(picture);
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(),
                                ZXing::ImageFormat::Lum, static_cast<int>(image.bytesPerLine()));
    const auto hints =
        ZXing::DecodeHints().setFormats(ZXing::BarcodeFormat::Code39).setTryHarder(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? QString::fromStdString(result.text()) : QString();
}

const QImage& PreviewPicture(QWidget& window) {
    return Find<linomark::PreviewBox>(window, "pictPreview")->Picture();
}

MessageBoxCatcher::MessageBoxCatcher(const QString& answer) {
    QObject::connect(&poll, &QTimer::timeout, [this, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        titles << box->windowTitle();
        texts << box->text();
        icons << box->icon();
        for (QAbstractButton* choice : box->buttons()) {
            if (choice->text().remove(QLatin1Char('&')) == answer) return choice->click();
        }
        box->done(QMessageBox::Ok);
    });
    poll.start(10);
}

SettingsFolder::SettingsFolder() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path())); }

// A read-only folder is made writable again, so that it can be removed.
SettingsFolder::~SettingsFolder() {
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString SettingsFolder::FilePath() const {
    return folder.filePath(QString::fromLatin1(kSettingsFileName));
}

void SettingsFolder::Write(const QByteArray& iniText) const {
    QFile file(FilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(iniText);
}

QByteArray SettingsFolder::Read() const {
    QFile file(FilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SettingsFolder::BlockWithFolder() const {
    QVERIFY(QDir(folder.path()).mkdir(QString::fromLatin1(kSettingsFileName)));
}

void SettingsFolder::MoveUnderPlainFile() const {
    QFile plainFile(folder.filePath(QStringLiteral("plain")));
    QVERIFY(plainFile.open(QIODevice::WriteOnly));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(plainFile.fileName() + QStringLiteral("/config")));
}

void SettingsFolder::MakeReadOnly() const {
    QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
}

std::unique_ptr<linomark::Form1> ShowWindow() {
    auto window = std::make_unique<linomark::Form1>();
    window->show();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("the window did not become active");
    return window;
}

void WindowTestCase::init() {
    settings = std::make_unique<SettingsFolder>();
    window = ShowWindow();
}

void WindowTestCase::cleanup() {
    window.reset();
    settings.reset();
}

}  // namespace uitest
