#pragma once

#include <QString>

namespace tavrik {

class Controls;

// Trial division: every whole divisor from 2 up to the square root, in order,
// until the first whose double quotient is whole. Nothing below 2 is prime.
bool isPrime(double candidate);

// List1's item for a prime: one blank, then the signed number text, which
// puts a blank before the digits: "  7" for 7.
QString listItemText(double prime);

// Lists every prime of [lower, upper] in List1, ascending, then writes how
// many into Text3. The range has passed the range check. A lower limit of 0
// or 1 starts the search at 2.
void listPrimes(double lower, double upper, Controls& form);

} // namespace tavrik
