// The alignment offset of each printer queue, kept in the settings file
// beside the [INI] values: keys "Alignment/<queue>/OffsetX" and ".../OffsetY",
// millimetres as decimal text with a point.
#pragma once

#include <QString>

#include "sheet/placement.h"

namespace linomark {

// The range the user may set: 20 mm either way, in steps of 0.1 mm.
inline constexpr float kLargestOffset = 20.0f;

// A value that does not read as a number within the range counts as 0.
AlignmentOffset ReadAlignment(const QString& queue);

// Every queue's offset, for a print request made on this thread.
OffsetsByQueue ReadAlignments();

// Fails with why the offsets could not be saved.
Outcome<Done> WriteAlignment(const QString& queue, const AlignmentOffset& offset);

}  // namespace linomark
