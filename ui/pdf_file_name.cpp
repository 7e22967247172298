#include "ui/pdf_file_name.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace linomark {
namespace {

// A value may hold anything Code 39 has ("/", "$", " ", "%") and more; in a
// file name only letters, digits, "-", "_" and "." stay, at most 40 of them,
// and never a leading dot that would hide the file.
constexpr qsizetype kLongestValueInName = 40;

// The folder of the last file saved, while the program runs.
QString& LastFolder() {
    static QString folder;
    return folder;
}

QString FirstValue(const QStringList& columnTexts) {
    for (const QString& text : columnTexts) {
        for (const QString& line : text.split(QStringLiteral("\r\n"))) {
            if (!line.isEmpty()) return line;
        }
    }
    return {};
}

QString SafeForFileName(const QString& value) {
    QString safe;
    for (const QChar c : value.left(kLongestValueInName)) {
        const bool kept =
            (c.isLetterOrNumber() && c.unicode() < 0x80) || c == u'-' || c == u'_' || c == u'.';
        safe += kept ? c : QChar(u'_');
    }
    while (safe.startsWith(u'.')) safe.remove(0, 1);
    return safe;
}

// Qt names ~/Documents even when it does not exist; then home it is.
QString StartFolder() {
    if (!LastFolder().isEmpty() && QFileInfo(LastFolder()).isDir()) return LastFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
    return QDir::homePath();
}

}  // namespace

QString SuggestedPdfPath(const QStringList& columnTexts, const QDate& today) {
    const QString value = SafeForFileName(FirstValue(columnTexts));
    const QString date = today.toString(QStringLiteral("yyyy-MM-dd"));
    const QString name = value.isEmpty() ? QStringLiteral("labels-%1.pdf").arg(date)
                                         : QStringLiteral("labels-%1-%2.pdf").arg(value, date);
    return QDir(StartFolder()).filePath(name);
}

QString AskPdfFileName(QWidget* parent, const QString& title, const QStringList& columnTexts) {
    const QString fileName = QFileDialog::getSaveFileName(
        parent, title, SuggestedPdfPath(columnTexts, QDate::currentDate()),
        QObject::tr("PDF files (*.pdf)"));
    if (!fileName.isEmpty()) LastFolder() = QFileInfo(fileName).absolutePath();
    return fileName;
}

}  // namespace linomark
