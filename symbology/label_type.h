// The two label types, as the type box lists them.
#pragma once

namespace linomark {

// Type 0 carries a modulo-43 check character; type 1 does not.
enum class LabelType { WithCheck = 0, WithoutCheck = 1 };

// The label type of a list index of the type box. Only index 1 is the type
// without check character; anything else (no entry chosen, an unknown stored
// index) is the first type, the one a new user starts with.
constexpr LabelType LabelTypeFromIndex(int index) {
    return index == static_cast<int>(LabelType::WithoutCheck) ? LabelType::WithoutCheck
                                                              : LabelType::WithCheck;
}

constexpr int IndexOf(LabelType type) { return static_cast<int>(type); }

}  // namespace linomark
