#include "symbology/lto.h"

#include <array>
#include <cstdio>

namespace linomark {
namespace {

constexpr std::array<MediaId, 18> kMediaIds{{
    {"L1", "LTO-1 data"},
    {"L2", "LTO-2 data"},
    {"L3", "LTO-3 data"},
    {"L4", "LTO-4 data"},
    {"L5", "LTO-5 data"},
    {"L6", "LTO-6 data"},
    {"L7", "LTO-7 data"},
    {"L8", "LTO-8 data"},
    {"L9", "LTO-9 data"},
    {"LT", "LTO-3 WORM"},
    {"LU", "LTO-4 WORM"},
    {"LV", "LTO-5 WORM"},
    {"LW", "LTO-6 WORM"},
    {"LX", "LTO-7 WORM"},
    {"LY", "LTO-8 WORM"},
    {"LZ", "LTO-9 WORM"},
    {"M8", "LTO-7 type M (new cartridge only)"},
    {"CU", "cleaning cartridge"},
}};
// Nine data generations, seven WORM generations (LTO-3 to 9), type M, cleaning.
static_assert(kMediaIds.size() == 9 + 7 + 1 + 1);

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLabelCharacter(char c) { return (c >= 'A' && c <= 'Z') || IsDigit(c); }

bool AllLabelCharacters(std::string_view text) {
    for (const char c : text) {
        if (!IsLabelCharacter(c)) return false;
    }
    return true;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

}  // namespace

std::string Grouped(long long number) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return number < 0 ? "-" + digits : digits;
}

namespace {

// The last run of digits of a serial: where it starts and how many digits.
struct DigitRun {
    std::size_t start = 0;
    std::size_t width = 0;
};

DigitRun LastDigitRun(std::string_view serial) {
    std::size_t end = serial.size();
    while (end > 0 && !IsDigit(serial[end - 1])) --end;
    std::size_t start = end;
    while (start > 0 && IsDigit(serial[start - 1])) --start;
    return {start, end - start};
}

// The serial with its digit run replaced by number, zero-padded to the run's
// width (the number always fits: the caller checked the largest one).
std::string WithNumber(std::string_view serial, const DigitRun& run, long long number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%0*lld", static_cast<int>(run.width), number);
    std::string result(serial.substr(0, run.start));
    result += digits;
    result += serial.substr(run.start + run.width);
    return result;
}

Outcome<Done> CheckCount(int count) {
    if (count >= 1 && count <= kLtoMaxCount) return Done{};
    return Fail("The count " + Grouped(count) + " is out of range: a run has 1 to " +
                Grouped(kLtoMaxCount) + " labels.");
}

// The digits of a serial are at most six, so every number fits a long long.
Outcome<DigitRun> CountableRun(std::string_view first, int count) {
    const DigitRun run = LastDigitRun(first);
    if (run.width == 0) {
        return Fail("The first serial " + Quoted(first) +
                    " has no digits to count up; give the serials as a list instead.");
    }
    const long long start = std::stoll(std::string(first.substr(run.start, run.width)));
    long long largest = 1;
    for (std::size_t i = 0; i < run.width; ++i) largest *= 10;
    --largest;
    if (start + count - 1 <= largest) return run;
    return Fail("A run of " + Grouped(count) + " from " + Quoted(first) + " would pass " +
                Quoted(WithNumber(first, run, largest)) +
                ", the last serial that fits its digits; the largest count from there is " +
                Grouped(largest - start + 1) + ".");
}

bool IsKnownMediaId(std::string_view id) {
    for (const MediaId& known : kMediaIds) {
        if (known.id == id) return true;
    }
    return false;
}

// A full tag: its last two characters are its media ID.
Outcome<LtoLabel> ReadFullTag(const std::string& tag) {
    const std::size_t serialLength = tag.size() - kLtoMediaIdLength;
    LtoLabel label{tag.substr(0, serialLength), tag.substr(serialLength)};
    if (!AllLabelCharacters(tag) || IsKnownMediaId(label.mediaId)) return label;
    return Fail("The tag " + Quoted(tag) + " ends in " + Quoted(label.mediaId) +
                ", which is no LTO media ID: a tag is a serial of 5 or 6 characters and its "
                "media ID, such as ABC100L9.");
}

}  // namespace

std::span<const MediaId> KnownMediaIds() { return kMediaIds; }

std::string LtoUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

Outcome<Done> CheckSerial(std::string_view serial) {
    if (serial.empty()) return Fail("The volume serial is empty: it needs 1 to 6 characters.");
    if (!AllLabelCharacters(serial)) {
        return Fail("The volume serial " + Quoted(serial) +
                    " may hold only the letters A-Z and the digits 0-9.");
    }
    if (serial.size() > kLtoSerialLength) {
        return Fail("The volume serial " + Quoted(serial) + " has " +
                    std::to_string(serial.size()) +
                    " characters; an LTO label takes 1 to 6, or a full tag such as ABC100L9.");
    }
    return Done{};
}

Outcome<Done> CheckMediaId(std::string_view mediaId) {
    if (mediaId.size() == kLtoMediaIdLength && AllLabelCharacters(mediaId)) return Done{};
    return Fail("The media ID " + Quoted(mediaId) +
                " must be 2 characters of A-Z and 0-9, such as L9.");
}

Outcome<LtoLabel> ReadTag(std::string_view token, std::string_view mediaId) {
    const std::string upper = LtoUpper(token);
    const bool fullTag =
        upper.size() > kLtoSerialLength && upper.size() <= kLtoSerialLength + kLtoMediaIdLength;
    Outcome<LtoLabel> label =
        fullTag ? ReadFullTag(upper) : Outcome<LtoLabel>(LtoLabel{upper, LtoUpper(mediaId)});
    if (!label) return label;
    if (auto checked = CheckSerial(label.Value().serial); !checked) {
        return Fail(CheckSerial(upper).Reason());
    }
    if (label.Value().mediaId.empty()) {
        return Fail("The serial " + Quoted(upper) +
                    " has no media ID: write it as a full tag such as ABC100L9, or give the "
                    "media ID.");
    }
    if (auto checked = CheckMediaId(label.Value().mediaId); !checked) return checked.Failed();
    return label;
}

Outcome<std::vector<LtoLabel>> SerialRun(std::string_view first, int count,
                                         std::string_view mediaId) {
    const Outcome<LtoLabel> tag = ReadTag(first, mediaId);
    if (!tag) return tag.Failed();
    const std::string& serial = tag.Value().serial;
    const std::string& media = tag.Value().mediaId;
    if (auto checked = CheckCount(count); !checked) return checked.Failed();
    const Outcome<DigitRun> run = CountableRun(serial, count);
    if (!run) return run.Failed();
    const long long start = std::stoll(serial.substr(run.Value().start, run.Value().width));
    std::vector<LtoLabel> labels;
    labels.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        labels.push_back({WithNumber(serial, run.Value(), start + i), media});
    }
    return labels;
}

Outcome<std::string> SerialAfterRun(std::string_view first, int count, std::string_view mediaId) {
    const Outcome<std::vector<LtoLabel>> run = SerialRun(first, count, mediaId);
    if (!run) return run.Failed();
    const LtoLabel& last = run.Value().back();
    const Outcome<std::vector<LtoLabel>> next = SerialRun(last.serial, 2, last.mediaId);
    if (!next) return next.Failed();
    const bool typedAsTag = LtoUpper(first).size() > last.serial.size();
    return typedAsTag ? LtoTag(next.Value().back()) : next.Value().back().serial;
}

std::u32string LtoSymbolText(const LtoLabel& label) {
    std::u32string text = U"*";
    for (const char c : label.serial + label.mediaId) text += static_cast<char32_t>(c);
    return text + U"*";
}

}  // namespace linomark
