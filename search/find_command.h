#pragma once

#include <optional>

class QString;

namespace tavrik {

class Controls;

// Why a pair of limits was turned down, in the order the checks run.
enum class Rejection {
    LowerNotWhole,
    UpperNotWhole,
    IntervalTooLarge,
    LowerTooLarge,
    UpperNotAbove
};

// The lower limit is checked on its own, before the upper limit is read.
std::optional<Rejection> checkLower(double lower);
// The remaining checks, once the lower limit has passed.
std::optional<Rejection> checkRange(double lower, double upper);

QString rejectionMessage(Rejection rejection);

// Click of "FIND   PRIME   NUMBERS": reads the limits from Text1 and Text2 and
// either lists the primes between them or shows why not and empties the
// limit field(s) to be typed again.
void findPrimeNumbers(Controls& form);

} // namespace tavrik
