// Symbol texts with and without the modulo-43 check character, and the
// element sequences drawn from them.
#include <gtest/gtest.h>

#include <string>

#include "symbology/code39.h"

namespace linomark {
namespace {

struct AssemblyCase {
    const char* name;
    std::u32string value;
    std::u32string withCheck;     // label type 0
    std::u32string withoutCheck;  // label type 1
};

// Check characters worked by hand: sum of the values' check values modulo 43.
const AssemblyCase kAssemblyCases[] = {
    {"ordinary value, sum 10", U"A0000", U"*A0000A*", U"*A0000*"},
    {"sum 11", U"A0001", U"*A0001B*", U"*A0001*"},
    {"sum 71 wraps to 28", U"Z9999", U"*Z9999S*", U"*Z9999*"},
    {"six characters, sum 24", U"AB0012", U"*AB0012O*", U"*AB0012*"},
    {"space counts 38, sum 49 gives 6", U"A 1", U"*A 16*", U"*A 1*"},
    {"sum 84 gives 41", U"%%", U"*%%+*", U"*%%*"},
    {"star counts 0 and 0 gives the digit", U"*", U"**0*", U"***"},
    {"lowercase adds nothing, sum 0", U"a0000", U"*a00000*", U"*a0000*"},
    {"longer than any label type, sum 145", U"ABCDEFGHIJ", U"*ABCDEFGHIJG*", U"*ABCDEFGHIJ*"},
    {"line break stays and adds nothing", U"A0\r\n", U"*A0\r\nA*", U"*A0\r\n*"},
    {"accented letter stays as one character", U"A\u00e90000", U"*A\u00e90000A*", U"*A\u00e90000*"},
    {"emoji stays as one character", U"A\U0001F6000001", U"*A\U0001F6000001B*",
     U"*A\U0001F6000001*"},
    {"low byte of U+0141 is not A", U"\u01410000", U"*\u014100000*", U"*\u01410000*"},
    {"empty value gives no stars", U"", U"", U""},
};

TEST(SymbolAssembly, WorkedExamples) {
    for (const AssemblyCase& c : kAssemblyCases) {
        EXPECT_EQ(CompleteBarCode(c.value), c.withCheck) << c.name;
        EXPECT_EQ(CompleteBarCodeCompaq(c.value), c.withoutCheck) << c.name;
    }
}

std::size_t CountAlphabetCharacters(const std::u32string& text) {
    static const std::u32string kCharacters = U"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. *$/+%";
    std::size_t count = 0;
    for (const char32_t c : text) count += kCharacters.find(c) != std::u32string::npos;
    return count;
}

TEST(SymbolAssembly, ElementSequenceHasTenLettersPerAlphabetCharacter) {
    for (const AssemblyCase& c : kAssemblyCases) {
        for (const std::u32string& symbol : {c.withCheck, c.withoutCheck}) {
            const std::string sequence = BuildElementSequence(symbol);
            EXPECT_EQ(sequence.size(), 10 * CountAlphabetCharacters(symbol)) << c.name;
            if (!sequence.empty()) {
                EXPECT_EQ(sequence.back(), 'S') << c.name;
            }
        }
    }
}

TEST(SymbolAssembly, ElementSequenceOfAStarFramedValue) {
    struct Case {
        const char* name;
        std::u32string symbol;
        std::string sequence;
    };
    const std::string star = "NLNSWSWSNS";
    const std::string letterA = "WSNSNLNSWS";
    const std::string zero = "NSNLWSWSNS";
    const Case cases[] = {
        {"*A0000A*", U"*A0000A*", star + letterA + zero + zero + zero + zero + letterA + star},
        {"lowercase draws nothing", U"*a00000*", star + zero + zero + zero + zero + zero + star},
        {"emoji draws nothing", U"*\U0001F600A*", star + letterA + star},
        {"empty", U"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildElementSequence(c.symbol), c.sequence) << c.name;
    }
}

TEST(SymbolAssembly, MillionCharacterValue) {
    // Each % counts 42 = -1 modulo 43; -1,000,000 = 8 modulo 43, the digit 8.
    const std::u32string value(1'000'000, U'%');
    const std::u32string symbol = CompleteBarCode(value);
    ASSERT_EQ(symbol.size(), value.size() + 3);
    EXPECT_EQ(symbol.substr(symbol.size() - 3), U"%8*");
    EXPECT_EQ(CompleteBarCodeCompaq(value).size(), value.size() + 2);

    const std::string sequence = BuildElementSequence(symbol);
    ASSERT_EQ(sequence.size(), 10 * symbol.size());
    EXPECT_EQ(sequence.substr(sequence.size() - 30), "NSNLNLNLNSWSNLNSWSNSNLNSWSWSNS");
}

}  // namespace
}  // namespace linomark
