#include "search/prime_search.h"

#include "runtime/controls.h"
#include "runtime/conversions.h"
#include "search/trial_division.h"

namespace tavrik {

bool isPrime(double candidate) {
    return candidate >= 2 && !hasExactDivisor(candidate, squareRoot(candidate));
}

QString listItemText(double prime) { return u' ' + signedNumberText(prime); }

void listPrimes(double lower, double upper, Controls& form) {
    if (lower == 0 || lower == 1) lower = 2;
    QList<double> primes;
    for (double candidate = lower; candidate <= upper; ++candidate)
        if (isPrime(candidate)) primes.append(candidate);
    // Nothing is shown before the click ends: the list takes them all at once.
    form.addItems(primes);
    form.setText(TextBox::Text3, plainNumberText(static_cast<double>(primes.size())));
}

} // namespace tavrik
