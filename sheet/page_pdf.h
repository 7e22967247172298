// One page drawn into a PDF held in memory, on a given paper, with the
// drawing's origin at the printable area's corner moved by an offset.
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

// The page is complete or there is none: a drawing that fails half-way, or
// a document that cannot be finished, yields only the reason.
Outcome<QByteArray> MakePagePdf(const Paper& paper, QPointF origin, const QString& title,
                                const DrawPage& draw);

}  // namespace linomark
