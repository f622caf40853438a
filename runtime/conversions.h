#pragma once

#include <QString>
#include <QStringView>
#include <cmath>

namespace tavrik {

// The number a text begins with, 0 when it begins with none.
//  - Blanks, tabs, CR and LF are ignored wherever they stand.
//  - Decimal: optional sign, digits with at most one '.', optional exponent
//    E or D (any case) with optional sign and at least one digit.
//  - &H / &O (any case) followed by hex / octal digits: a non-negative whole number.
//  - Only ASCII digits count and only '.' is a decimal point, whatever the locale.
//  - Correctly rounded; beyond the double range gives +/-infinity, below it 0.
double textToNumber(QStringView text);

// Largest whole number not above value. Inline: the one-by-one trial division
// that the kernel is checked and timed against calls it for every divisor.
inline double integerPart(double value) { return std::floor(value); }

inline double squareRoot(double value) { return std::sqrt(value); }

// A whole number as text: one blank (the sign position) then the digits for a
// non-negative number, '-' then the digits otherwise. Never an exponent.
QString signedNumberText(double wholeNumber);

// A whole number as its digits alone. Never an exponent.
QString plainNumberText(double wholeNumber);

} // namespace tavrik
