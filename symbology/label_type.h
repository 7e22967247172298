// The label types: the window's two, as its type box lists them, and the
// LTO Ultrium label of the "LTO labels" dialog.
#pragma once

namespace linomark {

// Type 0 carries a modulo-43 check character; type 1 does not; an LTO label
// carries a serial and a media ID and no check character.
enum class LabelType { WithCheck = 0, WithoutCheck = 1, Lto = 2 };

// The label type of a list index of the window's type box. Only index 1 is
// the type without check character; anything else (no entry chosen, an
// unknown stored index) is the first type, the one a new user starts with.
constexpr LabelType LabelTypeFromIndex(int index) {
    return index == static_cast<int>(LabelType::WithoutCheck) ? LabelType::WithoutCheck
                                                              : LabelType::WithCheck;
}

constexpr int IndexOf(LabelType type) { return static_cast<int>(type); }

}  // namespace linomark
