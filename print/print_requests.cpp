#include "print/print_requests.h"

namespace linomark {

PrintRequest SheetPrintRequest(const SheetRequest& sheet, const PrintTarget& target,
                               const OffsetsByQueue& offsets) {
    return {target, std::nullopt, offsets,
            [sheet](const PagePlacement& placement) { return MakeSheetPdf(sheet, placement); },
            SheetJobTitle(sheet)};
}

PrintRequest LtoPrintRequest(const LtoPlan& plan, const PrintTarget& target,
                             const OffsetsByQueue& offsets, const QString& title) {
    return {target, plan.paper, offsets,
            [plan](const PagePlacement& placement) { return MakeLtoPdf(plan, placement); }, title};
}

}  // namespace linomark
