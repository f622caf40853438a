// Fuzzes the text-to-number conversion: never a crash, never undefined
// behaviour, never NaN, and for texts plain enough to read another way
// (decimal, hexadecimal, octal), the same number as that other reading.
#include "runtime/conversions.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text without blanks, tabs, CR and LF.
std::string withoutBlanks(const std::string& text) {
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out.push_back(c);
    return out;
}

// [+-]digits[.digits][(e|E|d|D)[+-]digits], nothing else: strtod reads it the same
// way (in the C locale, which this process keeps) once D is spelled E.
bool plainDecimal(std::string& s) {
    std::size_t i = 0, digits = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && isDigit(s[i]); ++i)
            ++digits;
    if (digits == 0 || digits > 40) return false;
    if (i < s.size() && std::string("eEdD").find(s[i]) != std::string::npos) {
        s[i++] = 'e';
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0 || exponentDigits > 4) return false;
    }
    return i == s.size();
}

// &H or &O and up to 13 hex / 17 octal digits: fits 52 bits, so exact.
bool plainRadix(const std::string& s, double& value) {
    if (s.size() < 3 || s[0] != '&') return false;
    const char radix = static_cast<char>(s[1] | 0x20);
    const int base = radix == 'h' ? 16 : radix == 'o' ? 8 : 0;
    if (!base || s.size() - 2 > (base == 16 ? 13u : 17u)) return false;
    const std::string digits = s.substr(2);
    const char* allowed = base == 16 ? "0123456789abcdefABCDEF" : "01234567";
    if (digits.find_first_not_of(allowed) != std::string::npos) return false;
    value = static_cast<double>(std::strtoull(digits.c_str(), nullptr, base));
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value =
        tavrik::textToNumber(QString::fromUtf8(text.data(), static_cast<qsizetype>(size)));
    if (std::isnan(value)) std::abort();

    std::string compact = withoutBlanks(text);
    double expected = 0;
    if (plainDecimal(compact)) {
        expected = std::strtod(compact.c_str(), nullptr);
        if (value != expected) std::abort();
    } else if (plainRadix(compact, expected)) {
        if (value != expected) std::abort();
    }
    return 0;
}
