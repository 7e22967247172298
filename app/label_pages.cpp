#include "label_pages.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cmath>

#include "linomark_config.h"
#include "print/print_requests.h"
#include "settings/settings.h"
#include "sheet/lto_run.h"
#include "sheet/typed_text.h"
#include "symbology/label_series.h"
#include "symbology/lto.h"
#include "symbology/lto_list.h"
#include "system/bounded_list.h"

namespace linomark {
namespace {

// Papers within a millimetre of each other are the same size.
constexpr float kSamePaperTolerance = 1.0f;

// Each character as the window's boxes take it when typed.
QString AsTyped(const QString& value) {
    QString typed;
    for (const char32_t character : value.toUcs4()) {
        typed += UpperCaseTypedCharacter(QString::fromUcs4(&character, 1));
    }
    return typed;
}

bool SameSize(const Paper& a, const Paper& b) {
    return std::fabs(a.width - b.width) < kSamePaperTolerance &&
           std::fabs(a.height - b.height) < kSamePaperTolerance;
}

// The first stock on the printer's paper, as the dialog chooses; the first
// stock of all when none is.
const SheetLayout& StockOfPaper(const Paper& paper) {
    const std::span<const SheetLayout> stocks = LtoStocks();
    const auto onPaper = std::find_if(stocks.begin(), stocks.end(), [&paper](const SheetLayout& s) {
        const std::optional<Paper> own = PaperNamed(s.paper);
        return own && SameSize(*own, paper);
    });
    return onPaper == stocks.end() ? stocks.front() : *onPaper;
}

// The labels of the run or the list; a run fills the rest of the first
// sheet unless counted. Without --media each label brings its own.
Outcome<LtoList> ReadLabels(const Command& command, const SheetLayout& stock,
                            const std::atomic<bool>& stop) {
    const std::string media = LtoUpper(command.media.toStdString());
    const Outcome<Done> mediaOk = CheckMediaId(media);
    if (!media.empty() && !mediaOk) return mediaOk.Failed();
    if (!command.listFile.isEmpty()) {
        const Outcome<std::string> text =
            ReadBoundedList(QFile::encodeName(command.listFile).toStdString(), kLtoMaxCount, stop);
        if (!text) return text.Failed();
        return SerialList(text.Value(), media);
    }
    const int restOfSheet = std::max(1, LabelsPerSheet(stock) - command.start + 1);
    Outcome<std::vector<LtoLabel>> run =
        SerialRun(command.first.toStdString(), command.count.value_or(restOfSheet), media);
    if (!run) return run.Failed();
    return LtoList{std::move(run.Value()), 0};
}

// The cells the job fills, from its start to its last, blank ones included:
// "a4-3x17, labels 6-45 of sheet 1", or across sheets "a4-2x15, label 5 of
// sheet 1 to label 9 of sheet 2".
QString CellsOf(const LtoJob& job, int sheets) {
    const int last = job.startAt - 1 + static_cast<int>(job.labels.size());
    const int lastOnItsSheet = (last - 1) % LabelsPerSheet(job.stock) + 1;
    QString cells = QStringLiteral("label %1 of sheet 1 to label %2 of sheet %3")
                        .arg(job.startAt)
                        .arg(lastOnItsSheet)
                        .arg(sheets);
    if (sheets == 1) {
        cells = job.startAt == last
                    ? QStringLiteral("label %1 of sheet 1").arg(last)
                    : QStringLiteral("labels %1-%2 of sheet 1").arg(job.startAt).arg(last);
    }
    return QString::fromStdString(job.stock.id) + QStringLiteral(", ") + cells;
}

}  // namespace

LabelPages WindowSheetPages(const Command& command, const PrintRequest& base) {
    const StoredValues firstRun;
    const std::array<QString, kColumnCount> defaults{firstRun.column1, firstRun.column2,
                                                     firstRun.column3};
    SheetRequest sheet{LabelTypeFromIndex(command.type), {}, false};
    LabelPages pages;
    for (int column = 0; column < kColumnCount; ++column) {
        const QString leading =
            column < command.values.size() ? AsTyped(command.values.at(column)) : defaults[column];
        sheet.columnLists[column] = MakeLabelSeries(leading.toStdU32String());
        // A series is ten lines or none.
        if (!sheet.columnLists[column].empty()) pages.labels += kRowCount;
    }
    pages.request = SheetPrintRequest(sheet, base.target, base.offsets);
    pages.request.dotsPerInch = base.dotsPerInch;
    return pages;
}

const SheetLayout& LtoStockOf(const Command& command, const LtoDefaults& defaults) {
    return command.sheet.isEmpty() ? StockOfPaper(defaults.paper)
                                   : *LtoStockById(command.sheet.toStdString());
}

Outcome<LabelPages> LtoRunPages(const Command& command, const LtoDefaults& defaults,
                                const PrintRequest& base, const std::atomic<bool>& stop) {
    const SheetLayout& stock = LtoStockOf(command, defaults);
    Outcome<LtoList> list = ReadLabels(command, stock, stop);
    if (!list) return list.Failed();
    LtoJob job{stock,         std::move(list.Value().labels),
               command.start, command.colour.value_or(defaults.colour),
               false,         command.dpi > 0 ? command.dpi : defaults.dotsPerInch};
    const Outcome<LtoPlan> plan = PlanLtoJob(job);
    if (!plan) return plan.Failed();
    LabelPages pages{
        LtoPrintRequest(plan.Value(), base.target, base.offsets,
                        QString::fromUtf8(kProgramTitle) + QStringLiteral(" LTO labels")),
        plan.Value().labels, plan.Value().sheets, CellsOf(job, plan.Value().sheets),
        list.Value().untagged};
    pages.request.dotsPerInch = base.dotsPerInch;
    return pages;
}

QString StockTable() {
    QString table;
    for (const SheetLayout& stock : LtoStocks()) {
        const std::optional<Paper> paper = PaperNamed(stock.paper);
        const QString size =
            QStringLiteral("%1 x %2 mm")
                .arg(QString::number(stock.labelWidth), QString::number(stock.labelHeight));
        table += QStringLiteral("%1  %2  %3  %4 x %5  %6\n")
                     .arg(QString::fromStdString(stock.id).leftJustified(12),
                          QString::fromStdString(paper ? PaperDisplayName(*paper) : stock.paper)
                              .leftJustified(7),
                          size.leftJustified(17))
                     .arg(stock.columns)
                     .arg(stock.rows)
                     .arg(QString::fromStdString(stock.stock));
    }
    return table;
}

}  // namespace linomark
