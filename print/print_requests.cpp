#include "print/print_requests.h"

namespace linomark {

PrintRequest SheetPrintRequest(const SheetRequest& sheet, const PrintTarget& target,
                               const OffsetsByQueue& offsets) {
    return {target, std::nullopt, offsets,
            [sheet](const PagePlacement& placement) { return MakeSheetPdf(sheet, placement); },
            SheetJobTitle(sheet)};
}

PrintRequest LtoPrintRequest(const LtoJob& job, const PrintTarget& target,
                             const OffsetsByQueue& offsets, const QString& title) {
    return {target, PaperNamed(job.stock.paper), offsets,
            [job](const PagePlacement& placement) {
                return MakeLtoPdf(job, placement.paper.margins, placement.offset);
            },
            title};
}

}  // namespace linomark
