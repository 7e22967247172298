// A list of LTO labels as a user types it or a tape library reports it: one
// label a line, in the order of the lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "symbology/lto.h"
#include "symbology/outcome.h"

namespace linomark {

struct LtoList {
    std::vector<LtoLabel> labels;  // a blank serial is a blank cell
    int untagged = 0;              // full slots of an inventory without a readable tag
};

// Each line is one of:
// - a serial or a full tag, then optionally its own media ID, the columns
//   apart by a tab, a comma or spaces (further columns are not read); a line
//   without its own takes mediaId;
// - an inventory line of `mtx status`: a drive's or a slot's "VolumeTag = "
//   gives its label; a Full one without a tag is counted as untagged; an
//   Empty one and the header give nothing;
// - empty: a blank cell.
// "#" starts a comment; a line of only a comment gives nothing. A leading
// byte-order mark is skipped. A wrong line is named by its number, a label
// named twice by both; more than kLtoMaxCount labels fail.
Outcome<LtoList> SerialList(std::string_view text, std::string_view mediaId);

// "2 cartridges in the library have no readable label"; empty for none.
std::string UntaggedSentence(int untagged);

}  // namespace linomark
