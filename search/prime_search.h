#pragma once

#include <QtGlobal>

namespace tavrik {

class Controls;

// Trial division: every whole divisor from 2 up to the square root, in order,
// until the first whose double quotient is whole. Nothing below 2 is prime.
bool isPrime(double candidate);

// Lists every prime of [lower, upper] in List1 ("  7" for 7), ascending, then
// writes how many into Text3. The range has passed the range check. A lower
// limit of 0 or 1 starts the search at 2.
void listPrimes(double lower, double upper, qint16 count, Controls& form);

} // namespace tavrik
