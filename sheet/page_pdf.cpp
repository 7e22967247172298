#include "sheet/page_pdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <exception>

#include "drawing/page_surface.h"
#include "linomark_config.h"

namespace linomark {
namespace {

// 1200 dots per inch: a narrow bar of 0.3302 mm is 15.6 dots, so every bar
// edge lies within a 50th of a millimetre of its place.
constexpr int kResolution = 1200;

// A standard size is recognised (A4 is written as 595 x 842 points, Letter
// as 612 x 792), any other is made to measure.
QPageSize PageSizeOf(const Paper& paper) {
    return QPageSize(QSizeF(paper.width, paper.height), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

}  // namespace

Outcome<QByteArray> MakePagePdf(const Paper& paper, QPointF origin, const QString& title,
                                const DrawPage& draw) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kResolution);
    writer.setTitle(title);
    writer.setCreator(QString::fromUtf8(kProgramTitle));
    writer.setPageLayout(QPageLayout(PageSizeOf(paper), QPageLayout::Portrait, QMarginsF()));
    try {
        PageSurface page(writer, origin);
        draw(page);
    } catch (const std::exception& error) {
        return Fail(std::string("The label sheet could not be drawn: ") + error.what());
    }
    if (buffer.data().isEmpty()) {
        return Fail("The label sheet could not be drawn: the page came out empty.");
    }
    return buffer.data();
}

}  // namespace linomark
