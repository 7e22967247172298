#include "symbology/lto_list.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace linomark {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kSpaces = " \t\r";

// What a line of `mtx status` says of its element, by the first of these
// words it holds (the text is upper-cased): a label, a cartridge without
// one, or nothing (an empty element, the header). A serial, a tag or a media
// ID never holds a colon; every inventory line does.
enum class Inventory { Tagged, Untagged, Nothing };
struct InventoryWord {
    std::string_view word;
    Inventory says;
};
constexpr std::array<InventoryWord, 4> kInventoryWords{{
    {"VOLUMETAG", Inventory::Tagged},
    {":FULL", Inventory::Untagged},
    {":EMPTY", Inventory::Nothing},
    {"STORAGE CHANGER", Inventory::Nothing},
}};
static_assert(kInventoryWords.front().says == Inventory::Tagged, "a tag outweighs Full");

// The columns of a plain line are apart by the first of these it holds.
constexpr std::array<std::string_view, 3> kColumnBreaks{"\t", ",", " "};

std::string_view Trimmed(std::string_view text) {
    const std::size_t start = text.find_first_not_of(kSpaces);
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(kSpaces) - start + 1);
}

// What one line gives: a label (blank for an empty line), an untagged
// cartridge, or nothing.
struct LineReading {
    std::optional<LtoLabel> label;
    bool untagged = false;
};

// "...:VolumeTag = ABC100L9   :AlternateVolumeTag=..." gives ABC100L9.
Outcome<LineReading> ReadInventoryTag(std::string_view line, std::size_t at,
                                      std::string_view mediaId) {
    std::string_view value = line.substr(at + kInventoryWords.front().word.size());
    value = value.substr(std::min(value.size(), value.find_first_not_of(" =")));
    value = Trimmed(value.substr(0, value.find(':')));
    if (value.empty()) return LineReading{std::nullopt, true};
    Outcome<LtoLabel> label = ReadTag(value, mediaId);
    if (!label) return label.Failed();
    return LineReading{std::move(label.Value()), false};
}

Outcome<LineReading> ReadInventoryLine(std::string_view line, std::string_view mediaId) {
    for (const InventoryWord& row : kInventoryWords) {
        const std::size_t at = line.find(row.word);
        if (at == std::string_view::npos) continue;
        if (row.says == Inventory::Tagged) return ReadInventoryTag(line, at, mediaId);
        return LineReading{std::nullopt, row.says == Inventory::Untagged};
    }
    return Fail("\"" + std::string(line) +
                "\" is neither a label nor a line of mtx status (no colon goes in a label).");
}

// "ABC100L9", "ABC100<tab>L9", "CLN001,CU,cleaning", "CLN001 CU".
Outcome<LineReading> ReadColumns(std::string_view line, std::string_view mediaId) {
    std::string_view separator = kColumnBreaks.back();
    for (const std::string_view candidate : kColumnBreaks) {
        if (line.find(candidate) != std::string_view::npos) {
            separator = candidate;
            break;
        }
    }
    const std::size_t split = line.find(separator);
    const std::string_view first = Trimmed(line.substr(0, split));
    if (first.empty()) return LineReading{LtoLabel{}, false};
    std::string_view own;
    if (split != std::string_view::npos) {
        own = Trimmed(line.substr(split + 1));
        own = Trimmed(own.substr(0, own.find(separator)));
    }
    Outcome<LtoLabel> label = ReadTag(first, own.empty() ? mediaId : own);
    if (!label) return label.Failed();
    if (!own.empty() && label.Value().mediaId != own) {
        return Fail("The tag \"" + std::string(first) + "\" has its own media ID, not \"" +
                    std::string(own) + "\" as the next column says.");
    }
    return LineReading{std::move(label.Value()), false};
}

Outcome<LineReading> ReadLine(std::string_view line, std::string_view mediaId) {
    line = Trimmed(line.substr(0, line.find('#')));
    if (line.find(':') != std::string_view::npos) return ReadInventoryLine(line, mediaId);
    return ReadColumns(line, mediaId);
}

std::string LineFailure(int line, const std::string& reason) {
    return "Line " + Grouped(line) + ": " + reason;
}

// A comment-only line is not an empty one: it leaves no cell.
bool OnlyComment(std::string_view line) { return Trimmed(line).starts_with('#'); }

}  // namespace

// A final line break ends the last line; it does not start an empty one.
Outcome<LtoList> SerialList(std::string_view text, std::string_view mediaId) {
    const std::string upper = LtoUpper(text);
    std::string_view rest = upper;
    if (rest.starts_with(kByteOrderMark)) rest.remove_prefix(kByteOrderMark.size());
    LtoList list;
    std::map<std::string, int> lineOfTag;
    for (int number = 1; !rest.empty(); ++number) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (OnlyComment(line)) continue;
        Outcome<LineReading> reading = ReadLine(line, mediaId);
        if (!reading) return Fail(LineFailure(number, reading.Reason()));
        list.untagged += reading.Value().untagged ? 1 : 0;
        if (!reading.Value().label) continue;
        const LtoLabel& label = *reading.Value().label;
        if (!label.serial.empty()) {
            const auto [named, first] = lineOfTag.emplace(LtoTag(label), number);
            if (!first) {
                return Fail("Lines " + Grouped(named->second) + " and " + Grouped(number) +
                            " both name " + LtoTag(label) +
                            ": two cartridges with one label confuse a tape library.");
            }
        }
        if (list.labels.size() == static_cast<std::size_t>(kLtoMaxCount)) {
            return Fail("The list has more than " + Grouped(kLtoMaxCount) +
                        " labels; print it in parts.");
        }
        list.labels.push_back(label);
    }
    return list;
}

std::string UntaggedSentence(int untagged) {
    if (untagged == 0) return {};
    if (untagged == 1) return "1 cartridge in the library has no readable label.";
    return Grouped(untagged) + " cartridges in the library have no readable label.";
}

}  // namespace linomark
