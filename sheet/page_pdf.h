// A document drawn into a PDF held in memory, on a given paper, with the
// drawing's origin at a given point (the printable area's corner, or the
// paper's, moved by an offset). It has one page unless the drawing starts
// more with DrawingSurface::NewPage; every page is on the same paper.
#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <functional>

#include "drawing/surface.h"
#include "sheet/paper.h"
#include "symbology/outcome.h"

namespace linomark {

using DrawPage = std::function<void(DrawingSurface& page)>;

// The document is complete or there is none: a drawing that fails half-way, or
// a document that cannot be finished, yields only the reason.
Outcome<QByteArray> MakePagePdf(const Paper& paper, QPointF origin, const QString& title,
                                const DrawPage& draw);

}  // namespace linomark
