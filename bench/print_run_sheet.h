// What the benchmarks print: three full columns of ten labels each, as the
// column editors generate them from A0000, B0000, C0000 (six-character values
// for type 1), on A4 paper without printer margins.
#pragma once

#include "sheet/paper.h"
#include "sheet/sheet.h"
#include "symbology/label_series.h"

namespace linomark {

inline ColumnLists FullSheet(LabelType labelType) {
    if (labelType == LabelType::WithoutCheck) {
        return {MakeLabelSeries(U"A00000"), MakeLabelSeries(U"B00000"), MakeLabelSeries(U"C00000")};
    }
    return {MakeLabelSeries(U"A0000"), MakeLabelSeries(U"B0000"), MakeLabelSeries(U"C0000")};
}

inline Paper A4Paper() { return *PaperNamed("iso_a4_210x297mm"); }

}  // namespace linomark
