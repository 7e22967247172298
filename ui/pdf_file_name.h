// The file Save as PDF suggests: "labels-<first value>-<yyyy-MM-dd>.pdf" in
// the folder last saved to in this session, else the user's documents folder
// (XDG DOCUMENTS), else the home folder; never the working folder.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class QWidget;

namespace linomark {

// The first value is the first non-empty line of the column texts, in the
// order they print, made safe for a file name; none gives "labels-<date>".
QString SuggestedPdfPath(const QStringList& columnTexts, const QDate& today);

// Asks where to save, under the given title, starting at the suggestion;
// remembers the folder of the answer for the rest of the session, for the
// window and the LTO dialog alike. Empty when the user cancels.
QString AskPdfFileName(QWidget* parent, const QString& title, const QStringList& columnTexts);

}  // namespace linomark
