// The values of the "LTO labels" dialog, kept in the settings file in a
// section of their own, [LTO], beside [INI] and [Alignment]: the run or the
// list, the media ID, the sheet, the colour, the user's own sheet, and the
// start position of every stock (a partly used sheet is taken up again where
// the last run left it).
#pragma once

#include <QString>
#include <map>
#include <optional>

#include "sheet/sheet_layouts.h"

namespace linomark {

struct LtoSettings {
    QString firstSerial = QStringLiteral("ABC100");
    int count = 1;
    QString mediaId = QStringLiteral("L9");
    bool useList = false;
    QString list;
    // Nothing until the user has chosen: the printer's paper and colour decide.
    std::optional<QString> sheet;
    std::optional<bool> colour;
    std::map<QString, int> startAt;  // by stock id; a missing one starts at 1
    SheetLayout custom = DefaultCustomSheet();

    // The user's own sheet as first offered: the plain-paper stock's numbers.
    static SheetLayout DefaultCustomSheet();
    [[nodiscard]] int StartAt(const QString& stockId) const;
};

// The numbers of a custom sheet, one row each: its key in [LTO], its label
// in the dialog, and the field of the layout it sets.
struct CustomLength {
    const char* key;
    const char* label;
    float SheetLayout::*field;
};
inline constexpr CustomLength kCustomLengths[] = {
    {"Width", "Label &width (mm):", &SheetLayout::labelWidth},
    {"Height", "Label &height (mm):", &SheetLayout::labelHeight},
    {"Left", "&Left edge (mm):", &SheetLayout::left},
    {"Top", "&Top edge (mm):", &SheetLayout::top},
    {"PitchAcross", "Pitch &across (mm):", &SheetLayout::pitchX},
    {"PitchDown", "Pitch &down (mm):", &SheetLayout::pitchY},
};
struct CustomCount {
    const char* key;
    const char* label;
    int SheetLayout::*field;
};
inline constexpr CustomCount kCustomCounts[] = {
    {"Columns", "&Columns:", &SheetLayout::columns},
    {"Rows", "&Rows:", &SheetLayout::rows},
};
// Beyond any paper the dialog offers; a larger stored number is not read.
inline constexpr float kLargestLength = 500.0f;
inline constexpr int kLargestGrid = 100;

// The papers a custom sheet may be made on, as the user names them.
inline constexpr const char* kCustomPapers[] = {"A4", "Letter", "One label a page"};
// The last of them: a page of the label's own size, as on a label printer.
inline constexpr const char* kOneLabelAPagePaper = kCustomPapers[2];
// The PWG name of A4 or Letter, and back ("A4" for anything else, the last
// entry for a page of the label's own size).
std::string CustomPaperName(const QString& shown);
QString CustomPaperShown(const std::string& pwgName);

// A missing or unreadable value gives its default; nothing read can make a
// sheet or a count the dialog would not offer.
LtoSettings ReadLtoSettings();

// Replaces the [LTO] section whole; every other section stays as it is.
// Fails with why the values could not be saved.
Outcome<Done> WriteLtoSettings(const LtoSettings& values);

}  // namespace linomark
