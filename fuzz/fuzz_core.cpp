// Feeds arbitrary text to the Code 39 core and aborts when one of its
// invariants breaks. The input bytes are decoded as UTF-8; every byte that does
// not start a valid sequence (stray continuation bytes, overlong forms,
// surrogates, code points past U+10FFFF) becomes U+FFFD, one per byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "symbology/code39.h"
#include "symbology/label_series.h"

namespace {

using linomark::BuildElementSequence;
using linomark::CompleteBarCode;
using linomark::CompleteBarCodeCompaq;
using linomark::MakeLabelSeries;

void Require(bool condition) {
    if (!condition) std::abort();
}

// The standard's characters in the order of their check values 0..42.
const std::u32string kByCheckValue = U"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

bool InAlphabet(char32_t c) { return c == U'*' || kByCheckValue.find(c) != std::u32string::npos; }

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

std::u32string DecodeUtf8(const std::uint8_t* data, std::size_t size) {
    std::u32string text;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t lead = data[i];
        const int length = lead < 0x80                    ? 1
                           : lead >= 0xC2 && lead <= 0xDF ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
        char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
        bool valid = length > 0 && i + length <= size;
        for (int k = 1; valid && k < length; ++k) {
            valid = (data[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (data[i + k] & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && c >= smallest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        text += valid ? c : U'\uFFFD';
        i += valid ? length : 1;
    }
    return text;
}

void CheckElementSequence(const std::u32string& symbol) {
    const std::string sequence = BuildElementSequence(symbol);
    const auto alphabetCount = std::count_if(symbol.begin(), symbol.end(), InAlphabet);
    Require(sequence.size() == 10 * static_cast<std::size_t>(alphabetCount));
    Require(sequence.empty() || sequence.back() == 'S');
    Require(sequence.find_first_not_of("WNLS") == std::string::npos);
}

void CheckSymbolTexts(const std::u32string& value) {
    const std::u32string withCheck = CompleteBarCode(value);
    const std::u32string withoutCheck = CompleteBarCodeCompaq(value);
    CheckElementSequence(withCheck);
    CheckElementSequence(withoutCheck);
    if (value.empty()) {
        Require(withCheck.empty() && withoutCheck.empty());
        return;
    }
    Require(withoutCheck == U"*" + value + U"*");
    Require(withCheck.size() == withoutCheck.size() + 1);
    Require(withCheck.compare(0, value.size() + 1, withoutCheck, 0, value.size() + 1) == 0);
    Require(withCheck.back() == U'*');
    std::uint64_t sum = 0;
    for (const char32_t c : value) {
        const std::size_t checkValue = kByCheckValue.find(c);
        if (checkValue != std::u32string::npos) sum += checkValue;
    }
    Require(withCheck[withCheck.size() - 2] == kByCheckValue[sum % 43]);
}

// a + 1 == b for whole numbers written without leading zeros.
bool IsSuccessor(const std::string& a, const std::string& b) {
    const std::size_t lastNonNine = a.find_last_not_of('9');
    if (lastNonNine == std::string::npos) return b == "1" + std::string(a.size(), '0');
    return b.size() == a.size() && b.compare(0, lastNonNine, a, 0, lastNonNine) == 0 &&
           b[lastNonNine] == a[lastNonNine] + 1 &&
           b.find_first_not_of('0', lastNonNine + 1) == std::string::npos;
}

std::string WithoutLeadingZeros(const std::string& number) {
    const std::size_t first = number.find_first_not_of('0');
    return first == std::string::npos ? "0" : number.substr(first);
}

// Reads "prefix digits \r\n" at `position` and returns the digits.
std::string TakeLine(const std::u32string& series, std::size_t& position,
                     const std::u32string& prefix) {
    Require(series.compare(position, prefix.size(), prefix) == 0);
    position += prefix.size();
    std::string number;
    while (position < series.size() && IsDigit(series[position])) {
        number += static_cast<char>(series[position++]);
    }
    Require(!number.empty() && series.compare(position, 2, U"\r\n") == 0);
    position += 2;
    return number;
}

void CheckSeries(const std::u32string& value) {
    const std::u32string series = MakeLabelSeries(value);
    if (value.empty()) {
        Require(series.empty());
        return;
    }
    const std::u32string prefix(value.begin(), std::find_if(value.begin(), value.end(), IsDigit));
    const std::u32string tail = value.substr(prefix.size());
    if (series.empty()) {
        // Only an exponent or a thousand written digits reach past the limit.
        const auto digits = std::count_if(tail.begin(), tail.end(), IsDigit);
        Require(tail.find_first_of(U"EeDd") != std::u32string::npos || digits > 1000);
        return;
    }
    std::size_t position = 0;
    std::string previous;
    for (int line = 0; line < 10; ++line) {
        const std::string number = TakeLine(series, position, prefix);
        Require(number.size() >= tail.size());
        Require(number.size() <= std::max<std::size_t>(tail.size(), 1) || number[0] != '0');
        const std::string whole = WithoutLeadingZeros(number);
        if (line == 0 && !tail.empty() && std::all_of(tail.begin(), tail.end(), IsDigit)) {
            Require(number == std::string(tail.begin(), tail.end()));
        }
        Require(line == 0 || IsSuccessor(previous, whole));
        previous = whole;
    }
    Require(position == series.size());
}

void CheckTypeReading(const std::u32string& value) {
    const auto reading = linomark::ReadRoundedHalfEven(value);
    if (!value.empty() && value.size() <= 9 && std::all_of(value.begin(), value.end(), IsDigit)) {
        Require(reading == std::stoi(std::string(value.begin(), value.end())));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u32string value = DecodeUtf8(data, size);
    CheckSymbolTexts(value);
    CheckSeries(value);
    CheckTypeReading(value);
    return 0;
}
