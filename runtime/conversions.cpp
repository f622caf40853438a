#include "runtime/conversions.h"

#include <QByteArray>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace tavrik {

namespace {

bool isIgnored(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) {
    return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

// The text without the blanks it ignores, narrowed to ASCII. Anything beyond
// ASCII (digits of other scripts included) becomes DEL, which no number contains.
std::string compacted(QStringView text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!isIgnored(u)) out.push_back(u < 0x80 ? static_cast<char>(u) : '\x7f');
    }
    return out;
}

std::string_view leadingRun(std::string_view s, bool (*accepts)(char)) {
    const auto end = std::find_if_not(s.begin(), s.end(), accepts);
    return s.substr(0, static_cast<std::size_t>(end - s.begin()));
}

const double infinity = std::numeric_limits<double>::infinity();

double fromHexDigits(std::string_view hex) {
    // strtod reads hexadecimal correctly rounded in every C library, gives
    // infinity past the largest double, and "0x" alone as 0; no radix point is
    // involved here, so the locale cannot change the reading.
    const std::string text = "0x" + std::string(hex);
    return std::strtod(text.c_str(), nullptr);
}

double fromOctalDigits(std::string_view octal) {
    // Three bits an octal digit, regrouped four at a time into hex digits so that
    // the same correctly rounded conversion serves both radixes.
    std::string bits((4 - octal.size() * 3 % 4) % 4, '0');
    for (const char digit : octal)
        for (int shift = 2; shift >= 0; --shift)
            bits.push_back(((digit - '0') >> shift) & 1 ? '1' : '0');
    std::string hex;
    for (std::size_t i = 0; i < bits.size(); i += 4)
        hex.push_back("0123456789abcdef"[std::stoi(bits.substr(i, 4), nullptr, 2)]);
    return fromHexDigits(hex);
}

double fromDecimal(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

    const std::string_view whole = leadingRun(s.substr(i), isDecimalDigit);
    i += whole.size();
    std::string_view fraction;
    if (i < s.size() && s[i] == '.') fraction = leadingRun(s.substr(++i), isDecimalDigit);
    i += fraction.size();
    if (whole.empty() && fraction.empty()) return 0;

    // Any exponent beyond +/-(length + 1000) yields infinity or 0 all the same,
    // so it is clamped there and never overflows.
    const long long exponentCap = static_cast<long long>(s.size()) + 1000;
    long long exponent = 0;
    if (i < s.size() && std::string_view("EeDd").find(s[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        bool exponentNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponentNegative = s[j++] == '-';
        for (const char digit : leadingRun(s.substr(std::min(j, s.size())), isDecimalDigit))
            exponent = std::min(exponent * 10 + (digit - '0'), exponentCap);
        if (exponentNegative) exponent = -exponent;
    }

    std::string normal;
    normal.reserve(whole.size() + fraction.size() + 24);
    normal.append(whole).append(".").append(fraction).append("e").append(std::to_string(exponent));
    // Qt's C-locale conversion is correctly rounded; it fails only out of range.
    bool inRange = false;
    double value = QByteArray::fromStdString(normal).toDouble(&inRange);
    if (!inRange) {
        // Decimal magnitude of the first significant digit decides which way it fell out.
        const auto lead = whole.find_first_not_of('0');
        const long long magnitude = lead != std::string_view::npos
                                        ? static_cast<long long>(whole.size() - lead)
                                        : -static_cast<long long>(fraction.find_first_not_of('0'));
        value = magnitude + exponent > 0 ? infinity : 0.0;
    }
    return negative ? -value : value;
}

} // namespace

double textToNumber(QStringView text) {
    const std::string s = compacted(text);
    const std::string_view view(s);
    if (view.size() >= 2 && view[0] == '&') {
        const char radix = view[1];
        if (radix == 'H' || radix == 'h')
            return fromHexDigits(leadingRun(view.substr(2), isHexDigit));
        if (radix == 'O' || radix == 'o')
            return fromOctalDigits(leadingRun(view.substr(2), isOctalDigit));
    }
    return fromDecimal(view);
}

QString plainNumberText(double wholeNumber) {
    // Below 2^63 a whole double is exactly a 64-bit integer, whose digits come
    // several times faster than a double's (and -0 reads as 0).
    if (std::fabs(wholeNumber) < 0x1p63) return QString::number(static_cast<qint64>(wholeNumber));
    return QString::number(wholeNumber, 'f', 0);
}

QString signedNumberText(double wholeNumber) {
    const QString digits = plainNumberText(wholeNumber);
    return wholeNumber < 0 ? digits : u' ' + digits;
}

} // namespace tavrik
