// LTO Ultrium cartridge labels: a volume serial of one to six characters and
// a two-character media ID, both of A-Z and 0-9, read by the library as one
// Code 39 symbol without check character ("*ABC123L9*"); and the runs of
// serials a sheet or a job is filled with.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "symbology/outcome.h"

namespace linomark {

inline constexpr std::size_t kLtoSerialLength = 6;  // the standard length; 1 to 6 are taken
inline constexpr std::size_t kLtoMediaIdLength = 2;
inline constexpr int kLtoMaxCount = 10000;  // labels in one run or list

struct MediaId {
    std::string_view id;           // "L9"
    std::string_view description;  // "LTO-9 data"
};
// The media IDs a user is offered, in the order offered.
std::span<const MediaId> KnownMediaIds();

// One label; an empty serial is a blank cell (an empty line of a list).
struct LtoLabel {
    std::string serial;
    std::string mediaId;
    friend bool operator==(const LtoLabel&, const LtoLabel&) = default;
};

// 10000 -> "10,000": counts the user reads.
std::string Grouped(long long number);

// ASCII a-z to A-Z, whatever the locale; nothing else changes.
std::string LtoUpper(std::string_view text);

// Each failure names the value and what is wrong with it.
Outcome<Done> CheckSerial(std::string_view serial);
Outcome<Done> CheckMediaId(std::string_view mediaId);

// A serial ("ABC100", with mediaId) or a full tag of 7 or 8 characters as
// libraries and backup programs write it ("ABC100L9", "CLN001CU"): the
// serial and its own media ID, which must be a known one. Upper-cased here.
Outcome<LtoLabel> ReadTag(std::string_view token, std::string_view mediaId);

// count labels from first, a serial or a full tag: the last run of digits of
// the serial counts up, keeping its width; what stands before and after it is
// kept. A run that would outgrow the width fails, naming the last serial that
// fits and the largest count. Inputs are taken as typed (upper-cased here).
Outcome<std::vector<LtoLabel>> SerialRun(std::string_view first, int count,
                                         std::string_view mediaId);

// The first serial of the run after the count labels from first, written as
// first is (a serial, or a full tag): "ABC100L9", 40 -> "ABC140L9".
Outcome<std::string> SerialAfterRun(std::string_view first, int count, std::string_view mediaId);

// The label as the library reads it: "ABC100L9".
inline std::string LtoTag(const LtoLabel& label) { return label.serial + label.mediaId; }

// "*" + serial + media ID + "*".
std::u32string LtoSymbolText(const LtoLabel& label);

}  // namespace linomark
